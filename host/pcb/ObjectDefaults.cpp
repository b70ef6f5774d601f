// What a new object of each kind holds before anyone sets it, as a real
// editor gives it: tracks, arcs and fills on TopLayer, 10 mil wide; regions
// on TopLayer; vias of 50 mil with a 28 mil hole from TopLayer to
// BottomLayer, on MultiLayer; round 60 mil pads with a 30 mil hole on
// MultiLayer, corner percentage 50 on every layer; 60 mil stroke texts in font 1 on TopOverlay with an
// "Arial" TrueType setting; components on TopLayer showing their
// designator; polygons on TopLayer; split planes on InternalPlane1;
// coordinates and dimensions on Mechanical1; rules on MultiLayer with the
// scopes "All" and the constraint values of a new rule of every kind.
// Every field not named here reads as 0 or empty.
#include <string>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"

namespace morvik {

namespace {

using T = TFieldType;

constexpr int64_t Mil(int64_t mils) { return mils * 10000; }
constexpr int64_t kTopLayer = 1, kBottomLayer = 32, kTopOverlay = 33, kInternalPlane1 = 39,
                  kMechanical1 = 57, kMultiLayer = 74;

std::vector<uint8_t> LayerBytes(uint8_t value) { return std::vector<uint8_t>(kLayerIdCount, value); }

// Routing direction per signal layer: TopLayer horizontal, BottomLayer
// vertical, the others unused.
std::vector<uint8_t> NewRoutingDirections() {
  std::vector<uint8_t> directions(32, 0);
  directions[1] = 1;
  directions[31] = 2;
  return directions;
}

struct TKindDefaults {
  uint8_t Kind;
  TDefaults Values;
};

std::vector<TKindDefaults> AllDefaults() {
  return {
      {kKindTrack, {{{"Layer", T::LayerCode}, kTopLayer}, {{"Width", T::I32}, Mil(10)}}},
      {kKindArc,
       {{{"Layer", T::LayerCode}, kTopLayer},
        {{"Width", T::I32}, Mil(10)},
        {{"Radius", T::I32}, Mil(50)},
        {{"StartAngle", T::Real}, 0.0},
        {{"EndAngle", T::Real}, 360.0}}},
      {kKindVia,
       {{{"Layer", T::LayerId}, kMultiLayer},
        {{"Size", T::I32}, Mil(50)},
        {{"HoleSize", T::I32}, Mil(28)},
        {{"StartLayer", T::LayerId}, kTopLayer},
        {{"EndLayer", T::LayerId}, kBottomLayer}}},
      {kKindPad,
       {{{"Layer", T::LayerCode}, kMultiLayer},
        {{"TopXSize", T::I32}, Mil(60)},
        {{"TopYSize", T::I32}, Mil(60)},
        {{"MidXSize", T::I32}, Mil(60)},
        {{"MidYSize", T::I32}, Mil(60)},
        {{"BottomXSize", T::I32}, Mil(60)},
        {{"BottomYSize", T::I32}, Mil(60)},
        {{"HoleSize", T::I32}, Mil(30)},
        {{"TopShape", T::U8}, int64_t{1}},
        {{"MidShape", T::U8}, int64_t{1}},
        {{"BottomShape", T::U8}, int64_t{1}},
        {{"StackMode", T::U8}, int64_t{0}},
        {{kLayerCornerPercent.Name, T::Bytes}, LayerBytes(50)}}},
      {kKindFill, {{{"Layer", T::LayerCode}, kTopLayer}}},
      {kKindRegion, {{{"Layer", T::LayerCode}, kTopLayer}}},
      {kKindText,
       {{{"Layer", T::LayerCode}, kTopOverlay},
        {{"Height", T::I32}, Mil(60)},
        {{"Width", T::I32}, Mil(10)},
        {{"Font", T::I32}, int64_t{1}},
        {{"TrueTypeFontName", T::Text}, std::string("Arial")},
        {{"TrueTypeValue", T::I32}, Mil(20)}}},
      {kKindComponent,
       {{{"Layer", T::LayerId}, kTopLayer}, {{"NameFlag", T::Bool}, int64_t{1}}}},
      {kKindPolygon,
       {{{"Layer", T::LayerCode}, kTopLayer},
        {{"PolygonValue1", T::I32}, Mil(8)},
        {{"PolygonValue2", T::I32}, Mil(8)}}},
      {kKindBoardOutline, {{{"Layer", T::LayerCode}, kMechanical1}}},
      {kKindSplitPlane, {{{"Layer", T::LayerCode}, kInternalPlane1}}},
      {kKindCoordinate, {{{"Layer", T::LayerCode}, kMechanical1}}},
      {kKindDimension,
       {{{"Layer", T::LayerCode}, kMechanical1}, {{"DimensionKind", T::U8}, int64_t{8}}}},
      {kKindEmbeddedBoard, {{{"Layer", T::LayerCode}, kTopLayer}}},
      {kKindRule,
       {{{"Layer", T::LayerCode}, kMultiLayer},
        {{"RuleValue", T::I32}, int64_t{-1}},
        {{"Scope1", T::Text}, std::string("All")},
        {{"Scope2", T::Text}, std::string("All")},
        {{"Gap", T::I32}, Mil(10)},
        {{"MinWidth", T::I32}, Mil(10)},
        {{"MaxWidth", T::I32}, Mil(10)},
        {{"ViaHoleSize", T::I32}, Mil(28)},
        {{"ViaSize", T::I32}, Mil(50)},
        {{"ViaFlag", T::U8}, int64_t{0}},
        {{"RoutingDirections", T::Bytes, 32}, NewRoutingDirections()},
        {{"Topology", T::U8}, int64_t{0}},
        {{"Priority", T::I32}, int64_t{0}},
        {{"ConnectStyle", T::U8}, int64_t{1}},
        {{"PlaneConnectExpansion", T::I32}, Mil(20)},
        {{"ConnectParam1", T::I32}, Mil(10)},
        {{"ConnectParam3", T::I32}, int64_t{4}},
        {{"ConnectParam2", T::I32}, Mil(10)},
        {{"PasteMaskExpansion", T::I32}, int64_t{0}},
        {{"SolderMaskExpansion", T::I32}, Mil(4)},
        {{"PlaneExpansion", T::I32}, Mil(20)},
        {{"ShortCircuitAllowed", T::U8}, int64_t{0}}}},
  };
}

}  // namespace

void RegisterObjectDefaults(TDocument& document) {
  for (const TKindDefaults& kind : AllDefaults()) document.AddDefaults(kind.Kind, kind.Values);
}

}  // namespace morvik
