// Moves as conversations with the fake controller (what is sent, which event ends a blocking move, the
// races around the wait) and with the simulator (moves that take time, stop, pause and continue).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "codec/protoencodedecode.h"
#include "controller_bodies.h"
#include "fake_controller.h"
#include "log_capture.h"
#include "motion/robotmoveservice.h"
#include "robotcommon.pb.h"
#include "ruko_sdk/serviceinterface.h"
#include "simulator.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::test::commonResultBody;
using ruko::test::eventBody;
using ruko::test::FakeController;
using ruko::test::FakePacket;
using ruko::test::waitFor;
using CMT = CommunicationMateType;

namespace {

constexpr int kMove = CMT::CommunicationType_RobotMove;
constexpr int kEvent = CMT::CommunicationType_Event;

wayPoint_S target(double x) {
  wayPoint_S w{};
  w.cartPos.position = Pos{x, 0.1, 0.3};
  w.orientation = Ori{1, 0, 0, 0};
  w.jointpos[0] = x;
  return w;
}

// What a move request carried.
struct SentMove {
  RobotMoveProfile profile{};
  std::vector<wayPoint_S> wayPoints;
};

SentMove decodeMove(const FakePacket& packet) {
  ruko::robot::common::RobotMove message;
  EXPECT_TRUE(message.ParseFromString(packet.body));
  SentMove sent;
  EXPECT_TRUE(ProtoEncodeDecode::RobotMovePatamTypeConversion(message, sent.profile, sent.wayPoints));
  return sent;
}

class MotionOnFake : public ::testing::Test {
 protected:
  void SetUp() override {
    engine->setServerPort(fake.port());
    ASSERT_EQ(engine->connectRobotServer(), 0);
    ASSERT_TRUE(fake.waitForConnections(1));
  }

  // A blocking joint move on another thread.
  std::future<int> blockingMove(wayPoint_S w = target(0.2)) {
    return std::async(std::launch::async, [this, w]() mutable { return move.robotJointMove(w, true); });
  }

  static bool stillRunning(std::future<int>& f, std::chrono::milliseconds wait = 50ms) {
    return f.wait_for(wait) == std::future_status::timeout;
  }

  SentMove lastMove() {
    const auto moves = fake.receivedOfType(kMove);
    EXPECT_FALSE(moves.empty());
    return moves.empty() ? SentMove{} : decodeMove(moves.back());
  }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{[] {
    ruko::TimingTable t = ruko::fastTiming();
    t.responseWait = 1500ms;
    t.motionControlWait = 300ms;
    return t;
  }()};
  FakeController fake;
  std::unique_ptr<RobotControlServices> engine = std::make_unique<RobotControlServices>();
  RobotMoveService move{engine.get()};
};

TEST_F(MotionOnFake, BlockingMoveEndsWithTheMappedCodeOfItsEvent) {
  const struct {
    int event;
    int expected;
    const char* line;
  } cases[] = {
      {RobotEvent_atTrackTargetPos, ErrnoSucc, "sdk log: Success wait for the signal to arrive target positon."},
      {RobotEvent_socketDisconnected, ErrCode_SocketDisconnect, "sdk log: Network connection has been disconnected."},
      {RobotEvent_robotControllerError, ErrCode_robotControllerError,
       "sdk log: Motion interrupted by controller abnormal ."},
      {1001, 21001, "sdk log: Motion is interrupted by controller event. function return:21001 eventType=1001"},
      {1299, 21299, "by controller event. function return:21299 eventType=1299"},
      {2101, 22101, "sdk log: Motion is interrupted by hardware event. function return:22101 eventType=2101"},
      {2999, 22999, "by hardware event. function return:22999"},
      {1300, ErrCodeMoveEnterStopState, "sdk log: Motion is interrupted by stop the event. function return:21300"},
  };
  fake.on(kMove).reply(commonResultBody(0));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    log.clear();
    const size_t before = fake.receivedOfType(kMove).size();
    auto result = blockingMove();
    ASSERT_TRUE(waitFor([&] { return fake.receivedOfType(kMove).size() > before; }));
    ASSERT_TRUE(waitFor([&] { return log.contains("Successfully waited for a robotMove response"); }));
    EXPECT_TRUE(stillRunning(result));
    fake.push(kEvent, eventBody(c.event, 0, "scripted"));
    ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
    EXPECT_EQ(result.get(), c.expected);
    EXPECT_EQ(log.count(c.line), 1);
    EXPECT_EQ(log.count("sdk log: User call motion interface finish.", LL_INFO), 1);
  }
  // Events the move-finish queue never holds, read as if they were: the catch-all row.
  EXPECT_EQ(RobotMoveService::moveOutcome(RobotEventInvalid), ErrCodeMoveInterruptedByEvent);
  EXPECT_EQ(log.count("sdk log: Motion is interrupted by event. function return:21301 eventType=1000", LL_ERROR), 1);
}

