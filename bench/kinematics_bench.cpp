// Forward and inverse kinematics per call, over one fixed set of reachable poses, with
// Orocos KDL on the same chain as the baseline when it is available (bench/kdl.cmake).
//
// Every figure is also printed as a ratio to KDL's forward kinematics from the same
// run, since absolute times drift from run to run. The column allocs/call counts heap
// allocations inside the timed loop (a counting operator new).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "kinematics/our_alg.h"

#ifdef RUKO_HAVE_KDL
#include <kdl/chain.hpp>
#include <kdl/chainfksolverpos_recursive.hpp>
#include <kdl/chainiksolverpos_lma.hpp>
#include <kdl/frames.hpp>
#include <kdl/jntarray.hpp>
#endif

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kPoseCount = 10000;
const char* const kBaseline = "KDL_ChainFkSolverPos_recursive";

struct Pose {
  std::array<double, 6> joints;
  std::array<double, 6> internal;  // q = -theta, for the closed form
  std::array<double, 9> rot;
  std::array<double, 3> pos;
  wayPoint_S waypoint;  // pose as position + quaternion, reference = joints
};

// Random joints of the default model; every pose is reachable by construction.
const std::vector<Pose>& poses() {
  static const std::vector<Pose> set = [] {
    std::vector<Pose> out;
    out.reserve(kPoseCount);
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    while (static_cast<int>(out.size()) < kPoseCount) {
      Pose p{};
      for (int j = 0; j < 6; ++j) {
        p.joints[j] = angle(rng);
        p.internal[j] = -p.joints[j];
      }
      ComputeFk_QDR(p.internal.data(), p.pos.data(), p.rot.data());
      Ikfunc::ArmFk(p.waypoint.cartPos.position, p.waypoint.orientation, p.joints.data(), true);
      for (int j = 0; j < 6; ++j) p.waypoint.jointpos[j] = p.joints[j];
      out.push_back(p);
    }
    return out;
  }();
  return set;
}

