#include "transport/robotcommunicationclient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "codec/protoencodedecode.h"
#include "transport/event_intake.h"
#include "util/log.h"
#include "util/timing.h"

using ruko_robot_namespace::ErrCode_Failed;
using ruko_robot_namespace::ErrnoSucc;

const unsigned char RobotCommunicationClient::ROBOT_COMMAND_SOF[4] = {0xEE, 0xCC, 0xFF, 0xFF};
const unsigned char RobotCommunicationClient::ROBOT_COMMAND_CRC[4] = {0x00, 0x00, 0x00, 0x00};
const unsigned char RobotCommunicationClient::ROBOT_COMMAND_END[4] = {0xFF, 0xFF, 0xFF, 0xFF};

namespace {

// Every socket call moves at most this many bytes.
constexpr int kSocketChunk = 1024;

// The client whose receive thread this is, if any: that thread must never block on the connection lock,
// since its holder may be joining it.
thread_local const RobotCommunicationClient* t_receivingFor = nullptr;

// Set on a receive thread whose client was destroyed by one of its own callbacks.
thread_local bool t_clientGone = false;

void putInt32LittleEndian(char* out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  out[0] = static_cast<char>(u & 0xFFu);
  out[1] = static_cast<char>((u >> 8) & 0xFFu);
  out[2] = static_cast<char>((u >> 16) & 0xFFu);
  out[3] = static_cast<char>((u >> 24) & 0xFFu);
}

int32_t getInt32LittleEndian(const char* in) {
  const auto* b = reinterpret_cast<const unsigned char*>(in);
  const uint32_t u = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(u);
}

timeval toTimeval(std::chrono::milliseconds duration) {
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(duration.count() / 1000);
  tv.tv_usec = static_cast<suseconds_t>((duration.count() % 1000) * 1000);
  return tv;
}

void setSocketTimeouts(int fd, const ruko::TimingTable& timing) {
  const timeval receive = toTimeval(timing.socketReceiveTimeout);
  const timeval send = toTimeval(timing.socketSendTimeout);
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof(receive));
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &send, sizeof(send));
}

}  // namespace

RobotCommunicationClient::RobotCommunicationClient()
    : m_serverIP("127.0.0.1"),
      m_serverport(8899),
      m_socketFd(-1),
      m_recvBuffer(new char[RECV_BUFFER_SIZE]),
      m_sendBuffer(new char[SEND_BUFFER_SIZE]),
      m_connectStatus(false),
      m_stopReceiving(false) {}

RobotCommunicationClient::~RobotCommunicationClient() {
  disconnectRobotServer();
  if (m_threadId.joinable()) {
    // Only when the client is destroyed on its own receive thread (inside a callback): joining would
    // deadlock, and letting std::thread's destructor run would end the process. The thread checks
    // ownerDestroyedOnThisThread() when the callback returns and leaves without touching this object, so
    // the socket can be closed here.
    if (m_threadId.get_id() == std::this_thread::get_id()) {
      t_clientGone = true;
    }
    disconnectCommunicationServer();
    m_threadId.detach();
    ruko::logPrint(LL_WARN, "sdk log: Connection released from inside a callback; the receive thread ends after it returns.");
  }
}

bool RobotCommunicationClient::ownerDestroyedOnThisThread() { return t_clientGone; }

void RobotCommunicationClient::setServerIP(const std::string& serverIP) {
  std::lock_guard<std::mutex> lock(m_connectionMutex);
  m_serverIP = serverIP;
}

void RobotCommunicationClient::setServerPort(int port) {
  std::lock_guard<std::mutex> lock(m_connectionMutex);
  m_serverport = port;
}

int RobotCommunicationClient::connectRobotServer() {
  std::unique_lock<std::mutex> lock(m_connectionMutex, std::defer_lock);
  if (!lockConnection(lock) || m_connectStatus.load()) {
    return ErrCode_Failed;
  }
  // After a close by the server the ended receive thread is still recorded and the socket still open.
  stopReceiveThreadLocked();
  if (m_threadId.joinable()) {
    return ErrCode_Failed;
  }
  disconnectCommunicationServer();

  const int fd = connectCommunicationServer();
  if (fd < 0) {
    return ErrCode_Failed;
  }
  {
    std::lock_guard<std::mutex> sendLock(m_sendRequestMutex);
    m_socketFd.store(fd);
  }
  m_stopReceiving.store(false);
  m_connectStatus.store(true, std::memory_order_release);
  try {
    m_threadId = std::thread(&RobotCommunicationClient::eventLoopThread, this);
  } catch (const std::system_error& error) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Receive data thread could not start: %s", error.what());
    m_connectStatus.store(false);
    disconnectCommunicationServer();
    return ErrCode_Failed;
  }
  std::this_thread::sleep_for(ruko::timing().afterConnectPause);
  return ErrnoSucc;
}

