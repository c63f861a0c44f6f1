#ifndef RUKO_UTIL_ERRORINFOSERVICE_H
#define RUKO_UTIL_ERRORINFOSERVICE_H

#include <map>
#include <mutex>
#include <string>

#include "ruko_sdk/robot_error.h"

/** English descriptions of the library's own error codes. */
class ErrorInfoService {
 public:
  /** The description of `code`, or an empty string when it has none (event codes 20000 and up). */
  static std::string getErrDescByCode(ruko_robot_namespace::RobotErrorCode code);

 private:
  static void initErrInfoDescMaping();

  static std::map<ruko_robot_namespace::RobotErrorCode, std::string> S_errInfoDescMaping;
  static bool S_isInitInfoDescMaping;
  static std::once_flag S_initOnce;
};

#endif