TEST_F(MotionOnFake, EventThatOvertakesTheResponseIsTheOutcome) {
  const struct {
    int event;
    int expected;
  } cases[] = {{RobotEvent_atTrackTargetPos, ErrnoSucc}, {1001, 21001}, {RobotEventMoveEnterStopState, 21300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    log.clear();
    // The event leaves right before the reply.
    fake.on(kMove).replyRaw(ruko::test::framePacket(kEvent, eventBody(c.event, 0, "early")) +
                            ruko::test::framePacket(kMove, commonResultBody(0)));
    auto result = blockingMove();
    ASSERT_EQ(result.wait_for(3s), std::future_status::ready) << "the early event was lost";
    EXPECT_EQ(result.get(), c.expected);
    EXPECT_EQ(log.count("sdk log: atTrackTargetPos singal before the response appears", LL_INFO),
              c.event == RobotEvent_atTrackTargetPos ? 1 : 0);
  }
}

TEST_F(MotionOnFake, SpuriousWakeUpWaitsAgain) {
  fake.on(kMove).reply(commonResultBody(0));
  auto result = blockingMove();
  ASSERT_TRUE(waitFor([&] { return log.contains("Successfully waited for a robotMove response"); }));
  const auto until = std::chrono::steady_clock::now() + 100ms;
  while (std::chrono::steady_clock::now() < until) {
    {
      std::lock_guard<std::mutex> lock(*engine->getRobotMoveAtTrackTargetPosMutexPtr());
      engine->getRobotMoveAtTrackTargetPosConditonPtr()->notify_all();
    }
    ASSERT_TRUE(stillRunning(result, 5ms)) << "a wake-up without an event ended the move";
  }
  fake.push(kEvent, eventBody(RobotEvent_atTrackTargetPos, 0, ""));
  ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
  EXPECT_EQ(result.get(), ErrnoSucc);
  EXPECT_EQ(log.count("function return:21301"), 0);
}

TEST_F(MotionOnFake, NonBlockingMoveThenBlockingOneIgnoresTheFirstArrival) {
  fake.on(kMove).reply(commonResultBody(0));
  wayPoint_S first = target(0.1);
  EXPECT_EQ(move.robotJointMove(first, false), ErrnoSucc);
  EXPECT_EQ(log.count("sdk log: User non-blocking call motion interface.", LL_INFO), 1);
  fake.push(kEvent, eventBody(RobotEvent_atTrackTargetPos, 0, "first move"));
  ASSERT_TRUE(waitFor([&] { return log.contains("Event caused motion disruption. type:22 desc:first move"); }));

  auto result = blockingMove(target(0.2));
  ASSERT_TRUE(waitFor([&] { return fake.receivedOfType(kMove).size() == 2; }));
  ASSERT_TRUE(waitFor([&] { return log.count("Successfully waited for a robotMove response") == 2; }));
  EXPECT_TRUE(stillRunning(result)) << "ended by the first move's arrival";
  fake.push(kEvent, eventBody(RobotEvent_atTrackTargetPos, 0, "second move"));
  ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
  EXPECT_EQ(result.get(), ErrnoSucc);
}

TEST_F(MotionOnFake, RefusedMoveReturnsAtOnceWithoutWaiting) {
  fake.on(kMove).reply(commonResultBody(2));
  wayPoint_S w = target(0.1);
  const int result = move.robotJointMove(w, true);
  EXPECT_NE(result, ErrnoSucc);
  EXPECT_EQ(log.count("sdk log: robotMoveInterface return false, because server return false.", LL_ERROR), 1);
  EXPECT_EQ(log.count("function-sendRequestCheckResponseResult return false. ret=" + std::to_string(result)), 1);
}

TEST_F(MotionOnFake, LostConnectionAndLogoutEndABlockingMove) {
  fake.on(kMove).reply(commonResultBody(0));
  auto closed = blockingMove();
  ASSERT_TRUE(waitFor([&] { return log.contains("Successfully waited for a robotMove response"); }));
  fake.closeConnection();
  ASSERT_EQ(closed.wait_for(3s), std::future_status::ready);
  EXPECT_EQ(closed.get(), ErrCode_SocketDisconnect);

  log.clear();
  engine->disconnectRobotServer();
  engine->setServerPort(fake.port());
  ASSERT_EQ(engine->connectRobotServer(), 0);
  auto loggedOut = blockingMove();
  ASSERT_TRUE(waitFor([&] { return log.contains("Successfully waited for a robotMove response"); }));
  EXPECT_EQ(engine->logoutService(), 0);
  ASSERT_EQ(loggedOut.wait_for(3s), std::future_status::ready);
  EXPECT_EQ(loggedOut.get(), ErrCode_SocketDisconnect);
}

TEST_F(MotionOnFake, TrackMoveDependsOnTheNumberOfWaypoints) {
  fake.on(kMove).reply(commonResultBody(0));
  EXPECT_EQ(move.robotTrackMove(CARTESIAN_MOVEP, false), ErrCode_MotionWaypointVetorSizeError);
  ASSERT_EQ(move.addWayPoint(target(0.1)), 0);
  EXPECT_EQ(move.robotTrackMove(CARTESIAN_MOVEP, false), ErrCode_MotionWaypointVetorSizeError);
  EXPECT_EQ(log.count("sdk log: Number of waypoints less than 3.", LL_ERROR), 2);
  EXPECT_TRUE(fake.receivedOfType(kMove).empty());

  wayPoint_S second = target(0.1);
  second.cartPos.position.y = 0.3;
  ASSERT_EQ(move.addWayPoint(second), 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(move.robotTrackMove(CARTESIAN_MOVEP, false), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "there is 2 point moveP will be MoveL \n");
  ASSERT_TRUE(fake.waitForReceived(1));
  SentMove sent = lastMove();
  EXPECT_EQ(sent.profile.moveMode, MODEL);
  ASSERT_EQ(sent.wayPoints.size(), 1u);
  EXPECT_EQ(sent.wayPoints[0].cartPos.position.y, 0.3);

  wayPoint_S third = target(0.4);
  ASSERT_EQ(move.addWayPoint(third), 0);
  EXPECT_EQ(move.robotTrackMove(CIRCLE_ORI_ROTATED, false), 0);
  ASSERT_TRUE(waitFor([&] { return fake.receivedOfType(kMove).size() == 2; }));
  sent = lastMove();
  EXPECT_EQ(sent.profile.moveMode, MODEP);
  EXPECT_EQ(sent.profile.subMoveMode, ARC_CIR);
  EXPECT_EQ(sent.profile.blendRadius, -1.0f);
  EXPECT_EQ(sent.profile.circularLoopTimes, 1);
  EXPECT_EQ(sent.wayPoints.size(), 3u);

  EXPECT_EQ(move.robotTrackMove(JOINT_UBSPLINEINTP, false), 0);
  ASSERT_TRUE(waitFor([&] { return fake.receivedOfType(kMove).size() == 3; }));
  sent = lastMove();
  EXPECT_EQ(sent.profile.subMoveMode, JOINT_UBSPLINEINTP);
  EXPECT_EQ(sent.profile.blendRadius, 0.1f);
  EXPECT_EQ(sent.profile.maxVelc.jointPara[5], 0.4363323129985824);
  // The list stays in place after the move.
  std::vector<wayPoint_S> list;
  move.getWayPointVector(list);
  EXPECT_EQ(list.size(), 3u);
}

TEST_F(MotionOnFake, ProfilesTheWireCannotCarryAreRefusedWithNothingSent) {
  fake.on(kMove).reply(commonResultBody(0)).allowUnused();
  for (int i = 0; i < 3; ++i) {
    wayPoint_S w = target(0.1 * i);
    w.cartPos.position.z = 0.1 * i * i;
    ASSERT_EQ(move.addWayPoint(w), 0);
  }
  EXPECT_EQ(move.robotTrackMove(static_cast<move_track>(50), true), ErrCode_ParamError);
  RobotMoveProfile profile;
  move.getCurrentMoveProfileRemoveOffset(MODEJ, CIRCLE, NO_TEACH, profile);
  EXPECT_EQ(move.moveProfileAndWaypointsFormatCommunication(CMT::CommunicationType_RobotMove, profile, {target(0.1)}),
            ErrCode_ParamError);
  move.getCurrentMoveProfileRemoveOffset(MODEJ, NO_TRACK, static_cast<teach_mode>(13), profile);
  EXPECT_EQ(move.moveProfileAndWaypointsFormatCommunication(CMT::CommunicationType_RobotMove, profile, {target(0.1)}),
            ErrCode_ParamError);
  EXPECT_EQ(log.count("sdk log: Move mode, track kind or teach mode cannot be sent.", LL_ERROR), 3);
  EXPECT_TRUE(fake.receivedOfType(kMove).empty());
}

TEST_F(MotionOnFake, UnconvertibleRelativeOffsetRefusesTheMove) {
  fake.on(kMove).reply(commonResultBody(0)).allowUnused();
  MoveRelative relative{};
  relative.ena = true;
  relative.relativePosition[0] = std::numeric_limits<float>::infinity();
  relative.relativeOri = Ori{1, 0, 0, 0};
  CoordCalibrateByJointAngleAndTool end{};
  end.coordType = EndCoordinate;
  ASSERT_EQ(move.setMoveProfileRelativeParam(relative, end), 0);
  wayPoint_S w = target(0.1);
  EXPECT_EQ(move.robotJointMove(w, false), ErrCode_Failed);
  EXPECT_EQ(move.robotLineMove(w, true), ErrCode_Failed);

  MoveProfile_t perCall{};
  perCall.relative = relative;
  perCall.relativeOnCoord = end;
  perCall.endMaxLineVelc = 0.1;
  perCall.endMaxLineAcc = 0.1;
  EXPECT_EQ(move.robotLineMove(perCall, w, false), ErrCode_Failed);
  EXPECT_TRUE(fake.receivedOfType(kMove).empty());
}

TEST_F(MotionOnFake, GlobalProfileAndArrivalAheadReachTheWire) {
  fake.on(kMove).reply(commonResultBody(0));
  ASSERT_EQ(move.setArrivalAheadDistanceMode(0.02), 0);
  ASSERT_EQ(move.setJerkAccRatio(0.5), 0);
  wayPoint_S w = target(0.3);
  EXPECT_EQ(move.robotJointMove(w, false), 0);
  ASSERT_TRUE(fake.waitForReceived(1));
  SentMove sent = lastMove();
  EXPECT_EQ(sent.profile.moveMode, MODEJ);
  EXPECT_EQ(sent.profile.subMoveMode, TRACKING);
  EXPECT_EQ(sent.profile.arrivalAhead.arrivalAheadStat, arrival_ahead_distance);
  EXPECT_EQ(sent.profile.arrivalAhead.arrivalAheadThr, 0.02);
  ASSERT_EQ(sent.wayPoints.size(), 1u);
  EXPECT_EQ(sent.wayPoints[0].jointpos[0], 0.3);

  MoveProfile_t perCall{};
  perCall.endMaxLineVelc = 0.2;
  perCall.endMaxLineAcc = 0.3;
  perCall.relativeOnCoord.coordType = BaseCoordinate;
  EXPECT_EQ(move.robotLineMove(perCall, w, false), 0);
  ASSERT_TRUE(fake.waitForReceived(2));
  sent = lastMove();
  EXPECT_EQ(sent.profile.moveMode, MODEL);
  EXPECT_EQ(sent.profile.subMoveMode, NO_TRACK);
  EXPECT_EQ(sent.profile.maxVelc.cartPara[0], 0.2);
  EXPECT_EQ(sent.profile.maxVelc.cartPara[1], 1.7453292519943295);
}

TEST_F(MotionOnFake, MoveControlSendsItsCommandAndUnknownValuesSendNothing) {
  fake.on(CMT::CommunicationType_RobotMoveControlType_Pause).reply(ruko::test::moveControlBody(2));
  fake.on(CMT::CommunicationType_SlowStopAndBoardEvent).reply(ruko::test::moveControlBody(2));
  EXPECT_EQ(move.robotMoveControl(RobotMovePause), 0);
  EXPECT_EQ(log.count("sdk log: user ready call move pause.", LL_INFO), 1);
  EXPECT_EQ(log.count("sdk log: user call move pause finish.", LL_INFO), 1);
  EXPECT_EQ(move.robotMoveSlowStop(true), 0);
  EXPECT_EQ(log.count("sdk log: user ready call move slow stop and board event.", LL_INFO), 1);
  EXPECT_EQ(move.robotMoveControl(static_cast<RobotMoveControlCommand>(7)), 0);
  EXPECT_EQ(fake.received().size(), 2u);
}

TEST(MotionFacade, LinearMoveWithoutForwardKinematicsSendsNothing) {
  ruko::test::LogCapture log;
  ServiceInterface robot;
  double joints[6] = {std::nan(""), 0, 0, 0, 0, 0};
  EXPECT_EQ(robot.robotServiceLineMove(joints, true), ErrCode_ParamError);
  wayPoint_S w{};
  w.jointpos[2] = std::nan("");
  EXPECT_EQ(robot.robotServiceLineMove(w, true), ErrCode_ParamError);
  EXPECT_EQ(robot.robotServiceJointMove(nullptr, true), ErrCode_ParamError);
  EXPECT_EQ(log.count("sdk log: User blocking call motion interface."), 0);
}

// ---- Against the simulator -----------------------------------------------------------------------------------

class MotionOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    ruko::sim::Options options;
    options.timeScale = 0.4;  // a move takes 200 ms
    sim = std::make_unique<ruko::sim::Simulator>(options);
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    ASSERT_EQ(robot->robotServiceLogin("127.0.0.1", sim->port(), "user", "pass"), 0);
  }

  std::future<int> blockingJointMove(double joint1) {
    return std::async(std::launch::async, [this, joint1] {
      double joints[6] = {joint1, 0.2, 0.3, 0, 0.1, 0};
      return robot->robotServiceJointMove(joints, true);
    });
  }

  bool simMoving() { return sim->state().moving; }

  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride timing{[] {
    ruko::TimingTable t = ruko::fastTiming();
    t.responseWait = 2s;
    t.motionControlWait = 2s;
    return t;
  }()};
  std::unique_ptr<ruko::sim::Simulator> sim;
  std::unique_ptr<ServiceInterface> robot = std::make_unique<ServiceInterface>();
};

