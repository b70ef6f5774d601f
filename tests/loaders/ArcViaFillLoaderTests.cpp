// Arc, via and fill records: their layouts at the format levels where they
// change (each case ends with a second record that is read correctly only
// when the first consumed exactly its words), the angle and corner
// fix-ups, the via layer pairs and the registers each kind takes.
#include <gtest/gtest.h>

#include <string>

#include "Kinds.h"
#include "LoaderTestText.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindArc;
using morvik::kKindFill;
using morvik::kKindVia;

constexpr int64_t kMil = 10000;
constexpr int64_t kNoLayer = 0, kTopLayer = 1, kBottomLayer = 32, kMultiLayer = 74;

// Imports one group of two records and returns the two objects of the kind.
std::vector<const morvik::TObject*> ImportTwo(uint8_t kind, int level, const std::string& body) {
  TImportRunner runner;
  EXPECT_TRUE(runner.Import(BoardAtLevel(level, body, 2)));
  auto objects = BoardMembersOfKind(kind);
  EXPECT_EQ(objects.size(), 2u);
  return objects;
}

// --- Arcs -------------------------------------------------------------------------------

struct TArcCase {
  const char* Name;
  int Level;
  std::string Record;
  int64_t X, Y, Radius;
  double StartAngle, EndAngle;
  int64_t Width;
};

class ArcRecordTest : public THostFixture, public ::testing::WithParamInterface<TArcCase> {};

constexpr const char* kSecondArc = "coord 1mil 2mil 3mil\nreal 10\nreal 20\ncoord 4mil\nword 0";

TEST_P(ArcRecordTest, ReadsItsRecordAndFixesItsAngles) {
  const TArcCase& c = GetParam();
  auto arcs = ImportTwo(kKindArc, c.Level, "\"A\"\n" + c.Record + "\n" + kSecondArc);
  ASSERT_EQ(arcs.size(), 2u);
  const morvik::TObject& a = *arcs[0];
  EXPECT_EQ(a.Int("X"), c.X);
  EXPECT_EQ(a.Int("Y"), c.Y);
  EXPECT_EQ(a.Int("Radius"), c.Radius);
  EXPECT_DOUBLE_EQ(a.Real("StartAngle"), c.StartAngle);
  EXPECT_DOUBLE_EQ(a.Real("EndAngle"), c.EndAngle);
  EXPECT_EQ(a.Int("Width"), c.Width);
  const morvik::TObject& next = *arcs[1];
  EXPECT_EQ(next.Int("Radius"), 3 * kMil);
  EXPECT_DOUBLE_EQ(next.Real("EndAngle"), 20);
  EXPECT_EQ(next.Int("Width"), 4 * kMil);
}

const std::string kPlainArc = "coord 100mil 200mil 50mil\nreal 90\nreal 180\ncoord 10mil\nword 0";

INSTANTIATE_TEST_SUITE_P(
    Records, ArcRecordTest,
    ::testing::Values(
        TArcCase{"Level0Words", 0, kPlainArc, 100 * kMil, 200 * kMil, 50 * kMil, 90, 180,
                 10 * kMil},
        TArcCase{"Level1Longs", 1, "coord -5 7 3\nreal 90\nreal 180\ncoord 1\nword 0", -5, 7, 3,
                 90, 180, 1},
        TArcCase{"Level9", 9, kPlainArc, 100 * kMil, 200 * kMil, 50 * kMil, 90, 180, 10 * kMil},
        TArcCase{"EqualAnglesMakeAFullCircle", 9,
                 "coord 0 0 1\nreal 90\nreal 90\ncoord 1\nword 0", 0, 0, 1, 0, 360, 1},
        TArcCase{"EndZeroIs360", 5, "coord 0 0 1\nreal 270\nreal 0\ncoord 1\nword 0", 0, 0, 1,
                 270, 360, 1},
        TArcCase{"BothZeroIsAFullCircle", 5, "coord 0 0 1\nreal 0\nreal 0\ncoord 1\nword 0", 0,
                 0, 1, 0, 360, 1},
        TArcCase{"AnglesAreNotRangeTested", 5,
                 "coord 0 0 1\nreal 450\nreal -90\ncoord 1\nword 0", 0, 0, 1, 450, -90, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(THostFixture, ArcTakesItsRegisters) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(9, R"(
"A"
attr 4 0x8123
attr 5 -2
attr 6 129          # an arc passes the whole byte: no layer has code 129
attr 44 -3
attr 45 0
coord 0 0 1
real 0
real 90
coord 1
word 0
)")));
  auto arcs = BoardMembersOfKind(kKindArc);
  ASSERT_EQ(arcs.size(), 1u);
  const morvik::TObject& a = *arcs[0];
  EXPECT_EQ(a.Int("Flags"), 0x8123);
  EXPECT_EQ(a.Int("Net"), 0xFFFFFFFE);
  EXPECT_EQ(a.Int("OwnerPolygon"), 0xFFFFFFFD);
  EXPECT_EQ(a.Int("Layer"), kNoLayer);
  EXPECT_EQ(a.Int("StateFlag"), 0);
}

// A malformed angle is corruption; the arc being read is still stored.
TEST_F(THostFixture, MalformedAngleIsCorruption) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(9, "\"A\"\ncoord 0 0 1\nreal 12,5\nreal 90\ncoord 1\nword 0")));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "File Corruption: " + runner.FilePath());
  auto arcs = BoardMembersOfKind(kKindArc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_DOUBLE_EQ(arcs[0]->Real("EndAngle"), 90);
}

