// The TCP client against the fake controller: what it makes of the controller's bytes (packets handed on,
// the disconnect event, log lines), what it writes, and its connect and disconnect.

#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fake_controller.h"
#include "log_capture.h"
#include "robotcommunication.pb.h"
#include "transport/robotcommunicationclient.h"
#include "util/log.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using ruko::test::FakeController;
using ruko::test::framePacket;
using ruko::test::framePacketWithLength;
using ruko::test::waitFor;

namespace {

constexpr int kEvent = 2;

// Records every packet the receive thread hands on.
class RecordingClient : public RobotCommunicationClient {
 public:
  struct Delivered {
    int socketFd;
    int type;
    std::string body;
  };

  ~RecordingClient() override { disconnectRobotServer(); }

  // The next packet makes the receive thread itself disconnect (as an application callback might).
  std::atomic<bool> disconnectOnNextPacket{false};
  // Runs on the receive thread when the next packet arrives, before it is recorded.
  void setOnNextPacket(std::function<void()> action) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_onNextPacket = std::move(action);
  }

  std::vector<Delivered> delivered() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_delivered;
  }
  size_t deliveredCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_delivered.size();
  }

 protected:
  void responseProcess(int socketFd, const char* data, int length) override {
    if (disconnectOnNextPacket.exchange(false)) {
      disconnectRobotServer();
    }
    std::function<void()> action;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      action.swap(m_onNextPacket);
    }
    if (action) action();
    ASSERT_GE(length, 4);
    int32_t type;
    std::memcpy(&type, data, 4);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_delivered.push_back({socketFd, type, std::string(data + 4, static_cast<size_t>(length - 4))});
  }
  void disconnectProcess() override {}
  int heartbeatService() override { return 0; }

 private:
  mutable std::mutex m_mutex;
  std::vector<Delivered> m_delivered;
  std::function<void()> m_onNextPacket;
};

// A start marker and a length field followed by `count` filler bytes: the rest of a packet as the
// length field describes it.
std::string headerWithLength(int32_t lengthField, size_t count) {
  std::string out = framePacketWithLength(lengthField, 0, "").substr(0, 8);
  return out + std::string(count, '\x01');
}

bool isDisconnectEvent(const RecordingClient::Delivered& d) {
  ruko::robot::communication::ProtoCommunicationRobotEvent event;
  return d.type == kEvent && d.socketFd == -1 &&
         event.ParsePartialFromArray(d.body.data(), static_cast<int>(d.body.size())) && event.IsInitialized() &&
         event.eventtype() == 27 && event.eventcode() == 0 && event.eventcontent() == "Server disconnected.";
}

