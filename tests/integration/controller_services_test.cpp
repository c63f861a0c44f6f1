// The controller services, the login lifecycle, pushes and events as conversations with the fake controller.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "codec/protoencodedecode.h"
#include "codec_body.h"
#include "controller_bodies.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "robotcommunication.pb.h"
#include "transport/robotcontrolservices.h"
#include "util/server_version_code.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::boolBody;
using ruko::test::commonResultBody;
using ruko::test::eventBody;
using ruko::test::FakeController;
using ruko::test::waitFor;
using CMT = CommunicationMateType;

namespace {

const double kDh[6] = {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094};

std::string baseParametersBody(int serverCode = 0) {
  RobotBaseParameters param{};
  param.kinematicsParam.da[1] = 0.001;
  ruko::test::Body body;
  EXPECT_TRUE(ProtoEncodeDecode::makeResponse_ProtoRobotBaseParameter(&body.data, &body.size, param, serverCode, ""));
  return body.bytes();
}

// Waits long enough for the fake's scripted delays, short enough that no test waits a real 5 s or more.
ruko::TimingTable testTiming() {
  ruko::TimingTable t = ruko::fastTiming();
  t.responseWait = 1500ms;
  t.handshakeWait = t.startupWait = t.shutdownWait = 1500ms;
  t.motionControlWait = 300ms;
  return t;
}

class ControllerServices : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_unique<RobotControlServices>();
    engine->robotServiceRegisterRobotEventInfoCallbackService(
        [](const RobotEventInfo* event, void* self) {
          auto* test = static_cast<ControllerServices*>(self);
          std::lock_guard<std::mutex> lock(test->eventMutex);
          test->events.push_back(*event);
        },
        this);
  }

  void connect() {
    engine->setServerPort(fake.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
  }

  void scriptLogin(const std::string& version, bool realRobot = true, bool powered = true,
                   const std::string& baseParameters = baseParametersBody()) {
    fake.on(CMT::CommunicationType_Login).reply(ruko::test::dhParamBody(ROBOT_M03, kDh));
    fake.on(CMT::CommunicationType_GetRobotVersionInfo).reply(ruko::test::textBody(version));
    fake.on(CMT::CommunicationType_GetIsRealRobotExist).reply(boolBody(realRobot));
    if (realRobot) {
      fake.on(CMT::CommunicationType_GetRobotDiagnosis).reply(ruko::test::diagnosisBody(powered));
      if (powered) fake.on(CMT::CommunicationType_getRobotBaseParameter).reply(baseParameters);
    }
    fake.on(CMT::CommunicationType_getEnableJoint6Rot360Flag).reply(boolBody(true));
    fake.on(CMT::CommunicationType_getEnableJoint1Rot360Flag).reply(boolBody(false));
  }

  int login() {
    RobotType type{};
    RobotDhPara dh{};
    return engine->loginService("127.0.0.1", fake.port(), "user", "pass", type, dh);
  }

  size_t eventCount() {
    std::lock_guard<std::mutex> lock(eventMutex);
    return events.size();
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{testTiming()};
  FakeController fake;
  std::mutex eventMutex;
  std::vector<RobotEventInfo> events;
  // Last: its event thread writes the members above until it is destroyed.
  std::unique_ptr<RobotControlServices> engine;
};

// ---- Login ---------------------------------------------------------------------------------------------------

TEST_F(ControllerServices, LoginReadsVersionBaseParametersAndRotationFlags) {
  ruko::setServerVersionCode(1);
  scriptLogin("4.5.20");
  ASSERT_EQ(login(), 0);
  EXPECT_EQ(RobotControlServices::getVersionCode(), 4005020);
  EXPECT_TRUE(engine->getCurrentConnectStatus());
  for (const char* line : {"sdk log: Connect robot server success.", "sdk log: login  success.",
                           "sdk log: parse rukoserver version[4.5.20] succeed: 4005020",
                           "sdk log: startup completed, set robot base param succ.",
                           "sdk log: login completed, set joint6 retate 360 falg success. joint6Rot360Enable=1",
                           "sdk log: login completed, set joint1 retate 360 falg success. joint1Rot360Enable=0"}) {
    EXPECT_EQ(log.count(line), 1) << line;
  }
  // The version is read before the base parameters, whose form it chooses.
  const auto received = fake.received();
  std::vector<int> order;
  for (const auto& p : received) order.push_back(p.type);
  EXPECT_EQ(order, (std::vector<int>{0, 124, 37, 15, 136, 87, 125}));
}

TEST_F(ControllerServices, LoginSurvivesAVersionItCannotParse) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {{"4.08.1", "FAILED: substr 08 cannot convert to interger"},
               {"4.5", "rukoserver is old. so there is no versioninfo"},
               {"4.abc.1", "FAILED: substr abc has no number"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FakeController server;
    fake.on(0).allowUnused();  // the fixture's fake stays unused here
    ruko::setServerVersionCode(4010001);
    server.on(CMT::CommunicationType_Login).reply(ruko::test::dhParamBody(ROBOT_M03, kDh));
    server.on(CMT::CommunicationType_GetRobotVersionInfo).reply(ruko::test::textBody(c.text));
    server.on(CMT::CommunicationType_GetIsRealRobotExist).reply(boolBody(false));
    server.on(CMT::CommunicationType_getEnableJoint6Rot360Flag).reply(boolBody(false));
    server.on(CMT::CommunicationType_getEnableJoint1Rot360Flag).reply(boolBody(false));
    RobotControlServices client;
    RobotType type{};
    RobotDhPara dh{};
    log.clear();
    EXPECT_EQ(client.loginService("127.0.0.1", server.port(), "u", "p", type, dh), 0);
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
    EXPECT_EQ(RobotControlServices::getVersionCode(), 4010001) << "a failed parse keeps the previous code";
  }
}

TEST_F(ControllerServices, RefusedLoginKeepsTheConnectionOpen) {
  fake.on(CMT::CommunicationType_Login).reply(ruko::test::dhParamBody(ROBOT_M03, kDh, 1));
  EXPECT_EQ(login(), ErrCode_Failed);
  EXPECT_EQ(log.count("sdk log: login failed.", LL_ERROR), 1);
  EXPECT_TRUE(engine->getCurrentConnectStatus());
  EXPECT_EQ(fake.received().size(), 1u) << "nothing after a refused login";
}

TEST_F(ControllerServices, PoweredOffArmGetsEightTriesAndNothingHandedOver) {
  scriptLogin("4.5.20", true, false);
  ASSERT_EQ(login(), 0);
  EXPECT_EQ(fake.receivedOfType(CMT::CommunicationType_GetRobotDiagnosis).size(), 8u);
  EXPECT_EQ(fake.receivedOfType(CMT::CommunicationType_getRobotBaseParameter).size(), 0u);
  EXPECT_FALSE(log.contains("set robot base param succ."));
}

TEST_F(ControllerServices, BaseParametersThatNeverComeAreDefaultedOnTheLastTry) {
  scriptLogin("4.5.20", true, true, "not a message");
  ASSERT_EQ(login(), 0);
  EXPECT_EQ(fake.receivedOfType(CMT::CommunicationType_getRobotBaseParameter).size(), 8u);
  EXPECT_EQ(log.count("sdk log: startup completed, get robot base parameter failed. retry count=", LL_FATAL), 8);
  EXPECT_EQ(log.count("sdk log: startup completed, get robot base parameter failed. retry count=7", LL_FATAL), 1);
  EXPECT_EQ(log.count("sdk log: set base parameters to default values ", LL_INFO), 1);
}

TEST_F(ControllerServices, DhParametersAreInstalledOncePerProcess) {
  scriptLogin("4.5.20", false);
  ASSERT_EQ(login(), 0);
  engine->logoutService();
  ASSERT_TRUE(fake.waitForClientGone());
  log.clear();
  ASSERT_EQ(login(), 0);
  EXPECT_EQ(log.count("sdk log: set dhparam success."), 0);
}

TEST_F(ControllerServices, BadLoginAndQueryArgumentsAreRefusedWithNothingSent) {
  JointStatus statuses[6];
  JointCommonData common[3];
  const uint8_t bytes[2] = {1, 2};
  RobotType type{};
  RobotDhPara dh{};
  connect();
  const std::vector<std::function<int()>> calls = {
      [&] { return engine->loginService(nullptr, fake.port(), "u", "p", type, dh); },
      [&] { return engine->getRobotJointStatus(nullptr, 6); },
      [&] { return engine->getRobotJointStatus(statuses, -1); },
      [&] { return engine->setRobotOrpeError(nullptr, 3); },
      [&] { return engine->setRobotOrpeError(bytes, -1); },
      [&] { return engine->getJointCommonData(nullptr, 3); },
      [&] { return engine->getJointCommonData(common, -2); },
      [&] { return engine->updateRobotBoardFirmwareService(update_board_firmware_cmd{}, nullptr, 5); },
      [&] { return engine->startupOfflineExcitTrajService(nullptr, Robot_Dyn_identify_traj{}, 0); },
  };
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    log.clear();
    EXPECT_EQ(calls[i](), ErrCode_ParamError);
    EXPECT_EQ(log.count("", LL_ERROR), 1);
  }
  EXPECT_TRUE(fake.received().empty());
}

