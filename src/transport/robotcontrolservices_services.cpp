// The controller's status and configuration services: each is one request through the typed call path.
#include <cstdio>
#include <thread>

#include "codec/protoencodedecode.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;
using PED = ProtoEncodeDecode;
using CMT = CommunicationMateType;

namespace {

// Binds the output of a resolver of the common form (body, length, output, server code).
template <class T>
auto into(bool (*resolve)(const char*, int, T&, int&), T& out) {
  return [resolve, &out](const char* data, int size, int& serverCode) { return resolve(data, size, out, serverCode); };
}

// Builders of an integer value list.
auto intList(std::vector<int> values) {
  return [values = std::move(values)](char** data, int* size) {
    return PED::getRequest_intTypeValueVector(data, size, values);
  };
}

}  // namespace

int RobotControlServices::sendBody(RobotCommandType type, const char* buildFailLine, bool built, char* body,
                                   int length) {
  if (!built) {
    delete[] body;
    ruko::logPrint(LL_ERROR, "%s", buildFailLine);
    return ErrCode_CreateRequestFailed;
  }
  return requestServiceOnlyCheckSendResultMode(type, body, length);
}

int RobotControlServices::decodeReply(int decodeFailCode, const char* decodeFailLine,
                                      bool decoded, int serverCode) {
  if (!decoded) {
    ruko::logPrint(LL_ERROR, "%s", decodeFailLine);
    return decodeFailCode;
  }
  return getErrCodeByServerResponse(serverCode);
}

int RobotControlServices::getTcpParamService(RobotTcpParam& tcpParam) {
  return callGet(CMT::CommunicationType_GetRobotTcpParam, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve tcpParam response failed.", into(&PED::resolveResponse_tcpParam, tcpParam));
}

int RobotControlServices::setTcpParamService(const RobotTcpParam& tcpParam) {
  return callSet(CMT::CommunicationType_SetRobotTcpParam, "sdk log: Make setTcpParam protobuf content failed.",
                 [&](char** d, int* s) { return PED::getRequest_tcpParam(d, s, tcpParam); });
}

int RobotControlServices::getToolDynamicsParamService(ToolDynamicsParam& param) {
  return callGet(CMT::CommunicationType_GetToolDynamicsParam, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve toolDynamicsParam response failed.",
                 into(&PED::resolveResponse_getToolDynamicsParam, param));
}

int RobotControlServices::setToolDynamicsParamService(const ToolDynamicsParam& param) {
  return callSet(CMT::CommunicationType_SetToolDynamicsParam,
                 "sdk log: Make RobotCmd_setToolDynamicsParam protobuf content failed.",
                 [&](char** d, int* s) { return PED::getRequest_setToolDynamicsParam(d, s, param); });
}

int RobotControlServices::setRobotCollisionClassService(int grade) {
  const int result =
      callSet(CMT::CommunicationType_SetRobotCollisionGrade,
              "sdk log: Make RobotCmd_setRobotCollisionGrade protobuf content failed.",
              [grade](char** d, int* s) { return PED::getRequest_setRobotCollision(d, s, grade); });
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Setting the robot collision level failed. ret = %d", result);
    return result;
  }
  for (int attempt = 1; attempt <= 3; ++attempt) {
    std::this_thread::sleep_for(ruko::timing().collisionReadbackPause);
    RobotCollisionCurrent current{};
    if (getRobotCollisionCurrentService(current) != ErrnoSucc) {
      ruko::logPrint(LL_WARN, "sdk log: get robot collision level failed, number times:%d", attempt);
    } else if (static_cast<int>(current.CollisionClass) == grade) {
      return ErrnoSucc;
    } else {
      ruko::logPrint(LL_WARN, "sdk log: Real-time robot collision level does not match expectations, number times:%d",
                     attempt);
    }
  }
  return ErrCode_Failed;
}

int RobotControlServices::getRobotCollisionCurrentService(RobotCollisionCurrent& current) {
  return callGet(CMT::CommunicationType_GetRobotCollisionCurrent, ErrCode_ResolveResponseFailed,
                 "sdk log: Resolve devInfo RobotCollisionCurrent failed.",
                 into(&PED::resolveResponse_collisionCurrent, current));
}

int RobotControlServices::getRobotWorkModeService(RobotWorkMode& mode) {
  return callGet(CMT::CommunicationType_GetRobotMode, ErrCode_ResolveResponseFailed,
                 "sdk log: Resolve robotWorkMode response failed.", into(&PED::resolveResponse_robotWorkMode, mode));
}

