// The facade's controller status and configuration families: most forward to one controller service; the
// tool dynamics, collision, safety configuration and joint-parameter methods add their own step.
#include <cfloat>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "facade/serviceinterface_impl.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/log.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;

namespace {

// Single precision holds every finite value up to FLT_MAX; anything else has no float to become.
bool fitsFloat(double value) { return std::isfinite(value) && std::fabs(value) <= FLT_MAX; }

// The controller knows the tool only by its centre of mass and payload, the same for automatic and manual
// operation. False (nothing to send) for values single precision cannot hold.
bool toTcpParam(const ToolDynamicsParam& tool, RobotTcpParam& tcpParam) {
  if (!fitsFloat(tool.positionX) || !fitsFloat(tool.positionY) || !fitsFloat(tool.positionZ) ||
      !fitsFloat(tool.payload)) {
    ruko::logPrint(LL_ERROR, "sdk log: Tool dynamics out of range (not finite or beyond single precision).");
    return false;
  }
  const TcpParam half{static_cast<float>(tool.positionX), static_cast<float>(tool.positionY),
                      static_cast<float>(tool.positionZ), static_cast<float>(tool.payload)};
  tcpParam.paramAutorun = half;
  tcpParam.paramManual = half;
  return true;
}

bool robotSafetyConfigIsEqual(const RobotSafetyConfig& a, const RobotSafetyConfig& b) {
  for (int i = 0; i < 6; ++i) {
    if (a.robotReducedConfigJointSpeed[i] != b.robotReducedConfigJointSpeed[i]) {
      return false;
    }
  }
  return a.robotOperationalModeConfig == b.robotOperationalModeConfig &&
         a.robotReducedConfigMomentum == b.robotReducedConfigMomentum &&
         a.robotReducedConfigPower == b.robotReducedConfigPower &&
         a.robotReducedConfigTcpForce == b.robotReducedConfigTcpForce &&
         a.robotReducedConfigTcpSpeed == b.robotReducedConfigTcpSpeed &&
         a.robotSafeguradResetConfig == b.robotSafeguradResetConfig;
}

// Interface boards V3.1 and later, or V4 and later, take a safety configuration. The revision is the fixed
// 16-character field, zero after its text: "V3" has no minor digit and does not qualify.
bool boardTakesSafetyConfig(const RobotDevInfo& devInfo) {
  const char* revision = devInfo.revision;
  return (revision[1] == '3' && revision[3] > '0') || revision[1] > '3';
}

constexpr int kSafetyConfigReadBacks = 6;

}  // namespace

// ---- Controller control and status --------------------------------------------------------------------------

int ServiceInterface::rootServiceRobotControl(RobotControlCommand cmd) { return m_impl->base().robotControlService(cmd); }

int ServiceInterface::robotServicePowerControl(bool value) { return m_impl->base().armPowerControlService(value); }

int ServiceInterface::robotServiceReleaseBrake() { return m_impl->base().rootReleaseBrake(); }

int ServiceInterface::rootServiceRobotStartup(const ToolDynamicsParam& toolDynamicsParam, uint8_t collisionClass,
                                              bool readPose, bool staticCollisionDetect, int boardBaxAcc,
                                              ROBOT_SERVICE_STATE& result, bool IsBolck) {
  RobotTcpParam tcpParam{};
  if (!toTcpParam(toolDynamicsParam, tcpParam)) {
    return ErrCode_ParamError;
  }
  return m_impl->base().robotStartupService(tcpParam, collisionClass, readPose, staticCollisionDetect, boardBaxAcc,
                                            result, IsBolck);
}

int ServiceInterface::robotServiceRobotShutdown(bool IsBolck) { return m_impl->base().robotShutdownService(IsBolck); }

int ServiceInterface::robotServiceSetToolDynamicsParam(const ToolDynamicsParam& toolDynamicsParam) {
  RobotTcpParam tcpParam{};
  if (!toTcpParam(toolDynamicsParam, tcpParam)) {
    return ErrCode_ParamError;
  }
  return m_impl->base().setTcpParamService(tcpParam);
}

int ServiceInterface::robotServiceSetNoneToolDynamicsParam() {
  return robotServiceSetToolDynamicsParam(ToolDynamicsParam{});
}

int ServiceInterface::robotServiceGetToolDynamicsParam(ToolDynamicsParam& toolDynamicsParam) {
  RobotTcpParam tcpParam{};
  const int result = m_impl->base().getTcpParamService(tcpParam);
  if (result == ErrnoSucc) {
    toolDynamicsParam = ToolDynamicsParam{};
    toolDynamicsParam.positionX = tcpParam.paramAutorun.positionX;
    toolDynamicsParam.positionY = tcpParam.paramAutorun.positionY;
    toolDynamicsParam.positionZ = tcpParam.paramAutorun.positionZ;
    toolDynamicsParam.payload = tcpParam.paramAutorun.payload;
  }
  return result;
}

