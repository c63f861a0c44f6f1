// Waypoints, move profiles, move and teach-move requests, seam tracking.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "codec_body.h"
#include "geometry/robotutilservice.h"
#include "ruko_sdk/robot_error.h"

namespace {

namespace common = ruko::robot::common;
namespace mc = ruko::robot::movecondition;
namespace rrn = ruko_robot_namespace;
using P = ProtoEncodeDecode;
using ruko::test::Body;
using ruko::test::parsed;

rrn::wayPoint_S wayPointNo(int n) {
  rrn::wayPoint_S w{};
  w.cartPos.position = {0.1 * n, 0.2 * n, 0.3 * n};
  w.orientation = {0.5, -0.5, 0.5, -0.5};
  for (int j = 0; j < 6; ++j) w.jointpos[j] = n + j / 10.0;
  return w;
}

void expectSameWayPoint(const rrn::wayPoint_S& a, const rrn::wayPoint_S& b) {
  EXPECT_EQ(a.cartPos.position.x, b.cartPos.position.x);
  EXPECT_EQ(a.cartPos.position.y, b.cartPos.position.y);
  EXPECT_EQ(a.cartPos.position.z, b.cartPos.position.z);
  EXPECT_EQ(a.orientation.w, b.orientation.w);
  EXPECT_EQ(a.orientation.x, b.orientation.x);
  EXPECT_EQ(a.orientation.y, b.orientation.y);
  EXPECT_EQ(a.orientation.z, b.orientation.z);
  for (int j = 0; j < 6; ++j) EXPECT_EQ(a.jointpos[j], b.jointpos[j]) << j;
}

RobotMoveProfile fullProfile() {
  RobotMoveProfile p{};
  p.moveMode = MODEP;
  p.subMoveMode = rrn::CARTESIAN_LOOKAHEAD;
  p.teachMode = rrn::ROT_Z;
  p.enableIterIk = true;
  p.toolTrack = true;
  p.toolInEndPosition.position = {0.01, 0.02, 0.03};
  p.toolInEndOrientation = {1, 0, 0, 0};
  p.relativeMove.ena = true;
  p.relativeMove.relativePosition[0] = 0.5f;
  p.relativeMove.relativePosition[1] = -0.25f;
  p.relativeMove.relativePosition[2] = 0.125f;
  p.relativeMove.relativeOrientation.orientation = {0, 1, 0, 0};
  for (int i = 0; i < 6; ++i) {
    p.maxVelc.jointPara[i] = 1.0 + i;
    p.maxAcc.jointPara[i] = 10.0 + i;
  }
  p.arrivalAhead = {arrival_ahead_blend_time, 0.05};
  p.blendRadius = 0.02f;
  p.circularLoopTimes = 3;
  p.jerkAccRatio = 0.7;
  return p;
}

void expectSameProfile(const RobotMoveProfile& a, const RobotMoveProfile& b) {
  EXPECT_EQ(a.moveMode, b.moveMode);
  EXPECT_EQ(a.subMoveMode, b.subMoveMode);
  EXPECT_EQ(a.teachMode, b.teachMode);
  EXPECT_EQ(a.enableIterIk, b.enableIterIk);
  EXPECT_EQ(a.toolTrack, b.toolTrack);
  EXPECT_EQ(a.toolInEndPosition.position.z, b.toolInEndPosition.position.z);
  EXPECT_EQ(a.toolInEndOrientation.w, b.toolInEndOrientation.w);
  EXPECT_EQ(a.relativeMove.ena, b.relativeMove.ena);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.relativeMove.relativePosition[i], b.relativeMove.relativePosition[i]);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(a.relativeMove.relativeOrientation.quaternionVector[i],
              b.relativeMove.relativeOrientation.quaternionVector[i]);
  }
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(a.maxVelc.jointPara[i], b.maxVelc.jointPara[i]);
    EXPECT_EQ(a.maxAcc.jointPara[i], b.maxAcc.jointPara[i]);
  }
  EXPECT_EQ(a.arrivalAhead.arrivalAheadStat, b.arrivalAhead.arrivalAheadStat);
  EXPECT_EQ(a.arrivalAhead.arrivalAheadThr, b.arrivalAhead.arrivalAheadThr);
  EXPECT_EQ(a.blendRadius, b.blendRadius);
  EXPECT_EQ(a.circularLoopTimes, b.circularLoopTimes);
}

// ---- Waypoint -------------------------------------------------------------------------------------------------------

