#ifndef RUKO_MOTION_ROBOTMOVESERVICE_H
#define RUKO_MOTION_ROBOTMOVESERVICE_H

// The global move profile of one facade and the moves built on it: joint, linear, follow-mode and track
// moves, blocking or not, with stop, pause and continue.
//
// A blocking move sends its request, then waits on the connection's move-finish queue until an event that
// ends a move is queued (arrival, controller or hardware fault, stop, lost connection); that event decides
// the result. There is no time limit: a lost connection or a logout queues socketDisconnected, which ends
// the wait. One blocking move at a time per object; non-blocking moves may be issued in between.
//
// Threads: every method may be called from any application thread. The profile and the waypoint list are
// guarded by one mutex; a move copies what it needs under it, so setters running meanwhile never tear a
// move's profile.

#include <mutex>
#include <string>
#include <vector>

#include "codec/robotmoveprofile.h"
#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_motion_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "transport/communicationmatetype.h"

class RobotControlServices;

// The global relative offset: in the base frame, or in the frame `coordinateSystem` describes.
struct MoveRelativeParam_t {
  bool isEnable;
  ruko_robot_namespace::CoordCalibrateByJointAngleAndTool coordinateSystem;
  float relativePosition[3];
  cartesian_Ori_U relativeOrientation;
};

struct MoveArrivalAhead_t {
  arrival_ahead_state arrivalAheadStat;
  double arrivalAheadThr;
};

// The recognition trajectory a move of class ROBOT_MOVE_CLASS_OFFLINE_TRACK_RECOGNITION starts.
struct offlineTrackRecognition {
  std::string trackName;
  int type;
  int subType;
};

class RobotMoveService {
 public:
  enum RobotMoveClass : int {
    ROBOT_MOVE_CLASS_GENARAL = 0,
    ROBOT_MOVE_CLASS_OFFLINE_TRACK = 1,
    ROBOT_MOVE_CLASS_OFFLINE_TRACK_RECOGNITION = 2,
  };

  // The list holds at most this many waypoints.
  static constexpr size_t kMaxWayPoints = 12000;

  // `base` is not owned and must outlive this object.
  explicit RobotMoveService(RobotControlServices* base);
  RobotMoveService(const RobotMoveService&) = delete;
  RobotMoveService& operator=(const RobotMoveService&) = delete;

  // ---- Global move profile ------------------------------------------------------------------------------
  // Defaults again (tool and jerk ratio kept), waypoint list emptied. Returns 0.
  int initMoveProfile();
  // The fresh internal profile every move starts from.
  static void initDefaultMoveProfile(RobotMoveProfile& moveProfile);

  int setMoveJointMaxAcc(const ruko_robot_namespace::JointVelcAccParam& acc);
  int setMoveJointMaxVelc(const ruko_robot_namespace::JointVelcAccParam& velc);
  void getMoveJointMaxAcc(ruko_robot_namespace::JointVelcAccParam& acc) const;
  void getMoveJointMaxVelc(ruko_robot_namespace::JointVelcAccParam& velc) const;
  int setMoveEndMaxLineAcc(double acc);
  int setMoveEndMaxLineVelc(double velc);
  int setMoveEndMaxAngleAcc(double acc);
  int setMoveEndMaxAngleVelc(double velc);
  void getMoveEndMaxLineAcc(double& acc) const;
  void getMoveEndMaxLineVelc(double& velc) const;
  void getMoveEndMaxAngleAcc(double& acc) const;
  void getMoveEndMaxAngleVelc(double& velc) const;
  int setJerkAccRatio(double ratio);
  void getJerkAccRatio(double& ratio) const;

  void clearWayPointVector();
  // Appends; drops the middle one of the last three when they lie on one line. Full list: 10022.
  int addWayPoint(const ruko_robot_namespace::wayPoint_S& wayPoint);
  void getWayPointVector(std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector) const;
  // True when B is not on the line through A and C (a zero-length segment counts as not on a line).
  static bool checkMovePFeasibility(const ruko_robot_namespace::wayPoint_S& a, const ruko_robot_namespace::wayPoint_S& b,
                                    const ruko_robot_namespace::wayPoint_S& c);

  float getBlendRadius() const;
  int setBlendRadius(float radius);
  double getTrackPlaybackCycle() const;
  int setTrackPlaybackCycle(double second);
  int getCircularLoopTimes() const;
  void setCircularLoopTimes(int times);

  int setMoveProfileRelativeParam(const ruko_robot_namespace::MoveRelative& relative);
  int setMoveProfileRelativeParam(const ruko_robot_namespace::MoveRelative& relative,
                                  const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coord);

  int setNoArrivalAhead();
  int setArrivalAheadDistanceMode(double distance);
  int setArrivalAheadTimeMode(double second);
  int setArrivalAheadBlendDistanceMode(double distance);

  int setTeachCoordinateSystem(const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coord);
  void getTeachCoordinateSystem(ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coord) const;

  int setMoveProfileToolParamIsNone();
  // Refuses a tool centre farther than 0.5 m from the flange (any coordinate or the distance) with 10013.
  int setMoveProfileToolParam(const ruko_robot_namespace::ToolInEndDesc& tool);
  int getMoveProfileToolParam(ruko_robot_namespace::ToolInEndDesc& tool) const;
  void setEnableIterIk(bool enable);

  void setOfflineTrackRecognition(const offlineTrackRecognition& recognition);

