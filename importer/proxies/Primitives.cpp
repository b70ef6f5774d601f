#include "proxies/Primitives.h"

#include <algorithm>
#include <cmath>

#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "hostapi/PcbApiObjectsCustom.h"

namespace pcb9 {

// --- track ---------------------------------------------------------------------

TPcbTrack::TPcbTrack(uint32_t handle) : TPCBObject(handle) { ObjectKind = kTrackKind; }

int32_t TPcbTrack::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryTrack(Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag,
                           &OwnerComponent, &X, &Y, &X2, &Y2, &Width, &OwnerPolygon,
                           &OwnerCoordinate, &OwnerDimension);
}

void TPcbTrack::MoveBy(int32_t dx, int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 = ShiftCoord(X2, dx);
  Y2 = ShiftCoord(Y2, dy);
}

// --- via -----------------------------------------------------------------------

TPcbVia::TPcbVia(uint32_t handle) : TPCBObject(handle) { ObjectKind = kViaKind; }

int32_t TPcbVia::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  // The via's layer crosses as a host layer id, not as a layer code.
  TLayerId layerId = GetLayer();
  int32_t status = PcbApi_QueryVia(Direction, Handle, &Flags, &Index, &layerId, &Net, &StateFlag,
                                   &OwnerComponent, &X, &Y, &Size, &HoleSize, &StartLayer,
                                   &EndLayer, &ExtraFlag1, &ExtraFlag2);
  SetLayer(layerId);
  return status;
}

int32_t TPcbVia::GetSizeOnLayer(TLayerId layer) {
  int32_t xSize = 0, ySize = 0;
  if (PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &xSize, &ySize) != 0) return 0;
  return xSize;
}

uint8_t TPcbVia::GetShapeOnLayer(TLayerId layer) {
  uint8_t shape = 0;
  if (PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &shape) != 0) return 0;
  return shape;
}

// --- fill ----------------------------------------------------------------------

TPcbFill::TPcbFill(uint32_t handle) : TPCBObject(handle) { ObjectKind = kFillKind; }

int32_t TPcbFill::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryFill(Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag,
                          &OwnerComponent, &X, &Y, &X2, &Y2, &OwnerPolygon, &Rotation);
}

void TPcbFill::MoveBy(int32_t dx, int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 = ShiftCoord(X2, dx);
  Y2 = ShiftCoord(Y2, dy);
}

// --- arc -----------------------------------------------------------------------

TPcbArc::TPcbArc(uint32_t handle) : TPCBObject(handle) { ObjectKind = kArcKind; }

int32_t TPcbArc::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryArc(Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag,
                         &OwnerComponent, &X, &Y, &Radius, &StartAngle, &EndAngle, &Width,
                         &OwnerPolygon);
}

// --- text ----------------------------------------------------------------------

TPcbText::TPcbText(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kTextKind;
  TrueTypeFontName.Assign("Arial");
  TrueTypeValue = MilsToUnitsRounded(20);
}

int32_t TPcbText::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  PcbApi_QueryText(Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag, &OwnerComponent,
                   &X, &Y, &Height, &Font, &Rotation, &Mirrored, &Text, &Width, &OwnerCoordinate,
                   &OwnerDimension);
  Text.Clamp(kTextCapacity);
  int32_t status = PcbApi_QueryTrueTypeTextInfo(Direction, Handle, &TrueTypeByte1,
                                                &TrueTypeFontName, &TrueTypeByte2, &TrueTypeByte3,
                                                &TrueTypeByte4, &TrueTypeValue);
  // The display string only ever comes from the host, whatever the direction.
  PcbApi_GetDesignatorDisplayString(&DisplayText, Handle);
  DisplayText.Clamp(kTextCapacity);
  if (PcbApi_QueryBarCodeTextInfo(Direction, Handle, &BarCodeByte1, &BarCodeByte2, &BarCodeByte3,
                                  &BarCodeByte4) == 1)
    status = 1;
  return status;
}

// --- pad -----------------------------------------------------------------------

TPcbPad::TPcbPad(uint32_t handle) : TPCBObject(handle) { ObjectKind = kPadKind; }

