// Construction, ownership and the facade's own entry points: log output, error texts, login and connection,
// pushes and the forwarding of the application's callbacks.
#include "ruko_sdk/serviceinterface.h"

#include "facade/movep_index_map.h"
#include "facade/serviceinterface_impl.h"
#include "util/errorinfoservice.h"
#include "util/log.h"
#include "util/robotlogprint.h"

using namespace ruko_robot_namespace;

const char* ruko_sdk_version() { return RUKO_SDK_VERSION_STRING; }

// ---- Construction and destruction -----------------------------------------------------------------------

ServiceInterface::Impl::Impl()
    : m_robotBaseService(std::make_unique<RobotControlServices>()),
      m_robotIoService(std::make_unique<RobotIoService>(m_robotBaseService.get())),
      m_robotMoveService(std::make_unique<RobotMoveService>(m_robotBaseService.get())) {
  // Every slot exists before the first forwarding function can run.
  RobotControlServices& services = base();
  services.robotServiceRegisterRealTimeJointStatusCallbackService(&Impl::recvRealTimeJointStatusPushCallback, this);
  services.robotServiceRegisterRealTimeRoadPointCallbackService(&Impl::recvRealTimeWaypointPushCallback, this);
  services.robotServiceRegisterRobotEventInfoCallbackService(&Impl::recvRobotEventPushCallback, this);
  services.robotServiceRegisterRealTimeEndSpeedCallbackService(&Impl::recvRealTimeEndSpeedPushCallback, this);
  services.robotServiceRegisterMovepProgressNotifyCallbackService(&Impl::recvMovepProgressNotifyCallback, this);
}

ServiceInterface::Impl::~Impl() {
  // On a library thread inside one of this facade's callbacks: that callback's forwarding function must not
  // touch this object once the application returns.
  ruko::facade::CallbackScope::ownerDestroying(this);
  // The motion and I/O services send through the connection services; no library thread touches them.
  m_robotMoveService.reset();
  m_robotIoService.reset();
  // Before the slots, whatever the declaration order: destroying the connection services stops and joins
  // their threads (or, on one of those threads, detaches it), which are the only callers of the slots below.
  m_robotBaseService.reset();
}

ServiceInterface::ServiceInterface() {
  // Before anything that may log: the services' constructors and threads write through this instance.
  RobotLogPrint::createRobotLogPrint();
  m_impl = std::make_unique<Impl>();
}

ServiceInterface::~ServiceInterface() = default;

// ---- Log output and error text --------------------------------------------------------------------------

int ServiceInterface::robotServiceRegisterLogPrintCallback(RobotLogPrintCallback callback, void* arg) {
  // The constructor made the instance, so a registration through a facade is never lost.
  if (RobotLogPrint* log = RobotLogPrint::getRobotLogPrintPtr()) {
    log->registerRobotLogPrintCallback(callback, arg);
  }
  return ErrnoSucc;
}

std::string ServiceInterface::getErrDescByCode(RobotErrorCode code) { return ErrorInfoService::getErrDescByCode(code); }

// ---- Login and connection -------------------------------------------------------------------------------

int ServiceInterface::Impl::afterLogin(bool /*longForm*/) { return ErrnoSucc; }

int ServiceInterface::Impl::login(const char* host, int port, const char* userName, const char* password,
                                  RobotType& robotType, RobotDhPara& robotDhPara, bool longForm) {
  if (host == nullptr || userName == nullptr || password == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: robotServiceLogin: host, user name and password must not be null.");
    return ErrCode_ParamError;
  }
  const int result = base().loginService(host, port, userName, password, robotType, robotDhPara);
  if (result != ErrnoSucc) {
    return result;
  }
  return afterLogin(longForm);
}

int ServiceInterface::robotServiceLogin(const char* host, int port, const char* userName, const char* password,
                                        RobotType& robotType, RobotDhPara& robotDhPara) {
  return m_impl->login(host, port, userName, password, robotType, robotDhPara, true);
}

int ServiceInterface::robotServiceLogin(const char* host, int port, const char* userName, const char* password) {
  RobotType robotType{};
  RobotDhPara robotDhPara{};
  return m_impl->login(host, port, userName, password, robotType, robotDhPara, false);
}

int ServiceInterface::robotServiceLogout() { return m_impl->base().logoutService(); }

