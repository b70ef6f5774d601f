// The classifier: grouping pad and net values by family, the default group,
// the rule counts, and the rules it creates on the reference host's board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClassifierFixture.h"

namespace pcb9test {
namespace {

using pcb9::TClassifier;
using pcb9::TRuleFamily;
using Strings = std::vector<std::string>;

constexpr int32_t kMil = 10000;

class ClassifierRules : public TClassifierFixture {};

TEST_F(ClassifierRules, NothingCollectedCreatesNoRuleAtAll) {
  Classifier->CreateRules();
  EXPECT_TRUE(CreatedRules().empty());
  for (size_t f = 0; f < pcb9::kRuleFamilyCount; ++f) {
    const auto family = static_cast<TRuleFamily>(f);
    EXPECT_EQ(Classifier->CountRules(family), 0);
    EXPECT_EQ(Classifier->FindDefaultGroup(family), nullptr);
  }
}

// Every pad and net with the same value: one board-wide rule per family, in
// the families' order, with the builders' values.
TEST_F(ClassifierRules, OneValuePerFamilyGivesOneBoardWideRuleEach) {
  TClassifier& c = *Classifier;
  for (const char* pad : {"U1-1", "U1-2", "R1-1"}) {
    c.AddSolderMaskExpansion(4 * kMil, pad);
    c.AddPasteMaskExpansion(-kMil, pad);
    c.AddPlaneExpansion(20 * kMil, pad);
    c.AddPlaneConnect(15 * kMil, 1, 11 * kMil, 12 * kMil, 4, pad);
  }
  for (const char* net : {"GND", "VCC"}) {
    c.AddTrackWidth(12 * kMil, net);
    c.AddViaSize(40 * kMil, net);
    c.AddTopology(3, net);
    c.AddRoutingPriority(5, net);
  }
  for (size_t f = 0; f < pcb9::kRuleFamilyCount; ++f)
    EXPECT_EQ(c.CountRules(static_cast<TRuleFamily>(f)), 1) << f;
  c.CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"SolderMaskExpansion", "PasteMaskExpansion", "PlaneClearance",
                                   "PlaneConnect", "Width", "RoutingVias", "RoutingTopology",
                                   "RoutingPriority"}));
  const std::vector<int64_t> kinds = {13, 14, 12, 6, 2, 11, 7, 8};
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].Scope1, "") << rules[i].Name;
    EXPECT_EQ(rules[i].Kind, kinds[i]) << rules[i].Name;
  }
  EXPECT_EQ(rules[0].Int("SolderMaskExpansion"), 4 * kMil);
  EXPECT_EQ(rules[1].Int("PasteMaskExpansion"), -kMil);
  EXPECT_EQ(rules[2].Int("PlaneExpansion"), 20 * kMil);
  EXPECT_EQ(rules[3].Int("ConnectStyle"), 1);
  EXPECT_EQ(rules[3].Int("PlaneConnectExpansion"), 15 * kMil);
  EXPECT_EQ(rules[3].Int("ConnectParam1"), 11 * kMil);
  EXPECT_EQ(rules[3].Int("ConnectParam2"), 12 * kMil);
  EXPECT_EQ(rules[3].Int("ConnectParam3"), 4);
  EXPECT_EQ(rules[4].Int("MinWidth"), 12 * kMil);
  EXPECT_EQ(rules[4].Int("MaxWidth"), 12 * kMil);
  EXPECT_EQ(rules[5].Int("ViaSize"), 40 * kMil);
  EXPECT_EQ(rules[5].Int("ViaHoleSize"), 20 * kMil);
  EXPECT_EQ(rules[5].Int("ViaFlag"), 0);
  EXPECT_EQ(rules[6].Int("Topology"), 3);
  EXPECT_EQ(rules[7].Int("Priority"), 5);
}

