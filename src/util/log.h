#ifndef RUKO_UTIL_LOG_H
#define RUKO_UTIL_LOG_H

#include "ruko_sdk/robot_error.h"

using ruko_robot_namespace::LL_DEBUG;
using ruko_robot_namespace::LL_ERROR;
using ruko_robot_namespace::LL_FATAL;
using ruko_robot_namespace::LL_INFO;
using ruko_robot_namespace::LL_WARN;

namespace ruko {

/** Logs one line through the process's log instance; does nothing before that instance exists. */
void logPrint(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace ruko

#endif
