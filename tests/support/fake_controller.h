#ifndef RUKO_TEST_SUPPORT_FAKE_CONTROLLER_H
#define RUKO_TEST_SUPPORT_FAKE_CONTROLLER_H

// A scriptable stand-in for the robot controller's server, for tests over real loopback TCP.
//
//   ruko::test::FakeController fake;                   // listens on 127.0.0.1, port 0
//   fake.on(115).reply(ruko::test::commonResultBody(0));  // answer every heartbeat with success
//   fake.on(22).delay(200ms).reply(body);              // answer a move 200 ms after it arrived
//   fake.on(30).noReply();                             // let the requester time out
//   client.setServerPort(fake.port()); client.connectRobotServer();
//   ...
//   fake.push(2, ruko::test::eventBody(22, 0, ""));     // a packet the library did not ask for
//   fake.sendRaw("\x01\x02");                          // bytes exactly as given
//   ASSERT_TRUE(fake.waitForReceived(1));
//   EXPECT_EQ(fake.received()[0].type, 115);
//
// The fake reads what the library sends with a framing parser of its own (FakeFrameParser), written apart
// from the library's so that each checks the other. Its destructor fails the running test for every
// scripted step that never ran and for every malformed byte the library sent.
//
// The fake is the scripted, self-checking layer over the simulator's server core (sim/server.h): the core
// listens, frames and times the answers; the fake decides them from its scripts and records the traffic.
//
// Threads: the core runs one thread that accepts, reads, records and answers. Every method may be called
// from any thread. Only one client is served at a time; a new connection replaces the old one.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame.h"
#include "server.h"

namespace ruko {
namespace test {

using sim::FakeFrameParser;
using sim::FakePacket;
using sim::commonResultBody;
using sim::eventBody;
using sim::framePacket;
using sim::framePacketWithLength;

// A scripted answer as the fake wrote it.
struct FakeSent {
  int32_t type = 0;  // the type of the request it answered
  std::chrono::steady_clock::time_point at;
};

// Waits until predicate() holds or the timeout passes; true when it held. For states the fake cannot see
// (the library's own flags); the fake's own waits use its condition variable.
bool waitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

class FakeController {
 public:
  // What the fake does with each request of one type. Every request consumes the next step; once all
  // steps have run, the last one answers every further request.
  class Script {
   public:
    // Answers with a packet of the request's type holding body.
    Script& reply(const std::string& body);
    // Answers with the bytes exactly as given (e.g. a packet cut short, a foreign type, garbage).
    Script& replyRaw(const std::string& bytes);
    // Answers nothing.
    Script& noReply();
    // Applies to the step added next: that step is carried out this long after its request arrived.
    // Other requests are answered meanwhile.
    Script& delay(std::chrono::milliseconds wait);
    // The step added last closes the connection once its bytes are written.
    Script& thenClose();
    // The steps of this script need not all run.
    Script& allowUnused();

   private:
    friend class FakeController;
    struct Step {
      std::string bytes;
      bool raw = false;
      std::chrono::milliseconds delay{0};
      bool close = false;
      int runs = 0;
    };
    Script(FakeController* owner, int32_t type) : m_owner(owner), m_type(type) {}

    FakeController* m_owner;
    int32_t m_type;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::chrono::milliseconds m_pendingDelay{0};
    bool m_hasPendingDelay = false;
    bool m_allowUnused = false;
  };

  FakeController();
  ~FakeController();
  FakeController(const FakeController&) = delete;
  FakeController& operator=(const FakeController&) = delete;

  int port() const { return m_port; }

  Script& on(int32_t type);

  // Writes from the calling thread; true when every byte went out (false also when no client is there).
  bool push(int32_t type, const std::string& body);
  bool pushBurst(int32_t type, const std::string& body, int count);
  bool sendRaw(const std::string& bytes);
  // Writes the pieces as separate TCP segments, pausing between them (the fake's own pacing).
  bool sendRawSplit(const std::vector<std::string>& pieces,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(20));
  // One byte of urgent (out-of-band) data.
  bool sendUrgent(char byte);
  // Ends the connection in an orderly way (the client reads the end of the stream).
  void closeConnection();
  // While paused the fake reads nothing, so the client's writes fill the socket buffers and block.
  void pauseReading(bool paused);

  // Waits until `count` connections have been accepted since construction.
  bool waitForConnections(int count, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  // Waits until the client has closed the current connection (or none is open).
  bool waitForClientGone(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  bool waitForReceived(size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  bool waitForSent(size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

  int connectionCount() const;
  std::vector<FakePacket> received() const;
  std::vector<FakePacket> receivedOfType(int32_t type) const;
  std::vector<FakeSent> sent() const;
  uint64_t bytesReceived() const;

 private:
  void onConnected(sim::SessionId session);
  void onReceived(sim::SessionId session, std::vector<FakePacket>& packets, const std::vector<std::string>& errors,
                  size_t bytes);
  void onDisconnected(sim::SessionId session);
  void onWritten(const sim::Action& action);
  bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<int32_t, std::unique_ptr<Script>> m_scripts;
  std::vector<FakePacket> m_received;
  std::vector<FakeSent> m_sent;
  std::vector<std::string> m_protocolErrors;
  uint64_t m_bytesReceived = 0;
  int m_connections = 0;
  bool m_clientOpen = false;
  int m_port = 0;

  sim::Server m_server;  // last: its thread stops before the members its hooks touch go
};

}  // namespace test
}  // namespace ruko

#endif
