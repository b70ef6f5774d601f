// Rules from the file's board-wide settings: the most common clearance,
// the family pairs that differ from it, routing directions and the fixed
// rules of old formats.
#include <limits>
#include <string>

#include "RuleFixture.h"
#include "rules/BoardRules.h"

namespace pcb9test {
namespace {

using namespace pcb9;

constexpr int32_t Mil(int32_t mils) { return mils * 10000; }
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TClearanceSettings AllAt(int32_t value) {
  TClearanceSettings c;
  c.fill(value);
  return c;
}

TRouteSettings DefaultRoute() {
  TRouteSettings route;
  route.RoutingDirections[1] = 1;
  route.RoutingDirections[32] = 2;
  return route;
}

TEST(MostCommonClearance, CountsInTheOrderC1C4C2C3C5C6) {
  struct TCase {
    const char* What;
    TClearanceSettings C;  // C1..C6
    int32_t Expected;
  };
  const TCase cases[] = {
      {"defaults", AllAt(Mil(5)), Mil(5)},
      {"three against three: C1's value", {Mil(4), Mil(6), Mil(6), Mil(4), Mil(6), Mil(4)},
       Mil(4)},
      {"C4 comes before C2 on a tie", {1, 2, 2, 3, 3, 4}, 3},
      {"all different: C1", {6, 5, 4, 3, 2, 1}, 6},
      {"a larger count later wins", {1, 5, 5, 5, 5, 5}, 5},
  };
  for (const TCase& c : cases) EXPECT_EQ(MostCommonClearance(c.C), c.Expected) << c.What;
}

TEST(KindClearance, SharesByPrimitiveCode) {
  const TClearanceSettings c = {Mil(4), Mil(2), Mil(3), Mil(6), Mil(9), Mil(7)};
  EXPECT_EQ(KindClearance(c, 1), Mil(6));  // wire: the larger of C1 and C4
  EXPECT_EQ(KindClearance({Mil(8), 0, 0, Mil(6), 0, 0}, 1), Mil(8));
  EXPECT_EQ(KindClearance(c, 2), Mil(3));
  EXPECT_EQ(KindClearance(c, 3), Mil(3));
  EXPECT_EQ(KindClearance(c, 4), Mil(7));
  EXPECT_EQ(KindClearance(c, 5), Mil(2));
  for (uint8_t other : {0, 6, 7, 255}) EXPECT_EQ(KindClearance(c, other), 0) << int(other);
}

class BoardRules : public TRuleFixture {
 protected:
  struct TExpectedRule {
    const char* Name;
    const char* Scope1;
    const char* Scope2;
    int32_t Gap;
  };
  // The clearance rules, in the order made, and the routing-layers rule last.
  void ExpectClearances(const std::vector<TExpectedRule>& expected) {
    const std::vector<const morvik::TObject*> rules = NewRules();
    ASSERT_EQ(rules.size(), expected.size() + 1);
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(expected[i].Name);
      EXPECT_EQ(rules[i]->Text("RuleName"), expected[i].Name);
      EXPECT_EQ(rules[i]->Text("Scope1"), expected[i].Scope1);
      EXPECT_EQ(rules[i]->Text("Scope2"), expected[i].Scope2);
      EXPECT_EQ(rules[i]->Int("Gap"), expected[i].Gap);
    }
    EXPECT_EQ(rules.back()->Text("RuleName"), "RoutingLayers");
  }
  std::vector<uint8_t> Directions() const {
    return Bytes(*NewRules().back(), "RoutingDirections");
  }
};

TEST_F(BoardRules, DefaultsGiveOneClearanceAndTopAndBottomDirections) {
  CreateBoardRules(*Board, AllAt(Mil(5)), DefaultRoute());
  ExpectClearances({{"Clearance", "", "", Mil(10)}});
  std::vector<uint8_t> expected(32, 0);
  expected[0] = 1;
  expected[31] = 2;
  EXPECT_EQ(Directions(), expected);
}

TEST_F(BoardRules, PadClearanceOf8MilGivesNinePairRules) {
  TClearanceSettings c = AllAt(Mil(5));
  c[2] = Mil(8);  // C3
  CreateBoardRules(*Board, c, DefaultRoute());
  ExpectClearances({
      {"Clearance", "", "", Mil(10)},
      {"Clearance_1", "IsWire", "IsThruPin", Mil(13)},
      {"Clearance_2", "IsWire", "IsSMTPin", Mil(13)},
      {"Clearance_3", "IsThruPin", "IsThruPin", Mil(16)},
      {"Clearance_4", "IsThruPin", "IsSMTPin", Mil(16)},
      {"Clearance_5", "IsThruPin", "IsVia", Mil(13)},
      {"Clearance_6", "IsThruPin", "IsFill", Mil(13)},
      {"Clearance_7", "IsSMTPin", "IsSMTPin", Mil(16)},
      {"Clearance_8", "IsSMTPin", "IsVia", Mil(13)},
      {"Clearance_9", "IsSMTPin", "IsFill", Mil(13)},
  });
}

TEST_F(BoardRules, TieOfThreeAgainstThreeTakesC1) {
  CreateBoardRules(*Board, {Mil(4), Mil(6), Mil(6), Mil(4), Mil(6), Mil(4)}, DefaultRoute());
  // Wires 4 mil, pins 6 mil, vias 4 mil, fills 6 mil against 8 mil.
  ExpectClearances({
      {"Clearance", "", "", Mil(8)},
      {"Clearance_1", "IsWire", "IsThruPin", Mil(10)},
      {"Clearance_2", "IsWire", "IsSMTPin", Mil(10)},
      {"Clearance_3", "IsWire", "IsFill", Mil(10)},
      {"Clearance_4", "IsThruPin", "IsThruPin", Mil(12)},
      {"Clearance_5", "IsThruPin", "IsSMTPin", Mil(12)},
      {"Clearance_6", "IsThruPin", "IsVia", Mil(10)},
      {"Clearance_7", "IsThruPin", "IsFill", Mil(12)},
      {"Clearance_8", "IsSMTPin", "IsSMTPin", Mil(12)},
      {"Clearance_9", "IsSMTPin", "IsVia", Mil(10)},
      {"Clearance_10", "IsSMTPin", "IsFill", Mil(12)},
      {"Clearance_11", "IsVia", "IsFill", Mil(10)},
      {"Clearance_12", "IsFill", "IsFill", Mil(12)},
  });
}

// Sums of file values beyond the 32-bit range stay at its end instead of
// wrapping to a negative gap.
TEST_F(BoardRules, HugeClearancesSaturate) {
  TClearanceSettings c = AllAt(Mil(5));
  c[5] = kMax;  // C6: vias
  CreateBoardRules(*Board, c, DefaultRoute());
  ExpectClearances({
      {"Clearance", "", "", Mil(10)},
      {"Clearance_1", "IsWire", "IsVia", kMax},
      {"Clearance_2", "IsThruPin", "IsVia", kMax},
      {"Clearance_3", "IsSMTPin", "IsVia", kMax},
      {"Clearance_4", "IsVia", "IsVia", kMax},
      {"Clearance_5", "IsVia", "IsFill", kMax},
  });
}

TEST_F(BoardRules, HugeMostCommonClearanceSaturatesAlike) {
  for (int32_t value : {kMax, std::numeric_limits<int32_t>::min()}) {
    const size_t before = NewRules().size();
    CreateBoardRules(*Board, AllAt(value), DefaultRoute());
    const std::vector<const morvik::TObject*> rules = NewRules();
    ASSERT_EQ(rules.size(), before + 2) << value;  // no pair differs
    EXPECT_EQ(rules[before]->Int("Gap"), value);
  }
}

TEST_F(BoardRules, DirectionsOfTheSixteenFileLayersOnly) {
  TRouteSettings route;
  for (size_t layer = 0; layer < route.RoutingDirections.size(); ++layer)
    route.RoutingDirections[layer] = static_cast<uint8_t>(layer % 5);  // 4 is no direction
  CreateBoardRules(*Board, AllAt(Mil(5)), route);
  std::vector<uint8_t> expected(32, 0);
  for (size_t layer = 1; layer <= 15; ++layer)
    expected[layer - 1] = layer % 5 == 4 ? 0 : static_cast<uint8_t>(layer % 5);
  expected[31] = 32 % 5;  // BottomLayer; MidLayer15..30 stay 0
  EXPECT_EQ(Directions(), expected);
}

TEST_F(BoardRules, DirectionCodesOutsideZeroToThreeBecomeZero) {
  TRouteSettings route;
  route.RoutingDirections.fill(200);
  CreateBoardRules(*Board, AllAt(Mil(5)), route);
  EXPECT_EQ(Directions(), std::vector<uint8_t>(32, 0));
}

TEST_F(BoardRules, OldFormatPadRulesUpToLevel7) {
  for (int16_t level : {8, 9}) {
    CreateOldFormatPadRules(*Board, level);
    EXPECT_TRUE(NewRules().empty()) << level;
  }
  CreateOldFormatPadRules(*Board, 7);
  const std::vector<const morvik::TObject*> rules = NewRules();
  ASSERT_EQ(rules.size(), 4u);
  const char* const names[] = {"SolderMaskExpansion", "PasteMaskExpansion", "PlaneClearance",
                               "PlaneConnect"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(rules[i]->Text("RuleName"), names[i]);
    EXPECT_EQ(rules[i]->Text("Scope1"), "") << names[i];
  }
  EXPECT_EQ(rules[0]->Int("SolderMaskExpansion"), Mil(2));
  EXPECT_EQ(rules[1]->Int("PasteMaskExpansion"), 0);
  EXPECT_EQ(rules[2]->Int("PlaneExpansion"), Mil(10));
  EXPECT_EQ(rules[3]->Int("ConnectStyle"), 0);
  EXPECT_EQ(rules[3]->Int("PlaneConnectExpansion"), Mil(10));
  EXPECT_EQ(rules[3]->Int("ConnectParam1"), Mil(10));
  EXPECT_EQ(rules[3]->Int("ConnectParam2"), Mil(10));
  EXPECT_EQ(rules[3]->Int("ConnectParam3"), 4);
}

TEST_F(BoardRules, OldFormatPadRulesAtLevel0) {
  CreateOldFormatPadRules(*Board, 0);
  EXPECT_EQ(NewRules().size(), 4u);
}

}  // namespace
}  // namespace pcb9test