class TransportFraming : public ::testing::Test {
 protected:
  void SetUp() override {
    client.setServerPort(fake.port());
    ASSERT_EQ(client.connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
  }

  // Waits until a marker packet sent after the bytes under test has come through, so that everything
  // before it has been handled.
  void flushWithMarker() {
    const std::string body = "marker " + std::to_string(++m_markers);
    ASSERT_TRUE(fake.push(99, body));
    ASSERT_TRUE(waitFor([&] {
      for (const auto& d : client.delivered()) {
        if (d.type == 99 && d.body == body) return true;
      }
      return false;
    }));
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast{ruko::fastTiming()};
  FakeController fake;
  RecordingClient client;

 private:
  int m_markers = 0;
};

TEST_F(TransportFraming, DeliversTypeAndBodyWithTheSocket) {
  const std::string body("\x00\xEE\xCC\xFF\xFF\x01", 6);
  ASSERT_TRUE(fake.push(40, body));
  ASSERT_TRUE(fake.push(41, ""));
  ASSERT_TRUE(waitFor([&] { return client.deliveredCount() == 2; }));
  const auto d = client.delivered();
  EXPECT_EQ(d[0].type, 40);
  EXPECT_EQ(d[0].body, body);
  EXPECT_GE(d[0].socketFd, 0);
  EXPECT_EQ(d[1].type, 41);
  EXPECT_EQ(d[1].body, "");
}

// Malformed input that the connection survives: only the packet after it is delivered.
TEST_F(TransportFraming, SkipsWhatIsNotAPacketAndResynchronises) {
  const std::string good = framePacket(40, "good");
  struct Case {
    const char* name;
    std::function<void()> send;
    int headerErrors;
    int urgentLines;  // -1: none or one
  };
  const Case cases[] = {
      {"three stray bytes", [&] { fake.sendRaw("abc" + good); }, 3, 0},
      {"marker split across segments",
       [&] {
         fake.sendRawSplit({good.substr(0, 2), good.substr(2)});
       },
       0, 0},
      {"marker split byte by byte",
       [&] {
         fake.sendRawSplit({good.substr(0, 1), good.substr(1, 1), good.substr(2, 1), good.substr(3)});
       },
       0, 0},
      {"length field 1", [&] { fake.sendRaw(headerWithLength(1, 1) + good); }, 0, 0},
      {"length field 8", [&] { fake.sendRaw(headerWithLength(8, 8) + good); }, 0, 0},
      {"length field 9", [&] { fake.sendRaw(headerWithLength(9, 9) + good); }, 0, 0},
      {"length field 11", [&] { fake.sendRaw(headerWithLength(11, 11) + good); }, 0, 0},
      {"urgent byte between packets",
       [&] {
         fake.sendUrgent('!');
         fake.sendRaw(good);
       },
       0, 1},
      {"urgent byte inside a packet",
       [&] {
         fake.sendRaw(good.substr(0, 13));
         fake.sendUrgent('!');
         fake.sendRaw(good.substr(13));
       },
       // Once the body's reads have passed the urgent mark the kernel drops the byte unseen.
       0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    const size_t before = client.deliveredCount();
    c.send();
    flushWithMarker();
    const auto d = client.delivered();
    ASSERT_EQ(d.size(), before + 2);
    EXPECT_EQ(d[before].type, 40);
    EXPECT_EQ(d[before].body, "good");
    EXPECT_EQ(log.count("sdk communication log: Recv Header error.", LL_ERROR), c.headerErrors);
    EXPECT_EQ(log.count("sdk communication log:  Recv text block error.", LL_ERROR), c.headerErrors);
    const int urgentLines = log.count("sdk communication log: Urgent data discarded: 0x21.", LL_WARN);
    if (c.urgentLines >= 0) {
      EXPECT_EQ(urgentLines, c.urgentLines);
    } else {
      EXPECT_LE(urgentLines, 1);
    }
    EXPECT_TRUE(client.getCurrentConnectStatus());
  }
}

TEST_F(TransportFraming, DeliversTheLargestBodyTheBufferHolds) {
  const int largest = RobotCommunicationClient::RECV_BUFFER_SIZE - 12;
  std::string body(static_cast<size_t>(largest), '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(fake.push(40, body));
  ASSERT_TRUE(waitFor([&] { return client.deliveredCount() == 1; }));
  EXPECT_TRUE(client.delivered()[0].body == body);
  EXPECT_TRUE(client.getCurrentConnectStatus());
}

// Input that ends the connection: exactly one disconnect event, and the client reports itself closed.
TEST(TransportFramingClose, EndsTheLinkWithOneDisconnectEvent) {
  struct Case {
    const char* name;
    std::function<void(FakeController&)> act;
    const char* line;  // the line that names the cause
  };
  const Case cases[] = {
      {"server closes", [](FakeController& f) { f.closeConnection(); },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"server closes inside a packet",
       [](FakeController& f) {
         f.sendRaw(framePacket(40, "cut short").substr(0, 15));
         f.closeConnection();
       },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"server closes inside a start marker",
       [](FakeController& f) {
         f.sendRaw("\xEE\xCC");
         f.closeConnection();
       },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"length field 0", [](FakeController& f) { f.sendRaw(headerWithLength(0, 0)); },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"negative length field", [](FakeController& f) { f.sendRaw(headerWithLength(-20, 0)); },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"length field beyond the receive buffer",
       [](FakeController& f) { f.sendRaw(headerWithLength(RobotCommunicationClient::RECV_BUFFER_SIZE + 1, 16)); },
       "sdk communication log: Packet length 2097153 exceeds receive buffer."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ruko::test::LogCapture log;
    ruko::ScopedTimingOverride fast(ruko::fastTiming());
    FakeController fake;
    RecordingClient client;
    client.setServerPort(fake.port());
    ASSERT_EQ(client.connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));

    c.act(fake);
    ASSERT_TRUE(waitFor([&] { return !client.getCurrentConnectStatus() && client.deliveredCount() == 1; }));
    ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Receive data thread exit."); }));
    const auto d = client.delivered();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_TRUE(isDisconnectEvent(d[0]));
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
    EXPECT_EQ(log.count("Server disconnenct.") + log.count("exceeds receive buffer."), 1);
    EXPECT_TRUE(fake.waitForClientGone()) << "the client must close its end";
  }
}

}  // namespace

namespace {

// ---- Sending ----------------------------------------------------------------------------------------------------

// Owns a body the way the engine does: a new[] array released by the request record.
void fillRequest(CommunicationRequest& request, int type, const std::string& body) {
  char* text = nullptr;
  if (!body.empty()) {
    text = new char[body.size()];
    std::memcpy(text, body.data(), body.size());
  }
  request.setProperty(-1, static_cast<CommunicationMateType::CommunicationCommandType>(type), text,
                      static_cast<int>(body.size()));
}

bool sendPacket(RobotCommunicationClient& client, int type, const std::string& body) {
  CommunicationRequest request;
  fillRequest(request, type, body);
  return client.encodeAndSendCommunicationPackage(request);
}

TEST_F(TransportFraming, EmptyBodyIsATwentyBytePacket) {
  ASSERT_TRUE(sendPacket(client, 115, ""));
  ASSERT_TRUE(fake.waitForReceived(1));
  const auto got = fake.received();
  EXPECT_EQ(got[0].type, 115);
  EXPECT_EQ(got[0].lengthField, 12);
  EXPECT_EQ(got[0].body, "");
  EXPECT_EQ(fake.bytesReceived(), 20u);
}

TEST_F(TransportFraming, SendsTheLargestBodyAndRefusesOneByteMore) {
  const std::string largest(static_cast<size_t>(RobotCommunicationClient::MAX_SEND_BODY_LENGTH), 'L');
  ASSERT_EQ(largest.size(), 2096875u);
  ASSERT_TRUE(sendPacket(client, 40, largest));
  EXPECT_FALSE(sendPacket(client, 41, largest + "+"));
  EXPECT_EQ(
      log.count("sdk communication log: The message size is larger than the specified size. length:2096888", LL_ERROR),
      1);
  // Nothing of the refused packet went out: the next packet the fake reads is the one sent after it.
  ASSERT_TRUE(sendPacket(client, 42, "after"));
  ASSERT_TRUE(fake.waitForReceived(2));
  const auto got = fake.received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_TRUE(got[0].body == largest);
  EXPECT_EQ(got[1].type, 42);
}

TEST_F(TransportFraming, RefusesABodyThatDoesNotMatchItsLength) {
  CommunicationRequest nullBody;
  nullBody.setProperty(-1, CommunicationMateType::CommunicationType_Login, nullptr, 5);
  EXPECT_FALSE(client.encodeAndSendCommunicationPackage(nullBody));
  CommunicationRequest negative;
  fillRequest(negative, 1, "abc");
  negative.m_textLength = -3;
  EXPECT_FALSE(client.encodeAndSendCommunicationPackage(negative));
  negative.m_textLength = 3;  // so the record releases what it owns
  EXPECT_EQ(log.count("sdk communication log: Invalid request body.", LL_ERROR), 2);
  ASSERT_TRUE(sendPacket(client, 42, "after"));
  ASSERT_TRUE(fake.waitForReceived(1));
  EXPECT_EQ(fake.received()[0].type, 42);
}

// Every packet is one uninterrupted run of bytes on the socket; the fake's parser flags any interleaving.
TEST_F(TransportFraming, ConcurrentSendersNeverInterleave) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 150;
  std::vector<std::thread> senders;
  for (int t = 0; t < kThreads; ++t) {
    senders.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        EXPECT_TRUE(sendPacket(client, 100 + t, std::string(static_cast<size_t>(1 + (i * 37) % 3000), 'a' + t)));
      }
    });
  }
  for (auto& s : senders) s.join();
  ASSERT_TRUE(fake.waitForReceived(kThreads * kPerThread));
  for (const auto& packet : fake.received()) {
    ASSERT_EQ(packet.body, std::string(packet.body.size(), static_cast<char>('a' + packet.type - 100)));
  }
}

