#ifndef RUKO_SDK_ROBOT_GEOMETRY_H
#define RUKO_SDK_ROBOT_GEOMETRY_H

// Geometric records of the public API. Units: metres and radians; quaternions are
// (w, x, y, z), Hamilton convention; rotation matrices are 9 doubles, row-major,
// mapping child-frame coordinates into the parent frame; roll-pitch-yaw means
// R = Rz(rz) * Ry(ry) * Rx(rx). These records are part of the library's ABI:
// field order and types must not change.

namespace ruko_robot_namespace {

struct Pos {
  double x;
  double y;
  double z;
};

// The same three doubles seen as a record or as an array.
union cartesianPos_U {
  Pos position;
  double positionVector[3];
};

// Unit quaternion, scalar first.
struct Ori {
  double w;
  double x;
  double y;
  double z;
};

struct Rpy {
  double rx;
  double ry;
  double rz;
};

// The tool centre point frame expressed in the flange frame.
struct ToolInEndDesc {
  Pos toolInEndPosition;
  Ori toolInEndOrientation;
};

// Flange position and orientation in the base frame plus the joint angles
// (joint 1 first) that produce them.
struct wayPoint_S {
  cartesianPos_U cartPos;
  Ori orientation;
  double jointpos[6];
};

struct PositionAndQuaternion {
  Pos position;
  Ori quaternion;
};

struct JointParam {
  double jointPos[6];
};

struct ToolInertia {
  double xx;
  double xy;
  double xz;
  double yy;
  double yz;
  double zz;
};

// Centre of mass in metres, payload in kilograms.
struct ToolDynamicsParam {
  double positionX;
  double positionY;
  double positionZ;
  double payload;
  ToolInertia toolInertia;
};

// The position offset is single precision on purpose: it travels that way.
struct MoveRelative {
  bool ena;
  float relativePosition[3];
  Ori relativeOri;
};

enum coordinate_refer : int {
  BaseCoordinate = 0,
  EndCoordinate = 1,
  WorldCoordinate = 2,
};

// How the three user-frame points are read; point 1 is always the origin.
enum CoordCalibrateMathod : int {
  Origin_AnyPointOnPositiveXAxis_AnyPointOnPositiveYAxis = 0,
  Origin_AnyPointOnPositiveYAxis_AnyPointOnPositiveZAxis = 1,
  Origin_AnyPointOnPositiveZAxis_AnyPointOnPositiveXAxis = 2,
  Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane = 3,
  Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOZPlane = 4,
  Origin_AnyPointOnPositiveYAxis_AnyPointOnFirstQuadrantOfYOZPlane = 5,
  Origin_AnyPointOnPositiveYAxis_AnyPointOnFirstQuadrantOfYOXPlane = 6,
  Origin_AnyPointOnPositiveZAxis_AnyPointOnFirstQuadrantOfZOXPlane = 7,
  Origin_AnyPointOnPositiveZAxis_AnyPointOnFirstQuadrantOfZOYPlane = 8,
  CoordTypeCount = 9,
};

// Methods 0 to 2 take three orientation-teaching poses, methods 3 to 5 take two.
enum ToolKinematicsOriCalibrateMathod : int {
  ToolKinematicsOriCalibrateMathod_Invalid = -1,
  ToolKinematicsOriCalibrateMathod_xOxy = 0,
  ToolKinematicsOriCalibrateMathod_yOyz = 1,
  ToolKinematicsOriCalibrateMathod_zOzx = 2,
  ToolKinematicsOriCalibrateMathod_TxRBz_TxyPBzAndTyABnz = 3,
  ToolKinematicsOriCalibrateMathod_TyRBz_TyzPBzAndTzABnz = 4,
  ToolKinematicsOriCalibrateMathod_TzRBz_TzxPBzAndTxABnz = 5,
  ToolKinematicsOriCalibrateMathodCount = 6,
};

// A user frame given by three robot configurations and the tool that touched the
// three points.
struct CoordCalibrateByJointAngleAndTool {
  coordinate_refer coordType;
  CoordCalibrateMathod methods;
  JointParam wayPointArray[3];
  ToolInEndDesc toolDesc;
};

}  // namespace ruko_robot_namespace

#endif  // RUKO_SDK_ROBOT_GEOMETRY_H