TEST_F(MotionOnSimulator, JointLinearAndTrackMovesArrive) {
  double joints[6] = {0.3, 0.2, 0.4, 0, 0.1, 0};
  EXPECT_EQ(robot->robotServiceJointMove(joints, true), 0);
  EXPECT_NEAR(sim->state().joints[0], 0.3, 1e-9);
  joints[0] = 0.1;
  EXPECT_EQ(robot->robotServiceLineMove(joints, true), 0);
  EXPECT_NEAR(sim->state().joints[0], 0.1, 1e-9);

  robot->robotServiceClearGlobalWayPointVector();
  for (double j1 : {0.0, 0.2, 0.5}) {
    double p[6] = {j1, 0.2 + j1, 0.4, 0, 0.1, 0};
    ASSERT_EQ(robot->robotServiceAddGlobalWayPoint(p), 0);
  }
  EXPECT_EQ(robot->robotServiceTrackMove(CARTESIAN_MOVEP, true), 0);
  EXPECT_NEAR(sim->state().joints[0], 0.5, 1e-9);

  wayPoint_S now{};
  EXPECT_EQ(robot->robotServiceGetCurrentWaypointInfo(now), 0);
  EXPECT_NEAR(now.jointpos[0], 0.5, 1e-9);
}

TEST_F(MotionOnSimulator, PauseAndContinueDuringAMoveThenItArrives) {
  auto result = blockingJointMove(0.8);
  ASSERT_TRUE(waitFor([&] { return simMoving(); }));
  EXPECT_EQ(robot->rootServiceRobotMoveControl(RobotMovePause), 0);
  EXPECT_FALSE(simMoving());
  const double pausedAt = sim->state().joints[0];
  EXPECT_TRUE(result.wait_for(50ms) == std::future_status::timeout);
  EXPECT_EQ(sim->state().joints[0], pausedAt);
  EXPECT_EQ(robot->rootServiceRobotMoveControl(RobotMoveContinue), 0);
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(result.get(), 0);
  EXPECT_NEAR(sim->state().joints[0], 0.8, 1e-9);
}

