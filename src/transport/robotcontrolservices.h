#ifndef RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H
#define RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H

#include <memory>
#include <mutex>

#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_status_types.h"
#include "transport/communicationrequest.h"
#include "transport/robotcommunicationclient.h"

// The object every service talks to the controller through. This file holds the request engine: one
// response slot and one request lock per command type, the blocking request, its two modes and the
// dispatch of incoming packets. The protocol has no request identifiers: a response answers the one
// outstanding request of its type.
//
// Lock order on a request: the command type's request lock, then its slot mutex, then the client's send
// mutex. The receive thread takes one slot mutex at a time, only to store and signal.
class RobotControlServices : public RobotCommunicationClient {
 public:
  static constexpr int WAIT_RESPONSE_MAX_TIME_MSEC = 5000;
  static constexpr int COMMAND_SLOT_COUNT = CommunicationMateType::CommunicationTypeCount;

  RobotControlServices();
  ~RobotControlServices() override;

  // Sends one request and waits for the response of its type (up to ruko::timing().responseWait). A
  // disconnect does not wake the waiter; it ends by the time-out.
  int sendRequestWaitResponse(const CommunicationRequest& request, CommunicationResponse& response);

  // The body (a new[] array, or null with length 0) is taken over and released whatever the outcome.
  // Returns the controller's verdict from the common result body.
  int requestServiceOnlyCheckSendResultMode(RobotCommandType type, void* body, int length);
  // As above; the response's own copy of the body goes to the caller, who decodes it.
  int requestServiceGetResponseContentMode(RobotCommandType type, void* body, int length,
                                           CommunicationResponse& response);

  static ruko_robot_namespace::RobotErrorCode getErrCodeByServerResponse(int serverCode);

  void responseProcess(int socketFd, const char* data, int length) override;
  void disconnectProcess() override;
  int heartbeatService() override;

 protected:
  // Push handlers, on the receive thread, with the type's slot holding the push body. The event slot keeps
  // its body until the next event; the others are emptied after their handler returns.
  virtual void realTimeRobotEventResponseService(CommunicationResponse& response);
  virtual void realTimeJointStatusService(CommunicationResponse& response);
  virtual void realTimeJointAngleService(CommunicationResponse& response);
  virtual void realTimeEndSpeedService(CommunicationResponse& response);
  virtual void realTimeMovepProgressNotifyService(CommunicationResponse& response);
  // The event intake: every robot event, pushed or made locally, ends here.
  virtual void robotRealTimeEventProcess(const ruko_robot_namespace::RobotEventInfo& event);

 private:
  using PushHandler = void (RobotControlServices::*)(CommunicationResponse&);
  struct PushRoute {
    RobotCommandType type;
    PushHandler handler;
    bool keepsBody;
  };
  static const PushRoute* findPushRoute(int type);

  std::unique_ptr<CommunicationResponse[]> m_robotCommandResponseSet;
  std::unique_ptr<std::mutex[]> m_robotCommandMutexSet;
};

#endif  // RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H
