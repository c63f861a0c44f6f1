// The fault matrix: RobotControlServices over real loopback TCP against a controller that misbehaves in
// one way per row. Every row promises the same: no crash, no hang, no leak, every waiter released with its
// own code, and afterwards either a connection that still answers or one that is cleanly reported lost and
// can be opened again. docs/reliability.md ("Fault matrix") lists the rows.
//
// The receive path's handling of single hostile byte sequences is covered against the bare client in
// transport_client_test.cpp and receive_hostile_test.cpp; here the same faults meet a request in flight.

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "simulator.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::commonResultBody;
using ruko::test::eventBody;
using ruko::test::FakeController;
using ruko::test::framePacket;
using ruko::test::framePacketWithLength;
using ruko::test::waitFor;
using CMT = CommunicationMateType;
using Clock = std::chrono::steady_clock;

namespace {

constexpr RobotCommandType kHeart = CMT::CommunicationType_communicationHeart;
constexpr RobotCommandType kEvent = CMT::CommunicationType_Event;
constexpr RobotCommandType kJointStatus = CMT::CommunicationType_RealTimeJointStatus;

// Long waits stay long, so that a wait ended by a disconnect is told apart from one that ran out.
ruko::TimingTable matrixTiming() {
  ruko::TimingTable t = ruko::fastTiming();
  t.responseWait = 400ms;
  t.handshakeWait = t.startupWait = t.shutdownWait = 3s;
  t.motionControlWait = 3s;
  return t;
}

// A wait that a disconnect ends returns well within this.
constexpr auto kAtOnce = 1s;

std::chrono::milliseconds since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// A start marker and a length field followed by `count` filler bytes.
std::string headerWithLength(int32_t lengthField, size_t count) {
  return framePacketWithLength(lengthField, 0, "").substr(0, 8) + std::string(count, '\x01');
}

// Runs a blocking call on its own thread and keeps its result and how long it took.
class Waiter {
 public:
  explicit Waiter(std::function<int()> call)
      : m_thread([this, call] {
          const auto start = Clock::now();
          const int result = call();
          m_elapsed = since(start).count();
          m_result = result;
        }) {}
  ~Waiter() { join(); }
  Waiter(const Waiter&) = delete;
  Waiter& operator=(const Waiter&) = delete;

  int result() {
    join();
    return m_result.load();
  }
  std::chrono::milliseconds elapsed() {
    join();
    return std::chrono::milliseconds(m_elapsed.load());
  }

