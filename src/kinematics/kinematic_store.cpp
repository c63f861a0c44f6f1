#include "kinematics/kinematic_store.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <utility>

#include "util/log.h"

namespace ruko {
namespace {

std::shared_ptr<const KinematicParams>& currentParams() {
  static std::shared_ptr<const KinematicParams> current = std::make_shared<const KinematicParams>();
  return current;
}

// Bumped after every publication. Readers compare it with the generation of their
// thread's cached snapshot and go to the shared pointer (whose atomic access takes a
// lock inside the standard library) only when it moved, which is rare: writes happen
// at login, start-up and a few controller events.
std::atomic<std::uint64_t> g_generation{1};

struct ReaderCache {
  std::uint64_t generation = 0;
  std::shared_ptr<const KinematicParams> params;
};

std::mutex& writerMutex() {
  static std::mutex mutex;
  return mutex;
}

void publish(std::shared_ptr<const KinematicParams> next) {
  std::atomic_store(&currentParams(), std::move(next));
  // Release: a reader that sees the new generation also sees the new pointer.
  g_generation.fetch_add(1, std::memory_order_release);
}

}  // namespace

namespace {

// This thread's snapshot, refreshed when a publication happened since the last read.
const std::shared_ptr<const KinematicParams>& currentSnapshot() {
  thread_local ReaderCache cache;
  const std::uint64_t generation = g_generation.load(std::memory_order_acquire);
  if (cache.generation != generation) {
    // A publication racing with this refresh leaves the cache one generation behind
    // the pointer it holds; the next read refreshes again, so staleness never lasts.
    cache.params = std::atomic_load(&currentParams());
    cache.generation = generation;
  }
  return cache.params;
}

}  // namespace

std::shared_ptr<const KinematicParams> kinematicParams() {
  return currentSnapshot();
}

const KinematicParams& borrowKinematicParams() {
  return *currentSnapshot();
}

bool updateKinematicParams(const std::function<bool(KinematicParams&)>& edit) {
  std::lock_guard<std::mutex> lock(writerMutex());
  auto draft = std::make_shared<KinematicParams>(*kinematicParams());
  if (!edit(*draft)) return false;
  publish(std::move(draft));
  return true;
}

ScopedKinematicParamsRestore::ScopedKinematicParamsRestore() : saved_(kinematicParams()) {}

ScopedKinematicParamsRestore::~ScopedKinematicParamsRestore() {
  std::lock_guard<std::mutex> lock(writerMutex());
  publish(saved_);
}

void setDhParaLen(KinematicParams& params, int robotType, double a2, double a3, double d1, double d2, double d5,
                  double d6, double d4) {
  params.robot_type = robotType;
  params.a2 = a2;
  params.a3 = a3;
  params.d1 = d1;
  params.d2 = d2;
  params.d5 = d5;
  params.d6 = d6;
  params.d4 = d4;
}

void getDhPara(const KinematicParams& params, double& a2, double& a3, double& d1, double& d2, double& d5, double& d6,
               double* d4) {
  a2 = params.a2;
  a3 = params.a3;
  d1 = params.d1;
  d5 = params.d5;
  d6 = params.d6;
  if (d4 != nullptr) {
    *d4 = params.d4;
    d2 = params.d2 - params.d4;
  } else {
    d2 = params.d2;
  }
}

void modifyDhParaLen(KinematicParams& params, const float* da, const float* dd) {
  if (da == nullptr || dd == nullptr) return;
  params.a2 += da[2];
  params.a3 += da[3];
  params.d1 += dd[0];
  params.d4 += dd[3];
  // d2 carries d4 (getDhPara reports d2 - d4), so a d4 delta moves both and
  // d2 - d4 moves by dd[1] alone.
  params.d2 += static_cast<float>(dd[1] + dd[3]);
  params.d5 += dd[4];
  params.d6 += dd[5];
}

bool lengthsAreFinite(const KinematicParams& params) {
  const double lengths[] = {params.a2, params.a3, params.d1, params.d2, params.d5, params.d6, params.d4};
  for (double v : lengths) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace ruko

void setDhParaLen(ruko_robot_type robotType, double a2, double a3, double d1, double d2, double d5, double d6,
                  double d4) {
  const bool stored = ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    ruko::setDhParaLen(params, robotType, a2, a3, d1, d2, d5, d6, d4);
    return ruko::lengthsAreFinite(params);
  });
  if (!stored) ruko::logPrint(LL_ERROR, "setDhParaLen refused a non-finite length");
}

void getDhPara(double& a2, double& a3, double& d1, double& d2, double& d5, double& d6, double* d4) {
  ruko::getDhPara(*ruko::kinematicParams(), a2, a3, d1, d2, d5, d6, d4);
}

void modifyDhParaLen(const float* da, const float* dd) {
  const bool stored = ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    ruko::modifyDhParaLen(params, da, dd);
    return ruko::lengthsAreFinite(params);
  });
  if (!stored) ruko::logPrint(LL_ERROR, "modifyDhParaLen refused a non-finite length");
}

int getRobotType() {
  return ruko::kinematicParams()->robot_type;
}
