// Events and pushes: which thread delivers what. Logs in, registers the event, waypoint and end-speed
// callbacks, starts the arm up and shuts it down, and prints what arrived.
//
//   ruko_events [host] [port]      (defaults 127.0.0.1 8899)

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ruko_sdk/serviceinterface.h"

namespace rrn = ruko_robot_namespace;

namespace {

std::atomic<int> g_events{0};
std::atomic<int> g_waypoints{0};
std::atomic<int> g_speeds{0};

// On the library's event thread, in arrival order.
void onEvent(const rrn::RobotEventInfo* event, void*) {
  ++g_events;
  std::printf("[event thread] event %d code %d \"%s\"\n", static_cast<int>(event->eventType), event->eventCode,
              event->eventContent.c_str());
}

// On the receive thread: keep it short, and never send a request from here.
void onWaypoint(const rrn::wayPoint_S* waypoint, void*) {
  if (++g_waypoints == 1) {
    std::printf("[receive thread] first waypoint: flange at (%.3f, %.3f, %.3f) m\n", waypoint->cartPos.position.x,
                waypoint->cartPos.position.y, waypoint->cartPos.position.z);
  }
}

void onEndSpeed(double speed, void*) {
  if (++g_speeds == 1) std::printf("[receive thread] first end speed: %.3f m/s\n", speed);
}

}  // namespace

int main(int argc, char** argv) {
  const char* host = argc > 1 ? argv[1] : "127.0.0.1";
  const int port = argc > 2 ? std::atoi(argv[2]) : 8899;

  ServiceInterface robot;
  int code = robot.robotServiceLogin(host, port, "user", "password");
  if (code != 0) {
    std::printf("login failed: %s\n", ServiceInterface::getErrDescByCode(static_cast<rrn::RobotErrorCode>(code)).c_str());
    return 1;
  }
  robot.robotServiceRegisterRobotEventInfoCallback(onEvent, nullptr);
  // Registering these two also asks the controller to start their pushes.
  robot.robotServiceRegisterRealTimeRoadPointCallback(onWaypoint, nullptr);
  robot.robotServiceRegisterRealTimeEndSpeedCallback(onEndSpeed, nullptr);

  rrn::ToolDynamicsParam tool{};
  rrn::ROBOT_SERVICE_STATE state = rrn::ROBOT_SERVICE_READY;
  code = robot.rootServiceRobotStartup(tool, 6, true, true, 1000, state, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  robot.robotServiceRobotShutdown(true);

  // A null callback stops its push.
  robot.robotServiceRegisterRealTimeRoadPointCallback(nullptr, nullptr);
  robot.robotServiceRegisterRealTimeEndSpeedCallback(nullptr, nullptr);
  robot.robotServiceLogout();
  std::printf("events %d, waypoints %d, end speeds %d\n", g_events.load(), g_waypoints.load(), g_speeds.load());
  return code == 0 && g_events > 0 && g_waypoints > 0 ? 0 : 1;
}