 private:
  static constexpr int kRunning = INT_MIN;
  void join() {
    if (m_thread.joinable()) m_thread.join();
  }
  std::atomic<int> m_result{kRunning};
  std::atomic<long long> m_elapsed{0};
  std::thread m_thread;  // last: it starts once the members above exist
};

class FaultMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_unique<RobotControlServices>();
    engine->robotServiceRegisterRobotEventInfoCallbackService(
        [](const RobotEventInfo* event, void* self) {
          auto* test = static_cast<FaultMatrix*>(self);
          std::lock_guard<std::mutex> lock(test->m_eventMutex);
          test->m_events.push_back(*event);
        },
        this);
    engine->robotServiceRegisterRealTimeJointStatusCallbackService(
        [](const JointStatus*, int count, void* self) {
          auto* test = static_cast<FaultMatrix*>(self);
          if (count == 6) ++test->jointStatusCalls;
        },
        this);
  }

  // Opens a new connection to `server`, closing whatever the engine had.
  void connect(FakeController& server) {
    engine->disconnectRobotServer();
    const int before = server.connectionCount();
    engine->setServerPort(server.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    ASSERT_TRUE(server.waitForConnections(before + 1));
  }

  int disconnectEvents() {
    std::lock_guard<std::mutex> lock(m_eventMutex);
    int n = 0;
    for (const auto& e : m_events) n += e.eventType == RobotEvent_socketDisconnected ? 1 : 0;
    return n;
  }

  // Sends one heartbeat (which `server` leaves unanswered) and, once it has arrived, lets `answer` write
  // whatever stands for the reply.
  int heartbeatAnsweredBy(FakeController& server, const std::function<void()>& answer) {
    const size_t before = server.receivedOfType(kHeart).size();
    std::thread controller([&] {
      if (waitFor([&] { return server.receivedOfType(kHeart).size() > before; }, 2s)) answer();
    });
    const int result = engine->heartbeatService();
    controller.join();
    return result;
  }

  // The connection answers again: reopened if it was lost, and a request gets its reply.
  void expectUsable(FakeController& server) {
    if (!engine->getCurrentConnectStatus()) connect(server);
    EXPECT_EQ(heartbeatAnsweredBy(server, [&] { server.push(kHeart, commonResultBody(0)); }), ErrnoSucc);
    EXPECT_TRUE(engine->getCurrentConnectStatus());
  }

  // Waits on the move-finish queue as a blocking move does; gives the event that ended the wait.
  std::unique_ptr<Waiter> moveFinishWaiter(std::atomic<bool>& waiting) {
    {
      std::lock_guard<std::mutex> lock(*engine->getRobotMoveAtTrackTargetPosMutexPtr());
      engine->clearMoveFinishEventQueue();
    }
    auto waiter = std::make_unique<Waiter>([this, &waiting] {
      std::unique_lock<std::mutex> lock(*engine->getRobotMoveAtTrackTargetPosMutexPtr());
      waiting = true;
      engine->getRobotMoveAtTrackTargetPosConditonPtr()->wait_for(
          lock, 3s, [this] { return engine->frontToMoveFinishEventQueue() != RobotEventInvalid; });
      return static_cast<int>(engine->frontToMoveFinishEventQueue());
    });
    // Once the waiter has let go of the mutex it is inside its wait.
    EXPECT_TRUE(waitFor([&] { return waiting.load(); }));
    std::lock_guard<std::mutex> lock(*engine->getRobotMoveAtTrackTargetPosMutexPtr());
    return waiter;
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{matrixTiming()};
  std::atomic<int> jointStatusCalls{0};
  std::mutex m_eventMutex;
  std::vector<RobotEventInfo> m_events;
  // Last: its threads write the members above until it is destroyed.
  std::unique_ptr<RobotControlServices> engine;
};

// ---- Hostile bytes around a reply that a request waits for --------------------------------------------------

// Every row writes the reply to a waiting heartbeat with foreign bytes before or inside it. The link stays
// up, the receive thread neither spins nor stalls, and the next request is answered.
TEST_F(FaultMatrix, HostileBytesAroundAReplyLeaveTheLinkUp) {
  constexpr int kAnyAnswer = -1;  // answered (not timed out), whatever the garbled body decodes to
  // Result code 1 in the reply: an intact reply gives ErrCode_ResponseReturnError, never success.
  const std::string reply = framePacket(kHeart, commonResultBody(1, "refused"));
  struct Case {
    std::string name;
    std::function<void(FakeController&)> send;
    int expected;
  };
  std::vector<Case> cases = {
      {"stray bytes before the reply", [&](FakeController& f) { f.sendRaw("\x01\x02\x03" + reply); },
       ErrCode_ResponseReturnError},
      {"half a start marker before the reply", [&](FakeController& f) { f.sendRaw("\xEE\xCC" + reply); },
       ErrCode_ResponseReturnError},
      {"urgent byte before the reply",
       [&](FakeController& f) {
         f.sendUrgent('!');
         f.sendRaw(reply);
       },
       ErrCode_ResponseReturnError},
      {"stray byte, urgent byte, stray byte before the reply",
       [&](FakeController& f) {
         f.sendRaw("\x0a");
         f.sendUrgent('!');
         f.sendRaw("\x0b" + reply);
       },
       ErrCode_ResponseReturnError},
      {"urgent byte inside the reply's body",
       [&](FakeController& f) {
         f.sendRaw(reply.substr(0, 14));
         f.sendUrgent('!');
         f.sendRaw(reply.substr(14));
       },
       ErrCode_ResponseReturnError},
      // The length field counts the stray bytes as body: the reply is handed on garbled, and its last bytes
      // are slid over as foreign bytes before the next packet. A common result that does not decode leaves
      // the controller's code at 0, so this caller is told "success".
      {"stray bytes inside the reply's body",
       [&](FakeController& f) { f.sendRaw(reply.substr(0, 14) + std::string("\x00\x00\x00", 3) + reply.substr(14)); },
       kAnyAnswer},
      // A start marker cut in two by an urgent byte is lost with its packet: the request ends by its time-out.
      {"urgent byte inside the reply's start marker",
       [&](FakeController& f) {
         f.sendRaw(reply.substr(0, 2));
         f.sendUrgent('!');
         f.sendRaw(reply.substr(2));
       },
       ErrCode_RequestTimeout},
  };
  // Too short for a type and the trailer: the bytes the length field counts are read and dropped.
  for (int32_t length = 1; length <= 11; ++length) {
    cases.push_back({"length field " + std::to_string(length) + " before the reply",
                     [length, &reply](FakeController& f) {
                       f.sendRaw(headerWithLength(length, static_cast<size_t>(length)) + reply);
                     },
                     ErrCode_ResponseReturnError});
  }
  // A spinning receive thread writes about two lines per microsecond; sliding over a whole packet costs
  // two lines per byte.
  const int kFewLines = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeController server;
    connect(server);
    log.clear();
    const int result = heartbeatAnsweredBy(server, [&] { c.send(server); });
    if (c.expected == kAnyAnswer) {
      EXPECT_NE(result, ErrCode_RequestTimeout);
    } else {
      EXPECT_EQ(result, c.expected);
    }
    EXPECT_TRUE(engine->getCurrentConnectStatus());
    expectUsable(server);
    EXPECT_LE(log.count(""), kFewLines) << "the receive thread spins";
    EXPECT_EQ(disconnectEvents(), 0);
    engine->disconnectRobotServer();  // before the row's server goes, which the engine would see as a loss
  }
}

