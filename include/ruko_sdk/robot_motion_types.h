#ifndef RUKO_SDK_ROBOT_MOTION_TYPES_H
#define RUKO_SDK_ROBOT_MOTION_TYPES_H

// Motion records and enumerations of the public interface. Units: metres,
// radians, seconds; linear limits in m/s and m/s^2, angular and joint limits
// in rad/s and rad/s^2.
//
// The records are plain aggregates (`T x{}` yields all zeros) and their
// layout is part of the binary interface.

#include "ruko_sdk/robot_geometry.h"

// move_mode and teach_mode carry the same values on the wire.
enum move_mode : int { NO_MOVEMODE = 0, MODEJ = 1, MODEL = 2, MODEP = 3 };

enum arrival_ahead_state : int {
  arrival_ahead_none = 0,
  arrival_ahead_distance = 1,
  arrival_ahead_time = 2,
  arrival_ahead_blend_distance = 3,
  arrival_ahead_blend_time = 4,
  arrival_ahead_done = 5
};

namespace ruko_robot_namespace {

// The wire form ends at JOINT_GNUBSPLINEINTP; the arc, circle and rotation
// kinds above it are sent as ARC_CIR with a marker, never as themselves.
enum move_track : int {
  NO_TRACK = 0,
  TRACKING = 1,
  ARC_CIR = 2,
  CARTESIAN_MOVEP = 3,
  CARTESIAN_CUBICSPLINE = 4,
  CARTESIAN_UBSPLINEINTP = 5,
  CARTESIAN_GNUBSPLINEINTP = 6,
  CARTESIAN_LOOKAHEAD = 7,
  JIONT_CUBICSPLINE = 8,
  JOINT_UBSPLINEINTP = 9,
  JOINT_GNUBSPLINEINTP = 10,
  ARC = 11,
  CIRCLE = 12,
  ARC_ORI_ROTATED = 13,
  CIRCLE_ORI_ROTATED = 14,
  ORI_POSITION_ROTATE_CIRCUMFERENCE = 101
};

enum teach_mode : int {
  NO_TEACH = 0,
  JOINT1 = 1,
  JOINT2 = 2,
  JOINT3 = 3,
  JOINT4 = 4,
  JOINT5 = 5,
  JOINT6 = 6,
  MOV_X = 7,
  MOV_Y = 8,
  MOV_Z = 9,
  ROT_X = 10,
  ROT_Y = 11,
  ROT_Z = 12
};

// One value per joint, joint 1 first.
struct JointVelcAccParam {
  double jointPara[6];
};

struct MoveProfile_t {
  double jointMaxAcc[6];
  double jointMaxVelc[6];
  double endMaxLineAcc;
  double endMaxLineVelc;
  MoveRelative relative;
  CoordCalibrateByJointAngleAndTool relativeOnCoord;
  double blendRadius;
  ToolInEndDesc toolInEndDesc;
};

struct WeaveMove {
  bool weaveEnable;
  int weaveType;
  double weaveStep;
  double weaveAmplitude;
  double weaveHoldDistance;
  double weaveAngle;
};

struct RegulateSpeedModeParamConfig_t {
  double maxTcpVelocity;
  double maxTcpAcceleration;
  double maxJointVelocity[6];
  double maxJointAcceleration[6];
};

struct AdmittancePatam_t {
  double inertia[6];
  double damping[6];
  double stiffness[6];
};

struct RangeOfMotion {
  double minValue;
  double maxValue;
};

struct JointRangeOfMotion {
  bool enable;
  RangeOfMotion rangeValues[6];
};

}  // namespace ruko_robot_namespace

#endif  // RUKO_SDK_ROBOT_MOTION_TYPES_H
