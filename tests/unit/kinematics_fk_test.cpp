#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <random>

#include "allocation_counter.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "kinematics/our_alg.h"
#include "kinematics/robot_models.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void closedForm(const double* theta, double* pos, double* rot) {
  const double q[6] = {-theta[0], -theta[1], -theta[2], -theta[3], -theta[4], -theta[5]};
  ComputeFk_QDR(q, pos, rot);
}

class ForwardKinematics : public ::testing::Test {
 protected:
  ruko::ScopedKinematicParamsRestore restoreParams_;
};

TEST_F(ForwardKinematics, StraightUpOnDefaultRow) {
  const double zero[6] = {0, 0, 0, 0, 0, 0};
  double pos[3], rot[9];
  closedForm(zero, pos, rot);
  const double expectedPos[3] = {0, -0.2155, 0.985};
  const double expectedRot[9] = {1, 0, 0, 0, 0, -1, 0, 1, 0};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(pos[i], expectedPos[i], 1e-15);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(rot[i], expectedRot[i], 1e-15);

  Pos p{};
  Ori o{};
  ASSERT_TRUE(Ikfunc::ArmFk(p, o, zero, false));
  EXPECT_NEAR(p.y, -0.2155, 1e-15);
  EXPECT_NEAR(p.z, 0.985, 1e-15);
  EXPECT_NEAR(o.w, std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(o.x, std::sqrt(0.5), 1e-15);
}

TEST_F(ForwardKinematics, ClosedFormMatchesChainOnEveryModel) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> angle(-2 * kPi, 2 * kPi);
  for (const auto& entry : RUKO_ROBOT_NAME) {
    if (!ruko::findRobotModel(entry.first)->analytic) continue;
    ASSERT_TRUE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(entry.first)));
    for (int trial = 0; trial < 100; ++trial) {
      double theta[6];
      for (double& v : theta) v = angle(rng);
      double pos[3], rot[9], chainPos[3], chainRot[9];
      closedForm(theta, pos, rot);
      Ikfunc::ArmFk(theta, chainPos, chainRot);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(pos[i], chainPos[i], 1e-12) << entry.second;
      for (int i = 0; i < 9; ++i) EXPECT_NEAR(rot[i], chainRot[i], 1e-12) << entry.second;
    }
  }
}

TEST_F(ForwardKinematics, CalibratedChainOnceDeltasAreInstalled) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m05));
  const double theta[6] = {0.4, -0.7, 1.3, 0.2, -1.1, 2.0};
  Pos nominal{}, chain{};
  Ori nominalOri{}, chainOri{};

  // Zero deltas: the chain is the closed form.
  ASSERT_TRUE(Ikfunc::installSystemCalibParam(RobotSystemParamCalib_S{}));
  Ikfunc::ArmFk(nominal, nominalOri, theta, true);
  Ikfunc::ArmFk(chain, chainOri, theta, false);
  EXPECT_NEAR(chain.x, nominal.x, 1e-12);
  EXPECT_NEAR(chain.y, nominal.y, 1e-12);
  EXPECT_NEAR(chain.z, nominal.z, 1e-12);

  // A joint-1 angle delta is a turn of joint 1; a joint-1 length delta lifts the arm.
  RobotSystemParamCalib_S calib{};
  calib.dTheta[0] = 0.01f;
  calib.dD[0] = 0.002f;
  ASSERT_TRUE(Ikfunc::installSystemCalibParam(calib));
  double turned[6] = {theta[0] + static_cast<double>(0.01f), theta[1], theta[2], theta[3], theta[4], theta[5]};
  double expected[3], expectedRot[9], pos[3], rot[9];
  closedForm(turned, expected, expectedRot);
  Ikfunc::ArmFk(theta, pos, rot);
  EXPECT_NEAR(pos[0], expected[0], 1e-12);
  EXPECT_NEAR(pos[1], expected[1], 1e-12);
  EXPECT_NEAR(pos[2], expected[2] + static_cast<double>(0.002f), 1e-12);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(rot[i], expectedRot[i], 1e-12);

  // The public FK follows the chain, the IK check stays on the closed form.
  Ikfunc::ArmFk(chain, chainOri, theta, false);
  EXPECT_NEAR(chain.z, pos[2], 1e-15);
  Ikfunc::ArmFk(nominal, nominalOri, theta, true);
  EXPECT_GT(std::fabs(nominal.z - chain.z), 1e-3);
}

