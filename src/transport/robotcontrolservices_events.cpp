// Pushes, robot events, the move-finish queue and motion control (stop, pause, continue).
#include "codec/protoencodedecode.h"
#include "geometry/robotutilservice.h"
#include "transport/robotcontrolservices.h"
#include "util/log.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;
using PED = ProtoEncodeDecode;
using CMT = CommunicationMateType;

int RobotControlServices::setRealTimeJointStatusPush(bool enable) {
  return callSet(enable ? CMT::CommunicationType_EnableRealTimeJointStatusPush
                        : CMT::CommunicationType_DisableRealTimeJointStatusPush);
}

int RobotControlServices::setRealTimeJointAnglePush(bool enable) {
  return callSet(enable ? CMT::CommunicationType_EnableRealTimeJointAnglePush
                        : CMT::CommunicationType_DisableRealTimeJointAnglePush);
}

int RobotControlServices::setRealTimeEndSpeedPush(bool enable) {
  return callSet(enable ? CMT::CommunicationType_EnableRealTimeEndSpeedPush
                        : CMT::CommunicationType_DisableRealTimeEndSpeedPush);
}

void RobotControlServices::robotServiceRegisterRealTimeJointStatusCallbackService(RealTimeJointStatusCallback callback,
                                                                                  void* arg) {
  m_realTimeJointStatusCallback.set(callback, arg);
}

void RobotControlServices::robotServiceRegisterRealTimeRoadPointCallbackService(RealTimeRoadPointCallback callback,
                                                                                void* arg) {
  m_realTimeRoadPointCallback.set(callback, arg);
}

void RobotControlServices::robotServiceRegisterRealTimeEndSpeedCallbackService(RealTimeEndSpeedCallback callback,
                                                                               void* arg) {
  m_robotEndSpeedCallback.set(callback, arg);
}

void RobotControlServices::robotServiceRegisterRobotEventInfoCallbackService(RobotEventCallback callback, void* arg) {
  m_robotEventCallback.set(callback, arg);
}

void RobotControlServices::robotServiceRegisterMovepProgressNotifyCallbackService(
    RealTimeMovepStepNumNotifyCallback callback, void* arg) {
  m_movepProgressNotifyCallback.set(callback, arg);
}

// ---- Push handlers (receive thread) ------------------------------------------------------------------------

void RobotControlServices::realTimeJointStatusService(CommunicationResponse& response) {
  JointStatus statuses[6] = {};
  int serverCode = 0;
  if (!PED::resolveResponse_jointStatus(response.m_textPtr, response.m_textLength, statuses, 6, serverCode)) {
    ruko::logPrint(LL_ERROR, "sdk log: Resolve realtime joint status info failed.");
    return;
  }
  const auto callback = m_realTimeJointStatusCallback.get();
  if (callback.first != nullptr) {
    callback.first(statuses, 6, callback.second);
  }
}

void RobotControlServices::realTimeJointAngleService(CommunicationResponse& response) {
  JointParam joints{};
  int serverCode = 0;
  if (!PED::resolveResponse_jointAngle(response.m_textPtr, response.m_textLength, joints, serverCode)) {
    ruko::logPrint(LL_ERROR, "sdk log: Resolve realtime joint status info failed.");
    return;
  }
  wayPoint_S wayPoint{};
  if (RobotUtilService::robotFk(joints.jointPos, 6, wayPoint) != ErrnoSucc) {
    // Angles whose pose cannot be computed (not finite, overflowing) give no waypoint rather than an empty one.
    ruko::logPrint(LL_ERROR, "sdk log: Realtime joint angles have no forward kinematics; waypoint not delivered.");
    return;
  }
  const auto callback = m_realTimeRoadPointCallback.get();
  if (callback.first != nullptr) {
    callback.first(&wayPoint, callback.second);
  }
}

void RobotControlServices::realTimeEndSpeedService(CommunicationResponse& response) {
  double speed = 0.0;
  if (!PED::resolveResponse_robotEndSpeed(response.m_textPtr, response.m_textLength, speed)) {
    ruko::logPrint(LL_ERROR, "sdk log: Resolve realtime end speed info failed.");
    return;
  }
  const auto callback = m_robotEndSpeedCallback.get();
  if (callback.first != nullptr) {
    callback.first(speed, callback.second);
  }
}

void RobotControlServices::realTimeMovepProgressNotifyService(CommunicationResponse& response) {
  int progress = 0;
  if (!PED::resolveResponse_movepProgressNotify(response.m_textPtr, response.m_textLength, progress)) {
    ruko::logPrint(LL_ERROR, "sdk log: Resolve realtime movep step num info failed.");
    return;
  }
  const auto callback = m_movepProgressNotifyCallback.get();
  if (callback.first != nullptr) {
    callback.first(progress, callback.second);
  }
}

void RobotControlServices::realTimeRobotEventResponseService(CommunicationResponse& response) {
  RobotEventInfo event{};
  if (!PED::resolveResponse_robotEvent(response.m_textPtr, response.m_textLength, event)) {
    ruko::logPrint(LL_ERROR, "sdk log: Resolve realtime robot event failed.");
    return;
  }
  robotRealTimeEventProcess(event);
}