// ---- Bytes that end the link while every kind of waiter waits ---------------------------------------------

// A waiting request ends by its time-out (a disconnect does not wake it), a lifecycle wait and a move-finish
// wait end at once; one disconnect event reaches the application; the engine connects again afterwards.
TEST_F(FaultMatrix, BytesThatEndTheLinkReleaseEveryWaiter) {
  const std::string reply = framePacket(kHeart, commonResultBody(0, "a reply that is cut short"));
  const size_t halfBody = 12 + (reply.size() - 20) / 2;
  struct Case {
    const char* name;
    std::function<void(FakeController&)> send;
    const char* line;  // the error line that names the cause
  };
  const Case cases[] = {
      {"server closes after the start marker and length",
       [&](FakeController& f) {
         f.sendRaw(reply.substr(0, 8));
         f.closeConnection();
       },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"server closes after the header",
       [&](FakeController& f) {
         f.sendRaw(reply.substr(0, 12));
         f.closeConnection();
       },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"server closes after half the body",
       [&](FakeController& f) {
         f.sendRaw(reply.substr(0, halfBody));
         f.closeConnection();
       },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"length field 0", [](FakeController& f) { f.sendRaw(headerWithLength(0, 16)); },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"length field -1", [](FakeController& f) { f.sendRaw(headerWithLength(-1, 16)); },
       "sdk communication log: recv return 0, Server disconnenct."},
      {"length field one beyond the receive buffer",
       [](FakeController& f) { f.sendRaw(headerWithLength(RobotCommunicationClient::RECV_BUFFER_SIZE + 1, 16)); },
       "sdk communication log: Packet length 2097153 exceeds receive buffer."},
      {"length field INT32_MAX", [](FakeController& f) { f.sendRaw(headerWithLength(INT32_MAX, 16)); },
       "sdk communication log: Packet length 2147483647 exceeds receive buffer."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeController server;
    server.on(CMT::CommunicationType_RobotHandShake).reply(commonResultBody(0));
    connect(server);
    const int disconnectsBefore = disconnectEvents();

    Waiter handshake([&] { return engine->robotHandShakeService(true); });
    ASSERT_TRUE(server.waitForSent(1));
    std::atomic<bool> moveWaiting{false};
    const auto moveFinish = moveFinishWaiter(moveWaiting);
    const size_t heartbeats = server.receivedOfType(kHeart).size();
    Waiter request([&] { return engine->heartbeatService(); });
    ASSERT_TRUE(waitFor([&] { return server.receivedOfType(kHeart).size() > heartbeats; }));
    log.clear();

    const auto start = Clock::now();
    c.send(server);
    EXPECT_EQ(handshake.result(), ErrCode_SocketDisconnect);
    EXPECT_EQ(moveFinish->result(), RobotEvent_socketDisconnected);
    EXPECT_LT(since(start), kAtOnce);
    EXPECT_EQ(request.result(), ErrCode_RequestTimeout);
    EXPECT_GE(request.elapsed(), ruko::timing().responseWait);

    EXPECT_FALSE(engine->getCurrentConnectStatus());
    ASSERT_TRUE(waitFor([&] { return disconnectEvents() == disconnectsBefore + 1; }));
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
    EXPECT_TRUE(server.waitForClientGone()) << "the client closes its end";
    expectUsable(server);
    EXPECT_EQ(disconnectEvents(), disconnectsBefore + 1);
    engine->disconnectRobotServer();
  }
}

// ---- A controller that never answers ----------------------------------------------------------------------

// The request of every composite call ends by the response wait with ErrCode_RequestTimeout, not by the
// longer wait for its done event, and the connection stays usable.
TEST_F(FaultMatrix, UnansweredRequestsEndByTheResponseWait) {
  RobotWorkMode mode{};
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  const struct {
    const char* name;
    int type;
    std::function<int()> call;
  } cases[] = {
      {"a get", CMT::CommunicationType_GetRobotMode, [&] { return engine->getRobotWorkModeService(mode); }},
      {"handshake", CMT::CommunicationType_RobotHandShake, [&] { return engine->robotHandShakeService(true); }},
      {"start-up", CMT::CommunicationType_RobotStartup,
       [&] { return engine->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true); }},
      {"shut-down", CMT::CommunicationType_RobotShutdown, [&] { return engine->robotShutdownService(true); }},
      {"pause", CMT::CommunicationType_RobotMoveControlType_Pause,
       [&] { return engine->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_Pause); }},
  };
  FakeController server;
  connect(server);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.on(c.type).noReply();
    log.clear();
    const auto start = Clock::now();
    EXPECT_EQ(c.call(), ErrCode_RequestTimeout);
    const auto waited = since(start);
    EXPECT_GE(waited, ruko::timing().responseWait);
    EXPECT_LT(waited, ruko::timing().responseWait + kAtOnce);
    EXPECT_EQ(log.count("sdk log: Wait response timeout. cmd type: " + std::to_string(c.type), LL_ERROR), 1);
    expectUsable(server);
  }
}