TEST(TransportSend, ShortWriteShutsTheLinkDownWithOneDisconnectEvent) {
  ruko::test::LogCapture log;
  ruko::TimingTable timing = ruko::fastTiming();
  timing.socketSendTimeout = std::chrono::milliseconds(200);
  ruko::ScopedTimingOverride shortSendTimeout(timing);
  FakeController fake;
  RecordingClient client;
  client.setServerPort(fake.port());
  ASSERT_EQ(client.connectRobotServer(), 0);
  fake.pauseReading(true);

  // The socket buffers fill; a write then stays blocked past the send time-out with part of a packet out.
  const std::string big(static_cast<size_t>(RobotCommunicationClient::MAX_SEND_BODY_LENGTH), 'B');
  bool failed = false;
  for (int i = 0; i < 64 && !failed; ++i) {
    failed = !sendPacket(client, 40, big);
  }
  ASSERT_TRUE(failed);
  EXPECT_EQ(log.count("sdk communication log: Socket send messages error. errorcode=-1", LL_ERROR), 1);
  ASSERT_TRUE(waitFor([&] { return !client.getCurrentConnectStatus() && client.deliveredCount() == 1; }));
  EXPECT_TRUE(isDisconnectEvent(client.delivered()[0]));
  fake.pauseReading(false);
  EXPECT_TRUE(fake.waitForClientGone());
}

