#ifndef RUKO_SDK_ROBOT_IO_TYPES_H
#define RUKO_SDK_ROBOT_IO_TYPES_H

// Input/output records and enumerations of the interface board and the tool.
// Plain aggregates whose layout is part of the binary interface; the
// enumerations carry wire values and so have a fixed `int` underlying type.

#include <cstdint>

namespace ruko_robot_namespace {

enum RobotIoType : int {
  RobotBoardControllerDI = 0,
  RobotBoardControllerDO = 1,
  RobotBoardControllerAI = 2,
  RobotBoardControllerAO = 3,
  RobotBoardUserDI = 4,
  RobotBoardUserDO = 5,
  RobotBoardUserAI = 6,
  RobotBoardUserAO = 7,
  // A tool pin's direction as a ToolIOType is its type minus RobotToolDI.
  RobotToolDI = 8,
  RobotToolDO = 9,
  RobotToolAI = 10,
  RobotToolAO = 11
};

// A digital level.
enum IO_STATUS : int { IO_STATUS_INVALID = 0, IO_STATUS_VALID = 1 };

enum ToolPowerType : int { OUT_0V = 0, OUT_12V = 1, OUT_24V = 2 };

enum ToolIOType : int { IO_IN = 0, IO_OUT = 1 };

enum ToolDigitalIOAddr : int {
  TOOL_DIGITAL_IO_0 = 0,
  TOOL_DIGITAL_IO_1 = 1,
  TOOL_DIGITAL_IO_2 = 2,
  TOOL_DIGITAL_IO_3 = 3
};

// One named input or output as the application sees it. `ioValue` is 0 or 1
// for digital entries, the analog value otherwise, and -1 when unknown.
struct RobotIoDesc {
  char ioId[32];
  RobotIoType ioType;
  char ioName[32];
  int ioAddr;
  double ioValue;
};

// One digital entry as exchanged with the controller.
struct RobotDiagnosisIODesc {
  uint8_t addr;
  uint8_t value;
  uint8_t type;
};

// One analog entry as exchanged with the controller.
struct RobotAnalogIODesc {
  uint8_t addr;
  float value;
  uint8_t type;
};

}  // namespace ruko_robot_namespace

#endif  // RUKO_SDK_ROBOT_IO_TYPES_H
