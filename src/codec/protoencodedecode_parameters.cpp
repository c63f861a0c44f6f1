// The arm's base and joints parameter blocks, in the current form and in the legacy form of controllers up to
// version 4.5.0.
#include <cstdint>

#include "codec/codec_support.h"
#include "codec/field_tables.h"
#include "codec/protoencodedecode.h"
#include "util/server_version_code.h"

namespace pbparam = ruko::robot::paramerter;
namespace rrn = ruko_robot_namespace;
using ruko::codec::encode;
using ruko::codec::requiredErrorCode;
using ruko::codec::resolve;
using ruko::codec::toLog;
using ruko::codec::toStdErr;

namespace {

// The legacy form carries each kinematics value as the low 32 bits of its truncation to a 64-bit integer. Values
// with no such truncation (NaN, infinities, beyond the int64 range) are sent as 0 instead of invoking undefined
// behaviour.
uint32_t toLegacyKinematicsValue(double value) {
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) {
    return 0;
  }
  return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

// Only the low 16 bits mean anything on the way back, read as a signed value.
double fromLegacyKinematicsValue(uint32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value));
}

}  // namespace

// ---- Blocks -------------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::RobotInfo_ProtoToRuko(const pbparam::ProtoRobotInfo& message, rrn::RobotInfo& record) {
  if (!(ruko::codec::hasLength(message.reserve(), record.reserve) &&
        ruko::codec::hasLength(message.joint_duration(), record.joint_duration))) {
    return false;
  }
  RUKO_ROBOT_INFO_SCALARS(RUKO_SCALAR_TO_RECORD)
  ruko::codec::copyExact(message.reserve(), record.reserve);
  ruko::codec::copyExact(message.joint_duration(), record.joint_duration);
  return true;
}

bool ProtoEncodeDecode::RobotInfo_RukoToProto(const rrn::RobotInfo& record, pbparam::ProtoRobotInfo& message) {
  RUKO_ROBOT_INFO_SCALARS(RUKO_SCALAR_TO_MESSAGE)
  ruko::codec::appendAll(message.mutable_reserve(), record.reserve);
  ruko::codec::appendAll(message.mutable_joint_duration(), record.joint_duration);
  return true;
}

