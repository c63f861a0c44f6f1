#include "facade/movep_index_map.h"

#include <limits>
#include <map>
#include <mutex>

namespace ruko {
namespace facade {

namespace {

struct IndexMap {
  std::mutex mutex;
  std::map<int, int> s_waypointIndexInfoMapTable;
  int lastReported = 0;
};

IndexMap& indexMap() {
  static IndexMap map;
  return map;
}

}  // namespace

void setWaypointIndexInfo(int waypointNumber, int trackIndex) {
  IndexMap& m = indexMap();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.s_waypointIndexInfoMapTable[waypointNumber] = trackIndex;
}

void clearWaypointIndexInfo() {
  IndexMap& m = indexMap();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.s_waypointIndexInfoMapTable.clear();
}

int reportedTrackIndex(int stepNumber) {
  IndexMap& m = indexMap();
  std::lock_guard<std::mutex> lock(m.mutex);
  // A step the controller numbers near INT_MAX has no entry; the sum must not overflow.
  if (stepNumber <= std::numeric_limits<int>::max() - 2) {
    const auto found = m.s_waypointIndexInfoMapTable.find(stepNumber + 2);
    if (found != m.s_waypointIndexInfoMapTable.end()) {
      m.lastReported = found->second;
    }
  }
  return m.lastReported;
}

}  // namespace facade
}  // namespace ruko
