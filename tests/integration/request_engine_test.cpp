// The request engine as a conversation with the fake controller: what is sent, what the caller gets back,
// which code and which log line.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "robotcommunication.pb.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::commonResultBody;
using ruko::test::FakeController;
using ruko::test::waitFor;

namespace {

using Type = CommunicationMateType::CommunicationCommandType;
constexpr Type kSetRobotMode = CommunicationMateType::CommunicationType_SetRobotMode;
constexpr Type kGetRobotMode = CommunicationMateType::CommunicationType_GetRobotMode;
constexpr Type kRobotMove = CommunicationMateType::CommunicationType_RobotMove;

// Records what reaches the registered callbacks: the push kind (its command type) on the receive thread,
// events on the event thread.
class RecordingEngine : public RobotControlServices {
 public:
  RecordingEngine() {
    robotServiceRegisterRealTimeJointStatusCallbackService(
        [](const JointStatus*, int, void* self) { static_cast<RecordingEngine*>(self)->record(3); }, this);
    robotServiceRegisterRealTimeRoadPointCallbackService(
        [](const wayPoint_S*, void* self) { static_cast<RecordingEngine*>(self)->record(7); }, this);
    robotServiceRegisterRealTimeEndSpeedCallbackService(
        [](double, void* self) { static_cast<RecordingEngine*>(self)->record(11); }, this);
    robotServiceRegisterMovepProgressNotifyCallbackService(
        [](int, void* self) { static_cast<RecordingEngine*>(self)->record(133); }, this);
    robotServiceRegisterRobotEventInfoCallbackService(
        [](const RobotEventInfo* event, void* self) {
          auto* engine = static_cast<RecordingEngine*>(self);
          std::lock_guard<std::mutex> lock(engine->m_mutex);
          engine->m_events.push_back(*event);
        },
        this);
  }
  ~RecordingEngine() override { disconnectRobotServer(); }

  std::vector<int> pushes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pushes;
  }
  std::vector<RobotEventInfo> events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
  }

 private:
  void record(int type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pushes.push_back(type);
  }

  mutable std::mutex m_mutex;
  std::vector<int> m_pushes;
  std::vector<RobotEventInfo> m_events;
};

char* heapBody(const std::string& bytes) {
  char* body = new char[bytes.size()];
  std::memcpy(body, bytes.data(), bytes.size());
  return body;
}

class RequestEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.setServerPort(fake.port());
    ASSERT_EQ(engine.connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
    // With no pause after the connect, the receive thread's first line may come late; wait for it so
    // that tests counting lines see only their own.
    ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Receive data thread startup ..."); }));
  }

  int check(Type type) { return engine.requestServiceOnlyCheckSendResultMode(type, nullptr, 0); }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast{ruko::fastTiming()};
  FakeController fake;
  RecordingEngine engine;
};

TEST_F(RequestEngine, CheckModeMapsTheControllersResultCode) {
  const struct {
    int serverCode;
    int expected;
  } cases[] = {
      {0, ErrnoSucc},
      {4, ErrCode_RealRobotNoExist},
      {1, ErrCode_ResponseReturnError},
      {2, ErrCode_ResponseReturnError},
      {3, ErrCode_ResponseReturnError},
      {5, ErrCode_ResponseReturnError},
      {-1, ErrCode_ResponseReturnError},
      {INT_MAX, ErrCode_ResponseReturnError},
  };
  auto& script = fake.on(kSetRobotMode);
  for (const auto& c : cases) script.reply(commonResultBody(c.serverCode, "text"));

  for (const auto& c : cases) {
    SCOPED_TRACE(c.serverCode);
    log.clear();
    EXPECT_EQ(check(kSetRobotMode), c.expected);
    EXPECT_EQ(RobotControlServices::getErrCodeByServerResponse(c.serverCode), c.expected);
    const std::string line = "sdk log: Response return false. cmd Type:CommunicationType_SetRobotMode  errorCode:" +
                             std::to_string(c.serverCode);
    EXPECT_EQ(log.count(line, LL_ERROR), c.expected == ErrnoSucc ? 0 : 1);
  }
}

TEST_F(RequestEngine, ResponseWithoutBodyIsReportedInBothModes) {
  fake.on(kSetRobotMode).reply("");
  fake.on(kGetRobotMode).reply("");
  EXPECT_EQ(check(kSetRobotMode), ErrCode_ResponseInfoIsNULL);
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, nullptr, 0, response),
            ErrCode_ResponseInfoIsNULL);
  EXPECT_EQ(log.count("sdk log: robot server response text is NULL.", LL_ERROR), 2);
  EXPECT_EQ(log.count("recv response text is NULL, command:33", LL_ERROR), 1);
  EXPECT_EQ(log.count("recv response text is NULL, command:34", LL_ERROR), 1);
}