// --- Vias -------------------------------------------------------------------------------

struct TViaLayoutCase {
  int Level;
  const char* Record;
};

class ViaRecordTest : public THostFixture, public ::testing::WithParamInterface<TViaLayoutCase> {};

// Two more coordinates from level 8 on; the trailing word at every level.
TEST_P(ViaRecordTest, ReadsTheCoordinatesOfItsLevel) {
  const std::string record = GetParam().Record;
  auto vias = ImportTwo(kKindVia, GetParam().Level, "\"V\"\n" + record + "\n" + record);
  ASSERT_EQ(vias.size(), 2u);
  for (const morvik::TObject* via : vias) {
    EXPECT_EQ(via->Int("X"), 10 * kMil);
    EXPECT_EQ(via->Int("Y"), -20 * kMil);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ViaRecordTest,
    ::testing::Values(TViaLayoutCase{0, "coord 10mil -20mil\nword 0"},
                      TViaLayoutCase{7, "coord 10mil -20mil\nword 0"},
                      TViaLayoutCase{8, "coord 10mil -20mil 1 2\nword 0"},
                      TViaLayoutCase{9, "coord 10mil -20mil 1 2\nword 0"}),
    [](const auto& info) { return "Level" + std::to_string(info.param.Level); });

struct TViaLayersCase {
  const char* Name;
  const char* Attributes;
  int64_t StartLayer, EndLayer;
};

class ViaLayersTest : public THostFixture, public ::testing::WithParamInterface<TViaLayersCase> {};

TEST_P(ViaLayersTest, TakesItsLayersFromThePairOrItsOwnRegisters) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      9, std::string("\"V\"\n") + GetParam().Attributes + "\ncoord 0 0 0 0\nword 0")));
  auto vias = BoardMembersOfKind(kKindVia);
  ASSERT_EQ(vias.size(), 1u);
  EXPECT_EQ(vias[0]->Int("StartLayer"), GetParam().StartLayer);
  EXPECT_EQ(vias[0]->Int("EndLayer"), GetParam().EndLayer);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ViaLayersTest,
    ::testing::Values(
        TViaLayersCase{"NoPairIsThrough", "", kTopLayer, kBottomLayer},
        TViaLayersCase{"PairZeroIsThrough", "attr 12 0", kTopLayer, kBottomLayer},
        TViaLayersCase{"FirstPair", "attr 12 1", kTopLayer, 2},
        TViaLayersCase{"ThirdPairJoinsMidLayer4And5", "attr 12 3", 5, 6},
        TViaLayersCase{"LastPairEndsAtTheBottom", "attr 12 8", 15, kBottomLayer},
        TViaLayersCase{"PairNineIsThrough", "attr 12 9", kTopLayer, kBottomLayer},
        TViaLayersCase{"PairTakesTheLowByte", "attr 12 0x0103", 5, 6},
        TViaLayersCase{"StartAloneOverridesOnlyTheStart", "attr 12 3\nattr 55 1", kTopLayer, 6},
        TViaLayersCase{"EndAloneOverridesOnlyTheEnd", "attr 12 3\nattr 56 16", 5, kBottomLayer},
        TViaLayersCase{"BothOwnLayers", "attr 55 2\nattr 56 3", 2, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(THostFixture, ViaTakesItsRegistersAndKeepsItsLayer) {
  TImportRunner runner;
  ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(8, R"(
"V"
attr 4 0x0041
attr 5 7
attr 9 50mil
attr 10 28mil
attr 11 5           # read and ignored
attr 45 0
attr 47 1           # 47 to 52: read and ignored
attr 52 1
coord 0 0 0 0
word 0
)"), 1));
  auto vias = BoardMembersOfKind(kKindVia);
  ASSERT_EQ(vias.size(), 1u);
  const morvik::TObject& v = *vias[0];
  EXPECT_EQ(v.Int("Flags"), 0x41);
  EXPECT_EQ(v.Int("Net"), 7);
  EXPECT_EQ(v.Int("Size"), 50 * kMil);
  EXPECT_EQ(v.Int("HoleSize"), 28 * kMil);
  EXPECT_EQ(v.Int("StateFlag"), 0);
  EXPECT_EQ(v.Int("Layer"), kMultiLayer);  // the host's: a via has a layer pair instead
}

// A later start layer changes the start of every following via only.
TEST_F(THostFixture, ViaLayerRegistersStayInForce) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(9, R"(
"V"
attr 12 3
coord 0 0 0 0
word 0
"TH"
coord 0 1 0
word 0 0
"V"
attr 55 1
coord 0 0 0 0
word 0
coord 0 0 0 0
word 0
)",
                                         4)));
  auto vias = BoardMembersOfKind(kKindVia);
  ASSERT_EQ(vias.size(), 3u);
  EXPECT_EQ(vias[0]->Int("StartLayer"), 5);
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(vias[i]->Int("StartLayer"), kTopLayer);
    EXPECT_EQ(vias[i]->Int("EndLayer"), 6);
  }
}

