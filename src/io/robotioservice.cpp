// The board and tool catalogues and the requests made from them.
#include "io/robotioservice.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;

namespace {

// One run of names whose last digit and address count up together: `pattern` takes the running digit.
struct NameRun {
  RobotIoType type;
  const char* pattern;
  int firstDigit;
  int count;
  int firstAddr;
};

// The board's fixed vocabulary. A two-digit suffix ends in 0..7 only (SI07 is followed by SI10); controller
// and user digital entries share one address space, the analog addresses are their own.
constexpr NameRun kBoardRuns[] = {
    {RobotBoardControllerDI, "SI0%d", 0, 8, 0},   {RobotBoardControllerDI, "SI1%d", 0, 8, 8},
    {RobotBoardControllerDI, "CI0%d", 0, 4, 16},  {RobotBoardControllerDI, "CI1%d", 0, 4, 20},
    {RobotBoardControllerDI, "LI0%d", 0, 6, 24},  {RobotBoardControllerDO, "SO0%d", 0, 8, 0},
    {RobotBoardControllerDO, "SO1%d", 0, 8, 8},   {RobotBoardControllerDO, "CO0%d", 0, 4, 16},
    {RobotBoardControllerDO, "CO1%d", 0, 4, 20},  {RobotBoardControllerDO, "LO0%d", 0, 4, 24},
    {RobotBoardUserDI, "F%d", 1, 6, 30},          {RobotBoardUserDI, "U_DI_0%d", 0, 8, 36},
    {RobotBoardUserDI, "U_DI_1%d", 0, 8, 44},     {RobotBoardUserDO, "U_DO_0%d", 0, 8, 32},
    {RobotBoardUserDO, "U_DO_1%d", 0, 8, 40},     {RobotBoardUserAI, "VI%d", 0, 4, 0},
    {RobotBoardUserAO, "VO%d", 0, 2, 0},          {RobotBoardUserAO, "CO%d", 0, 2, 2},
};

constexpr RobotIoType kBoardTypes[] = {RobotBoardControllerDI, RobotBoardControllerDO, RobotBoardControllerAI,
                                       RobotBoardControllerAO, RobotBoardUserDI,       RobotBoardUserDO,
                                       RobotBoardUserAI,       RobotBoardUserAO};

constexpr int kConfirmTries = 3;
constexpr size_t kToolPins = 4;

// A pin's direction as the controller reports it: its type less RobotToolDI.
int directionOf(const RobotIoDesc& pin) { return static_cast<int>(pin.ioType) - RobotToolDI; }

bool isDigitalOutput(RobotIoType type) { return type == RobotBoardControllerDO || type == RobotBoardUserDO; }
bool isAnalogOutput(RobotIoType type) { return type == RobotBoardControllerAO || type == RobotBoardUserAO; }

// The element at the list position equal to the address (the controller's list is indexed by address), or
// -1 when the list is shorter.
template <class Entry>
double valueAtPosition(const std::vector<Entry>& list, int addr) {
  if (addr < 0 || static_cast<size_t>(addr) >= list.size()) {
    return -1.0;
  }
  return static_cast<double>(list[static_cast<size_t>(addr)].value);
}

// Sleeps, then asks `confirmed(try)` whether the read-back shows the setting; the setting itself is never
// sent again.
template <class Confirmed>
int confirmToolSetting(Confirmed&& confirmed) {
  for (int attempt = 1; attempt <= kConfirmTries; ++attempt) {
    std::this_thread::sleep_for(ruko::timing().toolReadbackPause);
    if (confirmed(attempt)) {
      return ErrnoSucc;
    }
  }
  return ErrCode_Failed;
}

}  // namespace

RobotIoService::RobotIoService(RobotControlServices* robotBaseService) : m_robotBaseService(robotBaseService) {
  initToolIoConfig();
  initBoardIoConfig();
}

void RobotIoService::initRobotIoDesc(RobotIoDesc& robotIoDesc, const std::string& ioId, RobotIoType ioType,
                                     const std::string& ioName, int ioAddr, double ioValue) {
  std::memset(&robotIoDesc, 0, sizeof(robotIoDesc));
  std::strncpy(robotIoDesc.ioId, ioId.c_str(), sizeof(robotIoDesc.ioId) - 1);
  std::strncpy(robotIoDesc.ioName, ioName.c_str(), sizeof(robotIoDesc.ioName) - 1);
  robotIoDesc.ioType = ioType;
  robotIoDesc.ioAddr = ioAddr;
  robotIoDesc.ioValue = ioValue;
}

