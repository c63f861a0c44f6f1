// Status and safety: reads the controller's state, work mode, version, safety configuration and safety
// status, and writes the safety configuration back (confirmed by a read-back).
//
//   ruko_status [host] [port]      (defaults 127.0.0.1 8899)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ruko_sdk/serviceinterface.h"

namespace rrn = ruko_robot_namespace;

namespace {

bool ok(const char* what, int code) {
  if (code != 0) {
    std::printf("%s failed: %s\n", what, ServiceInterface::getErrDescByCode(static_cast<rrn::RobotErrorCode>(code)).c_str());
  }
  return code == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* host = argc > 1 ? argv[1] : "127.0.0.1";
  const int port = argc > 2 ? std::atoi(argv[2]) : 8899;

  ServiceInterface robot;
  if (!ok("login", robot.robotServiceLogin(host, port, "user", "password"))) return 1;
  bool good = true;

  std::string version;
  if ((good &= ok("version", robot.robotServiceGetServerVersionInfo(version)))) {
    std::printf("controller version %s\n", version.c_str());
  }
  rrn::RobotState state{};
  if ((good &= ok("state", robot.robotServiceGetRobotCurrentState(state)))) {
    std::printf("robot state %d (0 stopped, 1 running, 2 paused, 3 resumed)\n", static_cast<int>(state));
  }
  rrn::RobotWorkMode mode{};
  if ((good &= ok("work mode", robot.robotServiceGetRobotWorkMode(mode)))) {
    std::printf("work mode %d (0 simulated, 1 real)\n", static_cast<int>(mode));
  }
  rrn::RobotSafetyConfig config{};
  if ((good &= ok("safety configuration", robot.robotServiceGetRobotSafetyConfig(config)))) {
    std::printf("reduced-mode TCP speed %u, TCP force %u\n", config.robotReducedConfigTcpSpeed,
                config.robotReducedConfigTcpForce);
    config.robotReducedConfigTcpSpeed = 250;
    good &= ok("safety configuration write", robot.robotServiceSetRobotSafetyConfig(config));
  }
  rrn::OrpeSafetyStatus safety{};
  if ((good &= ok("safety status", robot.robotServiceGetOrpeSafetyStatus(safety)))) {
    std::printf("pause %d, stop %d, system emergency stop %d\n", safety.orpePause, safety.orpeStop,
                safety.systemEmergencyStop);
  }
  robot.robotServiceLogout();
  return good ? 0 : 1;
}
