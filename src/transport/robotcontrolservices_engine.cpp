#include "transport/robotcontrolservices.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "codec/protoencodedecode.h"
#include "util/log.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;

namespace {

std::string describe(RobotCommandType type) {
  return CommunicationMateType::instance()->getCommandDescByType(type);
}

int32_t readCommandType(const char* data) {
  const auto* b = reinterpret_cast<const unsigned char*>(data);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

}  // namespace

std::atomic<bool> RobotControlServices::S_setDhParam{false};

RobotControlServices::RobotControlServices()
    : m_robotCommandResponseSet(new CommunicationResponse[COMMAND_SLOT_COUNT]),
      m_robotCommandMutexSet(new std::mutex[COMMAND_SLOT_COUNT]),
      m_dispatcher(new ruko::RobotEventDispatcher(&RobotControlServices::deliverEvent, this)) {}

RobotControlServices::~RobotControlServices() {
  // The event thread first: it calls the event callback, which may reach into the facade. Then the
  // receive thread, which fills slots and calls the handlers: both must have ended before what they
  // touch goes.
  m_dispatcher->stop();
  disconnectRobotServer();
}

int RobotControlServices::sendRequestWaitResponse(const CommunicationRequest& request,
                                                  CommunicationResponse& response) {
  const RobotCommandType type = request.m_commandType;
  const int index = static_cast<int>(type);
  if (index < 0 || index >= COMMAND_SLOT_COUNT) {
    ruko::logPrint(LL_ERROR, "sdk log: Request command type not exist. cmd type: %d", index);
    return ErrCode_ParamError;
  }
  if (findPushRoute(index) != nullptr) {
    // The receive thread writes the slots of pushed types without their mutex.
    ruko::logPrint(LL_ERROR, "sdk log: A pushed type cannot be requested. cmd type: %d", index);
    return ErrCode_ParamError;
  }
  if (request.m_textLength < 0 || (request.m_textPtr == nullptr && request.m_textLength != 0)) {
    ruko::logPrint(LL_ERROR, "sdk log: Invalid request body. cmd type: %d length:%d", index, request.m_textLength);
    return ErrCode_ParamError;
  }
  if (!getCurrentConnectStatus()) {
    ruko::logPrint(LL_ERROR, "sdk log: Current connect disconnect.");
    return ErrCode_SocketDisconnect;
  }

  std::lock_guard<std::mutex> requestLock(m_robotCommandMutexSet[index]);
  CommunicationResponse& slot = m_robotCommandResponseSet[index];
  {
    // An answer left over from an earlier, timed-out request of this type must not answer this one.
    std::lock_guard<std::mutex> slotLock(slot.m_mutex);
    slot.destroy();
  }

  if (type == CommunicationMateType::CommunicationType_RobotMove) {
    ruko::logPrint(LL_INFO, "sdk log: Ready to send a motion request.");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Pause) {
    ruko::logPrint(LL_INFO, "sdk log: Ready to send a pause request.");
  }

  // The slot mutex is not held while writing: a blocked write must not hold up the receive thread, which
  // takes that mutex to store a response. A response that lands before the wait starts is found by the
  // wait's predicate.
  if (!encodeAndSendCommunicationPackage(request)) {
    ruko::logPrint(LL_ERROR, "sdk log: encode and send request failed.");
    return ErrCode_SendRequestFailed;
  }

  if (type == CommunicationMateType::CommunicationType_RobotMove) {
    ruko::logPrint(LL_INFO, "sdk log: Sending robotMove request was successful, waiting response.");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Pause) {
    ruko::logPrint(LL_INFO, "sdk log: Sending pause request was successful, waiting response.");
  }

  std::unique_lock<std::mutex> slotLock(slot.m_mutex);
  const auto deadline = std::chrono::steady_clock::now() + ruko::timing().responseWait;
  if (!slot.m_conditon.wait_until(slotLock, deadline, [&slot] { return slot.isFilled(); })) {
    ruko::logPrint(LL_ERROR, "sdk log: Wait response timeout. cmd type: %d %s", index, describe(type).c_str());
    return ErrCode_RequestTimeout;
  }

  char* copy = nullptr;
  if (slot.m_textPtr != nullptr && slot.m_textLength > 0) {
    copy = new (std::nothrow) char[slot.m_textLength];
    if (copy == nullptr) {
      ruko::logPrint(LL_ERROR, "sdk log: No memory for a response body. cmd type: %d length:%d", index,
                     slot.m_textLength);
      return ErrCode_RequestRelatedVariableError;
    }
    std::memcpy(copy, slot.m_textPtr, static_cast<size_t>(slot.m_textLength));
  } else {
    ruko::logPrint(LL_ERROR, "recv response text is NULL, command:%d", index);
  }
  response.setProperty(slot.m_socketFd, slot.m_commandType, copy, copy != nullptr ? slot.m_textLength : 0);

  if (type == CommunicationMateType::CommunicationType_RobotMove) {
    ruko::logPrint(LL_INFO, "sdk log: Successfully waited for a robotMove response from the server.");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Pause) {
    ruko::logPrint(LL_INFO, "sdk log: Successfully waited for a move pause response from the server.");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Continue) {
    ruko::logPrint(LL_INFO, "sdk log: Successfully waited for a move continue response from the server.");
  }
  return ErrnoSucc;
}

int RobotControlServices::requestServiceOnlyCheckSendResultMode(RobotCommandType type, void* body, int length) {
  // The record owns the body from here on: every return below releases it.
  CommunicationRequest request;
  request.setProperty(-1, type, static_cast<char*>(body), length);
  CommunicationResponse response;

  int result = sendRequestWaitResponse(request, response);
  if (result != ErrnoSucc) {
    return result;
  }
  if (response.m_textPtr == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: robot server response text is NULL.");
    return ErrCode_ResponseInfoIsNULL;
  }
  // A body that does not decode leaves the code at 0.
  CommunicationCommonResultResponse common;
  ProtoEncodeDecode::resolveResponse_commonFormat(response.m_textPtr, response.m_textLength, common);
  result = getErrCodeByServerResponse(common.m_errorCode);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Response return false. cmd Type:%s  errorCode:%d", describe(type).c_str(),
                   common.m_errorCode);
  }
  return result;
}

