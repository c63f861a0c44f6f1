// MoveP progress as the application sees it: the controller's step number turned into the index of the
// caller's track through the process-wide map that the track runner fills.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <mutex>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "facade/movep_index_map.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using ruko::test::boolBody;
using ruko::test::FakeController;
using ruko::test::waitFor;

namespace {

constexpr int kMovepProgress = 133;

// Login (0), version (124), no real arm (37), both rotation flags (87, 125).
void scriptLogin(FakeController& fake) {
  const double dh[6] = {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094};
  fake.on(0).reply(ruko::test::dhParamBody(2, dh));
  fake.on(124).reply(ruko::test::textBody("4.5.20"));
  fake.on(37).reply(boolBody(false));
  fake.on(87).reply(boolBody(false));
  fake.on(125).reply(boolBody(false));
}

struct Reports {
  std::mutex mutex;
  std::vector<int> indices;
  static void onStep(int index, void* arg) {
    auto* self = static_cast<Reports*>(arg);
    std::lock_guard<std::mutex> lock(self->mutex);
    self->indices.push_back(index);
  }
  size_t size() {
    std::lock_guard<std::mutex> lock(mutex);
    return indices.size();
  }
};

TEST(FacadeMovep, StepNumbersReportTheCallersTrackIndex) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{ruko::fastTiming()};
  FakeController fake;
  scriptLogin(fake);

  Reports reports;
  ServiceInterface robot;
  ASSERT_EQ(robot.robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
  robot.robotServiceRegisterMovepStepNumNotifyCallback(&Reports::onStep, &reports);

  // Before any entry in this process every step reports 0.
  fake.push(kMovepProgress, ruko::test::generalIntBody({4}));
  ASSERT_TRUE(waitFor([&] { return reports.size() == 1; }));

  // Waypoints 1..3 and 5 of the global list are points 10, 11, 12 and 20 of the caller's track.
  ruko::facade::clearWaypointIndexInfo();
  for (const auto& entry : {std::pair<int, int>{1, 10}, {2, 11}, {3, 12}, {5, 20}}) {
    ruko::facade::setWaypointIndexInfo(entry.first, entry.second);
  }
  const struct {
    int step;
    int reported;
  } steps[] = {
      {-1, 10},      // key 1
      {0, 11},       // key 2
      {2, 11},       // key 4 is missing: the previous index again
      {3, 20},       // key 5
      {100, 20},     // far beyond the segment
      {INT_MAX, 20}, // the key would overflow: no entry
  };
  for (const auto& s : steps) fake.push(kMovepProgress, ruko::test::generalIntBody({s.step}));
  ASSERT_TRUE(waitFor([&] { return reports.size() == 1 + sizeof(steps) / sizeof(steps[0]); }));
  {
    std::lock_guard<std::mutex> lock(reports.mutex);
    EXPECT_EQ(reports.indices[0], 0);
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
      EXPECT_EQ(reports.indices[i + 1], steps[i].reported) << "step " << steps[i].step;
    }
  }

  // A new segment empties the map but the last index stands until a step of the new one is known.
  ruko::facade::clearWaypointIndexInfo();
  fake.push(kMovepProgress, ruko::test::generalIntBody({0}));
  ASSERT_TRUE(waitFor([&] { return reports.size() == 8; }));
  std::lock_guard<std::mutex> lock(reports.mutex);
  EXPECT_EQ(reports.indices.back(), 20);
}

TEST(FacadeMovep, RunnerMayRefillTheMapWhileProgressArrives) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{ruko::fastTiming()};
  FakeController fake;
  scriptLogin(fake);

  Reports reports;
  ServiceInterface robot;
  ASSERT_EQ(robot.robotServiceLogin("127.0.0.1", fake.port(), "user", "pass"), 0);
  robot.robotServiceRegisterMovepStepNumNotifyCallback(&Reports::onStep, &reports);

  // A known last index first: waypoint 5 of segment 0.
  ruko::facade::clearWaypointIndexInfo();
  ruko::facade::setWaypointIndexInfo(5, 5);
  fake.push(kMovepProgress, ruko::test::generalIntBody({3}));
  ASSERT_TRUE(waitFor([&] { return reports.size() == 1; }));

  std::atomic<bool> stop{false};
  std::thread runner([&] {
    for (int segment = 0; !stop; ++segment) {
      ruko::facade::clearWaypointIndexInfo();
      for (int k = 1; k <= 20; ++k) ruko::facade::setWaypointIndexInfo(k, segment * 100 + k);
    }
  });
  fake.pushBurst(kMovepProgress, ruko::test::generalIntBody({3}), 200);
  const bool all = waitFor([&] { return reports.size() == 201; });
  stop = true;
  runner.join();
  EXPECT_TRUE(all);
  std::lock_guard<std::mutex> lock(reports.mutex);
  for (int index : reports.indices) {
    // Waypoint 5 of some segment: while the map is empty the index reported before stands.
    EXPECT_EQ(index % 100, 5) << index;
  }
}

}  // namespace
