// The small carriers of the protocol: the general property message, value lists, IO lists, events, login, the
// common result and single-purpose requests. Bodies are checked against the generated classes, which read the
// schemas independently of the codec.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "codec_body.h"

namespace {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using P = ProtoEncodeDecode;
using ruko::test::Body;
using ruko::test::parsed;

std::string hex(const std::string& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xf]);
  }
  return out;
}

std::string generalData(const std::vector<int>& ints, const std::vector<bool>& bools, const std::vector<int>& codes) {
  comm::ProtoCommunicationGeneralData message;
  message.set_type(1);
  for (int v : ints) message.add_property1(v);
  for (bool v : bools) message.add_property2(v);
  for (int c : codes) {
    comm::ProtoRobotCommonResponse* error = message.add_errorinfo();
    error->set_errorcode(c);
    error->set_errormsg("");
  }
  return message.SerializeAsString();
}

// ---- General property carrier ---------------------------------------------------------------------------------------

TEST(CodecGeneralData, EachBuilderPutsItsOneValueIntoItsList) {
  struct Case {
    const char* member;
    std::function<bool(char**, int*)> build;
    std::vector<int> ints;
    std::vector<bool> bools;
  };
  const Case cases[] = {
      {"robotControl",
       [](char** d, int* s) { return P::getRequest_robotControl(d, s, rrn::ClearRobotCurrentAlarm); },
       {15},
       {}},
      {"setRobotPowerStatus",
       [](char** d, int* s) { return P::getRequest_setRobotPowerStatus(d, s, true); },
       {},
       {true}},
      {"setRobotWorkMode",
       [](char** d, int* s) { return P::getRequest_setRobotWorkMode(d, s, rrn::RobotModeReal); },
       {1},
       {}},
      {"robotMoveControl",
       [](char** d, int* s) { return P::getRequest_robotMoveControl(d, s, rrn::RobotMoveContinue); },
       {2},
       {}},
      {"setRobotBoardMaxAcc", [](char** d, int* s) { return P::getRequest_setRobotBoardMaxAcc(d, s, -7); }, {-7}, {}},
      {"setRobotCollision", [](char** d, int* s) { return P::getRequest_setRobotCollision(d, s, 6); }, {6}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    Body body;
    ASSERT_TRUE(c.build(&body.data, &body.size));
    const auto message = parsed<comm::ProtoCommunicationGeneralData>(body);
    EXPECT_EQ(message.type(), 1);
    EXPECT_EQ(std::vector<int>(message.property1().begin(), message.property1().end()), c.ints);
    EXPECT_EQ(std::vector<bool>(message.property2().begin(), message.property2().end()), c.bools);
    EXPECT_EQ(message.errorinfo_size(), 0);
  }
}

TEST(CodecGeneralData, ResolversNeedTheirListAndTakeTheCodeOfTheFirstErrorRecord) {
  double speed = -1;
  const std::string speedBody = generalData({1234, 9}, {}, {});
  EXPECT_TRUE(P::resolveResponse_robotEndSpeed(speedBody.data(), static_cast<int>(speedBody.size()), speed));
  EXPECT_DOUBLE_EQ(speed, 1.234);

  const std::string noInts = generalData({}, {true}, {4});
  speed = -1;
  EXPECT_FALSE(P::resolveResponse_robotEndSpeed(noInts.data(), static_cast<int>(noInts.size()), speed));
  EXPECT_EQ(speed, -1);
  int progress = -1;
  EXPECT_FALSE(P::resolveResponse_movepProgressNotify(noInts.data(), static_cast<int>(noInts.size()), progress));

  // The list is empty but the error record is there: the code is handed out all the same.
  rrn::RobotState state = rrn::RobotPaused;
  int errorCode = 0;
  EXPECT_FALSE(P::resolveResponse_robotState(noInts.data(), static_cast<int>(noInts.size()), state, errorCode));
  EXPECT_EQ(errorCode, 4);
  EXPECT_EQ(state, rrn::RobotPaused);

  const std::string mode = generalData({1}, {}, {8, 9});
  rrn::RobotWorkMode workMode = rrn::RobotModeSimulator;
  EXPECT_TRUE(P::resolveResponse_robotWorkMode(mode.data(), static_cast<int>(mode.size()), workMode, errorCode));
  EXPECT_EQ(workMode, rrn::RobotModeReal);
  EXPECT_EQ(errorCode, 8);

  // No error record: the caller's code stays.
  const std::string flag = generalData({}, {true, false}, {});
  bool exists = false;
  errorCode = 77;
  EXPECT_TRUE(P::resolveResponse_isRealRobotExist(flag.data(), static_cast<int>(flag.size()), exists, errorCode));
  EXPECT_TRUE(exists);
  EXPECT_EQ(errorCode, 77);
}

TEST(CodecGeneralData, CarrierHelpersFillAndEmptyBothLists) {
  comm::ProtoCommunicationGeneralData message;
  EXPECT_TRUE(P::makeProtoCommunicationGeneralData(message, {3, 4}, {true}));
  Body body;
  ASSERT_TRUE(P::ProtoCommunicationGeneralDataMessageSerialize(message, &body.data, &body.size));
  comm::ProtoCommunicationGeneralData back;
  ASSERT_TRUE(P::ProtoCommunicationGeneralDataMessageParse(body.data, body.size, back));
  std::vector<int> ints{9, 9, 9};
  std::vector<bool> bools{false, false};
  int errorCode = 5;
  EXPECT_TRUE(P::resolveProtoCommunicationGeneralData(back, ints, bools, errorCode));
  EXPECT_EQ(ints, (std::vector<int>{3, 4}));
  EXPECT_EQ(bools, (std::vector<bool>{true}));
  EXPECT_EQ(errorCode, 5);
}

// ---- Value lists and IO lists ---------------------------------------------------------------------------------------

TEST(CodecValueLists, IntListIsWrittenUnpackedAndReadInEitherForm) {
  Body body;
  ASSERT_TRUE(P::getRequest_intTypeValueVector(&body.data, &body.size, {5, 7}));
  EXPECT_EQ(hex(body.bytes()), "08 02 10 05 10 07");

  // num 2, value packed (5, 7), errorInfo {0, ""}; num is not trusted, the list is.
  const std::string packed("\x08\x09\x12\x02\x05\x07\x1a\x04\x08\x00\x12\x00", 12);
  std::vector<int> values{1, 2, 3};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_intTypeValueVector(packed.data(), static_cast<int>(packed.size()), values, errorCode));
  EXPECT_EQ(values, (std::vector<int>{5, 7}));
  EXPECT_EQ(errorCode, 0);
}