void RobotControlServices::robotRealTimeEventProcess(const RobotEventInfo& event) {
  m_intake.process(event);
  if (m_robotEventCallback.get().first != nullptr) {
    // A full ring drops the event.
    m_dispatcher->post(event);
  }
}

void RobotControlServices::deliverEvent(void* self, const RobotEventInfo& event) {
  const auto callback = static_cast<RobotControlServices*>(self)->m_robotEventCallback.get();
  if (callback.first != nullptr) {
    callback.first(&event, callback.second);
  }
}

// ---- Move-finish queue ---------------------------------------------------------------------------------------

void RobotControlServices::pushEventToMoveFinishEventQueue(RobotEventType type) { m_intake.pushMoveFinishLocked(type); }

RobotEventType RobotControlServices::frontToMoveFinishEventQueue() { return m_intake.frontMoveFinishLocked(); }

void RobotControlServices::clearMoveFinishEventQueue() { m_intake.clearMoveFinishLocked(); }

RobotEventType RobotControlServices::getMoveFinishEventType() const {
  return static_cast<RobotEventType>(m_moveFinishEventType.load());
}

void RobotControlServices::setMoveFinishEventType(RobotEventType type) {
  m_moveFinishEventType.store(static_cast<int>(type));
}

std::condition_variable* RobotControlServices::getRobotMoveAtTrackTargetPosConditonPtr() {
  return &m_intake.targetPosCondition();
}

std::mutex* RobotControlServices::getRobotMoveAtTrackTargetPosMutexPtr() { return &m_intake.targetPosMutex(); }

// ---- Motion control ------------------------------------------------------------------------------------------

int RobotControlServices::robotMoveControlService(RobotCommandType type) {
  const char* name = nullptr;
  int refusal = ErrCode_Failed;
  std::mutex* kindMutex = nullptr;
  ruko::DoneSignal* done = nullptr;
  switch (type) {
    case CMT::CommunicationType_RobotMoveControlType_SlowStop:
    // The slow stop that also raises the interface board's stop event is a stop like 89, confirmed by the same
    // done event; refusing it here would leave the arm moving.
    case CMT::CommunicationType_SlowStopAndBoardEvent:
      name = "Motion-Control-SlowStop";
      refusal = ErrCode_moveControlSlowStopFailed;
      kindMutex = &m_robotMoveControlStopMutex;
      done = &m_intake.stopDone();
      break;
    case CMT::CommunicationType_RobotMoveControlType_FastStop:
      name = "Motion-Control-FastStop";
      refusal = ErrCode_moveControlFastStopFailed;
      kindMutex = &m_robotMoveControlStopMutex;
      done = &m_intake.stopDone();
      break;
    case CMT::CommunicationType_RobotMoveControlType_Pause:
      name = "Motion-Control-Pause";
      refusal = ErrCode_moveControlPauseFailed;
      kindMutex = &m_robotMoveControlPauseMutex;
      done = &m_intake.pauseDone();
      break;
    case CMT::CommunicationType_RobotMoveControlType_Continue:
      name = "Motion-Control-Continue";
      refusal = ErrCode_moveControlContinueFailed;
      kindMutex = &m_robotMoveControlContinueMutex;
      done = &m_intake.continueDone();
      break;
    default:
      ruko::logPrint(LL_ERROR, "sdk log: Motion-Control command Undefined.");
      return ErrCode_Failed;
  }
  ruko::logPrint(LL_INFO, "sdk log: user ready call %s.", name);

  int result = ErrnoSucc;
  {
    std::lock_guard<std::mutex> controlLock(m_robotMoveControlMutex);
    std::lock_guard<std::mutex> kindLock(*kindMutex);
    // Marked before sending: a done event that overtakes the response still counts.
    const ruko::DoneSignal::Mark mark = done->mark();
    call_robot_motion_func_result reply = call_robot_motion_func_failed;
    CommunicationResponse response;
    result = requestServiceGetResponseContentMode(type, nullptr, 0, response);
    int serverCode = 0;
    // A reply whose error record is not 0 leaves the verdict at "failed": the type's refusal code.
    if (result == ErrnoSucc &&
        !PED::resolveResponse_moveControlResule(response.m_textPtr, response.m_textLength, reply, serverCode)) {
      ruko::logPrint(LL_ERROR, "sdk log: Resolve Motion-Control-Response failed.");
      result = ErrCode_ResolveResponseFailed;
    }
    if (result == ErrnoSucc) {
      ruko::logPrint(LL_INFO, "sdk log: Motion-Control peer return result: %d.", static_cast<int>(reply));
      switch (reply) {
        case call_robot_motion_func_failed:
          result = refusal;
          break;
        case call_robot_motion_func_succ_nowait:
          result = ErrnoSucc;
          break;
        case call_robot_motion_func_succ_wait_done:
        case call_robot_motion_func_succ_nocall_wait:
          ruko::logPrint(LL_INFO, "sdk log: Waiting for the Motion-Control-Done of the event");
          result = waitForDone(*done, mark, ruko::timing().motionControlWait, nullptr,
                               "sdk log: Waiting Motion-Control-Done event has timed out", ErrCode_Failed);
          break;
        default:
          result = ErrCode_Failed;
          break;
      }
    }
  }
  ruko::logPrint(LL_INFO, "sdk log: Motion-Control service finish. ret = %d", result);
  return result;
}
