// Forward and inverse kinematics on the public records, the tool-based inverse
// kinematics, the joint-string reader and the record initialisers.

#include <cmath>
#include <sstream>

#include "geometry/robotutilservice.h"
#include "geometry/waypoint_convert.h"
#include "kinematics/ikfunc.h"
#include "util/log.h"
#include "util/finite.h"

namespace rn = ruko_robot_namespace;

namespace {

constexpr double kNoneToolTolerance = 1e-5;

}  // namespace

int RobotUtilService::robotFk(const double* jointAngle, int size, rn::wayPoint_S& wayPoint) {
  if (size != 6) {
    ruko::logPrint(LL_ERROR, "sdk log: robotFk needs 6 joint angles, got %d.", size);
    return rn::ErrCode_ParamError;
  }
  if (jointAngle == nullptr || !ruko::allFinite(jointAngle, 6)) {
    ruko::logPrint(LL_ERROR, "sdk log: robotFk joint angles missing or not finite.");
    return rn::ErrCode_ParamError;
  }
  ::wayPoint_S wp{};
  for (int i = 0; i < 6; ++i) wp.jointpos[i] = jointAngle[i];
  if (!Ikfunc::ArmFk(wp.cartPos.position, wp.orientation, wp.jointpos, false)) {
    ruko::logPrint(LL_ERROR, "sdk log: robotFk result is not finite.");
    return rn::ErrCode_FkFailed;
  }
  ikFunRoadPintToRukoWayPoint(wp, wayPoint);
  return rn::ErrnoSucc;
}

int RobotUtilService::robotIk(const double* startPointJointAngle, const rn::Pos& position, const rn::Ori& ori,
                              rn::wayPoint_S& wayPoint) {
  if (startPointJointAngle == nullptr || !ruko::allFinite(startPointJointAngle, 6) || !ruko::finitePose(position, ori)) {
    ruko::logPrint(LL_ERROR, "sdk log: robotIk reference angles missing or pose not finite.");
    return rn::ErrCode_ParamError;
  }
  ::wayPoint_S wp{};
  wp.cartPos.position = ruko::toInternal(position);
  wp.orientation = ruko::toInternal(ori);
  double reference[6];
  for (int i = 0; i < 6; ++i) wp.jointpos[i] = reference[i] = startPointJointAngle[i];
  if (!Ikfunc::ArmIkProtect(wp, reference, false, false)) {
    ruko::logPrint(LL_ERROR, "sdk log: call robotIk error.");
    return rn::ErrCode_IkFailed;
  }
  ikFunRoadPintToRukoWayPoint(wp, wayPoint);
  return rn::ErrnoSucc;
}

int RobotUtilService::robotIk(const rn::Pos& position, const rn::Ori& ori,
                              std::vector<rn::wayPoint_S>& wayPointVector) {
  if (!ruko::finitePose(position, ori)) {
    ruko::logPrint(LL_ERROR, "sdk log: robotIk pose not finite.");
    return rn::ErrCode_ParamError;
  }
  wayPointVector.clear();
  // Zero reference angles: they matter only for a wrist-singular target, where the
  // closed form takes joints 2 and 3 from the reference.
  ::wayPoint_S wp{};
  wp.cartPos.position = ruko::toInternal(position);
  wp.orientation = ruko::toInternal(ori);
  double solutions[6][8];
  const int count = Ikfunc::ComputeIk_new(wp, solutions);
  wayPointVector.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int s = 0; s < count; ++s) {
    double joints[6];
    for (int j = 0; j < 6; ++j) joints[j] = solutions[j][s];
    rn::wayPoint_S solution{};
    robotFk(joints, 6, solution);
    wayPointVector.push_back(solution);
  }
  return rn::ErrnoSucc;
}

