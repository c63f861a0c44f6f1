// Construction, ownership and the facade's own entry points (log output, error texts).
#include "ruko_sdk/serviceinterface.h"

#include "facade/serviceinterface_impl.h"
#include "util/errorinfoservice.h"
#include "util/robotlogprint.h"

using ruko_robot_namespace::RobotErrorCode;

const char* ruko_sdk_version() { return RUKO_SDK_VERSION_STRING; }

ServiceInterface::Impl::Impl() : m_robotBaseService(std::make_unique<RobotControlServices>()) {}

ServiceInterface::Impl::~Impl() {
  // First, whatever the declaration order: destroying the connection services stops and joins their
  // threads, which are the only callers of what the other members hold.
  m_robotBaseService.reset();
}

ServiceInterface::ServiceInterface() {
  // Before anything that may log: the services' constructors and threads write through this instance.
  RobotLogPrint::createRobotLogPrint();
  m_impl = std::make_unique<Impl>();
}

ServiceInterface::~ServiceInterface() = default;

int ServiceInterface::robotServiceRegisterLogPrintCallback(RobotLogPrintCallback callback, void* arg) {
  // The constructor made the instance, so a registration through a facade is never lost.
  if (RobotLogPrint* log = RobotLogPrint::getRobotLogPrintPtr()) {
    log->registerRobotLogPrintCallback(callback, arg);
  }
  return ruko_robot_namespace::ErrnoSucc;
}

std::string ServiceInterface::getErrDescByCode(RobotErrorCode code) { return ErrorInfoService::getErrDescByCode(code); }
