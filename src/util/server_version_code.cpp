#include "util/server_version_code.h"

#include <atomic>

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
