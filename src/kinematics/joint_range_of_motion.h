#ifndef RUKO_KINEMATICS_JOINT_RANGE_OF_MOTION_H
#define RUKO_KINEMATICS_JOINT_RANGE_OF_MOTION_H

// The process-wide joint range of motion that inverse kinematics filters and expands
// its solutions with. Installed by the login sequence and the motion service, read
// by inverse kinematics on any thread. Readers get a consistent copy of all six
// pairs without a lock; writers are serialised.
//
// Twins of the public RangeOfMotion / JointRangeOfMotion (same fields and layout) in
// the global namespace, like the other kinematic records: see kinematic_types.h for
// the hazard of a using-directive for ruko_robot_namespace.

struct RangeOfMotion {
  double minValue;
  double maxValue;
};

struct JointRangeOfMotion {
  bool enable;
  RangeOfMotion rangeValues[6];
};

// Installs and enables a range: rangeOfMotion holds 12 doubles, (min, max) per joint,
// radians. Refused (false, one error line, range left as it was) when the pointer is
// null, a bound is not finite or a minimum is not below its maximum.
bool IkfuncSetJointRangeOfMotion(const double* rangeOfMotion);

// Each joint's (min, max) in degrees.
void IkfuncGetJointRangeOfMotion(double rangeOfMotion[6][2]);

// Whether a range is in force for inverse kinematics.
bool IkfuncCheckJointRangeOfMotion();

namespace ruko {

// Initial state: disabled, every joint (-2 pi, 2 pi).
JointRangeOfMotion defaultJointRangeOfMotion();

// A consistent copy of the current range (one writer's complete record).
JointRangeOfMotion jointRangeOfMotion();

// Validates and installs the bounds of `range` (min[i], max[i]); `enable` is taken
// from `range` when keepEnable is false, otherwise left as it is. Refused (false, one
// error line, nothing changed) on a non-finite bound or a minimum not below its
// maximum.
bool installJointRange(const JointRangeOfMotion& range, bool keepEnable);

// Puts back the range present at construction when it goes out of scope, so a test
// can install ranges (and enable them, which nothing else undoes) without leaking
// them into the next test.
class ScopedJointRangeRestore {
 public:
  ScopedJointRangeRestore();
  ~ScopedJointRangeRestore();
  ScopedJointRangeRestore(const ScopedJointRangeRestore&) = delete;
  ScopedJointRangeRestore& operator=(const ScopedJointRangeRestore&) = delete;

 private:
  JointRangeOfMotion saved_;
};

}  // namespace ruko

#endif  // RUKO_KINEMATICS_JOINT_RANGE_OF_MOTION_H
