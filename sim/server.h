#ifndef RUKO_SIM_SERVER_H
#define RUKO_SIM_SERVER_H

// The transport half of a controller's server: a TCP listener, one session per connection, and a queue of
// timed actions (write a packet now, after a delay, or repeatedly at a rate). It knows nothing of the
// message bodies; whoever owns it decides what to answer through the hooks.
//
// Threads: one thread accepts, reads, calls the hooks and carries out due actions, in that order, so an
// action scheduled from a hook for "now" is written before anything read later is handled. The hooks run
// on that thread with none of the server's locks held: they may call every method. All other methods may
// be called from any thread.
//
// Order: actions of one session run in the order of their due time; actions due at the same time run in
// the order they were scheduled. A reply scheduled before its event at the same instant is written first.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "frame.h"

namespace ruko {
namespace sim {

using Clock = std::chrono::steady_clock;
using SessionId = uint64_t;
// Actions scheduled for no session are timers: their make() runs at the due time and nothing is written.
constexpr SessionId kNoSession = 0;

// Something to write to one session at a due time.
struct Action {
  std::string bytes;                   // written as given
  std::function<std::string()> make;   // when set, produces the bytes at the due time (state as it is then)
  bool close = false;                  // close the session once the bytes are written
  int32_t tag = 0;                     // the owner's label, handed back in ServerHooks::written
  std::chrono::nanoseconds period{0};  // with a stream id: repeat at this interval until cancelled
  uint64_t stream = 0;                 // from Server::newStreamId(); 0 for a one-off action
};

struct ServerHooks {
  std::function<void(SessionId)> connected;
  // Packets completed by one read, the parser errors that read added, and the number of bytes read.
  std::function<void(SessionId, std::vector<FakePacket>&, const std::vector<std::string>&, size_t)> received;
  std::function<void(SessionId)> disconnected;
  // An action whose bytes all went out.
  std::function<void(SessionId, const Action&)> written;
};

struct ServerOptions {
  std::string host = "127.0.0.1";  // dotted IPv4
  int port = 0;                    // 0: the system picks a free port; see Server::port()
  bool singleClient = false;       // a new connection closes the one before it
  int32_t maxLengthField = 16 * 1024 * 1024;
  std::chrono::seconds sendTimeout{10};  // a client that reads nothing for this long loses its session
};

class Server {
 public:
  Server(ServerOptions options, ServerHooks hooks);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds, listens and starts the thread. False (with a reason in *error) when it cannot listen.
  bool start(std::string* error = nullptr);
  // Stops and joins the thread and closes every connection. Safe to call twice.
  void stop();
  int port() const { return m_port; }

  void schedule(SessionId session, Clock::time_point at, Action action);
  uint64_t newStreamId();
  // Drops a stream's pending action; it is never written again.
  void cancelStream(uint64_t stream);
  // Writes from the calling thread now; true when every byte went out.
  bool send(SessionId session, const std::string& bytes, int flags = 0);
  // Sends the end of the stream; the server's thread then reads it and closes the session.
  void shutdownSession(SessionId session);
  // While paused nothing is read, so a client's writes fill the socket buffers and block.
  void pauseReading(bool paused);

  std::vector<SessionId> sessions() const;
  // The session accepted last, or 0 when it is closed (or none was accepted).
  SessionId latestSession() const;
  // Failures of the server's own thread (poll errors).
  std::vector<std::string> errors() const;

 private:
  struct Session {
    SessionId id = 0;
    int fd = -1;             // closed only by the server's thread, under writeMutex
    std::mutex writeMutex;   // serialises writes, and a close against them
    explicit Session(int32_t maxLengthField) : parser(maxLengthField) {}
    FakeFrameParser parser;  // the server thread's alone
  };
  struct Scheduled {
    SessionId session;
    Action action;
  };

  void run();
  void acceptClient();
  void readSession(const std::shared_ptr<Session>& session);
  void closeSession(const std::shared_ptr<Session>& session);
  void runDueActions();
  std::shared_ptr<Session> find(SessionId id) const;
  static bool writeAll(int fd, const char* data, size_t size, int flags);
  void wake();

  ServerOptions m_options;
  ServerHooks m_hooks;
  int m_listenFd = -1;
  int m_wakePipe[2] = {-1, -1};
  int m_port = 0;

  mutable std::mutex m_mutex;
  std::map<SessionId, std::shared_ptr<Session>> m_sessions;
  std::multimap<Clock::time_point, Scheduled> m_actions;
  std::set<uint64_t> m_streams;  // live stream ids
  std::vector<std::string> m_errors;
  SessionId m_nextSession = 1;
  SessionId m_latest = 0;
  uint64_t m_nextStream = 1;
  bool m_readingPaused = false;
  bool m_stop = false;

  std::thread m_thread;
};

}  // namespace sim
}  // namespace ruko

#endif
