#ifndef RUKO_UTIL_FINITE_H
#define RUKO_UTIL_FINITE_H

#include <cmath>

namespace ruko {

// True when none of the n values is NaN or infinite. Inputs that are not finite would make the geometry
// loop, select nothing or report non-finite results as success, so every entry point checks them.
template <typename T>
inline bool allFinite(const T* values, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

// A quaternion (any record with w, x, y, z).
template <typename OriT>
inline bool finiteQuaternion(const OriT& q) {
  const double v[4] = {q.w, q.x, q.y, q.z};
  return allFinite(v, 4);
}

// A pose as position and quaternion (any records with x, y, z and w, x, y, z).
template <typename PosT, typename OriT>
inline bool finitePose(const PosT& p, const OriT& q) {
  const double v[7] = {p.x, p.y, p.z, q.w, q.x, q.y, q.z};
  return allFinite(v, 7);
}

}  // namespace ruko

#endif  // RUKO_UTIL_FINITE_H
