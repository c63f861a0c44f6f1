#ifndef RUKO_UTIL_TIMING_H
#define RUKO_UTIL_TIMING_H

#include <chrono>

namespace ruko {

using std::chrono::milliseconds;

/**
 * Every duration the library waits for, in one place. The defaults are the system's values; the shipped
 * library never changes them. Tests shrink them with ScopedTimingOverride.
 */
struct TimingTable {
  milliseconds responseWait{5000};        // a request's wait for its response
  milliseconds handshakeWait{30000};      // handshake completion
  milliseconds shutdownWait{30000};       // arm shut-down completion
  milliseconds startupWait{60000};        // arm start-up completion
  milliseconds motionControlWait{4000};   // stop, pause, continue confirmation
  milliseconds afterConnectPause{300};    // settle time after the TCP connect
  milliseconds receiveTurn{100};          // one turn of the receive loop's select()
  milliseconds socketReceiveTimeout{2000};  // a read inside a packet gives up after this
  milliseconds socketSendTimeout{3000};     // a blocked write gives up after this; also bounds the connect
  milliseconds toolReadbackPause{150};    // pause between read-backs of a tool setting
  milliseconds safetyConfigRetryPause{100};  // pause between read-backs of the safety configuration
  milliseconds collisionReadbackPause{150};  // pause before each read-back of the collision grade
  milliseconds loginBaseParamRetryPause{50};     // between tries of the base parameters after login
  milliseconds startupBaseParamRetryPause{1000};  // between tries of the base parameters after start-up
};

/** The table in force (a copy: the values cannot change under the caller). */
TimingTable timing();

/** The system's defaults. */
TimingTable defaultTiming();

/** A table with every wait cut to a few tens of milliseconds, for tests. */
TimingTable fastTiming();

/** Installs a table for its lifetime and restores the previous one after. Tests only; not nestable across threads. */
class ScopedTimingOverride {
 public:
  explicit ScopedTimingOverride(const TimingTable& table);
  ~ScopedTimingOverride();
  ScopedTimingOverride(const ScopedTimingOverride&) = delete;
  ScopedTimingOverride& operator=(const ScopedTimingOverride&) = delete;

 private:
  TimingTable m_previous;
};

}  // namespace ruko

#endif
