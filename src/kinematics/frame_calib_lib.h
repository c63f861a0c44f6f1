#ifndef RUKO_KINEMATICS_FRAME_CALIB_LIB_H
#define RUKO_KINEMATICS_FRAME_CALIB_LIB_H

// The numeric core beneath user-frame and tool calibration: small dense linear algebra,
// the user frame from three taught points and the least-squares tool offset. Raw
// arrays throughout: rotations are 9 doubles row-major, positions 3 doubles, metres.
//
// Every routine writes its outputs only when it succeeds, and a result that is not
// finite counts as a failure: a degenerate input (coincident points, parallel
// directions) never comes back as a frame full of NaN with a success flag.

#include "kinematics/kinematic_types.h"

// out = a x b, divided by its length when `normalize`. Normalising a zero product
// gives non-finite components: rule parallel input out first.
void vectorCrossProduct(Pos& out, const Pos& a, const Pos& b, bool normalize);

// buf (rows x cols) = A.B when plainA (A is rows x inner), else A^T.B (A stored
// inner x rows); added to the old content of buf unless zeroFirst. buf may alias A or
// B. False when a pointer is null, a dimension is zero or the scratch allocation fails.
bool matrixMultiplication(double* buf, const double* A, const double* B, unsigned rows, unsigned inner, unsigned cols,
                          bool zeroFirst, bool plainA);

// Inverts a symmetric positive definite n x n matrix in place (Gauss-Jordan without
// pivoting). False, matrix partly modified, when a leading element vanishes.
bool positiveDefiniteMatrixInverse(double* m, int n);

// User frame from the positions of three poses (P0 the origin; orientations unused).
// bInWOri receives the frame's axes as rows (base vectors to frame coordinates),
// bInWPos the base origin in frame coordinates, wInBPos = P0. dotValue is the cosine
// between the two taught directions, written for methods 0 to 2 only. False for a
// method outside 0 to 8 or points that span no plane; nothing is written then.
bool userCoordinateCalibLib(const Pose_S* pose, char methods, double* bInWPos, double* bInWOri, double* wInBPos,
                            double& dotValue);

// Least-squares tool offset from `count` (> 3) flange poses (rot[k*9], pos[k*3]) that
// touch one fixed point: the t with R_k.t + p_k equal for all k. When `method` (read
// as an unsigned byte) is 0 to 5 also the tool orientation in the flange frame, from
// three (methods 0 to 2) or two (3 to 5) orientation poses. With `check`, the normal
// matrix must have a determinant above checkThr. False on any failure, with nothing
// written.
bool toolCoordinateCalibLib(const double* rot, const double* pos, int count, char method, const double poseRot[][9],
                            const double posePos[][3], bool check, double checkThr, double* toolInEndPos,
                            double* toolPoseRot);

#endif  // RUKO_KINEMATICS_FRAME_CALIB_LIB_H