int RobotControlServices::setRobotWorkModeService(RobotWorkMode mode) {
  return callSet(CMT::CommunicationType_SetRobotMode, "sdk log: Make RobotCmd_setRobotMode protobuf content failed.",
                 [mode](char** d, int* s) { return PED::getRequest_setRobotWorkMode(d, s, mode); });
}

int RobotControlServices::setEnableForceTeachWhenProjectIsRunning(bool enable) {
  return callSet(CMT::CommunicationType_SetEnableForceTeachWhenProjectIsRunning,
                 "sdk log: Make setEnableForceTeachWhenProjectIsRunning protobuf content failed.",
                 intList({enable ? 1 : 0}));
}

int RobotControlServices::getRobotDevInfoService(RobotDevInfo& devInfo) {
  return callGet(CMT::CommunicationType_GetDeviceInfo, ErrCode_ResolveResponseFailed,
                 "sdk log: Resolve devInfo response failed.", into(&PED::resolveResponse_devInfo, devInfo));
}

int RobotControlServices::getRobotGravityComponent(RobotGravityComponent& component) {
  return callGet(CMT::CommunicationType_GetRobotGravityComponent, ErrCode_ResolveResponseFailed,
                 "sdk log: Resolve gravityComponent response failed.",
                 into(&PED::resolveResponse_gravityComponent, component));
}

int RobotControlServices::getRobotJointStatus(JointStatus* statuses, int count) {
  if (statuses == nullptr || count < 0) {
    ruko::logPrint(LL_ERROR, "sdk log: getRobotJointStatus: invalid output (null array or negative count %d).", count);
    return ErrCode_ParamError;
  }
  return callGet(CMT::CommunicationType_GetRobotJointStatus, ErrCode_ResolveResponseFailed,
                 "sdk log: Resolve jointStatus response failed.",
                 [statuses, count](const char* d, int s, int& code) {
                   return PED::resolveResponse_jointStatus(d, s, statuses, count, code);
                 });
}

