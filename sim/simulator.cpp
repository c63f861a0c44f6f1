#include "simulator.h"

#include <condition_variable>
#include <mutex>
#include <deque>
#include <sstream>

#include "kinematics/robot_models.h"
#include "sim_handlers.h"
#include "sim_state.h"

namespace ruko {
namespace sim {

namespace {

constexpr int kAtTrackTargetPos = 22;

std::chrono::nanoseconds scaled(std::chrono::milliseconds base, double factor) {
  return std::chrono::nanoseconds(static_cast<int64_t>(std::chrono::nanoseconds(base).count() * factor));
}

}  // namespace

struct Simulator::Impl : HandlerHost {
  struct SessionInfo {
    bool loggedIn = false;
    std::map<int, uint64_t> streams;  // push type -> stream id
  };

  Options options;

  mutable std::mutex stateMutex;
  SimState state;
  std::map<int, uint64_t> pushesMade;  // by push type; under stateMutex

  mutable std::mutex sessionMutex;  // never held together with stateMutex
  mutable std::condition_variable changed;
  std::map<SessionId, SessionInfo> sessions;
  // The most recent request types, for tests; bounded so that a long run does not grow without end.
  static constexpr size_t kRequestHistory = 16384;
  std::deque<int> requests;
  std::map<int, size_t> requestCounts;  // every request ever, by type
  std::map<int, Fault> faults;

  Server server;  // last: its thread stops before the members its hooks touch go

  explicit Impl(Options opts)
      : options(std::move(opts)),
        server(serverOptions(options),
               ServerHooks{[this](SessionId id) { onConnected(id); },
                           [this](SessionId id, std::vector<FakePacket>& packets, const std::vector<std::string>&,
                                  size_t) { onReceived(id, packets); },
                           [this](SessionId id) { onDisconnected(id); }, nullptr}) {
    faults = options.faults;
  }

  static ServerOptions serverOptions(const Options& options) {
    ServerOptions out;
    out.host = options.host;
    out.port = options.port;
    return out;
  }

  // ---- HandlerHost ----
  std::chrono::nanoseconds duration(std::chrono::milliseconds base) const override {
    return scaled(base, options.timeScale);
  }
  const Options& simOptions() const override { return options; }

  void onConnected(SessionId id) {
    std::lock_guard<std::mutex> lock(sessionMutex);
    sessions[id];
    changed.notify_all();
  }

  void onDisconnected(SessionId id) {
    std::map<int, uint64_t> streams;
    {
      std::lock_guard<std::mutex> lock(sessionMutex);
      streams = sessions[id].streams;
      sessions.erase(id);
      changed.notify_all();
    }
    for (const auto& entry : streams) {
      server.cancelStream(entry.second);
    }
  }

  void onReceived(SessionId id, std::vector<FakePacket>& packets) {
    for (const FakePacket& packet : packets) {
      dispatch(id, packet);
    }
  }

  std::vector<SessionId> loggedInSessions() const {
    std::lock_guard<std::mutex> lock(sessionMutex);
    std::vector<SessionId> ids;
    for (const auto& entry : sessions) {
      if (entry.second.loggedIn) ids.push_back(entry.first);
    }
    return ids;
  }

  int broadcast(int type, int code, const std::string& text) {
    const std::string bytes = framePacket(2, eventBody(type, code, text));
    int reached = 0;
    for (SessionId id : loggedInSessions()) {
      reached += server.send(id, bytes) ? 1 : 0;
    }
    return reached;
  }

  void fire(const FollowUp& followUp) {
    if (followUp.change) {
      std::lock_guard<std::mutex> lock(stateMutex);
      if (!followUp.change(state)) {
        return;  // overtaken (a stopped or paused move)
      }
    }
    if (followUp.pushType >= 0) {
      const std::string bytes = framePacket(followUp.pushType, followUp.pushBody);
      for (SessionId id : loggedInSessions()) server.send(id, bytes);
    }
    if (followUp.eventType >= 0) {
      broadcast(followUp.eventType, followUp.eventCode, followUp.text);
    }
  }

  std::string pushBody(int type) {
    std::lock_guard<std::mutex> lock(stateMutex);
    ++pushesMade[type];
    return framePacket(type, makePush(state, type, Clock::now()));
  }

