#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "log_capture.h"
#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_geometry.h"
#include "util/log.h"

namespace pub = ruko_robot_namespace;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Mat {
  double m[9];
};

Mat matrixOf(const Ori& q) {
  Mat r{};
  Ikfunc::QuaternionToOriMatrix(q, r.m);
  return r;
}

// Rotation by `angle` about the (not necessarily unit) axis, by Rodrigues' formula:
// independent of the quaternion code under test.
Mat axisAngle(double ax, double ay, double az, double angle) {
  const double n = std::sqrt(ax * ax + ay * ay + az * az);
  const double x = ax / n, y = ay / n, z = az / n;
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return Mat{{t * x * x + c, t * x * y - s * z, t * x * z + s * y, t * x * y + s * z, t * y * y + c, t * y * z - s * x,
              t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
}

Ori axisAngleQuaternion(double ax, double ay, double az, double angle) {
  const double n = std::sqrt(ax * ax + ay * ay + az * az);
  const double s = std::sin(angle / 2);
  return Ori{std::cos(angle / 2), s * ax / n, s * ay / n, s * az / n};
}

Mat multiply(const Mat& a, const Mat& b) {
  Mat r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r.m[3 * i + j] += a.m[3 * i + k] * b.m[3 * k + j];
  return r;
}

// Hamilton product, written out independently of the 4x4 form under test.
Ori hamilton(const Ori& a, const Ori& b) {
  return Ori{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
             a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

::testing::AssertionResult matricesNear(const Mat& a, const Mat& b, double tol) {
  for (int i = 0; i < 9; ++i) {
    if (!(std::fabs(a.m[i] - b.m[i]) <= tol)) {
      return ::testing::AssertionFailure() << "element " << i << ": " << a.m[i] << " vs " << b.m[i];
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult quaternionsNear(const Ori& a, const Ori& b, double tol) {
  if (std::fabs(a.w - b.w) <= tol && std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol &&
      std::fabs(a.z - b.z) <= tol) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "(" << a.w << ", " << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.w
                                       << ", " << b.x << ", " << b.y << ", " << b.z << ")";
}

}  // namespace

// ---- Records ------------------------------------------------------------------------

// The public records are ABI: sizes and field offsets must never move. The kinematics'
// twins must keep the same layout so conversions stay plain field copies.
static_assert(sizeof(pub::Pos) == 24 && sizeof(pub::cartesianPos_U) == 24, "");
static_assert(sizeof(pub::Ori) == 32 && offsetof(pub::Ori, w) == 0 && offsetof(pub::Ori, z) == 24, "");
static_assert(sizeof(pub::Rpy) == 24 && offsetof(pub::Rpy, rz) == 16, "");
static_assert(sizeof(pub::ToolInEndDesc) == 56 && offsetof(pub::ToolInEndDesc, toolInEndOrientation) == 24, "");
static_assert(sizeof(pub::wayPoint_S) == 104 && offsetof(pub::wayPoint_S, orientation) == 24 &&
                  offsetof(pub::wayPoint_S, jointpos) == 56,
              "");
static_assert(sizeof(pub::PositionAndQuaternion) == 56, "");
static_assert(sizeof(pub::JointParam) == 48 && sizeof(pub::ToolInertia) == 48, "");
static_assert(sizeof(pub::ToolDynamicsParam) == 80 && offsetof(pub::ToolDynamicsParam, toolInertia) == 32, "");
static_assert(sizeof(pub::MoveRelative) == 48 && offsetof(pub::MoveRelative, relativePosition) == 4 &&
                  offsetof(pub::MoveRelative, relativeOri) == 16,
              "");
static_assert(sizeof(pub::CoordCalibrateByJointAngleAndTool) == 208 &&
                  offsetof(pub::CoordCalibrateByJointAngleAndTool, wayPointArray) == 8 &&
                  offsetof(pub::CoordCalibrateByJointAngleAndTool, toolDesc) == 152,
              "");
static_assert(std::is_same<std::underlying_type<pub::coordinate_refer>::type, int>::value, "");
static_assert(std::is_trivially_copyable<pub::wayPoint_S>::value, "");

static_assert(sizeof(::Pos) == sizeof(pub::Pos) && sizeof(::Ori) == sizeof(pub::Ori), "");
static_assert(sizeof(::wayPoint_S) == sizeof(pub::wayPoint_S) &&
                  offsetof(::wayPoint_S, orientation) == offsetof(pub::wayPoint_S, orientation) &&
                  offsetof(::wayPoint_S, jointpos) == offsetof(pub::wayPoint_S, jointpos),
              "");
static_assert(sizeof(::Pose_S) == 56 && offsetof(::Pose_S, oriU) == 24, "");
static_assert(sizeof(::RobotSystemParamCalib_S) == 120, "");

TEST(GeometryRecords, WaypointPoseCopiesLeaveJointAnglesAlone) {
  wayPoint_S wp[2] = {};
  for (int i = 0; i < 2; ++i) {
    wp[i].cartPos.position = Pos{1.0 + i, 2.0 + i, 3.0 + i};
    wp[i].orientation = Ori{0.5, 0.5, -0.5, 0.5 + i};
    for (int j = 0; j < 6; ++j) wp[i].jointpos[j] = 10 * i + j;
  }
  Pose_S pose[2] = {};
  Ikfunc::waypoint2Pose(pose, wp, 2);
  EXPECT_EQ(pose[1].posU.positionVector[2], 4.0);
  EXPECT_EQ(pose[1].oriU.quaternionVector[3], 1.5);

  wayPoint_S back[2] = {};
  back[1].jointpos[5] = 42;
  pose[1].posU.position.x = -7;
  Ikfunc::pose2Waypoint(back, pose, 2);
  EXPECT_EQ(back[0].cartPos.position.y, 2.0);
  EXPECT_EQ(back[1].cartPos.position.x, -7.0);
  EXPECT_EQ(back[1].orientation.z, 1.5);
  EXPECT_EQ(back[1].jointpos[5], 42.0);
}

// ---- Quaternion <-> matrix -----------------------------------------------------------

TEST(Rotation, QuaternionToMatrixKnownValues) {
  const double h = std::sqrt(0.5);
  const struct {
    const char* what;
    Ori q;
    Mat expected;
  } cases[] = {
      {"identity", {1, 0, 0, 0}, {{1, 0, 0, 0, 1, 0, 0, 0, 1}}},
      {"non-unit input is normalised", {2, 0, 0, 0}, {{1, 0, 0, 0, 1, 0, 0, 0, 1}}},
      {"90 deg about Z", {h, 0, 0, h}, {{0, -1, 0, 1, 0, 0, 0, 0, 1}}},
      {"180 deg about X", {0, 1, 0, 0}, {{1, 0, 0, 0, -1, 0, 0, 0, -1}}},
      {"120 deg about (1,1,1)", {0.5, 0.5, 0.5, 0.5}, {{0, 0, 1, 1, 0, 0, 0, 1, 0}}},
      {"0.7 rad about (1,-2,3)", axisAngleQuaternion(1, -2, 3, 0.7), axisAngle(1, -2, 3, 0.7)},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(matricesNear(matrixOf(c.q), c.expected, 1e-15)) << c.what;
  }
}

TEST(Rotation, MatrixToQuaternionKnownValues) {
  const double h = std::sqrt(0.5);
  const struct {
    const char* what;
    Mat m;
    Ori expected;
  } cases[] = {
      {"identity", {{1, 0, 0, 0, 1, 0, 0, 0, 1}}, {1, 0, 0, 0}},
      {"180 deg about Z", {{-1, 0, 0, 0, -1, 0, 0, 0, 1}}, {0, 0, 0, 1}},
      {"90 deg about Z", {{0, -1, 0, 1, 0, 0, 0, 0, 1}}, {h, 0, 0, h}},
      {"-90 deg about X", {{1, 0, 0, 0, 0, 1, 0, -1, 0}}, {h, -h, 0, 0}},
      {"0.7 rad about (1,-2,3)", axisAngle(1, -2, 3, 0.7), axisAngleQuaternion(1, -2, 3, 0.7)},
      {"2.5 rad about (-3,1,-1)", axisAngle(-3, 1, -1, 2.5), axisAngleQuaternion(-3, 1, -1, 2.5)},
  };
  for (const auto& c : cases) {
    Ori q{9, 9, 9, 9};
    ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(c.m.m, q)) << c.what;
    EXPECT_TRUE(quaternionsNear(q, c.expected, 1e-14)) << c.what;
  }
}

// Away from a half turn the quaternion is the one with w > 0, exactly the input.
TEST(Rotation, QuaternionMatrixRoundTrip) {
  const double axes[][3] = {{1, 0, 0}, {0, -1, 0}, {1, 1, 1}, {-2, 0.5, 3}, {0.1, -4, -0.2}};
  const double angles[] = {1e-9, 0.3, -1.2, 2.0, 3.0, kPi - 1e-3};
  for (const auto& a : axes) {
    for (double angle : angles) {
      Ori q = axisAngleQuaternion(a[0], a[1], a[2], angle);
      if (q.w < 0) q = Ori{-q.w, -q.x, -q.y, -q.z};
      Ori back{};
      ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(matrixOf(q).m, back));
      EXPECT_TRUE(quaternionsNear(back, q, 1e-9)) << a[0] << "," << a[1] << "," << a[2] << " @ " << angle;
    }
  }
}

// At and near a half turn the antisymmetric differences vanish; the result must still
// be the input rotation, in particular for axes whose components differ in sign.
TEST(Rotation, MatrixToQuaternionNearHalfTurnKeepsTheAxis) {
  const double axes[][3] = {{1, -1, 0},  {-1, 1, 0},   {1, 0, -1}, {0, 1, -1},   {-1, 0, 1},
                            {1, -1, 1},  {1, 1, -1},   {-1, 1, 1}, {1, -1, -1},  {1, -2, 3},
                            {3, -2, -1}, {-0.2, 5, 1}, {2, 2, -2}, {0.5, -3, 0}, {-1, -1, 4}};
  const double shortfalls[] = {0, 1e-12, 1e-9, 1e-6, 1e-3};
  for (const auto& a : axes) {
    for (double shortfall : shortfalls) {
      const Mat rotation = axisAngle(a[0], a[1], a[2], kPi - shortfall);
      Ori q{};
      ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(rotation.m, q));
      // Taking square roots of differences costs about sqrt(epsilon) near zero
      // components; a wrong sign would cost O(1).
      EXPECT_TRUE(matricesNear(matrixOf(q), rotation, 1e-7))
          << "axis " << a[0] << "," << a[1] << "," << a[2] << " short by " << shortfall;
      EXPECT_GE(q.w, 0.0);
    }
  }
}

TEST(Rotation, HalfTurnAboutMixedSignAxisExactValue) {
  const double h = std::sqrt(0.5);
  const double m[9] = {0, -1, 0, -1, 0, 0, 0, 0, -1};  // 180 deg about (1, -1, 0)
  Ori q{};
  ASSERT_TRUE(Ikfunc::OriMatrixToQuaternion(m, q));
  EXPECT_TRUE(quaternionsNear(q, Ori{0, h, -h, 0}, 1e-15));
}

TEST(Rotation, NegativeSquareBeyondNoiseIsLoggedOnce) {
  const struct {
    double w2;
    int lines;
  } cases[] = {{-2e-6, 1}, {-5e-7, 0}};
  for (const auto& c : cases) {
    ruko::test::LogCapture cap;
    // diag(-1, -1, r) gives w^2 = (r - 1) / 4 and keeps x^2, y^2, z^2 non-negative.
    const double r = 1 + 4 * c.w2;
    const double m[9] = {-1, 0, 0, 0, -1, 0, 0, 0, r};
    Ori q{};
    EXPECT_TRUE(Ikfunc::OriMatrixToQuaternion(m, q));
    EXPECT_EQ(cap.count("negative quaternion square: ", LL_DEBUG), c.lines) << c.w2;
    if (c.lines == 1) {
      EXPECT_TRUE(cap.contains("negative quaternion square: 0 -0.000002"));
    }
    EXPECT_EQ(q.w, 0.0);
  }
}

TEST(Rotation, NonFiniteMatrixIsReportedAndLeavesResult) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Mat bad[] = {
      {{nan, 0, 0, 0, 1, 0, 0, 0, 1}}, {{1, 0, 0, 0, inf, 0, 0, 0, 1}}, {{1, 0, 0, 0, 1, -inf, 0, 0, 1}}};
  for (const auto& m : bad) {
    Ori q{7, 7, 7, 7};
    EXPECT_FALSE(Ikfunc::OriMatrixToQuaternion(m.m, q));
    EXPECT_EQ(q.w, 7.0);

    pub::Ori p{7, 7, 7, 7};
    EXPECT_EQ(RobotUtilService::oriMatrixToQuaternion(m.m, p), pub::ErrCode_Failed);
    EXPECT_EQ(p.x, 7.0);
  }
}

TEST(Rotation, PublicMatrixToQuaternion) {
  const double m[9] = {-1, 0, 0, 0, -1, 0, 0, 0, 1};
  pub::Ori q{};
  EXPECT_EQ(RobotUtilService::oriMatrixToQuaternion(m, q), pub::ErrnoSucc);
  EXPECT_EQ(q.z, 1.0);

  ruko::test::LogCapture cap;
  EXPECT_EQ(RobotUtilService::oriMatrixToQuaternion(nullptr, q), pub::ErrCode_ParamError);
  EXPECT_EQ(cap.count("", LL_ERROR), 1);
}

// ---- Quaternion algebra ----------------------------------------------------------------

TEST(Rotation, QuaternionProductSides) {
  {
    Ori q{0, 1, 0, 0};
    Ikfunc::QuaternionMultply(q, Ori{0, 0, 1, 0}, true);
    EXPECT_TRUE(quaternionsNear(q, Ori{0, 0, 0, 1}, 0));
  }
  {
    Ori q{0, 1, 0, 0};
    Ikfunc::QuaternionMultply(q, Ori{0, 0, 1, 0}, false);
    EXPECT_TRUE(quaternionsNear(q, Ori{0, 0, 0, -1}, 0));
  }
  const Ori a = axisAngleQuaternion(1, -2, 0.5, 0.8);
  const Ori p{0.9, -0.3, 0.2, 1.4};  // not unit: the product is not normalised
  Ori right = a, left = a;
  Ikfunc::QuaternionMultply(right, p, true);
  Ikfunc::QuaternionMultply(left, p, false);
  EXPECT_TRUE(quaternionsNear(right, hamilton(a, p), 1e-15));
  EXPECT_TRUE(quaternionsNear(left, hamilton(p, a), 1e-15));

  // Composition of rotations matches the matrix product.
  const Ori b = axisAngleQuaternion(0.3, 0.3, -1, 2.2);
  Ori ab = a;
  Ikfunc::QuaternionMultply(ab, b, true);
  EXPECT_TRUE(matricesNear(matrixOf(ab), multiply(matrixOf(a), matrixOf(b)), 1e-15));
}

TEST(Rotation, InversionIsAConjugate) {
  Ori q{2, 0, 0, 0};
  Ikfunc::QuaternionInversion(q);
  EXPECT_TRUE(quaternionsNear(q, Ori{2, 0, 0, 0}, 0));

  Ori r{0.5, 0.5, -0.5, 0.5};
  Ikfunc::QuaternionInversion(r);
  EXPECT_TRUE(quaternionsNear(r, Ori{0.5, -0.5, 0.5, -0.5}, 0));
}

TEST(Rotation, SignTreatsZeroAsPositive) {
  EXPECT_EQ(Ikfunc::SIGN(0.0), 1.0);
  EXPECT_EQ(Ikfunc::SIGN(-0.0), 1.0);
  EXPECT_EQ(Ikfunc::SIGN(-1e-300), -1.0);
  EXPECT_EQ(Ikfunc::SIGN(3.0), 1.0);
}

// ---- Roll-pitch-yaw ----------------------------------------------------------------------

namespace {

// R = Rz * Ry * Rx, built from single-axis rotations.
Mat rpyMatrix(double rx, double ry, double rz) {
  return multiply(multiply(axisAngle(0, 0, 1, rz), axisAngle(0, 1, 0, ry)), axisAngle(1, 0, 0, rx));
}

const double kRpyCases[][3] = {
    {0, 0, 0},        {0.3, 0, 0},       {0, -0.4, 0},      {0, 0, 1.1},      {0.1, 0.2, 0.3},
    {-2.5, 1.2, 3.0}, {3.1, -1.5, -3.1}, {-0.7, 0.9, -2.2}, {1.0, -1.0, 0.5},
};

}  // namespace

TEST(Rotation, RpyToQuaternionAndMatrixDoublePaths) {
  for (const auto& a : kRpyCases) {
    const Mat expected = rpyMatrix(a[0], a[1], a[2]);
    Mat direct{};
    Ikfunc::RPYToRotation(a, direct.m);
    EXPECT_TRUE(matricesNear(direct, expected, 1e-15));

    Ori q{};
    Ikfunc::RPYToQuaternion(a, q);
    EXPECT_NEAR(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z, 1.0, 1e-15);
    EXPECT_TRUE(matricesNear(matrixOf(q), expected, 1e-15));

    double back[3];
    Ikfunc::QuaternionToRPY(q, back);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], a[i], 1e-12) << i;
  }
}

