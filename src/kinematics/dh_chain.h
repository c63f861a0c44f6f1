#ifndef RUKO_KINEMATICS_DH_CHAIN_H
#define RUKO_KINEMATICS_DH_CHAIN_H

// The arm as a chain of modified Denavit-Hartenberg links: the calibrated forward
// kinematics and the geometric Jacobian both walk it.

#include "kinematics/kinematic_store.h"
#include "kinematics/kinematic_types.h"

namespace ruko {

// A joint's frame in the base frame: its Z column is the joint axis, t a point on it.
struct ChainFrame {
  double R[9];
  double t[3];
};

// Pose of the flange at public joint angles `theta` over the table `dh` (theta0[0..5],
// alpha[6..11], a[12..17], d[18..23]). With `calib` given its deltas are added, and
// joints 3 and 4 get their extra tilt about Y. With `frames` given (6 entries) each
// joint's frame is recorded as well.
void dhChainFk(const double dh[24], const RobotSystemParamCalib_S* calib, const double* theta, double* eetrans,
               double* eerot, ChainFrame* frames);

// The nominal table of the closed form: the structure (theta0, alpha) of `params`
// with the store's current lengths a2, a3, d1, d2, d5, d6.
void nominalDhTable(const KinematicParams& params, double dh[24]);

// Geometric Jacobian (row-major 6x6, rows vx vy vz wx wy wz, column j = joint j) at
// public angles, of the nominal chain.
void computeJacobian(const KinematicParams& params, const double* theta, double* jac);

}  // namespace ruko

#endif  // RUKO_KINEMATICS_DH_CHAIN_H