// ---- Catalogue ---------------------------------------------------------------------------------------------

void RobotIoService::initToolIoConfig() {
  for (int pin = 0; pin < static_cast<int>(kToolPins); ++pin) {
    const std::string name = "T_DI/O_0" + std::to_string(pin);
    m_toolDiagnosisIONameAddrMaping[name] = pin;
    m_toolDiagnosisIOAddrNameMaping[pin] = name;
    m_toolDiagnosisIOAddrSet.insert(pin);
  }
  m_toolAIMaping["T_AI_00"] = 0;
  m_toolAIMaping["T_AI_01"] = 1;
}

void RobotIoService::initBoardIoConfig() {
  for (RobotIoType type : kBoardTypes) {
    m_boardIOMaping[type];  // the controller's analog types have no entries but are known types
  }
  for (const NameRun& run : kBoardRuns) {
    for (int i = 0; i < run.count; ++i) {
      char name[16];
      std::snprintf(name, sizeof(name), run.pattern, run.firstDigit + i);
      m_boardIOMaping[run.type][name] = run.firstAddr + i;
    }
  }
  for (const auto& entry : m_boardIOMaping) {
    m_boardIoTypeSet.insert(entry.first);
    std::set<int>& addrs = m_boardIOTypeAddrSetMaping[entry.first];
    for (const auto& nameAddr : entry.second) {
      addrs.insert(nameAddr.second);
    }
  }
}

const RobotIoService::NameAddrMap* RobotIoService::boardMap(RobotIoType type) const {
  const auto found = m_boardIOMaping.find(type);
  return found == m_boardIOMaping.end() ? nullptr : &found->second;
}

bool RobotIoService::boardHasAddr(RobotIoType type, int addr) const {
  const auto found = m_boardIOTypeAddrSetMaping.find(type);
  return found != m_boardIOTypeAddrSetMaping.end() && found->second.count(addr) != 0;
}

template <class ValueAt>
void RobotIoService::appendBoardEntries(RobotIoType type, ValueAt&& valueAt, std::vector<RobotIoDesc>& out) const {
  for (const auto& entry : *boardMap(type)) {
    RobotIoDesc desc;
    initRobotIoDesc(desc, entry.first, type, entry.first, entry.second, valueAt(entry.second));
    out.push_back(desc);
  }
}

// ---- Board -------------------------------------------------------------------------------------------------

int RobotIoService::getBoardIOConfig(const std::vector<RobotIoType>& ioType,
                                     std::vector<RobotIoDesc>& configVector) const {
  configVector.clear();
  for (RobotIoType type : ioType) {
    if (m_boardIoTypeSet.count(type) == 0) {
      configVector.clear();
      ruko::logPrint(LL_ERROR, "sdk log: Call getBoardIOConfig IO type error.");
      return ErrCode_ParamError;
    }
    appendBoardEntries(type, [](int) { return -1.0; }, configVector);
  }
  return ErrnoSucc;
}

