// The receive path fed from a byte stream: framing, the response slots, the push handlers (joint status,
// joint angles turned into waypoints, end speed, MoveP progress, robot events) and the event intake, all on
// the real receive thread of a RobotControlServices connected over loopback TCP to a listener of ours.
//
// One input is one connection: the listener writes the input, then one well-formed sentinel packet, then
// ends the stream. One services object serves the whole run and reconnects for every input, as a client
// does after a lost link (constructing one per input costs ten times the input itself); what it recorded is
// reset before each connection. Promises checked:
// - no crash, no sanitizer report;
// - the receive thread reaches the end of the stream in bounded time (no hang, no spin) and reports the
//   lost link exactly once, as the last thing it delivers;
// - the packets delivered are exactly those an independent reading of the framing rules finds in the
//   stream (start marker, length field, command type, body; a length of 0 or less, or past the receive
//   buffer, ends the connection; stray bytes are slid over one at a time);
// - the push callbacks see finite numbers only.
//
// An input whose first byte is 0xA5 sends one byte of the stream as urgent (out-of-band) data instead,
// at the offset given by the next two bytes; there only the first two promises are checked, since the
// kernel decides where the urgent mark cuts the stream.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "transport/robotcontrolservices.h"
#include "util/timing.h"

namespace rn = ruko_robot_namespace;

namespace {

constexpr std::chrono::seconds kStreamDeadline{10};
constexpr uint8_t kUrgentMode = 0xA5;
constexpr int kSentinelType = 1;  // an answer type, so it lands in a response slot

void fail(const char* what) {
  // On the sanitizers' report stream, which outlives -close_fd_mask.
  __sanitizer_report_error_summary(what);
  __builtin_trap();
}

void putLe32(std::string& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFFu));
}

int32_t getLe32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

std::string sentinelPacket() {
  std::string p("\xEE\xCC\xFF\xFF", 4);
  putLe32(p, 12);
  putLe32(p, kSentinelType);
  p.append("\x00\x00\x00\x00\xFF\xFF\xFF\xFF", 8);
  return p;
}

// The framing rules read independently of the client: the packets (command type and body) it must deliver.
std::vector<std::string> expectedPackets(const std::string& s) {
  static const char kSof[4] = {'\xEE', '\xCC', '\xFF', '\xFF'};
  std::vector<std::string> out;
  size_t pos = 0;
  for (;;) {
    if (pos >= s.size()) return out;                                            // end of stream
    if (s.size() - pos < 4 || std::memcmp(s.data() + pos, kSof, 4) != 0) {  // stray byte
      ++pos;
      continue;
    }
    pos += 4;
    if (s.size() - pos < 4) return out;
    const int32_t length = getLe32(s.data() + pos);
    pos += 4;
    if (length <= 0 || length > RobotCommunicationClient::MAX_RECV_LENGTH_FIELD) return out;
    if (s.size() - pos < static_cast<size_t>(length)) return out;
    if (length >= 12) out.emplace_back(s.data() + pos, static_cast<size_t>(length) - 8);
    pos += static_cast<size_t>(length);
  }
}

