#include "geometry/user_frame_check.h"

#include <cmath>

namespace ruko {

bool userFramePointsDegenerate(const ruko_robot_namespace::Pos& p0, const ruko_robot_namespace::Pos& p1,
                               const ruko_robot_namespace::Pos& p2) {
  const double a[3] = {static_cast<float>(p1.x - p0.x), static_cast<float>(p1.y - p0.y),
                       static_cast<float>(p1.z - p0.z)};
  const double b[3] = {static_cast<float>(p2.x - p0.x), static_cast<float>(p2.y - p0.y),
                       static_cast<float>(p2.z - p0.z)};
  const double lengths =
      std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) * std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  if (!(lengths > 0) || !std::isfinite(lengths)) return true;
  const double c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / lengths;
  if (!std::isfinite(c)) return true;
  return (c > 0.999 && c < 1.001) || (c > -1.001 && c < -0.999);
}

}  // namespace ruko
