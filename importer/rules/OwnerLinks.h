#pragma once
// The current run's owner tables as the loaders and the driver use them.
// Loaders register every net, polygon (and split plane), coordinate and
// dimension they create, right after storing it with its `Index` set;
// after loading, LinkOwners turns the owner numbers that primitives carry
// into host handles and puts each primitive into its owner's container.
#include <cstdint>

namespace pcb9 {

// Fresh, empty tables for the run; the run's object counters back to 0.
void BeginOwnerTables();
void RegisterNet(uint32_t Handle);
// Polygons and split planes share one numbering.
void RegisterPolygon(uint32_t Handle);
void RegisterCoordinate(uint32_t Handle);
void RegisterDimension(uint32_t Handle);
// Links every primitive of the board, then releases the tables.
void LinkOwners(uint32_t BoardHandle);
void ReleaseOwnerTables();

}  // namespace pcb9
