// Forward and inverse kinematics through the facade, on the default arm model: no controller needed.
// Uses only the installed public headers.
#include <cstdio>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

using namespace ruko_robot_namespace;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

void printJoints(const char* label, const double* joints) {
  std::printf("%s (deg):", label);
  for (int i = 0; i < 6; ++i) {
    std::printf(" %8.3f", joints[i] / kDeg);
  }
  std::printf("\n");
}

void printPose(const char* label, const Pos& p, const Ori& q) {
  Rpy rpy{};
  ServiceInterface::quaternionToRPY(q, rpy);
  std::printf("%s: position (%.4f, %.4f, %.4f) m, quaternion (%.5f, %.5f, %.5f, %.5f), rpy (%.2f, %.2f, %.2f) deg\n",
              label, p.x, p.y, p.z, q.w, q.x, q.y, q.z, rpy.rx / kDeg, rpy.ry / kDeg, rpy.rz / kDeg);
}

int report(const char* what, int code) {
  if (code != ErrnoSucc) {
    std::printf("%s failed: %d %s\n", what, code, ServiceInterface::getErrDescByCode(static_cast<RobotErrorCode>(code)).c_str());
  }
  return code;
}

}  // namespace

int main() {
  // The first facade creates the library's log instance, so failures of the static calls are reported.
  ServiceInterface robot;

  const double joints[6] = {10 * kDeg, -20 * kDeg, 70 * kDeg, 30 * kDeg, 90 * kDeg, 15 * kDeg};
  wayPoint_S flange{};
  if (report("forward kinematics", ServiceInterface::robotServiceRobotFk(joints, 6, flange)) != ErrnoSucc) {
    return 1;
  }
  printJoints("joints         ", joints);
  printPose("flange pose    ", flange.cartPos.position, flange.orientation);

  // Back to joint angles, choosing the solution nearest to a reference configuration.
  const double reference[6] = {0, 0, 60 * kDeg, 0, 80 * kDeg, 0};
  wayPoint_S solved{};
  if (report("inverse kinematics",
             ServiceInterface::robotServiceRobotIk(reference, flange.cartPos.position, flange.orientation, solved)) !=
      ErrnoSucc) {
    return 1;
  }
  printJoints("nearest IK     ", solved.jointpos);

  std::vector<wayPoint_S> all;
  ServiceInterface::robotServiceRobotIk(flange.cartPos.position, flange.orientation, all);
  std::printf("%zu solutions inside the joint range:\n", all.size());
  for (const wayPoint_S& wp : all) {
    printJoints("  solution     ", wp.jointpos);
  }

  // The same flange pose seen at the tip of a 10 cm tool along the flange's z axis.
  ToolInEndDesc tool{};
  ServiceInterface::initToolInEndDescDataType(tool);
  tool.toolInEndPosition.z = 0.10;
  Pos tipPosition{};
  Ori tipOrientation{};
  if (report("tool pose", ServiceInterface::baseToBaseAdditionalTool(flange.cartPos.position, flange.orientation, tool,
                                                                     tipPosition, tipOrientation)) != ErrnoSucc) {
    return 1;
  }
  printPose("tool tip pose  ", tipPosition, tipOrientation);

  // A pose out of reach: the call fails and says why.
  const Pos farAway{5.0, 0.0, 0.0};
  wayPoint_S unreachable{};
  report("inverse kinematics of (5, 0, 0)",
         ServiceInterface::robotServiceRobotIk(reference, farAway, flange.orientation, unreachable));
  return 0;
}
