#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "support/log_capture.h"
#include "util/globalutil.h"
#include "util/log.h"

namespace {

using ruko_robot_namespace::Pos;
using ruko_robot_namespace::Rpy;

constexpr double kPi = 3.141592653589793;

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(CommonUtilText, TrimRemovesOnlyOuterSpaces) {
  const TextCase cases[] = {
      {"", ""},   {"   ", ""},    {"\tx ", "\tx"}, {"  a b  ", "a b"},
      {"a", "a"}, {" \n ", "\n"}, {"x\r", "x\r"},  {"  two  inner  ", "two  inner"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(commonUtil::trim(c.input), c.expected) << '"' << c.input << '"';
  }
}

TEST(CommonUtilText, RemoveSurplusSpacesKeepsOneSpacePerRun) {
  const TextCase cases[] = {
      {"1  2   3", "1 2 3"}, {"  a   b  ", "a b"}, {"", ""},   {"    ", ""},
      {"a \t b", "a \t b"},  {"a\t\tb", "a\t\tb"}, {"x", "x"}, {" 1 2 3 4 5 6 ", "1 2 3 4 5 6"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(commonUtil::removeSurplusSpaces(c.input), c.expected) << '"' << c.input << '"';
  }
}

TEST(CommonUtilText, SplitToDoublesConvertsEveryFieldLikeAtof) {
  struct SplitCase {
    const char* text;
    char separator;
    std::vector<double> expected;
  };
  const SplitCase cases[] = {
      {"1 2.5 -3", ' ', {1, 2.5, -3}},
      {"1,,2", ',', {1, 0, 2}},  // an empty field is a zero, not skipped
      {"1 2 ", ' ', {1, 2}},     // a final separator opens no field
      {"", ' ', {}},
      {"abc 4x 1e3", ' ', {0, 4, 1000}},  // conversion stops at the first foreign character
      {"\t5 6\t7", ' ', {5, 6}},          // a tab is part of a field
      {"1.5,2", ' ', {1.5}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(commonUtil::splitToDoubles(c.text, c.separator), c.expected) << '"' << c.text << '"';
  }
}

TEST(CommonUtilText, StringToPositionAndRpyReadsMillimetresAndDegrees) {
  Pos position{};
  Rpy rpy{};
  ASSERT_TRUE(commonUtil::StringToPositionAndRpy("1000 -250 3.5 180 90 -45", position, rpy));
  EXPECT_DOUBLE_EQ(position.x, 1.0);
  EXPECT_DOUBLE_EQ(position.y, -0.25);
  EXPECT_DOUBLE_EQ(position.z, 0.0035);
  EXPECT_EQ(rpy.rx, 180.0 / 180 * kPi);
  EXPECT_EQ(rpy.ry, 90.0 / 180 * kPi);
  EXPECT_EQ(rpy.rz, -45.0 / 180 * kPi);

  // Values after the sixth are ignored.
  ASSERT_TRUE(commonUtil::StringToPositionAndRpy("1 2 3 4 5 6 7 8", position, rpy));
  EXPECT_DOUBLE_EQ(position.x, 0.001);
  EXPECT_DOUBLE_EQ(rpy.rz, 6.0 / 180 * kPi);

  // Fields without a number count as zeros, as in the files the controller writes.
  ASSERT_TRUE(commonUtil::StringToPositionAndRpy("a b c d e f", position, rpy));
  EXPECT_EQ(position.x, 0.0);
  EXPECT_EQ(rpy.rz, 0.0);
}

TEST(CommonUtilText, StringToPositionAndRpyRejectsShortLinesAndLeavesOutputsAlone) {
  const char* lines[] = {"", "1 2 3 4 5", "1\t2\t3\t4\t5\t6", "1,2,3,4,5,6"};
  for (const char* line : lines) {
    Pos position{7, 8, 9};
    Rpy rpy{1, 2, 3};
    EXPECT_FALSE(commonUtil::StringToPositionAndRpy(line, position, rpy)) << '"' << line << '"';
    EXPECT_EQ(position.x, 7);
    EXPECT_EQ(position.z, 9);
    EXPECT_EQ(rpy.rx, 1);
    EXPECT_EQ(rpy.rz, 3);
  }
}

TEST(CommonUtilFilter, CoefficientsFollowTheSinglePrecisionRecipe) {
  double coe[5] = {};
  commonUtil::iir_low_filter_Init(12, 200, 0.668, coe);
  // Bit patterns pinned so that a change of precision anywhere in the recipe shows.
  EXPECT_EQ(coe[0], 0x1.c430eap-6);
  EXPECT_EQ(coe[1], 0x1.c430eap-5);
  EXPECT_EQ(coe[2], 0x1.c430eap-6);
  EXPECT_EQ(coe[3], -0x1.7f94fcp+0);
  EXPECT_EQ(coe[4], 0x1.37b015fd205fap-1);

  // They are the bilinear transform (unit step) of w^2 / (s^2 + 2 Ly w s + w^2), to float accuracy.
  const double w = 2 * kPi * 12 / 200;
  const double c = w * w + 4 + 4 * 0.668 * w;
  EXPECT_NEAR(coe[0], w * w / c, 1e-7);
  EXPECT_NEAR(coe[3], (2 * w * w - 8) / c, 1e-7);
  EXPECT_NEAR(coe[4], (w * w + 4 - 4 * 0.668 * w) / c, 1e-7);

  // Unit gain at zero frequency.
  EXPECT_NEAR(coe[0] + coe[1] + coe[2], 1 + coe[3] + coe[4], 1e-6);
}

class CommonUtilFilterRun : public ::testing::Test {
 protected:
  void SetUp() override { commonUtil::iir_low_filter_Init(12, 200, 0.668, coe); }
  std::vector<double> run(std::vector<double> in) {
    std::vector<double> out(in.size(), -99);
    commonUtil::iir_low_filter_run(in.data(), out.data(), coe, static_cast<int>(in.size()));
    return out;
  }
  double coe[5] = {};
};

TEST_F(CommonUtilFilterRun, ConstantPassesUnchanged) {
  for (double v : run(std::vector<double>(200, 0.75))) {
    EXPECT_NEAR(v, 0.75, 1e-6);
  }
}

TEST_F(CommonUtilFilterRun, FirstTwoSamplesPassAndTheRestFollowTheDifferenceEquation) {
  const std::vector<double> in = {1, 0, 0, 0, 2};
  const std::vector<double> out = run(in);
  ASSERT_EQ(out.size(), in.size());
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], coe[2] * 1 - coe[4] * 1);
  EXPECT_EQ(out[3], -coe[3] * out[2] - coe[4] * out[1]);
  EXPECT_EQ(out[4], coe[0] * 2 - coe[3] * out[3] - coe[4] * out[2]);

  EXPECT_EQ(run({3, -4}), (std::vector<double>{3, -4}));
}

TEST_F(CommonUtilFilterRun, StepSettlesAndNyquistDies) {
  std::vector<double> step(400, 1.0);
  step[0] = step[1] = 0;
  EXPECT_NEAR(run(step).back(), 1.0, 1e-6);

  std::vector<double> alternating(400);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = (i % 2 == 0) ? 1 : -1;
  const std::vector<double> out = run(alternating);
  for (std::size_t i = 300; i < out.size(); ++i) EXPECT_NEAR(out[i], 0, 1e-6) << i;
}

TEST_F(CommonUtilFilterRun, FilteringInPlaceGivesTheSameResult) {
  std::vector<double> data;
  for (int i = 0; i < 50; ++i) data.push_back(std::sin(i * 0.3) + (i % 7 == 0 ? 0.5 : 0));
  const std::vector<double> expected = run(data);
  commonUtil::iir_low_filter_run(data.data(), data.data(), coe, static_cast<int>(data.size()));
  EXPECT_EQ(data, expected);
}

TEST_F(CommonUtilFilterRun, TooFewSamplesOrNullBuffersTouchNothingAndLogOnce) {
  struct BadCall {
    const char* what;
    bool nullIn, nullOut, nullCoe;
    int num;
  };
  const BadCall calls[] = {
      {"one sample", false, false, false, 1},      {"no samples", false, false, false, 0},
      {"negative count", false, false, false, -5}, {"null input", true, false, false, 4},
      {"null output", false, true, false, 4},      {"null coefficients", false, false, true, 4},
  };
  for (const BadCall& call : calls) {
    ruko::test::LogCapture cap;
    std::vector<double> in = {1, 2, 3, 4};
    std::vector<double> out = {-1, -1, -1, -1};
    commonUtil::iir_low_filter_run(call.nullIn ? nullptr : in.data(), call.nullOut ? nullptr : out.data(),
                                   call.nullCoe ? nullptr : coe, call.num);
    EXPECT_EQ(out, (std::vector<double>{-1, -1, -1, -1})) << call.what;
    EXPECT_EQ(cap.lines().size(), 1u) << call.what;
    EXPECT_EQ(cap.count("iir_low_filter_run", LL_ERROR), 1) << call.what;
  }

  ruko::test::LogCapture cap;
  commonUtil::iir_low_filter_Init(12, 200, 0.668, nullptr);
  EXPECT_EQ(cap.count("iir_low_filter_Init", LL_ERROR), 1);
  EXPECT_EQ(cap.lines().size(), 1u);
}

TEST(CommonUtilDelay, WaitsAtLeastTheGivenTime) {
  const struct {
    int seconds;
    int mSeconds;
  } cases[] = {{0, 30}, {0, 1020}, {1, 0}};  // milliseconds past a whole second still wait
  for (const auto& c : cases) {
    const auto wanted = std::chrono::seconds(c.seconds) + std::chrono::milliseconds(c.mSeconds);
    const auto start = std::chrono::steady_clock::now();
    commonUtil::delay(c.seconds, c.mSeconds);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, wanted) << c.seconds << " s " << c.mSeconds << " ms";
    EXPECT_LT(waited, wanted + std::chrono::milliseconds(500)) << c.seconds << " s " << c.mSeconds << " ms";
  }
}

TEST(CommonUtilDelay, NegativeDurationReturnsAtOnceWithOneLineEach) {
  ruko::test::LogCapture cap;
  const auto start = std::chrono::steady_clock::now();
  commonUtil::delay(-1, 0);
  commonUtil::delay(0, -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(cap.count("delay", LL_ERROR), 2);
}

}  // namespace
