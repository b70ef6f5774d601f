// Component records: the header at each level where it changes, the two
// texts, the sub-groups (repeated, unknown, nested, cut short), pad
// numbering around a component, and the side decision with the case it
// records for the layer warnings report.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "Kinds.h"
#include "LoaderFixture.h"
#include "loaders/ComponentLoader.h"
#include "platform/Platform.h"
#include "report/ComponentLayerWarnings.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindComponent;
using morvik::kKindPad;
using morvik::kKindText;
using morvik::kKindTrack;

// Everything a component header holds; the defaults make a plain level 7
// component that shows its designator.
struct THeader {
  std::string Pattern = "DIP14";
  int Flags = 0;
  std::string Position = "100mil -200mil";
  int NameFlag = 1;
  int CommentFlag = 0;
  int Word11 = 0;
  int Word12 = 1;
  int Word13 = 0;
  std::string Rotation = "0";
  int LayerCode = 1;
};

std::string HeaderText(int level, const THeader& h) {
  std::string text = "\"" + h.Pattern + "\"\nword " + std::to_string(h.Flags) + "\ncoord " +
                     h.Position + "\ncoord 1mil 2mil 3mil 4mil\nword " +
                     std::to_string(h.NameFlag) + " " + std::to_string(h.CommentFlag) + " " +
                     std::to_string(h.Word11) + "\n";
  if (level >= 8)
    text += "word " + std::to_string(h.Word12) + " " + std::to_string(h.Word13) + "\nreal " +
            h.Rotation + "\n";
  if (level >= 9) text += "word " + std::to_string(h.LayerCode) + "\n";
  return text;
}

// A text record on a file layer code.
std::string TextRecord(int layerCode, const std::string& text) {
  return "attr 6 " + std::to_string(layerCode) + "\ncoord 0 0\nreal 0\ncoord 0 0 0 0\n\"" + text +
         "\"\n";
}

// A free track on a file layer code.
std::string TrackRecord(int level, int layerCode) {
  return "attr 6 " + std::to_string(layerCode) + "\ncoord 0 0 10mil 10mil\nword 0" +
         (level >= 8 ? " 0\n" : "\n");
}

// A pad with shapes only (levels 6 and 7).
std::string PadRecord(const std::string& name) { return "word 1 1 1\n\"" + name + "\"\n"; }

constexpr int kOverlayTop = 17, kOverlayBottom = 18, kMechanical1 = 29, kMultiLayer = 34;

// A whole component after its keyword: header, designator U1 and comment
// 7400 on the given layers, the sub-groups, "E".
std::string ComponentBody(int level, const THeader& h, int designatorLayer, int commentLayer,
                          const std::string& subGroups) {
  return HeaderText(level, h) + TextRecord(designatorLayer, "U1") +
         TextRecord(commentLayer, "7400") + subGroups + "\"E\"\n";
}

std::string Component(int level, const THeader& h = {}, int designatorLayer = kOverlayTop,
                      int commentLayer = kOverlayTop, const std::string& subGroups = "") {
  return "\"M\"\n" + ComponentBody(level, h, designatorLayer, commentLayer, subGroups);
}

const morvik::TObject& Host(uint32_t handle) {
  return *morvik::TDocument::Instance().Find(handle);
}

// --- header --------------------------------------------------------------------------

struct THeaderCase {
  const char* Name;
  int Level;
  THeader Header;
  int64_t X, Y, StateFlag, ComponentFlag;
  double Rotation;
  int64_t Layer;
  friend void PrintTo(const THeaderCase& c, std::ostream* os) { *os << c.Name; }
};

class ComponentHeaderTest : public THostFixture,
                            public ::testing::WithParamInterface<THeaderCase> {};

TEST_P(ComponentHeaderTest, ReadsTheHeaderOfItsLevel) {
  const THeaderCase& c = GetParam();
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(c.Level, Component(c.Level, c.Header))));
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 1u);
  const morvik::TObject& m = *components[0];
  EXPECT_EQ(m.Text("Pattern"), c.Header.Pattern);
  EXPECT_EQ(m.Int("Flags"), c.Header.Flags);
  EXPECT_EQ(m.Int("X"), c.X);
  EXPECT_EQ(m.Int("Y"), c.Y);
  EXPECT_EQ(m.Int("NameFlag"), c.Header.NameFlag);
  EXPECT_EQ(m.Int("CommentFlag"), c.Header.CommentFlag != 0);
  EXPECT_EQ(m.Int("StateFlag"), c.StateFlag);
  EXPECT_EQ(m.Int("ComponentFlag"), c.ComponentFlag);
  EXPECT_EQ(m.Real("Rotation"), c.Rotation);
  EXPECT_EQ(m.Int("Layer"), c.Layer);
  EXPECT_EQ(m.Int("ComponentValue"), 0);
  EXPECT_EQ(m.Int("Index"), 1);
  // Both texts were read in step: they exist and are the component's.
  EXPECT_EQ(Host(static_cast<uint32_t>(m.Int("NameText"))).Text("Text"), "U1");
  EXPECT_EQ(Host(static_cast<uint32_t>(m.Int("CommentText"))).Text("Text"), "7400");
}

