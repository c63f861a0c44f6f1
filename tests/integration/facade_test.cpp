// The facade's controller families as conversations with the fake controller, through the public header as an
// application uses it (the timing override only shrinks the library's waits).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::boolBody;
using ruko::test::commonResultBody;
using ruko::test::eventBody;
using ruko::test::FakeController;
using ruko::test::waitFor;

namespace {

// The controller's command numbers these conversations use.
enum Cmd : int {
  kLogin = 0,
  kEvent = 2,
  kJointStatusPush = 3,
  kEnableJointStatus = 4,
  kDisableJointStatus = 5,
  kJointAnglePush = 7,
  kEnableJointAngle = 8,
  kDisableJointAngle = 9,
  kEndSpeedPush = 11,
  kEnableEndSpeed = 12,
  kDisableEndSpeed = 13,
  kRobotStartup = 16,
  kSetTcpParam = 27,
  kGetTcpParam = 28,
  kGetCollisionCurrent = 36,
  kIsRealRobot = 37,
  kGetDevInfo = 38,
  kSetCollisionGrade = 40,
  kGetSafetyConfig = 61,
  kSetSafetyConfig = 62,
  kSetOrpeStop = 65,
  kJoint6Flag = 87,
  kSetJointParam = 122,
  kVersion = 124,
  kJoint1Flag = 125,
  kMovepProgress = 133,
};

const double kDh[6] = {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094};

ruko::TimingTable testTiming() {
  ruko::TimingTable t = ruko::fastTiming();
  t.responseWait = 1000ms;
  return t;
}

void scriptLogin(FakeController& fake) {
  fake.on(kLogin).reply(ruko::test::dhParamBody(ROBOT_M03, kDh));
  fake.on(kVersion).reply(ruko::test::textBody("4.5.20"));
  fake.on(kIsRealRobot).reply(boolBody(false));
  fake.on(kJoint6Flag).reply(boolBody(false));
  fake.on(kJoint1Flag).reply(boolBody(false));
}

// Destroys the facade when it goes out of scope: declared after the state a test's callbacks write to, it
// stops the library's threads before that state is gone.
struct ReleaseFirst {
  std::unique_ptr<ServiceInterface>& robot;
  ~ReleaseFirst() { robot.reset(); }
};

class Facade : public ::testing::Test {
 protected:
  void SetUp() override { scriptLogin(fake); }

  // For a test in which no login gets as far as the controller.
  void loginUnused() {
    for (int type : {kLogin, kVersion, kIsRealRobot, kJoint6Flag, kJoint1Flag}) fake.on(type).allowUnused();
  }
  int login(ServiceInterface& facade) { return facade.robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"); }
  void loginOrFail() { ASSERT_EQ(login(*robot), 0); }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{testTiming()};
  FakeController fake;
  std::unique_ptr<ServiceInterface> robot = std::make_unique<ServiceInterface>();
};

// ---- Login and connection ------------------------------------------------------------------------------------

TEST_F(Facade, LoginReportsTheArmAndLogoutClosesTheConnection) {
  RobotType type{};
  RobotDhPara dh{};
  ASSERT_EQ(robot->robotServiceLogin("127.0.0.1", fake.port(), "user", "pass", type, dh), 0);
  EXPECT_EQ(type, ROBOT_M03);
  EXPECT_DOUBLE_EQ(dh.A3, kDh[0]);
  bool connected = false;
  robot->robotServiceGetConnectStatus(connected);
  EXPECT_TRUE(connected);

  EXPECT_EQ(robot->robotServiceLogout(), 0);
  robot->robotServiceGetConnectStatus(connected);
  EXPECT_FALSE(connected);
  EXPECT_TRUE(fake.waitForClientGone());
  // The short form logs in again on the same facade.
  EXPECT_EQ(login(*robot), 0);
}

TEST_F(Facade, UnreachableControllerGivesConnectFailure) {
  loginUnused();
  int closedPort = 0;
  {
    FakeController gone;
    closedPort = gone.port();
  }
  EXPECT_EQ(robot->robotServiceLogin("127.0.0.1", closedPort, "user", "pass"), ErrCode_ConnectSocketFailed);
  EXPECT_EQ(log.count("sdk log: Login service connect server failed.", LL_ERROR), 1);
}

TEST_F(Facade, NullLoginTextsAreRefusedWithNothingSent) {
  loginUnused();
  const struct {
    const char* host;
    const char* user;
    const char* password;
  } cases[] = {{nullptr, "user", "pass"}, {"127.0.0.1", nullptr, "pass"}, {"127.0.0.1", "user", nullptr}};
  for (const auto& c : cases) {
    log.clear();
    RobotType type{};
    RobotDhPara dh{};
    EXPECT_EQ(robot->robotServiceLogin(c.host, fake.port(), c.user, c.password), ErrCode_ParamError);
    EXPECT_EQ(robot->robotServiceLogin(c.host, fake.port(), c.user, c.password, type, dh), ErrCode_ParamError);
    EXPECT_EQ(log.count("sdk log:", LL_ERROR), 2);
  }
  EXPECT_EQ(fake.connectionCount(), 0);
}

// ---- Pushes and callbacks ---------------------------------------------------------------------------------

struct Received {
  std::mutex mutex;
  std::vector<JointStatus> status;
  std::vector<wayPoint_S> waypoints;
  std::vector<double> speeds;
  std::vector<int> progress;
  std::vector<RobotEventInfo> events;

