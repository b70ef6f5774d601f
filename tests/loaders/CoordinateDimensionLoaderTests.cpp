// Coordinate ("R") and dimension ("I") records: their layouts at both word
// widths, numbering in file order, the layer as the one register they take,
// and records that an abort or the end of the file cuts.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "loaders/ObjectIndex.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindCoordinate;
using morvik::kKindDimension;
using TFields = std::vector<std::pair<const char*, int64_t>>;

std::string Board(const char* version, const std::string& body, int objects = 1) {
  return std::string("\"PCB FILE 9 VERSION ") + version + "\"\nlong 0 " +
         std::to_string(objects) + " 0 0 0 0 0 0 0 0\n" + body + "\nend\n";
}

void ExpectFields(const morvik::TObject& object, const TFields& fields) {
  for (const auto& [name, value] : fields) EXPECT_EQ(object.Int(name), value) << name;
}

struct TRecordCase {
  const char* Name;
  std::string Text;
  uint8_t Kind;
  TFields Expected;
};

class GroupRecordTest : public THostFixture, public ::testing::WithParamInterface<TRecordCase> {};

TEST_P(GroupRecordTest, ReadsEveryFieldInOrder) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(GetParam().Text));
  auto objects = BoardMembersOfKind(GetParam().Kind);
  ASSERT_EQ(objects.size(), 1u);
  ExpectFields(*objects[0], GetParam().Expected);
  EXPECT_EQ(objects[0]->Int("Index"), 1);
}

const TFields kCoordinateLevel9 = {{"X", 1},           {"Y", -2},          {"CoordValue1", 3},
                                   {"CoordByte", 3},   {"CoordValue2", 4}, {"CoordValue3", 5},
                                   {"CoordValue4", 6}, {"CoordValue5", -1}};
const TFields kDimensionLevel9 = {{"X", 1},         {"Y", -2},        {"DimCoord1", 3},
                                  {"DimCoord2", 4}, {"DimCoord3", 5}, {"DimByte", 3},
                                  {"DimCoord4", 6}, {"DimCoord5", 7}, {"DimCoord6", 8},
                                  {"DimValue", -1}};

// The same record at level 0: every coordinate in mils; the words as they are.
TFields TimesTenThousand(TFields fields) {
  for (auto& [name, value] : fields) {
    const std::string_view n(name);
    const bool word = n.ends_with("Byte") || n == "CoordValue5" || n == "DimValue";
    if (!word) value *= 10000;
  }
  return fields;
}

// The records do not change with the version, only the width of a
// coordinate does (one word of mils at level 0).
INSTANTIATE_TEST_SUITE_P(
    Layouts, GroupRecordTest,
    ::testing::Values(
        TRecordCase{"CoordinateLevel9",
                    Board("2.80", "\"R\"\ncoord 1 -2 3\nword 0x0103\ncoord 4 5 6\nword -1"),
                    kKindCoordinate, kCoordinateLevel9},
        TRecordCase{"CoordinateLevel1",
                    Board("2.00", "\"R\"\ncoord 1 -2 3\nword 0x0103\ncoord 4 5 6\nword -1"),
                    kKindCoordinate, kCoordinateLevel9},
        TRecordCase{"CoordinateLevel0",
                    Board("1.10", "\"R\"\nword 1 -2 3 0x0103 4 5 6 -1"), kKindCoordinate,
                    TimesTenThousand(kCoordinateLevel9)},
        TRecordCase{"DimensionLevel9",
                    Board("2.80", "\"I\"\ncoord 1 -2 3 4 5\nword 0x0103\ncoord 6 7 8\nword -1"),
                    kKindDimension, kDimensionLevel9},
        TRecordCase{"DimensionLevel0",
                    Board("1.10", "\"I\"\nword 1 -2 3 4 5 0x0103 6 7 8 -1"), kKindDimension,
                    TimesTenThousand(kDimensionLevel9)}),
    [](const auto& info) { return std::string(info.param.Name); });

// Coordinates and dimensions are numbered apart, each from 1 in file order,
// over any number of groups.
TEST_F(THostFixture, CoordinatesAndDimensionsAreNumberedApart) {
  const std::string coordinate = "coord 0 0 0\nword 0\ncoord 0 0 0\nword 0\n";
  const std::string dimension = "coord 0 0 0 0 0\nword 0\ncoord 0 0 0\nword 0\n";
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(Board("2.80",
                                  "\"R\"\n" + coordinate + coordinate + "\"I\"\n" + dimension +
                                      "\"R\"\n" + coordinate + "\"I\"\n" + dimension,
                                  5)));
  auto coordinates = BoardMembersOfKind(kKindCoordinate);
  auto dimensions = BoardMembersOfKind(kKindDimension);
  ASSERT_EQ(coordinates.size(), 3u);
  ASSERT_EQ(dimensions.size(), 2u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(coordinates[i]->Int("Index"), i + 1);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(dimensions[i]->Int("Index"), i + 1);
}

