#ifndef RUKO_SDK_ROBOT_STATUS_TYPES_H
#define RUKO_SDK_ROBOT_STATUS_TYPES_H

// Connection, status, event, safety and device records. Their layout is part
// of the library's binary interface: applications built against one release
// keep working with the next only if field types and order never change.
//
// Every record is a plain aggregate, so `T x{}` yields all zeros. Enumerations
// that travel on the wire have a fixed `int` underlying type: a value the
// controller sends that has no enumerator is still a valid object of the type.

#include <cstdint>
#include <string>

#include "ruko_sdk/robot_geometry.h"

namespace ruko_robot_namespace {

// One joint's status; always exchanged as an array of 6, joint 1 first.
struct JointStatus {
  int32_t jointCurrentI;
  int32_t jointSpeedMoto;
  float jointPosJ;
  float jointCurVol;
  float jointCurTemp;
  int32_t jointTagCurrentI;
  float jointTagSpeedMoto;
  float jointTagPosJ;
  uint16_t jointErrorNum;
};

enum RobotEventType : int {
  // 0 to 50: state changes and notices.
  RobotEvent_armCanbusError = 0,
  RobotEvent_remoteHalt = 1,
  RobotEvent_remoteEmergencyStop = 2,
  RobotEvent_jointError = 3,
  RobotEvent_forceControl = 4,
  RobotEvent_exitForceControl = 5,
  RobotEvent_softEmergency = 6,
  RobotEvent_exitSoftEmergency = 7,
  RobotEvent_collision = 8,
  RobotEvent_collisionStatusChanged = 9,
  RobotEvent_tcpParametersSucc = 10,
  RobotEvent_powerChanged = 11,
  RobotEvent_ArmPowerOff = 12,
  RobotEvent_mountingPoseChanged = 13,
  RobotEvent_encoderError = 14,
  RobotEvent_encoderLinesError = 15,
  RobotEvent_singularityOverspeed = 16,
  RobotEvent_currentAlarm = 17,
  RobotEvent_toolioError = 18,
  RobotEvent_robotStartupPhase = 19,
  RobotEvent_robotStartupDoneResult = 20,
  RobotEvent_robotShutdownDone = 21,
  RobotEvent_atTrackTargetPos = 22,
  RobotSetPowerOnDone = 23,
  RobotReleaseBrakeDone = 24,
  RobotEvent_robotControllerStateChaned = 25,
  RobotEvent_robotControllerError = 26,
  RobotEvent_socketDisconnected = 27,
  RobotEvent_robotControlException = 28,
  RobotEvent_trackPlayInterrupte = 29,
  RobotEvent_staticCollisionStatusChanged = 30,
  RobotEvent_MountingPoseWarning = 31,
  RobotEvent_MacDataInterruptWarning = 32,
  RobotEvent_ToolIoError = 33,
  RobotEvent_InterfacBoardSafeIoEvent = 34,
  RobotEvent_RobotHandShakeSucc = 35,
  RobotEvent_RobotHandShakeFailed = 36,
  RobotEvent_RobotErrorInfoNotify = 37,
  RobotEvent_InterfacBoardDIChanged = 38,
  RobotEvent_InterfacBoardDOChanged = 39,
  RobotEvent_InterfacBoardAIChanged = 40,
  RobotEvent_InterfacBoardAOChanged = 41,
  RobotEvent_UpdateJoint6Rot360Flag = 42,
  RobotEvent_RobotMoveControlDone = 43,
  RobotEvent_RobotMoveControlStopDone = 44,
  RobotEvent_RobotMoveControlPauseDone = 45,
  RobotEvent_RobotMoveControlContinueDone = 46,
  RobotEvent_RobotSwitchToOnlineMaster = 47,
  RobotEvent_RobotSwitchToOnlineSlave = 48,
  RobotEvent_ConveyorTrackRobotStartup = 49,
  RobotEvent_ConveyorTrackRobotCatchup = 50,

  RobotEvent_exceptEvent = 100,

  RobotEventInvalid = 1000,

