// Interface-board and tool I/O services. Every one is a list query, a single-entry query or a setter of one
// of two kinds of entry, digital (RobotDiagnosisIODesc) or analog (RobotAnalogIODesc); the services differ
// only in command type, body and log lines.
#include <cfloat>
#include <cmath>

#include "codec/protoencodedecode.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"

using namespace ruko_robot_namespace;
using PED = ProtoEncodeDecode;
using CMT = CommunicationMateType;

namespace {

// The wire carries addresses and digital values in 8 bits: anything wider would arrive as another entry.
bool inRange(int value, int low, int high, const char* what) {
  if (value >= low && value <= high) {
    return true;
  }
  ruko::logPrint(LL_ERROR, "sdk log: I/O request refused: %s %d is outside %d..%d.", what, value, low, high);
  return false;
}

RobotDiagnosisIODesc digital(int addr, int value, int type) {
  return RobotDiagnosisIODesc{static_cast<uint8_t>(addr), static_cast<uint8_t>(value), static_cast<uint8_t>(type)};
}

// A board input or output read into an IO_STATUS: stored whatever the result, except when the reply held no
// entry, which leaves the output as it was.
int digitalStatusInto(RobotControlServices& services, RobotCommandType type, int addr, IO_STATUS& status) {
  int value = 0;
  const int result = services.getRobotDigitalIOStatusService(type, addr, value);
  if (result != ErrCode_ResolveResponseFailed) {
    status = static_cast<IO_STATUS>(value);
  }
  return result;
}

}  // namespace

// ---- The two kinds of entry --------------------------------------------------------------------------------

int RobotControlServices::getDigitalIOListService(RobotCommandType type, const char* decodeFailLine,
                                                  std::vector<RobotDiagnosisIODesc>& statusVector) {
  statusVector.clear();
  return callGet(type, ErrCode_CreateRequestFailed, decodeFailLine, [&statusVector](const char* d, int s, int& code) {
    return PED::resolveResponse_robotDiagnosisIOData(d, s, statusVector, code);
  });
}

int RobotControlServices::getAnalogIOListService(RobotCommandType type, const char* decodeFailLine,
                                                 std::vector<RobotAnalogIODesc>& statusVector) {
  statusVector.clear();
  return callGet(type, ErrCode_CreateRequestFailed, decodeFailLine, [&statusVector](const char* d, int s, int& code) {
    return PED::resolveResponse_robotAnalogIOData(d, s, statusVector, code);
  });
}

int RobotControlServices::setDigitalIOService(RobotCommandType type, const char* buildFailLine,
                                              const std::vector<RobotDiagnosisIODesc>& entries) {
  return callSet(type, buildFailLine,
                 [&entries](char** d, int* s) { return PED::getRequest_robotDiagnosisIOData(d, s, entries); });
}

int RobotControlServices::setAnalogIOService(RobotCommandType type, const char* buildFailLine,
                                             const std::vector<RobotAnalogIODesc>& entries) {
  return callSet(type, buildFailLine,
                 [&entries](char** d, int* s) { return PED::getRequest_robotAnalogIOData(d, s, entries); });
}

int RobotControlServices::getRobotDigitalIOStatusService(RobotCommandType type, int addr, int& status) {
  if (!inRange(addr, 0, UINT8_MAX, "address")) {
    return ErrCode_ParamError;
  }
  std::vector<RobotDiagnosisIODesc> reply;
  const std::vector<RobotDiagnosisIODesc> request{digital(addr, 0, 0)};
  const int result = callGet(
      type, "sdk log: Make DiagnosisIO protobuf content failed.",
      [&request](char** d, int* s) { return PED::getRequest_robotDiagnosisIOData(d, s, request); },
      ErrCode_CreateRequestFailed, "sdk log: Resolve DiagnosisIO response failed.",
      [&reply](const char* d, int s, int& code) { return PED::resolveResponse_robotDiagnosisIOData(d, s, reply, code); });
  if (result != ErrnoSucc) {
    return result;
  }
  if (reply.empty()) {
    ruko::logPrint(LL_ERROR, "sdk log: DiagnosisIO response holds no entry.");
    return ErrCode_ResolveResponseFailed;
  }
  status = reply.front().value;
  return ErrnoSucc;
}

