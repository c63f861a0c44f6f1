#ifndef RUKO_KINEMATICS_IKFUNC_H
#define RUKO_KINEMATICS_IKFUNC_H

// Kinematics of the supported arms: static operations over the process-wide kinematic
// parameters (kinematics/kinematic_store.h). Never instantiated for its state.
//
// The definitions are split by concern: ikfunc.cpp (rotation conversions),
// ikfunc_models.cpp (model selection, calibration, rotation flags),
// joint_range_of_motion.cpp; forward and inverse kinematics go to files of their own.

#include <string>
#include <vector>

#include "kinematics/kinematic_types.h"
#include "kinematics/robot_models.h"
#include "ruko_sdk/robot_geometry.h"

class Ikfunc {
 public:
  Ikfunc() = delete;

  // ---- Rotation conversions -------------------------------------------------------

  // Rotation matrix (row-major) of q after normalising q. A zero quaternion yields
  // non-finite elements.
  static void QuaternionToOriMatrix(Ori q, double* eerot);
  // Quaternion of a rotation matrix; w >= 0. False, with `result` untouched, when the
  // matrix gives no usable quaternion (non-finite input).
  static bool OriMatrixToQuaternion(const double* eerot, Ori& result);
  // end_ori <- end_ori * left_ori when rightMul, else left_ori * end_ori; not normalised.
  static void QuaternionMultply(Ori& end_ori, Ori left_ori, bool rightMul);
  // Conjugate in place (not an inverse for a non-unit quaternion).
  static void QuaternionInversion(Ori& cur_ori);
  // Single-precision angles rpy = (rx, ry, rz) in radians; the formula runs in double.
  static void RPYToQuaternion(Ori& ori, const float* rpy);
  // Single-precision angles in degrees, in the order rpy = (rz, ry, rx).
  static void quaternionToRPY(Ori ori, float* rpy);
  // Double-precision variants, rpy = (rx, ry, rz) in radians.
  static void RPYToQuaternion(const double* rpy, Ori& res);
  static void QuaternionToRPY(const Ori& res, double* rpy);
  static void RPYToRotation(const double* rpy, double* eerot);

  static double SIGN(double x);  // SIGN(0) = 1
  static double NORM(double a, double b, double c, double d);

  // Copy position and orientation of `size` consecutive records; joint angles of the
  // waypoints are left untouched.
  static void waypoint2Pose(Pose_S* posePtr, const wayPoint_S* wpPtr, int size);
  static void pose2Waypoint(wayPoint_S* wpPtr, const Pose_S* posePtr, int size);

  // ---- Arm model and DH parameters ------------------------------------------------

  // Selects a model: its lengths when it is an analytic model, otherwise only the
  // analytic flag. False, with the store unchanged, for a value that is no model.
  static bool SetDhParaLen(ruko_robot_type robotType);
  // Set-up path of the models outside the analytic set: nothing to set up.
  static bool SetRobotType(const std::string& modelName, const std::string& config);
  // Selects the model, then overrides its lengths with the reported ones (to the
  // single-precision rounding of each difference). Published as one change: a
  // concurrent kinematic call sees the old or the new model, never a mixture.
  // Refused, store unchanged, for an unknown model or a non-finite length; the result
  // says whether it was applied.
  static bool setDhParameters(ruko_robot_type robotType, double A3, double A4, double D1, double D2, double D5,
                              double D6);

  // Installs per-joint calibration deltas and switches FK to the calibrated chain.
  // Refused (false, store unchanged) when a delta is not finite.
  static bool installSystemCalibParam(const RobotSystemParamCalib_S& calib);

  // ---- Forward kinematics (ikfunc_fk.cpp) ---------------------------------------
  // Public joint angles, radians, joint 1 first. Nothing is computed or written for a
  // model outside the analytic set.

