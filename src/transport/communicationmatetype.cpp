#include "transport/communicationmatetype.h"

#include <cstddef>

namespace {
// Log lines carry these names with the trailing blanks of the protocol's own
// catalogue; tools that match log text depend on them staying exactly so.
struct TrailingBlanks {
  CommunicationMateType::CommunicationCommandType type;
  std::size_t blanks;
};

constexpr TrailingBlanks kTrailingBlanks[] = {
    {CommunicationMateType::CommunicationType_RobotShutdown, 1},
    {CommunicationMateType::CommunicationType_SetMaxAcc, 1},
    {CommunicationMateType::CommunicationType_SetToolDigitalIOType, 5},
    {CommunicationMateType::CommunicationType_SafetyIoAbout_setRobotOrpePause, 6},
    {CommunicationMateType::CommunicationType_SafetyIoAbout_setRobotOrpeStop, 8},
    {CommunicationMateType::CommunicationType_SafetyIoAbout_setRobotOrpeError, 6},
    {CommunicationMateType::CommunicationType_SafetyIoAbout_clearReducedModeError, 1},
};

constexpr int kVersionedCommandCount = 7;
// Indexed by VersionedCommand: {numbering before the renumbering, numbering after}.
constexpr CommunicationMateType::CommunicationCommandType kVersionedCommandTypes[kVersionedCommandCount][2] = {
    {CommunicationMateType::CommunicationType_enableForceControlMode,
     CommunicationMateType::CommunicationType_enableForceControlMode_V4010000},
    {CommunicationMateType::CommunicationType_getForceControlModeAdmittancePatam,
     CommunicationMateType::CommunicationType_getForceControlModeAdmittancePatam_V4010000},
    {CommunicationMateType::CommunicationType_setForceControlModeAdmittancePatam,
     CommunicationMateType::CommunicationType_setForceControlModeAdmittancePatam_V4010000},
    {CommunicationMateType::CommunicationType_getForceControlModeExploreForceParam,
     CommunicationMateType::CommunicationType_getForceControlModeExploreForceParam_V4010000},
    {CommunicationMateType::CommunicationType_setForceControlModeExploreForceParam,
     CommunicationMateType::CommunicationType_setForceControlModeExploreForceParam_V4010000},
    {CommunicationMateType::CommunicationType_getMovePJointRangeLimitParam,
     CommunicationMateType::CommunicationType_getMovePJointRangeLimitParam_V4010000},
    {CommunicationMateType::CommunicationType_setMovePJointRangeLimitParam,
     CommunicationMateType::CommunicationType_setMovePJointRangeLimitParam_V4010000},
};
static_assert(static_cast<int>(CommunicationMateType::VersionedCommand::SetMovePJointRangeLimitParam) + 1 ==
                  kVersionedCommandCount,
              "one row per versioned command");
}  // namespace

CommunicationMateType* CommunicationMateType::instance() {
  // Built once under the language's thread-safe static initialisation, and never
  // destroyed: a receive thread or a static object's destructor may still log a
  // description while the process exits.
  static CommunicationMateType* const s_instance = new CommunicationMateType();
  return s_instance;
}

CommunicationMateType::CommunicationMateType() {
  initCommunicationCommandTypeDescMap();
}

void CommunicationMateType::initCommunicationCommandTypeDescMap() {
  m_communicationCommandTypeDescMap.clear();
#define RUKO_COMMAND_TYPE_DESCRIPTION(name, value) m_communicationCommandTypeDescMap[name] = #name;
  RUKO_DESCRIBED_COMMAND_TYPES(RUKO_COMMAND_TYPE_DESCRIPTION)
#undef RUKO_COMMAND_TYPE_DESCRIPTION
  for (const TrailingBlanks& entry : kTrailingBlanks) {
    m_communicationCommandTypeDescMap[entry.type].append(entry.blanks, ' ');
  }
}

std::string CommunicationMateType::getCommandDescByType(CommunicationCommandType type) const {
  const auto found = m_communicationCommandTypeDescMap.find(type);
  if (found == m_communicationCommandTypeDescMap.end()) {
    return "unknow";
  }
  return found->second;
}

CommunicationMateType::CommunicationCommandType CommunicationMateType::versionedCommandType(VersionedCommand command,
                                                                                            int serverVersionCode) {
  const int row = static_cast<int>(command);
  if (row < 0 || row >= kVersionedCommandCount) {
    return CommunicationType_Unknown;
  }
  return kVersionedCommandTypes[row][serverVersionCode >= S_versionedCommandRenumberedFrom ? 1 : 0];
}
