#include "fake_controller.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "robotcommunication.pb.h"

namespace ruko {
namespace test {

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

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return predicate();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// ---- Script ----------------------------------------------------------------------------------------------------

FakeController::Script& FakeController::Script::reply(const std::string& body) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.bytes = framePacket(m_type, body);
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::replyRaw(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.bytes = bytes;
  step.raw = true;
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::noReply() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::delay(std::chrono::milliseconds wait) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  m_pendingDelay = wait;
  m_hasPendingDelay = true;
  return *this;
}

FakeController::Script& FakeController::Script::thenClose() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  if (m_steps.empty()) {
    m_steps.emplace_back();
  }
  m_steps.back().close = true;
  return *this;
}

FakeController::Script& FakeController::Script::allowUnused() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  m_allowUnused = true;
  return *this;
}

// ---- FakeController --------------------------------------------------------------------------------------------

FakeController::FakeController() {
  m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(m_listenFd, 8) != 0) {
    ADD_FAILURE() << "fake controller: cannot listen on 127.0.0.1: " << std::strerror(errno);
  }
  socklen_t length = sizeof(address);
  getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
  if (pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    ADD_FAILURE() << "fake controller: no wake pipe: " << std::strerror(errno);
  }
  m_thread = std::thread(&FakeController::run, this);
}

FakeController::~FakeController() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  wake();
  m_thread.join();
  {
    std::lock_guard<std::mutex> lock(m_writeMutex);
    closeClientLocked();
  }
  close(m_listenFd);
  close(m_wakePipe[0]);
  close(m_wakePipe[1]);

  for (const auto& entry : m_scripts) {
    const Script& script = *entry.second;
    if (script.m_hasPendingDelay) {
      ADD_FAILURE() << "fake controller: delay() for type " << script.m_type << " has no step after it";
    }
    if (script.m_allowUnused) {
      continue;
    }
    for (size_t i = 0; i < script.m_steps.size(); ++i) {
      if (script.m_steps[i].runs == 0) {
        ADD_FAILURE() << "fake controller: step " << i + 1 << " of " << script.m_steps.size() << " for type "
                      << script.m_type << " never ran";
      }
    }
  }
  for (const std::string& error : m_protocolErrors) {
    ADD_FAILURE() << "fake controller: malformed bytes from the client: " << error;
  }
}

FakeController::Script& FakeController::on(int32_t type) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::unique_ptr<Script>& script = m_scripts[type];
  if (!script) {
    script.reset(new Script(this, type));
  }
  return *script;
}

bool FakeController::writeAll(const char* data, size_t size, int flags) {
  size_t done = 0;
  while (done < size) {
    const ssize_t r = send(m_clientFd, data + done, size - done, flags | MSG_NOSIGNAL);
    if (r < 0 && errno == EINTR) {
      continue;
    }
    if (r <= 0) {
      return false;
    }
    done += static_cast<size_t>(r);
  }
  return true;
}

bool FakeController::push(int32_t type, const std::string& body) {
  return sendRaw(framePacket(type, body));
}

bool FakeController::pushBurst(int32_t type, const std::string& body, int count) {
  const std::string one = framePacket(type, body);
  std::string all;
  all.reserve(one.size() * static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) {
    all += one;
  }
  return sendRaw(all);
}

bool FakeController::sendRaw(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(m_writeMutex);
  return m_clientFd != -1 && writeAll(bytes.data(), bytes.size());
}

bool FakeController::sendRawSplit(const std::vector<std::string>& pieces, std::chrono::milliseconds pause) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) {
      std::this_thread::sleep_for(pause);
    }
    if (!sendRaw(pieces[i])) {
      return false;
    }
  }
  return true;
}

bool FakeController::sendUrgent(char byte) {
  std::lock_guard<std::mutex> lock(m_writeMutex);
  return m_clientFd != -1 && send(m_clientFd, &byte, 1, MSG_OOB | MSG_NOSIGNAL) == 1;
}

void FakeController::closeConnection() {
  // Only the fake's thread closes the descriptor (it may be polling it); shutdown() sends the end of the
  // stream now and makes that thread read it and close.
  std::lock_guard<std::mutex> lock(m_writeMutex);
  if (m_clientFd != -1) {
    shutdown(m_clientFd, SHUT_RDWR);
  }
}

void FakeController::pauseReading(bool paused) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readingPaused = paused;
  }
  wake();
}

bool FakeController::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, predicate);
}

bool FakeController::waitForConnections(int count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_connections >= count; }, timeout);
}

bool FakeController::waitForClientGone(std::chrono::milliseconds timeout) {
  return waitUntil([&] { return !m_clientOpen; }, timeout);
}

bool FakeController::waitForReceived(size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_received.size() >= count; }, timeout);
}

bool FakeController::waitForSent(size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_sent.size() >= count; }, timeout);
}

int FakeController::connectionCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_connections;
}