int RobotControlServices::getRobotAnalogIOStatusService(RobotCommandType type, int addr, double& status) {
  if (!inRange(addr, 0, UINT8_MAX, "address")) {
    return ErrCode_ParamError;
  }
  std::vector<RobotAnalogIODesc> reply;
  const std::vector<RobotAnalogIODesc> request{RobotAnalogIODesc{static_cast<uint8_t>(addr), 0.0f, 0}};
  const int result = callGet(
      type, "sdk log: Make AnalogIO protobuf content failed.",
      [&request](char** d, int* s) { return PED::getRequest_robotAnalogIOData(d, s, request); },
      ErrCode_CreateRequestFailed, "sdk log: Resolve AnalogIO response failed.",
      [&reply](const char* d, int s, int& code) { return PED::resolveResponse_robotAnalogIOData(d, s, reply, code); });
  if (!reply.empty()) {
    status = static_cast<double>(reply.front().value);
  } else if (result == ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: AnalogIO response holds no entry.");
    return ErrCode_ResolveResponseFailed;
  }
  return result;
}

// ---- Interface board ---------------------------------------------------------------------------------------

int RobotControlServices::getInterfaceBoardAllDIStatusService(std::vector<RobotDiagnosisIODesc>& statusVector) {
  return getDigitalIOListService(CMT::CommunicationType_GetInterfaceBoardAllDIData,
                                 "sdk log: Resolve BoardAllDIStatus response failed.", statusVector);
}

int RobotControlServices::getInterfaceBoardAllDOStatusService(std::vector<RobotDiagnosisIODesc>& statusVector) {
  return getDigitalIOListService(CMT::CommunicationType_GetInterfaceBoardAllDOData,
                                 "sdk log: Resolve BoardAllDOStatus response failed.", statusVector);
}

int RobotControlServices::getInterfaceBoardAllAIStatusService(std::vector<RobotAnalogIODesc>& statusVector) {
  return getAnalogIOListService(CMT::CommunicationType_GetInterfaceBoardAllAIData,
                                "sdk log: Resolve BoardAllAIStatus response failed.", statusVector);
}

int RobotControlServices::getInterfaceBoardAllAOStatusService(std::vector<RobotAnalogIODesc>& statusVector) {
  return getAnalogIOListService(CMT::CommunicationType_GetInterfaceBoardAllAOData,
                                "sdk log: Send get BoardAllAOStatus and wait response failed.", statusVector);
}

int RobotControlServices::getInterfaceBoardDIStatusService(int addr, IO_STATUS& status) {
  return digitalStatusInto(*this, CMT::CommunicationType_GetInterfaceBoardOneDIStatus, addr, status);
}

int RobotControlServices::getInterfaceBoardDOStatusService(int addr, IO_STATUS& status) {
  return digitalStatusInto(*this, CMT::CommunicationType_GetInterfaceBoardOneDOStatus, addr, status);
}

int RobotControlServices::getInterfaceBoardAIStatusService(int addr, double& status) {
  return getRobotAnalogIOStatusService(CMT::CommunicationType_GetInterfaceBoardOneAIStatus, addr, status);
}

int RobotControlServices::getInterfaceBoardAOStatusService(int addr, double& status) {
  return getRobotAnalogIOStatusService(CMT::CommunicationType_GetInterfaceBoardOneAOStatus, addr, status);
}

int RobotControlServices::setInterfaceBoardDOStatusService(int addr, IO_STATUS status) {
  if (!inRange(addr, 0, UINT8_MAX, "address") || !inRange(status, 0, 1, "level")) {
    return ErrCode_ParamError;
  }
  return setDigitalIOService(CMT::CommunicationType_SetInterfaceBoardOneDOStatus,
                             "sdk log: Make RobotCmd_setInterfaceBoardOneDOStatus protobuf content failed.",
                             {digital(addr, status, 0)});
}

int RobotControlServices::setInterfaceBoardAOStatusService(int addr, double value) {
  if (!inRange(addr, 0, UINT8_MAX, "address")) {
    return ErrCode_ParamError;
  }
  // NaN, an infinity or a value single precision cannot hold would reach the output as garbage.
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
    ruko::logPrint(LL_ERROR, "sdk log: I/O request refused: analog value %f is not a finite single-precision number.",
                   value);
    return ErrCode_ParamError;
  }
  return setAnalogIOService(CMT::CommunicationType_SetInterfaceBoardOneAOStatus,
                            "sdk log: Make setInterfaceBoardAOStatus protobuf content failed.",
                            {RobotAnalogIODesc{static_cast<uint8_t>(addr), static_cast<float>(value), 0}});
}