  template <class T>
  void add(std::vector<T>& to, const T& value) {
    std::lock_guard<std::mutex> lock(mutex);
    to.push_back(value);
  }
  template <class T>
  size_t count(const std::vector<T>& of) {
    std::lock_guard<std::mutex> lock(mutex);
    return of.size();
  }
};

void registerAll(ServiceInterface& robot, Received& got) {
  robot.robotServiceRegisterRealTimeJointStatusCallback(
      [](const JointStatus* s, int count, void* arg) {
        auto* g = static_cast<Received*>(arg);
        for (int i = 0; i < count; ++i) g->add(g->status, s[i]);
      },
      &got);
  robot.robotServiceRegisterRealTimeRoadPointCallback(
      [](const wayPoint_S* w, void* arg) {
        auto* g = static_cast<Received*>(arg);
        g->add(g->waypoints, *w);
      },
      &got);
  robot.robotServiceRegisterRealTimeEndSpeedCallback(
      [](double v, void* arg) {
        auto* g = static_cast<Received*>(arg);
        g->add(g->speeds, v);
      },
      &got);
  robot.robotServiceRegisterMovepStepNumNotifyCallback(
      [](int n, void* arg) {
        auto* g = static_cast<Received*>(arg);
        g->add(g->progress, n);
      },
      &got);
  robot.robotServiceRegisterRobotEventInfoCallback(
      [](const RobotEventInfo* e, void* arg) {
        auto* g = static_cast<Received*>(arg);
        g->add(g->events, *e);
      },
      &got);
}

TEST_F(Facade, PushesReachTheApplicationsCallbacks) {
  for (int type : {kEnableJointStatus, kEnableJointAngle, kEnableEndSpeed}) fake.on(type).reply(commonResultBody(0));
  loginOrFail();
  Received got;
  ReleaseFirst releaseFirst{robot};
  registerAll(*robot, got);
  // Registering a push callback asks the controller for that push.
  for (int type : {kEnableJointStatus, kEnableJointAngle, kEnableEndSpeed}) {
    EXPECT_EQ(fake.receivedOfType(type).size(), 1u) << type;
  }

  const double joints[6] = {0.1, -0.2, 0.3, -0.4, 0.5, -0.6};
  fake.push(kJointStatusPush, ruko::test::jointStatusBody(10));
  fake.push(kJointAnglePush, ruko::test::jointAngleBody(joints));
  fake.push(kEndSpeedPush, ruko::test::generalIntBody({250}));
  fake.push(kMovepProgress, ruko::test::generalIntBody({7}));
  fake.push(kEvent, eventBody(RobotEvent_User, 42, "from the controller"));
  ASSERT_TRUE(waitFor([&] {
    return got.count(got.status) == 6 && got.count(got.waypoints) == 1 && got.count(got.speeds) == 1 &&
           got.count(got.progress) == 1 && got.count(got.events) == 1;
  }));
  std::lock_guard<std::mutex> lock(got.mutex);
  EXPECT_EQ(got.status[5].jointCurrentI, 15);
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(got.waypoints[0].jointpos[i], joints[i]);
  EXPECT_DOUBLE_EQ(got.speeds[0], 0.25);
  EXPECT_EQ(got.events[0].eventCode, 42);
  EXPECT_EQ(got.events[0].eventContent, "from the controller");
}

TEST_F(Facade, PushRegistrationAsksForThePushAndReportsNothingOfTheAnswer) {
  using Register = std::function<int(ServiceInterface&, bool)>;
  const struct {
    const char* name;
    Register registerCallback;
    int enable;
    int disable;
  } cases[] = {
      {"joint status",
       [](ServiceInterface& r, bool set) {
         return r.robotServiceRegisterRealTimeJointStatusCallback(
             set ? [](const JointStatus*, int, void*) {} : RealTimeJointStatusCallback{}, nullptr);
       },
       kEnableJointStatus, kDisableJointStatus},
      {"waypoint",
       [](ServiceInterface& r, bool set) {
         return r.robotServiceRegisterRealTimeRoadPointCallback(
             set ? [](const wayPoint_S*, void*) {} : RealTimeRoadPointCallback{}, nullptr);
       },
       kEnableJointAngle, kDisableJointAngle},
      {"end speed",
       [](ServiceInterface& r, bool set) {
         return r.robotServiceRegisterRealTimeEndSpeedCallback(set ? [](double, void*) {} : RealTimeEndSpeedCallback{},
                                                               nullptr);
       },
       kEnableEndSpeed, kDisableEndSpeed},
  };
  for (const auto& c : cases) {
    // The controller refuses both requests: registration still succeeds.
    fake.on(c.enable).reply(commonResultBody(1));
    fake.on(c.disable).reply(commonResultBody(1));
  }
  loginOrFail();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.registerCallback(*robot, true), 0);
    EXPECT_EQ(c.registerCallback(*robot, false), 0);
    EXPECT_EQ(fake.receivedOfType(c.enable).size(), 1u);
    EXPECT_EQ(fake.receivedOfType(c.disable).size(), 1u);
  }
  // The event and MoveP registrations send nothing.
  const size_t before = fake.received().size();
  EXPECT_EQ(robot->robotServiceRegisterRobotEventInfoCallback([](const RobotEventInfo*, void*) {}, nullptr), 0);
  EXPECT_EQ(robot->robotServiceRegisterMovepStepNumNotifyCallback([](int, void*) {}, nullptr), 0);
  EXPECT_EQ(fake.received().size(), before);
}

