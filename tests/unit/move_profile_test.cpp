// The global move profile: defaults, checked setters, the waypoint list and the profile each move is built
// from. Nothing here talks to a controller.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "log_capture.h"
#include "motion/robotmoveservice.h"
#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

namespace {

constexpr double kAngle100 = 1.7453292519943295;
constexpr double kJoint25 = 0.4363323129985824;

wayPoint_S at(double x, double y, double z) {
  wayPoint_S w{};
  w.cartPos.position = Pos{x, y, z};
  w.orientation = Ori{1, 0, 0, 0};
  return w;
}

class MoveProfile : public ::testing::Test {
 protected:
  ruko::test::LogCapture log;
  RobotMoveService service{nullptr};  // profile operations never reach the connection
};

TEST(MoveProfileFacade, FreshFacadeReportsTheDefaults) {
  ServiceInterface robot;
  double value = 0;
  robot.robotServiceGetGlobalMoveEndMaxLineVelc(value);
  EXPECT_EQ(value, 0.03);
  robot.robotServiceGetGlobalMoveEndMaxLineAcc(value);
  EXPECT_EQ(value, 0.03);
  robot.robotServiceGetGlobalMoveEndMaxAngleAcc(value);
  EXPECT_EQ(value, kAngle100);
  robot.robotServiceGetGlobalMoveEndMaxAngleVelc(value);
  EXPECT_EQ(value, kAngle100);
  robot.robotServiceGetJerkAccRatio(value);
  EXPECT_EQ(value, 0.0);
  JointVelcAccParam joints{};
  robot.robotServiceGetGlobalMoveJointMaxAcc(joints);
  for (double v : joints.jointPara) EXPECT_EQ(v, kJoint25);
  robot.robotServiceGetGlobalMoveJointMaxVelc(joints);
  for (double v : joints.jointPara) EXPECT_EQ(v, kJoint25);
  EXPECT_EQ(robot.robotServiceGetGlobalBlendRadius(), 0.02f);
  EXPECT_EQ(robot.robotServiceGetTrackPlaybackCycle(), 0.1);
  EXPECT_EQ(robot.robotServiceGetGlobalCircularLoopTimes(), 0);
  ToolInEndDesc tool{};
  EXPECT_EQ(robot.robotServiceGetToolKinematicsParam(tool), 0);
  EXPECT_EQ(tool.toolInEndPosition.x, 0.0);
  EXPECT_EQ(tool.toolInEndOrientation.w, 1.0);
}

// One row per checked scalar setter: a value, whether it is taken, and the getter that shows it.
struct RangeCase {
  const char* name;
  std::function<int(RobotMoveService&, double)> set;
  std::function<double(RobotMoveService&)> get;
  double value;
  bool accepted;
};

TEST_F(MoveProfile, RangeSettersStoreOnlyValuesWithinTheirBounds) {
  auto lineVelc = [](RobotMoveService& s) { double v; s.getMoveEndMaxLineVelc(v); return v; };
  auto lineAcc = [](RobotMoveService& s) { double v; s.getMoveEndMaxLineAcc(v); return v; };
  auto angleAcc = [](RobotMoveService& s) { double v; s.getMoveEndMaxAngleAcc(v); return v; };
  auto angleVelc = [](RobotMoveService& s) { double v; s.getMoveEndMaxAngleVelc(v); return v; };
  auto jerk = [](RobotMoveService& s) { double v; s.getJerkAccRatio(v); return v; };
  auto blend = [](RobotMoveService& s) { return static_cast<double>(s.getBlendRadius()); };
  auto setLineVelc = [](RobotMoveService& s, double v) { return s.setMoveEndMaxLineVelc(v); };
  auto setLineAcc = [](RobotMoveService& s, double v) { return s.setMoveEndMaxLineAcc(v); };
  auto setAngleAcc = [](RobotMoveService& s, double v) { return s.setMoveEndMaxAngleAcc(v); };
  auto setAngleVelc = [](RobotMoveService& s, double v) { return s.setMoveEndMaxAngleVelc(v); };
  auto setJerk = [](RobotMoveService& s, double v) { return s.setJerkAccRatio(v); };
  auto setBlend = [](RobotMoveService& s, double v) { return s.setBlendRadius(static_cast<float>(v)); };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const RangeCase cases[] = {
      {"line velc at bound", setLineVelc, lineVelc, 5.01, true},
      {"line velc above", setLineVelc, lineVelc, 5.02, false},
      {"line velc zero", setLineVelc, lineVelc, 0.0, false},
      {"line velc negative", setLineVelc, lineVelc, -1.0, false},
      {"line velc NaN", setLineVelc, lineVelc, nan, false},
      {"line acc at bound", setLineAcc, lineAcc, 80.01, true},
      {"line acc above", setLineAcc, lineAcc, 80.02, false},
      {"angle acc at bound", setAngleAcc, angleAcc, 3.141767186514992, true},
      {"angle acc above", setAngleAcc, angleAcc, 3.1418, false},
      {"angle velc at bound", setAngleVelc, angleVelc, 3.141767186514992, true},
      {"angle velc zero", setAngleVelc, angleVelc, 0.0, false},
      {"jerk zero", setJerk, jerk, 0.0, true},
      {"jerk one", setJerk, jerk, 1.0, true},
      {"jerk at exclusive bound", setJerk, jerk, 1.00001, false},
      {"jerk negative", setJerk, jerk, -0.1, false},
      {"blend 0.05", setBlend, blend, 0.05, true},
      {"blend zero", setBlend, blend, 0.0, false},
      {"blend at exclusive bound", setBlend, blend, 0.0502, false},
  };
  for (const RangeCase& c : cases) {
    RobotMoveService fresh(nullptr);
    const double before = c.get(fresh);
    EXPECT_EQ(c.set(fresh, c.value), c.accepted ? ErrnoSucc : ErrCode_ParamError) << c.name;
    if (c.accepted) {
      EXPECT_EQ(c.get(fresh), c.name == std::string("blend 0.05") ? static_cast<double>(0.05f) : c.value) << c.name;
    } else {
      EXPECT_EQ(c.get(fresh), before) << c.name;
    }
  }
}

TEST_F(MoveProfile, JointLimitsAreAllOrNothingAndTheFirstBadAccelerationIsLogged) {
  JointVelcAccParam acc{{1, 2, 3, 0, 5, 6}};
  EXPECT_EQ(service.setMoveJointMaxAcc(acc), ErrCode_ParamError);
  EXPECT_EQ(log.count("user moveMaxAcc=0.000000", LL_ERROR), 1);
  JointVelcAccParam stored{};
  service.getMoveJointMaxAcc(stored);
  for (double v : stored.jointPara) EXPECT_EQ(v, kJoint25);

  JointVelcAccParam velc{{1, 1, 1, 1, 1, 8.8}};
  EXPECT_EQ(service.setMoveJointMaxVelc(velc), ErrCode_ParamError);
  service.getMoveJointMaxVelc(stored);
  for (double v : stored.jointPara) EXPECT_EQ(v, kJoint25);

  acc = JointVelcAccParam{{167.55178272438084, 1, 1, 1, 1, 1}};
  EXPECT_EQ(service.setMoveJointMaxAcc(acc), 0);
  service.getMoveJointMaxAcc(stored);
  EXPECT_EQ(stored.jointPara[0], 167.55178272438084);
}

TEST_F(MoveProfile, ToolFartherThanHalfAMetreIsRefusedAndTheToolSurvivesInit) {
  ToolInEndDesc far{{0.3, 0.3, 0.3}, {1, 0, 0, 0}};
  EXPECT_EQ(service.setMoveProfileToolParam(far), ErrCode_ToolCalibrateError);
  EXPECT_EQ(log.count("xyz is 0.519615", LL_INFO), 1);
  EXPECT_EQ(log.count("SetTool Kinematics Param over the distance.", LL_ERROR), 1);

  ToolInEndDesc nanTool{{std::nan(""), 0, 0}, {1, 0, 0, 0}};
  EXPECT_EQ(service.setMoveProfileToolParam(nanTool), ErrCode_ParamError);

  ToolInEndDesc edge{{0.5, 0, 0}, {1, 0, 0, 0}};
  EXPECT_EQ(service.setMoveProfileToolParam(edge), 0);
  ToolInEndDesc near{{0.2, 0.2, 0.2}, {1, 0, 0, 0}};
  EXPECT_EQ(service.setMoveProfileToolParam(near), 0);
  EXPECT_EQ(service.setJerkAccRatio(0.5), 0);
  EXPECT_EQ(service.initMoveProfile(), 0);

  ToolInEndDesc kept{};
  service.getMoveProfileToolParam(kept);
  EXPECT_EQ(kept.toolInEndPosition.z, 0.2);
  double jerk = 0;
  service.getJerkAccRatio(jerk);
  EXPECT_EQ(jerk, 0.5);
  RobotMoveProfile profile;
  service.getCurrentMoveProfileRemoveOffset(MODEJ, NO_TRACK, NO_TEACH, profile);
  EXPECT_TRUE(profile.toolTrack);
  EXPECT_EQ(profile.toolInEndPosition.position.x, 0.2);

  service.setMoveProfileToolParamIsNone();
  service.getCurrentMoveProfileRemoveOffset(MODEJ, NO_TRACK, NO_TEACH, profile);
  EXPECT_FALSE(profile.toolTrack);
}

TEST_F(MoveProfile, CollinearMiddleWaypointIsDropped) {
  struct Case {
    const char* name;
    std::vector<wayPoint_S> added;
    std::vector<double> keptX;  // the x of each waypoint left, in order
    std::vector<double> keptY;
  };
  const Case cases[] = {
      {"on a line", {at(0, 0, 0), at(0.1, 0, 0), at(0.2, 0, 0)}, {0, 0.2}, {0, 0}},
      {"folding back", {at(0, 0, 0), at(0.2, 0, 0), at(0.1, 0, 0)}, {0, 0.1}, {0, 0}},
      {"a corner", {at(0, 0, 0), at(0.1, 0, 0), at(0.1, 0.1, 0)}, {0, 0.1, 0.1}, {0, 0, 0.1}},
      {"a repeated point", {at(0, 0, 0), at(0.1, 0, 0), at(0.1, 0, 0), at(0.2, 0, 0)}, {0, 0.1, 0.1, 0.2}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    RobotMoveService fresh(nullptr);
    testing::internal::CaptureStdout();
    for (const wayPoint_S& w : c.added) EXPECT_EQ(fresh.addWayPoint(w), 0) << c.name;
    const std::string out = testing::internal::GetCapturedStdout();
    std::vector<wayPoint_S> list;
    fresh.getWayPointVector(list);
    ASSERT_EQ(list.size(), c.keptX.size()) << c.name;
    for (size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(list[i].cartPos.position.x, c.keptX[i]) << c.name << " #" << i;
      EXPECT_EQ(list[i].cartPos.position.y, c.keptY[i]) << c.name << " #" << i;
    }
    const bool dropped = list.size() < c.added.size();
    EXPECT_EQ(out.find("The point are at line \n") != std::string::npos, dropped) << c.name << ": " << out;
  }
}

TEST_F(MoveProfile, WaypointListHoldsTwelveThousand) {
  testing::internal::CaptureStdout();
  // A zigzag: no three points on a line, so every one is kept.
  for (int i = 0; i < 12000; ++i) {
    ASSERT_EQ(service.addWayPoint(at(i * 0.001, (i % 2) * 0.001, 0)), 0);
  }
  EXPECT_EQ(service.addWayPoint(at(20, 0, 0)), ErrCode_MotionWaypointVetorSizeError);
  testing::internal::GetCapturedStdout();
  std::vector<wayPoint_S> list{at(9, 9, 9)};
  service.getWayPointVector(list);
  EXPECT_EQ(list.size(), 12000u);
  service.clearWayPointVector();
  service.getWayPointVector(list);
  EXPECT_TRUE(list.empty());
}

TEST_F(MoveProfile, CircleKindsTravelAsArcWithMarkers) {
  struct Case {
    move_track given;
    float blendRadius;
    int loopTimes;
  };
  service.setCircularLoopTimes(7);
  const Case cases[] = {
      {ARC, 1.0f, 0}, {CIRCLE, 1.0f, 7}, {ARC_ORI_ROTATED, -1.0f, 0}, {CIRCLE_ORI_ROTATED, -1.0f, 1},
      {ORI_POSITION_ROTATE_CIRCUMFERENCE, -1.0f, 1},
  };
  for (const Case& c : cases) {
    RobotMoveProfile profile;
    service.getCurrentMoveProfileRemoveOffset(MODEP, c.given, NO_TEACH, profile);
    EXPECT_EQ(profile.subMoveMode, ARC_CIR) << c.given;
    EXPECT_EQ(profile.blendRadius, c.blendRadius) << c.given;
    EXPECT_EQ(profile.circularLoopTimes, c.loopTimes) << c.given;
    // Circles are Cartesian: line and angular limits.
    EXPECT_EQ(profile.maxVelc.cartPara[0], 0.03) << c.given;
    EXPECT_EQ(profile.maxVelc.cartPara[1], kAngle100) << c.given;
  }
  // Outside path moves the circle kinds are left alone (and refused when sent).
  RobotMoveProfile joint;
  service.getCurrentMoveProfileRemoveOffset(MODEJ, ARC, NO_TEACH, joint);
  EXPECT_EQ(joint.subMoveMode, ARC);
}

TEST_F(MoveProfile, JointSplineCarriesThePlaybackCycleAndJointLimits) {
  ASSERT_EQ(service.setMoveEndMaxLineVelc(0.5), 0);
  RobotMoveProfile profile;
  service.getCurrentMoveProfileRemoveOffset(MODEP, JOINT_UBSPLINEINTP, NO_TEACH, profile);
  EXPECT_EQ(profile.blendRadius, 0.1f);
  for (double v : profile.maxVelc.jointPara) EXPECT_EQ(v, kJoint25);
  service.setTrackPlaybackCycle(0.25);
  service.getCurrentMoveProfileRemoveOffset(MODEP, JOINT_UBSPLINEINTP, NO_TEACH, profile);
  EXPECT_EQ(profile.blendRadius, 0.25f);
}

TEST_F(MoveProfile, LimitKindFollowsModeAndTrack) {
  struct Case {
    move_mode mode;
    int sub;
    bool joint;
  };
  const Case cases[] = {{MODEL, 0, false},  {MODEL, 9, false}, {MODEP, 2, false}, {MODEP, 5, false},
                        {MODEP, 101, false}, {MODEP, 6, true},  {MODEP, 7, true},  {MODEP, 10, true},
                        {MODEP, 0, true},    {MODEP, 12, true}, {MODEJ, 3, true},  {NO_MOVEMODE, 3, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(RobotMoveService::checkIsJointTypeTrack(c.mode, static_cast<move_track>(c.sub)), c.joint)
        << c.mode << "/" << c.sub;
  }
}

TEST_F(MoveProfile, ArrivalAheadByDistanceOrTimeMakesSingleMovesTracking) {
  struct Case {
    std::function<int(RobotMoveService&)> set;
    move_mode mode;
    move_track given;
    move_track sent;
    arrival_ahead_state state;
    double threshold;
  };
  const Case cases[] = {
      {[](RobotMoveService& s) { return s.setArrivalAheadDistanceMode(0.05); }, MODEJ, NO_TRACK, TRACKING,
       arrival_ahead_distance, 0.05},
      {[](RobotMoveService& s) { return s.setArrivalAheadTimeMode(0.2); }, MODEL, NO_TRACK, TRACKING,
       arrival_ahead_time, 0.2},
      {[](RobotMoveService& s) { return s.setArrivalAheadDistanceMode(0.05); }, MODEP, CARTESIAN_MOVEP,
       CARTESIAN_MOVEP, arrival_ahead_distance, 0.05},
      {[](RobotMoveService& s) { return s.setArrivalAheadBlendDistanceMode(0.01); }, MODEJ, NO_TRACK, NO_TRACK,
       arrival_ahead_blend_distance, 0.01},
      {[](RobotMoveService& s) { return s.setNoArrivalAhead(); }, MODEJ, NO_TRACK, NO_TRACK, arrival_ahead_none, 0.0},
  };
  for (const Case& c : cases) {
    RobotMoveService fresh(nullptr);
    EXPECT_EQ(c.set(fresh), 0);
    RobotMoveProfile profile;
    fresh.getCurrentMoveProfileRemoveOffset(c.mode, c.given, NO_TEACH, profile);
    EXPECT_EQ(profile.subMoveMode, c.sent) << c.mode << "/" << c.given;
    EXPECT_EQ(profile.arrivalAhead.arrivalAheadStat, c.state);
    EXPECT_EQ(profile.arrivalAhead.arrivalAheadThr, c.threshold);
  }
}

TEST_F(MoveProfile, PerCallLinearProfileHasFixedAngularLimits) {
  ASSERT_EQ(service.setMoveEndMaxAngleVelc(3.0), 0);
  MoveProfile_t perCall{};
  perCall.endMaxLineVelc = 0.2;
  perCall.endMaxLineAcc = 0.4;
  perCall.blendRadius = 0.03;
  perCall.relativeOnCoord.coordType = BaseCoordinate;
  wayPoint_S target = at(0.3, 0, 0.3);
  RobotMoveProfile profile;
  EXPECT_EQ(service.MoveProfileConvert(MODEL, target, perCall, profile), 0);
  EXPECT_EQ(profile.maxVelc.cartPara[0], 0.2);
  EXPECT_EQ(profile.maxVelc.cartPara[1], kAngle100);
  EXPECT_EQ(profile.maxAcc.cartPara[0], 0.4);
  EXPECT_EQ(profile.maxAcc.cartPara[1], kAngle100);
  EXPECT_EQ(profile.blendRadius, 0.03f);
  EXPECT_EQ(profile.subMoveMode, NO_TRACK);
  EXPECT_FALSE(profile.relativeMove.ena);

  for (int i = 0; i < 6; ++i) perCall.jointMaxVelc[i] = 0.5 + i;
  EXPECT_EQ(service.MoveProfileConvert(MODEJ, target, perCall, profile), 0);
  EXPECT_EQ(profile.maxVelc.jointPara[5], 5.5);
}

TEST_F(MoveProfile, GlobalOffsetInBaseFrameIsCopiedAndAnUnconvertibleOneIsReported) {
  MoveRelative relative{};
  relative.ena = true;
  relative.relativePosition[2] = 0.05f;
  relative.relativeOri = Ori{1, 0, 0, 0};
  ASSERT_EQ(service.setMoveProfileRelativeParam(relative), 0);
  RobotMoveProfile profile;
  service.getCurrentMoveProfileRemoveOffset(MODEJ, NO_TRACK, NO_TEACH, profile);
  EXPECT_FALSE(profile.relativeMove.ena);  // the snapshot alone carries no offset
  EXPECT_EQ(service.modifyOffsetProfileByWaypointAndGlobalOffset(at(0.3, 0, 0.3), profile), 0);
  EXPECT_TRUE(profile.relativeMove.ena);
  EXPECT_EQ(profile.relativeMove.relativePosition[2], 0.05f);

  relative.relativePosition[0] = std::numeric_limits<float>::quiet_NaN();
  CoordCalibrateByJointAngleAndTool end{};
  end.coordType = EndCoordinate;
  ASSERT_EQ(service.setMoveProfileRelativeParam(relative, end), 0);
  EXPECT_EQ(service.modifyOffsetProfileByWaypointAndGlobalOffset(at(0.3, 0, 0.3), profile), ErrCode_Failed);
  EXPECT_FALSE(profile.relativeMove.ena);
}

}  // namespace
