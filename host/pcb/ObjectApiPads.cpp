// Pads and the per-layer pad and via calls. A pad keeps its top, mid and
// bottom sizes and shapes and, per host layer id, a size, shape and corner
// percentage. In the full stack mode (2) every layer answers from its own
// entries; otherwise the copper layers answer from the top (TopLayer), mid
// (MidLayer1..30) and bottom (BottomLayer) values, the mid layers sharing
// the percentage stored on MidLayer1, and the other layers from their own
// entries. A pad's corner radius follows from its size and percentage. A
// via answers its size (round) on the layers it spans and on its own layer.
#include <algorithm>
#include <array>
#include <string>

#include "BoardStore.h"
#include "Checks.h"
#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

using T = TFieldType;

constexpr uint8_t kFullStack = 2;
constexpr unsigned kTop = 1, kFirstMid = 2, kBottom = 32;
constexpr uint8_t kRoundShape = 1;
// A via answers nothing on a layer it does not span: a plain answer, not a
// refused call.
constexpr int32_t kNotOnLayer = 1;

const TFieldInfo kPad[] = {
    {"Flags", T::U16},        {"Index", T::I16},        {"Layer", T::LayerCode},
    {"Net", T::Handle},       {"StateFlag", T::Bool},   {"OwnerComponent", T::Handle},
    {"X", T::I32},            {"Y", T::I32},            {"TopXSize", T::I32},
    {"TopYSize", T::I32},     {"MidXSize", T::I32},     {"MidYSize", T::I32},
    {"BottomXSize", T::I32},  {"BottomYSize", T::I32},  {"HoleSize", T::I32},
    {"TopShape", T::U8},      {"MidShape", T::U8},      {"BottomShape", T::U8},
    {"Name", T::Text},        {"PadByte1", T::U8},      {"PadByte2", T::U8},
    {"Rotation", T::Real},    {"PadString1", T::Text},  {"PadString2", T::Text},
    {"PadValue1", T::I32},    {"PadString3", T::Text},  {"PadByte3", T::U8},
    {"PadByte4", T::U8},      {"PadValue2", T::I32},    {"PadReal", T::Real},
    {"PadValue3", T::I32},    {"PadValue4", T::I32},    {"PadValue5", T::I32},
    {"ExtraFlag1", T::Bool},  {"ExtraFlag2", T::Bool}};

const TFieldInfo kStackMode = {"StackMode", T::U8};

constexpr TKindSet kPadOrVia = KindBit(kKindPad) | KindBit(kKindVia);

// The pad or via of a per-layer call, or null after refusing the call for a
// handle of another kind, a layer id the host does not have or a missing
// result pointer.
void RefuseOnLayer(const char* call, uint32_t handle, uint8_t layerId) {
  if (layerId >= kLayerIdCount)
    Refuse(call, handle, "no layer id " + std::to_string(layerId));
  else
    Refuse(call, handle, "no result pointer");
}

inline TObject* FindOnLayer(const char* call, uint32_t handle, TKindSet kinds, uint8_t layerId,
                            bool pointers = true) {
  TObject* object = FindFor(call, handle, kinds);
  if (!object) return nullptr;
  if (layerId < kLayerIdCount && pointers) return object;
  RefuseOnLayer(call, handle, layerId);
  return nullptr;
}

bool IsCopper(unsigned id) { return id >= kTop && id <= kBottom; }
const TFieldName kStackModeField(kStackMode.Name);
bool FullStack(const TObject& pad) { return pad.Int(kStackModeField) == kFullStack; }

// The size and shape fields of the top, mid and bottom copper layers.
struct TCopperGroup {
  TFieldName XSize, YSize, Shape;
};

const TCopperGroup kTopGroup{TFieldName("TopXSize"), TFieldName("TopYSize"), TFieldName("TopShape")},
    kMidGroup{TFieldName("MidXSize"), TFieldName("MidYSize"), TFieldName("MidShape")},
    kBottomGroup{TFieldName("BottomXSize"), TFieldName("BottomYSize"), TFieldName("BottomShape")};

