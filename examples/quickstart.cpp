// Quick start: log in to a controller (or ruko-sim), start the arm up, read it, watch a few pushes, shut
// it down and log out.
//
//   ruko_quickstart [host] [port]      (defaults 127.0.0.1 8899)

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ruko_sdk/serviceinterface.h"

namespace rrn = ruko_robot_namespace;

namespace {

std::atomic<int> g_jointStatusPushes{0};

void onEvent(const rrn::RobotEventInfo* event, void*) {
  std::printf("event %d (code %d) %s\n", static_cast<int>(event->eventType), event->eventCode,
              event->eventContent.c_str());
}

void onJointStatus(const rrn::JointStatus* joints, int count, void*) {
  const int n = ++g_jointStatusPushes;
  if (n <= 3 && count > 0) {
    std::printf("joint status push %d: joint 1 at %.4f rad, %.1f V, %.1f degC\n", n, joints[0].jointPosJ,
                joints[0].jointCurVol, joints[0].jointCurTemp);
  }
}

int check(const char* what, int code) {
  std::printf("%-28s %s\n", what, code == 0 ? "ok" : ServiceInterface::getErrDescByCode(static_cast<rrn::RobotErrorCode>(code)).c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const char* host = argc > 1 ? argv[1] : "127.0.0.1";
  const int port = argc > 2 ? std::atoi(argv[2]) : 8899;

  ServiceInterface robot;
  if (check("login", robot.robotServiceLogin(host, port, "user", "password")) != 0) {
    return 1;
  }
  robot.robotServiceRegisterRobotEventInfoCallback(onEvent, nullptr);
  robot.robotServiceRegisterRealTimeJointStatusCallback(onJointStatus, nullptr);

  rrn::ToolDynamicsParam tool{};
  rrn::ROBOT_SERVICE_STATE state = rrn::ROBOT_SERVICE_READY;
  if (check("start-up (blocking)", robot.rootServiceRobotStartup(tool, 6, true, true, 1000, state, true)) != 0) {
    return 1;
  }
  std::printf("start-up result: %d (2 = working)\n", static_cast<int>(state));

  rrn::RobotDevInfo device{};
  if (check("device information", robot.robotServiceGetRobotDevInfoService(device)) == 0) {
    std::printf("  board revision %.16s, manufacturer %.16s\n", device.revision, device.manu_id);
  }
  rrn::RobotDiagnosis diagnosis{};
  if (check("diagnosis", robot.robotServiceGetRobotDiagnosisInfo(diagnosis)) == 0) {
    std::printf("  arm power %s, %.1f V, controller %d degC\n", diagnosis.armPowerStatus ? "on" : "off",
                diagnosis.armPowerVoltage, static_cast<int>(diagnosis.contorllerTemp));
  }
  rrn::JointParam joints{};
  if (check("joint angles", robot.robotServiceGetJointAngleInfo(joints)) == 0) {
    std::printf("  joints (rad): %.3f %.3f %.3f %.3f %.3f %.3f\n", joints.jointPos[0], joints.jointPos[1],
                joints.jointPos[2], joints.jointPos[3], joints.jointPos[4], joints.jointPos[5]);
  }

  // The joint-status push started with the callback's registration; let a few arrive.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (g_jointStatusPushes < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  robot.robotServiceRegisterRealTimeJointStatusCallback(nullptr, nullptr);
  std::printf("joint status pushes received: %d\n", g_jointStatusPushes.load());

  check("shut-down (blocking)", robot.robotServiceRobotShutdown(true));
  check("logout", robot.robotServiceLogout());
  return g_jointStatusPushes > 0 ? 0 : 1;
}