  // Flange pose by the DH chain, with the calibration deltas once they are installed.
  static void ArmFk(const double* joint_solve, double* eetrans, double* eerot);
  // Flange pose: the nominal closed form before calibration deltas are installed or
  // when enableCom asks for it (the model inverse kinematics solves), otherwise the
  // calibrated chain. True also for a non-analytic model (outputs untouched); false,
  // outputs untouched, for a null joint array or a pose that is not finite (finite
  // angles so large that their sums overflow).
  static bool ArmFk(Pos& arm_pos, Ori& arm_ori, const double* joint_solve, bool enableCom);
  static bool ArmFk(wayPoint_S& arm_pos);

  static void posOri2homoArr(cartesianPos_U position, Ori quat, double* eerot, double* eetrans);
  // (eerot, eetrans) * (eerot1, eetrans1). The translation is formed when both are
  // given and pos_transferred, or new_rot and new_pos, take it; otherwise only the
  // rotation goes to new_rot. Outputs may alias inputs.
  static void hMatrixMultiply(const double* eerot, const double* eetrans, const double* eerot1,
                              const double* eetrans1, wayPoint_S* pos_transferred, double* new_rot, double* new_pos);
  static void hMatrixMultiply(const double* eerot, const double* eetrans, const double* eerot1,
                              const double* eetrans1, Pose_S* pos_transferred, double* new_rot);
  // Applies a transform (inv: its inverse) to a point, or to a vector when relPos.
  // hRArr is a 3x3 rotation when pOrg carries the translation or relPos is set,
  // otherwise a row-major 3x4 [R | t].
  static void hMatrixVectorProduct(bool inv, const double* pOrg, const double* hRArr, bool relPos,
                                   const double* posIn, double* posOut);

  // ---- Inverse kinematics (ikfunc_ik.cpp, ikfunc_jacobian.cpp) --------------------

  // All solutions of the pose of cur_stat (columns of jointResults, public angles)
  // that lie strictly inside an enabled joint range and whose nominal flange
  // position is within 1e-4 m of the target. cur_stat.jointpos is the reference of
  // the singular-wrist branch. 0 for non-finite input.
  static int ComputeIk_new(wayPoint_S& cur_stat, double jointResults[6][8]);
  // Every whole-turn variant of the solutions strictly inside the joint ranges,
  // solution by solution, joint 6 varying fastest; at most two turns each way.
  static void extendToAllConfigurations(int solution_num, const double q_sols[6][8],
                                        std::vector<std::vector<double>>& q_out);
  // The candidate nearest to cur_stat.jointpos (sum of joint distances, first of
  // equals), written into cur_stat.jointpos. False when there is no solution or no
  // candidate comes within the route limit of the reference. The other arguments
  // have no effect.
  static bool ArmIk(wayPoint_S& cur_stat, double* joint, bool iterIK, bool relMove);
  // ArmIk, then, with calibration deltas installed, a Jacobian iteration that makes
  // the calibrated arm reach the pose. On success the result is also copied to
  // last_jointpos (null: it stays in res.jointpos).
  static bool ArmIkProtect(wayPoint_S& res, double* last_jointpos, bool iterIK, bool relMove);
  // ArmIkProtect with joint_solve as the reference; the solution replaces it.
  static bool api_arm_ik(Pos arm_pos, Ori arm_ori, double* joint_solve);

  // Geometric Jacobian of the nominal arm at public angles: row-major 6x6, rows
  // (vx, vy, vz, wx, wy, wz) in the base frame, column j = joint j.
  static void getJacobian(const double* q_in, double* jac);
  // Solves A.X = B for a 6x6 A (LU without pivoting).
  static void multiplyJacobianInv(const double* B, const double* A, double* X);
  // Twist (position difference, small rotation vector) from pose 1 to pose 2.
  static void tr2Delta(const double* eerot1, const double* eetrans1, const double* eerot2, const double* eetrans2,
                       double* twist);
  // ori = itrot . toolRot (3x3); ori may alias an input.
  static void rotationMultiply(const double* itrot, const double* toolRot, double* ori);

  // ---- Joint range of motion (joint_range_of_motion.cpp) --------------------------

  // Bounds per joint (radians); whether the range is in force is left as it is.
  static bool setJointLimits(const double* upper_bound, const double* lower_bound);

