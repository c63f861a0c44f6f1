// Conversions between flange, TCP, base and user frames, and the relative move
// computation of the motion services.

#include <cmath>

#include "geometry/robotutilservice.h"
#include "geometry/user_frame_check.h"
#include "geometry/waypoint_convert.h"
#include "kinematics/frame_calib_lib.h"
#include "kinematics/ikfunc.h"
#include "util/internalmatetype.h"
#include "util/finite.h"
#include "util/log.h"

namespace rn = ruko_robot_namespace;

namespace {

constexpr double kSentinelOffset = 6.0;

bool finiteTool(const rn::ToolInEndDesc& tool) {
  return ruko::finitePose(tool.toolInEndPosition, tool.toolInEndOrientation);
}

bool finiteWaypointPose(const rn::wayPoint_S& wp) {
  return ruko::finitePose(wp.cartPos.position, wp.orientation);
}

Pose_S toPose(const rn::Pos& p, const rn::Ori& q) {
  Pose_S pose{};
  pose.posU.position = ruko::toInternal(p);
  pose.oriU.orientation = ruko::toInternal(q);
  return pose;
}

Pose_S toPose(const rn::wayPoint_S& wp) {
  return toPose(wp.cartPos.position, wp.orientation);
}

void setPose(rn::wayPoint_S& wp, const Pose_S& pose) {
  wp.cartPos.position = ruko::toPublic(pose.posU.position);
  wp.orientation = ruko::toPublic(pose.oriU.orientation);
}

// The frame method as the kinematics reads it; a value outside the enumeration
// becomes one it rejects instead of wrapping into a valid one.
char methodCode(rn::CoordCalibrateMathod methods) {
  const int m = static_cast<int>(methods);
  return (m >= 0 && m <= 8) ? static_cast<char>(m) : static_cast<char>(-1);
}

bool planeDegenerate(const CoordCalibrateByToolEndPoint& frame) {
  return ruko::userFramePointsDegenerate(frame.wayPointArray[0].cartPos.position,
                                         frame.wayPointArray[1].cartPos.position,
                                         frame.wayPointArray[2].cartPos.position);
}

// out = R.v
void rotate(const double* R, const double* v, double* out) {
  matrixMultiplication(out, R, v, 3, 3, 1, true, true);
}

void transpose(const double* R, double* Rt) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) Rt[3 * r + c] = R[3 * c + r];
  }
}

// (R, o)^-1 = (R^T, -R^T.o) for a rotation R.
void rigidInverse(const double* R, const double* o, double* Rinv, double* oinv) {
  transpose(R, Rinv);
  rotate(Rinv, o, oinv);
  for (int i = 0; i < 3; ++i) oinv[i] = -oinv[i];
}

// Conjugation of a relative motion (Rr, pr) by a frame: T.(Rr, pr).T^-1, with
// T = (R, o) and T^-1 = (Rinv, oinv).
void conjugateMotion(const double* R, const double* o, const double* Rinv, const double* oinv, const double* Rr,
                     const double* pr, double* Rout, double* pout) {
  double RRr[9];
  matrixMultiplication(RRr, R, Rr, 3, 3, 3, true, true);
  matrixMultiplication(Rout, RRr, Rinv, 3, 3, 3, true, true);
  double moved[3];
  rotate(Rr, oinv, moved);
  for (int i = 0; i < 3; ++i) moved[i] += pr[i];
  rotate(R, moved, pout);
  for (int i = 0; i < 3; ++i) pout[i] += o[i];
}

}  // namespace

int RobotUtilService::CoordCalibrateTypeConvert(const rn::CoordCalibrateByJointAngleAndTool& source,
                                                CoordCalibrateByToolEndPoint& target) {
  if (source.coordType == rn::BaseCoordinate) {
    // A base frame has no taught points: the target's points are left as they are.
    target.coordType = source.coordType;
    target.methods = source.methods;
    return rn::ErrnoSucc;
  }
  CoordCalibrateByToolEndPoint result{};
  result.coordType = source.coordType;
  result.methods = source.methods;
  for (int i = 0; i < 3; ++i) {
    rn::wayPoint_S& point = result.wayPointArray[i];
    int rc = robotFk(source.wayPointArray[i].jointPos, 6, point);
    if (rc != rn::ErrnoSucc) {
      ruko::logPrint(LL_ERROR, "sdk log: CoordCalibrateTypeConvert Fk failed.");
      return rc;
    }
    rc = base2BaseAdditionalTool(point, source.toolDesc, point);
    if (rc != rn::ErrnoSucc) {
      ruko::logPrint(LL_ERROR, "sdk log: CoordCalibrateTypeConvert baseToUserCoordinate error.");
      return rc;
    }
  }
  target = result;
  return rn::ErrnoSucc;
}

