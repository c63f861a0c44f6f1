#include "util/log.h"

#include <cstdarg>

#include "util/robotlogprint.h"

namespace ruko {

void logPrint(int level, const char* format, ...) {
  RobotLogPrint* log = RobotLogPrint::getRobotLogPrintPtr();
  if (log == nullptr) {
    return;
  }
  va_list args;
  va_start(args, format);
  log->vprintTrace(level, format, args);
  va_end(args);
}

}  // namespace ruko