// ---- A controller that stops reading ------------------------------------------------------------------------

// The socket buffers fill; the blocked write gives up after the send time-out, the request returns
// ErrCode_SendRequestFailed, and since part of a packet went out the link is shut down and reported lost.
TEST_F(FaultMatrix, ControllerThatStopsReadingCannotBlockASenderForEver) {
  ruko::TimingTable t = matrixTiming();
  t.socketSendTimeout = 200ms;
  t.responseWait = 50ms;
  ruko::ScopedTimingOverride shortSend(t);
  FakeController server;
  connect(server);
  server.pauseReading(true);
  const int largest = RobotCommunicationClient::MAX_SEND_BODY_LENGTH;
  const auto sendLargest = [&] {
    char* body = new char[static_cast<size_t>(largest)];
    std::memset(body, 'B', static_cast<size_t>(largest));
    return engine->requestServiceOnlyCheckSendResultMode(CMT::CommunicationType_SetRobotMode, body, largest);
  };

  int result = ErrCode_RequestTimeout;
  std::unique_ptr<Waiter> other;
  for (int i = 0; i < 64 && result == ErrCode_RequestTimeout; ++i) {
    const auto start = Clock::now();
    result = sendLargest();
    EXPECT_LT(since(start), t.responseWait + t.socketSendTimeout + kAtOnce) << "send " << i;
    // A request of another type, sent while the large ones may already be stuck behind a full buffer.
    if (!other) other = std::make_unique<Waiter>([&] { return engine->heartbeatService(); });
  }
  EXPECT_EQ(result, ErrCode_SendRequestFailed);
  EXPECT_GE(log.count("sdk communication log: Socket send messages error. errorcode=-1", LL_ERROR), 1);
  const int otherResult = other->result();
  EXPECT_TRUE(otherResult == ErrCode_SendRequestFailed || otherResult == ErrCode_SocketDisconnect ||
              otherResult == ErrCode_RequestTimeout)
      << otherResult;
  EXPECT_LT(other->elapsed(), t.responseWait + t.socketSendTimeout + kAtOnce);
  ASSERT_TRUE(waitFor([&] { return !engine->getCurrentConnectStatus() && disconnectEvents() == 1; }));

  server.pauseReading(false);
  EXPECT_TRUE(server.waitForClientGone());
  expectUsable(server);
}

