// The simulator driven with raw packets: its answers are checked against the protocol reference with the
// fake's own framing and the generated messages, never through the library's engine.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "frame.h"
#include "raw_client.h"
#include "robotcommon.pb.h"
#include "robotcommunication.pb.h"
#include "simulator.h"

namespace {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
using ruko::test::RawClient;
using ruko::sim::FakePacket;
using ruko::sim::framePacket;
using std::chrono::milliseconds;

template <typename M>
M decode(const FakePacket* packet) {
  M message;
  EXPECT_NE(packet, nullptr);
  if (packet != nullptr) {
    EXPECT_TRUE(message.ParseFromString(packet->body)) << "reply of type " << packet->type << " does not decode";
  }
  return message;
}

int commonCode(const FakePacket* packet) { return decode<comm::ProtoRobotCommonResponse>(packet).errorcode(); }

std::string generalInt(int value) {
  comm::ProtoCommunicationGeneralData message;
  message.set_type(1);
  message.add_property1(value);
  return message.SerializeAsString();
}

std::string generalBool(bool value) {
  comm::ProtoCommunicationGeneralData message;
  message.set_type(1);
  message.add_property2(value);
  return message.SerializeAsString();
}

class SimulatorProtocol : public ::testing::Test {
 protected:
  void SetUp() override { startWith(ruko::sim::Options()); }

  void startWith(ruko::sim::Options options) {
    options.timeScale = 0.05;  // lifecycle steps of 5 ms, moves of 25 ms
    options.pushHz = 200;
    m_sim.reset(new ruko::sim::Simulator(options));
    std::string error;
    ASSERT_TRUE(m_sim->start(&error)) << error;
  }