// --- Fills ------------------------------------------------------------------------------

struct TFillCase {
  const char* Name;
  int Level;
  std::string Record;
  int64_t X, Y, X2, Y2;
  double Rotation;
};

class FillRecordTest : public THostFixture, public ::testing::WithParamInterface<TFillCase> {};

TEST_P(FillRecordTest, ReadsItsCornersLowerLeftFirst) {
  const TFillCase& c = GetParam();
  const std::string second = c.Level >= 9 ? "coord 1 2 3 4\nreal 5" : "coord 1mil 2mil 3mil 4mil";
  auto fills = ImportTwo(kKindFill, c.Level, "\"F\"\n" + c.Record + "\n" + second);
  ASSERT_EQ(fills.size(), 2u);
  const morvik::TObject& f = *fills[0];
  EXPECT_EQ(f.Int("X"), c.X);
  EXPECT_EQ(f.Int("Y"), c.Y);
  EXPECT_EQ(f.Int("X2"), c.X2);
  EXPECT_EQ(f.Int("Y2"), c.Y2);
  EXPECT_DOUBLE_EQ(f.Real("Rotation"), c.Rotation);
  EXPECT_EQ(fills[1]->Int("Y2"), c.Level >= 9 ? 4 : 4 * kMil);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FillRecordTest,
    ::testing::Values(
        TFillCase{"Level0Words", 0, "coord 500mil 500mil 100mil 100mil", 100 * kMil,
                  100 * kMil, 500 * kMil, 500 * kMil, 0},
        TFillCase{"Level8NoRotation", 8, "coord 500 500 100 100", 100, 100, 500, 500, 0},
        TFillCase{"Level9Rotation", 9, "coord 500 500 100 100\nreal 45", 100, 100, 500, 500,
                  45},
        TFillCase{"OnlyXReversed", 9, "coord 9 1 2 8\nreal 0", 2, 1, 9, 8, 0},
        TFillCase{"OnlyYReversed", 9, "coord 1 9 8 2\nreal 0", 1, 2, 8, 9, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

// A layer given in an arc group is still in force for the fill group after
// it; a via takes no layer at all.
TEST_F(THostFixture, RegistersStayInForceFromArcsToFills) {
  TImportRunner runner;
  ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(9, R"(
"A"
attr 6 16
attr 5 3
attr 44 2
coord 0 0 1
real 0
real 90
coord 1
word 0
"F"
coord 0 0 1 1
real 0
)",
                                         2), 2));
  auto fills = BoardMembersOfKind(kKindFill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0]->Int("Layer"), kBottomLayer);
  EXPECT_EQ(fills[0]->Int("Net"), 3);
  EXPECT_EQ(fills[0]->Int("OwnerPolygon"), 2);
  EXPECT_EQ(fills[0]->Int("StateFlag"), 1);
}

// A file that ends inside a fill record adds nothing for it.
TEST_F(THostFixture, FillCutShortIsNotAdded) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardCutAfter(9, "\"F\"\ncoord 0 0 1 1\nreal 0\ncoord 5 5")));
  EXPECT_EQ(BoardMembersOfKind(kKindFill).size(), 1u);
}

}  // namespace
}  // namespace pcb9test
