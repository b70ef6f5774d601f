#include "rules/OwnerTables.h"

#include <memory>

#include "hostapi/PcbApi.h"
#include "proxies/Board.h"
#include "proxies/Primitives.h"
#include "proxies/ProxyFromHandle.h"
#include "rules/FlatIndex.h"

namespace pcb9 {

namespace {

constexpr uint8_t kFirstLinkedLayer = kTopLayer, kLastLinkedLayer = kConnectLayer;
constexpr uint8_t kBoardMembersAndComponents = 0;  // iterator method

// The owner fields a pass resolves, by their proxy accessors.
struct TOwnerField {
  TOwnerKind Kind;
  uint32_t (TPCBObject::*Get)();
  void (TPCBObject::*Set)(uint32_t);
};

constexpr TOwnerField kNetField{TOwnerKind::Net, &TPCBObject::GetNet, &TPCBObject::SetNet};
constexpr TOwnerField kPolygonField{TOwnerKind::Polygon, &TPCBObject::GetOwnerPolygon,
                                    &TPCBObject::SetOwnerPolygon};
constexpr TOwnerField kCoordinateField{TOwnerKind::Coordinate, &TPCBObject::GetOwnerCoordinate,
                                       &TPCBObject::SetOwnerCoordinate};
constexpr TOwnerField kDimensionField{TOwnerKind::Dimension, &TPCBObject::GetOwnerDimension,
                                      &TPCBObject::SetOwnerDimension};

enum class TLinkStep : uint8_t { None, Net, PolygonOrNet, Coordinate, Dimension, NetFieldOnly };

struct TLinkRow {
  uint8_t ObjectKind;
  std::array<TLinkStep, 3> Steps;
};

// The kinds in the order they are linked, and the steps for each object.
constexpr TLinkRow kLinkOrder[] = {
    {kPadKind, {TLinkStep::Net}},
    {kTrackKind, {TLinkStep::PolygonOrNet, TLinkStep::Coordinate, TLinkStep::Dimension}},
    {kViaKind, {TLinkStep::Net}},
    {kArcKind, {TLinkStep::PolygonOrNet}},
    {kFillKind, {TLinkStep::PolygonOrNet}},
    {kTextKind, {TLinkStep::Coordinate, TLinkStep::Dimension}},
    {kPolygonKind, {TLinkStep::NetFieldOnly}},
    {kSplitPlaneKind, {TLinkStep::NetFieldOnly}},
};

class TOwnerLinker {
 public:
  explicit TOwnerLinker(const TOwnerTables& tables) : Tables_(tables) {}

  void Link(uint32_t object, const TLinkRow& row) {
    // The host may list an object under each of its layers; a second pass
    // would take the handle already stored for a file number.
    if (!Linked_.Insert(object)) return;
    for (TLinkStep step : row.Steps) Run(step, object);
  }

 private:
  const TOwnerTables& Tables_;
  TNumberSet Linked_;

  void Run(TLinkStep step, uint32_t object) {
    switch (step) {
      case TLinkStep::None: break;
      case TLinkStep::Net: ResolveInto(object, kNetField); break;
      case TLinkStep::PolygonOrNet: PolygonOrNet(object); break;
      case TLinkStep::Coordinate: ResolveInto(object, kCoordinateField); break;
      case TLinkStep::Dimension: ResolveInto(object, kDimensionField); break;
      case TLinkStep::NetFieldOnly: Resolve(object, kNetField); break;
    }
  }

  // Replaces the number in the field by its owner's handle (0 for none)
  // with one fetch and one store; the owner's handle.
  uint32_t Resolve(uint32_t object, const TOwnerField& field) {
    std::unique_ptr<TPCBObject> proxy = ProxyFromHandle(object);
    if (!proxy) return 0;
    // Numbers were stored sign-extended from the file's 16-bit words.
    const auto number = static_cast<int32_t>(((*proxy).*field.Get)());
    const uint32_t owner = Tables_.Lookup(field.Kind, number);
    ((*proxy).*field.Set)(owner);
    proxy->Sync(kSyncStore);
    return owner;
  }

  void ResolveInto(uint32_t object, const TOwnerField& field) {
    const uint32_t owner = Resolve(object, field);
    if (owner != 0) PcbApi_AddObjectToContainer(owner, object);
  }

  // A primitive of a polygon belongs to the polygon alone, whatever net
  // number the file gave it.
  void PolygonOrNet(uint32_t object) {
    const uint32_t polygon = Resolve(object, kPolygonField);
    if (polygon == 0) return ResolveInto(object, kNetField);
    PcbApi_AddObjectToContainer(polygon, object);
    SetNetOf(object, 0);
  }
};

}  // namespace

TOwnerTables::TOwnerTables() {
  for (std::vector<uint32_t>& table : Tables_) table.assign(kEntries, 0);
}

void TOwnerTables::Register(TOwnerKind kind, uint32_t handle) {
  if (handle == 0) return;
  const int16_t number = GetIndexOf(handle);
  if (number < 1 || number > kEntries) return;
  Tables_[static_cast<size_t>(kind)][static_cast<size_t>(number - 1)] = handle;
}

uint32_t TOwnerTables::Lookup(TOwnerKind kind, int64_t number) const {
  if (number < 1 || number > kEntries) return 0;
  return Tables_[static_cast<size_t>(kind)][static_cast<size_t>(number - 1)];
}

void LinkOwners(const TOwnerTables& tables, uint32_t boardHandle) {
  TPcbBoard board(boardHandle);
  board.Sync(kSyncFetch);
  TOwnerLinker linker(tables);
  const TLayerSet layers = TLayerSet::Range(kFirstLinkedLayer, kLastLinkedLayer);
  for (const TLinkRow& row : kLinkOrder)
    board.IterateObjects([&](uint32_t object) { linker.Link(object, row); },
                         uint32_t{1} << row.ObjectKind, layers, kBoardMembersAndComponents);
}

}  // namespace pcb9
