// Event and push delivery over loopback TCP against the fake controller:
//  - event to callback: from the fake's write of an event packet to the application's event callback on the
//    event thread (median and 99th percentile, microseconds),
//  - wake-ups per second of an idle connected client (the library's own threads, read from /proc),
//  - push to callback at 1 kHz: from the fake's write of a joint-status push to the joint-status callback.
// The highest push rate without loss is BM_ReceiveThreadPushRate in transport_bench.

#include <benchmark/benchmark.h>
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "fake_controller.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

namespace {

using Clock = std::chrono::steady_clock;
using CMT = CommunicationMateType;

void reportLatencies(benchmark::State& state, std::vector<double>& micros) {
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

std::set<int> threadIds() {
  std::set<int> ids;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.') ids.insert(std::atoi(entry->d_name));
    }
    closedir(dir);
  }
  return ids;
}

long contextSwitches(int tid) {
  std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
  std::string line;
  long total = 0;
  while (std::getline(status, line)) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
      total += std::atol(line.substr(line.find(':') + 1).c_str());
    }
  }
  return total;
}

struct Stamps {
  std::atomic<int64_t> count{0};
  std::vector<Clock::time_point> at;
};

void connect(RobotControlServices& engine, ruko::test::FakeController& fake, benchmark::State& state, bool& ok) {
  engine.setServerPort(fake.port());
  ok = engine.connectRobotServer() == 0 && fake.waitForConnections(1);
  if (!ok) state.SkipWithError("no connection to the fake controller");
}

void BM_EventToCallbackLatency(benchmark::State& state) {
  ruko::TimingTable timing = ruko::defaultTiming();
  timing.afterConnectPause = std::chrono::milliseconds(0);
  ruko::ScopedTimingOverride noPause(timing);
  ruko::test::FakeController fake;
  RobotControlServices engine;
  Stamps stamps;
  stamps.at.resize(static_cast<size_t>(state.max_iterations));
  engine.robotServiceRegisterRobotEventInfoCallbackService(
      [](const ruko_robot_namespace::RobotEventInfo*, void* arg) {
        auto* s = static_cast<Stamps*>(arg);
        const int64_t i = s->count.load(std::memory_order_relaxed);
        if (static_cast<size_t>(i) < s->at.size()) s->at[static_cast<size_t>(i)] = Clock::now();
        s->count.store(i + 1, std::memory_order_release);
      },
      &stamps);
  bool ok = false;
  connect(engine, fake, state, ok);
  if (!ok) return;
  const std::string body = ruko::test::eventBody(ruko_robot_namespace::RobotEvent_User, 1, "bench");
  std::vector<double> micros;
  int64_t sent = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    fake.push(CMT::CommunicationType_Event, body);
    ++sent;
    while (stamps.count.load(std::memory_order_acquire) < sent) {
    }
    micros.push_back(std::chrono::duration<double, std::micro>(stamps.at[static_cast<size_t>(sent - 1)] - start).count());
  }
  engine.disconnectRobotServer();
  reportLatencies(state, micros);
}

void BM_IdleClientWakeUps(benchmark::State& state) {
  ruko::TimingTable timing = ruko::defaultTiming();
  timing.afterConnectPause = std::chrono::milliseconds(0);
  ruko::ScopedTimingOverride noPause(timing);
  ruko::test::FakeController fake;
  const std::set<int> before = threadIds();
  RobotControlServices engine;
  bool ok = false;
  connect(engine, fake, state, ok);
  if (!ok) return;
  std::vector<int> libraryThreads;
  for (int tid : threadIds()) {
    if (before.count(tid) == 0) libraryThreads.push_back(tid);
  }
  double perSecond = 0;
  for (auto _ : state) {
    long start = 0;
    for (int tid : libraryThreads) start += contextSwitches(tid);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    long end = 0;
    for (int tid : libraryThreads) end += contextSwitches(tid);
    perSecond = static_cast<double>(end - start) / 2.0;
  }
  state.counters["library_threads"] = static_cast<double>(libraryThreads.size());
  state.counters["wakeups_per_s"] = perSecond;
  engine.disconnectRobotServer();
}

void BM_PushToCallbackAt1kHz(benchmark::State& state) {
  ruko::TimingTable timing = ruko::defaultTiming();
  timing.afterConnectPause = std::chrono::milliseconds(0);
  ruko::ScopedTimingOverride noPause(timing);
  ruko::test::FakeController fake;
  RobotControlServices engine;
  const int pushes = 2000;
  Stamps stamps;
  stamps.at.resize(pushes);
  engine.robotServiceRegisterRealTimeJointStatusCallbackService(
      [](const ruko_robot_namespace::JointStatus*, int, void* arg) {
        auto* s = static_cast<Stamps*>(arg);
        const int64_t i = s->count.load(std::memory_order_relaxed);
        if (static_cast<size_t>(i) < s->at.size()) s->at[static_cast<size_t>(i)] = Clock::now();
        s->count.store(i + 1, std::memory_order_release);
      },
      &stamps);
  bool ok = false;
  connect(engine, fake, state, ok);
  if (!ok) return;
  const std::string body = ruko::test::jointStatusBody(1);
  std::vector<double> micros;
  for (auto _ : state) {
    stamps.count = 0;
    std::vector<Clock::time_point> sentAt(pushes);
    auto next = Clock::now();
    for (int i = 0; i < pushes; ++i) {
      std::this_thread::sleep_until(next);
      sentAt[static_cast<size_t>(i)] = Clock::now();
      fake.push(CMT::CommunicationType_RealTimeJointStatus, body);
      next += std::chrono::milliseconds(1);
    }
    while (stamps.count.load(std::memory_order_acquire) < pushes) std::this_thread::yield();
    for (int i = 0; i < pushes; ++i) {
      micros.push_back(
          std::chrono::duration<double, std::micro>(stamps.at[static_cast<size_t>(i)] - sentAt[static_cast<size_t>(i)])
              .count());
    }
  }
  state.counters["lost"] = static_cast<double>(pushes - stamps.count.load());
  engine.disconnectRobotServer();
  reportLatencies(state, micros);
}

BENCHMARK(BM_EventToCallbackLatency)->Iterations(5000)->UseRealTime();
BENCHMARK(BM_IdleClientWakeUps)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PushToCallbackAt1kHz)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
