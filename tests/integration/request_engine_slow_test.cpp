// The response wait at its real length: a silent controller costs a request exactly five seconds.

#include <gtest/gtest.h>

#include <chrono>

#include "fake_controller.h"
#include "log_capture.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/timing.h"

using namespace std::chrono_literals;

namespace {

TEST(RequestEngineSlow, TimesOutAfterFiveSecondsWhenControllerStaysSilent) {
  ASSERT_EQ(ruko::timing().responseWait, 5000ms);
  ruko::test::LogCapture log;
  ruko::test::FakeController fake;
  fake.on(CommunicationMateType::CommunicationType_SetRobotMode).noReply();
  RobotControlServices engine;
  engine.setServerPort(fake.port());
  ASSERT_EQ(engine.connectRobotServer(), 0);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(
      engine.requestServiceOnlyCheckSendResultMode(CommunicationMateType::CommunicationType_SetRobotMode, nullptr, 0),
      ruko_robot_namespace::ErrCode_RequestTimeout);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 5000ms);
  EXPECT_LT(waited, 6500ms);
  EXPECT_EQ(log.count("sdk log: Wait response timeout. cmd type: 33 CommunicationType_SetRobotMode", LL_ERROR), 1);
}

}  // namespace