  // 1001 to 1300: motion planning and execution faults.
  RobotEventMoveJConfigError = 1001,
  RobotEventMoveLConfigError = 1002,
  RobotEventMovePConfigError = 1003,
  RobotEventInvailConfigError = 1004,
  RobotEventWaitRobotStopped = 1005,
  RobotEventJointOutRange = 1006,
  RobotEventFirstWaypointSetError = 1007,
  RobotEventConveyorTrackConfigError = 1008,
  RobotEventConveyorTrackTrajectoryTypeError = 1009,
  RobotEventRelativeTransformIKFailed = 1010,
  RobotEventTeachModeCollision = 1011,
  RobotEventextErnalToolConfigError = 1012,
  RobotEventTrajectoryAbnormal = 1101,
  RobotEventOnlineTrajectoryPlanError = 1102,
  RobotEventOnlineTrajectoryTypeIIError = 1103,
  RobotEventIKFailed = 1104,
  RobotEventAbnormalLimitProtect = 1105,
  RobotEventConveyorTrackingFailed = 1106,
  RobotEventConveyorOutWorkingRange = 1107,
  RobotEventTrajectoryJointOutOfRange = 1108,
  RobotEventTrajectoryJointOverspeed = 1109,
  RobotEventOfflineTrajectoryPlanFailed = 1110,
  RobotEventTrajectoryJointAccOutOfRange = 1111,
  RobotEventForceModeException = 1120,
  RobotEventForceModeIKFailed = 1121,
  RobotEventForceModeTrackJointverspeed = 1122,
  RobotEventControllerIKFailed = 1200,
  RobotEventControllerStatusException = 1201,
  RobotEventControllerTrackingLost = 1202,
  RobotEventMonitorErrTrackingLost = 1203,
  RobotEventMonitorErrNoArrivalInTime = 1204,
  RobotEventMonitorErrCurrentOverload = 1205,
  RobotEventMonitorErrJointOutOfRange = 1206,
  RobotEventMonitorErrFifoDataTimeNotRead = 1207,
  RobotEventMoveEnterStopState = 1300,

  // 2001 to 2999: hardware and safety faults.
  RobotEventHardwareErrorNotify = 2001,
  RobotEventJointError = 2101,
  RobotEventJointOverCurrent = 2102,
  RobotEventJointOverVoltage = 2103,
  RobotEventJointLowVoltage = 2104,
  RobotEventJointOverTemperature = 2105,
  RobotEventJointHallError = 2106,
  RobotEventJointEncoderError = 2107,
  RobotEventJointAbsoluteEncoderError = 2108,
  RobotEventJointCurrentDetectError = 2109,
  RobotEventJointEncoderPollustion = 2110,
  RobotEventJointEncoderZSignalError = 2111,
  RobotEventJointEncoderCalibrateInvalid = 2112,
  RobotEventJoint_IMU_SensorInvalid = 2113,
  RobotEventJointTemperatureSensorError = 2114,
  RobotEventJointCanBusError = 2115,
  RobotEventJointCurrentError = 2116,
  RobotEventJointCurrentPositionError = 2117,
  RobotEventJointOverSpeed = 2118,
  RobotEventJointOverAccelerate = 2119,
  RobotEventJointTraceAccuracy = 2120,
  RobotEventJointTargetPositionOutOfRange = 2121,
  RobotEventJointTargetSpeedOutOfRange = 2122,
  RobotEventJointCollision = 2123,
  RobotEventDataAbnormal = 2200,
  RobotEventRobotTypeError = 2201,
  RobotEventAccelerationSensorError = 2202,
  RobotEventEncoderLineError = 2203,
  RobotEventEnterDragAndTeachModeError = 2204,
  RobotEventExitDragAndTeachModeError = 2205,
  RobotEventMACDataInterruptionError = 2206,
  RobotEventDriveVersionError = 2207,
  RobotEventInitAbnormal = 2300,
  RobotEventDriverEnableFailed = 2301,
  RobotEventDriverEnableAutoBackFailed = 2302,
  RobotEventDriverEnableCurrentLoopFailed = 2303,
  RobotEventDriverSetTargetCurrentFailed = 2304,
  RobotEventDriverReleaseBrakeFailed = 2305,
  RobotEventDriverEnablePostionLoopFailed = 2306,
  RobotEventSetMaxAccelerateFailed = 2307,
  RobotEventSafetyError = 2400,
  RobotEventExternEmergencyStop = 2401,
  RobotEventSystemEmergencyStop = 2402,
  RobotEventTeachpendantEmergencyStop = 2403,
  RobotEventControlCabinetEmergencyStop = 2404,
  RobotEventProtectionStopTimeout = 2405,
  RobotEventEeducedModeTimeout = 2406,
  RobotEventSystemAbnormal = 2500,
  RobotEvent_MCU_CommunicationAbnormal = 2501,
  RobotEvent485CommunicationAbnormal = 2502,
  RobotEventCurrentJointOutRange = 2550,
  RobotEventSoftEmergency = 2550,
  RobotEventSoftEmergencyExit = 2551,
  RobotEventArmPowerOff = 2600,
  RobotEventHardwareErrorNotifyMaximumIndex = 2999,

