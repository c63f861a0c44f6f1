#ifndef RUKO_FACADE_MOVEP_INDEX_MAP_H
#define RUKO_FACADE_MOVEP_INDEX_MAP_H

namespace ruko {
namespace facade {

// Process-wide translation of the controller's MoveP progress into the caller's track numbering, shared by
// every facade. The track runner fills it on an application thread while a receive thread reads it, so every
// access takes one mutex.
//
// Entries map the 1-based position of a waypoint in the global waypoint list to that waypoint's index in the
// caller's track. The last reported index starts at 0 and survives clear().

// Records one waypoint of the segment being run.
void setWaypointIndexInfo(int waypointNumber, int trackIndex);
// Forgets every entry (a new segment begins); the last reported index stays.
void clearWaypointIndexInfo();
// The track index to report for controller step `stepNumber`: the entry of stepNumber + 2 when there is one
// (it becomes the last reported index), else the last reported index again.
int reportedTrackIndex(int stepNumber);

}  // namespace facade
}  // namespace ruko

#endif  // RUKO_FACADE_MOVEP_INDEX_MAP_H
