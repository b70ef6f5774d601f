#include "Kinds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

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

bool IsCreatableKind(uint8_t kind) { return IsObjectKind(kind); }

bool IsContainerKind(uint8_t kind) { return (kContainerKinds & KindBit(kind)) != 0; }

bool IsObjectKind(uint8_t kind) { return (kAnyObject & KindBit(kind)) != 0; }

namespace {
// A coordinate of the extent, kept within the 32-bit range: a stored
// position near the range's end plus a radius would overflow it.
int32_t Clamped(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

TRect Around(int64_t x, int64_t y, int64_t half) {
  return {Clamped(x - half), Clamped(y - half), Clamped(x + half), Clamped(y + half)};
}
}  // namespace

TRect BoundingRect(const TObject& o) {
  static const TFieldName kX("X"), kY("Y"), kX2("X2"), kY2("Y2"), kRadius("Radius"), kSize("Size");
  const int64_t x = static_cast<int32_t>(o.Int(kX)), y = static_cast<int32_t>(o.Int(kY));
  switch (o.Kind) {
    case kKindTrack:
    case kKindFill: {
      const int64_t x2 = static_cast<int32_t>(o.Int(kX2)), y2 = static_cast<int32_t>(o.Int(kY2));
      return {Clamped(std::min(x, x2)), Clamped(std::min(y, y2)), Clamped(std::max(x, x2)),
              Clamped(std::max(y, y2))};
    }
    case kKindArc: return Around(x, y, static_cast<int32_t>(o.Int(kRadius)));
    case kKindVia: return Around(x, y, static_cast<int32_t>(o.Int(kSize)) / 2);
    default: return Around(x, y, 0);
  }
}

}  // namespace morvik