// A callback that stays inside the application for a while, and notes any call that starts after its
// replacement's registration has returned.
struct Replaced {
  std::atomic<int> oldCalls{0};
  std::atomic<int> newCalls{0};
  std::atomic<bool> replacementReturned{false};
  std::atomic<int> lateCalls{0};

  void oldCall() {
    oldCalls++;
    std::this_thread::sleep_for(2ms);
    // Still inside the old callback: the registration must not have returned yet.
    if (replacementReturned) lateCalls++;
  }
};

TEST_F(Facade, ReplacedCallbackIsNeverCalledOnceTheRegistrationReturns) {
  fake.on(kEnableJointStatus).reply(commonResultBody(0));
  loginOrFail();
  Replaced joint;
  Replaced event;
  ReleaseFirst releaseFirst{robot};
  robot->robotServiceRegisterRealTimeJointStatusCallback(
      [](const JointStatus*, int, void* arg) { static_cast<Replaced*>(arg)->oldCall(); }, &joint);
  robot->robotServiceRegisterRobotEventInfoCallback(
      [](const RobotEventInfo*, void* arg) { static_cast<Replaced*>(arg)->oldCall(); }, &event);

  std::atomic<bool> stop{false};
  std::thread pusher([&] {
    while (!stop) {
      fake.pushBurst(kJointStatusPush, ruko::test::jointStatusBody(1), 5);
      fake.push(kEvent, eventBody(RobotEvent_User, 1, ""));
      std::this_thread::sleep_for(1ms);
    }
  });
  const bool oldRan = waitFor([&] { return joint.oldCalls > 3 && event.oldCalls > 3; });
  if (oldRan) {
    robot->robotServiceRegisterRealTimeJointStatusCallback(
        [](const JointStatus*, int, void* arg) { static_cast<Replaced*>(arg)->newCalls++; }, &joint);
    joint.replacementReturned = true;
    robot->robotServiceRegisterRobotEventInfoCallback(
        [](const RobotEventInfo*, void* arg) { static_cast<Replaced*>(arg)->newCalls++; }, &event);
    event.replacementReturned = true;
  }
  const bool bothNew = oldRan && waitFor([&] { return joint.newCalls > 0 && event.newCalls > 0; });
  stop = true;
  pusher.join();
  ASSERT_TRUE(oldRan);
  EXPECT_TRUE(bothNew);
  EXPECT_EQ(joint.lateCalls, 0);
  EXPECT_EQ(event.lateCalls, 0);
}

TEST_F(Facade, CallbackMayReplaceItselfFromInside) {
  loginOrFail();
  struct Swap {
    ServiceInterface* robot;
    std::atomic<int> first{0};
    std::atomic<int> second{0};
  } swap{robot.get()};
  ReleaseFirst releaseFirst{robot};
  robot->robotServiceRegisterRobotEventInfoCallback(
      [](const RobotEventInfo*, void* arg) {
        auto* s = static_cast<Swap*>(arg);
        s->first++;
        s->robot->robotServiceRegisterRobotEventInfoCallback(
            [](const RobotEventInfo*, void* a) { static_cast<Swap*>(a)->second++; }, s);
      },
      &swap);
  robot->robotServiceRegisterMovepStepNumNotifyCallback(
      [](int, void* arg) {
        auto* s = static_cast<Swap*>(arg);
        s->first++;
        s->robot->robotServiceRegisterMovepStepNumNotifyCallback(
            [](int, void* a) { static_cast<Swap*>(a)->second++; }, s);
      },
      &swap);
  for (int i = 0; i < 2; ++i) {
    fake.push(kEvent, eventBody(RobotEvent_User, i, ""));
    fake.push(kMovepProgress, ruko::test::generalIntBody({i}));
  }
  ASSERT_TRUE(waitFor([&] { return swap.second == 2; }));
  EXPECT_EQ(swap.first, 2);
}

// ---- Destruction and logout from inside a callback ----------------------------------------------------------

// Which callback runs the application's action, and the push that makes it run.
struct CallbackKind {
  const char* name;
  std::function<void(ServiceInterface&, void*)> install;
  int pushType;
  std::string pushBody;
};

// Runs a Victim's action from whichever kind of callback `install` registers.
struct Victim {
  std::atomic<ServiceInterface*> robot{nullptr};
  std::atomic<bool> done{false};
  bool destroy = true;  // else log out

  static void act(void* arg) {
    auto* v = static_cast<Victim*>(arg);
    if (v->destroy) {
      if (ServiceInterface* r = v->robot.exchange(nullptr)) delete r;
    } else if (!v->done) {
      v->robot.load()->robotServiceLogout();
    }
    v->done = true;
  }
};