// ---- Lifecycle waits -----------------------------------------------------------------------------------------

struct LifecycleCase {
  const char* name;
  int requestType;
  int eventType;
  int eventCode;
  int expected;
};

class LifecycleWaits : public ControllerServices, public ::testing::WithParamInterface<LifecycleCase> {
 protected:
  int run(const LifecycleCase& c, ROBOT_SERVICE_STATE& state) {
    switch (c.requestType) {
      case CMT::CommunicationType_RobotHandShake:
        return engine->robotHandShakeService(true);
      case CMT::CommunicationType_RobotStartup:
        return engine->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true);
      default:
        return engine->robotShutdownService(true);
    }
  }
};

TEST_P(LifecycleWaits, EndByTheirEventWhetherItComesAfterOrBeforeTheResponse) {
  const LifecycleCase c = GetParam();
  connect();
  fake.on(CMT::CommunicationType_GetIsRealRobotExist).reply(boolBody(false)).allowUnused();
  for (bool eventFirst : {false, true}) {
    SCOPED_TRACE(eventFirst ? "event before the response" : "event after the response");
    // Event first: the reply is held back until the event has been written.
    auto& script = fake.on(c.requestType);
    if (eventFirst) script.delay(150ms);
    script.reply(commonResultBody(0));
    const size_t before = fake.receivedOfType(c.requestType).size();
    std::thread controller([&] {
      ASSERT_TRUE(waitFor([&] { return fake.receivedOfType(c.requestType).size() > before; }));
      if (!eventFirst) std::this_thread::sleep_for(50ms);
      fake.push(CMT::CommunicationType_Event, eventBody(c.eventType, c.eventCode, ""));
    });
    ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run(c, state), c.expected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "the event was lost or waited for the time-out";
    if (c.requestType == CMT::CommunicationType_RobotStartup) {
      EXPECT_EQ(state, c.eventCode);
    }
    controller.join();
  }
}

