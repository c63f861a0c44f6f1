// Members on the general property carrier, the value lists, the common result and the other small messages
// whose fields map one to one.
#include <cstring>

#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using ruko::codec::encode;
using ruko::codec::FailureLine;
using ruko::codec::readFirstErrorCode;
using ruko::codec::reportFailure;
using ruko::codec::requiredErrorCode;
using ruko::codec::resolve;
using ruko::codec::toLog;
using ruko::codec::toStdErr;
using ruko::codec::toStdOut;

namespace {

// One value on the general property carrier. The carrier's own line comes first, then the member's.
bool serializeGeneralData(const std::vector<int>& intValues, const std::vector<bool>& boolValues, char** data,
                          int* size, const FailureLine& ownLine) {
  comm::ProtoCommunicationGeneralData message;
  ProtoEncodeDecode::makeProtoCommunicationGeneralData(message, intValues, boolValues);
  if (ProtoEncodeDecode::ProtoCommunicationGeneralDataMessageSerialize(message, data, size)) {
    return true;
  }
  reportFailure(ownLine);
  return false;
}

// The carrier's resolvers write no line of their own: a body that does not parse gets the carrier's line only.
template <class Take>
bool resolveGeneralData(const char* data, int size, int& errorCode, Take&& take) {
  ruko::codec::ScratchMessage<comm::ProtoCommunicationGeneralData> message;
  if (!ProtoEncodeDecode::ProtoCommunicationGeneralDataMessageParse(data, size, *message)) {
    return false;
  }
  std::vector<int> intValues;
  std::vector<bool> boolValues;
  ProtoEncodeDecode::resolveProtoCommunicationGeneralData(*message, intValues, boolValues, errorCode);
  return take(intValues, boolValues);
}

template <class T>
bool takeFirstInt(const std::vector<int>& values, T& out) {
  if (values.empty()) {
    return false;
  }
  out = static_cast<T>(values.front());
  return true;
}

}  // namespace

// ---- General property carrier -------------------------------------------------------------------------------------

bool ProtoEncodeDecode::makeProtoCommunicationGeneralData(comm::ProtoCommunicationGeneralData& message,
                                                          const std::vector<int>& intValues,
                                                          const std::vector<bool>& boolValues) {
  message.set_type(1);
  for (int value : intValues) {
    message.add_property1(value);
  }
  for (bool value : boolValues) {
    message.add_property2(value);
  }
  return true;
}

bool ProtoEncodeDecode::ProtoCommunicationGeneralDataMessageSerialize(
    const comm::ProtoCommunicationGeneralData& message, char** data, int* size) {
  return encode(message, data, size, toStdErr("ERROR:ProtoCommunicationGeneralDataMessageSerialize Serialize fail."));
}

bool ProtoEncodeDecode::ProtoCommunicationGeneralDataMessageParse(const char* data, int size,
                                                                  comm::ProtoCommunicationGeneralData& message) {
  return ruko::codec::decode(message, data, size, toStdErr("ERROR: ProtoCommunicationGeneralDataMessageParse fail."));
}

bool ProtoEncodeDecode::resolveProtoCommunicationGeneralData(const comm::ProtoCommunicationGeneralData& message,
                                                             std::vector<int>& intValues, std::vector<bool>& boolValues,
                                                             int& errorCode) {
  intValues.assign(message.property1().begin(), message.property1().end());
  boolValues.assign(message.property2().begin(), message.property2().end());
  readFirstErrorCode(message, errorCode);
  return true;
}

