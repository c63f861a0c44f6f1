// The library against the simulated controller: the whole controller side of a session, end to end, with
// each side written from the protocol reference rather than from the other.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_controller.h"
#include "log_capture.h"
#include "simulator.h"
#include "transport/robotcontrolservices.h"
#include "util/server_version_code.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::waitFor;
using CMT = CommunicationMateType;

namespace {

struct Received {
  std::mutex mutex;
  std::vector<int> events;
  std::atomic<int> jointStatus{0};
  std::atomic<int> waypoints{0};
  std::atomic<int> endSpeed{0};

  bool sawEvent(int type) {
    std::lock_guard<std::mutex> lock(mutex);
    for (int e : events) {
      if (e == type) return true;
    }
    return false;
  }
};

class LibraryOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    ruko::sim::Options options;
    options.timeScale = 0.05;
    options.pushHz = 200;
    options.version = "4.10.1";
    sim = std::make_unique<ruko::sim::Simulator>(options);
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    client = std::make_unique<RobotControlServices>();
    client->robotServiceRegisterRobotEventInfoCallbackService(
        [](const RobotEventInfo* e, void* arg) {
          auto* r = static_cast<Received*>(arg);
          std::lock_guard<std::mutex> lock(r->mutex);
          r->events.push_back(e->eventType);
        },
        &got);
    client->robotServiceRegisterRealTimeJointStatusCallbackService(
        [](const JointStatus*, int, void* arg) { ++static_cast<Received*>(arg)->jointStatus; }, &got);
    client->robotServiceRegisterRealTimeRoadPointCallbackService(
        [](const wayPoint_S*, void* arg) { ++static_cast<Received*>(arg)->waypoints; }, &got);
    client->robotServiceRegisterRealTimeEndSpeedCallbackService(
        [](double, void* arg) { ++static_cast<Received*>(arg)->endSpeed; }, &got);
  }

  int login() {
    RobotType type{};
    RobotDhPara dh{};
    return client->loginService("127.0.0.1", sim->port(), "user", "pass", type, dh);
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{[] {
    ruko::TimingTable t = ruko::fastTiming();
    t.responseWait = 2s;
    t.startupWait = t.shutdownWait = t.handshakeWait = 3s;
    t.motionControlWait = 2s;
    return t;
  }()};
  Received got;
  std::unique_ptr<ruko::sim::Simulator> sim;
  std::unique_ptr<RobotControlServices> client;
};

