#ifndef RUKO_GEOMETRY_ROBOTUTILSERVICE_H
#define RUKO_GEOMETRY_ROBOTUTILSERVICE_H

// Library-level kinematics and frame services on the public records; static
// operations over the process-wide kinematic parameters, each forwarded by the
// ServiceInterface method of the same name.
//
// This header names only public records (fully qualified) and must not include the
// kinematics' internal twins: the facade includes it next to a header that opens
// ruko_robot_namespace, and the twins' global names would then clash.

#include <string>
#include <vector>

#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"

// util/internalmatetype.h: a user frame whose points are TCP poses.
struct CoordCalibrateByToolEndPoint;

class RobotUtilService {
 public:
  RobotUtilService() = delete;

  // ---- Rotation conversions (public paths, single-precision angles) ---------------

  // Angles in radians; the computation goes through single-precision degrees, so the
  // result carries single-precision error. Always 0.
  static int quaternionToRPY(const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::Rpy& rpy);
  // The angles are rounded to single precision first. Always 0.
  static int RPYToQuaternion(const ruko_robot_namespace::Rpy& rpy, ruko_robot_namespace::Ori& ori);
  // 0, or ErrCode_Failed with `result` untouched when the matrix gives no quaternion;
  // ErrCode_ParamError for a null matrix.
  static int oriMatrixToQuaternion(const double* eerot, ruko_robot_namespace::Ori& result);
  static void initOrientation(ruko_robot_namespace::Ori& orientation);

  // ---- Arm model, DH and calibration parameters -----------------------------------

  // Selects the model and overrides its lengths with A3, A4, D1, D2, D5, D6 of the
  // login reply; the other fields are not used. An unknown model or a non-finite
  // length is refused and leaves the parameters unchanged.
  static void setRobotDhParam(int robotType, const ruko_robot_namespace::RobotDhPara& robotDhPara);

  // Installs the per-joint calibration deltas of the base parameters' kinematics block
  // (dratio is not used). Controllers with a version code up to 4005000 report
  // micrometres and 1e-4 degrees, later ones metres and radians; the one-argument form
  // takes the code of the last login. 0, or ErrCode_ParamError (nothing installed) for
  // a non-finite delta.
  static int setRobotSystemCalibParam(const ruko_robot_namespace::RobotKinematicsParameters& param);
  static int setRobotSystemCalibParam(const ruko_robot_namespace::RobotKinematicsParameters& param, int versionCode);

  // Rotation flags reported by the controller; stored only. Always 0.
  static int setJoint6Rot360(bool enable);
  static int setJoint1Rot360(bool enable);
  // ---- Forward and inverse kinematics (robotutilservice_kinematics.cpp) -----------
  // Non-finite angles or poses are refused with ErrCode_ParamError and one error line.

  // Flange pose of six joint angles. ErrCode_ParamError, output untouched, when size
  // is not 6; ErrCode_FkFailed, output untouched, when finite angles give a pose that
  // is not (their sums overflow). A model outside the analytic set gives a zero
  // position and quaternion.
  static int robotFk(const double* jointAngle, int size, ruko_robot_namespace::wayPoint_S& wayPoint);
  // The solution nearest to the six reference angles (compensated for installed
  // calibration deltas); the output keeps the requested pose. ErrCode_IkFailed,
  // output untouched, when there is none.
  static int robotIk(const double* startPointJointAngle, const ruko_robot_namespace::Pos& position,
                     const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::wayPoint_S& wayPoint);
  // Every closed-form solution inside the joint range, each with its own forward
  // kinematics. 0 also when there is none (the vector is then empty).
  static int robotIk(const ruko_robot_namespace::Pos& position, const ruko_robot_namespace::Ori& ori,
                     std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);
  // Inverse kinematics of a TCP pose in the base frame: ErrCode_UserToBaseConvertFailed
  // when the pose gives no flange pose, otherwise the code of robotIk.
  static int robotServiceIkBasedOnTcp(const double* referPointJointAngle,
                                      const ruko_robot_namespace::Pos& toolEndPositionOnBase,
                                      const ruko_robot_namespace::Ori& toolEndQuaternionOnBase,
                                      const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                      ruko_robot_namespace::wayPoint_S& flangeWaypointOnBase);
  // The angles go through single precision (RPYToQuaternion).
  static int robotServiceIkBasedOnTcp(const double* referPointJointAngle,
                                      const ruko_robot_namespace::Pos& toolEndPositionOnBase,
                                      const ruko_robot_namespace::Rpy& toolEndRpyOnBase,
                                      const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                      ruko_robot_namespace::wayPoint_S& flangeWaypointOnBase);
  // A tool equal to the flange (every component within 1e-5 of the identity pose).
  static bool isNoneTool(const ruko_robot_namespace::ToolInEndDesc& toolParam);
  // Up to six numbers, each followed by one separator character (blanks before it are
  // skipped, so a blank is no separator), then forward kinematics. Joints without a
  // number are 0. Always true.
  static bool jointStringToWaypoint(const std::string& jointString, ruko_robot_namespace::wayPoint_S& waypoint);

  static void initPosDataType(ruko_robot_namespace::Pos& position);
  static void initOriDataType(ruko_robot_namespace::Ori& orientation);
  static void initMoveRelativeDataType(ruko_robot_namespace::MoveRelative& moveRelative);
  // Zero joint angles with their forward kinematics.
  static void initWayPointDataType(ruko_robot_namespace::wayPoint_S& wayPoint);
  static void initToolInEndDescDataType(ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);
  static void initCoordCalibrateByJointAngleAndToolDataType(
      ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coordCalibrate);
  static void initToolInertiaDataType(ruko_robot_namespace::ToolInertia& toolInertia);
  static void initToolDynamicsParamDataType(ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);

