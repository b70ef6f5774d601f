// The "D" and "O" records: their layouts at the format levels where they
// change (each import ends with a track that is read correctly only when the
// record consumed exactly its words), where each value lands on the board,
// the run's routing directions and clearances, a second "O" group, and a
// record the file cuts short.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Document.h"
#include "Kinds.h"
#include "LoaderTestText.h"
#include "run/ImportRun.h"
#include "hostapi/HostOps.h"
#include "loaders/BoardSettingsLoaders.h"
#include "proxies/Board.h"
#include "stream/StreamFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

constexpr int64_t kMil = 10000;
// A track after the record, with the trailing words of its level.
std::string TrailingTrack(int level) {
  return std::string("\"TN\"\ncoord 1mil 2mil 3mil 4mil\nword 0") + (level >= 8 ? " 0" : "");
}

const morvik::TObject& HostBoard() {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  return *doc.Find(doc.BoardHandle());
}

std::string Words(int count, const std::string& value) {
  std::string text = "word";
  for (int i = 0; i < count; ++i) text += " " + value;
  return text + "\n";
}

// Imports the body and checks that the track after it was read intact.
void ImportWithTrack(int level, const std::string& body) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(level, body + "\n" + TrailingTrack(level))));
  auto tracks = BoardMembersOfKind(morvik::kKindTrack);
  ASSERT_FALSE(tracks.empty());
  EXPECT_EQ(tracks.back()->Int("Y2"), 4 * kMil);
}

// --- "D" ----------------------------------------------------------------------------

// A "D" record of the level; the same values at every level. The layer flags
// are set for file layers 1 (TopLayer) and 16 (BottomLayer) only.
std::string SettingsRecord(int level) {
  std::string text = "\"D\"\ncoord 1mil 2mil 3mil 4mil\nword 99 5\n";
  if (level >= 1) text += "word 6\n";
  text += "word 7 8\n";
  text += level == 0 ? "word 25 50 75 100\n"
                     : "real 250000\nreal 500000\nreal 750000\nreal 1000000\n";
  text += "word 16\nreal 0\n";
  text += "word 1\n" + Words(14, "0") + "word 0x0100\n" + Words(26, "0");
  if (level >= 5) text += "word 1\n\"ECO.LOG\"\n";
  return text;
}

class SettingsRecordTest : public THostFixture, public ::testing::WithParamInterface<int> {};

TEST_P(SettingsRecordTest, ValuesLandOnTheBoard) {
  const int level = GetParam();
  const int64_t infoDefault = HostBoard().Int("BoardInfo.8");
  ImportWithTrack(level, SettingsRecord(level));
  const morvik::TObject& b = HostBoard();
  EXPECT_EQ(b.Int("BoardInfo.4"), 1 * kMil);
  EXPECT_EQ(b.Int("BoardInfo.7"), 4 * kMil);
  EXPECT_EQ(b.Int("GridOptions.2"), 5);
  EXPECT_EQ(b.Int("BoardInfo.8"), level >= 1 ? 6 : infoDefault);
  EXPECT_EQ(b.Int("GridOptions.3"), 7);
  EXPECT_EQ(b.Int("GridOptions.4"), 8);
  // g1..g4 go to grid values 5, 6, 13 and 7.
  EXPECT_DOUBLE_EQ(b.Real("GridOptions.5"), 250000);
  EXPECT_DOUBLE_EQ(b.Real("GridOptions.6"), 500000);
  EXPECT_DOUBLE_EQ(b.Real("GridOptions.13"), 750000);
  EXPECT_DOUBLE_EQ(b.Real("GridOptions.7"), 1000000);
  EXPECT_EQ(b.Int("CurrentLayer"), 32);  // file layer 16: BottomLayer
  for (unsigned id = 1; id <= 82; ++id) {
    SCOPED_TRACE(id);
    // A flag word counts as set for any value but 0, its high byte too.
    EXPECT_EQ(b.Int("Layers." + std::to_string(id) + ".LayerFlag2"), id == 1 || id == 32);
  }
  EXPECT_EQ(b.Int("EcoOptions.1"), level >= 5);
  EXPECT_EQ(b.Text("EcoOptions.2"), level >= 5 ? "ECO.LOG" : "");
}

INSTANTIATE_TEST_SUITE_P(Levels, SettingsRecordTest, ::testing::Values(0, 1, 4, 5, 9),
                         [](const auto& info) { return "Level" + std::to_string(info.param); });