// Esc confirmed as a component begins: its record is still read to its end,
// the attribute runs of its two texts included, so both texts are read in
// step; the next component is not read.
TEST_F(THostFixture, AbortAtAComponentReadsItsTextsInStep) {
  NEED_SESSION_QUEUE();
  Session().SetAnswerYes(true);
  Session().PostMessage({nullptr, pcb9::platform::kMsgKeyDown, pcb9::platform::kKeyEscape, 0});
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(7, Component(7) + Component(7))));
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 1u);
  const morvik::TObject& designator = Host(static_cast<uint32_t>(components[0]->Int("NameText")));
  EXPECT_EQ(designator.Text("Text"), "U1");
  EXPECT_EQ(designator.Int("Layer"), 33);  // TopOverlay, from the text's attribute run
  EXPECT_EQ(Host(static_cast<uint32_t>(components[0]->Int("CommentText"))).Text("Text"), "7400");
}

THeader With(void (*change)(THeader&)) {
  THeader h;
  change(h);
  return h;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ComponentHeaderTest,
    ::testing::Values(
        // Level 0: coordinates are words of mils.
        THeaderCase{"Level0", 0, With([](THeader& h) { h.Flags = 0x8001; }), 1000000, -2000000,
                    1, 0, 0, 1},
        THeaderCase{"Level7StateWordSetClearsTheFlag", 7,
                    With([](THeader& h) { h.Word11 = 5, h.CommentFlag = 3, h.NameFlag = 0; }),
                    1000000, -2000000, 0, 0, 0, 1},
        // Level 8: word 12 alone decides the state flag.
        THeaderCase{"Level8StateFollowsWord12", 8,
                    With([](THeader& h) { h.Word12 = 0, h.Word13 = 1, h.Rotation = "90"; }),
                    1000000, -2000000, 0, 1, 90, 1},
        THeaderCase{"Level8StateSetByWord12", 8,
                    With([](THeader& h) { h.Word11 = 7, h.Rotation = "-12.5"; }), 1000000,
                    -2000000, 1, 0, -12.5, 1},
        // Level 9: the side comes from the file, whatever the designator shows.
        THeaderCase{"Level9LayerFromTheFile", 9, With([](THeader& h) { h.LayerCode = 16; }),
                    1000000, -2000000, 1, 0, 0, 32}),
    [](const auto& info) { return std::string(info.param.Name); });

// The pattern field holds 250 characters; a longer pattern is cut there.
TEST_F(THostFixture, PatternIsCutAt250Characters) {
  for (size_t length : {250u, 251u, 255u}) {
    SCOPED_TRACE(length);
    ResetHost();
    THeader h;
    h.Pattern = std::string(length, 'p');
    TImportRunner runner;
    ASSERT_TRUE(runner.Import(BoardAtLevel(7, Component(7, h))));
    auto components = BoardMembersOfKind(kKindComponent);
    ASSERT_EQ(components.size(), 1u);
    EXPECT_EQ(components[0]->Text("Pattern"), std::string(250, 'p'));
  }
}

// --- sub-groups ----------------------------------------------------------------------

