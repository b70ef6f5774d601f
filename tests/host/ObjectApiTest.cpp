// The reference host's object calls, made as the importer makes them: the
// defaults of new objects, the per-layer pad and via answers, references,
// segments, class members and the rule constraint queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"
#include "support/HostFixture.h"

namespace morvik {
namespace {

constexpr uint8_t kFetch = 1, kStore = 0;

class HostObjects : public pcb9test::THostFixture {
 protected:
  static TObject& Object(uint32_t handle) { return *TDocument::Instance().Find(handle); }
};

// --- defaults of new objects -------------------------------------------------------

TEST_F(HostObjects, NewViaAndRuleAreOnMultiLayer) {
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  uint16_t flags = 0;
  int16_t index = 0;
  uint8_t layer = 0, state = 0, start = 0, end = 0, extra1 = 0, extra2 = 0;
  uint32_t net = 0, owner = 0;
  int32_t x = 0, y = 0, size = 0, hole = 0;
  ASSERT_EQ(PcbApi_QueryVia(kFetch, via, &flags, &index, &layer, &net, &state, &owner, &x, &y,
                            &size, &hole, &start, &end, &extra1, &extra2),
            0);
  EXPECT_EQ(layer, 74);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 32);
  EXPECT_GT(size, hole);
  EXPECT_GT(hole, 0);

  const TObject& rule = Object(PcbApi_CreateRuleObject(13));
  EXPECT_EQ(rule.Int("Layer"), 74);
  EXPECT_EQ(rule.Int("RuleKind"), 13);
  EXPECT_EQ(rule.Int("RuleValue"), -1);
  EXPECT_EQ(rule.Text("Scope1"), "All");
}

// Every new object with a layer starts on the layer an editor gives it.
TEST_F(HostObjects, NewObjectsStartOnTheirKindsLayer) {
  const std::pair<uint8_t, int64_t> layers[] = {
      {kKindArc, 1},        {kKindPad, 74},        {kKindVia, 74},         {kKindTrack, 1},
      {kKindText, 33},      {kKindFill, 1},        {kKindComponent, 1},    {kKindPolygon, 1},
      {kKindRegion, 1},     {kKindDimension, 57},  {kKindCoordinate, 57},  {kKindEmbeddedBoard, 1},
      {kKindSplitPlane, 39}, {kKindBoardOutline, 57}};
  for (auto [kind, layer] : layers)
    EXPECT_EQ(Object(PcbApi_CreateObject(kind)).Int("Layer"), layer) << KindName(kind);
}

TEST_F(HostObjects, NewTextHasFontOneAndASize) {
  const TObject& text = Object(PcbApi_CreateObject(kKindText));
  EXPECT_EQ(text.Int("Font"), 1);
  EXPECT_GT(text.Int("Height"), 0);
  EXPECT_GT(text.Int("Width"), 0);
  EXPECT_EQ(text.Text("TrueTypeFontName"), "Arial");
}

// --- per-layer pad and via answers ------------------------------------------------------

TEST_F(HostObjects, SimplePadAnswersCopperLayersFromTopMidAndBottom) {
  const uint32_t pad = PcbApi_CreateObject(kKindPad);
  TObject& o = Object(pad);
  o.Set("TopXSize", TFieldType::I32, int64_t{100});
  o.Set("MidXSize", TFieldType::I32, int64_t{200});
  o.Set("BottomXSize", TFieldType::I32, int64_t{300});
  o.Set("MidShape", TFieldType::U8, int64_t{3});
  SetLayerArrayValue(o, kLayerXSize, 40, 999);  // an internal plane keeps its own entry
  int32_t x = 0, y = 0;
  uint8_t shape = 0;
  const std::pair<uint8_t, int32_t> sizes[] = {{1, 100}, {2, 200}, {31, 200}, {32, 300}, {40, 999}};
  for (auto [id, expected] : sizes) {
    ASSERT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, id, &x, &y), 0);
    EXPECT_EQ(x, expected) << int(id);
  }
  ASSERT_EQ(PcbApi_QueryPadOrViaShapeOnLayer(pad, 17, &shape), 0);
  EXPECT_EQ(shape, 3);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 83, &x, &y), 1);
}

