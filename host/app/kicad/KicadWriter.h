#pragma once
// The reference host's document written as a KiCad 6 board (.kicad_pcb,
// file version 20211014), with a report of what KiCad cannot hold exactly.
#include <ostream>
#include <string>

#include "KicadReport.h"

namespace pcb9host {

// Writes the board to `out`, the file `path`; false with `error` set when it
// cannot be written. `report` receives the notes and the counts of items
// written.
bool WriteKicadBoard(std::ostream& out, const std::string& path, TKicadReport& report,
                     std::string& error);

// The board's text (what WriteKicadBoard writes).
std::string KicadBoardText(TKicadReport& report);

}  // namespace pcb9host
