#ifndef RUKO_TRANSPORT_EVENT_INTAKE_H
#define RUKO_TRANSPORT_EVENT_INTAKE_H

#include <condition_variable>
#include <deque>
#include <mutex>

#include "ruko_sdk/robot_status_types.h"
#include "transport/done_signal.h"

namespace ruko {

// Where every robot event ends up on the receive thread, pushed by the controller or made locally for a
// lost connection. It wakes the library's own waiters in a fixed order of steps (move-finish queue,
// start-up, shut-down, handshake, stop/pause/continue, the joint-6 rotation flag); handing the event on
// to the application is the caller's business.
//
// Nothing here is held across a request: every step is a short critical section, so the receive thread
// never waits for a requester.
class RobotEventIntake {
 public:
  RobotEventIntake() = default;
  RobotEventIntake(const RobotEventIntake&) = delete;
  RobotEventIntake& operator=(const RobotEventIntake&) = delete;

  // The event that stands for a lost connection: socketDisconnected, code 0, "Server disconnected.".
  static ruko_robot_namespace::RobotEventInfo disconnectEvent();

  // True when an event of this type ends a blocking move.
  static bool endsMove(int eventType);

  void process(const ruko_robot_namespace::RobotEventInfo& event);

  // Our own side ended the connection (logout, destruction): every lifecycle and motion-control wait
  // ends, and the move-finish queue gets a socket-disconnected entry so that a blocking move returns.
  void localDisconnect();

  DoneSignal& startupDone() { return m_startupDone; }      // payload: the start-up result code
  DoneSignal& shutdownDone() { return m_shutdownDone; }
  DoneSignal& handshakeDone() { return m_handshakeDone; }  // payload: 1 on success, 0 on failure
  DoneSignal& stopDone() { return m_stopDone; }
  DoneSignal& pauseDone() { return m_pauseDone; }
  DoneSignal& continueDone() { return m_continueDone; }

  // The move-finish queue, guarded by the target-position mutex: appended and signalled here, tested,
  // cleared and waited on by the motion services.
  std::mutex& targetPosMutex() { return m_targetPosMutex; }
  std::condition_variable& targetPosCondition() { return m_targetPosCondition; }
  // The caller holds targetPosMutex() for these three.
  void pushMoveFinishLocked(ruko_robot_namespace::RobotEventType type);
  ruko_robot_namespace::RobotEventType frontMoveFinishLocked() const;
  void clearMoveFinishLocked() { m_moveFinishQueue.clear(); }

 private:
  void queueMoveFinish(const ruko_robot_namespace::RobotEventInfo& event);
  void disconnectWaiters();

  DoneSignal m_startupDone;
  DoneSignal m_shutdownDone;
  DoneSignal m_handshakeDone;
  DoneSignal m_stopDone;
  DoneSignal m_pauseDone;
  DoneSignal m_continueDone;

  std::mutex m_targetPosMutex;
  std::condition_variable m_targetPosCondition;
  std::deque<ruko_robot_namespace::RobotEventType> m_moveFinishQueue;
};

}  // namespace ruko

#endif  // RUKO_TRANSPORT_EVENT_INTAKE_H