int RobotUtilService::base2BaseAdditionalTool(const rn::wayPoint_S& flangeCenterPointOnBase,
                                              const rn::ToolInEndDesc& toolInEndDesc,
                                              rn::wayPoint_S& toolEndPointOnBase) {
  Pose_S tcp{};
  const double toolPosition[3] = {toolInEndDesc.toolInEndPosition.x, toolInEndDesc.toolInEndPosition.y,
                                  toolInEndDesc.toolInEndPosition.z};
  const ::Ori toolOrientation = ruko::toInternal(toolInEndDesc.toolInEndOrientation);
  if (!finiteWaypointPose(flangeCenterPointOnBase) || !finiteTool(toolInEndDesc) ||
      !Ikfunc::coordinateTransform(tcp, toPose(flangeCenterPointOnBase), toolPosition, &toolOrientation,
                                   rn::BaseCoordinate, nullptr, 0)) {
    ruko::logPrint(LL_ERROR, "sdk log: base2BaseAdditionalTool flange pose or tool not usable.");
    return rn::ErrCode_ParamError;
  }
  rn::wayPoint_S result = flangeCenterPointOnBase;
  setPose(result, tcp);
  toolEndPointOnBase = result;
  return rn::ErrnoSucc;
}

int RobotUtilService::base2BaseAdditionalTool(const rn::Pos& flangeCenterPositionOnBase,
                                              const rn::Ori& flangeCenterOrientationOnBase,
                                              const rn::ToolInEndDesc& toolInEndDesc, rn::Pos& toolEndPositionOnBase,
                                              rn::Ori& toolEndOrientationOnBase) {
  rn::wayPoint_S flange{};
  flange.cartPos.position = flangeCenterPositionOnBase;
  flange.orientation = flangeCenterOrientationOnBase;
  rn::wayPoint_S tcp{};
  const int rc = base2BaseAdditionalTool(flange, toolInEndDesc, tcp);
  if (rc != rn::ErrnoSucc) return rc;
  toolEndPositionOnBase = tcp.cartPos.position;
  toolEndOrientationOnBase = tcp.orientation;
  return rn::ErrnoSucc;
}

int RobotUtilService::base2UserCoordinate(const rn::Pos& flangeCenterPositionOnBase,
                                          const rn::Ori& flangeCenterOrientationOnBase,
                                          const rn::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                          const rn::ToolInEndDesc& toolInEndDesc, rn::Pos& toolEndPositionOnUserCoord,
                                          rn::Ori& toolEndOrientationOnUserCoord) {
  if (userCoordSystem.coordType == rn::EndCoordinate) {
    if (!finiteTool(toolInEndDesc) || !finiteTool(userCoordSystem.toolDesc)) {
      ruko::logPrint(LL_ERROR, "sdk log: base2UserCoordinate() tool is not finite.");
      return rn::ErrCode_BaseToUserConvertFailed;
    }
    if (isNoneTool(userCoordSystem.toolDesc)) {
      toolEndPositionOnUserCoord = toolInEndDesc.toolInEndPosition;
      toolEndOrientationOnUserCoord = toolInEndDesc.toolInEndOrientation;
    } else {
      initPosDataType(toolEndPositionOnUserCoord);
      initOriDataType(toolEndOrientationOnUserCoord);
    }
    return rn::ErrnoSucc;
  }
  if (!ruko::finitePose(flangeCenterPositionOnBase, flangeCenterOrientationOnBase) || !finiteTool(toolInEndDesc)) {
    ruko::logPrint(LL_ERROR, "sdk log: base2UserCoordinate() flange pose or tool is not finite.");
    return rn::ErrCode_BaseToUserConvertFailed;
  }
  CoordCalibrateByToolEndPoint frame{};
  int rc = CoordCalibrateTypeConvert(userCoordSystem, frame);
  if (rc != rn::ErrnoSucc) return rc;
  rn::wayPoint_S flange{};
  flange.cartPos.position = flangeCenterPositionOnBase;
  flange.orientation = flangeCenterOrientationOnBase;
  rn::wayPoint_S tcp{};
  rc = base2UserCoordinatePrivate(flange, frame, toolInEndDesc, tcp);
  if (rc != rn::ErrnoSucc) return rc;
  toolEndPositionOnUserCoord = tcp.cartPos.position;
  toolEndOrientationOnUserCoord = tcp.orientation;
  return rn::ErrnoSucc;
}

