#ifndef RUKO_KINEMATICS_KINEMATIC_STORE_H
#define RUKO_KINEMATICS_KINEMATIC_STORE_H

// The process-wide kinematic parameters of the current arm model.
//
// Readers (forward and inverse kinematics, on the receive thread and on every
// application thread) take an immutable snapshot; writers (login, start-up, events)
// build a new snapshot from the current one and publish it atomically. A kinematic
// call therefore sees one consistent parameter set from start to end (never half of
// a model change), takes no lock of ours, and allocates nothing. Hold the snapshot for
// the length of one computation, not longer: it pins the parameters it was taken with.

#include <functional>
#include <limits>
#include <memory>

#include "kinematics/kinematic_types.h"
#include "kinematics/robot_models.h"

namespace ruko {

struct KinematicParams {
  static constexpr double kPi = 3.14159265358979323846;

  int robot_type = ruko_m01;

  // Lengths of the closed-form FK/IK and the Jacobian (default row of the table).
  double a2 = 0.408;
  double a3 = 0.376;
  double d1 = 0.0985;
  double d2 = 0.1215;
  double d5 = 0.1025;
  double d6 = 0.094;
  double d4 = -0.019;

  // Modified-DH table of the chain FK, joint 1 first: theta0[0..5], alpha[6..11],
  // a[12..17], d[18..23]. Joint 2's d starts at the default row's d2, so the chain
  // and the closed form agree even before any model is selected.
  // clang-format off
  double dh_vector[24] = {
      kPi,   -kPi / 2, 0,     -kPi / 2, 0,        0,         // theta0
      0,     -kPi / 2, kPi,   kPi,      -kPi / 2, kPi / 2,   // alpha
      0,     0,        0.408, 0.376,    0,        0,         // a
      0.0985, 0.1215,  0,     0,        0.1025,   0.094,     // d
  };
  // clang-format on

  RobotSystemParamCalib_S RobotSystemParamCalib{};
  bool dh_real = false;        // calibration deltas installed: FK uses the calibrated chain
  bool k_series_robot = true;  // the current model is an analytic model
  bool joint6Rot360 = false;   // reported by the controller; stored only
  bool joint1Rot360 = false;
};

// Indices into dh_vector of the entries a model selection rewrites.
enum DhVectorIndex : int {
  kDhA3 = 14,  // a of joint 3 (= a2)
  kDhA4 = 15,  // a of joint 4 (= a3)
  kDhD1 = 18,
  kDhD2 = 19,
  kDhD5 = 22,
  kDhD6 = 23,
};

// The current parameters, safe on any thread concurrently with writers. Never
// allocates; costs one atomic load and a reference-count copy of the thread's cached
// snapshot (the standard library's atomic shared_ptr access, which takes a short lock,
// runs only on the first read after a publication).
std::shared_ptr<const KinematicParams> kinematicParams();

// The current parameters without touching the reference count (forward kinematics
// runs on every pushed set of joint angles, and the count's atomic increment and
// decrement are a noticeable part of it). Hazard: the reference points into this
// thread's cached snapshot, which this thread's next read of the store may release.
// Use it only for a computation that reads nothing else from the store and calls
// nothing that might (no logging: a log callback can run kinematics).
const KinematicParams& borrowKinematicParams();

// Serialises writers: runs `edit` on a private copy of the current parameters and
// publishes the copy only when `edit` returns true. Returns whether it published.
// `edit` must not log or call back into the store (it runs under the writer lock).
bool updateKinematicParams(const std::function<bool(KinematicParams&)>& edit);

// Restores the parameters present at construction when it goes out of scope, so a
// test can select models without leaking them into the next test.
class ScopedKinematicParamsRestore {
 public:
  ScopedKinematicParamsRestore();
  ~ScopedKinematicParamsRestore();
  ScopedKinematicParamsRestore(const ScopedKinematicParamsRestore&) = delete;
  ScopedKinematicParamsRestore& operator=(const ScopedKinematicParamsRestore&) = delete;

 private:
  std::shared_ptr<const KinematicParams> saved_;
};

// v in single precision. Magnitudes beyond the float range become infinities (as IEEE
// rounding gives) without converting them, which the language leaves undefined; the
// callers refuse non-finite results.
inline float toSingle(double v) {
  if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (v < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

// Operations on a parameter set (a draft inside updateKinematicParams, or a snapshot).
void setDhParaLen(KinematicParams& params, int robotType, double a2, double a3, double d1, double d2, double d5,
                  double d6, double d4);
void getDhPara(const KinematicParams& params, double& a2, double& a3, double& d1, double& d2, double& d5, double& d6,
               double* d4);
void modifyDhParaLen(KinematicParams& params, const float* da, const float* dd);
bool lengthsAreFinite(const KinematicParams& params);

}  // namespace ruko

// The same operations on the process-wide store. Each writer publishes once.
void setDhParaLen(ruko_robot_type robotType, double a2, double a3, double d1, double d2, double d5, double d6,
                  double d4);
// With `d4` given it receives d4 and `d2` receives d2 - d4; otherwise `d2` is d2.
void getDhPara(double& a2, double& a3, double& d1, double& d2, double& d5, double& d6, double* d4);
void modifyDhParaLen(const float* da, const float* dd);
int getRobotType();

#endif  // RUKO_KINEMATICS_KINEMATIC_STORE_H