std::vector<CallbackKind> callbackKinds() {
  const double joints[6] = {0, 0, 0, 0, 0, 0};
  return {
      {"joint status",
       [](ServiceInterface& r, void* v) {
         r.robotServiceRegisterRealTimeJointStatusCallback([](const JointStatus*, int, void* a) { Victim::act(a); }, v);
       },
       kJointStatusPush, ruko::test::jointStatusBody(1)},
      {"waypoint",
       [](ServiceInterface& r, void* v) {
         r.robotServiceRegisterRealTimeRoadPointCallback([](const wayPoint_S*, void* a) { Victim::act(a); }, v);
       },
       kJointAnglePush, ruko::test::jointAngleBody(joints)},
      {"end speed",
       [](ServiceInterface& r, void* v) {
         r.robotServiceRegisterRealTimeEndSpeedCallback([](double, void* a) { Victim::act(a); }, v);
       },
       kEndSpeedPush, ruko::test::generalIntBody({1})},
      {"movep progress",
       [](ServiceInterface& r, void* v) {
         r.robotServiceRegisterMovepStepNumNotifyCallback([](int, void* a) { Victim::act(a); }, v);
       },
       kMovepProgress, ruko::test::generalIntBody({1})},
      {"event",
       [](ServiceInterface& r, void* v) {
         r.robotServiceRegisterRobotEventInfoCallback([](const RobotEventInfo*, void* a) { Victim::act(a); }, v);
       },
       kEvent, eventBody(RobotEvent_User, 1, "")},
  };
}

// Login, and whichever push a callback kind asks for.
void scriptLoginAndPushes(FakeController& fake) {
  scriptLogin(fake);
  for (int type : {kEnableJointStatus, kEnableJointAngle, kEnableEndSpeed}) {
    fake.on(type).reply(commonResultBody(0)).allowUnused();
  }
}

TEST(FacadeCallbacks, DestroyedFromInsideEachKindOfCallback) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{testTiming()};
  for (const CallbackKind& kind : callbackKinds()) {
    SCOPED_TRACE(kind.name);
    FakeController fake;
    scriptLoginAndPushes(fake);
    Victim victim;
    auto* robot = new ServiceInterface;
    victim.robot = robot;
    ASSERT_EQ(robot->robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
    kind.install(*robot, &victim);
    // Several in a row: whatever follows the destroying call must find nothing of the facade to touch.
    fake.pushBurst(kind.pushType, kind.pushBody, 5);
    ASSERT_TRUE(waitFor([&] { return victim.done.load(); }));
    EXPECT_TRUE(fake.waitForClientGone());
  }
}