TEST_F(ForwardKinematics, LengthOverrideMovesOnlyTheClosedForm) {
  ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m05, 0.266, 0.2565, 0.157, 0.12, 0.1025, 0.094));
  ASSERT_TRUE(Ikfunc::installSystemCalibParam(RobotSystemParamCalib_S{}));
  const double shift = static_cast<float>(0.12 - 0.119);
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> angle(-kPi, kPi);
  for (int trial = 0; trial < 20; ++trial) {
    double theta[6];
    for (double& v : theta) v = angle(rng);
    Pos nominal{}, chain{};
    Ori o{};
    Ikfunc::ArmFk(nominal, o, theta, true);
    Ikfunc::ArmFk(chain, o, theta, false);
    // Joint 2's offset runs along the horizontal axis of joints 2 to 4.
    const double dx = nominal.x - chain.x, dy = nominal.y - chain.y, dz = nominal.z - chain.z;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), shift, 1e-12);
    EXPECT_NEAR(dz, 0, 1e-12);
  }
}

TEST_F(ForwardKinematics, NonAnalyticModelWritesNothing) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m17));
  const double theta[6] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  Pos p{7, 8, 9};
  Ori o{1, 2, 3, 4};
  EXPECT_TRUE(Ikfunc::ArmFk(p, o, theta, false));
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(o.z, 4);
  double pos[3] = {5, 5, 5}, rot[9] = {5, 5, 5, 5, 5, 5, 5, 5, 5}, jac[36] = {};
  Ikfunc::ArmFk(theta, pos, rot);
  EXPECT_EQ(pos[0], 5);
  EXPECT_EQ(rot[8], 5);
  jac[0] = 3;
  Ikfunc::getJacobian(theta, jac);
  EXPECT_EQ(jac[0], 3);
}

TEST(HomogeneousTransforms, PointThereAndBack) {
  Ori q{0.9, 0.1, -0.3, 0.2};
  cartesianPos_U origin{};
  origin.position = Pos{0.3, -0.2, 0.5};
  double rot[9], org[3];
  Ikfunc::posOri2homoArr(origin, q, rot, org);
  double hr[12];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) hr[4 * r + c] = rot[3 * r + c];
    hr[4 * r + 3] = org[r];
  }
  const double point[3] = {0.11, 0.22, -0.33};
  for (bool relPos : {false, true}) {
    double there[3], back[3], there12[3];
    Ikfunc::hMatrixVectorProduct(false, org, rot, relPos, point, there);
    Ikfunc::hMatrixVectorProduct(true, org, rot, relPos, there, back);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], point[i], 1e-15);
    if (!relPos) {
      Ikfunc::hMatrixVectorProduct(false, nullptr, hr, false, point, there12);
      for (int i = 0; i < 3; ++i) EXPECT_EQ(there12[i], there[i]);
    } else {
      // A vector is only rotated.
      double noOrigin[3];
      Ikfunc::hMatrixVectorProduct(false, nullptr, rot, true, point, noOrigin);
      for (int i = 0; i < 3; ++i) EXPECT_EQ(noOrigin[i], there[i]);
    }
  }
  // In place.
  double inPlace[3] = {point[0], point[1], point[2]};
  Ikfunc::hMatrixVectorProduct(false, org, rot, false, inPlace, inPlace);
  Ikfunc::hMatrixVectorProduct(true, org, rot, false, inPlace, inPlace);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(inPlace[i], point[i], 1e-15);
}

