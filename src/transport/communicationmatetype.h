#ifndef RUKO_TRANSPORT_COMMUNICATIONMATETYPE_H
#define RUKO_TRANSPORT_COMMUNICATIONMATETYPE_H

#include <map>
#include <string>

// The command types 0 to 117 are the ones that carry a description, and the
// description is the enumerator's own name; listing them once keeps the wire
// value and the logged name from drifting apart.
#define RUKO_DESCRIBED_COMMAND_TYPES(X)                            \
  X(CommunicationType_Login, 0)                                    \
  X(CommunicationType_Logout, 1)                                   \
  X(CommunicationType_Event, 2)                                    \
  X(CommunicationType_RealTimeJointStatus, 3)                      \
  X(CommunicationType_EnableRealTimeJointStatusPush, 4)            \
  X(CommunicationType_DisableRealTimeJointStatusPush, 5)           \
  X(CommunicationType_GetRobotJointStatus, 6)                      \
  X(CommunicationType_RealTimeRobotJointAngle, 7)                  \
  X(CommunicationType_EnableRealTimeJointAnglePush, 8)             \
  X(CommunicationType_DisableRealTimeJointAnglePush, 9)            \
  X(CommunicationType_GetRobotJointAngle, 10)                      \
  X(CommunicationType_RealTimeRobotEndSpeed, 11)                   \
  X(CommunicationType_EnableRealTimeEndSpeedPush, 12)              \
  X(CommunicationType_DisableRealTimeEndSpeedPush, 13)             \
  X(CommunicationType_RealTimeRobotDiagnosis, 14)                  \
  X(CommunicationType_GetRobotDiagnosis, 15)                       \
  X(CommunicationType_RobotStartup, 16)                            \
  X(CommunicationType_RobotShutdown, 17)                           \
  X(CommunicationType_RobotControl, 18)                            \
  X(CommunicationType_CollisionRecover, 19)                        \
  X(CommunicationType_SetRobotPowerStatus, 20)                     \
  X(CommunicationType_SetRobotReleaseBrake, 21)                    \
  X(CommunicationType_RobotMove, 22)                               \
  X(CommunicationType_RobotTeachMoveStart, 23)                     \
  X(CommunicationType_RobotTeachMoveStop, 24)                      \
  X(CommunicationType_RobotMoveControl, 25)                        \
  X(CommunicationType_GetRobotCurrentState, 26)                    \
  X(CommunicationType_SetRobotTcpParam, 27)                        \
  X(CommunicationType_GetRobotTcpParam, 28)                        \
  X(CommunicationType_SetToolDynamicsParam, 29)                    \
  X(CommunicationType_GetToolDynamicsParam, 30)                    \
  X(CommunicationType_SetToolKinematicsParam, 31)                  \
  X(CommunicationType_GetToolKinematicsParam, 32)                  \
  X(CommunicationType_SetRobotMode, 33)                            \
  X(CommunicationType_GetRobotMode, 34)                            \
  X(CommunicationType_GetRobotGravityComponent, 35)                \
  X(CommunicationType_GetRobotCollisionCurrent, 36)                \
  X(CommunicationType_GetIsRealRobotExist, 37)                     \
  X(CommunicationType_GetDeviceInfo, 38)                           \
  X(CommunicationType_SetMaxAcc, 39)                               \
  X(CommunicationType_SetRobotCollisionGrade, 40)                  \
  X(CommunicationType_GetInterfaceBoardAllDIData, 41)              \
  X(CommunicationType_GetInterfaceBoardAllDOData, 42)              \
  X(CommunicationType_GetInterfaceBoardAllAIData, 43)              \
  X(CommunicationType_GetInterfaceBoardAllAOData, 44)              \
  X(CommunicationType_GetInterfaceBoardAllData, 45)                \
  X(CommunicationType_GetInterfaceBoardOneDIStatus, 46)            \
  X(CommunicationType_GetInterfaceBoardOneDOStatus, 47)            \
  X(CommunicationType_GetInterfaceBoardOneAIStatus, 48)            \
  X(CommunicationType_GetInterfaceBoardOneAOStatus, 49)            \
  X(CommunicationType_SetInterfaceBoardOneDOStatus, 50)            \
  X(CommunicationType_SetInterfaceBoardOneAOStatus, 51)            \
  X(CommunicationType_GetToolPowerVoltageType, 52)                 \
  X(CommunicationType_SetToolPowerVoltageType, 53)                 \
  X(CommunicationType_SetToolPowerTypeAndDigitalIOType, 54)        \
  X(CommunicationType_SetToolDigitalIOType, 55)                    \
  X(CommunicationType_GetToolPowerVoltage, 56)                     \
  X(CommunicationType_GetToolAllDigitalIOStatus, 57)               \
  X(CommunicationType_GetToolAllAIStatus, 58)                      \
  X(CommunicationType_SetToolDigitalIOStatus, 59)                  \
  X(CommunicationType_SetRobotAtOriginPose, 60)                    \
  X(CommunicationType_GetRobotSafetyConfig, 61)                    \
  X(CommunicationType_SetRobotSafetyConfig, 62)                    \
  X(CommunicationType_GetOrpeSafetyStatus, 63)                     \
  X(CommunicationType_SafetyIoAbout_setRobotOrpePause, 64)         \
  X(CommunicationType_SafetyIoAbout_setRobotOrpeStop, 65)          \
  X(CommunicationType_SafetyIoAbout_setRobotOrpeError, 66)         \
  X(CommunicationType_SafetyIoAbout_clearSystemEmergencyStop, 67)  \
  X(CommunicationType_SafetyIoAbout_clearReducedModeError, 68)     \
  X(CommunicationType_SafetyIoAbout_robotSafetyguardResetSucc, 69) \
  X(CommunicationType_SystemHalt, 70)                              \
  X(CommunicationType_OfflineTrackWaypointAppend, 71)              \
  X(CommunicationType_OfflineTrackWaypointClear, 72)               \
  X(CommunicationType_OfflineTrackMoveStartup, 73)                 \
  X(CommunicationType_OfflineTrackMoveStop, 74)                    \
  X(CommunicationType_EnterTcp2CanbusMode, 75)                     \
  X(CommunicationType_LeaveTcp2CanbusMode, 76)                     \
  X(CommunicationType_SetRobotPosData2Canbus, 77)                  \
  X(CommunicationType_StartupOfflineExcitTraj, 78)                 \
  X(CommunicationType_GetDynIdentifyResults, 79)                   \
  X(CommunicationType_RobotHandShake, 80)                          \
  X(CommunicationType_GetToolAllIoStatus, 81)                      \
  X(CommunicationType_UpdateRobotBoardFirmware, 82)                \
  X(CommunicationType_FirmwareUpdateResult, 83)                    \
  X(CommunicationType_GetRobotEthernetDeviceName, 84)              \
  X(CommunicationType_RobotMoveFastStop, 85)                       \
  X(CommunicationType_RobotSetJointOffset, 86)                     \
  X(CommunicationType_getEnableJoint6Rot360Flag, 87)               \
  X(CommunicationType_RobotMoveControlType, 88)                    \
  X(CommunicationType_RobotMoveControlType_SlowStop, 89)           \
  X(CommunicationType_RobotMoveControlType_FastStop, 90)           \
  X(CommunicationType_RobotMoveControlType_Pause, 91)              \
  X(CommunicationType_RobotMoveControlType_Continue, 92)           \
  X(CommunicationType_setConveyorEncoderReset, 93)                 \
  X(CommunicationType_setConveyorStartup, 94)                      \
  X(CommunicationType_setConveyorStop, 95)                         \
  X(CommunicationType_setConveyorDir, 96)                          \
  X(CommunicationType_setRobotCameraCalib, 97)                     \
  X(CommunicationType_setConveyorVelc, 98)                         \
  X(CommunicationType_setEncoderValPerMeter, 99)                   \
  X(CommunicationType_setStartWindowUpstream, 100)                 \
  X(CommunicationType_setStartWindowDownstream, 101)               \
  X(CommunicationType_setConveyorTrackDownstream, 102)             \
  X(CommunicationType_enableConveyorTrack, 103)                    \
  X(CommunicationType_getConveyorEncoderVal, 104)                  \
  X(CommunicationType_appendObject2ConveyorTrackQueue, 105)        \
  X(CommunicationType_setRobotConveyorTrackMaxVelc, 106)           \
  X(CommunicationType_setRobotConveyorTrackMaxAcc, 107)            \
  X(CommunicationType_setRobotConveyorSystemDelay, 108)            \
  X(CommunicationType_setRobotTool, 109)                           \
  X(CommunicationType_setWeaveMoveParameters, 110)                 \
  X(CommunicationType_setJointRangeOfMotion, 111)                  \
  X(CommunicationType_setRobotRecognitionParam, 112)               \
  X(CommunicationType_getRobotRecognitionParam, 113)               \
  X(CommunicationType_getJointAngleFromController, 114)            \
  X(CommunicationType_communicationHeart, 115)                     \
  X(CommunicationType_setSeamTrackingParameters, 116)              \
  X(CommunicationType_getSeamTrackingParameters, 117)

