#ifndef RUKO_FACADE_SERVICEINTERFACE_IMPL_H
#define RUKO_FACADE_SERVICEINTERFACE_IMPL_H

#include <memory>

#include "facade/callback_slot.h"
#include "io/robotioservice.h"
#include "motion/robotmoveservice.h"
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

  RobotControlServices& base() { return *m_robotBaseService; }
  RobotIoService& io() { return *m_robotIoService; }
  RobotMoveService& move() { return *m_robotMoveService; }

  // Both login forms; the short one passes records of its own and drops them.
  int login(const char* host, int port, const char* userName, const char* password,
            ruko_robot_namespace::RobotType& robotType, ruko_robot_namespace::RobotDhPara& robotDhPara, bool longForm);
  // Runs after every successful login on this facade; its result is the login's result.
  int afterLogin(bool longForm);

  // Registered with the connection services, which call them on the receive thread (joint status, waypoint,
  // end speed, MoveP progress) or the event thread (events) with this object as `arg`.
  static void recvRealTimeJointStatusPushCallback(const ruko_robot_namespace::JointStatus* statuses, int count,
                                                  void* arg);
  static void recvRealTimeWaypointPushCallback(const ruko_robot_namespace::wayPoint_S* wayPoint, void* arg);
  static void recvRobotEventPushCallback(const ruko_robot_namespace::RobotEventInfo* event, void* arg);
  static void recvRealTimeEndSpeedPushCallback(double speed, void* arg);
  static void recvMovepProgressNotifyCallback(int stepNumber, void* arg);

  // The connection, request engine, login lifecycle and event intake. Its threads call back into what
  // this object owns, so it is destroyed first (see ~Impl).
  std::unique_ptr<RobotControlServices> m_robotBaseService;
  // Board and tool I/O; sends through m_robotBaseService, so it is made after it and destroyed before it.
  std::unique_ptr<RobotIoService> m_robotIoService;
  // The global move profile and the moves; sends through m_robotBaseService, so it is made after it and
  // destroyed before it.
  std::unique_ptr<RobotMoveService> m_robotMoveService;

  // The application's callbacks.
  ruko::facade::CallbackSlot<RealTimeJointStatusCallback> m_realTimeJointStatusCallback;
  ruko::facade::CallbackSlot<RealTimeRoadPointCallback> m_realTimeRoadPointCallback;
  ruko::facade::CallbackSlot<RobotEventCallback> m_robotEventCallback;
  ruko::facade::CallbackSlot<RealTimeEndSpeedCallback> m_robotEndSpeedCallback;
  ruko::facade::CallbackSlot<RealTimeMovepStepNumNotifyCallback> m_movepProgressNotifyCallback;
};

#endif  // RUKO_FACADE_SERVICEINTERFACE_IMPL_H
