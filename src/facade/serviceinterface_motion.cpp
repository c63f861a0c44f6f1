// The facade's motion families: the global move profile, the moves and move control. Each forwards to the
// facade's RobotMoveService; the entry points that take joint angles compute the pose first.
#include <iostream>
#include <vector>

#include "facade/serviceinterface_impl.h"
#include "geometry/robotutilservice.h"
#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

namespace {

// A waypoint from six joint angles; the kinematics' error (with its log line) when there is none.
int wayPointFromJoints(const double* jointAngle, wayPoint_S& wayPoint) {
  RobotUtilService::initWayPointDataType(wayPoint);
  return RobotUtilService::robotFk(jointAngle, 6, wayPoint);
}

}  // namespace

// ---- Global move profile -------------------------------------------------------------------------------------

int ServiceInterface::robotServiceInitGlobalMoveProfile() { return m_impl->move().initMoveProfile(); }

int ServiceInterface::robotServiceSetGlobalMoveJointMaxAcc(const JointVelcAccParam& moveMaxAcc) {
  return m_impl->move().setMoveJointMaxAcc(moveMaxAcc);
}

int ServiceInterface::robotServiceSetGlobalMoveJointMaxVelc(const JointVelcAccParam& moveMaxVelc) {
  return m_impl->move().setMoveJointMaxVelc(moveMaxVelc);
}

void ServiceInterface::robotServiceGetGlobalMoveJointMaxAcc(JointVelcAccParam& moveMaxAcc) {
  m_impl->move().getMoveJointMaxAcc(moveMaxAcc);
}

void ServiceInterface::robotServiceGetGlobalMoveJointMaxVelc(JointVelcAccParam& moveMaxVelc) {
  m_impl->move().getMoveJointMaxVelc(moveMaxVelc);
}

int ServiceInterface::robotServiceSetGlobalMoveEndMaxLineAcc(double moveMaxAcc) {
  return m_impl->move().setMoveEndMaxLineAcc(moveMaxAcc);
}

int ServiceInterface::robotServiceSetGlobalMoveEndMaxLineVelc(double moveMaxVelc) {
  return m_impl->move().setMoveEndMaxLineVelc(moveMaxVelc);
}

int ServiceInterface::robotServiceSetGlobalMoveEndMaxAngleAcc(double moveMaxAcc) {
  return m_impl->move().setMoveEndMaxAngleAcc(moveMaxAcc);
}

int ServiceInterface::robotServiceSetGlobalMoveEndMaxAngleVelc(double moveMaxVelc) {
  return m_impl->move().setMoveEndMaxAngleVelc(moveMaxVelc);
}

void ServiceInterface::robotServiceGetGlobalMoveEndMaxLineAcc(double& moveMaxAcc) {
  m_impl->move().getMoveEndMaxLineAcc(moveMaxAcc);
}

void ServiceInterface::robotServiceGetGlobalMoveEndMaxLineVelc(double& moveMaxVelc) {
  m_impl->move().getMoveEndMaxLineVelc(moveMaxVelc);
}

void ServiceInterface::robotServiceGetGlobalMoveEndMaxAngleAcc(double& moveMaxAcc) {
  m_impl->move().getMoveEndMaxAngleAcc(moveMaxAcc);
}

void ServiceInterface::robotServiceGetGlobalMoveEndMaxAngleVelc(double& moveMaxVelc) {
  m_impl->move().getMoveEndMaxAngleVelc(moveMaxVelc);
}

int ServiceInterface::robotServiceSetJerkAccRatio(double acc) { return m_impl->move().setJerkAccRatio(acc); }

void ServiceInterface::robotServiceGetJerkAccRatio(double& acc) { m_impl->move().getJerkAccRatio(acc); }

void ServiceInterface::robotServiceClearGlobalWayPointVector() { m_impl->move().clearWayPointVector(); }

int ServiceInterface::robotServiceAddGlobalWayPoint(const wayPoint_S& wayPoint) {
  return m_impl->move().addWayPoint(wayPoint);
}

int ServiceInterface::robotServiceAddGlobalWayPoint(const double* jointAngle) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : m_impl->move().addWayPoint(wayPoint);
}

void ServiceInterface::robotServiceGetGlobalWayPointVector(std::vector<wayPoint_S>& wayPointVector) {
  m_impl->move().getWayPointVector(wayPointVector);
}

float ServiceInterface::robotServiceGetGlobalBlendRadius() { return m_impl->move().getBlendRadius(); }

int ServiceInterface::robotServiceSetGlobalBlendRadius(float value) { return m_impl->move().setBlendRadius(value); }

double ServiceInterface::robotServiceGetTrackPlaybackCycle() { return m_impl->move().getTrackPlaybackCycle(); }

int ServiceInterface::robotServiceSetTrackPlaybackCycle(double second) {
  return m_impl->move().setTrackPlaybackCycle(second);
}

int ServiceInterface::robotServiceGetGlobalCircularLoopTimes() { return m_impl->move().getCircularLoopTimes(); }

