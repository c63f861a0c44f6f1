#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "kinematics/frame_calib_lib.h"
#include "kinematics/ikfunc.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

const double kHalfSqrt2 = std::sqrt(0.5);

Ori axisAngle(double x, double y, double z, double angle) {
  const double n = std::sqrt(x * x + y * y + z * z);
  const double s = std::sin(angle / 2) / n;
  return Ori{std::cos(angle / 2), x * s, y * s, z * s};
}

// Hamilton product, written out here so the synthetic data do not lean on the code
// under test.
Ori mul(const Ori& a, const Ori& b) {
  return Ori{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
             a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

Ori conj(const Ori& q) {
  return Ori{q.w, -q.x, -q.y, -q.z};
}

// Rotation matrix of a unit quaternion, also written out independently.
void matrixOf(const Ori& q, double* R) {
  const double w = q.w, x = q.x, y = q.y, z = q.z;
  const double m[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
                       2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                       2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
  for (int i = 0; i < 9; ++i) R[i] = m[i];
}

Pos apply(const Ori& q, const Pos& v) {
  double R[9];
  matrixOf(q, R);
  return Pos{R[0] * v.x + R[1] * v.y + R[2] * v.z, R[3] * v.x + R[4] * v.y + R[5] * v.z,
             R[6] * v.x + R[7] * v.y + R[8] * v.z};
}

Pose_S pose(double x, double y, double z, Ori q = Ori{1, 0, 0, 0}) {
  Pose_S p{};
  p.posU.position = Pos{x, y, z};
  p.oriU.orientation = q;
  return p;
}

// The flange pose whose tool (offset t) has its centre point at `tcp`.
Pose_S flangeFor(const Pos& tcp, const Ori& q, const Pos& t) {
  const Pos r = apply(q, t);
  return pose(tcp.x - r.x, tcp.y - r.y, tcp.z - r.z, q);
}

void expectPosNear(const double* actual, const double* expected, double tol, const std::string& what) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tol) << what << " [" << i << "]";
}

// Same rotation (q and -q are the same).
void expectSameRotation(const Ori& a, const Ori& b, double tol, const std::string& what) {
  const double d = std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z);
  EXPECT_NEAR(d, 1.0, tol) << what;
}

struct Frame {
  double bInWPos[3];
  double bInWOri[9];
  double wInBPos[3];
};

// ---- Linear algebra -----------------------------------------------------------------

TEST(FrameLinearAlgebra, MatrixMultiplicationPlainTransposedAccumulatingAndAliased) {
  const double A[6] = {1, 2, 3, 4, 5, 6};  // 2x3, or 3x2 stored for the transposed form
  const double B[6] = {1, 0, 0, 1, 1, 1};  // 3x2
  double out[4];
  ASSERT_TRUE(matrixMultiplication(out, A, B, 2, 3, 2, true, true));
  const double plain[4] = {4, 5, 10, 11};
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(out[i], plain[i]);

  ASSERT_TRUE(matrixMultiplication(out, A, B, 2, 3, 2, false, true));
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(out[i], 2 * plain[i]) << "accumulates unless zeroFirst";

  // A stored 3x2, read as its transpose (2x3): rows (1, 3, 5), (2, 4, 6).
  ASSERT_TRUE(matrixMultiplication(out, A, B, 2, 3, 2, true, false));
  const double transposed[4] = {6, 8, 8, 10};
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(out[i], transposed[i]);

  double M[9] = {1, 2, 0, 0, 1, 0, 0, 0, 2};
  const double N[9] = {0, 1, 0, 1, 0, 0, 0, 0, 1};
  ASSERT_TRUE(matrixMultiplication(M, M, N, 3, 3, 3, true, true));
  const double aliased[9] = {2, 1, 0, 1, 0, 0, 0, 0, 2};
  for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(M[i], aliased[i]) << "output may alias an input";

  EXPECT_FALSE(matrixMultiplication(nullptr, A, B, 2, 3, 2, true, true));
  EXPECT_FALSE(matrixMultiplication(out, nullptr, B, 2, 3, 2, true, true));
  EXPECT_FALSE(matrixMultiplication(out, A, nullptr, 2, 3, 2, true, true));
}

