#include "sim_state.h"

#include <cctype>

#include "robotParameters.pb.h"
#include "robotcommon.pb.h"
#include "robotcommunication.pb.h"

namespace ruko {
namespace sim {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace param = ruko::robot::paramerter;

std::array<double, 6> currentJoints(const SimState& state, Clock::time_point now) {
  if (!state.arm.moving || state.moveLeft.count() <= 0) {
    return state.arm.joints;
  }
  double fraction = std::chrono::duration<double>(now - state.moveBegan).count() /
                    std::chrono::duration<double>(state.moveLeft).count();
  fraction = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
  std::array<double, 6> joints{};
  for (size_t i = 0; i < joints.size(); ++i) {
    joints[i] = state.moveStart[i] + fraction * (state.moveTarget[i] - state.moveStart[i]);
  }
  return joints;
}

int versionCodeOf(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text + ".") {
    if (c == '.') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (parts.size() < 3) return 0;
  int code = 0;
  for (size_t i = 0; i < 3; ++i) {
    size_t at = 0;
    while (at < parts[i].size() && !std::isdigit(static_cast<unsigned char>(parts[i][at]))) ++at;
    if (at == parts[i].size()) return 0;
    int value = 0;
    while (at < parts[i].size() && std::isdigit(static_cast<unsigned char>(parts[i][at])) && value < 1000) {
      value = value * 10 + (parts[i][at++] - '0');
    }
    code = code * 1000 + value;
  }
  return code;
}

namespace {

template <typename List, typename Value>
void fill(List* list, int count, Value value) {
  for (int i = 0; i < count; ++i) list->Add(value);
}

template <typename Kinematics, typename Value>
void fillKinematics(Kinematics* k, Value zero) {
  fill(k->mutable_da(), 6, zero);
  fill(k->mutable_dd(), 6, zero);
  fill(k->mutable_dalpha(), 6, zero);
  fill(k->mutable_dbeta(), 6, zero);
  fill(k->mutable_dratio(), 6, zero);
  fill(k->mutable_dtheta(), 6, zero);
}

// The blocks both forms of the base parameters share.
template <typename Base>
void fillBaseBlocks(Base& base, int model) {
  param::ProtoRobotInfo* info = base.mutable_robotinfo();
  info->set_robot_type(static_cast<uint32_t>(model));
  info->set_auth_type(0);
  info->set_robot_expire(0);
  fill(info->mutable_reserve(), 12, 0u);
  info->set_robot_duration(0);
  fill(info->mutable_joint_duration(), 6, 0u);
  param::ProtoRobotDynamicsParameter* dynamics = base.mutable_dynamicsparameter();
  fill(dynamics->mutable_k(), 6, 0.0);
  fill(dynamics->mutable_ia(), 4, 0.0);
  fill(dynamics->mutable_m(), 1, 0.0);
  fill(dynamics->mutable_mxyz(), 13, 0.0);
  fill(dynamics->mutable_ixyz(), 28, 0.0);
  fill(dynamics->mutable_cb(), 6, 0.0);
  param::ProtoRobotHandguidingParameter* guiding = base.mutable_handguidingparameter();
  fill(guiding->mutable_fp(), 6, 0.0);
  fill(guiding->mutable_fd(), 6, 0.0);
  fill(guiding->mutable_fk(), 6, 0.0);
  fill(guiding->mutable_fm(), 6, 0.0);
  fill(guiding->mutable_pos_limit(), 6, 0.0);
  fill(guiding->mutable_velocity_limit(), 6, 0.0);
  fill(guiding->mutable_acceleration_limit(), 6, 0.0);
}

}  // namespace

void initialiseSettings(SimState& state) {
  comm::RobotTcpParam tcp;
  for (comm::TcpParam* p : {tcp.mutable_paramautorun(), tcp.mutable_parammanual()}) {
    p->set_positionx(0);
    p->set_positiony(0);
    p->set_positionz(0);
    p->set_payload(0);
  }
  state.tcpParam = tcp.SerializeAsString();

  common::ToolDynamicsParam tool;
  tool.set_positionx(0);
  tool.set_positiony(0);
  tool.set_positionz(0);
  tool.set_payload(0);
  common::ToolInertia* inertia = tool.mutable_toolinertia();
  inertia->set_xx(0);
  inertia->set_xy(0);
  inertia->set_xz(0);
  inertia->set_yy(0);
  inertia->set_yz(0);
  inertia->set_zz(0);
  state.toolDynamics = tool.SerializeAsString();

  common::ProtoRobotSafetyConfig safety;
  fill(safety.mutable_robotreducedconfigjointspeed(), 6, 30);
  safety.set_robotreducedconfigtcpspeed(250);
  safety.set_robotreducedconfigtcpforce(150);
  safety.set_robotreducedconfigmomentum(25);
  safety.set_robotreducedconfigpower(200);
  safety.set_robotsafeguradresetconfig(0);
  safety.set_robotoperationalmodeconfig(0);
  state.safetyConfig = safety.SerializeAsString();

  if (state.versionCode > 4005000) {
    param::ProtoRobotBaseParameter base;
    fillBaseBlocks(base, state.arm.model);
    fillKinematics(base.mutable_kinematicsparameter(), 0.0);
    state.baseParameter = base.SerializeAsString();
  } else {
    param::ProtoRobotBaseParameter_legacy base;
    fillBaseBlocks(base, state.arm.model);
    fillKinematics(base.mutable_kinematicsparameter(), 0u);
    state.baseParameter = base.SerializeAsString();
  }

  param::ProtoRobotJointsParameter joints;
  param::ProtoRobotFrictionParameter* friction = joints.mutable_frictionparameter();
  for (auto* list : {friction->mutable_fl(), friction->mutable_fr(), friction->mutable_tmp_a(),
                     friction->mutable_tmp_b(), friction->mutable_posvel_a1(), friction->mutable_posvel_b1(),
                     friction->mutable_posvel_a2(), friction->mutable_posvel_b2(), friction->mutable_posvel_c2(),
                     friction->mutable_negvel_a1(), friction->mutable_negvel_b1(), friction->mutable_negvel_a2(),
                     friction->mutable_negvel_b2(), friction->mutable_negvel_c2()}) {
    fill(list, 6, 0u);
  }
  state.jointsParameter = joints.SerializeAsString();

  // Joint range: enable flag, then min and max of joints 1 to 6 (radians).
  std::vector<double> range{0.0};
  for (int i = 0; i < 6; ++i) {
    range.push_back(-3.0543261909900767);
    range.push_back(3.0543261909900767);
  }
  state.doubleLists[119] = range;
  state.doubleLists[1000] = range;
  std::vector<double> regulate(6, 3.14);
  regulate.insert(regulate.end(), 6, 10.0);
  regulate.push_back(2.0);
  regulate.push_back(5.0);
  state.doubleLists[141] = regulate;
  state.doubleLists[145] = std::vector<double>(18, 1.0);
  state.doubleLists[147] = {10.0, 0.05};
  std::vector<double> movep(6, -3.036872898470133);
  movep.insert(movep.end(), 6, 3.036872898470133);
  state.doubleLists[149] = movep;
  state.doubleLists[128] = std::vector<double>(6, 0.0);
  state.intLists[104] = {0};

  for (auto& joint : state.jointCommon) {
    joint.fill(0);
    joint[0] = 48;  // JointCurVol
    joint[1] = 30;  // JointCurTemp
  }
  state.dynIdentify = std::vector<int>(60, 0);
}

}  // namespace sim
}  // namespace ruko
