#include "sim_handlers.h"

#include <algorithm>
#include <algorithm>
#include <cmath>
#include <map>

#include "kinematics/robot_models.h"
#include "robotParameters.pb.h"
#include "robotcommon.pb.h"
#include "robotcommunication.pb.h"
#include "sensor.pb.h"

namespace ruko {
namespace sim {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace param = ruko::robot::paramerter;

namespace {

// Result codes of the controller.
constexpr int kFormatError = 1;
constexpr int kRefused = 2;

// Event types and service states the simulator sends.
constexpr int kEventPowerChanged = 11;
constexpr int kEventStartupPhase = 19;
constexpr int kEventStartupDone = 20;
constexpr int kEventShutdownDone = 21;
constexpr int kEventAtTarget = 22;
constexpr int kPushMovepProgress = 133;
constexpr int kEventControllerStateChanged = 25;
constexpr int kEventHandShakeSucc = 35;
constexpr int kEventStopDone = 44;
constexpr int kEventPauseDone = 45;
constexpr int kEventContinueDone = 46;
constexpr int kEventMoveEnterStopState = 1300;
constexpr int kStateStarting = 1;
constexpr int kStateWorking = 2;
constexpr int kStateClosing = 3;
constexpr int kStateClosed = 4;
constexpr int kStateNoRobot = 7;

struct Ctx {
  HandlerHost& host;
  SimState& s;
  const FakePacket& request;
  int code;  // the result code the reply carries
  Clock::time_point now;
  HandlerResult result;
  bool malformed = false;

  bool ok() const { return code == 0; }

  template <typename M>
  bool parse(M& message) {
    if (message.ParsePartialFromArray(request.body.data(), static_cast<int>(request.body.size())) &&
        message.IsInitialized()) {
      return true;
    }
    malformed = true;
    return false;
  }