TEST(FrameLinearAlgebra, PositiveDefiniteInverseOfRandomMatrices) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int n : {1, 3, 5, 12}) {
    // G^T G + I is symmetric positive definite.
    std::vector<double> G(n * n), A(n * n, 0.0);
    for (double& g : G) g = u(rng);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k) A[i * n + j] += G[k * n + i] * G[k * n + j];
      }
      A[i * n + i] += 1;
    }
    std::vector<double> inv = A;
    ASSERT_TRUE(positiveDefiniteMatrixInverse(inv.data(), n)) << "n=" << n;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        double s = 0;
        for (int k = 0; k < n; ++k) s += A[i * n + k] * inv[k * n + j];
        EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12) << "n=" << n << " (" << i << "," << j << ")";
      }
    }
  }
}

TEST(FrameLinearAlgebra, PositiveDefiniteInverseRefusesAVanishingPivot) {
  double singular[4] = {0, 0, 0, 1};
  EXPECT_FALSE(positiveDefiniteMatrixInverse(singular, 2));
  double m[1] = {2};
  EXPECT_FALSE(positiveDefiniteMatrixInverse(nullptr, 1));
  EXPECT_FALSE(positiveDefiniteMatrixInverse(m, 0));
}

// ---- User frame from three points ----------------------------------------------------

TEST(UserFrameCalib, AxisAlignedPointsGiveTheIdentityFrame) {
  const Pose_S pts[3] = {pose(0.4, 0, 0.1), pose(0.5, 0, 0.1), pose(0.4, 0.2, 0.1)};
  Frame f{};
  double dotValue = -5;
  ASSERT_TRUE(userCoordinateCalibLib(pts, 0, f.bInWPos, f.bInWOri, f.wInBPos, dotValue));
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(f.bInWOri[i], identity[i]);
  const double origin[3] = {0.4, 0, 0.1}, baseInFrame[3] = {-0.4, 0, -0.1};
  expectPosNear(f.wInBPos, origin, 0, "wInBPos");
  expectPosNear(f.bInWPos, baseInFrame, 1e-15, "bInWPos");
  EXPECT_DOUBLE_EQ(dotValue, 0);
}

TEST(UserFrameCalib, FirstThreeMethodsKeepTheSecondDirectionAsTaught) {
  const Pose_S pts[3] = {pose(0.4, 0, 0.1), pose(0.5, 0, 0.1), pose(0.5, 0.1, 0.1)};
  Frame f{};
  double dotValue = 0;
  ASSERT_TRUE(userCoordinateCalibLib(pts, 0, f.bInWPos, f.bInWOri, f.wInBPos, dotValue));
  EXPECT_NEAR(f.bInWOri[3], kHalfSqrt2, 1e-15);
  EXPECT_NEAR(f.bInWOri[4], kHalfSqrt2, 1e-15);
  EXPECT_NEAR(f.bInWOri[5], 0, 1e-15);
  EXPECT_NEAR(dotValue, kHalfSqrt2, 1e-15);

  ASSERT_TRUE(userCoordinateCalibLib(pts, 3, f.bInWPos, f.bInWOri, f.wInBPos, dotValue));
  const double orthonormal[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(f.bInWOri[i], orthonormal[i], 1e-15) << "method 3, element " << i;
}

TEST(UserFrameCalib, EveryMethodRecoversAKnownFrame) {
  // A frame with axes X, Y, Z (columns of Ru) at origin o; each method reads its
  // second point on one axis and its third on another axis or in a quadrant plane.
  double Ru[9];
  Ikfunc::QuaternionToOriMatrix(axisAngle(0.3, -0.5, 0.8, 0.9), Ru);
  const double o[3] = {0.35, -0.12, 0.27};
  auto axis = [&](int k) { return Pos{Ru[k], Ru[3 + k], Ru[6 + k]}; };
  struct Case {
    char method;
    int onAxis;     // axis of the second point
    int planeAxis;  // the third point's other axis
    bool quadrant;  // third point inside the plane's first quadrant instead of on the axis
  };
  const Case cases[] = {{0, 0, 1, false}, {1, 1, 2, false}, {2, 2, 0, false}, {3, 0, 1, true}, {4, 0, 2, true},
                        {5, 1, 2, true},  {6, 1, 0, true},  {7, 2, 0, true},  {8, 2, 1, true}};
  for (const Case& c : cases) {
    const Pos a = axis(c.onAxis), b = axis(c.planeAxis);
    const double alongA = 0.2, inPlaneA = c.quadrant ? 0.07 : 0.0, inPlaneB = 0.15;
    const Pose_S pts[3] = {
        pose(o[0], o[1], o[2]),
        pose(o[0] + alongA * a.x, o[1] + alongA * a.y, o[2] + alongA * a.z),
        pose(o[0] + inPlaneA * a.x + inPlaneB * b.x, o[1] + inPlaneA * a.y + inPlaneB * b.y,
             o[2] + inPlaneA * a.z + inPlaneB * b.z),
    };
    Frame f{};
    double dotValue = 0;
    ASSERT_TRUE(userCoordinateCalibLib(pts, c.method, f.bInWPos, f.bInWOri, f.wInBPos, dotValue))
        << "method " << int(c.method);
    for (int r = 0; r < 3; ++r) {
      for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(f.bInWOri[3 * r + k], Ru[3 * k + r], 1e-12) << "method " << int(c.method) << " row " << r;
      }
    }
    expectPosNear(f.wInBPos, o, 0, "origin");
    double back[3];
    for (int r = 0; r < 3; ++r) back[r] = -(Ru[r] * o[0] + Ru[3 + r] * o[1] + Ru[6 + r] * o[2]);
    expectPosNear(f.bInWPos, back, 1e-12, "base origin in the frame");
  }
}

