#ifndef RUKO_KINEMATICS_LOGIN_VERSION_CODE_H
#define RUKO_KINEMATICS_LOGIN_VERSION_CODE_H

namespace ruko {

// The controller's version code (major * 1000000 + minor * 1000 + patch) of the last
// login that parsed one, 0 before. Shared by every connection in the process; it
// chooses the units of the calibration deltas and the form of the base parameters.
// Written by the login thread while other threads may read it, hence atomic.
void setLoginVersionCode(int versionCode);
int loginVersionCode();

}  // namespace ruko

#endif  // RUKO_KINEMATICS_LOGIN_VERSION_CODE_H
