// Quick start: log in to a controller (or ruko-sim), start the arm up, read it, watch a few pushes, move it
// (joint, linear and track moves; pause and continue one, stop one), shut it down and log out.
//
//   ruko_quickstart [host] [port]      (defaults 127.0.0.1 8899)

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

namespace rrn = ruko_robot_namespace;

namespace {

std::atomic<int> g_jointStatusPushes{0};
std::atomic<int> g_arrivals{0};

void onEvent(const rrn::RobotEventInfo* event, void*) {
  if (event->eventType == rrn::RobotEvent_atTrackTargetPos) ++g_arrivals;
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

// Joint, linear and track moves under the global move profile; a move paused and continued; a move stopped.
bool moveAround(ServiceInterface& robot) {
  bool ok = true;
  robot.robotServiceInitGlobalMoveProfile();
  rrn::JointVelcAccParam jointLimit{};
  for (double& v : jointLimit.jointPara) v = 1.0;  // rad/s and rad/s^2
  robot.robotServiceSetGlobalMoveJointMaxVelc(jointLimit);
  robot.robotServiceSetGlobalMoveJointMaxAcc(jointLimit);
  robot.robotServiceSetGlobalMoveEndMaxLineVelc(0.2);
  robot.robotServiceSetGlobalMoveEndMaxLineAcc(0.5);

  double home[6] = {0.0, -0.2618, 1.7453, 0.4364, 1.5708, 0.0};
  ok &= check("joint move (blocking)", robot.robotServiceJointMove(home, true)) == 0;
  double aside[6] = {0.3, -0.2618, 1.7453, 0.4364, 1.5708, 0.0};
  ok &= check("linear move (blocking)", robot.robotServiceLineMove(aside, true)) == 0;

  robot.robotServiceClearGlobalWayPointVector();
  const double track[3][6] = {{0.3, -0.2618, 1.7453, 0.4364, 1.5708, 0.0},
                              {0.1, -0.1, 1.6, 0.4364, 1.5708, 0.0},
                              {-0.2, -0.2618, 1.7453, 0.4364, 1.5708, 0.0}};
  for (const auto& joints : track) robot.robotServiceAddGlobalWayPoint(joints);
  ok &= check("track move (blocking)", robot.robotServiceTrackMove(rrn::CARTESIAN_MOVEP, true)) == 0;

  // Non-blocking: the call returns once the controller has the move; its arrival comes as an event.
  const int arrivalsBefore = g_arrivals;
  ok &= check("joint move (non-blocking)", robot.robotServiceJointMove(home, false)) == 0;
  ok &= check("pause", robot.rootServiceRobotMoveControl(rrn::RobotMovePause)) == 0;
  ok &= check("continue", robot.rootServiceRobotMoveControl(rrn::RobotMoveContinue)) == 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (g_arrivals == arrivalsBefore && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::printf("  paused move %s\n", g_arrivals > arrivalsBefore ? "arrived" : "did not arrive");
  ok &= g_arrivals > arrivalsBefore;

  // A blocking move on its own thread, stopped from here: it ends with the stop state.
  int stopped = -1;
  std::thread mover([&] { stopped = robot.robotServiceJointMove(aside, true); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ok &= check("stop", robot.robotMoveStop()) == 0;
  mover.join();
  std::printf("  stopped move returned %d (%d = stopped)\n", stopped, static_cast<int>(rrn::ErrCodeMoveEnterStopState));
  ok &= stopped == rrn::ErrCodeMoveEnterStopState || stopped == 0;
  return ok;
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

  const bool moved = moveAround(robot);

  check("shut-down (blocking)", robot.robotServiceRobotShutdown(true));
  check("logout", robot.robotServiceLogout());
  return g_jointStatusPushes > 0 && moved ? 0 : 1;
}
