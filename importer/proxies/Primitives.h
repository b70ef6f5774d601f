#pragma once
// Proxies of the drawing objects of a board: tracks, vias, fills, arcs,
// texts, pads, regions, embedded boards, from-tos, manual from-tos,
// component bodies and differential pairs. Each adds its fields, sets its
// kind and defaults, exchanges with its own host query and replaces the
// accessors that concern its fields.
#include <cstdint>

#include "hostapi/ShortString.h"
#include "proxies/PcbObject.h"

namespace pcb9 {

// Object kinds (the byte PcbApi_CreateObject takes).
constexpr uint8_t kArcKind = 1, kPadKind = 2, kViaKind = 3, kTrackKind = 4, kTextKind = 5,
                  kFillKind = 6, kFromToKind = 7, kNetKind = 8, kComponentKind = 9,
                  kPolygonKind = 10, kRegionKind = 11, kComponentBodyKind = 12,
                  kDimensionKind = 13, kCoordinateKind = 14, kObjectClassKind = 15,
                  kRuleKind = 16, kManualFromToKind = 17, kDifferentialPairKind = 18,
                  kViolationKind = 19, kEmbeddedKind = 20, kEmbeddedBoardKind = 21,
                  kSplitPlaneKind = 22, kBoardOutlineKind = 26;

// Host layer ids 0..82: the length of every per-layer array.
constexpr int kLayerIdCount = 83;

class TPcbTrack : public TPCBObject {
 public:
  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t Width = 0;
  uint32_t OwnerPolygon = 0;
  uint32_t OwnerCoordinate = 0;
  uint32_t OwnerDimension = 0;