// ---- Tool --------------------------------------------------------------------------------------------------

int RobotControlServices::setToolPowerVoltageTypeService(ToolPowerType type) {
  if (!inRange(type, OUT_0V, OUT_24V, "tool power type")) {
    return ErrCode_ParamError;
  }
  return setDigitalIOService(CMT::CommunicationType_SetToolPowerVoltageType,
                             "sdk log: Make RobotCmd_SetToolPowerVoltageType protobuf content failed.",
                             {digital(0, type, 0)});
}

int RobotControlServices::getToolPowerVoltageTypeService(ToolPowerType& type) {
  int value = 0;
  const int result = getRobotDigitalIOStatusService(CMT::CommunicationType_GetToolPowerVoltageType, 0, value);
  if (result == ErrnoSucc) {
    type = static_cast<ToolPowerType>(value);
  }
  return result;
}

int RobotControlServices::getToolPowerVoltageStatusService(double& value) {
  int status = 0;
  const int result = getRobotDigitalIOStatusService(CMT::CommunicationType_GetToolPowerVoltage, 0, status);
  if (result == ErrnoSucc) {
    value = static_cast<double>(status);
  }
  return result;
}

int RobotControlServices::setToolPowerTypeAndDigitalIOTypeService(ToolPowerType type, ToolIOType io0, ToolIOType io1,
                                                                  ToolIOType io2, ToolIOType io3) {
  const ToolIOType pins[] = {io0, io1, io2, io3};
  if (!inRange(type, OUT_0V, OUT_24V, "tool power type")) {
    return ErrCode_ParamError;
  }
  std::vector<RobotDiagnosisIODesc> entries{digital(0, type, type)};
  for (int pin = 0; pin < 4; ++pin) {
    if (!inRange(pins[pin], IO_IN, IO_OUT, "tool pin direction")) {
      return ErrCode_ParamError;
    }
    entries.push_back(digital(pin, pins[pin], pins[pin]));
  }
  return setDigitalIOService(CMT::CommunicationType_SetToolPowerTypeAndDigitalIOType,
                             "sdk log: Make RobotCmd_SetToolPowerTypeAndDigitalIOType protobuf content failed.",
                             entries);
}

int RobotControlServices::setToolDigitalIOTypeService(ToolDigitalIOAddr addr, ToolIOType type) {
  if (!inRange(addr, TOOL_DIGITAL_IO_0, TOOL_DIGITAL_IO_3, "tool pin") ||
      !inRange(type, IO_IN, IO_OUT, "tool pin direction")) {
    return ErrCode_ParamError;
  }
  return setDigitalIOService(CMT::CommunicationType_SetToolDigitalIOType,
                             "sdk log: Make RobotCmd_SetToolDigitalIOType protobuf content failed.",
                             {digital(addr, type, 0)});
}

int RobotControlServices::getToolAllDigitalIOStatusService(std::vector<RobotDiagnosisIODesc>& statusVector) {
  return getDigitalIOListService(CMT::CommunicationType_GetToolAllDigitalIOStatus,
                                 "sdk log: Resolve ToolAllDigitalIOStatus response failed.", statusVector);
}

int RobotControlServices::getToolAllAIStatusService(std::vector<RobotAnalogIODesc>& statusVector) {
  return getAnalogIOListService(CMT::CommunicationType_GetToolAllAIStatus,
                                "sdk log: Resolve ToolAllAIStatus response failed.", statusVector);
}

int RobotControlServices::setToolDigitalIOStatusService(ToolDigitalIOAddr addr, IO_STATUS value) {
  if (!inRange(addr, TOOL_DIGITAL_IO_0, TOOL_DIGITAL_IO_3, "tool pin") || !inRange(value, 0, 1, "level")) {
    return ErrCode_ParamError;
  }
  return setDigitalIOService(CMT::CommunicationType_SetToolDigitalIOStatus,
                             "sdk log: Make RobotCmd_setToolDigitalIOStatus protobuf content failed.",
                             {digital(addr, value, 0)});
}

int RobotControlServices::getToolAllIOStatusService(RobotToolAllIOStatus& status) {
  return callGet(CMT::CommunicationType_GetToolAllIoStatus, ErrCode_CreateRequestFailed,
                 "sdk log: Resolve toolAllIOStatus response failed.", [&status](const char* d, int s, int& code) {
                   return PED::resolveResponse_robotToolIoStatus(d, s, status, code);
                 });
}
