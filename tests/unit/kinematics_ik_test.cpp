#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "kinematics/dh_chain.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "kinematics/our_alg.h"
#include "kinematics/robot_models.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

using Joints = std::vector<double>;

// A waypoint whose pose is the nominal flange pose of `theta` and whose joint angles
// are the reference `ref` (theta when not given).
wayPoint_S poseOf(const double* theta, const double* ref = nullptr) {
  wayPoint_S wp{};
  EXPECT_TRUE(Ikfunc::ArmFk(wp.cartPos.position, wp.orientation, theta, true));
  for (int j = 0; j < 6; ++j) wp.jointpos[j] = ref != nullptr ? ref[j] : theta[j];
  return wp;
}

std::vector<Joints> solutions(const double results[6][8], int n) {
  std::vector<Joints> out;
  for (int s = 0; s < n; ++s) {
    Joints q(6);
    for (int j = 0; j < 6; ++j) q[j] = results[j][s];
    out.push_back(q);
  }
  return out;
}

std::vector<Joints> computeIk(wayPoint_S wp) {
  double results[6][8];
  const int n = Ikfunc::ComputeIk_new(wp, results);
  return solutions(results, n);
}

void expectJointsNear(const Joints& actual, const Joints& expected, double tol, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t j = 0; j < actual.size(); ++j) EXPECT_NEAR(actual[j], expected[j], tol) << what << " joint " << j + 1;
}

// Largest deviation of the nominal pose of `theta` from the pose of `target`: position
// in metres, rotation as the largest element difference.
double poseError(const double* theta, const wayPoint_S& target) {
  double rot[9];
  double pos[3];
  const double q[6] = {-theta[0], -theta[1], -theta[2], -theta[3], -theta[4], -theta[5]};
  ComputeFk_QDR(q, pos, rot);
  double targetRot[9];
  Ikfunc::QuaternionToOriMatrix(target.orientation, targetRot);
  double err = 0;
  for (int i = 0; i < 3; ++i) err = std::max(err, std::fabs(pos[i] - target.cartPos.positionVector[i]));
  for (int i = 0; i < 9; ++i) err = std::max(err, std::fabs(rot[i] - targetRot[i]));
  return err;
}

std::vector<int> analyticModels() {
  std::vector<int> models;
  for (const auto& entry : RUKO_ROBOT_NAME) {
    if (ruko::findRobotModel(entry.first)->analytic) models.push_back(entry.first);
  }
  return models;
}

void installRangeEverywhere(double lo, double hi) {
  double range[12];
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = lo;
    range[2 * j + 1] = hi;
  }
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
}

class InverseKinematics : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m05)); }
  ruko::ScopedKinematicParamsRestore restoreParams_;
  ruko::ScopedJointRangeRestore restoreRange_;
};

TEST_F(InverseKinematics, RegularPoseGivesAllBranchesInOrder) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const std::vector<Joints> expected = {
      {0.1, -1.180135108, -1.0, -0.719864892, 1.2, -0.5},
      {0.1, -0.2, 1.0, 0.3, 1.2, -0.5},
      {2.622701647, 0.212684145, -1.010511490, -0.403842306, -1.529825165, -0.972164316},
      {2.622701647, 1.203081895, 1.010511490, 0.626782925, -1.529825165, -0.972164316},
  };
  const auto found = computeIk(poseOf(theta));
  ASSERT_EQ(found.size(), expected.size());
  for (size_t s = 0; s < found.size(); ++s)
    expectJointsNear(found[s], expected[s], 1e-9, "solution " + std::to_string(s));

  wayPoint_S wp = poseOf(theta);
  ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
  expectJointsNear(Joints(wp.jointpos, wp.jointpos + 6), expected[1], 1e-12, "ArmIk");
}

