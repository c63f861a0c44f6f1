// The global move profile: defaults, checked setters, getters, the waypoint list with its collinearity
// filter, and the internal profile a move is built from.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "geometry/robotutilservice.h"
#include "motion/robotmoveservice.h"
#include "util/log.h"

using namespace ruko_robot_namespace;

namespace {

constexpr double kDefaultEndLine = 0.03;                    // m/s and m/s^2
constexpr double kDefaultEndAngle = 1.7453292519943295;     // 100 deg/s and deg/s^2
constexpr double kDefaultJoint = 0.4363323129985824;        // 25 deg/s and deg/s^2
constexpr double kMaxJointAcc = 167.55178272438084;         // 9600.01 deg/s^2
constexpr double kMaxJointVelc = 8.726820792896847;         // 500.01 deg/s
constexpr double kMaxEndLineAcc = 80.01;
constexpr double kMaxEndLineVelc = 5.01;
constexpr double kMaxEndAngle = 3.141767186514992;          // 180.01 deg/s and deg/s^2
constexpr double kBlendRadiusBound = 0.0501;                // exclusive
constexpr double kJerkRatioBound = 1.00001;                 // exclusive
constexpr double kDefaultBlendRadius = 0.02;
constexpr double kDefaultPlaybackCycle = 0.1;
constexpr double kMaxToolDistance = 0.5;
constexpr double kCollinear = 0.9999;

// Lower bound strict, upper bound inclusive; NaN fails both.
bool positiveUpTo(double value, double max) { return value > 0.0 && value <= max; }

void setNoTool(ToolInEndDesc& tool) {
  tool.toolInEndPosition = Pos{0.0, 0.0, 0.0};
  tool.toolInEndOrientation = Ori{1.0, 0.0, 0.0, 0.0};
}

bool toolFinite(const ToolInEndDesc& tool) {
  const Pos& p = tool.toolInEndPosition;
  const Ori& o = tool.toolInEndOrientation;
  for (double v : {p.x, p.y, p.z, o.w, o.x, o.y, o.z}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

RobotMoveService::RobotMoveService(RobotControlServices* base) : m_robotBaseService(base) {
  // Every instance starts from the defaults and without a tool.
  std::lock_guard<std::mutex> lock(m_profileMutex);
  initMoveProfileLocked();
  setNoTool(s_moveProfileToolInEndDesc);
  s_moveProfileToolTrack = false;
  s_moveProfileJerkAccRatio = 0.0;
}

void RobotMoveService::initMoveProfileLocked() {
  s_moveWayPointVector.clear();
  s_moveProfileEndMaxLineAcc = kDefaultEndLine;
  s_moveProfileEndMaxLineVelc = kDefaultEndLine;
  s_moveProfileEndMaxAngleAcc = kDefaultEndAngle;
  s_moveProfileEndMaxAngleVelc = kDefaultEndAngle;
  for (int i = 0; i < 6; ++i) {
    s_moveProfileJointMaxAcc.jointPara[i] = kDefaultJoint;
    s_moveProfileJointMaxVelc.jointPara[i] = kDefaultJoint;
  }
  s_teachMoveCoordinateSystem.coordType = BaseCoordinate;
  s_moveProfileRelativeParam.isEnable = false;
  s_moveProfileRelativeParam.coordinateSystem.coordType = BaseCoordinate;
  for (float& v : s_moveProfileRelativeParam.relativePosition) v = 0.0f;
  s_moveProfileRelativeParam.relativeOrientation.orientation = Ori{1.0, 0.0, 0.0, 0.0};
  s_moveProfileBlendRadius = kDefaultBlendRadius;
  s_moveProfileTrackPlaybackCycle = kDefaultPlaybackCycle;
  s_moveProfileCircularLoopTimes = 0;
  s_moveProfileEnableIterIk = false;
  s_moveArrivalAhead.arrivalAheadStat = arrival_ahead_none;
  s_moveArrivalAhead.arrivalAheadThr = 0.0;
}

int RobotMoveService::initMoveProfile() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  initMoveProfileLocked();
  return ErrnoSucc;
}

void RobotMoveService::initDefaultMoveProfile(RobotMoveProfile& moveProfile) {
  std::memset(static_cast<void*>(&moveProfile), 0, sizeof(moveProfile));
  moveProfile.moveMode = NO_MOVEMODE;
  moveProfile.subMoveMode = NO_TRACK;
  moveProfile.teachMode = NO_TEACH;
  moveProfile.enableIterIk = false;
  moveProfile.toolTrack = false;
  moveProfile.toolInEndPosition.position = Pos{0.0, 0.0, 0.0};
  moveProfile.toolInEndOrientation = Ori{1.0, 0.0, 0.0, 0.0};
  moveProfile.blendRadius = static_cast<float>(kDefaultBlendRadius);
  moveProfile.circularLoopTimes = 0;
  for (int i = 0; i < 6; ++i) {
    moveProfile.maxVelc.jointPara[i] = kDefaultJoint;
    moveProfile.maxAcc.jointPara[i] = kDefaultJoint;
  }
  moveProfile.relativeMove.ena = false;
  moveProfile.relativeMove.relativeOrientation.orientation = Ori{1.0, 0.0, 0.0, 0.0};
  moveProfile.arrivalAhead.arrivalAheadStat = arrival_ahead_none;
  moveProfile.arrivalAhead.arrivalAheadThr = 0.0;
  moveProfile.jerkAccRatio = 0.0;
}

// ---- Limits --------------------------------------------------------------------------------------------------

template <class Check>
int RobotMoveService::setChecked(double value, double& member, Check&& inRange) {
  if (!inRange(value)) return ErrCode_ParamError;
  std::lock_guard<std::mutex> lock(m_profileMutex);
  member = value;
  return ErrnoSucc;
}

int RobotMoveService::setMoveJointMaxAcc(const JointVelcAccParam& acc) {
  for (double value : acc.jointPara) {
    if (!positiveUpTo(value, kMaxJointAcc)) {
      ruko::logPrint(LL_ERROR, "user moveMaxAcc=%f", value);
      return ErrCode_ParamError;
    }
  }
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileJointMaxAcc = acc;
  return ErrnoSucc;
}

int RobotMoveService::setMoveJointMaxVelc(const JointVelcAccParam& velc) {
  for (double value : velc.jointPara) {
    if (!positiveUpTo(value, kMaxJointVelc)) return ErrCode_ParamError;
  }
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileJointMaxVelc = velc;
  return ErrnoSucc;
}

void RobotMoveService::getMoveJointMaxAcc(JointVelcAccParam& acc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  acc = s_moveProfileJointMaxAcc;
}

void RobotMoveService::getMoveJointMaxVelc(JointVelcAccParam& velc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  velc = s_moveProfileJointMaxVelc;
}

int RobotMoveService::setMoveEndMaxLineAcc(double acc) {
  return setChecked(acc, s_moveProfileEndMaxLineAcc, [](double v) { return positiveUpTo(v, kMaxEndLineAcc); });
}

int RobotMoveService::setMoveEndMaxLineVelc(double velc) {
  return setChecked(velc, s_moveProfileEndMaxLineVelc, [](double v) { return positiveUpTo(v, kMaxEndLineVelc); });
}

int RobotMoveService::setMoveEndMaxAngleAcc(double acc) {
  return setChecked(acc, s_moveProfileEndMaxAngleAcc, [](double v) { return positiveUpTo(v, kMaxEndAngle); });
}

int RobotMoveService::setMoveEndMaxAngleVelc(double velc) {
  return setChecked(velc, s_moveProfileEndMaxAngleVelc, [](double v) { return positiveUpTo(v, kMaxEndAngle); });
}

void RobotMoveService::getMoveEndMaxLineAcc(double& acc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  acc = s_moveProfileEndMaxLineAcc;
}

void RobotMoveService::getMoveEndMaxLineVelc(double& velc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  velc = s_moveProfileEndMaxLineVelc;
}

void RobotMoveService::getMoveEndMaxAngleAcc(double& acc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  acc = s_moveProfileEndMaxAngleAcc;
}

void RobotMoveService::getMoveEndMaxAngleVelc(double& velc) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  velc = s_moveProfileEndMaxAngleVelc;
}

int RobotMoveService::setJerkAccRatio(double ratio) {
  return setChecked(ratio, s_moveProfileJerkAccRatio, [](double v) { return v >= 0.0 && v < kJerkRatioBound; });
}

void RobotMoveService::getJerkAccRatio(double& ratio) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  ratio = s_moveProfileJerkAccRatio;
}