void ServiceInterface::robotServiceGetConnectStatus(bool& connected) {
  connected = m_impl->base().getCurrentConnectStatus();
}

int ServiceInterface::robotServiceRobotHandShake(bool isBlock) { return m_impl->base().robotHandShakeService(isBlock); }

// ---- Pushes and callbacks -------------------------------------------------------------------------------

int ServiceInterface::robotServiceSetRealTimeJointStatusPush(bool enable) {
  return m_impl->base().setRealTimeJointStatusPush(enable);
}

int ServiceInterface::robotServiceSetRealTimeRoadPointPush(bool enable) {
  return m_impl->base().setRealTimeJointAnglePush(enable);
}

int ServiceInterface::robotServiceSetRealTimeEndSpeedPush(bool enable) {
  return m_impl->base().setRealTimeEndSpeedPush(enable);
}

int ServiceInterface::robotServiceRegisterRealTimeJointStatusCallback(RealTimeJointStatusCallback callback, void* arg) {
  m_impl->base().setRealTimeJointStatusPush(callback != nullptr);
  m_impl->m_realTimeJointStatusCallback.set(callback, arg);
  return ErrnoSucc;
}

int ServiceInterface::robotServiceRegisterRealTimeRoadPointCallback(RealTimeRoadPointCallback callback, void* arg) {
  m_impl->base().setRealTimeJointAnglePush(callback != nullptr);
  m_impl->m_realTimeRoadPointCallback.set(callback, arg);
  return ErrnoSucc;
}

int ServiceInterface::robotServiceRegisterRealTimeEndSpeedCallback(RealTimeEndSpeedCallback callback, void* arg) {
  m_impl->base().setRealTimeEndSpeedPush(callback != nullptr);
  m_impl->m_robotEndSpeedCallback.set(callback, arg);
  return ErrnoSucc;
}

int ServiceInterface::robotServiceRegisterRobotEventInfoCallback(RobotEventCallback callback, void* arg) {
  m_impl->m_robotEventCallback.set(callback, arg);
  return ErrnoSucc;
}

int ServiceInterface::robotServiceRegisterMovepStepNumNotifyCallback(RealTimeMovepStepNumNotifyCallback callback,
                                                                    void* arg) {
  m_impl->m_movepProgressNotifyCallback.set(callback, arg);
  return ErrnoSucc;
}

// ---- Forwarding functions (library threads) -------------------------------------------------------------
// Each returns straight after the application's callback: if that callback destroyed the facade, nothing of
// it may be touched any more, and the slot has already told us so.

void ServiceInterface::Impl::recvRealTimeJointStatusPushCallback(const JointStatus* statuses, int count, void* arg) {
  auto* self = static_cast<Impl*>(arg);
  self->m_realTimeJointStatusCallback.call(
      self, [&](RealTimeJointStatusCallback callback, void* a) { callback(statuses, count, a); });
}

void ServiceInterface::Impl::recvRealTimeWaypointPushCallback(const wayPoint_S* wayPoint, void* arg) {
  auto* self = static_cast<Impl*>(arg);
  self->m_realTimeRoadPointCallback.call(self, [&](RealTimeRoadPointCallback callback, void* a) { callback(wayPoint, a); });
}

void ServiceInterface::Impl::recvRobotEventPushCallback(const RobotEventInfo* event, void* arg) {
  auto* self = static_cast<Impl*>(arg);
  // The application gets a copy of its own: it may keep the pointer for the length of the call whatever the
  // library does with the original.
  const RobotEventInfo copy = *event;
  self->m_robotEventCallback.call(self, [&](RobotEventCallback callback, void* a) { callback(&copy, a); });
}

void ServiceInterface::Impl::recvRealTimeEndSpeedPushCallback(double speed, void* arg) {
  auto* self = static_cast<Impl*>(arg);
  self->m_robotEndSpeedCallback.call(self, [&](RealTimeEndSpeedCallback callback, void* a) { callback(speed, a); });
}

void ServiceInterface::Impl::recvMovepProgressNotifyCallback(int stepNumber, void* arg) {
  auto* self = static_cast<Impl*>(arg);
  const int trackIndex = ruko::facade::reportedTrackIndex(stepNumber);
  self->m_movepProgressNotifyCallback.call(
      self, [&](RealTimeMovepStepNumNotifyCallback callback, void* a) { callback(trackIndex, a); });
}
