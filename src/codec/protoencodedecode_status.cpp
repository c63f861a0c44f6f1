// Controller status and configuration: joint status and angles, diagnosis, device information, safety, DH
// parameters, gravity and collision values, tool parameters and joint drive data.
#include <algorithm>
#include <cstring>

#include "codec/codec_support.h"
#include "codec/field_tables.h"
#include "codec/protoencodedecode.h"

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using ruko::codec::copyPrefix;
using ruko::codec::encode;
using ruko::codec::readFirstErrorCode;
using ruko::codec::requiredErrorCode;
using ruko::codec::resolve;
using ruko::codec::resolveFirstElementIfSuccess;
using ruko::codec::toLog;
using ruko::codec::toStdErr;

// ---- Joint status, joint angles, force sensor values --------------------------------------------------------------

bool ProtoEncodeDecode::jointStatusTypeConversion(const rrn::JointStatus& record, common::ProtoJointStatus& message) {
  RUKO_JOINT_STATUS_FIELDS(RUKO_SCALAR_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::jointStatusTypeConversion(const common::ProtoJointStatus& message, rrn::JointStatus& record) {
  RUKO_JOINT_STATUS_FIELDS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::resolveResponse_jointStatus(const char* data, int size, rrn::JointStatus* jointStatus,
                                                    int capacity, int& errorCode) {
  return resolve<common::ProtoRobotAllJointStatusResponse>(
      data, size, toStdErr("resolveResponse_jointStatus Parse fail."),
      [&](const common::ProtoRobotAllJointStatusResponse& message) {
        const int count = jointStatus == nullptr ? 0 : std::min(message.jointstatus_size(), capacity);
        for (int i = 0; i < count; ++i) {
          jointStatusTypeConversion(message.jointstatus(i), jointStatus[i]);
        }
        readFirstErrorCode(message, errorCode);
        return true;
      });
}

bool ProtoEncodeDecode::resolveResponse_jointAngle(const char* data, int size, rrn::JointParam& jointParam,
                                                   int& errorCode) {
  return resolve<common::ProtoJointAngleResponse>(data, size, toStdErr("resolveResponse_jointAngle Parse fail."),
                                                  [&](const common::ProtoJointAngleResponse& message) {
                                                    const common::ProtoJointAngle& angle = message.jointangle();
                                                    double* out = jointParam.jointPos;
                                                    out[0] = angle.joint1();
                                                    out[1] = angle.joint2();
                                                    out[2] = angle.joint3();
                                                    out[3] = angle.joint4();
                                                    out[4] = angle.joint5();
                                                    out[5] = angle.joint6();
                                                    return readFirstErrorCode(message, errorCode);
                                                  });
}

bool ProtoEncodeDecode::resolveResponse_tcpforcesensorData(const char* data, int size, rrn::ForceSensorData& sensorData,
                                                           int& errorCode) {
  return resolve<common::ProtoForceSensorDataResponse>(
      data, size, toStdErr("resolveResponse_tcpforcesensorData Parse fail."),
      [&](const common::ProtoForceSensorDataResponse& message) {
        const common::ProtoForceSensorData& values = message.forcesensordata();
        double* out = sensorData.data;
        out[0] = values.data1();
        out[1] = values.data2();
        out[2] = values.data3();
        out[3] = values.data4();
        out[4] = values.data5();
        out[5] = values.data6();
        return readFirstErrorCode(message, errorCode);
      });
}

bool ProtoEncodeDecode::getRequest_robotRobotJointOffsetData(char** data, int* size,
                                                             const rrn::RobotJointOffset& record) {
  common::RobotJointOffset message;
  RUKO_JOINT_OFFSET_FIELDS(RUKO_SCALAR_TO_MESSAGE)
  return encode(message, data, size, toLog("getRequest_robotRobotJointOffsetData Serialize fail."));
}

// ---- Diagnosis ----------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::robotDiagnosisTypeConversionToProto(const rrn::RobotDiagnosis& record,
                                                            comm::RobotDiagnosis& message) {
  RUKO_DIAGNOSIS_FIELDS(RUKO_SCALAR_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::robotDiagnosisTypeConversionToStruct(const comm::RobotDiagnosis& message,
                                                             rrn::RobotDiagnosis& record) {
  RUKO_DIAGNOSIS_FIELDS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::resolveResponse_robotDiagnosis(const char* data, int size, rrn::RobotDiagnosis& diagnosis) {
  return resolve<comm::RobotDiagnosis>(
      data, size, toStdErr("resolveResponse_robotDiagnosis Parse fail."),
      [&](const comm::RobotDiagnosis& message) { return robotDiagnosisTypeConversionToStruct(message, diagnosis); });
}

bool ProtoEncodeDecode::resolveResponse_robotDiagnosisInfo(const char* data, int size, rrn::RobotDiagnosis& diagnosis,
                                                           int& errorCode) {
  return resolve<comm::ProtoCommunicationRobotDiagnosisInfo>(
      data, size, toStdErr("resolveResponse_robotDiagnosisInfo Parse fail."),
      [&](const comm::ProtoCommunicationRobotDiagnosisInfo& message) {
        errorCode = 0;
        readFirstErrorCode(message, errorCode);
        if (message.robotdiagnosis_size() > 0) {
          robotDiagnosisTypeConversionToStruct(message.robotdiagnosis(0), diagnosis);
        }
        return true;
      });
}

// ---- Device information -------------------------------------------------------------------------------------------

namespace {

// Copies at most maxChars characters and always leaves a terminating zero: the target was zeroed before.
template <std::size_t N>
void copyText(const std::string& text, char (&target)[N], std::size_t maxChars) {
  static_assert(N > 0, "a text field holds at least its terminator");
  std::memcpy(target, text.data(), std::min({text.size(), maxChars, N - 1}));
}

}  // namespace

void ProtoEncodeDecode::RobotDevInfoTypeConversion(const comm::OurRobotDevInfo& protoDevInfo,
                                                   rrn::RobotDevInfo& devInfo) {
  devInfo = rrn::RobotDevInfo{};
  devInfo.type = static_cast<uint8_t>(protoDevInfo.type());
  copyText(protoDevInfo.revision(), devInfo.revision, 15);
  copyText(protoDevInfo.manuid(), devInfo.manu_id, 15);
  copyText(protoDevInfo.jointtype(), devInfo.joint_type, 15);
  const int versions = std::min(protoDevInfo.jointver_size(), ruko::codec::countOf(devInfo.joint_ver));
  for (int i = 0; i < versions; ++i) {
    copyText(protoDevInfo.jointver(i).hwversion(), devInfo.joint_ver[i].hw_version, 7);
    copyText(protoDevInfo.jointver(i).swversion(), devInfo.joint_ver[i].sw_version, 15);
  }
  const int productIds = std::min(protoDevInfo.jointproductid_size(), ruko::codec::countOf(devInfo.jointProductID));
  for (int i = 0; i < productIds; ++i) {
    copyText(protoDevInfo.jointproductid(i), devInfo.jointProductID[i].productID, 15);
  }
  copyText(protoDevInfo.desc(), devInfo.desc, 11);
  copyText(protoDevInfo.slavedevversion(), devInfo.slave_version, 15);
  copyText(protoDevInfo.extendioboardversion(), devInfo.extio_version, 11);
}

bool ProtoEncodeDecode::resolveResponse_devInfo(const char* data, int size, rrn::RobotDevInfo& devInfo,
                                                int& errorCode) {
  return resolveFirstElementIfSuccess<common::ProtoResponseRobotDevInfo>(
      data, size, toStdErr("resolveResponse_devInfo Parse fail."), errorCode,
      [](const common::ProtoResponseRobotDevInfo& message) -> const auto& { return message.devinfo(); },
      [&](const comm::OurRobotDevInfo& element) {
        RobotDevInfoTypeConversion(element, devInfo);
        return true;
      });
}

// ---- Safety -------------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::RobotSafetyConfigTypeConversion(const rrn::RobotSafetyConfig& record,
                                                        common::ProtoRobotSafetyConfig& message) {
  ruko::codec::appendAll(message.mutable_robotreducedconfigjointspeed(), record.robotReducedConfigJointSpeed);
  RUKO_SAFETY_CONFIG_SCALARS(RUKO_SCALAR_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::RobotSafetyConfigTypeConversion(const common::ProtoRobotSafetyConfig& message,
                                                        rrn::RobotSafetyConfig& record) {
  copyPrefix(message.robotreducedconfigjointspeed(), record.robotReducedConfigJointSpeed);
  RUKO_SAFETY_CONFIG_SCALARS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::OrpeSafetyStatusTypeConversion(const rrn::OrpeSafetyStatus& record,
                                                       common::ProtoOrpeSafetyStatus& message) {
  ruko::codec::appendAll(message.mutable_orpeerror(), record.orpeError);
  RUKO_ORPE_SAFETY_SCALARS(RUKO_SCALAR_TO_MESSAGE)
  return true;
}

bool ProtoEncodeDecode::OrpeSafetyStatusTypeConversion(const common::ProtoOrpeSafetyStatus& message,
                                                       rrn::OrpeSafetyStatus& record) {
  copyPrefix(message.orpeerror(), record.orpeError);
  RUKO_ORPE_SAFETY_SCALARS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::getRequest_setSafetyConfig(char** data, int* size, const rrn::RobotSafetyConfig& safetyConfig) {
  common::ProtoResponseRobotSafetyConfig message;
  RobotSafetyConfigTypeConversion(safetyConfig, *message.add_safetyconfig());
  ProtoRobotCommonResponseInit(*message.mutable_errorinfo(), 0, std::string());
  return encode(message, data, size, toLog("getRequest_setSafetyConfig Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_safetyConfig(const char* data, int size, rrn::RobotSafetyConfig& safetyConfig,
                                                     int& errorCode) {
  return resolveFirstElementIfSuccess<common::ProtoResponseRobotSafetyConfig>(
      data, size, toStdErr("resolveResponse_safetyConfig Parse fail."), errorCode,
      [](const common::ProtoResponseRobotSafetyConfig& message) -> const auto& { return message.safetyconfig(); },
      [&](const common::ProtoRobotSafetyConfig& element) {
        return RobotSafetyConfigTypeConversion(element, safetyConfig);
      });
}

bool ProtoEncodeDecode::resolveResponse_safetyStatus(const char* data, int size, rrn::OrpeSafetyStatus& safetyStatus,
                                                     int& errorCode) {
  return resolveFirstElementIfSuccess<common::ProtoResponseOrpeSafetyStatus>(
      data, size, toStdErr("resolveResponse_safetyStatus Parse fail."), errorCode,
      [](const common::ProtoResponseOrpeSafetyStatus& message) -> const auto& { return message.safetystatus(); },
      [&](const common::ProtoOrpeSafetyStatus& element) {
        return OrpeSafetyStatusTypeConversion(element, safetyStatus);
      });
}

// ---- Arm model ----------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::resolveResponse_DhParam(const char* data, int size, rrn::RobotType& robotType,
                                                rrn::RobotDhPara& dhPara, int& errorCode) {
  return resolve<common::ProtoResponseRobotDhParam>(
      data, size, toStdErr("resolveResponse_DhParam Parse fail."),
      [&](const common::ProtoResponseRobotDhParam& message) {
        errorCode = requiredErrorCode(message);
        if (errorCode != 0) {
          return true;
        }
        robotType = static_cast<rrn::RobotType>(message.robottype());
        const common::DhParam& dh = message.dhparam();
        using ruko::codec::hasLength;
        if (hasLength(dh.a(), dhPara.a) && hasLength(dh.alpha(), dhPara.alpha) && hasLength(dh.d(), dhPara.d) &&
            hasLength(dh.theta(), dhPara.theta)) {
          ruko::codec::copyExact(dh.a(), dhPara.a);
          ruko::codec::copyExact(dh.alpha(), dhPara.alpha);
          ruko::codec::copyExact(dh.d(), dhPara.d);
          ruko::codec::copyExact(dh.theta(), dhPara.theta);
        } else {
          // Controllers that send only the six lengths use this fixed arm layout.
          const double pi = 3.141592653589793;
          const double halfPi = 1.5707963267948966;
          const double a[6] = {0, 0, dh.a3(), dh.a4(), 0, 0};
          const double d[6] = {dh.d1(), dh.d2(), 0, 0, dh.d5(), dh.d6()};
          const double alpha[6] = {0, -halfPi, pi, pi, -halfPi, halfPi};
          const double theta[6] = {pi, -halfPi, 0, -halfPi, 0, 0};
          std::copy(a, a + 6, dhPara.a);
          std::copy(d, d + 6, dhPara.d);
          std::copy(alpha, alpha + 6, dhPara.alpha);
          std::copy(theta, theta + 6, dhPara.theta);
        }
        dhPara.A3 = dh.a3();
        dhPara.A4 = dh.a4();
        dhPara.D1 = dh.d1();
        dhPara.D2 = dh.d2();
        dhPara.D5 = dh.d5();
        dhPara.D6 = dh.d6();
        return true;
      });
}

// ---- Gravity, collision, TCP
// ------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::robotGravityComponentTypeConversion(const rrn::RobotGravityComponent& gravityComponent,
                                                            comm::RobotGravityComponent& protoGravityComponent) {
  protoGravityComponent.set_x(gravityComponent.x);
  protoGravityComponent.set_y(gravityComponent.y);
  protoGravityComponent.set_z(gravityComponent.z);
  return true;
}

bool ProtoEncodeDecode::robotGravityComponentTypeConversion(const comm::RobotGravityComponent& protoGravityComponent,
                                                            rrn::RobotGravityComponent& gravityComponent) {
  gravityComponent.x = protoGravityComponent.x();
  gravityComponent.y = protoGravityComponent.y();
  gravityComponent.z = protoGravityComponent.z();
  return true;
}

bool ProtoEncodeDecode::robotCollisionCurrentTypeConversion(const RobotCollisionCurrent& collisionCurrent,
                                                            comm::RobotCollisionCurrent& protoCollisionCurrent) {
  protoCollisionCurrent.set_collisionclass(collisionCurrent.CollisionClass);
  return true;
}

bool ProtoEncodeDecode::robotCollisionCurrentTypeConversion(const comm::RobotCollisionCurrent& protoCollisionCurrent,
                                                            RobotCollisionCurrent& collisionCurrent) {
  collisionCurrent.CollisionClass = static_cast<uint8_t>(protoCollisionCurrent.collisionclass());
  return true;
}

bool ProtoEncodeDecode::resolveResponse_gravityComponent(const char* data, int size,
                                                         rrn::RobotGravityComponent& gravityComponent, int& errorCode) {
  return resolveFirstElementIfSuccess<common::ProtoResponseRobotGravityComponent>(
      data, size, toStdErr("resolveResponse_gravityComponent Parse fail."), errorCode,
      [](const common::ProtoResponseRobotGravityComponent& message) -> const auto& {
        return message.gravitycomponent();
      },
      [&](const comm::RobotGravityComponent& element) {
        return robotGravityComponentTypeConversion(element, gravityComponent);
      });
}

bool ProtoEncodeDecode::resolveResponse_collisionCurrent(const char* data, int size,
                                                         RobotCollisionCurrent& collisionCurrent, int& errorCode) {
  return resolveFirstElementIfSuccess<common::ProtoResponseRobotCollisionCurrent>(
      data, size, toStdErr("resolveResponse_collisionCurrent Parse fail."), errorCode,
      [](const common::ProtoResponseRobotCollisionCurrent& message) -> const auto& {
        return message.collisioncurrent();
      },
      [&](const comm::RobotCollisionCurrent& element) {
        return robotCollisionCurrentTypeConversion(element, collisionCurrent);
      });
}

// ---- Tool parameters ----------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::toolParamTypeConversion(const common::ToolParam& toolParam,
                                                rrn::ToolDynamicsParam& toolDynamicsParam) {
  if (toolParam.tooldynamicsparam_size() == 0) {
    return false;
  }
  const common::ToolDynamicsParam& from = toolParam.tooldynamicsparam(0);
  toolDynamicsParam.payload = from.payload();
  toolDynamicsParam.positionX = from.positionx();
  toolDynamicsParam.positionY = from.positiony();
  toolDynamicsParam.positionZ = from.positionz();
  const common::ToolInertia& message = from.toolinertia();
  rrn::ToolInertia& record = toolDynamicsParam.toolInertia;
  RUKO_TOOL_INERTIA_FIELDS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::toolParamTypeConversion(const common::ToolParam& toolParam, rrn::ToolInEndDesc& toolInEndDesc) {
  if (toolParam.toolkinematicsparam_size() == 0) {
    return false;
  }
  const common::ToolKinematicsParam& from = toolParam.toolkinematicsparam(0);
  const common::Pos& position = from.toolposition();
  const common::Ori& ori = from.toolori();
  toolInEndDesc.toolInEndPosition = {position.x(), position.y(), position.z()};
  toolInEndDesc.toolInEndOrientation = {ori.w(), ori.x(), ori.y(), ori.z()};
  return true;
}

namespace {

void fillToolKinematics(const rrn::ToolInEndDesc& toolInEndDesc, common::ToolKinematicsParam& to) {
  common::Pos* position = to.mutable_toolposition();
  position->set_x(toolInEndDesc.toolInEndPosition.x);
  position->set_y(toolInEndDesc.toolInEndPosition.y);
  position->set_z(toolInEndDesc.toolInEndPosition.z);
  common::Ori* ori = to.mutable_toolori();
  ori->set_w(toolInEndDesc.toolInEndOrientation.w);
  ori->set_x(toolInEndDesc.toolInEndOrientation.x);
  ori->set_y(toolInEndDesc.toolInEndOrientation.y);
  ori->set_z(toolInEndDesc.toolInEndOrientation.z);
}

}  // namespace

bool ProtoEncodeDecode::toolParamTypeConversion(const rrn::ToolDynamicsParam& toolDynamicsParam,
                                                common::ToolParam& toolParam) {
  toolParam.clear_tooldynamicsparam();
  toolParam.clear_toolkinematicsparam();
  common::ToolDynamicsParam* to = toolParam.add_tooldynamicsparam();
  to->set_payload(toolDynamicsParam.payload);
  to->set_positionx(toolDynamicsParam.positionX);
  to->set_positiony(toolDynamicsParam.positionY);
  to->set_positionz(toolDynamicsParam.positionZ);
  common::ToolInertia& message = *to->mutable_toolinertia();
  const rrn::ToolInertia& record = toolDynamicsParam.toolInertia;
  RUKO_TOOL_INERTIA_FIELDS(RUKO_SCALAR_TO_MESSAGE)
  ProtoRobotCommonResponseInit(*toolParam.mutable_errorinfo(), 0, std::string());
  return true;
}

bool ProtoEncodeDecode::toolParamTypeConversion(const rrn::ToolInEndDesc& toolInEndDesc, common::ToolParam& toolParam) {
  fillToolKinematics(toolInEndDesc, *toolParam.add_toolkinematicsparam());
  return true;
}

bool ProtoEncodeDecode::getRequest_setToolDynamicsParam(char** data, int* size,
                                                        const rrn::ToolDynamicsParam& toolDynamicsParam) {
  common::ToolParam message;
  toolParamTypeConversion(toolDynamicsParam, message);
  return encode(message, data, size, toLog("getRequest_setToolDynamicsParam Serialize fail."));
}

bool ProtoEncodeDecode::getRequest_setToolKinematicsParam(char** data, int* size,
                                                          const rrn::ToolInEndDesc& toolInEndDesc) {
  common::ToolKinematicsParam message;
  fillToolKinematics(toolInEndDesc, message);
  return encode(message, data, size, toLog("getRequest_setToolKinematicsParam Serialize fail."));
}

namespace {

// With code 0 the result is the conversion's (false when the reply holds no such element); otherwise true.
template <class Record>
bool resolveToolParam(const char* data, int size, Record& record, int& errorCode, const char* failureLine) {
  return resolve<common::ToolParam>(data, size, toStdErr(failureLine), [&](const common::ToolParam& message) {
    errorCode = requiredErrorCode(message);
    return errorCode != 0 || ProtoEncodeDecode::toolParamTypeConversion(message, record);
  });
}

}  // namespace

bool ProtoEncodeDecode::resolveResponse_getToolDynamicsParam(const char* data, int size,
                                                             rrn::ToolDynamicsParam& toolDynamicsParam,
                                                             int& errorCode) {
  return resolveToolParam(data, size, toolDynamicsParam, errorCode, "resolveResponse_getToolDynamicsParam Parse fail.");
}

bool ProtoEncodeDecode::resolveResponse_getToolKinematicsParam(const char* data, int size,
                                                               rrn::ToolInEndDesc& toolInEndDesc, int& errorCode) {
  return resolveToolParam(data, size, toolInEndDesc, errorCode, "resolveResponse_getToolKinematicsParam Parse fail.");
}

// ---- Joint drive data ---------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::ProtoJointCommonDataToRobotStruct(const comm::ProtoJointCommonData& message,
                                                          rrn::JointCommonData& record) {
  RUKO_JOINT_COMMON_DATA_FIELDS(RUKO_SCALAR_TO_RECORD)
  return true;
}

bool ProtoEncodeDecode::resolveResponse_jointCommonData(const char* data, int size,
                                                        std::vector<rrn::JointCommonData>& jointCommonData,
                                                        int& errorCode) {
  return resolve<comm::ProtoJointCommonDataResponse>(
      data, size, toStdErr("ERROR:resolveRequest_jointCommonData Parse fail."),
      [&](const comm::ProtoJointCommonDataResponse& message) {
        for (const comm::ProtoJointCommonData& element : message.jointcommondata()) {
          jointCommonData.push_back(rrn::JointCommonData{});
          ProtoJointCommonDataToRobotStruct(element, jointCommonData.back());
        }
        errorCode = requiredErrorCode(message);
        return true;
      });
}
