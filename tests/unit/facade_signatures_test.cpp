// The facade's signatures are part of the library's ABI: an application compiled against one release
// must link against the next. Every method is taken here by address with its exact type, so a drifting
// parameter, result, overload set or static-ness fails the build. Nothing here runs.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

namespace {

using namespace ruko_robot_namespace;
using SI = ServiceInterface;

// Accepts only a pointer of exactly type T: function pointers do not convert into each other, and an
// overloaded name resolves to the one overload of that type or to nothing. The check is the conversion
// of the argument; the pointer's value is never looked at (comparing a function's address is no
// constant expression under the sanitizers).
template <typename T>
constexpr bool exact(T) {
  return true;
}

// ---- Class shape: one opaque pointer, neither copied nor moved ---------------------------------------

static_assert(sizeof(SI) == sizeof(void*), "the public class holds one pointer and nothing else");
static_assert(std::is_default_constructible_v<SI>);
static_assert(!std::is_copy_constructible_v<SI> && !std::is_copy_assignable_v<SI>);
static_assert(!std::is_move_constructible_v<SI> && !std::is_move_assignable_v<SI>);
static_assert(!std::is_polymorphic_v<SI>, "no vtable: adding a virtual later would change the layout");

// ---- Log output and error text -------------------------------------------------------------------------

static_assert(exact<int (SI::*)(RobotLogPrintCallback, void*)>(&SI::robotServiceRegisterLogPrintCallback));
static_assert(exact<std::string (*)(RobotErrorCode)>(&SI::getErrDescByCode));

// ---- Record initialisers -------------------------------------------------------------------------------

static_assert(exact<void (*)(Pos&)>(&SI::initPosDataType));
static_assert(exact<void (*)(Ori&)>(&SI::initOriDataType));
static_assert(exact<void (*)(MoveRelative&)>(&SI::initMoveRelativeDataType));
static_assert(exact<void (*)(wayPoint_S&)>(&SI::initWayPointDataType));
static_assert(exact<void (*)(ToolInEndDesc&)>(&SI::initToolInEndDescDataType));
static_assert(exact<void (*)(CoordCalibrateByJointAngleAndTool&)>(&SI::initCoordCalibrateByJointAngleAndToolDataType));
static_assert(exact<void (*)(ToolInertia&)>(&SI::initToolInertiaDataType));
static_assert(exact<void (*)(ToolDynamicsParam&)>(&SI::initToolDynamicsParamDataType));

// ---- Kinematics and rotations --------------------------------------------------------------------------

static_assert(exact<int (*)(const double*, int, wayPoint_S&)>(&SI::robotServiceRobotFk));
static_assert(exact<int (*)(const double*, const Pos&, const Ori&, wayPoint_S&)>(&SI::robotServiceRobotIk));
static_assert(exact<int (*)(const Pos&, const Ori&, std::vector<wayPoint_S>&)>(&SI::robotServiceRobotIk));
static_assert(exact<int (*)(const Ori&, Rpy&)>(&SI::quaternionToRPY));
static_assert(exact<int (*)(const Rpy&, Ori&)>(&SI::RPYToQuaternion));
static_assert(exact<int (*)(double*, Ori&)>(&SI::robotServiceOriMatrixToQuaternion));

// ---- Frame conversions ---------------------------------------------------------------------------------

static_assert(exact<int (*)(const Pos&, const Ori&, const CoordCalibrateByJointAngleAndTool&, const ToolInEndDesc&,
                            Pos&, Ori&)>(&SI::baseToUserCoordinate));
static_assert(exact<int (*)(const Pos&, const Ori&, const ToolInEndDesc&, Pos&, Ori&)>(&SI::baseToBaseAdditionalTool));
static_assert(exact<int (*)(const Pos&, const Ori&, const CoordCalibrateByJointAngleAndTool&, const ToolInEndDesc&,
                            Pos&, Ori&)>(&SI::userToBaseCoordinate));
static_assert(exact<int (*)(const Pos&, const CoordCalibrateByJointAngleAndTool&, Pos&)>(&SI::userCoordPointToBasePoint));
static_assert(exact<int (*)(Ori&, const Ori&, Ori&)>(&SI::endOrientation2ToolOrientation));
static_assert(exact<int (*)(Ori&, const Ori&, Ori&)>(&SI::toolOrientation2EndOrientation));

// ---- Text and filter helpers ---------------------------------------------------------------------------

static_assert(exact<std::string (*)(std::string)>(&SI::trim));
static_assert(exact<std::string (*)(const std::string&)>(&SI::removeSurplusSpaces));
static_assert(exact<bool (*)(std::string&, Pos&, Rpy&)>(&SI::StringToPositionAndRpy));
static_assert(exact<void (*)(double, double, double, double*)>(&SI::iir_low_filter_Init));
static_assert(exact<void (*)(double*, double*, double*, int)>(&SI::iir_low_filter_run));

// ---- Login, connection, pushes and callbacks -----------------------------------------------------------

static_assert(exact<int (SI::*)(const char*, int, const char*, const char*)>(&SI::robotServiceLogin));
static_assert(exact<int (SI::*)(const char*, int, const char*, const char*, RobotType&, RobotDhPara&)>(
    &SI::robotServiceLogin));
static_assert(exact<int (SI::*)()>(&SI::robotServiceLogout));
static_assert(exact<void (SI::*)(bool&)>(&SI::robotServiceGetConnectStatus));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceRobotHandShake));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceSetRealTimeJointStatusPush));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceSetRealTimeRoadPointPush));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceSetRealTimeEndSpeedPush));
static_assert(exact<int (SI::*)(RealTimeJointStatusCallback, void*)>(&SI::robotServiceRegisterRealTimeJointStatusCallback));
static_assert(exact<int (SI::*)(RealTimeRoadPointCallback, void*)>(&SI::robotServiceRegisterRealTimeRoadPointCallback));
static_assert(exact<int (SI::*)(RealTimeEndSpeedCallback, void*)>(&SI::robotServiceRegisterRealTimeEndSpeedCallback));
static_assert(exact<int (SI::*)(RobotEventCallback, void*)>(&SI::robotServiceRegisterRobotEventInfoCallback));
static_assert(exact<int (SI::*)(RealTimeMovepStepNumNotifyCallback, void*)>(
    &SI::robotServiceRegisterMovepStepNumNotifyCallback));

