// Forward kinematics and the homogeneous-transform helpers shared by the frame services.

#include "kinematics/dh_chain.h"
#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"
#include "kinematics/our_alg.h"
#include "util/finite.h"
#include "util/log.h"

namespace {

// Pose at public angles by the implementation the parameters call for: the calibrated
// chain once deltas are installed, unless the caller wants the nominal closed form
// that inverse kinematics solves. False (nothing written) for a non-analytic model.
bool forwardKinematics(const ruko::KinematicParams& params, const double* theta, bool nominal, double* eetrans,
                       double* eerot) {
  if (!params.k_series_robot) return false;
  if (!params.dh_real || nominal) {
    const double q[6] = {-theta[0], -theta[1], -theta[2], -theta[3], -theta[4], -theta[5]};
    ruko::computeFkClosedForm(params, q, eetrans, eerot);
  } else {
    ruko::dhChainFk(params.dh_vector, &params.RobotSystemParamCalib, theta, eetrans, eerot, nullptr);
  }
  return true;
}

void rotationProduct(const double* A, const double* B, double* out) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      out[3 * r + c] = A[3 * r] * B[c] + A[3 * r + 1] * B[3 + c] + A[3 * r + 2] * B[6 + c];
    }
  }
}

void transformPoint(const double* R, const double* p, const double* t, double* out) {
  for (int r = 0; r < 3; ++r) out[r] = R[3 * r] * p[0] + R[3 * r + 1] * p[1] + R[3 * r + 2] * p[2] + t[r];
}

}  // namespace

void Ikfunc::ArmFk(const double* joint_solve, double* eetrans, double* eerot) {
  if (joint_solve == nullptr || eetrans == nullptr || eerot == nullptr) return;
  const ruko::KinematicParams& params = ruko::borrowKinematicParams();
  if (!params.k_series_robot) return;
  ruko::dhChainFk(params.dh_vector, params.dh_real ? &params.RobotSystemParamCalib : nullptr, joint_solve, eetrans,
                  eerot, nullptr);
}

bool Ikfunc::ArmFk(Pos& arm_pos, Ori& arm_ori, const double* joint_solve, bool enableCom) {
  if (joint_solve == nullptr) return false;
  double eetrans[3];
  double eerot[9];
  // Borrowed parameters: the computation below calls out to nothing, and they are not
  // used once OriMatrixToQuaternion (which may log) runs.
  if (!forwardKinematics(ruko::borrowKinematicParams(), joint_solve, enableCom, eetrans, eerot)) return true;
  // Finite but huge angles can still overflow (joint 2 minus joint 3 of opposite extremes is infinite, and
  // its sine has no value): such a pose is no result. The conversion refuses a non-finite rotation.
  Ori orientation{};
  if (!ruko::allFinite(eetrans, 3) || !OriMatrixToQuaternion(eerot, orientation)) return false;
  arm_pos = Pos{eetrans[0], eetrans[1], eetrans[2]};
  arm_ori = orientation;
  return true;
}

bool Ikfunc::ArmFk(wayPoint_S& arm_pos) {
  return ArmFk(arm_pos.cartPos.position, arm_pos.orientation, arm_pos.jointpos, false);
}

void Ikfunc::posOri2homoArr(cartesianPos_U position, Ori quat, double* eerot, double* eetrans) {
  if (eetrans != nullptr) {
    for (int i = 0; i < 3; ++i) eetrans[i] = position.positionVector[i];
  }
  if (eerot != nullptr) QuaternionToOriMatrix(quat, eerot);
}

void Ikfunc::hMatrixMultiply(const double* eerot, const double* eetrans, const double* eerot1, const double* eetrans1,
                             wayPoint_S* pos_transferred, double* new_rot, double* new_pos) {
  const bool translationWanted = eetrans != nullptr && eetrans1 != nullptr &&
                                 (pos_transferred != nullptr || (new_rot != nullptr && new_pos != nullptr));
  if (eerot == nullptr || eerot1 == nullptr || (!translationWanted && new_rot == nullptr)) {
    ruko::logPrint(LL_INFO, "error input for hmatrix multiply");
    return;
  }
  // Local results first: outputs may alias inputs.
  double R[9];
  rotationProduct(eerot, eerot1, R);
  if (!translationWanted) {
    for (int i = 0; i < 9; ++i) new_rot[i] = R[i];
    return;
  }
  double t[3];
  transformPoint(eerot, eetrans1, eetrans, t);
  if (pos_transferred != nullptr) {
    OriMatrixToQuaternion(R, pos_transferred->orientation);
    for (int i = 0; i < 3; ++i) pos_transferred->cartPos.positionVector[i] = t[i];
    return;
  }
  for (int i = 0; i < 9; ++i) new_rot[i] = R[i];
  for (int i = 0; i < 3; ++i) new_pos[i] = t[i];
}

void Ikfunc::hMatrixMultiply(const double* eerot, const double* eetrans, const double* eerot1, const double* eetrans1,
                             Pose_S* pos_transferred, double* new_rot) {
  if (eerot == nullptr || eerot1 == nullptr) return;
  double R[9];
  rotationProduct(eerot, eerot1, R);
  if (eetrans != nullptr && eetrans1 != nullptr && pos_transferred != nullptr) {
    double t[3];
    transformPoint(eerot, eetrans1, eetrans, t);
    OriMatrixToQuaternion(R, pos_transferred->oriU.orientation);
    for (int i = 0; i < 3; ++i) pos_transferred->posU.positionVector[i] = t[i];
  } else if (new_rot != nullptr) {
    for (int i = 0; i < 9; ++i) new_rot[i] = R[i];
  }
}

void Ikfunc::hMatrixVectorProduct(bool inv, const double* pOrg, const double* hRArr, bool relPos, const double* posIn,
                                  double* posOut) {
  if (hRArr == nullptr || posIn == nullptr || posOut == nullptr) return;
  // hRArr is a bare rotation when the translation comes separately or is not wanted,
  // otherwise a 3x4 [R | t].
  const bool bareRotation = pOrg != nullptr || relPos;
  double R[9];
  double t[3] = {0, 0, 0};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) R[3 * r + c] = bareRotation ? hRArr[3 * r + c] : hRArr[4 * r + c];
    if (pOrg != nullptr) {
      t[r] = pOrg[r];
    } else if (!bareRotation) {
      t[r] = hRArr[4 * r + 3];
    }
  }
  const double in[3] = {posIn[0], posIn[1], posIn[2]};
  double out[3];
  for (int r = 0; r < 3; ++r) {
    if (inv) {
      out[r] = R[r] * (in[0] - (relPos ? 0 : t[0])) + R[3 + r] * (in[1] - (relPos ? 0 : t[1])) +
               R[6 + r] * (in[2] - (relPos ? 0 : t[2]));
    } else {
      out[r] = R[3 * r] * in[0] + R[3 * r + 1] * in[1] + R[3 * r + 2] * in[2] + (relPos ? 0 : t[r]);
    }
  }
  for (int r = 0; r < 3; ++r) posOut[r] = out[r];
}