TEST(Rotation, DoublePathAtGimbalLockKeepsTheRotation) {
  const double a[3] = {0.2, kPi / 2, 0.5};
  Ori q{};
  Ikfunc::RPYToQuaternion(a, q);
  double back[3];
  Ikfunc::QuaternionToRPY(q, back);
  EXPECT_EQ(back[0], 0.0);
  Mat before{}, after{};
  Ikfunc::RPYToRotation(a, before.m);
  Ikfunc::RPYToRotation(back, after.m);
  EXPECT_TRUE(matricesNear(after, before, 1e-7));
}

TEST(Rotation, SinglePrecisionRpyOrderAndUnits) {
  // 90 deg about Z, then the angles come back in degrees as (rz, ry, rx).
  const float rpyIn[3] = {0.0f, 0.0f, static_cast<float>(kPi / 2)};
  Ori q{};
  Ikfunc::RPYToQuaternion(q, rpyIn);
  EXPECT_TRUE(quaternionsNear(q, Ori{std::sqrt(0.5), 0, 0, std::sqrt(0.5)}, 1e-7));

  float degrees[3];
  Ikfunc::quaternionToRPY(axisAngleQuaternion(1, 0, 0, 0.5), degrees);
  EXPECT_FLOAT_EQ(degrees[0], 0.0f);
  EXPECT_FLOAT_EQ(degrees[1], 0.0f);
  EXPECT_NEAR(degrees[2], 0.5 * 180 / kPi, 1e-4);
}

