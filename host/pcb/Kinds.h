#pragma once
// Object kinds of the reference host and what it knows about each.
#include <cstdint>
#include <string_view>

#include "Document.h"

namespace morvik {

constexpr uint8_t kKindBoard = 0;  // the document's board; no proxy kind
constexpr uint8_t kKindArc = 1, kKindPad = 2, kKindVia = 3, kKindTrack = 4, kKindText = 5,
                  kKindFill = 6, kKindFromTo = 7, kKindNet = 8, kKindComponent = 9,
                  kKindPolygon = 10, kKindRegion = 11, kKindComponentBody = 12,
                  kKindDimension = 13, kKindCoordinate = 14, kKindClass = 15, kKindRule = 16,
                  kKindManualFromTo = 17, kKindDifferentialPair = 18, kKindViolation = 19,
                  kKindEmbedded = 20, kKindEmbeddedBoard = 21, kKindSplitPlane = 22,
                  kKindBoardOutline = 26;
constexpr uint8_t kRuleKindCount = 60;
static_assert(kRuleLayouts + kRuleKindCount <= kLayoutCount, "a layout for every rule kind");
// The rule kinds that have a constraint query.
constexpr uint8_t kRuleClearance = 0, kRuleWidth = 2, kRulePlaneConnect = 6,
                  kRuleRoutingTopology = 7, kRuleRoutingPriority = 8, kRuleRoutingLayers = 9,
                  kRuleRoutingVias = 11, kRulePlaneClearance = 12, kRuleSolderMaskExpansion = 13,
                  kRulePasteMaskExpansion = 14, kRuleShortCircuit = 15;

// A host may report an object's kind with its top bit set as a flag; the
// object is of the kind in the low seven bits.
constexpr uint8_t kKindBits = 0x7F;

// A set of object kinds, one bit per kind.
using TKindSet = uint32_t;
constexpr TKindSet KindBit(uint8_t kind) { return kind < 32 ? TKindSet{1} << kind : 0; }
// Every kind an object has but the board: 1..22 and 26.
constexpr TKindSet kAnyObject = ((KindBit(kKindSplitPlane) << 1) - KindBit(kKindArc)) |
                                KindBit(kKindBoardOutline);
// The kinds that hold members, the board included.
constexpr TKindSet kContainerKinds = KindBit(kKindBoard) | KindBit(kKindComponent) |
                                     KindBit(kKindNet) | KindBit(kKindPolygon) |
                                     KindBit(kKindBoardOutline) | KindBit(kKindSplitPlane) |
                                     KindBit(kKindCoordinate) | KindBit(kKindDimension);
// Name of a rule kind 0..59 ("Clearance", "Width", ...); empty for others.
std::string_view RuleKindName(uint8_t ruleKind);

// Name of a kind in the dump ("Track", "Board", ...); empty for none.
std::string_view KindName(uint8_t kind);
// Kinds PcbApi_CreateObject makes (every proxy kind but the board).
bool IsCreatableKind(uint8_t kind);
// Kinds that hold members (kContainerKinds).
bool IsContainerKind(uint8_t kind);
// The kinds an object can have (kAnyObject).
bool IsObjectKind(uint8_t kind);

struct TRect {
  int32_t Left = 0, Bottom = 0, Right = 0, Top = 0;
};
// Extent of an object from its stored geometry.
TRect BoundingRect(const TObject& object);

}  // namespace morvik