TEST_F(MotionOnSimulator, StopsEndABlockingMoveWithTheStopState) {
  for (int kind = 0; kind < 3; ++kind) {
    SCOPED_TRACE(kind);
    auto result = blockingJointMove(0.9 - 0.3 * kind);
    ASSERT_TRUE(waitFor([&] { return simMoving(); }));
    const int stop = kind == 0   ? robot->robotMoveStop()
                     : kind == 1 ? robot->robotMoveFastStop()
                                 : robot->rootServiceRobotMoveControl(RobotMoveStop);
    EXPECT_EQ(stop, 0);
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(result.get(), ErrCodeMoveEnterStopState);
    EXPECT_FALSE(simMoving());
  }
}

TEST_F(MotionOnSimulator, InjectedFaultEndsTheMoveWithItsCode) {
  const struct {
    int event;
    int expected;
  } cases[] = {{1001, 21001}, {2101, 22101}, {26, ErrCode_robotControllerError}, {1300, ErrCodeMoveEnterStopState}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    ruko::sim::Fault fault;
    fault.moveEndEvent = c.event;
    sim->setFault(kMove, fault);
    auto result = blockingJointMove(0.4);
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(result.get(), c.expected);
  }
  ruko::sim::Fault refused;
  refused.errorCode = 2;
  sim->setFault(kMove, refused);
  auto result = blockingJointMove(0.1);
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_NE(result.get(), 0);
}