int RobotUtilService::base2UserCoordinatePrivate(const rn::wayPoint_S& flangeCenterPointOnBase,
                                                 const CoordCalibrateByToolEndPoint& userCoordSystem,
                                                 const rn::ToolInEndDesc& toolInEndDesc,
                                                 rn::wayPoint_S& toolEndPointOnUserCoord) {
  const bool userFrame =
      userCoordSystem.coordType != rn::BaseCoordinate && userCoordSystem.coordType != rn::EndCoordinate;
  if (userFrame && planeDegenerate(userCoordSystem)) {
    ruko::logPrint(LL_ERROR, "sdk log: base2UserCoordinate() user coordinate points are coincident or collinear.");
    return rn::ErrCode_BaseToUserConvertFailed;
  }
  ::wayPoint_S plane[3];
  for (int i = 0; i < 3; ++i) RukoWayPointToikFunRoadPint(userCoordSystem.wayPointArray[i], plane[i]);
  const double toolPosition[3] = {toolInEndDesc.toolInEndPosition.x, toolInEndDesc.toolInEndPosition.y,
                                  toolInEndDesc.toolInEndPosition.z};
  const ::Ori toolOrientation = ruko::toInternal(toolInEndDesc.toolInEndOrientation);
  Pose_S result{};
  if (!Ikfunc::waypointDisplay(result, toPose(flangeCenterPointOnBase), userCoordSystem.coordType, toolPosition,
                               &toolOrientation, plane, methodCode(userCoordSystem.methods)) ||
      !ruko::allFinite(result.posU.positionVector, 3) || !ruko::allFinite(result.oriU.quaternionVector, 4)) {
    return rn::ErrCode_BaseToUserConvertFailed;
  }
  rn::wayPoint_S out = flangeCenterPointOnBase;
  setPose(out, result);
  toolEndPointOnUserCoord = out;
  return rn::ErrnoSucc;
}

int RobotUtilService::user2BaseCoordinate(const rn::Pos& toolEndPositionOnUserCoord,
                                          const rn::Ori& toolEndOrientationOnUserCoord,
                                          const rn::CoordCalibrateByJointAngleAndTool& userCoord,
                                          const rn::ToolInEndDesc& toolInEndDesc, rn::Pos& flangeCenterPositionOnBase,
                                          rn::Ori& flangeCenterOrientationOnBase) {
  if (userCoord.coordType == rn::EndCoordinate) {
    ruko::logPrint(LL_ERROR, "sdk log: user2BaseCoordinate() Does not support end coordinate systems.");
    return rn::ErrCode_ParamError;
  }
  if (!ruko::finitePose(toolEndPositionOnUserCoord, toolEndOrientationOnUserCoord) || !finiteTool(toolInEndDesc)) {
    ruko::logPrint(LL_ERROR, "sdk log: user2BaseCoordinate() tool pose or tool is not finite.");
    return rn::ErrCode_UserToBaseConvertFailed;
  }
  CoordCalibrateByToolEndPoint frame{};
  int rc = CoordCalibrateTypeConvert(userCoord, frame);
  if (rc != rn::ErrnoSucc) return rc;
  rn::wayPoint_S tcp{};
  tcp.cartPos.position = toolEndPositionOnUserCoord;
  tcp.orientation = toolEndOrientationOnUserCoord;
  rn::wayPoint_S flange{};
  rc = user2BaseCoordinatePrivate(tcp, frame, toolInEndDesc, flange);
  if (rc != rn::ErrnoSucc) return rc;
  flangeCenterPositionOnBase = flange.cartPos.position;
  flangeCenterOrientationOnBase = flange.orientation;
  return rn::ErrnoSucc;
}