TEST_F(HostObjects, FullStackPadAnswersEveryLayerFromItsOwnEntries) {
  const uint32_t pad = PcbApi_CreateObject(kKindPad);
  uint8_t mode = 2;
  ASSERT_EQ(PcbApi_QueryPadStackMode(kStore, pad, &mode), 0);
  ASSERT_EQ(PcbApi_SetPadSizeOnLayer(pad, 1, 80, 40), 0);
  ASSERT_EQ(PcbApi_SetPadShapeOnLayer(pad, 1, 9), 0);
  ASSERT_EQ(PcbApi_SetCRPctOnLayer(pad, 1, 50), 0);
  int32_t x = 0, y = 0, radius = 0;
  uint8_t shape = 0, pct = 0;
  PcbApi_QueryPadOrViaSizeOnLayer(pad, 1, &x, &y);
  PcbApi_QueryPadOrViaShapeOnLayer(pad, 1, &shape);
  PcbApi_QueryPadCRPercentageOnLayer(pad, 1, &pct);
  PcbApi_QueryPadCornerRadiusOnLayer(pad, 1, &radius);
  EXPECT_EQ(x, 80);
  EXPECT_EQ(y, 40);
  EXPECT_EQ(shape, 9);
  EXPECT_EQ(pct, 50);
  EXPECT_EQ(radius, 10);  // 50 % of 40 / 2
  EXPECT_EQ(PcbApi_SetPadSizeOnLayer(pad, 83, 1, 1), 1);
}

// The answers a pad gives per layer are worked out once for all layers and
// kept; every change in between must show in the next answer.
TEST_F(HostObjects, PerLayerAnswersFollowEveryChange) {
  const uint32_t a = PcbApi_CreateObject(kKindPad), b = PcbApi_CreateObject(kKindPad);
  const auto size = [](uint32_t pad, uint8_t id) {
    int32_t x = -1, y = -1;
    EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, id, &x, &y), 0);
    return x;
  };
  const auto storeTop = [](uint32_t pad, int32_t top) {  // through the pad's own exchange
    PcbApi_QueryPad(kStore, pad, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, &top, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr);
  };
  storeTop(a, 100);
  EXPECT_EQ(size(a, 1), 100);
  const int64_t fresh = Object(b).Int("TopXSize");  // a new pad's default
  EXPECT_NE(fresh, 100);
  EXPECT_EQ(size(b, 1), fresh);  // another pad
  storeTop(a, 150);
  EXPECT_EQ(size(a, 1), 150);
  ASSERT_EQ(PcbApi_SetPadSizeOnLayer(a, 1, 70, 30), 0);  // its own entry, not yet answered
  EXPECT_EQ(size(a, 1), 150);
  uint8_t mode = 2;  // the full stack: now every layer answers from its entries
  ASSERT_EQ(PcbApi_QueryPadStackMode(kStore, a, &mode), 0);
  EXPECT_EQ(size(a, 1), 70);
  ASSERT_EQ(PcbApi_SetPadSizeOnLayer(a, 1, 90, 30), 0);
  EXPECT_EQ(size(a, 1), 90);
  Object(a).Set("StackMode", TFieldType::U8, int64_t{0});  // a write by name
  EXPECT_EQ(size(a, 1), 150);
  TDocument::Instance().Reset();  // new objects may take the old ones' places
  const uint32_t c = PcbApi_CreateObject(kKindPad);
  EXPECT_EQ(size(c, 1), fresh);
}

TEST_F(HostObjects, PerLayerPadCallsRefuseOtherKinds) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  int32_t radius = 0;
  uint8_t pct = 0, mode = 0;
  EXPECT_EQ(PcbApi_SetPadShapeOnLayer(track, 1, 1), 1);
  EXPECT_EQ(PcbApi_SetCRPctOnLayer(track, 1, 1), 1);
  EXPECT_EQ(PcbApi_QueryPadCornerRadiusOnLayer(track, 1, &radius), 1);
  EXPECT_EQ(PcbApi_QueryPadCRPercentageOnLayer(track, 1, &pct), 1);
  EXPECT_EQ(PcbApi_QueryPadStackMode(kFetch, track, &mode), 1);
  EXPECT_FALSE(Object(track).Has("LayerShape"));
}