void reportAllocations(benchmark::State& state, long allocations) {
  state.counters["allocs/call"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// Runs `call` on pose after pose and records the allocations it made.
template <typename Call>
void overPoses(benchmark::State& state, Call&& call) {
  const auto& set = poses();
  size_t i = 0;
  const long before = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    call(set[i]);
    if (++i == set.size()) i = 0;
  }
  reportAllocations(state, ruko::test::threadAllocationCount() - before);
}

void BM_KinematicParamsSnapshot(benchmark::State& state) {
  overPoses(state, [](const Pose&) {
    auto params = ruko::kinematicParams();
    benchmark::DoNotOptimize(params.get());
  });
}

void BM_ComputeFk_QDR(benchmark::State& state) {
  overPoses(state, [](const Pose& p) {
    double pos[3], rot[9];
    ComputeFk_QDR(p.internal.data(), pos, rot);
    benchmark::DoNotOptimize(pos);
    benchmark::DoNotOptimize(rot);
  });
}

void BM_ArmFk_Quaternion(benchmark::State& state) {
  overPoses(state, [](const Pose& p) {
    Pos pos;
    Ori ori;
    Ikfunc::ArmFk(pos, ori, p.joints.data(), false);
    benchmark::DoNotOptimize(pos);
    benchmark::DoNotOptimize(ori);
  });
}

void BM_OriMatrixToQuaternion(benchmark::State& state) {
  overPoses(state, [](const Pose& p) {
    Ori ori;
    Ikfunc::OriMatrixToQuaternion(p.rot.data(), ori);
    benchmark::DoNotOptimize(ori);
  });
}

void BM_ComputeIkLib_AllSolutions(benchmark::State& state) {
  long solutions = 0;
  overPoses(state, [&](const Pose& p) {
    // The closed form turns its input in place: work on copies.
    double rot[9], pos[3], sol[6][8];
    for (int k = 0; k < 9; ++k) rot[k] = p.rot[k];
    for (int k = 0; k < 3; ++k) pos[k] = p.pos[k];
    solutions += ComputeIkLib(p.internal.data(), rot, pos, sol);
    benchmark::DoNotOptimize(sol);
  });
  state.counters["solutions/call"] =
      benchmark::Counter(static_cast<double>(solutions), benchmark::Counter::kAvgIterations);
}

void BM_ComputeIk_new(benchmark::State& state) {
  long solutions = 0;
  overPoses(state, [&](const Pose& p) {
    wayPoint_S wp = p.waypoint;
    double results[6][8];
    solutions += Ikfunc::ComputeIk_new(wp, results);
    benchmark::DoNotOptimize(results);
  });
  state.counters["solutions/call"] =
      benchmark::Counter(static_cast<double>(solutions), benchmark::Counter::kAvgIterations);
}

void BM_ArmIk_Range2Pi(benchmark::State& state) {
  ruko::ScopedJointRangeRestore restore;
  double range[12];
  for (int j = 0; j < 6; ++j) {
    range[2 * j] = -2 * kPi;
    range[2 * j + 1] = 2 * kPi;
  }
  IkfuncSetJointRangeOfMotion(range);
  long failures = 0;
  overPoses(state, [&](const Pose& p) {
    wayPoint_S wp = p.waypoint;
    if (!Ikfunc::ArmIk(wp, nullptr, false, false)) ++failures;
    benchmark::DoNotOptimize(wp.jointpos);
  });
  state.counters["fail/call"] = benchmark::Counter(static_cast<double>(failures), benchmark::Counter::kAvgIterations);
}

void BM_ArmIkProtect_Compensated(benchmark::State& state) {
  ruko::ScopedKinematicParamsRestore restore;
  RobotSystemParamCalib_S calib{};
  for (int j = 0; j < 6; ++j) {
    calib.dA[j] = 0.0004f * static_cast<float>(j % 3 - 1);
    calib.dD[j] = 0.0003f * static_cast<float>(1 - j % 2 * 2);
    calib.dAlpha[j] = 0.0008f * static_cast<float>(j % 2);
    calib.dTheta[j] = -0.0006f;
    calib.dBeta[j] = j == 2 || j == 3 ? 0.0005f : 0.0f;
  }
  Ikfunc::installSystemCalibParam(calib);
  long failures = 0;
  overPoses(state, [&](const Pose& p) {
    wayPoint_S wp = p.waypoint;
    if (!Ikfunc::ArmIkProtect(wp, nullptr, false, false)) ++failures;
    benchmark::DoNotOptimize(wp.jointpos);
  });
  state.counters["fail/call"] = benchmark::Counter(static_cast<double>(failures), benchmark::Counter::kAvgIterations);
}

#ifdef RUKO_HAVE_KDL

// The same arm as a KDL chain: a fixed base link, then per joint a rotation about Z
// followed by the rest of that joint's modified-DH link and the next link's X part.
KDL::Chain kdlChain() {
  const auto params = ruko::kinematicParams();
  const double* dh = params->dh_vector;
  const double a[6] = {0, 0, params->a2, params->a3, 0, 0};
  const double d[6] = {params->d1, params->d2, 0, 0, params->d5, params->d6};
  auto xPart = [&](int i) { return KDL::Frame(KDL::Rotation::RotX(dh[6 + i])) * KDL::Frame(KDL::Vector(a[i], 0, 0)); };
  KDL::Chain chain;
  chain.addSegment(KDL::Segment(KDL::Joint(KDL::Joint::None), xPart(0)));
  for (int i = 0; i < 6; ++i) {
    KDL::Frame tip = KDL::Frame(KDL::Rotation::RotZ(dh[i])) * KDL::Frame(KDL::Vector(0, 0, d[i]));
    if (i < 5) tip = tip * xPart(i + 1);
    chain.addSegment(KDL::Segment(KDL::Joint(KDL::Joint::RotZ), tip));
  }
  return chain;
}

KDL::Frame toFrame(const Pose& p) {
  const auto& R = p.rot;
  return KDL::Frame(KDL::Rotation(R[0], R[1], R[2], R[3], R[4], R[5], R[6], R[7], R[8]),
                    KDL::Vector(p.pos[0], p.pos[1], p.pos[2]));
}

// The comparison is only fair if both compute the same pose.
bool kdlAgrees(const KDL::Chain& chain) {
  KDL::ChainFkSolverPos_recursive fk(chain);
  KDL::JntArray q(6);
  KDL::Frame frame;
  for (size_t i = 0; i < 100; ++i) {
    const Pose& p = poses()[i];
    for (int j = 0; j < 6; ++j) q(j) = p.joints[j];
    fk.JntToCart(q, frame);
    if (!KDL::Equal(frame, toFrame(p), 1e-12)) return false;
  }
  return true;
}

void BM_KDL_ChainFkSolverPos_recursive(benchmark::State& state) {
  const KDL::Chain chain = kdlChain();
  if (!kdlAgrees(chain)) {
    state.SkipWithError("KDL chain does not match the arm");
    return;
  }
  KDL::ChainFkSolverPos_recursive fk(chain);
  KDL::JntArray q(6);
  KDL::Frame frame;
  overPoses(state, [&](const Pose& p) {
    for (int j = 0; j < 6; ++j) q(j) = p.joints[j];
    fk.JntToCart(q, frame);
    benchmark::DoNotOptimize(frame);
  });
}

void BM_KDL_ChainIkSolverPos_LMA_Seeded0_1(benchmark::State& state) {
  const KDL::Chain chain = kdlChain();
  KDL::ChainIkSolverPos_LMA ik(chain);
  std::vector<KDL::Frame> frames;
  for (const Pose& p : poses()) frames.push_back(toFrame(p));
  KDL::JntArray seed(6), out(6);
  long failures = 0;
  size_t i = 0;
  const long before = ruko::test::threadAllocationCount();
  for (auto _ : state) {
    const Pose& p = poses()[i];
    for (int j = 0; j < 6; ++j) seed(j) = p.joints[j] + 0.1;
    if (ik.CartToJnt(seed, frames[i], out) < 0) ++failures;
    benchmark::DoNotOptimize(out);
    if (++i == frames.size()) i = 0;
  }
  reportAllocations(state, ruko::test::threadAllocationCount() - before);
  state.counters["fail/call"] = benchmark::Counter(static_cast<double>(failures), benchmark::Counter::kAvgIterations);
}

#endif  // RUKO_HAVE_KDL

// Console output plus, at the end, each figure as ns/call (wall and CPU) and as a
// ratio to KDL's forward kinematics of the same run. The ratio uses CPU time, which a
// busy machine disturbs less than wall time. With repetitions the mean is used.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
      if (run.run_type != Run::RT_Iteration && !mean) continue;
      const std::string& name = run.run_name.function_name;
      if (times_.find(name) == times_.end()) order_.emplace_back(run.family_index, name);
      Times& t = times_[name];
      if (mean) {  // the mean of the repetitions replaces the single runs
        t = Times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(), 1, true};
      } else if (!t.fromMean) {
        t.real += run.GetAdjustedRealTime();
        t.cpu += run.GetAdjustedCPUTime();
        t.runs += 1;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto baseline = times_.find(std::string("BM_") + kBaseline);
    std::printf("\n%-40s %12s %12s %10s\n", "benchmark", "ns/call", "cpu ns/call", "x KDL FK");
    std::sort(order_.begin(), order_.end());  // registration order, also when interleaved
    for (const auto& entry : order_) {
      const std::string& name = entry.second;
      const Times& t = times_[name];
      std::printf("%-40s %12.1f %12.1f", name.c_str(), t.real / t.runs, t.cpu / t.runs);
      if (baseline != times_.end()) {
        const Times& b = baseline->second;
        std::printf(" %10.2f\n", (t.cpu / t.runs) / (b.cpu / b.runs));
      } else {
        std::printf(" %10s\n", "-");
      }
    }
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
    int runs = 0;
    bool fromMean = false;
  };
  std::map<std::string, Times> times_;
  std::vector<std::pair<int64_t, std::string>> order_;
};

}  // namespace

#ifdef RUKO_HAVE_KDL
BENCHMARK(BM_KDL_ChainFkSolverPos_recursive)->Unit(benchmark::kNanosecond);
#endif
BENCHMARK(BM_KinematicParamsSnapshot)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ComputeFk_QDR)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ArmFk_Quaternion)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_OriMatrixToQuaternion)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ComputeIkLib_AllSolutions)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ComputeIk_new)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ArmIk_Range2Pi)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ArmIkProtect_Compensated)->Unit(benchmark::kNanosecond);
#ifdef RUKO_HAVE_KDL
BENCHMARK(BM_KDL_ChainIkSolverPos_LMA_Seeded0_1)->Unit(benchmark::kNanosecond);
#endif

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  poses();  // build the pose set before any timing
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
