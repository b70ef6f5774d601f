// Exchange of the drawing objects: arcs, vias, fills, regions, texts with
// their TrueType, bar-code and display-string calls, embedded boards,
// from-tos and manual from-tos. Each query lists its pointers' names and
// types once; Exchange copies between them and the document.
#include <string>

#include "Checks.h"
#include "Document.h"
#include "Kinds.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

using T = TFieldType;

// Flags, Index, Layer, Net, StateFlag, OwnerComponent, X, Y: the block most
// primitive queries begin with.
#define BASE_BLOCK                                                                       \
  {"Flags", T::U16}, {"Index", T::I16}, {"Layer", T::LayerCode}, {"Net", T::Handle},     \
      {"StateFlag", T::Bool}, {"OwnerComponent", T::Handle}, {"X", T::I32}, {"Y", T::I32}

const TFieldInfo kArc[] = {BASE_BLOCK,
                           {"Radius", T::I32},
                           {"StartAngle", T::Real},
                           {"EndAngle", T::Real},
                           {"Width", T::I32},
                           {"OwnerPolygon", T::Handle}};

const TFieldInfo kVia[] = {
    {"Flags", T::U16},       {"Index", T::I16},          {"Layer", T::LayerId},
    {"Net", T::Handle},      {"StateFlag", T::Bool},     {"OwnerComponent", T::Handle},
    {"X", T::I32},           {"Y", T::I32},              {"Size", T::I32},
    {"HoleSize", T::I32},    {"StartLayer", T::LayerId}, {"EndLayer", T::LayerId},
    {"ExtraFlag1", T::Bool}, {"ExtraFlag2", T::Bool}};

const TFieldInfo kFill[] = {BASE_BLOCK,
                            {"X2", T::I32},
                            {"Y2", T::I32},
                            {"OwnerPolygon", T::Handle},
                            {"Rotation", T::Real}};

const TFieldInfo kRegion[] = {
    {"RegionByte", T::U8},   {"Flags", T::U16},          {"Index", T::I16},
    {"Layer", T::LayerCode}, {"Net", T::Handle},         {"StateFlag", T::Bool},
    {"OwnerComponent", T::Handle}, {"RegionValue6", T::I32}, {"RegionValue5", T::I32},
    {"RegionValue1", T::I32}, {"RegionValue2", T::I32},  {"RegionValue3", T::I32},
    {"RegionValue4", T::I32}};

const TFieldInfo kText[] = {BASE_BLOCK,
                            {"Height", T::I32},
                            {"Font", T::I32},
                            {"Rotation", T::Real},
                            {"Mirrored", T::Bool},
                            {"Text", T::Text},
                            {"Width", T::I32},
                            {"OwnerCoordinate", T::Handle},
                            {"OwnerDimension", T::Handle}};

const TFieldInfo kTrueType[] = {{"TrueTypeByte1", T::U8}, {"TrueTypeFontName", T::Text},
                                {"TrueTypeByte2", T::U8}, {"TrueTypeByte3", T::U8},
                                {"TrueTypeByte4", T::U8}, {"TrueTypeValue", T::I32}};

const TFieldInfo kBarCode[] = {{"BarCodeByte1", T::U8},
                               {"BarCodeByte2", T::U8},
                               {"BarCodeByte3", T::U8},
                               {"BarCodeByte4", T::U8}};

const TFieldInfo kEmbeddedBoard[] = {
    {"Flags", T::U16},  {"Index", T::I16},  {"StateFlag", T::Bool},
    {"X", T::I32},      {"Y", T::I32},      {"EmbeddedBoardName", T::Text},
    {"EmbeddedBoardValue1", T::I32}, {"EmbeddedBoardValue2", T::I32},
    {"EmbeddedBoardValue3", T::I32}, {"EmbeddedBoardValue4", T::I32},
    {"EmbeddedBoardReal", T::Real}, {"Mirrored", T::Bool}, {"EmbeddedBoardByte", T::U8}};

