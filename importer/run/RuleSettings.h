#pragma once
// The board-wide design settings that the "O" group reads and the
// post-load rule passes turn into rules.
#include <array>
#include <cstdint>

namespace pcb9 {

// Routing settings of the "O" group; `RoutingDirections` holds one byte per
// signal layer, indexed by host layer id 1..32 (index 0 unused).
struct TRouteSettings {
  std::array<uint8_t, 33> RoutingDirections{};
};

// The six clearance values of the "O" group (C1..C6 in file order), host
// units.
using TClearanceSettings = std::array<int32_t, 6>;

}  // namespace pcb9
