#ifndef RUKO_CODEC_ROBOTMOVEPROFILE_H
#define RUKO_CODEC_ROBOTMOVEPROFILE_H

// The profile that accompanies every move request. Internal: the move
// service builds it from the global move profile and the codec turns it into
// the wire message.

#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_motion_types.h"

// Speed or acceleration limits: one per joint for joint-space moves; for
// Cartesian moves cartPara[0] is the linear and cartPara[1] the angular limit.
union joint_cart_U {
  double cartPara[2];
  // `joint_cart_U u{}` would otherwise zero only the first member, leaving
  // jointPara[2..5] indeterminate; initialising the widest member zeroes the
  // whole union.
  double jointPara[6] = {};
};

union cartesian_Ori_U {
  ruko_robot_namespace::Ori orientation;
  double quaternionVector[4];  // w, x, y, z
};

// Relative offset of the target, expressed in the base frame.
struct relativeMove_t {
  bool ena;
  float relativePosition[3];
  cartesian_Ori_U relativeOrientation;
};

struct arrivalAhead_t {
  arrival_ahead_state arrivalAheadStat;
  double arrivalAheadThr;
};

struct RobotMoveProfile {
  move_mode moveMode;
  // Also TRACKING for arrival-ahead and teach moves.
  ruko_robot_namespace::move_track subMoveMode;
  ruko_robot_namespace::teach_mode teachMode;
  bool enableIterIk;
  bool toolTrack;
  // Tool centre point and orientation in the flange frame.
  ruko_robot_namespace::cartesianPos_U toolInEndPosition;
  ruko_robot_namespace::Ori toolInEndOrientation;
  relativeMove_t relativeMove;
  joint_cart_U maxVelc;
  joint_cart_U maxAcc;
  arrivalAhead_t arrivalAhead;
  // Doubles as the marker of circle moves and the playback cycle of joint
  // B-spline tracks.
  float blendRadius;
  // Loop count of circle moves; the direction flag of teach moves.
  int circularLoopTimes;
  // Has no wire field; kept so the profile is complete on this side.
  double jerkAccRatio;
};

#endif  // RUKO_CODEC_ROBOTMOVEPROFILE_H
