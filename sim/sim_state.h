#ifndef RUKO_SIM_SIM_STATE_H
#define RUKO_SIM_SIM_STATE_H

// The simulator's whole state and the request handlers that read and change it. Private to sim/.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "server.h"
#include "simulator.h"

namespace ruko {
namespace sim {

// Everything the arm knows. Guarded by the simulator's state mutex.
struct SimState {
  ArmState arm;
  int versionCode = 0;  // major * 1,000,000 + minor * 1,000 + patch of the version text

  // Settings held as serialised messages, each in the form its set request carries.
  std::string tcpParam;         // RobotTcpParam
  std::string toolDynamics;     // ToolDynamicsParam
  std::string safetyConfig;     // ProtoRobotSafetyConfig
  std::string baseParameter;    // ProtoRobotBaseParameter, or its legacy form up to version 4.5.0
  std::string jointsParameter;  // ProtoRobotJointsParameter
  std::string seamTrack;        // ProtoSeamTrack_t; empty until set

  // Safety I/O (types 64 to 69), read back by 63.
  int orpePause = 0;
  int orpeStop = 0;
  std::vector<uint32_t> orpeError = std::vector<uint32_t>(16, 0);
  int systemEmergencyStop = 0;
  int reducedModeError = 0;
  int safetyguardResetSucc = 0;

  std::map<int, std::vector<double>> doubleLists;  // by the get type that reports them
  std::map<int, std::vector<int>> intLists;
  std::map<int, std::vector<int>> recognition;     // block type -> bytes
  std::array<std::array<int32_t, 25>, 6> jointCommon{};
  std::vector<int> dynIdentify;

  IoState io;
  // A tool change waiting behind IoState::toolChangeLag: what it will show and how many reads still miss it.
  bool toolChangePending = false;
  int pendingPowerType = 0;
  std::array<uint32_t, 4> pendingPinOutput{};
  int pendingReadsLeft = 0;

  // The move in progress (type 22, 73, 78): joints go from start to target over the move's time.
  std::array<double, 6> moveStart{};
  std::array<double, 6> moveTarget{};
  Clock::time_point moveBegan;
  std::chrono::nanoseconds moveLeft{0};  // while paused: the time the move still needs
  uint64_t moveGeneration = 0;           // bumped by stop and pause: a pending completion then lapses
};

// Joint angles now, moving or not (the state mutex held).
std::array<double, 6> currentJoints(const SimState& state, Clock::time_point now);

// A version text as the library reads it: first digit run of each of the first three parts; 0 when the
// text has fewer than three parts or a part without digits.
int versionCodeOf(const std::string& text);

// The settings an arm has before anything is set, in the forms the version calls for.
void initialiseSettings(SimState& state);

}  // namespace sim
}  // namespace ruko

#endif