TEST(HomogeneousTransforms, MultiplyForms) {
  const double rotA[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1};  // quarter turn about Z
  const double posA[3] = {1, 2, 3};
  const double rotB[9] = {1, 0, 0, 0, 0, -1, 0, 1, 0};  // quarter turn about X
  const double posB[3] = {0.5, 0, 0};
  const double productRot[9] = {0, 0, 1, 1, 0, 0, 0, 1, 0};
  const double productPos[3] = {1, 2.5, 3};

  double rot[9], pos[3];
  Ikfunc::hMatrixMultiply(rotA, posA, rotB, posB, static_cast<wayPoint_S*>(nullptr), rot, pos);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(rot[i], productRot[i]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pos[i], productPos[i]);

  // Without the second translation only the rotation is formed.
  double onlyRot[9];
  double untouched[3] = {9, 9, 9};
  Ikfunc::hMatrixMultiply(rotA, posA, rotB, nullptr, static_cast<wayPoint_S*>(nullptr), onlyRot, untouched);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(onlyRot[i], productRot[i]);
  EXPECT_EQ(untouched[0], 9);

  // Into a waypoint, keeping its joint angles; and in place over the first operand.
  wayPoint_S wp{};
  wp.jointpos[3] = 1.5;
  Ikfunc::hMatrixMultiply(rotA, posA, rotB, posB, &wp, nullptr, nullptr);
  EXPECT_EQ(wp.cartPos.position.y, 2.5);
  EXPECT_NEAR(wp.orientation.w, 0.5, 1e-15);
  EXPECT_EQ(wp.jointpos[3], 1.5);
  Pose_S pose{};
  Ikfunc::hMatrixMultiply(rotA, posA, rotB, posB, &pose, nullptr);
  EXPECT_EQ(pose.posU.position.z, 3);
  double r[9], p[3];
  for (int i = 0; i < 9; ++i) r[i] = rotA[i];
  for (int i = 0; i < 3; ++i) p[i] = posA[i];
  Ikfunc::hMatrixMultiply(r, p, rotB, posB, static_cast<wayPoint_S*>(nullptr), r, p);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(r[i], productRot[i]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(p[i], productPos[i]);

  ruko::test::LogCapture cap;
  Ikfunc::hMatrixMultiply(rotA, posA, rotB, nullptr, static_cast<wayPoint_S*>(nullptr), nullptr, nullptr);
  EXPECT_EQ(cap.count("error input for hmatrix multiply", LL_INFO), 1);
}

TEST(KinematicsAllocation, HotPathsAllocateNothing) {
  ruko::ScopedJointRangeRestore restoreRange;
  double range[12];
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = -2 * kPi;
    range[2 * j + 1] = 2 * kPi;
  }
  ASSERT_TRUE(IkfuncSetJointRangeOfMotion(range));
  const double theta[6] = {0.1, -0.2, 1.0, 0.3, 1.2, -0.5};
  wayPoint_S wp{};
  for (int j = 0; j < 6; ++j) wp.jointpos[j] = theta[j];

  const long probe = ruko::test::threadAllocationCount();
  // An explicit call, not a new-expression: optimised builds may elide a new/delete pair.
  void* volatile probeBlock = ::operator new(sizeof(int));
  ::operator delete(probeBlock);
  ASSERT_EQ(ruko::test::threadAllocationCount(), probe + 1) << "the counter sees this thread's allocations";

  struct Outcome {
    int raw;
    int n;
    bool chosen;
  };
  auto hotPaths = [&] {
    EXPECT_TRUE(Ikfunc::ArmFk(wp));
    double pos[3], rot[9], sol[6][8];
    closedForm(theta, pos, rot);
    const double qref[6] = {-0.1, 0.2, -1.0, -0.3, -1.2, 0.5};
    Outcome outcome{};
    outcome.raw = ComputeIkLib(qref, rot, pos, sol);
    double results[6][8];
    outcome.n = Ikfunc::ComputeIk_new(wp, results);
    outcome.chosen = Ikfunc::ArmIk(wp, nullptr, false, false);
    return outcome;
  };
  hotPaths();  // the process's first use may set up the shared parameter snapshot once

  const long before = ruko::test::threadAllocationCount();
  const Outcome outcome = hotPaths();
  const long allocations = ruko::test::threadAllocationCount() - before;

  EXPECT_EQ(outcome.raw, 4);
  EXPECT_EQ(outcome.n, 4);
  EXPECT_TRUE(outcome.chosen);
  EXPECT_EQ(allocations, 0);
}

}  // namespace
