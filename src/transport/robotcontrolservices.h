#ifndef RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H
#define RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "codec/codec_records.h"
#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_io_types.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "transport/communicationrequest.h"
#include "transport/event_dispatcher.h"
#include "transport/event_intake.h"
#include "transport/robotcommunicationclient.h"
#include "util/internalmatetype.h"

// The object every service talks to the controller through: the request engine (one response slot and one
// request lock per command type; a response answers the one outstanding request of its type, the protocol
// has no request identifiers), the login lifecycle, the event intake with its event thread, and the
// controller's status and configuration services. Its members are split over one source file per concern
// (engine, lifecycle, services, events).
//
// Lock order on a request: the motion-control mutex, then a lifecycle or motion-control request mutex,
// then the command type's request lock, then its slot mutex, then the client's send mutex. The receive
// thread never waits for any of these except a slot mutex, which a requester holds only for short moments;
// done events reach their waiters through DoneSignal, whose mutex no requester holds across a request.
//
// Threads: the receive thread (while connected) runs the push handlers, the intake and the joint-status,
// waypoint, end-speed and MoveP callbacks; the event thread (for the object's whole life) runs the event
// callback. Destroying the object from inside one of those callbacks is detected: that thread is detached
// and returns without touching the object again.
class RobotControlServices : public RobotCommunicationClient {
 public:
  static constexpr int WAIT_RESPONSE_MAX_TIME_MSEC = 5000;
  static constexpr int COMMAND_SLOT_COUNT = CommunicationMateType::CommunicationTypeCount;
  static constexpr int BASE_PARAMETER_TRIES = 8;

  RobotControlServices();
  ~RobotControlServices() override;

  // ---- Engine ------------------------------------------------------------------------------------------------
  // Sends one request and waits for the response of its type (up to the response wait). A disconnect does
  // not wake the waiter; it ends by the time-out. Push types (2, 3, 7, 11, 133) are refused with
  // ErrCode_ParamError: only the receive thread writes their slots.
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

  // ---- Typed call path -----------------------------------------------------------------------------------
  // Set shape: `build(char** body, int* length)` makes the body; a failed build logs buildFailLine and gives
  // ErrCode_CreateRequestFailed with nothing sent. The result is the controller's verdict.
  template <class Build>
  int callSet(RobotCommandType type, const char* buildFailLine, Build&& build);
  // A set without a body.
  int callSet(RobotCommandType type) { return requestServiceOnlyCheckSendResultMode(type, nullptr, 0); }
  // Get shape: `decode(const char* body, int length, int& serverCode)` reads the reply. A reply that does
  // not decode logs decodeFailLine and gives decodeFailCode; a decoded one gives the mapped server code
  // (the output keeps what the decoder filled even then).
  template <class Decode>
  int callGet(RobotCommandType type, int decodeFailCode, const char* decodeFailLine, Decode&& decode);
  // A get whose request carries a body.
  template <class Build, class Decode>
  int callGet(RobotCommandType type, const char* buildFailLine, Build&& build, int decodeFailCode,
              const char* decodeFailLine, Decode&& decode);

  // ---- Login lifecycle -----------------------------------------------------------------------------------
  int loginService(const char* host, int port, const std::string& userName, const std::string& password,
                   ruko_robot_namespace::RobotType& robotType, ruko_robot_namespace::RobotDhPara& robotDhPara);
  // Closes the connection without telling the controller; every lifecycle, motion-control and move wait
  // in progress ends with ErrCode_SocketDisconnect. Always 0.
  int logoutService();
  int robotHandShakeService(bool isBlock);
  int robotStartupService(const RobotTcpParam& tcpParam, uint8_t collisionClass, bool readPose,
                          bool staticCollisionDetect, int maxAcc, ruko_robot_namespace::ROBOT_SERVICE_STATE& result,
                          bool IsBolck);
  int robotShutdownService(bool IsBolck);
  int getJoint6Rotate360EnableFlag(bool& value);
  int getJoint1Rotate360EnableFlag(bool& value);
  static int getVersionCode();

