#include "transport/event_intake.h"

#include <sys/time.h>

#include "geometry/robotutilservice.h"
#include "util/log.h"

using namespace ruko_robot_namespace;

namespace ruko {

namespace {

// The id in the pause and continue trace lines: the microseconds of the time of day.
int traceId() {
  timeval now{};
  gettimeofday(&now, nullptr);
  return static_cast<int>(now.tv_usec);
}

}  // namespace

bool RobotEventIntake::endsMove(int type) {
  return type == RobotEvent_atTrackTargetPos || type == RobotEvent_robotControllerError ||
         type == RobotEvent_socketDisconnected || (type >= 1001 && type <= 1300) ||
         (type >= 2001 && type <= 2999 && type != RobotEventJointCollision);
}

void RobotEventIntake::pushMoveFinishLocked(RobotEventType type) { m_moveFinishQueue.push_back(type); }

RobotEventType RobotEventIntake::frontMoveFinishLocked() const {
  return m_moveFinishQueue.empty() ? RobotEventInvalid : m_moveFinishQueue.front();
}

void RobotEventIntake::queueMoveFinish(const RobotEventInfo& event) {
  {
    std::lock_guard<std::mutex> lock(m_targetPosMutex);
    m_moveFinishQueue.push_back(event.eventType);
    m_targetPosCondition.notify_all();
  }
  // Outside the lock: the log sink takes its own mutex and may call the application.
  ruko::logPrint(LL_INFO, "sdk log: Event caused motion disruption. type:%d desc:%s", static_cast<int>(event.eventType),
                 event.eventContent.c_str());
}

void RobotEventIntake::disconnectWaiters() {
  for (DoneSignal* signal : {&m_startupDone, &m_shutdownDone, &m_handshakeDone, &m_stopDone, &m_pauseDone,
                             &m_continueDone}) {
    signal->disconnect();
  }
}

void RobotEventIntake::process(const RobotEventInfo& event) {
  const int type = static_cast<int>(event.eventType);
  if (endsMove(type)) {
    queueMoveFinish(event);
  }
  if (type == RobotEvent_socketDisconnected) {
    disconnectWaiters();
  }
  if (type == RobotEvent_robotStartupDoneResult) {
    m_startupDone.signal(event.eventCode);
  }
  if (type == RobotEvent_robotShutdownDone) {
    m_shutdownDone.signal();
  }
  if (type == RobotEvent_RobotHandShakeSucc || type == RobotEvent_RobotHandShakeFailed) {
    m_handshakeDone.signal(type == RobotEvent_RobotHandShakeSucc ? 1 : 0);
  }
  if (type == RobotEvent_softEmergency || type == RobotEvent_RobotMoveControlStopDone) {
    m_stopDone.signal();
    m_pauseDone.signal();
    m_continueDone.signal();
  }
  if (type == RobotEvent_RobotMoveControlPauseDone) {
    const int id = traceId();
    ruko::logPrint(LL_INFO, "sdk log: Ready to process PauseDone event. id:%d", id);
    m_pauseDone.signal();
    ruko::logPrint(LL_INFO, "sdk log: Process PauseDone event finish. id:%d", id);
  }
  if (type == RobotEvent_RobotMoveControlContinueDone) {
    const int id = traceId();
    ruko::logPrint(LL_INFO, "sdk log: Ready to process ContinueDone event. id:%d", id);
    m_continueDone.signal();
    ruko::logPrint(LL_INFO, "sdk log: Process ContinueDone event finish. id:%d", id);
  }
  if (type == RobotEvent_UpdateJoint6Rot360Flag) {
    RobotUtilService::setJoint6Rot360(event.eventCode > 0);
    ruko::logPrint(LL_INFO, "sdk log: init ik param success.");
  }
}

RobotEventInfo RobotEventIntake::disconnectEvent() {
  RobotEventInfo event;
  event.eventType = RobotEvent_socketDisconnected;
  event.eventCode = 0;
  event.eventContent = "Server disconnected.";
  return event;
}

void RobotEventIntake::localDisconnect() {
  queueMoveFinish(disconnectEvent());
  disconnectWaiters();
}

}  // namespace ruko