int RobotIoService::getBoardIOStatus(const std::vector<RobotIoType>& ioType, std::vector<RobotIoDesc>& statusVector) {
  statusVector.clear();
  std::vector<RobotDiagnosisIODesc> di;
  std::vector<RobotDiagnosisIODesc> dout;
  std::vector<RobotAnalogIODesc> ai;
  std::vector<RobotAnalogIODesc> ao;
  int result = m_robotBaseService->getInterfaceBoardAllDIStatusService(di);
  if (result == ErrnoSucc) result = m_robotBaseService->getInterfaceBoardAllDOStatusService(dout);
  if (result == ErrnoSucc) result = m_robotBaseService->getInterfaceBoardAllAIStatusService(ai);
  if (result == ErrnoSucc) result = m_robotBaseService->getInterfaceBoardAllAOStatusService(ao);
  if (result != ErrnoSucc) {
    return result;
  }
  for (RobotIoType type : ioType) {
    if (m_boardIoTypeSet.count(type) == 0) {
      // The entries of the types before it stay.
      ruko::logPrint(LL_ERROR, "sdk log: Call getBoardIOStatus RobotIoType not Exist.");
      return ErrCode_ParamError;
    }
    switch (type) {
      case RobotBoardControllerDO:
      case RobotBoardUserDO:
        appendBoardEntries(type, [&](int addr) { return valueAtPosition(dout, addr); }, statusVector);
        break;
      case RobotBoardControllerAI:
      case RobotBoardUserAI:
        appendBoardEntries(type, [&](int addr) { return valueAtPosition(ai, addr); }, statusVector);
        break;
      case RobotBoardControllerAO:
      case RobotBoardUserAO:
        appendBoardEntries(type, [&](int addr) { return valueAtPosition(ao, addr); }, statusVector);
        break;
      default:
        appendBoardEntries(type, [&](int addr) { return valueAtPosition(di, addr); }, statusVector);
        break;
    }
  }
  return ErrnoSucc;
}

int RobotIoService::getBoardIOStatus(RobotIoType type, const std::string& name, double& value) {
  const NameAddrMap* names = boardMap(type);
  const auto found = names == nullptr ? NameAddrMap::const_iterator() : names->find(name);
  if (names == nullptr || found == names->end()) {
    ruko::logPrint(LL_ERROR, "sdk log: Call getBoardIOStatus, type name mismatch.");
    return ErrCode_ParamError;
  }
  return getBoardIOStatus(type, found->second, value);
}

int RobotIoService::getBoardIOStatus(RobotIoType type, int addr, double& value) {
  if (!boardHasAddr(type, addr)) {
    ruko::logPrint(LL_ERROR, "sdk log:  Call getBoardIOStatus, type addr mismatch.");
    return ErrCode_ParamError;
  }
  IO_STATUS status = IO_STATUS_INVALID;
  int result = ErrCode_ParamError;
  switch (type) {
    case RobotBoardControllerDI:
    case RobotBoardUserDI:
      result = m_robotBaseService->getInterfaceBoardDIStatusService(addr, status);
      break;
    case RobotBoardControllerDO:
    case RobotBoardUserDO:
      result = m_robotBaseService->getInterfaceBoardDOStatusService(addr, status);
      break;
    case RobotBoardUserAI:
      return m_robotBaseService->getInterfaceBoardAIStatusService(addr, value);
    default:  // RobotBoardUserAO: the controller's analog types hold no address
      return m_robotBaseService->getInterfaceBoardAOStatusService(addr, value);
  }
  if (result == ErrnoSucc) {
    value = static_cast<double>(status);
  }
  return result;
}

int RobotIoService::setBoardIOStatus(RobotIoType type, const std::string& name, double value) {
  if (!isDigitalOutput(type) && !isAnalogOutput(type)) {
    ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatus, type not exist.");
    return ErrCode_ParamError;
  }
  const NameAddrMap* names = boardMap(type);
  const auto found = names->find(name);
  if (found == names->end()) {
    ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatus, type addr mismatch.");
    return ErrCode_ParamError;
  }
  return setBoardIOStatus(type, found->second, value);
}

int RobotIoService::setBoardIOStatus(RobotIoType type, int addr, double value) {
  if (isDigitalOutput(type)) {
    if (!boardHasAddr(type, addr)) {
      ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatusByaddr DO, type addr mismatch.");
      return ErrCode_ParamError;
    }
    // NaN compares false with everything and would silently switch the output off.
    if (std::isnan(value)) {
      ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatusByaddr DO, value is not a number.");
      return ErrCode_ParamError;
    }
    return m_robotBaseService->setInterfaceBoardDOStatusService(addr, value > 0.5 ? IO_STATUS_VALID : IO_STATUS_INVALID);
  }
  if (isAnalogOutput(type)) {
    if (!boardHasAddr(type, addr)) {
      ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatusByaddr AO,  type addr mismatch.");
      return ErrCode_ParamError;
    }
    return m_robotBaseService->setInterfaceBoardAOStatusService(addr, value);
  }
  ruko::logPrint(LL_ERROR, "sdk log: Call setBoardIOStatusByaddr, type invalid.");
  return ErrCode_ParamError;
}

