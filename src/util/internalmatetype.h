#ifndef RUKO_UTIL_INTERNALMATETYPE_H
#define RUKO_UTIL_INTERNALMATETYPE_H

// Records shared by the services that never reach the application.

#include <cstdint>

#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_io_types.h"

struct RobotToolDigitalStatus {
  ruko_robot_namespace::ToolIOType ioType;
  uint8_t ioData;
};

// The tool summary: supply, pins 0 to 3, analog inputs, temperature and the
// low 8 bits of the controller's error code for the request.
struct RobotToolAllIOStatus {
  ruko_robot_namespace::ToolPowerType powerType;
  float systemVoltage;
  RobotToolDigitalStatus digitalIoStatus[4];
  float aiData[2];
  float systemTemperature;
  uint8_t errorStatus;
};

// A user frame after its three joint configurations were turned into TCP
// poses in the base frame.
struct CoordCalibrateByToolEndPoint {
  ruko_robot_namespace::coordinate_refer coordType;
  ruko_robot_namespace::CoordCalibrateMathod methods;
  ruko_robot_namespace::wayPoint_S wayPointArray[3];
};

#endif  // RUKO_UTIL_INTERNALMATETYPE_H
