#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "kinematics/frame_calib_lib.h"
#include "kinematics/ikfunc.h"
#include "log_capture.h"
#include "util/log.h"

namespace {

using ruko_robot_namespace::BaseCoordinate;
using ruko_robot_namespace::EndCoordinate;
using ruko_robot_namespace::WorldCoordinate;

Ori axisAngle(double x, double y, double z, double angle) {
  const double n = std::sqrt(x * x + y * y + z * z);
  const double s = std::sin(angle / 2) / n;
  return Ori{std::cos(angle / 2), x * s, y * s, z * s};
}

Pose_S pose(double x, double y, double z, Ori q = Ori{1, 0, 0, 0}) {
  Pose_S p{};
  p.posU.position = Pos{x, y, z};
  p.oriU.orientation = q;
  return p;
}

wayPoint_S waypointAt(double x, double y, double z) {
  wayPoint_S wp{};
  wp.cartPos.position = Pos{x, y, z};
  wp.orientation = Ori{1, 0, 0, 0};
  return wp;
}

void expectPosNear(const double* actual, const double* expected, double tol, const std::string& what) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tol) << what << " [" << i << "]";
}

// Same rotation (q and -q are the same).
void expectSameRotation(const Ori& a, const Ori& b, double tol, const std::string& what) {
  const double d = std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z);
  EXPECT_NEAR(d, 1.0, tol) << what;
}

// ---- Flange and tool ------------------------------------------------------------------

TEST(FlangeToolConversion, PositionRoundTripAndMissingPointers) {
  const Ori q = axisAngle(1, 2, -0.5, 1.1);
  Pose_S flange = pose(0.3, -0.2, 0.5, q);
  const double tool[3] = {0.01, -0.02, 0.12};
  double tcp[3];
  Ikfunc::endPosition2ToolPosition(flange, tool, tcp);
  double R[9];
  Ikfunc::QuaternionToOriMatrix(q, R);
  const double expected[3] = {0.3 + R[0] * tool[0] + R[1] * tool[1] + R[2] * tool[2],
                              -0.2 + R[3] * tool[0] + R[4] * tool[1] + R[5] * tool[2],
                              0.5 + R[6] * tool[0] + R[7] * tool[1] + R[8] * tool[2]};
  expectPosNear(tcp, expected, 1e-15, "tcp");

  Pose_S atTool = pose(tcp[0], tcp[1], tcp[2], q);
  cartesianPos_U back{};
  Ikfunc::toolPosition2EndPosition(atTool, back, tool);
  expectPosNear(back.positionVector, flange.posU.positionVector, 1e-15, "flange -> tool -> flange");

  // No output array: the pose itself moves to the TCP. No tool: the flange position.
  Pose_S inPlace = flange;
  Ikfunc::endPosition2ToolPosition(inPlace, tool, nullptr);
  expectPosNear(inPlace.posU.positionVector, tcp, 0, "in place");
  double copied[3] = {9, 9, 9};
  Ikfunc::endPosition2ToolPosition(flange, nullptr, copied);
  expectPosNear(copied, flange.posU.positionVector, 0, "no tool");
  Ikfunc::toolPosition2EndPosition(atTool, back, nullptr);
  expectPosNear(back.positionVector, tcp, 0, "no tool, back");
}

TEST(FlangeToolConversion, OrientationRoundTrip) {
  const Ori tool = axisAngle(0, 1, 1, 0.7);
  const Ori flange = axisAngle(-1, 0.3, 2, 2.2);
  Ori tcp{}, back{};
  Ikfunc::endOrientation2ToolOrientation(tool, flange, tcp);
  Ori expected = flange;
  Ikfunc::QuaternionMultply(expected, tool, true);
  EXPECT_DOUBLE_EQ(tcp.w, expected.w);
  EXPECT_DOUBLE_EQ(tcp.z, expected.z);
  Ikfunc::toolOrientation2EndOrientation(tool, tcp, back);
  EXPECT_NEAR(back.w, flange.w, 1e-15);
  EXPECT_NEAR(back.x, flange.x, 1e-15);
  EXPECT_NEAR(back.y, flange.y, 1e-15);
  EXPECT_NEAR(back.z, flange.z, 1e-15);
}

// ---- Poses between frames ------------------------------------------------------------