// ---- Pushes at full rate during requests ----------------------------------------------------------------

// 10,000 joint-status pushes a second while two threads keep requesting: every request is answered and
// every push reaches the callback.
TEST_F(FaultMatrix, PushFloodDuringRequestsLosesNothing) {
  ruko::TimingTable t = matrixTiming();
  t.responseWait = 2s;
  ruko::ScopedTimingOverride patient(t);
  FakeController server;
  server.on(kHeart).reply(commonResultBody(0));
  server.on(CMT::CommunicationType_GetRobotVersionInfo).reply(ruko::test::textBody("4.10.1"));
  connect(server);

  constexpr int kBursts = 150;  // 1.5 s at 100 pushes every 10 ms
  constexpr int kPerBurst = 100;
  std::atomic<bool> pushing{true};
  std::atomic<int> pushed{0};
  std::thread pusher([&] {
    const auto start = Clock::now();
    for (int i = 0; i < kBursts; ++i) {
      std::this_thread::sleep_until(start + i * 10ms);  // the pace of the flood, not a wait for a state
      if (server.pushBurst(kJointStatus, ruko::test::jointStatusBody(i), kPerBurst)) pushed += kPerBurst;
    }
    pushing = false;
  });
  std::atomic<int> heartbeats{0};
  std::atomic<int> versions{0};
  std::thread versionReader([&] {
    while (pushing) {
      std::string version;
      EXPECT_EQ(engine->getServerVersionInfoService(version), ErrnoSucc);
      EXPECT_EQ(version, "4.10.1");
      ++versions;
    }
  });
  while (pushing) {
    EXPECT_EQ(engine->heartbeatService(), ErrnoSucc);
    ++heartbeats;
  }
  pusher.join();
  versionReader.join();

  EXPECT_EQ(pushed.load(), kBursts * kPerBurst);
  EXPECT_TRUE(waitFor([&] { return jointStatusCalls.load() >= pushed.load(); }));
  EXPECT_EQ(jointStatusCalls.load(), pushed.load());
  EXPECT_GT(heartbeats.load(), 10);
  EXPECT_GT(versions.load(), 10);
  EXPECT_EQ(server.receivedOfType(kHeart).size(), static_cast<size_t>(heartbeats.load()));
  EXPECT_TRUE(engine->getCurrentConnectStatus());
}

