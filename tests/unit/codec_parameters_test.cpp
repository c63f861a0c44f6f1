// The arm parameter blocks: the current and legacy forms chosen by the controller's version, the legacy integer
// kinematics, the all-or-nothing block conversions and the narrowing of the friction and information values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <type_traits>

#include "codec/protoencodedecode.h"
#include "codec_body.h"
#include "util/server_version_code.h"

namespace {

namespace comm = ruko::robot::communication;
namespace pbparam = ruko::robot::paramerter;
namespace rrn = ruko_robot_namespace;
using P = ProtoEncodeDecode;
using ruko::test::Body;

// The version code is process-wide; each test sets the one it needs and restores 0.
class ServerVersion {
 public:
  explicit ServerVersion(int code) { ruko::setServerVersionCode(code); }
  ~ServerVersion() { ruko::setServerVersionCode(0); }
};

rrn::RobotBaseParameters sampleBase() {
  rrn::RobotBaseParameters p;
  p.info.robot_type = 12;
  p.info.auth_type = 65535;
  p.info.robot_expire = 4000000000u;
  p.info.reserve[11] = 255;
  p.info.robot_duration = 77;
  p.info.joint_duration[5] = 6;
  p.dynamicParam.K[0] = 1.5;
  p.dynamicParam.M[0] = 12.25;
  p.dynamicParam.IXYZ[27] = -0.125;
  p.handguidingParam.acceleration_limit[5] = 3.5;
  for (int i = 0; i < 6; ++i) {
    p.kinematicsParam.da[i] = 100.0 * i;
    p.kinematicsParam.dtheta[i] = -50.0 * i;
  }
  return p;
}

void expectSameBase(const rrn::RobotBaseParameters& a, const rrn::RobotBaseParameters& b) {
  static_assert(std::is_trivially_copyable<rrn::RobotBaseParameters>::value, "compared bytewise");
  EXPECT_EQ(std::memcmp(&a.info, &b.info, sizeof a.info), 0);
  EXPECT_EQ(std::memcmp(&a.dynamicParam, &b.dynamicParam, sizeof a.dynamicParam), 0);
  EXPECT_EQ(std::memcmp(&a.handguidingParam, &b.handguidingParam, sizeof a.handguidingParam), 0);
  // By value: the legacy form turns -0.0 into 0.0.
  auto same = [](const double(&x)[6], const double(&y)[6]) {
    for (int i = 0; i < 6; ++i) EXPECT_EQ(x[i], y[i]) << i;
  };
  const rrn::RobotKinematicsParameters& ka = a.kinematicsParam;
  const rrn::RobotKinematicsParameters& kb = b.kinematicsParam;
  same(ka.da, kb.da);
  same(ka.dd, kb.dd);
  same(ka.dalpha, kb.dalpha);
  same(ka.dbeta, kb.dbeta);
  same(ka.dratio, kb.dratio);
  same(ka.dtheta, kb.dtheta);
}

TEST(CodecParameterRecords, DefaultConstructionZeroesEveryValue) {
  // Placement into dirty storage shows what a plain declaration leaves behind.
  alignas(rrn::RobotBaseParameters) unsigned char base[sizeof(rrn::RobotBaseParameters)];
  std::memset(base, 0xa5, sizeof base);
  auto* p = new (base) rrn::RobotBaseParameters;
  alignas(rrn::RobotJointsParameter) unsigned char joints[sizeof(rrn::RobotJointsParameter)];
  std::memset(joints, 0xa5, sizeof joints);
  auto* j = new (joints) rrn::RobotJointsParameter;
  EXPECT_EQ(p->info.robot_type, 0);
  EXPECT_EQ(p->info.reserve[11], 0);
  EXPECT_EQ(p->dynamicParam.IXYZ[27], 0.0);
  EXPECT_EQ(p->handguidingParam.acceleration_limit[5], 0.0);
  EXPECT_EQ(p->kinematicsParam.dtheta[5], 0.0);
  EXPECT_EQ(j->frictionParam.negvel_c2[5], 0);
}

TEST(CodecBaseParameters, RequestFormFollowsTheServerVersion) {
  const rrn::RobotBaseParameters sent = sampleBase();
  {
    ServerVersion version(4005001);
    Body body;
    ASSERT_TRUE(P::makeRequest_ProtoRobotBaseParameter(&body.data, &body.size, sent));
    pbparam::ProtoRobotBaseParameter current;
    ASSERT_TRUE(current.ParseFromArray(body.data, body.size));
    EXPECT_EQ(current.kinematicsparameter().da(5), 500.0);
    rrn::RobotBaseParameters back;
    ASSERT_TRUE(P::resolveRequest_ProtoRobotBaseParameter(body.data, body.size, back));
    expectSameBase(back, sent);
  }
  for (int legacyVersion : {4005000, 0}) {
    SCOPED_TRACE(legacyVersion);
    ServerVersion version(legacyVersion);
    Body body;
    ASSERT_TRUE(P::makeRequest_ProtoRobotBaseParameter(&body.data, &body.size, sent));
    pbparam::ProtoRobotBaseParameter_legacy legacy;
    ASSERT_TRUE(legacy.ParseFromArray(body.data, body.size));
    EXPECT_EQ(legacy.kinematicsparameter().da(5), 500u);
    EXPECT_EQ(legacy.kinematicsparameter().dtheta(1), static_cast<uint32_t>(-50));
    // Read as the current form, the integer kinematics do not fit.
    rrn::RobotBaseParameters back;
    EXPECT_FALSE(P::resolveRequest_ProtoRobotBaseParameter(body.data, body.size, back));
    EXPECT_EQ(back.kinematicsParam.da[5], 0.0);
  }
}

TEST(CodecBaseParameters, ResponseRoundTripInBothFormsWithTheControllersCode) {
  const rrn::RobotBaseParameters sent = sampleBase();
  {
    ServerVersion version(4010000);
    Body body;
    const std::string text("busy\0since 3 s", 14);
    ASSERT_TRUE(P::makeResponse_ProtoRobotBaseParameter(&body.data, &body.size, sent, 12, text));
    // The controller's side sends its text whole, past a zero byte too.
    EXPECT_EQ(ruko::test::parsed<pbparam::ProtoRobotBaseParameterResponse>(body).errorinfo().errormsg(), text);
    rrn::RobotBaseParameters back;
    int errorCode = 0;
    ASSERT_TRUE(P::ParseResponse_ProtoRobotBaseParameter(body.data, body.size, back, errorCode));
    EXPECT_EQ(errorCode, 12);
    expectSameBase(back, sent);
  }
  {
    ServerVersion version(4005000);
    pbparam::ProtoRobotBaseParameterResponse_legacy reply;
    P::RobotBaseParameter_RukoToProto_Legacy(sent, *reply.mutable_baseparameter());
    reply.mutable_errorinfo()->set_errorcode(0);
    reply.mutable_errorinfo()->set_errormsg("");
    const std::string bytes = reply.SerializeAsString();
    rrn::RobotBaseParameters back;
    int errorCode = -1;
    ASSERT_TRUE(
        P::ParseResponse_ProtoRobotBaseParameter(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
    EXPECT_EQ(errorCode, 0);
    expectSameBase(back, sent);  // every sample value is a whole number within 16 bits
  }
}

TEST(CodecBaseParameters, LegacyKinematicsAreTruncatedLowBitsAndReadAsSixteenBitValues) {
  struct Case {
    double sent;
    uint32_t wire;
    double readBack;
  };
  const Case cases[] = {
      {-12.7, 4294967284u, -12.0},
      {40000.0, 40000u, -25536.0},
      {32767.9, 32767u, 32767.0},
      {-32768.0, 4294934528u, -32768.0},
      {std::numeric_limits<double>::quiet_NaN(), 0u, 0.0},
      {std::numeric_limits<double>::infinity(), 0u, 0.0},
      {-1e300, 0u, 0.0},
      {9.3e18, 0u, 0.0},
      {4294967296.0 + 7.0, 7u, 7.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent);
    rrn::RobotKinematicsParameters record;
    record.dd[3] = c.sent;
    pbparam::ProtoRobotKinematicsParameter_legacy message;
    ASSERT_TRUE(P::RobotKinematicsParameter_RukoToProto_Legacy(record, message));
    ASSERT_EQ(message.dd_size(), 6);
    EXPECT_EQ(message.dd(3), c.wire);
    rrn::RobotKinematicsParameters back;
    ASSERT_TRUE(P::RobotKinematicsParameter_ProtoToRuko_Legacy(message, back));
    EXPECT_EQ(back.dd[3], c.readBack);
  }
}

TEST(CodecBaseParameters, MisfitBlocksStopTheChainButTheAnswerStillSucceeds) {
  const rrn::RobotBaseParameters sent = sampleBase();
  {
    // Current form, MXYZ with 12 values: info converted, the rest left alone, success with the code.
    ServerVersion version(4005001);
    pbparam::ProtoRobotBaseParameterResponse reply;
    P::RobotBaseParameter_RukoToProto(sent, *reply.mutable_baseparameter());
    reply.mutable_baseparameter()->mutable_dynamicsparameter()->mutable_mxyz()->RemoveLast();
    reply.mutable_errorinfo()->set_errorcode(7);
    reply.mutable_errorinfo()->set_errormsg("");
    const std::string bytes = reply.SerializeAsString();
    rrn::RobotBaseParameters back;
    int errorCode = 0;
    ASSERT_TRUE(
        P::ParseResponse_ProtoRobotBaseParameter(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
    EXPECT_EQ(errorCode, 7);
    EXPECT_EQ(back.info.robot_expire, sent.info.robot_expire);
    EXPECT_EQ(back.dynamicParam.K[0], 0.0);
    EXPECT_EQ(back.handguidingParam.acceleration_limit[5], 0.0);
    EXPECT_EQ(back.kinematicsParam.da[5], 0.0);
  }
  {
    // Legacy form, five dd values: kinematics untouched, the three other blocks converted.
    ServerVersion version(4005000);
    pbparam::ProtoRobotBaseParameterResponse_legacy reply;
    P::RobotBaseParameter_RukoToProto_Legacy(sent, *reply.mutable_baseparameter());
    reply.mutable_baseparameter()->mutable_kinematicsparameter()->mutable_dd()->RemoveLast();
    reply.mutable_errorinfo()->set_errorcode(0);
    reply.mutable_errorinfo()->set_errormsg("");
    const std::string bytes = reply.SerializeAsString();
    rrn::RobotBaseParameters back;
    int errorCode = -1;
    ASSERT_TRUE(
        P::ParseResponse_ProtoRobotBaseParameter(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
    EXPECT_EQ(back.kinematicsParam.da[5], 0.0);
    EXPECT_EQ(back.info.robot_expire, sent.info.robot_expire);
    EXPECT_EQ(back.dynamicParam.IXYZ[27], sent.dynamicParam.IXYZ[27]);
    EXPECT_EQ(back.handguidingParam.acceleration_limit[5], 3.5);
  }
  {
    // Legacy form with a misfit info block: the kinematics, taken first, are there all the same.
    pbparam::ProtoRobotBaseParameter_legacy message;
    P::RobotBaseParameter_RukoToProto_Legacy(sent, message);
    message.mutable_robotinfo()->add_reserve(1);
    rrn::RobotBaseParameters back;
    EXPECT_FALSE(P::RobotBaseParameter_ProtoToRuko_Legacy(message, back));
    EXPECT_EQ(back.info.robot_expire, 0u);
    EXPECT_EQ(back.kinematicsParam.da[5], 500.0);
  }
}

TEST(CodecBaseParameters, InformationKeepsTheLowBitsOfWideWireValues) {
  pbparam::ProtoRobotInfo message;
  P::RobotInfo_RukoToProto(rrn::RobotInfo{}, message);
  message.set_robot_type(70000);
  message.set_reserve(0, 300);
  rrn::RobotInfo info;
  ASSERT_TRUE(P::RobotInfo_ProtoToRuko(message, info));
  EXPECT_EQ(info.robot_type, 4464);
  EXPECT_EQ(info.reserve[0], 44);

  message.add_joint_duration(1);  // seven values: not converted at all
  info.robot_type = 1;
  EXPECT_FALSE(P::RobotInfo_ProtoToRuko(message, info));
  EXPECT_EQ(info.robot_type, 1);
}

TEST(CodecBaseParameters, DynamicsEncodingReplacesWhatTheListsHeld) {
  pbparam::ProtoRobotDynamicsParameter message;
  message.add_k(99);
  P::RobotDynamicsParameters_RukoToProto(sampleBase().dynamicParam, message);
  EXPECT_EQ(message.k_size(), 6);
  EXPECT_EQ(message.k(0), 1.5);
  EXPECT_EQ(message.ixyz_size(), 28);
}

TEST(CodecJointsParameter, SignedFrictionValuesTravelAsTheirTwosComplement) {
  rrn::RobotJointsParameter sent;
  sent.frictionParam.negvel_c2[0] = -5;
  sent.frictionParam.tmp_a[1] = -1;
  sent.frictionParam.FL[2] = 65535;
  sent.frictionParam.posvel_c2[5] = 40000;
  Body request;
  ASSERT_TRUE(P::makeRequest_ProtoRobotJointsParameter(&request.data, &request.size, sent));
  pbparam::ProtoRobotJointsParameter message;
  ASSERT_TRUE(message.ParseFromArray(request.data, request.size));
  EXPECT_EQ(message.frictionparameter().negvel_c2(0), 4294967291u);
  EXPECT_EQ(message.frictionparameter().tmp_a(1), 4294967295u);
  EXPECT_EQ(message.frictionparameter().fl(2), 65535u);

  rrn::RobotJointsParameter back;
  ASSERT_TRUE(P::resolveRequest_ProtoRobotJointsParameter(request.data, request.size, back));
  EXPECT_EQ(std::memcmp(&back, &sent, sizeof sent), 0);

  Body response;
  const std::string text("x\0y", 3);
  ASSERT_TRUE(P::makeResponse_ProtoRobotJointsParameter(&response.data, &response.size, sent, 3, text));
  EXPECT_EQ(ruko::test::parsed<pbparam::ProtoRobotJointsParameterResponse>(response).errorinfo().errormsg(), text);
  rrn::RobotJointsParameter fromResponse;
  int errorCode = 0;
  ASSERT_TRUE(P::ParseResponse_ProtoRobotJointsParameter(response.data, response.size, fromResponse, errorCode));
  EXPECT_EQ(errorCode, 3);
  EXPECT_EQ(fromResponse.frictionParam.negvel_c2[0], -5);
  EXPECT_EQ(fromResponse.frictionParam.posvel_c2[5], 40000);

  // A wire value beyond 16 bits keeps its low bits; a list of the wrong length is not taken.
  message.mutable_frictionparameter()->set_negvel_c2(0, 0x1fffb);
  rrn::RobotJointsParameter narrowed;
  ASSERT_TRUE(P::RobotJointsParameter_ProtoToRuko(message, narrowed));
  EXPECT_EQ(narrowed.frictionParam.negvel_c2[0], -5);
  message.mutable_frictionparameter()->add_fr(1);
  rrn::RobotJointsParameter untouched;
  EXPECT_FALSE(P::RobotJointsParameter_ProtoToRuko(message, untouched));
  EXPECT_EQ(untouched.frictionParam.negvel_c2[0], 0);
}

}  // namespace
