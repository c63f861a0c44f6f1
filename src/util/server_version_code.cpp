#include "util/server_version_code.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "util/log.h"

namespace ruko {

namespace {
// Written by a login on one thread while push handlers and services on others
// read it.
std::atomic<int> g_serverVersionCode{0};
}  // namespace

int serverVersionCode() {
  return g_serverVersionCode.load(std::memory_order_relaxed);
}

void setServerVersionCode(int versionCode) {
  g_serverVersionCode.store(versionCode, std::memory_order_relaxed);
}

}  // namespace ruko

namespace ruko {

bool parseServerVersionText(const std::string& text, int& versionCode) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t dot = text.find('.', start);
    const size_t end = dot == std::string::npos ? text.size() : dot;
    if (end > start) {
      parts.push_back(text.substr(start, end - start));
    }
    if (dot == std::string::npos) {
      break;
    }
    start = dot + 1;
  }
  if (parts.size() < 3) {
    logPrint(LL_ERROR, "rukoserver is old. so there is no versioninfo");
    return false;
  }
  long long values[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const std::string& part = parts[static_cast<size_t>(i)];
    const size_t first = part.find_first_of("0123456789");
    if (first == std::string::npos) {
      logPrint(LL_ERROR, "sdk log: parse rukoserver version[%s] FAILED: substr %s has no number", text.c_str(),
               part.c_str());
      return false;
    }
    size_t last = part.find_first_not_of("0123456789", first);
    if (last == std::string::npos) {
      last = part.size();
    }
    const std::string digits = part.substr(first, last - first);
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(digits.c_str(), &end, 0);
    if (errno != 0 || end == nullptr || *end != '\0' || value > INT_MAX) {
      logPrint(LL_ERROR, "sdk log: parse rukoserver version[%s] FAILED: substr %s cannot convert to interger",
               text.c_str(), part.c_str());
      return false;
    }
    values[i] = value;
  }
  // In 64 bits: three values that each fit an int can still overflow one together.
  const long long code = values[0] * 1000000LL + values[1] * 1000LL + values[2];
  if (code > INT_MAX) {
    logPrint(LL_ERROR, "sdk log: parse rukoserver version[%s] FAILED: substr %s cannot convert to interger",
             text.c_str(), parts[0].c_str());
    return false;
  }
  versionCode = static_cast<int>(code);
  logPrint(LL_INFO, "sdk log: parse rukoserver version[%s] succeed: %d", text.c_str(), versionCode);
  return true;
}

}  // namespace ruko
