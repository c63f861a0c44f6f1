// Frame services and calibration, per call: a base-to-user conversion (a user frame
// taught by three joint configurations, so three forward kinematics and a frame build
// ride on every call; the pre-converted inner step is the baseline), inverse
// kinematics through a tool, and a four-pose tool calibration.
#include <benchmark/benchmark.h>

#include <cmath>

#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "util/internalmatetype.h"

namespace {

namespace rn = ruko_robot_namespace;
using RUS = RobotUtilService;

const double kHome[6] = {0.2, -0.4, 1.3, 0.3, 1.2, -0.5};
const rn::ToolInEndDesc kTool{{0.01, -0.02, 0.13}, {0.9950041652780258, 0, 0, 0.09983341664682815}};

rn::CoordCalibrateByJointAngleAndTool userFrame() {
  rn::CoordCalibrateByJointAngleAndTool frame{};
  frame.coordType = rn::WorldCoordinate;
  frame.methods = rn::Origin_AnyPointOnPositiveXAxis_AnyPointOnFirstQuadrantOfXOYPlane;
  const double offsets[3][6] = {{0, 0, 0, 0, 0, 0}, {0.15, 0, 0, 0, 0, 0}, {0, 0.1, -0.1, 0, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 6; ++j) frame.wayPointArray[i].jointPos[j] = kHome[j] + offsets[i][j];
  }
  frame.toolDesc = rn::ToolInEndDesc{{0, 0, 0.1}, {1, 0, 0, 0}};
  return frame;
}

void BM_Base2UserCoordinate(benchmark::State& state) {
  const auto frame = userFrame();
  rn::wayPoint_S flange{};
  RUS::robotFk(kHome, 6, flange);
  rn::Pos p{};
  rn::Ori q{};
  for (auto _ : state) {
    const int rc = RUS::base2UserCoordinate(flange.cartPos.position, flange.orientation, frame, kTool, p, q);
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_Base2UserCoordinate);

// The same conversion with the frame's points already turned into TCP poses.
void BM_Base2UserCoordinatePrivate(benchmark::State& state) {
  CoordCalibrateByToolEndPoint frame{};
  RUS::CoordCalibrateTypeConvert(userFrame(), frame);
  rn::wayPoint_S flange{};
  RUS::robotFk(kHome, 6, flange);
  rn::wayPoint_S out{};
  for (auto _ : state) {
    const int rc = RUS::base2UserCoordinatePrivate(flange, frame, kTool, out);
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_Base2UserCoordinatePrivate);

void BM_IkBasedOnTcp(benchmark::State& state) {
  rn::wayPoint_S flange{};
  RUS::robotFk(kHome, 6, flange);
  rn::Pos tcp{};
  rn::Ori tcpOri{};
  RUS::base2BaseAdditionalTool(flange.cartPos.position, flange.orientation, kTool, tcp, tcpOri);
  rn::wayPoint_S out{};
  for (auto _ : state) {
    const int rc = RUS::robotServiceIkBasedOnTcp(kHome, tcp, tcpOri, kTool, out);
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_IkBasedOnTcp);

// Plain inverse kinematics of the same flange pose: what the tool step adds.
void BM_RobotIk(benchmark::State& state) {
  rn::wayPoint_S flange{};
  RUS::robotFk(kHome, 6, flange);
  rn::wayPoint_S out{};
  for (auto _ : state) {
    const int rc = RUS::robotIk(kHome, flange.cartPos.position, flange.orientation, out);
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_RobotIk);

void BM_ToolCalibrationFourPoses(benchmark::State& state) {
  // Four flange poses tilted about one fixed tool tip at offset (0.01, -0.02, 0.13).
  const double tilts[4][4] = {{0, 1, 0, 0}, {0.1, 1, 0.3, 0}, {0.1, 1, 0, 0.3}, {0.15, 1, -0.3, 0.2}};
  Pose_S poses[4];
  const double t[3] = {0.01, -0.02, 0.13};
  for (int k = 0; k < 4; ++k) {
    const double* v = tilts[k];
    const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2] + v[3] * v[3]);
    const Ori q{v[0] / n, v[1] / n, v[2] / n, v[3] / n};
    double R[9];
    Ikfunc::QuaternionToOriMatrix(q, R);
    poses[k].oriU.orientation = q;
    for (int i = 0; i < 3; ++i) {
      poses[k].posU.positionVector[i] =
          (i == 0 ? 0.4 : 0.1) - (R[3 * i] * t[0] + R[3 * i + 1] * t[1] + R[3 * i + 2] * t[2]);
    }
  }
  Pose_S result{};
  for (auto _ : state) {
    const bool ok = Ikfunc::api_tool_coord_calib(poses, 4, nullptr, -1, result);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_ToolCalibrationFourPoses);

}  // namespace

BENCHMARK_MAIN();