int RobotUtilService::user2BaseCoordinatePrivate(const rn::wayPoint_S& toolEndPointOnUserCoord,
                                                 const CoordCalibrateByToolEndPoint& userCoordSystem,
                                                 const rn::ToolInEndDesc& toolInEndDesc,
                                                 rn::wayPoint_S& flangeCenterPointOnBase) {
  if (userCoordSystem.coordType == rn::WorldCoordinate && planeDegenerate(userCoordSystem)) {
    ruko::logPrint(LL_ERROR, "sdk log: user2BaseCoordinate() user coordinate points are coincident or collinear.");
    return rn::ErrCode_UserToBaseConvertFailed;
  }
  Pose_S plane[3];
  for (int i = 0; i < 3; ++i) plane[i] = toPose(userCoordSystem.wayPointArray[i]);
  const double toolPosition[3] = {toolInEndDesc.toolInEndPosition.x, toolInEndDesc.toolInEndPosition.y,
                                  toolInEndDesc.toolInEndPosition.z};
  // robotCoordConvert conjugates the tool orientation it is given.
  ::Ori toolOrientation = ruko::toInternal(toolInEndDesc.toolInEndOrientation);
  Pose_S result{};
  if (!Ikfunc::robotCoordConvert(result, toPose(toolEndPointOnUserCoord), plane, methodCode(userCoordSystem.methods),
                                 toolPosition, &toolOrientation, rn::BaseCoordinate, userCoordSystem.coordType)) {
    return rn::ErrCode_UserToBaseConvertFailed;
  }
  rn::wayPoint_S out = toolEndPointOnUserCoord;
  setPose(out, result);
  flangeCenterPointOnBase = out;
  return rn::ErrnoSucc;
}

int RobotUtilService::userCoordPoint2BasePoint(const rn::Pos& userCoordPoint,
                                               const rn::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                               rn::Pos& basePoint) {
  if (userCoordSystem.coordType == rn::EndCoordinate) {
    ruko::logPrint(LL_ERROR, "sdk log:Does not support end coordinate systems.");
    return rn::ErrCode_ParamError;
  }
  if (userCoordSystem.coordType == rn::BaseCoordinate) {
    const double v[3] = {userCoordPoint.x, userCoordPoint.y, userCoordPoint.z};
    if (!ruko::allFinite(v, 3)) {
      ruko::logPrint(LL_ERROR, "sdk log: userCoordPoint2BasePoint point is not finite.");
      return rn::ErrCode_UserToBaseConvertFailed;
    }
    basePoint = userCoordPoint;
    return rn::ErrnoSucc;
  }
  rn::ToolInEndDesc noneTool;
  initToolInEndDescDataType(noneTool);
  rn::Pos position{};
  rn::Ori orientation{};
  const int rc =
      user2BaseCoordinate(userCoordPoint, rn::Ori{1, 0, 0, 0}, userCoordSystem, noneTool, position, orientation);
  if (rc != rn::ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: userCoordPoint2BasePoint call userToBaseCoordinate failed.");
    return rc;
  }
  basePoint = position;
  return rn::ErrnoSucc;
}

int RobotUtilService::offsetVectorUserCoord2Base(const double* vectorOnUserCoord,
                                                 const rn::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                                 double* vectorOnBaseCoord) {
  if (vectorOnUserCoord == nullptr || vectorOnBaseCoord == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: offsetVectorUserCoord2Base vector is null.");
    return rn::ErrCode_ParamError;
  }
  if (userCoordSystem.coordType == rn::EndCoordinate) return rn::ErrCode_ParamError;
  const rn::Pos vector{vectorOnUserCoord[0], vectorOnUserCoord[1], vectorOnUserCoord[2]};
  if (userCoordSystem.coordType == rn::BaseCoordinate) {
    if (!ruko::allFinite(vectorOnUserCoord, 3)) {
      ruko::logPrint(LL_ERROR, "sdk log: offsetVectorUserCoord2Base vector is not finite.");
      return rn::ErrCode_UserToBaseConvertFailed;
    }
    for (int i = 0; i < 3; ++i) vectorOnBaseCoord[i] = vectorOnUserCoord[i];
    return rn::ErrnoSucc;
  }
  rn::Pos origin{};
  int rc = userCoordPoint2BasePoint(rn::Pos{0, 0, 0}, userCoordSystem, origin);
  if (rc != rn::ErrnoSucc) return rc;
  rn::Pos tip{};
  rc = userCoordPoint2BasePoint(vector, userCoordSystem, tip);
  if (rc != rn::ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: offsetVectorUserCoord2Base call userToBaseCoordinate failed.");
    return rc;
  }
  vectorOnBaseCoord[0] = tip.x - origin.x;
  vectorOnBaseCoord[1] = tip.y - origin.y;
  vectorOnBaseCoord[2] = tip.z - origin.z;
  return rn::ErrnoSucc;
}