const TFieldInfo kFromTo[] = {{"Index", T::I16},       {"X", T::I32},  {"Y", T::I32},
                              {"FromToFlag1", T::Bool}, {"X2", T::I32}, {"Y2", T::I32},
                              {"FromToFlag2", T::Bool}, {"Net", T::Handle}};

const TFieldInfo kManualFromTo[] = {{"Index", T::I16},
                                    {"ManualFromToText1", T::Text},
                                    {"ManualFromToText2", T::Text},
                                    {"ManualFromToText3", T::Text},
                                    {"ManualFromToValue", T::I32}};

#undef BASE_BLOCK

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryArc(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                  uint32_t* Layer, uint32_t* Net, uint8_t* StateFlag,
                                  uint32_t* OwnerComponent, int32_t* X, int32_t* Y,
                                  int32_t* Radius, double* StartAngle, double* EndAngle,
                                  int32_t* Width, uint32_t* OwnerPolygon) {
  return Exchange(__func__, KindBit(kKindArc), Dir, Object, kArc,
                  {Flags, Index, Layer, Net, StateFlag, OwnerComponent, X, Y, Radius, StartAngle,
                   EndAngle, Width, OwnerPolygon});
}

int32_t PCB9_CALL PcbApi_QueryVia(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                  uint8_t* LayerId, uint32_t* Net, uint8_t* StateFlag,
                                  uint32_t* OwnerComponent, int32_t* X, int32_t* Y, int32_t* Size,
                                  int32_t* HoleSize, uint8_t* StartLayer, uint8_t* EndLayer,
                                  uint8_t* ExtraFlag1, uint8_t* ExtraFlag2) {
  return Exchange(__func__, KindBit(kKindVia), Dir, Object, kVia,
                  {Flags, Index, LayerId, Net, StateFlag, OwnerComponent, X, Y, Size, HoleSize,
                   StartLayer, EndLayer, ExtraFlag1, ExtraFlag2});
}

int32_t PCB9_CALL PcbApi_QueryFill(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                   uint32_t* Layer, uint32_t* Net, uint8_t* StateFlag,
                                   uint32_t* OwnerComponent, int32_t* X, int32_t* Y, int32_t* X2,
                                   int32_t* Y2, uint32_t* OwnerPolygon, double* Rotation) {
  return Exchange(__func__, KindBit(kKindFill), Dir, Object, kFill,
                  {Flags, Index, Layer, Net, StateFlag, OwnerComponent, X, Y, X2, Y2,
                   OwnerPolygon, Rotation});
}

int32_t PCB9_CALL PcbApi_QueryRegion(uint8_t Dir, uint32_t Object, uint8_t* RegionByte,
                                     uint16_t* Flags, int16_t* Index, uint32_t* Layer,
                                     uint32_t* Net, uint8_t* StateFlag, uint32_t* OwnerComponent,
                                     int32_t* RegionValue6, int32_t* RegionValue5,
                                     int32_t* RegionValue1, int32_t* RegionValue2,
                                     int32_t* RegionValue3, int32_t* RegionValue4) {
  return Exchange(__func__, KindBit(kKindRegion), Dir, Object, kRegion,
                  {RegionByte, Flags, Index, Layer, Net, StateFlag, OwnerComponent, RegionValue6,
                   RegionValue5, RegionValue1, RegionValue2, RegionValue3, RegionValue4});
}

int32_t PCB9_CALL PcbApi_QueryText(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                   uint32_t* Layer, uint32_t* Net, uint8_t* StateFlag,
                                   uint32_t* OwnerComponent, int32_t* X, int32_t* Y,
                                   int32_t* Height, int32_t* Font, double* Rotation,
                                   uint8_t* Mirrored, TShortString* Text, int32_t* Width,
                                   uint32_t* OwnerCoordinate, uint32_t* OwnerDimension) {
  return Exchange(__func__, KindBit(kKindText), Dir, Object, kText,
                  {Flags, Index, Layer, Net, StateFlag, OwnerComponent, X, Y, Height, Font,
                   Rotation, Mirrored, Text, Width, OwnerCoordinate, OwnerDimension});
}