TEST(CodecValueLists, DoubleListRoundTrip) {
  Body body;
  ASSERT_TRUE(P::getRequest_doubleTypeValueVector(&body.data, &body.size, {0.5, -2.25, 1e9}));
  const auto request = parsed<comm::ProtoCommunicationDoubleVector>(body);
  EXPECT_EQ(request.num(), 3);

  comm::ProtoCommunicationDoubleVectorResponse reply;
  reply.set_num(0);
  *reply.mutable_value() = request.value();
  reply.mutable_errorinfo()->set_errorcode(12);
  reply.mutable_errorinfo()->set_errormsg("busy");
  const std::string bytes = reply.SerializeAsString();
  std::vector<double> values{7};
  int errorCode = 0;
  ASSERT_TRUE(
      P::resolveResponse_doubleTypeValueVector(bytes.data(), static_cast<int>(bytes.size()), values, errorCode));
  EXPECT_EQ(values, (std::vector<double>{0.5, -2.25, 1e9}));
  EXPECT_EQ(errorCode, 12);
}

TEST(CodecIo, RequestsHaveTheBytesOfTheSchemaExamples) {
  Body analog;
  ASSERT_TRUE(P::getRequest_robotAnalogIOData(&analog.data, &analog.size, {rrn::RobotAnalogIODesc{3, 1.5f, 0}}));
  EXPECT_EQ(hex(analog.bytes()), "0a 09 08 03 10 00 1d 00 00 c0 3f 18 00");

  Body digital;
  ASSERT_TRUE(P::getRequest_robotDiagnosisIOData(&digital.data, &digital.size, {rrn::RobotDiagnosisIODesc{3, 1, 0}}));
  EXPECT_EQ(hex(digital.bytes()), "08 00 1a 06 08 03 10 00 18 01");
}

