// Controller status and configuration replies: how each reads its error record, which outputs it fills under which
// code, and how values narrow to the records' widths.
#include <google/protobuf/descriptor.h>
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

template <class ErrorRecord>
void setError(ErrorRecord* record, int code) {
  record->set_errorcode(code);
  record->set_errormsg("");
}

// ---- Joint status, angles, force sensor -----------------------------------------------------------------------------

TEST(CodecJointStatus, FillsAtMostTheCapacityAndIgnoresTheCount) {
  common::ProtoRobotAllJointStatusResponse reply;
  reply.set_jointcount(99);
  for (int i = 0; i < 7; ++i) {
    rrn::JointStatus status{};
    status.jointCurrentI = i;
    status.jointPosJ = 0.5f * i;
    status.jointTagSpeedMoto = -1.5f;
    status.jointErrorNum = 3;
    P::jointStatusTypeConversion(status, *reply.add_jointstatus());
  }
  reply.mutable_jointstatus(1)->set_jointerrornum(0x12345);
  setError(reply.add_errorinfo(), 6);
  const std::string bytes = reply.SerializeAsString();

  rrn::JointStatus buffer[7]{};
  buffer[6].jointCurrentI = -42;
  int errorCode = 0;
  ASSERT_TRUE(P::resolveResponse_jointStatus(bytes.data(), static_cast<int>(bytes.size()), buffer, 6, errorCode));
  EXPECT_EQ(errorCode, 6);
  EXPECT_EQ(buffer[5].jointCurrentI, 5);
  EXPECT_EQ(buffer[5].jointPosJ, 2.5f);
  EXPECT_EQ(buffer[5].jointTagSpeedMoto, -1.5f);
  EXPECT_EQ(buffer[1].jointErrorNum, 0x2345);
  EXPECT_EQ(buffer[6].jointCurrentI, -42);
}

TEST(CodecJointStatus, AnglesAndForcesAreCopiedButNeedAnErrorRecordToSucceed) {
  common::ProtoJointAngleResponse angles;
  common::ProtoJointAngle* a = angles.mutable_jointangle();
  a->set_joint1(0.1);
  a->set_joint2(0.2);
  a->set_joint3(0.3);
  a->set_joint4(0.4);
  a->set_joint5(0.5);
  a->set_joint6(0.6);
  std::string bytes = angles.SerializeAsString();
  rrn::JointParam joints{};
  int errorCode = 13;
  EXPECT_FALSE(P::resolveResponse_jointAngle(bytes.data(), static_cast<int>(bytes.size()), joints, errorCode));
  EXPECT_EQ(joints.jointPos[5], 0.6);
  EXPECT_EQ(errorCode, 13);
  setError(angles.add_errorinfo(), 0);
  bytes = angles.SerializeAsString();
  EXPECT_TRUE(P::resolveResponse_jointAngle(bytes.data(), static_cast<int>(bytes.size()), joints, errorCode));
  EXPECT_EQ(errorCode, 0);

  common::ProtoForceSensorDataResponse forces;
  common::ProtoForceSensorData* f = forces.mutable_forcesensordata();
  f->set_data1(1);
  f->set_data2(2);
  f->set_data3(3);
  f->set_data4(4);
  f->set_data5(5);
  f->set_data6(-6);
  bytes = forces.SerializeAsString();
  rrn::ForceSensorData sensor{};
  EXPECT_FALSE(P::resolveResponse_tcpforcesensorData(bytes.data(), static_cast<int>(bytes.size()), sensor, errorCode));
  EXPECT_EQ(sensor.data[5], -6);
}

// ---- Diagnosis and device information -------------------------------------------------------------------------------