// Below level 5 the change-order options are cleared, whatever the board had.
TEST_F(THostFixture, OldSettingsRecordClearsTheChangeOrderOptions) {
  ImportWithTrack(9, SettingsRecord(9));
  ASSERT_EQ(HostBoard().Int("EcoOptions.1"), 1);
  ImportWithTrack(4, SettingsRecord(4));
  EXPECT_EQ(HostBoard().Int("EcoOptions.1"), 0);
  EXPECT_EQ(HostBoard().Text("EcoOptions.2"), "");
}

// --- "O" ----------------------------------------------------------------------------

constexpr int kLateOptionCodes[] = {36, 51};

bool OptionCodeInFile(int level, int code) {
  return level >= 9 || (code != kLateOptionCodes[0] && code != kLateOptionCodes[1]);
}

// An "O" record of the level whose values tell where they came from: most
// option values equal their own value number, loop entries their file code.
std::string OptionsRecord(int level, const std::string& directions,
                          const std::string& clearances) {
  std::string t = "\"O\"\ncoord 1mil 2mil\nword 3 8 9 10 11 24 7\n";
  for (int base : {0, 100}) {
    t += "word";
    for (int code = 1; code <= 53; ++code)
      if (OptionCodeInFile(level, code)) t += " " + std::to_string(base + code);
    t += "\n";
  }
  t += "\"P1\"\n\"P2\"\n\"P3\"\nword 4 5 6 7 8 9\ncoord 10mil\nreal 11\nreal 12\nreal 13\n";
  t += "word 201 202 203 204 205 206\nword 15 16\n";
  for (int code = 1; code <= 42; ++code) t += "word " + std::to_string(code) + " 1 2\n";
  for (int code = 1; code <= 42; ++code) t += "word 0 " + std::to_string(code) + " 0\n";
  for (int code = 1; code <= 42; ++code) t += "word " + std::to_string(0x100 + code) + "\n";
  for (int code = 1; code <= 42; ++code) t += "word " + std::to_string(-code) + "\n";
  t += "real 17\nreal 18\nreal 19\ncoord 20mil 21mil\nword 22 23 24 25 26\n";
  for (int pen = 1; pen <= 8; ++pen)
    t += "word " + std::to_string(-pen) + "\ncoord " + std::to_string(pen) + "mil\n";
  t += "word 1 2 6 7 15 4\ncoord 8mil 9mil 10mil 11mil 12mil\nword 18 17\ncoord 14mil\n";
  t += "word 16\n\"G13\"\n";
  t += "coord 1mil 1mil 1mil 1mil\nword 1 1 1 1\nreal 1\n" + Words(9, "1");
  t += directions;
  t += "word 1 1 1 1 1\n\"s\"\n\"s\"\ncoord 1mil 1mil 1mil\nword 3 4 5 6\n\"PL1\"\n\"PL2\"\n";
  t += clearances;
  t += Words(14, "1") + "coord 1mil 1mil\nword 1\ncoord 1mil\n" + Words(7, "1");
  t += "coord 1mil 1mil 1mil 1mil\n" + Words(4, "1");
  t += "word 1 1 1\nreal 1\nreal 1\n" + Words(5, "1") + "coord 1mil\nword 1 1 1\n";
  t += Words(39, "1");
  for (int i = 0; i < 39; ++i) t += "real 1\n";
  t += Words(20, "1");
  return t;
}

// Low byte of each direction word is the file layer's code.
std::string CodeDirections() {
  std::string t = "word";
  for (int code = 1; code <= 16; ++code) t += " " + std::to_string(0x0200 + code);
  return t + "\n";
}

const std::string kClearances = "coord 10mil 11mil 12mil 13mil 14mil 15mil\n";

// Where the loops' file codes land; the layer maps have tests of their own.
int OptionIndex(int code) { return pcb9::OldOptionLayerToIndex(static_cast<uint8_t>(code)); }
int HostLayer(int code) { return pcb9::OldLayerToHostLayer(static_cast<uint8_t>(code)); }

std::string Key(const char* group, int index, const char* suffix = "") {
  std::string key = std::string(group) + "." + std::to_string(index);
  return *suffix ? key + "." + suffix : key;
}

class OptionsRecordTest : public THostFixture, public ::testing::WithParamInterface<int> {};

