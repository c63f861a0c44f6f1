// Frame transforms between flange, tool centre point, base and user frames, and the
// tool and user-frame calibrations built on kinematics/frame_calib_lib.h.

#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <new>

#include "kinematics/frame_calib_lib.h"
#include "kinematics/ikfunc.h"
#include "util/log.h"

using ruko_robot_namespace::BaseCoordinate;
using ruko_robot_namespace::coordinate_refer;
using ruko_robot_namespace::EndCoordinate;
using ruko_robot_namespace::WorldCoordinate;

namespace {

// Floor for the determinant of the normal matrix when a caller asks for the check.
constexpr double kToolCalibDeterminantThreshold = 0.01;
// Position-calibration poses kept on the stack; more go to the heap.
constexpr int kStackToolPoses = 16;

struct UserFrame {
  double bInWPos[3];
  double bInWOri[9];
  double wInBPos[3];
};

// out = R.v
void rotate(const double* R, const double* v, double* out) {
  matrixMultiplication(out, R, v, 3, 3, 1, true, true);
}

// out = R^T.v
void rotateBack(const double* R, const double* v, double* out) {
  matrixMultiplication(out, R, v, 3, 3, 1, true, false);
}

bool isFinitePose(const double* p, const Ori& q) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]) && std::isfinite(q.w) &&
         std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}

bool validUserFrameMethod(char methods) {
  const int method = static_cast<signed char>(methods);
  return method >= 0 && method <= 8;
}

bool buildUserFrame(const wayPoint_S* planWp, char methods, UserFrame& frame) {
  Pose_S plane[3];
  Ikfunc::waypoint2Pose(plane, planWp, 3);
  return Ikfunc::userCoordinateCalib(plane, methods, frame.bInWPos, frame.bInWOri, frame.wInBPos);
}

}  // namespace

void Ikfunc::endPosition2ToolPosition(Pose_S& end_stat, const double* toolPosInEnd, double* toolPosition) {
  const double* flange = end_stat.posU.positionVector;
  double tcp[3] = {flange[0], flange[1], flange[2]};
  if (toolPosInEnd != nullptr) {
    double R[9];
    double offset[3];
    QuaternionToOriMatrix(end_stat.oriU.orientation, R);
    rotate(R, toolPosInEnd, offset);
    for (int i = 0; i < 3; ++i) tcp[i] += offset[i];
  }
  double* out = toolPosition != nullptr ? toolPosition : end_stat.posU.positionVector;
  for (int i = 0; i < 3; ++i) out[i] = tcp[i];
}

void Ikfunc::toolPosition2EndPosition(Pose_S tool_stat, cartesianPos_U& end_position, const double* toolPosInEnd) {
  const double* tcp = tool_stat.posU.positionVector;
  double flange[3] = {tcp[0], tcp[1], tcp[2]};
  if (toolPosInEnd != nullptr) {
    double R[9];
    double offset[3];
    QuaternionToOriMatrix(tool_stat.oriU.orientation, R);
    rotate(R, toolPosInEnd, offset);
    for (int i = 0; i < 3; ++i) flange[i] -= offset[i];
  }
  for (int i = 0; i < 3; ++i) end_position.positionVector[i] = flange[i];
}

void Ikfunc::endOrientation2ToolOrientation(Ori tcpOriInE, Ori endOri, Ori& toolOri) {
  QuaternionMultply(endOri, tcpOriInE, true);
  toolOri = endOri;
}

void Ikfunc::toolOrientation2EndOrientation(Ori tcpOriInE, Ori toolOri, Ori& endOri) {
  QuaternionInversion(tcpOriInE);
  QuaternionMultply(toolOri, tcpOriInE, true);
  endOri = toolOri;
}

bool Ikfunc::userCoordinateCalib(const Pose_S* waypointptr, char methods, double* bInWPos, double* bInWOri,
                                 double* wInBPos) {
  if (waypointptr == nullptr || bInWPos == nullptr || bInWOri == nullptr || wInBPos == nullptr) return false;
  double dotValue = 0;
  if (!userCoordinateCalibLib(waypointptr, methods, bInWPos, bInWOri, wInBPos, dotValue)) {
    ruko::logPrint(LL_WARN, "sdk log:User Coordinate Calib: Error Configuration, please re-try!");
    return false;
  }
  return true;
}