// ---- Tool: supply and pin directions, set and confirmed ----------------------------------------------------

int RobotIoService::setToolPowerVoltageType(ToolPowerType type) {
  const int result = m_robotBaseService->setToolPowerVoltageTypeService(type);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Setting tool voltage type failed. ret = %d", result);
    return result;
  }
  return confirmToolSetting([&](int attempt) {
    ToolPowerType current = OUT_0V;
    if (getToolPowerVoltageType(current) != ErrnoSucc) {
      ruko::logPrint(LL_WARN, "sdk log: get tool voltage type failed, number times:%d", attempt);
      return false;
    }
    if (current == type) {
      return true;
    }
    ruko::logPrint(LL_WARN, "sdk log: Real-time tool voltage type does not match expectations, number times:%d", attempt);
    return false;
  });
}

int RobotIoService::getToolPowerVoltageType(ToolPowerType& type) {
  return m_robotBaseService->getToolPowerVoltageTypeService(type);
}

int RobotIoService::getToolPowerVoltageStatus(double& value) {
  return m_robotBaseService->getToolPowerVoltageStatusService(value);
}

int RobotIoService::setToolDigitalIOType(ToolDigitalIOAddr addr, ToolIOType type) {
  if (m_toolDiagnosisIOAddrSet.count(addr) == 0) {
    ruko::logPrint(LL_ERROR, "sdk log: setToolDigitalIOType addr error.");
    return ErrCode_ParamError;
  }
  const int result = m_robotBaseService->setToolDigitalIOTypeService(addr, type);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Setting tool digital io type failed. ret = %d", result);
    return result;
  }
  return confirmToolSetting([&](int attempt) {
    std::vector<RobotIoDesc> pins;
    if (getAllToolDigitalIOStatus(pins) != ErrnoSucc) {
      ruko::logPrint(LL_WARN, "sdk log: get tool digital io type failed, number times:%d", attempt);
      return false;
    }
    // Pins are judged by their position in the controller's list.
    const bool complete = pins.size() >= kToolPins;
    if (complete && directionOf(pins[addr]) == static_cast<int>(type)) {
      return true;
    }
    ruko::logPrint(LL_WARN, "sdk log: Real-time tool digital io type does not match expectations, number times:%d",
                   attempt);
    if (complete) {
      ruko::logPrint(LL_WARN, "sdk log: Current state: io%d-%d", static_cast<int>(addr), directionOf(pins[addr]));
      ruko::logPrint(LL_WARN, "sdk log: target  state: io%d-%d", static_cast<int>(addr), static_cast<int>(type));
    }
    return false;
  });
}

int RobotIoService::setToolPowerTypeAndDigitalIOType(ToolPowerType type, ToolIOType io0, ToolIOType io1,
                                                     ToolIOType io2, ToolIOType io3) {
  const int result = m_robotBaseService->setToolPowerTypeAndDigitalIOTypeService(type, io0, io1, io2, io3);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Setting tool voltage type and digital io type failed. ret = %d", result);
    return result;
  }
  const ToolIOType target[kToolPins] = {io0, io1, io2, io3};
  return confirmToolSetting([&](int attempt) {
    ToolPowerType current = OUT_0V;
    if (getToolPowerVoltageType(current) != ErrnoSucc) {
      ruko::logPrint(LL_WARN, "sdk log: get tool voltage type failed, number times:%d", attempt);
      return false;
    }
    if (current != type) {
      ruko::logPrint(LL_WARN, "sdk log: Real-time tool voltage type does not match expectations, number times:%d",
                     attempt);
      return false;
    }
    std::vector<RobotIoDesc> pins;
    if (getAllToolDigitalIOStatus(pins) != ErrnoSucc) {
      ruko::logPrint(LL_WARN, "sdk log: get tool digital io type failed, number times:%d", attempt);
      return false;
    }
    const bool complete = pins.size() >= kToolPins;
    bool matches = complete;
    for (size_t pin = 0; matches && pin < kToolPins; ++pin) {
      matches = directionOf(pins[pin]) == static_cast<int>(target[pin]);
    }
    if (matches) {
      return true;
    }
    ruko::logPrint(LL_WARN, "sdk log: Real-time tool digital io type does not match expectations, number times:%d",
                   attempt);
    if (complete) {
      ruko::logPrint(LL_WARN, "sdk log: Current state: io0-%d  io1-%d  io2-%d  io3-%d", directionOf(pins[0]),
                     directionOf(pins[1]), directionOf(pins[2]), directionOf(pins[3]));
      ruko::logPrint(LL_WARN, "sdk log: target  state: io0-%d  io1-%d  io2-%d  io3-%d", static_cast<int>(io0),
                     static_cast<int>(io1), static_cast<int>(io2), static_cast<int>(io3));
    }
    return false;
  });
}

