// Inverse kinematics above the closed form: joint range filter, position check,
// whole-turn expansion, nearest-solution choice and calibration compensation.

#include <cmath>

#include "kinematics/dh_chain.h"
#include "kinematics/ikfunc.h"
#include "kinematics/joint_range_of_motion.h"
#include "kinematics/kinematic_store.h"
#include "kinematics/our_alg.h"
#include "util/log.h"
#include "util/finite.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// A candidate whose nominal flange position misses the target by more than this is
// no solution. Only the position is compared: callers rely on that.
constexpr double kPositionTolerance = 1e-4;
// A candidate must come closer than this (sum of joint distances, radians) to the
// reference to be chosen; references further away than any candidate make IK fail.
constexpr double kInitialBestRoute = 10000;
// Whole turns tried on each side of a solution value. Ranges within about +-5 pi are
// expanded in full; wider ones cannot multiply the candidates without bound
// ((1 + 2 * 2)^6 per solution at most).
constexpr int kMaxTurnsPerSide = 2;
constexpr int kMaxValuesPerJoint = 1 + 2 * kMaxTurnsPerSide;

constexpr int kCompensationIterations = 15;
constexpr double kCompensationOriSquare = 1e-8;
constexpr double kCompensationDisSquare = 2.5e-9;

bool insideRange(const RangeOfMotion& r, double v) {
  return r.minValue < v && v < r.maxValue;
}

int computeIkNew(const ruko::KinematicParams& params, const JointRangeOfMotion& range, const wayPoint_S& cur,
                 double results[6][8]) {
  if (!params.k_series_robot) return 0;
  const Ori& o = cur.orientation;
  const double quaternion[4] = {o.w, o.x, o.y, o.z};
  if (!ruko::allFinite(cur.cartPos.positionVector, 3) || !ruko::allFinite(quaternion, 4) || !ruko::allFinite(cur.jointpos, 6)) {
    return 0;
  }
  const double qref[6] = {-cur.jointpos[0], -cur.jointpos[1], -cur.jointpos[2],
                          -cur.jointpos[3], -cur.jointpos[4], -cur.jointpos[5]};
  double eerot[9];
  double eetrans[3];
  Ikfunc::posOri2homoArr(cur.cartPos, cur.orientation, eerot, eetrans);
  int n = ruko::computeIkClosedForm(params, qref, eerot, eetrans, results);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < 6; ++j) results[j][i] = -results[j][i];
  }

  const double* target = cur.cartPos.positionVector;
  for (int i = 0; i < n;) {
    bool keep = true;
    if (range.enable) {
      for (int j = 0; j < 6 && keep; ++j) keep = insideRange(range.rangeValues[j], results[j][i]);
    }
    if (keep) {
      const double q[6] = {-results[0][i], -results[1][i], -results[2][i],
                           -results[3][i], -results[4][i], -results[5][i]};
      double pos[3];
      ruko::computeFkPositionClosedForm(params, q, pos);
      const double dx = pos[0] - target[0], dy = pos[1] - target[1], dz = pos[2] - target[2];
      keep = std::sqrt(dx * dx + dy * dy + dz * dz) <= kPositionTolerance;
    }
    if (keep) {
      ++i;
      continue;
    }
    --n;
    for (int j = 0; j < 6; ++j) results[j][i] = results[j][n];
  }
  return n;
}

// The values one joint of one solution can take: the value itself, then whole turns
// above it, then whole turns below it, each strictly inside the joint's range.
int turnsWithinRange(double v, const RangeOfMotion& r, double* out) {
  int count = 0;
  if (insideRange(r, v)) out[count++] = v;
  for (int k = 1; k <= kMaxTurnsPerSide; ++k) {
    const double x = v + k * kTwoPi;
    if (!(x < r.maxValue)) break;
    if (x > r.minValue) out[count++] = x;
  }
  for (int k = 1; k <= kMaxTurnsPerSide; ++k) {
    const double x = v - k * kTwoPi;
    if (!(x > r.minValue)) break;
    if (x < r.maxValue) out[count++] = x;
  }
  return count;
}