// ---- Waypoint list -------------------------------------------------------------------------------------------

void RobotMoveService::clearWayPointVector() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveWayPointVector.clear();
}

bool RobotMoveService::checkMovePFeasibility(const wayPoint_S& a, const wayPoint_S& b, const wayPoint_S& c) {
  double u[3];
  double v[3];
  for (int i = 0; i < 3; ++i) {
    u[i] = a.cartPos.positionVector[i] - b.cartPos.positionVector[i];
    v[i] = c.cartPos.positionVector[i] - b.cartPos.positionVector[i];
  }
  const double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
  const double lengths = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) *
                         std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  const double cosine = -dot / lengths;
  // A zero-length segment gives 0/0: the comparison is false and the points stay.
  return !(std::fabs(cosine) > kCollinear);
}

int RobotMoveService::addWayPoint(const wayPoint_S& wayPoint) {
  bool collinear = false;
  {
    std::lock_guard<std::mutex> lock(m_profileMutex);
    std::vector<wayPoint_S>& list = s_moveWayPointVector;
    if (list.size() >= kMaxWayPoints) {
      return ErrCode_MotionWaypointVetorSizeError;
    }
    list.push_back(wayPoint);
    if (list.size() <= 2) {
      return ErrnoSucc;
    }
    const size_t n = list.size();
    collinear = !checkMovePFeasibility(list[n - 3], list[n - 2], list[n - 1]);
    if (collinear) {
      list.erase(list.end() - 2);
    }
  }
  std::fputs(collinear ? "The point are at line \n" : "The point are not at line \n", stdout);
  return ErrnoSucc;
}