int RobotUtilService::robotServiceIkBasedOnTcp(const double* referPointJointAngle, const rn::Pos& toolEndPositionOnBase,
                                               const rn::Ori& toolEndQuaternionOnBase,
                                               const rn::ToolInEndDesc& toolInEndDesc,
                                               rn::wayPoint_S& flangeWaypointOnBase) {
  rn::CoordCalibrateByJointAngleAndTool baseFrame;
  initCoordCalibrateByJointAngleAndToolDataType(baseFrame);
  rn::Pos flangePosition{};
  rn::Ori flangeOrientation{};
  if (user2BaseCoordinate(toolEndPositionOnBase, toolEndQuaternionOnBase, baseFrame, toolInEndDesc, flangePosition,
                          flangeOrientation) != rn::ErrnoSucc) {
    return rn::ErrCode_UserToBaseConvertFailed;
  }
  return robotIk(referPointJointAngle, flangePosition, flangeOrientation, flangeWaypointOnBase);
}

int RobotUtilService::robotServiceIkBasedOnTcp(const double* referPointJointAngle, const rn::Pos& toolEndPositionOnBase,
                                               const rn::Rpy& toolEndRpyOnBase, const rn::ToolInEndDesc& toolInEndDesc,
                                               rn::wayPoint_S& flangeWaypointOnBase) {
  rn::Ori quaternion{};
  RPYToQuaternion(toolEndRpyOnBase, quaternion);
  return robotServiceIkBasedOnTcp(referPointJointAngle, toolEndPositionOnBase, quaternion, toolInEndDesc,
                                  flangeWaypointOnBase);
}

bool RobotUtilService::isNoneTool(const rn::ToolInEndDesc& toolParam) {
  const rn::Pos& p = toolParam.toolInEndPosition;
  const rn::Ori& q = toolParam.toolInEndOrientation;
  const double deviations[7] = {p.x, p.y, p.z, q.w - 1, q.x, q.y, q.z};
  for (double d : deviations) {
    if (!(std::fabs(d) < kNoneToolTolerance)) return false;
  }
  return true;
}

bool RobotUtilService::jointStringToWaypoint(const std::string& jointString, rn::wayPoint_S& waypoint) {
  waypoint = rn::wayPoint_S{};
  std::istringstream in(jointString);
  double joints[6] = {0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    // A failed extraction may still store a value (the largest double for an
    // out-of-range number); only a number that was read counts.
    double value = 0;
    if (!(in >> value)) break;
    joints[i] = value;
    char separator = 0;
    in >> separator;
  }
  robotFk(joints, 6, waypoint);
  return true;
}

void RobotUtilService::initPosDataType(rn::Pos& position) {
  position = rn::Pos{0, 0, 0};
}

void RobotUtilService::initOriDataType(rn::Ori& orientation) {
  orientation = rn::Ori{1, 0, 0, 0};
}

void RobotUtilService::initMoveRelativeDataType(rn::MoveRelative& moveRelative) {
  moveRelative.ena = false;
  for (float& v : moveRelative.relativePosition) v = 0;
  initOriDataType(moveRelative.relativeOri);
}

void RobotUtilService::initWayPointDataType(rn::wayPoint_S& wayPoint) {
  const double zero[6] = {0, 0, 0, 0, 0, 0};
  wayPoint = rn::wayPoint_S{};
  robotFk(zero, 6, wayPoint);
}

void RobotUtilService::initToolInEndDescDataType(rn::ToolInEndDesc& toolInEndDesc) {
  initPosDataType(toolInEndDesc.toolInEndPosition);
  initOriDataType(toolInEndDesc.toolInEndOrientation);
}

void RobotUtilService::initCoordCalibrateByJointAngleAndToolDataType(
    rn::CoordCalibrateByJointAngleAndTool& coordCalibrate) {
  coordCalibrate = rn::CoordCalibrateByJointAngleAndTool{};
  coordCalibrate.coordType = rn::BaseCoordinate;
  initToolInEndDescDataType(coordCalibrate.toolDesc);
}

void RobotUtilService::initToolInertiaDataType(rn::ToolInertia& toolInertia) {
  toolInertia = rn::ToolInertia{0, 0, 0, 0, 0, 0};
}

void RobotUtilService::initToolDynamicsParamDataType(rn::ToolDynamicsParam& toolDynamicsParam) {
  toolDynamicsParam = rn::ToolDynamicsParam{};
  initToolInertiaDataType(toolDynamicsParam.toolInertia);
}
