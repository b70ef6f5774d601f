#pragma once
// Polygon records ("G"): outlines of straight and arc segments with a header
// of settings. An outline on one of the internal planes 1 to 4 is a split
// plane instead of a polygon. Polygons and split planes share one numbering
// in file order, by which tracks, arcs and fills name their polygon.
#include <cstdint>

namespace pcb9 {

// Reads one polygon record and returns the handle of the new host polygon
// or split plane; 0 when the import was already aborted (nothing is read).
//
// The host keeps outline entries 0 to 5000. A record whose last vertex
// number is above 5000 keeps its first 5001 vertices (and their arcs); the
// rest of the record is read and dropped, so the stream stays in step.
uint32_t LoadPolygon();
// Reads a whole polygon group, adding each polygon or split plane to the
// board.
void LoadPolygonGroup();

}  // namespace pcb9