// ---- Tool: pins and analog inputs --------------------------------------------------------------------------

int RobotIoService::getAllToolDigitalIOStatus(std::vector<RobotIoDesc>& statusVector) {
  statusVector.clear();
  std::vector<RobotDiagnosisIODesc> pins;
  const int result = m_robotBaseService->getToolAllDigitalIOStatusService(pins);
  if (result != ErrnoSucc) {
    return result;
  }
  for (const RobotDiagnosisIODesc& pin : pins) {
    const auto name = m_toolDiagnosisIOAddrNameMaping.find(pin.addr);
    if (name == m_toolDiagnosisIOAddrNameMaping.end()) {
      continue;
    }
    RobotIoDesc desc;
    initRobotIoDesc(desc, name->second, pin.type != 0 ? RobotToolDO : RobotToolDI, name->second, pin.addr, pin.value);
    statusVector.push_back(desc);
  }
  return ErrnoSucc;
}

int RobotIoService::getAllToolAIStatus(std::vector<RobotIoDesc>& statusVector) {
  statusVector.clear();
  std::vector<RobotAnalogIODesc> inputs;
  const int result = m_robotBaseService->getToolAllAIStatusService(inputs);
  if (result != ErrnoSucc) {
    return result;
  }
  for (const auto& entry : m_toolAIMaping) {
    const size_t position = static_cast<size_t>(entry.second);
    if (position >= inputs.size()) {
      continue;
    }
    RobotIoDesc desc;
    initRobotIoDesc(desc, entry.first, RobotToolAI, entry.first, inputs[position].addr,
                    static_cast<double>(inputs[position].value));
    statusVector.push_back(desc);
  }
  return ErrnoSucc;
}

int RobotIoService::getToolIoStatusByName(const std::string& name, double& value) {
  std::vector<RobotIoDesc> list;
  int result = ErrnoSucc;
  int addr = 0;
  const auto pin = m_toolDiagnosisIONameAddrMaping.find(name);
  const auto input = m_toolAIMaping.find(name);
  if (pin != m_toolDiagnosisIONameAddrMaping.end()) {
    addr = pin->second;
    result = getAllToolDigitalIOStatus(list);
  } else if (input != m_toolAIMaping.end()) {
    addr = input->second;
    result = getAllToolAIStatus(list);
  } else {
    ruko::logPrint(LL_ERROR, "sdk log: Call getToolIoStatus name error.");
    return ErrCode_ParamError;
  }
  if (result == ErrnoSucc && static_cast<size_t>(addr) < list.size()) {
    value = list[static_cast<size_t>(addr)].ioValue;
  }
  return result;
}

int RobotIoService::setToolDOStatus(ToolDigitalIOAddr addr, IO_STATUS value) {
  if (m_toolDiagnosisIOAddrSet.count(addr) == 0) {
    ruko::logPrint(LL_ERROR, "sdk log: setToolDOStatus addr not exist.");
    return ErrCode_ParamError;
  }
  return m_robotBaseService->setToolDigitalIOStatusService(addr, value);
}

int RobotIoService::setToolDOStatus(const std::string& name, IO_STATUS value) {
  const auto found = m_toolDiagnosisIONameAddrMaping.find(name);
  if (found == m_toolDiagnosisIONameAddrMaping.end()) {
    ruko::logPrint(LL_ERROR, "sdk log: setToolDOStatus name not exist.");
    return ErrCode_ParamError;
  }
  return setToolDOStatus(static_cast<ToolDigitalIOAddr>(found->second), value);
}
