#ifndef RUKO_SDK_ROBOT_PARAMETER_TYPES_H
#define RUKO_SDK_ROBOT_PARAMETER_TYPES_H

// The controller's arm parameter blocks: base parameters (robot information,
// dynamics, hand-guiding, kinematics) and the per-joint friction values. Each
// array holds one value per joint, joint 1 first, unless its length says
// otherwise.
//
// Every field has a default member initialiser, so a record declared without
// an initialiser is already all zeros: a read that succeeds without filling a
// block that did not fit leaves zeros behind, never indeterminate values. The
// records stay aggregates and their layout is part of the binary interface.

#include <cstdint>

namespace ruko_robot_namespace {

// The library gives these values no meaning; it only carries them.
struct RobotInfo {
  uint16_t robot_type{};
  uint16_t auth_type{};
  uint32_t robot_expire{};
  uint8_t reserve[12]{};
  uint32_t robot_duration{};
  uint32_t joint_duration[6]{};
};

struct RobotDynamicsParameters {
  double K[6]{};
  double IA[4]{};
  double M[1]{};
  double MXYZ[13]{};
  double IXYZ[28]{};
  double CB[6]{};
};

struct RobotHandguidingParameters {
  double FP[6]{};
  double FD[6]{};
  double FK[6]{};
  double FM[6]{};
  double pos_limit[6]{};
  double velocity_limit[6]{};
  double acceleration_limit[6]{};
};

// Older controllers carry these as integers: da and dd in 1e-6 units,
// dalpha, dbeta and dtheta in 1e-4 degree. Only values between -32768 and
// 32767 survive that form.
struct RobotKinematicsParameters {
  double da[6]{};
  double dd[6]{};
  double dalpha[6]{};
  double dbeta[6]{};
  double dratio[6]{};
  double dtheta[6]{};
};

struct RobotFrictionParameters {
  uint16_t FL[6]{};
  uint16_t FR[6]{};
  int16_t tmp_a[6]{};
  uint16_t tmp_b[6]{};
  int16_t posvel_a1[6]{};
  uint16_t posvel_b1[6]{};
  int16_t posvel_a2[6]{};
  uint16_t posvel_b2[6]{};
  uint16_t posvel_c2[6]{};
  int16_t negvel_a1[6]{};
  int16_t negvel_b1[6]{};
  uint16_t negvel_a2[6]{};
  uint16_t negvel_b2[6]{};
  int16_t negvel_c2[6]{};
};

struct RobotBaseParameters {
  RobotInfo info{};
  RobotDynamicsParameters dynamicParam{};
  RobotHandguidingParameters handguidingParam{};
  RobotKinematicsParameters kinematicsParam{};
};

struct RobotJointsParameter {
  RobotFrictionParameters frictionParam{};
};

}  // namespace ruko_robot_namespace

#endif  // RUKO_SDK_ROBOT_PARAMETER_TYPES_H