  // ---- Pushes, callbacks, events, motion control ---------------------------------------------------------
  int setRealTimeJointStatusPush(bool enable);
  int setRealTimeJointAnglePush(bool enable);
  int setRealTimeEndSpeedPush(bool enable);

  // Registration may happen at any time, also while pushes flow; a callback already running finishes
  // with the values it started with.
  void robotServiceRegisterRealTimeJointStatusCallbackService(RealTimeJointStatusCallback callback, void* arg);
  void robotServiceRegisterRealTimeRoadPointCallbackService(RealTimeRoadPointCallback callback, void* arg);
  void robotServiceRegisterRealTimeEndSpeedCallbackService(RealTimeEndSpeedCallback callback, void* arg);
  void robotServiceRegisterRobotEventInfoCallbackService(RobotEventCallback callback, void* arg);
  void robotServiceRegisterMovepProgressNotifyCallbackService(RealTimeMovepStepNumNotifyCallback callback, void* arg);

  // Stop (89, 90, and 134, the slow stop that also stops the board program), pause (91) or continue (92);
  // waits for the done event when the controller says so.
  int robotMoveControlService(RobotCommandType type);

  // The move-finish queue; push, front and clear expect the target-position mutex to be held.
  void pushEventToMoveFinishEventQueue(ruko_robot_namespace::RobotEventType type);
  ruko_robot_namespace::RobotEventType frontToMoveFinishEventQueue();
  void clearMoveFinishEventQueue();
  ruko_robot_namespace::RobotEventType getMoveFinishEventType() const;
  void setMoveFinishEventType(ruko_robot_namespace::RobotEventType type);
  std::condition_variable* getRobotMoveAtTrackTargetPosConditonPtr();
  std::mutex* getRobotMoveAtTrackTargetPosMutexPtr();

