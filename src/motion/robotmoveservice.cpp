// Move execution: sending a move, the blocking wait on the move-finish queue and its outcome, the joint,
// linear, follow-mode and track moves, stop, pause and continue.
#include "motion/robotmoveservice.h"

#include <cstdio>
#include <iostream>

#include "codec/protoencodedecode.h"
#include "geometry/robotutilservice.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"

using namespace ruko_robot_namespace;
using CMT = CommunicationMateType;

namespace {

// The last value of each kind the wire enumerations carry.
constexpr int kWireLastMoveMode = MODEP;
constexpr int kWireLastMoveTrack = JOINT_GNUBSPLINEINTP;
constexpr int kWireLastTeachMode = ROT_Z;

bool wireCarries(const RobotMoveProfile& profile) {
  const int mode = profile.moveMode;
  const int sub = profile.subMoveMode;
  const int teach = profile.teachMode;
  return mode >= 0 && mode <= kWireLastMoveMode && sub >= 0 && sub <= kWireLastMoveTrack && teach >= 0 &&
         teach <= kWireLastTeachMode;
}

}  // namespace

// ---- Sending and waiting -------------------------------------------------------------------------------------

int RobotMoveService::moveProfileAndWaypointsFormatCommunication(RobotCommandType commandType,
                                                                 const RobotMoveProfile& moveProfile,
                                                                 const std::vector<wayPoint_S>& wayPointVector) {
  // The arc and circle kinds are mapped to ARC_CIR only for path moves; any other kind beyond the wire
  // enumeration would otherwise reach the controller as something it was not.
  if (!wireCarries(moveProfile)) {
    ruko::logPrint(LL_ERROR, "sdk log: Move mode, track kind or teach mode cannot be sent. mode=%d sub=%d teach=%d",
                   static_cast<int>(moveProfile.moveMode), static_cast<int>(moveProfile.subMoveMode),
                   static_cast<int>(moveProfile.teachMode));
    return ErrCode_ParamError;
  }
  char* body = nullptr;
  int length = 0;
  if (!ProtoEncodeDecode::getRequest_robotMove(&body, &length, moveProfile, wayPointVector)) {
    delete[] body;
    ruko::logPrint(LL_ERROR, "sdk log: Create move request failed.");
    return ErrCode_CreateMotionRequestFailed;
  }
  // The engine takes the body over whatever the outcome.
  const int result = m_robotBaseService->requestServiceOnlyCheckSendResultMode(commandType, body, length);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Move interface call, function-sendRequestCheckResponseResult return false. ret=%d",
                   result);
  }
  return result;
}

int RobotMoveService::moveOutcome(int eventType) {
  if (eventType == RobotEvent_atTrackTargetPos) {
    ruko::logPrint(LL_INFO, "sdk log: Success wait for the signal to arrive target positon.");
    return ErrnoSucc;
  }
  if (eventType == RobotEvent_socketDisconnected) {
    ruko::logPrint(LL_ERROR, "sdk log: Network connection has been disconnected.");
    return ErrCode_SocketDisconnect;
  }
  if (eventType == RobotEvent_robotControllerError) {
    ruko::logPrint(LL_ERROR, "sdk log: Motion interrupted by controller abnormal .");
    return ErrCode_robotControllerError;
  }
  if (eventType >= 1001 && eventType <= 1299) {
    const int result = eventType + 20000;
    ruko::logPrint(LL_ERROR, "sdk log: Motion is interrupted by controller event. function return:%d eventType=%d",
                   result, eventType);
    return result;
  }
  if (eventType >= 2001 && eventType <= 2999) {
    const int result = eventType + 20000;
    ruko::logPrint(LL_ERROR, "sdk log: Motion is interrupted by hardware event. function return:%d eventType=%d",
                   result, eventType);
    return result;
  }
  if (eventType == RobotEventMoveEnterStopState) {
    ruko::logPrint(LL_ERROR, "sdk log: Motion is interrupted by stop the event. function return:%d",
                   static_cast<int>(ErrCodeMoveEnterStopState));
    return ErrCodeMoveEnterStopState;
  }
  ruko::logPrint(LL_ERROR, "sdk log: Motion is interrupted by event. function return:%d eventType=%d",
                 static_cast<int>(ErrCodeMoveInterruptedByEvent), eventType);
  return ErrCodeMoveInterruptedByEvent;
}

