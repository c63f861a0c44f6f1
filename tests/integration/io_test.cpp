// Board I/O, tool I/O and tool power through the facade, over TCP against the simulated controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "log_capture.h"
#include "ruko_sdk/serviceinterface.h"
#include "simulator.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using CMT = CommunicationMateType;

namespace {

constexpr int kRefusedCode = 2;  // a controller result code the simulator uses for a refused request

std::vector<std::string> namesOf(const std::vector<RobotIoDesc>& list) {
  std::vector<std::string> names;
  for (const RobotIoDesc& desc : list) names.push_back(desc.ioName);
  return names;
}

const RobotIoDesc* find(const std::vector<RobotIoDesc>& list, const std::string& name) {
  for (const RobotIoDesc& desc : list) {
    if (name == desc.ioName) return &desc;
  }
  return nullptr;
}

class IoOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    ruko::sim::Options options;
    options.timeScale = 0.05;
    sim = std::make_unique<ruko::sim::Simulator>(options);
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    robot = std::make_unique<ServiceInterface>();
    ASSERT_EQ(login(*robot), ErrnoSucc);
  }

  int login(ServiceInterface& facade) { return facade.robotServiceLogin("127.0.0.1", sim->port(), "user", "pass"); }

  int sent(int type) const {
    const std::vector<int> all = sim->requests();
    return static_cast<int>(std::count(all.begin(), all.end(), type));
  }

  // Counts the warnings of a confirmation loop numbered 1, 2, 3 that contain `text`.
  std::vector<int> warnedTries(const std::string& text) const {
    std::vector<int> tries;
    for (const auto& line : log.lines()) {
      if (line.level != LL_WARN || line.text.find(text) == std::string::npos) continue;
      tries.push_back(line.text.back() - '0');
    }
    return tries;
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{[] {
    ruko::TimingTable t = ruko::fastTiming();
    t.responseWait = 2s;
    t.toolReadbackPause = 5ms;
    return t;
  }()};
  std::unique_ptr<ruko::sim::Simulator> sim;
  std::unique_ptr<ServiceInterface> robot;
};

// ---- Catalogue ---------------------------------------------------------------------------------------------