int RobotUtilService::endPosition2BasePosition(const rn::wayPoint_S& flangeCenterPointOnBase,
                                               const rn::Pos& endPosition, rn::Pos& basePosition,
                                               rn::Ori toolOriInEnd) {
  ::Ori q = ruko::toInternal(flangeCenterPointOnBase.orientation);
  Ikfunc::QuaternionMultply(q, ruko::toInternal(toolOriInEnd), true);
  double R[9];
  Ikfunc::QuaternionToOriMatrix(q, R);
  const double local[3] = {endPosition.x, endPosition.y, endPosition.z};
  double offset[3];
  rotate(R, local, offset);
  const rn::Pos& flange = flangeCenterPointOnBase.cartPos.position;
  const double result[3] = {flange.x + offset[0], flange.y + offset[1], flange.z + offset[2]};
  if (!ruko::allFinite(result, 3)) {
    ruko::logPrint(LL_ERROR, "sdk log: endPosition2BasePosition input is not usable.");
    return rn::ErrCode_ParamError;
  }
  basePosition = rn::Pos{result[0], result[1], result[2]};
  return rn::ErrnoSucc;
}

// Both orientation products: the product is not normalised, so finite factors with components beyond
// about 1e154 overflow; an infinite or undefined product is refused like a non-finite factor.
int RobotUtilService::endOrientation2ToolOrientation(rn::Ori& tcpOriInEnd, const rn::Ori& endOri, rn::Ori& toolOri) {
  ::Ori result{};
  Ikfunc::endOrientation2ToolOrientation(ruko::toInternal(tcpOriInEnd), ruko::toInternal(endOri), result);
  if (!ruko::finiteQuaternion(tcpOriInEnd) || !ruko::finiteQuaternion(endOri) || !ruko::finiteQuaternion(result)) {
    ruko::logPrint(LL_ERROR, "sdk log: endOrientation2ToolOrientation orientation is not finite.");
    return rn::ErrCode_ParamError;
  }
  toolOri = ruko::toPublic(result);
  return rn::ErrnoSucc;
}

int RobotUtilService::toolOrientation2EndOrientation(rn::Ori& tcpOriInEnd, const rn::Ori& toolOri, rn::Ori& endOri) {
  ::Ori result{};
  Ikfunc::toolOrientation2EndOrientation(ruko::toInternal(tcpOriInEnd), ruko::toInternal(toolOri), result);
  if (!ruko::finiteQuaternion(tcpOriInEnd) || !ruko::finiteQuaternion(toolOri) || !ruko::finiteQuaternion(result)) {
    ruko::logPrint(LL_ERROR, "sdk log: toolOrientation2EndOrientation orientation is not finite.");
    return rn::ErrCode_ParamError;
  }
  endOri = ruko::toPublic(result);
  return rn::ErrnoSucc;
}