void ServiceInterface::robotServiceSetGlobalCircularLoopTimes(int times) { m_impl->move().setCircularLoopTimes(times); }

int ServiceInterface::robotServiceSetMoveRelativeParam(const MoveRelative& relativeMoveOnBase) {
  return m_impl->move().setMoveProfileRelativeParam(relativeMoveOnBase);
}

int ServiceInterface::robotServiceSetMoveRelativeParam(const MoveRelative& relativeMoveOnUserCoord,
                                                       const CoordCalibrateByJointAngleAndTool& userCoord) {
  return m_impl->move().setMoveProfileRelativeParam(relativeMoveOnUserCoord, userCoord);
}

int ServiceInterface::robotServiceSetNoArrivalAhead() { return m_impl->move().setNoArrivalAhead(); }

int ServiceInterface::robotServiceSetArrivalAheadDistanceMode(double distance) {
  return m_impl->move().setArrivalAheadDistanceMode(distance);
}

int ServiceInterface::robotServiceSetArrivalAheadTimeMode(double second) {
  return m_impl->move().setArrivalAheadTimeMode(second);
}

int ServiceInterface::robotServiceSetArrivalAheadBlendDistanceMode(double distance) {
  return m_impl->move().setArrivalAheadBlendDistanceMode(distance);
}

int ServiceInterface::robotServiceSetTeachCoordinateSystem(const CoordCalibrateByJointAngleAndTool& coordSystem) {
  return m_impl->move().setTeachCoordinateSystem(coordSystem);
}

int ServiceInterface::robotServiceSetNoneToolKinematicsParam() { return m_impl->move().setMoveProfileToolParamIsNone(); }

int ServiceInterface::robotServiceSetToolKinematicsParam(const ToolInEndDesc& toolInEndDesc) {
  return m_impl->move().setMoveProfileToolParam(toolInEndDesc);
}

int ServiceInterface::robotServiceGetToolKinematicsParam(ToolInEndDesc& toolInEndDesc) {
  return m_impl->move().getMoveProfileToolParam(toolInEndDesc);
}

// ---- Moves ---------------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceJointMove(wayPoint_S& wayPoint, bool IsBolck) {
  return m_impl->move().robotJointMove(wayPoint, IsBolck);
}

int ServiceInterface::robotServiceJointMove(double* jointAngle, bool IsBolck) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : m_impl->move().robotJointMove(wayPoint, IsBolck);
}

int ServiceInterface::robotServiceJointMove(MoveProfile_t& moveProfile, double* jointAngle, bool IsBolck) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : m_impl->move().robotJointMove(moveProfile, wayPoint, IsBolck);
}

int ServiceInterface::robotServiceFollowModeJointMove(double* jointAngle) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : m_impl->move().robotFollowModeJointMove(wayPoint);
}

int ServiceInterface::robotServiceLineMove(wayPoint_S& wayPoint, bool IsBolck) {
  // The pose is taken from the joint angles, never from the caller's pose fields. Without a pose nothing is
  // sent: the controller would otherwise move in a straight line to whatever those fields held.
  wayPoint_S fromJoints;
  const int result = wayPointFromJoints(wayPoint.jointpos, fromJoints);
  if (result != ErrnoSucc) return result;
  wayPoint.cartPos = fromJoints.cartPos;
  wayPoint.orientation = fromJoints.orientation;
  return m_impl->move().robotLineMove(wayPoint, IsBolck);
}

int ServiceInterface::robotServiceLineMove(double* jointAngle, bool IsBolck) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : robotServiceLineMove(wayPoint, IsBolck);
}

int ServiceInterface::robotServiceLineMove(MoveProfile_t& moveProfile, double* jointAngle, bool IsBolck) {
  wayPoint_S wayPoint;
  const int result = wayPointFromJoints(jointAngle, wayPoint);
  return result != ErrnoSucc ? result : m_impl->move().robotLineMove(moveProfile, wayPoint, IsBolck);
}

int ServiceInterface::robotServiceTrackMove(move_track subMoveMode, bool IsBolck) {
  return m_impl->move().robotTrackMove(subMoveMode, IsBolck);
}

int ServiceInterface::robotServiceGetCurrentWaypointInfo(wayPoint_S& wayPoint) {
  return m_impl->move().getCurrnetRoadPoint(wayPoint);
}

// ---- Move control --------------------------------------------------------------------------------------------

int ServiceInterface::rootServiceRobotMoveControl(RobotMoveControlCommand cmd) {
  std::cout << "rootServiceRobotMoveControl called." << "cmd:" << static_cast<int>(cmd) << std::endl;
  return m_impl->move().robotMoveControl(cmd);
}

int ServiceInterface::robotMoveFastStop() { return m_impl->move().robotMoveFastStop(); }

int ServiceInterface::robotMoveStop() { return m_impl->move().robotMoveSlowStop(true); }

bool ServiceInterface::robotServiceEnterRobotReduceMode() { return m_impl->move().enterRobotReduceMode() != 0; }

bool ServiceInterface::robotServiceExitRobotReduceMode() { return m_impl->move().exitRobotReduceMode() != 0; }
