#ifndef RUKO_KINEMATICS_OUR_ALG_H
#define RUKO_KINEMATICS_OUR_ALG_H

// Closed-form kinematics of the arm family (joints 2, 3 and 4 parallel) over the
// nominal lengths of the kinematic store.
//
// These routines work on internal joint angles q = -theta; callers negate public
// angles on the way in and out. They allocate nothing and take no lock: the forms
// that take a KinematicParams work on the snapshot the caller already holds, the
// plain forms take one snapshot of the process-wide store per call.

#include "kinematics/kinematic_store.h"

// Angle of a sine/cosine pair in (-pi, pi]. Within 1.75e-5 of the vertical (normalised
// cosine) it answers exactly +-pi/2: callers rely on that snap.
double antiSinCos(double s, double c);

// Flange pose at internal angles q. Does nothing when an output is null.
void ComputeFk_QDR(const double* q, double* eetrans, double* eerot);

// All closed-form solutions (up to 8, column = solution, row = joint) for the pose
// (eerot, eetrans) at internal reference angles qref, which only the singular-wrist
// branch reads. Rotates eerot and eetrans in place by half a turn about the base Z
// axis. Returns the number of solutions; 0 also for non-finite input.
int ComputeIkLib(const double* qref, double* eerot, double* eetrans, double sol[6][8]);

namespace ruko {

void computeFkClosedForm(const KinematicParams& params, const double* q, double* eetrans, double* eerot);

// Position part of computeFkClosedForm only (no rotation, no joint 6): what the
// position check of inverse kinematics needs, at five sine/cosine pairs.
void computeFkPositionClosedForm(const KinematicParams& params, const double* q, double* eetrans);

int computeIkClosedForm(const KinematicParams& params, const double* qref, double* eerot, double* eetrans,
                        double sol[6][8]);

}  // namespace ruko

#endif  // RUKO_KINEMATICS_OUR_ALG_H