// What a pad answers on one layer. In the full stack mode every layer
// answers from its own entries; otherwise the copper layers answer from the
// top, mid or bottom fields and the mid layers share MidLayer1's percentage.
struct TPadLayer {
  int64_t XSize = 0, YSize = 0, Shape = 0, Percent = 0;
};

void WorkOutPadLayers(const TObject& pad, std::array<TPadLayer, kLayerIdCount>& layers) {
  const TLayerEntries xSize(pad, kLayerXSize), ySize(pad, kLayerYSize), shape(pad, kLayerShape),
      percent(pad, kLayerCornerPercent);
  for (unsigned id = 0; id < kLayerIdCount; ++id)
    layers[id] = {xSize.At(id), ySize.At(id), shape.At(id), percent.At(id)};
  if (FullStack(pad)) return;
  const auto copper = [&](const TCopperGroup& group, unsigned percentLayer) {
    return TPadLayer{pad.Int(group.XSize), pad.Int(group.YSize), pad.Int(group.Shape),
                     percent.At(percentLayer)};
  };
  layers[kTop] = copper(kTopGroup, kTop);
  layers[kBottom] = copper(kBottomGroup, kBottom);
  const TPadLayer mid = copper(kMidGroup, kFirstMid);
  std::fill(layers.begin() + kFirstMid, layers.begin() + kBottom, mid);
}

// The importer asks a pad for each value on each of the 83 layers, one call
// per value and layer, twice per pad. The last pad asked keeps its answers
// for every layer until any field of the document is written again.
struct TPadAnswers {
  const TObject* Pad = nullptr;
  uint64_t Writes = 0;
  std::array<TPadLayer, kLayerIdCount> Layers;
};

const TPadLayer& PadOnLayer(const TObject& pad, unsigned id) {
  static TPadAnswers answers;
  if (answers.Pad != &pad || answers.Writes != gFieldWrites) {
    WorkOutPadLayers(pad, answers.Layers);
    answers.Pad = &pad;
    answers.Writes = gFieldWrites;
  }
  return answers.Layers[id];
}

// A via is on the layers from its start to its end layer and on its own.
bool ViaSpans(const TObject& via, unsigned id) {
  static const TFieldName kStart("StartLayer"), kEnd("EndLayer"), kLayer("Layer");
  const int64_t start = via.Int(kStart), end = via.Int(kEnd);
  const int64_t low = std::min(start, end), high = std::max(start, end);
  const bool inSpan = IsCopper(id) && static_cast<int64_t>(id) >= low && static_cast<int64_t>(id) <= high;
  return inSpan || via.Int(kLayer, kMultiLayerId) == static_cast<int64_t>(id);
}

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryPad(
    uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index, uint32_t* Layer, uint32_t* Net,
    uint8_t* StateFlag, uint32_t* OwnerComponent, int32_t* X, int32_t* Y, int32_t* TopXSize,
    int32_t* TopYSize, int32_t* MidXSize, int32_t* MidYSize, int32_t* BottomXSize,
    int32_t* BottomYSize, int32_t* HoleSize, uint8_t* TopShape, uint8_t* MidShape,
    uint8_t* BottomShape, TShortString* Name, uint8_t* PadByte1, uint8_t* PadByte2,
    double* Rotation, TShortString* PadString1, TShortString* PadString2, int32_t* PadValue1,
    TShortString* PadString3, uint8_t* PadByte3, uint8_t* PadByte4, int32_t* PadValue2,
    double* PadReal, int32_t* PadValue3, int32_t* PadValue4, int32_t* PadValue5,
    uint8_t* ExtraFlag1, uint8_t* ExtraFlag2) {
  return Exchange(__func__, KindBit(kKindPad), Dir, Object, kPad,
                  {Flags,     Index,      Layer,      Net,        StateFlag,  OwnerComponent,
                   X,         Y,          TopXSize,   TopYSize,   MidXSize,   MidYSize,
                   BottomXSize, BottomYSize, HoleSize, TopShape,  MidShape,   BottomShape,
                   Name,      PadByte1,   PadByte2,   Rotation,   PadString1, PadString2,
                   PadValue1, PadString3, PadByte3,   PadByte4,   PadValue2,  PadReal,
                   PadValue3, PadValue4,  PadValue5,  ExtraFlag1, ExtraFlag2});
}

