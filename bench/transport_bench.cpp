// Transport figures over loopback TCP:
//  - request round trip through the engine against the fake controller (a heartbeat in check mode),
//  - the same exchange by a bare socket against the fake (what the fake itself costs),
//  - a bare socket ping-pong against a bare echo server (the floor: the kernel's loopback and two wake-ups),
//  - the rate of pushes the receive thread takes in and routes to their handler.
// Latencies are per request, reported as median and 99th percentile in microseconds.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "controller_bodies.h"
#include "fake_controller.h"
#include "transport/robotcontrolservices.h"
#include "util/timing.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kHeartbeat = CommunicationMateType::CommunicationType_communicationHeart;

void reportLatencies(benchmark::State& state, std::vector<double>& micros) {
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

double microsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool readAll(int fd, char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = recv(fd, data, size, 0);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int connectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// The floor: a server that answers each fixed-size request with a fixed-size reply and does nothing else.
void BM_BareSocketPingPong(benchmark::State& state) {
  const std::string request = ruko::test::framePacket(kHeartbeat, "");
  const std::string reply = ruko::test::framePacket(kHeartbeat, ruko::test::commonResultBody(0));

  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener, 1);
  socklen_t length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  std::thread server([&] {
    const int fd = accept(listener, nullptr, nullptr);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));  // as the fake controller does
    std::string in(request.size(), '\0');
    while (readAll(fd, &in[0], in.size()) && writeAll(fd, reply.data(), reply.size())) {
    }
    close(fd);
  });

  const int fd = connectTo(ntohs(address.sin_port));
  std::string in(reply.size(), '\0');
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!writeAll(fd, request.data(), request.size()) || !readAll(fd, &in[0], in.size())) {
      state.SkipWithError("bare ping-pong broke");
      break;
    }
    micros.push_back(microsSince(start));
  }
  close(fd);
  server.join();
  close(listener);
  reportLatencies(state, micros);
}

// A bare socket against the fake controller: the fake's share of the engine's round trip.
void BM_BareSocketAgainstFake(benchmark::State& state) {
  ruko::test::FakeController fake;
  fake.on(kHeartbeat).reply(ruko::test::commonResultBody(0));
  const std::string request = ruko::test::framePacket(kHeartbeat, "");
  const size_t replySize = ruko::test::framePacket(kHeartbeat, ruko::test::commonResultBody(0)).size();
  const int fd = connectTo(fake.port());
  std::string in(replySize, '\0');
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!writeAll(fd, request.data(), request.size()) || !readAll(fd, &in[0], in.size())) {
      state.SkipWithError("exchange with the fake broke");
      break;
    }
    micros.push_back(microsSince(start));
  }
  close(fd);
  reportLatencies(state, micros);
}

void BM_EngineRequestRoundTrip(benchmark::State& state) {
  ruko::TimingTable timing = ruko::defaultTiming();
  timing.afterConnectPause = std::chrono::milliseconds(0);
  ruko::ScopedTimingOverride noPause(timing);
  ruko::test::FakeController fake;
  fake.on(kHeartbeat).reply(ruko::test::commonResultBody(0));
  RobotControlServices engine;
  engine.setServerPort(fake.port());
  if (engine.connectRobotServer() != 0) {
    state.SkipWithError("no connection to the fake controller");
    return;
  }
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = Clock::now();
    if (engine.heartbeatService() != 0) {
      state.SkipWithError("heartbeat failed");
      break;
    }
    micros.push_back(microsSince(start));
  }
  engine.disconnectRobotServer();
  reportLatencies(state, micros);
}

// Counts the joint-status pushes that reach the application's callback, decoded.
class CountingEngine : public RobotControlServices {
 public:
  CountingEngine() {
    robotServiceRegisterRealTimeJointStatusCallbackService(
        [](const ruko_robot_namespace::JointStatus*, int, void* self) {
          static_cast<CountingEngine*>(self)->pushes.fetch_add(1, std::memory_order_relaxed);
        },
        this);
  }
  ~CountingEngine() override { disconnectRobotServer(); }
  std::atomic<int64_t> pushes{0};
};

void BM_ReceiveThreadPushRate(benchmark::State& state) {
  const int burst = static_cast<int>(state.range(0));
  ruko::TimingTable timing = ruko::defaultTiming();
  timing.afterConnectPause = std::chrono::milliseconds(0);
  ruko::ScopedTimingOverride noPause(timing);
  ruko::test::FakeController fake;
  CountingEngine engine;
  engine.setServerPort(fake.port());
  if (engine.connectRobotServer() != 0 || !fake.waitForConnections(1)) {
    state.SkipWithError("no connection to the fake controller");
    return;
  }
  const std::string body = ruko::test::jointStatusBody(1);
  int64_t total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    fake.pushBurst(CommunicationMateType::CommunicationType_RealTimeJointStatus, body, burst);
    total += burst;
    while (engine.pushes.load(std::memory_order_relaxed) < total) {
      std::this_thread::yield();
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.SetItemsProcessed(total);
  state.SetBytesProcessed(total * static_cast<int64_t>(body.size() + 20));
}

BENCHMARK(BM_BareSocketPingPong)->Iterations(20000)->UseRealTime();
BENCHMARK(BM_BareSocketAgainstFake)->Iterations(20000)->UseRealTime();
BENCHMARK(BM_EngineRequestRoundTrip)->Iterations(20000)->UseRealTime();
// A joint-status push carries six joint records, decoded on the receive thread.
BENCHMARK(BM_ReceiveThreadPushRate)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
