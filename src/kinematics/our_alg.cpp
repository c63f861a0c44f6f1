#include "kinematics/our_alg.h"
#include "util/finite.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// A wrist centre this far inside the shoulder-offset cylinder still counts as on it.
constexpr double kShoulderCylinderSlack = 0.0125;
constexpr double kShoulderSingleCandidate = 0.9999999998;
constexpr double kWristReach = 1.0001;
constexpr double kWristSingular = 0.99999994;
constexpr double kElbowReach = 1.0001;
constexpr double kElbowReachRelaxed = 1.046;
constexpr double kElbowStraight = 0.9999999999995;
// sin(pi) in double precision: the folded elbow's solutions are defined with this exact sine.
constexpr double kSinPi = 1.2246467991473532e-16;
constexpr double kShoulderCircle = 1.0001;
constexpr double kStretched = 1e-4;
constexpr double kSnapBand = 1.75e-5;

double wrapToPi(double a) {
  while (a <= -kPi) a += kTwoPi;
  while (a > kPi) a -= kTwoPi;
  return a;
}

// The six (internal) angles of one solution, appended as column n of sol.
void append(double sol[6][8], int& n, double t1, double t2, double t3, double t4, double t5, double t6) {
  sol[0][n] = t1;
  sol[1][n] = t2;
  sol[2][n] = t3;
  sol[3][n] = t4;
  sol[4][n] = t5;
  sol[5][n] = t6;
  ++n;
}

struct Target {
  const double* R;  // rotated target rotation, row-major
  const double* t;  // rotated target translation
};

// Wrist singular (theta5 = 0 or pi): joints 2, 3, 4 and 6 share one rotation axis, so
// only their combined angle is determined; where the position leaves a choice, the
// reference angles make it. Appends at most one solution.
void solveSingularWrist(const ruko::KinematicParams& p, const Target& g, const double* qref, double theta1, double s1,
                        double c1, double c5, double sol[6][8], int& n) {
  const double* R = g.R;
  const double* t = g.t;
  const double theta5 = c5 > 0 ? 0.0 : kPi;
  const double sigma = c5 > 0 ? 1.0 : -1.0;
  const double phi6 = antiSinCos(-R[6], R[7]);
  const double X = c1 * (p.d6 * R[2] - t[0]) + s1 * (t[1] - p.d6 * R[5]);
  const double Y = t[2] - p.d1 - p.d6 * R[8];
  const double L = p.a2 + p.a3 + p.d5;

  if (std::fabs(std::fabs(X) - L) < kStretched) {
    // Arm stretched sideways: the stretched arm points at (X, Y), so the planar
    // angle of that point is joint 2 itself.
    const double theta2 = antiSinCos(X, Y);
    append(sol, n, theta1, theta2, 0.0, 0.0, theta5, phi6 - sigma * theta2);
    return;
  }
  if (std::fabs(std::fabs(Y) - L) < kStretched) {
    const double theta2 = Y > 0 ? 0.0 : kPi;
    append(sol, n, theta1, theta2, 0.0, 0.0, theta5, phi6 - sigma * theta2);
    return;
  }

  const double rho = std::sqrt(X * X + Y * Y);
  const double psi = antiSinCos(X / rho, Y / rho);
  const double a2a3 = p.a2 * p.a3;
  const double Cm = (p.d5 * p.d5 + rho * rho - p.a2 * p.a2 - p.a3 * p.a3) / (2 * a2a3);
  const double Dm = -rho * p.d5 / a2a3;

  if (std::fabs(Cm) > 1 - Dm + kStretched) return;
  if (std::fabs(Cm) > 1 - Dm - kStretched) {
    const double theta3 = Cm > 0 ? 0.0 : kPi;
    const double w = wrapToPi(psi + theta3);
    const double theta2 = qref[1];
    append(sol, n, theta1, theta2, theta3, theta3 + w - qref[1], theta5, phi6 - sigma * w);
    return;
  }

  const double c = std::cos(qref[2]);
  double theta3;
  if (Cm + Dm <= c && c <= Cm - Dm) {
    theta3 = qref[2];
  } else {
    if (c < Cm + Dm && std::fabs(Cm + Dm) <= 1) {
      theta3 = std::acos(Cm + Dm);
    } else if (c > Cm - Dm && std::fabs(Cm - Dm) <= 1) {
      theta3 = std::acos(Cm - Dm);
    } else {
      return;
    }
    if (std::fabs(theta3 - qref[2]) > std::fabs(theta3 + qref[2])) theta3 = -theta3;
  }
  const double theta2 = qref[1];
  const double w = antiSinCos((X - p.a2 * std::sin(qref[1]) - p.a3 * std::sin(qref[1] - theta3)) / p.d5,
                              (Y - p.a2 * std::cos(qref[1]) - p.a3 * std::cos(qref[1] - theta3)) / p.d5);
  append(sol, n, theta1, theta2, theta3, theta3 + w - qref[1], theta5, phi6 - sigma * w);
}

