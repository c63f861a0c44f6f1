#include "transport/event_dispatcher.h"

#include "util/log.h"

using namespace ruko_robot_namespace;

namespace ruko {

namespace {
// Set on an event thread whose dispatcher was destroyed from inside one of its own callbacks: from then on
// that thread must not touch the dispatcher.
thread_local bool t_dispatcherGone = false;
}  // namespace

bool RobotEventQueue::push(const RobotEventInfo& event) {
  const uint32_t w = m_wIdx.load(std::memory_order_relaxed);
  const uint32_t r = m_rIdx.load(std::memory_order_acquire);
  if (w - r >= QUEUE_SIZE) {
    return false;
  }
  RobotEvent& slot = m_queue[w & (QUEUE_SIZE - 1)];
  slot.m_eventType = static_cast<int>(event.eventType);
  slot.m_evnetCode = event.eventCode;
  slot.m_eventContent = event.eventContent;
  m_wIdx.store(w + 1, std::memory_order_release);
  return true;
}

const RobotEvent* RobotEventQueue::front() const {
  const uint32_t r = m_rIdx.load(std::memory_order_relaxed);
  if (m_wIdx.load(std::memory_order_acquire) == r) {
    return nullptr;
  }
  return &m_queue[r & (QUEUE_SIZE - 1)];
}

void RobotEventQueue::pop() { m_rIdx.store(m_rIdx.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

bool RobotEventQueue::empty() const {
  return m_wIdx.load(std::memory_order_acquire) == m_rIdx.load(std::memory_order_acquire);
}

uint32_t RobotEventQueue::size() const {
  return m_wIdx.load(std::memory_order_acquire) - m_rIdx.load(std::memory_order_acquire);
}

RobotEventDispatcher::RobotEventDispatcher(Deliver deliver, void* context)
    : m_deliver(deliver), m_context(context), m_thread(&RobotEventDispatcher::run, this) {}

RobotEventDispatcher::~RobotEventDispatcher() { stop(); }

bool RobotEventDispatcher::post(const RobotEventInfo& event) {
  if (!m_ring.push(event)) {
    return false;
  }
  // Under the mutex: the event thread checks the ring and goes to sleep under it, so the wake-up cannot
  // fall between its check and its wait.
  std::lock_guard<std::mutex> lock(m_wakeMutex);
  m_wake.notify_one();
  return true;
}

void RobotEventDispatcher::stop() {
  {
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_stop = true;
    m_wake.notify_one();
  }
  if (!m_thread.joinable()) {
    return;
  }
  if (m_thread.get_id() == std::this_thread::get_id()) {
    t_dispatcherGone = true;
    m_thread.detach();
    ruko::logPrint(LL_WARN, "sdk log: Event thread released from inside its own callback; it ends after the callback returns.");
    return;
  }
  m_thread.join();
}

void RobotEventDispatcher::run() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(m_wakeMutex);
      m_wake.wait(lock, [this] { return m_stop || !m_ring.empty(); });
      if (m_stop) {
        return;
      }
    }
    const RobotEvent* entry = m_ring.front();
    RobotEventInfo info;
    info.eventType = static_cast<RobotEventType>(entry->m_eventType);
    info.eventCode = entry->m_evnetCode;
    info.eventContent = entry->m_eventContent;
    m_deliver(m_context, info);
    if (t_dispatcherGone) {
      return;  // the dispatcher was destroyed by the callback
    }
    m_ring.pop();
  }
}

}  // namespace ruko
