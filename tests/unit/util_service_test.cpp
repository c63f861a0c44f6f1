#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "log_capture.h"
#include "util/internalmatetype.h"
#include "util/log.h"

namespace {

namespace rn = ruko_robot_namespace;
using RUS = RobotUtilService;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kHalfSqrt2 = std::sqrt(0.5);

// ---- Rigid-transform arithmetic of the test's own ---------------------------------------

rn::Ori mul(const rn::Ori& a, const rn::Ori& b) {
  return rn::Ori{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                 a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

rn::Ori conj(const rn::Ori& q) {
  return rn::Ori{q.w, -q.x, -q.y, -q.z};
}

rn::Ori axisAngle(double x, double y, double z, double angle) {
  const double n = std::sqrt(x * x + y * y + z * z);
  const double s = std::sin(angle / 2) / n;
  return rn::Ori{std::cos(angle / 2), x * s, y * s, z * s};
}

rn::Pos apply(const rn::Ori& q, const rn::Pos& v) {
  const rn::Ori r = mul(mul(q, rn::Ori{0, v.x, v.y, v.z}), conj(q));
  return rn::Pos{r.x, r.y, r.z};
}

rn::Pos add(const rn::Pos& a, const rn::Pos& b) {
  return rn::Pos{a.x + b.x, a.y + b.y, a.z + b.z};
}

rn::Pos sub(const rn::Pos& a, const rn::Pos& b) {
  return rn::Pos{a.x - b.x, a.y - b.y, a.z - b.z};
}

struct Rigid {
  rn::Ori q;
  rn::Pos p;
  rn::Pos operator()(const rn::Pos& x) const { return add(apply(q, x), p); }
};

Rigid inverse(const Rigid& t) {
  const rn::Ori qi = conj(t.q);
  const rn::Pos p = apply(qi, t.p);
  return Rigid{qi, rn::Pos{-p.x, -p.y, -p.z}};
}

void expectPosNear(const rn::Pos& a, const rn::Pos& b, double tol, const std::string& what) {
  EXPECT_NEAR(a.x, b.x, tol) << what;
  EXPECT_NEAR(a.y, b.y, tol) << what;
  EXPECT_NEAR(a.z, b.z, tol) << what;
}

void expectSameRotation(const rn::Ori& a, const rn::Ori& b, double tol, const std::string& what) {
  const double na = std::sqrt(a.w * a.w + a.x * a.x + a.y * a.y + a.z * a.z);
  const double nb = std::sqrt(b.w * b.w + b.x * b.x + b.y * b.y + b.z * b.z);
  EXPECT_NEAR(std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z) / (na * nb), 1.0, tol) << what;
}

void expectJointsNear(const double* a, const double* b, double tol, const std::string& what) {
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(a[j], b[j], tol) << what << " joint " << j + 1;
}

rn::ToolInEndDesc toolOf(rn::Pos p, rn::Ori q = rn::Ori{1, 0, 0, 0}) {
  return rn::ToolInEndDesc{p, q};
}

const rn::ToolInEndDesc kNoneTool = toolOf(rn::Pos{0, 0, 0});

// Every test starts on the default model with no joint range and leaves it so.
class UtilServiceTest : public ::testing::Test {
 protected:
  ruko::ScopedKinematicParamsRestore params_;
  ruko::ScopedJointRangeRestore range_;

  // A comfortable configuration of the default model and its flange pose.
  const double home_[6] = {0.2, -0.4, 1.3, 0.3, 1.2, -0.5};
  rn::wayPoint_S homeWp_{};
  void SetUp() override { ASSERT_EQ(RUS::robotFk(home_, 6, homeWp_), 0); }

  // A user frame whose three points are TCP positions (of `tool`, at the home
  // orientation) offset from the home TCP by `offsets`, taught through inverse
  // kinematics.
  rn::CoordCalibrateByJointAngleAndTool frameThrough(const rn::Pos offsets[3], const rn::ToolInEndDesc& tool,
                                                     rn::CoordCalibrateMathod method,
                                                     rn::coordinate_refer type = rn::WorldCoordinate) {
    rn::CoordCalibrateByJointAngleAndTool frame{};
    frame.coordType = type;
    frame.methods = method;
    frame.toolDesc = tool;
    const rn::Pos tcp0 = homeTcp(tool);
    for (int i = 0; i < 3; ++i) {
      rn::wayPoint_S wp{};
      EXPECT_EQ(RUS::robotServiceIkBasedOnTcp(home_, add(tcp0, offsets[i]), homeWp_.orientation, tool, wp), 0);
      for (int j = 0; j < 6; ++j) frame.wayPointArray[i].jointPos[j] = wp.jointpos[j];
    }
    return frame;
  }

  rn::Pos homeTcp(const rn::ToolInEndDesc& tool) const {
    return add(homeWp_.cartPos.position, apply(homeWp_.orientation, tool.toolInEndPosition));
  }
};

// ---- Forward and inverse kinematics -------------------------------------------------

TEST_F(UtilServiceTest, RobotFkAtZeroAnglesAndWrongSize) {
  const double zero[6] = {0, 0, 0, 0, 0, 0};
  rn::wayPoint_S wp{};
  ASSERT_EQ(RUS::robotFk(zero, 6, wp), 0);
  expectPosNear(wp.cartPos.position, rn::Pos{0, -0.2155, 0.985}, 1e-12, "position");
  EXPECT_NEAR(wp.orientation.w, kHalfSqrt2, 1e-12);
  EXPECT_NEAR(wp.orientation.x, kHalfSqrt2, 1e-12);
  EXPECT_NEAR(wp.orientation.y, 0, 1e-12);
  EXPECT_NEAR(wp.orientation.z, 0, 1e-12);

  rn::wayPoint_S untouched{};
  untouched.cartPos.position.x = 7;
  EXPECT_EQ(RUS::robotFk(home_, 5, untouched), rn::ErrCode_ParamError);
  EXPECT_EQ(untouched.cartPos.position.x, 7);
}

TEST_F(UtilServiceTest, RobotFkOnAModelOutsideTheAnalyticSetGivesZeros) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m17));
  rn::wayPoint_S wp{};
  ASSERT_EQ(RUS::robotFk(home_, 6, wp), 0);
  expectPosNear(wp.cartPos.position, rn::Pos{0, 0, 0}, 0, "position");
  EXPECT_EQ(wp.orientation.w, 0);
  expectJointsNear(wp.jointpos, home_, 0, "angles");
}