TEST_P(OptionsRecordTest, ValuesLandOnTheBoard) {
  const int level = GetParam();
  const int64_t lateFlipDefault = HostBoard().Int("FlipLayers.72");
  ImportWithTrack(level, OptionsRecord(level, CodeDirections(), kClearances));
  const morvik::TObject& b = HostBoard();
  EXPECT_EQ(b.Int("OutputOptions.1"), 1 * kMil);
  EXPECT_EQ(b.Int("OutputOptions.2"), 2 * kMil);
  for (int n : {3, 7, 8, 9, 10, 11, 24}) EXPECT_EQ(b.Int(Key("OutputOptions", n)), n) << n;
  for (int code = 1; code <= 53; ++code) {
    SCOPED_TRACE(code);
    if (OptionCodeInFile(level, code)) {
      EXPECT_EQ(b.Int(Key("FlipLayers", OptionIndex(code))), code);
      EXPECT_EQ(b.Int(Key("PlotLayers", OptionIndex(code))), 100 + code);
    }
  }
  if (level < 9) {
    EXPECT_EQ(b.Int("FlipLayers.72"), lateFlipDefault);
  }
  EXPECT_EQ(b.Text("PrinterOptions.1"), "P1");
  EXPECT_EQ(b.Text("PrinterOptions.3"), "P3");
  for (int n : {4, 5, 6, 7, 8, 9, 15, 16, 22, 23, 24, 25, 26})
    EXPECT_EQ(b.Int(Key("PrinterOptions", n)), n) << n;
  EXPECT_EQ(b.Int("PrinterOptions.10"), 10 * kMil);
  for (int n : {11, 12, 13, 17, 18, 19}) EXPECT_DOUBLE_EQ(b.Real(Key("PrinterOptions", n)), n);
  EXPECT_EQ(b.Int("PrinterOptions.20"), 20 * kMil);
  EXPECT_EQ(b.Int("PrinterOptions.21"), 21 * kMil);
  const std::optional<morvik::TValue> stored = b.Value("PrinterOptions.14");
  ASSERT_TRUE(stored.has_value());
  const auto* block = std::get_if<std::vector<uint8_t>>(&*stored);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->size(), 27u);
  // Words 201..206 go to bytes 1, 6, 2, 5, 4, 3.
  const int byteOfWord[] = {1, 6, 2, 5, 4, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ((*block)[byteOfWord[i]], 201 + i) << i;
  for (int code = 1; code <= 42; ++code) {
    SCOPED_TRACE(code);
    const int id = HostLayer(code);
    EXPECT_EQ(b.Int(Key("CompositeLayers", id, "1")), code + 256 + 2 * 65536);
    EXPECT_EQ(b.Int(Key("CompositeLayers", id, "2")), code * 256);
    EXPECT_EQ(b.Int(Key("CompositeLayers", id, "3")), code);
    EXPECT_EQ(b.Int(Key("CompositeLayers", id, "4")), -code);
  }
  for (int pen = 1; pen <= 8; ++pen) {
    EXPECT_EQ(b.Int(Key("PlotterPens", pen, "1")), -pen);
    EXPECT_EQ(b.Int(Key("PlotterPens", pen, "2")), pen * kMil);
  }
  for (int n : {1, 2, 4, 6, 7, 15, 16, 17, 18}) EXPECT_EQ(b.Int(Key("GerberOptions", n)), n) << n;
  for (int n : {8, 9, 10, 11, 12, 14}) EXPECT_EQ(b.Int(Key("GerberOptions", n)), n * kMil) << n;
  EXPECT_EQ(b.Text("GerberOptions.13"), "G13");
  for (int n : {3, 4, 5, 6}) EXPECT_EQ(b.Int(Key("PlacerOptions", n)), n) << n;
  EXPECT_EQ(b.Text("PlacerOptions.1"), "PL1");
  EXPECT_EQ(b.Text("PlacerOptions.2"), "PL2");
}

// The two option layer loops have 51 words below level 9 and 53 at level 9.
INSTANTIATE_TEST_SUITE_P(Levels, OptionsRecordTest, ::testing::Values(0, 8, 9),
                         [](const auto& info) { return "Level" + std::to_string(info.param); });

TEST_F(THostFixture, ColoursTakeTheirBytesInFileOrder) {
  std::string record = OptionsRecord(9, CodeDirections(), kClearances);
  // File layers 1 and 2 get the colours (255, 0, 0) and (0, 0, 255).
  const std::string first = "word 1 1 2\nword 2 1 2\n";
  record.replace(record.find(first), first.size(), "word 255 0 0\nword 0 0 255\n");
  ImportWithTrack(9, record);
  EXPECT_EQ(HostBoard().Int("CompositeLayers.1.1"), 255);
  EXPECT_EQ(HostBoard().Int("CompositeLayers.2.1"), 16711680);
}