int32_t PCB9_CALL PcbApi_QueryPadStackMode(uint8_t Dir, uint32_t Object, uint8_t* StackMode) {
  TObject* pad = FindFor(__func__, Object, KindBit(kKindPad));
  if (!pad) return kRefused;
  ExchangeField(Dir, *pad, kStackMode, StackMode);
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryPadOrViaShapeOnLayer(uint32_t Object, uint8_t LayerId, uint8_t* Shape) {
  TObject* object = FindOnLayer(__func__, Object, kPadOrVia, LayerId, Shape != nullptr);
  if (!object) return kRefused;
  if ((object->Kind & kKindBits) == kKindPad) {
    *Shape = static_cast<uint8_t>(PadOnLayer(*object, LayerId).Shape);
    return 0;
  }
  if (!ViaSpans(*object, LayerId)) return kNotOnLayer;
  *Shape = kRoundShape;
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryPadOrViaSizeOnLayer(uint32_t Object, uint8_t LayerId, int32_t* XSize,
                                                  int32_t* YSize) {
  TObject* object = FindOnLayer(__func__, Object, kPadOrVia, LayerId, XSize && YSize);
  if (!object) return kRefused;
  if ((object->Kind & kKindBits) == kKindPad) {
    const TPadLayer& l = PadOnLayer(*object, LayerId);
    *XSize = static_cast<int32_t>(l.XSize);
    *YSize = static_cast<int32_t>(l.YSize);
    return 0;
  }
  if (!ViaSpans(*object, LayerId)) return kNotOnLayer;
  static const TFieldName kSize("Size");
  *XSize = *YSize = static_cast<int32_t>(object->Int(kSize));
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryPadCornerRadiusOnLayer(uint32_t Object, uint8_t LayerId,
                                                     int32_t* Radius) {
  TObject* pad = FindOnLayer(__func__, Object, KindBit(kKindPad), LayerId, Radius != nullptr);
  if (!pad) return kRefused;
  const TPadLayer& l = PadOnLayer(*pad, LayerId);
  // The percentage is of half the smaller side.
  *Radius = static_cast<int32_t>(std::min(l.XSize, l.YSize) * l.Percent / 200);
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryPadCRPercentageOnLayer(uint32_t Object, uint8_t LayerId,
                                                     uint8_t* Percent) {
  TObject* pad = FindOnLayer(__func__, Object, KindBit(kKindPad), LayerId, Percent != nullptr);
  if (!pad) return kRefused;
  *Percent = static_cast<uint8_t>(PadOnLayer(*pad, LayerId).Percent);
  return 0;
}

int32_t PCB9_CALL PcbApi_SetPadShapeOnLayer(uint32_t Object, uint8_t LayerId, uint8_t Shape) {
  TObject* pad = FindOnLayer(__func__, Object, KindBit(kKindPad), LayerId);
  if (!pad) return kRefused;
  SetLayerArrayValue(*pad, kLayerShape, LayerId, Shape);
  return 0;
}

int32_t PCB9_CALL PcbApi_SetPadSizeOnLayer(uint32_t Object, uint8_t LayerId, int32_t XSize,
                                           int32_t YSize) {
  TObject* pad = FindOnLayer(__func__, Object, KindBit(kKindPad), LayerId);
  if (!pad) return kRefused;
  SetLayerArrayValue(*pad, kLayerXSize, LayerId, XSize);
  SetLayerArrayValue(*pad, kLayerYSize, LayerId, YSize);
  return 0;
}

int32_t PCB9_CALL PcbApi_SetCRPctOnLayer(uint32_t Object, uint8_t LayerId, uint8_t Percent) {
  TObject* pad = FindOnLayer(__func__, Object, KindBit(kKindPad), LayerId);
  if (!pad) return kRefused;
  SetLayerArrayValue(*pad, kLayerCornerPercent, LayerId, Percent);
  return 0;
}

}  // extern "C"
