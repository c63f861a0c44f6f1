#ifndef RUKO_SIM_SIM_HANDLERS_H
#define RUKO_SIM_SIM_HANDLERS_H

// One handler per request type: it computes the reply body from the request and the arm's state, changes
// the state as the request asks, and lists what follows the reply (events, later state changes).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "frame.h"
#include "sim_state.h"

namespace ruko {
namespace sim {

class HandlerHost {
 public:
  virtual ~HandlerHost() = default;
  // A simulated duration, scaled by the time scale.
  virtual std::chrono::nanoseconds duration(std::chrono::milliseconds base) const = 0;
  virtual const Options& simOptions() const = 0;
};

// Something that happens a while after the reply: a state change (it returns false when it has been
// overtaken, and then no event is sent) and an event to every logged-in session (eventType < 0: none).
struct FollowUp {
  std::chrono::nanoseconds delay{0};  // after the reply
  std::function<bool(SimState&)> change;
  int eventType = -1;
  int eventCode = 0;
  std::string text;
  // A push to every logged-in session instead of (or besides) an event: its type and body.
  int pushType = -1;
  std::string pushBody;
};

struct HandlerResult {
  std::string body;  // the reply body, of the request's type
  std::vector<FollowUp> after;
  bool loggedIn = false;  // a login that was accepted
};

// Answers one request (the state mutex held). errorCode != 0 makes the reply carry it and leaves the state
// as it was.
// The reply to a joint-angle read (types 10, 114) and the joint-angle push (7): six angles in radians and
// the result code.
std::string jointAngleReply(const std::array<double, 6>& joints, int code);

HandlerResult handleRequest(HandlerHost& host, SimState& state, const FakePacket& request, int errorCode);

// The body of a joint-status (3), joint-angle (7) or end-speed (11) push (the state mutex held).
std::string makePush(const SimState& state, int type, Clock::time_point now);

}  // namespace sim
}  // namespace ruko

#endif