// --- The run's settings, read by the loader itself ------------------------------------

class OptionsRunSettings : public TStreamTest {
 protected:
  void SetUp() override {
    TStreamTest::SetUp();
    pcb9::Run().Board = std::make_unique<pcb9::TPcbBoard>(morvik::TDocument::Instance().BoardHandle());
  }
  void ReadKeyword() {
    TShortString keyword;
    pcb9::ReadString(keyword);
    ASSERT_EQ(keyword.View(), "O");
  }
};

TEST_F(OptionsRunSettings, DirectionsAndClearancesGoToTheRun) {
  Open(OptionsRecord(0, CodeDirections(), kClearances), 0);
  ReadKeyword();
  pcb9::LoadBoardOptions();
  ExpectNoMessage();
  const auto& directions = pcb9::Run().RouteSettings.RoutingDirections;
  // File signal layers 1..15 are host layers 1..15, layer 16 is BottomLayer
  // (32); each takes the low byte of its word.
  for (int id = 1; id <= 15; ++id) EXPECT_EQ(directions[id], id) << id;
  for (int id = 16; id <= 31; ++id) EXPECT_EQ(directions[id], 0) << id;
  EXPECT_EQ(directions[32], 16);
  // Level 0 clearances are words of mils.
  const pcb9::TClearanceSettings expected = {100000, 110000, 120000, 130000, 140000, 150000};
  EXPECT_EQ(pcb9::Run().ClearanceSettings, expected);
}

TEST_F(OptionsRunSettings, SecondGroupsValuesCount) {
  // The second group: 1 for file layer 1, 2 for file layer 16, 0 between.
  Open(OptionsRecord(9, CodeDirections(), kClearances) +
       OptionsRecord(9, "word 1" + Words(14, "0").substr(4) + "word 2\n", "coord 1 2 3 4 5 6\n"));
  ReadKeyword();
  pcb9::LoadBoardOptions();
  ReadKeyword();
  pcb9::LoadBoardOptions();
  ExpectNoMessage();
  const auto& directions = pcb9::Run().RouteSettings.RoutingDirections;
  EXPECT_EQ(directions[1], 1);
  for (int id = 2; id <= 15; ++id) EXPECT_EQ(directions[id], 0) << id;
  EXPECT_EQ(directions[32], 2);
  const pcb9::TClearanceSettings expected = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(pcb9::Run().ClearanceSettings, expected);
}

// A record cut short changes neither the board nor the run's settings: the
// values after the cut would be zeros the file never held.
TEST_F(OptionsRunSettings, RecordCutShortChangesNothing) {
  const std::string record = OptionsRecord(9, CodeDirections(), kClearances);
  const std::string cut = record.substr(0, record.find("word 1 1 1 1 1\n\"s\""));
  Open(cut + "truncate\n");
  const int64_t output3 = HostBoard().Int("OutputOptions.3");
  const pcb9::TRouteSettings route = pcb9::Run().RouteSettings;
  ReadKeyword();
  pcb9::LoadBoardOptions();
  EXPECT_TRUE(pcb9::Run().Aborted);
  EXPECT_EQ(HostBoard().Int("OutputOptions.3"), output3);
  EXPECT_EQ(pcb9::Run().Board->OutputOptions3, output3);
  EXPECT_EQ(pcb9::Run().RouteSettings.RoutingDirections, route.RoutingDirections);
  EXPECT_EQ(pcb9::Run().ClearanceSettings[0], 50000);
}

// A string where the record wants a word is corruption: the import stops
// and the board keeps its settings.
TEST_F(THostFixture, CorruptSettingsRecordLeavesTheBoard) {
  const morvik::TObject before = HostBoard();
  std::string record = SettingsRecord(9);
  record.replace(record.find("word 99 5"), 9, "word 99\n\"x\"");
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(9, record)));
  EXPECT_EQ(Session().Messages().size(), 1u);
  // Only the board's file name, which the host gives it for the import.
  auto after = HostBoard().StoredFields();
  after.erase("BoardInfo.2");
  EXPECT_EQ(after, before.StoredFields());
}

}  // namespace
}  // namespace pcb9test