TEST(UserFrameCalib, RefusesUnknownMethodsAndDegeneratePointsWithoutWriting) {
  const Pose_S good[3] = {pose(0.4, 0, 0.1), pose(0.5, 0, 0.1), pose(0.4, 0.2, 0.1)};
  const Pose_S collinear[3] = {pose(0.4, 0, 0.1), pose(0.5, 0, 0.1), pose(0.6, 0, 0.1)};
  const Pose_S coincident[3] = {pose(0.4, 0, 0.1), pose(0.4, 0, 0.1), pose(0.4, 0.2, 0.1)};
  struct Case {
    const Pose_S* pts;
    char method;
    const char* what;
  };
  const Case cases[] = {{good, 9, "method 9"},
                        {good, -1, "method -1"},
                        {collinear, 3, "collinear"},
                        {collinear, 0, "collinear, method 0"},
                        {coincident, 0, "coincident"}};
  for (const Case& c : cases) {
    Frame f;
    for (double& v : f.bInWOri) v = 42;
    for (int i = 0; i < 3; ++i) f.bInWPos[i] = f.wInBPos[i] = 42;
    double dotValue = 42;
    EXPECT_FALSE(userCoordinateCalibLib(c.pts, c.method, f.bInWPos, f.bInWOri, f.wInBPos, dotValue)) << c.what;
    for (double v : f.bInWOri) EXPECT_EQ(v, 42) << c.what;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.bInWPos[i] + f.wInBPos[i], 84) << c.what;
    EXPECT_EQ(dotValue, 42) << c.what;

    ruko::test::LogCapture cap;
    EXPECT_FALSE(Ikfunc::userCoordinateCalib(c.pts, c.method, f.bInWPos, f.bInWOri, f.wInBPos)) << c.what;
    EXPECT_EQ(cap.count("sdk log:User Coordinate Calib: Error Configuration, please re-try!", LL_WARN), 1) << c.what;
  }
  Frame f{};
  EXPECT_FALSE(Ikfunc::api_user_coord_calib(good, 0, nullptr, f.bInWOri, f.wInBPos));
  EXPECT_FALSE(Ikfunc::api_user_coord_calib(nullptr, 0, f.bInWPos, f.bInWOri, f.wInBPos));
  EXPECT_TRUE(Ikfunc::api_user_coord_calib(good, 0, f.bInWPos, f.bInWOri, f.wInBPos));
}

// ---- Tool offset and orientation ----------------------------------------------------

// Flange poses that touch one fixed point with a tool, at varied orientations.
std::vector<Pose_S> touchingPoses(const Pos& tcp, const Pos& tool, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> axis(-1, 1), angle(0.3, 1.0);
  const Ori base = axisAngle(1, 0, 0, M_PI);  // tool pointing down
  std::vector<Pose_S> poses;
  for (int k = 0; k < count; ++k) {
    const Ori q = mul(axisAngle(axis(rng), axis(rng), axis(rng), angle(rng)), base);
    poses.push_back(flangeFor(tcp, q, tool));
  }
  return poses;
}

