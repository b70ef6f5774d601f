#pragma once
// Names as KiCad reads them: it joins nets by name and reads a footprint's
// name "lib:name" as a link into a library, so the board's own names are
// made safe for both before they are written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KicadReport.h"

namespace pcb9host::kicad {

struct THostNet {
  std::string Name;   // as the document holds it
  int64_t Index = 0;  // the net's number in the file
};

// The KiCad name of each net, in the order given (KiCad net number i + 1
// for nets[i]), all different and none empty. Control characters become
// '?'; a net without a name is named Net-<Index>; a name an earlier net
// already has gets -<KiCad net number>; a name so made that is taken (by
// any net's own name, earlier or later, or by an earlier new name) gets a
// further -2, -3, ... Every renaming is noted in `report`.
std::vector<std::string> KicadNetNames(const std::vector<THostNet>& nets, TKicadReport& report);

// A component pattern as a footprint name KiCad reads as a name of its own:
// ':' (library and name) written as '_'.
std::string FootprintName(std::string_view pattern, TKicadReport& report);

// The text with control characters (below 32, and 127) as '?'.
std::string WithoutControls(std::string_view text);

}  // namespace pcb9host::kicad