  explicit TPcbTrack(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  void MoveBy(int32_t dx, int32_t dy) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  uint32_t GetOwnerPolygon() override { return OwnerPolygon; }
  uint32_t GetOwnerCoordinate() override { return OwnerCoordinate; }
  uint32_t GetOwnerDimension() override { return OwnerDimension; }
  int32_t GetWidth() override { return Width; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  void SetOwnerPolygon(uint32_t value) override { OwnerPolygon = value; }
  void SetOwnerCoordinate(uint32_t value) override { OwnerCoordinate = value; }
  void SetOwnerDimension(uint32_t value) override { OwnerDimension = value; }
  void SetWidth(int32_t value) override { Width = value; }
};

class TPcbVia : public TPCBObject {
 public:
  int32_t Size = 0;
  int32_t HoleSize = 0;
  TLayerId StartLayer = 0;
  TLayerId EndLayer = 0;
  uint8_t ExtraFlag1 = 0;  // boolean
  uint8_t ExtraFlag2 = 0;  // boolean

  explicit TPcbVia(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  bool GetExtraFlag1() override { return ExtraFlag1 != 0; }
  void SetExtraFlag1(bool value) override { ExtraFlag1 = value; }
  bool GetExtraFlag2() override { return ExtraFlag2 != 0; }
  void SetExtraFlag2(bool value) override { ExtraFlag2 = value; }
  int32_t GetHoleSize() override { return HoleSize; }
  int32_t GetSize() override { return Size; }
  TLayerId GetStartLayer() override { return StartLayer; }
  TLayerId GetEndLayer() override { return EndLayer; }
  // Asks the host: the via's size and shape on a layer it spans.
  int32_t GetSizeOnLayer(TLayerId layer) override;
  uint8_t GetShapeOnLayer(TLayerId layer) override;
  void SetHoleSize(int32_t value) override { HoleSize = value; }
  void SetSize(int32_t value) override { Size = value; }
  void SetStartLayer(TLayerId value) override { StartLayer = value; }
  void SetEndLayer(TLayerId value) override { EndLayer = value; }
};

class TPcbFill : public TPCBObject {
 public:
  int32_t X2 = 0;
  int32_t Y2 = 0;
  uint32_t OwnerPolygon = 0;
  double Rotation = 0;

  explicit TPcbFill(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  void MoveBy(int32_t dx, int32_t dy) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  uint32_t GetOwnerPolygon() override { return OwnerPolygon; }
  double GetRotation() override { return Rotation; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  void SetOwnerPolygon(uint32_t value) override { OwnerPolygon = value; }
  void SetRotation(double value) override { Rotation = value; }
};

class TPcbArc : public TPCBObject {
 public:
  int32_t Radius = 0;
  double StartAngle = 0;
  double EndAngle = 0;
  int32_t Width = 0;
  uint32_t OwnerPolygon = 0;

  explicit TPcbArc(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  uint32_t GetOwnerPolygon() override { return OwnerPolygon; }
  int32_t GetRadius() override { return Radius; }
  double GetStartAngle() override { return StartAngle; }
  double GetEndAngle() override { return EndAngle; }
  int32_t GetLineWidth() override { return Width; }
  void SetOwnerPolygon(uint32_t value) override { OwnerPolygon = value; }
  void SetRadius(int32_t value) override { Radius = value; }
  void SetStartAngle(double value) override { StartAngle = value; }
  void SetEndAngle(double value) override { EndAngle = value; }
  void SetLineWidth(int32_t value) override { Width = value; }
};

class TPcbText : public TPCBObject {
 public:
  static constexpr size_t kTextCapacity = 254;

  int32_t Height = 0;
  int32_t Font = 0;  // 1..3
  double Rotation = 0;
  uint8_t Mirrored = 0;  // boolean
  TShortString Text;     // up to 254 characters
  int32_t Width = 0;     // stroke width
  uint32_t OwnerCoordinate = 0;
  uint32_t OwnerDimension = 0;
  TShortString DisplayText;  // up to 254 characters
  // TrueType block.
  uint8_t TrueTypeByte1 = 0;
  TShortString TrueTypeFontName;
  uint8_t TrueTypeByte2 = 0;
  uint8_t TrueTypeByte3 = 0;
  uint8_t TrueTypeByte4 = 0;
  int32_t TrueTypeValue = 0;
  // Bar-code block.
  uint8_t BarCodeByte1 = 0;
  uint8_t BarCodeByte2 = 0;
  uint8_t BarCodeByte3 = 0;
  uint8_t BarCodeByte4 = 0;

  explicit TPcbText(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  uint32_t GetOwnerCoordinate() override { return OwnerCoordinate; }
  uint32_t GetOwnerDimension() override { return OwnerDimension; }
  double GetRotation() override { return Rotation; }
  int32_t GetWidth() override { return Width; }
  int32_t GetSize() override { return Height; }
  int32_t GetLineWidth() override { return Width; }
  int32_t GetFont() override { return Font; }
  bool GetMirrored() override { return Mirrored != 0; }
  std::string GetText() override { return Text.Str(); }
  void SetOwnerCoordinate(uint32_t value) override { OwnerCoordinate = value; }
  void SetOwnerDimension(uint32_t value) override { OwnerDimension = value; }
  void SetRotation(double value) override { Rotation = value; }
  void SetSize(int32_t value) override { Height = value; }
  void SetLineWidth(int32_t value) override { Width = value; }
  void SetFont(int32_t value) override { Font = value; }
  void SetMirrored(bool value) override { Mirrored = value; }
  void SetText(std::string_view value) override { Text.Assign(value, kTextCapacity); }
};

class TPcbPad : public TPCBObject {
 public:
  static constexpr size_t kNameCapacity = 20;

  int32_t TopXSize = 0;
  int32_t TopYSize = 0;
  int32_t MidXSize = 0;
  int32_t MidYSize = 0;
  int32_t BottomXSize = 0;
  int32_t BottomYSize = 0;
  int32_t HoleSize = 0;
  uint8_t TopShape = 0;
  uint8_t MidShape = 0;
  uint8_t BottomShape = 0;
  uint8_t TopCornerPercent = 0;
  uint8_t MidCornerPercent = 0;
  uint8_t BottomCornerPercent = 0;
  TShortString Name;  // up to 20 characters
  uint8_t PadByte1 = 0;
  double Rotation = 0;
  uint8_t PadByte2 = 0;
  TShortString PadString1;  // up to 20 characters
  TShortString PadString2;  // up to 20 characters
  int32_t PadValue1 = 0;
  TShortString PadString3;  // up to 20 characters
  int32_t LayerXSize[kLayerIdCount] = {};
  int32_t LayerYSize[kLayerIdCount] = {};
  uint8_t LayerShape[kLayerIdCount] = {};
  int32_t LayerCornerRadius[kLayerIdCount] = {};
  uint8_t LayerCornerPercent[kLayerIdCount] = {};
  uint8_t StackMode = 0;
  uint8_t PadByte3 = 0;
  uint8_t PadByte4 = 0;
  int32_t PadValue2 = 0;
  int32_t PadValue3 = 0;
  int32_t PadValue4 = 0;
  double PadReal = 0;
  int32_t PadValue5 = 0;
  uint8_t ExtraFlag1 = 0;  // boolean
  uint8_t ExtraFlag2 = 0;  // boolean

  // Stack mode in which every layer has its own size, shape and corner.
  static constexpr uint8_t kFullStack = 2;
  // Shape code of a rounded rectangle, whose corner percentage matters.
  static constexpr uint8_t kRoundedRectangle = 9;

  explicit TPcbPad(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  bool GetExtraFlag1() override { return ExtraFlag1 != 0; }
  void SetExtraFlag1(bool value) override { ExtraFlag1 = value; }
  bool GetExtraFlag2() override { return ExtraFlag2 != 0; }
  void SetExtraFlag2(bool value) override { ExtraFlag2 = value; }
  int32_t GetTopXSize() override { return TopXSize; }
  int32_t GetTopYSize() override { return TopYSize; }
  int32_t GetMidXSize() override { return MidXSize; }
  int32_t GetMidYSize() override { return MidYSize; }
  int32_t GetBottomXSize() override { return BottomXSize; }
  int32_t GetBottomYSize() override { return BottomYSize; }
  int32_t GetHoleSize() override { return HoleSize; }
  uint8_t GetTopShape() override { return TopShape; }
  uint8_t GetMidShape() override { return MidShape; }
  uint8_t GetBottomShape() override { return BottomShape; }
  std::string GetName() override { return Name.Str(); }
  double GetRotation() override { return Rotation; }
  // Per layer, from the per-layer arrays; 0 for an id above 82.
  int32_t GetXSizeOnLayer(TLayerId layer) override;
  int32_t GetYSizeOnLayer(TLayerId layer) override;
  uint8_t GetShapeOnLayer(TLayerId layer) override;
  int32_t GetWidthOnLayer(TLayerId layer) override;
  int32_t GetCornerX1OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerY1OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerX2OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerY2OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerX3OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerY3OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerX4OnLayer(TLayerId layer, int32_t margin) override;
  int32_t GetCornerY4OnLayer(TLayerId layer, int32_t margin) override;
  // Ends of the pad's centre line on a layer (along its longer side).
  int32_t GetXOnLayer(TLayerId layer) override;
  int32_t GetYOnLayer(TLayerId layer) override;
  int32_t GetX2OnLayer(TLayerId layer) override;
  int32_t GetY2OnLayer(TLayerId layer) override;
  void SetTopXSize(int32_t value) override { TopXSize = value; }
  void SetTopYSize(int32_t value) override { TopYSize = value; }
  void SetMidXSize(int32_t value) override { MidXSize = value; }
  void SetMidYSize(int32_t value) override { MidYSize = value; }
  void SetBottomXSize(int32_t value) override { BottomXSize = value; }
  void SetBottomYSize(int32_t value) override { BottomYSize = value; }
  void SetHoleSize(int32_t value) override { HoleSize = value; }
  void SetTopShape(uint8_t value) override { TopShape = value; }
  void SetMidShape(uint8_t value) override { MidShape = value; }
  void SetBottomShape(uint8_t value) override { BottomShape = value; }
  void SetName(std::string_view value) override { Name.Assign(value, kNameCapacity); }
  void SetRotation(double value) override { Rotation = value; }

  // --- slot 152 ---
  virtual int32_t GetCornerRadiusOnLayer(TLayerId layer);

 private:
  void FetchLayers();
  void StoreLayers();
  int32_t LayerCorner(int which, TLayerId layer, int32_t margin);
  int32_t CentreLineEnd(int which, TLayerId layer);
};

class TPCBRegion : public TPCBObject {
 public:
  int32_t RegionValue1 = 0;
  int32_t RegionValue2 = 0;
  int32_t RegionValue3 = 0;
  int32_t RegionValue4 = 0;
  uint8_t RegionByte = 0;
  int32_t RegionValue5 = 0;
  int32_t RegionValue6 = 0;

  explicit TPCBRegion(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

class TPcbEmbeddedBoard : public TPCBObject {
 public:
  TShortString EmbeddedBoardName;
  int32_t EmbeddedBoardValue1 = 0;
  int32_t EmbeddedBoardValue2 = 0;
  int32_t EmbeddedBoardValue3 = 0;
  int32_t EmbeddedBoardValue4 = 0;
  double EmbeddedBoardReal = 0;
  uint8_t Mirrored = 0;  // boolean
  uint8_t EmbeddedBoardByte = 0;

  explicit TPcbEmbeddedBoard(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  bool GetMirrored() override { return Mirrored != 0; }
  void SetMirrored(bool value) override { Mirrored = value; }
};

class TPcbFromTo : public TPCBObject {
 public:
  int32_t X2 = 0;
  int32_t Y2 = 0;
  uint8_t FromToFlag1 = 0;  // boolean
  uint8_t FromToFlag2 = 0;  // boolean

  explicit TPcbFromTo(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  bool GetFromToFlag1() override { return FromToFlag1 != 0; }
  bool GetFromToFlag2() override { return FromToFlag2 != 0; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  void SetFromToFlag1(bool value) override { FromToFlag1 = value; }
  void SetFromToFlag2(bool value) override { FromToFlag2 = value; }
};

class TPcbManualFromTo : public TPCBObject {
 public:
  TShortString ManualFromToText1;
  TShortString ManualFromToText2;
  TShortString ManualFromToText3;
  int32_t ManualFromToValue = 0;

  explicit TPcbManualFromTo(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

// Kinds with no fields of their own: they keep the base exchange.
class TPcbComponentBody : public TPCBObject {
 public:
  explicit TPcbComponentBody(uint32_t handle);
};

class TPcbDifferentialPair : public TPCBObject {
 public:
  explicit TPcbDifferentialPair(uint32_t handle);
};

}  // namespace pcb9
