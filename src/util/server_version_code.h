#ifndef RUKO_UTIL_SERVER_VERSION_CODE_H
#define RUKO_UTIL_SERVER_VERSION_CODE_H

namespace ruko {

// The controller's version as major * 1000000 + minor * 1000 + patch, 0 until a
// login has read it. One value for the whole process: the login sequence writes
// it, the codec members whose message form depends on the version read it.
int serverVersionCode();
void setServerVersionCode(int versionCode);

// Base parameters travel in the current form (kinematics as doubles) only for
// controllers newer than 4.5.0; 4.5.0 itself and an unknown version use the
// legacy integer form.
constexpr int kBaseParameterLegacyFormUpTo = 4005000;
constexpr bool baseParametersUseCurrentForm(int versionCode) {
  return versionCode > kBaseParameterLegacyFormUpTo;
}

}  // namespace ruko

#endif  // RUKO_UTIL_SERVER_VERSION_CODE_H
