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
  const Rpy rpy{0.1, -0.2, 0.3};
  Ori q{};
  ServiceInterface::RPYToQuaternion(rpy, q);
  Rpy back{};
  ServiceInterface::quaternionToRPY(q, back);
  std::printf("rpy (%.4f, %.4f, %.4f) rad -> quaternion (w %.6f, x %.6f, y %.6f, z %.6f) -> rpy (%.4f, %.4f, %.4f)\n",
              rpy.rx, rpy.ry, rpy.rz, q.w, q.x, q.y, q.z, back.rx, back.ry, back.rz);
  return 0;
}
