#ifndef RUKO_SDK_SERVICEINTERFACE_H
#define RUKO_SDK_SERVICEINTERFACE_H

#include <string>

#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_io_types.h"
#include "ruko_sdk/robot_motion_types.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "ruko_sdk/ruko_sdk_export.h"
#include "ruko_sdk/version.h"

/**
 * The library's facade. One object per robot connection; every method returns 0 or a RobotErrorCode
 * unless its comment says otherwise. The operations that need no controller are static.
 */
class RUKO_SDK_API ServiceInterface {
 public:
  /** English description of a library error code; empty for codes without one (event codes 20000 and up). */
  static std::string getErrDescByCode(ruko_robot_namespace::RobotErrorCode code);

  /**
   * Quaternion to roll-pitch-yaw (R = Rz·Ry·Rx, radians). The angles pass through single precision
   * (about 1e-7 relative), as the controller computes them. Returns 0.
   */
  static int quaternionToRPY(const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::Rpy& rpy);

  /** Roll-pitch-yaw (radians, rounded to single precision first) to quaternion. Returns 0. */
  static int RPYToQuaternion(const ruko_robot_namespace::Rpy& rpy, ruko_robot_namespace::Ori& ori);
};

#endif
