#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/errorinfoservice.h"
#include "util/robotlogprint.h"
#include "util/log.h"

using namespace ruko_robot_namespace;

TEST(ErrorInfoService, DescriptionsByCode) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      // Every code that has a description.
      {0, "Success."},
      {10000, "Error number base value."},
      {10001, "Failed."},
      {10002, "Parameter error."},
      {10003, "Socket connect failed."},
      {10004, "Socket disconnect."},
      {10005, "Create request failed."},
      {10006, "Internal variable error."},
      {10007, "Request timeout."},
      {10008, "Send request error."},
      {10009, "Response is NULL."},
      {10010, "Resolve response failed."},
      {10011, "forward kin failed."},
      {10012, "inverse kin failed."},
      {10013, "Tool calibration error."},
      {10014, "Tool calibration parameter error."},
      {10015, "Coordinate system calibration error."},
      {10016, "Base coordinate to user coordinate error."},
      {10017, "User coordinate to base coordinate error."},
      {10018, "Motion-related variable error."},
      {10019, "Motion-related request error."},
      {10020, "Motion-related create request error."},
      {10021, "The movement was interrupted by the event."},
      {10022, "Waypoint vector length issue."},
      {10023, "There is an error message in the response."},
      {10024, "Real robotic arm does not exist."},
      {11025, "call slowStop return error."},
      {11026, "call fastStop return error."},
      {11027, "call pause return error."},
      {11028, "call continue return error."},
      // Event codes and unknown values have none.
      {20008, ""},
      {21301, ""},
      {10025, ""},
      {99999, ""},
      {-1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorInfoService::getErrDescByCode(static_cast<RobotErrorCode>(c.code)), c.text) << c.code;
    EXPECT_EQ(ServiceInterface::getErrDescByCode(static_cast<RobotErrorCode>(c.code)), c.text) << c.code;
  }
}

TEST(ErrorInfoService, FirstFillIsSafeFromManyThreads) {
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([] { EXPECT_EQ(ErrorInfoService::getErrDescByCode(ErrCode_Failed), "Failed."); });
  }
  for (auto& t : threads) t.join();
}

TEST(RobotLogPrint, LineReachesCallbackWithLevel) {
  ruko::test::LogCapture cap;
  ruko::logPrint(LL_WARN, "sdk log: value %d of %s", 7, "seven");
  auto lines = cap.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].level, LL_WARN);
  EXPECT_EQ(lines[0].text, "sdk log: value 7 of seven");
}

TEST(RobotLogPrint, LongLineIsCutAt2047Characters) {
  ruko::test::LogCapture cap;
  const std::string longText(3000, 'x');
  ruko::logPrint(LL_INFO, "%s", longText.c_str());
  auto lines = cap.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, std::string(2047, 'x'));
}

TEST(RobotLogPrint, NullCallbackReturnsOutputToStandardOutput) {
  RobotLogPrint* log = RobotLogPrint::createRobotLogPrint();
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(RobotLogPrint::createRobotLogPrint(), log);
  {
    ruko::test::LogCapture cap;
    testing::internal::CaptureStdout();
    ruko::logPrint(LL_INFO, "to the callback");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(cap.contains("to the callback"));
  }
  testing::internal::CaptureStdout();
  ruko::logPrint(LL_ERROR, "to standard output %d", 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to standard output 1\n");
}

namespace {
void reentrantCallback(LOG_LEVEL, const char* text, void* arg) {
  static_cast<std::vector<std::string>*>(arg)->push_back(text);
  ruko::logPrint(LL_INFO, "from inside the callback");
}
}  // namespace

TEST(RobotLogPrint, LineLoggedFromTheCallbackGoesToStandardOutputInsteadOfDeadlocking) {
  std::vector<std::string> seen;
  RobotLogPrint* log = RobotLogPrint::createRobotLogPrint();
  log->registerRobotLogPrintCallback(&reentrantCallback, &seen);
  testing::internal::CaptureStdout();
  ruko::logPrint(LL_INFO, "outer");
  const std::string out = testing::internal::GetCapturedStdout();
  log->registerRobotLogPrintCallback(nullptr, nullptr);
  EXPECT_EQ(seen, std::vector<std::string>{"outer"});
  EXPECT_EQ(out, "from inside the callback\n");
}

TEST(RobotLogPrint, LinesFromManyThreadsArriveWhole) {
  ruko::test::LogCapture cap;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) ruko::logPrint(LL_INFO, "thread %d line %d end", t, i);
    });
  }
  for (auto& th : threads) th.join();
  auto lines = cap.lines();
  ASSERT_EQ(lines.size(), 800u);
  for (const auto& l : lines) {
    EXPECT_EQ(l.text.rfind("thread ", 0), 0u);
    EXPECT_EQ(l.text.substr(l.text.size() - 4), " end");
  }
}