  // ---- Controller status and configuration ---------------------------------------------------------------
  int getTcpParamService(RobotTcpParam& tcpParam);
  int setTcpParamService(const RobotTcpParam& tcpParam);
  int getToolDynamicsParamService(ruko_robot_namespace::ToolDynamicsParam& param);
  int setToolDynamicsParamService(const ruko_robot_namespace::ToolDynamicsParam& param);
  // Sets the grade, then reads it back up to three times; ErrCode_Failed when it never shows.
  int setRobotCollisionClassService(int grade);
  int getRobotCollisionCurrentService(RobotCollisionCurrent& current);
  int getRobotWorkModeService(ruko_robot_namespace::RobotWorkMode& mode);
  int setRobotWorkModeService(ruko_robot_namespace::RobotWorkMode mode);
  int setEnableForceTeachWhenProjectIsRunning(bool enable);
  int getRobotDevInfoService(ruko_robot_namespace::RobotDevInfo& devInfo);
  int getRobotGravityComponent(ruko_robot_namespace::RobotGravityComponent& component);
  // Fills at most `count` records; a null array or a negative count is refused.
  int getRobotJointStatus(ruko_robot_namespace::JointStatus* statuses, int count);
  int getCurrentJointAngle(ruko_robot_namespace::JointParam& jointParam);
  int getJointAngleFromController(ruko_robot_namespace::JointParam& jointParam);
  int getForceSensorData(ruko_robot_namespace::ForceSensorData& data);
  int getCorrectedWaypoint(const ruko_robot_namespace::wayPoint_S& source, ruko_robot_namespace::wayPoint_S& target);
  int getIsRealRobotExist(bool& exist);
  int collisionRecover();
  int robotJointPosRecover(bool confirm);
  int getRobotDiagnosisInfo(ruko_robot_namespace::RobotDiagnosis& diagnosis);
  int getRobotCurrentStateService(ruko_robot_namespace::RobotState& state);
  int setRobotJointOffsetService(ruko_robot_namespace::RobotJointOffset& offset);
  int getRobotSafetyConfig(ruko_robot_namespace::RobotSafetyConfig& config);
  int setRobotSafetyConfig(const ruko_robot_namespace::RobotSafetyConfig& config);
  int getOrpeSafetyStatus(ruko_robot_namespace::OrpeSafetyStatus& status);
  int robotControlService(ruko_robot_namespace::RobotControlCommand command);
  int armPowerControlService(bool on);
  int rootReleaseBrake();
  int setRobotAtOriginPoseService();
  int safeIoAboutCommunication(RobotCommandType type, const std::vector<int>& values);
  int setRobotOrpePause(uint8_t value);
  int setRobotOrpeStop(uint8_t value);
  // Sends the `length` bytes, each as one integer; a null buffer or a negative length is refused.
  int setRobotOrpeError(const uint8_t* data, int length);
  int clearSystemEmergencyStop(uint8_t value);
  int clearReducedModeError(uint8_t value);
  int robotSafetyguardResetSucc(uint8_t value);
  // A null buffer with a non-zero length is refused.
  int updateRobotBoardFirmwareService(ruko_robot_namespace::update_board_firmware_cmd cmd, const void* data,
                                      uint16_t length);
  int getBoardFirmwareUpdateResultService(bool& result);
  int getRobotEthernetDeviceNameService(std::string& name);
  int getServerVersionInfoService(std::string& version);
  // Copies the first min(reply length, count) records; a null array or a negative count is refused.
  int getJointCommonData(ruko_robot_namespace::JointCommonData* data, int count);
  int setJointParamService(int index, int joint, int value);
  int jointSaveDataFlashService(int joint);
  int setRobotBaseParameters(const ruko_robot_namespace::RobotBaseParameters& param);
  int getRobotBaseParameters(ruko_robot_namespace::RobotBaseParameters& param);
  int setRobotJointsParameter(const ruko_robot_namespace::RobotJointsParameter& param);
  int getRobotJointsParameter(ruko_robot_namespace::RobotJointsParameter& param);
  int refreshRobotArmParamter();
  // A null track file is refused.
  int startupOfflineExcitTrajService(const char* trackFile, ruko_robot_namespace::Robot_Dyn_identify_traj type,
                                     int subtype);
  int getDynIdentifyResultsService(std::vector<int>& results);

  // ---- Board and tool I/O --------------------------------------------------------------------------------
  // Full lists as the controller reports them (element n is the entry at position n, whatever its addr).
  int getInterfaceBoardAllDIStatusService(std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& statusVector);
  int getInterfaceBoardAllDOStatusService(std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& statusVector);
  int getInterfaceBoardAllAIStatusService(std::vector<ruko_robot_namespace::RobotAnalogIODesc>& statusVector);
  int getInterfaceBoardAllAOStatusService(std::vector<ruko_robot_namespace::RobotAnalogIODesc>& statusVector);
  // One entry by address. A reply that holds no entry gives ErrCode_ResolveResponseFailed and leaves the
  // output untouched; any other failure of a digital read stores 0.
  int getInterfaceBoardDIStatusService(int addr, ruko_robot_namespace::IO_STATUS& status);
  int getInterfaceBoardDOStatusService(int addr, ruko_robot_namespace::IO_STATUS& status);
  int getInterfaceBoardAIStatusService(int addr, double& status);
  int getInterfaceBoardAOStatusService(int addr, double& status);
  int setInterfaceBoardDOStatusService(int addr, ruko_robot_namespace::IO_STATUS status);
  // The value travels in single precision.
  int setInterfaceBoardAOStatusService(int addr, double value);
  // The single-entry workers behind the queries above and the tool's supply queries. `status` is set from
  // the reply's first entry: the digital one only when the controller's code is 0, the analog one whenever
  // there is an entry. An address outside 0..255 (the wire field is 8 bits) is refused, nothing sent.
  int getRobotDigitalIOStatusService(RobotCommandType type, int addr, int& status);
  int getRobotAnalogIOStatusService(RobotCommandType type, int addr, double& status);

