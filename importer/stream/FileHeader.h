#pragma once
// The header string that fixes the format level, and the preamble of ten
// 32-bit values that gives the progress total. The header match and the
// per-level texts are in FormatTables.h.
#include <cstdint>
#include <string_view>

#include "FormatTables.h"

namespace pcb9 {

// Reads the header string and the preamble, sets FormatLevel and starts the
// host's progress display. Returns the progress total.
int32_t ReadHeaderAndPreamble(std::string_view fileName);

}  // namespace pcb9
