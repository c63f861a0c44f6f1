// Every codec member that can fail writes exactly one line of its own, with its own odd text, to standard error,
// standard output or the log; operators grep for these texts, so each is pinned here with where it goes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "log_capture.h"

namespace {

namespace rrn = ruko_robot_namespace;

enum class Where { Err, Out, Log };

struct FailureCase {
  const char* member;
  std::function<bool()> call;
  Where where;
  std::string lines;  // everything written to that sink, line ends included
};

struct Captured {
  std::string out;
  std::string err;
  std::vector<ruko::test::LogLine> log;
};

Captured runCaptured(const std::function<bool()>& call, bool& result) {
  ruko::test::LogCapture log;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  result = call();
  Captured captured;
  captured.err = testing::internal::GetCapturedStderr();
  captured.out = testing::internal::GetCapturedStdout();
  captured.log = log.lines();
  return captured;
}

// A length-delimited field whose length is missing: no message parses it.
const std::string kTruncated("\x0a", 1);

bool resolveTruncated(const std::function<bool(const char*, int)>& resolver) {
  return resolver(kTruncated.data(), static_cast<int>(kTruncated.size()));
}

// A builder given no place for the body fails like a failed serialisation: no array, size 0, its line.
bool buildWithoutOutput(const std::function<bool(char**, int*)>& builder) {
  int size = 77;
  const bool ok = builder(nullptr, &size);
  EXPECT_EQ(size, 0);
  return ok;
}

// A builder given inputs it cannot encode soundly: real outputs, yet no array and size 0 come back.
bool buildRefused(const std::function<bool(char**, int*)>& builder) {
  char* data = reinterpret_cast<char*>(&data);
  int size = 77;
  const bool ok = builder(&data, &size);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0);
  return ok;
}

RobotMoveProfile profileWithWireLessTrack() {
  RobotMoveProfile profile{};
  profile.moveMode = MODEL;
  profile.subMoveMode = rrn::ARC;  // exists only on this side of the wire
  return profile;
}

