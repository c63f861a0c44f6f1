#include "kinematics/dh_chain.h"

#include <cmath>

namespace ruko {
namespace {

// out = (R1, t1) * (R2, t2); out may alias either input.
void compose(const double* R1, const double* t1, const double* R2, const double* t2, double* Rout, double* tout) {
  double R[9];
  double t[3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      R[3 * r + c] = R1[3 * r] * R2[c] + R1[3 * r + 1] * R2[3 + c] + R1[3 * r + 2] * R2[6 + c];
    }
    t[r] = R1[3 * r] * t2[0] + R1[3 * r + 1] * t2[1] + R1[3 * r + 2] * t2[2] + t1[r];
  }
  for (int i = 0; i < 9; ++i) Rout[i] = R[i];
  for (int i = 0; i < 3; ++i) tout[i] = t[i];
}

}  // namespace

void dhChainFk(const double dh[24], const RobotSystemParamCalib_S* calib, const double* theta, double* eetrans,
               double* eerot, ChainFrame* frames) {
  double R[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double t[3] = {0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    double a = dh[12 + i];
    double d = dh[18 + i];
    double alpha = dh[6 + i];
    double th = dh[i] + theta[i];
    double beta = 0;
    if (calib != nullptr) {
      a += calib->dA[i];
      d += calib->dD[i];
      alpha += calib->dAlpha[i];
      th = dh[i] + calib->dTheta[i] + theta[i];
      beta = calib->dBeta[i];
    }
    const double ct = std::cos(th), st = std::sin(th);
    const double ca = std::cos(alpha), sa = std::sin(alpha);
    // Rotate alpha about X, translate a along X, rotate theta about Z, translate d along Z.
    double link[9] = {ct, -st, 0, st * ca, ct * ca, -sa, st * sa, ct * sa, ca};
    double linkT[3] = {a, -sa * d, ca * d};
    if (i == 2 || i == 3) {
      // Joints 3 and 4 carry a tilt error about Y that the DH parameters cannot express.
      const double cb = std::cos(beta), sb = std::sin(beta);
      const double tilt[9] = {cb, 0, -sb, 0, 1, 0, sb, 0, cb};
      const double zero[3] = {0, 0, 0};
      compose(tilt, zero, link, linkT, link, linkT);
    }
    compose(R, t, link, linkT, R, t);
    if (frames != nullptr) {
      for (int k = 0; k < 9; ++k) frames[i].R[k] = R[k];
      for (int k = 0; k < 3; ++k) frames[i].t[k] = t[k];
    }
  }
  if (eerot != nullptr) {
    for (int k = 0; k < 9; ++k) eerot[k] = R[k];
  }
  if (eetrans != nullptr) {
    for (int k = 0; k < 3; ++k) eetrans[k] = t[k];
  }
}

void nominalDhTable(const KinematicParams& params, double dh[24]) {
  for (int i = 0; i < 24; ++i) dh[i] = params.dh_vector[i];
  dh[kDhA3] = params.a2;
  dh[kDhA4] = params.a3;
  dh[kDhD1] = params.d1;
  dh[kDhD2] = params.d2;
  dh[kDhD5] = params.d5;
  dh[kDhD6] = params.d6;
}

void computeJacobian(const KinematicParams& params, const double* theta, double* jac) {
  double dh[24];
  nominalDhTable(params, dh);
  ChainFrame frames[6];
  double p[3];
  dhChainFk(dh, nullptr, theta, p, nullptr, frames);
  for (int j = 0; j < 6; ++j) {
    const double* R = frames[j].R;
    const double z[3] = {R[2], R[5], R[8]};
    const double r[3] = {p[0] - frames[j].t[0], p[1] - frames[j].t[1], p[2] - frames[j].t[2]};
    jac[0 * 6 + j] = z[1] * r[2] - z[2] * r[1];
    jac[1 * 6 + j] = z[2] * r[0] - z[0] * r[2];
    jac[2 * 6 + j] = z[0] * r[1] - z[1] * r[0];
    jac[3 * 6 + j] = z[0];
    jac[4 * 6 + j] = z[1];
    jac[5 * 6 + j] = z[2];
  }
}

}  // namespace ruko