TEST_F(THostFixture, SubGroupsBecomeTheComponentsChildren) {
  const std::string subGroups = "\"p\"\n" + PadRecord("1") + PadRecord("2") + "\"th\"\n" +
                                "coord 0 10 0\nword 0\n" + "\"x\"\n" + TextRecord(17, "REF") +
                                "\"p\"\n" + PadRecord("3");  // a group may come again
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      7, Component(7, {}, kOverlayTop, kOverlayTop, subGroups) + "\"P\"\n" + PadRecord("x"))));
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 1u);
  const morvik::TObject& m = *components[0];
  std::vector<uint8_t> kinds;
  for (uint32_t child : m.Lists.Members()) kinds.push_back(Host(child).Kind);
  EXPECT_EQ(kinds, (std::vector<uint8_t>{kKindPad, kKindPad, kKindTrack, kKindText, kKindPad}));
  // Pads are numbered within the component, over repeated groups; the
  // next free pad starts at 1 again.
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Host(m.Lists.Members()[i]).Int("Index"), i + 1);
  EXPECT_EQ(Host(m.Lists.Members()[4]).Int("Index"), 3);
  auto freePads = BoardMembersOfKind(kKindPad);
  ASSERT_EQ(freePads.size(), 1u);
  EXPECT_EQ(freePads[0]->Int("Index"), 1);
  // The designator and comment belong to it by owner only.
  for (const char* field : {"NameText", "CommentText"}) {
    const morvik::TObject& text = Host(static_cast<uint32_t>(m.Int(field)));
    EXPECT_EQ(text.Int("OwnerComponent"), m.Handle) << field;
    EXPECT_EQ(text.Container, 0u) << field;
  }
  EXPECT_TRUE(BoardMembersOfKind(kKindTrack).empty());
}

TEST_F(THostFixture, ComponentsAreNumberedInFileOrder) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(9, Component(9) + Component(9) + Component(9))));
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(components[i]->Int("Index"), i + 1);
}

// Registers set inside a component stay in force after it.
TEST_F(THostFixture, RegistersOutliveTheComponent) {
  const std::string subGroups = "\"tn\"\n" + TrackRecord(7, 16);
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      7, Component(7, {}, kOverlayTop, kOverlayTop, subGroups) + "\"TH\"\ncoord 0 1 0\nword 0")));
  auto tracks = BoardMembersOfKind(kKindTrack);
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(tracks[0]->Int("Layer"), 32);
}

// What ends a component early, and what it keeps: each case names the
// sub-group text, whether the import ends normally, and the children kept.
struct TEndingCase {
  const char* Name;
  std::string SubGroups;
  bool Imported;
  size_t Children;
  bool CorruptionShown;
  friend void PrintTo(const TEndingCase& c, std::ostream* os) { *os << c.Name; }
};

class ComponentEndingTest : public THostFixture, public ::testing::WithParamInterface<TEndingCase> {
};

TEST_P(ComponentEndingTest, KeepsWhatWasReadWhole) {
  const TEndingCase& c = GetParam();
  TImportRunner runner;
  EXPECT_EQ(runner.Import(BoardAtLevel(7, "\"M\"\n" + HeaderText(7, {}) + TextRecord(17, "U1") +
                                              TextRecord(17, "7400") + c.SubGroups)),
            c.Imported);
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 1u);
  EXPECT_EQ(components[0]->Lists.Members().size(), c.Children);
  EXPECT_EQ(Session().Messages().size(), c.CorruptionShown ? 1u : 0u);
  // No component was started inside another one.
  EXPECT_EQ(ObjectsOfKind(kKindComponent).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ComponentEndingTest,
    ::testing::Values(
        // The end tag before "E": the component ends with what it has.
        TEndingCase{"EndTagBeforeE", "\"p\"\n" + PadRecord("1"), true, 1, false},
        // An upper-case keyword is no sub-group: skipped, and the pad words
        // after it are then no keyword.
        TEndingCase{"UnknownKeyword", "\"p\"\n" + PadRecord("1") + "\"P\"\n" + PadRecord("2"),
                    false, 1, true},
        // A component keyword inside a component is unknown the same way:
        // components do not nest.
        TEndingCase{"NestedComponent", "\"p\"\n" + PadRecord("1") + Component(7), false, 1,
                    true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(THostFixture, ComponentCutShortInItsTextsIsNotAdded) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import("\"PCB FILE 9 VERSION 2.60\"\nlong 0 1 0 0 0 0 0 0 0 0\n\"M\"\n" +
                             HeaderText(7, {}) + TextRecord(17, "U1") +
                             "attr 6 17\ncoord 0 0\ntruncate\n"));
  EXPECT_TRUE(BoardMembersOfKind(kKindComponent).empty());
}

TEST_F(THostFixture, ComponentCutShortInItsSubGroupsKeepsTheWholeRecords) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import("\"PCB FILE 9 VERSION 2.60\"\nlong 0 1 0 0 0 0 0 0 0 0\n\"M\"\n" +
                             HeaderText(7, {}) + TextRecord(17, "U1") + TextRecord(17, "7400") +
                             "\"p\"\n" + PadRecord("1") + "word 1 1\ntruncate\n"));
  auto components = BoardMembersOfKind(kKindComponent);
  ASSERT_EQ(components.size(), 1u);
  EXPECT_EQ(components[0]->Lists.Members().size(), 1u);
}