  void dispatch(SessionId id, const FakePacket& packet) {
    const int type = packet.type;
    Fault fault;
    bool loggedIn = false;
    {
      std::lock_guard<std::mutex> lock(sessionMutex);
      requests.push_back(type);
      if (requests.size() > kRequestHistory) requests.pop_front();
      ++requestCounts[type];
      changed.notify_all();
      const auto found = faults.find(type);
      if (found != faults.end()) fault = found->second;
      loggedIn = sessions[id].loggedIn;
    }

    HandlerResult result;
    const bool pushSwitch = type == 4 || type == 5 || type == 8 || type == 9 || type == 12 || type == 13;
    if (type != 0 && type != 115 && !loggedIn) {
      result.body = commonResultBody(3, "not logged in");
    } else if (pushSwitch) {
      result.body = commonResultBody(fault.errorCode);
    } else {
      std::lock_guard<std::mutex> lock(stateMutex);
      result = handleRequest(*this, state, packet, fault.errorCode);
    }

    if (fault.moveEndEvent != 0) endMovesWith(result, fault.moveEndEvent);

    const Clock::time_point now = packet.at;
    Clock::time_point replyAt = now + fault.delay;
    Clock::time_point eventsFrom = replyAt;
    if (fault.eventBeforeReply && !result.after.empty()) {
      eventsFrom = now;
      std::chrono::nanoseconds last{0};
      for (const FollowUp& followUp : result.after) last = std::max(last, followUp.delay);
      replyAt = std::max(replyAt, now + last + std::chrono::milliseconds(1));
    }
    if (!fault.noReply) {
      Action reply;
      reply.bytes = framePacket(type, result.body);
      reply.tag = type;
      server.schedule(id, replyAt, std::move(reply));
    }
    for (const FollowUp& followUp : result.after) {
      Action timer;
      timer.make = [this, followUp] {
        fire(followUp);
        return std::string();
      };
      server.schedule(kNoSession, eventsFrom + followUp.delay, std::move(timer));
    }

    if (type == 0 && result.loggedIn) {
      {
        std::lock_guard<std::mutex> lock(sessionMutex);
        sessions[id].loggedIn = true;
        changed.notify_all();
      }
      for (const TimedEvent& event : options.loginEvents) {
        Action push;
        push.bytes = framePacket(2, eventBody(event.type, event.code, event.text));
        server.schedule(id, replyAt + event.afterLogin, std::move(push));
      }
    }
    if (pushSwitch && loggedIn && fault.errorCode == 0) {
      switchPush(id, type, replyAt);
    }
  }

  // The arrival of a move becomes the given event; the arm stops where the move had got to.
  static void endMovesWith(HandlerResult& result, int eventType) {
    for (FollowUp& followUp : result.after) {
      if (followUp.eventType != kAtTrackTargetPos) continue;
      followUp.eventType = eventType;
      followUp.text = "move ended by injected fault";
      auto arrive = followUp.change;
      followUp.change = [arrive](SimState& s) {
        const std::array<double, 6> reached = currentJoints(s, Clock::now());
        if (arrive && !arrive(s)) return false;
        s.arm.joints = reached;
        return true;
      };
    }
  }