// ---- Controller control and status ---------------------------------------------------------------------

static_assert(exact<int (SI::*)(RobotControlCommand)>(&SI::rootServiceRobotControl));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServicePowerControl));
static_assert(exact<int (SI::*)()>(&SI::robotServiceReleaseBrake));
static_assert(exact<int (SI::*)(const ToolDynamicsParam&, uint8_t, bool, bool, int, ROBOT_SERVICE_STATE&, bool)>(
    &SI::rootServiceRobotStartup));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceRobotShutdown));
static_assert(exact<int (SI::*)(const ToolDynamicsParam&)>(&SI::robotServiceSetToolDynamicsParam));
static_assert(exact<int (SI::*)()>(&SI::robotServiceSetNoneToolDynamicsParam));
static_assert(exact<int (SI::*)(ToolDynamicsParam&)>(&SI::robotServiceGetToolDynamicsParam));
static_assert(exact<int (SI::*)(RobotWorkMode&)>(&SI::robotServiceGetRobotWorkMode));
static_assert(exact<int (SI::*)(RobotWorkMode)>(&SI::robotServiceSetRobotWorkMode));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceSetEnableForceTeachWhenProjectIsRunning));
static_assert(exact<int (SI::*)(RobotGravityComponent&)>(&SI::robotServiceGetRobotGravityComponent));
static_assert(exact<int (SI::*)(int, CollisionMode)>(&SI::robotServiceSetRobotCollisionClass));
static_assert(exact<int (SI::*)(int)>(&SI::robotServiceSetRobotCollisionClass));
static_assert(exact<int (SI::*)(int&)>(&SI::robotServiceGetRobotCollisionCurrentService));
static_assert(exact<int (SI::*)(RobotDevInfo&)>(&SI::robotServiceGetRobotDevInfoService));
static_assert(exact<int (SI::*)(int)>(&SI::robotServiceSetRobotMaxACC));
static_assert(exact<int (SI::*)()>(&SI::robotServiceCollisionRecover));
static_assert(exact<int (SI::*)(bool)>(&SI::robotServiceJointPosRecover));
static_assert(exact<int (SI::*)(RobotState&)>(&SI::robotServiceGetRobotCurrentState));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceGetMacCommunicationStatus));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceGetIsRealRobotExist));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceGetJoint6Rotate360EnableFlag));
static_assert(exact<int (SI::*)(JointStatus*, int)>(&SI::robotServiceGetRobotJointStatus));
static_assert(exact<int (SI::*)(RobotDiagnosis&)>(&SI::robotServiceGetRobotDiagnosisInfo));
static_assert(exact<int (SI::*)(JointParam&)>(&SI::robotServiceGetJointAngleInfo));
static_assert(exact<int (SI::*)(const wayPoint_S&, wayPoint_S&)>(&SI::robotServiceGetCorrectedWaypoint));