// ---- A done event written in the same write as its reply, ahead of it ------------------------------------

TEST_F(FaultMatrix, DoneEventAheadOfItsReplyInOneWrite) {
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  const struct {
    const char* name;
    int type;
    std::string reply;
    int event;
    int eventCode;
    std::function<int()> call;
  } cases[] = {
      {"handshake", CMT::CommunicationType_RobotHandShake, commonResultBody(0), RobotEvent_RobotHandShakeSucc, 0,
       [&] { return engine->robotHandShakeService(true); }},
      {"start-up", CMT::CommunicationType_RobotStartup, commonResultBody(0), RobotEvent_robotStartupDoneResult,
       ROBOT_SERVICE_WORKING,
       [&] { return engine->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true); }},
      {"shut-down", CMT::CommunicationType_RobotShutdown, commonResultBody(0), RobotEvent_robotShutdownDone, 0,
       [&] { return engine->robotShutdownService(true); }},
      {"pause", CMT::CommunicationType_RobotMoveControlType_Pause, ruko::test::moveControlBody(1),
       RobotEvent_RobotMoveControlPauseDone, 0,
       [&] { return engine->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_Pause); }},
  };
  FakeController server;
  // Start-up reads the base parameters of a real arm afterwards; there is none.
  server.on(CMT::CommunicationType_GetIsRealRobotExist).reply(ruko::test::boolBody(false));
  connect(server);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.on(c.type).replyRaw(framePacket(kEvent, eventBody(c.event, c.eventCode, "")) + framePacket(c.type, c.reply));
    const auto start = Clock::now();
    EXPECT_EQ(c.call(), ErrnoSucc);
    EXPECT_LT(since(start), kAtOnce) << "the early event was lost and the wait ran out";
  }
  EXPECT_EQ(state, ROBOT_SERVICE_WORKING);
  expectUsable(server);
}

// ---- Disconnect during each kind of wait ------------------------------------------------------------------

