// Kinematics, frame conversions and rotation conversions fed hostile numbers. The first byte picks the
// operation; its top bit picks how the rest is read: as raw doubles (8 bytes each: NaN, infinities, huge and
// tiny values, all bit patterns), or as "plausible" numbers (2 bytes each, angles within a turn, lengths
// within a metre), which is where the checks of accuracy apply. Missing bytes read as zero.
//
// Promises checked:
// - no crash, no sanitizer report, no hang;
// - a success carries finite outputs (and a unit quaternion where a rotation is produced);
// - inverse kinematics that succeeds gives joint angles whose forward kinematics reproduce the requested
//   pose within 1e-4 m and 1e-3 rad; so does every solution of the all-solutions form;
// - plausible rotations survive the conversions: quaternion -> matrix -> quaternion and RPY -> quaternion
//   -> RPY -> quaternion describe the same rotation, and an end orientation turned into a tool orientation
//   and back is the end orientation again.

#include <cmath>
#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/robotutilservice.h"
#include "kinematics/geometry_convert.h"
#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"
#include "ruko_sdk/robot_error.h"
#include "util/internalmatetype.h"

namespace rn = ruko_robot_namespace;
using RUS = RobotUtilService;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPositionTolerance = 1e-4;  // m
constexpr double kAngleTolerance = 1e-3;     // rad

[[noreturn]] void fail(const char* what) {
  // On the sanitizers' report stream, which outlives -close_fd_mask.
  __sanitizer_report_error_summary(what);
  __builtin_trap();
}

// Reads numbers from the input, raw or plausible.
class Numbers {
 public:
  Numbers(const uint8_t* data, size_t size, bool raw) : m_data(data), m_size(size), m_raw(raw) {}

  bool raw() const { return m_raw; }

  // An angle (plausible: within one turn either way).
  double angle() { return m_raw ? rawDouble() : unit() * kPi; }
  // A length (plausible: within a metre either way).
  double length() { return m_raw ? rawDouble() : unit(); }
  // A quaternion component (plausible: within [-1, 1), normalised by the caller if needed).
  double component() { return m_raw ? rawDouble() : unit(); }
  uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

 private:
  double rawDouble() {
    unsigned char bytes[8] = {};
    for (unsigned char& b : bytes) b = byte();
    double v;
    std::memcpy(&v, bytes, sizeof(v));
    return v;
  }
  double unit() {
    const int16_t v = static_cast<int16_t>(static_cast<uint16_t>(byte()) | (static_cast<uint16_t>(byte()) << 8));
    return v / 32768.0;
  }

  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
  bool m_raw;
};

bool finite(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}
bool finite(const rn::Pos& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool finite(const rn::Ori& q) {
  return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}
double norm(const rn::Ori& q) { return std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z); }
bool unit(const rn::Ori& q) { return finite(q) && std::fabs(norm(q) - 1.0) < 1e-6; }
bool finite(const rn::wayPoint_S& wp) {
  return finite(wp.cartPos.position) && finite(wp.orientation) && finite(wp.jointpos, 6);
}

// Angle between the rotations of two quaternions of any non-zero length.
double rotationAngle(const rn::Ori& a, const rn::Ori& b) {
  const double na = norm(a);
  const double nb = norm(b);
  double d = std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z) / (na * nb);
  if (d > 1.0) d = 1.0;
  return 2.0 * std::acos(d);
}