TEST_F(UtilServiceTest, RobotIkReturnsTheReferenceConfigurationAndKeepsTheRequestedPose) {
  rn::wayPoint_S wp{};
  ASSERT_EQ(RUS::robotIk(home_, homeWp_.cartPos.position, homeWp_.orientation, wp), 0);
  expectJointsNear(wp.jointpos, home_, 1e-9, "solution");
  EXPECT_EQ(wp.cartPos.position.x, homeWp_.cartPos.position.x);
  EXPECT_EQ(wp.orientation.w, homeWp_.orientation.w);
}

TEST_F(UtilServiceTest, RobotIkOutOfReachFailsAndLeavesTheOutput) {
  ruko::test::LogCapture cap;
  rn::wayPoint_S wp{};
  wp.jointpos[0] = 7;
  EXPECT_EQ(RUS::robotIk(home_, rn::Pos{3, 0, 0}, homeWp_.orientation, wp), rn::ErrCode_IkFailed);
  EXPECT_EQ(wp.jointpos[0], 7);
  EXPECT_EQ(cap.count("sdk log: call robotIk error.", LL_ERROR), 1);
  // A zero quaternion names no orientation: no solution either.
  EXPECT_EQ(RUS::robotIk(home_, homeWp_.cartPos.position, rn::Ori{0, 0, 0, 0}, wp), rn::ErrCode_IkFailed);
  EXPECT_EQ(wp.jointpos[0], 7);
}

TEST_F(UtilServiceTest, RobotIkAllSolutionsEachReachThePose) {
  std::vector<rn::wayPoint_S> all(3);
  ASSERT_EQ(RUS::robotIk(homeWp_.cartPos.position, homeWp_.orientation, all), 0);
  ASSERT_GE(all.size(), 2u);
  bool foundHome = false;
  for (const rn::wayPoint_S& wp : all) {
    expectPosNear(wp.cartPos.position, homeWp_.cartPos.position, 1e-9, "solution position");
    expectSameRotation(wp.orientation, homeWp_.orientation, 1e-9, "solution orientation");
    double d = 0;
    for (int j = 0; j < 6; ++j) d += std::fabs(wp.jointpos[j] - home_[j]);
    foundHome = foundHome || d < 1e-9;
  }
  EXPECT_TRUE(foundHome);

  // None for a pose out of reach: success with an emptied vector.
  EXPECT_EQ(RUS::robotIk(rn::Pos{3, 0, 0}, homeWp_.orientation, all), 0);
  EXPECT_TRUE(all.empty());
}

TEST_F(UtilServiceTest, IkBasedOnTcpMatchesPlainIkForTheNoneToolAndHonoursATool) {
  rn::wayPoint_S plain{}, viaTcp{};
  ASSERT_EQ(RUS::robotIk(home_, homeWp_.cartPos.position, homeWp_.orientation, plain), 0);
  ASSERT_EQ(RUS::robotServiceIkBasedOnTcp(home_, homeWp_.cartPos.position, homeWp_.orientation, kNoneTool, viaTcp), 0);
  expectJointsNear(viaTcp.jointpos, plain.jointpos, 0, "none tool");

  const rn::ToolInEndDesc tool = toolOf(rn::Pos{0.01, -0.02, 0.13}, axisAngle(0, 0, 1, 0.3));
  const rn::Pos tcp = homeTcp(tool);
  const rn::Ori tcpOri = mul(homeWp_.orientation, tool.toolInEndOrientation);
  rn::wayPoint_S flange{};
  ASSERT_EQ(RUS::robotServiceIkBasedOnTcp(home_, tcp, tcpOri, tool, flange), 0);
  expectJointsNear(flange.jointpos, home_, 1e-9, "with a tool");

  // The roll-pitch-yaw form goes through RPYToQuaternion.
  rn::Rpy rpy{};
  RUS::quaternionToRPY(tcpOri, rpy);
  rn::Ori viaRpy{};
  RUS::RPYToQuaternion(rpy, viaRpy);
  rn::wayPoint_S fromRpy{}, fromQuaternion{};
  ASSERT_EQ(RUS::robotServiceIkBasedOnTcp(home_, tcp, rpy, tool, fromRpy), 0);
  ASSERT_EQ(RUS::robotServiceIkBasedOnTcp(home_, tcp, viaRpy, tool, fromQuaternion), 0);
  expectJointsNear(fromRpy.jointpos, fromQuaternion.jointpos, 0, "rpy form");
  expectJointsNear(fromRpy.jointpos, home_, 1e-5, "rpy form, single-precision angles");

  ruko::test::LogCapture cap;
  rn::wayPoint_S untouched{};
  EXPECT_EQ(RUS::robotServiceIkBasedOnTcp(home_, tcp, rn::Ori{0, 0, 0, 0}, tool, untouched),
            rn::ErrCode_UserToBaseConvertFailed);
  EXPECT_EQ(RUS::robotServiceIkBasedOnTcp(home_, rn::Pos{3, 0, 0}, tcpOri, tool, untouched), rn::ErrCode_IkFailed);
  EXPECT_EQ(untouched.jointpos[0], 0);
}

