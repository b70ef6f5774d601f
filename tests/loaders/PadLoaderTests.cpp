// Pad records: the record layout at each level where it changes, the
// registers a pad takes, the names of free and component pads, what the
// classifier is given, and the pads kept off the board.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Kinds.h"
#include "LoaderFixture.h"
#include "hostapi/PcbApi.h"
#include "loaders/PadLoader.h"
#include "proxies/Groups.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindPad;
using pcb9::TRuleFamily;

// One pad record at a level: the shapes, at levels 8 and 9 the rotation and
// the rule values 1..5 and 6, then the name.
std::string PadRecord(int level, int top, int mid, int bottom, const std::string& name = "A",
                      const std::string& rotation = "0") {
  std::string text = "word " + std::to_string(top);
  if (level >= 6) text += " " + std::to_string(mid) + " " + std::to_string(bottom);
  if (level >= 8) text += "\nreal " + rotation + "\ncoord 1 2 3 4 5\nword 6";
  return text + "\n\"" + name + "\"\n";
}

struct TShapes {
  int64_t Top, Mid, Bottom;
  double Rotation;
};

struct TPadLevelCase {
  int Level;
  TShapes First, Second;
};

class PadRecordTest : public THostFixture, public ::testing::WithParamInterface<TPadLevelCase> {};

// Two pads in a row: the second is read in step only when the first record
// was read exactly. (No shape 6 here: with the sizes at 0 it would keep the
// pad off the board.)
TEST_P(PadRecordTest, ReadsTheRecordOfItsLevel) {
  const TPadLevelCase& c = GetParam();
  const TShapes& a = c.First;
  const TShapes& b = c.Second;
  TImportRunner runner;
  ASSERT_TRUE(
      runner.Import(BoardAtLevel(c.Level, "\"P\"\n" + PadRecord(c.Level, 1, 2, 3, "A", "45") +
                                              PadRecord(c.Level, 5, 7, 8, "B", "-12.5"))));
  auto pads = BoardMembersOfKind(kKindPad);
  ASSERT_EQ(pads.size(), 2u);
  for (auto [pad, expected] : {std::pair{pads[0], a}, std::pair{pads[1], b}}) {
    EXPECT_EQ(pad->Int("TopShape"), expected.Top);
    EXPECT_EQ(pad->Int("MidShape"), expected.Mid);
    EXPECT_EQ(pad->Int("BottomShape"), expected.Bottom);
    EXPECT_EQ(pad->Real("Rotation"), expected.Rotation);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, PadRecordTest,
    ::testing::Values(
        // Up to level 5 one shape serves all three layer groups.
        TPadLevelCase{0, {1, 1, 1, 0}, {5, 5, 5, 0}}, TPadLevelCase{5, {1, 1, 1, 0}, {5, 5, 5, 0}},
        TPadLevelCase{6, {1, 2, 3, 0}, {5, 7, 8, 0}}, TPadLevelCase{7, {1, 2, 3, 0}, {5, 7, 8, 0}},
        TPadLevelCase{8, {1, 2, 3, 45}, {5, 7, 8, -12.5}},
        TPadLevelCase{9, {1, 2, 3, 45}, {5, 7, 8, -12.5}}),
    [](const auto& info) { return "Level" + std::to_string(info.param.Level); });

TEST_F(THostFixture, PadTakesItsRegisters) {
  for (int level : {0, 8}) {
    SCOPED_TRACE(level);
    ResetHost();
    TImportRunner runner;
    ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(level, R"(
"P"
attr 4 0x8005
attr 5 -3
attr 6 34             # MultiLayer
attr 13 60mil         # all three X sizes
attr 14 50mil         # all three Y sizes
attr 17 40mil         # then the mid X size alone
attr 20 30mil         # and the bottom Y size
attr 21 20mil
attr 24 1000mil
attr 25 -500mil
attr 45 0
attr 26 9
attr 27 9
attr 46 9
attr 52 9
)" + PadRecord(level, 1, 1, 1)), 1));
    auto pads = BoardMembersOfKind(kKindPad);
    ASSERT_EQ(pads.size(), 1u);
    const morvik::TObject& p = *pads[0];
    EXPECT_EQ(p.Int("Flags"), 0x8005);
    EXPECT_EQ(p.Int("Net"), 0xFFFFFFFD);
    EXPECT_EQ(p.Int("Layer"), 74);
    EXPECT_EQ(p.Int("TopXSize"), 600000);
    EXPECT_EQ(p.Int("TopYSize"), 500000);
    EXPECT_EQ(p.Int("MidXSize"), 400000);
    EXPECT_EQ(p.Int("MidYSize"), 500000);
    EXPECT_EQ(p.Int("BottomXSize"), 600000);
    EXPECT_EQ(p.Int("BottomYSize"), 300000);
    EXPECT_EQ(p.Int("HoleSize"), 200000);
    EXPECT_EQ(p.Int("X"), 10000000);
    EXPECT_EQ(p.Int("Y"), -5000000);
    EXPECT_EQ(p.Int("StateFlag"), 0);
  }
}

// Free pads are numbered over the whole import, whatever the file calls
// them; their index counts the pads read so far.
TEST_F(THostFixture, FreePadsAreNumberedInFileOrder) {
  TImportRunner runner;
  ASSERT_TRUE(
      runner.Import(BoardAtLevel(8, "\"P\"\n" + PadRecord(8, 1, 1, 1, "X7") + "\"TH\"\n\"P\"\n" +
                                        PadRecord(8, 1, 1, 1, "X7") + PadRecord(8, 1, 1, 1, "G"))));
  auto pads = BoardMembersOfKind(kKindPad);
  ASSERT_EQ(pads.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pads[i]->Text("Name"), std::to_string(i + 1));
    EXPECT_EQ(pads[i]->Int("Index"), i + 1);
  }
}

