// The facade's board I/O, tool I/O and tool power families, and the online-mode readers built on a board
// input: each forwards to the I/O service.
#include <iostream>
#include <string>
#include <vector>

#include "facade/serviceinterface_impl.h"
#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

// ---- Board -------------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceGetBoardIOConfig(const std::vector<RobotIoType>& ioType,
                                                   std::vector<RobotIoDesc>& configVector) {
  return m_impl->io().getBoardIOConfig(ioType, configVector);
}

int ServiceInterface::robotServiceGetBoardIOStatus(std::vector<RobotIoType> ioType,
                                                   std::vector<RobotIoDesc>& statusVector) {
  return m_impl->io().getBoardIOStatus(ioType, statusVector);
}

int ServiceInterface::robotServiceGetBoardIOStatus(RobotIoType type, std::string name, double& value) {
  return m_impl->io().getBoardIOStatus(type, name, value);
}

int ServiceInterface::robotServiceGetBoardIOStatus(RobotIoType type, int addr, double& value) {
  return m_impl->io().getBoardIOStatus(type, addr, value);
}

int ServiceInterface::robotServiceSetBoardIOStatus(RobotIoType type, std::string name, double value) {
  std::cout << "robotServiceSetBoardIOStatus type : " << static_cast<int>(type) << " name : " << name
            << " value : " << value;
  return m_impl->io().setBoardIOStatus(type, name, value);
}

int ServiceInterface::robotServiceSetBoardIOStatus(RobotIoType type, int addr, double value) {
  return m_impl->io().setBoardIOStatus(type, addr, value);
}

// ---- Tool --------------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceSetToolPowerVoltageType(ToolPowerType type) {
  return m_impl->io().setToolPowerVoltageType(type);
}

int ServiceInterface::robotServiceGetToolPowerVoltageType(ToolPowerType& type) {
  return m_impl->io().getToolPowerVoltageType(type);
}

int ServiceInterface::robotServiceGetToolPowerVoltageStatus(double& value) {
  return m_impl->io().getToolPowerVoltageStatus(value);
}

int ServiceInterface::robotServiceSetToolDigitalIOType(ToolDigitalIOAddr addr, ToolIOType type) {
  return m_impl->io().setToolDigitalIOType(addr, type);
}

int ServiceInterface::robotServiceSetToolPowerTypeAndDigitalIOType(ToolPowerType type, ToolIOType io0, ToolIOType io1,
                                                                   ToolIOType io2, ToolIOType io3) {
  return m_impl->io().setToolPowerTypeAndDigitalIOType(type, io0, io1, io2, io3);
}

int ServiceInterface::robotServiceGetAllToolDigitalIOStatus(std::vector<RobotIoDesc>& statusVector) {
  return m_impl->io().getAllToolDigitalIOStatus(statusVector);
}

int ServiceInterface::robotServiceGetAllToolAIStatus(std::vector<RobotIoDesc>& statusVector) {
  return m_impl->io().getAllToolAIStatus(statusVector);
}

int ServiceInterface::robotServiceGetToolIoStatus(std::string name, double& value) {
  return m_impl->io().getToolIoStatusByName(name, value);
}

int ServiceInterface::robotServiceSetToolDOStatus(ToolDigitalIOAddr addr, IO_STATUS value) {
  return m_impl->io().setToolDOStatus(addr, value);
}

int ServiceInterface::robotServiceSetToolDOStatus(std::string name, IO_STATUS value) {
  return m_impl->io().setToolDOStatus(name, value);
}

// ---- Online mode -------------------------------------------------------------------------------------------

int ServiceInterface::robotServiceIsOnlineMode(bool& value) {
  double level = 0.0;
  const int result = robotServiceGetBoardIOStatus(RobotBoardControllerDI, std::string("CI00"), level);
  value = result == ErrnoSucc && level > 0.5;
  return result;
}

int ServiceInterface::robotServiceIsOnlineMasterMode(bool& value) {
  double level = 0.0;
  const int result = robotServiceGetBoardIOStatus(RobotBoardControllerDI, std::string("CI01"), level);
  // An unreadable input counts as master: the caller sees the failure in the result.
  value = result != ErrnoSucc || level > 0.5;
  return result;
}
