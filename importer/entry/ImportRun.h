#pragma once
// State of the one import run, module-wide: the driver makes it at the start
// of a run and frees it at the end, on both endings. The token reader's
// flags (`Aborted`, `EndReached`, `FormatLevel`) live with the reader.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "rules/RuleSettings.h"

namespace pcb9 {

class TPcbBoard;

extern std::unique_ptr<TPcbBoard> Board;
extern std::unique_ptr<TRouteSettings> RouteSettings;
extern std::unique_ptr<TClearanceSettings> ClearanceSettings;
extern int32_t FreePadNumber;
// Rules found on the board after loading, removed before the import's own
// rules are made.
extern std::vector<uint32_t> RuleHandles;

}  // namespace pcb9
