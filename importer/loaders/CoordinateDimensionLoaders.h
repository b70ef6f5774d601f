#pragma once
// Coordinates ("R") and dimensions ("I"): host group objects, numbered in
// file order so that the tracks and texts that name them by number can be
// put into them after loading.
#include <cstdint>

namespace pcb9 {

// Reads one coordinate record; the new host coordinate's handle, or 0 when
// the run was already aborted (nothing is read then).
uint32_t LoadCoordinate();
// Reads one dimension record; the new host dimension's handle.
uint32_t LoadDimension();
// Whole groups; every object goes to the board.
void LoadCoordinateGroup();
void LoadDimensionGroup();

}  // namespace pcb9