double distance(const rn::Pos& a, const rn::Pos& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

rn::Pos readPos(Numbers& n) { return rn::Pos{n.length(), n.length(), n.length()}; }
rn::Ori readOri(Numbers& n) { return rn::Ori{n.component(), n.component(), n.component(), n.component()}; }
void readJoints(Numbers& n, double* joints) {
  for (int i = 0; i < 6; ++i) joints[i] = n.angle();
}
rn::ToolInEndDesc readTool(Numbers& n) {
  rn::ToolInEndDesc tool{};
  tool.toolInEndPosition = readPos(n);
  tool.toolInEndOrientation = readOri(n);
  return tool;
}
rn::CoordCalibrateByJointAngleAndTool readFrame(Numbers& n) {
  rn::CoordCalibrateByJointAngleAndTool frame{};
  // Mostly valid kinds and methods, now and then one out of range (negative or past the last).
  frame.coordType = static_cast<rn::coordinate_refer>(static_cast<int8_t>(n.byte()) % 4);
  frame.methods = static_cast<rn::CoordCalibrateMathod>(static_cast<int8_t>(n.byte()) % 11);
  for (rn::JointParam& point : frame.wayPointArray) readJoints(n, point.jointPos);
  frame.toolDesc = readTool(n);
  return frame;
}

// The forward kinematics of `joints` must reproduce the requested pose.
void checkReaches(const double* joints, const rn::Pos& position, const rn::Ori& ori, const char* what) {
  rn::wayPoint_S reached{};
  if (RUS::robotFk(joints, 6, reached) != rn::ErrnoSucc) fail("an inverse kinematics solution has no pose");
  if (distance(reached.cartPos.position, position) > kPositionTolerance ||
      rotationAngle(reached.orientation, ori) > kAngleTolerance) {
    char text[512];
    std::snprintf(text, sizeof(text),
                  "%s succeeded with joint angles that miss the pose: requested (%.9g %.9g %.9g | %.9g %.9g %.9g "
                  "%.9g), reached (%.9g %.9g %.9g | %.9g %.9g %.9g %.9g)",
                  what, position.x, position.y, position.z, ori.w, ori.x, ori.y, ori.z, reached.cartPos.position.x,
                  reached.cartPos.position.y, reached.cartPos.position.z, reached.orientation.w,
                  reached.orientation.x, reached.orientation.y, reached.orientation.z);
    fail(text);
  }
}

// A usable target orientation for the accuracy checks: finite and not too close to zero.
bool usableOri(const rn::Ori& q) { return finite(q) && norm(q) > 1e-3 && std::isfinite(norm(q)); }

void forwardThenInverse(Numbers& n) {
  double joints[6];
  readJoints(n, joints);
  double reference[6];
  readJoints(n, reference);
  rn::wayPoint_S wp{};
  if (RUS::robotFk(joints, 6, wp) != rn::ErrnoSucc) return;
  if (!finite(wp) || !unit(wp.orientation)) fail("forward kinematics succeeded with a non-finite or non-unit pose");
  rn::wayPoint_S solved{};
  if (RUS::robotIk(reference, wp.cartPos.position, wp.orientation, solved) == rn::ErrnoSucc) {
    if (!finite(solved)) fail("inverse kinematics succeeded with a non-finite result");
    checkReaches(solved.jointpos, wp.cartPos.position, wp.orientation, "robotIk of a reached pose");
  }
  std::vector<rn::wayPoint_S> all;
  if (RUS::robotIk(wp.cartPos.position, wp.orientation, all) == rn::ErrnoSucc) {
    for (const rn::wayPoint_S& s : all) {
      if (!finite(s.jointpos, 6)) fail("an inverse kinematics solution is not finite");
      checkReaches(s.jointpos, wp.cartPos.position, wp.orientation, "robotIk (all solutions) of a reached pose");
    }
  }
}

void inverseOfAnyPose(Numbers& n) {
  double reference[6];
  readJoints(n, reference);
  const rn::Pos position = readPos(n);
  const rn::Ori ori = readOri(n);
  rn::wayPoint_S solved{};
  if (RUS::robotIk(reference, position, ori, solved) == rn::ErrnoSucc) {
    if (!finite(solved)) fail("inverse kinematics succeeded with a non-finite result");
    if (usableOri(ori)) checkReaches(solved.jointpos, position, ori, "robotIk of any pose");
  }
  std::vector<rn::wayPoint_S> all;
  if (RUS::robotIk(position, ori, all) == rn::ErrnoSucc && usableOri(ori)) {
    for (const rn::wayPoint_S& s : all) {
      if (!finite(s.jointpos, 6)) fail("an inverse kinematics solution is not finite");
      checkReaches(s.jointpos, position, ori, "robotIk (all solutions) of any pose");
    }
  }
}

void inverseOnTcp(Numbers& n) {
  double reference[6];
  readJoints(n, reference);
  const rn::Pos position = readPos(n);
  const rn::Ori ori = readOri(n);
  const rn::Rpy rpy{n.angle(), n.angle(), n.angle()};
  const rn::ToolInEndDesc tool = readTool(n);
  rn::wayPoint_S flange{};
  if (RUS::robotServiceIkBasedOnTcp(reference, position, ori, tool, flange) == rn::ErrnoSucc && !finite(flange)) {
    fail("tool-based inverse kinematics succeeded with a non-finite result");
  }
  if (RUS::robotServiceIkBasedOnTcp(reference, position, rpy, tool, flange) == rn::ErrnoSucc && !finite(flange)) {
    fail("tool-based inverse kinematics (RPY) succeeded with a non-finite result");
  }
}

void frameConversions(Numbers& n) {
  const rn::CoordCalibrateByJointAngleAndTool frame = readFrame(n);
  const rn::ToolInEndDesc tool = readTool(n);
  const rn::Pos position = readPos(n);
  const rn::Ori ori = readOri(n);
  rn::Pos p{};
  rn::Ori q{};
  if (RUS::base2UserCoordinate(position, ori, frame, tool, p, q) == rn::ErrnoSucc && (!finite(p) || !finite(q))) {
    fail("base2UserCoordinate succeeded with a non-finite result");
  }
  if (RUS::user2BaseCoordinate(position, ori, frame, tool, p, q) == rn::ErrnoSucc && (!finite(p) || !finite(q))) {
    fail("user2BaseCoordinate succeeded with a non-finite result");
  }
  if (RUS::base2BaseAdditionalTool(position, ori, tool, p, q) == rn::ErrnoSucc && (!finite(p) || !finite(q))) {
    fail("base2BaseAdditionalTool succeeded with a non-finite result");
  }
  if (RUS::userCoordPoint2BasePoint(position, frame, p) == rn::ErrnoSucc && !finite(p)) {
    fail("userCoordPoint2BasePoint succeeded with a non-finite result");
  }
  const double vector[3] = {position.x, position.y, position.z};
  double onBase[3] = {};
  if (RUS::offsetVectorUserCoord2Base(vector, frame, onBase) == rn::ErrnoSucc && !finite(onBase, 3)) {
    fail("offsetVectorUserCoord2Base succeeded with a non-finite result");
  }
  CoordCalibrateByToolEndPoint points{};
  RUS::CoordCalibrateTypeConvert(frame, points);
}

void waypointConversions(Numbers& n) {
  rn::wayPoint_S flange{};
  flange.cartPos.position = readPos(n);
  flange.orientation = readOri(n);
  readJoints(n, flange.jointpos);
  const rn::ToolInEndDesc tool = readTool(n);
  const rn::Pos endPosition = readPos(n);
  const rn::Ori toolOri = readOri(n);
  rn::wayPoint_S tcp{};
  // The joint angles are the caller's passengers: carried over as they are, whatever they hold.
  if (RUS::base2BaseAdditionalTool(flange, tool, tcp) == rn::ErrnoSucc &&
      (!finite(tcp.cartPos.position) || !finite(tcp.orientation) ||
       std::memcmp(tcp.jointpos, flange.jointpos, sizeof(tcp.jointpos)) != 0)) {
    fail("base2BaseAdditionalTool (waypoint) succeeded with a non-finite pose or changed joint angles");
  }
  rn::Pos onBase{};
  if (RUS::endPosition2BasePosition(flange, endPosition, onBase, toolOri) == rn::ErrnoSucc && !finite(onBase)) {
    fail("endPosition2BasePosition succeeded with a non-finite result");
  }
  const rn::CoordCalibrateByJointAngleAndTool frame = readFrame(n);
  rn::Pos relPos{};
  rn::Ori relOri{};
  if (RUS::relativeMoveAndRot(flange, frame, tool, endPosition, toolOri, relPos, relOri) &&
      (!finite(relPos) || !finite(relOri))) {
    fail("relativeMoveAndRot succeeded with a non-finite result");
  }
}

void toolOrientation(Numbers& n) {
  rn::Ori tcp = readOri(n);
  const rn::Ori end = readOri(n);
  rn::Ori tool{};
  rn::Ori back{};
  const bool toTool = RUS::endOrientation2ToolOrientation(tcp, end, tool) == rn::ErrnoSucc;
  if (toTool && !finite(tool)) fail("endOrientation2ToolOrientation succeeded with a non-finite result");
  if (!toTool) return;
  const bool toEnd = RUS::toolOrientation2EndOrientation(tcp, tool, back) == rn::ErrnoSucc;
  if (toEnd && !finite(back)) fail("toolOrientation2EndOrientation succeeded with a non-finite result");
  if (toEnd && !n.raw() && usableOri(tcp) && usableOri(end)) {
    // end * tcp * conj(tcp) = end * |tcp|^2: the same rotation as end.
    if (rotationAngle(back, end) > kAngleTolerance) fail("tool orientation and back is not the end orientation");
  }
}

void rotationConversions(Numbers& n) {
  const rn::Ori q = readOri(n);
  const double rpyIn[3] = {n.angle(), n.angle(), n.angle()};

  double m[9];
  Ikfunc::QuaternionToOriMatrix(ruko::toInternal(q), m);
  ::Ori internal{};
  if (Ikfunc::OriMatrixToQuaternion(m, internal)) {
    const rn::Ori fromMatrix = ruko::toPublic(internal);
    if (!unit(fromMatrix)) fail("OriMatrixToQuaternion succeeded with a non-unit quaternion");
    if (!n.raw() && usableOri(q) && rotationAngle(fromMatrix, q) > kAngleTolerance) {
      fail("quaternion -> matrix -> quaternion changed the rotation");
    }
  } else if (!n.raw() && usableOri(q)) {
    fail("the matrix of a plausible quaternion gives no quaternion");
  }
  rn::Ori viaService{};
  if (RUS::oriMatrixToQuaternion(m, viaService) == rn::ErrnoSucc && !unit(viaService)) {
    fail("oriMatrixToQuaternion succeeded with a non-unit quaternion");
  }

  ::Ori internalRpy{};
  Ikfunc::RPYToQuaternion(rpyIn, internalRpy);
  const rn::Ori fromRpy = ruko::toPublic(internalRpy);
  if (finite(rpyIn, 3)) {
    if (!unit(fromRpy)) fail("RPYToQuaternion of finite angles is not a unit quaternion");
    double rpyOut[3];
    Ikfunc::QuaternionToRPY(internalRpy, rpyOut);
    if (!finite(rpyOut, 3)) fail("QuaternionToRPY of a unit quaternion is not finite");
    ::Ori again{};
    Ikfunc::RPYToQuaternion(rpyOut, again);
    if (!n.raw() && rotationAngle(ruko::toPublic(again), fromRpy) > kAngleTolerance) fail("RPY -> quaternion -> RPY changed the rotation");
    double rot[9];
    Ikfunc::RPYToRotation(rpyIn, rot);
    if (!finite(rot, 9)) fail("RPYToRotation of finite angles is not finite");
  }

  // The public single-precision paths ("always 0").
  rn::Rpy rpy{};
  RUS::quaternionToRPY(q, rpy);
  rn::Ori back{};
  RUS::RPYToQuaternion(rn::Rpy{rpyIn[0], rpyIn[1], rpyIn[2]}, back);
  if (!n.raw()) {
    if (usableOri(q) && !(std::isfinite(rpy.rx) && std::isfinite(rpy.ry) && std::isfinite(rpy.rz))) {
      fail("quaternionToRPY of a plausible quaternion is not finite");
    }
    if (!unit(back)) fail("RPYToQuaternion of plausible angles is not a unit quaternion");
  }
}

void jointString(Numbers& n) {
  std::string text;
  for (int i = 0; i < 64; ++i) text.push_back(static_cast<char>(n.byte()));
  rn::wayPoint_S wp{};
  RUS::jointStringToWaypoint(text, wp);
}

using Operation = void (*)(Numbers&);
const Operation kOperations[] = {forwardThenInverse, inverseOfAnyPose, inverseOnTcp,    frameConversions,
                                 waypointConversions, toolOrientation,  rotationConversions, jointString};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  constexpr size_t kCount = sizeof(kOperations) / sizeof(kOperations[0]);
  Numbers numbers(data + 1, size - 1, (data[0] & 0x80) == 0);
  kOperations[(data[0] & 0x7F) % kCount](numbers);
  return 0;
}