TEST_F(InverseKinematics, SingularWristTakesFreeJointsFromReference) {
  const double theta[6] = {0.3, -0.4, 1.1, 0.2, 0, 0.7};
  const Joints other1 = {2.933404, 0.863297, -0.648276, -1.511572, -2.633404, -0.6};
  const Joints other2 = {2.933404, 1.499355, 0.648276, -0.851079, -2.633404, -0.6};

  auto found = computeIk(poseOf(theta));
  ASSERT_EQ(found.size(), 3u);
  expectJointsNear(found[0], Joints(theta, theta + 6), 1e-9, "singular branch");
  expectJointsNear(found[1], other1, 1e-6, "second");
  expectJointsNear(found[2], other2, 1e-6, "third");

  // Joints 2 and 3 from this reference put the flange about 8 cm off: dropped by the
  // position check, and the swap removal moves the last solution forward.
  const double ref[6] = {0, -0.2, 0.9, 0, 0, 0};
  found = computeIk(poseOf(theta, ref));
  ASSERT_EQ(found.size(), 2u);
  expectJointsNear(found[0], other2, 1e-6, "moved forward");
  expectJointsNear(found[1], other1, 1e-6, "kept");
}

TEST_F(InverseKinematics, SingularWristStretchedSidewaysIsSolved) {
  // Wrist singular with the arm stretched almost horizontally: joint 2 follows from
  // the direction of the wrist point.
  for (double theta2 : {kPi / 2 + 0.005, -kPi / 2 - 0.003}) {
    const double theta[6] = {0.4, theta2, 0, 0, 0, -0.3};
    const wayPoint_S target = poseOf(theta);
    const auto found = computeIk(target);
    ASSERT_FALSE(found.empty()) << theta2;
    bool original = false;
    for (const auto& s : found) {
      EXPECT_LT(poseError(s.data(), target), 1e-9) << theta2;
      original = original || (std::fabs(s[0] - theta[0]) < 1e-9 && std::fabs(s[1] - theta2) < 1e-9);
    }
    EXPECT_TRUE(original) << theta2;
  }
}

TEST_F(InverseKinematics, JointSixNearQuarterTurnSnapsAndPassesPositionCheck) {
  for (double theta6 : {kPi / 2 + 1e-5, -kPi / 2 - 1.2e-5, kPi / 2 - 1.7e-5}) {
    const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, theta6};
    const auto found = computeIk(poseOf(theta));
    ASSERT_EQ(found.size(), 4u) << theta6;
    EXPECT_EQ(found[1][5], theta6 > 0 ? kPi / 2 : -kPi / 2);
    EXPECT_NEAR(found[1][2], 1.0, 1e-9);
  }
}

TEST_F(InverseKinematics, WristCentreInsideShoulderCylinder) {
  const auto params = ruko::kinematicParams();
  // Tool pointing straight down; place the wrist centre at radius d2 - inset. Just inside the cylinder the closed
  // form still offers candidates, and they put the flange `inset` off the target: 0.5 mm is as much a miss as
  // 5 mm, and both are refused by the position check.
  const double rot[9] = {1, 0, 0, 0, -1, 0, 0, 0, -1};
  struct Case {
    double inset;
    bool closedFormFinds;
  } cases[] = {{0.0005, true}, {0.005, true}, {0.015, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.inset);
    const double wrist[3] = {params->d2 - c.inset, 0, 0.3};
    const double target[3] = {wrist[0] + params->d6 * rot[2], wrist[1] + params->d6 * rot[5],
                              wrist[2] + params->d6 * rot[8]};
    double trans[3] = {target[0], target[1], target[2]};
    double r[9];
    for (int i = 0; i < 9; ++i) r[i] = rot[i];
    double sol[6][8];
    const double qref[6] = {0, 0, 0, 0, 0, 0};
    const int raw = ComputeIkLib(qref, r, trans, sol);
    if (c.closedFormFinds) {
      ASSERT_GT(raw, 0);
      for (int s = 0; s < raw; ++s) {
        EXPECT_EQ(sol[0][s], sol[0][0]) << "single shoulder candidate";
        const double q[6] = {sol[0][s], sol[1][s], sol[2][s], sol[3][s], sol[4][s], sol[5][s]};
        double pos[3];
        computeFkPositionClosedForm(*params, q, pos);
        const double miss = std::sqrt(std::pow(pos[0] - target[0], 2) + std::pow(pos[1] - target[1], 2) +
                                      std::pow(pos[2] - target[2], 2));
        EXPECT_NEAR(miss, c.inset, 1e-6) << "candidate " << s;
      }
    } else {
      EXPECT_EQ(raw, 0);
    }

    wayPoint_S wp{};
    wp.cartPos.position = Pos{target[0], target[1], target[2]};
    ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(rot, wp.orientation));
    EXPECT_TRUE(computeIk(wp).empty());
  }
}