bool finiteArray(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

void onJointStatus(const rn::JointStatus* statuses, int count, void*) {
  if (statuses == nullptr || count < 0) fail("joint status callback without statuses");
}

void onWaypoint(const rn::wayPoint_S* wp, void*) {
  if (wp == nullptr) fail("waypoint callback without a waypoint");
  const double v[7] = {wp->cartPos.position.x, wp->cartPos.position.y, wp->cartPos.position.z,
                       wp->orientation.w,      wp->orientation.x,      wp->orientation.y,
                       wp->orientation.z};
  if (!finiteArray(v, 7) || !finiteArray(wp->jointpos, 6)) fail("waypoint callback with a non-finite value");
}

void onEndSpeed(double, void*) {}
void onMovepProgress(int, void*) {}
void onEvent(const rn::RobotEventInfo* event, void*) {
  if (event == nullptr) fail("event callback without an event");
}

// Records what the receive thread hands over, then lets the real services handle it.
class RecordingServices final : public RobotControlServices {
 public:
  RecordingServices() {
    robotServiceRegisterRealTimeJointStatusCallbackService(onJointStatus, nullptr);
    robotServiceRegisterRealTimeRoadPointCallbackService(onWaypoint, nullptr);
    robotServiceRegisterRealTimeEndSpeedCallbackService(onEndSpeed, nullptr);
    robotServiceRegisterMovepProgressNotifyCallbackService(onMovepProgress, nullptr);
    robotServiceRegisterRobotEventInfoCallbackService(onEvent, nullptr);
  }
  ~RecordingServices() override { disconnectRobotServer(); }

  void responseProcess(int socketFd, const char* data, int length) override {
    if (data == nullptr || length < 4 || length > RECV_BUFFER_SIZE) fail("packet of impossible length");
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_disconnects > 0) fail("packet after the disconnect");
      if (socketFd == -1) {
        ++m_disconnects;
      } else {
        m_packets.emplace_back(data, static_cast<size_t>(length));
      }
    }
    RobotControlServices::responseProcess(socketFd, data, length);
    m_changed.notify_all();
  }

  void reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_packets.clear();
    m_disconnects = 0;
  }

  bool waitForDisconnect(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_until(lock, deadline, [this] { return m_disconnects > 0; });
  }

  std::vector<std::string> packets() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_packets;
  }

  int disconnects() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_disconnects;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::string> m_packets;
  int m_disconnects = 0;
};

int g_listener = -1;
int g_port = 0;

bool sendAll(int fd, const char* p, size_t n, int flags) {
  while (n > 0) {
    const ssize_t r = send(fd, p, n, flags | MSG_NOSIGNAL);
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // No settle pause after the connect; the read time-out stays well above what loopback needs.
  static ruko::TimingTable table = [] {
    ruko::TimingTable t = ruko::defaultTiming();
    t.afterConnectPause = std::chrono::milliseconds(0);
    t.receiveTurn = std::chrono::milliseconds(20);
    t.socketReceiveTimeout = std::chrono::milliseconds(2000);
    return t;
  }();
  static ruko::ScopedTimingOverride timing(table);

  g_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof(addr);
  if (g_listener < 0 || bind(g_listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
      listen(g_listener, 4) != 0 || getsockname(g_listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    fail("no loopback listener");
  }
  g_port = ntohs(addr.sin_port);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool urgentMode = size >= 3 && data[0] == kUrgentMode;
  std::string stream;
  size_t urgentAt = 0;
  if (urgentMode) {
    stream.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    urgentAt = (static_cast<size_t>(data[1]) << 8) | data[2];
  } else {
    stream.assign(reinterpret_cast<const char*>(data), size);
  }
  stream += sentinelPacket();
  urgentAt %= stream.size();

  static RecordingServices services;  // outlives the run; its destructor joins what it started
  services.reset();
  services.setServerIP("127.0.0.1");
  services.setServerPort(g_port);
  if (services.connectRobotServer() != 0) fail("connect over loopback failed");
  const int peer = accept4(g_listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (peer < 0) fail("accept failed");

  bool sent;
  if (urgentMode) {
    sent = sendAll(peer, stream.data(), urgentAt, 0) && sendAll(peer, stream.data() + urgentAt, 1, MSG_OOB) &&
           sendAll(peer, stream.data() + urgentAt + 1, stream.size() - urgentAt - 1, 0);
  } else {
    sent = sendAll(peer, stream.data(), stream.size(), 0);
  }
  // The client may have ended the link early (length past the buffer) and reset it: then sends fail.
  (void)sent;
  shutdown(peer, SHUT_WR);

  if (!services.waitForDisconnect(std::chrono::steady_clock::now() + kStreamDeadline)) {
    fail("the receive thread did not reach the end of the stream in time");
  }
  close(peer);

  if (!urgentMode && services.packets() != expectedPackets(stream)) {
    fail("delivered packets differ from the framing rules");
  }
  if (services.disconnects() != 1) fail("the lost link was not reported exactly once");
  return 0;
}
