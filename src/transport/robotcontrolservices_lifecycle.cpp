// Login, handshake, start-up, shut-down and logout.
#include <chrono>
#include <thread>

#include "codec/protoencodedecode.h"
#include "geometry/robotutilservice.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/server_version_code.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;
using PED = ProtoEncodeDecode;
using CMT = CommunicationMateType;

int RobotControlServices::getVersionCode() { return ruko::serverVersionCode(); }

int RobotControlServices::loginService(const char* host, int port, const std::string& userName,
                                       const std::string& password, RobotType& robotType, RobotDhPara& robotDhPara) {
  if (host == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: Login service: null host.");
    return ErrCode_ParamError;
  }
  setServerIP(host);
  setServerPort(port);
  if (connectRobotServer() != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Login service connect server failed.");
    return ErrCode_ConnectSocketFailed;
  }
  ruko::logPrint(LL_INFO, "sdk log: Connect robot server success.");

  char* body = nullptr;
  int length = 0;
  if (!PED::getRequest_login(&body, &length, userName, password)) {
    delete[] body;
    ruko::logPrint(LL_ERROR, "sdk log: Make login protobuf content failed.");
    return ErrCode_CreateRequestFailed;
  }
  CommunicationResponse response;
  int result = requestServiceGetResponseContentMode(CMT::CommunicationType_Login, body, length, response);
  if (result != ErrnoSucc) {
    return result;
  }
  int serverCode = 0;
  if (!PED::resolveResponse_DhParam(response.m_textPtr, response.m_textLength, robotType, robotDhPara, serverCode)) {
    ruko::logPrint(LL_ERROR, "sdk log: resolveResponse_DhParam  error.");
    return ErrCode_ResolveResponseFailed;
  }
  if (serverCode != 0) {
    // The connection stays open; the caller ends it with logout.
    ruko::logPrint(LL_ERROR, "sdk log: login failed.");
    return ErrCode_Failed;
  }
  bool expected = false;
  if (S_setDhParam.compare_exchange_strong(expected, true)) {
    RobotUtilService::setRobotDhParam(static_cast<int>(robotType), robotDhPara);
    ruko::logPrint(LL_INFO, "sdk log: set dhparam success. type:%d, DhParam:%f,%f,%f,%f,%f,%f",
                   static_cast<int>(robotType), robotDhPara.A3, robotDhPara.A4, robotDhPara.D1, robotDhPara.D2,
                   robotDhPara.D5, robotDhPara.D6);
  }
  ruko::logPrint(LL_INFO, "sdk log: login  success.");

  // From here on nothing changes the login's result.
  std::string versionText;
  if (getServerVersionInfoService(versionText) != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: getServerVersionInfoService FAILED");
  } else {
    int code = 0;
    if (ruko::parseServerVersionText(versionText, code)) {
      ruko::setServerVersionCode(code);
    }
  }
  // After the version: the calibration parameters are read in the form the version chooses.
  fetchBaseParameters(ruko::timing().loginBaseParamRetryPause);

  bool flag = false;
  if (getJoint6Rotate360EnableFlag(flag) == ErrnoSucc) {
    RobotUtilService::setJoint6Rot360(flag);
    ruko::logPrint(LL_INFO, "sdk log: login completed, set joint6 retate 360 falg success. joint6Rot360Enable=%d",
                   flag ? 1 : 0);
  } else {
    ruko::logPrint(LL_FATAL, "sdk log: login completed, get joint6 retate 360 falg failed.");
  }
  flag = false;
  if (getJoint1Rotate360EnableFlag(flag) == ErrnoSucc) {
    RobotUtilService::setJoint1Rot360(flag);
    ruko::logPrint(LL_INFO, "sdk log: login completed, set joint1 retate 360 falg success. joint1Rot360Enable=%d",
                   flag ? 1 : 0);
  } else {
    ruko::logPrint(LL_FATAL, "sdk log: login completed, get joint1 retate 360 falg failed.");
  }
  return ErrnoSucc;
}

void RobotControlServices::fetchBaseParameters(std::chrono::milliseconds pause) {
  bool exist = false;
  if (getIsRealRobotExist(exist) != ErrnoSucc || !exist) {
    return;
  }
  for (int attempt = 0; attempt < BASE_PARAMETER_TRIES; ++attempt) {
    RobotDiagnosis diagnosis{};
    if (getRobotDiagnosisInfo(diagnosis) != ErrnoSucc || !diagnosis.armPowerStatus) {
      std::this_thread::sleep_for(pause);
      continue;
    }
    RobotBaseParameters param{};
    if (getRobotBaseParameters(param) == ErrnoSucc) {
      RobotUtilService::setRobotSystemCalibParam(param.kinematicsParam);
      ruko::logPrint(LL_INFO, "sdk log: startup completed, set robot base param succ.");
      return;
    }
    ruko::logPrint(LL_FATAL, "sdk log: startup completed, get robot base parameter failed. retry count=%d", attempt);
    if (attempt == BASE_PARAMETER_TRIES - 1) {
      ruko::logPrint(LL_INFO, "sdk log: set base parameters to default values ");
      RobotUtilService::setRobotSystemCalibParam(RobotKinematicsParameters{});
    }
    std::this_thread::sleep_for(pause);
  }
}