// ---- Safety --------------------------------------------------------------------------------------------

static_assert(exact<int (SI::*)()>(&SI::robotServiceSetRobotAtOriginPose));
static_assert(exact<int (SI::*)(uint8_t)>(&SI::robotServiceSetRobotOrpePause));
static_assert(exact<int (SI::*)(uint8_t)>(&SI::robotServiceSetRobotOrpeStop));
static_assert(exact<int (SI::*)()>(&SI::robotServiceSetRobotProjectStartup));
static_assert(exact<int (SI::*)()>(&SI::robotServiceSetRobotProjectStop));
static_assert(exact<int (SI::*)(uint8_t*, int)>(&SI::robotServiceSetRobotOrpeError));
static_assert(exact<int (SI::*)(uint8_t)>(&SI::robotServiceClearSystemEmergencyStop));
static_assert(exact<int (SI::*)(uint8_t)>(&SI::robotServiceClearReducedModeError));
static_assert(exact<int (SI::*)(uint8_t)>(&SI::robotServiceRobotSafetyguardResetSucc));
static_assert(exact<int (SI::*)(RobotSafetyConfig&)>(&SI::robotServiceGetRobotSafetyConfig));
static_assert(exact<int (SI::*)(const RobotSafetyConfig&)>(&SI::robotServiceSetRobotSafetyConfig));
static_assert(exact<int (SI::*)(OrpeSafetyStatus&)>(&SI::robotServiceGetOrpeSafetyStatus));

// ---- Firmware, names, versions, joint offset -----------------------------------------------------------

static_assert(exact<int (SI::*)(update_board_firmware_cmd, const void*, uint16_t)>(
    &SI::robotServiceUpdateRobotBoardFirmware));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceGetBoardFirmwareUpdateResultService));
static_assert(exact<int (SI::*)(std::string&)>(&SI::robotServiceGetRobotEthernetDeviceName));
static_assert(exact<int (SI::*)(std::string&)>(&SI::robotServiceGetServerVersionInfo));
static_assert(exact<int (SI::*)(RobotJointOffset&)>(&SI::robotServiceSetRobotJointOffset));

// ---- Joint drive data ----------------------------------------------------------------------------------

static_assert(exact<int (SI::*)(JointCommonData*, int)>(&SI::robotServiceGetJointCommonData));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_CurrentIP));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_CurrentII));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_CurrentID));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_SpeedP));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_SpeedI));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_SpeedD));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_SpeedDS));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_PosP));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_PosI));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_PosD));
static_assert(exact<int (SI::*)(int, uint16_t)>(&SI::robotServiceSetJointParam_PosDS));
static_assert(exact<int (SI::*)(int)>(&SI::robotServiceJointSaveDataFlash));

// ---- Arm parameters and identification -----------------------------------------------------------------

static_assert(exact<int (SI::*)(const RobotBaseParameters&)>(&SI::robotServiceSetRobotBaseParameters));
static_assert(exact<int (SI::*)(RobotBaseParameters&)>(&SI::robotServiceGetRobotBaseParameters));
static_assert(exact<int (SI::*)(const RobotJointsParameter&)>(&SI::robotServiceSetRobotJointsParameter));
static_assert(exact<int (SI::*)(RobotJointsParameter&)>(&SI::robotServiceGetRobotJointsParameter));
static_assert(exact<int (SI::*)()>(&SI::robotServiceRefreshRobotArmParamter));
static_assert(exact<int (SI::*)(std::vector<int>&)>(&SI::getDynIdentifyResultsService));