  void after(std::chrono::milliseconds step, int eventType, int eventCode, const std::string& text,
             std::function<bool(SimState&)> change = nullptr) {
    FollowUp followUp;
    followUp.delay = host.duration(step);
    followUp.change = std::move(change);
    followUp.eventType = eventType;
    followUp.eventCode = eventCode;
    followUp.text = text;
    result.after.push_back(std::move(followUp));
  }
  std::chrono::milliseconds step(int n) const { return host.simOptions().lifecycleStep * n; }
};

using Handler = std::string (*)(Ctx&);

template <typename E>
void setError(E* error, int code) {
  error->set_errorcode(code);
  error->set_errormsg(code == 0 ? "" : "simulated failure");
}

std::string serialise(const google::protobuf::MessageLite& message) {
  // An incomplete message would make the library reject the reply anyway; never abort the process for it.
  if (!message.IsInitialized()) {
    return commonResultBody(kRefused, "simulator: incomplete reply");
  }
  return message.SerializeAsString();
}

std::string common(Ctx& c) { return commonResultBody(c.code); }

std::string generalInt(Ctx& c, int value) {
  comm::ProtoCommunicationGeneralData reply;
  reply.set_type(1);
  reply.add_property1(value);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string generalBool(Ctx& c, bool value) {
  comm::ProtoCommunicationGeneralData reply;
  reply.set_type(1);
  reply.add_property2(value);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

// A general-data request carrying one integer (property1) or one flag (property2).
bool requestInt(Ctx& c, int* value) {
  comm::ProtoCommunicationGeneralData request;
  if (!c.parse(request)) return false;
  if (request.property1_size() < 1) {
    c.malformed = true;
    return false;
  }
  *value = request.property1(0);
  return true;
}

bool requestBool(Ctx& c, bool* value) {
  comm::ProtoCommunicationGeneralData request;
  if (!c.parse(request)) return false;
  if (request.property2_size() < 1) {
    c.malformed = true;
    return false;
  }
  *value = request.property2(0);
  return true;
}

void fillRoadPoint(common::ProtoRoadPoint* point, const std::array<double, 6>& joints) {
  common::Pos* position = point->mutable_cartpos()->add_position();
  position->set_x(0);
  position->set_y(0);
  position->set_z(0);
  common::Ori* orientation = point->mutable_orientation();
  orientation->set_w(1);
  orientation->set_x(0);
  orientation->set_y(0);
  orientation->set_z(0);
  for (double joint : joints) point->add_jointpos(joint);
}

// ---- Pushes and joint reads ------------------------------------------------------------------------------------

std::string jointStatusBody(const SimState& s, Clock::time_point now, int code) {
  const std::array<double, 6> joints = currentJoints(s, now);
  common::ProtoRobotAllJointStatusResponse reply;
  reply.set_jointcount(6);
  for (double joint : joints) {
    common::ProtoJointStatus* status = reply.add_jointstatus();
    status->set_jointcurrenti(0);
    status->set_jointspeedmoto(0);
    status->set_jointposj(static_cast<float>(joint));
    status->set_jointcurvol(48.0f);
    status->set_jointcurtemp(30.0f);
    status->set_jointtagcurrenti(0);
    status->set_jointtagspeedmoto(0);
    status->set_jointtagposj(static_cast<float>(joint));
    status->set_jointerrornum(0);
  }
  setError(reply.add_errorinfo(), code);
  return serialise(reply);
}

std::string jointAngleBody(const SimState& s, Clock::time_point now, int code) {
  return jointAngleReply(currentJoints(s, now), code);
}

}  // namespace

std::string jointAngleReply(const std::array<double, 6>& joints, int code) {
  common::ProtoJointAngleResponse reply;
  common::ProtoJointAngle* angle = reply.mutable_jointangle();
  angle->set_joint1(joints[0]);
  angle->set_joint2(joints[1]);
  angle->set_joint3(joints[2]);
  angle->set_joint4(joints[3]);
  angle->set_joint5(joints[4]);
  angle->set_joint6(joints[5]);
  setError(reply.add_errorinfo(), code);
  return serialise(reply);
}

namespace {

std::string endSpeedBody(const SimState& s) {
  comm::ProtoCommunicationGeneralData reply;
  reply.set_type(1);
  reply.add_property1(s.arm.moving ? 100 : 0);  // end speed × 1000
  setError(reply.add_errorinfo(), 0);
  return serialise(reply);
}

// ---- Login and lifecycle -----------------------------------------------------------------------------------------

std::string login(Ctx& c) {
  comm::ProtoRequestLogin request;
  if (!c.parse(request)) return "";
  const Options& options = c.host.simOptions();
  int code = c.code;
  const bool checked = !options.user.empty() || !options.password.empty();
  if (code == 0 && checked && (request.username() != options.user || request.passwd() != options.password)) {
    code = kRefused;
  }
  const RobotLengthRow* row = findLengthRow(c.s.arm.model);
  const RobotLengthRow& lengths = row != nullptr ? *row : defaultLengthRow();
  common::ProtoResponseRobotDhParam reply;
  reply.set_robottype(c.s.arm.model);
  common::DhParam* dh = reply.mutable_dhparam();
  dh->set_a3(lengths.a2);
  dh->set_a4(lengths.a3);
  dh->set_d1(lengths.d1);
  dh->set_d2(lengths.d2);
  dh->set_d5(lengths.d5);
  dh->set_d6(lengths.d6);
  setError(reply.mutable_errorinfo(), code);
  c.result.loggedIn = code == 0;
  return serialise(reply);
}

std::string startup(Ctx& c) {
  comm::ProtoCommunicationRobotStartupProfile request;
  if (!c.parse(request) || !c.ok()) return common(c);
  c.s.tcpParam = request.tcpparam().SerializeAsString();
  c.s.arm.collisionClass = request.collisionclass();
  if (!c.s.arm.armAttached) {
    c.after(c.step(1), kEventStartupDone, kStateNoRobot, "no robot");
    return common(c);
  }
  c.s.arm.serviceState = kStateStarting;
  c.after(c.step(1), kEventPowerChanged, 1, "power on", [](SimState& s) {
    s.arm.powerOn = true;
    return true;
  });
  c.after(c.step(2), kEventStartupPhase, 1, "release brake", [](SimState& s) {
    s.arm.brakeReleased = true;
    return true;
  });
  c.after(c.step(3), kEventStartupDone, kStateWorking, "startup done", [](SimState& s) {
    s.arm.serviceState = kStateWorking;
    return true;
  });
  return common(c);
}

std::string shutdown(Ctx& c) {
  if (!c.ok()) return common(c);
  c.s.arm.serviceState = kStateClosing;
  c.after(c.step(1), kEventPowerChanged, 0, "power off", [](SimState& s) {
    s.arm.powerOn = false;
    s.arm.brakeReleased = false;
    s.arm.moving = false;
    ++s.moveGeneration;
    return true;
  });
  c.after(c.step(2), kEventShutdownDone, 0, "shutdown done", [](SimState& s) {
    s.arm.serviceState = kStateClosed;
    return true;
  });
  return common(c);
}

std::string handShake(Ctx& c) {
  if (c.ok()) c.after(c.step(1), kEventHandShakeSucc, 0, "handshake succeeded");
  return common(c);
}

std::string power(Ctx& c) {
  bool on = false;
  if (!requestBool(c, &on) || !c.ok()) return common(c);
  c.after(c.step(1), kEventPowerChanged, on ? 1 : 0, on ? "power on" : "power off", [on](SimState& s) {
    s.arm.powerOn = on;
    if (!on) s.arm.brakeReleased = false;
    return true;
  });
  return common(c);
}

std::string releaseBrake(Ctx& c) {
  if (!c.ok()) return common(c);
  c.after(c.step(1), kEventControllerStateChanged, c.s.arm.serviceState, "brake released", [](SimState& s) {
    s.arm.brakeReleased = true;
    return true;
  });
  return common(c);
}

// ---- Moves and motion control ----------------------------------------------------------------------------------

void beginMove(Ctx& c, const std::array<double, 6>& target, std::chrono::nanoseconds time) {
  SimState& s = c.s;
  s.arm.joints = currentJoints(s, c.now);
  s.moveStart = s.arm.joints;
  s.moveTarget = target;
  s.moveBegan = c.now;
  s.moveLeft = time;
  s.arm.moving = true;
  s.arm.robotState = 1;
  const uint64_t generation = ++s.moveGeneration;
  FollowUp done;
  done.delay = time;
  done.change = [generation](SimState& state) {
    if (state.moveGeneration != generation) return false;
    state.arm.joints = state.moveTarget;
    state.arm.moving = false;
    state.arm.robotState = 0;
    state.moveLeft = std::chrono::nanoseconds(0);
    return true;
  };
  done.eventType = kEventAtTarget;
  done.text = "at track target position";
  c.result.after.push_back(std::move(done));
}

// Time for a distance under a trapezoid profile: accelerate, cruise, brake; a triangle when too short.
double trapezoidSeconds(double distance, double velocity, double acceleration) {
  if (!(distance > 0.0)) return 0.0;
  const double v = velocity > 0.0 ? velocity : 1.0;
  const double a = acceleration > 0.0 ? acceleration : 1.0;
  if (distance >= v * v / a) return distance / v + v / a;
  return 2.0 * std::sqrt(distance / a);
}

double firstOr(const google::protobuf::RepeatedField<double>& values, int i, double fallback) {
  return i < values.size() ? values.Get(i) : fallback;
}

// How long a move takes: joint moves from each joint's distance and limits (the slowest joint decides),
// linear and track moves from the path through their waypoints and the linear limits; never shorter than
// the configured move time.
std::chrono::milliseconds moveDuration(const common::RobotMove& request, const std::array<double, 6>& start,
                                       const std::array<double, 6>& target, std::chrono::milliseconds floor) {
  const common::RobotMoveProfile& profile = request.move_profile();
  double seconds = 0.0;
  if (profile.movemode() == ruko::robot::movecondition::MODEJ) {
    for (int i = 0; i < 6; ++i) {
      const double distance = std::fabs(target[static_cast<size_t>(i)] - start[static_cast<size_t>(i)]);
      seconds = std::max(seconds, trapezoidSeconds(distance, firstOr(profile.maxvelc().jointpara(), i, 1.0),
                                                   firstOr(profile.maxacc().jointpara(), i, 1.0)));
    }
  } else {
    double length = 0.0;
    for (int k = 1; k < request.roadpointvector_size(); ++k) {
      const auto& a = request.roadpointvector(k - 1).cartpos();
      const auto& b = request.roadpointvector(k).cartpos();
      if (a.position_size() == 0 || b.position_size() == 0) continue;
      const double dx = b.position(0).x() - a.position(0).x();
      const double dy = b.position(0).y() - a.position(0).y();
      const double dz = b.position(0).z() - a.position(0).z();
      length += std::sqrt(dx * dx + dy * dy + dz * dz);
    }
    seconds = trapezoidSeconds(length, firstOr(profile.maxvelc().cartpara(), 0, 0.25),
                               firstOr(profile.maxacc().cartpara(), 0, 0.5));
  }
  // Bounded, so that a hostile limit (0, NaN, tiny) cannot make a move last for ever.
  if (!(seconds >= 0.0)) seconds = 0.0;
  seconds = std::min(seconds, 60.0);
  return std::max(floor, std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000.0)));
}

std::string move(Ctx& c) {
  common::RobotMove request;
  if (!c.parse(request) || !c.ok()) return common(c);
  if (request.roadpointvector_size() == 0 || !c.s.arm.powerOn) {
    c.code = kRefused;
    return common(c);
  }
  const std::array<double, 6> start = currentJoints(c.s, c.now);
  std::array<double, 6> target = start;
  const common::ProtoRoadPoint& last = request.roadpointvector(request.roadpointvector_size() - 1);
  if (last.jointpos_size() == 6) {
    for (int i = 0; i < 6; ++i) target[static_cast<size_t>(i)] = last.jointpos(i);
  }
  const std::chrono::nanoseconds time =
      c.host.duration(moveDuration(request, start, target, c.host.simOptions().moveTime));
  beginMove(c, target, time);
  // A track reports its progress: the index of each waypoint as the arm passes it.
  if (request.move_profile().movemode() == ruko::robot::movecondition::MODEP) {
    const uint64_t generation = c.s.moveGeneration;
    const int points = request.roadpointvector_size();
    for (int k = 0; k < points; ++k) {
      FollowUp progress;
      progress.delay = time * k / points;
      progress.change = [generation](SimState& state) { return state.moveGeneration == generation; };
      progress.pushType = kPushMovepProgress;
      comm::ProtoCommunicationGeneralData body;
      body.set_type(0);
      body.add_property1(k);
      setError(body.add_errorinfo(), 0);
      progress.pushBody = serialise(body);
      c.result.after.push_back(std::move(progress));
    }
  }
  return common(c);
}

// Offline track and identification trajectory start: a move that ends where it began.
std::string trajectoryStart(Ctx& c) {
  if (c.request.type == 78) {
    comm::ProtoCommunicationOfflineExcitTraj request;
    if (!c.parse(request)) return common(c);
  }
  if (!c.ok()) return common(c);
  beginMove(c, currentJoints(c.s, c.now), c.host.duration(c.host.simOptions().moveTime));
  return common(c);
}

std::string moveControl(Ctx& c) {
  common::ProtoRobotMoveFuncResult reply;
  reply.set_ret(1);  // call_robot_motion_func_succ_wait_done
  setError(reply.mutable_errorinfo(), c.code);
  if (!c.ok()) return serialise(reply);
  SimState& s = c.s;
  const int type = c.request.type;
  const bool wasMoving = s.arm.moving || s.arm.robotState == 2;
  if (type == 89 || type == 90 || type == 134) {
    s.arm.joints = currentJoints(s, c.now);
    s.arm.moving = false;
    s.arm.robotState = 0;
    s.moveLeft = std::chrono::nanoseconds(0);
    ++s.moveGeneration;
    c.after(std::chrono::milliseconds(0), kEventStopDone, 0, "stop done");
    if (wasMoving) c.after(std::chrono::milliseconds(0), kEventMoveEnterStopState, 0, "move stopped");
  } else if (type == 91) {
    if (s.arm.moving) {
      // Where the arm is first: the interpolation reads the time left, which changes next.
      s.arm.joints = currentJoints(s, c.now);
      s.moveLeft -= std::chrono::duration_cast<std::chrono::nanoseconds>(c.now - s.moveBegan);
      if (s.moveLeft.count() < 0) s.moveLeft = std::chrono::nanoseconds(0);
      s.moveStart = s.arm.joints;
      s.arm.moving = false;
      s.arm.robotState = 2;
      ++s.moveGeneration;
    }
    c.after(std::chrono::milliseconds(0), kEventPauseDone, 0, "pause done");
  } else {
    c.after(std::chrono::milliseconds(0), kEventContinueDone, 0, "continue done");
    if (s.arm.robotState == 2) {
      const std::chrono::nanoseconds left = s.moveLeft;
      beginMove(c, s.moveTarget, left);
      s.arm.robotState = 3;
    }
  }
  // The done event follows the reply by a short step, as on a real controller.
  for (FollowUp& followUp : c.result.after) {
    if (followUp.eventType != kEventAtTarget) followUp.delay = c.host.duration(std::chrono::milliseconds(20));
  }
  return serialise(reply);
}

// ---- Status and configuration ------------------------------------------------------------------------------------

std::string diagnosis(Ctx& c) {
  const ArmState& arm = c.s.arm;
  comm::ProtoCommunicationRobotDiagnosisInfo reply;
  reply.set_num(1);
  comm::RobotDiagnosis* d = reply.add_robotdiagnosis();
  d->set_armcanbusstatus(0);
  d->set_armpowercurrent(arm.powerOn ? 1.2f : 0.0f);
  d->set_armpowervoltage(arm.powerOn ? 48.0f : 0.0f);
  d->set_armpowerstatus(arm.powerOn);
  d->set_contorllertemp(35);
  d->set_contorllerhumidity(40);
  d->set_remotehalt(false);
  d->set_softemergency(false);
  d->set_remoteemergency(false);
  d->set_robotcollision(false);
  d->set_forcecontrolmode(false);
  d->set_brakestuats(!arm.brakeReleased);
  d->set_robotendspeed(arm.moving ? 0.1f : 0.0f);
  d->set_robotmaxacc(0);
  d->set_orpestatus(false);
  d->set_enablereadpose(false);
  d->set_robotmountingposechanged(false);
  d->set_encodererrorstatus(false);
  d->set_staticcollisiondetect(false);
  d->set_jointcollisiondetect(0);
  d->set_encoderlineserror(false);
  d->set_jointerrorstatus(false);
  d->set_singularityoverspeedalarm(false);
  d->set_robotcurrentalarm(false);
  d->set_toolioerror(0);
  d->set_robotmountingposewarning(false);
  d->set_mactargetposbuffersize(0);
  d->set_mactargetposdatasize(0);
  d->set_macdatainterruptwarning(0);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string version(Ctx& c) {
  comm::ProtoCommunicationEthernetDeviceNameResponse reply;
  reply.set_name(c.s.arm.version);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string ethernetName(Ctx& c) {
  comm::ProtoCommunicationEthernetDeviceNameResponse reply;
  reply.set_name("eth0");
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setTcpParam(Ctx& c) {
  comm::RobotTcpParam request;
  if (c.parse(request) && c.ok()) c.s.tcpParam = request.SerializeAsString();
  return common(c);
}

std::string getTcpParam(Ctx& c) {
  common::ProtoResponseRobotTcpParam reply;
  reply.add_tcpparam()->ParseFromString(c.s.tcpParam);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setToolDynamics(Ctx& c) {
  common::ToolParam request;
  if (!c.parse(request)) return common(c);
  if (request.tooldynamicsparam_size() < 1) {
    c.malformed = true;
    return common(c);
  }
  if (c.ok()) c.s.toolDynamics = request.tooldynamicsparam(0).SerializeAsString();
  return common(c);
}

std::string getToolDynamics(Ctx& c) {
  common::ToolParam reply;
  reply.add_tooldynamicsparam()->ParseFromString(c.s.toolDynamics);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string gravity(Ctx& c) {
  common::ToolDynamicsParam tool;
  tool.ParseFromString(c.s.toolDynamics);
  common::ProtoResponseRobotGravityComponent reply;
  comm::RobotGravityComponent* g = reply.add_gravitycomponent();
  g->set_x(0);
  g->set_y(0);
  g->set_z(static_cast<float>(-9.81 * tool.payload()));
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setCollision(Ctx& c) {
  int grade = 0;
  if (requestInt(c, &grade) && c.ok()) c.s.arm.collisionClass = grade;
  return common(c);
}

std::string collisionCurrent(Ctx& c) {
  common::ProtoResponseRobotCollisionCurrent reply;
  comm::RobotCollisionCurrent* current = reply.add_collisioncurrent();
  for (int i = 0; i < 6; ++i) current->add_jointcollisioncurrent(0);
  current->set_collisionclass(static_cast<uint32_t>(c.s.arm.collisionClass));
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setWorkMode(Ctx& c) {
  int mode = 0;
  if (requestInt(c, &mode) && c.ok()) c.s.arm.workMode = mode;
  return common(c);
}

std::string devInfo(Ctx& c) {
  const RobotModelInfo* model = findRobotModel(c.s.arm.model);
  common::ProtoResponseRobotDevInfo reply;
  comm::OurRobotDevInfo* info = reply.add_devinfo();
  info->set_type(static_cast<uint32_t>(c.s.arm.model));
  info->set_revision("V4.1");  // a board that supports the safety configuration
  info->set_manuid("ruko-sim");
  info->set_jointtype("sim");
  for (int i = 0; i < 6; ++i) {
    comm::JointVersion* joint = info->add_jointver();
    joint->set_hwversion("1.0");
    joint->set_swversion("1.0");
    info->add_jointproductid("sim-joint-" + std::to_string(i + 1));
  }
  info->set_desc(model != nullptr ? model->name : "");
  info->set_slavedevversion("1.0");
  info->set_extendioboardversion("1.0");
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setSafetyConfig(Ctx& c) {
  common::ProtoResponseRobotSafetyConfig request;
  if (!c.parse(request)) return common(c);
  if (request.safetyconfig_size() < 1 || request.safetyconfig(0).robotreducedconfigjointspeed_size() != 6) {
    c.malformed = true;
    return common(c);
  }
  if (c.ok()) c.s.safetyConfig = request.safetyconfig(0).SerializeAsString();
  return common(c);
}

std::string getSafetyConfig(Ctx& c) {
  common::ProtoResponseRobotSafetyConfig reply;
  reply.add_safetyconfig()->ParseFromString(c.s.safetyConfig);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string orpeStatus(Ctx& c) {
  common::ProtoResponseOrpeSafetyStatus reply;
  common::ProtoOrpeSafetyStatus* status = reply.add_safetystatus();
  status->set_orpepause(c.s.orpePause);
  status->set_orpestop(c.s.orpeStop);
  for (uint32_t error : c.s.orpeError) status->add_orpeerror(error);
  status->set_systememergencystop(c.s.systemEmergencyStop);
  status->set_reducedmodeerror(c.s.reducedModeError);
  status->set_safetyguardresetsucc(c.s.safetyguardResetSucc);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string safetyIo(Ctx& c) {
  comm::protoSafeCommunicationParam request;
  if (!c.parse(request)) return common(c);
  if (request.param_size() < 1) {
    c.malformed = true;
    return common(c);
  }
  if (!c.ok()) return common(c);
  const int value = static_cast<int>(request.param(0));
  switch (c.request.type) {
    case 64: c.s.orpePause = value; break;
    case 65: c.s.orpeStop = value; break;
    case 66:
      for (int i = 0; i < request.param_size() && i < 16; ++i) {
        c.s.orpeError[static_cast<size_t>(i)] = request.param(i);
      }
      break;
    case 67: c.s.systemEmergencyStop = value; break;
    case 68: c.s.reducedModeError = value; break;
    default: c.s.safetyguardResetSucc = value; break;
  }
  return common(c);
}

std::string jointStatus(Ctx& c) { return jointStatusBody(c.s, c.now, c.code); }
std::string jointAngle(Ctx& c) { return jointAngleBody(c.s, c.now, c.code); }
std::string robotState(Ctx& c) { return generalInt(c, c.s.arm.robotState); }
std::string workMode(Ctx& c) { return generalInt(c, c.s.arm.workMode); }
std::string realRobotExist(Ctx& c) { return generalBool(c, c.s.arm.armAttached); }
std::string joint6Flag(Ctx& c) { return generalBool(c, c.s.arm.joint6Rot360); }
std::string joint1Flag(Ctx& c) { return generalBool(c, c.s.arm.joint1Rot360); }
std::string firmwareResult(Ctx& c) { return generalBool(c, true); }

std::string jointCommonData(Ctx& c) {
  comm::ProtoJointCommonDataResponse reply;
  for (const auto& joint : c.s.jointCommon) {
    comm::ProtoJointCommonData* data = reply.add_jointcommondata();
    const google::protobuf::Reflection* reflection = data->GetReflection();
    for (int field = 1; field <= 25; ++field) {
      reflection->SetInt32(data, data->GetDescriptor()->FindFieldByNumber(field),
                           joint[static_cast<size_t>(field - 1)]);
    }
  }
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

// Integer list {index, joint, value}: index 0 to 10 names the tuning values JointCurP to JointPosDS (fields
// 15 to 25), joint 0 to 5.
std::string setJointCommonData(Ctx& c) {
  comm::ProtoCommunicationIntVector request;
  if (!c.parse(request)) return common(c);
  if (request.value_size() != 3) {
    c.malformed = true;
    return common(c);
  }
  const int index = request.value(0);
  const int joint = request.value(1);
  if (index < 0 || index > 10 || joint < 0 || joint > 5) {
    c.code = kRefused;
    return common(c);
  }
  if (c.ok()) c.s.jointCommon[static_cast<size_t>(joint)][static_cast<size_t>(14 + index)] = request.value(2);
  return common(c);
}

std::string dynIdentify(Ctx& c) {
  comm::ProtoCommunicationDynIdentifyResults reply;
  reply.set_temp(0);
  for (int value : c.s.dynIdentify) reply.add_param(value);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string setBaseParameter(Ctx& c) {
  bool parsed = false;
  std::string stored;
  if (c.s.versionCode > 4005000) {
    param::ProtoRobotBaseParameter request;
    parsed = c.parse(request);
    stored = request.SerializeAsString();
  } else {
    param::ProtoRobotBaseParameter_legacy request;
    parsed = c.parse(request);
    stored = request.SerializeAsString();
  }
  if (parsed && c.ok()) c.s.baseParameter = stored;
  return common(c);
}

std::string getBaseParameter(Ctx& c) {
  if (c.s.versionCode > 4005000) {
    param::ProtoRobotBaseParameterResponse reply;
    reply.mutable_baseparameter()->ParseFromString(c.s.baseParameter);
    setError(reply.mutable_errorinfo(), c.code);
    return serialise(reply);
  }
  param::ProtoRobotBaseParameterResponse_legacy reply;
  reply.mutable_baseparameter()->ParseFromString(c.s.baseParameter);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setJointsParameter(Ctx& c) {
  param::ProtoRobotJointsParameter request;
  if (c.parse(request) && c.ok()) c.s.jointsParameter = request.SerializeAsString();
  return common(c);
}

std::string getJointsParameter(Ctx& c) {
  param::ProtoRobotJointsParameterResponse reply;
  reply.mutable_jointsparameter()->ParseFromString(c.s.jointsParameter);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

// ---- Value lists ---------------------------------------------------------------------------------------------------

// Set type -> (get type that reports it, list length).
const std::map<int, std::pair<int, int>>& doubleListSetters() {
  static const std::map<int, std::pair<int, int>> table{
      {111, {119, 13}}, {142, {141, 14}}, {146, {145, 18}}, {148, {147, 2}}};
  return table;
}

std::string setDoubleList(Ctx& c) {
  comm::ProtoCommunicationDoubleVector request;
  if (!c.parse(request)) return common(c);
  const auto& entry = doubleListSetters().at(c.request.type);
  if (request.value_size() != entry.second) {
    c.malformed = true;
    return common(c);
  }
  if (c.ok()) c.s.doubleLists[entry.first].assign(request.value().begin(), request.value().end());
  return common(c);
}

std::string getDoubleList(Ctx& c) {
  comm::ProtoCommunicationDoubleVectorResponse reply;
  const std::vector<double>& values = c.s.doubleLists[c.request.type];
  reply.set_num(static_cast<int>(values.size()));
  for (double value : values) reply.add_value(value);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string getIntList(Ctx& c) {
  comm::ProtoCommunicationIntVectorResponse reply;
  const std::vector<int>& values = c.s.intLists[c.request.type];
  reply.set_num(static_cast<int>(values.size()));
  for (int value : values) reply.add_value(value);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string setRecognition(Ctx& c) {
  comm::ProtoCommunicationIntVector request;
  if (!c.parse(request)) return common(c);
  if (request.value_size() < 2 || request.value(1) != request.value_size() - 2) {
    c.malformed = true;
    return common(c);
  }
  if (c.ok()) c.s.recognition[request.value(0)].assign(request.value().begin() + 2, request.value().end());
  return common(c);
}

std::string getRecognition(Ctx& c) {
  comm::ProtoCommunicationIntVector request;
  if (!c.parse(request)) return common(c);
  if (request.value_size() < 1) {
    c.malformed = true;
    return common(c);
  }
  const std::vector<int>& bytes = c.s.recognition[request.value(0)];
  comm::ProtoCommunicationIntVectorResponse reply;
  reply.add_value(request.value(0));
  reply.add_value(static_cast<int>(bytes.size()));
  for (int value : bytes) reply.add_value(value);
  reply.set_num(reply.value_size());
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

// ---- Seam tracking, waypoints, force sensor --------------------------------------------------------------------

std::string setSeamTrack(Ctx& c) {
  common::ProtoSeamTrack_t request;
  if (c.parse(request) && c.ok()) c.s.seamTrack = request.SerializeAsString();
  return common(c);
}

std::string getSeamTrack(Ctx& c) {
  common::ProtoSeamTrackResponse_t reply;
  common::ProtoSeamTrack_t* track = reply.mutable_seamtrack();
  if (c.s.seamTrack.empty()) {
    const std::array<double, 6> joints = currentJoints(c.s, c.now);
    track->set_trackenable(0);
    fillRoadPoint(track->mutable_currentroadpoint(), joints);
    fillRoadPoint(track->mutable_nextroadpoint(), joints);
    track->set_timeinterval(0);
    track->set_maxvel(0);
    track->set_maxacc(0);
    track->set_parachanged(0);
  } else {
    track->ParseFromString(c.s.seamTrack);
  }
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

std::string correctedWaypoint(Ctx& c) {
  common::ProtoRoadPoint request;
  if (!c.parse(request)) return common(c);
  common::ProtoRoadPointResponse reply;
  *reply.mutable_waypoint() = request;
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string forceSensorData(Ctx& c) {
  common::ProtoForceSensorDataResponse reply;
  common::ProtoForceSensorData* data = reply.mutable_forcesensordata();
  data->set_data1(0);
  data->set_data2(0);
  data->set_data3(0);
  data->set_data4(0);
  data->set_data5(0);
  data->set_data6(0);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string calibToolAndSensor(Ctx& c) {
  peripheral::ProtoFtSensorCalibParam request;
  if (!c.parse(request)) return common(c);
  peripheral::ProtoResponseFtSensorCalibResult reply;
  peripheral::ProtoFtSensorCalibResult* result = reply.add_ftsensorcalibresult();
  for (int i = 0; i < 3; ++i) {
    result->mutable_wrench()->add_force(0);
    result->mutable_wrench()->add_torque(0);
    result->add_centroid(0);
    result->add_angle(0);
  }
  result->set_mass(0);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

// ---- Interface board and tool I/O -------------------------------------------------------------------------------

template <typename Values>
std::string digitalAll(Ctx& c, const Values& values) {
  comm::ProtoCommunicationRobotDiagnosisIOData reply;
  reply.set_type(0);
  for (size_t i = 0; i < values.size(); ++i) {
    comm::ProtoRobotDiagnosisIODesc* io = reply.add_iodesc();
    io->set_addr(static_cast<uint32_t>(i));
    io->set_type(0);
    io->set_value(values[i]);
  }
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string analogAll(Ctx& c, const std::vector<float>& values) {
  comm::ProtoCommunicationRobotAnalogIOData reply;
  reply.set_type(0);
  for (size_t i = 0; i < values.size(); ++i) {
    comm::ProtoRobotAnalogIODesc* io = reply.add_iodesc();
    io->set_addr(static_cast<uint32_t>(i));
    io->set_type(0);
    io->set_value(values[i]);
  }
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string boardDI(Ctx& c) { return digitalAll(c, c.s.io.boardDI); }
std::string boardDO(Ctx& c) { return digitalAll(c, c.s.io.boardDO); }
std::string boardAI(Ctx& c) { return analogAll(c, c.s.io.boardAI); }
std::string boardAO(Ctx& c) { return analogAll(c, c.s.io.boardAO); }

// A digital request's first entry, or nothing (malformed).
const comm::ProtoRobotDiagnosisIODesc* firstDigital(Ctx& c, comm::ProtoCommunicationRobotDiagnosisIOData& request) {
  if (!c.parse(request)) return nullptr;
  if (request.iodesc_size() < 1) {
    c.malformed = true;
    return nullptr;
  }
  return &request.iodesc(0);
}

const comm::ProtoRobotAnalogIODesc* firstAnalog(Ctx& c, comm::ProtoCommunicationRobotAnalogIOData& request) {
  if (!c.parse(request)) return nullptr;
  if (request.iodesc_size() < 1) {
    c.malformed = true;
    return nullptr;
  }
  return &request.iodesc(0);
}

std::string oneDigital(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  const comm::ProtoRobotDiagnosisIODesc* entry = firstDigital(c, request);
  if (entry == nullptr) return common(c);
  const std::vector<uint32_t>& values = c.request.type == 46 ? c.s.io.boardDI : c.s.io.boardDO;
  if (entry->addr() >= values.size()) c.code = kRefused;
  comm::ProtoCommunicationRobotDiagnosisIOData reply;
  reply.set_type(0);
  comm::ProtoRobotDiagnosisIODesc* io = reply.add_iodesc();
  io->set_addr(entry->addr());
  io->set_type(0);
  io->set_value(entry->addr() < values.size() ? values[entry->addr()] : 0);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string oneAnalog(Ctx& c) {
  comm::ProtoCommunicationRobotAnalogIOData request;
  const comm::ProtoRobotAnalogIODesc* entry = firstAnalog(c, request);
  if (entry == nullptr) return common(c);
  const std::vector<float>& values = c.request.type == 48 ? c.s.io.boardAI : c.s.io.boardAO;
  if (entry->addr() >= values.size()) c.code = kRefused;
  comm::ProtoCommunicationRobotAnalogIOData reply;
  reply.set_type(0);
  comm::ProtoRobotAnalogIODesc* io = reply.add_iodesc();
  io->set_addr(entry->addr());
  io->set_type(0);
  io->set_value(entry->addr() < values.size() ? values[entry->addr()] : 0.0f);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string setBoardDO(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  const comm::ProtoRobotDiagnosisIODesc* entry = firstDigital(c, request);
  if (entry == nullptr) return common(c);
  if (entry->addr() >= c.s.io.boardDO.size()) c.code = kRefused;
  if (c.ok()) c.s.io.boardDO[entry->addr()] = entry->value() != 0 ? 1 : 0;
  return common(c);
}

std::string setBoardAO(Ctx& c) {
  comm::ProtoCommunicationRobotAnalogIOData request;
  const comm::ProtoRobotAnalogIODesc* entry = firstAnalog(c, request);
  if (entry == nullptr) return common(c);
  if (entry->addr() >= c.s.io.boardAO.size()) c.code = kRefused;
  if (c.ok()) c.s.io.boardAO[entry->addr()] = entry->value();
  return common(c);
}

// A change of the tool's supply or pin directions, shown as IoState asks: now, after some reads, or never.
void changeTool(SimState& s, int powerType, const std::array<uint32_t, 4>& pinOutput) {
  if (s.io.toolChangeSticky) return;
  if (s.io.toolChangeLag <= 0) {
    s.toolChangePending = false;
    s.io.toolPowerType = powerType;
    s.io.toolPinOutput = pinOutput;
    return;
  }
  s.toolChangePending = true;
  s.pendingPowerType = powerType;
  s.pendingPinOutput = pinOutput;
  s.pendingReadsLeft = s.io.toolChangeLag;
}

// The configuration a change would start from: the pending one, if any, so that changes do not undo each other.
void toolTarget(const SimState& s, int* powerType, std::array<uint32_t, 4>* pinOutput) {
  *powerType = s.toolChangePending ? s.pendingPowerType : s.io.toolPowerType;
  *pinOutput = s.toolChangePending ? s.pendingPinOutput : s.io.toolPinOutput;
}

// Every read of the tool's configuration passes here before it is answered.
void readTool(SimState& s) {
  if (!s.toolChangePending) return;
  if (s.pendingReadsLeft > 0) {
    --s.pendingReadsLeft;
    return;
  }
  s.toolChangePending = false;
  s.io.toolPowerType = s.pendingPowerType;
  s.io.toolPinOutput = s.pendingPinOutput;
}

std::string oneDigitalReply(Ctx& c, uint32_t value) {
  comm::ProtoCommunicationRobotDiagnosisIOData reply;
  reply.set_type(0);
  comm::ProtoRobotDiagnosisIODesc* io = reply.add_iodesc();
  io->set_addr(0);
  io->set_type(0);
  io->set_value(value);
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string toolPowerType(Ctx& c) {
  readTool(c.s);
  return oneDigitalReply(c, static_cast<uint32_t>(c.s.io.toolPowerType));
}

std::string toolPowerVoltage(Ctx& c) {
  static const uint32_t kVolts[] = {0, 12, 24};
  readTool(c.s);
  const int type = c.s.io.toolPowerType;
  return oneDigitalReply(c, type >= 0 && type <= 2 ? kVolts[type] : 0);
}

std::string setToolPowerType(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  const comm::ProtoRobotDiagnosisIODesc* entry = firstDigital(c, request);
  if (entry == nullptr) return common(c);
  if (entry->value() > 2) c.code = kRefused;
  if (c.ok()) {
    int powerType = 0;
    std::array<uint32_t, 4> pins{};
    toolTarget(c.s, &powerType, &pins);
    changeTool(c.s, static_cast<int>(entry->value()), pins);
  }
  return common(c);
}

std::string setToolPowerAndPins(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  if (!c.parse(request)) return common(c);
  if (request.iodesc_size() != 5) {
    c.malformed = true;
    return common(c);
  }
  if (request.iodesc(0).value() > 2) c.code = kRefused;
  if (!c.ok()) return common(c);
  int powerType = 0;
  std::array<uint32_t, 4> pins{};
  toolTarget(c.s, &powerType, &pins);
  for (int i = 1; i < 5; ++i) {
    const comm::ProtoRobotDiagnosisIODesc& pin = request.iodesc(i);
    if (pin.addr() < 4) pins[pin.addr()] = pin.value() != 0 ? 1 : 0;
  }
  changeTool(c.s, static_cast<int>(request.iodesc(0).value()), pins);
  return common(c);
}

std::string setToolPinDirection(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  const comm::ProtoRobotDiagnosisIODesc* entry = firstDigital(c, request);
  if (entry == nullptr) return common(c);
  if (entry->addr() >= 4) c.code = kRefused;
  if (c.ok()) {
    int powerType = 0;
    std::array<uint32_t, 4> pins{};
    toolTarget(c.s, &powerType, &pins);
    pins[entry->addr()] = entry->value() != 0 ? 1 : 0;
    changeTool(c.s, powerType, pins);
  }
  return common(c);
}

std::string setToolPinLevel(Ctx& c) {
  comm::ProtoCommunicationRobotDiagnosisIOData request;
  const comm::ProtoRobotDiagnosisIODesc* entry = firstDigital(c, request);
  if (entry == nullptr) return common(c);
  if (entry->addr() >= 4) c.code = kRefused;
  if (c.ok()) c.s.io.toolPinLevel[entry->addr()] = entry->value() != 0 ? 1 : 0;
  return common(c);
}

std::string toolDigitalAll(Ctx& c) {
  readTool(c.s);
  comm::ProtoCommunicationRobotDiagnosisIOData reply;
  reply.set_type(0);
  const size_t listed = std::min<size_t>(c.s.io.toolPinsListed, 4);
  for (uint32_t pin = 0; pin < listed; ++pin) {
    comm::ProtoRobotDiagnosisIODesc* io = reply.add_iodesc();
    io->set_addr(pin);
    io->set_type(c.s.io.toolPinOutput[pin]);
    io->set_value(c.s.io.toolPinLevel[pin]);
  }
  setError(reply.add_errorinfo(), c.code);
  return serialise(reply);
}

std::string toolAnalogAll(Ctx& c) { return analogAll(c, c.s.io.toolAI); }

std::string toolAllIo(Ctx& c) {
  static const double kVolts[] = {0.0, 12.0, 24.0};
  readTool(c.s);
  comm::ProtoCommunicationToolAllIOStatusInfoResponse reply;
  comm::toolAllIOStatus* status = reply.mutable_tooliostatus();
  status->set_powertype(static_cast<uint32_t>(c.s.io.toolPowerType));
  status->set_systemvoltage(c.s.io.toolPowerType >= 0 && c.s.io.toolPowerType <= 2 ? kVolts[c.s.io.toolPowerType] : 0.0);
  status->set_systemtemperature(30.0);
  status->set_errorstatus(0);
  for (size_t pin = 0; pin < 4; ++pin) {
    comm::ToolDigitalStatus* digital = status->add_digitaliostatus();
    digital->set_iotype(c.s.io.toolPinOutput[pin]);
    digital->set_iodata(c.s.io.toolPinLevel[pin]);
  }
  for (size_t i = 0; i < 2; ++i) status->add_aidata(i < c.s.io.toolAI.size() ? c.s.io.toolAI[i] : 0.0f);
  setError(reply.mutable_errorinfo(), c.code);
  return serialise(reply);
}

// ---- Requests answered with the common result only -------------------------------------------------------------

// Checks that the body is the message the type carries; the simulator keeps nothing of it.
template <typename M>
std::string accept(Ctx& c) {
  M request;
  c.parse(request);
  return common(c);
}

std::string acceptEmpty(Ctx& c) { return common(c); }

std::string robotControl(Ctx& c) {
  int command = 0;
  if (requestInt(c, &command) && (command < 0 || command > 15)) c.code = kRefused;
  return common(c);
}

const std::map<int, Handler>& handlers() {
  using DoubleList = comm::ProtoCommunicationDoubleVector;
  using IntList = comm::ProtoCommunicationIntVector;
  static const std::map<int, Handler> table{
      {0, login},
      {6, jointStatus},
      {10, jointAngle},
      {15, diagnosis},
      {16, startup},
      {17, shutdown},
      {18, robotControl},
      {19, acceptEmpty},
      {20, power},
      {21, releaseBrake},
      {22, move},
      {23, accept<common::RobotTeachMove>},
      {24, acceptEmpty},
      {26, robotState},
      {27, setTcpParam},
      {28, getTcpParam},
      {29, setToolDynamics},
      {30, getToolDynamics},
      {33, setWorkMode},
      {34, workMode},
      {35, gravity},
      {36, collisionCurrent},
      {37, realRobotExist},
      {38, devInfo},
      {40, setCollision},
      {41, boardDI},
      {42, boardDO},
      {43, boardAI},
      {44, boardAO},
      {46, oneDigital},
      {47, oneDigital},
      {48, oneAnalog},
      {49, oneAnalog},
      {50, setBoardDO},
      {51, setBoardAO},
      {52, toolPowerType},
      {53, setToolPowerType},
      {54, setToolPowerAndPins},
      {55, setToolPinDirection},
      {56, toolPowerVoltage},
      {57, toolDigitalAll},
      {58, toolAnalogAll},
      {59, setToolPinLevel},
      {60, acceptEmpty},
      {61, getSafetyConfig},
      {62, setSafetyConfig},
      {63, orpeStatus},
      {64, safetyIo},
      {65, safetyIo},
      {66, safetyIo},
      {67, safetyIo},
      {68, safetyIo},
      {69, safetyIo},
      {71, accept<common::RobotMove>},
      {72, acceptEmpty},
      {73, trajectoryStart},
      {74, acceptEmpty},
      {75, acceptEmpty},
      {76, acceptEmpty},
      {77, accept<common::RobotMove>},
      {78, trajectoryStart},
      {79, dynIdentify},
      {80, handShake},
      {81, toolAllIo},
      {82, accept<comm::ProtoCommunicationRobotBoardFirmware>},
      {83, firmwareResult},
      {84, ethernetName},
      {86, accept<common::RobotJointOffset>},
      {87, joint6Flag},
      {89, moveControl},
      {90, moveControl},
      {91, moveControl},
      {92, moveControl},
      {134, moveControl},
      {93, acceptEmpty},
      {94, acceptEmpty},
      {95, acceptEmpty},
      {96, accept<IntList>},
      {97, accept<common::ToolKinematicsParam>},
      {98, accept<DoubleList>},
      {99, accept<IntList>},
      {100, accept<DoubleList>},
      {101, accept<DoubleList>},
      {102, accept<DoubleList>},
      {103, acceptEmpty},
      {104, getIntList},
      {105, accept<common::ProtoConveyorTrackValuePoint>},
      {106, accept<DoubleList>},
      {107, accept<DoubleList>},
      {108, accept<DoubleList>},
      {109, accept<common::ToolKinematicsParam>},
      {110, accept<DoubleList>},
      {111, setDoubleList},
      {112, setRecognition},
      {113, getRecognition},
      {114, jointAngle},
      {115, acceptEmpty},
      {116, setSeamTrack},
      {117, getSeamTrack},
      {118, correctedWaypoint},
      {119, getDoubleList},
      {120, accept<IntList>},
      {121, jointCommonData},
      {122, setJointCommonData},
      {123, accept<IntList>},
      {124, version},
      {125, joint1Flag},
      {126, acceptEmpty},
      {127, acceptEmpty},
      {128, getDoubleList},
      {129, calibToolAndSensor},
      {130, accept<IntList>},
      {131, accept<DoubleList>},
      {132, acceptEmpty},
      {135, setBaseParameter},
      {136, getBaseParameter},
      {137, setJointsParameter},
      {138, getJointsParameter},
      {139, acceptEmpty},
      {140, accept<IntList>},
      {141, getDoubleList},
      {142, setDoubleList},
      {143, accept<IntList>},
      {144, accept<IntList>},
      {145, getDoubleList},
      {146, setDoubleList},
      {147, getDoubleList},
      {148, setDoubleList},
      {149, getDoubleList},
      {151, accept<DoubleList>},
      {1000, getDoubleList},
      {2000, forceSensorData},
  };
  return table;
}

}  // namespace

HandlerResult handleRequest(HandlerHost& host, SimState& state, const FakePacket& request, int errorCode) {
  const auto found = handlers().find(request.type);
  if (found == handlers().end()) {
    HandlerResult unknown;
    unknown.body = commonResultBody(kRefused, "unknown command type");
    return unknown;
  }
  Ctx c{host, state, request, errorCode, request.at, HandlerResult(), false};
  c.result.body = found->second(c);
  if (c.malformed) {
    HandlerResult refused;
    refused.body = commonResultBody(kFormatError, "malformed request");
    return refused;
  }
  return std::move(c.result);
}

std::string makePush(const SimState& state, int type, Clock::time_point now) {
  switch (type) {
    case 3: return jointStatusBody(state, now, 0);
    case 7: return jointAngleBody(state, now, 0);
    default: return endSpeedBody(state);
  }
}

}  // namespace sim
}  // namespace ruko
