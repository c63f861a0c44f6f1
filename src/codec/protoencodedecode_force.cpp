// Force sensor readings and the tool-and-sensor calibration.
#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"

namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using ruko::codec::appendAll;
using ruko::codec::copyExact;

namespace {

// The first N values of a list, when it has that many: a shorter list is a reply that cannot be read.
template <class List, class T, std::size_t N>
bool holdsAtLeast(const List& list, const T (&)[N]) {
  return list.size() >= static_cast<int>(N);
}

}  // namespace

bool ProtoEncodeDecode::WrenchToProtoWrench(const WrenchParam& wrench, peripheral::ProtoWrench& protoWrench) {
  for (int i = 0; i < 3; ++i) {
    protoWrench.add_force(wrench.force[i]);
    protoWrench.add_torque(wrench.torque[i]);
  }
  return true;
}

bool ProtoEncodeDecode::ProtoWrenchToWrench(const peripheral::ProtoWrench& protoWrench, WrenchParam& wrench) {
  if (!holdsAtLeast(protoWrench.force(), wrench.force) || !holdsAtLeast(protoWrench.torque(), wrench.torque)) {
    return false;
  }
  copyExact(protoWrench.force(), wrench.force);
  copyExact(protoWrench.torque(), wrench.torque);
  return true;
}

bool ProtoEncodeDecode::FtSensorCalResultToProtoType(const FtSensorCalResult& result,
                                                     peripheral::ProtoFtSensorCalibResult& protoResult) {
  WrenchToProtoWrench(result.offset, *protoResult.mutable_wrench());
  protoResult.set_mass(result.mass);
  appendAll(protoResult.mutable_centroid(), result.centroid);
  appendAll(protoResult.mutable_angle(), result.angle);
  return true;
}

bool ProtoEncodeDecode::ProtoFtSensorCalResultToRobotType(const peripheral::ProtoFtSensorCalibResult& protoResult,
                                                          FtSensorCalResult& result) {
  const peripheral::ProtoWrench& wrench = protoResult.wrench();
  if (!holdsAtLeast(wrench.force(), result.offset.force) || !holdsAtLeast(wrench.torque(), result.offset.torque) ||
      !holdsAtLeast(protoResult.centroid(), result.centroid) || !holdsAtLeast(protoResult.angle(), result.angle)) {
    return false;
  }
  ProtoWrenchToWrench(wrench, result.offset);
  result.mass = protoResult.mass();
  copyExact(protoResult.centroid(), result.centroid);
  copyExact(protoResult.angle(), result.angle);
  return true;
}

bool ProtoEncodeDecode::FtSensorCalibParamToProtoType(const rrn::JointParam* jointSets, const WrenchParam* wrenches,
                                                      peripheral::ProtoFtSensorCalibParam& protoCalibParam) {
  if (jointSets == nullptr || wrenches == nullptr) {
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    const double* angles = jointSets[i].jointPos;
    common::ProtoJointAngle* jointAngle = protoCalibParam.add_jointangle();
    jointAngle->set_joint1(angles[0]);
    jointAngle->set_joint2(angles[1]);
    jointAngle->set_joint3(angles[2]);
    jointAngle->set_joint4(angles[3]);
    jointAngle->set_joint5(angles[4]);
    jointAngle->set_joint6(angles[5]);
  }
  for (int i = 0; i < 3; ++i) {
    WrenchToProtoWrench(wrenches[i], *protoCalibParam.add_wrenchlist());
  }
  return true;
}

bool ProtoEncodeDecode::getRequest_FtSensorCalibParam(char** data, int* size, const rrn::JointParam* jointSets,
                                                      const WrenchParam* wrenches) {
  peripheral::ProtoFtSensorCalibParam message;
  if (!FtSensorCalibParamToProtoType(jointSets, wrenches, message)) {
    return ruko::codec::refuse(data, size, ruko::codec::kGenericSerializeFailure);
  }
  return ProtobufDataSerializeToArray(message, data, size);
}

bool ProtoEncodeDecode::getResponse_Wrench(char** data, int* size, const WrenchParam& wrench, int errorCode,
                                           const std::string& errorMsg) {
  peripheral::ProtoResponseWrench message;
  WrenchToProtoWrench(wrench, *message.add_wrench());
  ProtoRobotCommonResponseInit(*message.mutable_errorinfo(), errorCode, errorMsg);
  return ProtobufDataSerializeToArray(message, data, size);
}

bool ProtoEncodeDecode::getResponse_FtSensorCalibResult(char** data, int* size, const FtSensorCalResult& result,
                                                        int errorCode, const std::string& errorMsg) {
  peripheral::ProtoResponseFtSensorCalibResult message;
  FtSensorCalResultToProtoType(result, *message.add_ftsensorcalibresult());
  ProtoRobotCommonResponseInit(*message.mutable_errorinfo(), errorCode, errorMsg);
  return ProtobufDataSerializeToArray(message, data, size);
}

bool ProtoEncodeDecode::resolveResponse_Wrench(const char* data, int size, WrenchParam& wrench, int& errorCode) {
  return ruko::codec::resolveFirstElementIfSuccess<peripheral::ProtoResponseWrench>(
      data, size, ruko::codec::toStdErr("ERROR:resolveResponse_Wrench Parse fail."), errorCode,
      [](const peripheral::ProtoResponseWrench& message) -> const auto& { return message.wrench(); },
      [&](const peripheral::ProtoWrench& element) { return ProtoWrenchToWrench(element, wrench); });
}

bool ProtoEncodeDecode::resolveResponse_FtSensorCalibResult(const char* data, int size, FtSensorCalResult& result,
                                                            int& errorCode) {
  return ruko::codec::resolveFirstElementIfSuccess<peripheral::ProtoResponseFtSensorCalibResult>(
      data, size, ruko::codec::toStdErr("ERROR:resolveResponse_FtSensorCalibResult Parse fail."), errorCode,
      [](const peripheral::ProtoResponseFtSensorCalibResult& message) -> const auto& {
        return message.ftsensorcalibresult();
      },
      [&](const peripheral::ProtoFtSensorCalibResult& element) {
        return ProtoFtSensorCalResultToRobotType(element, result);
      });
}