// ---- Board I/O, tool I/O and tool power ----------------------------------------------------------------

static_assert(exact<int (SI::*)(const std::vector<RobotIoType>&, std::vector<RobotIoDesc>&)>(
    &SI::robotServiceGetBoardIOConfig));
static_assert(exact<int (SI::*)(std::vector<RobotIoType>, std::vector<RobotIoDesc>&)>(
    &SI::robotServiceGetBoardIOStatus));
static_assert(exact<int (SI::*)(RobotIoType, std::string, double&)>(&SI::robotServiceGetBoardIOStatus));
static_assert(exact<int (SI::*)(RobotIoType, int, double&)>(&SI::robotServiceGetBoardIOStatus));
static_assert(exact<int (SI::*)(RobotIoType, std::string, double)>(&SI::robotServiceSetBoardIOStatus));
static_assert(exact<int (SI::*)(RobotIoType, int, double)>(&SI::robotServiceSetBoardIOStatus));
static_assert(exact<int (SI::*)(ToolPowerType)>(&SI::robotServiceSetToolPowerVoltageType));
static_assert(exact<int (SI::*)(ToolPowerType&)>(&SI::robotServiceGetToolPowerVoltageType));
static_assert(exact<int (SI::*)(double&)>(&SI::robotServiceGetToolPowerVoltageStatus));
static_assert(exact<int (SI::*)(ToolDigitalIOAddr, ToolIOType)>(&SI::robotServiceSetToolDigitalIOType));
static_assert(exact<int (SI::*)(ToolPowerType, ToolIOType, ToolIOType, ToolIOType, ToolIOType)>(
    &SI::robotServiceSetToolPowerTypeAndDigitalIOType));
static_assert(exact<int (SI::*)(std::vector<RobotIoDesc>&)>(&SI::robotServiceGetAllToolDigitalIOStatus));
static_assert(exact<int (SI::*)(std::vector<RobotIoDesc>&)>(&SI::robotServiceGetAllToolAIStatus));
static_assert(exact<int (SI::*)(std::string, double&)>(&SI::robotServiceGetToolIoStatus));
static_assert(exact<int (SI::*)(ToolDigitalIOAddr, IO_STATUS)>(&SI::robotServiceSetToolDOStatus));
static_assert(exact<int (SI::*)(std::string, IO_STATUS)>(&SI::robotServiceSetToolDOStatus));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceIsOnlineMode));
static_assert(exact<int (SI::*)(bool&)>(&SI::robotServiceIsOnlineMasterMode));

// ---- Global move profile -------------------------------------------------------------------------------

