// Single rules as the builders leave them in the host: kind, name, scopes
// and the constraint values stored after the rule joined the board.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "RuleFixture.h"
#include "rules/RuleBuilders.h"

namespace pcb9test {
namespace {

using namespace pcb9;
using morvik::TFieldType;

constexpr int32_t Mil(int32_t mils) { return mils * 10000; }

TEST(RuleNames, KindNameAndIndex) {
  EXPECT_EQ(MakeRuleName(16, 0), "UnRoutedNet");
  EXPECT_EQ(MakeRuleName(2, 7), "Width_7");
  EXPECT_EQ(MakeRuleName(0, 12), "Clearance_12");
  EXPECT_EQ(MakeRuleName(60, 0), "");  // no such kind
}

TEST(RuleScopes, PrimitiveCodes) {
  const char* const expected[] = {"", "IsWire", "IsThruPin", "IsSMTPin", "IsVia", "IsFill",
                                  "InPoly", "", ""};
  for (uint8_t code = 0; code <= 8; ++code)
    EXPECT_EQ(PrimitiveScope(code), expected[code]) << int(code);
  EXPECT_EQ(PrimitiveScope(255), "");
}

// The name a scope tests, read back as the host's query language reads a
// string: a doubled quote is one quote; a lone one ends the string, so the
// scope would be more than one name test (nullopt).
std::optional<std::string> NameOfScope(std::string_view scope, std::string_view function) {
  const std::string open = std::string(function) + "('";
  if (!scope.starts_with(open) || !scope.ends_with("')") || scope.size() < open.size() + 2)
    return std::nullopt;
  const std::string_view quoted = scope.substr(open.size(), scope.size() - open.size() - 2);
  std::string name;
  for (size_t at = 0; at < quoted.size(); ++at) {
    if (quoted[at] == '\'' && (at + 1 == quoted.size() || quoted[++at] != '\'')) return std::nullopt;
    name += quoted[at];
  }
  return name;
}

// A quote in a name is written twice, and a name too long for the scope's
// 255 characters is cut before the closing "')", never between the two
// quotes of a pair: every scope is one string test of the name or of its
// beginning.
TEST(RuleScopes, NamesAreQuotedAndCutBeforeTheClosingQuote) {
  const std::string n244(244, 'n'), n245(245, 'n'), n246(246, 'n');
  struct TCase {
    const char* What;
    bool Net;  // InNet, else HasPad
    std::string Name;
    std::string Scope;
  };
  const TCase cases[] = {
      {"net", true, "GND", "InNet('GND')"},
      {"pad", false, "U1-3", "HasPad('U1-3')"},
      {"quote inside", true, "A'B", "InNet('A''B')"},
      {"quotes that would end the string", true, "A') or InNet('B",
       "InNet('A'') or InNet(''B')"},
      {"a lone quote", false, "'", "HasPad('''')"},
      {"no net", true, "", ""},
      {"no pad", false, "", ""},
      {"exactly fits", true, n246, "InNet('" + n246 + "')"},
      {"one too long", true, n246 + "n", "InNet('" + n246 + "')"},
      {"far too long", false, std::string(300, 'N'), "HasPad('" + std::string(245, 'N') + "')"},
      {"doubled quote exactly fits", true, n244 + "'", "InNet('" + n244 + "''')"},
      {"doubled quote would not fit", true, n245 + "'", "InNet('" + n245 + "')"},
      {"quote after the cut", true, n246 + "'x", "InNet('" + n246 + "')"},
      {"only quotes", true, std::string(250, '\''), "InNet('" + std::string(246, '\'') + "')"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const std::string scope = c.Net ? InNetScope(c.Name) : HasPadScope(c.Name);
    EXPECT_EQ(scope, c.Scope);
    EXPECT_LE(scope.size(), 255u);
    if (c.Name.empty()) continue;
    const std::optional<std::string> name = NameOfScope(scope, c.Net ? "InNet" : "HasPad");
    ASSERT_TRUE(name.has_value()) << scope;
    EXPECT_TRUE(c.Name.starts_with(*name)) << *name;
  }
}

class RuleBuilders : public TRuleFixture {};

// One row per builder: what it is called with and what the host then holds.
struct TBuilderCase {
  const char* What;
  std::function<void(TPcbBoard&)> Build;
  uint8_t Kind;
  const char* Name;
  const char* Scope1;
  const char* Scope2;  // "All": the host's own for a new rule
  const char* Query;   // last constraint query stored, "" for none
  std::vector<std::pair<const char*, int64_t>> Values;
};

TEST_F(RuleBuilders, EachBuilderMakesItsRule) {
  const TBuilderCase cases[] = {
      {"unrouted net", [](TPcbBoard& b) { AddUnroutedNetRule(b, 0); }, 16, "UnRoutedNet", "", "",
       "", {}},
      {"short circuit", [](TPcbBoard& b) { AddShortCircuitRule(b, 1, 0); }, 15, "ShortCircuit",
       "", "", "PcbApi_QueryRuleShortCircuitConstraint", {{"ShortCircuitAllowed", 1}}},
      {"clearance", [](TPcbBoard& b) { AddClearanceRule(b, Mil(8), 0); }, 0, "Clearance", "", "",
       "PcbApi_QueryRuleClearanceConstraint", {{"Gap", Mil(8)}}},
      {"kind clearance", [](TPcbBoard& b) { AddKindClearanceRule(b, 1, 4, 3, Mil(11)); }, 0,
       "Clearance_3", "IsWire", "IsVia", "PcbApi_QueryRuleClearanceConstraint",
       {{"Gap", Mil(11)}}},
      {"solder mask", [](TPcbBoard& b) { AddSolderMaskRule(b, "U1-3", Mil(2), 1); }, 13,
       "SolderMaskExpansion_1", "HasPad('U1-3')", "All",
       "PcbApi_QueryRuleSolderMaskExpansionRule", {{"SolderMaskExpansion", Mil(2)}}},
      {"paste mask", [](TPcbBoard& b) { AddPasteMaskRule(b, "P'1", -Mil(1), 2); }, 14,
       "PasteMaskExpansion_2", "HasPad('P''1')", "All", "PcbApi_QueryRulePasteMaskExpansionRule",
       {{"PasteMaskExpansion", -Mil(1)}}},
      {"plane clearance", [](TPcbBoard& b) { AddPlaneClearanceRule(b, "", Mil(12), 0); }, 12,
       "PlaneClearance", "", "All", "PcbApi_QueryRulePowerPlaneExpansionRule",
       {{"PlaneExpansion", Mil(12)}}},
      // The host takes the parameters as 1, 3, 2: each value must land in
      // its own field.
      {"plane connect",
       [](TPcbBoard& b) { AddPlaneConnectRule(b, "J1-1", 2, 4, 11, 22, 33, 44); }, 6,
       "PlaneConnect_4", "HasPad('J1-1')", "All", "PcbApi_QueryRulePowerPlaneConnectStyleRule",
       {{"ConnectStyle", 2},
        {"PlaneConnectExpansion", 11},
        {"ConnectParam1", 22},
        {"ConnectParam2", 33},
        {"ConnectParam3", 44}}},
      {"priority", [](TPcbBoard& b) { AddPriorityRule(b, "GND", 5, 9); }, 8,
       "RoutingPriority_9", "InNet('GND')", "All", "PcbApi_QueryRuleRoutingPriorityRule",
       {{"Priority", 5}}},
      {"topology", [](TPcbBoard& b) { AddTopologyRule(b, "VCC", 3, 1); }, 7, "RoutingTopology_1",
       "InNet('VCC')", "All", "PcbApi_QueryRuleRoutingTopologyRule", {{"Topology", 3}}},
  };
  for (const TBuilderCase& c : cases) {
    SCOPED_TRACE(c.What);
    const size_t before = NewRules().size();
    c.Build(*Board);
    ASSERT_EQ(NewRules().size(), before + 1);
    const morvik::TObject& rule = *NewRules().back();
    EXPECT_EQ(rule.Int("RuleKind"), c.Kind);
    EXPECT_EQ(rule.Text("RuleName"), c.Name);
    EXPECT_EQ(rule.Text("Scope1"), c.Scope1);
    EXPECT_EQ(rule.Text("Scope2"), c.Scope2);
    EXPECT_EQ(rule.Text("ConstraintQuery"), c.Query);
    for (const auto& [field, value] : c.Values) EXPECT_EQ(rule.Int(field), value) << field;
  }
}

TEST_F(RuleBuilders, RoutingLayersStoresTheDirectionsAndKeepsTheSecondScope) {
  std::array<uint8_t, 32> directions{};
  for (size_t i = 0; i < directions.size(); ++i) directions[i] = static_cast<uint8_t>(i % 4);
  AddRoutingLayersRule(*Board, directions, 0);
  const morvik::TObject& rule = OnlyNewRule();
  EXPECT_EQ(rule.Text("RuleName"), "RoutingLayers");
  EXPECT_EQ(rule.Text("Scope1"), "");
  EXPECT_EQ(rule.Text("Scope2"), "All");
  EXPECT_EQ(Bytes(rule, "RoutingDirections"),
            std::vector<uint8_t>(directions.begin(), directions.end()));
}

// A new rule of the host with unequal widths, so that the test tells the
// second width value from the first. The host's own defaults come back
// afterwards.
class WidthDefaults {
 public:
  WidthDefaults(int32_t min, int32_t max) { Set(min, max); }
  ~WidthDefaults() { Set(Mil(10), Mil(10)); }

 private:
  static void Set(int32_t min, int32_t max) {
    morvik::TDocument::Instance().AddDefaults(
        morvik::kKindRule, {{{"MinWidth", TFieldType::I32}, int64_t{min}},
                            {{"MaxWidth", TFieldType::I32}, int64_t{max}}});
  }
};

TEST_F(RuleBuilders, WidthZeroTakesTheHostsSecondWidthForBoth) {
  WidthDefaults defaults(Mil(3), Mil(7));
  AddWidthRule(*Board, "GND", 0, 0);
  AddWidthRule(*Board, "VCC", Mil(12), 1);
  const std::vector<const morvik::TObject*> rules = NewRules();
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]->Text("RuleName"), "Width");
  EXPECT_EQ(rules[0]->Text("Scope1"), "InNet('GND')");
  EXPECT_EQ(rules[0]->Text("Scope2"), "All");
  EXPECT_EQ(rules[0]->Int("MinWidth"), Mil(7));
  EXPECT_EQ(rules[0]->Int("MaxWidth"), Mil(7));
  EXPECT_EQ(rules[1]->Text("RuleName"), "Width_1");
  EXPECT_EQ(rules[1]->Int("MinWidth"), Mil(12));
  EXPECT_EQ(rules[1]->Int("MaxWidth"), Mil(12));
}

// The host's new via rule has a 28 mil hole (first value) and a 50 mil via
// (second value).
TEST_F(RuleBuilders, ViaStyleZeroKeepsTheHostsSizes) {
  AddViaStyleRule(*Board, "GND", 0, 0, 1, 0);
  AddViaStyleRule(*Board, "VCC", Mil(40), 7, 0, Mil(20));
  AddViaStyleRule(*Board, "CLK", 0, 8, 2, Mil(15));
  const std::vector<const morvik::TObject*> rules = NewRules();
  ASSERT_EQ(rules.size(), 3u);
  struct TExpected {
    const char* Name;
    const char* Scope;
    int32_t A, B;
    uint8_t Flag;
  };
  const TExpected expected[] = {{"RoutingVias", "InNet('GND')", Mil(28), Mil(50), 1},
                                {"RoutingVias_7", "InNet('VCC')", Mil(20), Mil(40), 0},
                                {"RoutingVias_8", "InNet('CLK')", Mil(15), Mil(50), 2}};
  for (size_t i = 0; i < rules.size(); ++i) {
    SCOPED_TRACE(expected[i].Name);
    EXPECT_EQ(rules[i]->Text("RuleName"), expected[i].Name);
    EXPECT_EQ(rules[i]->Text("Scope1"), expected[i].Scope);
    EXPECT_EQ(rules[i]->Int("ViaHoleSize"), expected[i].A);
    EXPECT_EQ(rules[i]->Int("ViaSize"), expected[i].B);
    EXPECT_EQ(rules[i]->Int("ViaFlag"), expected[i].Flag);
  }
}

TEST_F(RuleBuilders, LongNetNameIsCutInTheHostRule) {
  AddTopologyRule(*Board, std::string(300, 'X'), 1, 0);
  const std::string scope = OnlyNewRule().Text("Scope1");
  EXPECT_EQ(scope.size(), 255u);
  EXPECT_EQ(scope.substr(0, 7), "InNet('");
}

}  // namespace
}  // namespace pcb9test
