#pragma once
// State of the one import run, module-wide: the driver makes it at the start
// of a run and frees it at the end, on both endings. The token reader's
// flags (`Aborted`, `EndReached`, `FormatLevel`) live with the reader.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pcb9 {

class TPcbBoard;

// Routing settings of the "O" group; `RoutingDirections` holds one byte per
// signal layer, indexed by host layer id 1..32 (index 0 unused).
struct TRouteSettings {
  std::array<uint8_t, 33> RoutingDirections{};
};

// The six clearance values of the "O" group, host units.
using TClearanceSettings = std::array<int32_t, 6>;

extern std::unique_ptr<TPcbBoard> Board;
extern std::unique_ptr<TRouteSettings> RouteSettings;
extern std::unique_ptr<TClearanceSettings> ClearanceSettings;
extern int32_t FreePadNumber;
// Rules found on the board after loading, removed before the import's own
// rules are made.
extern std::vector<uint32_t> RuleHandles;

}  // namespace pcb9
