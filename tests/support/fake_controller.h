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
// Threads: the fake runs one thread that accepts, reads, records and answers. Every method may be called
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

namespace ruko {
namespace test {

// A packet the fake read off the wire.
struct FakePacket {
  int32_t lengthField = 0;  // body length + 12 for a well-formed packet
  int32_t type = 0;
  std::string body;
  std::chrono::steady_clock::time_point at;  // when the fake read its last byte
};

// A scripted answer as the fake wrote it.
struct FakeSent {
  int32_t type = 0;  // the type of the request it answered
  std::chrono::steady_clock::time_point at;
};

// Unframes a byte stream: start marker EE CC FF FF, length (body + 12), type, body, 00 00 00 00,
// FF FF FF FF, integers little-endian. Anything that does not fit is skipped and described in errors().
class FakeFrameParser {
 public:
  explicit FakeFrameParser(int32_t maxLengthField = 16 * 1024 * 1024) : m_maxLengthField(maxLengthField) {}

  // Appends bytes in any pieces; returns the packets they completed, in order.
  std::vector<FakePacket> feed(const char* data, size_t size);
  std::vector<FakePacket> feed(const std::string& bytes) { return feed(bytes.data(), bytes.size()); }

  // One description per run of skipped bytes, bad length field or bad trailer.
  const std::vector<std::string>& errors() const { return m_errors; }
  // Bytes held back while waiting for the rest of a packet.
  size_t pendingBytes() const { return m_buffer.size() - m_offset; }
  void reset();

 private:
  int32_t m_maxLengthField;
  std::string m_buffer;
  size_t m_offset = 0;
  size_t m_skipped = 0;  // length of the run of skipped bytes in progress
  std::vector<std::string> m_errors;
};

// A packet framed as the controller frames it.
std::string framePacket(int32_t type, const std::string& body);
// A packet with any length field, for malformed input; the trailer follows the body as usual.
std::string framePacketWithLength(int32_t lengthField, int32_t type, const std::string& body);
// A serialised common result body (result code and text).
std::string commonResultBody(int errorCode, const std::string& errorMsg = "");
// A serialised robot event push body.
std::string eventBody(int eventType, int eventCode, const std::string& content);

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
  struct Action {
    uint64_t connection;
    std::string bytes;
    bool close;
    int32_t type;
  };

  void run();
  void acceptClient();
  void readClient();
  void closeClientLocked();  // m_writeMutex held
  void runDueActions();
  bool writeAll(const char* data, size_t size, int flags = 0);
  void wake();
  bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

  int m_listenFd = -1;
  int m_wakePipe[2] = {-1, -1};
  int m_port = 0;

  // Guards the client descriptor against a close while another thread writes to it.
  std::mutex m_writeMutex;
  int m_clientFd = -1;
  uint64_t m_connection = 0;

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<int32_t, std::unique_ptr<Script>> m_scripts;
  std::multimap<std::chrono::steady_clock::time_point, Action> m_actions;
  std::vector<FakePacket> m_received;
  std::vector<FakeSent> m_sent;
  std::vector<std::string> m_protocolErrors;
  uint64_t m_bytesReceived = 0;
  int m_connections = 0;
  bool m_clientOpen = false;
  bool m_readingPaused = false;
  bool m_stop = false;

  FakeFrameParser m_parser;  // the fake thread's alone
  std::thread m_thread;
};

}  // namespace test
}  // namespace ruko

#endif