TEST_F(MotionOnSimulator, LogoutEndsABlockingMove) {
  JointVelcAccParam slow{};
  for (double& v : slow.jointPara) v = 0.3;  // about a second of this move at this time scale
  ASSERT_EQ(robot->robotServiceSetGlobalMoveJointMaxVelc(slow), 0);
  auto result = blockingJointMove(0.7);
  // Once the move's reply is in: a logout while the request itself still waits for its reply does not end
  // that wait (it ends by the response time-out), only the wait for the move's end.
  ASSERT_TRUE(waitFor([&] {
    return log.contains("sdk log: Successfully waited for a robotMove response from the server.");
  }));
  EXPECT_EQ(robot->robotServiceLogout(), 0);
  ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
  EXPECT_EQ(result.get(), ErrCode_SocketDisconnect);
}

}  // namespace

namespace {

std::atomic<int> g_progressReports{0};

// A track reports each waypoint it passes; a joint move under low joint limits takes the time they give.
TEST_F(MotionOnSimulator, TrackReportsProgressAndLimitsSetTheDuration) {
  g_progressReports = 0;
  robot->robotServiceRegisterMovepStepNumNotifyCallback([](int, void*) { ++g_progressReports; }, nullptr);
  robot->robotServiceClearGlobalWayPointVector();
  for (double j1 : {0.0, 0.2, 0.5, 0.7}) {
    double p[6] = {j1, 0.2 + j1, 0.4, 0, 0.1, 0};
    ASSERT_EQ(robot->robotServiceAddGlobalWayPoint(p), 0);
  }
  EXPECT_EQ(robot->robotServiceTrackMove(CARTESIAN_MOVEP, true), 0);
  EXPECT_TRUE(ruko::test::waitFor([] { return g_progressReports.load() == 4; })) << g_progressReports.load();

  JointVelcAccParam slow{};
  for (double& v : slow.jointPara) v = 0.5;
  ASSERT_EQ(robot->robotServiceSetGlobalMoveJointMaxVelc(slow), 0);
  double from[6] = {0, 0.2, 0.3, 0, 0.1, 0};
  ASSERT_EQ(robot->robotServiceJointMove(from, true), 0);
  double to[6] = {1.0, 0.2, 0.3, 0, 0.1, 0};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(robot->robotServiceJointMove(to, true), 0);
  // 1 rad at 0.5 rad/s is at least 2 s of simulated time, 0.8 s at this time scale.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 700ms);
}

}  // namespace