TEST_F(ClassifierRules, MinorityNetsGetTheirOwnRulesNewestFirst) {
  // Three nets at 10 mil and two at 12 mil, interleaved in file order.
  Classifier->AddTrackWidth(10 * kMil, "N1");
  Classifier->AddTrackWidth(12 * kMil, "N2");
  Classifier->AddTrackWidth(10 * kMil, "N3");
  Classifier->AddTrackWidth(12 * kMil, "N4");
  Classifier->AddTrackWidth(10 * kMil, "N5");
  EXPECT_EQ(Classifier->CountRules(TRuleFamily::TrackWidth), 3);
  Classifier->CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"Width", "Width_1", "Width_2"}));
  EXPECT_EQ(rules[0].Scope1, "");
  EXPECT_EQ(rules[0].Int("MaxWidth"), 10 * kMil);
  EXPECT_EQ(rules[1].Scope1, "InNet('N4')");
  EXPECT_EQ(rules[2].Scope1, "InNet('N2')");
  for (size_t i = 1; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].Int("MinWidth"), 12 * kMil);
    EXPECT_EQ(rules[i].Int("MaxWidth"), 12 * kMil);
  }
}

// Equal counts go to the group created last; the others are numbered in
// list order (newest group first), each group's names newest first.
TEST_F(ClassifierRules, TieGoesToTheNewestGroupAndNumberingFollowsListOrder) {
  TClassifier& c = *Classifier;
  c.AddSolderMaskExpansion(1 * kMil, "A1");
  c.AddSolderMaskExpansion(2 * kMil, "B1");
  c.AddSolderMaskExpansion(1 * kMil, "A2");
  c.AddSolderMaskExpansion(3 * kMil, "C1");
  c.AddSolderMaskExpansion(3 * kMil, "C2");
  const pcb9::TValueGroup* fallback = c.FindDefaultGroup(TRuleFamily::SolderMaskExpansion);
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(fallback->Key.Value, 3 * kMil);
  EXPECT_TRUE(fallback->IsDefault);
  c.CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"SolderMaskExpansion", "SolderMaskExpansion_1",
                                   "SolderMaskExpansion_2", "SolderMaskExpansion_3"}));
  EXPECT_EQ(rules[0].Int("SolderMaskExpansion"), 3 * kMil);
  EXPECT_EQ(rules[1].Scope1, "HasPad('B1')");
  EXPECT_EQ(rules[1].Int("SolderMaskExpansion"), 2 * kMil);
  EXPECT_EQ(rules[2].Scope1, "HasPad('A2')");
  EXPECT_EQ(rules[3].Scope1, "HasPad('A1')");
  EXPECT_EQ(rules[3].Int("SolderMaskExpansion"), 1 * kMil);
}

struct TTopologyCase {
  uint16_t Code;
  uint8_t Host;
};

TEST(ClassifierTopology, FileCodesMapToHostValuesByTheirLowByte) {
  const TTopologyCase cases[] = {{0, 1},   {1, 2},   {2, 0},     {3, 3},     {4, 3},
                                 {5, 3},   {6, 0},   {7, 0},     {8, 6},     {255, 6},
                                 {256, 1}, {258, 0}, {0xFF07, 0}, {0x1234, 6}};
  for (const TTopologyCase& c : cases)
    EXPECT_EQ(TClassifier::HostTopology(c.Code), c.Host) << "code " << c.Code;
}

TEST_F(ClassifierRules, TopologyCodesShareGroupsByHostValue) {
  TClassifier& c = *Classifier;
  c.AddTopology(2, "T2");
  c.AddTopology(6, "T6");
  c.AddTopology(7, "T7");
  c.AddTopology(3, "T3");
  c.AddTopology(4, "T4");
  c.AddTopology(5, "T5");
  c.AddTopology(256, "T256");
  c.AddTopology(0, "T0");
  EXPECT_EQ(c.Groups(TRuleFamily::Topology).GroupCount(), 3u);
  c.CreateRules();

  // 0 and 3 tie with three nets each; 3 was created later and wins.
  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(rules.size(), 6u);
  EXPECT_EQ(rules[0].Int("Topology"), 3);
  const Strings scopes = {"InNet('T0')", "InNet('T256')", "InNet('T7')", "InNet('T6')",
                          "InNet('T2')"};
  const std::vector<int64_t> values = {1, 1, 0, 0, 0};
  for (size_t i = 0; i < scopes.size(); ++i) {
    EXPECT_EQ(rules[i + 1].Name, "RoutingTopology_" + std::to_string(i + 1));
    EXPECT_EQ(rules[i + 1].Scope1, scopes[i]);
    EXPECT_EQ(rules[i + 1].Int("Topology"), values[i]);
  }
}