int32_t TPcbPad::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  int32_t status = PcbApi_QueryPad(
      Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag, &OwnerComponent, &X, &Y,
      &TopXSize, &TopYSize, &MidXSize, &MidYSize, &BottomXSize, &BottomYSize, &HoleSize, &TopShape,
      &MidShape, &BottomShape, &Name, &PadByte1, &PadByte2, &Rotation, &PadString1, &PadString2,
      &PadValue1, &PadString3, &PadByte3, &PadByte4, &PadValue2, &PadReal, &PadValue3, &PadValue4,
      &PadValue5, &ExtraFlag1, &ExtraFlag2);
  Name.Clamp(kNameCapacity);
  PadString1.Clamp(kNameCapacity);
  PadString2.Clamp(kNameCapacity);
  PadString3.Clamp(kNameCapacity);
  if (status != 0) return status;
  PcbApi_QueryPadStackMode(Direction, Handle, &StackMode);
  if (Direction == kSyncFetch)
    FetchLayers();
  else
    StoreLayers();
  return 0;
}

void TPcbPad::FetchLayers() {
  for (int i = 0; i < kLayerIdCount; ++i) {
    const auto id = static_cast<TLayerId>(i);
    PcbApi_QueryPadOrViaShapeOnLayer(Handle, id, &LayerShape[i]);
    PcbApi_QueryPadOrViaSizeOnLayer(Handle, id, &LayerXSize[i], &LayerYSize[i]);
    PcbApi_QueryPadCornerRadiusOnLayer(Handle, id, &LayerCornerRadius[i]);
    PcbApi_QueryPadCRPercentageOnLayer(Handle, id, &LayerCornerPercent[i]);
    // The mid layers share one percentage: the last of them wins.
    if (id == kTopLayer)
      TopCornerPercent = LayerCornerPercent[i];
    else if (id > kTopLayer && id < kBottomLayer)
      MidCornerPercent = LayerCornerPercent[i];
    else if (id == kBottomLayer)
      BottomCornerPercent = LayerCornerPercent[i];
  }
}

void TPcbPad::StoreLayers() {
  for (int i = 0; i < kLayerIdCount; ++i) {
    const auto id = static_cast<TLayerId>(i);
    if (StackMode == kFullStack) {
      PcbApi_SetPadShapeOnLayer(Handle, id, LayerShape[i]);
      PcbApi_SetPadSizeOnLayer(Handle, id, LayerXSize[i], LayerYSize[i]);
      PcbApi_SetCRPctOnLayer(Handle, id, LayerCornerPercent[i]);
    } else if (LayerShape[i] == kRoundedRectangle) {
      PcbApi_SetCRPctOnLayer(Handle, kTopLayer, TopCornerPercent);
      PcbApi_SetCRPctOnLayer(Handle, kBottomLayer, BottomCornerPercent);
      PcbApi_SetCRPctOnLayer(Handle, static_cast<TLayerId>(kTopLayer + 1), MidCornerPercent);
    }
  }
}

namespace {
bool ValidLayer(TLayerId layer) { return layer < kLayerIdCount; }
}  // namespace

int32_t TPcbPad::GetXSizeOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? LayerXSize[layer] : 0;
}
int32_t TPcbPad::GetYSizeOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? LayerYSize[layer] : 0;
}
uint8_t TPcbPad::GetShapeOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? LayerShape[layer] : 0;
}
int32_t TPcbPad::GetWidthOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? std::min(LayerXSize[layer], LayerYSize[layer]) : 0;
}
int32_t TPcbPad::GetCornerRadiusOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? LayerCornerRadius[layer] : 0;
}

int32_t TPcbPad::LayerCorner(int which, TLayerId layer, int32_t margin) {
  if (!ValidLayer(layer)) return 0;
  const double w = static_cast<double>(int64_t{LayerXSize[layer]} + 2 * int64_t{margin});
  const double h = static_cast<double>(int64_t{LayerYSize[layer]} + 2 * int64_t{margin});
  return TurnedCorner(which, X, Y, w, h, Rotation);
}

