#ifndef RUKO_IO_ROBOTIOSERVICE_H
#define RUKO_IO_ROBOTIOSERVICE_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ruko_sdk/robot_io_types.h"

class RobotControlServices;

// The interface board's and the tool's inputs and outputs by name and by address. The catalogue is fixed,
// built by the constructor and read-only afterwards, so any number of threads may use one object at once;
// every request goes through the shared RobotControlServices, which this object does not own.
//
// A name or address outside the catalogue, a NaN level or a non-finite analog value is refused with
// ErrCode_ParamError and one LL_ERROR line before anything is sent.
class RobotIoService {
 public:
  explicit RobotIoService(RobotControlServices* robotBaseService);
  RobotIoService(const RobotIoService&) = delete;
  RobotIoService& operator=(const RobotIoService&) = delete;

  // Zeroes the record, then copies at most 31 characters of id and name (both stay terminated).
  static void initRobotIoDesc(ruko_robot_namespace::RobotIoDesc& robotIoDesc, const std::string& ioId,
                              ruko_robot_namespace::RobotIoType ioType, const std::string& ioName, int ioAddr,
                              double ioValue);

  // ---- Board ---------------------------------------------------------------------------------------------
  // The catalogue entries of the given types, each type's entries in name order, value -1. Nothing is sent.
  int getBoardIOConfig(const std::vector<ruko_robot_namespace::RobotIoType>& ioType,
                       std::vector<ruko_robot_namespace::RobotIoDesc>& configVector) const;
  // As the configuration, with values read from the controller's four full lists: the element at the list
  // position equal to the entry's address, -1 when the list is shorter.
  int getBoardIOStatus(const std::vector<ruko_robot_namespace::RobotIoType>& ioType,
                       std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  int getBoardIOStatus(ruko_robot_namespace::RobotIoType type, const std::string& name, double& value);
  int getBoardIOStatus(ruko_robot_namespace::RobotIoType type, int addr, double& value);
  // Outputs only. A digital output is written 1 for a value above 0.5, else 0.
  int setBoardIOStatus(ruko_robot_namespace::RobotIoType type, const std::string& name, double value);
  int setBoardIOStatus(ruko_robot_namespace::RobotIoType type, int addr, double value);

  // ---- Tool ----------------------------------------------------------------------------------------------
  // The three setters of the tool's configuration read it back after a pause, up to three times, and give
  // ErrCode_Failed when it never shows; the setting is sent once.
  int setToolPowerVoltageType(ruko_robot_namespace::ToolPowerType type);
  int getToolPowerVoltageType(ruko_robot_namespace::ToolPowerType& type);
  int getToolPowerVoltageStatus(double& value);
  int setToolDigitalIOType(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::ToolIOType type);
  int setToolPowerTypeAndDigitalIOType(ruko_robot_namespace::ToolPowerType type, ruko_robot_namespace::ToolIOType io0,
                                       ruko_robot_namespace::ToolIOType io1, ruko_robot_namespace::ToolIOType io2,
                                       ruko_robot_namespace::ToolIOType io3);
  // The pins in the controller's order, those with an address outside 0..3 left out.
  int getAllToolDigitalIOStatus(std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  int getAllToolAIStatus(std::vector<ruko_robot_namespace::RobotIoDesc>& statusVector);
  // Returns the read's code; the value stays as it was when the list is shorter than the pin's address.
  int getToolIoStatusByName(const std::string& name, double& value);
  int setToolDOStatus(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::IO_STATUS value);
  int setToolDOStatus(const std::string& name, ruko_robot_namespace::IO_STATUS value);

 private:
  using NameAddrMap = std::map<std::string, int>;

  void initToolIoConfig();
  void initBoardIoConfig();
  const NameAddrMap* boardMap(ruko_robot_namespace::RobotIoType type) const;
  bool boardHasAddr(ruko_robot_namespace::RobotIoType type, int addr) const;
  // Appends the entries of one board type in name order; `valueAt(addr)` gives each one's value.
  template <class ValueAt>
  void appendBoardEntries(ruko_robot_namespace::RobotIoType type, ValueAt&& valueAt,
                          std::vector<ruko_robot_namespace::RobotIoDesc>& out) const;

  RobotControlServices* m_robotBaseService;

  std::map<ruko_robot_namespace::RobotIoType, NameAddrMap> m_boardIOMaping;
  std::set<ruko_robot_namespace::RobotIoType> m_boardIoTypeSet;
  std::map<ruko_robot_namespace::RobotIoType, std::set<int>> m_boardIOTypeAddrSetMaping;

  NameAddrMap m_toolDiagnosisIONameAddrMaping;
  std::map<int, std::string> m_toolDiagnosisIOAddrNameMaping;
  std::set<int> m_toolDiagnosisIOAddrSet;
  NameAddrMap m_toolAIMaping;
};

#endif  // RUKO_IO_ROBOTIOSERVICE_H
