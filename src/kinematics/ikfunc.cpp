#include "kinematics/ikfunc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "kinematics/kinematic_store.h"
#include "util/log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Squares below this are numerical noise only when they are tiny; larger negative
// values mean a matrix that is not a rotation and are worth a debug line.
constexpr double kNegativeSquareNoise = -1e-6;

// A quaternion whose sum of squares lies below this is rescaled before it is normalised: squares of its
// smaller components may have dropped to zero or lost digits. Above it, any square that underflowed is
// far below the rounding of the sum, and the plain formula gives the same bits as always.
constexpr double kSmallestPlainSquareSum = 1e-200;

// v with its sign bit flipped when flip is 1: the same bits as v * -1.0.
double withSignFlipped(double v, std::uint64_t flip) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bits ^= flip << 63;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace

double Ikfunc::SIGN(double x) {
  return x >= 0.0 ? 1.0 : -1.0;
}

double Ikfunc::NORM(double a, double b, double c, double d) {
  return std::sqrt(a * a + b * b + c * c + d * d);
}

void Ikfunc::QuaternionToOriMatrix(Ori q, double* eerot) {
  if (eerot == nullptr) return;
  double squares = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
  if (!(squares >= kSmallestPlainSquareSum && squares <= std::numeric_limits<double>::max())) {
    // The squares overflowed (components beyond about 1e154) or lost their digits (below about 1e-100):
    // 1/sqrt would be 0 or infinite, turning a finite quaternion into the identity or into non-finite
    // elements. Its rotation does not depend on its size, so bring the largest component to 1 first.
    // A zero or non-finite quaternion is left to the plain formula.
    const double largest = std::max(std::max(std::fabs(q.w), std::fabs(q.x)), std::max(std::fabs(q.y), std::fabs(q.z)));
    if (largest > 0 && largest <= std::numeric_limits<double>::max()) {
      q = Ori{q.w / largest, q.x / largest, q.y / largest, q.z / largest};
      squares = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
    }
  }
  const double n = 1.0 / std::sqrt(squares);
  const double w = q.w * n, x = q.x * n, y = q.y * n, z = q.z * n;
  eerot[0] = 1 - 2 * y * y - 2 * z * z;
  eerot[1] = 2 * x * y - 2 * w * z;
  eerot[2] = 2 * x * z + 2 * w * y;
  eerot[3] = 2 * x * y + 2 * w * z;
  eerot[4] = 1 - 2 * x * x - 2 * z * z;
  eerot[5] = 2 * y * z - 2 * w * x;
  eerot[6] = 2 * x * z - 2 * w * y;
  eerot[7] = 2 * y * z + 2 * w * x;
  eerot[8] = 1 - 2 * x * x - 2 * y * y;
}