void RobotMoveService::getWayPointVector(std::vector<wayPoint_S>& wayPointVector) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  wayPointVector = s_moveWayPointVector;
}

// ---- Blend radius, playback cycle, loop count ----------------------------------------------------------------

float RobotMoveService::getBlendRadius() const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  return static_cast<float>(s_moveProfileBlendRadius);
}

int RobotMoveService::setBlendRadius(float radius) {
  const double widened = radius;
  return setChecked(widened, s_moveProfileBlendRadius, [](double v) { return v > 0.0 && v < kBlendRadiusBound; });
}

double RobotMoveService::getTrackPlaybackCycle() const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  return s_moveProfileTrackPlaybackCycle;
}

int RobotMoveService::setTrackPlaybackCycle(double second) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileTrackPlaybackCycle = second;
  return ErrnoSucc;
}

int RobotMoveService::getCircularLoopTimes() const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  return s_moveProfileCircularLoopTimes;
}

void RobotMoveService::setCircularLoopTimes(int times) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileCircularLoopTimes = times;
}

// ---- Relative offset, arrival ahead, teach frame -------------------------------------------------------------

int RobotMoveService::setMoveProfileRelativeParam(const MoveRelative& relative) {
  CoordCalibrateByJointAngleAndTool base{};
  base.coordType = BaseCoordinate;
  return setMoveProfileRelativeParam(relative, base);
}

int RobotMoveService::setMoveProfileRelativeParam(const MoveRelative& relative,
                                                  const CoordCalibrateByJointAngleAndTool& coord) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileRelativeParam.isEnable = relative.ena;
  s_moveProfileRelativeParam.coordinateSystem = coord;
  for (int i = 0; i < 3; ++i) s_moveProfileRelativeParam.relativePosition[i] = relative.relativePosition[i];
  s_moveProfileRelativeParam.relativeOrientation.orientation = relative.relativeOri;
  return ErrnoSucc;
}

int RobotMoveService::setNoArrivalAhead() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveArrivalAhead = MoveArrivalAhead_t{arrival_ahead_none, 0.0};
  return ErrnoSucc;
}

int RobotMoveService::setArrivalAheadDistanceMode(double distance) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveArrivalAhead = MoveArrivalAhead_t{arrival_ahead_distance, distance};
  return ErrnoSucc;
}

int RobotMoveService::setArrivalAheadTimeMode(double second) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveArrivalAhead = MoveArrivalAhead_t{arrival_ahead_time, second};
  return ErrnoSucc;
}

