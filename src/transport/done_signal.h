#ifndef RUKO_TRANSPORT_DONE_SIGNAL_H
#define RUKO_TRANSPORT_DONE_SIGNAL_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace ruko {

// The meeting point of one kind of done event (start-up done, handshake, pause done, ...) and the request
// that waits for it.
//
// The requester takes a mark *before* it sends its request and waits for a signal newer than the mark
// after the response. The receive thread signals under a mutex that no requester holds across a request,
// so a done event that arrives before its response is neither lost nor holds up the receive thread.
// A disconnect (from the server or our own logout) ends every wait that is in progress.
class DoneSignal {
 public:
  struct Mark {
    uint64_t generation = 0;
    uint64_t epoch = 0;
  };
  enum class Outcome { Signalled, Disconnected, TimedOut };

  Mark mark() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return Mark{m_generation, m_epoch};
  }

  // Waits for a signal or a disconnect after `since`, or until the deadline. On Signalled, *payload (if
  // given) is the payload of the latest signal.
  Outcome waitAfter(const Mark& since, std::chrono::steady_clock::time_point deadline, int* payload = nullptr) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool woke = m_cond.wait_until(lock, deadline, [&] {
      return m_generation != since.generation || m_epoch != since.epoch;
    });
    if (m_generation != since.generation) {
      if (payload != nullptr) {
        *payload = m_payload;
      }
      return Outcome::Signalled;
    }
    return woke ? Outcome::Disconnected : Outcome::TimedOut;
  }

  void signal(int payload = 0) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_payload = payload;
    ++m_generation;
    m_cond.notify_all();
  }

  void disconnect() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_epoch;
    m_cond.notify_all();
  }

  int lastPayload() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_payload;
  }

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_cond;
  uint64_t m_generation = 0;
  uint64_t m_epoch = 0;
  int m_payload = 0;
};

}  // namespace ruko

#endif  // RUKO_TRANSPORT_DONE_SIGNAL_H
