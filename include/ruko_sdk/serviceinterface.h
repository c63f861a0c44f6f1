#ifndef RUKO_SDK_SERVICEINTERFACE_H
#define RUKO_SDK_SERVICEINTERFACE_H

#include <cstdint>
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

  // ---- Login and connection ----------------------------------------------------------------------

  /**
   * Connects to the controller at host:port and logs in. A null host, user name or password gives
   * ErrCode_ParamError with nothing sent; an unreachable controller ErrCode_ConnectSocketFailed. A refused
   * login leaves the connection open: end it with robotServiceLogout(). The long form reports the arm model
   * and its DH values.
   */
  int robotServiceLogin(const char* host, int port, const char* userName, const char* password);
  int robotServiceLogin(const char* host, int port, const char* userName, const char* password,
                        ruko_robot_namespace::RobotType& robotType, ruko_robot_namespace::RobotDhPara& robotDhPara);
  /** Closes the connection without telling the controller; waits in progress end. Returns 0. */
  int robotServiceLogout();
  /** Whether the connection is open (returns nothing). */
  void robotServiceGetConnectStatus(bool& connected);
  /** Blocking: waits for the controller's handshake verdict. */
  int robotServiceRobotHandShake(bool isBlock);

  // ---- Real-time pushes and callbacks ------------------------------------------------------------
  // Joint-status, waypoint, end-speed and MoveP callbacks run on the connection's receive thread, the event
  // callback on the facade's event thread; never with a library lock held. Once a registration has returned,
  // the callback it replaced is neither running nor called again. A callback may log out, replace callbacks or
  // destroy the facade; the receive-thread callbacks must not wait for a controller reply (the registrations
  // of the three push callbacks below send one), since that thread is the one that would read it.

  /** Asks the controller to start or stop the joint-status push. */
  int robotServiceSetRealTimeJointStatusPush(bool enable);
  /** Asks the controller to start or stop the joint-angle push that feeds the waypoint callback. */
  int robotServiceSetRealTimeRoadPointPush(bool enable);
  int robotServiceSetRealTimeEndSpeedPush(bool enable);

  /**
   * Also asks the controller to start (callback set) or stop (null) the matching push; the outcome of that
   * request is not reported. Returns 0.
   */
  int robotServiceRegisterRealTimeJointStatusCallback(RealTimeJointStatusCallback callback, void* arg);
  int robotServiceRegisterRealTimeRoadPointCallback(RealTimeRoadPointCallback callback, void* arg);
  int robotServiceRegisterRealTimeEndSpeedCallback(RealTimeEndSpeedCallback callback, void* arg);
  /** Robot events, in arrival order. No request. Returns 0. */
  int robotServiceRegisterRobotEventInfoCallback(RobotEventCallback callback, void* arg);
  /**
   * MoveP progress, as the index in the caller's track of the waypoint the controller has reached (the last
   * known index again when a step has none). No request. Returns 0.
   */
  int robotServiceRegisterMovepStepNumNotifyCallback(RealTimeMovepStepNumNotifyCallback callback, void* arg);

  // ---- Controller control and status -------------------------------------------------------------

  int rootServiceRobotControl(ruko_robot_namespace::RobotControlCommand cmd);
  int robotServicePowerControl(bool value);
  int robotServiceReleaseBrake();
  /**
   * Starts the arm with the tool's centre of mass and payload (single precision; the inertia is not sent).
   * Blocking: waits for the start-up verdict, written to `result`. Values that are not finite or do not fit
   * single precision give ErrCode_ParamError with nothing sent.
   */
  int rootServiceRobotStartup(const ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam, uint8_t collisionClass,
                              bool readPose, bool staticCollisionDetect, int boardBaxAcc,
                              ruko_robot_namespace::ROBOT_SERVICE_STATE& result, bool IsBolck);
  int robotServiceRobotShutdown(bool IsBolck);

  /** The tool's centre of mass and payload, as for start-up. */
  int robotServiceSetToolDynamicsParam(const ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);
  /** No tool: every value zero. */
  int robotServiceSetNoneToolDynamicsParam();
  /** On success every field is reset, then centre of mass and payload are filled; on failure untouched. */
  int robotServiceGetToolDynamicsParam(ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);

  int robotServiceGetRobotWorkMode(ruko_robot_namespace::RobotWorkMode& mode);
  int robotServiceSetRobotWorkMode(ruko_robot_namespace::RobotWorkMode mode);
  int robotServiceSetEnableForceTeachWhenProjectIsRunning(bool enable);
  int robotServiceGetRobotGravityComponent(ruko_robot_namespace::RobotGravityComponent& gravityComponent);

  /**
   * Collision grade 0..31 (else ErrCode_Failed, nothing sent) and mode; the controller's reading must show
   * the new setting within three read-backs, else ErrCode_Failed.
   */
  int robotServiceSetRobotCollisionClass(int grade, ruko_robot_namespace::CollisionMode mode);
  /** The raw value: grade in bits 0..4, mode in bit 5. */
  int robotServiceSetRobotCollisionClass(int grade);
  /** The current grade (bits 0..4 of the controller's value); 0 when the read fails. */
  int robotServiceGetRobotCollisionCurrentService(int& grade);

  int robotServiceGetRobotDevInfoService(ruko_robot_namespace::RobotDevInfo& devInfo);
  /** Has no effect; returns 0. */
  int robotServiceSetRobotMaxACC(int maxAcc);
  int robotServiceCollisionRecover();
  int robotServiceJointPosRecover(bool confirm);
  int robotServiceGetRobotCurrentState(ruko_robot_namespace::RobotState& state);
  /** Always true and 0; the controller is not asked. */
  int robotServiceGetMacCommunicationStatus(bool& value);
  int robotServiceGetIsRealRobotExist(bool& value);
  int robotServiceGetJoint6Rotate360EnableFlag(bool& value);
  /** Fills at most `size` records (six joints). */
  int robotServiceGetRobotJointStatus(ruko_robot_namespace::JointStatus* jointStatus, int size);
  int robotServiceGetRobotDiagnosisInfo(ruko_robot_namespace::RobotDiagnosis& robotDiagnosis);
  int robotServiceGetJointAngleInfo(ruko_robot_namespace::JointParam& jointParam);
  int robotServiceGetCorrectedWaypoint(const ruko_robot_namespace::wayPoint_S& sourceWaypoint,
                                       ruko_robot_namespace::wayPoint_S& targetWaypoint);

  // ---- Safety ------------------------------------------------------------------------------------

  int robotServiceSetRobotAtOriginPose();
  int robotServiceSetRobotOrpePause(uint8_t data);
  int robotServiceSetRobotOrpeStop(uint8_t data);
  /** Project start-up and stop: the safety stop flag cleared (0) and set (1). */
  int robotServiceSetRobotProjectStartup();
  int robotServiceSetRobotProjectStop();
  /** Sends the `len` bytes; a null buffer or a negative length gives ErrCode_ParamError. */
  int robotServiceSetRobotOrpeError(uint8_t* data, int len);
  int robotServiceClearSystemEmergencyStop(uint8_t data);
  int robotServiceClearReducedModeError(uint8_t data);
  int robotServiceRobotSafetyguardResetSucc(uint8_t data);
  int robotServiceGetRobotSafetyConfig(ruko_robot_namespace::RobotSafetyConfig& safetyConfig);
  /**
   * Only interface boards of revision V3.1 and later, or V4 and later, take a safety configuration: for older
   * ones this returns 0 and sends nothing. A failed read of the device information returns that read's code.
   * The configuration is confirmed by reading it back (six tries); ErrCode_Failed when it never shows.
   */
  int robotServiceSetRobotSafetyConfig(const ruko_robot_namespace::RobotSafetyConfig& safetyConfig);
  int robotServiceGetOrpeSafetyStatus(ruko_robot_namespace::OrpeSafetyStatus& safetyStatus);

  // ---- Board I/O, tool I/O and tool power -------------------------------------------------------
  // Board inputs and outputs by type and name ("SI00", "U_DO_10", "VO0", ...) or by type and address; tool
  // pins by "T_DI/O_00" to "T_DI/O_03" or address 0..3, tool analog inputs "T_AI_00" and "T_AI_01". A name
  // or address outside that catalogue, or a type that does not fit the call, gives ErrCode_ParamError with
  // nothing sent.

  /** Every catalogue entry of the given types (each type's entries in name order), value -1; no request. */
  int robotServiceGetBoardIOConfig(const std::vector<ruko_robot_namespace::RobotIoType>& ioType,
                                   std::vector<ruko_robot_namespace::RobotIoDesc>& configVector);
  /**
   * The same entries with their values read from the controller; -1 where the controller's list has no
   * element at the entry's address. An unknown type ends the list there with ErrCode_ParamError.
   */
  int robotServiceGetBoardIOStatus(std::vector<ruko_robot_namespace::RobotIoType> ioType,
                                   std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  /** One input or output; `value` is written on success only (0 or 1 for digital ones). */
  int robotServiceGetBoardIOStatus(ruko_robot_namespace::RobotIoType type, std::string name, double& value);
  int robotServiceGetBoardIOStatus(ruko_robot_namespace::RobotIoType type, int addr, double& value);
  /**
   * Outputs only (controller or user DO and AO). A digital output is switched on for a value above 0.5;
   * NaN, and for analog outputs any value single precision cannot hold, give ErrCode_ParamError.
   */
  int robotServiceSetBoardIOStatus(ruko_robot_namespace::RobotIoType type, std::string name, double value);
  int robotServiceSetBoardIOStatus(ruko_robot_namespace::RobotIoType type, int addr, double value);

  /**
   * The three setters of the tool's supply and pin directions read the setting back (three tries, a pause of
   * 150 ms before each) and give ErrCode_Failed when it never shows; the setting is sent only once.
   */
  int robotServiceSetToolPowerVoltageType(ruko_robot_namespace::ToolPowerType type);
  int robotServiceGetToolPowerVoltageType(ruko_robot_namespace::ToolPowerType& type);
  /** The supply voltage in volts, as a whole number. */
  int robotServiceGetToolPowerVoltageStatus(double& value);
  int robotServiceSetToolDigitalIOType(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::ToolIOType type);
  int robotServiceSetToolPowerTypeAndDigitalIOType(ruko_robot_namespace::ToolPowerType type,
                                                   ruko_robot_namespace::ToolIOType io0,
                                                   ruko_robot_namespace::ToolIOType io1,
                                                   ruko_robot_namespace::ToolIOType io2,
                                                   ruko_robot_namespace::ToolIOType io3);
  /** The pins as RobotToolDI (input) or RobotToolDO (output) with their levels. */
  int robotServiceGetAllToolDigitalIOStatus(std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  int robotServiceGetAllToolAIStatus(std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  /** A pin's level or an analog input by name; `value` stays as it was when the controller did not report it. */
  int robotServiceGetToolIoStatus(std::string name, double& value);
  /** Sets a pin's level whatever its direction. */
  int robotServiceSetToolDOStatus(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::IO_STATUS value);
  int robotServiceSetToolDOStatus(std::string name, ruko_robot_namespace::IO_STATUS value);

  /** Online mode: board input "CI00" above 0.5. False when the read fails; returns the read's code. */
  int robotServiceIsOnlineMode(bool& value);
  /** Online master mode: board input "CI01" above 0.5; true when the read fails. Returns the read's code. */
  int robotServiceIsOnlineMasterMode(bool& value);

  // ---- Firmware, names, versions, joint offset ---------------------------------------------------

  /** A null buffer with a non-zero length gives ErrCode_ParamError. */
  int robotServiceUpdateRobotBoardFirmware(ruko_robot_namespace::update_board_firmware_cmd cmd, const void* data,
                                           uint16_t length);
  int robotServiceGetBoardFirmwareUpdateResultService(bool& value);
  int robotServiceGetRobotEthernetDeviceName(std::string& ethernetDeviceName);
  int robotServiceGetServerVersionInfo(std::string& versionInfo);
  int robotServiceSetRobotJointOffset(ruko_robot_namespace::RobotJointOffset& jointOffset);

  // ---- Joint drive data --------------------------------------------------------------------------

  /** Copies at most `size` records. */
  int robotServiceGetJointCommonData(ruko_robot_namespace::JointCommonData* jointCommonData, int size);
  int robotServiceSetJointParam_CurrentIP(int jointID, uint16_t value);
  int robotServiceSetJointParam_CurrentII(int jointID, uint16_t value);
  int robotServiceSetJointParam_CurrentID(int jointID, uint16_t value);
  int robotServiceSetJointParam_SpeedP(int jointID, uint16_t value);
  int robotServiceSetJointParam_SpeedI(int jointID, uint16_t value);
  int robotServiceSetJointParam_SpeedD(int jointID, uint16_t value);
  int robotServiceSetJointParam_SpeedDS(int jointID, uint16_t value);
  int robotServiceSetJointParam_PosP(int jointID, uint16_t value);
  int robotServiceSetJointParam_PosI(int jointID, uint16_t value);
  int robotServiceSetJointParam_PosD(int jointID, uint16_t value);
  int robotServiceSetJointParam_PosDS(int jointID, uint16_t value);
  int robotServiceJointSaveDataFlash(int jointID);

  // ---- Arm parameters ----------------------------------------------------------------------------

  int robotServiceSetRobotBaseParameters(const ruko_robot_namespace::RobotBaseParameters& baseParameters);
  int robotServiceGetRobotBaseParameters(ruko_robot_namespace::RobotBaseParameters& baseParameters);
  int robotServiceSetRobotJointsParameter(const ruko_robot_namespace::RobotJointsParameter& jointsParameter);
  int robotServiceGetRobotJointsParameter(ruko_robot_namespace::RobotJointsParameter& jointsParameter);
  int robotServiceRefreshRobotArmParamter();

  // ---- Identification ----------------------------------------------------------------------------

  /** The parameters identified by the last identification trajectory. */
  int getDynIdentifyResultsService(std::vector<int>& paramVector);

  // ==== Motion: global move profile, moves, move control ==========================================
  // The profile belongs to this object and survives logout and login; nothing in it is sent until a move.
  // Limits: speeds and accelerations strictly above 0 and at most the stated bound, else ErrCode_ParamError
  // with nothing stored. The profile and the move calls may be used from several threads; one blocking move
  // at a time per object.

  // ---- Global move profile -----------------------------------------------------------------------

  /** Defaults again (line 0.03, angular 100 deg, joints 25 deg, blend 0.02, cycle 0.1); tool and jerk kept. */
  int robotServiceInitGlobalMoveProfile();
  /** Each joint 0 < a <= 167.55178272438084 rad/s^2 (all six or none stored). */
  int robotServiceSetGlobalMoveJointMaxAcc(const ruko_robot_namespace::JointVelcAccParam& moveMaxAcc);
  /** Each joint 0 < v <= 8.726820792896847 rad/s (all six or none stored). */
  int robotServiceSetGlobalMoveJointMaxVelc(const ruko_robot_namespace::JointVelcAccParam& moveMaxVelc);
  void robotServiceGetGlobalMoveJointMaxAcc(ruko_robot_namespace::JointVelcAccParam& moveMaxAcc);
  void robotServiceGetGlobalMoveJointMaxVelc(ruko_robot_namespace::JointVelcAccParam& moveMaxVelc);
  /** 0 < a <= 80.01 m/s^2. */
  int robotServiceSetGlobalMoveEndMaxLineAcc(double moveMaxAcc);
  /** 0 < v <= 5.01 m/s. */
  int robotServiceSetGlobalMoveEndMaxLineVelc(double moveMaxVelc);
  /** 0 < a <= 3.141767186514992 rad/s^2. */
  int robotServiceSetGlobalMoveEndMaxAngleAcc(double moveMaxAcc);
  /** 0 < v <= 3.141767186514992 rad/s. */
  int robotServiceSetGlobalMoveEndMaxAngleVelc(double moveMaxVelc);
  void robotServiceGetGlobalMoveEndMaxLineAcc(double& moveMaxAcc);
  void robotServiceGetGlobalMoveEndMaxLineVelc(double& moveMaxVelc);
  void robotServiceGetGlobalMoveEndMaxAngleAcc(double& moveMaxAcc);
  void robotServiceGetGlobalMoveEndMaxAngleVelc(double& moveMaxVelc);
  /** 0 <= ratio < 1.00001. */
  int robotServiceSetJerkAccRatio(double acc);
  void robotServiceGetJerkAccRatio(double& acc);

  /** The waypoints of robotServiceTrackMove. */
  void robotServiceClearGlobalWayPointVector();
  /**
   * Appends; when the last three waypoints lie on one line the middle one is dropped. At most 12,000
   * waypoints: a further one gives ErrCode_MotionWaypointVetorSizeError.
   */
  int robotServiceAddGlobalWayPoint(const ruko_robot_namespace::wayPoint_S& wayPoint);
  /** Six joint angles, turned into a waypoint by forward kinematics; its failure is returned. */
  int robotServiceAddGlobalWayPoint(const double* jointAngle);
  void robotServiceGetGlobalWayPointVector(std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);

  /** The blend radius (returns it). */
  float robotServiceGetGlobalBlendRadius();
  /** 0 < radius < 0.0501 m. */
  int robotServiceSetGlobalBlendRadius(float value);
  /** The playback cycle of joint B-spline tracks, in seconds (returns it). */
  double robotServiceGetTrackPlaybackCycle();
  int robotServiceSetTrackPlaybackCycle(double second);
  /** Loop count of circle tracks (returns it). */
  int robotServiceGetGlobalCircularLoopTimes();
  void robotServiceSetGlobalCircularLoopTimes(int times);

  /**
   * A relative offset applied to the target of every later move, in the base frame or in a user or end frame.
   * A move whose offset cannot be converted to the base frame is refused with ErrCode_Failed, nothing sent.
   */
  int robotServiceSetMoveRelativeParam(const ruko_robot_namespace::MoveRelative& relativeMoveOnBase);
  int robotServiceSetMoveRelativeParam(const ruko_robot_namespace::MoveRelative& relativeMoveOnUserCoord,
                                       const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoord);

  /** Arrival ahead: off, by distance (m), by time (s), or blending by distance. Return 0. */
  int robotServiceSetNoArrivalAhead();
  int robotServiceSetArrivalAheadDistanceMode(double distance);
  int robotServiceSetArrivalAheadTimeMode(double second);
  int robotServiceSetArrivalAheadBlendDistanceMode(double distance);

  int robotServiceSetTeachCoordinateSystem(const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coordSystem);

  /** The tool of every later move: none. */
  int robotServiceSetNoneToolKinematicsParam();
  /**
   * The tool of every later move. A tool centre with a coordinate or a distance above 0.5 m gives
   * ErrCode_ToolCalibrateError; values that are not finite ErrCode_ParamError; nothing stored then.
   */
  int robotServiceSetToolKinematicsParam(const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);
  int robotServiceGetToolKinematicsParam(ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);

  // ---- Moves -------------------------------------------------------------------------------------
  // Blocking (IsBolck true): returns when the controller reports the end of the move: 0 at the target, else
  // the code of the event that ended it (stop ErrCodeMoveEnterStopState, a lost connection or logout
  // ErrCode_SocketDisconnect, controller and hardware faults 20000 + the event). No time limit.
  // Non-blocking: returns once the controller has accepted the move.

  /** Joint move to the waypoint's joint angles under the global profile. */
  int robotServiceJointMove(ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  /** Joint move to six joint angles; forward kinematics failing is returned and nothing is sent. */
  int robotServiceJointMove(double* jointAngle, bool IsBolck);
  /** Joint move under the given limits instead of the global profile. */
  int robotServiceJointMove(ruko_robot_namespace::MoveProfile_t& moveProfile, double* jointAngle, bool IsBolck);
  /** Joint move in tracking mode; never blocks. */
  int robotServiceFollowModeJointMove(double* jointAngle);
  /**
   * Straight move to the pose of the waypoint's joint angles (its position and orientation are rewritten from
   * them); forward kinematics failing is returned and nothing is sent.
   */
  int robotServiceLineMove(ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  int robotServiceLineMove(double* jointAngle, bool IsBolck);
  /** Straight move under the given line limits; the angular limits are 100 deg/s and 100 deg/s^2. */
  int robotServiceLineMove(ruko_robot_namespace::MoveProfile_t& moveProfile, double* jointAngle, bool IsBolck);
  /**
   * Path move through the global waypoints: fewer than two give ErrCode_MotionWaypointVetorSizeError, two a
   * straight move to the second. A kind the controller cannot take gives ErrCode_ParamError, nothing sent.
   */
  int robotServiceTrackMove(ruko_robot_namespace::move_track subMoveMode, bool IsBolck);
  /** The current joint angles and their flange pose. */
  int robotServiceGetCurrentWaypointInfo(ruko_robot_namespace::wayPoint_S& wayPoint);

  // ---- Move control ------------------------------------------------------------------------------
  // Each waits (up to 4 s) for the controller's done event when the controller says so. A blocking move
  // stopped from another thread returns when the controller reports the stop.

  /** Slow stop, pause or continue; any other value returns 0 and sends nothing. */
  int rootServiceRobotMoveControl(ruko_robot_namespace::RobotMoveControlCommand cmd);
  int robotMoveFastStop();
  /** Slow stop that also raises the interface board's stop event. */
  int robotMoveStop();

  /**
   * Reduced mode on and off. Note the inverted sense: true when the request FAILED (any error code),
   * false when the controller accepted it.
   */
  bool robotServiceEnterRobotReduceMode();
  bool robotServiceExitRobotReduceMode();

  // ==== End of motion ==============================================================================

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