TEST_F(LibraryOnSimulator, ASessionFromLoginToLogout) {
  ASSERT_EQ(login(), 0);
  EXPECT_EQ(RobotControlServices::getVersionCode(), 4010001);
  EXPECT_TRUE(log.contains("sdk log: startup completed, set robot base param succ."));
  EXPECT_FALSE(log.contains("falg failed"));

  EXPECT_EQ(client->robotHandShakeService(true), 0);
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  EXPECT_EQ(client->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true), 0);
  EXPECT_EQ(state, ROBOT_SERVICE_WORKING);

  EXPECT_EQ(client->setRealTimeJointStatusPush(true), 0);
  EXPECT_EQ(client->setRealTimeJointAnglePush(true), 0);
  EXPECT_EQ(client->setRealTimeEndSpeedPush(true), 0);
  EXPECT_TRUE(waitFor([&] { return got.jointStatus >= 5 && got.waypoints >= 5 && got.endSpeed >= 5; }));
  EXPECT_EQ(client->setRealTimeJointStatusPush(false), 0);
  EXPECT_EQ(client->setRealTimeJointAnglePush(false), 0);
  EXPECT_EQ(client->setRealTimeEndSpeedPush(false), 0);

  // Every status getter decodes the simulator's reply.
  RobotTcpParam tcp{};
  ToolDynamicsParam tool{};
  RobotCollisionCurrent collision{};
  RobotWorkMode mode{};
  RobotDevInfo dev{};
  RobotGravityComponent gravity{};
  JointStatus status[6];
  JointParam joints{};
  bool flag = false;
  RobotDiagnosis diagnosis{};
  RobotState robotState{};
  RobotSafetyConfig safety{};
  OrpeSafetyStatus orpe{};
  std::string text;
  JointCommonData common[6];
  RobotBaseParameters base{};
  RobotJointsParameter jointsParam{};
  std::vector<int> identify;
  const std::vector<std::pair<const char*, std::function<int()>>> getters = {
      {"tcp", [&] { return client->getTcpParamService(tcp); }},
      {"tool dynamics", [&] { return client->getToolDynamicsParamService(tool); }},
      {"collision", [&] { return client->getRobotCollisionCurrentService(collision); }},
      {"work mode", [&] { return client->getRobotWorkModeService(mode); }},
      {"device info", [&] { return client->getRobotDevInfoService(dev); }},
      {"gravity", [&] { return client->getRobotGravityComponent(gravity); }},
      {"joint status", [&] { return client->getRobotJointStatus(status, 6); }},
      {"joint angle", [&] { return client->getCurrentJointAngle(joints); }},
      {"joint angle from controller", [&] { return client->getJointAngleFromController(joints); }},
      {"real robot", [&] { return client->getIsRealRobotExist(flag); }},
      {"diagnosis", [&] { return client->getRobotDiagnosisInfo(diagnosis); }},
      {"robot state", [&] { return client->getRobotCurrentStateService(robotState); }},
      {"safety config", [&] { return client->getRobotSafetyConfig(safety); }},
      {"orpe status", [&] { return client->getOrpeSafetyStatus(orpe); }},
      {"firmware result", [&] { return client->getBoardFirmwareUpdateResultService(flag); }},
      {"ethernet", [&] { return client->getRobotEthernetDeviceNameService(text); }},
      {"version", [&] { return client->getServerVersionInfoService(text); }},
      {"joint common data", [&] { return client->getJointCommonData(common, 6); }},
      {"base parameters", [&] { return client->getRobotBaseParameters(base); }},
      {"joints parameter", [&] { return client->getRobotJointsParameter(jointsParam); }},
      {"joint 6 flag", [&] { return client->getJoint6Rotate360EnableFlag(flag); }},
      {"joint 1 flag", [&] { return client->getJoint1Rotate360EnableFlag(flag); }},
      {"identification", [&] { return client->getDynIdentifyResultsService(identify); }},
  };
  for (const auto& getter : getters) EXPECT_EQ(getter.second(), 0) << getter.first;
  EXPECT_EQ(text, "4.10.1");
  EXPECT_TRUE(diagnosis.armPowerStatus);

  // Settings come back as set.
  RobotTcpParam newTcp{};
  newTcp.paramAutorun.payload = 1.5f;
  newTcp.paramManual.positionZ = 0.25f;
  ASSERT_EQ(client->setTcpParamService(newTcp), 0);
  ASSERT_EQ(client->getTcpParamService(tcp), 0);
  EXPECT_FLOAT_EQ(tcp.paramAutorun.payload, 1.5f);
  EXPECT_FLOAT_EQ(tcp.paramManual.positionZ, 0.25f);
  EXPECT_EQ(client->setRobotCollisionClassService(9), 0);
  EXPECT_EQ(client->setRobotWorkModeService(RobotModeReal), 0);
  ASSERT_EQ(client->getRobotWorkModeService(mode), 0);
  EXPECT_EQ(mode, RobotModeReal);

  // Motion control waits for its done event.
  EXPECT_EQ(client->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_Pause), 0);
  EXPECT_EQ(client->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_Continue), 0);
  EXPECT_EQ(client->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_SlowStop), 0);

  EXPECT_EQ(client->robotShutdownService(true), 0);
  EXPECT_TRUE(waitFor([&] { return got.sawEvent(RobotEvent_robotShutdownDone); }));
  EXPECT_EQ(client->logoutService(), 0);
  EXPECT_TRUE(waitFor([&] { return sim->sessionCount() == 0; }));
}

TEST_F(LibraryOnSimulator, ToleratesDoneEventsThatOvertakeTheirReply) {
  ASSERT_EQ(login(), 0);
  for (int type : {CMT::CommunicationType_RobotStartup, CMT::CommunicationType_RobotShutdown,
                   CMT::CommunicationType_RobotHandShake, CMT::CommunicationType_RobotMoveControlType_Pause}) {
    ruko::sim::Fault fault;
    fault.eventBeforeReply = true;
    sim->setFault(type, fault);
  }
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true), 0);
  EXPECT_EQ(state, ROBOT_SERVICE_WORKING);
  EXPECT_EQ(client->robotHandShakeService(true), 0);
  EXPECT_EQ(client->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_Pause), 0);
  EXPECT_EQ(client->robotShutdownService(true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "an early event was lost and a wait ran out";
}

TEST_F(LibraryOnSimulator, AStoppedControllerEndsTheWaitAtOnce) {
  // A controller whose start-up takes far longer than the test: it answers and then goes away.
  ruko::sim::Options slow;
  slow.lifecycleStep = 60s;
  ruko::sim::Simulator slowSim(slow);
  ASSERT_TRUE(slowSim.start());
  RobotType type{};
  RobotDhPara dh{};
  ASSERT_EQ(client->loginService("127.0.0.1", slowSim.port(), "user", "pass", type, dh), 0);
  std::thread stopper([&] {
    slowSim.waitForRequests(CMT::CommunicationType_RobotStartup, 1);
    std::this_thread::sleep_for(200ms);
    slowSim.stop();
  });
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client->robotStartupService(RobotTcpParam{}, 6, true, true, 1000, state, true), ErrCode_SocketDisconnect);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  stopper.join();
  EXPECT_TRUE(waitFor([&] { return got.sawEvent(RobotEvent_socketDisconnected); }));
}

}  // namespace
