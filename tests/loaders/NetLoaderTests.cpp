// Net records: the layout at each level where it changes (the two lists,
// the trailing words, the plane code, the net value), numbering, the
// internal planes named after their nets (not after nets that own a split
// plane), and the routing values given to the classifier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Kinds.h"
#include "LoaderFixture.h"
#include "loaders/NetLoader.h"
#include "platform/Platform.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindNet;
using pcb9::TRuleFamily;

struct TNetValues {
  std::string Width = "10mil", ViaSize = "20mil";
  int Topology = 0, Priority = 0;
  int PlaneCode = 0;
};

// One net record after its keyword, with two entries in each list.
std::string NetRecord(int level, const std::string& name, const TNetValues& v = {}) {
  std::string text = "\"" + name + "\"\ncoord " + v.Width + " " + v.ViaSize + "\nword " +
                     std::to_string(v.Topology) + " " + std::to_string(v.Priority) + "\n";
  text += "\"L1\"\nword 1 2\nword 3 4\n\"E1\"\n\"L2\"\n";
  const std::string entry = level == 0 ? "word 1 2 3 4 5\n" : "word 1 2 3 4\n";
  text += entry + entry + "\"E2\"\n";
  if (level >= 2) text += "word 7 7\n";
  if (level >= 5) text += "word 7\n";
  if (level >= 4) text += "word " + std::to_string(v.PlaneCode) + "\n";
  if (level >= 8) text += "long 123456789\nword 7\n";
  return text;
}

std::string NetGroup(int level, const std::string& name, const TNetValues& v = {}) {
  return "\"N\"\n" + NetRecord(level, name, v);
}

// A split plane on an internal plane (file layer code 23..26) owned by a net
// number, with no vertices.
std::string SplitPlane(int level, int net, int layerCode) {
  std::string text = "\"G\"\nattr 5 " + std::to_string(net) + "\nattr 6 " +
                     std::to_string(layerCode) + "\nword 0 0 0 0\n";
  if (level >= 3) text += "word 0\n";
  if (level >= 7) text += "word 1\n";
  text += "coord 0 0\n";
  if (level >= 9) text += "coord 0 0\n";
  return text + "word -1\n";
}

class NetRecordTest : public THostFixture, public ::testing::WithParamInterface<int> {};

// Two nets in a row: the second is read in step only when the lists and
// trailing words of the first were read exactly.
TEST_P(NetRecordTest, ReadsTheRecordOfItsLevel) {
  const int level = GetParam();
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(level, NetGroup(level, "GND") + NetGroup(level, "VCC"))));
  EXPECT_TRUE(Session().Messages().empty());
  auto nets = BoardMembersOfKind(kKindNet);
  ASSERT_EQ(nets.size(), 2u);
  EXPECT_EQ(nets[0]->Text("Name"), "GND");
  EXPECT_EQ(nets[1]->Text("Name"), "VCC");
  EXPECT_EQ(nets[0]->Int("Index"), 1);
  EXPECT_EQ(nets[1]->Int("Index"), 2);
  EXPECT_EQ(nets[1]->Int("NetValue"), level >= 8 ? 123456789 : 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, NetRecordTest, ::testing::Values(0, 1, 2, 3, 4, 5, 8, 9),
                         [](const auto& info) { return "Level" + std::to_string(info.param); });

TEST_F(THostFixture, PlaneCodeNamesTheInternalPlane) {
  struct TCase {
    int Level, PlaneCode, NamedPlane;
  };
  const TCase cases[] = {{4, 24, 2}, {8, 23, 1}, {9, 26, 4},    {4, 0, 0},
                         {4, 22, 0}, {4, 27, 0}, {4, 0x118, 2},  // the low byte counts
                         {3, 24, 0}};                            // no plane code yet
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "level " << c.Level << " code " << c.PlaneCode);
    ResetHost();
    TImportRunner runner;
    TNetValues v;
    v.PlaneCode = c.PlaneCode;
    ASSERT_TRUE(runner.Import(BoardAtLevel(c.Level, NetGroup(c.Level, "PWR", v))));
    for (int plane = 1; plane <= 4; ++plane)
      EXPECT_EQ(PlaneNetName(plane), plane == c.NamedPlane ? "PWR" : "(No Net)") << plane;
  }
}