struct FrameConversionTest : ::testing::Test {
  // Plane points of a user frame rotated 90 deg about Z at (0.2, 0.1, 0): X along base
  // Y, Y along base -X.
  wayPoint_S plane[3] = {waypointAt(0.2, 0.1, 0), waypointAt(0.2, 0.3, 0), waypointAt(0.1, 0.1, 0)};
  Pose_S planePoses[3];
  void SetUp() override { Ikfunc::waypoint2Pose(planePoses, plane, 3); }
};

TEST_F(FrameConversionTest, ToolOnAFlangeInTheBaseFrame) {
  const double tool[3] = {0, 0, 0.1};
  const Ori toolOri{1, 0, 0, 0};
  Pose_S out{};
  ASSERT_TRUE(Ikfunc::coordinateTransform(out, pose(0.3, 0, 0.5), tool, &toolOri, BaseCoordinate, nullptr, 0));
  const double expected[3] = {0.3, 0, 0.6};
  expectPosNear(out.posU.positionVector, expected, 1e-15, "tcp");
}

TEST_F(FrameConversionTest, PoseInAUserFrameAndBack) {
  const Ori flangeOri = axisAngle(0.2, 1, -0.4, 0.8);
  const Pose_S flange = pose(0.45, -0.05, 0.3, flangeOri);
  const double tool[3] = {0.02, 0.01, 0.15};
  const Ori toolOri = axisAngle(1, 0, 0, 0.25);
  Pose_S inUser{};
  ASSERT_TRUE(Ikfunc::coordinateTransform(inUser, flange, tool, &toolOri, WorldCoordinate, plane, 0));

  // Independently: TCP in base, then x_user = (base y - 0.1, 0.2 - base x, z).
  Pose_S tcp = flange;
  Ikfunc::endPosition2ToolPosition(tcp, tool, nullptr);
  const double* b = tcp.posU.positionVector;
  const double expected[3] = {b[1] - 0.1, 0.2 - b[0], b[2]};
  expectPosNear(inUser.posU.positionVector, expected, 1e-15, "position in the user frame");
  Ori tcpOri = flangeOri;
  Ikfunc::QuaternionMultply(tcpOri, toolOri, true);
  Ori expectedOri = axisAngle(0, 0, 1, -M_PI / 2);
  Ikfunc::QuaternionMultply(expectedOri, tcpOri, true);
  expectSameRotation(inUser.oriU.orientation, expectedOri, 1e-14, "orientation in the user frame");

  // And back to the flange in the base frame.
  Ori toolOriCopy = toolOri;
  Pose_S flangeAgain{};
  ASSERT_TRUE(Ikfunc::robotCoordConvert(flangeAgain, inUser, planePoses, 0, tool, &toolOriCopy, BaseCoordinate,
                                        WorldCoordinate));
  expectPosNear(flangeAgain.posU.positionVector, flange.posU.positionVector, 1e-12, "base -> user -> base");
  expectSameRotation(flangeAgain.oriU.orientation, flangeOri, 1e-12, "orientation base -> user -> base");
  // The tool orientation handed in comes back conjugated.
  EXPECT_EQ(toolOriCopy.w, toolOri.w);
  EXPECT_EQ(toolOriCopy.x, -toolOri.x);

  // The base-to-user direction of robotCoordConvert agrees with coordinateTransform
  // when no tool is involved.
  Pose_S direct{}, viaConvert{};
  ASSERT_TRUE(Ikfunc::coordinateTransform(direct, flange, nullptr, nullptr, WorldCoordinate, plane, 0));
  ASSERT_TRUE(
      Ikfunc::robotCoordConvert(viaConvert, flange, planePoses, 0, nullptr, nullptr, WorldCoordinate, BaseCoordinate));
  expectPosNear(viaConvert.posU.positionVector, direct.posU.positionVector, 1e-15, "base -> user");
}