// A body that is no common result leaves the code at 0, as the controller protocol has it.
TEST_F(RequestEngine, UndecodableCommonResultLeavesTheCodeAtZero) {
  fake.on(kSetRobotMode).reply("\xFF\xFF not a message");
  EXPECT_EQ(check(kSetRobotMode), ErrnoSucc);
}

TEST_F(RequestEngine, ContentModeHandsTheCallerItsOwnCopy) {
  const std::string answer("\x08\x02\x00payload", 10);
  fake.on(kGetRobotMode).reply(answer);
  CommunicationResponse response;
  response.setProperty(7, kRobotMove, heapBody("stale"), 5);  // whatever it held is released

  ASSERT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, heapBody("question"), 8, response), 0);
  EXPECT_EQ(response.m_commandType, kGetRobotMode);
  ASSERT_EQ(response.m_textLength, static_cast<int>(answer.size()));
  EXPECT_EQ(std::string(response.m_textPtr, answer.size()), answer);
  const auto got = fake.received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].type, kGetRobotMode);
  EXPECT_EQ(got[0].body, "question");
}

TEST_F(RequestEngine, HeartbeatIsAnEmptyCheckedRequest) {
  fake.on(115).reply(commonResultBody(0));
  EXPECT_EQ(engine.heartbeatService(), 0);
  const auto got = fake.received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].type, 115);
  EXPECT_EQ(got[0].lengthField, 12);
}

TEST_F(RequestEngine, BadArgumentsAreRefusedAndNothingIsSent) {
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(kSetRobotMode, nullptr, 4), ErrCode_ParamError);
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(kSetRobotMode, heapBody("abc"), -3), ErrCode_ParamError);
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, heapBody("abc"), -1, response),
            ErrCode_ParamError);
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(CommunicationMateType::CommunicationType_Unknown, nullptr, 0),
            ErrCode_ParamError);
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(static_cast<Type>(-1), heapBody("x"), 1), ErrCode_ParamError);
  EXPECT_EQ(log.count("sdk log: Invalid request body.", LL_ERROR), 3);
  EXPECT_EQ(log.count("sdk log: Request command type not exist.", LL_ERROR), 2);

  // The first packet the fake reads is the one sent after them.
  fake.on(115).reply(commonResultBody(0));
  EXPECT_EQ(engine.heartbeatService(), 0);
  EXPECT_EQ(fake.received().size(), 1u);
}

TEST_F(RequestEngine, OversizedBodyIsASendFailure) {
  const int size = RobotCommunicationClient::MAX_SEND_BODY_LENGTH + 1;
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(kSetRobotMode, new char[size](), size),
            ErrCode_SendRequestFailed);
  EXPECT_EQ(log.count("sdk log: encode and send request failed.", LL_ERROR), 1);
}

TEST(RequestEngineOffline, RequestWhileDisconnectedFailsAtOnce) {
  ruko::test::LogCapture log;
  RecordingEngine engine;
  EXPECT_EQ(engine.requestServiceOnlyCheckSendResultMode(kSetRobotMode, heapBody("body"), 4), ErrCode_SocketDisconnect);
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, heapBody("body"), 4, response),
            ErrCode_SocketDisconnect);
  EXPECT_EQ(engine.heartbeatService(), ErrCode_SocketDisconnect);
  EXPECT_EQ(log.count("sdk log: Current connect disconnect.", LL_ERROR), 3);
}

// A stored response wakes its waiter at once: with a 2 s response wait, answered requests of both modes
// come back long before it runs out. The answers come 100 ms late so that the requester is already waiting
// (one that lands before the wait begins is found without a wake-up).
TEST_F(RequestEngine, AnsweredRequestReturnsWithoutWaitingOutTheResponseWait) {
  ruko::TimingTable roomy = ruko::fastTiming();
  roomy.responseWait = 2s;
  ruko::ScopedTimingOverride longerWait(roomy);
  fake.on(kSetRobotMode).delay(100ms).reply(commonResultBody(0));
  fake.on(kGetRobotMode).delay(100ms).reply("mode");

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(check(kSetRobotMode), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "check mode";

  start = std::chrono::steady_clock::now();
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, nullptr, 0, response), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "content mode";
}

