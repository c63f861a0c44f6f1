// Board and tool input/output entries and the tool summary.
#include <algorithm>
#include <type_traits>

#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"

namespace comm = ruko::robot::communication;
namespace rrn = ruko_robot_namespace;
using ruko::codec::encode;
using ruko::codec::FailureLine;
using ruko::codec::resolve;
using ruko::codec::toStdErr;

void ProtoEncodeDecode::RobotDiagnosisIODescTypeConversion(const rrn::RobotDiagnosisIODesc& ioDesc,
                                                           comm::ProtoRobotDiagnosisIODesc& protoIoDesc) {
  protoIoDesc.set_addr(ioDesc.addr);
  protoIoDesc.set_type(ioDesc.type);
  protoIoDesc.set_value(ioDesc.value);
}

void ProtoEncodeDecode::RobotDiagnosisIODescTypeConversion(const comm::ProtoRobotDiagnosisIODesc& protoIoDesc,
                                                           rrn::RobotDiagnosisIODesc& ioDesc) {
  ioDesc.addr = static_cast<uint8_t>(protoIoDesc.addr());
  ioDesc.type = static_cast<uint8_t>(protoIoDesc.type());
  ioDesc.value = static_cast<uint8_t>(protoIoDesc.value());
}

void ProtoEncodeDecode::RobotAnalogIODescTypeConversion(const rrn::RobotAnalogIODesc& ioDesc,
                                                        comm::ProtoRobotAnalogIODesc& protoIoDesc) {
  protoIoDesc.set_addr(ioDesc.addr);
  protoIoDesc.set_type(ioDesc.type);
  protoIoDesc.set_value(ioDesc.value);
}

void ProtoEncodeDecode::RobotAnalogIODescTypeConversion(const comm::ProtoRobotAnalogIODesc& protoIoDesc,
                                                        rrn::RobotAnalogIODesc& ioDesc) {
  ioDesc.addr = static_cast<uint8_t>(protoIoDesc.addr());
  ioDesc.type = static_cast<uint8_t>(protoIoDesc.type());
  ioDesc.value = protoIoDesc.value();
}

namespace {

// The digital and analog IO containers differ only in their entry types (and field numbers, which the generated
// classes take care of).
template <class Msg, class Entry>
bool encodeIoList(const std::vector<Entry>& ioList, char** data, int* size, const FailureLine& line) {
  Msg message;
  message.set_type(0);
  message.mutable_iodesc()->Reserve(static_cast<int>(ioList.size()));
  for (const Entry& entry : ioList) {
    auto* protoEntry = message.add_iodesc();
    if constexpr (std::is_same_v<Entry, rrn::RobotDiagnosisIODesc>) {
      ProtoEncodeDecode::RobotDiagnosisIODescTypeConversion(entry, *protoEntry);
    } else {
      ProtoEncodeDecode::RobotAnalogIODescTypeConversion(entry, *protoEntry);
    }
  }
  return encode(message, data, size, line);
}

// The list is emptied before parsing, so a body that does not parse leaves it empty.
template <class Msg, class Entry>
bool resolveIoList(const char* data, int size, std::vector<Entry>& ioList, int& errorCode, const FailureLine& line) {
  ioList.clear();
  return resolve<Msg>(data, size, line, [&](const Msg& message) {
    ioList.reserve(static_cast<std::size_t>(message.iodesc_size()));
    for (const auto& protoEntry : message.iodesc()) {
      ioList.push_back(Entry{});
      if constexpr (std::is_same_v<Entry, rrn::RobotDiagnosisIODesc>) {
        ProtoEncodeDecode::RobotDiagnosisIODescTypeConversion(protoEntry, ioList.back());
      } else {
        ProtoEncodeDecode::RobotAnalogIODescTypeConversion(protoEntry, ioList.back());
      }
    }
    ruko::codec::readFirstErrorCode(message, errorCode);
    return true;
  });
}

}  // namespace

bool ProtoEncodeDecode::getRequest_robotDiagnosisIOData(char** data, int* size,
                                                        const std::vector<rrn::RobotDiagnosisIODesc>& ioList) {
  return encodeIoList<comm::ProtoCommunicationRobotDiagnosisIOData>(
      ioList, data, size, toStdErr("ERROR:getResponse_robotDiagnosisIOData Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_robotAnalogIOData(char** data, int* size,
                                                     const std::vector<rrn::RobotAnalogIODesc>& ioList) {
  return encodeIoList<comm::ProtoCommunicationRobotAnalogIOData>(
      ioList, data, size, toStdErr("ERROR:getResponse_robotAnalogIOData Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_robotDiagnosisIOData(const char* data, int size,
                                                             std::vector<rrn::RobotDiagnosisIODesc>& ioList,
                                                             int& errorCode) {
  return resolveIoList<comm::ProtoCommunicationRobotDiagnosisIOData>(
      data, size, ioList, errorCode, toStdErr("ERROR:resolveRequest_robotDiagnosisIOData Parse fail."));
}

bool ProtoEncodeDecode::resolveResponse_robotAnalogIOData(const char* data, int size,
                                                          std::vector<rrn::RobotAnalogIODesc>& ioList, int& errorCode) {
  return resolveIoList<comm::ProtoCommunicationRobotAnalogIOData>(
      data, size, ioList, errorCode, toStdErr("ERROR:resolveRequest_robotAnalogIOData Parse fail."));
}

bool ProtoEncodeDecode::resolveResponse_robotToolIoStatus(const char* data, int size, RobotToolAllIOStatus& toolStatus,
                                                          int& errorCode) {
  return resolve<comm::ProtoCommunicationToolAllIOStatusInfoResponse>(
      data, size, toStdErr("ERROR:resolveResponse_robotToolIoStatus Parse fail."),
      [&](const comm::ProtoCommunicationToolAllIOStatusInfoResponse& message) {
        const comm::toolAllIOStatus& status = message.tooliostatus();
        errorCode = ruko::codec::requiredErrorCode(message);
        toolStatus.powerType = static_cast<rrn::ToolPowerType>(status.powertype());
        toolStatus.systemVoltage = static_cast<float>(status.systemvoltage());
        toolStatus.systemTemperature = static_cast<float>(status.systemtemperature());
        // The controller reports the tool's fault through the reply's code, not through errorStatus.
        toolStatus.errorStatus = static_cast<uint8_t>(errorCode);
        const int pins = std::min(status.digitaliostatus_size(), ruko::codec::countOf(toolStatus.digitalIoStatus));
        for (int i = 0; i < pins; ++i) {
          toolStatus.digitalIoStatus[i].ioData = static_cast<uint8_t>(status.digitaliostatus(i).iodata());
          toolStatus.digitalIoStatus[i].ioType = static_cast<rrn::ToolIOType>(status.digitaliostatus(i).iotype());
        }
        ruko::codec::copyPrefix(status.aidata(), toolStatus.aiData);
        return true;
      });
}