TEST_F(ClassifierRules, PrioritiesCountOnlyTheirLowByte) {
  Classifier->AddRoutingPriority(1, "P1");
  Classifier->AddRoutingPriority(257, "P257");
  Classifier->AddRoutingPriority(0x1FF, "P511");
  EXPECT_EQ(Classifier->Groups(TRuleFamily::Priority).GroupCount(), 2u);
  Classifier->CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"RoutingPriority", "RoutingPriority_1"}));
  EXPECT_EQ(rules[0].Int("Priority"), 1);
  EXPECT_EQ(rules[1].Scope1, "InNet('P511')");
  // Widened without sign.
  EXPECT_EQ(rules[1].Int("Priority"), 255);
}

TEST_F(ClassifierRules, PlaneConnectGroupsByAllFiveValues) {
  Classifier->AddPlaneConnect(10 * kMil, 2, 11 * kMil, 12 * kMil, 4, "J1-1");
  Classifier->AddPlaneConnect(10 * kMil, 2, 11 * kMil, 12 * kMil, 2, "J1-2");
  EXPECT_EQ(Classifier->Groups(TRuleFamily::PlaneConnect).GroupCount(), 2u);
  Classifier->CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"PlaneConnect", "PlaneConnect_1"}));
  EXPECT_EQ(rules[0].Int("ConnectParam3"), 2);
  EXPECT_EQ(rules[1].Scope1, "HasPad('J1-1')");
  EXPECT_EQ(rules[1].Int("ConnectStyle"), 2);
  EXPECT_EQ(rules[1].Int("PlaneConnectExpansion"), 10 * kMil);
  EXPECT_EQ(rules[1].Int("ConnectParam1"), 11 * kMil);
  EXPECT_EQ(rules[1].Int("ConnectParam2"), 12 * kMil);
  EXPECT_EQ(rules[1].Int("ConnectParam3"), 4);
}

TEST_F(ClassifierRules, NamesCountOncePerGroupAndCompareByteForByte) {
  TClassifier& c = *Classifier;
  for (const char* pad : {"U1-1", "U1-2", "U1-3", "U1-4", "U1-1"}) c.AddPasteMaskExpansion(0, pad);
  c.AddPasteMaskExpansion(kMil, "U1-1");
  c.AddPasteMaskExpansion(2 * kMil, "U1-1");
  c.AddPasteMaskExpansion(2 * kMil, "u1-1");
  c.AddPasteMaskExpansion(2 * kMil, std::string("U1-1\0x", 6));
  EXPECT_EQ(c.Groups(TRuleFamily::PasteMaskExpansion).GroupAt(2).NameCount(), 4u);
  EXPECT_EQ(c.CountRules(TRuleFamily::PasteMaskExpansion), 5);
  c.CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(rules.size(), 5u);
  EXPECT_EQ(rules[0].Int("PasteMaskExpansion"), 0);
  EXPECT_EQ(rules[1].Int("PasteMaskExpansion"), 2 * kMil);
  EXPECT_EQ(rules[2].Scope1, "HasPad('u1-1')");
  EXPECT_EQ(rules[3].Scope1, "HasPad('U1-1')");
  EXPECT_EQ(rules[4].Scope1, "HasPad('U1-1')");
  EXPECT_EQ(rules[4].Int("PasteMaskExpansion"), kMil);
}