int ServiceInterface::robotServiceGetRobotWorkMode(RobotWorkMode& mode) {
  return m_impl->base().getRobotWorkModeService(mode);
}

int ServiceInterface::robotServiceSetRobotWorkMode(RobotWorkMode mode) {
  return m_impl->base().setRobotWorkModeService(mode);
}

int ServiceInterface::robotServiceSetEnableForceTeachWhenProjectIsRunning(bool enable) {
  return m_impl->base().setEnableForceTeachWhenProjectIsRunning(enable);
}

int ServiceInterface::robotServiceGetRobotGravityComponent(RobotGravityComponent& gravityComponent) {
  return m_impl->base().getRobotGravityComponent(gravityComponent);
}

int ServiceInterface::robotServiceSetRobotCollisionClass(int grade, CollisionMode mode) {
  if (grade < 0 || grade > 31) {
    ruko::logPrint(LL_ERROR, "robotServiceSetRobotCollisionClass: grade should be 0~31, invalid input %d", grade);
    return ErrCode_Failed;
  }
  // Unsigned: a mode outside the enumeration must not make the shift undefined.
  const unsigned packed = static_cast<unsigned>(grade) | (static_cast<unsigned>(mode) << 5);
  return robotServiceSetRobotCollisionClass(static_cast<int>(packed));
}

int ServiceInterface::robotServiceSetRobotCollisionClass(int grade) {
  return m_impl->base().setRobotCollisionClassService(grade);
}

int ServiceInterface::robotServiceGetRobotCollisionCurrentService(int& grade) {
  RobotCollisionCurrent current{};
  const int result = m_impl->base().getRobotCollisionCurrentService(current);
  grade = current.CollisionClass & 0x1F;
  return result;
}

int ServiceInterface::robotServiceGetRobotDevInfoService(RobotDevInfo& devInfo) {
  return m_impl->base().getRobotDevInfoService(devInfo);
}

int ServiceInterface::robotServiceSetRobotMaxACC(int /*maxAcc*/) { return ErrnoSucc; }

int ServiceInterface::robotServiceCollisionRecover() { return m_impl->base().collisionRecover(); }

int ServiceInterface::robotServiceJointPosRecover(bool confirm) { return m_impl->base().robotJointPosRecover(confirm); }

int ServiceInterface::robotServiceGetRobotCurrentState(RobotState& state) {
  return m_impl->base().getRobotCurrentStateService(state);
}

int ServiceInterface::robotServiceGetMacCommunicationStatus(bool& value) {
  value = true;
  return ErrnoSucc;
}

int ServiceInterface::robotServiceGetIsRealRobotExist(bool& value) { return m_impl->base().getIsRealRobotExist(value); }

int ServiceInterface::robotServiceGetJoint6Rotate360EnableFlag(bool& value) {
  return m_impl->base().getJoint6Rotate360EnableFlag(value);
}

int ServiceInterface::robotServiceGetRobotJointStatus(JointStatus* jointStatus, int size) {
  return m_impl->base().getRobotJointStatus(jointStatus, size);
}

int ServiceInterface::robotServiceGetRobotDiagnosisInfo(RobotDiagnosis& robotDiagnosis) {
  return m_impl->base().getRobotDiagnosisInfo(robotDiagnosis);
}

int ServiceInterface::robotServiceGetJointAngleInfo(JointParam& jointParam) {
  return m_impl->base().getCurrentJointAngle(jointParam);
}

int ServiceInterface::robotServiceGetCorrectedWaypoint(const wayPoint_S& sourceWaypoint, wayPoint_S& targetWaypoint) {
  return m_impl->base().getCorrectedWaypoint(sourceWaypoint, targetWaypoint);
}

// ---- Safety ---------------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceSetRobotAtOriginPose() { return m_impl->base().setRobotAtOriginPoseService(); }

int ServiceInterface::robotServiceSetRobotOrpePause(uint8_t data) { return m_impl->base().setRobotOrpePause(data); }

int ServiceInterface::robotServiceSetRobotOrpeStop(uint8_t data) { return m_impl->base().setRobotOrpeStop(data); }

int ServiceInterface::robotServiceSetRobotProjectStartup() { return m_impl->base().setRobotOrpeStop(0); }

int ServiceInterface::robotServiceSetRobotProjectStop() { return m_impl->base().setRobotOrpeStop(1); }

int ServiceInterface::robotServiceSetRobotOrpeError(uint8_t* data, int len) {
  return m_impl->base().setRobotOrpeError(data, len);
}

int ServiceInterface::robotServiceClearSystemEmergencyStop(uint8_t data) {
  return m_impl->base().clearSystemEmergencyStop(data);
}

int ServiceInterface::robotServiceClearReducedModeError(uint8_t data) {
  return m_impl->base().clearReducedModeError(data);
}