TEST_F(HostObjects, ViaAnswersOnTheLayersItSpans) {
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  TObject& o = Object(via);
  o.Set("Size", TFieldType::I32, int64_t{450});
  o.Set("StartLayer", TFieldType::LayerId, int64_t{32});  // either order
  o.Set("EndLayer", TFieldType::LayerId, int64_t{3});
  int32_t x = 0, y = 0;
  uint8_t shape = 0;
  for (uint8_t id : {3, 10, 32, 74}) {
    EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(via, id, &x, &y), 0) << int(id);
    EXPECT_EQ(x, 450);
    EXPECT_EQ(y, 450);
    EXPECT_EQ(PcbApi_QueryPadOrViaShapeOnLayer(via, id, &shape), 0);
    EXPECT_EQ(shape, 1);
  }
  for (uint8_t id : {1, 2, 33, 39})
    EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(via, id, &x, &y), 1) << int(id);
}

// --- extents ---------------------------------------------------------------------------

// The extent of a track is its two ends; of an arc, its circle; of a via,
// its pad. Positions at the ends of the 32-bit range stay within it.
TEST_F(HostObjects, BoundingRectanglesOfTheStoredGeometry) {
  struct TCase {
    uint8_t Kind;
    int64_t X, Y, Other;  // X2 (Y2 = -Y) for a track, radius for an arc, size for a via
    int32_t Left, Bottom, Right, Top;
  };
  constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  const TCase cases[] = {
      {kKindTrack, 50, 20, -10, -10, -20, 50, 20},
      {kKindArc, 100, 200, 30, 70, 170, 130, 230},
      {kKindVia, 0, 0, 41, -20, -20, 20, 20},
      {kKindArc, kMin + 5, kMax - 5, 1000, kMin, kMax - 1005, kMin + 1005, kMax},
      {kKindVia, kMax, kMin, 400, kMax - 200, kMin, kMax, kMin + 200},
  };
  for (const TCase& c : cases) {
    TObject& o = Object(PcbApi_CreateObject(c.Kind));
    o.Set("X", TFieldType::I32, c.X);
    o.Set("Y", TFieldType::I32, c.Y);
    o.Set("X2", TFieldType::I32, c.Other);
    o.Set("Y2", TFieldType::I32, -c.Y);
    o.Set("Radius", TFieldType::I32, c.Other);
    o.Set("Size", TFieldType::I32, c.Other);
    int32_t l = 0, b = 0, r = 0, t = 0;
    ASSERT_EQ(PcbApi_QueryObjectBoundingRectangle(o.Handle, &l, &b, &r, &t), 0);
    EXPECT_EQ((std::vector<int32_t>{l, b, r, t}),
              (std::vector<int32_t>{c.Left, c.Bottom, c.Right, c.Top}))
        << int(c.Kind) << " at " << c.X;
  }
}

// --- references, segments, members -----------------------------------------------------

TEST_F(HostObjects, ReferencesFollowTheirCount) {
  const uint32_t dim = PcbApi_CreateObject(kKindDimension);
  int32_t count = 2, a = 1, b = 2, c = 3, d = 4;
  ASSERT_EQ(PcbApi_References_Count(kStore, dim, &count), 0);
  ASSERT_EQ(PcbApi_References_At(kStore, dim, 1, &a, &b, &c, &d), 0);
  EXPECT_EQ(PcbApi_References_At(kStore, dim, 2, &a, &b, &c, &d), 1);
  EXPECT_EQ(PcbApi_References_At(kFetch, dim, -1, &a, &b, &c, &d), 1);
  count = 0;
  a = b = c = d = 0;
  PcbApi_References_Count(kFetch, dim, &count);
  PcbApi_References_At(kFetch, dim, 1, &a, &b, &c, &d);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(std::vector<int32_t>({a, b, c, d}), std::vector<int32_t>({1, 2, 3, 4}));
  count = -5;
  PcbApi_References_Count(kStore, dim, &count);
  PcbApi_References_Count(kFetch, dim, &count);
  EXPECT_EQ(count, 0);
}

