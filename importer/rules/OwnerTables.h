#pragma once
// Owners by file number: while loading, primitives hold the 1-based file
// number of their net, polygon, coordinate and dimension; each owner is
// recorded here under its number as it is created, and after loading one
// pass over the board replaces the numbers by the owners' handles and puts
// every primitive into its owner's container.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pcb9 {

// Polygons and split planes share one numbering and one table.
enum class TOwnerKind : uint8_t { Net, Polygon, Coordinate, Dimension };

class TOwnerTables {
 public:
  static constexpr int64_t kEntries = 16000;  // numbers 1..16000 per kind

  TOwnerTables();

  // Records an owner just stored into the host under its `Index`; nothing
  // for handle 0 or an index outside 1..16000.
  void Register(TOwnerKind kind, uint32_t handle);
  // The owner's handle; 0 for a number outside 1..16000 or one never
  // registered.
  uint32_t Lookup(TOwnerKind kind, int64_t number) const;

 private:
  static constexpr size_t kKinds = 4;
  std::array<std::vector<uint32_t>, kKinds> Tables_;  // entry n-1 holds number n
};

// Replaces the owner numbers of every primitive on the board by handles and
// adds each primitive to its owner's container, kind by kind (pads, tracks,
// vias, arcs, fills, texts, polygons, split planes). A primitive the host
// lists more than once is linked once.
void LinkOwners(const TOwnerTables& tables, uint32_t boardHandle);

}  // namespace pcb9
