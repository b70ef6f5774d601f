#pragma once
// The board proxy: an in-process copy of the host board's settings and
// options, its layer stack (one layer object per host layer id 1..82) and its
// drill layer pairs, exchanged with the host in one `Sync`, plus the
// board-level operations the import needs (adding, deleting and enumerating
// objects, setting layer properties).
//
// Option groups are flat fields named after their group and value number
// (`GridOptions13` is value 13 of the grid options). Per-index arrays are
// indexed by the host's own numbers, so `PlotLayers[i]` is index i (1..109)
// and `LayerInfo[id]` layer id 1..82; slot 0 of each is never exchanged and
// absorbs writes for unmapped old layer codes.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "hostapi/ShortString.h"
#include "layers/Layers.h"

namespace pcb9 {

// One layer of the board's stack.
class TLayerObject {
 public:
  uint32_t BoardHandle = 0;
  TLayerId LayerId = 0;
  TShortString Name;
  int32_t CopperThickness = 14000;  // 1.4 mil
  TShortString DielectricMaterial{"FR-4"};
  uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  int32_t DielectricHeight = 126000;  // 12.6 mil
  uint8_t LayerFlag1 = 0;
  uint8_t LayerFlag2 = 0;
  TLayerId PrevLayer = 0;  // 0 = none
  TLayerId NextLayer = 0;  // 0 = none
  uint8_t LayerValue = 0;

  TLayerObject(uint32_t boardHandle, TLayerId id);
  TLayerObject(const TLayerObject&) = delete;
  TLayerObject& operator=(const TLayerObject&) = delete;
  virtual ~TLayerObject() = default;

  // Exchanges the layer's fields, then its dielectric; the status of the
  // first call.
  virtual int32_t Sync(uint8_t Direction);

 protected:
  virtual int32_t QueryLayerFields(uint8_t Direction);
};

// An internal plane layer (ids 39..54): its net name takes the place of
// `LayerValue` in the exchange.
class TInternalPlane : public TLayerObject {
 public:
  TShortString NetName{"(No Net)"};

  TInternalPlane(uint32_t boardHandle, TLayerId id) : TLayerObject(boardHandle, id) {}

 protected:
  int32_t QueryLayerFields(uint8_t Direction) override;
};

// A drill layer pair.
class TPcblayerPair {
 public:
  TShortString Name;
  TLayerCode PairLayer1 = 0;
  TLayerCode PairLayer2 = 0;
  uint8_t PairFlag1 = 0;
  uint8_t PairFlag2 = 0;
};

struct TPlotterPen {
  int32_t First = 0;
  int32_t Second = 0;
};

class TPcbBoard {
 public:
  static constexpr unsigned kOptionLayers = 109;  // plot and flip layer indexes
  static constexpr unsigned kPens = 8;
  static constexpr unsigned kPrinterBlockSize = 27;

