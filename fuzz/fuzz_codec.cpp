// Every resolver of the codec fed the input as a packet body: the first byte picks the resolver, the second
// byte sets a few options (the version form of the parameter messages, the capacity handed to the joint
// status resolver), the rest is the body. Promises checked:
// - no crash, no sanitizer report, no write past the output the caller handed over;
// - texts copied into fixed arrays end with a zero inside the array;
// - what the codec reads it can write back: for the records that have a builder of the same message, a
//   body that resolves, built again from the record and resolved again, gives the same record.

#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "util/server_version_code.h"

namespace rn = ruko_robot_namespace;
using PED = ProtoEncodeDecode;

namespace {

void fail(const char* what) {
  // On the sanitizers' report stream, which outlives -close_fd_mask.
  __sanitizer_report_error_summary(what);
  __builtin_trap();
}

// A record filled with a pattern, so that an unterminated text or a stray write shows.
template <class T>
T patterned() {
  T value;
  std::memset(static_cast<void*>(&value), 0x41, sizeof(T));
  return value;
}

// Zero-filled including padding, so that records can be compared bytewise.
template <class T>
T zeroed() {
  T value;
  std::memset(static_cast<void*>(&value), 0, sizeof(T));
  return value;
}

template <class T>
bool sameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <size_t N>
void checkTerminated(const char (&text)[N], const char* what) {
  if (std::memchr(text, 0, N) == nullptr) fail(what);
}

// A builder's body, released after use.
struct Body {
  char* data = nullptr;
  int size = 0;
  ~Body() { delete[] data; }
};

struct Input {
  uint8_t options;
  const char* body;
  int size;
};

void eventRoundTrip(const Input& in) {
  rn::RobotEventInfo first{};
  if (!PED::resolveResponse_robotEvent(in.body, in.size, first)) return;
  std::vector<char> buffer(static_cast<size_t>(in.size) + 64);
  int size = static_cast<int>(buffer.size());
  if (!PED::getResponse_Event(buffer.data(), &size, first)) return;  // a content past the buffer
  rn::RobotEventInfo second{};
  if (!PED::resolveResponse_robotEvent(buffer.data(), size, second) || second.eventType != first.eventType ||
      second.eventCode != first.eventCode || second.eventContent != first.eventContent) {
    fail("robot event does not survive a round trip");
  }
}

void wrenchRoundTrip(const Input& in) {
  WrenchParam first = zeroed<WrenchParam>();
  int code = 0;
  if (!PED::resolveResponse_Wrench(in.body, in.size, first, code)) return;
  Body body;
  if (!PED::getResponse_Wrench(&body.data, &body.size, first, code, "")) fail("wrench not built again");
  WrenchParam second = zeroed<WrenchParam>();
  int code2 = 0;
  if (!PED::resolveResponse_Wrench(body.data, body.size, second, code2) || !sameBytes(first, second) ||
      code != code2) {
    fail("wrench does not survive a round trip");
  }
}

void calibResultRoundTrip(const Input& in) {
  FtSensorCalResult first = zeroed<FtSensorCalResult>();
  int code = 0;
  if (!PED::resolveResponse_FtSensorCalibResult(in.body, in.size, first, code)) return;
  Body body;
  if (!PED::getResponse_FtSensorCalibResult(&body.data, &body.size, first, code, "")) {
    fail("calibration result not built again");
  }
  FtSensorCalResult second = zeroed<FtSensorCalResult>();
  int code2 = 0;
  if (!PED::resolveResponse_FtSensorCalibResult(body.data, body.size, second, code2) || !sameBytes(first, second) ||
      code != code2) {
    fail("calibration result does not survive a round trip");
  }
}

bool legacyForm(const Input& in) { return (in.options & 1) != 0; }

void baseParameterResponse(const Input& in) {
  ruko::setServerVersionCode(legacyForm(in) ? 4005000 : 4006000);
  rn::RobotBaseParameters first = zeroed<rn::RobotBaseParameters>();
  int code = 0;
  if (!PED::ParseResponse_ProtoRobotBaseParameter(in.body, in.size, first, code) || legacyForm(in)) return;
  // The reply is built in the current form only.
  Body body;
  if (!PED::makeResponse_ProtoRobotBaseParameter(&body.data, &body.size, first, code, "")) {
    fail("base parameters not built again");
  }
  rn::RobotBaseParameters second = zeroed<rn::RobotBaseParameters>();
  int code2 = 0;
  if (!PED::ParseResponse_ProtoRobotBaseParameter(body.data, body.size, second, code2) || !sameBytes(first, second) ||
      code != code2) {
    fail("base parameters do not survive a round trip");
  }
}

void baseParameterRequest(const Input& in) {
  ruko::setServerVersionCode(4006000);
  rn::RobotBaseParameters first = zeroed<rn::RobotBaseParameters>();
  if (!PED::resolveRequest_ProtoRobotBaseParameter(in.body, in.size, first)) return;
  Body body;
  if (!PED::makeRequest_ProtoRobotBaseParameter(&body.data, &body.size, first)) {
    fail("base parameter request not built again");
  }
  rn::RobotBaseParameters second = zeroed<rn::RobotBaseParameters>();
  if (!PED::resolveRequest_ProtoRobotBaseParameter(body.data, body.size, second) || !sameBytes(first, second)) {
    fail("base parameter request does not survive a round trip");
  }
}

void jointsParameterResponse(const Input& in) {
  rn::RobotJointsParameter first = zeroed<rn::RobotJointsParameter>();
  int code = 0;
  if (!PED::ParseResponse_ProtoRobotJointsParameter(in.body, in.size, first, code)) return;
  Body body;
  if (!PED::makeResponse_ProtoRobotJointsParameter(&body.data, &body.size, first, code, "")) {
    fail("joint parameters not built again");
  }
  rn::RobotJointsParameter second = zeroed<rn::RobotJointsParameter>();
  int code2 = 0;
  if (!PED::ParseResponse_ProtoRobotJointsParameter(body.data, body.size, second, code2) ||
      !sameBytes(first, second) || code != code2) {
    fail("joint parameters do not survive a round trip");
  }
}

void jointsParameterRequest(const Input& in) {
  rn::RobotJointsParameter first = zeroed<rn::RobotJointsParameter>();
  if (!PED::resolveRequest_ProtoRobotJointsParameter(in.body, in.size, first)) return;
  Body body;
  if (!PED::makeRequest_ProtoRobotJointsParameter(&body.data, &body.size, first)) {
    fail("joint parameter request not built again");
  }
  rn::RobotJointsParameter second = zeroed<rn::RobotJointsParameter>();
  if (!PED::resolveRequest_ProtoRobotJointsParameter(body.data, body.size, second) || !sameBytes(first, second)) {
    fail("joint parameter request does not survive a round trip");
  }
}

void jointStatus(const Input& in) {
  // Exactly the capacity handed over, on the heap, so that a write past it is caught.
  const int capacity = in.options % 8;
  std::unique_ptr<rn::JointStatus[]> statuses(new rn::JointStatus[static_cast<size_t>(capacity)]);
  int code = 0;
  PED::resolveResponse_jointStatus(in.body, in.size, statuses.get(), capacity, code);
  PED::resolveResponse_jointStatus(in.body, in.size, nullptr, 6, code);
}

void devInfo(const Input& in) {
  rn::RobotDevInfo info = patterned<rn::RobotDevInfo>();
  int code = 0;
  if (!PED::resolveResponse_devInfo(in.body, in.size, info, code) || code != 0) return;
  checkTerminated(info.revision, "revision not terminated");
  checkTerminated(info.manu_id, "manufacturer not terminated");
  checkTerminated(info.joint_type, "joint type not terminated");
  checkTerminated(info.desc, "description not terminated");
  checkTerminated(info.slave_version, "slave version not terminated");
  checkTerminated(info.extio_version, "extio version not terminated");
  for (const rn::RobotJointVersion& v : info.joint_ver) {
    checkTerminated(v.hw_version, "joint hardware version not terminated");
    checkTerminated(v.sw_version, "joint software version not terminated");
  }
  for (const rn::RobotJointProductId& id : info.jointProductID) {
    checkTerminated(id.productID, "joint product id not terminated");
  }
}

template <class T, bool (*Resolve)(const char*, int, T&, int&)>
void withCode(const Input& in) {
  T value{};
  int code = 0;
  Resolve(in.body, in.size, value, code);
}

void commonFormat(const Input& in) {
  CommunicationCommonResultResponse r{};
  PED::resolveResponse_commonFormat(in.body, in.size, r);
}

void endSpeed(const Input& in) {
  double v = 0;
  PED::resolveResponse_robotEndSpeed(in.body, in.size, v);
}

void movepProgress(const Input& in) {
  int v = 0;
  PED::resolveResponse_movepProgressNotify(in.body, in.size, v);
}

void diagnosis(const Input& in) {
  rn::RobotDiagnosis d{};
  PED::resolveResponse_robotDiagnosis(in.body, in.size, d);
}

void dhParam(const Input& in) {
  rn::RobotType type{};
  rn::RobotDhPara dh{};
  int code = 0;
  PED::resolveResponse_DhParam(in.body, in.size, type, dh, code);
}

void generalData(const Input& in) {
  ruko::robot::communication::ProtoCommunicationGeneralData message;
  if (!PED::ProtoCommunicationGeneralDataMessageParse(in.body, in.size, message)) return;
  std::vector<int> ints;
  std::vector<bool> bools;
  int code = 0;
  PED::resolveProtoCommunicationGeneralData(message, ints, bools, code);
}

using Target = void (*)(const Input&);

const Target kTargets[] = {
    commonFormat,
    eventRoundTrip,
    endSpeed,
    movepProgress,
    withCode<rn::JointParam, PED::resolveResponse_jointAngle>,
    withCode<rn::ForceSensorData, PED::resolveResponse_tcpforcesensorData>,
    withCode<rn::wayPoint_S, PED::resolveResponse_waypoint>,
    jointStatus,
    diagnosis,
    withCode<rn::RobotDiagnosis, PED::resolveResponse_robotDiagnosisInfo>,
    devInfo,
    withCode<RobotTcpParam, PED::resolveResponse_tcpParam>,
    withCode<rn::ToolDynamicsParam, PED::resolveResponse_getToolDynamicsParam>,
    withCode<rn::ToolInEndDesc, PED::resolveResponse_getToolKinematicsParam>,
    withCode<std::vector<int>, PED::resolveResponse_getDynIdentifyResults>,
    withCode<rn::RobotGravityComponent, PED::resolveResponse_gravityComponent>,
    withCode<RobotCollisionCurrent, PED::resolveResponse_collisionCurrent>,
    withCode<rn::RobotWorkMode, PED::resolveResponse_robotWorkMode>,
    withCode<rn::RobotState, PED::resolveResponse_robotState>,
    withCode<bool, PED::resolveResponse_isRealRobotExist>,
    withCode<rn::RobotSafetyConfig, PED::resolveResponse_safetyConfig>,
    withCode<rn::OrpeSafetyStatus, PED::resolveResponse_safetyStatus>,
    dhParam,
    withCode<call_robot_motion_func_result, PED::resolveResponse_moveControlResule>,
    withCode<std::vector<rn::RobotDiagnosisIODesc>, PED::resolveResponse_robotDiagnosisIOData>,
    withCode<std::vector<rn::RobotAnalogIODesc>, PED::resolveResponse_robotAnalogIOData>,
    withCode<RobotToolAllIOStatus, PED::resolveResponse_robotToolIoStatus>,
    withCode<std::string, PED::resolveResponse_ethernetDeviceName>,
    withCode<std::vector<rn::JointCommonData>, PED::resolveResponse_jointCommonData>,
    withCode<std::vector<int>, PED::resolveResponse_intTypeValueVector>,
    withCode<std::vector<double>, PED::resolveResponse_doubleTypeValueVector>,
    withCode<rn::SeamTracking, PED::resolveResponse_SeamTracking>,
    calibResultRoundTrip,
    wrenchRoundTrip,
    generalData,
    baseParameterResponse,
    jointsParameterResponse,
    baseParameterRequest,
    jointsParameterRequest,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1u << 20)) return 0;
  constexpr size_t kCount = sizeof(kTargets) / sizeof(kTargets[0]);
  const Input in{data[1], reinterpret_cast<const char*>(data) + 2, static_cast<int>(size - 2)};
  kTargets[data[0] % kCount](in);
  return 0;
}
