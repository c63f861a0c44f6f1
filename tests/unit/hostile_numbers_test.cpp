// Finite but extreme numbers fed to the geometry services: huge joint angles, quaternions of enormous or
// tiny magnitude, orientation products that overflow, and calibration deltas large enough to turn the
// flange half round. None of them may come back as a success carrying a non-finite or wrong result.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

namespace rn = ruko_robot_namespace;
using RUS = RobotUtilService;

bool finite(const rn::Ori& q) {
  return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}

rn::Ori scaled(const rn::Ori& q, double k) {
  return rn::Ori{q.w * k, q.x * k, q.y * k, q.z * k};
}

// q scaled so that its largest component has the magnitude m (m may be the largest double).
template <typename Q>
Q withLargest(const Q& q, double m) {
  const double largest =
      std::fmax(std::fmax(std::fabs(q.w), std::fabs(q.x)), std::fmax(std::fabs(q.y), std::fabs(q.z)));
  return Q{q.w / largest * m, q.x / largest * m, q.y / largest * m, q.z / largest * m};
}

// |<a, b>| of two unit quaternions: 1 for the same rotation, 0 for rotations a half turn apart.
double sameRotation(const rn::Ori& a, const rn::Ori& b) {
  return std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z);
}

// Every test starts on the default model, without a joint range or calibration deltas, and leaves it so.
class HostileNumbers : public ::testing::Test {
 protected:
  ruko::ScopedKinematicParamsRestore params_;
  ruko::ScopedJointRangeRestore range_;
  ruko::test::LogCapture log_;

  const double home_[6] = {0.2, -0.4, 1.3, 0.3, 1.2, -0.5};
};

// ---- Forward kinematics -------------------------------------------------------------

TEST_F(HostileNumbers, ForwardKinematicsOfHugeAnglesIsAFailureWhenThePoseIsNotFinite) {
  struct Case {
    const char* name;
    double joints[6];
    int code;
  };
  const Case cases[] = {
      // Joint 2 minus joint 3 overflows to infinity: its sine has no value.
      {"joints 2 and 3 at opposite extremes", {0, -DBL_MAX, DBL_MAX, 0, 0, 0}, rn::ErrCode_FkFailed},
      {"joints 2 to 4 summing past the range", {0, DBL_MAX, -DBL_MAX / 2, DBL_MAX / 2, 0, 0}, rn::ErrCode_FkFailed},
      // Huge but harmless: each sine and cosine is a plain number.
      {"every joint at the largest double", {DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX, DBL_MAX}, rn::ErrnoSucc},
      {"one joint at 1e300", {1e300, 0, 0, 0, 0, 0}, rn::ErrnoSucc},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    rn::wayPoint_S wp{};
    wp.cartPos.position.x = 7;
    const int rc = RUS::robotFk(c.joints, 6, wp);
    EXPECT_EQ(rc, c.code);
    if (rc == rn::ErrnoSucc) {
      EXPECT_TRUE(std::isfinite(wp.cartPos.position.x) && std::isfinite(wp.cartPos.position.y) &&
                  std::isfinite(wp.cartPos.position.z));
      EXPECT_TRUE(finite(wp.orientation));
      EXPECT_NEAR(wp.orientation.w * wp.orientation.w + wp.orientation.x * wp.orientation.x +
                      wp.orientation.y * wp.orientation.y + wp.orientation.z * wp.orientation.z,
                  1, 1e-12);
    } else {
      EXPECT_EQ(wp.cartPos.position.x, 7) << "the output stays untouched";
      EXPECT_EQ(log_.count("sdk log: robotFk result is not finite.", LL_ERROR), 1);
    }
  }
}

// ---- Orientation products -----------------------------------------------------------