TEST(FacadeCallbacks, LogoutFromInsideEachKindOfCallbackThenLoginAgain) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{testTiming()};
  for (const CallbackKind& kind : callbackKinds()) {
    SCOPED_TRACE(kind.name);
    FakeController fake;
    scriptLoginAndPushes(fake);
    Victim victim;
    victim.destroy = false;
    ServiceInterface robot;
    victim.robot = &robot;
    ASSERT_EQ(robot.robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
    kind.install(robot, &victim);
    fake.push(kind.pushType, kind.pushBody);
    ASSERT_TRUE(waitFor([&] { return victim.done.load(); }));
    ASSERT_TRUE(fake.waitForClientGone());
    bool connected = true;
    robot.robotServiceGetConnectStatus(connected);
    EXPECT_FALSE(connected);
    // The receive thread that logged out is joined by the next login.
    EXPECT_EQ(robot.robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
    EXPECT_TRUE(fake.waitForConnections(2));
  }
}

TEST(FacadeCallbacks, DestroyedWhilePushesAndEventsFlow) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{testTiming()};
  FakeController fake;
  scriptLogin(fake);
  for (int type : {kEnableJointStatus, kEnableEndSpeed}) fake.on(type).reply(commonResultBody(0));

  struct Counts {
    std::atomic<bool> destroyed{false};
    std::atomic<int> calls{0};
    std::atomic<int> afterDestruction{0};
    void note() {
      calls++;
      if (destroyed) afterDestruction++;
    }
  } counts;
  auto robot = std::make_unique<ServiceInterface>();
  ASSERT_EQ(robot->robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
  robot->robotServiceRegisterRealTimeJointStatusCallback(
      [](const JointStatus*, int, void* a) { static_cast<Counts*>(a)->note(); }, &counts);
  robot->robotServiceRegisterRealTimeEndSpeedCallback([](double, void* a) { static_cast<Counts*>(a)->note(); },
                                                      &counts);
  robot->robotServiceRegisterRobotEventInfoCallback(
      [](const RobotEventInfo*, void* a) { static_cast<Counts*>(a)->note(); }, &counts);

  std::atomic<bool> stop{false};
  std::thread pusher([&] {
    while (!stop) {
      fake.pushBurst(kJointStatusPush, ruko::test::jointStatusBody(1), 3);
      fake.pushBurst(kEvent, eventBody(RobotEvent_User, 1, ""), 3);
      fake.push(kEndSpeedPush, ruko::test::generalIntBody({5}));
    }
  });
  const bool flowing = waitFor([&] { return counts.calls > 50; });
  robot.reset();
  counts.destroyed = true;
  std::this_thread::sleep_for(20ms);  // room for a stray late call to show itself; nothing waits on it
  stop = true;
  pusher.join();
  EXPECT_TRUE(flowing);
  EXPECT_EQ(counts.afterDestruction, 0);
}

// ---- Controller families: what the facade adds to the services ----------------------------------------------

TEST_F(Facade, EachForwardSendsItsServicesCommand) {
  using Call = std::function<void(ServiceInterface&)>;
  RobotWorkMode mode{};
  RobotGravityComponent gravity{};
  RobotDevInfo devInfo{};
  RobotState state{};
  bool flag = false;
  JointStatus status[6];
  RobotDiagnosis diagnosis{};
  JointParam jointParam{};
  wayPoint_S waypoint{};
  RobotSafetyConfig safety{};
  OrpeSafetyStatus orpe{};
  std::string text;
  RobotJointOffset offset{};
  JointCommonData common[6];
  RobotBaseParameters baseParameters{};
  RobotJointsParameter jointsParameter{};
  std::vector<int> identified;
  uint8_t orpeError[2] = {1, 2};
  const char firmware[3] = {1, 2, 3};
  const struct {
    int type;
    Call call;
  } cases[] = {
      {18, [](ServiceInterface& r) { r.rootServiceRobotControl(RobotBrake); }},
      {20, [](ServiceInterface& r) { r.robotServicePowerControl(true); }},
      {21, [](ServiceInterface& r) { r.robotServiceReleaseBrake(); }},
      {17, [](ServiceInterface& r) { r.robotServiceRobotShutdown(false); }},
      {34, [&](ServiceInterface& r) { r.robotServiceGetRobotWorkMode(mode); }},
      {33, [](ServiceInterface& r) { r.robotServiceSetRobotWorkMode(RobotModeReal); }},
      {120, [](ServiceInterface& r) { r.robotServiceSetEnableForceTeachWhenProjectIsRunning(true); }},
      {35, [&](ServiceInterface& r) { r.robotServiceGetRobotGravityComponent(gravity); }},
      {38, [&](ServiceInterface& r) { r.robotServiceGetRobotDevInfoService(devInfo); }},
      {19, [](ServiceInterface& r) { r.robotServiceCollisionRecover(); }},
      {140, [](ServiceInterface& r) { r.robotServiceJointPosRecover(true); }},
      {26, [&](ServiceInterface& r) { r.robotServiceGetRobotCurrentState(state); }},
      {37, [&](ServiceInterface& r) { r.robotServiceGetIsRealRobotExist(flag); }},
      {87, [&](ServiceInterface& r) { r.robotServiceGetJoint6Rotate360EnableFlag(flag); }},
      {6, [&](ServiceInterface& r) { r.robotServiceGetRobotJointStatus(status, 6); }},
      {15, [&](ServiceInterface& r) { r.robotServiceGetRobotDiagnosisInfo(diagnosis); }},
      {10, [&](ServiceInterface& r) { r.robotServiceGetJointAngleInfo(jointParam); }},
      {118, [&](ServiceInterface& r) { r.robotServiceGetCorrectedWaypoint(waypoint, waypoint); }},
      {60, [](ServiceInterface& r) { r.robotServiceSetRobotAtOriginPose(); }},
      {64, [](ServiceInterface& r) { r.robotServiceSetRobotOrpePause(1); }},
      {65, [](ServiceInterface& r) { r.robotServiceSetRobotOrpeStop(1); }},
      {66, [&](ServiceInterface& r) { r.robotServiceSetRobotOrpeError(orpeError, 2); }},
      {67, [](ServiceInterface& r) { r.robotServiceClearSystemEmergencyStop(1); }},
      {68, [](ServiceInterface& r) { r.robotServiceClearReducedModeError(1); }},
      {69, [](ServiceInterface& r) { r.robotServiceRobotSafetyguardResetSucc(1); }},
      {61, [&](ServiceInterface& r) { r.robotServiceGetRobotSafetyConfig(safety); }},
      {63, [&](ServiceInterface& r) { r.robotServiceGetOrpeSafetyStatus(orpe); }},
      {82, [&](ServiceInterface& r) { r.robotServiceUpdateRobotBoardFirmware(update_master_board_firmware_trans_data, firmware, 3); }},
      {83, [&](ServiceInterface& r) { r.robotServiceGetBoardFirmwareUpdateResultService(flag); }},
      {84, [&](ServiceInterface& r) { r.robotServiceGetRobotEthernetDeviceName(text); }},
      {124, [&](ServiceInterface& r) { r.robotServiceGetServerVersionInfo(text); }},
      {86, [&](ServiceInterface& r) { r.robotServiceSetRobotJointOffset(offset); }},
      {121, [&](ServiceInterface& r) { r.robotServiceGetJointCommonData(common, 6); }},
      {123, [](ServiceInterface& r) { r.robotServiceJointSaveDataFlash(3); }},
      {135, [&](ServiceInterface& r) { r.robotServiceSetRobotBaseParameters(baseParameters); }},
      {136, [&](ServiceInterface& r) { r.robotServiceGetRobotBaseParameters(baseParameters); }},
      {137, [&](ServiceInterface& r) { r.robotServiceSetRobotJointsParameter(jointsParameter); }},
      {138, [&](ServiceInterface& r) { r.robotServiceGetRobotJointsParameter(jointsParameter); }},
      {139, [](ServiceInterface& r) { r.robotServiceRefreshRobotArmParamter(); }},
      {79, [&](ServiceInterface& r) { r.getDynIdentifyResultsService(identified); }},
      {80, [](ServiceInterface& r) { r.robotServiceRobotHandShake(false); }},
  };
  loginOrFail();
  for (const auto& c : cases) {
    // Any answer will do: only the command that leaves the facade is looked at here.
    if (c.type != kVersion && c.type != kIsRealRobot && c.type != kJoint6Flag) {
      fake.on(c.type).reply(commonResultBody(0));
    }
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const size_t before = fake.receivedOfType(c.type).size();
    c.call(*robot);
    EXPECT_EQ(fake.receivedOfType(c.type).size(), before + 1);
  }
}

TEST_F(Facade, LocalAnswersSendNothing) {
  loginOrFail();
  const size_t before = fake.received().size();
  EXPECT_EQ(robot->robotServiceSetRobotMaxACC(100), 0);
  bool mac = false;
  EXPECT_EQ(robot->robotServiceGetMacCommunicationStatus(mac), 0);
  EXPECT_TRUE(mac);
  EXPECT_EQ(fake.received().size(), before);
}

TEST_F(Facade, CollisionGradeIsCheckedAndPackedWithItsMode) {
  const struct {
    int grade;
    CollisionMode mode;
    int result;
    int sent;  // -1: nothing sent
  } cases[] = {
      {32, CollisionMode_Free, ErrCode_Failed, -1},
      {-1, CollisionMode_Stuck, ErrCode_Failed, -1},
      {5, CollisionMode_Stuck, 0, 37},
      {31, CollisionMode_Free, 0, 31},
      {0, CollisionMode_Free, 0, 0},
  };
  fake.on(kSetCollisionGrade).reply(commonResultBody(0));
  // The controller shows what was asked for at the first read-back.
  for (const auto& c : cases) {
    if (c.sent >= 0) fake.on(kGetCollisionCurrent).reply(ruko::test::collisionCurrentBody(c.sent));
  }
  loginOrFail();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.grade);
    log.clear();
    const size_t before = fake.receivedOfType(kSetCollisionGrade).size();
    EXPECT_EQ(robot->robotServiceSetRobotCollisionClass(c.grade, c.mode), c.result);
    const auto sent = fake.receivedOfType(kSetCollisionGrade);
    if (c.sent < 0) {
      EXPECT_EQ(sent.size(), before);
      EXPECT_EQ(log.count("robotServiceSetRobotCollisionClass: grade should be 0~31, invalid input " +
                              std::to_string(c.grade),
                          LL_ERROR),
                1);
      continue;
    }
    ASSERT_EQ(sent.size(), before + 1);
    std::vector<int> ints;
    ASSERT_TRUE(ruko::test::readGeneralInts(sent.back().body, ints));
    EXPECT_EQ(ints, std::vector<int>{c.sent});
  }
}