  void switchPush(SessionId id, int type, Clock::time_point replyAt) {
    const bool enable = type == 4 || type == 8 || type == 12;
    const int pushType = enable ? type - 1 : type - 2;  // 4/5 -> 3, 8/9 -> 7, 12/13 -> 11
    uint64_t old = 0;
    uint64_t stream = 0;
    {
      std::lock_guard<std::mutex> lock(sessionMutex);
      auto& streams = sessions[id].streams;
      const auto found = streams.find(pushType);
      if (found != streams.end()) {
        old = found->second;
        streams.erase(found);
      }
      if (enable) {
        stream = server.newStreamId();
        streams[pushType] = stream;
      }
    }
    if (old != 0) server.cancelStream(old);
    if (!enable) return;
    const double hz = options.pushHz > 0 ? options.pushHz : 50.0;
    const auto period = std::chrono::nanoseconds(static_cast<int64_t>(1e9 / hz));
    Action push;
    push.make = [this, pushType] { return pushBody(pushType); };
    push.period = period;
    push.stream = stream;
    push.tag = pushType;
    // The first push follows the enable's reply.
    server.schedule(id, replyAt + period, std::move(push));
  }
};

Simulator::Simulator(Options options) : m_impl(new Impl(std::move(options))) {}

Simulator::~Simulator() { stop(); }

bool Simulator::start(std::string* error) {
  const Options& options = m_impl->options;
  const RobotModelInfo* model = findRobotModel(options.model);
  if (model == nullptr || !model->analytic) {
    if (error != nullptr) *error = "no analytic arm model has the value " + std::to_string(options.model);
    return false;
  }
  if (!(options.timeScale >= 0.0) || !(options.pushHz > 0.0)) {
    if (error != nullptr) *error = "time scale must be >= 0 and push rate > 0";
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(m_impl->stateMutex);
    SimState& state = m_impl->state;
    state.arm.model = options.model;
    state.arm.version = options.version;
    state.arm.armAttached = options.armAttached;
    state.arm.powerOn = options.powerOn;
    state.arm.brakeReleased = options.powerOn;
    state.arm.serviceState = options.powerOn ? 2 : 0;
    state.arm.joints = options.joints;
    state.versionCode = versionCodeOf(options.version);
    initialiseSettings(state);
  }
  return m_impl->server.start(error);
}

void Simulator::stop() { m_impl->server.stop(); }

int Simulator::port() const { return m_impl->server.port(); }

ArmState Simulator::state() const {
  std::lock_guard<std::mutex> lock(m_impl->stateMutex);
  ArmState out = m_impl->state.arm;
  out.joints = currentJoints(m_impl->state, Clock::now());
  return out;
}

void Simulator::updateState(const std::function<void(ArmState&)>& change) {
  std::lock_guard<std::mutex> lock(m_impl->stateMutex);
  change(m_impl->state.arm);
}

IoState Simulator::io() const {
  std::lock_guard<std::mutex> lock(m_impl->stateMutex);
  return m_impl->state.io;
}

void Simulator::updateIo(const std::function<void(IoState&)>& change) {
  std::lock_guard<std::mutex> lock(m_impl->stateMutex);
  change(m_impl->state.io);
}

namespace {

template <typename T>
void setAt(std::vector<T>& list, int index, T value) {
  if (index >= 0 && static_cast<size_t>(index) < list.size()) list[static_cast<size_t>(index)] = value;
}

}  // namespace

void Simulator::setBoardInput(int addr, bool on) {
  updateIo([&](IoState& io) { setAt<uint32_t>(io.boardDI, addr, on ? 1 : 0); });
}

void Simulator::setBoardAnalogInput(int addr, float value) {
  updateIo([&](IoState& io) { setAt(io.boardAI, addr, value); });
}

void Simulator::setToolAnalogInput(int index, float value) {
  updateIo([&](IoState& io) { setAt(io.toolAI, index, value); });
}

void Simulator::setToolChangeLag(int reads) {
  updateIo([&](IoState& io) { io.toolChangeLag = reads; });
}

void Simulator::setToolChangeSticky(bool sticky) {
  updateIo([&](IoState& io) { io.toolChangeSticky = sticky; });
}

void Simulator::setFault(int type, const Fault& fault) {
  std::lock_guard<std::mutex> lock(m_impl->sessionMutex);
  m_impl->faults[type] = fault;
}

void Simulator::clearFaults() {
  std::lock_guard<std::mutex> lock(m_impl->sessionMutex);
  m_impl->faults.clear();
}

int Simulator::injectEvent(int type, int code, const std::string& text) {
  return m_impl->broadcast(type, code, text);
}

int Simulator::sessionCount() const {
  std::lock_guard<std::mutex> lock(m_impl->sessionMutex);
  return static_cast<int>(m_impl->sessions.size());
}

uint64_t Simulator::pushesMade(int type) const {
  std::lock_guard<std::mutex> lock(m_impl->stateMutex);
  const auto found = m_impl->pushesMade.find(type);
  return found == m_impl->pushesMade.end() ? 0 : found->second;
}

int Simulator::loggedInCount() const { return static_cast<int>(m_impl->loggedInSessions().size()); }

std::vector<int> Simulator::requests() const {
  std::lock_guard<std::mutex> lock(m_impl->sessionMutex);
  return std::vector<int>(m_impl->requests.begin(), m_impl->requests.end());
}

bool Simulator::waitForRequests(int type, size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(m_impl->sessionMutex);
  return m_impl->changed.wait_for(lock, timeout, [&] {
    const auto found = m_impl->requestCounts.find(type);
    return found != m_impl->requestCounts.end() && found->second >= count;
  });
}

bool Simulator::findModel(const std::string& nameOrValue, int* value) {
  for (const auto& entry : RUKO_ROBOT_NAME) {
    const RobotModelInfo* model = findRobotModel(entry.first);
    if (model == nullptr || !model->analytic) continue;
    if (entry.second == nameOrValue || std::to_string(entry.first) == nameOrValue) {
      *value = entry.first;
      return true;
    }
  }
  return false;
}

std::string Simulator::modelList() {
  std::ostringstream out;
  const char* separator = "";
  for (const auto& entry : RUKO_ROBOT_NAME) {
    const RobotModelInfo* model = findRobotModel(entry.first);
    if (model == nullptr || !model->analytic) continue;
    out << separator << entry.second << " (" << entry.first << ")";
    separator = ", ";
  }
  return out.str();
}

}  // namespace sim
}  // namespace ruko
