// Board and tool I/O: list the interface board's inputs and outputs, switch a user output by name and read
// it back, then switch the tool's supply and read its pins.
//
//   ruko_io [host] [port]      (defaults 127.0.0.1 8899)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

namespace rrn = ruko_robot_namespace;

namespace {

int check(const char* what, int code) {
  std::printf("%-32s %s\n", what,
              code == 0 ? "ok" : ServiceInterface::getErrDescByCode(static_cast<rrn::RobotErrorCode>(code)).c_str());
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
  int failures = 0;

  // The board: every user input and output with its current value.
  std::vector<rrn::RobotIoDesc> board;
  failures += check("board I/O status",
                    robot.robotServiceGetBoardIOStatus({rrn::RobotBoardUserDI, rrn::RobotBoardUserDO,
                                                        rrn::RobotBoardUserAI, rrn::RobotBoardUserAO},
                                                       board)) != 0;
  for (const rrn::RobotIoDesc& io : board) {
    std::printf("  %-8s type %2d addr %2d value %g\n", io.ioName, static_cast<int>(io.ioType), io.ioAddr, io.ioValue);
  }

  // One output by name, read back.
  const std::string output = "U_DO_00";
  const int set = robot.robotServiceSetBoardIOStatus(rrn::RobotBoardUserDO, output, 1.0);
  std::printf("\n");  // the setter's trace has no line end of its own
  failures += check("set U_DO_00 on", set) != 0;
  double level = -1.0;
  failures += check("read U_DO_00", robot.robotServiceGetBoardIOStatus(rrn::RobotBoardUserDO, output, level)) != 0;
  std::printf("  U_DO_00 = %g\n", level);
  if (level != 1.0) {
    std::printf("  U_DO_00 did not switch on\n");
    ++failures;
  }

  // The tool: 12 V supply (confirmed by reading it back), then its pins and analog inputs.
  failures += check("tool supply 12 V", robot.robotServiceSetToolPowerVoltageType(rrn::OUT_12V)) != 0;
  double volts = 0.0;
  failures += check("tool supply voltage", robot.robotServiceGetToolPowerVoltageStatus(volts)) != 0;
  std::printf("  supply %g V\n", volts);
  std::vector<rrn::RobotIoDesc> pins;
  failures += check("tool pins", robot.robotServiceGetAllToolDigitalIOStatus(pins)) != 0;
  for (const rrn::RobotIoDesc& pin : pins) {
    std::printf("  %-9s %s level %g\n", pin.ioName, pin.ioType == rrn::RobotToolDO ? "output" : "input ", pin.ioValue);
  }
  std::vector<rrn::RobotIoDesc> inputs;
  failures += check("tool analog inputs", robot.robotServiceGetAllToolAIStatus(inputs)) != 0;
  for (const rrn::RobotIoDesc& input : inputs) {
    std::printf("  %-9s %g\n", input.ioName, input.ioValue);
  }

  check("logout", robot.robotServiceLogout());
  return failures == 0 ? 0 : 1;
}