TEST(CodecIo, RepliesReplaceTheListAndNarrowEachEntry) {
  comm::ProtoCommunicationRobotDiagnosisIOData digital;
  digital.set_type(5);
  for (uint32_t addr : {1u, 259u}) {
    comm::ProtoRobotDiagnosisIODesc* io = digital.add_iodesc();
    io->set_addr(addr);
    io->set_type(4);
    io->set_value(1);
  }
  const std::string digitalBytes = digital.SerializeAsString();
  std::vector<rrn::RobotDiagnosisIODesc> digitalList(5);
  int errorCode = 33;  // no error record in the reply: stays
  ASSERT_TRUE(P::resolveResponse_robotDiagnosisIOData(digitalBytes.data(), static_cast<int>(digitalBytes.size()),
                                                      digitalList, errorCode));
  ASSERT_EQ(digitalList.size(), 2u);
  EXPECT_EQ(digitalList[1].addr, 3);  // low 8 bits of 259
  EXPECT_EQ(digitalList[1].type, 4);
  EXPECT_EQ(digitalList[1].value, 1);
  EXPECT_EQ(errorCode, 33);

  comm::ProtoCommunicationRobotAnalogIOData analog;
  analog.set_type(0);
  comm::ProtoRobotAnalogIODesc* io = analog.add_iodesc();
  io->set_addr(2);
  io->set_type(6);
  io->set_value(-3.5f);
  comm::ProtoRobotCommonResponse* error = analog.add_errorinfo();
  error->set_errorcode(7);
  error->set_errormsg("");
  const std::string analogBytes = analog.SerializeAsString();
  std::vector<rrn::RobotAnalogIODesc> analogList;
  ASSERT_TRUE(P::resolveResponse_robotAnalogIOData(analogBytes.data(), static_cast<int>(analogBytes.size()), analogList,
                                                   errorCode));
  ASSERT_EQ(analogList.size(), 1u);
  EXPECT_EQ(analogList[0].value, -3.5f);
  EXPECT_EQ(analogList[0].type, 6);
  EXPECT_EQ(errorCode, 7);

  // Emptied before parsing: a body that does not parse leaves an empty list behind.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(P::resolveResponse_robotAnalogIOData("\x0a", 1, analogList, errorCode));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(analogList.empty());
}

TEST(CodecIo, ToolSummaryTakesItsErrorStatusFromTheReplysCode) {
  comm::ProtoCommunicationToolAllIOStatusInfoResponse reply;
  comm::toolAllIOStatus* status = reply.mutable_tooliostatus();
  status->set_powertype(rrn::OUT_24V);
  status->set_systemvoltage(24.25);
  status->set_systemtemperature(31.5);
  status->set_errorstatus(99);
  for (uint32_t pin = 0; pin < 5; ++pin) {
    comm::ToolDigitalStatus* digital = status->add_digitaliostatus();
    digital->set_iotype(pin % 2);
    digital->set_iodata(pin + 256);
  }
  status->add_aidata(1.5);
  reply.mutable_errorinfo()->set_errorcode(0x1ff);
  reply.mutable_errorinfo()->set_errormsg("");
  const std::string bytes = reply.SerializeAsString();

  RobotToolAllIOStatus tool{};
  tool.aiData[1] = 8.0f;
  int errorCode = 0;
  ASSERT_TRUE(P::resolveResponse_robotToolIoStatus(bytes.data(), static_cast<int>(bytes.size()), tool, errorCode));
  EXPECT_EQ(errorCode, 0x1ff);
  EXPECT_EQ(tool.errorStatus, 0xff);
  EXPECT_EQ(tool.powerType, rrn::OUT_24V);
  EXPECT_FLOAT_EQ(tool.systemVoltage, 24.25f);
  EXPECT_FLOAT_EQ(tool.systemTemperature, 31.5f);
  EXPECT_EQ(tool.digitalIoStatus[3].ioData, 3);
  EXPECT_EQ(tool.digitalIoStatus[3].ioType, rrn::IO_OUT);
  EXPECT_FLOAT_EQ(tool.aiData[0], 1.5f);
  EXPECT_FLOAT_EQ(tool.aiData[1], 8.0f);  // only one value came
}

