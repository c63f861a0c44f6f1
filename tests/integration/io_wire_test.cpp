// The I/O service against replies the simulator never gives: empty, undecodable or odd lists.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "codec_body.h"
#include "fake_controller.h"
#include "io/robotioservice.h"
#include "log_capture.h"
#include "robotcommunication.pb.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::FakeController;
using CMT = CommunicationMateType;

namespace {

// A list reply of either kind, built with the generated classes rather than the library's codec.
template <class Msg, class Entry>
std::string listBody(const std::vector<Entry>& entries, int serverCode) {
  Msg message;
  message.set_type(0);
  for (const Entry& entry : entries) {
    auto* io = message.add_iodesc();
    io->set_addr(entry.addr);
    io->set_value(entry.value);
    io->set_type(entry.type);
  }
  auto* error = message.add_errorinfo();
  error->set_errorcode(serverCode);
  error->set_errormsg("");
  return message.SerializeAsString();
}

std::string digitalBody(const std::vector<RobotDiagnosisIODesc>& entries, int serverCode = 0) {
  return listBody<ruko::robot::communication::ProtoCommunicationRobotDiagnosisIOData>(entries, serverCode);
}

std::string analogBody(const std::vector<RobotAnalogIODesc>& entries, int serverCode = 0) {
  return listBody<ruko::robot::communication::ProtoCommunicationRobotAnalogIOData>(entries, serverCode);
}

class IoWire : public ::testing::Test {
 protected:
  void SetUp() override {
    engine->setServerPort(fake.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{[] {
    ruko::TimingTable t = ruko::fastTiming();
    t.responseWait = 1500ms;
    return t;
  }()};
  FakeController fake;
  std::unique_ptr<RobotControlServices> engine = std::make_unique<RobotControlServices>();
  RobotIoService io{engine.get()};
};

TEST_F(IoWire, ASingleReadAnsweredWithoutAnEntryFailsAndLeavesTheValue) {
  fake.on(CMT::CommunicationType_GetInterfaceBoardOneDIStatus).reply(digitalBody({}));
  fake.on(CMT::CommunicationType_GetInterfaceBoardOneAOStatus).reply(analogBody({}));
  fake.on(CMT::CommunicationType_GetToolPowerVoltageType).reply(digitalBody({}));
  double value = 7.0;
  EXPECT_EQ(io.getBoardIOStatus(RobotBoardUserDI, std::string("U_DI_00"), value), ErrCode_ResolveResponseFailed);
  EXPECT_EQ(io.getBoardIOStatus(RobotBoardUserAO, std::string("VO0"), value), ErrCode_ResolveResponseFailed);
  EXPECT_EQ(value, 7.0);
  ToolPowerType type = OUT_12V;
  EXPECT_EQ(io.getToolPowerVoltageType(type), ErrCode_ResolveResponseFailed);
  EXPECT_EQ(type, OUT_12V);
  EXPECT_EQ(log.count("sdk log: DiagnosisIO response holds no entry.", LL_ERROR), 2);
  EXPECT_EQ(log.count("sdk log: AnalogIO response holds no entry.", LL_ERROR), 1);

  // The request asked for the name's address.
  const auto sent = fake.receivedOfType(CMT::CommunicationType_GetInterfaceBoardOneDIStatus);
  ASSERT_EQ(sent.size(), 1u);
  ruko::robot::communication::ProtoCommunicationRobotDiagnosisIOData request;
  ASSERT_TRUE(request.ParseFromString(sent[0].body));
  ASSERT_EQ(request.iodesc_size(), 1);
  EXPECT_EQ(request.iodesc(0).addr(), 36u);
}

TEST_F(IoWire, AnalogReadTakesTheValueEvenWhenTheControllerReportsAnError) {
  fake.on(CMT::CommunicationType_GetInterfaceBoardOneAIStatus).reply(analogBody({{2, 3.5f, 0}}, 2));
  double value = 0.0;
  EXPECT_EQ(io.getBoardIOStatus(RobotBoardUserAI, 2, value), RobotControlServices::getErrCodeByServerResponse(2));
  EXPECT_EQ(value, 3.5);
}

TEST_F(IoWire, UndecodableListsGiveTheServicesLine) {
  const std::string garbage = "\xff\xff\xff";
  struct Case {
    int type;
    const char* line;
  };
  const Case cases[] = {
      {CMT::CommunicationType_GetInterfaceBoardAllDIData, "sdk log: Resolve BoardAllDIStatus response failed."},
      {CMT::CommunicationType_GetInterfaceBoardAllDOData, "sdk log: Resolve BoardAllDOStatus response failed."},
      {CMT::CommunicationType_GetInterfaceBoardAllAIData, "sdk log: Resolve BoardAllAIStatus response failed."},
      {CMT::CommunicationType_GetInterfaceBoardAllAOData,
       "sdk log: Send get BoardAllAOStatus and wait response failed."},
  };
  // Each list in turn is the first that does not decode.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FakeController local;
    auto client = std::make_unique<RobotControlServices>();
    client->setServerPort(local.port());
    ASSERT_EQ(client->connectRobotServer(), 0);
    for (const Case& other : cases) {
      if (other.type == c.type) break;
      local.on(other.type).reply(other.type <= CMT::CommunicationType_GetInterfaceBoardAllDOData
                                     ? digitalBody({{0, 1, 0}})
                                     : analogBody({{0, 1.0f, 0}}));
    }
    local.on(c.type).reply(garbage);
    RobotIoService service(client.get());
    log.clear();
    std::vector<RobotIoDesc> list(1);
    EXPECT_EQ(service.getBoardIOStatus({RobotBoardUserDI}, list), ErrCode_CreateRequestFailed);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(log.count(c.line, LL_ERROR), 1);
  }

  fake.on(CMT::CommunicationType_GetInterfaceBoardOneDOStatus).reply(garbage);
  double value = 4.0;
  EXPECT_EQ(io.getBoardIOStatus(RobotBoardUserDO, 32, value), ErrCode_CreateRequestFailed);
  EXPECT_EQ(value, 4.0);
  EXPECT_EQ(log.count("sdk log: Resolve DiagnosisIO response failed.", LL_ERROR), 1);
}

TEST_F(IoWire, PinsAreNamedByTheirAddressAndTypedByTheirDirection) {
  fake.on(CMT::CommunicationType_GetToolAllDigitalIOStatus)
      .reply(digitalBody({{3, 1, 2}, {7, 1, 1}, {0, 0, 0}}));
  std::vector<RobotIoDesc> pins;
  ASSERT_EQ(io.getAllToolDigitalIOStatus(pins), ErrnoSucc);
  ASSERT_EQ(pins.size(), 2u);
  EXPECT_STREQ(pins[0].ioName, "T_DI/O_03");
  EXPECT_EQ(pins[0].ioType, RobotToolDO);
  EXPECT_EQ(pins[0].ioValue, 1.0);
  EXPECT_STREQ(pins[1].ioName, "T_DI/O_00");
  EXPECT_EQ(pins[1].ioType, RobotToolDI);

  // Reading by name takes the list position, not the addr: position 0 holds pin 3 here.
  double value = 5.0;
  ASSERT_EQ(io.getToolIoStatusByName("T_DI/O_00", value), ErrnoSucc);
  EXPECT_EQ(value, 1.0);
}

TEST_F(IoWire, AnalogInputsCarryTheAddressOfTheirElement) {
  fake.on(CMT::CommunicationType_GetToolAllAIStatus).reply(analogBody({{5, 1.5f, 0}, {9, 2.5f, 0}}));
  std::vector<RobotIoDesc> inputs;
  ASSERT_EQ(io.getAllToolAIStatus(inputs), ErrnoSucc);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_STREQ(inputs[0].ioName, "T_AI_00");
  EXPECT_EQ(inputs[0].ioAddr, 5);
  EXPECT_STREQ(inputs[1].ioName, "T_AI_01");
  EXPECT_EQ(inputs[1].ioAddr, 9);
  EXPECT_EQ(inputs[1].ioValue, 2.5);
}

TEST_F(IoWire, SettingBodiesCarryTheEntriesInOrder) {
  fake.on(CMT::CommunicationType_SetToolPowerTypeAndDigitalIOType).reply(ruko::test::commonResultBody(0));
  fake.on(CMT::CommunicationType_SetInterfaceBoardOneAOStatus).reply(ruko::test::commonResultBody(0));
  ASSERT_EQ(engine->setToolPowerTypeAndDigitalIOTypeService(OUT_12V, IO_OUT, IO_IN, IO_OUT, IO_IN), ErrnoSucc);
  ASSERT_EQ(engine->setInterfaceBoardAOStatusService(3, 0.25), ErrnoSucc);

  ruko::robot::communication::ProtoCommunicationRobotDiagnosisIOData combined;
  ASSERT_TRUE(combined.ParseFromString(fake.receivedOfType(CMT::CommunicationType_SetToolPowerTypeAndDigitalIOType)[0].body));
  const uint32_t expected[5][3] = {{0, 1, 1}, {0, 1, 1}, {1, 0, 0}, {2, 1, 1}, {3, 0, 0}};
  ASSERT_EQ(combined.iodesc_size(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(combined.iodesc(i).addr(), expected[i][0]) << i;
    EXPECT_EQ(combined.iodesc(i).value(), expected[i][1]) << i;
    EXPECT_EQ(combined.iodesc(i).type(), expected[i][2]) << i;
  }
  ruko::robot::communication::ProtoCommunicationRobotAnalogIOData ao;
  ASSERT_TRUE(ao.ParseFromString(fake.receivedOfType(CMT::CommunicationType_SetInterfaceBoardOneAOStatus)[0].body));
  ASSERT_EQ(ao.iodesc_size(), 1);
  EXPECT_EQ(ao.iodesc(0).addr(), 3u);
  EXPECT_EQ(ao.iodesc(0).value(), 0.25f);
}

}  // namespace