TEST_F(Facade, CollisionGradeReadIsTheLowFiveBitsAlsoOnFailure) {
  fake.on(kGetCollisionCurrent)
      .reply(ruko::test::collisionCurrentBody(37))
      .reply(ruko::test::collisionCurrentBody(37, 1))
      .noReply();
  loginOrFail();
  int grade = 99;
  EXPECT_EQ(robot->robotServiceGetRobotCollisionCurrentService(grade), 0);
  EXPECT_EQ(grade, 5);
  grade = 99;
  EXPECT_NE(robot->robotServiceGetRobotCollisionCurrentService(grade), 0);
  EXPECT_EQ(grade, 0);
  grade = 99;
  EXPECT_EQ(robot->robotServiceGetRobotCollisionCurrentService(grade), ErrCode_RequestTimeout);
  EXPECT_EQ(grade, 0);
}

TEST_F(Facade, ToolDynamicsTravelAsSinglePrecisionCentreAndPayload) {
  fake.on(kSetTcpParam).reply(commonResultBody(0));
  fake.on(kRobotStartup).reply(commonResultBody(0));
  loginOrFail();
  ToolDynamicsParam tool{};
  tool.positionX = 0.1;
  tool.positionY = -0.2;
  tool.positionZ = 0.3;
  tool.payload = 1.5;
  tool.toolInertia.xx = 9.0;  // never sent

  ASSERT_EQ(robot->robotServiceSetToolDynamicsParam(tool), 0);
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  ASSERT_EQ(robot->rootServiceRobotStartup(tool, 7, true, false, 10, state, false), 0);
  ASSERT_EQ(robot->robotServiceSetNoneToolDynamicsParam(), 0);

  RobotTcpParam setTool{};
  ASSERT_TRUE(ruko::test::readTcpParam(fake.receivedOfType(kSetTcpParam)[0].body, setTool));
  RobotTcpParam startupTool{};
  int collisionClass = -1;
  ASSERT_TRUE(ruko::test::readStartup(fake.receivedOfType(kRobotStartup)[0].body, startupTool, collisionClass));
  EXPECT_EQ(collisionClass, 7);
  for (const RobotTcpParam& sent : {setTool, startupTool}) {
    for (const TcpParam& half : {sent.paramAutorun, sent.paramManual}) {
      EXPECT_EQ(half.positionX, 0.1f);
      EXPECT_EQ(half.positionY, -0.2f);
      EXPECT_EQ(half.positionZ, 0.3f);
      EXPECT_EQ(half.payload, 1.5f);
    }
  }
  RobotTcpParam none{};
  ASSERT_TRUE(ruko::test::readTcpParam(fake.receivedOfType(kSetTcpParam)[1].body, none));
  EXPECT_EQ(none.paramAutorun.payload, 0.0f);
  EXPECT_EQ(none.paramManual.positionX, 0.0f);
}

