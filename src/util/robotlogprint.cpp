#include "util/robotlogprint.h"

#include <cstdio>
#include <cstring>

std::atomic<RobotLogPrint*> RobotLogPrint::s_robotLogPrintPtr{nullptr};

namespace {
// Set while this thread runs the application's log callback: the log mutex is held then, so a line the
// callback logs through us would deadlock. Such lines go straight to standard output.
thread_local bool t_inLogCallback = false;
}  // namespace

RobotLogPrint::RobotLogPrint() : m_dataBuf{}, m_logPrintCallback(nullptr), m_arg(nullptr) {
  s_robotLogPrintPtr.store(this, std::memory_order_release);
}

RobotLogPrint* RobotLogPrint::getRobotLogPrintPtr() { return s_robotLogPrintPtr.load(std::memory_order_acquire); }

RobotLogPrint* RobotLogPrint::createRobotLogPrint() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (s_robotLogPrintPtr.load(std::memory_order_acquire) == nullptr) {
      // Lives until the process ends: threads of any facade may still log while statics are destroyed.
      new RobotLogPrint();
    }
  });
  return getRobotLogPrintPtr();
}

void RobotLogPrint::printTrace(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprintTrace(level, format, args);
  va_end(args);
}

void RobotLogPrint::vprintTrace(int level, const char* format, va_list args) {
  if (format == nullptr) {
    return;
  }
  if (t_inLogCallback) {
    char line[MAX_BUF];
    std::vsnprintf(line, sizeof line, format, args);
    std::fprintf(stdout, "%s\n", line);
    std::fflush(stdout);
    return;
  }
  std::lock_guard<std::mutex> lock(m_logPrintMutex);
  std::memset(m_dataBuf, 0, sizeof m_dataBuf);
  std::vsnprintf(m_dataBuf, sizeof m_dataBuf, format, args);
  if (m_logPrintCallback != nullptr) {
    t_inLogCallback = true;
    m_logPrintCallback(static_cast<ruko_robot_namespace::LOG_LEVEL>(level), m_dataBuf, m_arg);
    t_inLogCallback = false;
  } else {
    std::fprintf(stdout, "%s\n", m_dataBuf);
    std::fflush(stdout);
  }
}

void RobotLogPrint::registerRobotLogPrintCallback(LogPrintCallback callback, void* arg) {
  std::lock_guard<std::mutex> lock(m_logPrintMutex);
  m_logPrintCallback = callback;
  m_arg = arg;
}