int RobotControlServices::requestServiceGetResponseContentMode(RobotCommandType type, void* body, int length,
                                                               CommunicationResponse& response) {
  CommunicationRequest request;
  request.setProperty(-1, type, static_cast<char*>(body), length);
  response.setProperty(-1, type, nullptr, 0);

  const int result = sendRequestWaitResponse(request, response);
  if (result == ErrnoSucc && response.m_textPtr == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: robot server response text is NULL.");
    return ErrCode_ResponseInfoIsNULL;
  }
  return result;
}

RobotErrorCode RobotControlServices::getErrCodeByServerResponse(int serverCode) {
  switch (serverCode) {
    case RobotResponseCode_SUCC:
      return ErrnoSucc;
    case RobotResponseCode_RealRobotNoExist:
      return ErrCode_RealRobotNoExist;
    default:
      return ErrCode_ResponseReturnError;
  }
}

const RobotControlServices::PushRoute* RobotControlServices::findPushRoute(int type) {
  static const PushRoute kRoutes[] = {
      {CommunicationMateType::CommunicationType_Event, &RobotControlServices::realTimeRobotEventResponseService, true},
      {CommunicationMateType::CommunicationType_RealTimeJointStatus, &RobotControlServices::realTimeJointStatusService,
       false},
      {CommunicationMateType::CommunicationType_RealTimeRobotJointAngle,
       &RobotControlServices::realTimeJointAngleService, false},
      {CommunicationMateType::CommunicationType_RealTimeRobotEndSpeed, &RobotControlServices::realTimeEndSpeedService,
       false},
      {CommunicationMateType::CommunicationType_MovepProgressNotify,
       &RobotControlServices::realTimeMovepProgressNotifyService, false},
  };
  for (const PushRoute& route : kRoutes) {
    if (route.type == type) {
      return &route;
    }
  }
  return nullptr;
}

void RobotControlServices::responseProcess(int socketFd, const char* data, int length) {
  if (data == nullptr || length < 4) {
    ruko::logPrint(LL_ERROR, "sdk log: Packet too short to carry a command type. length:%d", length);
    return;
  }
  const int32_t index = readCommandType(data);
  if (index < 0 || index >= COMMAND_SLOT_COUNT) {
    ruko::logPrint(LL_ERROR, "sdk log:  Command type not exist.");
    return;
  }
  const auto type = static_cast<RobotCommandType>(index);

  // Copied outside any lock, so the slot mutex is held only for the store and the signal.
  const int bodyLength = length - 4;
  char* copy = nullptr;
  if (bodyLength > 0) {
    copy = new (std::nothrow) char[bodyLength];
    if (copy == nullptr) {
      ruko::logPrint(LL_ERROR, "sdk log: No memory for a response body. cmd type: %d length:%d", index, bodyLength);
      return;
    }
    std::memcpy(copy, data + 4, static_cast<size_t>(bodyLength));
  }

  CommunicationResponse& slot = m_robotCommandResponseSet[index];
  if (const PushRoute* route = findPushRoute(index)) {
    // Push types are never requested, so only this thread touches their slots.
    slot.setProperty(socketFd, type, copy, bodyLength);
    (this->*route->handler)(slot);
    if (ownerDestroyedOnThisThread()) {
      return;  // a callback destroyed this object
    }
    if (!route->keepsBody) {
      slot.destroy();
    }
    return;
  }

  if (type == CommunicationMateType::CommunicationType_RobotMove) {
    ruko::logPrint(LL_INFO, "sdk log: Processing the robotMove response from the server..");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Pause) {
    ruko::logPrint(LL_INFO, "sdk log: Processing the pause response from the server..");
  } else if (type == CommunicationMateType::CommunicationType_RobotMoveControlType_Continue) {
    ruko::logPrint(LL_INFO, "sdk log: Processing the continue response from the server..");
  }
  std::lock_guard<std::mutex> slotLock(slot.m_mutex);
  slot.setProperty(socketFd, type, copy, bodyLength);
  slot.m_conditon.notify_all();
}

void RobotControlServices::disconnectProcess() { robotRealTimeEventProcess(ruko::RobotEventIntake::disconnectEvent()); }

int RobotControlServices::heartbeatService() {
  return requestServiceOnlyCheckSendResultMode(CommunicationMateType::CommunicationType_communicationHeart, nullptr, 0);
}