bool Ikfunc::api_user_coord_calib(const Pose_S* waypointptr, char methods, double* bInWPos, double* bInWOri,
                                  double* wInBPos) {
  return userCoordinateCalib(waypointptr, methods, bInWPos, bInWOri, wInBPos);
}

bool Ikfunc::toolCoordinateCalib(const Pose_S* waypointptr, int posWpNum, bool waypoint_check, double* toolInEndPos,
                                 char poseCalibMethod, const Pose_S* wpOriCalib, Ori* toolInEndOri) {
  if (waypointptr == nullptr || posWpNum <= 3 || toolInEndPos == nullptr) return false;
  const std::size_t count = static_cast<std::size_t>(posWpNum);
  double local[12 * kStackToolPoses];
  std::unique_ptr<double[]> heap;
  double* rot = local;
  if (posWpNum > kStackToolPoses) {
    heap.reset(new (std::nothrow) double[12 * count]);
    if (!heap) return false;
    rot = heap.get();
  }
  double* pos = rot + 9 * count;
  for (std::size_t k = 0; k < count; ++k) {
    posOri2homoArr(waypointptr[k].posU, waypointptr[k].oriU.orientation, rot + 9 * k, pos + 3 * k);
  }

  double oriRot[3][9];
  double oriPos[3][3];
  if (wpOriCalib != nullptr) {
    const int oriPoses = static_cast<signed char>(poseCalibMethod) <= 2 ? 3 : 2;
    for (int k = 0; k < oriPoses; ++k)
      posOri2homoArr(wpOriCalib[k].posU, wpOriCalib[k].oriU.orientation, oriRot[k], oriPos[k]);
  }
  double toolRot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  if (!toolCoordinateCalibLib(rot, pos, posWpNum, poseCalibMethod, wpOriCalib != nullptr ? oriRot : nullptr,
                              wpOriCalib != nullptr ? oriPos : nullptr, waypoint_check, kToolCalibDeterminantThreshold,
                              toolInEndPos, toolRot)) {
    return false;
  }
  if (toolInEndOri != nullptr) OriMatrixToQuaternion(toolRot, *toolInEndOri);
  return true;
}

bool Ikfunc::api_tool_coord_calib(const Pose_S* wpPosCalib, unsigned wpPosCalibSize, const Pose_S* wpOriCalib,
                                  char poseCalibMethod, Pose_S& toolInEnd) {
  if (wpPosCalib == nullptr || wpPosCalibSize <= 3 ||
      wpPosCalibSize > static_cast<unsigned>(std::numeric_limits<int>::max() / 12)) {
    return false;
  }
  const int method = static_cast<signed char>(poseCalibMethod);
  const bool withOrientation = method >= 0 && method <= 5 && wpOriCalib != nullptr;
  double offset[3];
  Ori orientation = toolInEnd.oriU.orientation;
  const bool ok = withOrientation ? toolCoordinateCalib(wpPosCalib, static_cast<int>(wpPosCalibSize), false, offset,
                                                        poseCalibMethod, wpOriCalib, &orientation)
                                  : toolCoordinateCalib(wpPosCalib, static_cast<int>(wpPosCalibSize), false, offset, -1,
                                                        nullptr, nullptr);
  if (!ok) return false;
  for (int i = 0; i < 3; ++i) toolInEnd.posU.positionVector[i] = offset[i];
  toolInEnd.oriU.orientation = orientation;
  return true;
}

bool Ikfunc::coordinateTransform(Pose_S& pos_transferred, Pose_S pos, const double* toolOrgInEndPos,
                                 const Ori* ToolOriInEnd, coordinate_refer coord, const wayPoint_S* planWp,
                                 char methods) {
  Pose_S result = pos;
  double* p = result.posU.positionVector;
  Ori& q = result.oriU.orientation;
  double R[9];
  QuaternionToOriMatrix(q, R);
  if (toolOrgInEndPos != nullptr && ToolOriInEnd != nullptr) {
    double offset[3];
    rotate(R, toolOrgInEndPos, offset);
    for (int i = 0; i < 3; ++i) p[i] += offset[i];
    QuaternionMultply(q, *ToolOriInEnd, true);
    QuaternionToOriMatrix(q, R);
  }
  if (coord != BaseCoordinate) {
    if (planWp == nullptr || !validUserFrameMethod(methods)) return false;
    UserFrame frame;
    if (!buildUserFrame(planWp, methods, frame)) return false;
    double inFrame[3];
    rotate(frame.bInWOri, p, inFrame);
    for (int i = 0; i < 3; ++i) p[i] = inFrame[i] + frame.bInWPos[i];
    double rotInFrame[9];
    matrixMultiplication(rotInFrame, frame.bInWOri, R, 3, 3, 3, true, true);
    if (!OriMatrixToQuaternion(rotInFrame, q)) return false;
  }
  if (!isFinitePose(p, q)) return false;
  pos_transferred = result;
  return true;
}