int RobotCommunicationClient::disconnectRobotServer() {
  std::unique_lock<std::mutex> lock(m_connectionMutex, std::defer_lock);
  if (!lockConnection(lock)) {
    // Another thread holds the connection lock, possibly while it joins this very thread: waiting for it
    // would never end. Stopping is enough; that thread (or the next connect, disconnect or the destructor)
    // joins this one and closes the socket.
    const bool wasConnected = m_connectStatus.exchange(false, std::memory_order_acq_rel);
    m_stopReceiving.store(true);
    if (wasConnected) {
      localDisconnectProcess();
    }
    return ErrnoSucc;
  }
  const bool wasConnected = m_connectStatus.exchange(false, std::memory_order_acq_rel);
  stopReceiveThreadLocked();
  if (!m_threadId.joinable()) {
    disconnectCommunicationServer();
  }
  // Otherwise called on the receive thread itself: the socket is shut down, and closing its number is left
  // to whoever joins the thread, so that the thread never reads a reused descriptor.
  if (wasConnected) {
    localDisconnectProcess();
  }
  return ErrnoSucc;
}

bool RobotCommunicationClient::lockConnection(std::unique_lock<std::mutex>& lock) {
  if (t_receivingFor == this) {
    return lock.try_lock();
  }
  lock.lock();
  return true;
}

void RobotCommunicationClient::stopReceiveThreadLocked() {
  if (!m_threadId.joinable()) {
    return;
  }
  m_stopReceiving.store(true);
  // shutdown() first: a read in progress on the receive thread returns at once, so join() cannot hang. The
  // descriptor cannot be closed under us: only the holder of m_connectionMutex closes it.
  const int fd = m_socketFd.load();
  if (fd != -1) {
    shutdown(fd, SHUT_RDWR);
  }
  if (m_threadId.get_id() == std::this_thread::get_id()) {
    ruko::logPrint(LL_ERROR, "pthread_join:Receive data thread exit failed.");
    return;
  }
  try {
    m_threadId.join();
    ruko::logPrint(LL_INFO, "pthread_join:Receive data thread exited successfully.");
  } catch (const std::system_error&) {
    ruko::logPrint(LL_ERROR, "pthread_join:Receive data thread exit failed.");
  }
}

int RobotCommunicationClient::connectCommunicationServer() {
  in_addr address{};
  if (inet_pton(AF_INET, m_serverIP.c_str(), &address) != 1) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Server address is not a dotted IPv4 address: %s",
                   m_serverIP.c_str());
    return -1;
  }
  if (m_serverport <= 0 || m_serverport > 65535) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Server port out of range: %d", m_serverport);
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return -1;
  }
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_addr = address;
  server.sin_port = htons(static_cast<uint16_t>(m_serverport));

  // The send time-out also bounds the connect.
  const ruko::TimingTable timing = ruko::timing();
  setSocketTimeouts(fd, timing);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof(server)) != 0) {
    close(fd);
    return -1;
  }
  setSocketTimeouts(fd, timing);
  return fd;
}

void RobotCommunicationClient::disconnectCommunicationServer() {
  // Under the send mutex: no sender can be between reading the number and writing to it.
  std::lock_guard<std::mutex> sendLock(m_sendRequestMutex);
  const int fd = m_socketFd.exchange(-1);
  if (fd != -1) {
    close(fd);
  }
}

bool RobotCommunicationClient::encodeAndSendCommunicationPackage(const CommunicationRequest& request) {
  std::lock_guard<std::mutex> lock(m_sendRequestMutex);
  return sendPacketLocked(m_socketFd.load(), request);
}

bool RobotCommunicationClient::encodeAndSendCommunicationPackage(int socketFd, const CommunicationRequest& request) {
  std::lock_guard<std::mutex> lock(m_sendRequestMutex);
  return sendPacketLocked(socketFd < 0 ? m_socketFd.load() : socketFd, request);
}

