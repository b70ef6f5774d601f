#include "Board.h"

#include <algorithm>

#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"

namespace pcb9 {

namespace {

constexpr uint8_t kFetch = 1;
constexpr uint8_t kObjectKinds = 26;  // kinds 0..25 can be iterated
// Far more drill pairs than any board holds; a host reporting more would
// keep the fetch making pairs for minutes and exhaust memory.
constexpr int32_t kMaxLayerPairs = 65536;

bool IsPlaneId(unsigned id) { return id >= kInternalPlane1 && id <= kInternalPlane16; }

// Signal layers and internal planes: the layers a drill pair can join.
TLayerSet ElectricalLayers() {
  TLayerSet set = TLayerSet::Range(kTopLayer, kBottomLayer);
  for (unsigned id = kInternalPlane1; id <= kInternalPlane16; ++id) set.Include(id);
  return set;
}

}  // namespace

// --- layer objects -------------------------------------------------------------

TLayerObject::TLayerObject(uint32_t boardHandle, TLayerId id)
    : BoardHandle(boardHandle), LayerId(id), Name(LayerName(id)) {}

int32_t TLayerObject::Sync(uint8_t Direction) {
  const int32_t status = QueryLayerFields(Direction);
  PcbApi_QueryLayerDielectric(Direction, LayerId, BoardHandle, &DielectricMaterial,
                              &DielectricType, &DielectricConstant, &DielectricHeight);
  return status;
}

int32_t TLayerObject::QueryLayerFields(uint8_t Direction) {
  return PcbApi_QueryLayer(Direction, LayerId, BoardHandle, &Name, &CopperThickness, &LayerFlag1,
                           &LayerFlag2, &PrevLayer, &NextLayer, &LayerValue);
}

int32_t TInternalPlane::QueryLayerFields(uint8_t Direction) {
  return PcbApi_QueryInternalPlane(Direction, LayerId, BoardHandle, &Name, &CopperThickness,
                                   &LayerFlag1, &LayerFlag2, &PrevLayer, &NextLayer, &NetName);
}

// --- board ----------------------------------------------------------------------

TPcbBoard::TPcbBoard(uint32_t handle) : Handle(handle) {
  for (unsigned id = 1; id <= kLastLayerId; ++id) {
    const auto layerId = static_cast<TLayerId>(id);
    if (IsPlaneId(id))
      Layers[id] = std::make_unique<TInternalPlane>(handle, layerId);
    else
      Layers[id] = std::make_unique<TLayerObject>(handle, layerId);
  }
}

int32_t TPcbBoard::Sync(uint8_t Direction) {
  int32_t status = 0;
  SyncBoardInfo(Direction, status);
  SyncLayerInfo(Direction);
  SyncLayers(Direction);
  PcbApi_QueryBoardSplitPlaneMode(Direction, Handle, &SplitPlaneMode);
  SyncGridOptions(Direction);
  SyncOutputOptions(Direction);
  SyncGerberOptions(Direction);
  SyncPrinterOptions(Direction);
  SyncPlacerOptions(Direction);
  SyncEcoOptions(Direction);
  SyncLayerPairs(Direction);
  SyncExternalDielectrics(Direction);
  return status;
}

void TPcbBoard::SyncBoardInfo(uint8_t Direction, int32_t& status) {
  status = QueryBoardWithLayer(Direction, Handle, &BoardInfo1, &BoardInfo2, &BoardInfo3,
                               &BoardInfo4, &BoardInfo5, &BoardInfo6, &BoardInfo7, &BoardInfo8,
                               &CurrentLayer, &BoardInfo10);
}

void TPcbBoard::SyncLayerInfo(uint8_t Direction) {
  // The call has two values the proxy does not keep; both go to one scratch
  // byte, cleared before each call so a store never sends stale memory.
  uint8_t scratch = 0;
  for (unsigned id = 1; id <= kLastLayerId; ++id) {
    scratch = 0;
    PcbApi_QueryBoardLayerInfo(Direction, Handle, static_cast<uint8_t>(id), &scratch, &scratch,
                               &LayerInfo[id]);
  }
}

void TPcbBoard::SyncLayers(uint8_t Direction) {
  for (unsigned id = 1; id <= kLastLayerId; ++id) Layers[id]->Sync(Direction);
}

void TPcbBoard::SyncGridOptions(uint8_t Direction) {
  PcbApi_QueryBoardGridsEx(Direction, Handle, &GridOptions1, &GridOptions2, &GridOptions3,
                           &GridOptions4, &GridOptions5, &GridOptions6, &GridOptions7,
                           &GridOptions8, &GridOptions9, &GridOptions10, &GridOptions11,
                           &GridOptions12, &GridOptions13, &GridOptions14);
}

void TPcbBoard::SyncOutputOptions(uint8_t Direction) {
  PcbApi_QueryBoardOutputOptions(
      Direction, Handle, &OutputOptions1, &OutputOptions2, &OutputOptions3, &OutputOptions4,
      &OutputOptions5, &OutputOptions6, &OutputOptions7, &OutputOptions8, &OutputOptions9,
      &OutputOptions10, &OutputOptions11, &OutputOptions12, &OutputOptions13, &OutputOptions14,
      &OutputOptions15, &OutputOptions16, &OutputOptions17, &OutputOptions18, &OutputOptions19,
      &OutputOptions20, &OutputOptions21, &OutputOptions22, &OutputOptions23, &OutputOptions24);
  for (unsigned i = 1; i <= kOptionLayers; ++i)
    PcbApi_QueryBoardOutputOptionsPlotLayers(Direction, Handle, static_cast<uint8_t>(i),
                                             &PlotLayers[i]);
  for (unsigned i = 1; i <= kOptionLayers; ++i)
    PcbApi_QueryBoardOutputOptionsFlipLayers(Direction, Handle, static_cast<uint8_t>(i),
                                             &FlipLayers[i]);
}

void TPcbBoard::SyncGerberOptions(uint8_t Direction) {
  PcbApi_QueryBoardGerberOptions(
      Direction, Handle, &GerberOptions1, &GerberOptions2, &GerberOptions3, &GerberOptions4,
      &GerberOptions5, &GerberOptions6, &GerberOptions7, &GerberOptions8, &GerberOptions9,
      &GerberOptions10, &GerberOptions11, &GerberOptions12, &GerberOptions13, &GerberOptions14,
      &GerberOptions15, &GerberOptions16, &GerberOptions17, &GerberOptions18, &GerberOptions19);
}

void TPcbBoard::SyncPrinterOptions(uint8_t Direction) {
  PcbApi_QueryBoardPrinterOptions(
      Direction, Handle, &PrinterOptions1, &PrinterOptions2, &PrinterOptions3, &PrinterOptions4,
      &PrinterOptions5, &PrinterOptions6, &PrinterOptions7, &PrinterOptions8, &PrinterOptions9,
      &PrinterOptions10, &PrinterOptions11, &PrinterOptions12, &PrinterOptions13,
      PrinterOptions14.data(), &PrinterOptions15, &PrinterOptions16, &PrinterOptions17,
      &PrinterOptions18, &PrinterOptions19, &PrinterOptions20, &PrinterOptions21,
      &PrinterOptions22, &PrinterOptions23, &PrinterOptions24, &PrinterOptions25,
      &PrinterOptions26);
  for (unsigned pen = 1; pen <= kPens; ++pen)
    PcbApi_QueryBoardPrinterOptionsPlotterPen(Direction, Handle, static_cast<uint8_t>(pen),
                                              &PlotterPens[pen].First, &PlotterPens[pen].Second);
  for (unsigned id = 1; id <= kLastLayerId; ++id)
    PcbApi_QueryBoardPrinterOptionsCompositeLayer(
        Direction, Handle, static_cast<uint8_t>(id), &CompositeLayers1[id],
        &CompositeLayers2[id], &CompositeLayers3[id], &CompositeLayers4[id]);
}

void TPcbBoard::SyncPlacerOptions(uint8_t Direction) {
  PcbApi_QueryBoardAdvancedPlacerOptions(Direction, Handle, &PlacerOptions1, &PlacerOptions2,
                                         &PlacerOptions3, &PlacerOptions4, &PlacerOptions5,
                                         &PlacerOptions6);
}

void TPcbBoard::SyncEcoOptions(uint8_t Direction) {
  PcbApi_QueryBoardEngineeringChangeOrderOptions(Direction, Handle, &EcoOptions1, &EcoOptions2);
}

void TPcbBoard::SyncExternalDielectrics(uint8_t Direction) {
  PcbApi_QueryBoardExternalDielectrics(
      Direction, Handle, &TopDielectricMaterial, &TopDielectricType, &TopDielectricConstant,
      &TopDielectricHeight, &BottomDielectricMaterial, &BottomDielectricType,
      &BottomDielectricConstant, &BottomDielectricHeight);
}

// --- layer pairs ----------------------------------------------------------------

void TPcbBoard::SyncLayerPairs(uint8_t Direction) {
  if (Direction == kFetch)
    FetchLayerPairs();
  else
    StoreLayerPairs();
}

void TPcbBoard::FetchLayerPairs() {
  LayerPairs.clear();
  int32_t count = 0;
  if (PcbApi_QueryBoardLayerPairsCount(Handle, &count, kFetch) != 0) count = 0;
  count = std::min(count, kMaxLayerPairs);
  for (int32_t i = 0; i < count; ++i) {
    auto pair = std::make_unique<TPcblayerPair>();
    PcbApi_QueryBoardLayerPairAt(kFetch, Handle, i, &pair->PairLayer1, &pair->PairLayer2,
                                 &pair->PairFlag2, &pair->PairFlag1);
    NamePair(*pair);
    LayerPairs.push_back(std::move(pair));
  }
}

void TPcbBoard::NamePair(TPcblayerPair& pair) const {
  static const TLayerSet kElectrical = ElectricalLayers();
  const TLayerId id1 = LayerIdFromCode(pair.PairLayer1);
  const TLayerId id2 = LayerIdFromCode(pair.PairLayer2);
  const int p1 = StackPosition(kElectrical, id1);
  const int p2 = StackPosition(kElectrical, id2);
  const TLayerId upper = p1 >= p2 ? id2 : id1;
  const TLayerId lower = p1 >= p2 ? id1 : id2;
  pair.Name.Assign(std::string(LayerName(upper)) + " - " + std::string(LayerName(lower)));
}

void TPcbBoard::StoreLayerPairs() {
  auto count = static_cast<int32_t>(LayerPairs.size());
  PcbApi_QueryBoardLayerPairsCount(Handle, &count, uint8_t{0});
  for (int32_t i = 0; i < static_cast<int32_t>(LayerPairs.size()); ++i) {
    TPcblayerPair& pair = *LayerPairs[static_cast<size_t>(i)];
    PcbApi_QueryBoardLayerPairAt(uint8_t{0}, Handle, i, &pair.PairLayer1, &pair.PairLayer2,
                                 &pair.PairFlag2, &pair.PairFlag1);
  }
}

// --- board operations -----------------------------------------------------------

int32_t TPcbBoard::AddObject(uint32_t handle) {
  if (handle == 0) return 1;
  return PcbApi_AddObjectToContainer(Handle, handle);
}

int32_t TPcbBoard::DeleteObject(uint32_t handle) {
  if (handle == 0) return 1;
  return PcbApi_DeleteObjectFromContainer(Handle, handle);
}

void TPcbBoard::IterateObjects(const std::function<void(uint32_t)>& callback, uint32_t kindMask,
                               const TLayerSet& layers, uint8_t method) {
  for (uint8_t kind = 0; kind < kObjectKinds; ++kind) {
    if (((kindMask >> kind) & 1u) == 0) continue;
    for (unsigned id = 0; id <= kLastLayerId; ++id) {
      if (!layers.Contains(id)) continue;
      const uint32_t it = CreateIteratorOnLayer(Handle, kind, method, static_cast<uint8_t>(id));
      for (uint32_t h = PcbApi_GetFirstObject(it); h != 0; h = PcbApi_GetNextObject(it))
        callback(h);
      PcbApi_DestroyIterator(it);
    }
  }
}

void TPcbBoard::SetLayerFlag(unsigned id, bool value) {
  if (TLayerObject* layer = Layer(id)) layer->LayerFlag2 = value ? 1 : 0;
}

void TPcbBoard::SetPlaneNetName(unsigned plane, std::string_view name) {
  if (plane < 1 || plane > 4) return;
  static_cast<TInternalPlane&>(*Layers[kInternalPlane1 + plane - 1]).NetName.Assign(name);
}

// --- layer stack ----------------------------------------------------------------

TLayerObject* TPcbBoard::Layer(unsigned id) const {
  return id >= 1 && id <= kLastLayerId ? Layers[id].get() : nullptr;
}

TLayerObject* TPcbBoard::StackTop() const {
  for (unsigned id = 1; id <= kLastLayerId; ++id)
    if (Layers[id]->PrevLayer == 0) return Layers[id].get();
  return nullptr;
}

TLayerObject* TPcbBoard::StackNext(const TLayerObject* layer) const {
  // A link outside 1..82 ends the walk like 0 does.
  return layer ? Layer(layer->NextLayer) : nullptr;
}

int TPcbBoard::StackPosition(const TLayerSet& set, const TLayerObject* layer) const {
  if (!layer || !set.Contains(layer->LayerId)) return 0;
  int position = 0;
  // At most one step per layer: a host that links its layers into a cycle
  // ends the walk instead of hanging it.
  const TLayerObject* at = StackTop();
  for (unsigned steps = 0; at && steps < kLastLayerId; ++steps, at = StackNext(at)) {
    if (set.Contains(at->LayerId)) ++position;
    if (at == layer) return position;
  }
  return 0;
}

int TPcbBoard::StackPosition(const TLayerSet& set, TLayerId id) const {
  return StackPosition(set, Layer(id));
}

}  // namespace pcb9