bool ProtoEncodeDecode::getRequest_robotControl(char** data, int* size, rrn::RobotControlCommand command) {
  return serializeGeneralData({static_cast<int>(command)}, {}, data, size,
                              toStdErr("ERROR:getRequest_robotControl Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_setRobotPowerStatus(char** data, int* size, bool value) {
  return serializeGeneralData({}, {value}, data, size,
                              toStdErr("ERROR:getRequest_setRobotPowerStatus Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_setRobotWorkMode(char** data, int* size, rrn::RobotWorkMode mode) {
  return serializeGeneralData({static_cast<int>(mode)}, {}, data, size,
                              toStdErr("ERROR:setRobotWorkMode Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_robotMoveControl(char** data, int* size, rrn::RobotMoveControlCommand command) {
  return serializeGeneralData({static_cast<int>(command)}, {}, data, size,
                              toStdErr("ERROR:robotMoveControl Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_setRobotBoardMaxAcc(char** data, int* size, int maxAcc) {
  return serializeGeneralData({maxAcc}, {}, data, size, toStdErr("ERROR:setRobotBoardMaxAcc Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_setRobotCollision(char** data, int* size, int collisionClass) {
  return serializeGeneralData({collisionClass}, {}, data, size, toStdErr("ERROR: setRobotCollision Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_robotEndSpeed(const char* data, int size, double& endSpeed) {
  int unusedErrorCode = 0;
  return resolveGeneralData(data, size, unusedErrorCode, [&](const std::vector<int>& ints, const std::vector<bool>&) {
    if (ints.empty()) {
      return false;
    }
    endSpeed = ints.front() / 1000.0;
    return true;
  });
}

bool ProtoEncodeDecode::resolveResponse_movepProgressNotify(const char* data, int size, int& progress) {
  int unusedErrorCode = 0;
  return resolveGeneralData(data, size, unusedErrorCode, [&](const std::vector<int>& ints, const std::vector<bool>&) {
    return takeFirstInt(ints, progress);
  });
}

bool ProtoEncodeDecode::resolveResponse_robotWorkMode(const char* data, int size, rrn::RobotWorkMode& mode,
                                                      int& errorCode) {
  return resolveGeneralData(data, size, errorCode, [&](const std::vector<int>& ints, const std::vector<bool>&) {
    return takeFirstInt(ints, mode);
  });
}

bool ProtoEncodeDecode::resolveResponse_robotState(const char* data, int size, rrn::RobotState& state, int& errorCode) {
  return resolveGeneralData(data, size, errorCode, [&](const std::vector<int>& ints, const std::vector<bool>&) {
    return takeFirstInt(ints, state);
  });
}

bool ProtoEncodeDecode::resolveResponse_isRealRobotExist(const char* data, int size, bool& value, int& errorCode) {
  return resolveGeneralData(data, size, errorCode, [&](const std::vector<int>&, const std::vector<bool>& bools) {
    if (bools.empty()) {
      return false;
    }
    value = bools.front();
    return true;
  });
}

// ---- Value lists --------------------------------------------------------------------------------------------------

namespace {

template <class Msg, class T>
bool encodeValueVector(const std::vector<T>& values, char** data, int* size, const FailureLine& line) {
  Msg message;
  message.set_num(static_cast<int>(values.size()));
  message.mutable_value()->Add(values.begin(), values.end());
  return encode(message, data, size, line);
}

template <class Msg, class T>
bool resolveValueVector(const char* data, int size, std::vector<T>& values, int& errorCode, const FailureLine& line) {
  return resolve<Msg>(data, size, line, [&](const Msg& message) {
    values.assign(message.value().begin(), message.value().end());
    errorCode = requiredErrorCode(message);
    return true;
  });
}

}  // namespace

bool ProtoEncodeDecode::getRequest_intTypeValueVector(char** data, int* size, const std::vector<int>& values) {
  return encodeValueVector<comm::ProtoCommunicationIntVector>(values, data, size,
                                                              toLog("getRequest_intTypeValueVector Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_doubleTypeValueVector(char** data, int* size, const std::vector<double>& values) {
  return encodeValueVector<comm::ProtoCommunicationDoubleVector>(values, data, size,
                                                                 toLog("getRequest_doubleValueVector Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_intTypeValueVector(const char* data, int size, std::vector<int>& values,
                                                           int& errorCode) {
  return resolveValueVector<comm::ProtoCommunicationIntVectorResponse>(
      data, size, values, errorCode, toStdErr("resolveRequest_intTypeValueVector Parse fail."));
}

bool ProtoEncodeDecode::resolveResponse_doubleTypeValueVector(const char* data, int size, std::vector<double>& values,
                                                              int& errorCode) {
  return resolveValueVector<comm::ProtoCommunicationDoubleVectorResponse>(
      data, size, values, errorCode, toStdErr("resolveRequest_doubleTypeValueVector Parse fail."));
}

bool ProtoEncodeDecode::getRequest_safeIoParamAbout(char** data, int* size, const std::vector<int>& params) {
  comm::protoSafeCommunicationParam message;
  message.set_paramreserved(0);
  for (int value : params) {
    message.add_param(static_cast<uint32_t>(value));
  }
  return encode(message, data, size, toLog("getRequest_safeIoParamAbout Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_getDynIdentifyResults(const char* data, int size, std::vector<int>& params,
                                                              int& errorCode) {
  return resolve<comm::ProtoCommunicationDynIdentifyResults>(
      data, size, toStdErr("resolveResponse_getDynIdentifyResults Parse fail."),
      [&](const comm::ProtoCommunicationDynIdentifyResults& message) {
        readFirstErrorCode(message, errorCode);
        if (errorCode == 0) {
          params.assign(message.param().begin(), message.param().end());
        }
        return true;
      });
}

// ---- Common result, login, startup, events, firmware --------------------------------------------------------------

bool ProtoEncodeDecode::resolveResponse_commonFormat(const char* data, int size,
                                                     CommunicationCommonResultResponse& response) {
  return resolve<comm::ProtoRobotCommonResponse>(data, size,
                                                 toStdErr("ERROR: resolveResponse_commonFormat Parse fail."),
                                                 [&](const comm::ProtoRobotCommonResponse& message) {
                                                   response.m_errorCode = message.errorcode();
                                                   response.m_errorMsg = message.errormsg();
                                                   return true;
                                                 });
}

void ProtoEncodeDecode::ProtoRobotCommonResponseInit(common::RobotCommonResponse& message, int errorCode,
                                                     const std::string& errorMsg) {
  ruko::codec::fillErrorRecord(message, errorCode, errorMsg);
}

bool ProtoEncodeDecode::ProtobufDataSerializeToArray(const google::protobuf::MessageLite& message, char** data,
                                                     int* size) {
  return encode(message, data, size, ruko::codec::kGenericSerializeFailure);
}

bool ProtoEncodeDecode::getRequest_login(char** data, int* size, const std::string& userName,
                                         const std::string& password) {
  comm::ProtoRequestLogin message;
  message.set_username(userName);
  message.set_passwd(password);
  return encode(message, data, size, toStdErr("ERROR: getRequest_login Serialize fail."));
}

bool ProtoEncodeDecode::robotTcpParamTypeConversion(const RobotTcpParam& tcpParam, comm::RobotTcpParam& protoTcpParam) {
  auto fill = [](const TcpParam& from, comm::TcpParam* to) {
    to->set_positionx(from.positionX);
    to->set_positiony(from.positionY);
    to->set_positionz(from.positionZ);
    to->set_payload(from.payload);
  };
  fill(tcpParam.paramAutorun, protoTcpParam.mutable_paramautorun());
  fill(tcpParam.paramManual, protoTcpParam.mutable_parammanual());
  return true;
}

bool ProtoEncodeDecode::robotTcpParamTypeConversion(const comm::RobotTcpParam& protoTcpParam, RobotTcpParam& tcpParam) {
  auto take = [](const comm::TcpParam& from, TcpParam& to) {
    to.positionX = from.positionx();
    to.positionY = from.positiony();
    to.positionZ = from.positionz();
    to.payload = from.payload();
  };
  take(protoTcpParam.paramautorun(), tcpParam.paramAutorun);
  take(protoTcpParam.parammanual(), tcpParam.paramManual);
  return true;
}

bool ProtoEncodeDecode::getRequest_tcpParam(char** data, int* size, const RobotTcpParam& tcpParam) {
  comm::RobotTcpParam message;
  robotTcpParamTypeConversion(tcpParam, message);
  return encode(message, data, size, toStdOut("getRequest_tcpParam Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_tcpParam(const char* data, int size, RobotTcpParam& tcpParam, int& errorCode) {
  return ruko::codec::resolveFirstElementIfSuccess<common::ProtoResponseRobotTcpParam>(
      data, size, toStdErr("resolveResponse_tcpParam Parse fail."), errorCode,
      [](const common::ProtoResponseRobotTcpParam& message) -> const auto& { return message.tcpparam(); },
      [&](const comm::RobotTcpParam& element) { return robotTcpParamTypeConversion(element, tcpParam); });
}

bool ProtoEncodeDecode::getRequest_robotStartup(char** data, int* size, const RobotTcpParam& tcpParam,
                                                uint8_t collisionClass, bool readPose, bool staticCollisionDetect,
                                                int maxAcc) {
  comm::ProtoCommunicationRobotStartupProfile message;
  robotTcpParamTypeConversion(tcpParam, *message.mutable_tcpparam());
  message.set_readpose(readPose);
  message.set_staticcollisiondetect(staticCollisionDetect);
  message.set_collisionclass(collisionClass);
  message.set_maxacc(maxAcc);
  return encode(message, data, size, toStdOut("getRequest_robotStartup Serialize fail."));
}

void ProtoEncodeDecode::robotEventTypeConversion(const rrn::RobotEventInfo& eventInfo,
                                                 comm::ProtoCommunicationRobotEvent& protoEvent) {
  protoEvent.set_eventtype(static_cast<int32_t>(eventInfo.eventType));
  protoEvent.set_eventcode(eventInfo.eventCode);
  protoEvent.set_eventcontent(eventInfo.eventContent);
}

void ProtoEncodeDecode::robotEventTypeConversion(const comm::ProtoCommunicationRobotEvent& protoEvent,
                                                 rrn::RobotEventInfo& eventInfo) {
  eventInfo.eventType = static_cast<rrn::RobotEventType>(protoEvent.eventtype());
  eventInfo.eventCode = protoEvent.eventcode();
  eventInfo.eventContent = protoEvent.eventcontent();
}

bool ProtoEncodeDecode::getResponse_Event(char* data, int* size, const rrn::RobotEventInfo& eventInfo) {
  if (data == nullptr || size == nullptr) {
    return false;
  }
  comm::ProtoCommunicationRobotEvent message;
  robotEventTypeConversion(eventInfo, message);
  const std::size_t length = message.ByteSizeLong();
  if (*size < 0 || length > static_cast<std::size_t>(*size)) {
    return false;
  }
  uint8_t* end = message.SerializeWithCachedSizesToArray(reinterpret_cast<uint8_t*>(data));
  if (end != reinterpret_cast<uint8_t*>(data) + length) {
    *size = 0;
    reportFailure(toLog("getResponse_Event Serialize fail."));
    return false;
  }
  *size = static_cast<int>(length);
  return true;
}

bool ProtoEncodeDecode::resolveResponse_robotEvent(const char* data, int size, rrn::RobotEventInfo& eventInfo) {
  return resolve<comm::ProtoCommunicationRobotEvent>(data, size,
                                                     toStdErr("ERROR:resolveResponse_robotEvent Parse fail."),
                                                     [&](const comm::ProtoCommunicationRobotEvent& message) {
                                                       robotEventTypeConversion(message, eventInfo);
                                                       return true;
                                                     });
}

bool ProtoEncodeDecode::getRequest_firmwareUpgrade(char** data, int* size, int command, const void* content,
                                                   int length) {
  const FailureLine line = toStdOut("getRequest_firmwareUpgrade Serialize fail.");
  if (length < 0 || (content == nullptr && length > 0)) {
    return ruko::codec::refuse(data, size, line);
  }
  comm::ProtoCommunicationRobotBoardFirmware message;
  message.set_command(command);
  message.set_firmwarecontentsize(length);
  message.set_firmwarecontent(content != nullptr ? static_cast<const char*>(content) : "",
                              static_cast<std::size_t>(length));
  return encode(message, data, size, line);
}

bool ProtoEncodeDecode::getRequest_startupOfflineExcitTraj(char** data, int* size, const std::string& trackFile,
                                                           int type, int subtype) {
  comm::ProtoCommunicationOfflineExcitTraj message;
  message.set_trackfile(trackFile);
  message.set_type(type);
  message.set_subtype(subtype);
  return encode(message, data, size, toLog("getRequest_startupOfflineExcitTraj Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_ethernetDeviceName(const char* data, int size, std::string& name,
                                                           int& errorCode) {
  return resolve<comm::ProtoCommunicationEthernetDeviceNameResponse>(
      data, size, toStdErr("ERROR:resolveResponse_ethernetDeviceName Parse fail."),
      [&](const comm::ProtoCommunicationEthernetDeviceNameResponse& message) {
        name = message.name();
        errorCode = requiredErrorCode(message);
        return true;
      });
}

bool ProtoEncodeDecode::resolveResponse_moveControlResule(const char* data, int size,
                                                          call_robot_motion_func_result& result, int& errorCode) {
  return resolve<common::ProtoRobotMoveFuncResult>(
      data, size, toStdErr("resolveResponse_moveControlResule Parse fail."),
      [&](const common::ProtoRobotMoveFuncResult& message) {
        errorCode = requiredErrorCode(message);
        if (errorCode == 0) {
          result = static_cast<call_robot_motion_func_result>(message.ret());
        }
        return true;
      });
}
