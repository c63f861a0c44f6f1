#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void fill(double* range, double lo, double hi) {
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = lo;
    range[2 * j + 1] = hi;
  }
}

void expectRange(const JointRangeOfMotion& actual, const JointRangeOfMotion& expected) {
  EXPECT_EQ(actual.enable, expected.enable);
  for (int j = 0; j < 6; ++j) {
    EXPECT_EQ(actual.rangeValues[j].minValue, expected.rangeValues[j].minValue) << j;
    EXPECT_EQ(actual.rangeValues[j].maxValue, expected.rangeValues[j].maxValue) << j;
  }
}

// Runs first in this program: nothing has installed a range yet.
TEST(JointRange, DisabledFullTurnsAtStart) {
  const JointRangeOfMotion now = ruko::jointRangeOfMotion();
  EXPECT_FALSE(now.enable);
  EXPECT_FALSE(IkfuncCheckJointRangeOfMotion());
  for (const auto& joint : now.rangeValues) {
    EXPECT_EQ(joint.minValue, -6.283185307179586);
    EXPECT_EQ(joint.maxValue, 6.283185307179586);
  }
  expectRange(now, ruko::defaultJointRangeOfMotion());
}

TEST(JointRange, InstallEnablesAndReportsDegrees) {
  ruko::ScopedJointRangeRestore restore;
  double range[12];
  fill(range, -kPi, kPi);
  range[10] = -2 * kPi;
  range[11] = 0.5 * kPi;
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  EXPECT_TRUE(IkfuncCheckJointRangeOfMotion());
  double degrees[6][2];
  IkfuncGetJointRangeOfMotion(degrees);
  for (int j = 0; j < 5; ++j) {
    EXPECT_DOUBLE_EQ(degrees[j][0], -180);
    EXPECT_DOUBLE_EQ(degrees[j][1], 180);
  }
  EXPECT_DOUBLE_EQ(degrees[5][0], -360);
  EXPECT_DOUBLE_EQ(degrees[5][1], 90);

  // A later installation replaces all six pairs.
  fill(range, -1, 1);
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  IkfuncGetJointRangeOfMotion(degrees);
  EXPECT_DOUBLE_EQ(degrees[5][1], 180 / kPi);
}

TEST(JointRange, InvalidBoundsAreRefusedAndChangeNothing) {
  ruko::ScopedJointRangeRestore restore;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    int index;  // into the 12 values
    double value;
  } cases[] = {
      {"NaN minimum", 0, nan},
      {"NaN maximum", 5, nan},
      {"infinite maximum", 11, inf},
      {"-inf minimum", 6, -inf},
      {"minimum equals maximum", 2, 1.0},
      {"minimum above maximum", 4, 2.0},
  };
  for (bool enabledBefore : {false, true}) {
    ruko::ScopedJointRangeRestore inner;
    if (enabledBefore) {
      double good[12];
      fill(good, -2, 2);
      ASSERT_TRUE(IkfuncSetJointRangeOfMotion(good));
    }
    for (const auto& c : cases) {
      const JointRangeOfMotion before = ruko::jointRangeOfMotion();
      double range[12];
      fill(range, -1, 1);
      range[c.index] = c.value;
      ruko::test::LogCapture cap;
      EXPECT_FALSE(IkfuncSetJointRangeOfMotion(range)) << c.name;
      EXPECT_EQ(cap.count("joint range of motion refused", LL_ERROR), 1) << c.name;
      expectRange(ruko::jointRangeOfMotion(), before);

      // The same bounds through setJointLimits (upper, lower).
      double upper[6], lower[6];
      for (int j = 0; j < 6; ++j) {
        lower[j] = range[2 * j];
        upper[j] = range[2 * j + 1];
      }
      EXPECT_FALSE(Ikfunc::setJointLimits(upper, lower)) << c.name;
      expectRange(ruko::jointRangeOfMotion(), before);
    }
    EXPECT_FALSE(IkfuncSetJointRangeOfMotion(nullptr));
    EXPECT_EQ(IkfuncCheckJointRangeOfMotion(), enabledBefore);
  }
}

TEST(JointRange, SetJointLimitsKeepsEnable) {
  ruko::ScopedJointRangeRestore restore;
  const double upper[6] = {1, 2, 3, 4, 5, 6};
  const double lower[6] = {-1, -2, -3, -4, -5, -6};
  ASSERT_TRUE(Ikfunc::setJointLimits(upper, lower));
  JointRangeOfMotion now = ruko::jointRangeOfMotion();
  EXPECT_FALSE(now.enable);
  for (int j = 0; j < 6; ++j) {
    EXPECT_EQ(now.rangeValues[j].minValue, lower[j]);
    EXPECT_EQ(now.rangeValues[j].maxValue, upper[j]);
  }
  double range[12];
  fill(range, -3, 3);
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  ASSERT_TRUE(Ikfunc::setJointLimits(upper, lower));
  EXPECT_TRUE(IkfuncCheckJointRangeOfMotion());
}

TEST(JointRange, ScopedRestorePutsBackDisabledRange) {
  {
    ruko::ScopedJointRangeRestore restore;
    double range[12];
    fill(range, -1, 1);
    ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  }
  expectRange(ruko::jointRangeOfMotion(), ruko::defaultJointRangeOfMotion());
}

// Readers on other threads see one writer's record or another's, never a mixture,
// while inverse kinematics keeps running against the changing range.
TEST(JointRange, ReadersSeeWholeRecordsWhileWritersReplaceThem) {
  ruko::ScopedJointRangeRestore restore;
  ruko::ScopedKinematicParamsRestore restoreParams;
  double narrow[12], wide[12];
  fill(narrow, -3.0, 3.0);
  fill(wide, -6.0, 6.0);
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(narrow));

  ruko::test::LogCapture quiet;  // model selection lines
  std::atomic<bool> stop{false};
  std::atomic<int> mixed{0};
  std::atomic<int> failures{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 2; ++r) {
    readers.emplace_back([&] {
      const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
      wayPoint_S target{};
      Ikfunc::ArmFk(target.cartPos.position, target.orientation, theta, true);
      while (!stop.load()) {
        const JointRangeOfMotion now = ruko::jointRangeOfMotion();
        const double first = now.rangeValues[0].maxValue;
        for (const auto& joint : now.rangeValues) {
          if (joint.maxValue != first || joint.minValue != -first) mixed.fetch_add(1);
        }
        wayPoint_S wp = target;
        for (int j = 0; j < 6; ++j) wp.jointpos[j] = theta[j];
        if (!Ikfunc::ArmIk(wp, nullptr, false, false)) failures.fetch_add(1);
      }
    });
  }
  for (int i = 0; i < 20000; ++i) {
    ASSERT_TRUE(IkfuncSetJointRangeOfMotion(i % 2 == 0 ? wide : narrow));
    // Republishes the store (same lengths), so IK also reads it while it changes.
    if (i % 100 == 0) {
      ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m01, 0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094));
    }
    if (i % 1000 == 0) std::this_thread::yield();
  }
  stop.store(true);
  for (auto& t : readers) t.join();
  EXPECT_EQ(mixed.load(), 0);
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