int RobotControlServices::getJoint6Rotate360EnableFlag(bool& value) {
  return callGet(CMT::CommunicationType_getEnableJoint6Rot360Flag, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve getEnableJoint6Rot360Flag response failed.",
                 [&value](const char* d, int s, int& code) { return PED::resolveResponse_isRealRobotExist(d, s, value, code); });
}

int RobotControlServices::getJoint1Rotate360EnableFlag(bool& value) {
  return callGet(CMT::CommunicationType_getEnableJoint1Rot360Flag, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve getEnableJoint1Rot360Flag response failed.",
                 [&value](const char* d, int s, int& code) { return PED::resolveResponse_isRealRobotExist(d, s, value, code); });
}

int RobotControlServices::waitForDone(ruko::DoneSignal& signal, const ruko::DoneSignal::Mark& mark,
                                      std::chrono::milliseconds wait, int* payload, const char* timeoutLine,
                                      int timeoutCode) {
  switch (signal.waitAfter(mark, std::chrono::steady_clock::now() + wait, payload)) {
    case ruko::DoneSignal::Outcome::Signalled:
      return ErrnoSucc;
    case ruko::DoneSignal::Outcome::Disconnected:
      ruko::logPrint(LL_ERROR, "sdk log: The connection was lost while waiting for the controller's done event.");
      return ErrCode_SocketDisconnect;
    case ruko::DoneSignal::Outcome::TimedOut:
      break;
  }
  ruko::logPrint(LL_ERROR, "%s", timeoutLine);
  return timeoutCode;
}

template <class Send>
int RobotControlServices::requestAndWaitForDone(std::mutex& kind, ruko::DoneSignal& done, Send&& send,
                                                std::chrono::milliseconds wait, int* payload,
                                                const char* timeoutLine, int timeoutCode) {
  std::lock_guard<std::mutex> lock(kind);
  // Marked before sending: a done event that overtakes the reply still counts.
  const ruko::DoneSignal::Mark mark = done.mark();
  const int result = send();
  if (result != ErrnoSucc) {
    return result;
  }
  return waitForDone(done, mark, wait, payload, timeoutLine, timeoutCode);
}

int RobotControlServices::robotHandShakeService(bool isBlock) {
  const auto send = [this] { return callSet(CMT::CommunicationType_RobotHandShake); };
  if (!isBlock) {
    return send();
  }
  int succeeded = 0;
  const int result =
      requestAndWaitForDone(m_robotHandShakeFinishMutex, m_intake.handshakeDone(), send, ruko::timing().handshakeWait,
                            &succeeded, "sdk log: Wait shutDown Done signal timeout.", ErrCode_MotionRelatedVariableError);
  if (result != ErrnoSucc) {
    return result;
  }
  m_robotHandShakeSuccFlag.store(succeeded != 0);
  return succeeded != 0 ? ErrnoSucc : ErrCode_ResponseReturnError;
}

int RobotControlServices::robotStartupService(const RobotTcpParam& tcpParam, uint8_t collisionClass, bool readPose,
                                              bool staticCollisionDetect, int maxAcc, ROBOT_SERVICE_STATE& result,
                                              bool IsBolck) {
  char* body = nullptr;
  int length = 0;
  if (!PED::getRequest_robotStartup(&body, &length, tcpParam, collisionClass, readPose, staticCollisionDetect,
                                    maxAcc)) {
    delete[] body;
    ruko::logPrint(LL_ERROR, "sdk log: Make setTcpParam protobuf content failed.");
    return ErrCode_CreateRequestFailed;
  }
  const auto send = [&] { return requestServiceOnlyCheckSendResultMode(CMT::CommunicationType_RobotStartup, body, length); };
  if (!IsBolck) {
    return send();
  }
  int state = ROBOT_SERVICE_READY;
  const int ret = requestAndWaitForDone(m_startupDoneMutex, m_intake.startupDone(), send, ruko::timing().startupWait,
                                        &state, "sdk log: Wait StartupDone signal timeout.",
                                        ErrCode_RequestRelatedVariableError);
  if (ret != ErrnoSucc) {
    return ret;
  }
  m_robotStartupDoneResult.store(state);
  result = static_cast<ROBOT_SERVICE_STATE>(state);
  fetchBaseParameters(ruko::timing().startupBaseParamRetryPause);
  return ErrnoSucc;
}

int RobotControlServices::robotShutdownService(bool IsBolck) {
  const auto send = [this] { return callSet(CMT::CommunicationType_RobotShutdown); };
  if (!IsBolck) {
    return send();
  }
  return requestAndWaitForDone(m_shutDownDoneMutex, m_intake.shutdownDone(), send, ruko::timing().shutdownWait,
                               nullptr, "sdk log: Wait shutDown Done signal timeout.", ErrCode_Failed);
}

int RobotControlServices::logoutService() {
  disconnectRobotServer();
  return ErrnoSucc;
}

void RobotControlServices::localDisconnectProcess() { m_intake.localDisconnect(); }