// ---- Connect and disconnect -------------------------------------------------------------------------------------

int openDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

TEST(TransportConnect, RefusesAnAddressThatIsNotDottedIPv4) {
  ruko::test::LogCapture log;
  for (const char* address : {"", "localhost", "1.2.3", "256.1.1.1", "::1", "127.0.0.1 "}) {
    SCOPED_TRACE(address);
    log.clear();
    RecordingClient client;
    client.setServerIP(address);
    const int before = openDescriptors();
    EXPECT_EQ(client.connectRobotServer(), ruko_robot_namespace::ErrCode_Failed);
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_FALSE(client.getCurrentConnectStatus());
    EXPECT_TRUE(log.contains(std::string("dotted IPv4 address: ") + address, LL_ERROR));
  }
}

TEST(TransportConnect, FailsWhenNobodyListens) {
  ruko::test::LogCapture log;
  int port;
  {
    FakeController gone;
    port = gone.port();
  }
  RecordingClient client;
  client.setServerPort(port);
  const int before = openDescriptors();
  EXPECT_EQ(client.connectRobotServer(), ruko_robot_namespace::ErrCode_Failed);
  EXPECT_EQ(openDescriptors(), before);
  client.setServerPort(70000);
  EXPECT_EQ(client.connectRobotServer(), ruko_robot_namespace::ErrCode_Failed);
  EXPECT_EQ(client.disconnectRobotServer(), 0);
}

TEST_F(TransportFraming, ConnectWhileConnectedLeavesTheLinkAlone) {
  EXPECT_EQ(client.connectRobotServer(), ruko_robot_namespace::ErrCode_Failed);
  EXPECT_TRUE(client.getCurrentConnectStatus());
  ASSERT_TRUE(fake.push(40, "still here"));
  ASSERT_TRUE(waitFor([&] { return client.deliveredCount() == 1; }));
  EXPECT_EQ(fake.connectionCount(), 1);
}

