#include "log_capture.h"

#include "util/robotlogprint.h"

namespace ruko {
namespace test {

LogCapture::LogCapture() { RobotLogPrint::createRobotLogPrint()->registerRobotLogPrintCallback(&LogCapture::onLine, this); }

LogCapture::~LogCapture() { RobotLogPrint::getRobotLogPrintPtr()->registerRobotLogPrintCallback(nullptr, nullptr); }

void LogCapture::onLine(ruko_robot_namespace::LOG_LEVEL level, const char* text, void* arg) {
  auto* self = static_cast<LogCapture*>(arg);
  std::lock_guard<std::mutex> lock(self->m_mutex);
  self->m_lines.push_back({level, text});
}

std::vector<LogLine> LogCapture::lines() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_lines;
}

int LogCapture::count(const std::string& needle, int level) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  int n = 0;
  for (const auto& line : m_lines) {
    if ((level < 0 || line.level == level) && line.text.find(needle) != std::string::npos) {
      ++n;
    }
  }
  return n;
}

void LogCapture::clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_lines.clear();
}

}  // namespace test
}  // namespace ruko