std::vector<FailureCase> failureCases() {
  using P = ProtoEncodeDecode;
  const rrn::wayPoint_S wayPoint{};
  const RobotTcpParam tcpParam{};
  const rrn::ToolDynamicsParam toolDynamics{};
  const rrn::ToolInEndDesc toolDesc{};
  const rrn::RobotSafetyConfig safetyConfig{};
  const rrn::RobotJointOffset jointOffset{};
  const rrn::SeamTracking seamTrack{};
  const rrn::JointParam jointSets[3]{};
  const WrenchParam wrenches[3]{};
  const FtSensorCalResult calibResult{};
  const rrn::RobotBaseParameters baseParameters{};
  const rrn::RobotJointsParameter jointsParameter{};
  const CoordCalibrateByToolEndPoint coordinateSystem{};
  const char* generalLine = "ERROR:ProtoCommunicationGeneralDataMessageSerialize Serialize fail.\n";
  const char* generalParseLine = "ERROR: ProtoCommunicationGeneralDataMessageParse fail.\n";

  static int code;
  static double number;
  static int integer;
  static bool flag;
  static std::string text;
  static std::vector<int> ints;
  static std::vector<double> doubles;
  static rrn::RobotEventInfo eventInfo;
  static rrn::JointParam jointParam;
  static rrn::ForceSensorData forceData;
  static rrn::wayPoint_S outWayPoint;
  static rrn::JointStatus statuses[6];
  static rrn::RobotDiagnosis diagnosis;
  static rrn::RobotDevInfo devInfo;
  static RobotTcpParam outTcpParam;
  static rrn::ToolDynamicsParam outToolDynamics;
  static rrn::ToolInEndDesc outToolDesc;
  static rrn::RobotGravityComponent gravity;
  static RobotCollisionCurrent collision;
  static rrn::RobotWorkMode workMode;
  static rrn::RobotState state;
  static rrn::RobotSafetyConfig outSafetyConfig;
  static rrn::OrpeSafetyStatus safetyStatus;
  static rrn::RobotType robotType;
  static rrn::RobotDhPara dhPara;
  static call_robot_motion_func_result moveResult;
  static std::vector<rrn::RobotDiagnosisIODesc> digitalIo;
  static std::vector<rrn::RobotAnalogIODesc> analogIo;
  static RobotToolAllIOStatus toolIo;
  static std::vector<rrn::JointCommonData> jointCommonData;
  static rrn::SeamTracking outSeamTrack;
  static FtSensorCalResult outCalibResult;
  static WrenchParam outWrench;
  static CommunicationCommonResultResponse common;
  static rrn::RobotBaseParameters outBase;
  static rrn::RobotJointsParameter outJoints;

  auto build = [](std::function<bool(char**, int*)> builder) { return [=] { return buildWithoutOutput(builder); }; };
  auto refused = [](std::function<bool(char**, int*)> builder) { return [=] { return buildRefused(builder); }; };
  auto parse = [](std::function<bool(const char*, int)> resolver) {
    return [=] { return resolveTruncated(resolver); };
  };

  return {
      // Builders.
      {"getRequest_login", build([](char** d, int* s) { return P::getRequest_login(d, s, "user", "pw"); }), Where::Err,
       "ERROR: getRequest_login Serialize fail.\n"},
      {"getRequest_roadpoint", build([=](char** d, int* s) { return P::getRequest_roadpoint(d, s, wayPoint); }),
       Where::Out, "getResponse_roadpoint Serialize fail.\n"},
      {"getRequest_tcpParam", build([=](char** d, int* s) { return P::getRequest_tcpParam(d, s, tcpParam); }),
       Where::Out, "getRequest_tcpParam Serialize fail.\n"},
      {"getRequest_setToolDynamicsParam",
       build([=](char** d, int* s) { return P::getRequest_setToolDynamicsParam(d, s, toolDynamics); }), Where::Log,
       "getRequest_setToolDynamicsParam Serialize fail."},
      {"getRequest_setToolKinematicsParam",
       build([=](char** d, int* s) { return P::getRequest_setToolKinematicsParam(d, s, toolDesc); }), Where::Log,
       "getRequest_setToolKinematicsParam Serialize fail."},
      {"getRequest_startupOfflineExcitTraj",
       build([](char** d, int* s) { return P::getRequest_startupOfflineExcitTraj(d, s, "track", 1, 2); }), Where::Log,
       "getRequest_startupOfflineExcitTraj Serialize fail."},
      {"getRequest_robotControl",
       build([](char** d, int* s) { return P::getRequest_robotControl(d, s, rrn::RobotBrake); }), Where::Err,
       std::string(generalLine) + "ERROR:getRequest_robotControl Serialize fail.\n"},
      {"getRequest_setRobotPowerStatus",
       build([](char** d, int* s) { return P::getRequest_setRobotPowerStatus(d, s, true); }), Where::Err,
       std::string(generalLine) + "ERROR:getRequest_setRobotPowerStatus Serialize fail.\n"},
      {"getRequest_setRobotWorkMode",
       build([](char** d, int* s) { return P::getRequest_setRobotWorkMode(d, s, rrn::RobotModeReal); }), Where::Err,
       std::string(generalLine) + "ERROR:setRobotWorkMode Serialize fail.\n"},
      {"getRequest_robotMoveControl",
       build([](char** d, int* s) { return P::getRequest_robotMoveControl(d, s, rrn::RobotMovePause); }), Where::Err,
       std::string(generalLine) + "ERROR:robotMoveControl Serialize fail.\n"},
      {"getRequest_setRobotBoardMaxAcc",
       build([](char** d, int* s) { return P::getRequest_setRobotBoardMaxAcc(d, s, 3); }), Where::Err,
       std::string(generalLine) + "ERROR:setRobotBoardMaxAcc Serialize fail.\n"},
      {"getRequest_setRobotCollision", build([](char** d, int* s) { return P::getRequest_setRobotCollision(d, s, 6); }),
       Where::Err, std::string(generalLine) + "ERROR: setRobotCollision Serialize fail.\n"},
      {"getRequest_robotStartup",
       build([=](char** d, int* s) { return P::getRequest_robotStartup(d, s, tcpParam, 6, true, false, 10); }),
       Where::Out, "getRequest_robotStartup Serialize fail.\n"},
      {"getRequest_setSafetyConfig",
       build([=](char** d, int* s) { return P::getRequest_setSafetyConfig(d, s, safetyConfig); }), Where::Log,
       "getRequest_setSafetyConfig Serialize fail."},
      {"getRequest_safeIoParamAbout", build([](char** d, int* s) {
         return P::getRequest_safeIoParamAbout(d, s, {1, 2});
       }),
       Where::Log, "getRequest_safeIoParamAbout Serialize fail."},
      {"getRequest_robotMove (enumeration value without wire form)", refused([](char** d, int* s) {
         return P::getRequest_robotMove(d, s, profileWithWireLessTrack(), {rrn::wayPoint_S{}});
       }),
       Where::Out, "getRequest_robotMove Serialize fail.\n"},
      {"getRequest_robotTeachMove (enumeration value without wire form)", refused([=](char** d, int* s) {
         return P::getRequest_robotTeachMove(d, s, profileWithWireLessTrack(), coordinateSystem);
       }),
       Where::Out, "getRequest_robotTeachMove Serialize fail.\n"},
      {"getRequest_firmwareUpgrade (negative length)",
       refused([](char** d, int* s) { return P::getRequest_firmwareUpgrade(d, s, 1, "abc", -1); }), Where::Out,
       "getRequest_firmwareUpgrade Serialize fail.\n"},
      {"getRequest_robotDiagnosisIOData",
       build([](char** d, int* s) { return P::getRequest_robotDiagnosisIOData(d, s, {}); }), Where::Err,
       "ERROR:getResponse_robotDiagnosisIOData Serialize fail.\n"},
      {"getRequest_robotAnalogIOData",
       build([](char** d, int* s) { return P::getRequest_robotAnalogIOData(d, s, {}); }), Where::Err,
       "ERROR:getResponse_robotAnalogIOData Serialize fail.\n"},
      {"getRequest_robotRobotJointOffsetData",
       build([=](char** d, int* s) { return P::getRequest_robotRobotJointOffsetData(d, s, jointOffset); }), Where::Log,
       "getRequest_robotRobotJointOffsetData Serialize fail."},
      {"getRequest_intTypeValueVector",
       build([](char** d, int* s) { return P::getRequest_intTypeValueVector(d, s, {1}); }), Where::Log,
       "getRequest_intTypeValueVector Serialize fail."},
      {"getRequest_doubleTypeValueVector",
       build([](char** d, int* s) { return P::getRequest_doubleTypeValueVector(d, s, {1.0}); }), Where::Log,
       "getRequest_doubleValueVector Serialize fail."},
      {"getRequest_ConveyorTrackValuePoint", build([](char** d, int* s) {
         return P::getRequest_ConveyorTrackValuePoint(d, s, {}, {1, 0, 0, 0}, 5);
       }),
       Where::Log, "getRequest_ConveyorTrackValuePoint Serialize fail."},
      {"getRequest_SeamTracking", build([=](char** d, int* s) { return P::getRequest_SeamTracking(d, s, seamTrack); }),
       Where::Log, "getRequest_SeamTracking Serialize fail."},
      {"getRequest_FtSensorCalibParam (no joint sets)",
       refused([=](char** d, int* s) { return P::getRequest_FtSensorCalibParam(d, s, nullptr, wrenches); }), Where::Log,
       " Serialize fail."},
      {"getRequest_FtSensorCalibParam",
       build([=](char** d, int* s) { return P::getRequest_FtSensorCalibParam(d, s, jointSets, wrenches); }), Where::Log,
       " Serialize fail."},
      {"getResponse_Wrench", build([=](char** d, int* s) { return P::getResponse_Wrench(d, s, wrenches[0], 0, ""); }),
       Where::Log, " Serialize fail."},
      {"getResponse_FtSensorCalibResult",
       build([=](char** d, int* s) { return P::getResponse_FtSensorCalibResult(d, s, calibResult, 0, ""); }),
       Where::Log, " Serialize fail."},
      {"ProtobufDataSerializeToArray (required field unset)",
       refused([](char** d, int* s) { return P::ProtobufDataSerializeToArray(ruko::robot::common::Pos(), d, s); }),
       Where::Log, " Serialize fail."},
      {"ProtoCommunicationGeneralDataMessageSerialize (type unset)", refused([](char** d, int* s) {
         return P::ProtoCommunicationGeneralDataMessageSerialize(
             ruko::robot::communication::ProtoCommunicationGeneralData(), d, s);
       }),
       Where::Err, generalLine},
      {"makeRequest_ProtoRobotBaseParameter",
       build([=](char** d, int* s) { return P::makeRequest_ProtoRobotBaseParameter(d, s, baseParameters); }),
       Where::Log, " Serialize fail."},
      {"makeRequest_ProtoRobotJointsParameter",
       build([=](char** d, int* s) { return P::makeRequest_ProtoRobotJointsParameter(d, s, jointsParameter); }),
       Where::Log, " Serialize fail."},
      {"makeResponse_ProtoRobotBaseParameter",
       build([=](char** d, int* s) { return P::makeResponse_ProtoRobotBaseParameter(d, s, baseParameters, 0, ""); }),
       Where::Log, "ERROR:makeResponse_ProtoRobotBaseParameter Serialize fail."},
      {"makeResponse_ProtoRobotJointsParameter",
       build([=](char** d, int* s) { return P::makeResponse_ProtoRobotJointsParameter(d, s, jointsParameter, 0, ""); }),
       Where::Log, "ERROR:makeResponse_ProtoRobotJointsParameter Serialize fail."},

      // Resolvers.
      {"resolveResponse_commonFormat",
       parse([](const char* d, int s) { return P::resolveResponse_commonFormat(d, s, common); }), Where::Err,
       "ERROR: resolveResponse_commonFormat Parse fail.\n"},
      {"resolveResponse_robotEvent",
       parse([](const char* d, int s) { return P::resolveResponse_robotEvent(d, s, eventInfo); }), Where::Err,
       "ERROR:resolveResponse_robotEvent Parse fail.\n"},
      {"resolveResponse_robotEndSpeed",
       parse([](const char* d, int s) { return P::resolveResponse_robotEndSpeed(d, s, number); }), Where::Err,
       generalParseLine},
      {"resolveResponse_movepProgressNotify",
       parse([](const char* d, int s) { return P::resolveResponse_movepProgressNotify(d, s, integer); }), Where::Err,
       generalParseLine},
      {"resolveResponse_robotWorkMode",
       parse([](const char* d, int s) { return P::resolveResponse_robotWorkMode(d, s, workMode, code); }), Where::Err,
       generalParseLine},
      {"resolveResponse_robotState",
       parse([](const char* d, int s) { return P::resolveResponse_robotState(d, s, state, code); }), Where::Err,
       generalParseLine},
      {"resolveResponse_isRealRobotExist",
       parse([](const char* d, int s) { return P::resolveResponse_isRealRobotExist(d, s, flag, code); }), Where::Err,
       generalParseLine},
      {"resolveResponse_jointAngle",
       parse([](const char* d, int s) { return P::resolveResponse_jointAngle(d, s, jointParam, code); }), Where::Err,
       "resolveResponse_jointAngle Parse fail.\n"},
      {"resolveResponse_tcpforcesensorData",
       parse([](const char* d, int s) { return P::resolveResponse_tcpforcesensorData(d, s, forceData, code); }),
       Where::Err, "resolveResponse_tcpforcesensorData Parse fail.\n"},
      {"resolveResponse_waypoint",
       parse([](const char* d, int s) { return P::resolveResponse_waypoint(d, s, outWayPoint, code); }), Where::Err,
       "resolveResponse_waypoint Parse fail.\n"},
      {"resolveResponse_jointStatus",
       parse([](const char* d, int s) { return P::resolveResponse_jointStatus(d, s, statuses, 6, code); }), Where::Err,
       "resolveResponse_jointStatus Parse fail.\n"},
      {"resolveResponse_robotDiagnosis",
       parse([](const char* d, int s) { return P::resolveResponse_robotDiagnosis(d, s, diagnosis); }), Where::Err,
       "resolveResponse_robotDiagnosis Parse fail.\n"},
      {"resolveResponse_robotDiagnosisInfo",
       parse([](const char* d, int s) { return P::resolveResponse_robotDiagnosisInfo(d, s, diagnosis, code); }),
       Where::Err, "resolveResponse_robotDiagnosisInfo Parse fail.\n"},
      {"resolveResponse_devInfo",
       parse([](const char* d, int s) { return P::resolveResponse_devInfo(d, s, devInfo, code); }), Where::Err,
       "resolveResponse_devInfo Parse fail.\n"},
      {"resolveResponse_tcpParam",
       parse([](const char* d, int s) { return P::resolveResponse_tcpParam(d, s, outTcpParam, code); }), Where::Err,
       "resolveResponse_tcpParam Parse fail.\n"},
      {"resolveResponse_getToolDynamicsParam",
       parse([](const char* d, int s) { return P::resolveResponse_getToolDynamicsParam(d, s, outToolDynamics, code); }),
       Where::Err, "resolveResponse_getToolDynamicsParam Parse fail.\n"},
      {"resolveResponse_getToolKinematicsParam",
       parse([](const char* d, int s) { return P::resolveResponse_getToolKinematicsParam(d, s, outToolDesc, code); }),
       Where::Err, "resolveResponse_getToolKinematicsParam Parse fail.\n"},
      {"resolveResponse_getDynIdentifyResults",
       parse([](const char* d, int s) { return P::resolveResponse_getDynIdentifyResults(d, s, ints, code); }),
       Where::Err, "resolveResponse_getDynIdentifyResults Parse fail.\n"},
      {"resolveResponse_gravityComponent",
       parse([](const char* d, int s) { return P::resolveResponse_gravityComponent(d, s, gravity, code); }), Where::Err,
       "resolveResponse_gravityComponent Parse fail.\n"},
      {"resolveResponse_collisionCurrent",
       parse([](const char* d, int s) { return P::resolveResponse_collisionCurrent(d, s, collision, code); }),
       Where::Err, "resolveResponse_collisionCurrent Parse fail.\n"},
      {"resolveResponse_safetyConfig",
       parse([](const char* d, int s) { return P::resolveResponse_safetyConfig(d, s, outSafetyConfig, code); }),
       Where::Err, "resolveResponse_safetyConfig Parse fail.\n"},
      {"resolveResponse_safetyStatus",
       parse([](const char* d, int s) { return P::resolveResponse_safetyStatus(d, s, safetyStatus, code); }),
       Where::Err, "resolveResponse_safetyStatus Parse fail.\n"},
      {"resolveResponse_DhParam",
       parse([](const char* d, int s) { return P::resolveResponse_DhParam(d, s, robotType, dhPara, code); }),
       Where::Err, "resolveResponse_DhParam Parse fail.\n"},
      {"resolveResponse_moveControlResule",
       parse([](const char* d, int s) { return P::resolveResponse_moveControlResule(d, s, moveResult, code); }),
       Where::Err, "resolveResponse_moveControlResule Parse fail.\n"},
      {"resolveResponse_robotDiagnosisIOData",
       parse([](const char* d, int s) { return P::resolveResponse_robotDiagnosisIOData(d, s, digitalIo, code); }),
       Where::Err, "ERROR:resolveRequest_robotDiagnosisIOData Parse fail.\n"},
      {"resolveResponse_robotAnalogIOData",
       parse([](const char* d, int s) { return P::resolveResponse_robotAnalogIOData(d, s, analogIo, code); }),
       Where::Err, "ERROR:resolveRequest_robotAnalogIOData Parse fail.\n"},
      {"resolveResponse_robotToolIoStatus",
       parse([](const char* d, int s) { return P::resolveResponse_robotToolIoStatus(d, s, toolIo, code); }), Where::Err,
       "ERROR:resolveResponse_robotToolIoStatus Parse fail.\n"},
      {"resolveResponse_ethernetDeviceName",
       parse([](const char* d, int s) { return P::resolveResponse_ethernetDeviceName(d, s, text, code); }), Where::Err,
       "ERROR:resolveResponse_ethernetDeviceName Parse fail.\n"},
      {"resolveResponse_jointCommonData",
       parse([](const char* d, int s) { return P::resolveResponse_jointCommonData(d, s, jointCommonData, code); }),
       Where::Err, "ERROR:resolveRequest_jointCommonData Parse fail.\n"},
      {"resolveResponse_intTypeValueVector",
       parse([](const char* d, int s) { return P::resolveResponse_intTypeValueVector(d, s, ints, code); }), Where::Err,
       "resolveRequest_intTypeValueVector Parse fail.\n"},
      {"resolveResponse_doubleTypeValueVector",
       parse([](const char* d, int s) { return P::resolveResponse_doubleTypeValueVector(d, s, doubles, code); }),
       Where::Err, "resolveRequest_doubleTypeValueVector Parse fail.\n"},
      {"resolveResponse_SeamTracking",
       parse([](const char* d, int s) { return P::resolveResponse_SeamTracking(d, s, outSeamTrack, code); }),
       Where::Err, "ERROR:resolveResponse_SeamTracking Parse fail.\n"},
      {"resolveResponse_FtSensorCalibResult",
       parse([](const char* d, int s) { return P::resolveResponse_FtSensorCalibResult(d, s, outCalibResult, code); }),
       Where::Err, "ERROR:resolveResponse_FtSensorCalibResult Parse fail.\n"},
      {"resolveResponse_Wrench",
       parse([](const char* d, int s) { return P::resolveResponse_Wrench(d, s, outWrench, code); }), Where::Err,
       "ERROR:resolveResponse_Wrench Parse fail.\n"},
      {"ParseResponse_ProtoRobotBaseParameter",
       parse([](const char* d, int s) { return P::ParseResponse_ProtoRobotBaseParameter(d, s, outBase, code); }),
       Where::Err, "ERROR:ParseResponse_ProtoRobotBaseParameter Parse fail.\n"},
      {"ParseResponse_ProtoRobotJointsParameter",
       parse([](const char* d, int s) { return P::ParseResponse_ProtoRobotJointsParameter(d, s, outJoints, code); }),
       Where::Err, "ERROR:ParseResponse_ProtoRobotJointsParameter Parse fail.\n"},
      {"resolveRequest_ProtoRobotBaseParameter",
       parse([](const char* d, int s) { return P::resolveRequest_ProtoRobotBaseParameter(d, s, outBase); }), Where::Log,
       "ERROR:resolveRequest_ProtoRobotBaseParameter Parse fail."},
      {"resolveRequest_ProtoRobotJointsParameter",
       parse([](const char* d, int s) { return P::resolveRequest_ProtoRobotJointsParameter(d, s, outJoints); }),
       Where::Log, "ERROR:resolveRequest_ProtoRobotJointsParameter Parse fail."},
  };
}