TEST_F(IoOnSimulator, ConfigurationListsEachTypeInNameOrderWithoutAsking) {
  const int before = static_cast<int>(sim->requests().size());
  struct Case {
    RobotIoType type;
    std::vector<std::string> names;  // in the order listed
    std::vector<int> addrs;
  };
  const std::vector<Case> cases = {
      {RobotBoardControllerDI,
       {"CI00", "CI01", "CI02", "CI03", "CI10", "CI11", "CI12", "CI13", "LI00", "LI01", "LI02", "LI03", "LI04", "LI05",
        "SI00", "SI01", "SI02", "SI03", "SI04", "SI05", "SI06", "SI07", "SI10", "SI11", "SI12", "SI13", "SI14", "SI15",
        "SI16", "SI17"},
       {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {RobotBoardControllerDO,
       {"CO00", "CO01", "CO02", "CO03", "CO10", "CO11", "CO12", "CO13", "LO00", "LO01", "LO02", "LO03", "SO00", "SO01",
        "SO02", "SO03", "SO04", "SO05", "SO06", "SO07", "SO10", "SO11", "SO12", "SO13", "SO14", "SO15", "SO16", "SO17"},
       {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {RobotBoardControllerAI, {}, {}},
      {RobotBoardControllerAO, {}, {}},
      {RobotBoardUserDI,
       {"F1", "F2", "F3", "F4", "F5", "F6", "U_DI_00", "U_DI_01", "U_DI_02", "U_DI_03", "U_DI_04", "U_DI_05", "U_DI_06",
        "U_DI_07", "U_DI_10", "U_DI_11", "U_DI_12", "U_DI_13", "U_DI_14", "U_DI_15", "U_DI_16", "U_DI_17"},
       {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51}},
      {RobotBoardUserDO,
       {"U_DO_00", "U_DO_01", "U_DO_02", "U_DO_03", "U_DO_04", "U_DO_05", "U_DO_06", "U_DO_07", "U_DO_10", "U_DO_11",
        "U_DO_12", "U_DO_13", "U_DO_14", "U_DO_15", "U_DO_16", "U_DO_17"},
       {32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47}},
      {RobotBoardUserAI, {"VI0", "VI1", "VI2", "VI3"}, {0, 1, 2, 3}},
      {RobotBoardUserAO, {"CO0", "CO1", "VO0", "VO1"}, {2, 3, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::vector<RobotIoDesc> list(3);  // stale content is cleared
    ASSERT_EQ(robot->robotServiceGetBoardIOConfig({c.type}, list), ErrnoSucc);
    EXPECT_EQ(namesOf(list), c.names);
    for (size_t i = 0; i < list.size() && i < c.addrs.size(); ++i) {
      EXPECT_EQ(list[i].ioAddr, c.addrs[i]) << list[i].ioName;
      EXPECT_STREQ(list[i].ioId, list[i].ioName);
      EXPECT_EQ(list[i].ioType, c.type);
      EXPECT_EQ(list[i].ioValue, -1.0);
    }
  }

  std::vector<RobotIoDesc> list;
  ASSERT_EQ(robot->robotServiceGetBoardIOConfig({RobotBoardUserDI, RobotBoardUserAI}, list), ErrnoSucc);
  ASSERT_EQ(list.size(), 26u);
  EXPECT_STREQ(list.front().ioName, "F1");
  EXPECT_STREQ(list.back().ioName, "VI3");
  ASSERT_EQ(robot->robotServiceGetBoardIOConfig({RobotBoardUserAI, RobotBoardUserAI}, list), ErrnoSucc);
  EXPECT_EQ(list.size(), 8u);

  // A tool type is no board type: the list is emptied even though a valid type came first.
  EXPECT_EQ(robot->robotServiceGetBoardIOConfig({RobotBoardUserDO, RobotToolDI}, list), ErrCode_ParamError);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(log.count("sdk log: Call getBoardIOConfig IO type error.", LL_ERROR), 1);
  EXPECT_EQ(static_cast<int>(sim->requests().size()), before);
}

// ---- Board status ------------------------------------------------------------------------------------------

TEST_F(IoOnSimulator, StatusListingTakesTheElementAtTheAddressFromTheTypesList) {
  sim->setBoardInput(36, true);  // U_DI_00
  sim->setBoardInput(16, true);  // CI00
  sim->setBoardAnalogInput(2, 1.25f);
  sim->updateIo([](ruko::sim::IoState& io) {
    io.boardDO[40] = 1;  // U_DO_10
    io.boardAO[3] = 7.5f;  // CO1
  });
  std::vector<RobotIoDesc> list;
  ASSERT_EQ(robot->robotServiceGetBoardIOStatus(
                {RobotBoardControllerDI, RobotBoardUserDI, RobotBoardUserDO, RobotBoardUserAI, RobotBoardUserAO}, list),
            ErrnoSucc);
  EXPECT_EQ(list.size(), 30u + 22u + 16u + 4u + 4u);
  EXPECT_EQ(find(list, "CI00")->ioValue, 1.0);
  EXPECT_EQ(find(list, "CI01")->ioValue, 0.0);
  EXPECT_EQ(find(list, "U_DI_00")->ioValue, 1.0);
  EXPECT_EQ(find(list, "U_DO_10")->ioValue, 1.0);
  EXPECT_EQ(find(list, "U_DO_07")->ioValue, 0.0);
  EXPECT_EQ(find(list, "VI2")->ioValue, 1.25);
  EXPECT_EQ(find(list, "CO1")->ioValue, 7.5);
  EXPECT_EQ(sent(CMT::CommunicationType_GetInterfaceBoardAllDIData), 1);
  EXPECT_EQ(sent(CMT::CommunicationType_GetInterfaceBoardAllAOData), 1);
}

TEST_F(IoOnSimulator, StatusListingOfAShortListReportsMinusOneBeyondItsEnd) {
  sim->updateIo([](ruko::sim::IoState& io) {
    io.boardDI.assign(40, 1);
  });
  std::vector<RobotIoDesc> list;
  ASSERT_EQ(robot->robotServiceGetBoardIOStatus({RobotBoardUserDI}, list), ErrnoSucc);
  ASSERT_EQ(list.size(), 22u);
  for (const RobotIoDesc& desc : list) {
    EXPECT_EQ(desc.ioValue, desc.ioAddr < 40 ? 1.0 : -1.0) << desc.ioName;
  }
}

TEST_F(IoOnSimulator, StatusListingErrors) {
  std::vector<RobotIoDesc> list;
  // An unknown type stops the listing and keeps what came before it.
  EXPECT_EQ(robot->robotServiceGetBoardIOStatus({RobotBoardControllerDI, static_cast<RobotIoType>(99)}, list),
            ErrCode_ParamError);
  EXPECT_EQ(list.size(), 30u);
  EXPECT_EQ(log.count("sdk log: Call getBoardIOStatus RobotIoType not Exist.", LL_ERROR), 1);

  // A failing full-list query gives its code and an empty list; the later lists are not asked for.
  sim->setFault(CMT::CommunicationType_GetInterfaceBoardAllDOData, ruko::sim::Fault{0ms, false, kRefusedCode, false});
  const int aiBefore = sent(CMT::CommunicationType_GetInterfaceBoardAllAIData);
  EXPECT_EQ(robot->robotServiceGetBoardIOStatus({RobotBoardControllerDI}, list),
            RobotControlServices::getErrCodeByServerResponse(kRefusedCode));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(sent(CMT::CommunicationType_GetInterfaceBoardAllAIData), aiBefore);
}

TEST_F(IoOnSimulator, ReadsOneEntryByNameOrAddress) {
  sim->setBoardInput(36, true);
  sim->setBoardAnalogInput(3, 4.5f);
  sim->updateIo([](ruko::sim::IoState& io) { io.boardAO[0] = -2.25f; });
  struct Case {
    RobotIoType type;
    std::string name;  // empty: by address
    int addr;
    double expected;
  };
  const Case cases[] = {
      {RobotBoardUserDI, "U_DI_00", 0, 1.0},  {RobotBoardUserDI, "", 36, 1.0},   {RobotBoardUserDI, "U_DI_01", 0, 0.0},
      {RobotBoardUserAI, "VI3", 0, 4.5},      {RobotBoardUserAO, "VO0", 0, -2.25}, {RobotBoardControllerDO, "", 0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "/" + std::to_string(c.addr));
    double value = 99.0;
    const int result = c.name.empty() ? robot->robotServiceGetBoardIOStatus(c.type, c.addr, value)
                                      : robot->robotServiceGetBoardIOStatus(c.type, c.name, value);
    EXPECT_EQ(result, ErrnoSucc);
    EXPECT_EQ(value, c.expected);
  }
  EXPECT_EQ(sent(CMT::CommunicationType_GetInterfaceBoardOneDIStatus), 3);
}

TEST_F(IoOnSimulator, ReadsOutsideTheCatalogueSendNothing) {
  const int before = static_cast<int>(sim->requests().size());
  struct Case {
    RobotIoType type;
    std::string name;
    int addr;
    const char* line;
  };
  const Case cases[] = {
      {RobotBoardUserDI, "SI00", 0, "sdk log: Call getBoardIOStatus, type name mismatch."},
      {RobotBoardUserDI, "u_di_00", 0, "sdk log: Call getBoardIOStatus, type name mismatch."},
      {RobotToolDI, "T_DI/O_00", 0, "sdk log: Call getBoardIOStatus, type name mismatch."},
      {RobotBoardControllerAI, "", 0, "sdk log:  Call getBoardIOStatus, type addr mismatch."},
      {RobotBoardUserDO, "", 28, "sdk log:  Call getBoardIOStatus, type addr mismatch."},
      {RobotBoardUserDI, "", 29, "sdk log:  Call getBoardIOStatus, type addr mismatch."},
      {RobotBoardUserAI, "", -1, "sdk log:  Call getBoardIOStatus, type addr mismatch."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "/" + std::to_string(c.addr));
    log.clear();
    double value = 99.0;
    const int result = c.name.empty() ? robot->robotServiceGetBoardIOStatus(c.type, c.addr, value)
                                      : robot->robotServiceGetBoardIOStatus(c.type, c.name, value);
    EXPECT_EQ(result, ErrCode_ParamError);
    EXPECT_EQ(value, 99.0);
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
  }
  EXPECT_EQ(static_cast<int>(sim->requests().size()), before);
}

TEST_F(IoOnSimulator, WritesOutputsByNameOrAddress) {
  struct Case {
    RobotIoType type;
    std::string name;
    int addr;
    double value;
    int boardAddr;
    double shown;  // what the board holds afterwards
  };
  const Case cases[] = {
      {RobotBoardUserDO, "U_DO_00", 0, 0.6, 32, 1.0},  {RobotBoardUserDO, "U_DO_00", 0, 0.5, 32, 0.0},
      {RobotBoardUserDO, "", 47, 1.0, 47, 1.0},         {RobotBoardControllerDO, "LO03", 0, 2.0, 27, 1.0},
      {RobotBoardUserDO, "", 47, -3.0, 47, 0.0},        {RobotBoardUserAO, "VO1", 0, 2.5, 1, 2.5},
      {RobotBoardUserAO, "", 2, -0.75, 2, -0.75},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "/" + std::to_string(c.addr) + "=" + std::to_string(c.value));
    const int result = c.name.empty() ? robot->robotServiceSetBoardIOStatus(c.type, c.addr, c.value)
                                      : robot->robotServiceSetBoardIOStatus(c.type, c.name, c.value);
    ASSERT_EQ(result, ErrnoSucc);
    const ruko::sim::IoState io = sim->io();
    const bool digital = c.type == RobotBoardUserDO || c.type == RobotBoardControllerDO;
    EXPECT_EQ(digital ? static_cast<double>(io.boardDO[c.boardAddr]) : static_cast<double>(io.boardAO[c.boardAddr]),
              c.shown);
  }
}

TEST_F(IoOnSimulator, WritesThatCannotBeMadeSendNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    RobotIoType type;
    std::string name;
    int addr;
    double value;
    const char* line;
  };
  const Case cases[] = {
      {RobotBoardUserDI, "U_DI_00", 0, 1.0, "sdk log: Call setBoardIOStatus, type not exist."},
      {RobotToolDO, "T_DI/O_00", 0, 1.0, "sdk log: Call setBoardIOStatus, type not exist."},
      {RobotBoardUserDO, "U_DO_08", 0, 1.0, "sdk log: Call setBoardIOStatus, type addr mismatch."},
      {RobotBoardUserAO, "CO00", 0, 1.0, "sdk log: Call setBoardIOStatus, type addr mismatch."},
      {RobotBoardUserDO, "", 31, 1.0, "sdk log: Call setBoardIOStatusByaddr DO, type addr mismatch."},
      {RobotBoardControllerDO, "", 32, 1.0, "sdk log: Call setBoardIOStatusByaddr DO, type addr mismatch."},
      {RobotBoardControllerAO, "", 0, 1.0, "sdk log: Call setBoardIOStatusByaddr AO,  type addr mismatch."},
      {RobotBoardUserAO, "", 4, 1.0, "sdk log: Call setBoardIOStatusByaddr AO,  type addr mismatch."},
      {RobotBoardUserDI, "", 36, 1.0, "sdk log: Call setBoardIOStatusByaddr, type invalid."},
      {RobotBoardUserDO, "", 32, nan, "sdk log: Call setBoardIOStatusByaddr DO, value is not a number."},
      {RobotBoardUserAO, "VO0", 0, nan, "is not a finite single-precision number."},
      {RobotBoardUserAO, "", 0, std::numeric_limits<double>::infinity(), "is not a finite single-precision number."},
      {RobotBoardUserAO, "", 0, 1e300, "is not a finite single-precision number."},
  };
  const int before = static_cast<int>(sim->requests().size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "/" + std::to_string(c.addr) + "=" + std::to_string(c.value));
    log.clear();
    const int result = c.name.empty() ? robot->robotServiceSetBoardIOStatus(c.type, c.addr, c.value)
                                      : robot->robotServiceSetBoardIOStatus(c.type, c.name, c.value);
    EXPECT_EQ(result, ErrCode_ParamError);
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
    EXPECT_EQ(log.count("", LL_ERROR), 1) << "one line per refusal";
  }
  EXPECT_EQ(static_cast<int>(sim->requests().size()), before);
}

TEST_F(IoOnSimulator, ASetFromOneConnectionIsSeenByAnotherAndSurvivesReconnecting) {
  ServiceInterface other;
  ASSERT_EQ(login(other), ErrnoSucc);
  ASSERT_EQ(robot->robotServiceSetBoardIOStatus(RobotBoardUserDO, std::string("U_DO_13"), 1.0), ErrnoSucc);
  ASSERT_EQ(robot->robotServiceSetToolDOStatus(std::string("T_DI/O_01"), IO_STATUS_VALID), ErrnoSucc);
  double value = 0.0;
  ASSERT_EQ(other.robotServiceGetBoardIOStatus(RobotBoardUserDO, std::string("U_DO_13"), value), ErrnoSucc);
  EXPECT_EQ(value, 1.0);
  value = 0.0;
  ASSERT_EQ(other.robotServiceGetToolIoStatus("T_DI/O_01", value), ErrnoSucc);
  EXPECT_EQ(value, 1.0);

  ASSERT_EQ(robot->robotServiceLogout(), ErrnoSucc);
  ASSERT_EQ(login(*robot), ErrnoSucc);
  value = 0.0;
  ASSERT_EQ(robot->robotServiceGetBoardIOStatus(RobotBoardUserDO, 43, value), ErrnoSucc);
  EXPECT_EQ(value, 1.0);
}

TEST_F(IoOnSimulator, RequestsWhileDisconnectedFailInTheEngine) {
  ASSERT_EQ(robot->robotServiceLogout(), ErrnoSucc);
  double value = 5.0;
  EXPECT_NE(robot->robotServiceGetBoardIOStatus(RobotBoardUserDI, std::string("F1"), value), ErrnoSucc);
  EXPECT_EQ(value, 5.0);
  std::vector<RobotIoDesc> list(2);
  EXPECT_NE(robot->robotServiceGetBoardIOStatus({RobotBoardUserDI}, list), ErrnoSucc);
  EXPECT_TRUE(list.empty());
}

// ---- Online mode -------------------------------------------------------------------------------------------

TEST_F(IoOnSimulator, OnlineModeReadsCI00AndMasterModeCI01) {
  bool online = true;
  bool master = true;
  ASSERT_EQ(robot->robotServiceIsOnlineMode(online), ErrnoSucc);
  ASSERT_EQ(robot->robotServiceIsOnlineMasterMode(master), ErrnoSucc);
  EXPECT_FALSE(online);
  EXPECT_FALSE(master);

  sim->setBoardInput(16, true);
  sim->setBoardInput(17, true);
  ASSERT_EQ(robot->robotServiceIsOnlineMode(online), ErrnoSucc);
  ASSERT_EQ(robot->robotServiceIsOnlineMasterMode(master), ErrnoSucc);
  EXPECT_TRUE(online);
  EXPECT_TRUE(master);

  // A failed read: not online, but master.
  sim->setBoardInput(16, false);
  sim->setBoardInput(17, false);
  sim->setFault(CMT::CommunicationType_GetInterfaceBoardOneDIStatus, ruko::sim::Fault{0ms, false, kRefusedCode, false});
  const int refused = RobotControlServices::getErrCodeByServerResponse(kRefusedCode);
  online = true;
  master = false;
  EXPECT_EQ(robot->robotServiceIsOnlineMode(online), refused);
  EXPECT_EQ(robot->robotServiceIsOnlineMasterMode(master), refused);
  EXPECT_FALSE(online);
  EXPECT_TRUE(master);
}

// ---- Tool: set and confirm ---------------------------------------------------------------------------------

TEST_F(IoOnSimulator, PowerTypeIsConfirmedWithinThreeReadBacksAndNeverResent) {
  struct Case {
    int lag;
    int expected;
    int reads;
    std::vector<int> mismatchWarnings;
  };
  const Case cases[] = {
      {0, ErrnoSucc, 1, {}},
      {1, ErrnoSucc, 2, {1}},
      {2, ErrnoSucc, 3, {1, 2}},
      {3, ErrCode_Failed, 3, {1, 2, 3}},
  };
  ToolPowerType target = OUT_12V;
  for (const Case& c : cases) {
    SCOPED_TRACE("lag " + std::to_string(c.lag));
    sim->updateIo([](ruko::sim::IoState& io) { io.toolChangeLag = 0; });
    ASSERT_EQ(robot->robotServiceSetToolPowerVoltageType(OUT_0V), ErrnoSucc);  // a known start
    sim->setToolChangeLag(c.lag);
    target = target == OUT_12V ? OUT_24V : OUT_12V;
    log.clear();
    const int sets = sent(CMT::CommunicationType_SetToolPowerVoltageType);
    const int reads = sent(CMT::CommunicationType_GetToolPowerVoltageType);
    EXPECT_EQ(robot->robotServiceSetToolPowerVoltageType(target), c.expected);
    EXPECT_EQ(sent(CMT::CommunicationType_SetToolPowerVoltageType), sets + 1);
    EXPECT_EQ(sent(CMT::CommunicationType_GetToolPowerVoltageType), reads + c.reads);
    EXPECT_EQ(warnedTries("sdk log: Real-time tool voltage type does not match expectations, number times:"),
              c.mismatchWarnings);
  }
}

TEST_F(IoOnSimulator, AStickyPowerTypeFailsAfterThreePauses) {
  // The pause is the timing table's; 40 ms stands for the 150 ms of the field.
  ruko::TimingTable t = ruko::timing();
  t.toolReadbackPause = 40ms;
  ruko::ScopedTimingOverride slower(t);
  sim->setToolChangeSticky(true);
  const auto began = std::chrono::steady_clock::now();
  EXPECT_EQ(robot->robotServiceSetToolPowerVoltageType(OUT_24V), ErrCode_Failed);
  EXPECT_GE(std::chrono::steady_clock::now() - began, 120ms);
  EXPECT_EQ(warnedTries("sdk log: Real-time tool voltage type does not match expectations, number times:"),
            (std::vector<int>{1, 2, 3}));
  ToolPowerType current = OUT_24V;
  ASSERT_EQ(robot->robotServiceGetToolPowerVoltageType(current), ErrnoSucc);
  EXPECT_EQ(current, OUT_0V);
}

TEST_F(IoOnSimulator, RefusedToolSettingsAreNotConfirmed) {
  const int refused = RobotControlServices::getErrCodeByServerResponse(kRefusedCode);
  struct Case {
    int type;
    std::function<int()> call;
    std::string line;
  };
  const Case cases[] = {
      {CMT::CommunicationType_SetToolPowerVoltageType,
       [&] { return robot->robotServiceSetToolPowerVoltageType(OUT_12V); },
       "sdk log: Setting tool voltage type failed. ret = " + std::to_string(refused)},
      {CMT::CommunicationType_SetToolDigitalIOType,
       [&] { return robot->robotServiceSetToolDigitalIOType(TOOL_DIGITAL_IO_1, IO_OUT); },
       "sdk log: Setting tool digital io type failed. ret = " + std::to_string(refused)},
      {CMT::CommunicationType_SetToolPowerTypeAndDigitalIOType,
       [&] { return robot->robotServiceSetToolPowerTypeAndDigitalIOType(OUT_12V, IO_OUT, IO_OUT, IO_IN, IO_IN); },
       "sdk log: Setting tool voltage type and digital io type failed. ret = " + std::to_string(refused)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    sim->setFault(c.type, ruko::sim::Fault{0ms, false, kRefusedCode, false});
    log.clear();
    const int reads = sent(CMT::CommunicationType_GetToolPowerVoltageType) +
                      sent(CMT::CommunicationType_GetToolAllDigitalIOStatus);
    EXPECT_EQ(c.call(), refused);
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
    EXPECT_EQ(sent(CMT::CommunicationType_GetToolPowerVoltageType) +
                  sent(CMT::CommunicationType_GetToolAllDigitalIOStatus),
              reads);
  }
  const ruko::sim::IoState io = sim->io();
  EXPECT_EQ(io.toolPowerType, 0);
  EXPECT_EQ(io.toolPinOutput, (std::array<uint32_t, 4>{}));
}

TEST_F(IoOnSimulator, PinDirectionIsConfirmedFromThePinList) {
  sim->setToolChangeLag(1);
  EXPECT_EQ(robot->robotServiceSetToolDigitalIOType(TOOL_DIGITAL_IO_2, IO_OUT), ErrnoSucc);
  EXPECT_EQ(warnedTries("sdk log: Real-time tool digital io type does not match expectations, number times:"),
            std::vector<int>{1});
  EXPECT_EQ(log.count("sdk log: Current state: io2-0", LL_WARN), 1);
  EXPECT_EQ(log.count("sdk log: target  state: io2-1", LL_WARN), 1);

  std::vector<RobotIoDesc> pins;
  ASSERT_EQ(robot->robotServiceGetAllToolDigitalIOStatus(pins), ErrnoSucc);
  ASSERT_EQ(pins.size(), 4u);
  const char* names[] = {"T_DI/O_00", "T_DI/O_01", "T_DI/O_02", "T_DI/O_03"};
  for (int pin = 0; pin < 4; ++pin) {
    EXPECT_STREQ(pins[pin].ioName, names[pin]);
    EXPECT_STREQ(pins[pin].ioId, names[pin]);
    EXPECT_EQ(pins[pin].ioAddr, pin);
    EXPECT_EQ(pins[pin].ioType, pin == 2 ? RobotToolDO : RobotToolDI);
  }

  // Address 4 is no pin: refused before anything is sent.
  const int sets = sent(CMT::CommunicationType_SetToolDigitalIOType);
  EXPECT_EQ(robot->robotServiceSetToolDigitalIOType(static_cast<ToolDigitalIOAddr>(4), IO_OUT), ErrCode_ParamError);
  EXPECT_EQ(log.count("sdk log: setToolDigitalIOType addr error.", LL_ERROR), 1);
  EXPECT_EQ(sent(CMT::CommunicationType_SetToolDigitalIOType), sets);
}

TEST_F(IoOnSimulator, PinDirectionNeverConfirmsFromAListOfThreePins) {
  sim->updateIo([](ruko::sim::IoState& io) { io.toolPinsListed = 3; });
  EXPECT_EQ(robot->robotServiceSetToolDigitalIOType(TOOL_DIGITAL_IO_0, IO_OUT), ErrCode_Failed);
  EXPECT_EQ(warnedTries("sdk log: Real-time tool digital io type does not match expectations, number times:"),
            (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(log.contains("Current state"));
  EXPECT_FALSE(log.contains("target  state"));
}

TEST_F(IoOnSimulator, PowerAndAllDirectionsAreConfirmedTogether) {
  sim->setToolChangeLag(1);
  EXPECT_EQ(robot->robotServiceSetToolPowerTypeAndDigitalIOType(OUT_24V, IO_OUT, IO_IN, IO_OUT, IO_IN), ErrnoSucc);
  EXPECT_EQ(warnedTries("sdk log: Real-time tool voltage type does not match expectations, number times:"),
            std::vector<int>{1});
  const ruko::sim::IoState io = sim->io();
  EXPECT_EQ(io.toolPowerType, 2);
  EXPECT_EQ(io.toolPinOutput, (std::array<uint32_t, 4>{1, 0, 1, 0}));
  double volts = 0.0;
  ASSERT_EQ(robot->robotServiceGetToolPowerVoltageStatus(volts), ErrnoSucc);
  EXPECT_EQ(volts, 24.0);

  // The power shows but the pins do not: the pins' warnings carry both states.
  sim->setToolChangeLag(0);
  sim->updateIo([](ruko::sim::IoState& io) { io.toolPinsListed = 4; });
  sim->setToolChangeSticky(true);
  log.clear();
  EXPECT_EQ(robot->robotServiceSetToolPowerTypeAndDigitalIOType(OUT_24V, IO_IN, IO_IN, IO_IN, IO_OUT), ErrCode_Failed);
  EXPECT_EQ(warnedTries("sdk log: Real-time tool digital io type does not match expectations, number times:"),
            (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(log.count("sdk log: Current state: io0-1  io1-0  io2-1  io3-0", LL_WARN), 3);
  EXPECT_EQ(log.count("sdk log: target  state: io0-0  io1-0  io2-0  io3-1", LL_WARN), 3);
}

TEST_F(IoOnSimulator, ToolValuesOutsideTheirRangeAreRefusedUnsent) {
  const int before = static_cast<int>(sim->requests().size());
  EXPECT_EQ(robot->robotServiceSetToolPowerVoltageType(static_cast<ToolPowerType>(3)), ErrCode_ParamError);
  EXPECT_EQ(robot->robotServiceSetToolDigitalIOType(TOOL_DIGITAL_IO_1, static_cast<ToolIOType>(2)), ErrCode_ParamError);
  EXPECT_EQ(robot->robotServiceSetToolPowerTypeAndDigitalIOType(OUT_12V, IO_IN, static_cast<ToolIOType>(256), IO_IN,
                                                                IO_IN),
            ErrCode_ParamError);
  EXPECT_EQ(robot->robotServiceSetToolDOStatus(static_cast<ToolDigitalIOAddr>(4), IO_STATUS_VALID), ErrCode_ParamError);
  EXPECT_EQ(robot->robotServiceSetToolDOStatus(TOOL_DIGITAL_IO_0, static_cast<IO_STATUS>(2)), ErrCode_ParamError);
  // Each refusal names the value; the setters with a confirmation add their own failure line.
  EXPECT_EQ(log.count("sdk log: I/O request refused:", LL_ERROR), 4);
  EXPECT_EQ(log.count("sdk log: setToolDOStatus addr not exist.", LL_ERROR), 1);
  EXPECT_EQ(static_cast<int>(sim->requests().size()), before);
}

// ---- Tool: pins and analog inputs --------------------------------------------------------------------------

TEST_F(IoOnSimulator, ToolPinsAndInputsByName) {
  ASSERT_EQ(robot->robotServiceSetToolDOStatus(std::string("T_DI/O_03"), IO_STATUS_VALID), ErrnoSucc);
  ASSERT_EQ(robot->robotServiceSetToolDOStatus(TOOL_DIGITAL_IO_2, IO_STATUS_VALID), ErrnoSucc);
  EXPECT_EQ(sim->io().toolPinLevel, (std::array<uint32_t, 4>{0, 0, 1, 1}));
  sim->setToolAnalogInput(0, 1.5f);
  sim->setToolAnalogInput(1, 2.5f);

  struct Case {
    std::string name;
    int expected;
    double value;
  };
  const Case cases[] = {
      {"T_DI/O_02", ErrnoSucc, 1.0}, {"T_DI/O_00", ErrnoSucc, 0.0},      {"T_AI_00", ErrnoSucc, 1.5},
      {"T_AI_01", ErrnoSucc, 2.5},   {"T_DIO_02", ErrCode_ParamError, 9}, {"t_ai_01", ErrCode_ParamError, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    double value = 9;
    EXPECT_EQ(robot->robotServiceGetToolIoStatus(c.name, value), c.expected);
    EXPECT_EQ(value, c.value);
  }
  EXPECT_EQ(log.count("sdk log: Call getToolIoStatus name error.", LL_ERROR), 2);

  std::vector<RobotIoDesc> inputs;
  ASSERT_EQ(robot->robotServiceGetAllToolAIStatus(inputs), ErrnoSucc);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_STREQ(inputs[1].ioName, "T_AI_01");
  EXPECT_EQ(inputs[1].ioType, RobotToolAI);
  EXPECT_EQ(inputs[1].ioAddr, 1);
  EXPECT_EQ(inputs[1].ioValue, 2.5);

  // One analog input reported: the second name reads nothing and leaves the value alone.
  sim->updateIo([](ruko::sim::IoState& io) { io.toolAI.resize(1); });
  double value = 9;
  EXPECT_EQ(robot->robotServiceGetToolIoStatus("T_AI_01", value), ErrnoSucc);
  EXPECT_EQ(value, 9);
  ASSERT_EQ(robot->robotServiceGetAllToolAIStatus(inputs), ErrnoSucc);
  EXPECT_EQ(inputs.size(), 1u);

  EXPECT_EQ(robot->robotServiceSetToolDOStatus(std::string("T_DI/O_4"), IO_STATUS_VALID), ErrCode_ParamError);
  EXPECT_EQ(log.count("sdk log: setToolDOStatus name not exist.", LL_ERROR), 1);
}

}  // namespace
