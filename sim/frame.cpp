#include "frame.h"

#include <cstring>

#include "robotcommunication.pb.h"

namespace ruko {
namespace sim {

namespace {

const char kStartMarker[4] = {'\xEE', '\xCC', '\xFF', '\xFF'};
const char kCheckField[4] = {'\x00', '\x00', '\x00', '\x00'};
const char kEndMarker[4] = {'\xFF', '\xFF', '\xFF', '\xFF'};

void appendLittleEndian(std::string& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>((u >> shift) & 0xFFu));
  }
}

int32_t readLittleEndian(const char* in) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) {
    u = (u << 8) | static_cast<unsigned char>(in[i]);
  }
  return static_cast<int32_t>(u);
}

}  // namespace

// ---- FakeFrameParser -------------------------------------------------------------------------------------------

std::vector<FakePacket> FakeFrameParser::feed(const char* data, size_t size) {
  m_buffer.append(data, size);
  std::vector<FakePacket> packets;
  const auto flushSkipped = [this] {
    if (m_skipped > 0) {
      m_errors.push_back("skipped " + std::to_string(m_skipped) + " byte(s) before a start marker");
      m_skipped = 0;
    }
  };
  while (m_buffer.size() - m_offset >= 4) {
    const char* p = m_buffer.data() + m_offset;
    const size_t available = m_buffer.size() - m_offset;
    if (std::memcmp(p, kStartMarker, 4) != 0) {
      ++m_skipped;
      ++m_offset;
      continue;
    }
    flushSkipped();
    if (available < 8) {
      break;
    }
    const int32_t length = readLittleEndian(p + 4);
    if (length < 12 || length > m_maxLengthField) {
      m_errors.push_back("bad length field " + std::to_string(length));
      m_offset += 4;
      continue;
    }
    const size_t total = 8 + static_cast<size_t>(length);
    if (available < total) {
      break;
    }
    FakePacket packet;
    packet.lengthField = length;
    packet.type = readLittleEndian(p + 8);
    packet.body.assign(p + 12, static_cast<size_t>(length) - 12);
    packet.at = std::chrono::steady_clock::now();
    if (std::memcmp(p + length, kCheckField, 4) != 0 || std::memcmp(p + length + 4, kEndMarker, 4) != 0) {
      m_errors.push_back("bad check field or end marker after a packet of type " + std::to_string(packet.type));
    }
    packets.push_back(std::move(packet));
    m_offset += total;
  }
  if (m_offset > 0 && m_offset == m_buffer.size()) {
    m_buffer.clear();
    m_offset = 0;
  } else if (m_offset > (1u << 20)) {
    m_buffer.erase(0, m_offset);
    m_offset = 0;
  }
  return packets;
}

void FakeFrameParser::reset() {
  m_buffer.clear();
  m_offset = 0;
  m_skipped = 0;
}

// ---- Free helpers ----------------------------------------------------------------------------------------------

std::string framePacketWithLength(int32_t lengthField, int32_t type, const std::string& body) {
  std::string out(kStartMarker, 4);
  appendLittleEndian(out, lengthField);
  appendLittleEndian(out, type);
  out += body;
  out.append(kCheckField, 4);
  out.append(kEndMarker, 4);
  return out;
}

std::string framePacket(int32_t type, const std::string& body) {
  return framePacketWithLength(static_cast<int32_t>(body.size() + 12), type, body);
}

std::string commonResultBody(int errorCode, const std::string& errorMsg) {
  ruko::robot::communication::ProtoRobotCommonResponse message;
  message.set_errorcode(errorCode);
  message.set_errormsg(errorMsg);
  return message.SerializeAsString();
}

std::string eventBody(int eventType, int eventCode, const std::string& content) {
  ruko::robot::communication::ProtoCommunicationRobotEvent message;
  message.set_eventtype(eventType);
  message.set_eventcode(eventCode);
  message.set_eventcontent(content);
  return message.SerializeAsString();
}

}  // namespace sim
}  // namespace ruko
