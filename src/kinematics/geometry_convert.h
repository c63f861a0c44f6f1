#ifndef RUKO_KINEMATICS_GEOMETRY_CONVERT_H
#define RUKO_KINEMATICS_GEOMETRY_CONVERT_H

// Field-by-field conversions between the public geometry records and the twins the
// kinematics use. The layouts are identical, but the types are distinct, so copies
// are spelled out rather than punned.

#include "kinematics/kinematic_types.h"
#include "ruko_sdk/robot_geometry.h"

namespace ruko {

inline ::Pos toInternal(const ruko_robot_namespace::Pos& p) {
  return ::Pos{p.x, p.y, p.z};
}

inline ruko_robot_namespace::Pos toPublic(const ::Pos& p) {
  return ruko_robot_namespace::Pos{p.x, p.y, p.z};
}

inline ::Ori toInternal(const ruko_robot_namespace::Ori& q) {
  return ::Ori{q.w, q.x, q.y, q.z};
}

inline ruko_robot_namespace::Ori toPublic(const ::Ori& q) {
  return ruko_robot_namespace::Ori{q.w, q.x, q.y, q.z};
}

inline ::wayPoint_S toInternal(const ruko_robot_namespace::wayPoint_S& wp) {
  ::wayPoint_S out{};
  out.cartPos.position = toInternal(wp.cartPos.position);
  out.orientation = toInternal(wp.orientation);
  for (int i = 0; i < 6; ++i) out.jointpos[i] = wp.jointpos[i];
  return out;
}

inline ruko_robot_namespace::wayPoint_S toPublic(const ::wayPoint_S& wp) {
  ruko_robot_namespace::wayPoint_S out{};
  out.cartPos.position = toPublic(wp.cartPos.position);
  out.orientation = toPublic(wp.orientation);
  for (int i = 0; i < 6; ++i) out.jointpos[i] = wp.jointpos[i];
  return out;
}

}  // namespace ruko

#endif  // RUKO_KINEMATICS_GEOMETRY_CONVERT_H