// A shape drawn from its sizes with a zero size leaves an empty pad: it is
// made in the host but kept off the board.
TEST_F(THostFixture, EmptyPadsStayOffTheBoard) {
  struct TCase {
    const char* Name;
    const char* Sizes;
    int Top, Mid, Bottom;
    bool OnBoard;
  };
  const TCase cases[] = {
      {"TopShape6ZeroY", "attr 13 10mil\nattr 16 0", 6, 1, 1, false},
      {"TopShape6ZeroX", "attr 14 10mil\nattr 15 0", 6, 1, 1, false},
      {"SameSizesShape1", "attr 13 10mil\nattr 16 0", 1, 1, 1, true},
      {"MidShape6ZeroX", "attr 14 10mil\nattr 13 10mil\nattr 17 0", 1, 6, 1, false},
      {"BottomShape6ZeroY", "attr 13 10mil\nattr 14 10mil\nattr 20 0", 1, 1, 6, false},
      {"Shape6WithSizes", "attr 13 10mil\nattr 14 10mil", 6, 6, 6, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ResetHost();
    TImportRunner runner;
    ASSERT_TRUE(runner.Import(BoardAtLevel(
        6, std::string("\"P\"\n") + c.Sizes + "\n" + PadRecord(6, c.Top, c.Mid, c.Bottom))));
    EXPECT_EQ(ObjectsOfKind(kKindPad).size(), 1u);
    EXPECT_EQ(BoardMembersOfKind(kKindPad).size(), c.OnBoard ? 1u : 0u);
  }
}

// Attribute 22 has no meaning and no known value: a pad run does not take
// it, and the pad record then meets a tag where its shape should be, which
// is reported instead of read as data.
TEST_F(THostFixture, Attribute22EndsThePadRunAndIsReported) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(
      BoardAtLevel(8, "\"P\"\n" + PadRecord(8, 3, 3, 3) + "attr 22 0\n" + PadRecord(8, 1, 1, 1))));
  auto& messages = Session().Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "File Corruption: " + runner.FilePath());
  auto pads = BoardMembersOfKind(kKindPad);
  ASSERT_FALSE(pads.empty());
  EXPECT_EQ(pads[0]->Int("TopShape"), 3);
}

TEST_F(THostFixture, PadCutShortByTheEndOfTheFileIsNotAdded) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(FileStartAtLevel(8) + "\"P\"\n" + PadRecord(8, 3, 3, 3) +
                             "word 1 1 1\nreal 0\ntruncate\n"));
  EXPECT_EQ(BoardMembersOfKind(kKindPad).size(), 1u);
}

// --- loaded directly, for the classifier and the component ------------------

class PadClassifierTest : public TLoaderTest {
 protected:
  // A component in the host whose designator text is `designator`.
  uint32_t MakeComponent(const std::string& designator) {
    pcb9::TPcbText text(pcb9::PcbApi_CreateObject(pcb9::kTextKind));
    text.Sync(1);
    text.SetText(designator);
    text.Sync(0);
    pcb9::TPcbComponent component(pcb9::PcbApi_CreateObject(pcb9::kComponentKind));
    component.Sync(1);
    component.NameText = text.Handle;
    component.Sync(0);
    return component.Handle;
  }
  void LoadFreePads(const std::string& text, int16_t level) {
    OpenRecords(text, level);
    pcb9::LoadPadGroup(nullptr);
  }
};

TEST_F(PadClassifierTest, ComponentPadsKeepTheirNamesAndJoinTheComponent) {
  struct TCase {
    std::string FileName, HostName;
  };
  const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
  // A name longer than the host's field is cut, and the pad is classified
  // under the name the host holds, so its rules name that pad.
  for (const TCase& c : {TCase{"14", "14"}, TCase{twenty, twenty}, TCase{twenty + "U", twenty}}) {
    SCOPED_TRACE(c.FileName);
    ResetHost();
    pcb9::TPcbComponent component(MakeComponent("U1"));
    component.Sync(1);
    pcb9::Run().Classifier = pcb9::MakeRunPart<pcb9::TClassifier>(pcb9::Run().Board.get());
    OpenRecords("attr 6 34\n" + PadRecord(8, 1, 1, 1, c.FileName), 8);
    pcb9::LoadPadGroup(&component);
    EXPECT_FALSE(pcb9::Run().Aborted);
    auto pads = ObjectsOfKind(kKindPad);
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(pads[0]->Text("Name"), c.HostName);
    EXPECT_EQ(pads[0]->Container, component.Handle);
    EXPECT_EQ(Collected(TRuleFamily::SolderMaskExpansion),
              std::vector<std::string>{"1: U1-" + c.HostName});
    EXPECT_EQ(pcb9::Run().FreePadNumber, 0);
  }
}