// Visits every whole-turn configuration of the solutions in order: solution by
// solution, joint 1 varying slowest and joint 6 fastest. One walk serves both the
// listing and the nearest-candidate search, so they cannot disagree on the order.
template <typename Visit>
void forEachConfiguration(int solutionCount, const double solutions[6][8], const JointRangeOfMotion& range,
                          Visit&& visit) {
  for (int s = 0; s < solutionCount; ++s) {
    double values[6][kMaxValuesPerJoint];
    int counts[6];
    bool empty = false;
    for (int j = 0; j < 6; ++j) {
      counts[j] = turnsWithinRange(solutions[j][s], range.rangeValues[j], values[j]);
      empty = empty || counts[j] == 0;
    }
    if (empty) continue;
    int index[6] = {0, 0, 0, 0, 0, 0};
    for (;;) {
      const double candidate[6] = {values[0][index[0]], values[1][index[1]], values[2][index[2]],
                                   values[3][index[3]], values[4][index[4]], values[5][index[5]]};
      visit(candidate);
      int j = 5;
      while (j >= 0 && ++index[j] == counts[j]) index[j--] = 0;
      if (j < 0) break;
    }
  }
}

// Nearest candidate to cur.jointpos, written there. Never selects a candidate that
// is not strictly closer than kInitialBestRoute, so nothing out of range is chosen
// for far or non-finite references.
bool armIk(const ruko::KinematicParams& params, const JointRangeOfMotion& range, wayPoint_S& cur) {
  double results[6][8];
  const int n = computeIkNew(params, range, cur, results);
  if (n == 0) return false;

  const double* ref = cur.jointpos;
  double bestRoute = kInitialBestRoute;
  double best[6];
  bool chosen = false;
  int candidates = 0;
  auto consider = [&](const double* candidate) {
    ++candidates;
    double route = 0;
    for (int j = 0; j < 6; ++j) route += std::fabs(candidate[j] - ref[j]);
    if (route < bestRoute) {
      bestRoute = route;
      for (int j = 0; j < 6; ++j) best[j] = candidate[j];
      chosen = true;
    }
  };
  if (range.enable) {
    forEachConfiguration(n, results, range, consider);
  } else {
    for (int s = 0; s < n; ++s) {
      const double candidate[6] = {results[0][s], results[1][s], results[2][s],
                                   results[3][s], results[4][s], results[5][s]};
      consider(candidate);
    }
  }

  if (candidates == 0) {
    const RangeOfMotion* r = range.rangeValues;
    const double k = 180 / kPi;
    ruko::logPrint(LL_WARN,
                   "None of %d ik solution is within joint ranges [(%f,%f), (%f,%f), (%f,%f), (%f,%f), (%f,%f), "
                   "(%f,%f)]",
                   n, r[0].minValue * k, r[0].maxValue * k, r[1].minValue * k, r[1].maxValue * k, r[2].minValue * k,
                   r[2].maxValue * k, r[3].minValue * k, r[3].maxValue * k, r[4].minValue * k, r[4].maxValue * k,
                   r[5].minValue * k, r[5].maxValue * k);
    return false;
  }
  if (!chosen) return false;
  for (int j = 0; j < 6; ++j) cur.jointpos[j] = best[j];
  return true;
}

// trace(A . B^T) of two rotations: 1 + 2 cos of the angle between them.
double rotationTrace(const double* A, const double* B) {
  double trace = 0;
  for (int i = 0; i < 9; ++i) trace += A[i] * B[i];
  return trace;
}