TEST_P(LifecycleWaits, EndAtOnceWhenTheConnectionGoes) {
  const LifecycleCase c = GetParam();
  for (bool local : {false, true}) {
    SCOPED_TRACE(local ? "our logout" : "server closed");
    FakeController server;
    server.on(c.requestType).reply(commonResultBody(0));
    engine->setServerPort(server.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    std::thread other([&] {
      ASSERT_TRUE(server.waitForSent(1));
      std::this_thread::sleep_for(50ms);
      if (local) {
        engine->logoutService();
      } else {
        server.closeConnection();
      }
    });
    log.clear();
    ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run(c, state), ErrCode_SocketDisconnect);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(log.count("sdk log: The connection was lost while waiting for the controller's done event.", LL_ERROR),
              1);
    other.join();
    engine->disconnectRobotServer();
  }
  fake.on(0).allowUnused();
}

TEST_P(LifecycleWaits, TimeOutWithTheirOwnCodeAndLine) {
  const LifecycleCase c = GetParam();
  connect();
  fake.on(c.requestType).reply(commonResultBody(0));
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  ruko::TimingTable t = testTiming();
  t.handshakeWait = t.startupWait = t.shutdownWait = 100ms;
  ruko::ScopedTimingOverride shortWaits(t);
  const int code = run(c, state);
  const char* line = c.requestType == CMT::CommunicationType_RobotStartup ? "sdk log: Wait StartupDone signal timeout."
                                                                          : "sdk log: Wait shutDown Done signal timeout.";
  const int expected = c.requestType == CMT::CommunicationType_RobotStartup     ? ErrCode_RequestRelatedVariableError
                       : c.requestType == CMT::CommunicationType_RobotHandShake ? ErrCode_MotionRelatedVariableError
                                                                                : ErrCode_Failed;
  EXPECT_EQ(code, expected);
  EXPECT_EQ(log.count(line, LL_ERROR), 1);
}