// Regular wrist: theta6 and the combined angle theta234 follow from the rotation, the
// planar two-link problem of joints 2 and 3 from the position.
void solveRegularWrist(const ruko::KinematicParams& p, const Target& g, double theta1, double s1, double c1, double c5,
                       double theta5, double elbowReach, double sol[6][8], int& n) {
  const double* R = g.R;
  const double* t = g.t;
  const double s5 = std::sin(theta5);
  const double A = (c1 * R[3] + s1 * R[0]) / s5;
  const double B = (c1 * R[4] + s1 * R[1]) / s5;
  const double m = std::sqrt(A * A + B * B);
  const double theta6 = antiSinCos(B / m, A / m);
  const double S = s5 * R[8] - c5 * (R[6] * A / m + R[7] * B / m);
  const double C = R[7] * A / m - R[6] * B / m;
  const double theta234 = antiSinCos(S, C);
  const double X = s1 * t[1] - c1 * t[0] + p.d6 * (c1 * R[2] - s1 * R[5]) - p.d5 * S;
  const double Y = t[2] - p.d1 - p.d6 * R[8] - p.d5 * C;
  const double C3 = (X * X + Y * Y - p.a2 * p.a2 - p.a3 * p.a3) / (2 * p.a2 * p.a3);
  if (std::fabs(C3) > elbowReach) return;

  double theta3s[2];
  double sin3s[2];
  int elbows;
  if (std::fabs(C3) > kElbowStraight) {
    theta3s[0] = C3 > 0 ? 0.0 : kPi;
    sin3s[0] = C3 > 0 ? 0.0 : kSinPi;
    elbows = 1;
  } else {
    const double a = std::acos(C3);
    theta3s[0] = a;
    theta3s[1] = -a;
    sin3s[0] = std::sin(a);
    sin3s[1] = -sin3s[0];
    elbows = 2;
  }
  for (int k = 0; k < elbows; ++k) {
    const double S3 = sin3s[k];
    const double K = p.a2 + p.a3 * C3;
    const double D = K * K + (p.a3 * S3) * (p.a3 * S3);
    const double s2 = (K * X + p.a3 * S3 * Y) / D;
    const double c2 = (K * Y - p.a3 * S3 * X) / D;
    if (s2 * s2 + c2 * c2 > kShoulderCircle) continue;
    const double theta2 = antiSinCos(s2, c2);
    const double theta4 = wrapToPi(theta234 - theta2 + theta3s[k]);
    append(sol, n, theta1, theta2, theta3s[k], theta4, theta5, theta6);
  }
}

}  // namespace

double antiSinCos(double s, double c) {
  const double n = std::sqrt(s * s + c * c);
  const double sn = s / n;
  const double cn = c / n;
  if (std::fabs(cn) < kSnapBand) return sn > 0 ? kPi / 2 : -kPi / 2;
  double a = std::atan(sn / cn);
  if (cn < 0) a += a > 0 ? -kPi : kPi;
  return a;
}