std::vector<FakePacket> FakeController::received() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_received;
}

std::vector<FakePacket> FakeController::receivedOfType(int32_t type) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<FakePacket> out;
  for (const FakePacket& packet : m_received) {
    if (packet.type == type) {
      out.push_back(packet);
    }
  }
  return out;
}

std::vector<FakeSent> FakeController::sent() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sent;
}

uint64_t FakeController::bytesReceived() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bytesReceived;
}

void FakeController::wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up.
  (void)!write(m_wakePipe[1], &byte, 1);
}

void FakeController::closeClientLocked() {
  if (m_clientFd != -1) {
    close(m_clientFd);
    m_clientFd = -1;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  m_clientOpen = false;
  m_changed.notify_all();
}

void FakeController::run() {
  for (;;) {
    int timeoutMs = -1;
    bool paused = false;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_stop) {
        return;
      }
      paused = m_readingPaused;
      if (!m_actions.empty()) {
        const auto wait = m_actions.begin()->first - std::chrono::steady_clock::now();
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
        timeoutMs = ms < 0 ? 0 : static_cast<int>(ms);
      }
    }
    // Only this thread changes m_clientFd, so reading it here needs no lock.
    pollfd fds[3] = {{m_wakePipe[0], POLLIN, 0}, {m_listenFd, POLLIN, 0}, {m_clientFd, POLLIN, 0}};
    const nfds_t count = (m_clientFd != -1 && !paused) ? 3 : 2;
    const int ready = poll(fds, count, timeoutMs);
    if (ready < 0 && errno != EINTR) {
      ADD_FAILURE() << "fake controller: poll failed: " << std::strerror(errno);
      return;
    }
    if (ready > 0) {
      if ((fds[0].revents & POLLIN) != 0) {
        char drain[64];
        while (read(m_wakePipe[0], drain, sizeof(drain)) > 0) {
        }
      }
      if ((fds[1].revents & POLLIN) != 0) {
        acceptClient();
      }
      if (count == 3 && fds[2].revents != 0) {
        readClient();
      }
    }
    runDueActions();
  }
}

void FakeController::acceptClient() {
  const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    return;
  }
  // Small writes leave as separate segments, so a split marker really arrives split.
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  const timeval sendTimeout{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof(sendTimeout));
  {
    std::lock_guard<std::mutex> writeLock(m_writeMutex);
    closeClientLocked();
    m_clientFd = fd;
  }
  m_parser.reset();
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_connection;
  ++m_connections;
  m_clientOpen = true;
  m_changed.notify_all();
}

void FakeController::readClient() {
  static thread_local std::vector<char> buffer(1 << 16);
  const ssize_t n = recv(m_clientFd, buffer.data(), buffer.size(), 0);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
    return;
  }
  if (n <= 0) {
    std::lock_guard<std::mutex> writeLock(m_writeMutex);
    closeClientLocked();
    return;
  }
  const size_t errorsBefore = m_parser.errors().size();
  std::vector<FakePacket> packets = m_parser.feed(buffer.data(), static_cast<size_t>(n));

  std::lock_guard<std::mutex> lock(m_mutex);
  m_bytesReceived += static_cast<uint64_t>(n);
  for (size_t i = errorsBefore; i < m_parser.errors().size(); ++i) {
    m_protocolErrors.push_back(m_parser.errors()[i]);
  }
  for (FakePacket& packet : packets) {
    const auto found = m_scripts.find(packet.type);
    if (found != m_scripts.end() && !found->second->m_steps.empty()) {
      Script& script = *found->second;
      const size_t index = script.m_next < script.m_steps.size() ? script.m_next++ : script.m_steps.size() - 1;
      Script::Step& step = script.m_steps[index];
      ++step.runs;
      if (!step.bytes.empty() || step.close) {
        m_actions.emplace(packet.at + step.delay, Action{m_connection, step.bytes, step.close, packet.type});
      }
    }
    m_received.push_back(std::move(packet));
  }
  m_changed.notify_all();
}

void FakeController::runDueActions() {
  for (;;) {
    Action action;
    uint64_t connection = 0;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_actions.empty() || m_actions.begin()->first > std::chrono::steady_clock::now()) {
        return;
      }
      action = std::move(m_actions.begin()->second);
      m_actions.erase(m_actions.begin());
      connection = m_connection;
    }
    bool written = false;
    {
      std::lock_guard<std::mutex> writeLock(m_writeMutex);
      if (action.connection != connection || m_clientFd == -1) {
        continue;  // meant for a connection that has gone
      }
      written = !action.bytes.empty() && writeAll(action.bytes.data(), action.bytes.size());
      if (action.close) {
        closeClientLocked();
      }
    }
    if (written) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_sent.push_back({action.type, std::chrono::steady_clock::now()});
      m_changed.notify_all();
    }
  }
}

}  // namespace test
}  // namespace ruko