// ---- Events, login, common result ---------------------------------------------------------------------------------

TEST(CodecEvent, EventRoundTripKeepsEveryByteOfTheContent) {
  rrn::RobotEventInfo event{rrn::RobotEvent_socketDisconnected, -3, std::string("a\0b", 3)};
  char buffer[64];
  int size = sizeof buffer;
  ASSERT_TRUE(P::getResponse_Event(buffer, &size, event));

  rrn::RobotEventInfo back{};
  ASSERT_TRUE(P::resolveResponse_robotEvent(buffer, size, back));
  EXPECT_EQ(back.eventType, rrn::RobotEvent_socketDisconnected);
  EXPECT_EQ(back.eventCode, -3);
  EXPECT_EQ(back.eventContent, std::string("a\0b", 3));

  // A buffer one byte short: refused, silently, with the capacity left as it was.
  const int needed = size;
  int capacity = needed - 1;
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(P::getResponse_Event(buffer, &capacity, event));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(capacity, needed - 1);
}

TEST(CodecLogin, LoginRequestCarriesNameAndPasswordByteForByte) {
  Body body;
  ASSERT_TRUE(P::getRequest_login(&body.data, &body.size, "root", std::string("p\0w", 3)));
  const auto message = parsed<comm::ProtoRequestLogin>(body);
  EXPECT_EQ(message.username(), "root");
  EXPECT_EQ(message.passwd(), std::string("p\0w", 3));
}

common::ProtoResponseRobotDhParam dhReply(int errorCode, int listLength) {
  common::ProtoResponseRobotDhParam reply;
  reply.set_robottype(rrn::ROBOT_M07);
  common::DhParam* dh = reply.mutable_dhparam();
  dh->set_a3(0.4);
  dh->set_a4(0.3);
  dh->set_d1(0.1);
  dh->set_d2(0.2);
  dh->set_d5(0.5);
  dh->set_d6(0.6);
  for (int i = 0; i < listLength; ++i) {
    dh->add_a(10 + i);
    dh->add_alpha(20 + i);
    dh->add_d(30 + i);
    dh->add_theta(40 + i);
  }
  reply.mutable_errorinfo()->set_errorcode(errorCode);
  reply.mutable_errorinfo()->set_errormsg("");
  return reply;
}

