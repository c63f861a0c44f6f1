#include "kinematics/kinematic_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "ruko_sdk/robot_parameter_types.h"

namespace {

struct Expected {
  int robotType;
  double a2, a3, d1, d2, d5, d6, d4;
  double dhA3, dhD2;  // the nominal row stays in the chain FK's table
};

// ruko_m05 overridden by reported lengths, and ruko_m02 at its nominal row.
const Expected kM05Reported = {4, 0.27, 0.26, 0.16, 0.12, 0.11, 0.1, 0, 0.266, 0.119};
const Expected kM02 = {1, 0.552, 0.495, 0.1632, 0.178, 0.1025, 0.094, 0, 0.552, 0.178};

bool near(double a, double b) {
  return a - b < 1e-6 && b - a < 1e-6;
}

bool matches(const ruko::KinematicParams& p, const Expected& e) {
  return p.robot_type == e.robotType && near(p.a2, e.a2) && near(p.a3, e.a3) && near(p.d1, e.d1) && near(p.d2, e.d2) &&
         near(p.d5, e.d5) && near(p.d6, e.d6) && p.d4 == e.d4 && p.dh_vector[14] == e.dhA3 &&
         p.dh_vector[19] == e.dhD2 && p.k_series_robot;
}

}  // namespace

// A model change is published as one snapshot: a reader sees the old parameters or
// the new ones, never lengths of one model with the type or DH table of another.
TEST(KinematicStore, ReadersNeverSeeAMixtureWhileAWriterSwitchesModels) {
  ruko::ScopedKinematicParamsRestore restore;
  // Forward kinematics reads the store without holding a snapshot of its own: it must
  // give one model's pose or the other's, from parameters that are still alive.
  const double joints[6] = {0.3, -0.5, 1.1, 0.4, 1.3, -0.6};
  Pos flange[2];
  Ori ori{};
  ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m05, 0.27, 0.26, 0.16, 0.12, 0.11, 0.1));
  Ikfunc::ArmFk(flange[0], ori, joints, true);
  ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m02, 0.552, 0.495, 0.1632, 0.178, 0.1025, 0.094));
  Ikfunc::ArmFk(flange[1], ori, joints, true);
  const auto isFlange = [&](const Pos& p) {
    for (const Pos& f : flange) {
      if (p.x == f.x && p.y == f.y && p.z == f.z) return true;
    }
    return false;
  };

  std::atomic<bool> done{false};
  std::atomic<int> mixtures{0};
  std::atomic<long> reads{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 3; ++r) {
    readers.emplace_back([&] {
      while (!done.load(std::memory_order_acquire)) {
        const auto p = ruko::kinematicParams();
        if (!matches(*p, kM05Reported) && !matches(*p, kM02)) ++mixtures;
        // The free-function read paths must be race-free too.
        double a2, a3, d1, d2, d5, d6;
        getDhPara(a2, a3, d1, d2, d5, d6, nullptr);
        (void)getRobotType();
        (void)Ikfunc::joint6Rot360();
        Pos pos{};
        Ori q{};
        Ikfunc::ArmFk(pos, q, joints, true);
        if (!isFlange(pos)) ++mixtures;
        ++reads;
      }
    });
  }

  ruko_robot_namespace::RobotKinematicsParameters calib{};
  for (int i = 0; i < 400; ++i) {
    if (i % 2 == 0) {
      Ikfunc::setDhParameters(ruko_m05, 0.27, 0.26, 0.16, 0.12, 0.11, 0.1);
    } else {
      Ikfunc::setDhParameters(ruko_m02, 0.552, 0.495, 0.1632, 0.178, 0.1025, 0.094);
    }
    calib.da[0] = i;
    RobotUtilService::setRobotSystemCalibParam(calib, 4005001);
    Ikfunc::setJoint6Rot360(i % 3 == 0);
  }
  // Let the readers see the final state at least once, then stop them.
  while (reads.load() < 100) std::this_thread::yield();
  done.store(true, std::memory_order_release);
  for (auto& t : readers) t.join();

  EXPECT_EQ(mixtures.load(), 0);
  EXPECT_EQ(ruko::kinematicParams()->RobotSystemParamCalib.dA[0], 399.0f);
  EXPECT_TRUE(ruko::kinematicParams()->dh_real);
}

// Concurrent writers are serialised: no update is lost.
TEST(KinematicStore, ConcurrentWritersDoNotLoseUpdates) {
  ruko::ScopedKinematicParamsRestore restore;
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([] {
      for (int i = 0; i < 250; ++i) {
        ruko::updateKinematicParams([](ruko::KinematicParams& p) {
          p.a2 += 1;
          return true;
        });
      }
    });
  }
  for (auto& t : writers) t.join();
  EXPECT_NEAR(ruko::kinematicParams()->a2, 0.408 + 1000, 1e-9);
}