int RobotMoveService::sendMoveOfClass(RobotMoveClass MoveType, const RobotMoveProfile& moveProfile,
                                      const std::vector<wayPoint_S>& wayPointVector, const char* unknownClassLine) {
  switch (MoveType) {
    case ROBOT_MOVE_CLASS_GENARAL:
      return moveProfileAndWaypointsFormatCommunication(CMT::CommunicationType_RobotMove, moveProfile, wayPointVector);
    case ROBOT_MOVE_CLASS_OFFLINE_TRACK:
      return m_robotBaseService->callSet(CMT::CommunicationType_OfflineTrackMoveStartup);
    case ROBOT_MOVE_CLASS_OFFLINE_TRACK_RECOGNITION: {
      offlineTrackRecognition recognition;
      {
        std::lock_guard<std::mutex> lock(m_profileMutex);
        recognition = s_offlineTrackRecognition;
      }
      return m_robotBaseService->startupOfflineExcitTrajService(
          recognition.trackName.c_str(), static_cast<Robot_Dyn_identify_traj>(recognition.type), recognition.subType);
    }
  }
  ruko::logPrint(LL_ERROR, "%s", unknownClassLine);
  return ErrCode_Failed;
}

int RobotMoveService::moveBaseService(RobotMoveClass MoveType, const RobotMoveProfile& moveProfile,
                                      const std::vector<wayPoint_S>& wayPointVector, int& moveEndEventType,
                                      bool IsBolck) {
  moveEndEventType = RobotEventInvalid;
  int result = ErrCode_Failed;
  if (!IsBolck) {
    ruko::logPrint(LL_INFO, "sdk log: User non-blocking call motion interface.");
    result = sendMoveOfClass(MoveType, moveProfile, wayPointVector, "sdk log:Move class not exist.");
    ruko::logPrint(LL_INFO, "sdk log: User call motion interface finish.");
    return result;
  }

  ruko::logPrint(LL_INFO, "sdk log: User blocking call motion interface.");
  std::mutex& mutex = *m_robotBaseService->getRobotMoveAtTrackTargetPosMutexPtr();
  std::condition_variable& condition = *m_robotBaseService->getRobotMoveAtTrackTargetPosConditonPtr();
  {
    // Cleared before sending: an event left by an earlier move never ends this one.
    std::lock_guard<std::mutex> lock(mutex);
    m_robotBaseService->clearMoveFinishEventQueue();
  }
  result = sendMoveOfClass(MoveType, moveProfile, wayPointVector, "sdk log: Move class not exist.");
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: robotMoveInterface return false, because server return false.");
    ruko::logPrint(LL_INFO, "sdk log: User call motion interface finish.");
    return result;
  }

  RobotEventType ended = RobotEventInvalid;
  bool beforeWait = false;
  {
    std::unique_lock<std::mutex> lock(mutex);
    ended = m_robotBaseService->frontToMoveFinishEventQueue();
    if (ended != RobotEventInvalid) {
      // Queued while the request and its response were on their way (the queue was empty when it was
      // sent): this move's end. Clearing it here would leave the call waiting for an event that already came.
      beforeWait = true;
    } else {
      // No time limit: every disconnect, stop and fault queues an event. A wake-up that finds the queue empty
      // is spurious and waits again.
      condition.wait(lock, [&] { return m_robotBaseService->frontToMoveFinishEventQueue() != RobotEventInvalid; });
      ended = m_robotBaseService->frontToMoveFinishEventQueue();
    }
  }
  moveEndEventType = ended;
  if (beforeWait && ended == RobotEvent_atTrackTargetPos) {
    ruko::logPrint(LL_INFO, "sdk log: atTrackTargetPos singal before the response appears");
    result = ErrnoSucc;
  } else {
    result = moveOutcome(ended);
  }
  ruko::logPrint(LL_INFO, "sdk log: User call motion interface finish.");
  return result;
}

int RobotMoveService::robotMoveService(const RobotMoveProfile& moveProfile, const std::vector<wayPoint_S>& wayPointVector,
                                       int& moveEndEventType, bool isBolck) {
  return moveBaseService(ROBOT_MOVE_CLASS_GENARAL, moveProfile, wayPointVector, moveEndEventType, isBolck);
}

// ---- Moves ---------------------------------------------------------------------------------------------------

int RobotMoveService::singleWayPointMove(const RobotMoveProfile& profile, const wayPoint_S& wayPoint, bool IsBolck) {
  const std::vector<wayPoint_S> list{wayPoint};
  int eventType = RobotEventInvalid;
  return robotMoveService(profile, list, eventType, IsBolck);
}

int RobotMoveService::globalProfileMove(move_mode moveMode, move_track subMoveMode, wayPoint_S& wayPoint,
                                        bool IsBolck) {
  RobotMoveProfile profile;
  getCurrentMoveProfileRemoveOffset(moveMode, subMoveMode, NO_TEACH, profile);
  // An offset that cannot be converted would send the arm somewhere the caller did not ask for.
  if (modifyOffsetProfileByWaypointAndGlobalOffset(wayPoint, profile) != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Relative offset cannot be converted to the base frame; move not sent.");
    return ErrCode_Failed;
  }
  return singleWayPointMove(profile, wayPoint, IsBolck);
}

int RobotMoveService::perCallProfileMove(move_mode moveMode, MoveProfile_t& moveProfile, wayPoint_S& wayPoint,
                                         bool IsBolck) {
  RobotMoveProfile profile;
  if (MoveProfileConvert(moveMode, wayPoint, moveProfile, profile) != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Relative offset cannot be converted to the base frame; move not sent.");
    return ErrCode_Failed;
  }
  return singleWayPointMove(profile, wayPoint, IsBolck);
}

