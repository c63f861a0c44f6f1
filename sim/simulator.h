#ifndef RUKO_SIM_SIMULATOR_H
#define RUKO_SIM_SIMULATOR_H

// The simulated robot controller: a server that honours the controller protocol (docs/controller-protocol.md)
// over real TCP, for tests in-process and, as the program ruko-sim, for everything else.
//
//   ruko::sim::Options options;               // 127.0.0.1, port 0 (a free port), model 3, version "4.10.1"
//   options.timeScale = 0.05;                 // lifecycle and move durations 20 times shorter
//   ruko::sim::Simulator sim(options);
//   if (!sim.start(&error)) { ... }           // listens; false when it cannot
//   client.login("127.0.0.1", sim.port(), ...);
//   sim.state().powerOn;                      // a snapshot of the simulated arm
//   sim.updateState([](ruko::sim::ArmState& s) { s.powerOn = false; });
//   sim.setFault(28, {std::chrono::milliseconds(200)});   // answer type 28 200 ms late
//   sim.injectEvent(26, 1, "controller error");           // an event to every logged-in client now
//   sim.waitForRequests(124, 1);              // until a type-124 request has arrived
//   sim.stop();                               // also done by the destructor
//
// What it answers: every request gets exactly one reply of its own type, with the reply message of the
// catalogue and the result code in it; events that complete a request (handshake, start-up, shut-down,
// power, brake, motion control, moves) are sent after that reply, never before it, unless a Fault asks for
// exactly that. Settings are kept and reported back by the matching get. An unknown type, a request before
// login (other than login and heartbeat) or a body that does not parse gets the common result with a
// non-zero code (2, 3 and 1 respectively).
//
// State: one simulated arm shared by every connection; one session (login, push switches) per connection.
// Events are sent to every logged-in session.
//
// Threads: the server runs one thread (accept, read, answer, pushes, timed events); every method here may
// be called from any thread. The destructor stops and joins it.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ruko {
namespace sim {

// A deliberate misbehaviour for one request type.
struct Fault {
  std::chrono::milliseconds delay{0};  // the reply leaves this long after the request
  bool noReply = false;                // no reply at all (the completion events still follow)
  int errorCode = 0;                   // the reply carries this result code; a refused set changes nothing
  bool eventBeforeReply = false;       // the completion events leave before the reply
  // Moves (22, 73, 78): the move ends with this event instead of at its target (e.g. 1001, 1300, 2101, 26);
  // the arm stays where it was then. 0: a normal end.
  int moveEndEvent = 0;
};

// An event sent to a session a while after its login (ruko-sim --event).
struct TimedEvent {
  int type = 0;
  int code = 0;
  std::string text;
  std::chrono::milliseconds afterLogin{0};
};

struct Options {
  std::string host = "127.0.0.1";
  int port = 0;  // 0: a free port, see Simulator::port()
  int model = 3;  // an analytic arm model value (src/kinematics/robot_models.h)
  std::string version = "4.10.1";
  std::string user;      // with a password: only these credentials log in; both empty: any do
  std::string password;
  double pushHz = 50.0;     // rate of the joint-status, joint-angle and end-speed pushes
  double timeScale = 1.0;   // factor on every simulated duration (lifecycle steps, moves)
  std::array<double, 6> joints{{0.0, 0.0, 0.0, 0.0, 0.0, 0.0}};  // radians
  bool armAttached = true;
  bool powerOn = true;  // the arm's power at start; start-up switches it on, shut-down off
  std::chrono::milliseconds lifecycleStep{100};  // between the reply and each completion event (scaled)
  std::chrono::milliseconds moveTime{500};       // duration of a move (scaled)
  std::map<int, Fault> faults;                   // by request type
  std::vector<TimedEvent> loginEvents;
};

// The simulated arm as a snapshot. Settings kept as messages (TCP, tool, safety, base parameters, …) are
// not in it; read them through the protocol.
struct ArmState {
  int model = 3;
  std::string version;
  bool armAttached = true;
  bool powerOn = true;
  bool brakeReleased = true;
  int serviceState = 2;   // ROBOT_SERVICE_STATE: 0 ready … 2 working … 4 closed
  int robotState = 0;     // RobotState: 0 stopped, 1 running, 2 paused, 3 resumed
  int workMode = 0;       // RobotWorkMode: 0 simulator, 1 real
  int collisionClass = 6; // the full value last set by type 40
  bool joint6Rot360 = false;
  bool joint1Rot360 = false;
  bool moving = false;
  std::array<double, 6> joints{{0.0, 0.0, 0.0, 0.0, 0.0, 0.0}};
};

// The interface board's and the tool's inputs and outputs, shared by every connection like the arm. Each
// list query (41 to 44, 57, 58) answers the whole list, element n carrying address n; shrinking a vector
// (or toolPinsListed) shortens that answer, and a single query or a set beyond the end is refused.
struct IoState {
  std::vector<uint32_t> boardDI = std::vector<uint32_t>(52, 0);  // controller DI 0..29, user DI 30..51
  std::vector<uint32_t> boardDO = std::vector<uint32_t>(48, 0);  // controller DO 0..27, user DO 32..47
  std::vector<float> boardAI = std::vector<float>(4, 0.0f);
  std::vector<float> boardAO = std::vector<float>(4, 0.0f);
  int toolPowerType = 0;                                         // ToolPowerType: 0 V, 12 V, 24 V
  std::array<uint32_t, 4> toolPinOutput{};                       // 0 input, 1 output
  std::array<uint32_t, 4> toolPinLevel{};
  std::vector<float> toolAI = std::vector<float>(2, 0.0f);
  size_t toolPinsListed = 4;                                     // pins in the answer to 57 (the first n)

