// Track records: the five forms at both word layouts, the normalisation of
// axis-parallel tracks, the trailing words per version, and the modal
// registers a track takes.
#include <gtest/gtest.h>

#include <string>

#include "Kinds.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindTrack;

std::string Board280(const std::string& body, int objects = 1) {
  return "\"PCB FILE 9 VERSION 2.80\"\nlong 0 " + std::to_string(objects) +
         " 0 0 0 0 0 0 0 0\n" + body + "\nend\n";
}

std::string Board110(const std::string& body) {
  return "\"PCB FILE 9 VERSION 1.10\"\nlong 0 1 0 0 0 0 0 0 0 0\n" + body + "\nend\n";
}

struct TPoints {
  int64_t X, Y, X2, Y2;
};

void ExpectPoints(const morvik::TObject& track, const TPoints& p) {
  EXPECT_EQ(track.Int("X"), p.X);
  EXPECT_EQ(track.Int("Y"), p.Y);
  EXPECT_EQ(track.Int("X2"), p.X2);
  EXPECT_EQ(track.Int("Y2"), p.Y2);
}

struct TFormCase {
  const char* Name;
  std::string Text;
  TPoints Expected;
};

class TrackFormTest : public THostFixture, public ::testing::WithParamInterface<TFormCase> {};

TEST_P(TrackFormTest, ReadsTheTwoPointsOfItsForm) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(GetParam().Text));
  auto tracks = BoardMembersOfKind(kKindTrack);
  ASSERT_EQ(tracks.size(), 1u);
  ExpectPoints(*tracks[0], GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TrackFormTest,
    ::testing::Values(
        // Level 0: single words of mils; X values multiplied, then exchanged.
        TFormCase{"HorizontalLevel0Reversed", Board110("\"TH\"\nword 100 50 20 0"),
                  {500000, 200000, 1000000, 200000}},
        TFormCase{"HorizontalLevel9", Board280("\"TH\"\ncoord 10 30 -5\nword 0 0"),
                  {10, -5, 30, -5}},
        TFormCase{"VerticalDownwardIsStoredUpward", Board280("\"TV\"\ncoord 7 50 20\nword 0 0"),
                  {7, 20, 7, 50}},
        TFormCase{"RisingDiagonal", Board280("\"T+\"\ncoord 100 200 -30\nword 0 0"),
                  {100, 200, 70, 170}},
        TFormCase{"FallingDiagonalKeepsItsOrder", Board280("\"T-\"\ncoord 0 0 10\nword 0 0"),
                  {0, 0, 10, -10}},
        TFormCase{"ZeroLengthKeepsItsPoint", Board280("\"T+\"\ncoord 40 60 0\nword 0 0"),
                  {40, 60, 40, 60}},
        TFormCase{"FreeWithEqualXIsStoredUpward",
                  Board280("\"TN\"\ncoord 5 90 5 -90\nword 0 0"), {5, -90, 5, 90}},
        TFormCase{"FreeWithEqualYIsStoredRightward",
                  Board280("\"TN\"\ncoord 90 5 -90 5\nword 0 0"), {-90, 5, 90, 5}},
        TFormCase{"FreeDiagonalKeepsItsOrder", Board280("\"TN\"\ncoord 90 5 -90 7\nword 0 0"),
                  {90, 5, -90, 7}},
        TFormCase{"DiagonalSumsWrapAround",
                  Board280("\"T+\"\ncoord 2147483647 0 1\nword 0 0"),
                  {2147483647, 0, -2147483648LL, 1}},
        TFormCase{"Level0WordsAreSigned", Board110("\"TN\"\nword -1 2 3 -4 0"),
                  {-10000, 20000, 30000, -40000}}),
    [](const auto& info) { return std::string(info.param.Name); });

