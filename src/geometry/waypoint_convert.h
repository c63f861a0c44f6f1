#ifndef RUKO_GEOMETRY_WAYPOINT_CONVERT_H
#define RUKO_GEOMETRY_WAYPOINT_CONVERT_H

// Waypoint conversions between the kinematics' internal record and the public one.
// Each clears the whole target first, then copies position, orientation and joint
// angles. Hazard: this header sees both record families; never follow it with a
// using-directive for ruko_robot_namespace.

#include "kinematics/geometry_convert.h"

inline void ikFunRoadPintToRukoWayPoint(const wayPoint_S& src, ruko_robot_namespace::wayPoint_S& target) {
  target = ruko::toPublic(src);
}

inline void RukoWayPointToikFunRoadPint(const ruko_robot_namespace::wayPoint_S& src, wayPoint_S& target) {
  target = ruko::toInternal(src);
}

#endif  // RUKO_GEOMETRY_WAYPOINT_CONVERT_H