int RobotControlServices::getCurrentJointAngle(JointParam& jointParam) {
  return callGet(CMT::CommunicationType_GetRobotJointAngle, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve jointAngle response failed.", into(&PED::resolveResponse_jointAngle, jointParam));
}

int RobotControlServices::getJointAngleFromController(JointParam& jointParam) {
  return callGet(CMT::CommunicationType_getJointAngleFromController, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve jointAngle response failed.", into(&PED::resolveResponse_jointAngle, jointParam));
}

int RobotControlServices::getForceSensorData(ForceSensorData& data) {
  return callGet(CMT::CommunicationType_GetRobotForceSensorData, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve tcp force sensor data response failed.",
                 into(&PED::resolveResponse_tcpforcesensorData, data));
}

int RobotControlServices::getCorrectedWaypoint(const wayPoint_S& source, wayPoint_S& target) {
  return callGet(
      CMT::CommunicationType_getCorrectedWaypoint, "sdk log: Make waypoint protobuf content failed.",
      [&source](char** d, int* s) { return PED::getRequest_roadpoint(d, s, source); }, ErrCode_ResolveResponseFailed,
      "sdk log: Resolve waypoint response failed.", into(&PED::resolveResponse_waypoint, target));
}

int RobotControlServices::getIsRealRobotExist(bool& exist) {
  return callGet(CMT::CommunicationType_GetIsRealRobotExist, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve isRobotExist response failed.", into(&PED::resolveResponse_isRealRobotExist, exist));
}

int RobotControlServices::collisionRecover() {
  ruko::logPrint(LL_INFO, "sdk log:user call collisionRecover");
  return callSet(CMT::CommunicationType_CollisionRecover);
}

int RobotControlServices::robotJointPosRecover(bool confirm) {
  return callSet(CMT::CommunicationType_robotJointPosRecover, "sdk log: Make robotJointPosRecover protobuf content failed.",
                 intList({confirm ? 1 : 0}));
}

int RobotControlServices::getRobotDiagnosisInfo(RobotDiagnosis& diagnosis) {
  return callGet(CMT::CommunicationType_GetRobotDiagnosis, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve DiagnosisInfo response failed.",
                 into(&PED::resolveResponse_robotDiagnosisInfo, diagnosis));
}

int RobotControlServices::getRobotCurrentStateService(RobotState& state) {
  return callGet(CMT::CommunicationType_GetRobotCurrentState, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve RobotCurrentState response failed.", into(&PED::resolveResponse_robotState, state));
}

int RobotControlServices::setRobotJointOffsetService(RobotJointOffset& offset) {
  return callSet(CMT::CommunicationType_RobotSetJointOffset, "sdk log: Make setRobotJointOffset protobuf content failed.",
                 [&offset](char** d, int* s) { return PED::getRequest_robotRobotJointOffsetData(d, s, offset); });
}

int RobotControlServices::getRobotSafetyConfig(RobotSafetyConfig& config) {
  return callGet(CMT::CommunicationType_GetRobotSafetyConfig, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve SafetyConfig response failed.", into(&PED::resolveResponse_safetyConfig, config));
}

int RobotControlServices::setRobotSafetyConfig(const RobotSafetyConfig& config) {
  return callSet(CMT::CommunicationType_SetRobotSafetyConfig,
                 "sdk log: Make setRobotSafetyConfig protobuf content failed.",
                 [&config](char** d, int* s) { return PED::getRequest_setSafetyConfig(d, s, config); });
}

int RobotControlServices::getOrpeSafetyStatus(OrpeSafetyStatus& status) {
  return callGet(CMT::CommunicationType_GetOrpeSafetyStatus, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve SafetyStatus response failed.", into(&PED::resolveResponse_safetyStatus, status));
}

int RobotControlServices::robotControlService(RobotControlCommand command) {
  return callSet(CMT::CommunicationType_RobotControl, "sdk log: Make RobotCmd_robotControl protobuf content failed.",
                 [command](char** d, int* s) { return PED::getRequest_robotControl(d, s, command); });
}

int RobotControlServices::armPowerControlService(bool on) {
  return callSet(CMT::CommunicationType_SetRobotPowerStatus, "sdk log: Make armPowerControl request failed.",
                 [on](char** d, int* s) { return PED::getRequest_setRobotPowerStatus(d, s, on); });
}

int RobotControlServices::rootReleaseBrake() { return callSet(CMT::CommunicationType_SetRobotReleaseBrake); }

int RobotControlServices::setRobotAtOriginPoseService() { return callSet(CMT::CommunicationType_SetRobotAtOriginPose); }

int RobotControlServices::safeIoAboutCommunication(RobotCommandType type, const std::vector<int>& values) {
  return callSet(type, "sdk log: Make safeIoAboutCommunication request failed.",
                 [&values](char** d, int* s) { return PED::getRequest_safeIoParamAbout(d, s, values); });
}

int RobotControlServices::setRobotOrpePause(uint8_t value) {
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_setRobotOrpePause, {value});
}

int RobotControlServices::setRobotOrpeStop(uint8_t value) {
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_setRobotOrpeStop, {value});
}

int RobotControlServices::setRobotOrpeError(const uint8_t* data, int length) {
  if ((data == nullptr && length != 0) || length < 0) {
    ruko::logPrint(LL_ERROR, "sdk log: setRobotOrpeError: invalid buffer (length %d).", length);
    return ErrCode_ParamError;
  }
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_setRobotOrpeError,
                                  std::vector<int>(data, data + length));
}

int RobotControlServices::clearSystemEmergencyStop(uint8_t value) {
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_clearSystemEmergencyStop, {value});
}

int RobotControlServices::clearReducedModeError(uint8_t value) {
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_clearReducedModeError, {value});
}

int RobotControlServices::robotSafetyguardResetSucc(uint8_t value) {
  return safeIoAboutCommunication(CMT::CommunicationType_SafetyIoAbout_robotSafetyguardResetSucc, {value});
}

int RobotControlServices::updateRobotBoardFirmwareService(update_board_firmware_cmd cmd, const void* data,
                                                          uint16_t length) {
  if (data == nullptr && length != 0) {
    ruko::logPrint(LL_ERROR, "sdk log: updateRobotBoardFirmwareService: null buffer of length %d.",
                   static_cast<int>(length));
    return ErrCode_ParamError;
  }
  return callSet(CMT::CommunicationType_UpdateRobotBoardFirmware,
                 "sdk log: Make RobotCmd_updateRobotBoardFirmware request failed.", [&](char** d, int* s) {
                   return PED::getRequest_firmwareUpgrade(d, s, static_cast<int>(cmd), data, length);
                 });
}

int RobotControlServices::getBoardFirmwareUpdateResultService(bool& result) {
  return callGet(CMT::CommunicationType_FirmwareUpdateResult, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve BoardFirmwareUpdateResult response failed.",
                 into(&PED::resolveResponse_isRealRobotExist, result));
}

int RobotControlServices::getRobotEthernetDeviceNameService(std::string& name) {
  return callGet(CMT::CommunicationType_GetRobotEthernetDeviceName, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve EthernetDeviceName response failed.",
                 into(&PED::resolveResponse_ethernetDeviceName, name));
}

int RobotControlServices::getServerVersionInfoService(std::string& version) {
  return callGet(CMT::CommunicationType_GetRobotVersionInfo, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve ServerVersionInfo response failed.",
                 into(&PED::resolveResponse_ethernetDeviceName, version));
}

int RobotControlServices::getJointCommonData(JointCommonData* data, int count) {
  if (data == nullptr || count < 0) {
    ruko::logPrint(LL_ERROR, "sdk log: getJointCommonData: invalid output (null array or negative count %d).", count);
    return ErrCode_ParamError;
  }
  std::vector<JointCommonData> list;
  const int result = callGet(CMT::CommunicationType_getJointCommonData, ErrCode_CreateRequestFailed,
                             "sdk log: Resolve jointCommonData response failed.",
                             into(&PED::resolveResponse_jointCommonData, list));
  const size_t copied = std::min(list.size(), static_cast<size_t>(count));
  std::copy(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(copied), data);
  return result;
}

int RobotControlServices::setJointParamService(int index, int joint, int value) {
  return callSet(CMT::CommunicationType_setJointCommonData,
                 "sdk log: Make setJointParamService protobuf content failed.", intList({index, joint, value}));
}

int RobotControlServices::jointSaveDataFlashService(int joint) {
  return callSet(CMT::CommunicationType_jointSaveDataFlash,
                 "sdk log: Make jointSaveDataFlashService protobuf content failed.", intList({joint}));
}

int RobotControlServices::setRobotBaseParameters(const RobotBaseParameters& param) {
  return callSet(CMT::CommunicationType_setRobotBaseParameter,
                 "sdk log: Make setRobotBaseParameters protobuf content failed.",
                 [&param](char** d, int* s) { return PED::makeRequest_ProtoRobotBaseParameter(d, s, param); });
}

int RobotControlServices::getRobotBaseParameters(RobotBaseParameters& param) {
  return callGet(CMT::CommunicationType_getRobotBaseParameter, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve RobotBaseParameters response failed.",
                 into(&PED::ParseResponse_ProtoRobotBaseParameter, param));
}

int RobotControlServices::setRobotJointsParameter(const RobotJointsParameter& param) {
  return callSet(CMT::CommunicationType_setRobotJointsParameter,
                 "sdk log: Make setRobotJointsParameter protobuf content failed.",
                 [&param](char** d, int* s) { return PED::makeRequest_ProtoRobotJointsParameter(d, s, param); });
}

int RobotControlServices::getRobotJointsParameter(RobotJointsParameter& param) {
  return callGet(CMT::CommunicationType_getRobotJointsParameter, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve jointsParameter response failed.", [&param](const char* d, int s, int& code) {
                   std::printf("================%d\n", s);
                   return PED::ParseResponse_ProtoRobotJointsParameter(d, s, param, code);
                 });
}

int RobotControlServices::refreshRobotArmParamter() { return callSet(CMT::CommunicationType_refreshRobotArmParamter); }

int RobotControlServices::startupOfflineExcitTrajService(const char* trackFile, Robot_Dyn_identify_traj type,
                                                         int subtype) {
  if (trackFile == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: startupOfflineExcitTrajService: null track file.");
    return ErrCode_ParamError;
  }
  return callSet(CMT::CommunicationType_StartupOfflineExcitTraj,
                 "sdk log: Make getRequest_startupOfflineExcitTraj request failed.", [&](char** d, int* s) {
                   return PED::getRequest_startupOfflineExcitTraj(d, s, trackFile, static_cast<int>(type), subtype);
                 });
}

int RobotControlServices::getDynIdentifyResultsService(std::vector<int>& results) {
  return callGet(CMT::CommunicationType_GetDynIdentifyResults, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve DynIdentify response failed.",
                 into(&PED::resolveResponse_getDynIdentifyResults, results));
}