TEST(CodecLogin, DhReplyUsesItsListsOrTheFixedLayout) {
  const double pi = 3.141592653589793;
  const double halfPi = 1.5707963267948966;
  {
    const std::string bytes = dhReply(0, 6).SerializeAsString();
    rrn::RobotType type = rrn::ROBOT_M01;
    rrn::RobotDhPara dh{};
    int errorCode = -1;
    ASSERT_TRUE(P::resolveResponse_DhParam(bytes.data(), static_cast<int>(bytes.size()), type, dh, errorCode));
    EXPECT_EQ(type, rrn::ROBOT_M07);
    EXPECT_EQ(dh.a[5], 15);
    EXPECT_EQ(dh.alpha[0], 20);
    EXPECT_EQ(dh.d[2], 32);
    EXPECT_EQ(dh.theta[4], 44);
    EXPECT_EQ(dh.D6, 0.6);
  }
  {
    const std::string bytes = dhReply(0, 5).SerializeAsString();
    rrn::RobotType type = rrn::ROBOT_M01;
    rrn::RobotDhPara dh{};
    int errorCode = -1;
    ASSERT_TRUE(P::resolveResponse_DhParam(bytes.data(), static_cast<int>(bytes.size()), type, dh, errorCode));
    const double a[6] = {0, 0, 0.4, 0.3, 0, 0};
    const double d[6] = {0.1, 0.2, 0, 0, 0.5, 0.6};
    const double alpha[6] = {0, -halfPi, pi, pi, -halfPi, halfPi};
    const double theta[6] = {pi, -halfPi, 0, -halfPi, 0, 0};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(dh.a[i], a[i]) << i;
      EXPECT_EQ(dh.d[i], d[i]) << i;
      EXPECT_EQ(dh.alpha[i], alpha[i]) << i;
      EXPECT_EQ(dh.theta[i], theta[i]) << i;
    }
    EXPECT_EQ(dh.A3, 0.4);
    EXPECT_EQ(dh.D1, 0.1);
  }
  {
    const std::string bytes = dhReply(10011, 6).SerializeAsString();
    rrn::RobotType type = rrn::ROBOT_M01;
    rrn::RobotDhPara dh{};
    int errorCode = 0;
    ASSERT_TRUE(P::resolveResponse_DhParam(bytes.data(), static_cast<int>(bytes.size()), type, dh, errorCode));
    EXPECT_EQ(errorCode, 10011);
    EXPECT_EQ(type, rrn::ROBOT_M01);
    EXPECT_EQ(dh.A3, 0);
    EXPECT_EQ(dh.a[5], 0);
  }
}

TEST(CodecCommon, CommonResultAndStartupProfile) {
  comm::ProtoRobotCommonResponse reply;
  reply.set_errorcode(0);
  reply.set_errormsg("");
  const std::string bytes = reply.SerializeAsString();
  CommunicationCommonResultResponse response;
  response.m_errorCode = 5;
  response.m_errorMsg = "old";
  ASSERT_TRUE(P::resolveResponse_commonFormat(bytes.data(), static_cast<int>(bytes.size()), response));
  EXPECT_EQ(response.m_errorCode, 0);
  EXPECT_EQ(response.m_errorMsg, "");

  const RobotTcpParam tcp{{0.1f, 0.2f, 0.3f, 1.5f}, {0.4f, 0.5f, 0.6f, 2.5f}};
  Body body;
  ASSERT_TRUE(P::getRequest_robotStartup(&body.data, &body.size, tcp, 6, true, false, 30000));
  const auto startup = parsed<comm::ProtoCommunicationRobotStartupProfile>(body);
  EXPECT_EQ(startup.tcpparam().parammanual().payload(), 2.5f);
  EXPECT_EQ(startup.tcpparam().paramautorun().positionz(), 0.3f);
  EXPECT_TRUE(startup.readpose());
  EXPECT_FALSE(startup.staticcollisiondetect());
  EXPECT_EQ(startup.collisionclass(), 6);
  EXPECT_EQ(startup.maxacc(), 30000);

  // The error text of a made-up record stops at its first zero byte.
  common::RobotCommonResponse error;
  P::ProtoRobotCommonResponseInit(error, -2, std::string("bad\0tail", 8));
  EXPECT_EQ(error.errorcode(), -2);
  EXPECT_EQ(error.errormsg(), "bad");
}

