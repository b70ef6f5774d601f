#include "rules/RuleBuilders.h"

#include <array>
#include <optional>
#include <string>

#include "hostapi/PcbApi.h"
#include "proxies/Board.h"
#include "proxies/RuleObjects.h"

namespace pcb9 {

namespace {

constexpr uint8_t kClearanceRule = 0, kWidthRule = 2, kPlaneConnectRule = 6,
                  kTopologyRule = 7, kPriorityRule = 8, kRoutingLayersRule = 9,
                  kRoutingViasRule = 11, kPlaneClearanceRule = 12, kSolderMaskRule = 13,
                  kPasteMaskRule = 14, kShortCircuitRule = 15, kUnroutedNetRule = 16;

constexpr size_t kMaxScopeLength = 255;

constexpr std::array<std::string_view, 7> kPrimitiveScopes = {
    "", "IsWire", "IsThruPin", "IsSMTPin", "IsVia", "IsFill", "InPoly",
};

// A rule's two scope expressions; no second scope keeps the one the host
// gave the new rule.
struct TRuleScopes {
  std::string First;
  std::optional<std::string> Second;
};

// "Function('name')" in the host's query language, where a quote inside a
// string is written twice: a name holding a quote stays one string and
// cannot close it early and add a test of its own. A name too long for the
// scope's 255 characters is cut before the closing "')", never through it
// nor between the two quotes of a pair, so the scope stays one string test.
std::string NameScope(std::string_view function, std::string_view name) {
  if (name.empty()) return {};
  constexpr std::string_view kOpen = "('", kClose = "')";
  std::string scope(function);
  scope += kOpen;
  const size_t room = kMaxScopeLength - kClose.size();
  for (const char c : name) {
    const size_t width = c == '\'' ? 2 : 1;
    if (scope.size() + width > room) break;
    scope.append(width, c);
  }
  return scope += kClose;
}

// Creates the rule, names and scopes it from the host's defaults, adds it to
// the board and then lets `setConstraints` store its values: the host takes
// constraint values only from a rule already on the board.
template <class SetConstraints>
void BuildRule(TPcbBoard& Board, uint8_t Kind, int32_t Index, const TRuleScopes& scopes,
               SetConstraints setConstraints) {
  const uint32_t handle = PcbApi_CreateRuleObject(Kind);
  TPcbRuleEx rule(handle);
  rule.Sync(kSyncFetch);
  rule.RuleName.Assign(MakeRuleName(Kind, Index));
  rule.Scope1.Assign(scopes.First);
  if (scopes.Second) rule.Scope2.Assign(*scopes.Second);
  rule.Sync(kSyncStore);
  Board.AddObject(handle);
  setConstraints(handle);
}

void NoConstraints(uint32_t) {}

TRuleScopes BoardWide() { return {std::string(), std::string()}; }

// The three pad rules whose one value is an expansion.
template <class Query>
void AddPadExpansionRule(TPcbBoard& Board, uint8_t Kind, std::string_view PadName,
                         int32_t Expansion, int32_t Index, Query query) {
  BuildRule(Board, Kind, Index, {HasPadScope(PadName), std::nullopt},
            [&](uint32_t rule) { query(kSyncStore, rule, &Expansion); });
}

}  // namespace

std::string MakeRuleName(uint8_t Kind, int32_t Index) {
  std::string name(RuleKindName(Kind));
  if (Index != 0) name.append("_").append(std::to_string(Index));
  return name;
}

std::string PrimitiveScope(uint8_t PrimitiveCode) {
  return PrimitiveCode < kPrimitiveScopes.size() ? std::string(kPrimitiveScopes[PrimitiveCode])
                                                 : std::string();
}

std::string HasPadScope(std::string_view PadName) { return NameScope("HasPad", PadName); }

std::string InNetScope(std::string_view NetName) { return NameScope("InNet", NetName); }

void AddUnroutedNetRule(TPcbBoard& Board, int32_t Index) {
  BuildRule(Board, kUnroutedNetRule, Index, BoardWide(), NoConstraints);
}

void AddShortCircuitRule(TPcbBoard& Board, uint8_t Flag, int32_t Index) {
  BuildRule(Board, kShortCircuitRule, Index, BoardWide(), [&](uint32_t rule) {
    PcbApi_QueryRuleShortCircuitConstraint(kSyncStore, rule, &Flag);
  });
}

void AddClearanceRule(TPcbBoard& Board, int32_t Gap, int32_t Index) {
  BuildRule(Board, kClearanceRule, Index, BoardWide(), [&](uint32_t rule) {
    PcbApi_QueryRuleClearanceConstraint(kSyncStore, rule, &Gap);
  });
}

void AddKindClearanceRule(TPcbBoard& Board, uint8_t PrimitiveCode1, uint8_t PrimitiveCode2,
                          int32_t Index, int32_t Gap) {
  const TRuleScopes scopes{PrimitiveScope(PrimitiveCode1), PrimitiveScope(PrimitiveCode2)};
  BuildRule(Board, kClearanceRule, Index, scopes, [&](uint32_t rule) {
    PcbApi_QueryRuleClearanceConstraint(kSyncStore, rule, &Gap);
  });
}

void AddRoutingLayersRule(TPcbBoard& Board, const std::array<uint8_t, 32>& Directions,
                          int32_t Index) {
  BuildRule(Board, kRoutingLayersRule, Index, {std::string(), std::nullopt}, [&](uint32_t rule) {
    std::array<uint8_t, 32> values = Directions;  // the host's call takes a writable block
    PcbApi_QueryRuleRoutingLayersRule(kSyncStore, rule, values.data());
  });
}

void AddWidthRule(TPcbBoard& Board, std::string_view NetName, int32_t Width, int32_t Index) {
  BuildRule(Board, kWidthRule, Index, {InNetScope(NetName), std::nullopt}, [&](uint32_t rule) {
    int32_t first = 0, second = 0;
    PcbApi_QueryRuleMaxMinWidthConstraint(kSyncFetch, rule, &first, &second);
    if (Width == 0) Width = second;
    first = second = Width;
    PcbApi_QueryRuleMaxMinWidthConstraint(kSyncStore, rule, &first, &second);
  });
}

void AddViaStyleRule(TPcbBoard& Board, std::string_view NetName, int32_t ViaSize, int32_t Index,
                     uint8_t ViaFlag, int32_t ViaOtherSize) {
  BuildRule(Board, kRoutingViasRule, Index, {InNetScope(NetName), std::nullopt},
            [&](uint32_t rule) {
              int32_t a = 0, b = 0;
              uint8_t c = 0;
              PcbApi_QueryRuleRoutingViaStyleRule(kSyncFetch, rule, &a, &b, &c);
              if (ViaSize == 0) ViaSize = b;
              if (ViaOtherSize == 0) ViaOtherSize = a;
              a = ViaOtherSize;
              b = ViaSize;
              c = ViaFlag;
              PcbApi_QueryRuleRoutingViaStyleRule(kSyncStore, rule, &a, &b, &c);
            });
}

void AddSolderMaskRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                       int32_t Index) {
  AddPadExpansionRule(Board, kSolderMaskRule, PadName, Expansion, Index,
                      [](auto... args) { PcbApi_QueryRuleSolderMaskExpansionRule(args...); });
}

void AddPasteMaskRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                      int32_t Index) {
  AddPadExpansionRule(Board, kPasteMaskRule, PadName, Expansion, Index,
                      [](auto... args) { PcbApi_QueryRulePasteMaskExpansionRule(args...); });
}

void AddPlaneClearanceRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                           int32_t Index) {
  AddPadExpansionRule(Board, kPlaneClearanceRule, PadName, Expansion, Index,
                      [](auto... args) { PcbApi_QueryRulePowerPlaneExpansionRule(args...); });
}

void AddPlaneConnectRule(TPcbBoard& Board, std::string_view PadName, uint8_t ConnectStyle,
                         int32_t Index, int32_t Expansion, int32_t ConnectParam1,
                         int32_t ConnectParam2, int32_t ConnectParam3) {
  BuildRule(Board, kPlaneConnectRule, Index, {HasPadScope(PadName), std::nullopt},
            [&](uint32_t rule) {
              // The host takes the third parameter before the second.
              PcbApi_QueryRulePowerPlaneConnectStyleRule(kSyncStore, rule, &ConnectStyle,
                                                         &Expansion, &ConnectParam1,
                                                         &ConnectParam3, &ConnectParam2);
            });
}

void AddPriorityRule(TPcbBoard& Board, std::string_view NetName, int32_t Priority, int32_t Index) {
  BuildRule(Board, kPriorityRule, Index, {InNetScope(NetName), std::nullopt}, [&](uint32_t rule) {
    PcbApi_QueryRuleRoutingPriorityRule(kSyncStore, rule, &Priority);
  });
}

void AddTopologyRule(TPcbBoard& Board, std::string_view NetName, uint8_t Topology, int32_t Index) {
  BuildRule(Board, kTopologyRule, Index, {InNetScope(NetName), std::nullopt}, [&](uint32_t rule) {
    PcbApi_QueryRuleRoutingTopologyRule(kSyncStore, rule, &Topology);
  });
}

}  // namespace pcb9