  // ---- Frame conversions (robotutilservice_frames.cpp) ----------------------------
  // A user frame whose taught points are coincident or collinear, or a non-finite
  // input, fails with the conversion's code (ErrCode_BaseToUserConvertFailed for
  // base to user, ErrCode_UserToBaseConvertFailed for user to base, otherwise
  // ErrCode_ParamError) and one error line; outputs are written on success only.

  // The three joint configurations of a user frame as TCP poses of its tool. A base
  // frame copies only its kind and method.
  static int CoordCalibrateTypeConvert(const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& source,
                                       CoordCalibrateByToolEndPoint& target);
  // TCP pose of a flange pose, in the base frame or the given user frame. For an end
  // frame: the tool seen from the flange when the frame's tool is the none tool,
  // otherwise the identity pose.
  static int base2UserCoordinate(const ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                 const ruko_robot_namespace::Ori& flangeCenterOrientationOnBase,
                                 const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                 const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                 ruko_robot_namespace::Pos& toolEndPositionOnUserCoord,
                                 ruko_robot_namespace::Ori& toolEndOrientationOnUserCoord);
  // Flange pose in the base frame of a TCP pose given in the base or a user frame.
  // The orientation is normalised first; a zero quaternion fails. End frames:
  // ErrCode_ParamError.
  static int user2BaseCoordinate(const ruko_robot_namespace::Pos& toolEndPositionOnUserCoord,
                                 const ruko_robot_namespace::Ori& toolEndOrientationOnUserCoord,
                                 const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoord,
                                 const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                 ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                 ruko_robot_namespace::Ori& flangeCenterOrientationOnBase);
  // TCP pose of a flange pose in the base frame; the joint angles are carried over.
  static int base2BaseAdditionalTool(const ruko_robot_namespace::wayPoint_S& flangeCenterPointOnBase,
                                     const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                     ruko_robot_namespace::wayPoint_S& toolEndPointOnBase);
  static int base2BaseAdditionalTool(const ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                     const ruko_robot_namespace::Ori& flangeCenterOrientationOnBase,
                                     const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                     ruko_robot_namespace::Pos& toolEndPositionOnBase,
                                     ruko_robot_namespace::Ori& toolEndOrientationOnBase);
  static int userCoordPoint2BasePoint(const ruko_robot_namespace::Pos& userCoordPoint,
                                      const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                      ruko_robot_namespace::Pos& basePoint);
  // A vector (3 doubles) in user-frame axes turned into base axes.
  static int offsetVectorUserCoord2Base(const double* vectorOnUserCoord,
                                        const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                        double* vectorOnBaseCoord);
  // A position in the axes of a tool frame at the flange origin with orientation
  // toolOriInEnd, in base coordinates.
  static int endPosition2BasePosition(const ruko_robot_namespace::wayPoint_S& flangeCenterPointOnBase,
                                      const ruko_robot_namespace::Pos& endPosition,
                                      ruko_robot_namespace::Pos& basePosition, ruko_robot_namespace::Ori toolOriInEnd);
  // toolOri = endOri * tcpOriInEnd, not normalised. A factor or a product that is not
  // finite (finite factors beyond about 1e154 overflow) gives ErrCode_ParamError.
  static int endOrientation2ToolOrientation(ruko_robot_namespace::Ori& tcpOriInEnd,
                                            const ruko_robot_namespace::Ori& endOri,
                                            ruko_robot_namespace::Ori& toolOri);
  // endOri = toolOri * conj(tcpOriInEnd); failures as above.
  static int toolOrientation2EndOrientation(ruko_robot_namespace::Ori& tcpOriInEnd,
                                            const ruko_robot_namespace::Ori& toolOri,
                                            ruko_robot_namespace::Ori& endOri);
  // A relative motion given in a base, user or end (tool) frame as the relative
  // transform in base coordinates the motion services send. One exception: with an
  // end frame whose tool is the none tool and a real tool that is not, the result is
  // the absolute target flange pose, marked by w + 6.0 in the orientation.
  static bool relativeMoveAndRot(ruko_robot_namespace::wayPoint_S& firstFlangeWaypointInMove,
                                 const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coord,
                                 ruko_robot_namespace::ToolInEndDesc realToolInEnd,
                                 const ruko_robot_namespace::Pos& sourceRelativePositionOnUser,
                                 const ruko_robot_namespace::Ori& sourceRelativeOriOnUser,
                                 ruko_robot_namespace::Pos& targetRelativePositionOnBase,
                                 ruko_robot_namespace::Ori& targetRelativeOriOnBase);
  // Inner steps on a frame whose points are already TCP poses.
  static int base2UserCoordinatePrivate(const ruko_robot_namespace::wayPoint_S& flangeCenterPointOnBase,
                                        const CoordCalibrateByToolEndPoint& userCoordSystem,
                                        const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                        ruko_robot_namespace::wayPoint_S& toolEndPointOnUserCoord);
  static int user2BaseCoordinatePrivate(const ruko_robot_namespace::wayPoint_S& toolEndPointOnUserCoord,
                                        const CoordCalibrateByToolEndPoint& userCoordSystem,
                                        const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                        ruko_robot_namespace::wayPoint_S& flangeCenterPointOnBase);
};

#endif  // RUKO_GEOMETRY_ROBOTUTILSERVICE_H