  int setToolPowerVoltageTypeService(ruko_robot_namespace::ToolPowerType type);
  int getToolPowerVoltageTypeService(ruko_robot_namespace::ToolPowerType& type);
  int getToolPowerVoltageStatusService(double& value);
  int setToolPowerTypeAndDigitalIOTypeService(ruko_robot_namespace::ToolPowerType type,
                                              ruko_robot_namespace::ToolIOType io0, ruko_robot_namespace::ToolIOType io1,
                                              ruko_robot_namespace::ToolIOType io2, ruko_robot_namespace::ToolIOType io3);
  int setToolDigitalIOTypeService(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::ToolIOType type);
  int getToolAllDigitalIOStatusService(std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& statusVector);
  int getToolAllAIStatusService(std::vector<ruko_robot_namespace::RobotAnalogIODesc>& statusVector);
  int setToolDigitalIOStatusService(ruko_robot_namespace::ToolDigitalIOAddr addr, ruko_robot_namespace::IO_STATUS value);
  int getToolAllIOStatusService(RobotToolAllIOStatus& status);

 protected:
  void localDisconnectProcess() override;

 private:
  template <class Callback>
  struct CallbackSlot {
    mutable std::mutex mutex;
    Callback callback = nullptr;
    void* arg = nullptr;
    void set(Callback c, void* a) {
      std::lock_guard<std::mutex> lock(mutex);
      callback = c;
      arg = a;
    }
    std::pair<Callback, void*> get() const {
      std::lock_guard<std::mutex> lock(mutex);
      return {callback, arg};
    }
  };

  using PushHandler = void (RobotControlServices::*)(CommunicationResponse&);
  struct PushRoute {
    RobotCommandType type;
    PushHandler handler;
    bool keepsBody;
  };
  static const PushRoute* findPushRoute(int type);

  // Push handlers, on the receive thread, with the type's slot holding the push body.
  void realTimeRobotEventResponseService(CommunicationResponse& response);
  void realTimeJointStatusService(CommunicationResponse& response);
  void realTimeJointAngleService(CommunicationResponse& response);
  void realTimeEndSpeedService(CommunicationResponse& response);
  void realTimeMovepProgressNotifyService(CommunicationResponse& response);
  // The event intake: every robot event, pushed or made locally, ends here.
  void robotRealTimeEventProcess(const ruko_robot_namespace::RobotEventInfo& event);
  static void deliverEvent(void* self, const ruko_robot_namespace::RobotEventInfo& event);

  int sendBody(RobotCommandType type, const char* buildFailLine, bool built, char* body, int length);
  // Board and tool I/O: one list query, one single-entry worker and one setter per kind of entry (digital,
  // analog); each service above is one of these with its command type and lines.
  int getDigitalIOListService(RobotCommandType type, const char* decodeFailLine,
                              std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& statusVector);
  int getAnalogIOListService(RobotCommandType type, const char* decodeFailLine,
                             std::vector<ruko_robot_namespace::RobotAnalogIODesc>& statusVector);
  int setDigitalIOService(RobotCommandType type, const char* buildFailLine,
                          const std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& entries);
  int setAnalogIOService(RobotCommandType type, const char* buildFailLine,
                         const std::vector<ruko_robot_namespace::RobotAnalogIODesc>& entries);
  static int decodeReply(int decodeFailCode, const char* decodeFailLine, bool decoded, int serverCode);
  // The arm's calibration parameters handed to the kinematics, tried up to eight times.
  void fetchBaseParameters(std::chrono::milliseconds pause);
  // Waits for a done event newer than `mark`; a lost connection gives ErrCode_SocketDisconnect, the
  // deadline timeoutCode with timeoutLine.
  static int waitForDone(ruko::DoneSignal& signal, const ruko::DoneSignal::Mark& mark, std::chrono::milliseconds wait,
                         int* payload, const char* timeoutLine, int timeoutCode);
  // Holds `kind` across the request and the wait, so requests of one kind do not overlap.
  template <class Send>
  int requestAndWaitForDone(std::mutex& kind, ruko::DoneSignal& done, Send&& send, std::chrono::milliseconds wait,
                            int* payload, const char* timeoutLine, int timeoutCode);

