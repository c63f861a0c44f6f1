#ifndef RUKO_TRANSPORT_COMMUNICATIONREQUEST_H
#define RUKO_TRANSPORT_COMMUNICATIONREQUEST_H

#include <condition_variable>
#include <mutex>

#include "transport/communicationmatetype.h"

// An outgoing request. The body is a heap array made with new[] (the codec's builders make them so); the
// record owns it from setProperty() on and releases it in destroy(), so a request body can never leak on
// an early return.
class CommunicationRequest {
 public:
  CommunicationRequest() { init(); }
  ~CommunicationRequest() { destroy(); }
  CommunicationRequest(const CommunicationRequest&) = delete;
  CommunicationRequest& operator=(const CommunicationRequest&) = delete;

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

// A received response. The engine keeps one per command type as that type's response slot: the slot's
// mutex and condition pair a requester with the receive thread. A slot is empty while m_commandType is
// CommunicationType_Unknown and filled otherwise (a filled slot may still hold no body).
class CommunicationResponse {
 public:
  CommunicationResponse() { init(); }
  ~CommunicationResponse() { destroy(); }
  CommunicationResponse(const CommunicationResponse&) = delete;
  CommunicationResponse& operator=(const CommunicationResponse&) = delete;

  void init() {
    m_socketFd = -1;
    m_textPtr = nullptr;
    m_textLength = 0;
    m_commandType = CommunicationMateType::CommunicationType_Unknown;
  }

  void setProperty(int socketFd, CommunicationMateType::CommunicationCommandType type, char* text, int length) {
    destroy();
    m_socketFd = socketFd;
    m_commandType = type;
    m_textPtr = text;
    m_textLength = length;
  }

  // Leaves the mutex and the condition alone: a slot is emptied while a requester may be using them.
  void destroy() {
    delete[] m_textPtr;
    init();
  }

  bool isFilled() const { return m_commandType != CommunicationMateType::CommunicationType_Unknown; }

  int m_socketFd;
  char* m_textPtr;
  int m_textLength;
  std::mutex m_mutex;
  std::condition_variable m_conditon;
  CommunicationMateType::CommunicationCommandType m_commandType;
};

#endif  // RUKO_TRANSPORT_COMMUNICATIONREQUEST_H