class CommunicationMateType {
 public:
  // Values are wire values of the controller protocol: the underlying type is
  // fixed so that any number read off the wire converts without undefined behaviour.
  enum CommunicationCommandType : int {
// clang-format off
#define RUKO_COMMAND_TYPE_ENUMERATOR(name, value) name = value,
    RUKO_DESCRIBED_COMMAND_TYPES(RUKO_COMMAND_TYPE_ENUMERATOR)
#undef RUKO_COMMAND_TYPE_ENUMERATOR
    // clang-format on
    CommunicationType_getCorrectedWaypoint = 118,
    CommunicationType_getJointRangeOfMotion = 119,
    CommunicationType_SetEnableForceTeachWhenProjectIsRunning = 120,
    CommunicationType_getJointCommonData = 121,
    CommunicationType_setJointCommonData = 122,
    CommunicationType_jointSaveDataFlash = 123,
    CommunicationType_GetRobotVersionInfo = 124,
    CommunicationType_getEnableJoint1Rot360Flag = 125,
    CommunicationType_enterRobotReduceMode = 126,
    CommunicationType_exitRobotReduceMode = 127,
    CommunicationType_getForceSensorData = 128,
    CommunicationType_CalibToolAndSensor = 129,
    CommunicationType_EnableForceControlPlan = 130,
    CommunicationType_SetForceControlAttributes = 131,
    CommunicationType_ForceControlCalibrationZero = 132,
    CommunicationType_MovepProgressNotify = 133,
    CommunicationType_SlowStopAndBoardEvent = 134,
    CommunicationType_setRobotBaseParameter = 135,
    CommunicationType_getRobotBaseParameter = 136,
    CommunicationType_setRobotJointsParameter = 137,
    CommunicationType_getRobotJointsParameter = 138,
    CommunicationType_refreshRobotArmParamter = 139,
    CommunicationType_robotJointPosRecover = 140,
    CommunicationType_getRegulateSpeedModeConfig = 141,
    CommunicationType_setRegulateSpeedModeConfig = 142,
    CommunicationType_enableRegulateSpeedMode = 143,