TEST(ToolCalibration, FourPosesAboutAFixedPointGiveTheOffset) {
  const Pos tool{0, 0, 0.1};
  const Ori tilts[4] = {axisAngle(1, 0, 0, M_PI), axisAngle(1, 0.3, 0, M_PI), axisAngle(1, 0, 0.3, M_PI),
                        axisAngle(1, -0.3, 0.2, M_PI)};
  Pose_S poses[4];
  for (int k = 0; k < 4; ++k) poses[k] = flangeFor(Pos{0.4, 0.1, 0.05}, tilts[k], tool);
  Pose_S result = pose(0, 0, 0);
  ASSERT_TRUE(Ikfunc::api_tool_coord_calib(poses, 4, nullptr, -1, result));
  const double expected[3] = {0, 0, 0.1};
  expectPosNear(result.posU.positionVector, expected, 1e-12, "offset");
  EXPECT_EQ(result.oriU.orientation.w, 1) << "position only: orientation left as it was";
}

TEST(ToolCalibration, RecoversAGeneralOffsetFromManyPoses) {
  const Pos tool{0.021, -0.034, 0.155};
  for (int count : {4, 7, 20}) {
    const std::vector<Pose_S> poses = touchingPoses(Pos{0.35, -0.2, 0.12}, tool, count, 11u + count);
    double offset[3];
    ASSERT_TRUE(Ikfunc::toolCoordinateCalib(poses.data(), count, true, offset, -1, nullptr, nullptr)) << count;
    const double expected[3] = {tool.x, tool.y, tool.z};
    expectPosNear(offset, expected, 1e-12, "offset from " + std::to_string(count) + " poses");
  }
}

TEST(ToolCalibration, RefusesTooFewOrUninformativePosesWithoutWriting) {
  const Pos tool{0, 0, 0.1};
  const std::vector<Pose_S> poses = touchingPoses(Pos{0.3, 0, 0.1}, tool, 4, 3);
  std::vector<Pose_S> sameOrientation(4, poses[0]);
  for (int k = 1; k < 4; ++k) sameOrientation[k].posU.position.x += 0.01 * k;
  std::vector<Pose_S> nonFinite = poses;
  nonFinite[2].posU.position.y = std::numeric_limits<double>::quiet_NaN();
  // Nearly the same orientation: the normal matrix is tiny but still invertible.
  std::vector<Pose_S> nearlySame(4, poses[0]);
  for (int k = 1; k < 4; ++k)
    nearlySame[k].oriU.orientation = mul(axisAngle(k, 1, -k, 0.01), poses[0].oriU.orientation);

  struct Case {
    const Pose_S* poses;
    unsigned count;
    const char* what;
  };
  const Case cases[] = {{poses.data(), 3, "three poses"},
                        {nullptr, 4, "no poses"},
                        {sameOrientation.data(), 4, "one orientation"},
                        {nonFinite.data(), 4, "non-finite pose"}};
  for (const Case& c : cases) {
    Pose_S result = pose(7, 7, 7);
    EXPECT_FALSE(Ikfunc::api_tool_coord_calib(c.poses, c.count, nullptr, -1, result)) << c.what;
    EXPECT_EQ(result.posU.position.x, 7) << c.what;
  }
  double offset[3];
  EXPECT_TRUE(Ikfunc::toolCoordinateCalib(nearlySame.data(), 4, false, offset, -1, nullptr, nullptr));
  EXPECT_FALSE(Ikfunc::toolCoordinateCalib(nearlySame.data(), 4, true, offset, -1, nullptr, nullptr))
      << "the determinant check refuses a badly conditioned set";
}

// Orientation teaching for a tool whose frame is toolOri in the flange frame.
class ToolOrientationCalibration : public ::testing::TestWithParam<int> {
 protected:
  const Pos tool{0.01, 0.02, 0.12};
  const Ori toolOri = axisAngle(0.4, -0.7, 0.2, 1.3);
  std::vector<Pose_S> positions = touchingPoses(Pos{0.3, 0.1, 0.1}, tool, 5, 21);