TEST_F(Facade, ToolDynamicsSinglePrecisionCannotHoldAreRefused) {
  fake.on(kSetTcpParam).allowUnused();
  loginOrFail();
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300};
  for (double value : bad) {
    ToolDynamicsParam tool{};
    tool.payload = value;
    ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
    EXPECT_EQ(robot->robotServiceSetToolDynamicsParam(tool), ErrCode_ParamError);
    EXPECT_EQ(robot->rootServiceRobotStartup(tool, 0, false, false, 0, state, false), ErrCode_ParamError);
  }
  EXPECT_TRUE(fake.receivedOfType(kSetTcpParam).empty());
  EXPECT_TRUE(fake.receivedOfType(kRobotStartup).empty());
}

TEST_F(Facade, ToolDynamicsReadTakesTheAutomaticHalfAndResetsTheRest) {
  RobotTcpParam reply{};
  reply.paramAutorun = TcpParam{0.25f, 0.5f, -0.75f, 2.0f};
  reply.paramManual = TcpParam{9.0f, 9.0f, 9.0f, 9.0f};
  fake.on(kGetTcpParam).reply(ruko::test::tcpParamBody(reply)).noReply();
  loginOrFail();
  ToolDynamicsParam tool{};
  tool.toolInertia.zz = 4.0;
  ASSERT_EQ(robot->robotServiceGetToolDynamicsParam(tool), 0);
  EXPECT_EQ(tool.positionX, 0.25);
  EXPECT_EQ(tool.positionY, 0.5);
  EXPECT_EQ(tool.positionZ, -0.75);
  EXPECT_EQ(tool.payload, 2.0);
  EXPECT_EQ(tool.toolInertia.zz, 0.0);
  // A failed read leaves the caller's record as it was.
  tool.payload = 7.0;
  EXPECT_EQ(robot->robotServiceGetToolDynamicsParam(tool), ErrCode_RequestTimeout);
  EXPECT_EQ(tool.payload, 7.0);
}

TEST_F(Facade, JointParameterSettersSendTheirFixedIndex) {
  using Setter = int (ServiceInterface::*)(int, uint16_t);
  const Setter setters[] = {
      &ServiceInterface::robotServiceSetJointParam_CurrentIP, &ServiceInterface::robotServiceSetJointParam_CurrentII,
      &ServiceInterface::robotServiceSetJointParam_CurrentID, &ServiceInterface::robotServiceSetJointParam_SpeedP,
      &ServiceInterface::robotServiceSetJointParam_SpeedI,    &ServiceInterface::robotServiceSetJointParam_SpeedD,
      &ServiceInterface::robotServiceSetJointParam_SpeedDS,   &ServiceInterface::robotServiceSetJointParam_PosP,
      &ServiceInterface::robotServiceSetJointParam_PosI,      &ServiceInterface::robotServiceSetJointParam_PosD,
      &ServiceInterface::robotServiceSetJointParam_PosDS,
  };
  fake.on(kSetJointParam).reply(commonResultBody(0));
  loginOrFail();
  for (int index = 0; index < 11; ++index) {
    EXPECT_EQ((robot.get()->*setters[index])(index % 6 + 1, static_cast<uint16_t>(65535 - index)), 0);
  }
  const auto sent = fake.receivedOfType(kSetJointParam);
  ASSERT_EQ(sent.size(), 11u);
  for (int index = 0; index < 11; ++index) {
    std::vector<int> values;
    ASSERT_TRUE(ruko::test::readIntVector(sent[static_cast<size_t>(index)].body, values));
    EXPECT_EQ(values, (std::vector<int>{index, index % 6 + 1, 65535 - index}));
  }
}