bool Ikfunc::OriMatrixToQuaternion(const double* eerot, Ori& result) {
  if (eerot == nullptr) return false;
  // A non-finite element would either poison every component or, off the diagonal,
  // only flip signs of a finite-looking answer: refuse both.
  for (int i = 0; i < 9; ++i) {
    if (!std::isfinite(eerot[i])) return false;
  }
  const double* R = eerot;
  const double w2 = (R[0] + R[4] + R[8] + 1) / 4;
  double q[4] = {w2, (1 + R[0]) / 2 - w2, (1 + R[4]) / 2 - w2, (1 + R[8]) / 2 - w2};
  for (int i = 0; i < 4; ++i) {
    if (q[i] < 0) {
      if (q[i] < kNegativeSquareNoise) {
        ruko::logPrint(LL_DEBUG, "negative quaternion square: %d %f", i, q[i]);
      }
      q[i] = 0;
    } else {
      q[i] = std::sqrt(q[i]);
    }
  }

  // Signs. Each antisymmetric difference is 4w times a component, so it fixes that
  // component's sign only while w is well away from 0; near a half turn it vanishes
  // and would leave the signs arbitrary (180 deg about (1, -1, 0) came out as 180 deg
  // about (1, 1, 0)). So only the largest of x, y, z takes its sign from its
  // difference; the other two follow it through the symmetric sums, which are 4xy,
  // 4xz and 4yz and stay large exactly where the differences vanish.
  //
  // Every step is a sign flip of a magnitude, so it is done on the sign bit without
  // branches: with random orientations the choices are unpredictable, and mispredicted
  // branches cost more than the rest of the conversion. "Negative" below is the
  // complement of SIGN's x >= 0 (so 0 counts as positive, as SIGN(0) = 1).
  const std::uint64_t negDiff[3] = {!(R[7] - R[5] >= 0), !(R[2] - R[6] >= 0), !(R[3] - R[1] >= 0)};
  const std::uint64_t negXY = !(R[1] + R[3] >= 0);
  const std::uint64_t negXZ = !(R[2] + R[6] >= 0);
  const std::uint64_t negYZ = !(R[5] + R[7] >= 0);
  // negSum[i][j]: the symmetric sum that carries the sign of (component i) * (component j).
  const std::uint64_t negSum[3][3] = {{0, negXY, negXZ}, {negXY, 0, negYZ}, {negXZ, negYZ, 0}};
  // Index of the largest of x, y, z, the first of equals, by arithmetic (no branch).
  const unsigned yOverX = q[2] > q[1];
  const unsigned zLargest = q[3] > std::max(q[1], q[2]);
  const unsigned largest = 2 * zLargest + (1 - zLargest) * yOverX;
  for (int i = 0; i < 3; ++i) q[1 + i] = withSignFlipped(q[1 + i], negDiff[largest] ^ negSum[largest][i]);

  const double n = NORM(q[0], q[1], q[2], q[3]);
  // The four squares sum to 1 before clamping, so a finite matrix gives n >= 1; kept
  // for finite elements whose sums still overflow.
  if (!(n > 0) || !std::isfinite(n)) return false;
  result.w = q[0] / n;
  result.x = q[1] / n;
  result.y = q[2] / n;
  result.z = q[3] / n;
  return true;
}

void Ikfunc::QuaternionMultply(Ori& end_ori, Ori left_ori, bool rightMul) {
  const Ori a = end_ori;
  const Ori& p = left_ori;
  // The 3x3 block below the first row and right of the first column is transposed
  // when multiplying from the other side.
  const double s = rightMul ? 1.0 : -1.0;
  end_ori.w = a.w * p.w - a.x * p.x - a.y * p.y - a.z * p.z;
  end_ori.x = a.x * p.w + a.w * p.x - s * a.z * p.y + s * a.y * p.z;
  end_ori.y = a.y * p.w + s * a.z * p.x + a.w * p.y - s * a.x * p.z;
  end_ori.z = a.z * p.w - s * a.y * p.x + s * a.x * p.y + a.w * p.z;
}

void Ikfunc::QuaternionInversion(Ori& cur_ori) {
  cur_ori.x = -cur_ori.x;
  cur_ori.y = -cur_ori.y;
  cur_ori.z = -cur_ori.z;
}

namespace {

void rpyToQuaternion(double rx, double ry, double rz, Ori& ori) {
  const double cr = std::cos(rx / 2), sr = std::sin(rx / 2);
  const double cp = std::cos(ry / 2), sp = std::sin(ry / 2);
  const double cy = std::cos(rz / 2), sy = std::sin(rz / 2);
  ori.w = cy * cp * cr + sy * sp * sr;
  ori.x = cy * cp * sr - sy * sp * cr;
  ori.y = sy * cp * sr + cy * sp * cr;
  ori.z = sy * cp * cr - cy * sp * sr;
}

// Degrees from a single-precision angle: times 180 in single, over pi in double.
float toDegrees(float radians) {
  const float scaled = radians * 180.0f;
  return static_cast<float>(static_cast<double>(scaled) / kPi);
}

}  // namespace