TEST_F(RequestEngine, TimesOutWhenControllerStaysSilent) {
  fake.on(kGetRobotMode).noReply();
  const auto start = std::chrono::steady_clock::now();
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, nullptr, 0, response), ErrCode_RequestTimeout);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, ruko::timing().responseWait);
  EXPECT_LT(waited, ruko::timing().responseWait + 2s);
  EXPECT_EQ(log.count("sdk log: Wait response timeout. cmd type: 34 CommunicationType_GetRobotMode", LL_ERROR), 1);
  EXPECT_EQ(response.m_textPtr, nullptr);
}

// A connection that breaks while a request waits does not wake it: it ends by its time-out.
TEST_F(RequestEngine, WaiterOutlivesABrokenConnectionUntilItsTimeout) {
  fake.on(kGetRobotMode).noReply().thenClose();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(check(kGetRobotMode), ErrCode_RequestTimeout);
  EXPECT_GE(std::chrono::steady_clock::now() - start, ruko::timing().responseWait);
  EXPECT_FALSE(engine.getCurrentConnectStatus());
  EXPECT_EQ(engine.events().size(), 1u) << "one disconnect event, long before the waiter gave up";
}

TEST_F(RequestEngine, LateAnswerIsDroppedByTheNextRequestOfItsType) {
  fake.on(kRobotMove).delay(ruko::timing().responseWait + 400ms).reply("late").reply("fresh");
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kRobotMove, nullptr, 0, response), ErrCode_RequestTimeout);
  // The late answer lands in the slot while nobody waits. A push written after it is handled after it, so
  // once the push is seen the late answer has been stored.
  ASSERT_TRUE(fake.waitForSent(1));
  ASSERT_TRUE(fake.push(CommunicationMateType::CommunicationType_RealTimeJointStatus, ruko::test::jointStatusBody(1)));
  ASSERT_TRUE(waitFor([&] { return engine.pushes().size() == 1; }));
  EXPECT_TRUE(log.contains("sdk log: Processing the robotMove response from the server.."));
  ASSERT_EQ(engine.requestServiceGetResponseContentMode(kRobotMove, nullptr, 0, response), 0);
  EXPECT_EQ(std::string(response.m_textPtr, static_cast<size_t>(response.m_textLength)), "fresh");
}

TEST_F(RequestEngine, SameTypeRequestsAreSerialised) {
  fake.on(kSetRobotMode).delay(150ms).reply(commonResultBody(0));
  std::thread other([&] { EXPECT_EQ(check(kSetRobotMode), 0); });
  EXPECT_EQ(check(kSetRobotMode), 0);
  other.join();
  // The fake records a reply once its write has returned, which may be after the client has read it.
  ASSERT_TRUE(fake.waitForSent(2));
  const auto got = fake.received();
  const auto sent = fake.sent();
  ASSERT_EQ(got.size(), 2u);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_GE(got[1].at, sent[0].at) << "the second request went out before the first was answered";
}

TEST_F(RequestEngine, DifferentTypesRunInParallel) {
  ruko::TimingTable roomy = ruko::fastTiming();
  roomy.responseWait = 3s;
  ruko::ScopedTimingOverride longerWait(roomy);
  fake.on(kSetRobotMode).delay(1s).reply(commonResultBody(0));
  fake.on(kGetRobotMode).reply("mode");
  std::atomic<bool> slowDone{false};
  std::thread slow([&] {
    EXPECT_EQ(check(kSetRobotMode), 0);
    slowDone = true;
  });
  ASSERT_TRUE(fake.waitForReceived(1));
  CommunicationResponse response;
  EXPECT_EQ(engine.requestServiceGetResponseContentMode(kGetRobotMode, nullptr, 0, response), 0);
  EXPECT_FALSE(slowDone.load()) << "the fast request waited for the slow one";
  EXPECT_EQ(std::string(response.m_textPtr, 4), "mode");
  slow.join();
}