TEST_F(InverseKinematics, RoundTripOnEveryAnalyticModel) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> angle(-kPi, kPi);
  for (int model : analyticModels()) {
    ASSERT_TRUE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(model)));
    const auto params = ruko::kinematicParams();
    int checked = 0;
    while (checked < 200) {
      double theta[6];
      for (double& v : theta) v = angle(rng);
      // Away from the wrist, elbow and shoulder singularities.
      if (std::fabs(std::sin(theta[4])) < 0.2 || std::fabs(std::sin(theta[2])) < 0.2) continue;
      const wayPoint_S target = poseOf(theta);
      const double* R = nullptr;
      double rot[9];
      Ikfunc::QuaternionToOriMatrix(target.orientation, rot);
      R = rot;
      const double px = target.cartPos.position.x - params->d6 * R[2];
      const double py = target.cartPos.position.y - params->d6 * R[5];
      if (std::sqrt(px * px + py * py) < params->d2 + 0.05) continue;
      ++checked;

      const auto found = computeIk(target);
      ASSERT_FALSE(found.empty()) << "model " << model;
      bool original = false;
      for (const auto& s : found) {
        EXPECT_LT(poseError(s.data(), target), 1e-9) << "model " << model;
        double d = 0;
        for (int j = 0; j < 6; ++j) d = std::max(d, std::fabs(s[j] - theta[j]));
        original = original || d < 1e-9;
      }
      EXPECT_TRUE(original) << "model " << model;

      // The regular branches ignore the reference, so every solution as reference
      // yields the same set in the same order.
      for (const auto& s : found) {
        const auto again = computeIk(poseOf(theta, s.data()));
        ASSERT_EQ(again.size(), found.size()) << "model " << model;
        for (size_t k = 0; k < found.size(); ++k) expectJointsNear(again[k], found[k], 0, "stable order");
      }

      wayPoint_S wp = target;
      ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
      expectJointsNear(Joints(wp.jointpos, wp.jointpos + 6), Joints(theta, theta + 6), 1e-9, "nearest");
    }
  }
}

TEST_F(InverseKinematics, NonFiniteInputFailsCleanly) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    void (*spoil)(wayPoint_S&, double);
    double value;
  } cases[] = {
      {"position NaN", [](wayPoint_S& wp, double v) { wp.cartPos.position.y = v; }, nan},
      {"position inf", [](wayPoint_S& wp, double v) { wp.cartPos.position.z = v; }, inf},
      {"quaternion NaN", [](wayPoint_S& wp, double v) { wp.orientation.x = v; }, nan},
      {"zero quaternion",
       [](wayPoint_S& wp, double) {
         wp.orientation = Ori{0, 0, 0, 0};
       },
       0},
      {"reference NaN", [](wayPoint_S& wp, double v) { wp.jointpos[2] = v; }, nan},
      {"reference -inf", [](wayPoint_S& wp, double v) { wp.jointpos[0] = v; }, -inf},
  };
  for (const auto& c : cases) {
    wayPoint_S wp = poseOf(theta);
    c.spoil(wp, c.value);
    double results[6][8];
    EXPECT_EQ(Ikfunc::ComputeIk_new(wp, results), 0) << c.name;

    wayPoint_S before = wp;
    ruko::test::LogCapture cap;
    double out[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(Ikfunc::ArmIkProtect(wp, out, false, false)) << c.name;
    EXPECT_EQ(cap.count("Original ArmIK failed.", LL_ERROR), 1) << c.name;
    EXPECT_EQ(out[0], 9) << c.name;
    for (int j = 0; j < 6; ++j) {
      if (std::isnan(before.jointpos[j])) {
        EXPECT_TRUE(std::isnan(wp.jointpos[j]));
      } else {
        EXPECT_EQ(wp.jointpos[j], before.jointpos[j]) << c.name;
      }
    }
  }
}

