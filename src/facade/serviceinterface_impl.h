#ifndef RUKO_FACADE_SERVICEINTERFACE_IMPL_H
#define RUKO_FACADE_SERVICEINTERFACE_IMPL_H

#include <memory>

#include "ruko_sdk/serviceinterface.h"
#include "transport/robotcontrolservices.h"

// Everything one facade owns. Only the library sees this type: the public class holds a pointer to it,
// so what is added here never changes the layout an application was compiled against.
//
// Hidden explicitly: a class nested in an exported class would otherwise be exported with it.
struct __attribute__((visibility("hidden"))) ServiceInterface::Impl {
  Impl();
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // The connection, request engine, login lifecycle and event intake. Its threads call back into what
  // this object owns, so it is destroyed first (see ~Impl).
  std::unique_ptr<RobotControlServices> m_robotBaseService;
};

#endif  // RUKO_FACADE_SERVICEINTERFACE_IMPL_H