// Stop, pause and continue waits and the move-finish queue end at once when the server closes or when our
// own logout runs on another thread; a request wait is not woken by a logout and ends by its time-out.
// (Handshake, start-up and shut-down waits: controller_services_test.cpp; a request wait whose server
// closes: request_engine_test.cpp.)
TEST_F(FaultMatrix, DisconnectDuringEachWait) {
  enum class Kind { Request, MotionControl, MoveFinish };
  const struct {
    const char* name;
    Kind kind;
    int type;
    bool local;
  } cases[] = {
      {"request wait, our logout", Kind::Request, kHeart, true},
      {"slow stop, server closes", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_SlowStop, false},
      {"slow stop, our logout", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_SlowStop, true},
      {"fast stop, server closes", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_FastStop, false},
      {"fast stop, our logout", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_FastStop, true},
      {"pause, server closes", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_Pause, false},
      {"pause, our logout", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_Pause, true},
      {"continue, server closes", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_Continue, false},
      {"continue, our logout", Kind::MotionControl, CMT::CommunicationType_RobotMoveControlType_Continue, true},
      {"move-finish queue, server closes", Kind::MoveFinish, 0, false},
      {"move-finish queue, our logout", Kind::MoveFinish, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeController server;
    connect(server);
    log.clear();
    std::unique_ptr<Waiter> waiter;
    std::atomic<bool> moveWaiting{false};
    switch (c.kind) {
      case Kind::Request:
        waiter = std::make_unique<Waiter>([&] { return engine->heartbeatService(); });
        ASSERT_TRUE(server.waitForReceived(1));
        break;
      case Kind::MotionControl:
        // "Wait for the done event": the reply is handled once the wait is announced.
        server.on(c.type).reply(ruko::test::moveControlBody(1));
        waiter = std::make_unique<Waiter>(
            [&] { return engine->robotMoveControlService(static_cast<RobotCommandType>(c.type)); });
        ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Waiting for the Motion-Control-Done of the event"); }));
        break;
      case Kind::MoveFinish:
        waiter = moveFinishWaiter(moveWaiting);
        break;
    }
    const int expected = c.kind == Kind::Request         ? static_cast<int>(ErrCode_RequestTimeout)
                         : c.kind == Kind::MotionControl ? static_cast<int>(ErrCode_SocketDisconnect)
                                                         : static_cast<int>(RobotEvent_socketDisconnected);
    const auto start = Clock::now();
    if (c.local) {
      EXPECT_EQ(engine->logoutService(), ErrnoSucc);
    } else {
      server.closeConnection();
    }
    EXPECT_EQ(waiter->result(), expected);
    if (c.kind == Kind::Request) {
      EXPECT_GE(waiter->elapsed(), ruko::timing().responseWait);
    } else {
      EXPECT_LT(since(start), kAtOnce);
    }
    EXPECT_FALSE(engine->getCurrentConnectStatus());
    expectUsable(server);
    engine->disconnectRobotServer();
  }
}

// ---- Connect, login and logout over and over --------------------------------------------------------------

// Entries of a /proc directory: open descriptors (/proc/self/fd) or threads (/proc/self/task).
int procEntries(const char* path) {
  int count = 0;
  if (DIR* dir = opendir(path)) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

// AddressSanitizer keeps freed blocks resident in its quarantine, so resident memory grows without a leak
// there; LeakSanitizer checks for leaks instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryTellsLeaks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryTellsLeaks = false;
#else
constexpr bool kResidentMemoryTellsLeaks = true;
#endif
#else
constexpr bool kResidentMemoryTellsLeaks = true;
#endif

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(FaultMatrixCycles, LoginLogoutCyclesLeakNothing) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast(ruko::fastTiming());
  ruko::sim::Options options;
  options.timeScale = 0.05;
  ruko::sim::Simulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.start(&error)) << error;
  RobotControlServices engine;
  const auto cycle = [&] {
    RobotType type{};
    RobotDhPara dh{};
    ASSERT_EQ(engine.loginService("127.0.0.1", sim.port(), "user", "pass", type, dh), ErrnoSucc);
    ASSERT_EQ(engine.logoutService(), ErrnoSucc);
    log.clear();
  };
  const auto settled = [&] { return waitFor([&] { return sim.sessionCount() == 0; }); };
  // The first cycles make what lives for the process (the log instance, protobuf's tables, the allocator's
  // arenas for the threads).
  for (int i = 0; i < 20; ++i) cycle();
  ASSERT_TRUE(settled());
  const int fdsBefore = procEntries("/proc/self/fd");
  const int threadsBefore = procEntries("/proc/self/task");
  const long rssBefore = residentKiB();

  const auto start = Clock::now();
  constexpr int kCycles = 1000;
  for (int i = 0; i < kCycles && !HasFatalFailure(); ++i) cycle();
  const auto took = since(start);
  ASSERT_TRUE(settled());
  EXPECT_EQ(procEntries("/proc/self/fd"), fdsBefore);
  EXPECT_EQ(procEntries("/proc/self/task"), threadsBefore);
  if (kResidentMemoryTellsLeaks) {
    EXPECT_LT(residentKiB() - rssBefore, 4096) << "KiB grown over " << kCycles << " cycles";
  }
  RecordProperty("cycles_ms", static_cast<int>(took.count()));
  std::printf("%d cycles took %lld ms\n", kCycles, static_cast<long long>(took.count()));
}

// ---- Destruction while the engine's threads are busy ------------------------------------------------------

