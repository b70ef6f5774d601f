#include "Kinds.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace morvik {

namespace {
constexpr std::array<std::string_view, 27> kNames = {
    "Board",     "Arc",          "Pad",         "Via",           "Track",
    "Text",      "Fill",         "FromTo",      "Net",           "Component",
    "Polygon",   "Region",       "ComponentBody", "Dimension",   "Coordinate",
    "ObjectClass", "Rule",       "ManualFromTo", "DifferentialPair", "Violation",
    "Embedded",  "EmbeddedBoard", "SplitPlane", "",              "",
    "",          "BoardOutline"};

constexpr std::array<std::string_view, kRuleKindCount> kRuleNames = {
    "Clearance", "ParallelSegment", "Width", "Length", "MatchedLengths", "StubLength",
    "PlaneConnect", "RoutingTopology", "RoutingPriority", "RoutingLayers", "RoutingCorners",
    "RoutingVias", "PlaneClearance", "SolderMaskExpansion", "PasteMaskExpansion",
    "ShortCircuit", "UnRoutedNet", "ViasUnderSMD", "MaximumViaCount", "MinimumAnnularRing",
    "PolygonConnect", "AcuteAngle", "RoomDefinition", "SMDToCorner", "ComponentClearance",
    "ComponentOrientations", "PermittedLayers", "NetsToIgnore", "SignalStimulus",
    "OvershootFalling", "OvershootRising", "UndershootFalling", "UndershootRising",
    "MaxMinImpedance", "SignalTopValue", "SignalBaseValue", "FlightTimeRising",
    "FlightTimeFalling", "LayerStack", "SlopeRising", "SlopeFalling", "SupplyNets", "HoleSize",
    "FabricationTestpoint", "FabricationTestPointUsage", "UnConnectedPin", "SMDToPlane",
    "SMDNeckDown", "LayerPairs", "FanoutControl", "Height", "DiffPairsRouting",
    "HoleToHoleClearance", "MinimumSolderMaskSliver", "SilkscreenOverComponentPads",
    "SilkToSilkClearance", "NetAntennae", "AssemblyTestpoint", "AssemblyTestPointUsage",
    "Vexa Rule"};
}  // namespace

std::string_view RuleKindName(uint8_t ruleKind) {
  return ruleKind < kRuleNames.size() ? kRuleNames[ruleKind] : std::string_view();
}

std::string_view KindName(uint8_t kind) { return kind < kNames.size() ? kNames[kind] : ""; }

bool IsCreatableKind(uint8_t kind) { return kind != kKindBoard && !KindName(kind).empty(); }

bool IsContainerKind(uint8_t kind) {
  switch (kind) {
    case kKindBoard: case kKindComponent: case kKindNet: case kKindPolygon:
    case kKindBoardOutline: case kKindSplitPlane: case kKindCoordinate: case kKindDimension:
      return true;
    default:
      return false;
  }
}

TRect BoundingRect(const TObject& o) {
  auto x = static_cast<int32_t>(o.Int("X")), y = static_cast<int32_t>(o.Int("Y"));
  TRect r{x, y, x, y};
  switch (o.Kind) {
    case kKindTrack:
    case kKindFill: {
      auto x2 = static_cast<int32_t>(o.Int("X2")), y2 = static_cast<int32_t>(o.Int("Y2"));
      r = {std::min(x, x2), std::min(y, y2), std::max(x, x2), std::max(y, y2)};
      break;
    }
    case kKindArc: {
      auto radius = static_cast<int32_t>(o.Int("Radius"));
      r = {x - radius, y - radius, x + radius, y + radius};
      break;
    }
    case kKindVia: {
      auto half = static_cast<int32_t>(o.Int("Size") / 2);
      r = {x - half, y - half, x + half, y + half};
      break;
    }
    default:
      break;
  }
  return r;
}

}  // namespace morvik