// A net that owns a split plane read earlier does not name its internal
// plane; another net on the same plane does. Every split plane counts, also
// past the 101 the old format kept.
TEST_F(THostFixture, NetsOwningSplitPlanesDoNotNamePlanes) {
  for (int splitPlanes : {1, 101, 102}) {
    SCOPED_TRACE(splitPlanes);
    ResetHost();
    std::string body;
    for (int net = 1; net <= splitPlanes; ++net) body += SplitPlane(4, net, 23);
    TNetValues onPlane1;
    onPlane1.PlaneCode = 23;
    for (int net = 1; net <= splitPlanes; ++net)
      body += NetGroup(4, "S" + std::to_string(net), onPlane1);
    TNetValues onPlane2;
    onPlane2.PlaneCode = 24;
    body += NetGroup(4, "FREE", onPlane2);
    TImportRunner runner;
    ASSERT_TRUE(runner.Import(BoardAtLevel(4, body)));
    EXPECT_EQ(BoardMembersOfKind(morvik::kKindSplitPlane).size(), size_t(splitPlanes));
    EXPECT_EQ(PlaneNetName(1), "(No Net)");
    EXPECT_EQ(PlaneNetName(2), "FREE");
  }
}

TEST_F(THostFixture, SplitPlaneOfAnotherNetLeavesThePlaneToItsNet) {
  TNetValues onPlane2;
  onPlane2.PlaneCode = 24;
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      8, SplitPlane(8, 1, 24) + NetGroup(8, "A", onPlane2) + NetGroup(8, "B", onPlane2))));
  EXPECT_EQ(PlaneNetName(2), "B");
}

// Esc confirmed as a net record begins: the record is still read to its
// end, so the plane code is the record's own (0 here), not a word of its
// lists (24 would name InternalPlane2), and the net is added.
TEST_F(THostFixture, AbortAtANetReadsItsRecordToTheEnd) {
  NEED_SESSION_QUEUE();
  Session().SetAnswerYes(true);
  Session().PostMessage({nullptr, pcb9::platform::kMsgKeyDown, pcb9::platform::kKeyEscape, 0});
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(
      4, "\"N\"\n\"PWR\"\ncoord 1 2\nword 0 0\n\"L1\"\nword 7 7\nword 24 0\n\"E1\"\n\"L2\"\n"
         "word 1 2 3 4\n\"E2\"\nword 7 7\nword 0\n" + NetGroup(4, "NEXT"))));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "Confirm Abort Process");
  auto nets = BoardMembersOfKind(kKindNet);
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(nets[0]->Text("Name"), "PWR");
  EXPECT_EQ(PlaneNetName(2), "(No Net)");
}

TEST_F(THostFixture, NetCutShortByTheEndOfTheFileIsNotAdded) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(FileStartAtLevel(8) + NetGroup(8, "GND") +
                             "\"N\"\n\"VCC\"\ncoord 1 2\ntruncate\n"));
  auto nets = BoardMembersOfKind(kKindNet);
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(nets[0]->Text("Name"), "GND");
}

using NetClassifierTest = TLoaderTest;

// The routing values go to the classifier under the net's name, as the file
// gives them: the classifier maps the topology and keeps 8 bits of the
// priority.
TEST_F(NetClassifierTest, RoutingValuesAreCollectedUnderTheNetName) {
  for (int level : {0, 8}) {
    SCOPED_TRACE(level);
    pcb9::Run().Classifier = pcb9::MakeRunPart<pcb9::TClassifier>(pcb9::Run().Board.get());
    pcb9::Run().Counters.NetCount = 0;
    OpenRecords(NetRecord(level, "GND", {"10mil", "20mil", 2, 257}) + "\"N\"\n" +
                    NetRecord(level, "VCC", {"12mil", "20mil", 6, 1}),
                static_cast<int16_t>(level));
    const uint32_t gnd = pcb9::LoadNet();
    TShortString keyword;
    pcb9::ReadString(keyword);
    const uint32_t vcc = pcb9::LoadNet();
    EXPECT_FALSE(pcb9::Run().Aborted);
    EXPECT_NE(gnd, 0u);
    EXPECT_NE(vcc, gnd);
    EXPECT_EQ(pcb9::Run().Counters.NetCount, 2);
    using V = std::vector<std::string>;
    EXPECT_EQ(Collected(TRuleFamily::TrackWidth), (V{"120000: VCC", "100000: GND"}));
    EXPECT_EQ(Collected(TRuleFamily::ViaSize), (V{"200000: VCC GND"}));
    EXPECT_EQ(Collected(TRuleFamily::Topology), (V{"0: VCC GND"}));
    EXPECT_EQ(Collected(TRuleFamily::Priority), (V{"1: VCC GND"}));
  }
}

}  // namespace
}  // namespace pcb9test