  // ---- Profiles of a move -------------------------------------------------------------------------------
  void getCurrentMoveProfileRemoveOffset(move_mode moveMode, ruko_robot_namespace::move_track subMoveMode,
                                         ruko_robot_namespace::teach_mode teachMode,
                                         RobotMoveProfile& moveProfile) const;
  static bool checkIsJointTypeTrack(move_mode moveMode, ruko_robot_namespace::move_track subMoveMode);
  // The global offset, in base coordinates, into the profile. 10001 (offset off) when it cannot be
  // converted.
  int modifyOffsetProfileByWaypointAndGlobalOffset(ruko_robot_namespace::wayPoint_S offset_reference_waypoint,
                                                   RobotMoveProfile& moveProfile) const;
  // A profile from a per-call record. 10001 when its offset cannot be converted to the base frame.
  int MoveProfileConvert(move_mode moveMode, ruko_robot_namespace::wayPoint_S& offset_reference_waypoint,
                         ruko_robot_namespace::MoveProfile_t& sourceMoveProfile,
                         RobotMoveProfile& targetMoveProfile) const;
  int userCoordRelativeToBaseCoordRelative(ruko_robot_namespace::wayPoint_S& offset_reference_waypoint,
                                           const ruko_robot_namespace::MoveRelative& relativeOnUserCoord,
                                           const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& userCoord,
                                           ruko_robot_namespace::MoveRelative& relativeOnBase) const;

  // ---- Sending and waiting ------------------------------------------------------------------------------
  // A profile whose kinds the wire cannot carry is refused with 10002 and nothing is sent.
  int moveProfileAndWaypointsFormatCommunication(RobotCommandType commandType, const RobotMoveProfile& moveProfile,
                                                 const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);
  int moveBaseService(RobotMoveClass MoveType, const RobotMoveProfile& moveProfile,
                      const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector, int& moveEndEventType,
                      bool IsBolck);
  int robotMoveService(const RobotMoveProfile& moveProfile,
                       const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector, int& moveEndEventType,
                       bool isBolck);
  // The result of a blocking move ended by an event of this type, with its log line.
  static int moveOutcome(int eventType);

  // ---- Moves ----------------------------------------------------------------------------------------------
  int robotJointMove(ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  int robotJointMove(ruko_robot_namespace::MoveProfile_t& moveProfile, ruko_robot_namespace::wayPoint_S& wayPoint,
                     bool IsBolck);
  int robotLineMove(ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  int robotLineMove(ruko_robot_namespace::MoveProfile_t& moveProfile, ruko_robot_namespace::wayPoint_S& wayPoint,
                    bool IsBolck);
  int robotFollowModeJointMove(ruko_robot_namespace::wayPoint_S& wayPoint);
  // Through the global waypoint list: 0 or 1 waypoints 10022, 2 a linear move to the second.
  int robotTrackMove(ruko_robot_namespace::move_track subMoveMode, bool IsBolck);

  int robotMoveControl(ruko_robot_namespace::RobotMoveControlCommand cmd);
  int robotMoveFastStop();
  int robotMoveSlowStop(bool isBoardStopEvent);

  // Reduced mode on (126) and off (127); the controller's verdict.
  int enterRobotReduceMode();
  int exitRobotReduceMode();

  // The current joint angles (type 10) turned into a waypoint.
  int getCurrnetRoadPoint(ruko_robot_namespace::wayPoint_S& wayPoint);

 private:
  // The caller holds m_profileMutex.
  void initMoveProfileLocked();
  template <class Check>
  int setChecked(double value, double& member, Check&& inRange);
  int singleWayPointMove(const RobotMoveProfile& profile, const ruko_robot_namespace::wayPoint_S& wayPoint,
                         bool IsBolck);
  int globalProfileMove(move_mode moveMode, ruko_robot_namespace::move_track subMoveMode,
                        ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  int perCallProfileMove(move_mode moveMode, ruko_robot_namespace::MoveProfile_t& moveProfile,
                         ruko_robot_namespace::wayPoint_S& wayPoint, bool IsBolck);
  int sendMoveOfClass(RobotMoveClass MoveType, const RobotMoveProfile& moveProfile,
                      const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector, const char* unknownClassLine);

  RobotControlServices* m_robotBaseService;

  mutable std::mutex m_profileMutex;
  double s_moveProfileEndMaxLineAcc = 0.0;
  double s_moveProfileEndMaxLineVelc = 0.0;
  double s_moveProfileEndMaxAngleAcc = 0.0;
  double s_moveProfileEndMaxAngleVelc = 0.0;
  ruko_robot_namespace::JointVelcAccParam s_moveProfileJointMaxAcc{};
  ruko_robot_namespace::JointVelcAccParam s_moveProfileJointMaxVelc{};
  double s_moveProfileJerkAccRatio = 0.0;
  std::vector<ruko_robot_namespace::wayPoint_S> s_moveWayPointVector;
  ruko_robot_namespace::CoordCalibrateByJointAngleAndTool s_teachMoveCoordinateSystem{};
  MoveRelativeParam_t s_moveProfileRelativeParam{};
  double s_moveProfileBlendRadius = 0.0;
  double s_moveProfileTrackPlaybackCycle = 0.0;
  int s_moveProfileCircularLoopTimes = 0;
  bool s_moveProfileEnableIterIk = false;
  ruko_robot_namespace::ToolInEndDesc s_moveProfileToolInEndDesc{};
  bool s_moveProfileToolTrack = false;
  MoveArrivalAhead_t s_moveArrivalAhead{};
  offlineTrackRecognition s_offlineTrackRecognition{};
};

#endif  // RUKO_MOTION_ROBOTMOVESERVICE_H