void Ikfunc::RPYToQuaternion(Ori& ori, const float* rpy) {
  if (rpy == nullptr) return;
  rpyToQuaternion(rpy[0], rpy[1], rpy[2], ori);
}

void Ikfunc::RPYToQuaternion(const double* rpy, Ori& res) {
  if (rpy == nullptr) return;
  rpyToQuaternion(rpy[0], rpy[1], rpy[2], res);
}

void Ikfunc::quaternionToRPY(Ori ori, float* rpy) {
  if (rpy == nullptr) return;
  const double w = ori.w, x = ori.x, y = ori.y, z = ori.z;
  const float R00 = ruko::toSingle(2 * (w * w + x * x) - 1);
  const float R10 = ruko::toSingle(2 * (w * z + x * y));
  const float R11 = ruko::toSingle(2 * (w * w + y * y) - 1);
  const float R12 = ruko::toSingle(2 * (y * z - w * x));
  const float R20 = ruko::toSingle(2 * (x * z - w * y));
  const float R21 = ruko::toSingle(2 * (w * x + y * z));
  const float R22 = ruko::toSingle(2 * (w * w + z * z) - 1);
  float rz, ry, rx;
  if (std::fabs(R00) < 1e-16 && std::fabs(R10) < 1e-16) {
    rz = 0.0f;
    ry = std::atan2(-R20, R00);
    rx = std::atan2(-R12, R11);
  } else {
    rz = std::atan2(R10, R00);
    ry = std::atan2(-R20, std::sqrt(R00 * R00 + R10 * R10));
    rx = std::atan2(R21, R22);
  }
  rpy[0] = toDegrees(rz);
  rpy[1] = toDegrees(ry);
  rpy[2] = toDegrees(rx);
}

void Ikfunc::QuaternionToRPY(const Ori& res, double* rpy) {
  if (rpy == nullptr) return;
  double R[9];
  QuaternionToOriMatrix(res, R);
  const double ry = std::atan2(-R[6], std::sqrt(R[0] * R[0] + R[3] * R[3]));
  double rx, rz;
  if (std::fabs(ry) > kPi / 2 - 1e-12) {
    rz = std::atan2(-R[1], R[4]);
    rx = 0;
  } else {
    rx = std::atan2(R[7], R[8]);
    rz = std::atan2(R[3], R[0]);
  }
  rpy[0] = rx;
  rpy[1] = ry;
  rpy[2] = rz;
}

void Ikfunc::RPYToRotation(const double* rpy, double* eerot) {
  if (rpy == nullptr || eerot == nullptr) return;
  const double cR = std::cos(rpy[0]), sR = std::sin(rpy[0]);
  const double cP = std::cos(rpy[1]), sP = std::sin(rpy[1]);
  const double cY = std::cos(rpy[2]), sY = std::sin(rpy[2]);
  eerot[0] = cY * cP;
  eerot[1] = cY * sP * sR - sY * cR;
  eerot[2] = sY * sR + cY * sP * cR;
  eerot[3] = sY * cP;
  eerot[4] = cY * cR + sY * sP * sR;
  eerot[5] = sY * sP * cR - cY * sR;
  eerot[6] = -sP;
  eerot[7] = cP * sR;
  eerot[8] = cP * cR;
}

void Ikfunc::waypoint2Pose(Pose_S* posePtr, const wayPoint_S* wpPtr, int size) {
  if (posePtr == nullptr || wpPtr == nullptr) return;
  for (int i = 0; i < size; ++i) {
    posePtr[i].posU.position = wpPtr[i].cartPos.position;
    posePtr[i].oriU.orientation = wpPtr[i].orientation;
  }
}

void Ikfunc::pose2Waypoint(wayPoint_S* wpPtr, const Pose_S* posePtr, int size) {
  if (posePtr == nullptr || wpPtr == nullptr) return;
  for (int i = 0; i < size; ++i) {
    wpPtr[i].cartPos.position = posePtr[i].posU.position;
    wpPtr[i].orientation = posePtr[i].oriU.orientation;
  }
}
