#include "util/timing.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(TimingTable, DefaultsAreTheSystemValues) {
  const ruko::TimingTable t = ruko::defaultTiming();
  EXPECT_EQ(t.responseWait, 5000ms);
  EXPECT_EQ(t.handshakeWait, 30000ms);
  EXPECT_EQ(t.shutdownWait, 30000ms);
  EXPECT_EQ(t.startupWait, 60000ms);
  EXPECT_EQ(t.motionControlWait, 4000ms);
  EXPECT_EQ(t.afterConnectPause, 300ms);
  EXPECT_EQ(t.receiveTurn, 100ms);
  EXPECT_EQ(t.socketReceiveTimeout, 2000ms);
  EXPECT_EQ(t.socketSendTimeout, 3000ms);
  EXPECT_EQ(t.toolReadbackPause, 150ms);
  EXPECT_EQ(t.safetyConfigRetryPause, 100ms);
  EXPECT_EQ(t.collisionReadbackPause, 150ms);
  EXPECT_EQ(t.loginBaseParamRetryPause, 50ms);
  EXPECT_EQ(t.startupBaseParamRetryPause, 1000ms);
}

TEST(TimingTable, OverrideIsScopedAndRestored) {
  EXPECT_EQ(ruko::timing().responseWait, 5000ms);
  {
    ruko::ScopedTimingOverride fast(ruko::fastTiming());
    EXPECT_LT(ruko::timing().responseWait, 1000ms);
  }
  EXPECT_EQ(ruko::timing().responseWait, 5000ms);
}