TEST(CodecSmallRequests, EachFieldLandsWhereTheSchemaPutsIt) {
  {
    const char content[] = {'\x01', '\0', '\x02'};
    Body body;
    ASSERT_TRUE(P::getRequest_firmwareUpgrade(&body.data, &body.size, rrn::update_master_board_firmware_trans_data,
                                              content, 3));
    const auto message = parsed<comm::ProtoCommunicationRobotBoardFirmware>(body);
    EXPECT_EQ(message.command(), 2);
    EXPECT_EQ(message.firmwarecontent(), std::string(content, 3));
    EXPECT_EQ(message.firmwarecontentsize(), 3);
  }
  {
    Body body;
    ASSERT_TRUE(P::getRequest_safeIoParamAbout(&body.data, &body.size, {1, 0, 3}));
    const auto message = parsed<comm::protoSafeCommunicationParam>(body);
    EXPECT_EQ(message.paramreserved(), 0u);
    EXPECT_EQ(std::vector<uint32_t>(message.param().begin(), message.param().end()), (std::vector<uint32_t>{1, 0, 3}));
  }
  {
    Body body;
    ASSERT_TRUE(P::getRequest_startupOfflineExcitTraj(&body.data, &body.size, "ident.traj", 2, 7));
    const auto message = parsed<comm::ProtoCommunicationOfflineExcitTraj>(body);
    EXPECT_EQ(message.trackfile(), "ident.traj");
    EXPECT_EQ(message.type(), 2);
    EXPECT_EQ(message.subtype(), 7);
  }
  {
    Body body;
    ASSERT_TRUE(P::getRequest_robotRobotJointOffsetData(&body.data, &body.size, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}));
    const auto message = parsed<common::RobotJointOffset>(body);
    EXPECT_EQ(message.joint1(), 0.1);
    EXPECT_EQ(message.joint6(), 0.6);
  }
  {
    Body body;
    ASSERT_TRUE(P::getRequest_ConveyorTrackValuePoint(&body.data, &body.size, {1, 2, 3}, {0.5, 0.5, 0.5, 0.5}, 99));
    const auto message = parsed<common::ProtoConveyorTrackValuePoint>(body);
    EXPECT_EQ(message.position().z(), 3);
    EXPECT_EQ(message.ori().w(), 0.5);
    EXPECT_EQ(message.timestamp(), 99);
  }
  {
    comm::ProtoCommunicationEthernetDeviceNameResponse reply;
    reply.set_name("eth0");
    reply.mutable_errorinfo()->set_errorcode(3);
    reply.mutable_errorinfo()->set_errormsg("");
    const std::string bytes = reply.SerializeAsString();
    std::string name;
    int errorCode = 0;
    ASSERT_TRUE(P::resolveResponse_ethernetDeviceName(bytes.data(), static_cast<int>(bytes.size()), name, errorCode));
    EXPECT_EQ(name, "eth0");
    EXPECT_EQ(errorCode, 3);
  }
  {
    common::ProtoRobotMoveFuncResult reply;
    reply.set_ret(call_robot_motion_func_succ_nowait);
    reply.mutable_errorinfo()->set_errorcode(0);
    reply.mutable_errorinfo()->set_errormsg("");
    const std::string bytes = reply.SerializeAsString();
    call_robot_motion_func_result result = call_robot_motion_func_failed;
    int errorCode = -1;
    ASSERT_TRUE(P::resolveResponse_moveControlResule(bytes.data(), static_cast<int>(bytes.size()), result, errorCode));
    EXPECT_EQ(result, call_robot_motion_func_succ_nowait);
    EXPECT_EQ(errorCode, 0);
  }
}

TEST(CodecSmallRequests, DynamicsIdentificationIsTakenOnlyWithCodeZero) {
  comm::ProtoCommunicationDynIdentifyResults reply;
  reply.set_temp(1);
  reply.add_param(11);
  reply.add_param(12);
  std::vector<int> params{5};
  int errorCode = 0;
  std::string bytes = reply.SerializeAsString();
  ASSERT_TRUE(
      P::resolveResponse_getDynIdentifyResults(bytes.data(), static_cast<int>(bytes.size()), params, errorCode));
  EXPECT_EQ(params, (std::vector<int>{11, 12}));

  comm::ProtoRobotCommonResponse* error = reply.add_errorinfo();
  error->set_errorcode(4);
  error->set_errormsg("");
  bytes = reply.SerializeAsString();
  params = {5};
  ASSERT_TRUE(
      P::resolveResponse_getDynIdentifyResults(bytes.data(), static_cast<int>(bytes.size()), params, errorCode));
  EXPECT_EQ(errorCode, 4);
  EXPECT_EQ(params, (std::vector<int>{5}));
}

}  // namespace