TEST(CodecDiagnosis, RoundTripsAndNarrowsToTheRecordsWidths) {
  rrn::RobotDiagnosis sent{};
  sent.armCanbusStatus = 0xab;
  sent.armPowerVoltage = 48.5f;
  sent.contorllerTemp = -5;
  sent.brakeStuats = true;
  sent.robotMaxAcc = -70000;
  sent.toolIoError = 200;
  sent.macTargetPosDataSize = 65535;
  sent.controlBoardAbnormalStateFlag = 7;
  comm::ProtoCommunicationRobotDiagnosisInfo reply;
  reply.set_num(1);
  ASSERT_TRUE(P::robotDiagnosisTypeConversionToProto(sent, *reply.add_robotdiagnosis()));
  EXPECT_EQ(reply.robotdiagnosis(0).contorllertemp(), -5);
  EXPECT_TRUE(reply.robotdiagnosis(0).has_controlboardabnormalstateflag());
  comm::RobotDiagnosis* wide = reply.mutable_robotdiagnosis(0);
  wide->set_contorllerhumidity(0x1ff);
  wide->set_mactargetposbuffersize(0x10001);
  std::string bytes = reply.SerializeAsString();

  rrn::RobotDiagnosis back{};
  int errorCode = 55;
  ASSERT_TRUE(P::resolveResponse_robotDiagnosisInfo(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(errorCode, 0);  // reset before looking: no error record here
  EXPECT_EQ(back.armCanbusStatus, 0xab);
  EXPECT_EQ(back.armPowerVoltage, 48.5f);
  EXPECT_EQ(back.contorllerTemp, -5);
  EXPECT_TRUE(back.brakeStuats);
  EXPECT_EQ(back.robotMaxAcc, -70000);
  EXPECT_EQ(back.toolIoError, 200);
  EXPECT_EQ(back.macTargetPosDataSize, 65535);
  EXPECT_EQ(back.controlBoardAbnormalStateFlag, 7);
  EXPECT_EQ(back.contorllerHumidity, 0xff);
  EXPECT_EQ(back.macTargetPosBufferSize, 1);

  // The optional last field may be absent; an empty list leaves the record alone.
  wide->clear_controlboardabnormalstateflag();
  bytes = wide->SerializeAsString();
  ASSERT_TRUE(P::resolveResponse_robotDiagnosis(bytes.data(), static_cast<int>(bytes.size()), back));
  EXPECT_EQ(back.controlBoardAbnormalStateFlag, 0);
  reply.clear_robotdiagnosis();
  bytes = reply.SerializeAsString();
  back.armCanbusStatus = 1;
  ASSERT_TRUE(P::resolveResponse_robotDiagnosisInfo(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(back.armCanbusStatus, 1);
}

comm::OurRobotDevInfo devInfoMessage() {
  comm::OurRobotDevInfo info;
  info.set_type(0x1ff);
  info.set_revision("REV-0123456789ABCDEF");
  info.set_manuid("maker");
  info.set_jointtype("J");
  for (int i = 0; i < 9; ++i) {
    comm::JointVersion* v = info.add_jointver();
    v->set_hwversion("HW" + std::to_string(i) + "-long-text");
    v->set_swversion("SW" + std::to_string(i));
    info.add_jointproductid("PID" + std::to_string(i));
  }
  info.set_desc("twenty characters!!!");
  info.set_slavedevversion("slave");
  info.set_extendioboardversion("extend-io-board-v2");
  return info;
}

TEST(CodecDevInfo, TextsAreCutToTheirWidthAndAlwaysTerminated) {
  common::ProtoResponseRobotDevInfo reply;
  *reply.add_devinfo() = devInfoMessage();
  setError(reply.mutable_errorinfo(), 0);
  const std::string bytes = reply.SerializeAsString();
  rrn::RobotDevInfo info;
  std::memset(&info, 'x', sizeof info);
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_devInfo(bytes.data(), static_cast<int>(bytes.size()), info, errorCode));
  EXPECT_EQ(errorCode, 0);
  EXPECT_EQ(info.type, 0xff);
  EXPECT_STREQ(info.revision, "REV-0123456789A");
  EXPECT_STREQ(info.manu_id, "maker");
  EXPECT_STREQ(info.joint_ver[7].hw_version, "HW7-lon");
  EXPECT_STREQ(info.joint_ver[7].sw_version, "SW7");
  EXPECT_STREQ(info.jointProductID[7].productID, "PID7");
  EXPECT_STREQ(info.desc, "twenty char");
  EXPECT_EQ(std::string(info.desc, sizeof info.desc), std::string("twenty char") + std::string(53, '\0'));
  EXPECT_STREQ(info.extio_version, "extend-io-b");
  EXPECT_STREQ(info.slave_version, "slave");
}

// ---- The "only if 0" replies
// -----------------------------------------------------------------------------------------

TEST(CodecGatedReplies, TcpParamRoundTripAndNonZeroCodeLeavesTheRecord) {
  const RobotTcpParam sent{{0.1f, 0.2f, 0.3f, 1.0f}, {0.4f, 0.5f, 0.6f, 2.0f}};
  Body body;
  ASSERT_TRUE(P::getRequest_tcpParam(&body.data, &body.size, sent));
  common::ProtoResponseRobotTcpParam reply;
  *reply.add_tcpparam() = parsed<comm::RobotTcpParam>(body);
  setError(reply.mutable_errorinfo(), 0);
  std::string bytes = reply.SerializeAsString();
  RobotTcpParam back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_tcpParam(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);

  setError(reply.mutable_errorinfo(), 5);
  bytes = reply.SerializeAsString();
  RobotTcpParam untouched{};
  ASSERT_TRUE(P::resolveResponse_tcpParam(bytes.data(), static_cast<int>(bytes.size()), untouched, errorCode));
  EXPECT_EQ(errorCode, 5);
  EXPECT_EQ(untouched.paramManual.payload, 0.0f);
}

TEST(CodecGatedReplies, SafetyConfigAndStatusRoundTrip) {
  rrn::RobotSafetyConfig sent{};
  for (int i = 0; i < 6; ++i) sent.robotReducedConfigJointSpeed[i] = static_cast<uint16_t>(100 * (i + 1));
  sent.robotReducedConfigTcpSpeed = 250;
  sent.robotReducedConfigPower = 80;
  sent.robotSafeguradResetConfig = 1;
  sent.robotOperationalModeConfig = 2;
  Body body;
  ASSERT_TRUE(P::getRequest_setSafetyConfig(&body.data, &body.size, sent));
  // The request has the shape of the reply, with an empty error record.
  const auto request = parsed<common::ProtoResponseRobotSafetyConfig>(body);
  EXPECT_EQ(request.errorinfo().errorcode(), 0);
  rrn::RobotSafetyConfig back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_safetyConfig(body.data, body.size, back, errorCode));
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);

  common::ProtoResponseOrpeSafetyStatus statusReply;
  common::ProtoOrpeSafetyStatus* status = statusReply.add_safetystatus();
  status->set_orpepause(0x101);
  status->set_orpestop(1);
  for (int i = 0; i < 17; ++i) status->add_orpeerror(static_cast<uint32_t>(i));
  status->set_systememergencystop(1);
  status->set_reducedmodeerror(0);
  status->set_safetyguardresetsucc(1);
  setError(statusReply.mutable_errorinfo(), 0);
  const std::string bytes = statusReply.SerializeAsString();
  rrn::OrpeSafetyStatus orpe{};
  ASSERT_TRUE(P::resolveResponse_safetyStatus(bytes.data(), static_cast<int>(bytes.size()), orpe, errorCode));
  EXPECT_EQ(orpe.orpePause, 1);
  EXPECT_EQ(orpe.orpeError[15], 15);
  EXPECT_EQ(orpe.safetyguardResetSucc, 1);
}

TEST(CodecGatedReplies, GravityAndCollisionClass) {
  common::ProtoResponseRobotGravityComponent gravityReply;
  P::robotGravityComponentTypeConversion(rrn::RobotGravityComponent{0.5f, -9.8f, 1.0f},
                                         *gravityReply.add_gravitycomponent());
  setError(gravityReply.mutable_errorinfo(), 0);
  std::string bytes = gravityReply.SerializeAsString();
  rrn::RobotGravityComponent gravity{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_gravityComponent(bytes.data(), static_cast<int>(bytes.size()), gravity, errorCode));
  EXPECT_EQ(gravity.y, -9.8f);

  common::ProtoResponseRobotCollisionCurrent collisionReply;
  comm::RobotCollisionCurrent* current = collisionReply.add_collisioncurrent();
  current->set_collisionclass(0x106);
  current->add_jointcollisioncurrent(77);
  setError(collisionReply.mutable_errorinfo(), 0);
  bytes = collisionReply.SerializeAsString();
  RobotCollisionCurrent collision{};
  ASSERT_TRUE(P::resolveResponse_collisionCurrent(bytes.data(), static_cast<int>(bytes.size()), collision, errorCode));
  EXPECT_EQ(collision.CollisionClass, 6);
  EXPECT_EQ(collision.JointCollisionCurrent[0][0], 0);  // never read
}

// With code 0 a reply whose data element is missing (or too short to read) is a failed resolve that touches nothing,
// the error code included, and writes the member's line once.
TEST(CodecGatedReplies, MissingOrShortDataElementWithCodeZeroFailsTheResolve) {
  struct Case {
    const char* member;
    std::string body;
    std::function<bool(const char*, int, int&)> resolve;
    std::string line;
  };
  auto empty = [](auto reply) {
    setError(reply.mutable_errorinfo(), 0);
    return reply.SerializeAsString();
  };
  peripheral::ProtoResponseWrench shortWrench;
  peripheral::ProtoWrench* w = shortWrench.add_wrench();
  for (int i = 0; i < 3; ++i) w->add_force(i);
  w->add_torque(1);
  w->add_torque(2);
  peripheral::ProtoResponseFtSensorCalibResult shortAngles;
  FtSensorCalResult full{};
  P::FtSensorCalResultToProtoType(full, *shortAngles.add_ftsensorcalibresult());
  shortAngles.mutable_ftsensorcalibresult(0)->mutable_angle()->RemoveLast();

  static rrn::RobotDevInfo devInfo;
  static RobotTcpParam tcp;
  static rrn::RobotGravityComponent gravity;
  static RobotCollisionCurrent collision;
  static rrn::RobotSafetyConfig safety;
  static rrn::OrpeSafetyStatus orpe;
  static WrenchParam wrench;
  static FtSensorCalResult calib;
  const Case cases[] = {
      {"devInfo", empty(common::ProtoResponseRobotDevInfo()),
       [](const char* d, int s, int& c) { return P::resolveResponse_devInfo(d, s, devInfo, c); },
       "resolveResponse_devInfo Parse fail.\n"},
      {"tcpParam", empty(common::ProtoResponseRobotTcpParam()),
       [](const char* d, int s, int& c) { return P::resolveResponse_tcpParam(d, s, tcp, c); },
       "resolveResponse_tcpParam Parse fail.\n"},
      {"gravityComponent", empty(common::ProtoResponseRobotGravityComponent()),
       [](const char* d, int s, int& c) { return P::resolveResponse_gravityComponent(d, s, gravity, c); },
       "resolveResponse_gravityComponent Parse fail.\n"},
      {"collisionCurrent", empty(common::ProtoResponseRobotCollisionCurrent()),
       [](const char* d, int s, int& c) { return P::resolveResponse_collisionCurrent(d, s, collision, c); },
       "resolveResponse_collisionCurrent Parse fail.\n"},
      {"safetyConfig", empty(common::ProtoResponseRobotSafetyConfig()),
       [](const char* d, int s, int& c) { return P::resolveResponse_safetyConfig(d, s, safety, c); },
       "resolveResponse_safetyConfig Parse fail.\n"},
      {"safetyStatus", empty(common::ProtoResponseOrpeSafetyStatus()),
       [](const char* d, int s, int& c) { return P::resolveResponse_safetyStatus(d, s, orpe, c); },
       "resolveResponse_safetyStatus Parse fail.\n"},
      {"wrench (none)", empty(peripheral::ProtoResponseWrench()),
       [](const char* d, int s, int& c) { return P::resolveResponse_Wrench(d, s, wrench, c); },
       "ERROR:resolveResponse_Wrench Parse fail.\n"},
      {"wrench (two torque values)", empty(shortWrench),
       [](const char* d, int s, int& c) { return P::resolveResponse_Wrench(d, s, wrench, c); },
       "ERROR:resolveResponse_Wrench Parse fail.\n"},
      {"calibration (none)", empty(peripheral::ProtoResponseFtSensorCalibResult()),
       [](const char* d, int s, int& c) { return P::resolveResponse_FtSensorCalibResult(d, s, calib, c); },
       "ERROR:resolveResponse_FtSensorCalibResult Parse fail.\n"},
      {"calibration (one angle)", empty(shortAngles),
       [](const char* d, int s, int& c) { return P::resolveResponse_FtSensorCalibResult(d, s, calib, c); },
       "ERROR:resolveResponse_FtSensorCalibResult Parse fail.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    std::memset(&devInfo, 0x5a, sizeof devInfo);
    std::memset(&tcp, 0x5a, sizeof tcp);
    std::memset(&wrench, 0x5a, sizeof wrench);
    std::memset(&calib, 0x5a, sizeof calib);
    const rrn::RobotDevInfo devInfoBefore = devInfo;
    const WrenchParam wrenchBefore = wrench;
    const FtSensorCalResult calibBefore = calib;
    int errorCode = -77;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(c.resolve(c.body.data(), static_cast<int>(c.body.size()), errorCode));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
    EXPECT_EQ(errorCode, -77);
    EXPECT_EQ(std::memcmp(&devInfo, &devInfoBefore, sizeof devInfo), 0);
    EXPECT_EQ(std::memcmp(&wrench, &wrenchBefore, sizeof wrench), 0);
    EXPECT_EQ(std::memcmp(&calib, &calibBefore, sizeof calib), 0);
  }
}

// ---- Tool parameters ------------------------------------------------------------------------------------------------

TEST(CodecToolParam, DynamicsRequestIsACompleteToolParamThatReadsBack) {
  const rrn::ToolDynamicsParam sent{0.01, 0.02, 0.03, 1.5, {1, 2, 3, 4, 5, 6}};
  Body body;
  ASSERT_TRUE(P::getRequest_setToolDynamicsParam(&body.data, &body.size, sent));
  rrn::ToolDynamicsParam back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_getToolDynamicsParam(body.data, body.size, back, errorCode));
  EXPECT_EQ(errorCode, 0);
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);

  // No kinematics element in it: the kinematics resolver says so without a line.
  rrn::ToolInEndDesc desc{};
  testing::internal::CaptureStderr();
  EXPECT_FALSE(P::resolveResponse_getToolKinematicsParam(body.data, body.size, desc, errorCode));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(CodecToolParam, KinematicsRequestIsTheBareMessage) {
  const rrn::ToolInEndDesc sent{{0.1, 0.2, 0.3}, {0, 0, 0, 1}};
  Body body;
  ASSERT_TRUE(P::getRequest_setToolKinematicsParam(&body.data, &body.size, sent));
  const auto message = parsed<common::ToolKinematicsParam>(body);
  EXPECT_EQ(message.toolposition().y(), 0.2);
  EXPECT_EQ(message.toolori().z(), 1);

  common::ToolParam reply;
  P::toolParamTypeConversion(sent, reply);
  setError(reply.mutable_errorinfo(), 0);
  const std::string bytes = reply.SerializeAsString();
  rrn::ToolInEndDesc back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_getToolKinematicsParam(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);
}

// ---- Joint drive data -----------------------------------------------------------------------------------------------

TEST(CodecJointCommonData, AppendsWithoutClearingAndNarrowsSixteenBitFields) {
  comm::ProtoJointCommonDataResponse reply;
  comm::ProtoJointCommonData* joint = reply.add_jointcommondata();
  // Every field required: fill them all, then set the ones checked below.
  const auto* descriptor = joint->GetDescriptor();
  for (int i = 0; i < descriptor->field_count(); ++i) {
    joint->GetReflection()->SetInt32(joint, descriptor->field(i), i);
  }
  joint->set_jointcurvol(0x10005);
  joint->set_jointtagpos(-100000);
  joint->set_jointposds(65535);
  setError(reply.mutable_errorinfo(), 3);
  const std::string bytes = reply.SerializeAsString();

  std::vector<rrn::JointCommonData> list;
  int errorCode = 0;
  ASSERT_TRUE(P::resolveResponse_jointCommonData(bytes.data(), static_cast<int>(bytes.size()), list, errorCode));
  ASSERT_TRUE(P::resolveResponse_jointCommonData(bytes.data(), static_cast<int>(bytes.size()), list, errorCode));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(errorCode, 3);
  EXPECT_EQ(list[1].JointCurVol, 5);
  EXPECT_EQ(list[1].JointTagPos, -100000);
  EXPECT_EQ(list[1].JointPosDS, 65535);
  EXPECT_EQ(list[1].JointSpeedDS, 20);
}

// ---- Force sensor ---------------------------------------------------------------------------------------------------

TEST(CodecForce, WrenchAndCalibrationRoundTripThroughTheControllersSide) {
  const WrenchParam sent{{1, 2, 3}, {-4, -5, -6}};
  Body wrenchBody;
  ASSERT_TRUE(P::getResponse_Wrench(&wrenchBody.data, &wrenchBody.size, sent, 0, ""));
  WrenchParam back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_Wrench(wrenchBody.data, wrenchBody.size, back, errorCode));
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);

  Body refused;
  ASSERT_TRUE(P::getResponse_Wrench(&refused.data, &refused.size, sent, 8, std::string("no\0sensor", 9)));
  EXPECT_EQ(parsed<peripheral::ProtoResponseWrench>(refused).errorinfo().errormsg(), "no");
  WrenchParam untouched{};
  ASSERT_TRUE(P::resolveResponse_Wrench(refused.data, refused.size, untouched, errorCode));
  EXPECT_EQ(errorCode, 8);
  EXPECT_EQ(untouched.force[0], 0);

  const FtSensorCalResult result{{{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}}, 1.25, {0.01, 0.02, 0.03}, {0.7, 0.8}};
  Body calibBody;
  ASSERT_TRUE(P::getResponse_FtSensorCalibResult(&calibBody.data, &calibBody.size, result, 0, ""));
  FtSensorCalResult calib{};
  ASSERT_TRUE(P::resolveResponse_FtSensorCalibResult(calibBody.data, calibBody.size, calib, errorCode));
  EXPECT_EQ(std::memcmp(&calib, &result, sizeof result), 0);

  const rrn::JointParam sets[3] = {{{1, 2, 3, 4, 5, 6}}, {{7, 8, 9, 10, 11, 12}}, {{13, 14, 15, 16, 17, 18}}};
  const WrenchParam wrenches[3] = {sent, sent, {{9, 9, 9}, {8, 8, 8}}};
  Body request;
  ASSERT_TRUE(P::getRequest_FtSensorCalibParam(&request.data, &request.size, sets, wrenches));
  const auto param = parsed<peripheral::ProtoFtSensorCalibParam>(request);
  ASSERT_EQ(param.jointangle_size(), 3);
  EXPECT_EQ(param.jointangle(2).joint6(), 18);
  ASSERT_EQ(param.wrenchlist_size(), 3);
  EXPECT_EQ(param.wrenchlist(2).torque(2), 8);
}

}  // namespace