// The trailing words differ by version; reading one too few or too many
// would shift every later record.
TEST_F(THostFixture, TrailingWordsFollowTheVersion) {
  struct TCase {
    const char* Header;
    const char* Trailing;
  };
  for (const TCase& c : {TCase{"2.60", "word 0"}, TCase{"2.70", "word 0 0"},
                         TCase{"2.80", "word 0 0"}, TCase{"2.00", "word 0"}}) {
    SCOPED_TRACE(c.Header);
    ResetHost();
    TImportRunner runner;
    std::string text = std::string("\"PCB FILE 9 VERSION ") + c.Header + "\"\n" +
                       "long 0 2 0 0 0 0 0 0 0 0\n\"TH\"\ncoord 1 2 3\n" + c.Trailing +
                       "\ncoord 4 5 6\n" + c.Trailing + "\nend\n";
    ASSERT_TRUE(runner.Import(text));
    auto tracks = BoardMembersOfKind(kKindTrack);
    ASSERT_EQ(tracks.size(), 2u);
    ExpectPoints(*tracks[1], {4, 6, 5, 6});
  }
}

TEST_F(THostFixture, TrackTakesItsRegisters) {
  // The import is stopped at the track, so that owner linking does not
  // replace the raw numbers.
  Session().SetEscAfter(1);
  Session().SetAnswerYes(true);
  TImportRunner runner;
  ASSERT_FALSE(runner.Import(Board280(R"(
"TH"
attr 4 0x8123
attr 5 -2
attr 6 16
attr 7 12mil
attr 8 77          # read and ignored
attr 44 -3
attr 45 0
attr 53 -4
attr 54 -5
coord 0 10 0
word 0 0
)")));
  auto tracks = BoardMembersOfKind(kKindTrack);
  ASSERT_EQ(tracks.size(), 1u);
  const morvik::TObject& t = *tracks[0];
  EXPECT_EQ(t.Int("Flags"), 0x8123);
  EXPECT_EQ(t.Int("Net"), 0xFFFFFFFE);  // -2 sign-extended
  EXPECT_EQ(t.Int("Layer"), 32);         // BottomLayer
  EXPECT_EQ(t.Int("Width"), 120000);
  // Owner numbers are sign-extended like the net.
  EXPECT_EQ(t.Int("OwnerPolygon"), 0xFFFFFFFD);
  EXPECT_EQ(t.Int("OwnerCoordinate"), 0xFFFFFFFC);
  EXPECT_EQ(t.Int("OwnerDimension"), 0xFFFFFFFB);
  EXPECT_EQ(t.Int("StateFlag"), 0);
}

TEST_F(THostFixture, RegistersStayInForceAcrossGroups) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(Board280(R"(
"TH"
coord 0 10 0
word 0 0
attr 6 129          # bit 7 is dropped for tracks: TopLayer
attr 7 5mil
attr 45 256         # any value but 0 sets the state flag
coord 0 10 1
word 0 0
"TV"
coord 0 0 10
word 0 0
)",
                                     3)));
  auto tracks = BoardMembersOfKind(kKindTrack);
  ASSERT_EQ(tracks.size(), 3u);
  EXPECT_EQ(tracks[0]->Int("StateFlag"), 1);  // register default
  EXPECT_EQ(tracks[0]->Int("Layer"), 0);      // NoLayer before any layer attribute
  EXPECT_EQ(tracks[1]->Int("Layer"), 1);
  EXPECT_EQ(tracks[1]->Int("StateFlag"), 1);
  EXPECT_EQ(tracks[2]->Int("Layer"), 1);
  EXPECT_EQ(tracks[2]->Int("Width"), 50000);
}

TEST_F(THostFixture, KeywordAloneMakesNoTrack) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(Board280("\"TH\"\n\"TV\"\ncoord 1 2 3\nword 0 0")));
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 1u);
}

// A via attribute ends a track's attribute run; at level 0 the track then
// reads the tag as a coordinate word and the file is reported corrupt.
TEST_F(THostFixture, AttributeOfAnotherGroupEndsTheRun) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(Board110("\"TH\"\nattr 12 1\nword 1 2 3 0")));
  auto& messages = Session().Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "File Corruption: " + runner.FilePath());
  EXPECT_EQ(messages[0].Caption, "Import");
  // The record being read when the corruption was found is still added.
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 1u);
}

}  // namespace
}  // namespace pcb9test