TEST_F(RequestEngine, MotionRequestsLogEachStep) {
  const struct {
    Type type;
    std::vector<std::string> lines;
  } cases[] = {
      {kRobotMove,
       {"sdk log: Ready to send a motion request.",
        "sdk log: Sending robotMove request was successful, waiting response.",
        "sdk log: Processing the robotMove response from the server..",
        "sdk log: Successfully waited for a robotMove response from the server."}},
      {CommunicationMateType::CommunicationType_RobotMoveControlType_Pause,
       {"sdk log: Ready to send a pause request.", "sdk log: Sending pause request was successful, waiting response.",
        "sdk log: Processing the pause response from the server..",
        "sdk log: Successfully waited for a move pause response from the server."}},
      {CommunicationMateType::CommunicationType_RobotMoveControlType_Continue,
       {"sdk log: Processing the continue response from the server..",
        "sdk log: Successfully waited for a move continue response from the server."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    fake.on(c.type).reply(commonResultBody(0));
    log.clear();
    EXPECT_EQ(check(c.type), 0);
    // The receive thread's line may come before or after the requester's "waiting" line.
    for (const auto& line : c.lines) EXPECT_EQ(log.count(line, LL_INFO), 1) << line;
    EXPECT_EQ(log.lines().size(), c.lines.size());
  }
}

TEST_F(RequestEngine, UnaskedResponseIsStoredWithoutError) {
  ASSERT_TRUE(fake.push(kRobotMove, commonResultBody(0)));
  ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Processing the robotMove response from the server.."); }));
  EXPECT_EQ(log.count("", LL_ERROR), 0);
}

TEST_F(RequestEngine, CommandTypesOutsideTheTableAreDropped) {
  fake.on(2000).reply("last slot");
  CommunicationResponse response;
  ASSERT_EQ(engine.requestServiceGetResponseContentMode(static_cast<Type>(2000), nullptr, 0, response), 0);
  EXPECT_EQ(std::string(response.m_textPtr, 9), "last slot");

  ASSERT_TRUE(fake.push(2001, "too far"));
  ASSERT_TRUE(fake.push(-5, "negative"));
  ASSERT_TRUE(fake.push(INT_MAX, ""));
  ASSERT_TRUE(waitFor([&] { return log.count("sdk log:  Command type not exist.", LL_ERROR) == 3; }));
  EXPECT_TRUE(engine.getCurrentConnectStatus());
}

TEST_F(RequestEngine, PushTypesReachTheirCallbacks) {
  const double joints[6] = {0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(fake.push(3, ruko::test::jointStatusBody(1)));
  ASSERT_TRUE(fake.push(7, ruko::test::jointAngleBody(joints)));
  ASSERT_TRUE(fake.push(11, ruko::test::generalIntBody({250})));
  ASSERT_TRUE(fake.push(133, ruko::test::generalIntBody({4})));
  ASSERT_TRUE(fake.push(2, ruko::test::eventBody(RobotEvent_collision, 3, "bump")));
  ASSERT_TRUE(waitFor([&] { return engine.pushes().size() == 4 && engine.events().size() == 1; }));
  EXPECT_EQ(engine.pushes(), (std::vector<int>{3, 7, 11, 133}));
  EXPECT_EQ(engine.events()[0].eventType, RobotEvent_collision);
  EXPECT_EQ(engine.events()[0].eventContent, "bump");
}

TEST_F(RequestEngine, PushTypesCannotBeRequested) {
  for (Type type : {CommunicationMateType::CommunicationType_Event, CommunicationMateType::CommunicationType_RealTimeJointStatus,
                    CommunicationMateType::CommunicationType_RealTimeRobotJointAngle,
                    CommunicationMateType::CommunicationType_RealTimeRobotEndSpeed,
                    CommunicationMateType::CommunicationType_MovepProgressNotify}) {
    EXPECT_EQ(check(type), ErrCode_ParamError);
  }
  EXPECT_EQ(log.count("", LL_ERROR), 5);
  EXPECT_EQ(fake.received().size(), 0u);
}

TEST_F(RequestEngine, ServerCloseReachesTheEventCallbackOnce) {
  fake.closeConnection();
  ASSERT_TRUE(waitFor([&] { return !engine.getCurrentConnectStatus() && engine.events().size() == 1; }));
  const RobotEventInfo event = engine.events()[0];
  EXPECT_EQ(event.eventType, RobotEvent_socketDisconnected);
  EXPECT_EQ(event.eventCode, 0);
  EXPECT_EQ(event.eventContent, "Server disconnected.");
}

TEST_F(RequestEngine, DisconnectProcessFeedsTheIntake) {
  engine.disconnectProcess();
  ASSERT_TRUE(waitFor([&] { return engine.events().size() == 1; }));
  const auto events = engine.events();
  EXPECT_EQ(events[0].eventType, RobotEvent_socketDisconnected);
  EXPECT_EQ(events[0].eventCode, 0);
  EXPECT_EQ(events[0].eventContent, "Server disconnected.");
}

// The receive thread is joined before the slots go, even in the middle of a burst.
TEST(RequestEngineLifetime, DestroyedWhilePushesArrive) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast(ruko::fastTiming());
  FakeController fake;
  for (int round = 0; round < 3; ++round) {
    auto engine = std::make_unique<RobotControlServices>();
    engine->setServerPort(fake.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(round + 1));
    ASSERT_TRUE(fake.pushBurst(3, std::string(200, 'j'), 2000));
    ASSERT_TRUE(fake.pushBurst(40, "answer", 200));
    engine.reset();
    EXPECT_TRUE(fake.waitForClientGone());
  }
}

}  // namespace
