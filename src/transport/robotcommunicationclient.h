#ifndef RUKO_TRANSPORT_ROBOTCOMMUNICATIONCLIENT_H
#define RUKO_TRANSPORT_ROBOTCOMMUNICATIONCLIENT_H

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "transport/communicationrequest.h"

// The one TCP connection to the controller: framing, the send path and the receive thread. Bodies are
// opaque here; every unframed packet goes to responseProcess() on the receive thread.
//
// Packet: start marker EE CC FF FF, length (body + 12), command type, body, check field 00 00 00 00, end
// marker FF FF FF FF; integers are 32-bit little-endian.
//
// A subclass must call disconnectRobotServer() in its own destructor: the receive thread calls the
// subclass's overrides until it has been joined.
class RobotCommunicationClient {
 public:
  static const unsigned char ROBOT_COMMAND_SOF[4];
  static const unsigned char ROBOT_COMMAND_CRC[4];
  static const unsigned char ROBOT_COMMAND_END[4];

  static constexpr int RECV_BUFFER_SIZE = 2097152;
  static constexpr int SEND_BUFFER_SIZE = 2096896;
  // Largest length field we send; the packet (length + 8 bytes) then still fits the send buffer.
  static constexpr int MAX_SEND_LENGTH_FIELD = 2096887;
  static constexpr int MAX_SEND_BODY_LENGTH = MAX_SEND_LENGTH_FIELD - 12;
  // Largest length field we accept: the bytes after it must fit the receive buffer.
  static constexpr int MAX_RECV_LENGTH_FIELD = RECV_BUFFER_SIZE;

  RobotCommunicationClient();
  virtual ~RobotCommunicationClient();
  RobotCommunicationClient(const RobotCommunicationClient&) = delete;
  RobotCommunicationClient& operator=(const RobotCommunicationClient&) = delete;

  void setServerIP(const std::string& serverIP);
  void setServerPort(int port);

  // 0, or ErrCode_Failed when already connected or the connect is impossible.
  int connectRobotServer();
  // Ends the receive thread and closes the socket; always 0. The thread has ended when this returns,
  // unless it is called on the receive thread itself (then the next connect, disconnect or the destructor
  // joins it).
  int disconnectRobotServer();
  bool getCurrentConnectStatus() const { return m_connectStatus.load(std::memory_order_acquire); }

  // True when every byte of the framed request was written.
  bool encodeAndSendCommunicationPackage(const CommunicationRequest& request);
  // The same on a given socket; a negative socket means the client's own.
  bool encodeAndSendCommunicationPackage(int socketFd, const CommunicationRequest& request);

 protected:
  // On the receive thread, for every packet: data is the command type (4 bytes, little-endian) followed by
  // the body, length = 4 + body length.
  virtual void responseProcess(int socketFd, const char* data, int length) = 0;
  virtual void disconnectProcess() = 0;
  virtual int heartbeatService() = 0;
  // Called once when our own side ends a live connection (disconnectRobotServer), not when the server
  // closes it (that arrives as a disconnect packet through responseProcess).
  virtual void localDisconnectProcess() {}
  // True on a receive thread whose client was destroyed from inside one of its own callbacks: that thread
  // must return without touching the client again.
  static bool ownerDestroyedOnThisThread();

 private:
  // Result of a packet read that ends the connection without the peer having closed it.
  static constexpr int RECV_CLOSE_CONNECTION = -2;

  bool sendPacketLocked(int socketFd, const CommunicationRequest& request);
  int connectCommunicationServer();
  void disconnectCommunicationServer();
  // Takes the connection lock; on this client's own receive thread only if it is free at once.
  bool lockConnection(std::unique_lock<std::mutex>& lock);
  void stopReceiveThreadLocked();

  // Returns the total, or the failing call's 0 or -1; *written tells how much went out before that.
  int sendCommunicationData(int socketFd, const char* data, int length, int* written);
  int recvMessageBaseMethed(int socketFd, char* data, int length);
  int recvPeek(int socketFd, char* data, int length);
  int recvCommunicationData(int socketFd, char* data, int length);
  int recvRobotMessageHead(int socketFd);
  int recvRobotCommunicationPackage(int socketFd);
  void recvCommunicationPackageLoop();
  void handleUrgentData(int socketFd);
  void eventLoopThread();
  int makeDisconnectEventCommunicationPackage();

  std::thread m_threadId;  // the receive thread; not joinable when none is recorded
  std::string m_serverIP;
  int m_serverport;
  std::atomic<int> m_socketFd;
  std::unique_ptr<char[]> m_recvBuffer;
  std::unique_ptr<char[]> m_sendBuffer;
  std::atomic<bool> m_connectStatus;
  std::atomic<bool> m_stopReceiving;
  std::mutex m_sendRequestMutex;
  // Serialises connect and disconnect; held across the join of the receive thread.
  std::mutex m_connectionMutex;
};

#endif  // RUKO_TRANSPORT_ROBOTCOMMUNICATIONCLIENT_H