bool ProtoEncodeDecode::RobotDynamicsParameters_ProtoToRuko(const pbparam::ProtoRobotDynamicsParameter& message,
                                                            rrn::RobotDynamicsParameters& record) {
  if (!(true RUKO_DYNAMICS_LISTS(RUKO_LIST_HAS_LENGTH))) {
    return false;
  }
  RUKO_DYNAMICS_LISTS(RUKO_LIST_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::RobotDynamicsParameters_RukoToProto(const rrn::RobotDynamicsParameters& record,
                                                            pbparam::ProtoRobotDynamicsParameter& message) {
#define RUKO_CLEAR_LIST(field, accessor) message.clear_##accessor();
  RUKO_DYNAMICS_LISTS(RUKO_CLEAR_LIST)
#undef RUKO_CLEAR_LIST
  RUKO_DYNAMICS_LISTS(RUKO_LIST_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::RobotHandguidingParameter_ProtoToRuko(const pbparam::ProtoRobotHandguidingParameter& message,
                                                              rrn::RobotHandguidingParameters& record) {
  if (!(true RUKO_HANDGUIDING_LISTS(RUKO_LIST_HAS_LENGTH))) {
    return false;
  }
  RUKO_HANDGUIDING_LISTS(RUKO_LIST_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::RobotHandguidingParameter_RukoToProto(const rrn::RobotHandguidingParameters& record,
                                                              pbparam::ProtoRobotHandguidingParameter& message) {
  RUKO_HANDGUIDING_LISTS(RUKO_LIST_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::RobotKinematicsParameter_ProtoToRuko(const pbparam::ProtoRobotKinematicsParameter& message,
                                                             rrn::RobotKinematicsParameters& record) {
  if (!(true RUKO_KINEMATICS_LISTS(RUKO_LIST_HAS_LENGTH))) {
    return false;
  }
  RUKO_KINEMATICS_LISTS(RUKO_LIST_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::RobotKinematicsParameter_RukoToProto(const rrn::RobotKinematicsParameters& record,
                                                             pbparam::ProtoRobotKinematicsParameter& message) {
  RUKO_KINEMATICS_LISTS(RUKO_LIST_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::RobotKinematicsParameter_ProtoToRuko_Legacy(
    const pbparam::ProtoRobotKinematicsParameter_legacy& message, rrn::RobotKinematicsParameters& record) {
  if (!(true RUKO_KINEMATICS_LISTS(RUKO_LIST_HAS_LENGTH))) {
    return false;
  }
#define RUKO_LEGACY_TO_RECORD(field, accessor)                              \
  for (int i = 0; i < ruko::codec::countOf(record.field); ++i) {            \
    record.field[i] = fromLegacyKinematicsValue(message.accessor().Get(i)); \
  }
  RUKO_KINEMATICS_LISTS(RUKO_LEGACY_TO_RECORD)
#undef RUKO_LEGACY_TO_RECORD
  return true;
}

bool ProtoEncodeDecode::RobotKinematicsParameter_RukoToProto_Legacy(
    const rrn::RobotKinematicsParameters& record, pbparam::ProtoRobotKinematicsParameter_legacy& message) {
#define RUKO_LEGACY_TO_MESSAGE(field, accessor)             \
  for (double value : record.field) {                       \
    message.add_##accessor(toLegacyKinematicsValue(value)); \
  }
  RUKO_KINEMATICS_LISTS(RUKO_LEGACY_TO_MESSAGE)
#undef RUKO_LEGACY_TO_MESSAGE
  return true;
}

bool ProtoEncodeDecode::RobotFrictionParameter_ProtoToRuko(const pbparam::ProtoRobotFrictionParameter& message,
                                                           rrn::RobotFrictionParameters& record) {
  if (!(true RUKO_FRICTION_LISTS(RUKO_LIST_HAS_LENGTH))) {
    return false;
  }
  RUKO_FRICTION_LISTS(RUKO_LIST_TO_RECORD)
  return true;
}

// Signed arrays are widened with their sign: -1 goes out as 4294967295 and comes back as -1.
bool ProtoEncodeDecode::RobotFrictionParameter_RukoToProto(const rrn::RobotFrictionParameters& record,
                                                           pbparam::ProtoRobotFrictionParameter& message) {
  RUKO_FRICTION_LISTS(RUKO_LIST_TO_MESSAGE)
  return true;
}

// ---- Whole blocks -------------------------------------------------------------------------------------------------

namespace {

// The chain stops at the first block that does not fit; the blocks before it keep their new values.
template <class Msg, class KinematicsToRecord>
bool baseParameterToRecord(const Msg& message, rrn::RobotBaseParameters& record, KinematicsToRecord kinematics) {
  return ProtoEncodeDecode::RobotInfo_ProtoToRuko(message.robotinfo(), record.info) &&
         ProtoEncodeDecode::RobotDynamicsParameters_ProtoToRuko(message.dynamicsparameter(), record.dynamicParam) &&
         ProtoEncodeDecode::RobotHandguidingParameter_ProtoToRuko(message.handguidingparameter(),
                                                                  record.handguidingParam) &&
         kinematics(message.kinematicsparameter(), record.kinematicsParam);
}

template <class Msg, class KinematicsToMessage>
bool baseParameterToMessage(const rrn::RobotBaseParameters& record, Msg& message, KinematicsToMessage kinematics) {
  ProtoEncodeDecode::RobotInfo_RukoToProto(record.info, *message.mutable_robotinfo());
  ProtoEncodeDecode::RobotDynamicsParameters_RukoToProto(record.dynamicParam, *message.mutable_dynamicsparameter());
  ProtoEncodeDecode::RobotHandguidingParameter_RukoToProto(record.handguidingParam,
                                                           *message.mutable_handguidingparameter());
  kinematics(record.kinematicsParam, *message.mutable_kinematicsparameter());
  return true;
}

}  // namespace

bool ProtoEncodeDecode::RobotBaseParameter_ProtoToRuko(const pbparam::ProtoRobotBaseParameter& message,
                                                       rrn::RobotBaseParameters& param) {
  return baseParameterToRecord(message, param, &RobotKinematicsParameter_ProtoToRuko);
}

// The kinematics block is taken on its own first, so it is filled whenever it fits, even when an earlier block
// stops the chain.
bool ProtoEncodeDecode::RobotBaseParameter_ProtoToRuko_Legacy(const pbparam::ProtoRobotBaseParameter_legacy& message,
                                                              rrn::RobotBaseParameters& param) {
  RobotKinematicsParameter_ProtoToRuko_Legacy(message.kinematicsparameter(), param.kinematicsParam);
  return baseParameterToRecord(message, param, &RobotKinematicsParameter_ProtoToRuko_Legacy);
}

bool ProtoEncodeDecode::RobotBaseParameter_RukoToProto(const rrn::RobotBaseParameters& param,
                                                       pbparam::ProtoRobotBaseParameter& message) {
  return baseParameterToMessage(param, message, &RobotKinematicsParameter_RukoToProto);
}

bool ProtoEncodeDecode::RobotBaseParameter_RukoToProto_Legacy(const rrn::RobotBaseParameters& param,
                                                              pbparam::ProtoRobotBaseParameter_legacy& message) {
  return baseParameterToMessage(param, message, &RobotKinematicsParameter_RukoToProto_Legacy);
}

bool ProtoEncodeDecode::RobotJointsParameter_ProtoToRuko(const pbparam::ProtoRobotJointsParameter& message,
                                                         rrn::RobotJointsParameter& param) {
  return RobotFrictionParameter_ProtoToRuko(message.frictionparameter(), param.frictionParam);
}

bool ProtoEncodeDecode::RobotJointsParameter_RukoToProto(const rrn::RobotJointsParameter& param,
                                                         pbparam::ProtoRobotJointsParameter& message) {
  return RobotFrictionParameter_RukoToProto(param.frictionParam, *message.mutable_frictionparameter());
}

// ---- Requests and responses ---------------------------------------------------------------------------------------

bool ProtoEncodeDecode::makeRequest_ProtoRobotBaseParameter(char** data, int* size,
                                                            const rrn::RobotBaseParameters& param) {
  if (ruko::baseParametersUseCurrentForm(ruko::serverVersionCode())) {
    pbparam::ProtoRobotBaseParameter message;
    RobotBaseParameter_RukoToProto(param, message);
    return ProtobufDataSerializeToArray(message, data, size);
  }
  pbparam::ProtoRobotBaseParameter_legacy message;
  RobotBaseParameter_RukoToProto_Legacy(param, message);
  return ProtobufDataSerializeToArray(message, data, size);
}

namespace {

// True after a successful parse whatever the blocks and the controller's code: a misfit block stays as it was.
template <class Msg, class Convert>
bool parseBaseParameterResponse(const char* data, int size, rrn::RobotBaseParameters& param, int& errorCode,
                                Convert convert) {
  return resolve<Msg>(data, size, toStdErr("ERROR:ParseResponse_ProtoRobotBaseParameter Parse fail."),
                      [&](const Msg& message) {
                        convert(message.baseparameter(), param);
                        errorCode = requiredErrorCode(message);
                        return true;
                      });
}

}  // namespace

bool ProtoEncodeDecode::ParseResponse_ProtoRobotBaseParameter(const char* data, int size,
                                                              rrn::RobotBaseParameters& param, int& errorCode) {
  if (ruko::baseParametersUseCurrentForm(ruko::serverVersionCode())) {
    return parseBaseParameterResponse<pbparam::ProtoRobotBaseParameterResponse>(data, size, param, errorCode,
                                                                                &RobotBaseParameter_ProtoToRuko);
  }
  return parseBaseParameterResponse<pbparam::ProtoRobotBaseParameterResponse_legacy>(
      data, size, param, errorCode, &RobotBaseParameter_ProtoToRuko_Legacy);
}

bool ProtoEncodeDecode::makeRequest_ProtoRobotJointsParameter(char** data, int* size,
                                                              const rrn::RobotJointsParameter& param) {
  pbparam::ProtoRobotJointsParameter message;
  RobotJointsParameter_RukoToProto(param, message);
  return ProtobufDataSerializeToArray(message, data, size);
}

bool ProtoEncodeDecode::ParseResponse_ProtoRobotJointsParameter(const char* data, int size,
                                                                rrn::RobotJointsParameter& param, int& errorCode) {
  return resolve<pbparam::ProtoRobotJointsParameterResponse>(
      data, size, toStdErr("ERROR:ParseResponse_ProtoRobotJointsParameter Parse fail."),
      [&](const pbparam::ProtoRobotJointsParameterResponse& message) {
        RobotJointsParameter_ProtoToRuko(message.jointsparameter(), param);
        errorCode = requiredErrorCode(message);
        return true;
      });
}

bool ProtoEncodeDecode::resolveRequest_ProtoRobotBaseParameter(const char* data, int size,
                                                               rrn::RobotBaseParameters& param) {
  return resolve<pbparam::ProtoRobotBaseParameter>(
      data, size, toLog("ERROR:resolveRequest_ProtoRobotBaseParameter Parse fail."),
      [&](const pbparam::ProtoRobotBaseParameter& message) { return RobotBaseParameter_ProtoToRuko(message, param); });
}

bool ProtoEncodeDecode::makeResponse_ProtoRobotBaseParameter(char** data, int* size,
                                                             const rrn::RobotBaseParameters& param, int errorCode,
                                                             const std::string& errorMsg) {
  pbparam::ProtoRobotBaseParameterResponse message;
  RobotBaseParameter_RukoToProto(param, *message.mutable_baseparameter());
  ruko::codec::fillErrorRecordWhole(*message.mutable_errorinfo(), errorCode, errorMsg);
  return encode(message, data, size, toLog("ERROR:makeResponse_ProtoRobotBaseParameter Serialize fail."));
}

bool ProtoEncodeDecode::resolveRequest_ProtoRobotJointsParameter(const char* data, int size,
                                                                 rrn::RobotJointsParameter& param) {
  return resolve<pbparam::ProtoRobotJointsParameter>(
      data, size, toLog("ERROR:resolveRequest_ProtoRobotJointsParameter Parse fail."),
      [&](const pbparam::ProtoRobotJointsParameter& message) {
        return RobotJointsParameter_ProtoToRuko(message, param);
      });
}

bool ProtoEncodeDecode::makeResponse_ProtoRobotJointsParameter(char** data, int* size,
                                                               const rrn::RobotJointsParameter& param, int errorCode,
                                                               const std::string& errorMsg) {
  pbparam::ProtoRobotJointsParameterResponse message;
  RobotJointsParameter_RukoToProto(param, *message.mutable_jointsparameter());
  ruko::codec::fillErrorRecordWhole(*message.mutable_errorinfo(), errorCode, errorMsg);
  return encode(message, data, size, toLog("ERROR:makeResponse_ProtoRobotJointsParameter Serialize fail."));
}