static_assert(exact<int (SI::*)()>(&SI::robotServiceInitGlobalMoveProfile));
static_assert(exact<int (SI::*)(const JointVelcAccParam&)>(&SI::robotServiceSetGlobalMoveJointMaxAcc));
static_assert(exact<int (SI::*)(const JointVelcAccParam&)>(&SI::robotServiceSetGlobalMoveJointMaxVelc));
static_assert(exact<void (SI::*)(JointVelcAccParam&)>(&SI::robotServiceGetGlobalMoveJointMaxAcc));
static_assert(exact<void (SI::*)(JointVelcAccParam&)>(&SI::robotServiceGetGlobalMoveJointMaxVelc));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetGlobalMoveEndMaxLineAcc));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetGlobalMoveEndMaxLineVelc));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetGlobalMoveEndMaxAngleAcc));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetGlobalMoveEndMaxAngleVelc));
static_assert(exact<void (SI::*)(double&)>(&SI::robotServiceGetGlobalMoveEndMaxLineAcc));
static_assert(exact<void (SI::*)(double&)>(&SI::robotServiceGetGlobalMoveEndMaxLineVelc));
static_assert(exact<void (SI::*)(double&)>(&SI::robotServiceGetGlobalMoveEndMaxAngleAcc));
static_assert(exact<void (SI::*)(double&)>(&SI::robotServiceGetGlobalMoveEndMaxAngleVelc));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetJerkAccRatio));
static_assert(exact<void (SI::*)(double&)>(&SI::robotServiceGetJerkAccRatio));
static_assert(exact<void (SI::*)()>(&SI::robotServiceClearGlobalWayPointVector));
static_assert(exact<int (SI::*)(const wayPoint_S&)>(&SI::robotServiceAddGlobalWayPoint));
static_assert(exact<int (SI::*)(const double*)>(&SI::robotServiceAddGlobalWayPoint));
static_assert(exact<void (SI::*)(std::vector<wayPoint_S>&)>(&SI::robotServiceGetGlobalWayPointVector));
static_assert(exact<float (SI::*)()>(&SI::robotServiceGetGlobalBlendRadius));
static_assert(exact<int (SI::*)(float)>(&SI::robotServiceSetGlobalBlendRadius));
static_assert(exact<double (SI::*)()>(&SI::robotServiceGetTrackPlaybackCycle));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetTrackPlaybackCycle));
static_assert(exact<int (SI::*)()>(&SI::robotServiceGetGlobalCircularLoopTimes));
static_assert(exact<void (SI::*)(int)>(&SI::robotServiceSetGlobalCircularLoopTimes));
static_assert(exact<int (SI::*)(const MoveRelative&)>(&SI::robotServiceSetMoveRelativeParam));
static_assert(exact<int (SI::*)(const MoveRelative&, const CoordCalibrateByJointAngleAndTool&)>(
    &SI::robotServiceSetMoveRelativeParam));
static_assert(exact<int (SI::*)()>(&SI::robotServiceSetNoArrivalAhead));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetArrivalAheadDistanceMode));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetArrivalAheadTimeMode));
static_assert(exact<int (SI::*)(double)>(&SI::robotServiceSetArrivalAheadBlendDistanceMode));
static_assert(exact<int (SI::*)(const CoordCalibrateByJointAngleAndTool&)>(&SI::robotServiceSetTeachCoordinateSystem));
static_assert(exact<int (SI::*)()>(&SI::robotServiceSetNoneToolKinematicsParam));
static_assert(exact<int (SI::*)(const ToolInEndDesc&)>(&SI::robotServiceSetToolKinematicsParam));
static_assert(exact<int (SI::*)(ToolInEndDesc&)>(&SI::robotServiceGetToolKinematicsParam));

// ---- Moves and move control ----------------------------------------------------------------------------

static_assert(exact<int (SI::*)(wayPoint_S&, bool)>(&SI::robotServiceJointMove));
static_assert(exact<int (SI::*)(double*, bool)>(&SI::robotServiceJointMove));
static_assert(exact<int (SI::*)(MoveProfile_t&, double*, bool)>(&SI::robotServiceJointMove));
static_assert(exact<int (SI::*)(double*)>(&SI::robotServiceFollowModeJointMove));
static_assert(exact<int (SI::*)(wayPoint_S&, bool)>(&SI::robotServiceLineMove));
static_assert(exact<int (SI::*)(double*, bool)>(&SI::robotServiceLineMove));
static_assert(exact<int (SI::*)(MoveProfile_t&, double*, bool)>(&SI::robotServiceLineMove));
static_assert(exact<int (SI::*)(move_track, bool)>(&SI::robotServiceTrackMove));
static_assert(exact<int (SI::*)(wayPoint_S&)>(&SI::robotServiceGetCurrentWaypointInfo));
static_assert(exact<int (SI::*)(RobotMoveControlCommand)>(&SI::rootServiceRobotMoveControl));
static_assert(exact<int (SI::*)()>(&SI::robotMoveFastStop));
static_assert(exact<int (SI::*)()>(&SI::robotMoveStop));

}  // namespace

// ---- Reduced mode ------------------------------------------------------------------------------------

static_assert(exact<bool (SI::*)()>(&SI::robotServiceEnterRobotReduceMode));
static_assert(exact<bool (SI::*)()>(&SI::robotServiceExitRobotReduceMode));