int RobotMoveService::setArrivalAheadBlendDistanceMode(double distance) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveArrivalAhead = MoveArrivalAhead_t{arrival_ahead_blend_distance, distance};
  return ErrnoSucc;
}

int RobotMoveService::setTeachCoordinateSystem(const CoordCalibrateByJointAngleAndTool& coord) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_teachMoveCoordinateSystem = coord;
  return ErrnoSucc;
}

void RobotMoveService::getTeachCoordinateSystem(CoordCalibrateByJointAngleAndTool& coord) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  coord = s_teachMoveCoordinateSystem;
}

// ---- Tool ----------------------------------------------------------------------------------------------------

int RobotMoveService::setMoveProfileToolParamIsNone() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  setNoTool(s_moveProfileToolInEndDesc);
  s_moveProfileToolTrack = false;
  return ErrnoSucc;
}

int RobotMoveService::setMoveProfileToolParam(const ToolInEndDesc& tool) {
  // NaN passes every distance comparison below; it would reach the controller as the tool of every move.
  if (!toolFinite(tool)) {
    ruko::logPrint(LL_ERROR, "sdk log: Tool kinematics not finite.");
    return ErrCode_ParamError;
  }
  const Pos& p = tool.toolInEndPosition;
  const double distance = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
  if (p.x > kMaxToolDistance || p.y > kMaxToolDistance || p.z > kMaxToolDistance || distance > kMaxToolDistance) {
    ruko::logPrint(LL_INFO, "x is %f", p.x);
    ruko::logPrint(LL_INFO, "y is %f", p.y);
    ruko::logPrint(LL_INFO, "z is %f", p.z);
    ruko::logPrint(LL_INFO, "xyz is %f", distance);
    ruko::logPrint(LL_ERROR, "SetTool Kinematics Param over the distance.");
    return ErrCode_ToolCalibrateError;
  }
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileToolInEndDesc = tool;
  s_moveProfileToolTrack = true;
  return ErrnoSucc;
}

int RobotMoveService::getMoveProfileToolParam(ToolInEndDesc& tool) const {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  tool = s_moveProfileToolInEndDesc;
  return ErrnoSucc;
}

void RobotMoveService::setEnableIterIk(bool enable) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_moveProfileEnableIterIk = enable;
}

void RobotMoveService::setOfflineTrackRecognition(const offlineTrackRecognition& recognition) {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  s_offlineTrackRecognition = recognition;
}

// ---- Profiles of a move --------------------------------------------------------------------------------------

bool RobotMoveService::checkIsJointTypeTrack(move_mode moveMode, move_track subMoveMode) {
  if (moveMode == MODEL) return false;
  if (moveMode == MODEP) {
    const int sub = static_cast<int>(subMoveMode);
    return !((sub >= 2 && sub <= 5) || sub == 101);
  }
  return true;
}