  // Methods 0 to 2: three TCP points, the second along tool axis m % 3 from the first,
  // the third in the plane of that axis and the next one, at one flange orientation.
  std::vector<Pose_S> pointTeaching(int method, double step) const {
    const Ori flangeOri = axisAngle(0.1, 1, 0.3, 2.0);
    const Ori axesInBase = mul(flangeOri, toolOri);
    const Pos unit[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Pos a = apply(axesInBase, unit[method % 3]), b = apply(axesInBase, unit[(method + 1) % 3]);
    const Pos t0{0.4, 0.05, 0.2};
    const Pos t1{t0.x + step * a.x, t0.y + step * a.y, t0.z + step * a.z};
    const Pos t2{t0.x + 0.5 * step * a.x + step * b.x, t0.y + 0.5 * step * a.y + step * b.y,
                 t0.z + 0.5 * step * a.z + step * b.z};
    return {flangeFor(t0, flangeOri, tool), flangeFor(t1, flangeOri, tool), flangeFor(t2, flangeOri, tool)};
  }

  // Methods 3 to 5: at the first pose tool axis m % 3 points along base -Z, at the
  // second tool axis (m + 1) % 3 does.
  std::vector<Pose_S> downTeaching(int method) const {
    // Rotations taking the X, Y or Z axis onto -Z.
    const Ori toDown[3] = {axisAngle(0, 1, 0, M_PI / 2), axisAngle(1, 0, 0, -M_PI / 2), axisAngle(1, 0, 0, M_PI)};
    const Ori q0 = mul(axisAngle(0, 0, 1, 0.4), mul(toDown[method % 3], conj(toolOri)));
    const Ori q1 = mul(axisAngle(0, 0, 1, -1.1), mul(toDown[(method + 1) % 3], conj(toolOri)));
    return {pose(0.3, 0, 0.3, q0), pose(0.35, 0.1, 0.25, q1)};
  }
};

TEST_P(ToolOrientationCalibration, RecoversTheToolFrame) {
  const int method = GetParam();
  const std::vector<Pose_S> teaching = method <= 2 ? pointTeaching(method, 0.05) : downTeaching(method);
  Pose_S result = pose(0, 0, 0);
  ASSERT_TRUE(Ikfunc::api_tool_coord_calib(positions.data(), static_cast<unsigned>(positions.size()), teaching.data(),
                                           static_cast<char>(method), result));
  const double expected[3] = {tool.x, tool.y, tool.z};
  expectPosNear(result.posU.positionVector, expected, 1e-12, "offset");
  expectSameRotation(result.oriU.orientation, toolOri, 1e-12, "orientation, method " + std::to_string(method));
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, ToolOrientationCalibration, ::testing::Range(0, 6));

TEST_F(ToolOrientationCalibration, RefusesTeachingThatGivesNoDirection) {
  // Teaching points within 1 cm of the first one.
  std::vector<Pose_S> close = pointTeaching(0, 0.009);
  // Both down poses with the same tool axis down: parallel directions.
  std::vector<Pose_S> parallel = downTeaching(3);
  parallel[1] = parallel[0];
  struct Case {
    const std::vector<Pose_S>* teaching;
    char method;
    const char* what;
  };
  const Case cases[] = {{&close, 0, "points within 1 cm"}, {&parallel, 3, "parallel down directions"}};
  for (const Case& c : cases) {
    Pose_S result = pose(7, 7, 7);
    EXPECT_FALSE(Ikfunc::api_tool_coord_calib(positions.data(), static_cast<unsigned>(positions.size()),
                                              c.teaching->data(), c.method, result))
        << c.what;
    EXPECT_EQ(result.posU.position.x, 7) << c.what;
  }
  // 1 cm and more is enough.
  const std::vector<Pose_S> justEnough = pointTeaching(0, 0.0101);
  Pose_S result{};
  EXPECT_TRUE(Ikfunc::api_tool_coord_calib(positions.data(), static_cast<unsigned>(positions.size()), justEnough.data(),
                                           0, result));
}

TEST_F(ToolOrientationCalibration, MethodOutsideTheRangeCalibratesThePositionOnly) {
  const std::vector<Pose_S> teaching = pointTeaching(0, 0.05);
  for (char method : {static_cast<char>(-1), static_cast<char>(6), static_cast<char>(100)}) {
    Pose_S result = pose(0, 0, 0, Ori{0.5, 0.5, 0.5, 0.5});
    ASSERT_TRUE(Ikfunc::api_tool_coord_calib(positions.data(), static_cast<unsigned>(positions.size()), teaching.data(),
                                             method, result));
    EXPECT_NEAR(result.posU.position.z, tool.z, 1e-12);
    EXPECT_EQ(result.oriU.orientation.w, 0.5) << "method " << int(method);
  }
  Pose_S result = pose(0, 0, 0, Ori{0.5, 0.5, 0.5, 0.5});
  ASSERT_TRUE(
      Ikfunc::api_tool_coord_calib(positions.data(), static_cast<unsigned>(positions.size()), nullptr, 0, result));
  EXPECT_EQ(result.oriU.orientation.w, 0.5) << "no teaching poses";
}

}  // namespace