    // Two generations of the protocol share 138 to 144; force control and the
    // MoveP joint range moved to 144 to 150 from server version 4010001 on.
    CommunicationType_enableForceControlMode = 138,
    CommunicationType_getForceControlModeAdmittancePatam = 139,
    CommunicationType_setForceControlModeAdmittancePatam = 140,
    CommunicationType_getForceControlModeExploreForceParam = 141,
    CommunicationType_setForceControlModeExploreForceParam = 142,
    CommunicationType_getMovePJointRangeLimitParam = 143,
    CommunicationType_setMovePJointRangeLimitParam = 144,

    CommunicationType_enableForceControlMode_V4010000 = 144,
    CommunicationType_getForceControlModeAdmittancePatam_V4010000 = 145,
    CommunicationType_setForceControlModeAdmittancePatam_V4010000 = 146,
    CommunicationType_getForceControlModeExploreForceParam_V4010000 = 147,
    CommunicationType_setForceControlModeExploreForceParam_V4010000 = 148,
    CommunicationType_getMovePJointRangeLimitParam_V4010000 = 149,
    CommunicationType_setMovePJointRangeLimitParam_V4010000 = 150,

    CommunicationType_setReduceParameter = 151,
    CommunicationType_getJointPositionLimit = 1000,
    CommunicationType_GetRobotForceSensorData = 2000,

    // One response slot per value below this bound: 2000 is the largest usable type.
    CommunicationTypeCount = 2001,
    // The type of an empty request or response record.
    CommunicationType_Unknown = 2002,
  };

  // The force-control and MoveP joint-range operations whose command number
  // depends on the server version. They are named by operation rather than by
  // command type because 138 to 143 also mean the older arm-parameter and
  // regulate-speed requests, which must never be renumbered.
  enum class VersionedCommand : int {
    EnableForceControlMode,
    GetForceControlModeAdmittanceParam,
    SetForceControlModeAdmittanceParam,
    GetForceControlModeExploreForceParam,
    SetForceControlModeExploreForceParam,
    GetMovePJointRangeLimitParam,
    SetMovePJointRangeLimitParam,
  };

  // First server version code that numbers the versioned commands from 144 on.
  static constexpr int S_versionedCommandRenumberedFrom = 4010001;

  static CommunicationMateType* instance();

  // A copy, so that callers may keep it beyond any later use of the catalogue.
  std::string getCommandDescByType(CommunicationCommandType type) const;

  static CommunicationCommandType versionedCommandType(VersionedCommand command, int serverVersionCode);

  CommunicationMateType(const CommunicationMateType&) = delete;
  CommunicationMateType& operator=(const CommunicationMateType&) = delete;

 private:
  CommunicationMateType();
  void initCommunicationCommandTypeDescMap();

  std::map<CommunicationCommandType, std::string> m_communicationCommandTypeDescMap;
};

typedef CommunicationMateType::CommunicationCommandType RobotCommandType;

#endif  // RUKO_TRANSPORT_COMMUNICATIONMATETYPE_H