// Moves the nominal solution in res.jointpos until the calibrated chain reaches the
// target pose of res.
bool compensateCalibration(const ruko::KinematicParams& params, wayPoint_S& res) {
  double nominal[6];
  for (int j = 0; j < 6; ++j) nominal[j] = res.jointpos[j];
  double targetRot[9];
  Ikfunc::QuaternionToOriMatrix(res.orientation, targetRot);
  const double* targetPos = res.cartPos.positionVector;

  double startDis = 0, startOri = 0, dis = 0, ori = 0;
  bool converged = false;
  for (int iteration = 0; iteration < kCompensationIterations; ++iteration) {
    double rot[9];
    double pos[3];
    ruko::dhChainFk(params.dh_vector, &params.RobotSystemParamCalib, res.jointpos, pos, rot, nullptr);
    double twist[6];
    Ikfunc::tr2Delta(rot, pos, targetRot, targetPos, twist);
    dis = twist[0] * twist[0] + twist[1] * twist[1] + twist[2] * twist[2];
    ori = twist[3] * twist[3] + twist[4] * twist[4] + twist[5] * twist[5];
    if (iteration == 0) {
      startDis = dis;
      startOri = ori;
    }
    // Written so that a non-finite square never counts as converged. The twist's rotation part is
    // sin(angle) times the axis, as small half a turn away as at the target; the trace of
    // target . FK^T (1 + 2 cos(angle)) tells the two apart.
    if (ori <= kCompensationOriSquare && dis <= kCompensationDisSquare && rotationTrace(targetRot, rot) > 0) {
      converged = true;
      break;
    }
    double jac[36];
    ruko::computeJacobian(params, res.jointpos, jac);
    double step[6];
    Ikfunc::multiplyJacobianInv(twist, jac, step);
    for (int j = 0; j < 6; ++j) res.jointpos[j] += step[j];
  }
  if (!converged) {
    ruko::logPrint(LL_ERROR, "DHComp:not converged pos: %f->%f, ori: %f->%f,\n", startDis, dis, startOri, ori);
    return false;
  }
  const double* q = res.jointpos;
  ruko::logPrint(LL_INFO,
                 "IK compensation for dh deviation successful. comp before: %f,%f,%f,%f,%f,%f comp after: "
                 "%f,%f,%f,%f,%f,%f\n",
                 nominal[0], nominal[1], nominal[2], nominal[3], nominal[4], nominal[5], q[0], q[1], q[2], q[3], q[4],
                 q[5]);
  return true;
}

}  // namespace

int Ikfunc::ComputeIk_new(wayPoint_S& cur_stat, double jointResults[6][8]) {
  if (jointResults == nullptr) return 0;
  const auto params = ruko::kinematicParams();
  return computeIkNew(*params, ruko::jointRangeOfMotion(), cur_stat, jointResults);
}

void Ikfunc::extendToAllConfigurations(int solution_num, const double q_sols[6][8],
                                       std::vector<std::vector<double>>& q_out) {
  q_out.clear();
  if (q_sols == nullptr || solution_num <= 0) return;
  const int n = solution_num < 8 ? solution_num : 8;
  forEachConfiguration(n, q_sols, ruko::jointRangeOfMotion(),
                       [&](const double* candidate) { q_out.emplace_back(candidate, candidate + 6); });
}

bool Ikfunc::ArmIk(wayPoint_S& cur_stat, double* /*joint*/, bool /*iterIK*/, bool /*relMove*/) {
  const auto params = ruko::kinematicParams();
  return armIk(*params, ruko::jointRangeOfMotion(), cur_stat);
}

bool Ikfunc::ArmIkProtect(wayPoint_S& res, double* last_jointpos, bool /*iterIK*/, bool /*relMove*/) {
  double* out = last_jointpos != nullptr ? last_jointpos : res.jointpos;
  const auto params = ruko::kinematicParams();
  if (!armIk(*params, ruko::jointRangeOfMotion(), res)) {
    ruko::logPrint(LL_ERROR, "Original ArmIK failed.");
    return false;
  }
  if (params->dh_real && !compensateCalibration(*params, res)) return false;
  if (out != res.jointpos) {
    for (int j = 0; j < 6; ++j) out[j] = res.jointpos[j];
  }
  return true;
}

bool Ikfunc::api_arm_ik(Pos arm_pos, Ori arm_ori, double* joint_solve) {
  if (joint_solve == nullptr) return false;
  wayPoint_S waypoint{};
  waypoint.cartPos.position = arm_pos;
  waypoint.orientation = arm_ori;
  for (int j = 0; j < 6; ++j) waypoint.jointpos[j] = joint_solve[j];
  return ArmIkProtect(waypoint, joint_solve, false, false);
}
