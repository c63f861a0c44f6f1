#ifndef RUKO_KINEMATICS_KINEMATIC_TYPES_H
#define RUKO_KINEMATICS_KINEMATIC_TYPES_H

// Records the kinematics work on. They mirror the public records of
// ruko_sdk/robot_geometry.h field for field, but are distinct types in the global
// namespace. Hazard: a translation unit that includes both headers must not open
// ruko_robot_namespace with a using-directive, or `Pos`, `Ori` and `wayPoint_S`
// become ambiguous. Convert with kinematics/geometry_convert.h.

struct Pos {
  double x;
  double y;
  double z;
};

union cartesianPos_U {
  Pos position;
  double positionVector[3];
};

struct Ori {
  double w;
  double x;
  double y;
  double z;
};

union cartesianOri_U {
  Ori orientation;
  double quaternionVector[4];
};

struct wayPoint_S {
  cartesianPos_U cartPos;
  Ori orientation;
  double jointpos[6];
};

// A waypoint without joint angles.
struct Pose_S {
  cartesianPos_U posU;
  cartesianOri_U oriU;
};

// Per-joint kinematic calibration deltas as the controller reports them: dA and dD
// in metres, dAlpha, dTheta and dBeta in radians. They are stored in single precision
// and widened at the point of use, so the calibrated chain's results are defined by
// these float values.
struct RobotSystemParamCalib_S {
  float dA[6];
  float dD[6];
  float dAlpha[6];
  float dTheta[6];
  float dBeta[6];
};

#endif  // RUKO_KINEMATICS_KINEMATIC_TYPES_H