TEST_F(HostObjects, SegmentFetchWritesOnlyTheEntriesInUse) {
  const uint32_t plane = PcbApi_CreateObject(kKindSplitPlane);
  std::vector<uint8_t> records(3 * kSegmentSize, 0x5A);
  int32_t count = 1;
  uint16_t flags = 0;
  int16_t index = 0;
  uint32_t layer = 0, net = 0;
  uint8_t state = 0, byte = 0;
  ASSERT_EQ(PcbApi_QuerySplitPlane(kStore, plane, &flags, &index, &layer, &net, &state, &byte,
                                   &count, records.data()),
            0);
  std::vector<uint8_t> out(3 * kSegmentSize, 0xEE);
  count = 0;
  PcbApi_QuerySplitPlane(kFetch, plane, &flags, &index, &layer, &net, &state, &byte, &count,
                         out.data());
  EXPECT_EQ(count, 1);
  EXPECT_EQ(out[2 * kSegmentSize - 1], 0x5A);
  EXPECT_EQ(out[2 * kSegmentSize], 0xEE);  // entry 2 untouched

  count = 7000;  // the host keeps counts within the caller's array
  PcbApi_QuerySplitPlane(kStore, plane, &flags, &index, &layer, &net, &state, &byte, &count,
                         nullptr);
  EXPECT_EQ(Object(plane).Int("SegmentCount"), kMaxSegmentIndex);
}

TEST_F(HostObjects, ClassMembersInOrderUntilTheEnd) {
  const uint32_t cls = PcbApi_CreateObject(kKindClass);
  const TShortString a("A"), b("B");
  ASSERT_EQ(PcbApi_AddMemberToClass(cls, &a), 0);
  ASSERT_EQ(PcbApi_AddMemberToClass(cls, &b), 0);
  TShortString name;
  ASSERT_EQ(PcbApi_GetMemberFromClassAt(cls, 1, &name), 0);
  EXPECT_EQ(name.View(), "B");
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(cls, 2, &name), 1);
  ASSERT_EQ(PcbApi_RemoveAllMembersFromClass(cls), 0);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(cls, 0, &name), 1);
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  EXPECT_EQ(PcbApi_AddMemberToClass(track, &a), 1);
}

// --- rule constraints ---------------------------------------------------------------------

struct TConstraintCase {
  const char* Name;
  uint8_t RuleKind;  // the rules the query serves
  size_t Count;
  // Exchanges `values` (one per argument, in order) with the rule.
  std::function<int32_t(uint8_t, uint32_t, std::vector<int64_t>&)> Call;
};

void PrintTo(const TConstraintCase& c, std::ostream* out) { *out << c.Name; }

template <class... T>
auto Typed(int32_t(PCB9_CALL* fn)(uint8_t, uint32_t, T*...)) {
  return [fn](uint8_t dir, uint32_t rule, std::vector<int64_t>& values) {
    std::tuple<T...> typed;
    size_t i = 0;
    std::apply([&](auto&... v) { ((v = static_cast<std::remove_reference_t<decltype(v)>>(values[i++])), ...); }, typed);
    const int32_t status = std::apply([&](auto&... v) { return fn(dir, rule, &v...); }, typed);
    i = 0;
    std::apply([&](auto&... v) { ((values[i++] = v), ...); }, typed);
    return status;
  };
}

const TConstraintCase kConstraintCases[] = {
    {"Clearance", kRuleClearance, 1, Typed(PcbApi_QueryRuleClearanceConstraint)},
    {"MaxMinWidth", kRuleWidth, 2, Typed(PcbApi_QueryRuleMaxMinWidthConstraint)},
    {"ViaStyle", kRuleRoutingVias, 3, Typed(PcbApi_QueryRuleRoutingViaStyleRule)},
    {"Topology", kRuleRoutingTopology, 1, Typed(PcbApi_QueryRuleRoutingTopologyRule)},
    {"Priority", kRuleRoutingPriority, 1, Typed(PcbApi_QueryRuleRoutingPriorityRule)},
    {"PlaneConnectStyle", kRulePlaneConnect, 5, Typed(PcbApi_QueryRulePowerPlaneConnectStyleRule)},
    {"PasteMask", kRulePasteMaskExpansion, 1, Typed(PcbApi_QueryRulePasteMaskExpansionRule)},
    {"SolderMask", kRuleSolderMaskExpansion, 1, Typed(PcbApi_QueryRuleSolderMaskExpansionRule)},
    {"PlaneExpansion", kRulePlaneClearance, 1, Typed(PcbApi_QueryRulePowerPlaneExpansionRule)},
    {"ShortCircuit", kRuleShortCircuit, 1, Typed(PcbApi_QueryRuleShortCircuitConstraint)},
};

