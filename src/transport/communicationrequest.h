#ifndef RUKO_TRANSPORT_COMMUNICATIONREQUEST_H
#define RUKO_TRANSPORT_COMMUNICATIONREQUEST_H

#include <condition_variable>
#include <mutex>

#include "transport/communicationmatetype.h"

// A packet as the engine holds it: socket, command type and body. The body is a heap array made with new[]
// (the codec's builders make them so); the record owns it from setProperty() on and releases it in
// destroy(), so a body can never leak on an early return.
class CommunicationPacket {
 public:
  CommunicationPacket() { init(); }
  ~CommunicationPacket() { destroy(); }
  CommunicationPacket(const CommunicationPacket&) = delete;
  CommunicationPacket& operator=(const CommunicationPacket&) = delete;

  void init() {
    m_socketFd = -1;
    m_textPtr = nullptr;
    m_textLength = 0;
    m_commandType = CommunicationMateType::CommunicationType_Unknown;
  }

  // Takes the body over; a body the record already held is released first.
  void setProperty(int socketFd, CommunicationMateType::CommunicationCommandType type, char* text, int length) {
    destroy();
    m_socketFd = socketFd;
    m_commandType = type;
    m_textPtr = text;
    m_textLength = length;
  }

  void destroy() {
    delete[] m_textPtr;
    init();
  }

  int m_socketFd;  // -1: the client's own socket
  char* m_textPtr;
  int m_textLength;
  CommunicationMateType::CommunicationCommandType m_commandType;
};

// An outgoing request.
class CommunicationRequest : public CommunicationPacket {};

// A received response. The engine keeps one per command type as that type's response slot: the slot's
// mutex and condition pair a requester with the receive thread. A slot is empty while m_commandType is
// CommunicationType_Unknown and filled otherwise (a filled slot may still hold no body). destroy() leaves
// the mutex and the condition alone: a slot is emptied while a requester may be using them.
class CommunicationResponse : public CommunicationPacket {
 public:
  bool isFilled() const { return m_commandType != CommunicationMateType::CommunicationType_Unknown; }

  std::mutex m_mutex;
  std::condition_variable m_conditon;
};

#endif  // RUKO_TRANSPORT_COMMUNICATIONREQUEST_H