TEST_F(TransportFraming, DisconnectEndsTheReceiveThreadWithoutADisconnectEvent) {
  EXPECT_EQ(client.disconnectRobotServer(), 0);
  // Already true when disconnect returns: no waiting.
  EXPECT_TRUE(log.contains("sdk log: Receive data thread exit.", LL_INFO));
  EXPECT_EQ(log.count("pthread_join:Receive data thread exited successfully.", LL_INFO), 1);
  EXPECT_FALSE(client.getCurrentConnectStatus());
  EXPECT_TRUE(fake.waitForClientGone());
  EXPECT_EQ(client.deliveredCount(), 0u) << "a disconnect of our own is no loss of the link";
  EXPECT_EQ(log.count("error", LL_ERROR), 0);
  EXPECT_EQ(client.disconnectRobotServer(), 0);
  EXPECT_EQ(log.count("pthread_join:Receive data thread exited successfully."), 1) << "nothing left to join";
}

TEST_F(TransportFraming, ReconnectsAfterTheServerClosed) {
  fake.closeConnection();
  ASSERT_TRUE(waitFor([&] { return client.deliveredCount() == 1; }));
  ASSERT_TRUE(waitFor([&] { return !client.getCurrentConnectStatus(); }));
  ASSERT_EQ(client.connectRobotServer(), 0);
  EXPECT_EQ(log.count("pthread_join:Receive data thread exited successfully."), 1);
  ASSERT_TRUE(fake.waitForConnections(2));
  ASSERT_TRUE(fake.push(40, "again"));
  ASSERT_TRUE(waitFor([&] { return client.deliveredCount() == 2; }));
  EXPECT_EQ(client.delivered()[1].body, "again");
}

TEST_F(TransportFraming, DisconnectOnTheReceiveThreadDoesNotHang) {
  client.disconnectOnNextPacket = true;
  ASSERT_TRUE(fake.push(40, "stop"));
  ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Receive data thread exit."); }));
  EXPECT_EQ(log.count("pthread_join:Receive data thread exit failed.", LL_ERROR), 1);
  EXPECT_FALSE(client.getCurrentConnectStatus());
  EXPECT_TRUE(fake.waitForClientGone());
  // The next connect joins the ended thread and closes the old socket before opening a new one.
  ASSERT_EQ(client.connectRobotServer(), 0);
  EXPECT_EQ(log.count("pthread_join:Receive data thread exited successfully."), 1);
  ASSERT_TRUE(fake.waitForConnections(2));
}

// A callback on the receive thread ends the link while another thread is already disconnecting, and so
// holds the connection lock while it joins that very thread: neither may wait for the other.
TEST_F(TransportFraming, DisconnectOnTheReceiveThreadDuringAnotherDisconnectDoesNotHang) {
  std::atomic<bool> inside{false};
  std::atomic<bool> release{false};
  std::atomic<int> insideResult{-1};
  client.setOnNextPacket([&] {
    inside = true;
    waitFor([&] { return release.load(); });
    insideResult = client.disconnectRobotServer();
  });
  ASSERT_TRUE(fake.push(40, "stop"));
  ASSERT_TRUE(waitFor([&] { return inside.load(); }));

  std::atomic<bool> done{false};
  std::thread other([&] {
    client.disconnectRobotServer();
    done = true;
  });
  // The other thread shuts the socket down just before it joins the receive thread.
  const bool joining = fake.waitForClientGone();
  release = true;
  const bool finished = waitFor([&] { return done.load(); }, std::chrono::milliseconds(3000));
  if (!finished) {
    ADD_FAILURE() << "the two disconnects wait for each other";
    other.detach();  // cannot be joined; the process ends with the failed test
    std::quick_exit(1);
  }
  other.join();
  EXPECT_TRUE(joining);
  EXPECT_EQ(insideResult.load(), 0);
  EXPECT_FALSE(client.getCurrentConnectStatus());
  EXPECT_EQ(log.count("pthread_join:Receive data thread exited successfully.", LL_INFO), 1);
  EXPECT_EQ(client.deliveredCount(), 1u);
}

TEST_F(TransportFraming, ConnectAndDisconnectFromManyThreads) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 15; ++i) {
        const int r = client.connectRobotServer();
        EXPECT_TRUE(r == 0 || r == ruko_robot_namespace::ErrCode_Failed);
        sendPacket(client, 40, "x");
        EXPECT_EQ(client.disconnectRobotServer(), 0);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_FALSE(client.getCurrentConnectStatus());
  EXPECT_EQ(log.count("exit failed."), 0);
}

}  // namespace