void RobotMoveService::getCurrentMoveProfileRemoveOffset(move_mode moveMode, move_track subMoveMode,
                                                         teach_mode teachMode, RobotMoveProfile& moveProfile) const {
  initDefaultMoveProfile(moveProfile);
  std::lock_guard<std::mutex> lock(m_profileMutex);
  moveProfile.moveMode = moveMode;
  moveProfile.subMoveMode = subMoveMode;
  moveProfile.teachMode = teachMode;
  moveProfile.enableIterIk = s_moveProfileEnableIterIk;
  moveProfile.toolTrack = s_moveProfileToolTrack;
  moveProfile.blendRadius = static_cast<float>(s_moveProfileBlendRadius);
  moveProfile.circularLoopTimes = s_moveProfileCircularLoopTimes;
  // The offset stays cleared: the caller adds it against its own reference waypoint.
  moveProfile.toolInEndPosition.position = s_moveProfileToolInEndDesc.toolInEndPosition;
  moveProfile.toolInEndOrientation = s_moveProfileToolInEndDesc.toolInEndOrientation;

  if (moveMode == MODEP) {
    if (subMoveMode == JOINT_UBSPLINEINTP) {
      // For this track the field carries the playback cycle.
      moveProfile.blendRadius = static_cast<float>(s_moveProfileTrackPlaybackCycle);
    }
    // The circle kinds have no wire value of their own: ARC_CIR with markers in radius and loop count.
    bool circle = true;
    switch (subMoveMode) {
      case ARC:
        moveProfile.blendRadius = 1.0f;
        moveProfile.circularLoopTimes = 0;
        break;
      case CIRCLE:
        moveProfile.blendRadius = 1.0f;
        break;
      case ARC_ORI_ROTATED:
        moveProfile.blendRadius = -1.0f;
        moveProfile.circularLoopTimes = 0;
        break;
      case CIRCLE_ORI_ROTATED:
      case ORI_POSITION_ROTATE_CIRCUMFERENCE:
        moveProfile.blendRadius = -1.0f;
        moveProfile.circularLoopTimes = 1;
        break;
      default:
        circle = false;
        break;
    }
    if (circle) moveProfile.subMoveMode = ARC_CIR;
  }

  moveProfile.arrivalAhead.arrivalAheadStat = s_moveArrivalAhead.arrivalAheadStat;
  moveProfile.arrivalAhead.arrivalAheadThr = s_moveArrivalAhead.arrivalAheadThr;
  if ((moveMode == MODEJ || moveMode == MODEL) && (s_moveArrivalAhead.arrivalAheadStat == arrival_ahead_distance ||
                                                   s_moveArrivalAhead.arrivalAheadStat == arrival_ahead_time)) {
    moveProfile.subMoveMode = TRACKING;
  }
  moveProfile.jerkAccRatio = s_moveProfileJerkAccRatio;

  if (checkIsJointTypeTrack(moveProfile.moveMode, moveProfile.subMoveMode)) {
    moveProfile.maxAcc = joint_cart_U{};
    moveProfile.maxVelc = joint_cart_U{};
    for (int i = 0; i < 6; ++i) {
      moveProfile.maxAcc.jointPara[i] = s_moveProfileJointMaxAcc.jointPara[i];
      moveProfile.maxVelc.jointPara[i] = s_moveProfileJointMaxVelc.jointPara[i];
    }
  } else {
    moveProfile.maxAcc = joint_cart_U{};
    moveProfile.maxVelc = joint_cart_U{};
    moveProfile.maxAcc.cartPara[0] = s_moveProfileEndMaxLineAcc;
    moveProfile.maxAcc.cartPara[1] = s_moveProfileEndMaxAngleAcc;
    moveProfile.maxVelc.cartPara[0] = s_moveProfileEndMaxLineVelc;
    moveProfile.maxVelc.cartPara[1] = s_moveProfileEndMaxAngleVelc;
  }
}

int RobotMoveService::modifyOffsetProfileByWaypointAndGlobalOffset(wayPoint_S offset_reference_waypoint,
                                                                   RobotMoveProfile& moveProfile) const {
  MoveRelativeParam_t param;
  {
    std::lock_guard<std::mutex> lock(m_profileMutex);
    param = s_moveProfileRelativeParam;
  }
  moveProfile.relativeMove.ena = param.isEnable;
  if (!param.isEnable) return ErrnoSucc;  // the cleared offset of the snapshot stays
  MoveRelative relative{};
  relative.ena = true;
  for (int i = 0; i < 3; ++i) relative.relativePosition[i] = param.relativePosition[i];
  relative.relativeOri = param.relativeOrientation.orientation;
  MoveRelative onBase{};
  const int result =
      userCoordRelativeToBaseCoordRelative(offset_reference_waypoint, relative, param.coordinateSystem, onBase);
  moveProfile.relativeMove.ena = onBase.ena;
  if (result != ErrnoSucc) return result;
  for (int i = 0; i < 3; ++i) moveProfile.relativeMove.relativePosition[i] = onBase.relativePosition[i];
  moveProfile.relativeMove.relativeOrientation.orientation = onBase.relativeOri;
  return ErrnoSucc;
}