TEST(UtilServiceRecords, IsNoneTool) {
  struct Case {
    rn::ToolInEndDesc tool;
    bool none;
  };
  const Case cases[] = {
      {toolOf(rn::Pos{0, 0, 0}), true},
      {toolOf(rn::Pos{9e-6, -9e-6, 0}, rn::Ori{1 - 9e-6, 9e-6, 0, -9e-6}), true},
      {toolOf(rn::Pos{0, 0, 0.00001}), false},
      {toolOf(rn::Pos{0, 0, 0}, rn::Ori{1, 0, 0, 2e-5}), false},
      {toolOf(rn::Pos{0, 0, 0}, rn::Ori{-1, 0, 0, 0}), false},
      {toolOf(rn::Pos{kNaN, 0, 0}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RUS::isNoneTool(c.tool), c.none)
        << c.tool.toolInEndPosition.x << "," << c.tool.toolInEndPosition.z << " q.w=" << c.tool.toolInEndOrientation.w;
  }
}

TEST_F(UtilServiceTest, JointStringToWaypointReadsWellFormedAndMalformedText) {
  struct Case {
    const char* text;
    double joints[6];
  };
  const Case cases[] = {
      {"0.1,0.2,0.3,0.4,0.5,0.6", {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}},
      {" 0.1 , -0.2 ,0.3,0.4,0.5,0.6,9,9", {0.1, -0.2, 0.3, 0.4, 0.5, 0.6}},
      {"1,2,3", {1, 2, 3, 0, 0, 0}},
      // A blank is no separator: the separator read takes the next number's first digit.
      {"1 2 3", {1, 3, 0, 0, 0, 0}},
      {"1;22;3", {1, 22, 3, 0, 0, 0}},
      {"", {0, 0, 0, 0, 0, 0}},
      {"abc", {0, 0, 0, 0, 0, 0}},
      {"1,x,3", {1, 0, 0, 0, 0, 0}},
      {"nan,1,2", {0, 0, 0, 0, 0, 0}},
      {"0.5,1e999,2", {0.5, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    rn::wayPoint_S wp{};
    wp.cartPos.position.x = 99;
    EXPECT_TRUE(RUS::jointStringToWaypoint(c.text, wp)) << c.text;
    expectJointsNear(wp.jointpos, c.joints, 0, c.text);
    rn::wayPoint_S fk{};
    ASSERT_EQ(RUS::robotFk(c.joints, 6, fk), 0);
    expectPosNear(wp.cartPos.position, fk.cartPos.position, 0, c.text);
    EXPECT_EQ(wp.orientation.w, fk.orientation.w) << c.text;
  }
}

TEST_F(UtilServiceTest, InitialisersWriteEveryField) {
  rn::Pos p{kNaN, kNaN, kNaN};
  RUS::initPosDataType(p);
  expectPosNear(p, rn::Pos{0, 0, 0}, 0, "pos");

  rn::MoveRelative mr{true, {1, 2, 3}, {kNaN, kNaN, kNaN, kNaN}};
  RUS::initMoveRelativeDataType(mr);
  EXPECT_FALSE(mr.ena);
  EXPECT_EQ(mr.relativePosition[0] + mr.relativePosition[1] + mr.relativePosition[2], 0);
  EXPECT_EQ(mr.relativeOri.w, 1);
  EXPECT_EQ(mr.relativeOri.x + mr.relativeOri.y + mr.relativeOri.z, 0);

  rn::wayPoint_S wp{};
  for (double& j : wp.jointpos) j = kNaN;
  RUS::initWayPointDataType(wp);
  const double zero[6] = {0, 0, 0, 0, 0, 0};
  expectJointsNear(wp.jointpos, zero, 0, "waypoint");
  expectPosNear(wp.cartPos.position, rn::Pos{0, -0.2155, 0.985}, 1e-12, "waypoint position");

  rn::CoordCalibrateByJointAngleAndTool coord{};
  coord.coordType = rn::WorldCoordinate;
  coord.methods = rn::Origin_AnyPointOnPositiveZAxis_AnyPointOnFirstQuadrantOfZOYPlane;
  coord.wayPointArray[2].jointPos[5] = kNaN;
  coord.toolDesc = toolOf(rn::Pos{1, 1, 1}, rn::Ori{0, 1, 0, 0});
  RUS::initCoordCalibrateByJointAngleAndToolDataType(coord);
  EXPECT_EQ(coord.coordType, rn::BaseCoordinate);
  EXPECT_EQ(coord.methods, 0);
  EXPECT_EQ(coord.wayPointArray[2].jointPos[5], 0);
  EXPECT_TRUE(RUS::isNoneTool(coord.toolDesc));

  rn::ToolDynamicsParam dyn{1, 2, 3, 4, {5, 6, 7, 8, 9, 10}};
  RUS::initToolDynamicsParamDataType(dyn);
  EXPECT_EQ(dyn.positionX + dyn.positionY + dyn.positionZ + dyn.payload, 0);
  EXPECT_EQ(dyn.toolInertia.xx + dyn.toolInertia.xy + dyn.toolInertia.xz + dyn.toolInertia.yy + dyn.toolInertia.yz +
                dyn.toolInertia.zz,
            0);
}

// ---- Frame conversions ------------------------------------------------------------------

TEST_F(UtilServiceTest, BaseToBaseAdditionalTool) {
  rn::wayPoint_S flange{};
  flange.cartPos.position = rn::Pos{0.3, 0, 0.5};
  flange.orientation = rn::Ori{1, 0, 0, 0};
  flange.jointpos[3] = 0.7;
  rn::wayPoint_S tcp{};
  ASSERT_EQ(RUS::base2BaseAdditionalTool(flange, toolOf(rn::Pos{0, 0, 0.1}), tcp), 0);
  expectPosNear(tcp.cartPos.position, rn::Pos{0.3, 0, 0.6}, 1e-15, "tool (0, 0, 0.1)");
  EXPECT_EQ(tcp.jointpos[3], 0.7);

  rn::Pos p{};
  rn::Ori q{};
  ASSERT_EQ(RUS::base2BaseAdditionalTool(homeWp_.cartPos.position, homeWp_.orientation, kNoneTool, p, q), 0);
  expectPosNear(p, homeWp_.cartPos.position, 0, "none tool");
  EXPECT_EQ(q.x, homeWp_.orientation.x);
}

TEST_F(UtilServiceTest, CoordCalibrateTypeConvertTurnsTaughtJointsIntoTcpPoses) {
  const rn::Pos offsets[3] = {{0, 0, 0}, {0.06, 0, 0}, {0, 0.05, 0}};
  const rn::ToolInEndDesc tool = toolOf(rn::Pos{0, 0.01, 0.1}, axisAngle(0, 1, 0, 0.3));
  auto frame = frameThrough(offsets, tool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane);

  // A user frame: each taught configuration becomes the TCP pose of the frame's tool.
  CoordCalibrateByToolEndPoint target{};
  ASSERT_EQ(RUS::CoordCalibrateTypeConvert(frame, target), 0);
  EXPECT_EQ(target.coordType, rn::WorldCoordinate);
  EXPECT_EQ(target.methods, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane);
  for (int i = 0; i < 3; ++i) {
    rn::wayPoint_S flange{};
    ASSERT_EQ(RUS::robotFk(frame.wayPointArray[i].jointPos, 6, flange), 0);
    const std::string what = "point " + std::to_string(i);
    expectPosNear(target.wayPointArray[i].cartPos.position, add(homeTcp(tool), offsets[i]), 1e-9, what);
    expectSameRotation(target.wayPointArray[i].orientation, mul(flange.orientation, tool.toolInEndOrientation), 1e-12,
                       what);
    expectJointsNear(target.wayPointArray[i].jointpos, frame.wayPointArray[i].jointPos, 0, what);
  }

  // A base frame has no points to convert: only its kind and method are copied, the
  // target's points stay as they were.
  frame.coordType = rn::BaseCoordinate;
  frame.methods = rn::Origin_AnyPointOnPositiveZAxis_AnyPointOnPositiveXAxis;
  const CoordCalibrateByToolEndPoint before = target;
  ASSERT_EQ(RUS::CoordCalibrateTypeConvert(frame, target), 0);
  EXPECT_EQ(target.coordType, rn::BaseCoordinate);
  EXPECT_EQ(target.methods, rn::Origin_AnyPointOnPositiveZAxis_AnyPointOnPositiveXAxis);
  for (int i = 0; i < 3; ++i) {
    expectPosNear(target.wayPointArray[i].cartPos.position, before.wayPointArray[i].cartPos.position, 0,
                  "base frame keeps point " + std::to_string(i));
    expectJointsNear(target.wayPointArray[i].jointpos, before.wayPointArray[i].jointpos, 0, "base frame joints");
  }
}

TEST_F(UtilServiceTest, BaseToUserAndBackForEveryMethod) {
  // Perpendicular taught directions, so every method gives an orthonormal frame.
  const rn::Pos offsets[3] = {{0, 0, 0}, {0.06, 0, 0}, {0, 0.05, 0}};
  const rn::ToolInEndDesc frameTool = toolOf(rn::Pos{0, 0.01, 0.1});
  const rn::ToolInEndDesc workTool = toolOf(rn::Pos{0.02, 0, 0.15}, axisAngle(1, 1, 0, 0.4));
  const rn::Pos flangePos = add(homeWp_.cartPos.position, rn::Pos{0.02, -0.03, 0.01});
  const rn::Ori flangeOri = mul(axisAngle(0.3, 0.2, 1, 0.2), homeWp_.orientation);
  for (int m = 0; m <= 8; ++m) {
    const auto frame = frameThrough(offsets, frameTool, static_cast<rn::CoordCalibrateMathod>(m));
    rn::Pos userPos{};
    rn::Ori userOri{};
    ASSERT_EQ(RUS::base2UserCoordinate(flangePos, flangeOri, frame, workTool, userPos, userOri), 0) << m;
    rn::Pos back{};
    rn::Ori backOri{};
    ASSERT_EQ(RUS::user2BaseCoordinate(userPos, userOri, frame, workTool, back, backOri), 0) << m;
    expectPosNear(back, flangePos, 1e-12, "round trip, method " + std::to_string(m));
    expectSameRotation(backOri, flangeOri, 1e-12, "round trip, method " + std::to_string(m));
  }

  // Method 0 with these points is the base frame moved to the first point.
  const auto frame = frameThrough(offsets, frameTool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnPositiveYAxis);
  rn::Pos userPos{};
  rn::Ori userOri{};
  ASSERT_EQ(RUS::base2UserCoordinate(flangePos, flangeOri, frame, workTool, userPos, userOri), 0);
  const rn::Pos tcp = add(flangePos, apply(flangeOri, workTool.toolInEndPosition));
  expectPosNear(userPos, sub(tcp, homeTcp(frameTool)), 1e-9, "position in a translated frame");
  expectSameRotation(userOri, mul(flangeOri, workTool.toolInEndOrientation), 1e-9, "orientation");

  // A base frame: the TCP pose in base coordinates, and back.
  rn::CoordCalibrateByJointAngleAndTool base{};
  RUS::initCoordCalibrateByJointAngleAndToolDataType(base);
  ASSERT_EQ(RUS::base2UserCoordinate(flangePos, flangeOri, base, workTool, userPos, userOri), 0);
  expectPosNear(userPos, tcp, 1e-15, "base frame");
  rn::Pos back{};
  rn::Ori backOri{};
  ASSERT_EQ(RUS::user2BaseCoordinate(userPos, userOri, base, workTool, back, backOri), 0);
  expectPosNear(back, flangePos, 1e-15, "base frame round trip");
}

TEST_F(UtilServiceTest, EndFramesAndUnusableInputs) {
  rn::CoordCalibrateByJointAngleAndTool end{};
  RUS::initCoordCalibrateByJointAngleAndToolDataType(end);
  end.coordType = rn::EndCoordinate;
  const rn::ToolInEndDesc tool = toolOf(rn::Pos{0.01, 0.02, 0.1}, axisAngle(0, 0, 1, 0.5));
  rn::Pos p{};
  rn::Ori q{};
  ASSERT_EQ(RUS::base2UserCoordinate(homeWp_.cartPos.position, homeWp_.orientation, end, tool, p, q), 0);
  expectPosNear(p, tool.toolInEndPosition, 0, "end frame, none tool: the tool");
  EXPECT_EQ(q.z, tool.toolInEndOrientation.z);
  end.toolDesc = tool;
  ASSERT_EQ(RUS::base2UserCoordinate(homeWp_.cartPos.position, homeWp_.orientation, end, tool, p, q), 0);
  expectPosNear(p, rn::Pos{0, 0, 0}, 0, "end frame with a tool: identity");
  EXPECT_EQ(q.w, 1);

  ruko::test::LogCapture cap;
  rn::Pos untouched{7, 7, 7};
  EXPECT_EQ(RUS::user2BaseCoordinate(p, q, end, tool, untouched, q), rn::ErrCode_ParamError);
  EXPECT_EQ(cap.count("sdk log: user2BaseCoordinate() Does not support end coordinate systems.", LL_ERROR), 1);

  rn::CoordCalibrateByJointAngleAndTool base{};
  RUS::initCoordCalibrateByJointAngleAndToolDataType(base);
  EXPECT_EQ(RUS::user2BaseCoordinate(p, rn::Ori{0, 0, 0, 0}, base, tool, untouched, q),
            rn::ErrCode_UserToBaseConvertFailed);

  const rn::Pos offsets[3] = {{0, 0, 0}, {0.06, 0, 0}, {0, 0.05, 0}};
  auto badMethod = frameThrough(offsets, kNoneTool, rn::CoordTypeCount);
  EXPECT_EQ(RUS::base2UserCoordinate(homeWp_.cartPos.position, homeWp_.orientation, badMethod, tool, untouched, q),
            rn::ErrCode_BaseToUserConvertFailed);
  EXPECT_EQ(RUS::user2BaseCoordinate(p, rn::Ori{1, 0, 0, 0}, badMethod, tool, untouched, q),
            rn::ErrCode_UserToBaseConvertFailed);
  badMethod.methods = static_cast<rn::CoordCalibrateMathod>(256);  // would wrap to 0 as a byte
  EXPECT_EQ(RUS::user2BaseCoordinate(p, rn::Ori{1, 0, 0, 0}, badMethod, tool, untouched, q),
            rn::ErrCode_UserToBaseConvertFailed);
  expectPosNear(untouched, rn::Pos{7, 7, 7}, 0, "outputs untouched");
}

TEST_F(UtilServiceTest, DegenerateUserFramesAreRefusedWithOneErrorLine) {
  const rn::Pos collinear[3] = {{0, 0, 0}, {0.05, 0.02, 0}, {0.1, 0.04, 0}};
  const rn::Pos coincident[3] = {{0, 0, 0}, {0, 0, 0}, {0.05, 0, 0}};
  const rn::Pos allSame[3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
  for (const rn::Pos* points : {collinear, coincident, allSame}) {
    const auto frame =
        frameThrough(points, kNoneTool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane);
    rn::Pos p{7, 7, 7};
    rn::Ori q{7, 7, 7, 7};
    {
      ruko::test::LogCapture cap;
      EXPECT_EQ(RUS::base2UserCoordinate(homeWp_.cartPos.position, homeWp_.orientation, frame, kNoneTool, p, q),
                rn::ErrCode_BaseToUserConvertFailed);
      EXPECT_EQ(cap.count("", LL_ERROR), 1);
      EXPECT_EQ(cap.count("coincident or collinear", LL_ERROR), 1);
    }
    {
      ruko::test::LogCapture cap;
      EXPECT_EQ(RUS::user2BaseCoordinate(rn::Pos{0.1, 0, 0}, rn::Ori{1, 0, 0, 0}, frame, kNoneTool, p, q),
                rn::ErrCode_UserToBaseConvertFailed);
      EXPECT_EQ(cap.count("", LL_ERROR), 1);
    }
    expectPosNear(p, rn::Pos{7, 7, 7}, 0, "outputs untouched");
    EXPECT_EQ(q.w, 7);
    ruko::test::LogCapture quiet;
    EXPECT_FALSE(RUS::relativeMoveAndRot(homeWp_, frame, kNoneTool, rn::Pos{0.01, 0, 0}, rn::Ori{1, 0, 0, 0}, p, q));
    EXPECT_EQ(p.x, 7);
  }
}

TEST_F(UtilServiceTest, NonFiniteInputsFailWithTheirCodes) {
  const rn::Pos offsets[3] = {{0, 0, 0}, {0.06, 0, 0}, {0, 0.05, 0}};
  const auto world = frameThrough(offsets, kNoneTool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnPositiveYAxis);
  auto nanJoints = world;
  nanJoints.wayPointArray[1].jointPos[2] = kNaN;
  auto nanFrameTool = world;
  nanFrameTool.toolDesc.toolInEndPosition.y = kInf;
  rn::CoordCalibrateByJointAngleAndTool base{};
  RUS::initCoordCalibrateByJointAngleAndToolDataType(base);
  const rn::Pos pos = homeWp_.cartPos.position;
  const rn::Ori ori = homeWp_.orientation;
  const rn::Pos nanPos{0.3, kNaN, 0.2};
  const rn::Ori nanOri{kNaN, 0, 0, 0};
  const rn::ToolInEndDesc nanTool = toolOf(rn::Pos{0, 0, kInf});
  const double nanJointArray[6] = {0, kNaN, 0, 0, 0, 0};
  const double nanVector[3] = {0, kInf, 0};

  rn::Pos p{7, 7, 7};
  rn::Ori q{7, 7, 7, 7};
  rn::wayPoint_S wp{};
  wp.jointpos[0] = 7;
  std::vector<rn::wayPoint_S> all(2);
  double out[3] = {7, 7, 7};
  rn::wayPoint_S nanFlange = homeWp_;
  nanFlange.cartPos.position.x = kNaN;

  struct Case {
    const char* what;
    int code;
    std::vector<std::string> lines;  // every line written, all at LL_ERROR
    std::function<int()> call;
  };
  const std::vector<Case> cases = {
      {"robotFk",
       rn::ErrCode_ParamError,
       {"sdk log: robotFk joint angles missing or not finite."},
       [&] { return RUS::robotFk(nanJointArray, 6, wp); }},
      {"robotIk reference",
       rn::ErrCode_ParamError,
       {"sdk log: robotIk reference angles missing or pose not finite."},
       [&] { return RUS::robotIk(nanJointArray, pos, ori, wp); }},
      {"robotIk position",
       rn::ErrCode_ParamError,
       {"sdk log: robotIk reference angles missing or pose not finite."},
       [&] { return RUS::robotIk(home_, nanPos, ori, wp); }},
      {"robotIk all",
       rn::ErrCode_ParamError,
       {"sdk log: robotIk pose not finite."},
       [&] { return RUS::robotIk(pos, nanOri, all); }},
      {"ik on tcp, tool",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: user2BaseCoordinate() tool pose or tool is not finite."},
       [&] { return RUS::robotServiceIkBasedOnTcp(home_, pos, ori, nanTool, wp); }},
      {"ik on tcp, reference",
       rn::ErrCode_ParamError,
       {"sdk log: robotIk reference angles missing or pose not finite."},
       [&] { return RUS::robotServiceIkBasedOnTcp(nanJointArray, pos, ori, kNoneTool, wp); }},
      {"base2User flange",
       rn::ErrCode_BaseToUserConvertFailed,
       {"sdk log: base2UserCoordinate() flange pose or tool is not finite."},
       [&] { return RUS::base2UserCoordinate(nanPos, ori, world, kNoneTool, p, q); }},
      {"base2User tool",
       rn::ErrCode_BaseToUserConvertFailed,
       {"sdk log: base2UserCoordinate() flange pose or tool is not finite."},
       [&] { return RUS::base2UserCoordinate(pos, ori, base, nanTool, p, q); }},
      {"base2User frame joints",
       rn::ErrCode_ParamError,
       {"sdk log: robotFk joint angles missing or not finite.", "sdk log: CoordCalibrateTypeConvert Fk failed."},
       [&] { return RUS::base2UserCoordinate(pos, ori, nanJoints, kNoneTool, p, q); }},
      {"base2User frame tool",
       rn::ErrCode_ParamError,
       {"sdk log: base2BaseAdditionalTool flange pose or tool not usable.",
        "sdk log: CoordCalibrateTypeConvert baseToUserCoordinate error."},
       [&] { return RUS::base2UserCoordinate(pos, ori, nanFrameTool, kNoneTool, p, q); }},
      {"user2Base pose",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: user2BaseCoordinate() tool pose or tool is not finite."},
       [&] { return RUS::user2BaseCoordinate(pos, nanOri, world, kNoneTool, p, q); }},
      {"user2Base tool",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: user2BaseCoordinate() tool pose or tool is not finite."},
       [&] { return RUS::user2BaseCoordinate(pos, ori, base, nanTool, p, q); }},
      {"base2BaseAdditionalTool",
       rn::ErrCode_ParamError,
       {"sdk log: base2BaseAdditionalTool flange pose or tool not usable."},
       [&] { return RUS::base2BaseAdditionalTool(pos, nanOri, kNoneTool, p, q); }},
      {"base2BaseAdditionalTool, zero quaternion",
       rn::ErrCode_ParamError,
       {"sdk log: base2BaseAdditionalTool flange pose or tool not usable."},
       [&] {
         return RUS::base2BaseAdditionalTool(pos, rn::Ori{0, 0, 0, 0}, kNoneTool, p, q);
       }},
      {"userCoordPoint2BasePoint base",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: userCoordPoint2BasePoint point is not finite."},
       [&] { return RUS::userCoordPoint2BasePoint(nanPos, base, p); }},
      {"userCoordPoint2BasePoint world",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: user2BaseCoordinate() tool pose or tool is not finite.",
        "sdk log: userCoordPoint2BasePoint call userToBaseCoordinate failed."},
       [&] { return RUS::userCoordPoint2BasePoint(nanPos, world, p); }},
      {"offsetVector base",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: offsetVectorUserCoord2Base vector is not finite."},
       [&] { return RUS::offsetVectorUserCoord2Base(nanVector, base, out); }},
      {"offsetVector world",
       rn::ErrCode_UserToBaseConvertFailed,
       {"sdk log: user2BaseCoordinate() tool pose or tool is not finite.",
        "sdk log: userCoordPoint2BasePoint call userToBaseCoordinate failed.",
        "sdk log: offsetVectorUserCoord2Base call userToBaseCoordinate failed."},
       [&] { return RUS::offsetVectorUserCoord2Base(nanVector, world, out); }},
      {"endPosition2BasePosition",
       rn::ErrCode_ParamError,
       {"sdk log: endPosition2BasePosition input is not usable."},
       [&] {
         return RUS::endPosition2BasePosition(nanFlange, rn::Pos{0, 0, 0.1}, p, rn::Ori{1, 0, 0, 0});
       }},
      {"endPosition2BasePosition, zero quaternion",
       rn::ErrCode_ParamError,
       {"sdk log: endPosition2BasePosition input is not usable."},
       [&] {
         return RUS::endPosition2BasePosition(homeWp_, rn::Pos{0, 0, 0.1}, p, rn::Ori{0, 0, 0, 0});
       }},
      {"endOrientation2ToolOrientation",
       rn::ErrCode_ParamError,
       {"sdk log: endOrientation2ToolOrientation orientation is not finite."},
       [&] {
         rn::Ori t = nanOri;
         return RUS::endOrientation2ToolOrientation(t, ori, q);
       }},
      {"toolOrientation2EndOrientation",
       rn::ErrCode_ParamError,
       {"sdk log: toolOrientation2EndOrientation orientation is not finite."},
       [&] {
         rn::Ori t{1, 0, 0, 0};
         return RUS::toolOrientation2EndOrientation(t, nanOri, q);
       }},
      {"relativeMoveAndRot motion",
       0,
       {"sdk log: relativeMoveAndRot relative motion is not finite."},
       [&] { return RUS::relativeMoveAndRot(wp, base, kNoneTool, nanPos, ori, p, q) ? 1 : 0; }},
      {"relativeMoveAndRot flange",
       0,
       {"sdk log: relativeMoveAndRot flange pose or tool is not finite."},
       [&] {
         rn::CoordCalibrateByJointAngleAndTool end = base;
         end.coordType = rn::EndCoordinate;
         return RUS::relativeMoveAndRot(nanFlange, end, kNoneTool, pos, rn::Ori{1, 0, 0, 0}, p, q) ? 1 : 0;
       }},
  };
  for (const Case& c : cases) {
    ruko::test::LogCapture cap;
    EXPECT_EQ(c.call(), c.code) << c.what;
    std::vector<std::string> logged;
    for (const auto& line : cap.lines()) {
      EXPECT_EQ(line.level, LL_ERROR) << c.what << ": " << line.text;
      logged.push_back(line.text);
    }
    EXPECT_EQ(logged, c.lines) << c.what;
    expectPosNear(p, rn::Pos{7, 7, 7}, 0, c.what);
    EXPECT_EQ(q.w, 7) << c.what;
    EXPECT_EQ(wp.jointpos[0], 7) << c.what;
    EXPECT_EQ(all.size(), 2u) << c.what;
    EXPECT_EQ(out[1], 7) << c.what;
  }
}

TEST_F(UtilServiceTest, PointsAndVectorsFromAUserFrame) {
  // X along base +Y, Y along base -X: the frame is turned 90 deg about Z.
  const rn::Pos offsets[3] = {{0, 0, 0}, {0, 0.06, 0}, {-0.05, 0, 0}};
  const auto frame =
      frameThrough(offsets, kNoneTool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane);
  double v[3];
  const double x[3] = {1, 0, 0};
  ASSERT_EQ(RUS::offsetVectorUserCoord2Base(x, frame, v), 0);
  EXPECT_NEAR(v[0], 0, 1e-9);
  EXPECT_NEAR(v[1], 1, 1e-9);
  EXPECT_NEAR(v[2], 0, 1e-9);

  rn::Pos basePoint{};
  ASSERT_EQ(RUS::userCoordPoint2BasePoint(rn::Pos{0.1, 0.2, 0.3}, frame, basePoint), 0);
  expectPosNear(basePoint, add(homeTcp(kNoneTool), rn::Pos{-0.2, 0.1, 0.3}), 1e-9, "user point in base");

  rn::CoordCalibrateByJointAngleAndTool other = frame;
  other.coordType = rn::BaseCoordinate;
  const double y[3] = {0, 1, 0};
  ASSERT_EQ(RUS::offsetVectorUserCoord2Base(y, other, v), 0);
  EXPECT_EQ(v[1], 1);
  ASSERT_EQ(RUS::userCoordPoint2BasePoint(rn::Pos{0.1, 0.2, 0.3}, other, basePoint), 0);
  expectPosNear(basePoint, rn::Pos{0.1, 0.2, 0.3}, 0, "base frame copies");

  other.coordType = rn::EndCoordinate;
  ruko::test::LogCapture cap;
  EXPECT_EQ(RUS::offsetVectorUserCoord2Base(y, other, v), rn::ErrCode_ParamError);
  EXPECT_EQ(cap.count("", LL_ERROR), 0);
  EXPECT_EQ(RUS::userCoordPoint2BasePoint(rn::Pos{0.1, 0.2, 0.3}, other, basePoint), rn::ErrCode_ParamError);
  EXPECT_EQ(cap.count("sdk log:Does not support end coordinate systems.", LL_ERROR), 1);
}

TEST_F(UtilServiceTest, EndPositionAndToolOrientation) {
  rn::wayPoint_S flange{};
  flange.cartPos.position = rn::Pos{0.3, 0, 0.5};
  flange.orientation = rn::Ori{1, 0, 0, 0};
  rn::Pos base{};
  ASSERT_EQ(RUS::endPosition2BasePosition(flange, rn::Pos{0.1, 0, 0}, base, axisAngle(0, 0, 1, M_PI / 2)), 0);
  expectPosNear(base, rn::Pos{0.3, 0.1, 0.5}, 1e-15, "end position");

  rn::Ori tool = axisAngle(0.3, 1, 0.2, 0.9);
  const rn::Ori toolCopy = tool;
  const rn::Ori end = axisAngle(-1, 0.1, 0.5, 2.1);
  rn::Ori tcp{}, back{};
  ASSERT_EQ(RUS::endOrientation2ToolOrientation(tool, end, tcp), 0);
  expectSameRotation(tcp, mul(end, tool), 1e-15, "tool orientation");
  ASSERT_EQ(RUS::toolOrientation2EndOrientation(tool, tcp, back), 0);
  expectSameRotation(back, end, 1e-15, "back to the flange");
  EXPECT_EQ(tool.x, toolCopy.x) << "the tool orientation is not changed";
}

TEST_F(UtilServiceTest, RelativeMoves) {
  const rn::Pos pr{0.01, -0.02, 0.03};
  const rn::Ori qr = axisAngle(0.2, -0.4, 1, 0.3);
  rn::Pos p{};
  rn::Ori q{};
  rn::CoordCalibrateByJointAngleAndTool coord{};
  RUS::initCoordCalibrateByJointAngleAndToolDataType(coord);
  ASSERT_TRUE(RUS::relativeMoveAndRot(homeWp_, coord, kNoneTool, pr, qr, p, q));
  expectPosNear(p, pr, 0, "base frame copies");
  EXPECT_EQ(q.z, qr.z);

  // The relative transform must move any base point x as the motion in the frame T
  // does: T.(qr, pr).T^-1 (x).
  const rn::Pos probe{0.3, -0.2, 0.4};
  auto expectConjugate = [&](const Rigid& T, const std::string& what) {
    const Rigid motion{qr, pr};
    const rn::Pos expected = T(motion(inverse(T)(probe)));
    expectPosNear(Rigid{q, p}(probe), expected, 1e-9, what);
  };

  const rn::Pos offsets[3] = {{0, 0, 0}, {0, 0.06, 0}, {-0.05, 0, 0.01}};
  const rn::ToolInEndDesc frameTool = toolOf(rn::Pos{0, 0, 0.1});
  coord = frameThrough(offsets, frameTool, rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane);
  ASSERT_TRUE(RUS::relativeMoveAndRot(homeWp_, coord, kNoneTool, pr, qr, p, q));
  // The frame: origin at the first point, X towards the second (base Y), Z along
  // (0, 1, 0) x (-0.05, 0, 0.01): a quarter turn about Z, then a tilt about Y.
  const rn::Pos origin = homeTcp(frameTool);
  const rn::Ori frameOri = axisAngle(0, 0, 1, M_PI / 2);
  const rn::Ori tilt = axisAngle(0, 1, 0, std::atan2(0.01, 0.05));
  expectConjugate(Rigid{mul(tilt, frameOri), origin}, "user frame");

  coord.coordType = rn::EndCoordinate;
  coord.toolDesc = toolOf(rn::Pos{0.01, 0, 0.12}, axisAngle(1, 0, 0, 0.4));
  ASSERT_TRUE(RUS::relativeMoveAndRot(homeWp_, coord, kNoneTool, pr, qr, p, q));
  const Rigid flange{homeWp_.orientation, homeWp_.cartPos.position};
  const Rigid toolFrame{mul(flange.q, coord.toolDesc.toolInEndOrientation), flange(coord.toolDesc.toolInEndPosition)};
  expectConjugate(toolFrame, "tool frame");

  // End frame on the none tool with a real tool: the absolute flange target, w + 6.
  coord.toolDesc = kNoneTool;
  const rn::ToolInEndDesc real = toolOf(rn::Pos{0, 0.02, 0.15});
  ASSERT_TRUE(RUS::relativeMoveAndRot(homeWp_, coord, real, pr, qr, p, q));
  EXPECT_GT(q.w, 5);
  const rn::Ori target = mul(homeWp_.orientation, qr);
  const rn::Ori unmarked{q.w - 6.0, q.x, q.y, q.z};
  expectSameRotation(unmarked, target, 1e-12, "target orientation");
  const rn::Pos newTcp = add(flange(real.toolInEndPosition), apply(homeWp_.orientation, pr));
  expectPosNear(add(p, apply(target, real.toolInEndPosition)), newTcp, 1e-12, "target flange carries the TCP");

  // Both none: the motion in the flange frame.
  ASSERT_TRUE(RUS::relativeMoveAndRot(homeWp_, coord, kNoneTool, pr, qr, p, q));
  EXPECT_LT(q.w, 1.0 + 1e-12);
  expectConjugate(flange, "flange frame");
}

// ---- The teach-move request of a frame taught by joint angles ---------------------------

TEST_F(UtilServiceTest, TeachMoveRequestCarriesTheFrameAsForwardKinematics) {
  RobotMoveProfile profile{};
  profile.moveMode = MODEP;
  profile.subMoveMode = rn::CARTESIAN_MOVEP;
  profile.toolInEndOrientation = {1, 0, 0, 0};
  profile.relativeMove.relativeOrientation.orientation = {1, 0, 0, 0};
  const rn::Pos offsets[3] = {{0, 0, 0}, {0.06, 0, 0}, {0, 0.05, 0}};
  const rn::ToolInEndDesc tool = toolOf(rn::Pos{0.01, 0, 0.1}, axisAngle(0, 0, 1, 0.2));
  auto frame = frameThrough(offsets, tool, rn::Origin_AnyPointOnPositiveZAxis_AnyPointOnFirstQuadrantOfZOXPlane);

  char* data = nullptr;
  int size = 0;
  ASSERT_TRUE(ProtoEncodeDecode::getRequest_robotTeachMove(&data, &size, profile, frame));
  ruko::robot::common::RobotTeachMove message;
  ASSERT_TRUE(message.ParseFromArray(data, size));
  delete[] data;
  EXPECT_EQ(message.coordinatesystemtype(), rn::WorldCoordinate);
  ASSERT_EQ(message.calibratemathod_size(), 1);
  EXPECT_EQ(message.calibratemathod(0), rn::Origin_AnyPointOnPositiveZAxis_AnyPointOnFirstQuadrantOfZOXPlane);
  ASSERT_EQ(message.calibrateroadpointvector_size(), 3);
  for (int i = 0; i < 3; ++i) {
    rn::wayPoint_S sent{}, expected{};
    ASSERT_TRUE(ProtoEncodeDecode::roadPointTypeConversion(message.calibrateroadpointvector(i), sent));
    ASSERT_EQ(RUS::robotFk(frame.wayPointArray[i].jointPos, 6, expected), 0);
    expectPosNear(sent.cartPos.position, expected.cartPos.position, 0, "waypoint " + std::to_string(i));
    EXPECT_EQ(sent.orientation.x, expected.orientation.x);
    expectJointsNear(sent.jointpos, frame.wayPointArray[i].jointPos, 0, "waypoint joints");
  }
  ASSERT_EQ(message.toolinenddesc_size(), 1);
  EXPECT_EQ(message.toolinenddesc(0).toolinendposition().z(), 0.1);
  EXPECT_EQ(message.toolinenddesc(0).toolinendorientation().z(), tool.toolInEndOrientation.z);

  frame.wayPointArray[2].jointPos[0] = kNaN;
  ruko::test::LogCapture quiet;
  data = reinterpret_cast<char*>(&size);
  EXPECT_FALSE(ProtoEncodeDecode::getRequest_robotTeachMove(&data, &size, profile, frame));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0);
}

}  // namespace
