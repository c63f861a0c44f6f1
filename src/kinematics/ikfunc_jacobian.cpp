// Jacobian and the small linear-algebra steps of the calibration compensation.

#include "kinematics/dh_chain.h"
#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"

void Ikfunc::getJacobian(const double* q_in, double* jac) {
  if (q_in == nullptr || jac == nullptr) return;
  const auto params = ruko::kinematicParams();
  if (!params->k_series_robot) return;
  ruko::computeJacobian(*params, q_in, jac);
}

void Ikfunc::multiplyJacobianInv(const double* B, const double* A, double* X) {
  if (B == nullptr || A == nullptr || X == nullptr) return;
  // Doolittle without pivoting: the Jacobian away from singularities needs none, and
  // a zero pivot shows as non-finite steps that the caller's convergence test rejects.
  double L[36] = {};
  double U[36] = {};
  for (int i = 0; i < 6; ++i) {
    for (int k = i; k < 6; ++k) {
      double sum = 0;
      for (int j = 0; j < i; ++j) sum += L[6 * i + j] * U[6 * j + k];
      U[6 * i + k] = A[6 * i + k] - sum;
    }
    L[6 * i + i] = 1;
    for (int k = i + 1; k < 6; ++k) {
      double sum = 0;
      for (int j = 0; j < i; ++j) sum += L[6 * k + j] * U[6 * j + i];
      L[6 * k + i] = (A[6 * k + i] - sum) / U[6 * i + i];
    }
  }
  double y[6];
  for (int i = 0; i < 6; ++i) {
    double sum = B[i];
    for (int j = 0; j < i; ++j) sum -= L[6 * i + j] * y[j];
    y[i] = sum;
  }
  double x[6];
  for (int i = 5; i >= 0; --i) {
    double sum = y[i];
    for (int j = i + 1; j < 6; ++j) sum -= U[6 * i + j] * x[j];
    x[i] = sum / U[6 * i + i];
  }
  for (int i = 0; i < 6; ++i) X[i] = x[i];
}

void Ikfunc::rotationMultiply(const double* itrot, const double* toolRot, double* ori) {
  if (itrot == nullptr || toolRot == nullptr || ori == nullptr) return;
  double out[9];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      out[3 * r + c] =
          itrot[3 * r] * toolRot[c] + itrot[3 * r + 1] * toolRot[3 + c] + itrot[3 * r + 2] * toolRot[6 + c];
    }
  }
  for (int i = 0; i < 9; ++i) ori[i] = out[i];
}

void Ikfunc::tr2Delta(const double* eerot1, const double* eetrans1, const double* eerot2, const double* eetrans2,
                      double* twist) {
  if (eerot1 == nullptr || eetrans1 == nullptr || eerot2 == nullptr || eetrans2 == nullptr || twist == nullptr) return;
  for (int i = 0; i < 3; ++i) twist[i] = eetrans2[i] - eetrans1[i];
  const double rot1T[9] = {eerot1[0], eerot1[3], eerot1[6], eerot1[1], eerot1[4],
                           eerot1[7], eerot1[2], eerot1[5], eerot1[8]};
  double O[9];
  rotationMultiply(eerot2, rot1T, O);
  twist[3] = (O[7] - O[5]) / 2;
  twist[4] = (O[2] - O[6]) / 2;
  twist[5] = (O[3] - O[1]) / 2;
}