int RobotMoveService::userCoordRelativeToBaseCoordRelative(wayPoint_S& offset_reference_waypoint,
                                                           const MoveRelative& relativeOnUserCoord,
                                                           const CoordCalibrateByJointAngleAndTool& userCoord,
                                                           MoveRelative& relativeOnBase) const {
  relativeOnBase.ena = relativeOnUserCoord.ena;
  if (!relativeOnUserCoord.ena) {
    for (float& v : relativeOnBase.relativePosition) v = 0.0f;
    relativeOnBase.relativeOri = Ori{1.0, 0.0, 0.0, 0.0};
    return ErrnoSucc;
  }
  if (userCoord.coordType == BaseCoordinate) {
    relativeOnBase = relativeOnUserCoord;
    return ErrnoSucc;
  }
  ToolInEndDesc tool;
  {
    std::lock_guard<std::mutex> lock(m_profileMutex);
    tool = s_moveProfileToolInEndDesc;
  }
  const Pos position{relativeOnUserCoord.relativePosition[0], relativeOnUserCoord.relativePosition[1],
                     relativeOnUserCoord.relativePosition[2]};
  Pos onBase{};
  Ori oriOnBase{};
  if (!RobotUtilService::relativeMoveAndRot(offset_reference_waypoint, userCoord, tool, position,
                                            relativeOnUserCoord.relativeOri, onBase, oriOnBase)) {
    relativeOnBase.ena = false;
    return ErrCode_Failed;
  }
  relativeOnBase.relativePosition[0] = static_cast<float>(onBase.x);
  relativeOnBase.relativePosition[1] = static_cast<float>(onBase.y);
  relativeOnBase.relativePosition[2] = static_cast<float>(onBase.z);
  relativeOnBase.relativeOri = oriOnBase;
  return ErrnoSucc;
}

int RobotMoveService::MoveProfileConvert(move_mode moveMode, wayPoint_S& offset_reference_waypoint,
                                         MoveProfile_t& sourceMoveProfile, RobotMoveProfile& targetMoveProfile) const {
  initDefaultMoveProfile(targetMoveProfile);
  targetMoveProfile.moveMode = moveMode;
  targetMoveProfile.subMoveMode = NO_TRACK;
  targetMoveProfile.teachMode = NO_TEACH;
  targetMoveProfile.enableIterIk = false;
  targetMoveProfile.toolTrack = false;
  targetMoveProfile.toolInEndPosition.position = sourceMoveProfile.toolInEndDesc.toolInEndPosition;
  targetMoveProfile.toolInEndOrientation = sourceMoveProfile.toolInEndDesc.toolInEndOrientation;

  MoveRelative onBase{};
  const int converted = userCoordRelativeToBaseCoordRelative(offset_reference_waypoint, sourceMoveProfile.relative,
                                                             sourceMoveProfile.relativeOnCoord, onBase);
  targetMoveProfile.relativeMove.ena = onBase.ena;
  for (int i = 0; i < 3; ++i) targetMoveProfile.relativeMove.relativePosition[i] = onBase.relativePosition[i];
  targetMoveProfile.relativeMove.relativeOrientation.orientation = onBase.relativeOri;

  targetMoveProfile.maxAcc = joint_cart_U{};
  targetMoveProfile.maxVelc = joint_cart_U{};
  if (checkIsJointTypeTrack(moveMode, NO_TRACK)) {
    for (int i = 0; i < 6; ++i) {
      targetMoveProfile.maxAcc.jointPara[i] = sourceMoveProfile.jointMaxAcc[i];
      targetMoveProfile.maxVelc.jointPara[i] = sourceMoveProfile.jointMaxVelc[i];
    }
  } else {
    // A per-call linear move has fixed angular limits of 100 deg/s and 100 deg/s^2.
    targetMoveProfile.maxAcc.cartPara[0] = sourceMoveProfile.endMaxLineAcc;
    targetMoveProfile.maxAcc.cartPara[1] = kDefaultEndAngle;
    targetMoveProfile.maxVelc.cartPara[0] = sourceMoveProfile.endMaxLineVelc;
    targetMoveProfile.maxVelc.cartPara[1] = kDefaultEndAngle;
  }
  targetMoveProfile.arrivalAhead.arrivalAheadStat = arrival_ahead_none;
  targetMoveProfile.arrivalAhead.arrivalAheadThr = 0.0;
  targetMoveProfile.blendRadius = static_cast<float>(sourceMoveProfile.blendRadius);
  targetMoveProfile.circularLoopTimes = 0;
  targetMoveProfile.jerkAccRatio = 0.0;
  return converted;
}
