#ifndef RUKO_GEOMETRY_USER_FRAME_CHECK_H
#define RUKO_GEOMETRY_USER_FRAME_CHECK_H

#include "ruko_sdk/robot_geometry.h"

namespace ruko {

// True when three taught points give a user frame no orientation: P1 - P0 or P2 - P0
// of zero length, or |cos| of the angle between them within 0.001 of 1. The
// differences are rounded to single precision first, as the calibration check has
// always done, so the frame services and the calibration agree on what is a line.
// Non-finite points count as degenerate.
bool userFramePointsDegenerate(const ruko_robot_namespace::Pos& p0, const ruko_robot_namespace::Pos& p1,
                               const ruko_robot_namespace::Pos& p2);

}  // namespace ruko

#endif  // RUKO_GEOMETRY_USER_FRAME_CHECK_H