  std::unique_ptr<CommunicationResponse[]> m_robotCommandResponseSet;
  std::unique_ptr<std::mutex[]> m_robotCommandMutexSet;

  CallbackSlot<RobotEventCallback> m_robotEventCallback;
  CallbackSlot<RealTimeEndSpeedCallback> m_robotEndSpeedCallback;
  CallbackSlot<RealTimeMovepStepNumNotifyCallback> m_movepProgressNotifyCallback;
  CallbackSlot<RealTimeJointStatusCallback> m_realTimeJointStatusCallback;
  CallbackSlot<RealTimeRoadPointCallback> m_realTimeRoadPointCallback;

  // Serialise the lifecycle requests of one kind; held across the request and the wait for its event.
  std::mutex m_startupDoneMutex;
  std::mutex m_shutDownDoneMutex;
  std::mutex m_robotHandShakeFinishMutex;
  std::atomic<int> m_robotStartupDoneResult{ruko_robot_namespace::ROBOT_SERVICE_READY};
  std::atomic<bool> m_robotHandShakeSuccFlag{false};

  std::mutex m_robotMoveControlMutex;
  std::mutex m_robotMoveControlStopMutex;
  std::mutex m_robotMoveControlPauseMutex;
  std::mutex m_robotMoveControlContinueMutex;
  std::atomic<int> m_moveFinishEventType{ruko_robot_namespace::RobotEventInvalid};

  ruko::RobotEventIntake m_intake;
  // Last member: its thread starts when everything it touches exists, and it is stopped first.
  std::unique_ptr<ruko::RobotEventDispatcher> m_dispatcher;

  static std::atomic<bool> S_setDhParam;
};

// ---- Template members ------------------------------------------------------------------------------------

template <class Build>
int RobotControlServices::callSet(RobotCommandType type, const char* buildFailLine, Build&& build) {
  char* body = nullptr;
  int length = 0;
  const bool built = build(&body, &length);
  return sendBody(type, buildFailLine, built, body, length);
}

template <class Decode>
int RobotControlServices::callGet(RobotCommandType type, int decodeFailCode, const char* decodeFailLine,
                                  Decode&& decode) {
  CommunicationResponse response;
  const int result = requestServiceGetResponseContentMode(type, nullptr, 0, response);
  if (result != ruko_robot_namespace::ErrnoSucc) {
    return result;
  }
  int serverCode = 0;
  const bool decoded = decode(response.m_textPtr, response.m_textLength, serverCode);
  return decodeReply(decodeFailCode, decodeFailLine, decoded, serverCode);
}

template <class Build, class Decode>
int RobotControlServices::callGet(RobotCommandType type, const char* buildFailLine, Build&& build,
                                  int decodeFailCode, const char* decodeFailLine, Decode&& decode) {
  char* body = nullptr;
  int length = 0;
  if (!build(&body, &length)) {
    delete[] body;
    return sendBody(type, buildFailLine, false, nullptr, 0);
  }
  CommunicationResponse response;
  const int result = requestServiceGetResponseContentMode(type, body, length, response);
  if (result != ruko_robot_namespace::ErrnoSucc) {
    return result;
  }
  int serverCode = 0;
  const bool decoded = decode(response.m_textPtr, response.m_textLength, serverCode);
  return decodeReply(decodeFailCode, decodeFailLine, decoded, serverCode);
}

#endif  // RUKO_TRANSPORT_ROBOTCONTROLSERVICES_H
