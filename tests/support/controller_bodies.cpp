#include "controller_bodies.h"

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>

#include "robotcommon.pb.h"
#include "sim_handlers.h"
#include "robotcommunication.pb.h"

namespace ruko {
namespace test {

namespace {

namespace pb = google::protobuf;
namespace common = ruko::robot::common;
namespace comm = ruko::robot::communication;

// Sets every required field still unset to zero, recursively, so that a test only writes what it means.
void fillRequired(pb::Message& message) {
  const pb::Descriptor* descriptor = message.GetDescriptor();
  const pb::Reflection* reflection = message.GetReflection();
  for (int i = 0; i < descriptor->field_count(); ++i) {
    const pb::FieldDescriptor* field = descriptor->field(i);
    if (field->is_repeated()) {
      if (field->cpp_type() == pb::FieldDescriptor::CPPTYPE_MESSAGE) {
        for (int k = 0; k < reflection->FieldSize(message, field); ++k) {
          fillRequired(*reflection->MutableRepeatedMessage(&message, field, k));
        }
      }
      continue;
    }
    if (field->cpp_type() == pb::FieldDescriptor::CPPTYPE_MESSAGE) {
      if (field->is_required() || reflection->HasField(message, field)) {
        fillRequired(*reflection->MutableMessage(&message, field));
      }
      continue;
    }
    if (!field->is_required() || reflection->HasField(message, field)) {
      continue;
    }
    switch (field->cpp_type()) {
      case pb::FieldDescriptor::CPPTYPE_INT32: reflection->SetInt32(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_INT64: reflection->SetInt64(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_UINT32: reflection->SetUInt32(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_UINT64: reflection->SetUInt64(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_DOUBLE: reflection->SetDouble(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_FLOAT: reflection->SetFloat(&message, field, 0); break;
      case pb::FieldDescriptor::CPPTYPE_BOOL: reflection->SetBool(&message, field, false); break;
      case pb::FieldDescriptor::CPPTYPE_ENUM: reflection->SetEnum(&message, field, field->enum_type()->value(0)); break;
      case pb::FieldDescriptor::CPPTYPE_STRING: reflection->SetString(&message, field, ""); break;
      case pb::FieldDescriptor::CPPTYPE_MESSAGE: break;
    }
  }
}

std::string serialised(pb::Message& message) {
  fillRequired(message);
  return message.SerializeAsString();
}

template <class ErrorInfo>
void setError(ErrorInfo* info, int serverCode) {
  info->set_errorcode(serverCode);
  info->set_errormsg(serverCode == 0 ? "" : "refused");
}

}  // namespace

std::string jointStatusBody(int base, int serverCode) {
  common::ProtoRobotAllJointStatusResponse message;
  message.set_jointcount(6);
  for (int i = 0; i < 6; ++i) {
    auto* joint = message.add_jointstatus();
    const int v = base + i;
    joint->set_jointcurrenti(v);
    joint->set_jointspeedmoto(v);
    joint->set_jointposj(static_cast<float>(v));
    joint->set_jointcurvol(static_cast<float>(v));
    joint->set_jointcurtemp(static_cast<float>(v));
    joint->set_jointtagcurrenti(v);
    joint->set_jointtagspeedmoto(static_cast<float>(v));
    joint->set_jointtagposj(static_cast<float>(v));
    joint->set_jointerrornum(static_cast<uint32_t>(v));
  }
  setError(message.add_errorinfo(), serverCode);
  return serialised(message);
}

std::string jointAngleBody(const double (&joints)[6], int serverCode) {
  return ruko::sim::jointAngleReply({{joints[0], joints[1], joints[2], joints[3], joints[4], joints[5]}}, serverCode);
}

std::string generalIntBody(const std::vector<int>& ints, int serverCode) {
  comm::ProtoCommunicationGeneralData message;
  for (int v : ints) message.add_property1(v);
  message.set_type(0);
  setError(message.add_errorinfo(), serverCode);
  return serialised(message);
}

std::string boolBody(bool value, int serverCode) {
  comm::ProtoCommunicationGeneralData message;
  message.add_property2(value);
  message.set_type(0);
  setError(message.add_errorinfo(), serverCode);
  return serialised(message);
}

std::string moveControlBody(int ret, int serverCode) {
  common::ProtoRobotMoveFuncResult message;
  message.set_ret(ret);
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

std::string dhParamBody(int robotType, const double (&dh)[6], int serverCode) {
  common::ProtoResponseRobotDhParam message;
  message.set_robottype(robotType);
  auto* p = message.mutable_dhparam();
  p->set_a3(dh[0]);
  p->set_a4(dh[1]);
  p->set_d1(dh[2]);
  p->set_d2(dh[3]);
  p->set_d5(dh[4]);
  p->set_d6(dh[5]);
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

std::string textBody(const std::string& text, int serverCode) {
  comm::ProtoCommunicationEthernetDeviceNameResponse message;
  message.set_name(text);
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

std::string diagnosisBody(bool armPowerStatus, int serverCode) {
  comm::ProtoCommunicationRobotDiagnosisInfo message;
  message.set_num(1);
  message.add_robotdiagnosis()->set_armpowerstatus(armPowerStatus);
  setError(message.add_errorinfo(), serverCode);
  return serialised(message);
}

std::string collisionCurrentBody(int collisionClass, int serverCode) {
  common::ProtoResponseRobotCollisionCurrent message;
  message.add_collisioncurrent()->set_collisionclass(static_cast<uint32_t>(collisionClass));
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

std::string devInfoBody(const std::string& revision, int serverCode) {
  common::ProtoResponseRobotDevInfo message;
  message.add_devinfo()->set_revision(revision);
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

std::string safetyConfigBody(const ruko_robot_namespace::RobotSafetyConfig& config, int serverCode) {
  common::ProtoResponseRobotSafetyConfig message;
  auto* c = message.add_safetyconfig();
  for (uint16_t speed : config.robotReducedConfigJointSpeed) c->add_robotreducedconfigjointspeed(speed);
  c->set_robotreducedconfigtcpspeed(static_cast<int32_t>(config.robotReducedConfigTcpSpeed));
  c->set_robotreducedconfigtcpforce(static_cast<int32_t>(config.robotReducedConfigTcpForce));
  c->set_robotreducedconfigmomentum(static_cast<int32_t>(config.robotReducedConfigMomentum));
  c->set_robotreducedconfigpower(static_cast<int32_t>(config.robotReducedConfigPower));
  c->set_robotsafeguradresetconfig(config.robotSafeguradResetConfig);
  c->set_robotoperationalmodeconfig(config.robotOperationalModeConfig);
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

namespace {

void toMessage(const TcpParam& half, comm::TcpParam* message) {
  message->set_positionx(half.positionX);
  message->set_positiony(half.positionY);
  message->set_positionz(half.positionZ);
  message->set_payload(half.payload);
}

TcpParam fromMessage(const comm::TcpParam& message) {
  return TcpParam{message.positionx(), message.positiony(), message.positionz(), message.payload()};
}

template <class Message>
bool parse(const std::string& body, Message& message) {
  return message.ParsePartialFromString(body) && message.IsInitialized();
}

}  // namespace

std::string tcpParamBody(const RobotTcpParam& tcpParam, int serverCode) {
  common::ProtoResponseRobotTcpParam message;
  auto* p = message.add_tcpparam();
  toMessage(tcpParam.paramAutorun, p->mutable_paramautorun());
  toMessage(tcpParam.paramManual, p->mutable_parammanual());
  setError(message.mutable_errorinfo(), serverCode);
  return serialised(message);
}

bool readGeneralInts(const std::string& body, std::vector<int>& ints) {
  comm::ProtoCommunicationGeneralData message;
  if (!parse(body, message)) return false;
  ints.assign(message.property1().begin(), message.property1().end());
  return true;
}

bool readIntVector(const std::string& body, std::vector<int>& values) {
  comm::ProtoCommunicationIntVector message;
  if (!parse(body, message)) return false;
  values.assign(message.value().begin(), message.value().end());
  return true;
}

bool readSafeIoParams(const std::string& body, std::vector<uint32_t>& params) {
  comm::protoSafeCommunicationParam message;
  if (!parse(body, message)) return false;
  params.assign(message.param().begin(), message.param().end());
  return true;
}

bool readTcpParam(const std::string& body, RobotTcpParam& tcpParam) {
  comm::RobotTcpParam message;
  if (!parse(body, message)) return false;
  tcpParam.paramAutorun = fromMessage(message.paramautorun());
  tcpParam.paramManual = fromMessage(message.parammanual());
  return true;
}

bool readStartup(const std::string& body, RobotTcpParam& tcpParam, int& collisionClass) {
  comm::ProtoCommunicationRobotStartupProfile message;
  if (!parse(body, message)) return false;
  tcpParam.paramAutorun = fromMessage(message.tcpparam().paramautorun());
  tcpParam.paramManual = fromMessage(message.tcpparam().parammanual());
  collisionClass = static_cast<int>(message.collisionclass());
  return true;
}

}  // namespace test
}  // namespace ruko
