// The receive thread against a controller that sends urgent (out-of-band) data next to stray bytes. A look
// at the stream stops at the urgent mark, so the bytes before the mark can only be slid over, never seen
// as a whole header; the thread must slide over them or wait, never poll and look again in a tight loop.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "fake_controller.h"
#include "log_capture.h"
#include "transport/robotcommunicationclient.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using ruko::test::FakeController;
using ruko::test::waitFor;

namespace {

class RecordingClient : public RobotCommunicationClient {
 public:
  ~RecordingClient() override { disconnectRobotServer(); }

  bool delivered(int32_t type, const std::string& body) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& p : m_packets) {
      if (p.first == type && p.second == body) return true;
    }
    return false;
  }

 protected:
  void responseProcess(int /*socketFd*/, const char* data, int length) override {
    if (length < 4) return;
    int32_t type;
    std::memcpy(&type, data, 4);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_packets.emplace_back(type, std::string(data + 4, static_cast<size_t>(length - 4)));
  }
  void disconnectProcess() override {}
  int heartbeatService() override { return 0; }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::pair<int32_t, std::string>> m_packets;
};

TEST(ReceiveHostile, UrgentDataNextToStrayBytesNeitherSpinsNorStallsTheStream) {
  struct Case {
    const char* name;
    std::function<void(FakeController&)> send;
  };
  const Case cases[] = {
      {"stray byte, urgent byte, stray byte",
       [](FakeController& f) {
         f.sendRaw("\x0a");
         f.sendUrgent('\xab');
         f.sendRaw("\x0a");
       }},
      {"three stray bytes, then an urgent byte and silence",
       [](FakeController& f) {
         f.sendRaw("\x0a\x0b\x0c");
         f.sendUrgent('\xab');
       }},
      {"urgent byte inside a start marker",
       [](FakeController& f) {
         f.sendRaw("\xEE\xCC");
         f.sendUrgent('\xab');
         f.sendRaw("\xFF\xFF");
       }},
  };
  // A spinning receive thread writes about two lines per microsecond; a few per read time-out are fine.
  const int kFlood = 1000;
  const int kFew = 40;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ruko::test::LogCapture log;
    ruko::ScopedTimingOverride fast{ruko::fastTiming()};
    FakeController fake;
    RecordingClient client;
    client.setServerPort(fake.port());
    ASSERT_EQ(client.connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
    log.clear();

    c.send(fake);
    // count("") counts every line. Stop at once on a flood: it would fill memory while we waited.
    ASSERT_FALSE(waitFor([&] { return log.count("") > kFlood; }, 300ms)) << "the receive thread spins";

    ASSERT_TRUE(fake.push(40, "after"));
    EXPECT_TRUE(waitFor([&] { return client.delivered(40, "after"); }, 2000ms))
        << "a packet after the urgent byte is handed on";
    EXPECT_LE(log.count(""), kFew);
    EXPECT_TRUE(client.getCurrentConnectStatus());
  }
}

}  // namespace