int32_t TPcbPad::GetCornerX1OnLayer(TLayerId l, int32_t m) { return LayerCorner(0, l, m); }
int32_t TPcbPad::GetCornerY1OnLayer(TLayerId l, int32_t m) { return LayerCorner(1, l, m); }
int32_t TPcbPad::GetCornerX2OnLayer(TLayerId l, int32_t m) { return LayerCorner(2, l, m); }
int32_t TPcbPad::GetCornerY2OnLayer(TLayerId l, int32_t m) { return LayerCorner(3, l, m); }
int32_t TPcbPad::GetCornerX3OnLayer(TLayerId l, int32_t m) { return LayerCorner(4, l, m); }
int32_t TPcbPad::GetCornerY3OnLayer(TLayerId l, int32_t m) { return LayerCorner(5, l, m); }
int32_t TPcbPad::GetCornerX4OnLayer(TLayerId l, int32_t m) { return LayerCorner(6, l, m); }
int32_t TPcbPad::GetCornerY4OnLayer(TLayerId l, int32_t m) { return LayerCorner(7, l, m); }

// which: 0 = first X, 1 = first Y, 2 = second X, 3 = second Y.
int32_t TPcbPad::CentreLineEnd(int which, TLayerId layer) {
  if (!ValidLayer(layer)) return 0;
  const int32_t b = LayerXSize[layer] / 2, c = LayerYSize[layer] / 2;
  if (b == c) return which % 2 == 0 ? X : Y;
  const bool first = which < 2;
  double dx = 0, dy = 0;
  if (c < b) {
    const double e = static_cast<double>(int64_t{b} - c);
    dx = std::cos(DegToRad(Rotation)) * e;
    dy = std::sin(DegToRad(Rotation)) * e;
  } else {
    // Taller than wide: the line runs along the turned Y axis.
    const double e = static_cast<double>(int64_t{c} - b), g = DegToRad(90 - Rotation);
    dx = std::cos(g) * e;
    dy = -std::sin(g) * e;
  }
  if (which % 2 == 0) return RoundCoord(first ? X - dx : X + dx);
  return RoundCoord(first ? Y - dy : Y + dy);
}

int32_t TPcbPad::GetXOnLayer(TLayerId layer) { return CentreLineEnd(0, layer); }
int32_t TPcbPad::GetYOnLayer(TLayerId layer) { return CentreLineEnd(1, layer); }
int32_t TPcbPad::GetX2OnLayer(TLayerId layer) { return CentreLineEnd(2, layer); }
int32_t TPcbPad::GetY2OnLayer(TLayerId layer) { return CentreLineEnd(3, layer); }

// --- region --------------------------------------------------------------------

TPCBRegion::TPCBRegion(uint32_t handle) : TPCBObject(handle) { ObjectKind = kRegionKind; }

int32_t TPCBRegion::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryRegion(Direction, Handle, &RegionByte, &Flags, &Index, &Layer, &Net,
                            &StateFlag, &OwnerComponent, &RegionValue6, &RegionValue5,
                            &RegionValue1, &RegionValue2, &RegionValue3, &RegionValue4);
}

// --- embedded board ------------------------------------------------------------

TPcbEmbeddedBoard::TPcbEmbeddedBoard(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kEmbeddedBoardKind;
  SetLayer(kTopLayer);
}

int32_t TPcbEmbeddedBoard::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryEmbeddedBoard(Direction, Handle, &Flags, &Index, &StateFlag, &X, &Y,
                                   &EmbeddedBoardName, &EmbeddedBoardValue1, &EmbeddedBoardValue2,
                                   &EmbeddedBoardValue3, &EmbeddedBoardValue4, &EmbeddedBoardReal,
                                   &Mirrored, &EmbeddedBoardByte);
}

// --- from-to and manual from-to -----------------------------------------------------

TPcbFromTo::TPcbFromTo(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kFromToKind;
  Index = 0;
}

int32_t TPcbFromTo::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryFromTo(Direction, Handle, &Index, &X, &Y, &FromToFlag1, &X2, &Y2,
                            &FromToFlag2, &Net);
}

TPcbManualFromTo::TPcbManualFromTo(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kManualFromToKind;
  Index = 0;
}

int32_t TPcbManualFromTo::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryManualFromTo(Direction, Handle, &Index, &ManualFromToText1,
                                  &ManualFromToText2, &ManualFromToText3, &ManualFromToValue);
}

// --- kinds with the base exchange ----------------------------------------------------

TPcbComponentBody::TPcbComponentBody(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kComponentBodyKind;
}

TPcbDifferentialPair::TPcbDifferentialPair(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kDifferentialPairKind;
}

}  // namespace pcb9