struct Flow {
  std::atomic<int> events{0};
  std::atomic<int> jointStatus{0};
  std::atomic<bool> destroying{false};
  std::atomic<bool> gone{false};
  std::unique_ptr<RobotControlServices> engine;

  static void countEvent(const RobotEventInfo*, void* arg) { ++static_cast<Flow*>(arg)->events; }
  static void countJointStatus(const JointStatus*, int, void* arg) { ++static_cast<Flow*>(arg)->jointStatus; }
  // Destroys the engine once both kinds have been seen flowing.
  void destroyOnceBothFlow() {
    if (events > 5 && jointStatus > 50 && !destroying.exchange(true)) {
      engine.reset();
      gone = true;
    }
  }
  static void eventThenDestroy(const RobotEventInfo* e, void* arg) {
    countEvent(e, arg);
    static_cast<Flow*>(arg)->destroyOnceBothFlow();
  }
  static void jointStatusThenDestroy(const JointStatus* s, int n, void* arg) {
    countJointStatus(s, n, arg);
    static_cast<Flow*>(arg)->destroyOnceBothFlow();
  }
};

// Writes events and joint-status pushes to the fake's client until destroyed.
class Pusher {
 public:
  explicit Pusher(FakeController& server)
      : m_thread([this, &server] {
          while (m_run) {
            server.pushBurst(kEvent, eventBody(RobotEvent_User, 1, "flow"), 20);
            server.pushBurst(kJointStatus, ruko::test::jointStatusBody(1), 100);
          }
        }) {}
  ~Pusher() {
    m_run = false;
    m_thread.join();
  }
  Pusher(const Pusher&) = delete;
  Pusher& operator=(const Pusher&) = delete;

 private:
  std::atomic<bool> m_run{true};
  std::thread m_thread;  // last
};

// The event thread and the receive thread are both inside callbacks when the engine goes.
TEST(FaultMatrixLifetime, DestroyedWhilePushesAndEventsFlow) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast(ruko::fastTiming());
  FakeController server;
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    Flow flow;
    flow.engine = std::make_unique<RobotControlServices>();
    flow.engine->robotServiceRegisterRobotEventInfoCallbackService(&Flow::countEvent, &flow);
    flow.engine->robotServiceRegisterRealTimeJointStatusCallbackService(&Flow::countJointStatus, &flow);
    flow.engine->setServerPort(server.port());
    ASSERT_EQ(flow.engine->connectRobotServer(), 0);
    ASSERT_TRUE(server.waitForConnections(round + 1));
    Pusher pusher(server);
    ASSERT_TRUE(waitFor([&] { return flow.events > 10 && flow.jointStatus > 100; }));
    flow.engine.reset();
    EXPECT_TRUE(server.waitForClientGone());
  }
}

// Destroyed from inside one of its callbacks while the other thread is busy delivering its own.
TEST(FaultMatrixLifetime, DestroyedFromACallbackWhileTheOtherThreadDelivers) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast(ruko::fastTiming());
  for (bool fromEventThread : {true, false}) {
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(fromEventThread ? "event callback" : "joint-status callback");
      SCOPED_TRACE(round);
      FakeController server;
      Flow flow;
      flow.engine = std::make_unique<RobotControlServices>();
      flow.engine->robotServiceRegisterRobotEventInfoCallbackService(
          fromEventThread ? &Flow::eventThenDestroy : &Flow::countEvent, &flow);
      flow.engine->robotServiceRegisterRealTimeJointStatusCallbackService(
          fromEventThread ? &Flow::countJointStatus : &Flow::jointStatusThenDestroy, &flow);
      flow.engine->setServerPort(server.port());
      ASSERT_EQ(flow.engine->connectRobotServer(), 0);
      ASSERT_TRUE(server.waitForConnections(1));
      Pusher pusher(server);
      ASSERT_TRUE(waitFor([&] { return flow.gone.load(); }));
      EXPECT_TRUE(server.waitForClientGone());
    }
  }
}

}  // namespace
