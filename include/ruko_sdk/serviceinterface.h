#ifndef RUKO_SDK_SERVICEINTERFACE_H
#define RUKO_SDK_SERVICEINTERFACE_H

#include <memory>
#include <string>
#include <vector>

#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_io_types.h"
#include "ruko_sdk/robot_motion_types.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "ruko_sdk/ruko_sdk_export.h"
#include "ruko_sdk/version.h"

/**
 * The library's facade. One object per robot connection; every method returns 0 or a RobotErrorCode
 * unless its comment says otherwise.
 *
 * The operations that need no controller (kinematics, frame and rotation conversions, record
 * initialisers, error texts, text and filter helpers) are static: they work on process-wide data and
 * may be called from any thread, with or without a facade object. Before the first facade is
 * constructed the library has no log instance and their failure lines are not written anywhere.
 *
 * The object itself is one opaque pointer: everything it owns lives inside the library, so the class
 * layout an application is compiled against never changes with the library's internals.
 */
class RUKO_SDK_API ServiceInterface {
 public:
  /** Creates the process's log instance if there is none yet, then the connection services. */
  ServiceInterface();
  /** Closes the connection and joins the library's threads for this object; the log instance stays. */
  ~ServiceInterface();

  ServiceInterface(const ServiceInterface&) = delete;
  ServiceInterface& operator=(const ServiceInterface&) = delete;
  ServiceInterface(ServiceInterface&&) = delete;
  ServiceInterface& operator=(ServiceInterface&&) = delete;

  // ---- Log output --------------------------------------------------------------------------------

  /**
   * Sends every library log line of the process (all facades) to `callback` with `arg`; a null callback
   * sends them to standard output again. The callback runs on the logging thread, one line at a time,
   * and must not call back into the library. Returns 0.
   */
  int robotServiceRegisterLogPrintCallback(RobotLogPrintCallback callback, void* arg);

  // ---- Error text --------------------------------------------------------------------------------

  /** English description of a library error code; empty for codes without one (event codes 20000 and up). */
  static std::string getErrDescByCode(ruko_robot_namespace::RobotErrorCode code);

  // ---- Record initialisers -----------------------------------------------------------------------

  /** (0, 0, 0). */
  static void initPosDataType(ruko_robot_namespace::Pos& position);
  /** The identity quaternion (1, 0, 0, 0). */
  static void initOriDataType(ruko_robot_namespace::Ori& orientation);
  /** Disabled, zero offset, identity rotation. */
  static void initMoveRelativeDataType(ruko_robot_namespace::MoveRelative& moveRelative);
  /** All joint angles 0 with the flange pose of that configuration on the current arm model. */
  static void initWayPointDataType(ruko_robot_namespace::wayPoint_S& wayPoint);
  /** The none tool: the flange itself. */
  static void initToolInEndDescDataType(ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);
  /** The base frame, every taught configuration zero, the none tool. */
  static void initCoordCalibrateByJointAngleAndToolDataType(
      ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coordCalibrate);
  static void initToolInertiaDataType(ruko_robot_namespace::ToolInertia& toolInertia);
  /** Every field 0, the inertia included. */
  static void initToolDynamicsParamDataType(ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);

  // ---- Kinematics --------------------------------------------------------------------------------
  // On the arm model and DH parameters of the last login (the default model before any).

  /**
   * Flange pose of `size` joint angles (radians), which must be 6: otherwise ErrCode_ParamError and
   * `wayPoint` untouched. The angles are carried into `wayPoint`.
   */
  static int robotServiceRobotFk(const double* jointAngle, int size, ruko_robot_namespace::wayPoint_S& wayPoint);

  /**
   * The joint solution of a flange pose nearest to the six reference angles. `wayPoint` keeps the
   * requested pose. ErrCode_IkFailed, `wayPoint` untouched, when the pose cannot be reached.
   */
  static int robotServiceRobotIk(const double* startPointJointAngle, const ruko_robot_namespace::Pos& position,
                                 const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::wayPoint_S& wayPoint);

  /**
   * Every closed-form solution of a flange pose inside the joint range, each with the pose of its own
   * forward kinematics. Returns 0 also when there is none: the vector is then empty.
   */
  static int robotServiceRobotIk(const ruko_robot_namespace::Pos& position, const ruko_robot_namespace::Ori& ori,
                                 std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);

  // ---- Rotations ---------------------------------------------------------------------------------

  /**
   * Quaternion to roll-pitch-yaw (R = Rz·Ry·Rx, radians). The angles pass through single precision
   * (about 1e-7 relative), as the controller computes them. Returns 0.
   */
  static int quaternionToRPY(const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::Rpy& rpy);

