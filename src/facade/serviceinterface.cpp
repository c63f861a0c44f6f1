#include "ruko_sdk/serviceinterface.h"

#include "geometry/robotutilservice.h"
#include "util/errorinfoservice.h"

using ruko_robot_namespace::RobotErrorCode;

const char* ruko_sdk_version() { return RUKO_SDK_VERSION_STRING; }

std::string ServiceInterface::getErrDescByCode(RobotErrorCode code) { return ErrorInfoService::getErrDescByCode(code); }

int ServiceInterface::quaternionToRPY(const ruko_robot_namespace::Ori& ori, ruko_robot_namespace::Rpy& rpy) {
  return RobotUtilService::quaternionToRPY(ori, rpy);
}

int ServiceInterface::RPYToQuaternion(const ruko_robot_namespace::Rpy& rpy, ruko_robot_namespace::Ori& ori) {
  return RobotUtilService::RPYToQuaternion(rpy, ori);
}