// A name may sit in several groups of one family and in other families; it
// counts once per group, and names read back follow later additions.
TEST_F(ClassifierRules, NameInSeveralGroupsCountsOncePerGroup) {
  TClassifier& c = *Classifier;
  for (int32_t width : {10, 20, 10, 20}) c.AddTrackWidth(width, "A");
  c.AddTrackWidth(10, "B");
  const pcb9::TValueFamily& widths = c.Groups(TRuleFamily::TrackWidth);
  const auto names = [](const pcb9::TValueGroup& group) {
    Strings out;
    for (size_t i = 0; i < group.NameCount(); ++i) out.push_back(group.NameAt(i));
    return out;
  };
  ASSERT_EQ(widths.GroupCount(), 2u);
  EXPECT_EQ(names(widths.GroupAt(1)), (Strings{"B", "A"}));
  EXPECT_EQ(names(widths.GroupAt(0)), (Strings{"A"}));

  c.AddTrackWidth(20, "C");
  c.AddViaSize(10, "C");
  c.AddViaSize(10, "A");
  EXPECT_EQ(names(widths.GroupAt(0)), (Strings{"C", "A"}));
  EXPECT_EQ(names(widths.GroupAt(1)), (Strings{"B", "A"}));
  EXPECT_EQ(names(c.Groups(TRuleFamily::ViaSize).GroupAt(0)), (Strings{"A", "C"}));
  EXPECT_EQ(c.CountRules(TRuleFamily::TrackWidth), 3);
}

// A pad's values given at once group exactly as when given one by one, in
// batches longer than the families and with families repeated.
TEST(ClassifierAddAll, GroupsAsTheAddsOneByOneWould) {
  using pcb9::TFamilyKey;
  using F = TRuleFamily;
  const std::vector<TFamilyKey> keys = {
      {F::SolderMaskExpansion, {1}}, {F::PasteMaskExpansion, {2}}, {F::PlaneExpansion, {3}},
      {F::PlaneConnect, {4, 1, 5, 6, 7}}, {F::TrackWidth, {8}}, {F::ViaSize, {9}},
      {F::Topology, {1}}, {F::Priority, {2}}, {F::SolderMaskExpansion, {5}},
      {F::SolderMaskExpansion, {1}}, {F::PlaneConnect, {4, 2, 5, 6, 7}}};
  TClassifier batched(nullptr), single(nullptr);
  for (const char* name : {"A", "B", "A", "C"}) {
    batched.AddAll(name, keys);
    for (const TFamilyKey& k : keys) {
      const TFamilyKey one[] = {k};
      single.AddAll(name, one);
    }
  }
  batched.AddAll("D", {});
  for (size_t f = 0; f < pcb9::kRuleFamilyCount; ++f) {
    const auto family = static_cast<F>(f);
    const pcb9::TValueFamily& b = batched.Groups(family);
    const pcb9::TValueFamily& s = single.Groups(family);
    ASSERT_EQ(b.GroupCount(), s.GroupCount()) << f;
    ASSERT_GT(b.GroupCount(), 0u) << f;
    for (size_t g = 0; g < b.GroupCount(); ++g) {
      EXPECT_EQ(b.GroupAt(g).Key, s.GroupAt(g).Key) << f;
      ASSERT_EQ(b.GroupAt(g).NameCount(), s.GroupAt(g).NameCount()) << f;
      for (size_t i = 0; i < b.GroupAt(g).NameCount(); ++i)
        EXPECT_EQ(b.GroupAt(g).NameAt(i), s.GroupAt(g).NameAt(i)) << f;
    }
  }
  EXPECT_EQ(batched.Groups(F::SolderMaskExpansion).GroupCount(), 2u);
  EXPECT_EQ(batched.Groups(F::SolderMaskExpansion).GroupAt(1).NameCount(), 3u);
  EXPECT_EQ(batched.CountRules(F::PlaneConnect), single.CountRules(F::PlaneConnect));
}

TEST_F(ClassifierRules, NamesLongerThanTheHostKeepsAreCut) {
  const std::string longName(300, 'n');
  Classifier->AddViaSize(40 * kMil, longName);
  Classifier->AddViaSize(40 * kMil, longName + "tail");
  const pcb9::TValueGroup& group = Classifier->Groups(TRuleFamily::ViaSize).GroupAt(0);
  ASSERT_EQ(group.NameCount(), 1u);
  EXPECT_EQ(group.NameAt(0), longName.substr(0, 255));
}