  // 3000 to 3100: notifications.
  RobotEventNotifyEvent = 3000,
  RobotEventNotifyCollisionLevelChange = 3001,
  RobotEventNotifyEnterFlexibleControlMode = 3010,
  RobotEventNotifyExitFlexibleControlMode = 3011,
  RobotEventNotifyEnterSpeedReducedMode = 3015,
  RobotEventNotifyExitSpeedReducedMode = 3016,
  RobotEventNotifyStopCurrentMove = 3100,

  // 9000 to 9999: user events.
  RobotEvent_User = 9000,
  RobotEvent_MaxUser = 9999,

  robot_event_unknown = 10000
};

struct RobotEventInfo {
  RobotEventType eventType;
  int32_t eventCode;
  std::string eventContent;
};

// Fields in wire order. Every field starts at zero: a
// controller reply with an empty diagnosis list reports success without writing the record.
struct RobotDiagnosis {
  uint8_t armCanbusStatus{};
  float armPowerCurrent{};
  float armPowerVoltage{};
  bool armPowerStatus{};
  // Below-zero readings are real: plain char is unsigned on some 64-bit Linux targets.
  signed char contorllerTemp{};
  uint8_t contorllerHumidity{};
  bool remoteHalt{};
  bool softEmergency{};
  bool remoteEmergency{};
  bool robotCollision{};
  bool forceControlMode{};
  bool brakeStuats{};

  float robotEndSpeed{};
  int32_t robotMaxAcc{};
  bool orpeStatus{};
  bool enableReadPose{};
  bool robotMountingPoseChanged{};
  bool encoderErrorStatus{};
  bool staticCollisionDetect{};
  uint8_t jointCollisionDetect{};
  bool encoderLinesError{};
  bool jointErrorStatus{};
  bool singularityOverSpeedAlarm{};
  bool robotCurrentAlarm{};
  uint8_t toolIoError{};
  bool robotMountingPoseWarning{};
  uint16_t macTargetPosBufferSize{};
  uint16_t macTargetPosDataSize{};
  uint8_t macDataInterruptWarning{};
  uint8_t controlBoardAbnormalStateFlag{};
};

struct RobotJointVersion {
  char hw_version[8];
  char sw_version[16];
};

struct RobotJointProductId {
  char productID[16];
};

// Text fields are fixed-size arrays filled zero-terminated by the codec.
struct RobotDevInfo {
  uint8_t type;
  char revision[16];
  char manu_id[16];
  char joint_type[16];
  RobotJointVersion joint_ver[8];
  char desc[64];
  RobotJointProductId jointProductID[8];
  char slave_version[16];
  char extio_version[16];
};

struct RobotSafetyConfig {
  uint16_t robotReducedConfigJointSpeed[6];
  uint32_t robotReducedConfigTcpSpeed;
  uint32_t robotReducedConfigTcpForce;
  uint32_t robotReducedConfigMomentum;
  uint32_t robotReducedConfigPower;
  uint8_t robotSafeguradResetConfig;
  uint8_t robotOperationalModeConfig;
};

struct OrpeSafetyStatus {
  uint8_t orpePause;
  uint8_t orpeStop;
  uint8_t orpeError[16];
  uint8_t systemEmergencyStop;
  uint8_t reducedModeError;
  uint8_t safetyguardResetSucc;
};

// The arm model's DH values as the login reply carries them.
struct RobotDhPara {
  double A3;
  double A4;
  double D1;
  double D2;
  double D5;
  double D6;
  double alpha[6];
  double a[6];
  double d[6];
  double theta[6];
};

// Fields in wire order.
struct JointCommonData {
  uint16_t JointCurVol;
  uint16_t JointCurTemp;
  uint16_t JointWorkMode;
  uint16_t JointDriEnable;
  uint16_t JointOpenPwm;
  int32_t JointTagCurrent;
  int32_t JointTagSpeed;
  int32_t JointTagPos;
  uint16_t JointMaxCur;
  uint16_t JointMaxSpeed;
  uint16_t JointMaxAcc;

