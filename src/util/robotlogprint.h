#ifndef RUKO_UTIL_ROBOTLOGPRINT_H
#define RUKO_UTIL_ROBOTLOGPRINT_H

#include <atomic>
#include <cstdarg>
#include <mutex>

#include "ruko_sdk/robot_error.h"

/** The library's single log sink: one formatted line at a time, to a callback or to standard output. */
class RobotLogPrint {
 public:
  typedef ::RobotLogPrintCallback LogPrintCallback;
  static constexpr int MAX_BUF = 2048;

  /** Makes this instance the process's log instance. Prefer createRobotLogPrint(). */
  RobotLogPrint();
  RobotLogPrint(const RobotLogPrint&) = delete;
  RobotLogPrint& operator=(const RobotLogPrint&) = delete;

  /** The process's log instance, or null before the first facade made it. */
  static RobotLogPrint* getRobotLogPrintPtr();

  /** Creates the process's log instance once, even when several threads ask at the same time. */
  static RobotLogPrint* createRobotLogPrint();

  void printTrace(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void vprintTrace(int level, const char* format, va_list args) __attribute__((format(printf, 3, 0)));

  /** A null callback sends lines to standard output again. */
  void registerRobotLogPrintCallback(LogPrintCallback callback, void* arg);

 private:
  char m_dataBuf[MAX_BUF];
  std::mutex m_logPrintMutex;
  LogPrintCallback m_logPrintCallback;
  void* m_arg;

  static std::atomic<RobotLogPrint*> s_robotLogPrintPtr;
};

#endif