  // How a change of the tool's supply or pin directions (53, 54, 55) shows: after toolChangeLag reads of
  // the tool's configuration (52, 56, 57, 81) that still report the old one; never when toolChangeSticky
  // (the request is still answered as accepted). Refusing it outright is a Fault with an errorCode.
  int toolChangeLag = 0;
  bool toolChangeSticky = false;
};

class Simulator {
 public:
  explicit Simulator(Options options = Options());
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Listens and starts serving. False (with a reason in *error) when the options are refused or it cannot
  // listen.
  bool start(std::string* error = nullptr);
  void stop();
  int port() const;

  ArmState state() const;
  void updateState(const std::function<void(ArmState&)>& change);

  // The board and tool as they stand (a tool change still pending behind a lag is not in it yet).
  IoState io() const;
  void updateIo(const std::function<void(IoState&)>& change);
  // Shorthands for tests.
  void setBoardInput(int addr, bool on);      // a DI, controller or user
  void setBoardAnalogInput(int addr, float value);
  void setToolAnalogInput(int index, float value);
  void setToolChangeLag(int reads);
  void setToolChangeSticky(bool sticky);

  void setFault(int type, const Fault& fault);
  void clearFaults();

  // Sends an event to every logged-in session now; returns how many it reached.
  int injectEvent(int type, int code, const std::string& text);

  int sessionCount() const;
  int loggedInCount() const;
  // Pushes of one type (3, 7, 11) made for the sessions so far, over all sessions; a soak compares it with
  // what its callbacks received.
  uint64_t pushesMade(int type) const;
  // Request types in arrival order, over all sessions: the most recent 16,384.
  std::vector<int> requests() const;
  bool waitForRequests(int type, size_t count,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const;

  // Model lookup by name ("ruko_m04") or value ("3"); only analytic models. False when there is none.
  static bool findModel(const std::string& nameOrValue, int* value);
  // Every analytic model as "name (value)", for --help.
  static std::string modelList();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace sim
}  // namespace ruko

#endif
