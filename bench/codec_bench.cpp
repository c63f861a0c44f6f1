// Codec cost of the two bodies that dominate traffic: a move request with 1,000 waypoints (sent per track move)
// and the joint-status push (received up to every controller cycle). Times are per message; the counter
// allocs/msg counts heap allocations inside the timed loop (a counting operator new). Each codec path is paired
// with a baseline that builds or parses a plain message, with one heap allocation per sub-message and list.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"

namespace {

namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using P = ProtoEncodeDecode;

void reportAllocations(benchmark::State& state, long allocationsBefore) {
  state.counters["allocs/msg"] = static_cast<double>(ruko::test::threadAllocationCount() - allocationsBefore) /
                                 static_cast<double>(state.iterations());
}

RobotMoveProfile trackProfile() {
  RobotMoveProfile p{};
  p.moveMode = MODEP;
  p.subMoveMode = rrn::CARTESIAN_MOVEP;
  p.toolInEndOrientation = {1, 0, 0, 0};
  p.relativeMove.relativeOrientation.orientation = {1, 0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    p.maxVelc.jointPara[i] = 1.0;
    p.maxAcc.jointPara[i] = 2.0;
  }
  p.blendRadius = 0.01f;
  return p;
}

std::vector<rrn::wayPoint_S> track(int count) {
  std::vector<rrn::wayPoint_S> points(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    rrn::wayPoint_S& w = points[static_cast<std::size_t>(i)];
    w.cartPos.position = {0.4 + 1e-4 * i, -0.1, 0.3};
    w.orientation = {0.7071067811865476, 0, 0.7071067811865476, 0};
    for (int j = 0; j < 6; ++j) w.jointpos[j] = 0.01 * (i + j);
  }
  return points;
}

std::string moveBody(const RobotMoveProfile& profile, const std::vector<rrn::wayPoint_S>& points) {
  char* data = nullptr;
  int size = 0;
  P::getRequest_robotMove(&data, &size, profile, points);
  std::string body(data, static_cast<std::size_t>(size));
  delete[] data;
  return body;
}

std::string jointStatusPush() {
  common::ProtoRobotAllJointStatusResponse push;
  push.set_jointcount(6);
  for (int j = 0; j < 6; ++j) {
    rrn::JointStatus s{1200 + j, -300, 0.25f * j, 48.1f, 35.5f, 1190, -301.5f, 0.25f * j, 0};
    P::jointStatusTypeConversion(s, *push.add_jointstatus());
  }
  common::RobotCommonResponse* error = push.add_errorinfo();
  error->set_errorcode(0);
  error->set_errormsg("");
  return push.SerializeAsString();
}

void BM_MoveRequest1000_Encode(benchmark::State& state) {
  const RobotMoveProfile profile = trackProfile();
  const std::vector<rrn::wayPoint_S> points = track(1000);
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    char* data = nullptr;
    int size = 0;
    benchmark::DoNotOptimize(P::getRequest_robotMove(&data, &size, profile, points));
    delete[] data;
    state.counters["body bytes"] = size;
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_MoveRequest1000_Encode);

// Baseline: the same conversion into a plain message, which allocates every sub-message and list on the heap.
void BM_MoveRequest1000_Encode_PlainMessage(benchmark::State& state) {
  const RobotMoveProfile profile = trackProfile();
  const std::vector<rrn::wayPoint_S> points = track(1000);
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    common::RobotMove message;
    P::RobotMovePatamTypeConversion(profile, points, message);
    char* data = nullptr;
    int size = 0;
    benchmark::DoNotOptimize(P::ProtobufDataSerializeToArray(message, &data, &size));
    delete[] data;
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_MoveRequest1000_Encode_PlainMessage);

// The controller's side of the same body (what the simulator does): parse and turn back into records.
void BM_MoveRequest1000_Decode(benchmark::State& state) {
  const std::string body = moveBody(trackProfile(), track(1000));
  RobotMoveProfile profile{};
  std::vector<rrn::wayPoint_S> points;
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    ruko::codec::ScratchMessage<common::RobotMove> message;
    benchmark::DoNotOptimize(ruko::codec::parse(*message, body.data(), static_cast<int>(body.size())) &&
                             P::RobotMovePatamTypeConversion(*message, profile, points));
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_MoveRequest1000_Decode);

void BM_MoveRequest1000_Decode_PlainMessage(benchmark::State& state) {
  const std::string body = moveBody(trackProfile(), track(1000));
  RobotMoveProfile profile{};
  std::vector<rrn::wayPoint_S> points;
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    common::RobotMove message;
    benchmark::DoNotOptimize(ruko::codec::parse(message, body.data(), static_cast<int>(body.size())) &&
                             P::RobotMovePatamTypeConversion(message, profile, points));
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_MoveRequest1000_Decode_PlainMessage);

// The controller's side of the push, for the simulator.
void BM_JointStatusPush_Encode(benchmark::State& state) {
  rrn::JointStatus statuses[6]{};
  for (int j = 0; j < 6; ++j) statuses[j].jointCurrentI = 1200 + j;
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    ruko::codec::ScratchMessage<common::ProtoRobotAllJointStatusResponse> push;
    push->set_jointcount(6);
    for (const rrn::JointStatus& s : statuses) P::jointStatusTypeConversion(s, *push->add_jointstatus());
    P::ProtoRobotCommonResponseInit(*push->add_errorinfo(), 0, std::string());
    char* data = nullptr;
    int size = 0;
    benchmark::DoNotOptimize(P::ProtobufDataSerializeToArray(*push, &data, &size));
    delete[] data;
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_JointStatusPush_Encode);

// What the receive thread runs for every push.
void BM_JointStatusPush_Decode(benchmark::State& state) {
  const std::string body = jointStatusPush();
  rrn::JointStatus statuses[6]{};
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    int errorCode = 0;
    benchmark::DoNotOptimize(
        P::resolveResponse_jointStatus(body.data(), static_cast<int>(body.size()), statuses, 6, errorCode));
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_JointStatusPush_Decode);

void BM_JointStatusPush_Decode_PlainMessage(benchmark::State& state) {
  const std::string body = jointStatusPush();
  rrn::JointStatus statuses[6]{};
  const long allocationsBefore = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    common::ProtoRobotAllJointStatusResponse message;
    const bool ok = ruko::codec::parse(message, body.data(), static_cast<int>(body.size()));
    for (int i = 0; ok && i < message.jointstatus_size() && i < 6; ++i) {
      P::jointStatusTypeConversion(message.jointstatus(i), statuses[i]);
    }
    benchmark::DoNotOptimize(ok);
  }
  reportAllocations(state, allocationsBefore);
}
BENCHMARK(BM_JointStatusPush_Decode_PlainMessage);

}  // namespace

BENCHMARK_MAIN();