TEST_F(InverseKinematics, FarReferenceSelectsNothing) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  for (bool withRange : {false, true}) {
    ruko::ScopedJointRangeRestore restore;
    if (withRange) installRangeEverywhere(-kTwoPi, kTwoPi);
    const double ref[6] = {1700, 1700, 1700, 1700, 1700, 1700};
    wayPoint_S wp = poseOf(theta, ref);
    ASSERT_FALSE(computeIk(wp).empty()) << "the pose itself is reachable";
    ruko::test::LogCapture cap;
    EXPECT_FALSE(Ikfunc::ArmIk(wp, nullptr, false, false)) << withRange;
    for (int j = 0; j < 6; ++j) EXPECT_EQ(wp.jointpos[j], 1700);
    EXPECT_FALSE(Ikfunc::ArmIkProtect(wp, nullptr, false, false));
    EXPECT_EQ(cap.count("Original ArmIK failed.", LL_ERROR), 1);
    EXPECT_EQ(cap.count("None of"), 0);
  }
}

TEST_F(InverseKinematics, RangeBoundsAreExclusive) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const auto all = computeIk(poseOf(theta));
  ASSERT_EQ(all.size(), 4u);
  const double v = all[1][2];  // joint 3 of the pose's own solution

  installRangeEverywhere(-kPi, kPi);
  ASSERT_EQ(computeIk(poseOf(theta)).size(), 4u);

  struct Case {
    double lo, hi;
    bool kept;
  } cases[] = {
      {-kPi, v, false},
      {-kPi, std::nextafter(v, 10.0), true},
      {v, kPi, false},
      {std::nextafter(v, -10.0), kPi, true},
  };
  for (const auto& c : cases) {
    double range[12];
    for (int j = 0; j < 6; ++j) {
      range[2 * j] = -kPi;
      range[2 * j + 1] = kPi;
    }
    range[4] = c.lo;
    range[5] = c.hi;
    ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
    bool present = false;
    for (const auto& s : computeIk(poseOf(theta))) present = present || s[2] == v;
    EXPECT_EQ(present, c.kept) << c.lo << " " << c.hi;
  }
}

TEST_F(InverseKinematics, ValueOutsideRangeIsNotRescuedByExpansion) {
  // Joint 1 of this pose's own solution is about -1.0; the range (0.5, 6) would
  // admit -1.0 + 2 pi, but the filter runs before the expansion.
  const double theta[6] = {-1.0, -0.2, 1.0, 0.3, 1.2, -0.5};
  const auto all = computeIk(poseOf(theta));
  ASSERT_EQ(all.size(), 4u);
  double range[12];
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = -kTwoPi;
    range[2 * j + 1] = kTwoPi;
  }
  range[0] = 0.5;
  range[1] = 6.0;
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  for (const auto& s : computeIk(poseOf(theta))) EXPECT_GT(s[0], 0.5);
  wayPoint_S wp = poseOf(theta);
  if (Ikfunc::ArmIk(wp, nullptr, false, false)) {
    EXPECT_GT(wp.jointpos[0], 0.5);
  }
}