INSTANTIATE_TEST_SUITE_P(
    All, LifecycleWaits,
    ::testing::Values(LifecycleCase{"HandshakeSucceeds", CMT::CommunicationType_RobotHandShake,
                                    RobotEvent_RobotHandShakeSucc, 0, ErrnoSucc},
                      LifecycleCase{"HandshakeFails", CMT::CommunicationType_RobotHandShake,
                                    RobotEvent_RobotHandShakeFailed, 0, ErrCode_ResponseReturnError},
                      LifecycleCase{"Startup", CMT::CommunicationType_RobotStartup, RobotEvent_robotStartupDoneResult,
                                    ROBOT_SERVICE_WORKING, ErrnoSucc},
                      LifecycleCase{"Shutdown", CMT::CommunicationType_RobotShutdown, RobotEvent_robotShutdownDone, 0,
                                    ErrnoSucc}),
    [](const ::testing::TestParamInfo<LifecycleCase>& info) { return std::string(info.param.name); });

// ---- Motion control ------------------------------------------------------------------------------------------

TEST_F(ControllerServices, MotionControlFollowsTheControllersVerdict) {
  connect();
  const int pause = CMT::CommunicationType_RobotMoveControlType_Pause;
  const struct {
    int type;
    std::string reply;
    int doneEvent;  // 0: none
    int expected;
  } cases[] = {
      {CMT::CommunicationType_RobotMoveControlType_SlowStop, ruko::test::moveControlBody(0), 0,
       ErrCode_moveControlSlowStopFailed},
      {CMT::CommunicationType_RobotMoveControlType_FastStop, ruko::test::moveControlBody(0), 0,
       ErrCode_moveControlFastStopFailed},
      {pause, ruko::test::moveControlBody(0), 0, ErrCode_moveControlPauseFailed},
      {CMT::CommunicationType_RobotMoveControlType_Continue, ruko::test::moveControlBody(0), 0,
       ErrCode_moveControlContinueFailed},
      {pause, ruko::test::moveControlBody(2), 0, ErrnoSucc},
      {pause, ruko::test::moveControlBody(1), RobotEvent_RobotMoveControlPauseDone, ErrnoSucc},
      {pause, ruko::test::moveControlBody(3), RobotEvent_RobotMoveControlStopDone, ErrnoSucc},
      {CMT::CommunicationType_RobotMoveControlType_Continue, ruko::test::moveControlBody(1),
       RobotEvent_RobotMoveControlStopDone, ErrnoSucc},
      {CMT::CommunicationType_RobotMoveControlType_SlowStop, ruko::test::moveControlBody(1), RobotEvent_softEmergency,
       ErrnoSucc},
      {pause, ruko::test::moveControlBody(1), 0, ErrCode_Failed},
      {pause, ruko::test::moveControlBody(7), 0, ErrCode_Failed},
      {pause, ruko::test::moveControlBody(1, 2), 0, ErrCode_moveControlPauseFailed},
      {pause, "garbage", 0, ErrCode_ResolveResponseFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    SCOPED_TRACE(c.expected);
    FakeController server;
    engine->disconnectRobotServer();
    engine->setServerPort(server.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    if (c.doneEvent != 0) {
      // The done event goes out right behind the reply.
      server.on(c.type).replyRaw(ruko::test::framePacket(c.type, c.reply) +
                                 ruko::test::framePacket(CMT::CommunicationType_Event, eventBody(c.doneEvent, 0, "")));
    } else {
      server.on(c.type).reply(c.reply);
    }
    log.clear();
    EXPECT_EQ(engine->robotMoveControlService(static_cast<RobotCommandType>(c.type)), c.expected);
    EXPECT_EQ(log.count("sdk log: Motion-Control service finish. ret = " + std::to_string(c.expected), LL_INFO), 1);
  }
  fake.on(0).allowUnused();
}

TEST_F(ControllerServices, UndefinedMotionControlTypeIsRefused) {
  EXPECT_EQ(engine->robotMoveControlService(static_cast<RobotCommandType>(88)), ErrCode_Failed);
  EXPECT_EQ(log.count("sdk log: Motion-Control command Undefined.", LL_ERROR), 1);
}

// The slow stop that also raises the board's stop event reaches the controller and waits for the stop's
// done event like any stop; refused, it reports the slow stop's failure.
TEST_F(ControllerServices, SlowStopWithBoardEventIsAStop) {
  connect();
  const RobotCommandType type = CMT::CommunicationType_SlowStopAndBoardEvent;
  fake.on(type)
      .reply(ruko::test::moveControlBody(0))
      .replyRaw(ruko::test::framePacket(type, ruko::test::moveControlBody(1)) +
                ruko::test::framePacket(CMT::CommunicationType_Event,
                                        eventBody(RobotEvent_RobotMoveControlStopDone, 0, "")))
      .reply(ruko::test::moveControlBody(1));
  EXPECT_EQ(engine->robotMoveControlService(type), ErrCode_moveControlSlowStopFailed);
  EXPECT_EQ(log.count("sdk log: user ready call Motion-Control-SlowStop.", LL_INFO), 1);
  EXPECT_EQ(engine->robotMoveControlService(type), ErrnoSucc);
  // No done event: the stop's wait runs out.
  EXPECT_EQ(engine->robotMoveControlService(type), ErrCode_Failed);
  EXPECT_EQ(log.count("sdk log: Waiting Motion-Control-Done event has timed out", LL_ERROR), 1);
  EXPECT_EQ(fake.receivedOfType(type).size(), 3u);
  EXPECT_EQ(log.count("Motion-Control command Undefined."), 0);
}

// ---- Status and configuration ----------------------------------------------------------------------------

TEST_F(ControllerServices, CollisionGradeIsVerifiedByReadingItBack) {
  connect();
  fake.on(CMT::CommunicationType_SetRobotCollisionGrade).reply(commonResultBody(0));
  fake.on(CMT::CommunicationType_GetRobotCollisionCurrent)
      .reply(ruko::test::collisionCurrentBody(4))
      .reply(ruko::test::collisionCurrentBody(5));
  EXPECT_EQ(engine->setRobotCollisionClassService(5), 0);
  EXPECT_EQ(log.count("sdk log: Real-time robot collision level does not match expectations, number times:1", LL_WARN),
            1);

  log.clear();
  fake.on(CMT::CommunicationType_GetRobotCollisionCurrent).reply(ruko::test::collisionCurrentBody(4));
  EXPECT_EQ(engine->setRobotCollisionClassService(6), ErrCode_Failed);
  EXPECT_EQ(log.count("does not match expectations, number times:", LL_WARN), 3);
}

TEST_F(ControllerServices, GetWithServerCodeFourKeepsTheDecodedOutput) {
  connect();
  const double joints[6] = {1, 2, 3, 4, 5, 6};
  fake.on(CMT::CommunicationType_GetRobotJointAngle).reply(ruko::test::jointAngleBody(joints, 4));
  JointParam got{};
  EXPECT_EQ(engine->getCurrentJointAngle(got), ErrCode_RealRobotNoExist);
  EXPECT_EQ(got.jointPos[5], 6.0);
}

TEST_F(ControllerServices, UndecodableRepliesGiveEachMembersCodeAndLine) {
  connect();
  const struct {
    int type;
    std::function<int()> call;
    int code;
    const char* line;
  } cases[] = {
      {CMT::CommunicationType_GetRobotTcpParam, [&] { RobotTcpParam p{}; return engine->getTcpParamService(p); },
       ErrCode_CreateRequestFailed, "sdk log: Resolve tcpParam response failed."},
      {CMT::CommunicationType_GetRobotMode, [&] { RobotWorkMode m{}; return engine->getRobotWorkModeService(m); },
       ErrCode_ResolveResponseFailed, "sdk log: Resolve robotWorkMode response failed."},
      {CMT::CommunicationType_GetRobotJointStatus,
       [&] { JointStatus s[6]; return engine->getRobotJointStatus(s, 6); }, ErrCode_ResolveResponseFailed,
       "sdk log: Resolve jointStatus response failed."},
      {CMT::CommunicationType_getRobotJointsParameter,
       [&] { RobotJointsParameter p{}; return engine->getRobotJointsParameter(p); }, ErrCode_CreateRequestFailed,
       "sdk log: Resolve jointsParameter response failed."},
      {CMT::CommunicationType_getEnableJoint1Rot360Flag,
       [&] { bool f = false; return engine->getJoint1Rotate360EnableFlag(f); }, ErrCode_CreateRequestFailed,
       "sdk log: Resolve getEnableJoint1Rot360Flag response failed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    fake.on(c.type).reply("\x08");
    log.clear();
    EXPECT_EQ(c.call(), c.code);
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
  }
}

TEST_F(ControllerServices, SafetyIoSendsEachByteAsOneInteger) {
  connect();
  fake.on(CMT::CommunicationType_SafetyIoAbout_setRobotOrpeError).reply(commonResultBody(0));
  uint8_t bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(i * 17);
  ASSERT_EQ(engine->setRobotOrpeError(bytes, 16), 0);
  ruko::robot::communication::protoSafeCommunicationParam sent;
  ASSERT_TRUE(sent.ParseFromString(fake.receivedOfType(CMT::CommunicationType_SafetyIoAbout_setRobotOrpeError)[0].body));
  ASSERT_EQ(sent.param_size(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(sent.param(i), static_cast<uint32_t>(i * 17));
}

// ---- Pushes ----------------------------------------------------------------------------------------------------

struct PushLog {
  std::mutex mutex;
  std::vector<JointStatus> status;
  std::vector<wayPoint_S> waypoints;
  std::vector<double> speeds;
  std::vector<int> progress;
};

TEST_F(ControllerServices, PushesAreDecodedForTheirCallbacks) {
  PushLog got;
  engine->robotServiceRegisterRealTimeJointStatusCallbackService(
      [](const JointStatus* s, int count, void* arg) {
        auto* g = static_cast<PushLog*>(arg);
        std::lock_guard<std::mutex> lock(g->mutex);
        g->status.assign(s, s + count);
      },
      &got);
  engine->robotServiceRegisterRealTimeRoadPointCallbackService(
      [](const wayPoint_S* w, void* arg) {
        auto* g = static_cast<PushLog*>(arg);
        std::lock_guard<std::mutex> lock(g->mutex);
        g->waypoints.push_back(*w);
      },
      &got);
  engine->robotServiceRegisterRealTimeEndSpeedCallbackService(
      [](double v, void* arg) {
        auto* g = static_cast<PushLog*>(arg);
        std::lock_guard<std::mutex> lock(g->mutex);
        g->speeds.push_back(v);
      },
      &got);
  engine->robotServiceRegisterMovepProgressNotifyCallbackService(
      [](int n, void* arg) {
        auto* g = static_cast<PushLog*>(arg);
        std::lock_guard<std::mutex> lock(g->mutex);
        g->progress.push_back(n);
      },
      &got);
  connect();
  const double joints[6] = {0.1, -0.2, 0.3, -0.4, 0.5, -0.6};
  fake.push(CMT::CommunicationType_RealTimeJointStatus, ruko::test::jointStatusBody(10));
  fake.push(CMT::CommunicationType_RealTimeRobotJointAngle, ruko::test::jointAngleBody(joints));
  fake.push(CMT::CommunicationType_RealTimeRobotEndSpeed, ruko::test::generalIntBody({250}));
  fake.push(CMT::CommunicationType_MovepProgressNotify, ruko::test::generalIntBody({7}));
  const double unreachable[6] = {0, std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, 0};
  fake.push(CMT::CommunicationType_RealTimeRobotJointAngle, ruko::test::jointAngleBody(unreachable));
  fake.push(CMT::CommunicationType_RealTimeRobotEndSpeed, "not a message");
  ASSERT_TRUE(waitFor([&] { return log.contains("sdk log: Resolve realtime end speed info failed."); }));
  std::lock_guard<std::mutex> lock(got.mutex);
  ASSERT_EQ(got.status.size(), 6u);
  EXPECT_EQ(got.status[5].jointCurrentI, 15);
  ASSERT_EQ(got.waypoints.size(), 1u) << "angles without forward kinematics gave a waypoint";
  EXPECT_EQ(log.count("sdk log: Realtime joint angles have no forward kinematics; waypoint not delivered.", LL_ERROR), 1);
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(got.waypoints[0].jointpos[i], joints[i]);
  EXPECT_EQ(got.speeds, std::vector<double>{0.25});
  EXPECT_EQ(got.progress, std::vector<int>{7});
}

TEST_F(ControllerServices, EventsReachTheEventThreadAndItsCallbackInOrder) {
  connect();
  for (int i = 0; i < 50; ++i) fake.push(CMT::CommunicationType_Event, eventBody(RobotEvent_User, i, "n"));
  ASSERT_TRUE(waitFor([&] { return eventCount() == 50; }));
  std::lock_guard<std::mutex> lock(eventMutex);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(events[static_cast<size_t>(i)].eventCode, i);
}

// ---- Destruction from inside a callback ----------------------------------------------------------------

TEST_F(ControllerServices, DestroyedFromItsOwnCallbacks) {
  fake.on(0).allowUnused();
  for (bool onEventThread : {true, false}) {
    SCOPED_TRACE(onEventThread ? "event thread" : "receive thread");
    FakeController server;
    struct Holder {
      std::unique_ptr<RobotControlServices> engine;
      std::atomic<bool> gone{false};
    } holder;
    holder.engine = std::make_unique<RobotControlServices>();
    if (onEventThread) {
      holder.engine->robotServiceRegisterRobotEventInfoCallbackService(
          [](const RobotEventInfo*, void* arg) {
            auto* h = static_cast<Holder*>(arg);
            h->engine.reset();
            h->gone = true;
          },
          &holder);
    } else {
      holder.engine->robotServiceRegisterRealTimeJointStatusCallbackService(
          [](const JointStatus*, int, void* arg) {
            auto* h = static_cast<Holder*>(arg);
            h->engine.reset();
            h->gone = true;
          },
          &holder);
    }
    holder.engine->setServerPort(server.port());
    ASSERT_EQ(holder.engine->connectRobotServer(), 0);
    ASSERT_TRUE(server.waitForConnections(1));
    if (onEventThread) {
      server.push(CMT::CommunicationType_Event, eventBody(RobotEvent_User, 1, ""));
    } else {
      server.pushBurst(CMT::CommunicationType_RealTimeJointStatus, ruko::test::jointStatusBody(1), 20);
    }
    ASSERT_TRUE(waitFor([&] { return holder.gone.load(); }));
    EXPECT_TRUE(server.waitForClientGone());
  }
}

}  // namespace
