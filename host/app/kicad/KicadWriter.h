#pragma once
// The reference host's document written as a KiCad 6 board (.kicad_pcb,
// file version 20211014), with a report of what KiCad cannot hold exactly.
#include <ostream>
#include <string>

#include "KicadReport.h"

namespace pcb9host {

// Writes the board's text to `out` as it is made (no more of it is held
// than a footprint or a zone); `report` receives the notes and the counts of
// items written.
void WriteKicadBoard(std::ostream& out, TKicadReport& report);

// Writes the board to `out`, the file `path`; false with `error` set when it
// cannot be written.
bool WriteKicadBoard(std::ostream& out, const std::string& path, TKicadReport& report,
                     std::string& error);

// The board's text (what WriteKicadBoard writes), for tests and tools.
std::string KicadBoardText(TKicadReport& report);

}  // namespace pcb9host