namespace ruko {

void computeFkClosedForm(const KinematicParams& p, const double* q, double* eetrans, double* eerot) {
  if (q == nullptr || eetrans == nullptr || eerot == nullptr) return;
  const double s1 = std::sin(q[0]), c1 = std::cos(q[0]);
  const double s2 = std::sin(q[1]), c2 = std::cos(q[1]);
  const double s5 = std::sin(q[4]), c5 = std::cos(q[4]);
  const double s6 = std::sin(q[5]), c6 = std::cos(q[5]);
  const double q23 = q[1] - q[2];
  const double q234 = q23 + q[3];
  const double s23 = std::sin(q23), c23 = std::cos(q23);
  const double s234 = std::sin(q234), c234 = std::cos(q234);
  const double T = s1 * s5 - c1 * c5 * c234;
  const double V = s1 * c5 * c234 + c1 * s5;

  eerot[0] = -c6 * T - s6 * c1 * s234;
  eerot[1] = c6 * c1 * s234 - s6 * T;
  eerot[2] = -s1 * c5 - c1 * c234 * s5;
  eerot[3] = s6 * s1 * s234 - c6 * V;
  eerot[4] = -s6 * V - c6 * s1 * s234;
  eerot[5] = s1 * c234 * s5 - c1 * c5;
  eerot[6] = -c234 * s6 - c6 * c5 * s234;
  eerot[7] = c6 * c234 - s6 * c5 * s234;
  eerot[8] = s5 * s234;

  const double reach = p.a2 * s2 + p.a3 * s23 + p.d5 * s234;
  eetrans[0] = c1 * reach - p.d2 * s1 - p.d6 * (s1 * c5 + c1 * c234 * s5);
  eetrans[1] = -s1 * reach - p.d2 * c1 - p.d6 * (c1 * c5 - s1 * c234 * s5);
  eetrans[2] = p.d1 + p.a2 * c2 + p.a3 * c23 + p.d5 * c234 + p.d6 * s5 * s234;
}

void computeFkPositionClosedForm(const KinematicParams& p, const double* q, double* eetrans) {
  if (q == nullptr || eetrans == nullptr) return;
  const double s1 = std::sin(q[0]), c1 = std::cos(q[0]);
  const double s2 = std::sin(q[1]), c2 = std::cos(q[1]);
  const double s5 = std::sin(q[4]), c5 = std::cos(q[4]);
  const double q23 = q[1] - q[2];
  const double q234 = q23 + q[3];
  const double s23 = std::sin(q23), c23 = std::cos(q23);
  const double s234 = std::sin(q234), c234 = std::cos(q234);
  const double reach = p.a2 * s2 + p.a3 * s23 + p.d5 * s234;
  eetrans[0] = c1 * reach - p.d2 * s1 - p.d6 * (s1 * c5 + c1 * c234 * s5);
  eetrans[1] = -s1 * reach - p.d2 * c1 - p.d6 * (c1 * c5 - s1 * c234 * s5);
  eetrans[2] = p.d1 + p.a2 * c2 + p.a3 * c23 + p.d5 * c234 + p.d6 * s5 * s234;
}

int computeIkClosedForm(const KinematicParams& p, const double* qref, double* eerot, double* eetrans,
                        double sol[6][8]) {
  if (qref == nullptr || eerot == nullptr || eetrans == nullptr || sol == nullptr) return 0;
  // Non-finite input would come out as non-finite "solutions" that no later
  // comparison rejects.
  if (!ruko::allFinite(qref, 6) || !ruko::allFinite(eerot, 9) || !ruko::allFinite(eetrans, 3)) return 0;

  // The closed form is derived for the base frame turned half a turn about Z.
  for (int i = 0; i < 6; ++i) eerot[i] = -eerot[i];
  eetrans[0] = -eetrans[0];
  eetrans[1] = -eetrans[1];
  const double* R = eerot;
  const double* t = eetrans;
  const Target target{R, t};

  const double px = t[0] - p.d6 * R[2];
  const double py = t[1] - p.d6 * R[5];
  const double r = std::sqrt(px * px + py * py);
  if (r < p.d2 - kShoulderCylinderSlack) return 0;

  double theta1s[2];
  int shoulders;
  const double phi = antiSinCos(px / r, py / r);
  if (p.d2 / r > kShoulderSingleCandidate) {
    theta1s[0] = phi > kPi ? phi - kTwoPi : phi;
    shoulders = 1;
  } else {
    const double alpha = std::acos(p.d2 / r);
    theta1s[0] = phi + alpha;
    if (theta1s[0] > kPi) theta1s[0] -= kTwoPi;
    theta1s[1] = phi - alpha;
    if (theta1s[1] <= -kPi) theta1s[1] += kTwoPi;
    shoulders = 2;
  }

  int n = 0;
  unsigned twoWristCandidates = 0;  // bit i: shoulder candidate i had two wrist angles
  bool relaxed = false;
  double elbowReach = kElbowReach;
  for (;;) {
    for (int i = 0; i < shoulders; ++i) {
      const double s1 = std::sin(theta1s[i]);
      const double c1 = std::cos(theta1s[i]);
      const double c5 = s1 * R[2] + c1 * R[5];
      if (!relaxed) {
        if (std::fabs(c5) > kWristReach) {
          if (i == shoulders - 1) return n;
          continue;
        }
        if (std::fabs(c5) > kWristSingular) {
          solveSingularWrist(p, target, qref, theta1s[i], s1, c1, c5, sol, n);
          continue;
        }
        twoWristCandidates |= 1u << i;
      } else if ((twoWristCandidates & (1u << i)) == 0) {
        continue;
      }
      const double theta5 = std::acos(c5);
      solveRegularWrist(p, target, theta1s[i], s1, c1, c5, theta5, elbowReach, sol, n);
      solveRegularWrist(p, target, theta1s[i], s1, c1, c5, -theta5, elbowReach, sol, n);
    }
    // Nothing found, but some candidate had a wrist: try again with a looser elbow
    // reach, which catches targets just beyond the stretched or folded arm.
    if (n == 0 && twoWristCandidates != 0 && !relaxed) {
      relaxed = true;
      elbowReach = kElbowReachRelaxed;
      continue;
    }
    return n;
  }
}

}  // namespace ruko

void ComputeFk_QDR(const double* q, double* eetrans, double* eerot) {
  if (eetrans == nullptr || eerot == nullptr) return;
  const auto params = ruko::kinematicParams();
  ruko::computeFkClosedForm(*params, q, eetrans, eerot);
}

int ComputeIkLib(const double* qref, double* eerot, double* eetrans, double sol[6][8]) {
  const auto params = ruko::kinematicParams();
  return ruko::computeIkClosedForm(*params, qref, eerot, eetrans, sol);
}
