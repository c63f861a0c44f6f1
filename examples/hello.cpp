// Prints the library's version, a few error descriptions and a rotation conversion. Uses only the
// installed public headers.
#include <cstdio>

#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

int main() {
  std::printf("ruko SDK %s\n", ruko_sdk_version());
  const RobotErrorCode codes[] = {ErrnoSucc, ErrCode_ParamError, ErrCode_RequestTimeout, ErrCode_IkFailed};
  for (RobotErrorCode code : codes) {
    std::printf("error %d: %s\n", static_cast<int>(code), ServiceInterface::getErrDescByCode(code).c_str());
  }
  return 0;
}
