#include "geometry/robotutilservice.h"

#include "kinematics/geometry_convert.h"
#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"
#include "util/server_version_code.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Controllers up to this version code report calibration deltas as integers.
constexpr int kLastLegacyCalibrationVersion = 4005000;

float legacyLength(double micrometres) {
  return ruko::toSingle(static_cast<double>(ruko::toSingle(micrometres)) / 1000 / 1000);
}

float legacyAngle(double tenThousandthsOfDegree) {
  return ruko::toSingle(static_cast<double>(ruko::toSingle(tenThousandthsOfDegree)) / 10000 * kPi / 180);
}

void logDeltas(const char* format, const float* v) {
  ruko::logPrint(LL_INFO, format, static_cast<double>(v[0]), static_cast<double>(v[1]), static_cast<double>(v[2]),
                 static_cast<double>(v[3]), static_cast<double>(v[4]), static_cast<double>(v[5]));
}

}  // namespace

int RobotUtilService::quaternionToRPY(const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::Rpy& rpy) {
  float degrees[3];
  Ikfunc::quaternionToRPY(ruko::toInternal(ori), degrees);
  rpy.rx = static_cast<double>(degrees[2]) / 180 * kPi;
  rpy.ry = static_cast<double>(degrees[1]) / 180 * kPi;
  rpy.rz = static_cast<double>(degrees[0]) / 180 * kPi;
  return ruko_robot_namespace::ErrnoSucc;
}

int RobotUtilService::RPYToQuaternion(const ruko_robot_namespace::Rpy& rpy, ruko_robot_namespace::Ori& ori) {
  const float angles[3] = {ruko::toSingle(rpy.rx), ruko::toSingle(rpy.ry), ruko::toSingle(rpy.rz)};
  ::Ori result{};
  Ikfunc::RPYToQuaternion(result, angles);
  ori = ruko::toPublic(result);
  return ruko_robot_namespace::ErrnoSucc;
}

int RobotUtilService::oriMatrixToQuaternion(const double* eerot, ruko_robot_namespace::Ori& result) {
  if (eerot == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: oriMatrixToQuaternion rotation matrix is null.");
    return ruko_robot_namespace::ErrCode_ParamError;
  }
  ::Ori q{};
  if (!Ikfunc::OriMatrixToQuaternion(eerot, q)) return ruko_robot_namespace::ErrCode_Failed;
  result = ruko::toPublic(q);
  return ruko_robot_namespace::ErrnoSucc;
}

void RobotUtilService::initOrientation(ruko_robot_namespace::Ori& orientation) {
  orientation = ruko_robot_namespace::Ori{1, 0, 0, 0};
}

void RobotUtilService::setRobotDhParam(int robotType, const ruko_robot_namespace::RobotDhPara& robotDhPara) {
  Ikfunc::setDhParameters(static_cast<ruko_robot_type>(robotType), robotDhPara.A3, robotDhPara.A4, robotDhPara.D1,
                          robotDhPara.D2, robotDhPara.D5, robotDhPara.D6);
}

int RobotUtilService::setRobotSystemCalibParam(const ruko_robot_namespace::RobotKinematicsParameters& param) {
  return setRobotSystemCalibParam(param, ruko::serverVersionCode());
}

int RobotUtilService::setRobotSystemCalibParam(const ruko_robot_namespace::RobotKinematicsParameters& param,
                                               int versionCode) {
  RobotSystemParamCalib_S calib{};
  const bool legacy = versionCode <= kLastLegacyCalibrationVersion;
  for (int i = 0; i < 6; ++i) {
    if (legacy) {
      calib.dA[i] = legacyLength(param.da[i]);
      calib.dD[i] = legacyLength(param.dd[i]);
      calib.dAlpha[i] = legacyAngle(param.dalpha[i]);
      calib.dTheta[i] = legacyAngle(param.dtheta[i]);
      calib.dBeta[i] = legacyAngle(param.dbeta[i]);
    } else {
      calib.dA[i] = ruko::toSingle(param.da[i]);
      calib.dD[i] = ruko::toSingle(param.dd[i]);
      calib.dAlpha[i] = ruko::toSingle(param.dalpha[i]);
      calib.dTheta[i] = ruko::toSingle(param.dtheta[i]);
      calib.dBeta[i] = ruko::toSingle(param.dbeta[i]);
    }
  }
  if (!Ikfunc::installSystemCalibParam(calib)) {
    ruko::logPrint(LL_ERROR, "sdk log: kinematics calibration refused: non-finite value.");
    return ruko_robot_namespace::ErrCode_ParamError;
  }
  ruko::logPrint(LL_INFO, "--------------kinematicsParam--------------------");
  logDeltas("dA=%f,%f,%f,%f,%f,%f", calib.dA);
  logDeltas("dD=%f,%f,%f,%f,%f,%f", calib.dD);
  logDeltas("dAlpha=%f,%f,%f,%f,%f,%f", calib.dAlpha);
  logDeltas("dTheta=%f,%f,%f,%f,%f,%f", calib.dTheta);
  logDeltas("dBeta=%f,%f,%f,%f,%f,%f", calib.dBeta);
  ruko::logPrint(LL_INFO, "-------------------------------------------------");
  return ruko_robot_namespace::ErrnoSucc;
}

int RobotUtilService::setJoint6Rot360(bool enable) {
  Ikfunc::setJoint6Rot360(enable);
  ruko::logPrint(LL_INFO, enable ? "sdk log: enable joint6 360." : "sdk log: disable joint6 360.");
  return ruko_robot_namespace::ErrnoSucc;
}

int RobotUtilService::setJoint1Rot360(bool enable) {
  Ikfunc::setJoint1Rot360(enable);
  ruko::logPrint(LL_INFO, enable ? "sdk log: enable joint1 360." : "sdk log: disenable joint1 360.");
  return ruko_robot_namespace::ErrnoSucc;
}
