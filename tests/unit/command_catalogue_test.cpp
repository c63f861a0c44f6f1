#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "transport/communicationmatetype.h"

namespace {

using Type = CommunicationMateType::CommunicationCommandType;

std::string describe(int value) {
  return CommunicationMateType::instance()->getCommandDescByType(static_cast<Type>(value));
}

struct DescriptionCase {
  int value;
  const char* description;
};

TEST(CommandCatalogue, DescribesTypesUpTo117ByNameWithTheProtocolsTrailingBlanks) {
  const DescriptionCase cases[] = {
      {0, "CommunicationType_Login"},
      {1, "CommunicationType_Logout"},
      {17, "CommunicationType_RobotShutdown "},
      {39, "CommunicationType_SetMaxAcc "},
      {55, "CommunicationType_SetToolDigitalIOType     "},
      {64, "CommunicationType_SafetyIoAbout_setRobotOrpePause      "},
      {65, "CommunicationType_SafetyIoAbout_setRobotOrpeStop        "},
      {66, "CommunicationType_SafetyIoAbout_setRobotOrpeError      "},
      {68, "CommunicationType_SafetyIoAbout_clearReducedModeError "},
      {67, "CommunicationType_SafetyIoAbout_clearSystemEmergencyStop"},
      {69, "CommunicationType_SafetyIoAbout_robotSafetyguardResetSucc"},
      {87, "CommunicationType_getEnableJoint6Rot360Flag"},
      {115, "CommunicationType_communicationHeart"},
      {117, "CommunicationType_getSeamTrackingParameters"},
  };
  for (const DescriptionCase& c : cases) {
    EXPECT_EQ(describe(c.value), c.description) << "type " << c.value;
  }
  EXPECT_EQ(describe(17).size(), 32u);
}

TEST(CommandCatalogue, EveryTypeFrom0To117HasItsOwnName) {
  std::vector<std::string> seen;
  for (int value = 0; value <= 117; ++value) {
    const std::string text = describe(value);
    EXPECT_EQ(text.rfind("CommunicationType_", 0), 0u) << "type " << value << ": " << text;
    for (const std::string& earlier : seen) {
      EXPECT_NE(text, earlier) << "type " << value;
    }
    seen.push_back(text);
  }
}

TEST(CommandCatalogue, EverythingElseIsUnknow) {
  const int values[] = {118, 137, 138, 144, 150, 151, 152, 999, 1000, 2000, 2001, 2002, 2003, -1, -2147483647 - 1};
  for (int value : values) {
    EXPECT_EQ(describe(value), "unknow") << "type " << value;
  }
}

TEST(CommandCatalogue, WireValuesBeyondTheDescribedRange) {
  struct ValueCase {
    Type type;
    int value;
  };
  const ValueCase cases[] = {
      {CommunicationMateType::CommunicationType_getCorrectedWaypoint, 118},
      {CommunicationMateType::CommunicationType_MovepProgressNotify, 133},
      {CommunicationMateType::CommunicationType_setRobotJointsParameter, 137},
      {CommunicationMateType::CommunicationType_getRobotJointsParameter, 138},
      {CommunicationMateType::CommunicationType_enableForceControlMode, 138},
      {CommunicationMateType::CommunicationType_enableRegulateSpeedMode, 143},
      {CommunicationMateType::CommunicationType_getMovePJointRangeLimitParam, 143},
      {CommunicationMateType::CommunicationType_setMovePJointRangeLimitParam, 144},
      {CommunicationMateType::CommunicationType_enableForceControlMode_V4010000, 144},
      {CommunicationMateType::CommunicationType_setMovePJointRangeLimitParam_V4010000, 150},
      {CommunicationMateType::CommunicationType_setReduceParameter, 151},
      {CommunicationMateType::CommunicationType_getJointPositionLimit, 1000},
      {CommunicationMateType::CommunicationType_GetRobotForceSensorData, 2000},
      {CommunicationMateType::CommunicationTypeCount, 2001},
      {CommunicationMateType::CommunicationType_Unknown, 2002},
  };
  for (const ValueCase& c : cases) {
    EXPECT_EQ(static_cast<int>(c.type), c.value);
  }
  static_assert(sizeof(RobotCommandType) == sizeof(int), "wire values travel as int");
  static_assert(std::is_same<RobotCommandType, CommunicationMateType::CommunicationCommandType>::value,
                "one enumeration, two names");
}

TEST(CommandCatalogue, ServerVersionChoosesTheForceControlNumbering) {
  using V = CommunicationMateType::VersionedCommand;
  struct VersionCase {
    V command;
    int before;
    int from4010001;
  };
  const VersionCase cases[] = {
      {V::EnableForceControlMode, 138, 144},
      {V::GetForceControlModeAdmittanceParam, 139, 145},
      {V::SetForceControlModeAdmittanceParam, 140, 146},
      {V::GetForceControlModeExploreForceParam, 141, 147},
      {V::SetForceControlModeExploreForceParam, 142, 148},
      {V::GetMovePJointRangeLimitParam, 143, 149},
      {V::SetMovePJointRangeLimitParam, 144, 150},
  };
  for (const VersionCase& c : cases) {
    EXPECT_EQ(CommunicationMateType::versionedCommandType(c.command, 0), c.before);
    EXPECT_EQ(CommunicationMateType::versionedCommandType(c.command, 4010000), c.before);
    EXPECT_EQ(CommunicationMateType::versionedCommandType(c.command, 4010001), c.from4010001);
    EXPECT_EQ(CommunicationMateType::versionedCommandType(c.command, 5000000), c.from4010001);
  }
  EXPECT_EQ(CommunicationMateType::versionedCommandType(static_cast<V>(7), 4010001),
            CommunicationMateType::CommunicationType_Unknown);
  EXPECT_EQ(CommunicationMateType::versionedCommandType(static_cast<V>(-1), 0),
            CommunicationMateType::CommunicationType_Unknown);
}

// CTest runs each test in a process of its own, so these threads are the first to ask.
TEST(CommandCatalogue, ThreadsMeetingTheCatalogueFirstShareOneFilledInstance) {
  std::vector<std::thread> threads;
  std::vector<const CommunicationMateType*> instances(8, nullptr);
  std::vector<std::string> texts(8);
  for (std::size_t i = 0; i < instances.size(); ++i) {
    threads.emplace_back([&, i] {
      instances[i] = CommunicationMateType::instance();
      texts[i] = instances[i]->getCommandDescByType(CommunicationMateType::CommunicationType_RobotShutdown);
    });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < instances.size(); ++i) {
    EXPECT_EQ(instances[i], instances[0]);
    EXPECT_EQ(texts[i], "CommunicationType_RobotShutdown ");
  }
}

}  // namespace