TEST_F(HostileNumbers, OrientationProductsThatOverflowAreFailures) {
  const rn::Ori unit{0.5, 0.5, -0.5, 0.5};
  struct Case {
    const char* name;
    rn::Ori tcp;
    rn::Ori other;
    bool overflows;
  };
  const Case cases[] = {
      {"both near 1e200", scaled(unit, 1e200), scaled(unit, 1e200), true},
      {"the largest double times two", rn::Ori{DBL_MAX, 0, 0, 0}, rn::Ori{2, 0, 0, 0}, true},
      {"largest doubles on every component", rn::Ori{DBL_MAX, DBL_MAX, DBL_MAX, DBL_MAX}, unit, true},
      // Large but representable: the product is no unit quaternion, yet a number.
      {"1e100 times 1e100", scaled(unit, 1e100), scaled(unit, 1e100), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    const rn::Ori untouched{7, 7, 7, 7};
    rn::Ori tcp = c.tcp;
    rn::Ori tool = untouched;
    rn::Ori end = untouched;
    const int toTool = RUS::endOrientation2ToolOrientation(tcp, c.other, tool);
    const int toEnd = RUS::toolOrientation2EndOrientation(tcp, c.other, end);
    if (c.overflows) {
      EXPECT_EQ(toTool, rn::ErrCode_ParamError);
      EXPECT_EQ(toEnd, rn::ErrCode_ParamError);
      EXPECT_EQ(tool.w, 7);
      EXPECT_EQ(end.w, 7);
      EXPECT_EQ(log_.count("sdk log: endOrientation2ToolOrientation orientation is not finite.", LL_ERROR), 1);
      EXPECT_EQ(log_.count("sdk log: toolOrientation2EndOrientation orientation is not finite.", LL_ERROR), 1);
    } else {
      EXPECT_EQ(toTool, rn::ErrnoSucc);
      EXPECT_EQ(toEnd, rn::ErrnoSucc);
      EXPECT_TRUE(finite(tool));
      EXPECT_TRUE(finite(end));
    }
  }
}

// ---- Quaternion magnitude -----------------------------------------------------------

TEST_F(HostileNumbers, RotationMatrixIgnoresTheQuaternionsMagnitude) {
  const Ori unit{0.3, -0.5, 0.7, std::sqrt(1 - 0.09 - 0.25 - 0.49)};
  double expected[9];
  Ikfunc::QuaternionToOriMatrix(unit, expected);
  for (double m : {1e160, 1e-160, 1e300, 1e-300, DBL_MAX}) {
    SCOPED_TRACE(m);
    double R[9];
    Ikfunc::QuaternionToOriMatrix(withLargest(unit, m), R);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(R[i], expected[i], 1e-14) << "element " << i;
  }
}

TEST_F(HostileNumbers, InverseKinematicsSolvesForTheRotationOfAnyFiniteQuaternion) {
  rn::wayPoint_S target{};
  ASSERT_EQ(RUS::robotFk(home_, 6, target), 0);
  for (double m : {1e160, 1e-160, DBL_MAX}) {
    SCOPED_TRACE(m);
    rn::wayPoint_S wp{};
    ASSERT_EQ(RUS::robotIk(home_, target.cartPos.position, withLargest(target.orientation, m), wp), rn::ErrnoSucc);
    for (int j = 0; j < 6; ++j) EXPECT_NEAR(wp.jointpos[j], home_[j], 1e-9) << "joint " << j + 1;
  }
}

// ---- Calibration compensation -------------------------------------------------------

// A joint-6 offset of a half turn leaves the flange where it was and turns it half round about its own
// axis: the sine of that angle is 0, so an orientation error measured by it alone looks converged.
TEST_F(HostileNumbers, CalibratedInverseKinematicsNeverAcceptsAHalfTurn) {
  // Before the deltas are installed: the nominal arm's pose, whose nominal solution (home_) puts the
  // calibrated arm half round from it.
  rn::wayPoint_S nominal{};
  ASSERT_EQ(RUS::robotFk(home_, 6, nominal), 0);
  for (float offset : {3.14159265f, -3.14159265f}) {
    SCOPED_TRACE(offset);
    RobotSystemParamCalib_S calib{};
    calib.dTheta[5] = offset;
    ASSERT_TRUE(Ikfunc::installSystemCalibParam(calib));
    rn::wayPoint_S wp{};
    const int rc = RUS::robotIk(home_, nominal.cartPos.position, nominal.orientation, wp);
    if (rc == rn::ErrnoSucc) {
      rn::wayPoint_S reached{};
      ASSERT_EQ(RUS::robotFk(wp.jointpos, 6, reached), 0);
      EXPECT_NEAR(sameRotation(reached.orientation, nominal.orientation), 1, 1e-6)
          << "the calibrated arm at the solution has the requested orientation";
    } else {
      EXPECT_EQ(rc, rn::ErrCode_IkFailed);
      EXPECT_EQ(log_.count("DHComp:not converged pos: ", LL_ERROR), 1);
    }
    log_.clear();
  }
}

}  // namespace