bool RobotUtilService::relativeMoveAndRot(rn::wayPoint_S& firstFlangeWaypointInMove,
                                          const rn::CoordCalibrateByJointAngleAndTool& coord,
                                          rn::ToolInEndDesc realToolInEnd, const rn::Pos& sourceRelativePositionOnUser,
                                          const rn::Ori& sourceRelativeOriOnUser, rn::Pos& targetRelativePositionOnBase,
                                          rn::Ori& targetRelativeOriOnBase) {
  if (!ruko::finitePose(sourceRelativePositionOnUser, sourceRelativeOriOnUser)) {
    ruko::logPrint(LL_ERROR, "sdk log: relativeMoveAndRot relative motion is not finite.");
    return false;
  }
  if (coord.coordType == rn::BaseCoordinate) {
    targetRelativePositionOnBase = sourceRelativePositionOnUser;
    targetRelativeOriOnBase = sourceRelativeOriOnUser;
    return true;
  }

  const double pr[3] = {sourceRelativePositionOnUser.x, sourceRelativePositionOnUser.y, sourceRelativePositionOnUser.z};
  double Rr[9];
  Ikfunc::QuaternionToOriMatrix(ruko::toInternal(sourceRelativeOriOnUser), Rr);
  double position[3];
  ::Ori orientation{};
  bool rotationOk = true;

  if (coord.coordType == rn::EndCoordinate) {
    if (!finiteWaypointPose(firstFlangeWaypointInMove) || !finiteTool(realToolInEnd) || !finiteTool(coord.toolDesc)) {
      ruko::logPrint(LL_ERROR, "sdk log: relativeMoveAndRot flange pose or tool is not finite.");
      return false;
    }
    const rn::Pos& flangePos = firstFlangeWaypointInMove.cartPos.position;
    const double pF[3] = {flangePos.x, flangePos.y, flangePos.z};
    const ::Ori qF = ruko::toInternal(firstFlangeWaypointInMove.orientation);
    double RF[9];
    Ikfunc::QuaternionToOriMatrix(qF, RF);
    if (isNoneTool(coord.toolDesc) && !isNoneTool(realToolInEnd)) {
      // The controller takes an absolute flange target here, told apart from a
      // relative orientation by w + 6 (no unit quaternion has w above 1).
      const double tReal[3] = {realToolInEnd.toolInEndPosition.x, realToolInEnd.toolInEndPosition.y,
                               realToolInEnd.toolInEndPosition.z};
      ::Ori qNew = qF;
      Ikfunc::QuaternionMultply(qNew, ruko::toInternal(sourceRelativeOriOnUser), true);
      double toolOffset[3];
      double step[3];
      rotate(RF, tReal, toolOffset);
      rotate(RF, pr, step);
      double Rnew[9];
      double newToolOffset[3];
      Ikfunc::QuaternionToOriMatrix(qNew, Rnew);
      rotate(Rnew, tReal, newToolOffset);
      for (int i = 0; i < 3; ++i) position[i] = pF[i] + toolOffset[i] + step[i] - newToolOffset[i];
      orientation = ::Ori{qNew.w + kSentinelOffset, qNew.x, qNew.y, qNew.z};
    } else {
      const double tTool[3] = {coord.toolDesc.toolInEndPosition.x, coord.toolDesc.toolInEndPosition.y,
                               coord.toolDesc.toolInEndPosition.z};
      double Rtool[9];
      Ikfunc::QuaternionToOriMatrix(ruko::toInternal(coord.toolDesc.toolInEndOrientation), Rtool);
      double RT[9];
      double pT[3];
      matrixMultiplication(RT, RF, Rtool, 3, 3, 3, true, true);
      rotate(RF, tTool, pT);
      for (int i = 0; i < 3; ++i) pT[i] += pF[i];
      double RTinv[9];
      double pTinv[3];
      rigidInverse(RT, pT, RTinv, pTinv);
      double Rout[9];
      conjugateMotion(RT, pT, RTinv, pTinv, Rr, pr, Rout, position);
      rotationOk = Ikfunc::OriMatrixToQuaternion(Rout, orientation);
    }
  } else {
    CoordCalibrateByToolEndPoint frame{};
    if (CoordCalibrateTypeConvert(coord, frame) != rn::ErrnoSucc) return false;
    if (planeDegenerate(frame)) {
      ruko::logPrint(LL_ERROR, "sdk log: relativeMoveAndRot user coordinate points are coincident or collinear.");
      return false;
    }
    Pose_S plane[3];
    for (int i = 0; i < 3; ++i) plane[i] = toPose(frame.wayPointArray[i]);
    double bInWPos[3];
    double bInWOri[9];
    double wInBPos[3];
    if (!Ikfunc::userCoordinateCalib(plane, methodCode(coord.methods), bInWPos, bInWOri, wInBPos)) return false;
    // bInWOri^T is the frame's rotation in the base frame, (bInWOri, bInWPos) its inverse.
    double Ru[9];
    transpose(bInWOri, Ru);
    double Rout[9];
    conjugateMotion(Ru, wInBPos, bInWOri, bInWPos, Rr, pr, Rout, position);
    rotationOk = Ikfunc::OriMatrixToQuaternion(Rout, orientation);
  }

  const double check[7] = {position[0],   position[1],   position[2],  orientation.w,
                           orientation.x, orientation.y, orientation.z};
  if (!rotationOk || !ruko::allFinite(check, 7)) {
    ruko::logPrint(LL_ERROR, "sdk log: relativeMoveAndRot result is not finite.");
    return false;
  }
  targetRelativePositionOnBase = rn::Pos{position[0], position[1], position[2]};
  targetRelativeOriOnBase = ruko::toPublic(orientation);
  return true;
}
