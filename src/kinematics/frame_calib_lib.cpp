#include "kinematics/frame_calib_lib.h"
#include "util/finite.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

// Scratch space for the small matrices of calibration lives on the stack; only an
// unusually large request goes to the heap, and its failure is reported, not thrown.
template <unsigned N>
class Scratch {
 public:
  explicit Scratch(unsigned size) {
    if (size <= N) {
      data_ = local_;
    } else {
      heap_.reset(new (std::nothrow) double[size]);
      data_ = heap_.get();
    }
  }
  double* get() const { return data_; }

 private:
  double local_[N];
  std::unique_ptr<double[]> heap_;
  double* data_ = nullptr;
};

double dot(const Pos& a, const Pos& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

Pos scaled(const Pos& v, double s) {
  return Pos{v.x * s, v.y * s, v.z * s};
}

Pos difference(const Pos& a, const Pos& b) {
  return Pos{a.x - b.x, a.y - b.y, a.z - b.z};
}

double length(const Pos& v) {
  return std::sqrt(dot(v, v));
}

void setRow(double* m, int row, const Pos& v) {
  m[3 * row] = v.x;
  m[3 * row + 1] = v.y;
  m[3 * row + 2] = v.z;
}

void setColumn(double* m, int column, const Pos& v) {
  m[column] = v.x;
  m[3 + column] = v.y;
  m[6 + column] = v.z;
}

Pos rotate(const double* R, const double* p) {
  return Pos{R[0] * p[0] + R[1] * p[1] + R[2] * p[2], R[3] * p[0] + R[4] * p[1] + R[5] * p[2],
             R[6] * p[0] + R[7] * p[1] + R[8] * p[2]};
}

double determinant3(const double* m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// Tool orientation in the base frame (methods 0 to 2) or the flange frame (3 to 5)
// from the two taught directions e1, e2: e1 is kept, e2 is made perpendicular to it.
// False when the directions are parallel.
bool orientationFromDirections(unsigned method, Pos e1, Pos e2, double* rot) {
  Pos e3;
  vectorCrossProduct(e3, e1, e2, false);
  const double n3 = length(e3);
  if (!(n3 > 0)) return false;
  e3 = scaled(e3, 1.0 / n3);
  vectorCrossProduct(e2, e3, e1, true);
  setColumn(rot, static_cast<int>(method % 3), e1);
  setColumn(rot, static_cast<int>((method + 1) % 3), e2);
  setColumn(rot, static_cast<int>((method + 2) % 3), e3);
  return ruko::allFinite(rot, 9);
}

}  // namespace

void vectorCrossProduct(Pos& out, const Pos& a, const Pos& b, bool normalize) {
  Pos c{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  if (normalize) c = scaled(c, 1.0 / length(c));
  out = c;
}

bool matrixMultiplication(double* buf, const double* A, const double* B, unsigned rows, unsigned inner, unsigned cols,
                          bool zeroFirst, bool plainA) {
  if (buf == nullptr || A == nullptr || B == nullptr || rows == 0 || inner == 0 || cols == 0) return false;
  Scratch<16> scratch(rows * cols);
  double* product = scratch.get();
  if (product == nullptr) return false;
  for (unsigned r = 0; r < rows; ++r) {
    for (unsigned c = 0; c < cols; ++c) {
      double sum = 0;
      for (unsigned k = 0; k < inner; ++k) {
        const double a = plainA ? A[r * inner + k] : A[k * rows + r];
        sum += a * B[k * cols + c];
      }
      product[r * cols + c] = sum;
    }
  }
  for (unsigned i = 0; i < rows * cols; ++i) buf[i] = zeroFirst ? product[i] : buf[i] + product[i];
  return true;
}

bool positiveDefiniteMatrixInverse(double* m, int n) {
  if (m == nullptr || n <= 0) return false;
  Scratch<8> scratch(static_cast<unsigned>(n));
  double* b = scratch.get();
  if (b == nullptr) return false;
  // Cyclic Gauss-Jordan: each step eliminates on the leading element and rotates the
  // matrix by one row and column, so after n steps the lower triangle holds the
  // inverse. Symmetry makes pivoting unnecessary for a positive definite matrix.
  for (int k = 0; k < n; ++k) {
    const double w = m[0];
    if (std::fabs(w) + 1.0 == 1.0) return false;
    const int last = n - k - 1;
    for (int i = 1; i < n; ++i) {
      const double g = m[i * n];
      b[i] = g / w;
      if (i <= last) b[i] = -b[i];
      for (int j = 1; j <= i; ++j) m[(i - 1) * n + j - 1] = m[i * n + j] + g * b[j];
    }
    m[n * n - 1] = 1.0 / w;
    for (int i = 1; i < n; ++i) m[(n - 1) * n + i - 1] = b[i];
  }
  for (int i = 0; i < n - 1; ++i) {
    for (int j = i + 1; j < n; ++j) m[i * n + j] = m[j * n + i];
  }
  return true;
}

bool userCoordinateCalibLib(const Pose_S* pose, char methods, double* bInWPos, double* bInWOri, double* wInBPos,
                            double& dotValue) {
  if (pose == nullptr || bInWPos == nullptr || bInWOri == nullptr || wInBPos == nullptr) return false;
  const int method = static_cast<signed char>(methods);
  if (method < 0 || method > 8) return false;
  const Pos& p0 = pose[0].posU.position;
  const Pos A = difference(pose[1].posU.position, p0);
  const Pos B = difference(pose[2].posU.position, p0);
  Pos N;
  vectorCrossProduct(N, A, B, false);
  const double lenA = length(A), lenB = length(B), lenN = length(N);
  // Coincident or collinear points leave the frame without an orientation.
  if (!(lenA > 0) || !(lenB > 0) || !(lenN > 0)) return false;
  N = scaled(N, 1.0 / lenN);
  const Pos a = scaled(A, 1.0 / lenA);
  const Pos b = scaled(B, 1.0 / lenB);
  Pos nxa;
  vectorCrossProduct(nxa, N, a, true);
  const Pos minusN = scaled(N, -1.0);

  // Rows of the frame per method. Methods 0 to 2 take the second taught direction as
  // it is, so their frame is orthonormal only for perpendicular directions.
  const Pos* rows[9][3] = {
      {&a, &b, &N},   {&N, &a, &b},        {&b, &N, &a},   {&a, &nxa, &N},      {&a, &minusN, &nxa},
      {&N, &a, &nxa}, {&nxa, &a, &minusN}, {&nxa, &N, &a}, {&minusN, &nxa, &a},
  };
  double ori[9];
  for (int r = 0; r < 3; ++r) setRow(ori, r, *rows[method][r]);
  const double origin[3] = {p0.x, p0.y, p0.z};
  const Pos seenFromFrame = rotate(ori, origin);
  const double basePos[3] = {-seenFromFrame.x, -seenFromFrame.y, -seenFromFrame.z};
  if (!ruko::allFinite(ori, 9) || !ruko::allFinite(basePos, 3) || !ruko::allFinite(origin, 3)) return false;

  for (int i = 0; i < 9; ++i) bInWOri[i] = ori[i];
  for (int i = 0; i < 3; ++i) {
    bInWPos[i] = basePos[i];
    wInBPos[i] = origin[i];
  }
  if (method <= 2) dotValue = dot(a, b);
  return true;
}

bool toolCoordinateCalibLib(const double* rot, const double* pos, int count, char method, const double poseRot[][9],
                            const double posePos[][3], bool check, double checkThr, double* toolInEndPos,
                            double* toolPoseRot) {
  if (pos == nullptr || rot == nullptr || count <= 3 || toolInEndPos == nullptr) return false;

  // Normal equations of R_k.t + p_k = R_0.t + p_0: (R_k - R_0).t = p_0 - p_k.
  double M[9] = {0};
  double v[3] = {0};
  for (int k = 1; k < count; ++k) {
    double A[9];
    double b[3];
    for (int i = 0; i < 9; ++i) A[i] = rot[9 * k + i] - rot[i];
    for (int i = 0; i < 3; ++i) b[i] = pos[i] - pos[3 * k + i];
    matrixMultiplication(M, A, A, 3, 3, 3, false, false);
    matrixMultiplication(v, A, b, 3, 3, 1, false, false);
  }
  if (check && !(determinant3(M) > checkThr)) return false;
  if (!positiveDefiniteMatrixInverse(M, 3)) return false;
  double t[3];
  matrixMultiplication(t, M, v, 3, 3, 1, true, true);
  if (!ruko::allFinite(t, 3)) return false;

  const unsigned oriMethod = static_cast<unsigned char>(method);
  double oriResult[9];
  if (oriMethod <= 5) {
    if (poseRot == nullptr || toolPoseRot == nullptr) return false;
    Pos e1, e2;
    if (oriMethod <= 2) {
      if (posePos == nullptr) return false;
      Pos tcp[3];
      for (int k = 0; k < 3; ++k) {
        const Pos offset = rotate(poseRot[k], t);
        tcp[k] = Pos{offset.x + posePos[k][0], offset.y + posePos[k][1], offset.z + posePos[k][2]};
      }
      e1 = difference(tcp[1], tcp[0]);
      e2 = difference(tcp[2], tcp[0]);
      // Teaching points within 1 cm of the first give no usable direction.
      if (!(dot(e1, e1) >= 1e-4) || !(dot(e2, e2) >= 1e-4)) return false;
      e1 = scaled(e1, 1.0 / length(e1));
      e2 = scaled(e2, 1.0 / length(e2));
    } else {
      // The base -Z direction seen in the flange frame at each of the two poses.
      e1 = Pos{-poseRot[0][6], -poseRot[0][7], -poseRot[0][8]};
      e2 = Pos{-poseRot[1][6], -poseRot[1][7], -poseRot[1][8]};
    }
    if (!orientationFromDirections(oriMethod, e1, e2, oriResult)) return false;
    if (oriMethod <= 2) {
      // Taught in the base frame: bring it into the flange frame of the first pose.
      matrixMultiplication(oriResult, poseRot[0], oriResult, 3, 3, 3, true, false);
      if (!ruko::allFinite(oriResult, 9)) return false;
    }
  }

  for (int i = 0; i < 3; ++i) toolInEndPos[i] = t[i];
  if (oriMethod <= 5) {
    for (int i = 0; i < 9; ++i) toolPoseRot[i] = oriResult[i];
  }
  return true;
}
