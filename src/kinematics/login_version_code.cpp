#include "kinematics/login_version_code.h"

#include <atomic>

namespace ruko {
namespace {

std::atomic<int> g_loginVersionCode{0};

}  // namespace

void setLoginVersionCode(int versionCode) {
  g_loginVersionCode.store(versionCode, std::memory_order_relaxed);
}

int loginVersionCode() {
  return g_loginVersionCode.load(std::memory_order_relaxed);
}

}  // namespace ruko