bool RobotCommunicationClient::sendPacketLocked(int socketFd, const CommunicationRequest& request) {
  if (request.m_textLength < 0 || (request.m_textPtr == nullptr && request.m_textLength != 0)) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Invalid request body. length:%d", request.m_textLength);
    return false;
  }
  const long long length = static_cast<long long>(request.m_textLength) + 12;
  if (length > MAX_SEND_LENGTH_FIELD) {
    ruko::logPrint(LL_ERROR, "sdk communication log: The message size is larger than the specified size. length:%lld",
                   length);
    return false;
  }

  char* out = m_sendBuffer.get();
  std::memcpy(out, ROBOT_COMMAND_SOF, 4);
  putInt32LittleEndian(out + 4, static_cast<int32_t>(length));
  putInt32LittleEndian(out + 8, static_cast<int32_t>(request.m_commandType));
  if (request.m_textLength > 0) {
    std::memcpy(out + 12, request.m_textPtr, static_cast<size_t>(request.m_textLength));
  }
  std::memcpy(out + 12 + request.m_textLength, ROBOT_COMMAND_CRC, 4);
  std::memcpy(out + 16 + request.m_textLength, ROBOT_COMMAND_END, 4);

  const int total = static_cast<int>(length) + 8;
  int written = 0;
  const int result = sendCommunicationData(socketFd, out, total, &written);
  if (result != total) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Socket send messages error. errorcode=%d", result);
    if (written > 0) {
      // Part of a packet went out: the peer would read everything after it out of frame. Shutting down
      // makes the receive thread report one disconnect instead.
      shutdown(socketFd, SHUT_RDWR);
    }
    return false;
  }
  return true;
}

int RobotCommunicationClient::sendCommunicationData(int socketFd, const char* data, int length, int* written) {
  int done = 0;
  while (done < length) {
    const int chunk = std::min(kSocketChunk, length - done);
    const ssize_t r = send(socketFd, data + done, static_cast<size_t>(chunk), MSG_NOSIGNAL);
    if (r < 0 && errno == EINTR) {
      continue;
    }
    if (r <= 0) {
      *written = done;
      return static_cast<int>(r);
    }
    done += static_cast<int>(r);
  }
  *written = done;
  return done;
}

int RobotCommunicationClient::recvMessageBaseMethed(int socketFd, char* data, int length) {
  int done = 0;
  while (done < length) {
    const int chunk = std::min(kSocketChunk, length - done);
    const ssize_t r = recv(socketFd, data + done, static_cast<size_t>(chunk), 0);
    if (r < 0 && errno == EINTR) {
      continue;
    }
    if (r <= 0) {
      return static_cast<int>(r);
    }
    done += static_cast<int>(r);
  }
  return done;
}

int RobotCommunicationClient::recvPeek(int socketFd, char* data, int length) {
  ssize_t r;
  do {
    r = recv(socketFd, data, static_cast<size_t>(length), MSG_PEEK | MSG_WAITALL);
  } while (r < 0 && errno == EINTR);
  if (r <= 0 || r == length) {
    return static_cast<int>(r);
  }
  // Fewer bytes than asked. The caller slides over what is there when nothing else can come into view:
  // - the peer has ended the stream;
  // - an urgent mark lies right behind the bytes seen. A look that has copied anything stops at the mark,
  //   and no later look gets past it until the bytes before it are consumed, so "try again later" would
  //   poll readable and look again for ever. The urgent byte is still unread (the loop reads it only once
  //   the stream stands at its mark), which is how the mark is known to be there; a look that starts at
  //   the mark is not stopped by it.
  // Otherwise the read time-out passed: try again later, keeping the bytes, which may begin a start marker
  // whose rest is late. A peer that leaves 1 to 3 bytes and goes quiet therefore costs the header error
  // lines once per read time-out for as long as it stays quiet; that is a wait, not a spin.
  pollfd p{socketFd, POLLRDHUP, 0};
  if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP)) != 0) {
    return static_cast<int>(r);
  }
  char urgent;
  if (recv(socketFd, &urgent, 1, MSG_OOB | MSG_PEEK) == 1 && sockatmark(socketFd) == 0) {
    return static_cast<int>(r);
  }
  return -1;
}

int RobotCommunicationClient::recvCommunicationData(int socketFd, char* data, int length) {
  return recvMessageBaseMethed(socketFd, data, length);
}

int RobotCommunicationClient::recvRobotMessageHead(int socketFd) {
  char head[4];
  const int peeked = recvPeek(socketFd, head, 4);
  if (peeked <= 0) {
    return peeked;
  }
  if (peeked == 4 && std::memcmp(head, ROBOT_COMMAND_SOF, 4) == 0) {
    const int r = recvCommunicationData(socketFd, head, 4);
    return r == 4 ? 4 : (r <= 0 ? r : -1);
  }
  const int r = recvCommunicationData(socketFd, head, 1);
  return r == 1 ? 1 : r;
}