class Constraint : public HostObjects, public ::testing::WithParamInterface<TConstraintCase> {};

TEST_P(Constraint, StoredValuesComeBackPerRule) {
  const TConstraintCase& c = GetParam();
  const uint32_t first = PcbApi_CreateRuleObject(c.RuleKind);
  const uint32_t second = PcbApi_CreateRuleObject(c.RuleKind);
  std::vector<int64_t> values;
  // The first value is 2 so that an 8-bit flag is seen to keep its value.
  for (size_t i = 0; i < c.Count; ++i) values.push_back(i == 0 ? 2 : int64_t(i) * 10 + 7);
  std::vector<int64_t> other(c.Count, 0);
  std::vector<int64_t> defaults(c.Count, -99);
  c.Call(kFetch, second, defaults);
  ASSERT_EQ(c.Call(kStore, first, values), 0);
  ASSERT_EQ(c.Call(kStore, second, other), 0);
  std::vector<int64_t> fetched(c.Count, -1);
  ASSERT_EQ(c.Call(kFetch, first, fetched), 0);
  EXPECT_EQ(fetched, values);
  EXPECT_NE(defaults, std::vector<int64_t>(c.Count, -99));  // a new rule answers its defaults
  EXPECT_EQ(c.Call(kFetch, PcbApi_CreateObject(kKindTrack), fetched), 1);
  // A rule of another kind is not served.
  const uint8_t otherKind = c.RuleKind == kRuleClearance ? kRuleWidth : kRuleClearance;
  EXPECT_EQ(c.Call(kStore, PcbApi_CreateRuleObject(otherKind), values), 1);
}

// A rule answers its kind's defaults however it came to be of that kind:
// made as a rule of it, made as a plain object and given the kind, or made
// as a rule of another kind and changed.
TEST_P(Constraint, DefaultsDoNotDependOnHowTheRuleGotItsKind) {
  const TConstraintCase& c = GetParam();
  const uint8_t otherKind = c.RuleKind == kRuleClearance ? kRuleWidth : kRuleClearance;
  auto giveKind = [&c](uint32_t rule) {
    uint8_t kind = c.RuleKind, flag1 = 0, flag2 = 0;
    int32_t value = -1;
    TShortString scope1("All"), scope2("All");
    EXPECT_EQ(PcbApi_QueryRuleEx(kStore, rule, &kind, &flag1, &value, &flag2, &scope1, &scope2), 0);
    return rule;
  };
  const uint32_t rules[] = {PcbApi_CreateRuleObject(c.RuleKind),
                            giveKind(PcbApi_CreateObject(kKindRule)),
                            giveKind(PcbApi_CreateRuleObject(otherKind))};
  std::vector<int64_t> expected(c.Count, -99);
  ASSERT_EQ(c.Call(kFetch, rules[0], expected), 0);
  for (uint32_t rule : rules) {
    std::vector<int64_t> defaults(c.Count, -99);
    ASSERT_EQ(c.Call(kFetch, rule, defaults), 0);
    EXPECT_EQ(defaults, expected) << "rule " << rule;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryQuery, Constraint, ::testing::ValuesIn(kConstraintCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(HostObjects, RoutingLayersConstraintKeepsItsThirtyTwoBytes) {
  const uint32_t rule = PcbApi_CreateRuleObject(9);
  uint8_t directions[32];
  for (int i = 0; i < 32; ++i) directions[i] = static_cast<uint8_t>(i % 4);
  ASSERT_EQ(PcbApi_QueryRuleRoutingLayersRule(kStore, rule, directions), 0);
  uint8_t back[32] = {};
  ASSERT_EQ(PcbApi_QueryRuleRoutingLayersRule(kFetch, rule, back), 0);
  EXPECT_EQ(std::memcmp(back, directions, 32), 0);
  EXPECT_EQ(Object(rule).Text("ConstraintQuery"), "PcbApi_QueryRuleRoutingLayersRule");
}

}  // namespace
}  // namespace morvik