TEST(CodecWaypoint, RoundTripCarriesThePositionTwice) {
  const rrn::wayPoint_S sent = wayPointNo(3);
  Body body;
  ASSERT_TRUE(P::getRequest_roadpoint(&body.data, &body.size, sent));
  const auto message = parsed<common::ProtoRoadPoint>(body);
  ASSERT_EQ(message.cartpos().position_size(), 1);
  EXPECT_EQ(message.cartpos().position(0).y(), sent.cartPos.position.y);
  ASSERT_EQ(message.cartpos().positionvector_size(), 3);
  EXPECT_EQ(message.cartpos().positionvector(1), sent.cartPos.position.y);

  common::ProtoRoadPointResponse reply;
  *reply.mutable_waypoint() = message;
  reply.add_errorinfo()->set_errorcode(0);
  reply.mutable_errorinfo(0)->set_errormsg("");
  const std::string bytes = reply.SerializeAsString();
  rrn::wayPoint_S back{};
  int errorCode = -1;
  ASSERT_TRUE(P::resolveResponse_waypoint(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(errorCode, 0);
  expectSameWayPoint(back, sent);
}

TEST(CodecWaypoint, PositionFallsBackToTheVectorAndJointsNeedExactlySix) {
  struct Case {
    const char* what;
    bool withPosition;
    int vectorValues;
    int joints;
    bool expectResult;
    bool expectPositionTaken;
    bool expectJointsTaken;
  };
  const Case cases[] = {
      {"position element", true, 0, 6, true, true, true}, {"vector only", false, 3, 6, true, true, true},
      {"neither", false, 2, 6, false, false, true},       {"five joints", true, 3, 5, false, true, false},
      {"seven joints", true, 3, 7, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    common::ProtoRoadPoint message;
    common::cartesianPos_U* cart = message.mutable_cartpos();
    if (c.withPosition) {
      common::Pos* pos = cart->add_position();
      pos->set_x(1);
      pos->set_y(2);
      pos->set_z(3);
    }
    for (int i = 0; i < c.vectorValues; ++i) cart->add_positionvector(i + 1);
    common::Ori* ori = message.mutable_orientation();
    ori->set_w(0.25);
    ori->set_x(0);
    ori->set_y(0);
    ori->set_z(0);
    for (int j = 0; j < c.joints; ++j) message.add_jointpos(j + 10);

    rrn::wayPoint_S w{};
    w.cartPos.position = {-1, -1, -1};
    for (double& j : w.jointpos) j = -1;
    EXPECT_EQ(P::roadPointTypeConversion(message, w), c.expectResult);
    EXPECT_EQ(w.orientation.w, 0.25);  // always copied
    EXPECT_EQ(w.cartPos.position.x, c.expectPositionTaken ? 1.0 : -1.0);
    EXPECT_EQ(w.cartPos.position.z, c.expectPositionTaken ? 3.0 : -1.0);
    EXPECT_EQ(w.jointpos[5], c.expectJointsTaken ? 15.0 : -1.0);
  }
}

TEST(CodecWaypoint, ReplyWithoutErrorRecordOrWithoutJointsIsNotReportedAsRead) {
  common::ProtoRoadPointResponse reply;
  P::roadPointTypeConversion(wayPointNo(1), *reply.mutable_waypoint());
  std::string bytes = reply.SerializeAsString();
  rrn::wayPoint_S back{};
  int errorCode = 9;
  EXPECT_FALSE(P::resolveResponse_waypoint(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(errorCode, 9);
  expectSameWayPoint(back, wayPointNo(1));  // copied all the same

  reply.add_errorinfo()->set_errorcode(0);
  reply.mutable_errorinfo(0)->set_errormsg("");
  reply.mutable_waypoint()->mutable_jointpos()->RemoveLast();
  bytes = reply.SerializeAsString();
  EXPECT_FALSE(P::resolveResponse_waypoint(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
}

// ---- Move profile and move request ----------------------------------------------------------------------------------

TEST(CodecMove, MoveRequestRoundTripsTheProfileAndEveryWaypointInOrder) {
  const RobotMoveProfile profile = fullProfile();
  const std::vector<rrn::wayPoint_S> wayPoints{wayPointNo(1), wayPointNo(2), wayPointNo(3)};
  Body body;
  ASSERT_TRUE(P::getRequest_robotMove(&body.data, &body.size, profile, wayPoints));
  const auto message = parsed<common::RobotMove>(body);
  EXPECT_EQ(message.move_profile().movemode(), mc::MODEP);
  EXPECT_EQ(message.move_profile().submovemode(), mc::CARTESIAN_LOOKAHEAD);
  EXPECT_EQ(message.move_profile().maxvelc().cartpara_size(), 0);
  EXPECT_EQ(message.move_profile().relativemove().relativeorientation().quaternionvector_size(), 4);

  RobotMoveProfile back{};
  back.jerkAccRatio = 0.3;
  std::vector<rrn::wayPoint_S> backPoints{wayPointNo(9)};
  ASSERT_TRUE(P::RobotMovePatamTypeConversion(message, back, backPoints));
  expectSameProfile(back, profile);
  EXPECT_EQ(back.jerkAccRatio, 0.3);  // not on the wire
  ASSERT_EQ(backPoints.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) expectSameWayPoint(backPoints[i], wayPoints[i]);
}

TEST(CodecMove, EnumerationValuesWithoutWireFormAreRefusedNotAsserted) {
  struct Case {
    const char* what;
    int moveMode;
    int subMoveMode;
    int teachMode;
  };
  const Case cases[] = {
      {"circle kind of this side only", MODEL, rrn::CIRCLE, rrn::NO_TEACH},
      {"rotation about a circumference", MODEL, rrn::ORI_POSITION_ROTATE_CIRCUMFERENCE, rrn::NO_TEACH},
      {"move mode out of range", 4, rrn::NO_TRACK, rrn::NO_TEACH},
      {"teach mode out of range", MODEJ, rrn::NO_TRACK, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RobotMoveProfile profile = fullProfile();
    profile.moveMode = static_cast<move_mode>(c.moveMode);
    profile.subMoveMode = static_cast<rrn::move_track>(c.subMoveMode);
    profile.teachMode = static_cast<rrn::teach_mode>(c.teachMode);
    common::RobotMoveProfile message;
    EXPECT_FALSE(P::RukoRobotMoveProfileType2ProtoType(profile, message));
    Body body;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(P::getRequest_robotMove(&body.data, &body.size, profile, {wayPointNo(1)}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "getRequest_robotMove Serialize fail.\n");
    EXPECT_EQ(body.data, nullptr);
  }
}

TEST(CodecMove, ProfileDecodingTakesOnlyWhatFits) {
  common::RobotMoveProfile message;
  ASSERT_TRUE(P::RukoRobotMoveProfileType2ProtoType(fullProfile(), message));
  message.mutable_relativemove()->mutable_relativeposition()->RemoveLast();
  message.mutable_maxvelc()->clear_jointpara();
  for (int i = 0; i < 8; ++i) message.mutable_maxvelc()->add_jointpara(100 + i);
  message.mutable_maxacc()->clear_jointpara();
  for (int i = 0; i < 3; ++i) message.mutable_maxacc()->add_jointpara(200 + i);
  // The quaternion list wins over the orientation element.
  common::cartesianOri_U* ori = message.mutable_relativemove()->mutable_relativeorientation();
  ori->clear_quaternionvector();
  ori->add_quaternionvector(0.5);
  ori->add_quaternionvector(0.6);

  RobotMoveProfile back{};
  back.relativeMove.relativePosition[0] = 9;
  back.maxAcc.jointPara[5] = 9;
  ASSERT_TRUE(P::ProtoRobotMoveProfileType2RukoType(message, back));
  EXPECT_EQ(back.relativeMove.relativePosition[0], 9);
  EXPECT_EQ(back.maxVelc.jointPara[5], 105);
  EXPECT_EQ(back.maxAcc.jointPara[2], 202);
  EXPECT_EQ(back.maxAcc.jointPara[3], 0);
  EXPECT_EQ(back.maxAcc.jointPara[5], 0);
  EXPECT_EQ(back.relativeMove.relativeOrientation.orientation.w, 0.5);
  EXPECT_EQ(back.relativeMove.relativeOrientation.orientation.x, 0.6);
  EXPECT_EQ(back.relativeMove.relativeOrientation.orientation.y, 0);  // from the element
}

TEST(CodecMove, TeachMoveCarriesThreeCalibrationPointsTheMethodAndNoTool) {
  CoordCalibrateByToolEndPoint system{};
  system.coordType = rrn::WorldCoordinate;
  system.methods = rrn::Origin_AnyPointOnPositiveYAxis_AnyPointOnFirstQuadrantOfYOZPlane;
  for (int i = 0; i < 3; ++i) system.wayPointArray[i] = wayPointNo(i + 1);
  Body body;
  ASSERT_TRUE(P::getRequest_robotTeachMove(&body.data, &body.size, fullProfile(), system));
  const auto message = parsed<common::RobotTeachMove>(body);
  EXPECT_EQ(message.coordinatesystemtype(), 2);
  ASSERT_EQ(message.calibratemathod_size(), 1);
  EXPECT_EQ(message.calibratemathod(0), 5);
  ASSERT_EQ(message.calibrateroadpointvector_size(), 3);
  rrn::wayPoint_S third{};
  ASSERT_TRUE(P::roadPointTypeConversion(message.calibrateroadpointvector(2), third));
  expectSameWayPoint(third, wayPointNo(3));
  EXPECT_EQ(message.toolinenddesc_size(), 0);
}

TEST(CodecMove, JointAngleTeachMoveSendsTheForwardKinematicsOfEachSetAndTheTool) {
  rrn::CoordCalibrateByJointAngleAndTool system{};
  system.coordType = rrn::EndCoordinate;
  system.methods = rrn::Origin_AnyPointOnPositiveYAxis_AnyPointOnFirstQuadrantOfYOZPlane;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 6; ++j) system.wayPointArray[i].jointPos[j] = 0.1 * (i + 1) + 0.05 * j;
  }
  system.toolDesc.toolInEndPosition = {0.01, -0.02, 0.15};
  system.toolDesc.toolInEndOrientation = {0.5, 0.5, -0.5, 0.5};
  Body body;
  ASSERT_TRUE(P::getRequest_robotTeachMove(&body.data, &body.size, fullProfile(), system));
  const auto message = parsed<common::RobotTeachMove>(body);
  EXPECT_EQ(message.coordinatesystemtype(), 1);
  ASSERT_EQ(message.calibratemathod_size(), 1);
  EXPECT_EQ(message.calibratemathod(0), 5);
  ASSERT_EQ(message.calibrateroadpointvector_size(), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    rrn::wayPoint_S expected{};
    ASSERT_EQ(RobotUtilService::robotFk(system.wayPointArray[i].jointPos, 6, expected), rrn::ErrnoSucc);
    rrn::wayPoint_S sent{};
    ASSERT_TRUE(P::roadPointTypeConversion(message.calibrateroadpointvector(i), sent));
    expectSameWayPoint(sent, expected);
  }
  ASSERT_EQ(message.toolinenddesc_size(), 1);
  const common::ProtoToolInEndDesc& tool = message.toolinenddesc(0);
  EXPECT_EQ(tool.toolinendposition().y(), -0.02);
  EXPECT_EQ(tool.toolinendposition().z(), 0.15);
  EXPECT_EQ(tool.toolinendorientation().w(), 0.5);
  EXPECT_EQ(tool.toolinendorientation().y(), -0.5);

  // A set that forward kinematics cannot take: nothing is built and the member says so on standard output.
  system.wayPointArray[2].jointPos[4] = std::nan("");
  Body refused;
  refused.size = 99;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(P::getRequest_robotTeachMove(&refused.data, &refused.size, fullProfile(), system));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "getRequest_robotTeachMove Serialize fail.\n");
  EXPECT_EQ(refused.data, nullptr);
  EXPECT_EQ(refused.size, 0);
}

// ---- Seam tracking --------------------------------------------------------------------------------------------------

TEST(CodecSeamTracking, RoundTripWithFlagsAsIntegers) {
  rrn::SeamTracking sent{};
  sent.trackEnable = true;
  sent.currentRoadPoint = wayPointNo(1);
  sent.nextRoadPoint = wayPointNo(2);
  sent.timeInterval = 8;
  sent.currentPosError[0] = 0.001;
  sent.currentPosError[2] = -0.002;
  sent.maxVel = 0.3;
  sent.maxAcc = 1.2;
  sent.paraChanged = false;
  Body body;
  ASSERT_TRUE(P::getRequest_SeamTracking(&body.data, &body.size, sent));
  auto message = parsed<common::ProtoSeamTrack_t>(body);
  EXPECT_EQ(message.trackenable(), 1);
  EXPECT_EQ(message.parachanged(), 0);

  message.set_parachanged(5);  // any positive value means set
  common::ProtoSeamTrackResponse_t reply;
  *reply.mutable_seamtrack() = message;
  reply.mutable_errorinfo()->set_errorcode(2);
  reply.mutable_errorinfo()->set_errormsg("");
  const std::string bytes = reply.SerializeAsString();
  rrn::SeamTracking back{};
  int errorCode = 0;
  ASSERT_TRUE(P::resolveResponse_SeamTracking(bytes.data(), static_cast<int>(bytes.size()), back, errorCode));
  EXPECT_EQ(errorCode, 2);
  EXPECT_TRUE(back.trackEnable);
  EXPECT_TRUE(back.paraChanged);
  expectSameWayPoint(back.currentRoadPoint, sent.currentRoadPoint);
  expectSameWayPoint(back.nextRoadPoint, sent.nextRoadPoint);
  EXPECT_EQ(back.timeInterval, 8);
  EXPECT_EQ(back.currentPosError[2], -0.002);
  EXPECT_EQ(back.maxAcc, 1.2);
}

}  // namespace