int RobotCommunicationClient::recvRobotCommunicationPackage(int socketFd) {
  const int head = recvRobotMessageHead(socketFd);
  if (head != 4) {
    // A read ended by our own shutdown() is no error worth reporting.
    if (!m_stopReceiving.load()) {
      ruko::logPrint(LL_ERROR, "sdk communication log: Recv Header error.");
      ruko::logPrint(LL_ERROR, "sdk communication log:  Recv text block error.");
    }
    return head;
  }
  char lengthField[4];
  const int r = recvCommunicationData(socketFd, lengthField, 4);
  if (r != 4) {
    return r <= 0 ? r : -1;
  }
  const int32_t length = getInt32LittleEndian(lengthField);
  if (length <= 0) {
    // Nothing to read: taken for the end of the stream.
    return 0;
  }
  if (length > MAX_RECV_LENGTH_FIELD) {
    ruko::logPrint(LL_ERROR, "sdk communication log: Packet length %d exceeds receive buffer.", length);
    return RECV_CLOSE_CONNECTION;
  }
  return recvCommunicationData(socketFd, m_recvBuffer.get(), length);
}

void RobotCommunicationClient::handleUrgentData(int socketFd) {
  unsigned char urgent = 0;
  if (recv(socketFd, &urgent, 1, MSG_OOB) == 1) {
    ruko::logPrint(LL_WARN, "sdk communication log: Urgent data discarded: 0x%02x.", urgent);
  }
}

void RobotCommunicationClient::recvCommunicationPackageLoop() {
  const int socketFd = m_socketFd.load();
  // Read once per connection: the table is copied under a mutex, too dear for every packet.
  const int turnMs = static_cast<int>(ruko::timing().receiveTurn.count());
  while (!m_stopReceiving.load() && m_connectStatus.load(std::memory_order_acquire)) {
    // Both conditions are armed afresh on every turn; poll() has no limit on the descriptor's number.
    pollfd p{socketFd, POLLIN | POLLPRI, 0};
    const int ready = poll(&p, 1, turnMs);
    if (ready < 0) {
      ruko::logPrint(LL_ERROR, "sdk communication log:  select error, ret=%d.", ready);
      continue;
    }
    if (ready == 0) {
      continue;
    }
    if ((p.revents & POLLPRI) != 0 && ((p.revents & POLLIN) == 0 || sockatmark(socketFd) == 1)) {
      // Urgent data on a live link is no loss of the link: read it away so the condition clears. Not
      // before the stream stands at its mark, though: until then the unread byte is what tells the start
      // search that its look was cut short by the mark (recvPeek). Bytes before the mark make the socket
      // readable, so they are consumed below and the condition cannot hold the loop in a spin.
      handleUrgentData(socketFd);
    }
    if ((p.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
      continue;
    }
    const int r = recvRobotCommunicationPackage(socketFd);
    if (r == 0 || r == RECV_CLOSE_CONNECTION) {
      if (m_stopReceiving.load()) {
        break;  // our own shutdown(): a disconnect, not a loss of the link
      }
      m_connectStatus.store(false, std::memory_order_release);
      // Senders now fail at once; the descriptor itself is closed by the next connect or disconnect.
      shutdown(socketFd, SHUT_RDWR);
      if (r == 0) {
        ruko::logPrint(LL_ERROR, "sdk communication log: recv return 0, Server disconnenct.");
      }
      const int length = makeDisconnectEventCommunicationPackage();
      if (length > 0) {
        responseProcess(-1, m_recvBuffer.get(), length);
      }
      break;
    }
    // Fewer than 12 bytes leave no room for a type and the trailing check field and end marker.
    if (r >= 12) {
      responseProcess(socketFd, m_recvBuffer.get(), r - 8);
      if (t_clientGone) {
        return;  // a callback destroyed the client
      }
    }
  }
}

void RobotCommunicationClient::eventLoopThread() {
  t_receivingFor = this;
  ruko::logPrint(LL_INFO, "sdk log: Receive data thread startup ...");
  recvCommunicationPackageLoop();
  ruko::logPrint(LL_INFO, "sdk log: Receive data thread exit.");
}

int RobotCommunicationClient::makeDisconnectEventCommunicationPackage() {
  char* buffer = m_recvBuffer.get();
  putInt32LittleEndian(buffer, static_cast<int32_t>(CommunicationMateType::CommunicationType_Event));
  const ruko_robot_namespace::RobotEventInfo event = ruko::RobotEventIntake::disconnectEvent();
  int size = RECV_BUFFER_SIZE - 4;
  if (!ProtoEncodeDecode::getResponse_Event(buffer + 4, &size, event)) {
    return 0;
  }
  return size + 4;
}
