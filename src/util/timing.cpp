#include "util/timing.h"

#include <mutex>

namespace ruko {
namespace {
std::mutex g_timingMutex;
TimingTable g_timing;
}  // namespace

TimingTable timing() {
  std::lock_guard<std::mutex> lock(g_timingMutex);
  return g_timing;
}

TimingTable defaultTiming() { return TimingTable{}; }

TimingTable fastTiming() {
  TimingTable t;
  t.responseWait = milliseconds(300);
  t.handshakeWait = milliseconds(300);
  t.shutdownWait = milliseconds(300);
  t.startupWait = milliseconds(300);
  t.motionControlWait = milliseconds(300);
  t.afterConnectPause = milliseconds(0);
  t.receiveTurn = milliseconds(10);
  t.socketReceiveTimeout = milliseconds(300);
  t.socketSendTimeout = milliseconds(1000);
  t.toolReadbackPause = milliseconds(5);
  t.safetyConfigRetryPause = milliseconds(5);
  t.collisionReadbackPause = milliseconds(5);
  t.loginBaseParamRetryPause = milliseconds(5);
  t.startupBaseParamRetryPause = milliseconds(5);
  return t;
}

ScopedTimingOverride::ScopedTimingOverride(const TimingTable& table) {
  std::lock_guard<std::mutex> lock(g_timingMutex);
  m_previous = g_timing;
  g_timing = table;
}

ScopedTimingOverride::~ScopedTimingOverride() {
  std::lock_guard<std::mutex> lock(g_timingMutex);
  g_timing = m_previous;
}

}  // namespace ruko