TEST_F(InverseKinematics, ExpansionOrderAndBounds) {
  double sol[6][8] = {};
  for (int j = 0; j < 6; ++j) sol[j][0] = 0.5;
  sol[0][0] = 1.0;
  struct Case {
    double lo, hi;
    std::vector<double> joint1;
  } cases[] = {
      {-0.5, 6.0, {1.0}},
      {-0.5, 8.0, {1.0, 1.0 + kTwoPi}},
      {-8.0, 8.0, {1.0, 1.0 + kTwoPi, 1.0 - kTwoPi}},
      {-20.0, 20.0, {1.0, 1.0 + kTwoPi, 1.0 + 2 * kTwoPi, 1.0 - kTwoPi, 1.0 - 2 * kTwoPi}},
      // Wider ranges stop at two turns each way.
      {-1e300, 1e300, {1.0, 1.0 + kTwoPi, 1.0 + 2 * kTwoPi, 1.0 - kTwoPi, 1.0 - 2 * kTwoPi}},
      // A value outside the range is not listed, nor are turns that stay outside.
      {1.5, 4.0, {}},
      {2.0, 9.0, {1.0 + kTwoPi}},
  };
  for (const auto& c : cases) {
    double range[12];
    for (int j = 0; j < 6; ++j) {
      range[2 * j] = 0;
      range[2 * j + 1] = 1;  // joints 2-6: only 0.5 itself
    }
    range[0] = c.lo;
    range[1] = c.hi;
    ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
    std::vector<std::vector<double>> out{{42.0}};
    Ikfunc::extendToAllConfigurations(1, sol, out);
    ASSERT_EQ(out.size(), c.joint1.size()) << c.lo << " " << c.hi;
    for (size_t k = 0; k < out.size(); ++k) {
      EXPECT_EQ(out[k][0], c.joint1[k]);
      for (int j = 1; j < 6; ++j) EXPECT_EQ(out[k][j], 0.5);
    }
  }

  // Joint 1 slowest, joint 6 fastest; solutions one after another.
  installRangeEverywhere(-8.0, 8.0);
  for (int j = 1; j < 6; ++j) sol[j][1] = 0.5;
  sol[0][1] = -2.0;  // -2 - 2 pi lies below the range: two values for joint 1
  std::vector<std::vector<double>> out;
  Ikfunc::extendToAllConfigurations(2, sol, out);
  ASSERT_EQ(out.size(), 729u + 486u);
  EXPECT_EQ(out[0], (Joints{1.0, 0.5, 0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(out[1], (Joints{1.0, 0.5, 0.5, 0.5, 0.5, 0.5 + kTwoPi}));
  EXPECT_EQ(out[2], (Joints{1.0, 0.5, 0.5, 0.5, 0.5, 0.5 - kTwoPi}));
  EXPECT_EQ(out[3], (Joints{1.0, 0.5, 0.5, 0.5, 0.5 + kTwoPi, 0.5}));
  EXPECT_EQ(out[243], (Joints{1.0 + kTwoPi, 0.5, 0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(out[729], (Joints{-2.0, 0.5, 0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(out[730][5], 0.5 + kTwoPi);
}

TEST_F(InverseKinematics, ExpansionPicksTurnNearestReference) {
  const double theta[6] = {1.0, -0.2, 1.0, 0.3, 1.2, -0.5};
  struct Case {
    double hi;
    double ref1;
    double expected1;
  } cases[] = {
      {6.0, 7.0, 1.0},           // 1 + 2 pi lies above the range
      {8.0, 7.0, 1.0 + kTwoPi},  // now it is the nearer one
      {8.0, 1.2, 1.0},
  };
  for (const auto& c : cases) {
    double range[12];
    for (int j = 0; j < 6; ++j) {
      range[2 * j] = -kTwoPi;
      range[2 * j + 1] = kTwoPi;
    }
    range[0] = -0.5;
    range[1] = c.hi;
    ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
    double ref[6] = {c.ref1, -0.2, 1.0, 0.3, 1.2, -0.5};
    wayPoint_S wp = poseOf(theta, ref);
    ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
    EXPECT_NEAR(wp.jointpos[0], c.expected1, 1e-9);
    for (int j = 1; j < 6; ++j) EXPECT_NEAR(wp.jointpos[j], theta[j], 1e-9);
  }
}

TEST_F(InverseKinematics, WideRangeStaysBoundedAndChoosesCorrectly) {
  installRangeEverywhere(-1e9, 1e9);
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const double ref[6] = {0.1 + 2 * kTwoPi, -0.2, 1.0 - kTwoPi, 0.3, 1.2, -0.5 + 2 * kTwoPi};
  wayPoint_S wp = poseOf(theta, ref);
  ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(wp.jointpos[j], ref[j], 1e-9) << j;
}

TEST_F(InverseKinematics, EqualRoutesKeepTheEarlierCandidate) {
  const double theta[6] = {1.0, -0.2, 1.0, 0.3, 1.2, -0.5};
  double range[12];
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = -kPi;
    range[2 * j + 1] = kPi;
  }
  range[0] = -0.5;
  range[1] = 8.0;
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  const auto found = computeIk(poseOf(theta));
  ASSERT_FALSE(found.empty());
  // Candidates of the first solution: v and v + 2 pi in joint 1. Find a reference
  // exactly half-way in double arithmetic, so both routes are equal.
  const double v = found[0][0];
  const double up = v + kTwoPi;
  double mid = v + kPi;
  for (int i = 0; i < 8 && std::fabs(v - mid) != std::fabs(up - mid); ++i) mid = std::nextafter(mid, 10.0);
  ASSERT_EQ(std::fabs(v - mid), std::fabs(up - mid));

  double ref[6];
  for (int j = 0; j < 6; ++j) ref[j] = found[0][j];
  ref[0] = mid;
  wayPoint_S wp = poseOf(theta, ref);
  ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
  EXPECT_EQ(wp.jointpos[0], v);

  ref[0] = std::nextafter(mid, 10.0);
  wp = poseOf(theta, ref);
  ASSERT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
  EXPECT_EQ(wp.jointpos[0], up);
}

TEST_F(InverseKinematics, DisabledRangeIsIgnored) {
  ASSERT_FALSE(IkfuncCheckJointRangeOfMotion());
  const double upper[6] = {0.01, 0.01, 0.01, 0.01, 0.01, 0.01};
  const double lower[6] = {0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(Ikfunc::setJointLimits(upper, lower));
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const auto found = computeIk(poseOf(theta));
  ASSERT_EQ(found.size(), 4u);
  for (const auto& s : found) {
    for (double v : s) {
      EXPECT_GT(v, -kPi);
      EXPECT_LE(v, kPi);
    }
  }
  wayPoint_S wp = poseOf(theta);
  EXPECT_TRUE(Ikfunc::ArmIk(wp, nullptr, false, false));
}

TEST_F(InverseKinematics, NoSolutionForNonAnalyticModel) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  wayPoint_S wp = poseOf(theta);
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m17));
  EXPECT_TRUE(computeIk(wp).empty());
  ruko::test::LogCapture cap;
  EXPECT_FALSE(Ikfunc::ArmIkProtect(wp, nullptr, false, false));
  EXPECT_EQ(cap.count("Original ArmIK failed.", LL_ERROR), 1);
}

TEST_F(InverseKinematics, ApiArmIkWritesSolutionIntoReference) {
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  const wayPoint_S target = poseOf(theta);
  double joints[6] = {0.12, -0.18, 0.95, 0.31, 1.19, -0.52};
  ASSERT_TRUE(Ikfunc::api_arm_ik(target.cartPos.position, target.orientation, joints));
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(joints[j], theta[j], 1e-9);
  EXPECT_FALSE(Ikfunc::api_arm_ik(target.cartPos.position, target.orientation, nullptr));
}

// ---- Calibration compensation -------------------------------------------------------

class Compensation : public InverseKinematics {
 protected:
  void install(const RobotSystemParamCalib_S& calib) { ASSERT_TRUE(Ikfunc::installSystemCalibParam(calib)); }

  static double calibratedError(const double* theta, const wayPoint_S& target, double* oriSquare) {
    double rot[9];
    double pos[3];
    Ikfunc::ArmFk(theta, pos, rot);
    double targetRot[9];
    Ikfunc::QuaternionToOriMatrix(target.orientation, targetRot);
    double twist[6];
    Ikfunc::tr2Delta(rot, pos, targetRot, target.cartPos.positionVector, twist);
    *oriSquare = twist[3] * twist[3] + twist[4] * twist[4] + twist[5] * twist[5];
    return twist[0] * twist[0] + twist[1] * twist[1] + twist[2] * twist[2];
  }
};

TEST_F(Compensation, ZeroDeltasStopAtOnce) {
  install(RobotSystemParamCalib_S{});
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  wayPoint_S wp = poseOf(theta);
  ruko::test::LogCapture cap;
  double out[6];
  ASSERT_TRUE(Ikfunc::ArmIkProtect(wp, out, false, false));
  for (int j = 0; j < 6; ++j) EXPECT_EQ(out[j], wp.jointpos[j]);
  EXPECT_EQ(cap.count("IK compensation for dh deviation successful. comp before: "
                      "0.100000,-0.200000,1.000000,0.300000,1.200000,-0.500000 comp after: "
                      "0.100000,-0.200000,1.000000,0.300000,1.200000,-0.500000\n",
                      LL_INFO),
            1);
}

TEST_F(Compensation, ConvergesOntoCalibratedArm) {
  RobotSystemParamCalib_S calib{};
  const float dA[6] = {0.0004f, -0.0003f, 0.0008f, -0.0006f, 0.0002f, 0.0001f};
  const float dD[6] = {0.0005f, 0.0007f, -0.0002f, 0.0003f, -0.0004f, 0.0006f};
  for (int j = 0; j < 6; ++j) {
    calib.dA[j] = dA[j];
    calib.dD[j] = dD[j];
    calib.dAlpha[j] = 0.001f * static_cast<float>(j % 3 - 1);
    calib.dTheta[j] = 0.0015f * static_cast<float>(1 - j % 2 * 2);
    calib.dBeta[j] = j == 2 || j == 3 ? 0.0008f : 0.0f;
  }
  install(calib);

  std::mt19937 rng(7);
  std::uniform_real_distribution<double> angle(-2.5, 2.5);
  int solved = 0;
  for (int trial = 0; trial < 50; ++trial) {
    double theta[6];
    for (double& v : theta) v = angle(rng);
    if (std::fabs(std::sin(theta[4])) < 0.2 || std::fabs(std::sin(theta[2])) < 0.2) continue;
    // A pose the calibrated arm reaches at theta.
    wayPoint_S target{};
    double rot[9];
    Ikfunc::ArmFk(theta, target.cartPos.positionVector, rot);
    ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(rot, target.orientation));
    double oriBefore = 0;
    for (int j = 0; j < 6; ++j) target.jointpos[j] = theta[j];
    {
      wayPoint_S nominal = target;
      ASSERT_TRUE(Ikfunc::ArmIk(nominal, nullptr, false, false));
      EXPECT_GT(calibratedError(nominal.jointpos, target, &oriBefore), 2.5e-9) << "deltas matter";
    }
    ruko::test::LogCapture cap;
    wayPoint_S wp = target;
    ASSERT_TRUE(Ikfunc::ArmIkProtect(wp, nullptr, false, false)) << trial;
    EXPECT_EQ(cap.count("IK compensation for dh deviation successful.", LL_INFO), 1);
    double ori = 0;
    EXPECT_LE(calibratedError(wp.jointpos, target, &ori), 2.5e-9);
    EXPECT_LE(ori, 1e-8);
    for (int j = 0; j < 6; ++j) EXPECT_NEAR(wp.jointpos[j], theta[j], 1e-3);
    ++solved;
  }
  EXPECT_GT(solved, 10);
}

TEST_F(Compensation, ReportsWhenCalibratedArmCannotReach) {
  // A stretched elbow: the nominal arm just reaches the pose, the calibrated one is
  // shorter and never gets there.
  RobotSystemParamCalib_S calib{};
  calib.dA[2] = -0.01f;
  install(calib);
  const double theta[6] = {0.3, 0.2, 0, 0.4, 1.0, 0.2};
  wayPoint_S wp = poseOf(theta);
  ruko::test::LogCapture cap;
  double out[6] = {7, 7, 7, 7, 7, 7};
  EXPECT_FALSE(Ikfunc::ArmIkProtect(wp, out, false, false));
  EXPECT_EQ(cap.count("DHComp:not converged pos: ", LL_ERROR), 1);
  EXPECT_EQ(out[0], 7);
}

TEST_F(Compensation, JacobianMatchesFiniteDifferences) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> angle(-kPi, kPi);
  for (int model : {0, 4, 9, 902}) {
    ASSERT_TRUE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(model)));
    for (int trial = 0; trial < 20; ++trial) {
      double theta[6];
      for (double& v : theta) v = angle(rng);
      double jac[36];
      Ikfunc::getJacobian(theta, jac);
      const double h = 1e-6;
      for (int j = 0; j < 6; ++j) {
        double plus[6], minus[6];
        for (int k = 0; k < 6; ++k) plus[k] = minus[k] = -theta[k];
        plus[j] -= h;  // internal angles are negated
        minus[j] += h;
        double pPlus[3], pMinus[3], rPlus[9], rMinus[9];
        ComputeFk_QDR(plus, pPlus, rPlus);
        ComputeFk_QDR(minus, pMinus, rMinus);
        for (int r = 0; r < 3; ++r) EXPECT_NEAR(jac[6 * r + j], (pPlus[r] - pMinus[r]) / (2 * h), 1e-7);
        double twist[6];
        Ikfunc::tr2Delta(rMinus, pMinus, rPlus, pPlus, twist);
        for (int r = 0; r < 3; ++r) EXPECT_NEAR(jac[6 * (3 + r) + j], twist[3 + r] / (2 * h), 1e-7);
      }
      const double s1 = std::sin(theta[0]), c1 = std::cos(theta[0]);
      const double axes[4][3] = {{0, 0, 1}, {s1, -c1, 0}, {-s1, c1, 0}, {s1, -c1, 0}};
      for (int j = 0; j < 4; ++j) {
        for (int r = 0; r < 3; ++r) EXPECT_NEAR(jac[6 * (3 + r) + j], axes[j][r], 1e-12);
      }
    }
  }
}

TEST(InverseKinematicsAlgebra, LinearSolveAndTwist) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1, 1);
  double A[36], x[6], B[6] = {};
  for (int i = 0; i < 36; ++i) A[i] = u(rng) + (i % 7 == 0 ? 4.0 : 0.0);  // diagonally heavy
  for (double& v : x) v = u(rng);
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 6; ++c) B[r] += A[6 * r + c] * x[c];
  }
  double X[6];
  Ikfunc::multiplyJacobianInv(B, A, X);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(X[i], x[i], 1e-12);

  // A small rotation about a known axis comes back as its rotation vector.
  const double angle = 1e-4;
  const double rotZ[9] = {std::cos(angle), -std::sin(angle), 0, std::sin(angle), std::cos(angle), 0, 0, 0, 1};
  const double eye[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double p1[3] = {0.1, 0.2, 0.3}, p2[3] = {0.15, 0.1, 0.3};
  double twist[6];
  Ikfunc::tr2Delta(eye, p1, rotZ, p2, twist);
  EXPECT_NEAR(twist[0], 0.05, 1e-15);
  EXPECT_NEAR(twist[1], -0.1, 1e-15);
  EXPECT_EQ(twist[2], 0);
  EXPECT_EQ(twist[3], 0);
  EXPECT_EQ(twist[4], 0);
  EXPECT_NEAR(twist[5], std::sin(angle), 1e-18);
}

}  // namespace