  uint32_t Handle = 0;
  // BoardInfo 1..8 (value 2: the board's file name, a full path).
  int32_t BoardInfo1 = 0;
  TShortString BoardInfo2;
  uint8_t BoardInfo3 = 0;
  int32_t BoardInfo4 = 0, BoardInfo5 = 0, BoardInfo6 = 0, BoardInfo7 = 0;
  uint8_t BoardInfo8 = 0;
  // External dielectrics, top then bottom.
  TShortString TopDielectricMaterial{"FR-4"};
  uint8_t TopDielectricType = 1;
  double TopDielectricConstant = 4.8;
  int32_t TopDielectricHeight = 126000;
  TShortString BottomDielectricMaterial{"FR-4"};
  uint8_t BottomDielectricType = 1;
  double BottomDielectricConstant = 4.8;
  int32_t BottomDielectricHeight = 126000;
  TLayerId CurrentLayer = 0;  // BoardInfo 9, exchanged as a layer code
  // Layers[id] for ids 1..82 (InternalPlane1..16 are TInternalPlane);
  // Layers[0] is empty.
  std::array<std::unique_ptr<TLayerObject>, kLastLayerId + 1> Layers;
  std::vector<std::unique_ptr<TPcblayerPair>> LayerPairs;
  std::array<int32_t, kLastLayerId + 1> LayerInfo{};
  uint8_t GridOptions2 = 0, GridOptions3 = 0, GridOptions4 = 0;
  double GridOptions5 = 0, GridOptions6 = 0, GridOptions7 = 0, GridOptions8 = 0;
  double GridOptions11 = 0, GridOptions12 = 0, GridOptions13 = 0, GridOptions14 = 0;
  uint8_t GridOptions1 = 0;
  int32_t OutputOptions1 = 0, OutputOptions2 = 0;
  uint8_t OutputOptions3 = 0, OutputOptions4 = 0, OutputOptions5 = 0, OutputOptions6 = 0,
          OutputOptions7 = 0, OutputOptions8 = 0, OutputOptions9 = 0, OutputOptions10 = 0,
          OutputOptions11 = 0, OutputOptions12 = 0, OutputOptions13 = 0, OutputOptions14 = 0,
          OutputOptions15 = 0, OutputOptions16 = 0, OutputOptions17 = 0, OutputOptions18 = 0,
          OutputOptions19 = 0, OutputOptions20 = 0, OutputOptions21 = 0, OutputOptions22 = 0,
          OutputOptions23 = 0, OutputOptions24 = 0;
  std::array<uint8_t, kOptionLayers + 1> PlotLayers{};
  std::array<uint8_t, kOptionLayers + 1> FlipLayers{};
  uint8_t GerberOptions1 = 0, GerberOptions2 = 0, GerberOptions3 = 0, GerberOptions4 = 0;
  uint8_t GerberOptions6 = 0, GerberOptions7 = 0;
  int32_t GerberOptions8 = 0, GerberOptions9 = 0, GerberOptions10 = 0, GerberOptions11 = 0,
          GerberOptions12 = 0;
  TShortString GerberOptions13;
  uint8_t GerberOptions5 = 0;
  int32_t GerberOptions14 = 0;
  uint8_t GerberOptions15 = 0;
  uint8_t GerberOptions19 = 0;
  uint8_t GerberOptions16 = 0;
  int32_t GerberOptions17 = 0, GerberOptions18 = 0;
  TShortString PrinterOptions1, PrinterOptions2, PrinterOptions3;
  uint8_t PrinterOptions4 = 0, PrinterOptions5 = 0, PrinterOptions6 = 0, PrinterOptions7 = 0,
          PrinterOptions8 = 0, PrinterOptions9 = 0;
  int32_t PrinterOptions10 = 0;
  double PrinterOptions11 = 0, PrinterOptions12 = 0, PrinterOptions13 = 0;
  std::array<uint8_t, kPrinterBlockSize> PrinterOptions14{};
  uint8_t PrinterOptions15 = 0, PrinterOptions16 = 0;
  double PrinterOptions17 = 0, PrinterOptions18 = 0, PrinterOptions19 = 0;
  int32_t PrinterOptions20 = 0, PrinterOptions21 = 0;
  uint8_t PrinterOptions22 = 0, PrinterOptions23 = 0, PrinterOptions24 = 0,
          PrinterOptions25 = 0, PrinterOptions26 = 0;
  std::array<TPlotterPen, kPens + 1> PlotterPens{};  // pens 1..8
  // Four parallel arrays by layer id 1..82.
  std::array<int32_t, kLastLayerId + 1> CompositeLayers1{};
  std::array<int32_t, kLastLayerId + 1> CompositeLayers2{};
  std::array<uint8_t, kLastLayerId + 1> CompositeLayers3{};
  std::array<int32_t, kLastLayerId + 1> CompositeLayers4{};
  TShortString PlacerOptions1, PlacerOptions2;
  uint8_t PlacerOptions3 = 0, PlacerOptions4 = 0, PlacerOptions5 = 0, PlacerOptions6 = 0;
  uint8_t EcoOptions1 = 0;
  TShortString EcoOptions2;
  int32_t GridOptions9 = 0;
  uint8_t GridOptions10 = 0;
  int32_t BoardInfo10 = 0;
  int32_t SplitPlaneMode = 1;

  explicit TPcbBoard(uint32_t handle);
  TPcbBoard(const TPcbBoard&) = delete;
  TPcbBoard& operator=(const TPcbBoard&) = delete;
  virtual ~TPcbBoard() = default;

  // Fetches (1) or stores (0) every field, layer and layer pair; the status
  // of the board information call.
  virtual int32_t Sync(uint8_t Direction);

  // Adds an object to, or deletes it from, the board; 1 without a host call
  // for handle 0, else the host's status.
  int32_t AddObject(uint32_t handle);
  int32_t DeleteObject(uint32_t handle);

  // Calls `callback` with every object the host's iterators give, for each
  // kind 0..25 whose bit is set in `kindMask` (kind-major) and each layer id
  // 0..82 in `layers` (layer-minor).
  void IterateObjects(const std::function<void(uint32_t)>& callback, uint32_t kindMask,
                      const TLayerSet& layers, uint8_t method);

  // `LayerFlag2` of layer `id` (1..82; other ids are ignored).
  void SetLayerFlag(unsigned id, bool value);
  // Net name of InternalPlane1..InternalPlane4 (plane 1..4; others ignored).
  void SetPlaneNetName(unsigned plane, std::string_view name);

  // The layer object of an id, or none outside 1..82.
  TLayerObject* Layer(unsigned id) const;
  // Walk of the layer stack, top first: the first layer (by id) with no
  // previous layer, and the layer after a given one. None ends the walk.
  TLayerObject* StackTop() const;
  TLayerObject* StackNext(const TLayerObject* layer) const;
  // 1-based position of the layer among the layers of `set` met walking
  // from the top; 0 when the layer is not in the set or not reached.
  int StackPosition(const TLayerSet& set, const TLayerObject* layer) const;
  int StackPosition(const TLayerSet& set, TLayerId id) const;

 private:
  void SyncBoardInfo(uint8_t Direction, int32_t& status);
  void SyncLayerInfo(uint8_t Direction);
  void SyncLayers(uint8_t Direction);
  void SyncGridOptions(uint8_t Direction);
  void SyncOutputOptions(uint8_t Direction);
  void SyncGerberOptions(uint8_t Direction);
  void SyncPrinterOptions(uint8_t Direction);
  void SyncPlacerOptions(uint8_t Direction);
  void SyncEcoOptions(uint8_t Direction);
  void SyncLayerPairs(uint8_t Direction);
  void FetchLayerPairs();
  void StoreLayerPairs();
  void NamePair(TPcblayerPair& pair) const;
  void SyncExternalDielectrics(uint8_t Direction);
};

}  // namespace pcb9