  // ---- Rotation flags -------------------------------------------------------------

  // Flags reported by the controller; stored only.
  static void setJoint6Rot360(bool enable);
  static void setJoint1Rot360(bool enable);
  static bool joint6Rot360();
  static bool joint1Rot360();

  // ---- Frame transforms and calibration (ikfunc_frames.cpp) ------------------------

  // TCP position p + R.t of a flange pose (p, R) and tool offset t. Without
  // toolPosition the result replaces the pose's position; without a tool offset the
  // flange position is the result.
  static void endPosition2ToolPosition(Pose_S& end_stat, const double* toolPosInEnd, double* toolPosition);
  // Flange position p - R.t from the TCP position and the flange orientation.
  static void toolPosition2EndPosition(Pose_S tool_stat, cartesianPos_U& end_position, const double* toolPosInEnd);
  // toolOri = endOri * tcpOriInE
  static void endOrientation2ToolOrientation(Ori tcpOriInE, Ori endOri, Ori& toolOri);
  // endOri = toolOri * conj(tcpOriInE)
  static void toolOrientation2EndOrientation(Ori tcpOriInE, Ori toolOri, Ori& endOri);

  // User frame from the positions of three TCP poses (kinematics/frame_calib_lib.h).
  // False when a pointer is null or the routine fails (then one warning line).
  static bool userCoordinateCalib(const Pose_S* waypointptr, char methods, double* bInWPos, double* bInWOri,
                                  double* wInBPos);
  static bool api_user_coord_calib(const Pose_S* waypointptr, char methods, double* bInWPos, double* bInWOri,
                                   double* wInBPos);
  // Tool offset from posWpNum (> 3) flange poses touching one point; with wpOriCalib
  // and a method of 0 to 5 also the tool orientation (three poses for methods up to
  // 2, two otherwise).
  static bool toolCoordinateCalib(const Pose_S* waypointptr, int posWpNum, bool waypoint_check, double* toolInEndPos,
                                  char poseCalibMethod, const Pose_S* wpOriCalib, Ori* toolInEndOri);
  // Position only when the method is outside 0 to 5 or wpOriCalib is null; the
  // orientation of toolInEnd is then left as it is. toolInEnd is written on success only.
  static bool api_tool_coord_calib(const Pose_S* wpPosCalib, unsigned wpPosCalibSize, const Pose_S* wpOriCalib,
                                   char poseCalibMethod, Pose_S& toolInEnd);

  // Flange pose to TCP pose (when both tool pointers are given), then, unless coord is
  // the base frame, into the user frame of the three points planWp taught with
  // `methods`. pos_transferred is written on success only; a non-finite result fails.
  static bool coordinateTransform(Pose_S& pos_transferred, Pose_S pos, const double* toolOrgInEndPos,
                                  const Ori* ToolOriInEnd, ruko_robot_namespace::coordinate_refer coord,
                                  const wayPoint_S* planWp, char methods);
  // The pose as displayed in refCoord: the tool in the flange frame, the TCP in the
  // base frame, or the TCP in a user frame.
  static bool waypointDisplay(Pose_S& target_wp, Pose_S source_wp, ruko_robot_namespace::coordinate_refer refCoord,
                              const double* ToolOrgInEndPos, const Ori* ToolOriInEnd, const wayPoint_S* planWp,
                              char methods);
  // TCP pose in the source frame (base or user) to the pose in the target frame, then
  // to the flange when both tool pointers are given. Hazard: *tcpOriInEnd is
  // conjugated in place in that step; pass a copy. The orientation is normalised
  // first (a zero quaternion fails). target_point is written on success only.
  static bool robotCoordConvert(Pose_S& target_point, Pose_S source_point, const Pose_S* userPlaneWP, char method,
                                const double* tcpPosInEnd, Ori* tcpOriInEnd,
                                ruko_robot_namespace::coordinate_refer targetCoord,
                                ruko_robot_namespace::coordinate_refer sourceCoord);
};

#endif  // RUKO_KINEMATICS_IKFUNC_H
