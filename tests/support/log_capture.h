#ifndef RUKO_TEST_SUPPORT_LOG_CAPTURE_H
#define RUKO_TEST_SUPPORT_LOG_CAPTURE_H

#include <mutex>
#include <string>
#include <vector>

#include "ruko_sdk/robot_error.h"

namespace ruko {
namespace test {

struct LogLine {
  int level;
  std::string text;
};

/**
 * Makes sure the process's log instance exists and collects every line logged while alive; the
 * previous sink (standard output) is restored on destruction. Safe to read from the test thread while
 * library threads log.
 */
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LogLine> lines() const;
  /** Number of captured lines whose text contains `needle` (at `level`, or any level when level < 0). */
  int count(const std::string& needle, int level = -1) const;
  bool contains(const std::string& needle, int level = -1) const { return count(needle, level) > 0; }
  void clear();

 private:
  static void onLine(ruko_robot_namespace::LOG_LEVEL level, const char* text, void* arg);
  mutable std::mutex m_mutex;
  std::vector<LogLine> m_lines;
};

}  // namespace test
}  // namespace ruko

#endif