TEST(CodecFailureLines, EachFailureWritesItsOwnLineToItsOwnSinkAndNothingElse) {
  for (const FailureCase& c : failureCases()) {
    SCOPED_TRACE(c.member);
    bool result = true;
    const Captured captured = runCaptured(c.call, result);
    EXPECT_FALSE(result);
    EXPECT_EQ(captured.err, c.where == Where::Err ? c.lines : "");
    EXPECT_EQ(captured.out, c.where == Where::Out ? c.lines : "");
    if (c.where == Where::Log) {
      ASSERT_EQ(captured.log.size(), 1u);
      EXPECT_EQ(captured.log[0].text, c.lines);
      EXPECT_EQ(captured.log[0].level, rrn::LL_ERROR);
    } else {
      EXPECT_TRUE(captured.log.empty());
    }
  }
}

// Malformed input of every kind the transport can hand over is refused by the parse step itself, silently.
TEST(CodecFailureLines, BodiesThatCannotBeReadAreRefusedWithOnlyTheMembersLine) {
  const std::string validButIncomplete("\x08\x01", 2);  // errorCode only, errorMsg missing
  const struct {
    const char* what;
    const char* data;
    int size;
  } bodies[] = {
      {"negative length", "x", -1},
      {"null pointer with a length", nullptr, 4},
      {"required field missing", validButIncomplete.data(), 2},
      {"empty body", "", 0},
  };
  for (const auto& body : bodies) {
    SCOPED_TRACE(body.what);
    CommunicationCommonResultResponse response;
    response.m_errorCode = 42;
    bool result = true;
    const Captured captured = runCaptured(
        [&] { return ProtoEncodeDecode::resolveResponse_commonFormat(body.data, body.size, response); }, result);
    EXPECT_FALSE(result);
    EXPECT_EQ(captured.err, "ERROR: resolveResponse_commonFormat Parse fail.\n");
    EXPECT_EQ(captured.out, "");
    EXPECT_EQ(response.m_errorCode, 42);
  }
}

}  // namespace