bool Ikfunc::waypointDisplay(Pose_S& target_wp, Pose_S source_wp, coordinate_refer refCoord,
                             const double* ToolOrgInEndPos, const Ori* ToolOriInEnd, const wayPoint_S* planWp,
                             char methods) {
  target_wp = source_wp;
  if (refCoord == EndCoordinate) {
    // The tool seen from the flange; without a tool that is the flange itself.
    for (int i = 0; i < 3; ++i) target_wp.posU.positionVector[i] = ToolOrgInEndPos != nullptr ? ToolOrgInEndPos[i] : 0;
    target_wp.oriU.orientation = ToolOriInEnd != nullptr ? *ToolOriInEnd : Ori{1, 0, 0, 0};
    return true;
  }
  if (refCoord == BaseCoordinate) {
    if (ToolOrgInEndPos == nullptr || ToolOriInEnd == nullptr) return true;
    return coordinateTransform(target_wp, source_wp, ToolOrgInEndPos, ToolOriInEnd, BaseCoordinate, planWp, methods);
  }
  return coordinateTransform(target_wp, source_wp, ToolOrgInEndPos, ToolOriInEnd, WorldCoordinate, planWp, methods);
}

bool Ikfunc::robotCoordConvert(Pose_S& target_point, Pose_S source_point, const Pose_S* userPlaneWP, char method,
                               const double* tcpPosInEnd, Ori* tcpOriInEnd, coordinate_refer targetCoord,
                               coordinate_refer sourceCoord) {
  const auto convertible = [](coordinate_refer c) { return c == BaseCoordinate || c == WorldCoordinate; };
  if (!convertible(sourceCoord) || !convertible(targetCoord)) return false;

  Pose_S result = source_point;
  double* p = result.posU.positionVector;
  Ori& q = result.oriU.orientation;
  const double n = NORM(q.w, q.x, q.y, q.z);
  if (!(n > 0) || !std::isfinite(n)) return false;
  q = Ori{q.w / n, q.x / n, q.y / n, q.z / n};

  if (sourceCoord != targetCoord) {
    if (userPlaneWP == nullptr) return false;
    UserFrame frame;
    if (!userCoordinateCalib(userPlaneWP, method, frame.bInWPos, frame.bInWOri, frame.wInBPos)) return false;
    double R[9];
    QuaternionToOriMatrix(q, R);
    double converted[3];
    double convertedRot[9];
    if (sourceCoord == WorldCoordinate) {
      // bInWOri^T is the user frame's rotation in the base frame.
      rotateBack(frame.bInWOri, p, converted);
      for (int i = 0; i < 3; ++i) converted[i] += frame.wInBPos[i];
      matrixMultiplication(convertedRot, frame.bInWOri, R, 3, 3, 3, true, false);
    } else {
      rotate(frame.bInWOri, p, converted);
      for (int i = 0; i < 3; ++i) converted[i] += frame.bInWPos[i];
      matrixMultiplication(convertedRot, frame.bInWOri, R, 3, 3, 3, true, true);
    }
    for (int i = 0; i < 3; ++i) p[i] = converted[i];
    if (!OriMatrixToQuaternion(convertedRot, q)) return false;
  }

  if (tcpPosInEnd != nullptr && tcpOriInEnd != nullptr) {
    // The caller's tool orientation is conjugated in place; callers pass a copy.
    QuaternionInversion(*tcpOriInEnd);
    QuaternionMultply(q, *tcpOriInEnd, true);
    double Rflange[9];
    double offset[3];
    QuaternionToOriMatrix(q, Rflange);
    rotate(Rflange, tcpPosInEnd, offset);
    for (int i = 0; i < 3; ++i) p[i] -= offset[i];
  }
  if (!isFinitePose(p, q)) return false;
  target_point = result;
  return true;
}