TEST_F(FrameConversionTest, RobotCoordConvertNormalisesAndRefusesWhatItCannotConvert) {
  const double tool[3] = {0, 0, 0.1};
  Ori toolOri{1, 0, 0, 0};
  Pose_S out = pose(7, 7, 7);
  // A scaled quaternion is normalised first.
  ASSERT_TRUE(Ikfunc::robotCoordConvert(out, pose(0.3, 0, 0.6, Ori{2, 0, 0, 0}), nullptr, 0, tool, &toolOri,
                                        BaseCoordinate, BaseCoordinate));
  const double flange[3] = {0.3, 0, 0.5};
  expectPosNear(out.posU.positionVector, flange, 1e-15, "flange");
  EXPECT_DOUBLE_EQ(out.oriU.orientation.w, 1);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  ruko::test::LogCapture quiet;
  struct Case {
    Pose_S source;
    const Pose_S* plane;
    char method;
    ruko_robot_namespace::coordinate_refer target, source_frame;
    const char* what;
  };
  const Case cases[] = {
      {pose(0.3, 0, 0.6, Ori{0, 0, 0, 0}), nullptr, 0, BaseCoordinate, BaseCoordinate, "zero quaternion"},
      {pose(nan, 0, 0.6), nullptr, 0, BaseCoordinate, BaseCoordinate, "non-finite position"},
      {pose(0.3, 0, 0.6), planePoses, 0, BaseCoordinate, EndCoordinate, "end frame"},
      {pose(0.3, 0, 0.6), nullptr, 0, BaseCoordinate, WorldCoordinate, "no plane"},
      {pose(0.3, 0, 0.6), planePoses, 9, BaseCoordinate, WorldCoordinate, "method 9"},
  };
  for (const Case& c : cases) {
    Pose_S untouched = pose(7, 7, 7);
    EXPECT_FALSE(
        Ikfunc::robotCoordConvert(untouched, c.source, c.plane, c.method, nullptr, nullptr, c.target, c.source_frame))
        << c.what;
    EXPECT_EQ(untouched.posU.position.x, 7) << c.what;
  }
}

TEST_F(FrameConversionTest, CoordinateTransformRefusesAnUnbuildableFrame) {
  const wayPoint_S collinear[3] = {waypointAt(0.2, 0.1, 0), waypointAt(0.3, 0.1, 0), waypointAt(0.4, 0.1, 0)};
  struct Case {
    const wayPoint_S* plane;
    char method;
    const char* what;
  };
  const Case cases[] = {
      {nullptr, 0, "no plane"}, {plane, 9, "method 9"}, {plane, -1, "method -1"}, {collinear, 3, "collinear points"}};
  ruko::test::LogCapture quiet;
  for (const Case& c : cases) {
    Pose_S out = pose(7, 7, 7);
    EXPECT_FALSE(
        Ikfunc::coordinateTransform(out, pose(0.3, 0, 0.5), nullptr, nullptr, WorldCoordinate, c.plane, c.method))
        << c.what;
    EXPECT_EQ(out.posU.position.x, 7) << c.what;
  }
}

TEST_F(FrameConversionTest, WaypointDisplayPicksTheFrame) {
  const double tool[3] = {0.01, 0.02, 0.1};
  const Ori toolOri = axisAngle(0, 0, 1, 0.5);
  const Pose_S flange = pose(0.3, 0, 0.5);
  Pose_S out{};
  ASSERT_TRUE(Ikfunc::waypointDisplay(out, flange, EndCoordinate, tool, &toolOri, nullptr, 0));
  expectPosNear(out.posU.positionVector, tool, 0, "end frame shows the tool");
  EXPECT_EQ(out.oriU.orientation.z, toolOri.z);

  ASSERT_TRUE(Ikfunc::waypointDisplay(out, flange, BaseCoordinate, nullptr, nullptr, nullptr, 0));
  expectPosNear(out.posU.positionVector, flange.posU.positionVector, 0, "base frame without a tool");

  ASSERT_TRUE(Ikfunc::waypointDisplay(out, flange, BaseCoordinate, tool, &toolOri, nullptr, 0));
  const double tcp[3] = {0.31, 0.02, 0.6};
  expectPosNear(out.posU.positionVector, tcp, 1e-15, "base frame with a tool");

  ASSERT_TRUE(Ikfunc::waypointDisplay(out, flange, WorldCoordinate, nullptr, nullptr, plane, 0));
  const double inUser[3] = {-0.1, -0.1, 0.5};
  expectPosNear(out.posU.positionVector, inUser, 1e-15, "user frame");
}

}  // namespace
