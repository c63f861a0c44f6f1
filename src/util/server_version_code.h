#ifndef RUKO_UTIL_SERVER_VERSION_CODE_H
#define RUKO_UTIL_SERVER_VERSION_CODE_H

#include <string>

namespace ruko {

// The controller's version as major * 1000000 + minor * 1000 + patch, 0 until a
// login has read it. One value for the whole process: the login sequence writes
// it, the codec members whose message form depends on the version read it.
int serverVersionCode();
void setServerVersionCode(int versionCode);

// Reads a version text such as "4.5.20" or "ver4.x5.20-beta": the first run of decimal digits of each of
// the first three dot-separated parts, each converted with automatic base detection (a leading 0 means
// octal, so "010" is 8 and "08" fails). True with the code when all three convert and the code fits an
// int; false (with its log line) otherwise. Does not store the code.
bool parseServerVersionText(const std::string& text, int& versionCode);

// Base parameters travel in the current form (kinematics as doubles) only for
// controllers newer than 4.5.0; 4.5.0 itself and an unknown version use the
// legacy integer form.
constexpr int kBaseParameterLegacyFormUpTo = 4005000;
constexpr bool baseParametersUseCurrentForm(int versionCode) {
  return versionCode > kBaseParameterLegacyFormUpTo;
}

}  // namespace ruko

#endif  // RUKO_UTIL_SERVER_VERSION_CODE_H