TEST_F(Facade, ProjectStartupAndStopClearAndSetTheSafetyStop) {
  fake.on(kSetOrpeStop).reply(commonResultBody(0));
  loginOrFail();
  ASSERT_EQ(robot->robotServiceSetRobotProjectStartup(), 0);
  ASSERT_EQ(robot->robotServiceSetRobotProjectStop(), 0);
  const auto sent = fake.receivedOfType(kSetOrpeStop);
  ASSERT_EQ(sent.size(), 2u);
  std::vector<uint32_t> params;
  ASSERT_TRUE(ruko::test::readSafeIoParams(sent[0].body, params));
  EXPECT_EQ(params, std::vector<uint32_t>{0});
  ASSERT_TRUE(ruko::test::readSafeIoParams(sent[1].body, params));
  EXPECT_EQ(params, std::vector<uint32_t>{1});
}

// ---- Safety configuration ------------------------------------------------------------------------------------

RobotSafetyConfig someSafetyConfig() {
  RobotSafetyConfig config{};
  for (int i = 0; i < 6; ++i) config.robotReducedConfigJointSpeed[i] = static_cast<uint16_t>(100 + i);
  config.robotReducedConfigTcpSpeed = 250;
  config.robotReducedConfigTcpForce = 150;
  config.robotReducedConfigMomentum = 25;
  config.robotReducedConfigPower = 300;
  config.robotSafeguradResetConfig = 1;
  config.robotOperationalModeConfig = 2;
  return config;
}

TEST_F(Facade, SafetyConfigGoesOnlyToBoardsThatTakeIt) {
  const struct {
    const char* revision;
    bool sent;
  } cases[] = {{"V2.9", false}, {"V3", false}, {"V3.0", false}, {"V3.1", true}, {"V4", true}, {"V4.0", true}};
  const RobotSafetyConfig config = someSafetyConfig();
  fake.on(kSetSafetyConfig).reply(commonResultBody(0));
  fake.on(kGetSafetyConfig).reply(ruko::test::safetyConfigBody(config));
  loginOrFail();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.revision);
    fake.on(kGetDevInfo).reply(ruko::test::devInfoBody(c.revision));
    const size_t before = fake.receivedOfType(kSetSafetyConfig).size();
    EXPECT_EQ(robot->robotServiceSetRobotSafetyConfig(config), 0);
    EXPECT_EQ(fake.receivedOfType(kSetSafetyConfig).size(), before + (c.sent ? 1 : 0));
  }
}

TEST_F(Facade, SafetyConfigIsNotReportedAppliedWhenTheBoardCannotBeRead) {
  fake.on(kSetSafetyConfig).allowUnused();
  fake.on(kGetDevInfo).reply(ruko::test::devInfoBody("V4.0", 1)).noReply();
  loginOrFail();
  const int refused = robot->robotServiceSetRobotSafetyConfig(someSafetyConfig());
  EXPECT_NE(refused, 0);
  EXPECT_EQ(robot->robotServiceSetRobotSafetyConfig(someSafetyConfig()), ErrCode_RequestTimeout);
  EXPECT_TRUE(fake.receivedOfType(kSetSafetyConfig).empty());
}

TEST_F(Facade, SafetyConfigIsConfirmedByReadingItBack) {
  const RobotSafetyConfig config = someSafetyConfig();
  RobotSafetyConfig other = config;
  other.robotReducedConfigJointSpeed[5] = 1;
  fake.on(kGetDevInfo).reply(ruko::test::devInfoBody("V3.1"));
  fake.on(kSetSafetyConfig).reply(commonResultBody(0)).reply(commonResultBody(0)).reply(commonResultBody(1));
  // First call: shows on the third read. Second: never shows (six reads).
  auto& readBack = fake.on(kGetSafetyConfig);
  readBack.reply(ruko::test::safetyConfigBody(other)).reply(ruko::test::safetyConfigBody(other, 1));
  readBack.reply(ruko::test::safetyConfigBody(config));
  readBack.reply(ruko::test::safetyConfigBody(other));
  loginOrFail();

  EXPECT_EQ(robot->robotServiceSetRobotSafetyConfig(config), 0);
  EXPECT_EQ(fake.receivedOfType(kGetSafetyConfig).size(), 3u);

  EXPECT_EQ(robot->robotServiceSetRobotSafetyConfig(config), ErrCode_Failed);
  EXPECT_EQ(fake.receivedOfType(kGetSafetyConfig).size(), 9u);

  // A refused configuration is not read back.
  EXPECT_NE(robot->robotServiceSetRobotSafetyConfig(config), 0);
  EXPECT_EQ(fake.receivedOfType(kGetSafetyConfig).size(), 9u);
}

}  // namespace

namespace {

// The reduced-mode calls answer true on failure, false when the controller accepts.
TEST_F(Facade, ReducedModeAnswersTrueWhenTheRequestFails) {
  loginOrFail();
  constexpr int kEnterReduceMode = 126;
  constexpr int kExitReduceMode = 127;
  fake.on(kEnterReduceMode).reply(commonResultBody(0)).reply(commonResultBody(2));
  fake.on(kExitReduceMode).reply(commonResultBody(0));
  EXPECT_FALSE(robot->robotServiceEnterRobotReduceMode());
  EXPECT_TRUE(robot->robotServiceEnterRobotReduceMode());
  EXPECT_FALSE(robot->robotServiceExitRobotReduceMode());
  robot->robotServiceLogout();
  EXPECT_TRUE(robot->robotServiceExitRobotReduceMode()) << "not connected is a failure too";
}

}  // namespace
