// The library's codec reads every query reply of the simulator: the replies hold what the library needs
// beyond the schema (one errorInfo element, the list lengths, six joints, sixteen orpe errors, ...).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "raw_client.h"
#include "simulator.h"

namespace {

namespace rrn = ruko_robot_namespace;
using ruko::test::RawClient;
using Resolve = std::function<bool(const std::string& body, int& errorCode)>;

template <typename T>
Resolve with(bool (*resolver)(const char*, int, T&, int&)) {
  return [resolver](const std::string& body, int& code) {
    T out{};
    return resolver(body.data(), static_cast<int>(body.size()), out, code);
  };
}

TEST(SimulatorAgainstCodec, EveryQueryReplyDecodes) {
  ruko::sim::Options options;
  ruko::sim::Simulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.start(&error)) << error;
  RawClient client(sim.port());

  {
    const auto* reply = client.request(0, [] {
      ruko::robot::communication::ProtoRequestLogin login;
      login.set_username("u");
      login.set_passwd("p");
      return login.SerializeAsString();
    }());
    ASSERT_NE(reply, nullptr);
    rrn::RobotType type{};
    rrn::RobotDhPara dh{};
    int code = -1;
    EXPECT_TRUE(ProtoEncodeDecode::resolveResponse_DhParam(reply->body.data(), static_cast<int>(reply->body.size()),
                                                           type, dh, code));
    EXPECT_EQ(code, 0);
  }

  const auto jointStatus = [](const std::string& body, int& code) {
    rrn::JointStatus status[6] = {};
    return ProtoEncodeDecode::resolveResponse_jointStatus(body.data(), static_cast<int>(body.size()), status, 6,
                                                          code);
  };
  const auto list = [](size_t length) {
    return [length](const std::string& body, int& code) {
      std::vector<double> values;
      return ProtoEncodeDecode::resolveResponse_doubleTypeValueVector(body.data(), static_cast<int>(body.size()),
                                                                      values, code) &&
             values.size() == length;
    };
  };
  struct Case {
    int type;
    Resolve resolve;
  };
  const std::vector<Case> cases{
      {6, jointStatus},
      {10, with(&ProtoEncodeDecode::resolveResponse_jointAngle)},
      {114, with(&ProtoEncodeDecode::resolveResponse_jointAngle)},
      {15, with(&ProtoEncodeDecode::resolveResponse_robotDiagnosisInfo)},
      {26, with(&ProtoEncodeDecode::resolveResponse_robotState)},
      {28, with(&ProtoEncodeDecode::resolveResponse_tcpParam)},
      {30, with(&ProtoEncodeDecode::resolveResponse_getToolDynamicsParam)},
      {34, with(&ProtoEncodeDecode::resolveResponse_robotWorkMode)},
      {35, with(&ProtoEncodeDecode::resolveResponse_gravityComponent)},
      {36, with(&ProtoEncodeDecode::resolveResponse_collisionCurrent)},
      {37, with(&ProtoEncodeDecode::resolveResponse_isRealRobotExist)},
      {38, with(&ProtoEncodeDecode::resolveResponse_devInfo)},
      {41, with(&ProtoEncodeDecode::resolveResponse_robotDiagnosisIOData)},
      {43, with(&ProtoEncodeDecode::resolveResponse_robotAnalogIOData)},
      {57, with(&ProtoEncodeDecode::resolveResponse_robotDiagnosisIOData)},
      {61, with(&ProtoEncodeDecode::resolveResponse_safetyConfig)},
      {63, with(&ProtoEncodeDecode::resolveResponse_safetyStatus)},
      {79, with(&ProtoEncodeDecode::resolveResponse_getDynIdentifyResults)},
      {81, with(&ProtoEncodeDecode::resolveResponse_robotToolIoStatus)},
      {84, with(&ProtoEncodeDecode::resolveResponse_ethernetDeviceName)},
      {87, with(&ProtoEncodeDecode::resolveResponse_isRealRobotExist)},
      {89, with(&ProtoEncodeDecode::resolveResponse_moveControlResule)},
      {117, with(&ProtoEncodeDecode::resolveResponse_SeamTracking)},
      {119, list(13)},
      {121, with(&ProtoEncodeDecode::resolveResponse_jointCommonData)},
      {124, with(&ProtoEncodeDecode::resolveResponse_ethernetDeviceName)},
      {125, with(&ProtoEncodeDecode::resolveResponse_isRealRobotExist)},
      {136, with(&ProtoEncodeDecode::ParseResponse_ProtoRobotBaseParameter)},
      {138, with(&ProtoEncodeDecode::ParseResponse_ProtoRobotJointsParameter)},
      {141, list(14)},
      {149, list(12)},
      {1000, list(13)},
      {2000, with(&ProtoEncodeDecode::resolveResponse_tcpforcesensorData)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const auto* reply = client.request(c.type);
    ASSERT_NE(reply, nullptr);
    int code = -1;
    EXPECT_TRUE(c.resolve(reply->body, code));
    EXPECT_EQ(code, 0);
  }
}

}  // namespace
