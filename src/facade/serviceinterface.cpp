#include "ruko_sdk/serviceinterface.h"

#include "transport/errorinfoservice.h"

using ruko_robot_namespace::RobotErrorCode;

const char* ruko_sdk_version() { return RUKO_SDK_VERSION_STRING; }

std::string ServiceInterface::getErrDescByCode(RobotErrorCode code) { return ErrorInfoService::getErrDescByCode(code); }