  std::unique_ptr<ruko::sim::Simulator> m_sim;
};

TEST_F(SimulatorProtocol, LoginAnswersWithTheModelAndItsLengths) {
  RawClient client(m_sim->port());
  comm::ProtoRequestLogin request;
  request.set_username("any");
  request.set_passwd("thing");
  const auto reply = decode<common::ProtoResponseRobotDhParam>(client.request(0, request.SerializeAsString()));
  EXPECT_EQ(reply.errorinfo().errorcode(), 0);
  EXPECT_EQ(reply.robottype(), 3);
  // Model 3: upper arm 0.229, forearm 0.2015, base 0.1395, shoulder 0.11055, d5 0.08955, d6 0.09055.
  EXPECT_DOUBLE_EQ(reply.dhparam().a3(), 0.229);
  EXPECT_DOUBLE_EQ(reply.dhparam().a4(), 0.2015);
  EXPECT_DOUBLE_EQ(reply.dhparam().d1(), 0.1395);
  EXPECT_DOUBLE_EQ(reply.dhparam().d6(), 0.09055);
  EXPECT_EQ(m_sim->loggedInCount(), 1);

  const auto version = decode<comm::ProtoCommunicationEthernetDeviceNameResponse>(client.request(124));
  EXPECT_EQ(version.name(), "4.10.1");
  const auto exists = decode<comm::ProtoCommunicationGeneralData>(client.request(37));
  ASSERT_EQ(exists.property2_size(), 1);
  EXPECT_TRUE(exists.property2(0));
  EXPECT_TRUE(client.parser().errors().empty());
}

TEST_F(SimulatorProtocol, ConfiguredCredentialsRefuseOthers) {
  ruko::sim::Options options;
  options.user = "admin";
  options.password = "secret";
  startWith(options);
  struct Case {
    const char* user;
    const char* password;
    bool accepted;
  };
  for (const Case& c : {Case{"admin", "secret", true}, Case{"admin", "wrong", false}, Case{"other", "secret", false}}) {
    RawClient client(m_sim->port());
    comm::ProtoRequestLogin request;
    request.set_username(c.user);
    request.set_passwd(c.password);
    const auto reply = decode<common::ProtoResponseRobotDhParam>(client.request(0, request.SerializeAsString()));
    EXPECT_EQ(reply.errorinfo().errorcode() == 0, c.accepted) << c.user << "/" << c.password;
    // A refused client is not logged in: its next request is refused too.
    EXPECT_EQ(commonCode(client.request(19)) == 0, c.accepted);
  }
}

TEST_F(SimulatorProtocol, GetReturnsWhatTheSetStored) {
  RawClient client(m_sim->port());
  client.login();

  comm::RobotTcpParam tcp;
  for (comm::TcpParam* p : {tcp.mutable_paramautorun(), tcp.mutable_parammanual()}) {
    p->set_positionx(0.1f);
    p->set_positiony(0.2f);
    p->set_positionz(0.3f);
    p->set_payload(1.5f);
  }
  common::ProtoResponseRobotSafetyConfig safety;
  common::ProtoRobotSafetyConfig* config = safety.add_safetyconfig();
  for (int i = 0; i < 6; ++i) config->add_robotreducedconfigjointspeed(10 + i);
  config->set_robotreducedconfigtcpspeed(1);
  config->set_robotreducedconfigtcpforce(2);
  config->set_robotreducedconfigmomentum(3);
  config->set_robotreducedconfigpower(4);
  config->set_robotsafeguradresetconfig(5);
  config->set_robotoperationalmodeconfig(6);
  safety.mutable_errorinfo()->set_errorcode(0);
  safety.mutable_errorinfo()->set_errormsg("");
  comm::protoSafeCommunicationParam orpePause;
  orpePause.set_paramreserved(0);
  orpePause.add_param(1);

  struct Case {
    const char* what;
    int setType;
    std::string body;
    int getType;
    std::function<void(const FakePacket*)> check;
  };
  const std::vector<Case> cases{
      {"tcp param", 27, tcp.SerializeAsString(), 28,
       [&](const FakePacket* p) {
         const auto reply = decode<common::ProtoResponseRobotTcpParam>(p);
         ASSERT_EQ(reply.tcpparam_size(), 1);
         EXPECT_EQ(reply.tcpparam(0).SerializeAsString(), tcp.SerializeAsString());
       }},
      {"collision class", 40, generalInt(5 | (1 << 5)), 36,
       [](const FakePacket* p) {
         const auto reply = decode<common::ProtoResponseRobotCollisionCurrent>(p);
         ASSERT_EQ(reply.collisioncurrent_size(), 1);
         EXPECT_EQ(reply.collisioncurrent(0).collisionclass(), 5u | (1u << 5));
       }},
      {"work mode", 33, generalInt(1), 34,
       [](const FakePacket* p) {
         const auto reply = decode<comm::ProtoCommunicationGeneralData>(p);
         ASSERT_EQ(reply.property1_size(), 1);
         EXPECT_EQ(reply.property1(0), 1);
       }},
      {"safety config", 62, safety.SerializeAsString(), 61,
       [&](const FakePacket* p) {
         const auto reply = decode<common::ProtoResponseRobotSafetyConfig>(p);
         ASSERT_EQ(reply.safetyconfig_size(), 1);
         EXPECT_EQ(reply.safetyconfig(0).SerializeAsString(), config->SerializeAsString());
       }},
      {"orpe pause", 64, orpePause.SerializeAsString(), 63,
       [](const FakePacket* p) {
         const auto reply = decode<common::ProtoResponseOrpeSafetyStatus>(p);
         ASSERT_EQ(reply.safetystatus_size(), 1);
         EXPECT_EQ(reply.safetystatus(0).orpepause(), 1);
         EXPECT_EQ(reply.safetystatus(0).orpeerror_size(), 16);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(commonCode(client.request(c.setType, c.body)), 0);
    c.check(client.request(c.getType));
  }
}

TEST_F(SimulatorProtocol, RefusedSetChangesNothing) {
  RawClient client(m_sim->port());
  client.login();
  ruko::sim::Fault refuse;
  refuse.errorCode = 2;
  m_sim->setFault(40, refuse);
  EXPECT_EQ(commonCode(client.request(40, generalInt(9))), 2);
  const auto reply = decode<common::ProtoResponseRobotCollisionCurrent>(client.request(36));
  EXPECT_EQ(reply.collisioncurrent(0).collisionclass(), 6u);
}

TEST_F(SimulatorProtocol, EveryBadRequestGetsANonZeroCommonReply) {
  RawClient client(m_sim->port());
  EXPECT_EQ(commonCode(client.request(28)), 3) << "before login";
  client.login();
  struct Case {
    const char* what;
    int type;
    std::string body;
    int code;
  };
  for (const Case& c : {Case{"unknown type", 500, "", 2}, Case{"push type as request", 3, "", 2},
                        Case{"garbage body", 27, "\xff\xff\xff", 1}, Case{"missing value", 40, generalBool(true), 1}}) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(commonCode(client.request(c.type, c.body)), c.code);
  }
}

TEST_F(SimulatorProtocol, CompletionEventsFollowTheirReply) {
  RawClient client(m_sim->port());
  client.login();
  struct Case {
    int type;
    std::string body;
    int eventType;
    int eventCode;
  };
  comm::ProtoCommunicationRobotStartupProfile startup;
  for (comm::TcpParam* p : {startup.mutable_tcpparam()->mutable_paramautorun(),
                            startup.mutable_tcpparam()->mutable_parammanual()}) {
    p->set_positionx(0);
    p->set_positiony(0);
    p->set_positionz(0);
    p->set_payload(0);
  }
  startup.set_readpose(true);
  startup.set_staticcollisiondetect(true);
  startup.set_collisionclass(6);
  startup.set_maxacc(100);
  const std::vector<Case> cases{
      {80, "", 35, 0},                             // handshake succeeded
      {17, "", 21, 0},                             // shut-down done
      {16, startup.SerializeAsString(), 20, 2},    // start-up done, working
      {20, generalBool(true), 11, 1},              // power on
      {89, "", 44, 0},                             // stop done
      {91, "", 45, 0},                             // pause done
      {92, "", 46, 0},                             // continue done
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const size_t from = client.packets().size();
    const FakePacket* reply = client.request(c.type, c.body);
    ASSERT_NE(reply, nullptr);
    const size_t replyAt = client.indexOf(reply);
    const FakePacket* event = nullptr;
    for (size_t at = from;; at = client.indexOf(event) + 1) {
      event = client.next(2, at);
      ASSERT_NE(event, nullptr) << "no event " << c.eventType;
      if (decode<comm::ProtoCommunicationRobotEvent>(event).eventtype() == c.eventType) break;
    }
    EXPECT_GT(client.indexOf(event), replyAt);
    EXPECT_EQ(decode<comm::ProtoCommunicationRobotEvent>(event).eventcode(), c.eventCode);
  }
  EXPECT_TRUE(m_sim->state().powerOn);
  EXPECT_EQ(m_sim->state().serviceState, 2);
}

TEST_F(SimulatorProtocol, DiagnosisReportsThePowerState) {
  RawClient client(m_sim->port());
  client.login();
  for (bool on : {false, true}) {
    m_sim->updateState([on](ruko::sim::ArmState& s) { s.powerOn = on; });
    const auto reply = decode<comm::ProtoCommunicationRobotDiagnosisInfo>(client.request(15));
    ASSERT_EQ(reply.robotdiagnosis_size(), 1);
    EXPECT_EQ(reply.robotdiagnosis(0).armpowerstatus(), on);
    EXPECT_EQ(reply.errorinfo_size(), 1);
  }
}

TEST_F(SimulatorProtocol, PushesRunOnlyBetweenEnableAndDisable) {
  RawClient client(m_sim->port());
  client.login();
  struct Case {
    int enable;
    int disable;
    int push;
  };
  for (const Case& c : {Case{4, 5, 3}, Case{8, 9, 7}, Case{12, 13, 11}}) {
    SCOPED_TRACE(c.push);
    const size_t before = client.packets().size();
    // Nothing is pushed before the enable.
    client.readUntil([](const std::vector<FakePacket>&) { return false; }, milliseconds(30));
    for (size_t i = before; i < client.packets().size(); ++i) EXPECT_NE(client.packets()[i].type, c.push);

    const FakePacket* enabled = client.request(c.enable);
    ASSERT_NE(enabled, nullptr);
    const size_t enabledAt = client.indexOf(enabled);
    EXPECT_EQ(commonCode(enabled), 0);
    ASSERT_TRUE(client.readUntil([&](const std::vector<FakePacket>& packets) {
      size_t pushes = 0;
      for (size_t i = enabledAt; i < packets.size(); ++i) pushes += packets[i].type == c.push ? 1 : 0;
      return pushes >= 3;
    }));
    for (size_t i = before; i < enabledAt; ++i) EXPECT_NE(client.packets()[i].type, c.push) << "push before enable";

    const FakePacket* disabled = client.request(c.disable);
    ASSERT_NE(disabled, nullptr);
    const size_t disabledAt = client.indexOf(disabled);
    client.readUntil([](const std::vector<FakePacket>&) { return false; }, milliseconds(50));  // ten periods
    for (size_t i = disabledAt; i < client.packets().size(); ++i) {
      EXPECT_NE(client.packets()[i].type, c.push) << "push after disable";
    }
  }
}

TEST_F(SimulatorProtocol, MoveEndsAtItsLastWaypoint) {
  RawClient client(m_sim->port());
  client.login();
  common::RobotMove move;
  common::RobotMoveProfile* profile = move.mutable_move_profile();
  profile->set_movemode(static_cast<ruko::robot::movecondition::move_mode>(1));
  profile->set_submovemode(static_cast<ruko::robot::movecondition::move_track>(0));
  profile->set_teachmode(static_cast<ruko::robot::movecondition::teach_mode>(0));
  profile->set_enableiterik(false);
  profile->set_tooltrack(false);
  for (common::Pos* p : {profile->mutable_toolinendposition()}) {
    p->set_x(0);
    p->set_y(0);
    p->set_z(0);
  }
  common::Ori* o = profile->mutable_toolinendorientation();
  o->set_w(1);
  o->set_x(0);
  o->set_y(0);
  o->set_z(0);
  profile->mutable_relativemove()->set_ena(false);
  profile->mutable_relativemove()->mutable_relativeorientation();
  profile->mutable_maxvelc();
  profile->mutable_maxacc();
  profile->set_blendradius(0);
  profile->set_circularlooptimes(0);
  profile->mutable_arrivalahead()->set_arrivalaheadstat(0);
  profile->mutable_arrivalahead()->set_arrivalaheadthr(0);
  common::ProtoRoadPoint* point = move.add_roadpointvector();
  common::Pos* position = point->mutable_cartpos()->add_position();
  position->set_x(0);
  position->set_y(0);
  position->set_z(0);
  *point->mutable_orientation() = *o;
  for (int i = 0; i < 6; ++i) point->add_jointpos(0.1 * (i + 1));
  ASSERT_TRUE(move.IsInitialized()) << move.InitializationErrorString();

  const FakePacket* reply = client.request(22, move.SerializeAsString());
  EXPECT_EQ(commonCode(reply), 0);
  const FakePacket* event = client.next(2, client.indexOf(reply) + 1);
  EXPECT_EQ(decode<comm::ProtoCommunicationRobotEvent>(event).eventtype(), 22);
  const auto angles = decode<common::ProtoJointAngleResponse>(client.request(10));
  EXPECT_DOUBLE_EQ(angles.jointangle().joint6(), 0.6);
  EXPECT_EQ(angles.errorinfo_size(), 1);
}

TEST_F(SimulatorProtocol, EventBeforeReplyOnlyAsAnInjectedFault) {
  RawClient client(m_sim->port());
  client.login();
  ruko::sim::Fault fault;
  fault.eventBeforeReply = true;
  m_sim->setFault(80, fault);
  const size_t from = client.packets().size();
  const FakePacket* reply = client.request(80);
  ASSERT_NE(reply, nullptr);
  const FakePacket* event = client.next(2, from);
  ASSERT_NE(event, nullptr);
  EXPECT_LT(client.indexOf(event), client.indexOf(reply));
}

TEST_F(SimulatorProtocol, TwoClientsShareTheArm) {
  RawClient first(m_sim->port());
  RawClient second(m_sim->port());
  first.login();
  second.login();
  EXPECT_EQ(m_sim->sessionCount(), 2);
  EXPECT_EQ(m_sim->loggedInCount(), 2);

  EXPECT_EQ(commonCode(first.request(33, generalInt(1))), 0);
  const auto mode = decode<comm::ProtoCommunicationGeneralData>(second.request(34));
  EXPECT_EQ(mode.property1(0), 1);

  EXPECT_EQ(m_sim->injectEvent(26, 7, "controller error"), 2);
  for (RawClient* client : {&first, &second}) {
    const auto event = decode<comm::ProtoCommunicationRobotEvent>(client->next(2));
    EXPECT_EQ(event.eventtype(), 26);
    EXPECT_EQ(event.eventcode(), 7);
    EXPECT_EQ(event.eventcontent(), "controller error");
  }
}

}  // namespace
