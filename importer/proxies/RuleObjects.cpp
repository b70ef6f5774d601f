#include "proxies/RuleObjects.h"

#include <array>

#include "hostapi/PcbApi.h"
#include "proxies/Primitives.h"

namespace pcb9 {

namespace {
constexpr std::array<std::string_view, kRuleKindCount> kRuleKindNames = {
    "Clearance",           "ParallelSegment",
    "Width",               "Length",
    "MatchedLengths",      "StubLength",
    "PlaneConnect",        "RoutingTopology",
    "RoutingPriority",     "RoutingLayers",
    "RoutingCorners",      "RoutingVias",
    "PlaneClearance",      "SolderMaskExpansion",
    "PasteMaskExpansion",  "ShortCircuit",
    "UnRoutedNet",         "ViasUnderSMD",
    "MaximumViaCount",     "MinimumAnnularRing",
    "PolygonConnect",      "AcuteAngle",
    "RoomDefinition",      "SMDToCorner",
    "ComponentClearance",  "ComponentOrientations",
    "PermittedLayers",     "NetsToIgnore",
    "SignalStimulus",      "OvershootFalling",
    "OvershootRising",     "UndershootFalling",
    "UndershootRising",    "MaxMinImpedance",
    "SignalTopValue",      "SignalBaseValue",
    "FlightTimeRising",    "FlightTimeFalling",
    "LayerStack",          "SlopeRising",
    "SlopeFalling",        "SupplyNets",
    "HoleSize",            "FabricationTestpoint",
    "FabricationTestPointUsage", "UnConnectedPin",
    "SMDToPlane",          "SMDNeckDown",
    "LayerPairs",          "FanoutControl",
    "Height",              "DiffPairsRouting",
    "HoleToHoleClearance", "MinimumSolderMaskSliver",
    "SilkscreenOverComponentPads", "SilkToSilkClearance",
    "NetAntennae",         "AssemblyTestpoint",
    "AssemblyTestPointUsage", "Vexa Rule",
};
}  // namespace

std::string_view RuleKindName(uint8_t ruleKind) {
  return ruleKind < kRuleKindNames.size() ? kRuleKindNames[ruleKind] : std::string_view();
}

// --- extended rule ------------------------------------------------------------------

TPcbRuleEx::TPcbRuleEx(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kRuleKind;
  Scope1.Assign("All");
  Scope2.Assign("All");
  SetLayer(kMultiLayer);
}

int32_t TPcbRuleEx::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  if (PcbApi_QueryRuleEx(Direction, Handle, &RuleKind, &RuleFlag1, &RuleValue, &RuleFlag2, &Scope1,
                         &Scope2) == 1)
    return 1;
  return PcbApi_QueryRuleExtEx(Direction, Handle, &RuleName);
}

// --- rule ------------------------------------------------------------------------

TPcbRule::TPcbRule(uint32_t handle) : TPCBObject(handle) { ObjectKind = kRuleKind; }

int32_t TPcbRule::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryRule(Direction, Handle, &RuleByte1, &RuleByte2, &RuleByte3, &RuleByte4,
                          &RuleByte5, &RuleByte6, &RuleByte7, &RuleText1, &RuleText2, &RuleText3,
                          &RuleText4, &RuleByte8, &RuleByte9, &RuleValue1, &RuleValue2,
                          &RuleValue3, &RuleValue4, &RuleText5, &RuleText6, &RuleText7,
                          &RuleText8, &RuleText9, &RuleText10);
}

// --- embedded data ------------------------------------------------------------------

TPcbEmbedded::TPcbEmbedded(uint32_t handle)
    : TPCBObject(handle), EmbeddedData(new uint8_t[kDataSize]()) {
  ObjectKind = kEmbeddedKind;
}

int32_t TPcbEmbedded::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryEmbedded(Direction, Handle, &EmbeddedName, EmbeddedData.get());
}

// --- violation ----------------------------------------------------------------------

TPcbViolation::TPcbViolation(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kViolationKind;
}

int32_t TPcbViolation::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryViolation(Direction, Handle, &ViolationText1, &ViolationText2,
                               &ViolationValue1, &ViolationValue2, &ViolationValue3);
}

}  // namespace pcb9