int RobotMoveService::robotJointMove(wayPoint_S& wayPoint, bool IsBolck) {
  return globalProfileMove(MODEJ, NO_TRACK, wayPoint, IsBolck);
}

int RobotMoveService::robotJointMove(MoveProfile_t& moveProfile, wayPoint_S& wayPoint, bool IsBolck) {
  return perCallProfileMove(MODEJ, moveProfile, wayPoint, IsBolck);
}

int RobotMoveService::robotLineMove(wayPoint_S& wayPoint, bool IsBolck) {
  return globalProfileMove(MODEL, NO_TRACK, wayPoint, IsBolck);
}

int RobotMoveService::robotLineMove(MoveProfile_t& moveProfile, wayPoint_S& wayPoint, bool IsBolck) {
  return perCallProfileMove(MODEL, moveProfile, wayPoint, IsBolck);
}

int RobotMoveService::robotFollowModeJointMove(wayPoint_S& wayPoint) {
  return globalProfileMove(MODEJ, TRACKING, wayPoint, false);
}

int RobotMoveService::robotTrackMove(move_track subMoveMode, bool IsBolck) {
  // A copy taken under the lock: the list may be changed by another thread while the move is encoded.
  std::vector<wayPoint_S> list;
  getWayPointVector(list);
  if (list.size() == 2) {
    std::cout << "there is 2 point " << "moveP will be MoveL " << std::endl;
    return robotLineMove(list[1], IsBolck);
  }
  if (list.size() < 2) {
    ruko::logPrint(LL_ERROR, "sdk log: Number of waypoints less than 3.");
    return ErrCode_MotionWaypointVetorSizeError;
  }
  RobotMoveProfile profile;
  getCurrentMoveProfileRemoveOffset(MODEP, subMoveMode, NO_TEACH, profile);
  if (modifyOffsetProfileByWaypointAndGlobalOffset(list[0], profile) != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: Relative offset cannot be converted to the base frame; move not sent.");
    return ErrCode_Failed;
  }
  int eventType = RobotEventInvalid;
  return robotMoveService(profile, list, eventType, IsBolck);
}

// ---- Stop, pause, continue -----------------------------------------------------------------------------------

int RobotMoveService::robotMoveControl(RobotMoveControlCommand cmd) {
  const char* ready = nullptr;
  const char* finish = nullptr;
  RobotCommandType type = CMT::CommunicationType_RobotMoveControlType_SlowStop;
  switch (cmd) {
    case RobotMoveStop:
      ready = "sdk log: user ready call move slow stop.";
      finish = "sdk log: user call move slow stop finish.";
      type = CMT::CommunicationType_RobotMoveControlType_SlowStop;
      break;
    case RobotMovePause:
      ready = "sdk log: user ready call move pause.";
      finish = "sdk log: user call move pause finish.";
      type = CMT::CommunicationType_RobotMoveControlType_Pause;
      break;
    case RobotMoveContinue:
      ready = "sdk log: user ready call move continue.";
      finish = "sdk log: user call move continue finish.";
      type = CMT::CommunicationType_RobotMoveControlType_Continue;
      break;
    default:
      return ErrnoSucc;
  }
  ruko::logPrint(LL_INFO, "%s", ready);
  const int result = m_robotBaseService->robotMoveControlService(type);
  ruko::logPrint(LL_INFO, "%s", finish);
  return result;
}

int RobotMoveService::robotMoveFastStop() {
  return m_robotBaseService->robotMoveControlService(CMT::CommunicationType_RobotMoveControlType_FastStop);
}

int RobotMoveService::enterRobotReduceMode() {
  return m_robotBaseService->callSet(CMT::CommunicationType_enterRobotReduceMode);
}

int RobotMoveService::exitRobotReduceMode() {
  return m_robotBaseService->callSet(CMT::CommunicationType_exitRobotReduceMode);
}

int RobotMoveService::robotMoveSlowStop(bool isBoardStopEvent) {
  if (!isBoardStopEvent) return robotMoveControl(RobotMoveStop);
  ruko::logPrint(LL_INFO, "sdk log: user ready call move slow stop and board event.");
  return m_robotBaseService->robotMoveControlService(CMT::CommunicationType_SlowStopAndBoardEvent);
}

int RobotMoveService::getCurrnetRoadPoint(wayPoint_S& wayPoint) {
  JointParam joints{};
  const int result = m_robotBaseService->getCurrentJointAngle(joints);
  if (result != ErrnoSucc) {
    ruko::logPrint(LL_ERROR, "sdk log: getCurrentJointAngle error.");
    return result;
  }
  // A pose the kinematics cannot give is reported rather than handed out as the current waypoint.
  return RobotUtilService::robotFk(joints.jointPos, 6, wayPoint);
}