// Past 32767 objects of a kind the number stays at 32767: a wrapped number
// would give a late object an early one's number and owner table entry.
// The counter goes on as the object's place in the file, up to its own end.
TEST(ObjectIndexTest, NumberStopsAtTheLargestIndex) {
  int32_t counter = 0;
  EXPECT_EQ(pcb9::NextObjectIndex(counter), 1);
  counter = 32766;
  EXPECT_EQ(pcb9::NextObjectIndex(counter), 32767);
  EXPECT_EQ(pcb9::NextObjectIndex(counter), 32767);
  EXPECT_EQ(counter, 32768);
  counter = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(pcb9::NextObjectIndex(counter), 32767);
  EXPECT_EQ(counter, std::numeric_limits<int32_t>::max());
}

// The layer is the only register they take; it is set even when the file
// never gave one (NoLayer, not the host's Mechanical1).
TEST_F(THostFixture, LayerIsTheOnlyRegisterTaken) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(Board("2.80", R"(
"TH"
attr 4 0x1234
attr 5 7
attr 45 0
coord 0 10 0
word 0 0
"R"
coord 0 0 0
word 0
coord 0 0 0
word 0
attr 6 29
coord 0 0 0
word 0
coord 0 0 0
word 0
"I"
attr 6 16
coord 0 0 0 0 0
word 0
coord 0 0 0
word 0
)",
                                  4)));
  auto coordinates = BoardMembersOfKind(kKindCoordinate);
  auto dimensions = BoardMembersOfKind(kKindDimension);
  ASSERT_EQ(coordinates.size(), 2u);
  ASSERT_EQ(dimensions.size(), 1u);
  EXPECT_EQ(coordinates[0]->Int("Layer"), 0);   // NoLayer
  EXPECT_EQ(coordinates[1]->Int("Layer"), 57);  // file code 29: Mechanical1
  EXPECT_EQ(dimensions[0]->Int("Layer"), 32);   // BottomLayer
  for (const morvik::TObject* object : {coordinates[0], coordinates[1], dimensions[0]}) {
    EXPECT_EQ(object->Int("Flags"), 0);
    EXPECT_EQ(object->Int("StateFlag"), 0);
    EXPECT_EQ(object->Int("Net"), 0);
  }
  EXPECT_EQ(dimensions[0]->Int("DimensionKind"), 8);  // the host's kind, kept
}

// Attribute 6 is the only one the groups accept: any other ends the run and
// its tag is read as record data, which a word read reports.
TEST_F(THostFixture, OtherAttributeEndsTheRunAsRecordData) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(Board("1.10", "\"R\"\nattr 4 1\nword 1 2 3 4 5 6 7 8")));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "File Corruption: " + runner.FilePath());
  // The coordinate being read is still created and added.
  EXPECT_EQ(BoardMembersOfKind(kKindCoordinate).size(), 1u);
}

TEST_F(THostFixture, RecordTheFileCutsShortIsNotAdded) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(
      "\"PCB FILE 9 VERSION 2.80\"\nlong 0 2 0 0 0 0 0 0 0 0\n"
      "\"I\"\ncoord 1 2 3 4 5\nword 0\ncoord 6 7 8\nword 0\ncoord 1 2 3\ntruncate\n"));
  EXPECT_EQ(BoardMembersOfKind(kKindDimension).size(), 1u);
}

// Esc confirmed during the first record: that record is completed and
// added, the next one is not read.
TEST_F(THostFixture, AbortKeepsTheRecordUnderWay) {
  Session().SetEscAfter(1);
  Session().SetAnswerYes(true);
  const std::string coordinate = "coord 0 0 0\nword 0\ncoord 0 0 0\nword 0\n";
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(Board("2.80", "\"R\"\n" + coordinate + coordinate, 2)));
  EXPECT_EQ(BoardMembersOfKind(kKindCoordinate).size(), 1u);
  EXPECT_EQ(ObjectsOfKind(kKindCoordinate).size(), 1u);
}

// A dimension keeps every reference the host gives it, whether the proxy
// exchanges all of them (200) or only the first 200 (201).
TEST_F(THostFixture, DimensionKeepsTheHostsReferencesAtTheBound) {
  using T = morvik::TFieldType;
  for (int count : {200, 201}) {
    SCOPED_TRACE(count);
    ResetHost();
    std::vector<morvik::TReference> references(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) references[k].Values[3] = k + 1;
    morvik::TObject model;
    morvik::SetStoredReferences(model, references);
    morvik::TDocument& doc = morvik::TDocument::Instance();
    doc.AddDefaults(kKindDimension, {{{"ReferenceCount", T::I32}, model.Value("ReferenceCount").value()},
                                     {{"References", T::Bytes}, model.Value("References").value()}});
    TImportRunner runner;
    const bool imported = runner.Import(
        Board("2.80", "\"I\"\ncoord 1 2 3 4 5\nword 0\ncoord 6 7 8\nword 9"));
    // Later defaults replace earlier ones: new dimensions again have none.
    doc.AddDefaults(kKindDimension, {{{"ReferenceCount", T::I32}, int64_t{0}},
                                     {{"References", T::Bytes}, std::vector<uint8_t>{}}});
    ASSERT_TRUE(imported);
    auto dimensions = BoardMembersOfKind(kKindDimension);
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_EQ(dimensions[0]->Int("DimValue"), 9);
    const auto stored = morvik::StoredReferences(*dimensions[0]);
    ASSERT_EQ(stored.size(), static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) EXPECT_EQ(stored[k].Values[3], k + 1);
  }
}

}  // namespace
}  // namespace pcb9test