// --- side -----------------------------------------------------------------------------

using TList = std::vector<std::string> pcb9::TComponentLayerWarnings::*;
using W = pcb9::TComponentLayerWarnings;

struct TSideCase {
  const char* Name;
  int Designator;
  int Comment;
  int CommentFlag;
  std::vector<int> ChildLayers;  // one track each
  int64_t Layer;
  TList Recorded;
  friend void PrintTo(const TSideCase& c, std::ostream* os) { *os << c.Name; }
};

class ComponentSideTest : public TLoaderTest, public ::testing::WithParamInterface<TSideCase> {
 protected:
  void SetUp() override {
    TLoaderTest::SetUp();
    pcb9::Run().LayerWarnings = pcb9::MakeRunPart<pcb9::TComponentLayerWarnings>();
  }
};

TEST_P(ComponentSideTest, DecidesTheSideAndRecordsWhy) {
  const TSideCase& c = GetParam();
  std::string children;
  if (!c.ChildLayers.empty()) children = "\"tn\"\n";
  for (int layer : c.ChildLayers) children += TrackRecord(7, layer);
  THeader h;
  h.CommentFlag = c.CommentFlag;
  OpenRecords(ComponentBody(7, h, c.Designator, c.Comment, children), 7);
  const uint32_t handle = pcb9::LoadComponent();
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(Host(handle).Int("Layer"), c.Layer);
  const W& warnings = *pcb9::Run().LayerWarnings;
  for (TList list : {&W::ValidTop, &W::ValidBottom, &W::AssumedTop, &W::AssumedBottom,
                     &W::Undetermined})
    EXPECT_EQ(warnings.*list,
              list == c.Recorded ? std::vector<std::string>{"U1 (DIP14, 7400)"}
                                 : std::vector<std::string>{});
  ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComponentSideTest,
    ::testing::Values(
        // The designator decides whatever the footprint shows.
        TSideCase{"DesignatorOnTopLayer", 1, 18, 1, {16}, 1, &W::ValidTop},
        TSideCase{"DesignatorOnTopOverlay", kOverlayTop, 18, 1, {16, 18}, 1, &W::ValidTop},
        TSideCase{"DesignatorOnBottomLayer", 16, 17, 1, {1}, 32, &W::ValidBottom},
        TSideCase{"DesignatorOnBottomOverlay", kOverlayBottom, 17, 0, {}, 32, &W::ValidBottom},
        // Otherwise the footprint's layers, when they show one side only.
        TSideCase{"PrimitivesOnTop", kMechanical1, kMechanical1, 0, {1, kMechanical1}, 1,
                  &W::AssumedTop},
        TSideCase{"PrimitivesOnBottomAndElsewhere", kMechanical1, kMechanical1, 0,
                  {16, kOverlayBottom, kMechanical1, kMultiLayer}, 32, &W::AssumedBottom},
        TSideCase{"CommentCountsWhenShown", kMechanical1, kOverlayBottom, 1, {}, 32,
                  &W::AssumedBottom},
        // Neither: the top layer, undetermined.
        TSideCase{"CommentIgnoredWhenHidden", kMechanical1, kOverlayBottom, 0, {}, 1,
                  &W::Undetermined},
        TSideCase{"MultiLayerOnly", kMechanical1, kMechanical1, 0, {kMultiLayer}, 1,
                  &W::Undetermined},
        TSideCase{"BothSides", kMechanical1, kMechanical1, 0, {16, 1}, 1, &W::Undetermined},
        TSideCase{"NoPrimitives", 2, kMechanical1, 1, {}, 1, &W::Undetermined}),
    [](const auto& info) { return std::string(info.param.Name); });

// Version 2.80 files store the side: nothing is decided or recorded.
TEST_F(TLoaderTest, ComponentOfLevel9RecordsNothing) {
  pcb9::Run().LayerWarnings = pcb9::MakeRunPart<pcb9::TComponentLayerWarnings>();
  THeader h;
  h.LayerCode = 16;
  OpenRecords(ComponentBody(9, h, 29, 29, ""), 9);
  const uint32_t handle = pcb9::LoadComponent();
  EXPECT_EQ(Host(handle).Int("Layer"), 32);
  const W& w = *pcb9::Run().LayerWarnings;
  EXPECT_TRUE(w.ValidTop.empty() && w.ValidBottom.empty() && w.Undetermined.empty());
  EXPECT_FALSE(w.HasWarnings());
}

}  // namespace
}  // namespace pcb9test