TEST_F(ClassifierRules, SwitchOffKeepsOnlyTheBoardWideRule) {
  TClassifier& c = *Classifier;
  for (const char* net : {"A", "B", "C"}) c.AddTrackWidth(10 * kMil, net);
  c.AddTrackWidth(8 * kMil, "D");
  c.AddViaSize(40 * kMil, "A");
  c.AddViaSize(30 * kMil, "B");
  c.AddViaSize(30 * kMil, "C");
  EXPECT_TRUE(c.Switch(TRuleFamily::TrackWidth));
  c.SetSwitch(TRuleFamily::TrackWidth, false);
  c.CreateRules();

  EXPECT_EQ(Names(CreatedRules()), (Strings{"Width", "RoutingVias", "RoutingVias_1"}));
  EXPECT_FALSE(c.Switch(TRuleFamily::TrackWidth));
  EXPECT_TRUE(c.Switch(TRuleFamily::ViaSize));
}

TEST_F(ClassifierRules, EmptyNameOutsideTheDefaultGroupGivesASecondBoardWideRule) {
  Classifier->AddPlaneExpansion(20 * kMil, "P1");
  Classifier->AddPlaneExpansion(20 * kMil, "P2");
  Classifier->AddPlaneExpansion(25 * kMil, "");
  Classifier->CreateRules();

  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"PlaneClearance", "PlaneClearance_1"}));
  EXPECT_EQ(rules[1].Scope1, "");
  EXPECT_EQ(rules[1].Int("PlaneExpansion"), 25 * kMil);
}

TEST_F(ClassifierRules, AnEarlierDefaultChoiceDoesNotHideItsNames) {
  Classifier->AddTrackWidth(10 * kMil, "A");
  EXPECT_EQ(Classifier->CountRules(TRuleFamily::TrackWidth), 1);
  // Collected after a count: the newer, larger group takes over and the
  // first one's net still gets its rule.
  Classifier->AddTrackWidth(12 * kMil, "B");
  Classifier->AddTrackWidth(12 * kMil, "C");
  EXPECT_EQ(Classifier->CountRules(TRuleFamily::TrackWidth), 2);
  EXPECT_FALSE(Classifier->Groups(TRuleFamily::TrackWidth).GroupAt(1).IsDefault);
  EXPECT_TRUE(Classifier->Groups(TRuleFamily::TrackWidth).GroupAt(0).IsDefault);
  Classifier->CreateRules();
  const std::vector<TRuleSeen> rules = CreatedRules();
  ASSERT_EQ(Names(rules), (Strings{"Width", "Width_1"}));
  EXPECT_EQ(rules[1].Scope1, "InNet('A')");
}

// Each family is let go once its rules exist; what is collected afterwards
// starts afresh and makes its own rules.
TEST_F(ClassifierRules, CreatingRulesEmptiesEveryFamily) {
  TClassifier& c = *Classifier;
  c.AddTrackWidth(10 * kMil, "A");
  c.AddTrackWidth(12 * kMil, "B");
  c.AddSolderMaskExpansion(4 * kMil, "U1-1");
  c.CreateRules();
  ASSERT_EQ(Names(CreatedRules()), (Strings{"SolderMaskExpansion", "Width", "Width_1"}));
  for (size_t f = 0; f < pcb9::kRuleFamilyCount; ++f) {
    const auto family = static_cast<TRuleFamily>(f);
    EXPECT_TRUE(c.Groups(family).Empty()) << f;
    EXPECT_EQ(c.Groups(family).MemberCount(), 0u) << f;
    EXPECT_EQ(c.CountRules(family), 0) << f;
  }
  c.AddTrackWidth(8 * kMil, "B");
  EXPECT_EQ(c.CountRules(TRuleFamily::TrackWidth), 1);
  EXPECT_EQ(c.Groups(TRuleFamily::TrackWidth).GroupAt(0).NameAt(0), "B");
}

TEST_F(ClassifierRules, WithoutABoardNothingIsCreated) {
  TClassifier detached(nullptr);
  detached.AddTrackWidth(10 * kMil, "A");
  detached.AddTrackWidth(12 * kMil, "B");
  detached.CreateRules();
  EXPECT_TRUE(CreatedRules().empty());
}

}  // namespace
}  // namespace pcb9test
