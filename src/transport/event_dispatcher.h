#ifndef RUKO_TRANSPORT_EVENT_DISPATCHER_H
#define RUKO_TRANSPORT_EVENT_DISPATCHER_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "ruko_sdk/robot_status_types.h"

namespace ruko {

// An event as it waits in the ring.
struct RobotEvent {
  int m_eventType = ruko_robot_namespace::robot_event_unknown;
  int m_evnetCode = 0;
  std::string m_eventContent;
};

// The event ring: 4,096 entries, one producer (the receive thread) and one consumer (the event thread).
// The counters only grow (unsigned, so they wrap without harm); the slot of counter c is c & 4095. A slot is
// written completely before the write counter is published (release) and read only after the counter is
// seen (acquire). A full ring refuses the event.
class RobotEventQueue {
 public:
  static constexpr uint32_t QUEUE_SIZE = 4096;

  // Producer side. False when the ring is full (the event is dropped).
  bool push(const ruko_robot_namespace::RobotEventInfo& event);
  // Consumer side: the oldest event, left in its slot; null when the ring is empty.
  const RobotEvent* front() const;
  // Consumer side: releases the slot front() returned.
  void pop();
  bool empty() const;
  uint32_t size() const;

 private:
  std::atomic<uint32_t> m_wIdx{0};
  std::atomic<uint32_t> m_rIdx{0};
  RobotEvent m_queue[QUEUE_SIZE];
};

// Hands robot events to the application on its own thread, in arrival order. The thread sleeps on a
// condition until an event arrives or it is told to stop: an idle client does not wake up.
//
// An event stays in the ring until its delivery has returned, so a consumer held up inside a callback
// still counts its event against the capacity: with the thread held, exactly 4,096 further pushes fit.
class RobotEventDispatcher {
 public:
  using Deliver = void (*)(void* context, const ruko_robot_namespace::RobotEventInfo& event);

  RobotEventDispatcher(Deliver deliver, void* context);
  ~RobotEventDispatcher();
  RobotEventDispatcher(const RobotEventDispatcher&) = delete;
  RobotEventDispatcher& operator=(const RobotEventDispatcher&) = delete;

  // Receive thread. False when the ring was full and the event was dropped.
  bool post(const ruko_robot_namespace::RobotEventInfo& event);

  // Stops and joins the event thread. Called on the event thread itself (a callback that destroys its
  // owner), the thread is detached instead; it returns from the callback without touching this object.
  void stop();

 private:
  void run();

  Deliver m_deliver;
  void* m_context;
  RobotEventQueue m_ring;
  std::mutex m_wakeMutex;
  std::condition_variable m_wake;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace ruko

#endif  // RUKO_TRANSPORT_EVENT_DISPATCHER_H