TEST(Rotation, PublicRpyPathsRoundTrip) {
  for (const auto& a : kRpyCases) {
    const pub::Rpy in{a[0], a[1], a[2]};
    pub::Ori q{};
    ASSERT_EQ(RobotUtilService::RPYToQuaternion(in, q), pub::ErrnoSucc);
    const Mat expected = rpyMatrix(a[0], a[1], a[2]);
    EXPECT_TRUE(matricesNear(matrixOf(Ori{q.w, q.x, q.y, q.z}), expected, 1e-6));

    pub::Rpy out{};
    ASSERT_EQ(RobotUtilService::quaternionToRPY(q, out), pub::ErrnoSucc);
    EXPECT_NEAR(out.rx, in.rx, 1e-6);
    EXPECT_NEAR(out.ry, in.ry, 1e-6);
    EXPECT_NEAR(out.rz, in.rz, 1e-6);
  }
}

TEST(Rotation, PublicQuaternionToRpyGoesThroughSinglePrecisionDegrees) {
  pub::Rpy rpy{9, 9, 9};
  RobotUtilService::quaternionToRPY(pub::Ori{1, 0, 0, 0}, rpy);
  EXPECT_EQ(rpy.rx, 0.0);
  EXPECT_EQ(rpy.ry, 0.0);
  EXPECT_EQ(rpy.rz, 0.0);

  const Ori q = axisAngleQuaternion(1, 0, 0, 0.3);
  RobotUtilService::quaternionToRPY(pub::Ori{q.w, q.x, q.y, q.z}, rpy);
  EXPECT_NEAR(rpy.rx, 0.3, 1e-6);
  // The angle passed through a float number of degrees.
  const double degrees = rpy.rx / kPi * 180;
  EXPECT_NEAR(degrees, static_cast<double>(static_cast<float>(degrees)), 1e-12);
}

TEST(Rotation, PublicRpyToQuaternionRoundsAnglesToSinglePrecision) {
  const double rx = 0.1 + 1e-9;  // below single precision next to 0.1
  pub::Ori fine{}, coarse{};
  RobotUtilService::RPYToQuaternion(pub::Rpy{rx, 0, 0}, fine);
  RobotUtilService::RPYToQuaternion(pub::Rpy{static_cast<float>(rx), 0, 0}, coarse);
  EXPECT_EQ(fine.w, coarse.w);
  EXPECT_EQ(fine.x, coarse.x);
}

TEST(Rotation, InitOrientationIsIdentity) {
  pub::Ori q{0, 1, 2, 3};
  RobotUtilService::initOrientation(q);
  EXPECT_EQ(q.w, 1.0);
  EXPECT_EQ(q.x, 0.0);
  EXPECT_EQ(q.y, 0.0);
  EXPECT_EQ(q.z, 0.0);
}
