#include "kinematics/joint_range_of_motion.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "kinematics/ikfunc.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// A sequence lock: inverse kinematics reads the range on every call, on any thread,
// while the login or motion thread may replace it. Readers copy the fields and retry
// when the sequence moved (odd while a writer is inside), so they never block and
// never see half of one record and half of another. Every field is an atomic, which
// keeps the scheme free of data races in the language's sense: acquire loads keep the
// closing sequence read after the field reads, release stores keep the opening
// (odd) sequence write before the field writes.
class JointRangeCell {
 public:
  JointRangeOfMotion read() const {
    JointRangeOfMotion out;
    for (;;) {
      const unsigned before = seq_.load(std::memory_order_acquire);
      if ((before & 1u) != 0) {
        std::this_thread::yield();
        continue;
      }
      out.enable = enable_.load(std::memory_order_acquire);
      for (int j = 0; j < 6; ++j) {
        out.rangeValues[j].minValue = min_[j].load(std::memory_order_acquire);
        out.rangeValues[j].maxValue = max_[j].load(std::memory_order_acquire);
      }
      if (seq_.load(std::memory_order_acquire) == before) return out;
    }
  }

  // `edit` turns the current record into the next one.
  template <typename Edit>
  void write(Edit&& edit) {
    std::lock_guard<std::mutex> lock(writer_);
    JointRangeOfMotion next = readUnderWriterLock();
    edit(next);
    const unsigned seq = seq_.load(std::memory_order_relaxed);
    seq_.store(seq + 1, std::memory_order_relaxed);
    enable_.store(next.enable, std::memory_order_release);
    for (int j = 0; j < 6; ++j) {
      min_[j].store(next.rangeValues[j].minValue, std::memory_order_release);
      max_[j].store(next.rangeValues[j].maxValue, std::memory_order_release);
    }
    seq_.store(seq + 2, std::memory_order_release);
  }

 private:
  JointRangeOfMotion readUnderWriterLock() const {
    JointRangeOfMotion out;
    out.enable = enable_.load(std::memory_order_relaxed);
    for (int j = 0; j < 6; ++j) {
      out.rangeValues[j].minValue = min_[j].load(std::memory_order_relaxed);
      out.rangeValues[j].maxValue = max_[j].load(std::memory_order_relaxed);
    }
    return out;
  }

  std::mutex writer_;
  std::atomic<unsigned> seq_{0};
  std::atomic<bool> enable_{false};
  std::atomic<double> min_[6] = {-kTwoPi, -kTwoPi, -kTwoPi, -kTwoPi, -kTwoPi, -kTwoPi};
  std::atomic<double> max_[6] = {kTwoPi, kTwoPi, kTwoPi, kTwoPi, kTwoPi, kTwoPi};
};

// Constant-initialised (every member has a constexpr constructor), so it is ready
// before any static initialiser of another translation unit could call in.
JointRangeCell g_jointRange;

// Index of the first joint whose bounds cannot be installed, or -1.
int firstInvalidJoint(const JointRangeOfMotion& range) {
  for (int j = 0; j < 6; ++j) {
    const double lo = range.rangeValues[j].minValue;
    const double hi = range.rangeValues[j].maxValue;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi)) return j;
  }
  return -1;
}

}  // namespace

namespace ruko {

JointRangeOfMotion defaultJointRangeOfMotion() {
  JointRangeOfMotion range{};
  range.enable = false;
  for (auto& joint : range.rangeValues) joint = RangeOfMotion{-kTwoPi, kTwoPi};
  return range;
}

JointRangeOfMotion jointRangeOfMotion() {
  return g_jointRange.read();
}

bool installJointRange(const JointRangeOfMotion& range, bool keepEnable) {
  const int bad = firstInvalidJoint(range);
  if (bad >= 0) {
    ruko::logPrint(LL_ERROR, "sdk log: joint range of motion refused, joint%d (%f, %f); range unchanged.", bad + 1,
                   range.rangeValues[bad].minValue, range.rangeValues[bad].maxValue);
    return false;
  }
  g_jointRange.write([&](JointRangeOfMotion& current) {
    const bool enable = keepEnable ? current.enable : range.enable;
    current = range;
    current.enable = enable;
  });
  return true;
}

ScopedJointRangeRestore::ScopedJointRangeRestore() : saved_(jointRangeOfMotion()) {}

ScopedJointRangeRestore::~ScopedJointRangeRestore() {
  const JointRangeOfMotion saved = saved_;
  g_jointRange.write([&](JointRangeOfMotion& current) { current = saved; });
}

}  // namespace ruko

bool IkfuncSetJointRangeOfMotion(const double* rangeOfMotion) {
  if (rangeOfMotion == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: joint range of motion refused, no values; range unchanged.");
    return false;
  }
  JointRangeOfMotion range{};
  range.enable = true;
  for (int j = 0; j < 6; ++j) {
    range.rangeValues[j] = RangeOfMotion{rangeOfMotion[2 * j], rangeOfMotion[2 * j + 1]};
  }
  return ruko::installJointRange(range, false);
}

void IkfuncGetJointRangeOfMotion(double rangeOfMotion[6][2]) {
  if (rangeOfMotion == nullptr) return;
  const JointRangeOfMotion range = ruko::jointRangeOfMotion();
  for (int j = 0; j < 6; ++j) {
    rangeOfMotion[j][0] = 180 * range.rangeValues[j].minValue / kPi;
    rangeOfMotion[j][1] = 180 * range.rangeValues[j].maxValue / kPi;
  }
}

bool IkfuncCheckJointRangeOfMotion() {
  return ruko::jointRangeOfMotion().enable;
}

bool Ikfunc::setJointLimits(const double* upper_bound, const double* lower_bound) {
  if (upper_bound == nullptr || lower_bound == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: joint range of motion refused, no values; range unchanged.");
    return false;
  }
  JointRangeOfMotion range{};
  for (int j = 0; j < 6; ++j) range.rangeValues[j] = RangeOfMotion{lower_bound[j], upper_bound[j]};
  return ruko::installJointRange(range, true);
}
