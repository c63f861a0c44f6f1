#ifndef RUKO_SIM_FRAME_H
#define RUKO_SIM_FRAME_H

// The controller's side of the packet format: start marker EE CC FF FF, length (body + 12), type, body,
// check field 00 00 00 00, end marker FF FF FF FF, integers little-endian.
//
// This parser is written apart from the library's framing on purpose: the simulator and the test fake read
// what the library writes with it, so a fault in either one shows up as a disagreement between the two.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ruko {
namespace sim {

// A packet read off the wire.
struct FakePacket {
  int32_t lengthField = 0;  // body length + 12 for a well-formed packet
  int32_t type = 0;
  std::string body;
  std::chrono::steady_clock::time_point at;  // when its last byte was read
};

// Unframes a byte stream. Anything that does not fit is skipped and described in errors().
class FakeFrameParser {
 public:
  explicit FakeFrameParser(int32_t maxLengthField = 16 * 1024 * 1024) : m_maxLengthField(maxLengthField) {}

  // Appends bytes in any pieces; returns the packets they completed, in order.
  std::vector<FakePacket> feed(const char* data, size_t size);
  std::vector<FakePacket> feed(const std::string& bytes) { return feed(bytes.data(), bytes.size()); }

  // One description per run of skipped bytes, bad length field or bad trailer.
  const std::vector<std::string>& errors() const { return m_errors; }
  // Bytes held back while waiting for the rest of a packet.
  size_t pendingBytes() const { return m_buffer.size() - m_offset; }
  void reset();

 private:
  int32_t m_maxLengthField;
  std::string m_buffer;
  size_t m_offset = 0;
  size_t m_skipped = 0;  // length of the run of skipped bytes in progress
  std::vector<std::string> m_errors;
};

// A packet framed as the controller frames it.
std::string framePacket(int32_t type, const std::string& body);
// A packet with any length field, for malformed input; the trailer follows the body as usual.
std::string framePacketWithLength(int32_t lengthField, int32_t type, const std::string& body);
// A serialised common result body (result code and text).
std::string commonResultBody(int errorCode, const std::string& errorMsg = "");
// A serialised robot event push body.
std::string eventBody(int eventType, int eventCode, const std::string& content);

}  // namespace sim
}  // namespace ruko

#endif
