#include "OwnerLinks.h"

#include "OwnerTables.h"
#include "run/ImportRun.h"

namespace pcb9 {

namespace {

void Register(TOwnerKind kind, uint32_t handle) {
  if (TOwnerTables* tables = Run().OwnerTables.get()) tables->Register(kind, handle);
}

}  // namespace

void BeginOwnerTables() {
  TImportRun& run = Run();
  run.OwnerTables = MakeRunPart<TOwnerTables>();
  run.Counters = TObjectCounters{};
}

void RegisterNet(uint32_t Handle) { Register(TOwnerKind::Net, Handle); }
void RegisterPolygon(uint32_t Handle) { Register(TOwnerKind::Polygon, Handle); }
void RegisterCoordinate(uint32_t Handle) { Register(TOwnerKind::Coordinate, Handle); }
void RegisterDimension(uint32_t Handle) { Register(TOwnerKind::Dimension, Handle); }

void LinkOwners(uint32_t BoardHandle) {
  if (const TOwnerTables* tables = Run().OwnerTables.get()) LinkOwners(*tables, BoardHandle);
  ReleaseOwnerTables();
}

void ReleaseOwnerTables() { Run().OwnerTables.reset(); }

}  // namespace pcb9