int32_t PCB9_CALL PcbApi_QueryTrueTypeTextInfo(uint8_t Dir, uint32_t Object,
                                               uint8_t* TrueTypeByte1,
                                               TShortString* TrueTypeFontName,
                                               uint8_t* TrueTypeByte2, uint8_t* TrueTypeByte3,
                                               uint8_t* TrueTypeByte4, int32_t* TrueTypeValue) {
  return Exchange(__func__, KindBit(kKindText), Dir, Object, kTrueType,
                  {TrueTypeByte1, TrueTypeFontName, TrueTypeByte2, TrueTypeByte3, TrueTypeByte4,
                   TrueTypeValue});
}

int32_t PCB9_CALL PcbApi_QueryBarCodeTextInfo(uint8_t Dir, uint32_t Object, uint8_t* BarCodeByte1,
                                              uint8_t* BarCodeByte2, uint8_t* BarCodeByte3,
                                              uint8_t* BarCodeByte4) {
  return Exchange(__func__, KindBit(kKindText), Dir, Object, kBarCode, {BarCodeByte1, BarCodeByte2, BarCodeByte3, BarCodeByte4});
}

// The string a text shows: its own text (the reference host draws no
// special strings). Empty, and refused, for anything but a text.
void PCB9_CALL PcbApi_GetDesignatorDisplayString(TShortString* Buffer, uint32_t Object) {
  if (!Buffer) return;
  static const TFieldName kText("Text");
  TObject* text = FindFor(__func__, Object, KindBit(kKindText));
  Buffer->Assign(text ? text->TextView(kText) : std::string_view());
}

int32_t PCB9_CALL PcbApi_QueryEmbeddedBoard(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                            int16_t* Index, uint8_t* StateFlag, int32_t* X,
                                            int32_t* Y, TShortString* EmbeddedBoardName,
                                            int32_t* EmbeddedBoardValue1,
                                            int32_t* EmbeddedBoardValue2,
                                            int32_t* EmbeddedBoardValue3,
                                            int32_t* EmbeddedBoardValue4,
                                            double* EmbeddedBoardReal, uint8_t* Mirrored,
                                            uint8_t* EmbeddedBoardByte) {
  return Exchange(__func__, KindBit(kKindEmbeddedBoard), Dir, Object, kEmbeddedBoard,
                  {Flags, Index, StateFlag, X, Y, EmbeddedBoardName, EmbeddedBoardValue1,
                   EmbeddedBoardValue2, EmbeddedBoardValue3, EmbeddedBoardValue4,
                   EmbeddedBoardReal, Mirrored, EmbeddedBoardByte});
}

int32_t PCB9_CALL PcbApi_QueryFromTo(uint8_t Dir, uint32_t Object, int16_t* Index, int32_t* X,
                                     int32_t* Y, uint8_t* FromToFlag1, int32_t* X2, int32_t* Y2,
                                     uint8_t* FromToFlag2, uint32_t* Net) {
  return Exchange(__func__, KindBit(kKindFromTo), Dir, Object, kFromTo, {Index, X, Y, FromToFlag1, X2, Y2, FromToFlag2, Net});
}

int32_t PCB9_CALL PcbApi_QueryManualFromTo(uint8_t Dir, uint32_t Object, int16_t* Index,
                                           TShortString* ManualFromToText1,
                                           TShortString* ManualFromToText2,
                                           TShortString* ManualFromToText3,
                                           int32_t* ManualFromToValue) {
  return Exchange(__func__, KindBit(kKindManualFromTo), Dir, Object, kManualFromTo,
                  {Index, ManualFromToText1, ManualFromToText2, ManualFromToText3,
                   ManualFromToValue});
}

}  // extern "C"
