// Text records: one layout at every level (each case ends with a second
// text that is read correctly only when the first consumed exactly its
// words), the stroke width by level, the font range, long strings and the
// registers a text takes.
#include <gtest/gtest.h>

#include <string>

#include "Kinds.h"
#include "LoaderTestText.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindText;

constexpr int64_t kMil = 10000;

constexpr const char* kRecord = "coord 10mil 20mil\nreal 90\ncoord 1mil 2mil 3mil 4mil\n";

struct TWidthCase {
  const char* Name;
  int Level;
  const char* Attributes;
  int64_t Height, Width;
};

class TextWidthTest : public THostFixture, public ::testing::WithParamInterface<TWidthCase> {};

TEST_P(TextWidthTest, StrokeWidthFollowsTheLevel) {
  const TWidthCase& c = GetParam();
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      c.Level,
      std::string("\"X\"\n") + c.Attributes + "\n" + kRecord + "\"R1\"\n" + kRecord + "\"R2\"", 2)));
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 2u);
  for (const morvik::TObject* t : texts) {
    EXPECT_EQ(t->Int("X"), 10 * kMil);
    EXPECT_EQ(t->Int("Y"), 20 * kMil);
    EXPECT_DOUBLE_EQ(t->Real("Rotation"), 90);
    EXPECT_EQ(t->Int("Height"), c.Height);
    EXPECT_EQ(t->Int("Width"), c.Width);
  }
  EXPECT_EQ(texts[0]->Text("Text"), "R1");
  EXPECT_EQ(texts[1]->Text("Text"), "R2");
}

INSTANTIATE_TEST_SUITE_P(
    Levels, TextWidthTest,
    ::testing::Values(
        TWidthCase{"Level5Height60Mil", 5, "attr 28 600000", 600000, 80000},
        TWidthCase{"Level5Height30Mil", 5, "attr 28 300000", 300000, 60000},
        TWidthCase{"Level5Height45Mil", 5, "attr 28 450000", 450000, 70000},
        TWidthCase{"Level5Height100Mil", 5, "attr 28 1000000", 1000000, 100000},
        TWidthCase{"Level1Height79Mil", 1, "attr 28 790000", 790000, 80000},
        TWidthCase{"Level7RisingPartIsRounded", 7, "attr 28 530000", 530000, 75333},
        // A tenth of 300025 is 30002.5, taken to the even 30002.
        TWidthCase{"Level7TenthHalvesToEven", 7, "attr 28 300025", 300025, 60001},
        TWidthCase{"Level1WidthAttributeIsIgnored", 1, "attr 28 1000000\nattr 32 5mil", 1000000,
                   100000},
        TWidthCase{"Level8TakesTheAttribute", 8, "attr 28 1000000\nattr 32 5mil", 1000000,
                   50000},
        TWidthCase{"Level8WithoutAttributeIsZero", 8, "attr 28 1000000", 1000000, 0},
        TWidthCase{"Level9TakesTheAttribute", 9, "attr 32 7", 0, 7},
        // Level 0 keeps whole mils: 7.533 mil becomes 8, 6.067 mil 6, 12.5 mil 12.
        TWidthCase{"Level0RoundsUpToWholeMils", 0, "attr 28 53mil", 530000, 80000},
        TWidthCase{"Level0RoundsDownToWholeMils", 0, "attr 28 31mil", 310000, 60000},
        TWidthCase{"Level0HalfMilToEven", 0, "attr 28 125mil", 1250000, 120000}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TFontCase {
  int Attribute;
  int64_t Font;
};

class TextFontTest : public THostFixture, public ::testing::WithParamInterface<TFontCase> {};

TEST_P(TextFontTest, FontOutsideOneToThreeIsOne) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(
      9, "\"X\"\nattr 29 " + std::to_string(GetParam().Attribute) + "\n" + kRecord + "\"T\"")));
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Int("Font"), GetParam().Font);
}

INSTANTIATE_TEST_SUITE_P(Fonts, TextFontTest,
                         ::testing::Values(TFontCase{0, 1}, TFontCase{4, 1}, TFontCase{-1, 1},
                                           TFontCase{1, 1}, TFontCase{2, 2}, TFontCase{3, 3},
                                           TFontCase{0x7FFF, 1}),
                         [](const auto& info) {
                           const int a = info.param.Attribute;
                           return a < 0 ? "Minus" + std::to_string(-a) : std::to_string(a);
                         });

TEST_F(THostFixture, TextTakesItsRegisters) {
  TImportRunner runner;
  ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(9, R"(
"TN"
attr 5 9            # a net for the track; texts never take one
attr 53 -4          # set in a track group, still in force for the text
coord 0 0 1 1
word 0 0
"X"
attr 4 0x0102
attr 6 17          # TopOverlay
attr 30 2
attr 45 0
attr 54 6
coord 0 0
real 0
coord 0 0 0 0
"T"
)",
                                         2), 2));
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 1u);
  const morvik::TObject& t = *texts[0];
  EXPECT_EQ(t.Int("Flags"), 0x0102);
  EXPECT_EQ(t.Int("Layer"), 33);  // TopOverlay
  EXPECT_EQ(t.Int("Mirrored"), 1);
  EXPECT_EQ(t.Int("StateFlag"), 0);
  EXPECT_EQ(t.Int("OwnerCoordinate"), 0xFFFFFFFC);
  EXPECT_EQ(t.Int("OwnerDimension"), 6);
  EXPECT_EQ(t.Int("Net"), 0);
}

// The host's text holds 254 characters: a 255-character string loses its
// last one and the record after it is read from the right place.
TEST_F(THostFixture, LongestStringKeepsTheFirst254Characters) {
  const std::string full = std::string(200, 'a') + std::string(54, 'b') + "c";
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(
      BoardAtLevel(9, std::string("\"X\"\n") + kRecord + "\"" + full + "\"\n" + kRecord + "\"N\"",
                   2)));
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->Text("Text"), full.substr(0, 254));
  EXPECT_EQ(texts[1]->Text("Text"), "N");
  EXPECT_EQ(texts[1]->Int("X"), 10 * kMil);
}

// A net or polygon attribute is not a text's: it ends the run and the
// record reads its tag; at level 0 that is corruption, and the text being
// read is still stored, with an empty string.
TEST_F(THostFixture, NetAttributeEndsTheTextRun) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(0, "\"X\"\nattr 5 1\nword 1 2\nreal 0\nword 0 0 0 0\n\"T\"")));
  ASSERT_EQ(Session().Messages().size(), 1u);
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Text("Text"), "");
}

TEST_F(THostFixture, MissingStringIsCorruptionAndLeavesTheTextEmpty) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(9, std::string("\"X\"\n") + kRecord + "word 1")));
  ASSERT_EQ(Session().Messages().size(), 1u);
  auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Text("Text"), "");
  EXPECT_EQ(texts[0]->Int("X"), 10 * kMil);
}

}  // namespace
}  // namespace pcb9test
