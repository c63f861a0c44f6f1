// What the facade adds to the local services: its own lifetime and the process's log instance. Uses
// only the public header, as an application does.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

namespace {

// Collects log lines handed to the application's callback; lines may come from any thread.
class LogSink {
 public:
  static void onLine(LOG_LEVEL level, const char* text, void* arg) {
    auto* self = static_cast<LogSink*>(arg);
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_lines.push_back({level, text});
  }
  int count(const std::string& text, LOG_LEVEL level) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    int n = 0;
    for (const auto& line : m_lines) {
      n += (line.level == level && line.text == text) ? 1 : 0;
    }
    return n;
  }
  size_t size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines.size();
  }

 private:
  struct Line {
    LOG_LEVEL level;
    std::string text;
  };
  mutable std::mutex m_mutex;
  std::vector<Line> m_lines;
};

// A failing local operation writes exactly this line and nothing else needs a controller.
const char kIkFailedLine[] = "sdk log: call robotIk error.";

void logOneFailure() {
  const double reference[6] = {0, 0, 0, 0, 0, 0};
  const Pos farAway{10.0, 10.0, 10.0};
  const Ori identity{1, 0, 0, 0};
  wayPoint_S out{};
  ASSERT_EQ(ServiceInterface::robotServiceRobotIk(reference, farAway, identity, out), ErrCode_IkFailed);
}

class FacadeLog : public ::testing::Test {
 protected:
  void TearDown() override {
    // The sink is process-wide and outlives every facade: give standard output back before `sink` goes.
    ServiceInterface restore;
    restore.robotServiceRegisterLogPrintCallback(nullptr, nullptr);
  }
  LogSink sink;
};

TEST_F(FacadeLog, CallbackRegisteredThroughFacadeReceivesLinesOfStaticOperations) {
  ServiceInterface robot;
  EXPECT_EQ(robot.robotServiceRegisterLogPrintCallback(&LogSink::onLine, &sink), ErrnoSucc);
  logOneFailure();
  EXPECT_EQ(sink.count(kIkFailedLine, LL_ERROR), 1);

  EXPECT_EQ(robot.robotServiceRegisterLogPrintCallback(nullptr, nullptr), ErrnoSucc);
  logOneFailure();
  EXPECT_EQ(sink.count(kIkFailedLine, LL_ERROR), 1) << "a null callback must detach the application's sink";
}

TEST_F(FacadeLog, LogInstanceOutlivesTheFacadeThatMadeIt) {
  {
    ServiceInterface first;
    first.robotServiceRegisterLogPrintCallback(&LogSink::onLine, &sink);
  }
  // The facade is gone; the process's log instance and its callback are not.
  logOneFailure();
  EXPECT_EQ(sink.count(kIkFailedLine, LL_ERROR), 1);

  // A later facade shares the same instance rather than making a second one that drops the callback.
  ServiceInterface second;
  logOneFailure();
  EXPECT_EQ(sink.count(kIkFailedLine, LL_ERROR), 2);
}

TEST(FacadeLifetime, SeveralFacadesLiveAtOnceAndEachClosesCleanly) {
  // Each owns its own connection services; destroying one in the middle must not touch the others.
  std::vector<std::unique_ptr<ServiceInterface>> robots;
  for (int i = 0; i < 3; ++i) {
    robots.push_back(std::make_unique<ServiceInterface>());
  }
  robots.erase(robots.begin() + 1);
  robots.clear();
  for (int i = 0; i < 3; ++i) {
    ServiceInterface shortLived;
  }
  SUCCEED();
}

}  // namespace