  int32_t JointMINPos;
  int32_t JointMAXPos;
  uint16_t JointSEVLock;
  uint16_t JointCurP;
  uint16_t JointCurI;
  uint16_t JointCurD;
  uint16_t JointSpeedP;
  uint16_t JointSpeedI;
  uint16_t JointSpeedD;
  uint16_t JointSpeedDS;
  uint16_t JointPosP;
  uint16_t JointPosI;
  uint16_t JointPosD;
  uint16_t JointPosDS;
};

struct RobotGravityComponent {
  float x;
  float y;
  float z;
};

// Field names match the set-joint-offset message, so the codec maps them
// one to one.
struct RobotJointOffset {
  double joint1;
  double joint2;
  double joint3;
  double joint4;
  double joint5;
  double joint6;
};

enum RobotState : int { RobotStopped = 0, RobotRunning = 1, RobotPaused = 2, RobotResumed = 3 };

enum RobotWorkMode : int { RobotModeSimulator = 0, RobotModeReal = 1 };

enum ROBOT_SERVICE_STATE : int {
  ROBOT_SERVICE_READY = 0,
  ROBOT_SERVICE_STARTING = 1,
  ROBOT_SERVICE_WORKING = 2,
  ROBOT_SERVICE_CLOSING = 3,
  ROBOT_SERVICE_CLOSED = 4,
  ROBOT_SETVICE_FAULT_POWER = 5,
  ROBOT_SETVICE_FAULT_BRAKE = 6,
  ROBOT_SETVICE_FAULT_NO_ROBOT = 7,
  ROBOT_SETVICE_FAULT_SAFEGUARD_STOP = 8
};

enum CollisionMode : int { CollisionMode_Free = 0, CollisionMode_Stuck = 1 };

enum RobotMoveControlCommand : int { RobotMoveStop = 0, RobotMovePause = 1, RobotMoveContinue = 2 };

enum Robot_Dyn_identify_traj : int {
  Dyn_identify_traj_none = 0,
  Dyn_identify_traj_robot = 1,
  Dyn_identify_traj_tool = 2,
  Dyn_identify_traj_tool_abort = 3
};

enum update_board_firmware_cmd : int {
  update_master_board_firmware_trans_start = 1,
  update_master_board_firmware_trans_data = 2,
  update_master_board_firmware_trans_end = 3,
  update_slave_board_firmware_trans_start = 4,
  update_slave_board_firmware_trans_data = 5,
  update_slave_board_firmware_trans_end = 6
};

enum RobotControlCommand : int {
  RobotRelease = 0,
  RobotBrake = 1,
  OverspeedWarning = 2,
  OverspeedRecover = 3,
  DisableForceControl = 4,
  EnableForceControl = 5,
  OrpeOpen = 6,
  OrpeClose = 7,
  EnableReadPose = 8,
  DisableReadPose = 9,
  MountingPoseChanged = 10,
  MountingPoseUnChanged = 11,
  EnableStaticCollisionDetect = 12,
  DisableStaticCollisionDetect = 13,
  ClearSingularityOverSpeedAlarm = 14,
  ClearRobotCurrentAlarm = 15
};

// The values are the controller's model numbers and are not consecutive:
// never iterate the models by incrementing a value.
enum RobotType : int {
  ROBOT_M01 = 0,
  ROBOT_M02 = 1,
  ROBOT_M03 = 2,
  ROBOT_M04 = 3,
  ROBOT_M05 = 4,
  ROBOT_M06 = 5,
  ROBOT_M07 = 501,
  ROBOT_M08 = 502,
  ROBOT_M09 = 503,
  ROBOT_M10 = 6,
  ROBOT_M11 = 7,
  ROBOT_M12 = 8,
  ROBOT_M13 = 9,
  ROBOT_M14 = 901,
  ROBOT_M15 = 902,
  ROBOT_M16 = 10,
  ROBOT_M17 = 11,
  ROBOT_M18 = 12,
  ROBOT_M19 = 20
};

// Seam-tracking parameters exchanged with the controller.
struct SeamTracking {
  bool trackEnable;
  wayPoint_S currentRoadPoint;
  wayPoint_S nextRoadPoint;
  int timeInterval;
  double currentPosError[3];
  double maxVel;
  double maxAcc;
  bool paraChanged;
};

// Tool force/torque reading, the six components as the controller sends them.
struct ForceSensorData {
  double data[6];
};

}  // namespace ruko_robot_namespace

// Global records: applications name them without the namespace.

struct TcpParam {
  float positionX;
  float positionY;
  float positionZ;
  float payload;
};

struct RobotTcpParam {
  TcpParam paramAutorun;
  TcpParam paramManual;
};

struct RobotCollisionCurrent {
  uint16_t JointCollisionCurrent[6][4];
  uint8_t CollisionClass;
};

// Callbacks from the library to the application; `arg` is the pointer the
// application registered with the callback. The log callback type,
// RobotLogPrintCallback, is declared with the log levels in robot_error.h.
typedef void (*RealTimeJointStatusCallback)(const ruko_robot_namespace::JointStatus* statuses, int count, void* arg);
typedef void (*RealTimeRoadPointCallback)(const ruko_robot_namespace::wayPoint_S* wayPoint, void* arg);
typedef void (*RealTimeEndSpeedCallback)(double speed, void* arg);
typedef void (*RealTimeMovepStepNumNotifyCallback)(int stepNumber, void* arg);
typedef void (*RobotEventCallback)(const ruko_robot_namespace::RobotEventInfo* event, void* arg);

#endif  // RUKO_SDK_ROBOT_STATUS_TYPES_H
