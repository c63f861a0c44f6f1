// Soak: a long session against the simulated controller through the public API. 1 kHz joint-status and
// joint-angle pushes, a stream of events and two threads of requests, for a given time; then it checks that
// every push the simulator made reached its callback, that no request failed, and that the resident memory
// did not grow beyond a small bound after warm-up.
//
//   ruko_soak [seconds, default 600]
// Exit code 0 when all holds; one line per second of progress on standard output.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ruko_sdk/serviceinterface.h"
#include "simulator.h"

namespace rrn = ruko_robot_namespace;
using Clock = std::chrono::steady_clock;

namespace {

std::atomic<uint64_t> g_jointStatus{0};
std::atomic<uint64_t> g_waypoints{0};
std::atomic<uint64_t> g_events{0};
std::atomic<uint64_t> g_requests{0};
std::atomic<uint64_t> g_requestErrors{0};

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void requests(ServiceInterface& robot, const std::atomic<bool>& stop, int which) {
  while (!stop.load()) {
    int code = 0;
    if (which == 0) {
      rrn::RobotDiagnosis diagnosis{};
      code = robot.robotServiceGetRobotDiagnosisInfo(diagnosis);
    } else {
      rrn::JointParam joints{};
      code = robot.robotServiceGetJointAngleInfo(joints);
    }
    ++g_requests;
    if (code != 0) {
      ++g_requestErrors;
      std::printf("request failed: %d\n", code);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
  ruko::sim::Options options;
  options.pushHz = 1000;
  options.timeScale = 0.05;
  ruko::sim::Simulator sim(options);
  if (!sim.start()) {
    std::printf("the simulator did not start\n");
    return 2;
  }

  bool ok = true;
  {
    ServiceInterface robot;
    robot.robotServiceRegisterLogPrintCallback([](rrn::LOG_LEVEL, const char*, void*) {}, nullptr);
    if (robot.robotServiceLogin("127.0.0.1", sim.port(), "soak", "soak") != 0) {
      std::printf("login failed\n");
      return 2;
    }
    robot.robotServiceRegisterRobotEventInfoCallback([](const rrn::RobotEventInfo*, void*) { ++g_events; }, nullptr);
    robot.robotServiceRegisterRealTimeJointStatusCallback([](const rrn::JointStatus*, int, void*) { ++g_jointStatus; },
                                                          nullptr);
    robot.robotServiceRegisterRealTimeRoadPointCallback([](const rrn::wayPoint_S*, void*) { ++g_waypoints; }, nullptr);

    std::atomic<bool> stop{false};
    std::thread a(requests, std::ref(robot), std::cref(stop), 0);
    std::thread b(requests, std::ref(robot), std::cref(stop), 1);

    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    const auto warm = start + std::chrono::seconds(std::max(1, seconds / 10));
    long warmKiB = 0;
    uint64_t injected = 0;
    auto nextLine = start + std::chrono::seconds(1);
    while (Clock::now() < end) {
      sim.injectEvent(rrn::RobotEvent_User, static_cast<int>(injected), "soak");
      ++injected;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (warmKiB == 0 && Clock::now() >= warm) warmKiB = residentKiB();
      if (Clock::now() >= nextLine) {
        nextLine += std::chrono::seconds(1);
        std::printf("%4lds: %llu joint-status, %llu waypoints, %llu events, %llu requests, RSS %ld KiB\n",
                    static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count()),
                    static_cast<unsigned long long>(g_jointStatus.load()),
                    static_cast<unsigned long long>(g_waypoints.load()),
                    static_cast<unsigned long long>(g_events.load()),
                    static_cast<unsigned long long>(g_requests.load()), residentKiB());
        std::fflush(stdout);
      }
    }
    stop = true;
    a.join();
    b.join();
    // Null callbacks stop the pushes; whatever was made before the stop must still arrive.
    robot.robotServiceRegisterRealTimeJointStatusCallback(nullptr, nullptr);
    robot.robotServiceRegisterRealTimeRoadPointCallback(nullptr, nullptr);
    const long endKiB = residentKiB();
    const auto settle = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < settle &&
           (g_jointStatus.load() < sim.pushesMade(3) || g_waypoints.load() < sim.pushesMade(7) ||
            g_events.load() < injected)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const uint64_t madeStatus = sim.pushesMade(3);
    const uint64_t madeAngles = sim.pushesMade(7);
    std::printf("joint status: %llu made, %llu received; joint angles: %llu made, %llu received; events: %llu sent, "
                "%llu received; requests: %llu, %llu failed; RSS after warm-up %ld KiB, at the end %ld KiB\n",
                static_cast<unsigned long long>(madeStatus), static_cast<unsigned long long>(g_jointStatus.load()),
                static_cast<unsigned long long>(madeAngles), static_cast<unsigned long long>(g_waypoints.load()),
                static_cast<unsigned long long>(injected), static_cast<unsigned long long>(g_events.load()),
                static_cast<unsigned long long>(g_requests.load()),
                static_cast<unsigned long long>(g_requestErrors.load()), warmKiB, endKiB);
    ok = g_jointStatus.load() == madeStatus && g_waypoints.load() == madeAngles && g_events.load() == injected &&
         g_requestErrors.load() == 0 && g_requests.load() > 0 && endKiB - warmKiB < 8 * 1024;
    robot.robotServiceLogout();
  }
  std::printf("%s\n", ok ? "soak passed" : "soak FAILED");
  return ok ? 0 : 1;
}