  /** Roll-pitch-yaw (radians, rounded to single precision first) to quaternion. Returns 0. */
  static int RPYToQuaternion(const ruko_robot_namespace::Rpy& rpy, ruko_robot_namespace::Ori& ori);

  /**
   * Quaternion of a rotation matrix (9 doubles, row-major). ErrCode_Failed, `result` untouched, for a
   * matrix that gives none (all zero or not finite); ErrCode_ParamError for a null matrix.
   */
  static int robotServiceOriMatrixToQuaternion(double* eerot, ruko_robot_namespace::Ori& result);

  // ---- Frame conversions -------------------------------------------------------------------------
  // A user frame is given by three joint configurations and the tool that touched the three points.
  // Outputs are written on success only.

  /**
   * Pose of the tool centre point of a flange pose (base frame), expressed in `userCoordSystem`. For an
   * end frame: the tool seen from the flange when the frame's own tool is the none tool, otherwise the
   * identity pose.
   */
  static int baseToUserCoordinate(const ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                  const ruko_robot_namespace::Ori& flangeCenterOrientationOnBase,
                                  const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                  const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                  ruko_robot_namespace::Pos& toolEndPositionOnUserCoord,
                                  ruko_robot_namespace::Ori& toolEndOrientationOnUserCoord);

  /** Pose of the tool centre point of a flange pose, both in the base frame. */
  static int baseToBaseAdditionalTool(const ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                      const ruko_robot_namespace::Ori& flangeCenterOrientationOnBase,
                                      const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                      ruko_robot_namespace::Pos& toolEndPositionOnBase,
                                      ruko_robot_namespace::Ori& toolEndOrientationOnBase);

  /**
   * Flange pose in the base frame that puts the tool centre point at a pose given in the base or a user
   * frame. The orientation is normalised first; a zero quaternion gives ErrCode_UserToBaseConvertFailed.
   * End frames are refused with ErrCode_ParamError.
   */
  static int userToBaseCoordinate(const ruko_robot_namespace::Pos& toolEndPositionOnUserCoord,
                                  const ruko_robot_namespace::Ori& toolEndOrientationOnUserCoord,
                                  const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoord,
                                  const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                  ruko_robot_namespace::Pos& flangeCenterPositionOnBase,
                                  ruko_robot_namespace::Ori& flangeCenterOrientationOnBase);

  /** A point given in the base or a user frame, in base coordinates. End frames: ErrCode_ParamError. */
  static int userCoordPointToBasePoint(const ruko_robot_namespace::Pos& userCoordPoint,
                                       const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                       ruko_robot_namespace::Pos& basePoint);

  /** toolOri = endOri ⊗ tcpOriInEnd. Returns 0. */
  static int endOrientation2ToolOrientation(ruko_robot_namespace::Ori& tcpOriInEnd,
                                            const ruko_robot_namespace::Ori& endOri,
                                            ruko_robot_namespace::Ori& toolOri);

  /** endOri = toolOri ⊗ conj(tcpOriInEnd). Returns 0. */
  static int toolOrientation2EndOrientation(ruko_robot_namespace::Ori& tcpOriInEnd,
                                            const ruko_robot_namespace::Ori& toolOri,
                                            ruko_robot_namespace::Ori& endOri);

  // ---- Text and filter helpers (track-file lines, trajectory smoothing) -------------------------
  // Only the character ' ' counts as a space: tabs and line ends belong to the text.

  /** A copy without leading and trailing spaces. */
  static std::string trim(std::string s);

  /** Trims, then collapses every run of spaces into one space. */
  static std::string removeSurplusSpaces(const std::string& s);

  /**
   * One line "x y z rx ry rz" in millimetres and degrees, split at single spaces, into metres and
   * radians. False when it holds fewer than six numbers; numbers after the sixth are ignored.
   */
  static bool StringToPositionAndRpy(std::string& text, ruko_robot_namespace::Pos& position,
                                     ruko_robot_namespace::Rpy& rpy);

  /**
   * Five coefficients (b0, b1, b2, a1, a2) of a second-order low-pass: cut-off F0 (Hz), sampling rate
   * Fs (Hz), damping ratio Ly.
   */
  static void iir_low_filter_Init(double F0, double Fs, double Ly, double* Coe);

  /**
   * Filters `num` samples (at least 2) from dat_in into dat_o, which may be the same buffer; the first
   * two samples pass unchanged.
   */
  static void iir_low_filter_run(double* dat_in, double* dat_o, double* coe, int num);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

#endif