int ServiceInterface::robotServiceRobotSafetyguardResetSucc(uint8_t data) {
  return m_impl->base().robotSafetyguardResetSucc(data);
}

int ServiceInterface::robotServiceGetRobotSafetyConfig(RobotSafetyConfig& safetyConfig) {
  return m_impl->base().getRobotSafetyConfig(safetyConfig);
}

int ServiceInterface::robotServiceSetRobotSafetyConfig(const RobotSafetyConfig& safetyConfig) {
  RobotDevInfo devInfo{};
  const int devInfoResult = robotServiceGetRobotDevInfoService(devInfo);
  if (devInfoResult != ErrnoSucc) {
    // Without the revision nothing is known about the board: saying 0 would report a configuration that was
    // never sent as applied.
    return devInfoResult;
  }
  if (!boardTakesSafetyConfig(devInfo)) {
    return ErrnoSucc;
  }
  const int setResult = m_impl->base().setRobotSafetyConfig(safetyConfig);
  if (setResult != ErrnoSucc) {
    return setResult;
  }
  for (int attempt = 1; attempt <= kSafetyConfigReadBacks; ++attempt) {
    RobotSafetyConfig readBack{};
    if (m_impl->base().getRobotSafetyConfig(readBack) == ErrnoSucc && robotSafetyConfigIsEqual(readBack, safetyConfig)) {
      return ErrnoSucc;
    }
    if (attempt < kSafetyConfigReadBacks) {
      std::this_thread::sleep_for(ruko::timing().safetyConfigRetryPause);
    }
  }
  return ErrCode_Failed;
}

int ServiceInterface::robotServiceGetOrpeSafetyStatus(OrpeSafetyStatus& safetyStatus) {
  return m_impl->base().getOrpeSafetyStatus(safetyStatus);
}

// ---- Firmware, names, versions, joint offset ------------------------------------------------------------------

int ServiceInterface::robotServiceUpdateRobotBoardFirmware(update_board_firmware_cmd cmd, const void* data,
                                                           uint16_t length) {
  return m_impl->base().updateRobotBoardFirmwareService(cmd, data, length);
}

int ServiceInterface::robotServiceGetBoardFirmwareUpdateResultService(bool& value) {
  return m_impl->base().getBoardFirmwareUpdateResultService(value);
}

int ServiceInterface::robotServiceGetRobotEthernetDeviceName(std::string& ethernetDeviceName) {
  return m_impl->base().getRobotEthernetDeviceNameService(ethernetDeviceName);
}

int ServiceInterface::robotServiceGetServerVersionInfo(std::string& versionInfo) {
  return m_impl->base().getServerVersionInfoService(versionInfo);
}

int ServiceInterface::robotServiceSetRobotJointOffset(RobotJointOffset& jointOffset) {
  return m_impl->base().setRobotJointOffsetService(jointOffset);
}

// ---- Joint drive data -----------------------------------------------------------------------------------------
// Each tuning value has its fixed index in the controller's joint-parameter request.

int ServiceInterface::robotServiceGetJointCommonData(JointCommonData* jointCommonData, int size) {
  return m_impl->base().getJointCommonData(jointCommonData, size);
}

int ServiceInterface::robotServiceSetJointParam_CurrentIP(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(0, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_CurrentII(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(1, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_CurrentID(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(2, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_SpeedP(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(3, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_SpeedI(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(4, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_SpeedD(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(5, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_SpeedDS(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(6, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_PosP(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(7, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_PosI(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(8, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_PosD(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(9, jointID, value);
}

int ServiceInterface::robotServiceSetJointParam_PosDS(int jointID, uint16_t value) {
  return m_impl->base().setJointParamService(10, jointID, value);
}

int ServiceInterface::robotServiceJointSaveDataFlash(int jointID) {
  return m_impl->base().jointSaveDataFlashService(jointID);
}

// ---- Arm parameters -------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceSetRobotBaseParameters(const RobotBaseParameters& baseParameters) {
  return m_impl->base().setRobotBaseParameters(baseParameters);
}

int ServiceInterface::robotServiceGetRobotBaseParameters(RobotBaseParameters& baseParameters) {
  return m_impl->base().getRobotBaseParameters(baseParameters);
}

int ServiceInterface::robotServiceSetRobotJointsParameter(const RobotJointsParameter& jointsParameter) {
  return m_impl->base().setRobotJointsParameter(jointsParameter);
}

int ServiceInterface::robotServiceGetRobotJointsParameter(RobotJointsParameter& jointsParameter) {
  return m_impl->base().getRobotJointsParameter(jointsParameter);
}

int ServiceInterface::robotServiceRefreshRobotArmParamter() { return m_impl->base().refreshRobotArmParamter(); }

// ---- Identification -------------------------------------------------------------------------------------------

int ServiceInterface::getDynIdentifyResultsService(std::vector<int>& paramVector) {
  return m_impl->base().getDynIdentifyResultsService(paramVector);
}
