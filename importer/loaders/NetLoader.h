#pragma once
// Net records: one net per "N" group, with the routing values that become
// net rules and, from level 4 on, the internal plane the net feeds. Nets are
// numbered in file order; primitives name their net by that number.
#include <cstdint>

namespace pcb9 {

// Reads one net record (right after its keyword) and returns the handle of
// the new host net for the caller to add to the board; 0 when the file ends
// inside the record.
uint32_t LoadNet();

}  // namespace pcb9