TEST_F(PadClassifierTest, FreePadNumbersStopAt9999) {
  pcb9::Run().FreePadNumber = 9997;
  LoadFreePads("attr 6 34\n" + PadRecord(8, 1, 1, 1) + "attr 6 34\n" + PadRecord(8, 1, 1, 1) +
                   PadRecord(8, 1, 1, 1),
               8);
  std::vector<std::string> names;
  for (const morvik::TObject* pad : BoardMembersOfKind(kKindPad))
    names.push_back(pad->Text("Name"));
  EXPECT_EQ(names, (std::vector<std::string>{"9998", "9999", "9999"}));
  EXPECT_EQ(Collected(TRuleFamily::SolderMaskExpansion),
            std::vector<std::string>{"1: Free-9999 Free-9998"});
}

// Mask values belong to pads on the outer layers and plane expansion to
// through-hole pads; files before level 8 have neither.
TEST_F(PadClassifierTest, MaskAndPlaneValuesFollowTheLayer) {
  struct TCase {
    int Level, LayerCode;
    bool Masks, Plane;
  };
  for (const TCase& c :
       {TCase{8, 1, true, false}, TCase{8, 16, true, false}, TCase{8, 34, true, true},
        TCase{8, 2, false, false}, TCase{9, 34, true, true}, TCase{7, 34, false, false}}) {
    SCOPED_TRACE(::testing::Message() << "level " << c.Level << " layer " << c.LayerCode);
    ResetHost();
    pcb9::Run().FreePadNumber = 0;
    pcb9::Run().Classifier = pcb9::MakeRunPart<pcb9::TClassifier>(pcb9::Run().Board.get());
    LoadFreePads("attr 6 " + std::to_string(c.LayerCode) + "\n" + PadRecord(c.Level, 1, 1, 1),
                 static_cast<int16_t>(c.Level));
    using V = std::vector<std::string>;
    EXPECT_EQ(Collected(TRuleFamily::SolderMaskExpansion), c.Masks ? V{"1: Free-1"} : V{});
    EXPECT_EQ(Collected(TRuleFamily::PasteMaskExpansion), c.Masks ? V{"2: Free-1"} : V{});
    EXPECT_EQ(Collected(TRuleFamily::PlaneExpansion), c.Plane ? V{"5: Free-1"} : V{});
  }
}

// The plane-connect code alone decides the style, on every layer; before
// level 8 the values are the old format's fixed ones.
TEST_F(PadClassifierTest, PlaneConnectCodes) {
  struct TCase {
    int Code;
    std::optional<int> Style;
  };
  const TCase codes[] = {{0, {}}, {3, {}}, {6, {}},  {9, {}},   {12, {}}, {1, 0},
                         {4, 0},  {7, 0},  {10, 0},  {2, 1},    {5, 1},   {8, 1},
                         {11, 1}, {13, 2}, {255, 2}, {0x10D, 2}};
  for (int level : {7, 8}) {
    for (const TCase& c : codes) {
      SCOPED_TRACE(::testing::Message() << "level " << level << " code " << c.Code);
      ResetHost();
      pcb9::Run().FreePadNumber = 0;
      pcb9::Run().Classifier = pcb9::MakeRunPart<pcb9::TClassifier>(pcb9::Run().Board.get());
      // A mid-layer pad: no mask values, still its plane connection.
      LoadFreePads("attr 6 2\nattr 23 " + std::to_string(c.Code) + "\n" + PadRecord(level, 1, 1, 1),
                   static_cast<int16_t>(level));
      std::vector<std::string> expected;
      const std::string values = level >= 8 ? "3/4/6" : "100000/100000/4";
      const std::string expansion = level >= 8 ? "5" : "100000";
      if (c.Style)
        expected.push_back(expansion + "/" + std::to_string(*c.Style) + "/" + values + ": Free-1");
      EXPECT_EQ(Collected(TRuleFamily::PlaneConnect), expected);
      EXPECT_TRUE(Collected(TRuleFamily::SolderMaskExpansion).empty());
    }
  }
}

// A pad kept off the board still gives its values to the classifier.
TEST_F(PadClassifierTest, EmptyPadIsStillClassified) {
  LoadFreePads("attr 6 34\nattr 23 1\nattr 13 10mil\nattr 14 0\n" + PadRecord(8, 6, 1, 1), 8);
  EXPECT_EQ(ObjectsOfKind(kKindPad).size(), 1u);
  EXPECT_TRUE(BoardMembersOfKind(kKindPad).empty());
  EXPECT_EQ(Collected(TRuleFamily::SolderMaskExpansion), std::vector<std::string>{"1: Free-1"});
  EXPECT_EQ(Collected(TRuleFamily::PlaneConnect), std::vector<std::string>{"5/0/3/4/6: Free-1"});
}

}  // namespace
}  // namespace pcb9test
