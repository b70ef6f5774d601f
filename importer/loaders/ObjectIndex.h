#pragma once
// Numbering of objects in file order (the run's counters) as the host's
// 16-bit `Index` holds it.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace pcb9 {

// Counts one more object of a kind and gives its `Index`. The counter is
// the object's place in the file; past the range of an `Index` the number
// stays at its largest value rather than wrapping, so a late object never
// takes the number of an early one (and with it the early one's place in
// the owner tables, which end far below).
inline int16_t NextObjectIndex(int32_t& counter) {
  if (counter < std::numeric_limits<int32_t>::max()) ++counter;
  return static_cast<int16_t>(std::min<int32_t>(counter, std::numeric_limits<int16_t>::max()));
}

}  // namespace pcb9
