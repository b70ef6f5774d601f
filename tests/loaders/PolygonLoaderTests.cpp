// Polygon records: the header and the outline at each level where they
// change, arc segments, polygons against split planes, numbering, the
// registers a polygon takes, and outlines longer than the host keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "Kinds.h"
#include "LoaderFixture.h"
#include "platform/Platform.h"
#include "proxies/Groups.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindPolygon;
using morvik::kKindSplitPlane;

struct TVertex {
  int X, Y;
};

struct TPolygonText {
  std::string Options = "0 0 0 0";  // A, B, C, D
  int OptionE = 1;
  std::vector<TVertex> Vertices;
  std::vector<int> ArcFlags;  // level 3 and up; empty: all clear
  std::string Arcs;           // the arc runs and items, in order
};

// One polygon record (after its attribute run) at a level.
std::string PolygonRecord(int level, const TPolygonText& p) {
  std::string text = "word " + p.Options + "\n";
  if (level >= 3) text += "word 9\n";
  if (level >= 7) text += "word " + std::to_string(p.OptionE) + "\n";
  text += "coord 111mil 222mil\n";
  if (level >= 9) text += "coord 333mil 444mil\n";
  text += "word " + std::to_string(static_cast<int>(p.Vertices.size()) - 1) + "\n";
  for (const TVertex& v : p.Vertices)
    text += "coord " + std::to_string(v.X) + " " + std::to_string(v.Y) + "\n";
  if (level < 3) return text;
  for (size_t i = 0; i < p.Vertices.size(); ++i)
    text += (i < p.ArcFlags.size() && p.ArcFlags[i] ? "word 1\n" : "word 0\n");
  return text + p.Arcs;
}

// One arc item: centre, radius, the two angles, an ignored coordinate and
// word.
std::string ArcItem(int cx, int cy, int r, const std::string& start, const std::string& end) {
  return "coord " + std::to_string(cx) + " " + std::to_string(cy) + " " + std::to_string(r) +
         "\nreal " + start + "\nreal " + end + "\ncoord 77\nword 77\n";
}

struct TArc {
  int CenterX, CenterY, Radius;
  double Start, End;
};

// One outline entry as the host holds it, unpacked (the packed record's
// fields must not be bound to references).
struct TSegment {
  int Kind;
  int32_t SegX, SegY;
  TArc Arc;
};

// The outline entries the host holds for an object.
std::vector<TSegment> Segments(const morvik::TObject& object) {
  const std::optional<morvik::TValue> field = object.Value("Segments");
  if (!field) return {};
  const auto& bytes = std::get<std::vector<uint8_t>>(*field);
  std::vector<TSegment> segments;
  for (size_t at = 0; at + sizeof(pcb9::TPolySegment) <= bytes.size();
       at += sizeof(pcb9::TPolySegment)) {
    pcb9::TPolySegment s;
    std::memcpy(&s, bytes.data() + at, sizeof s);
    segments.push_back({s.SegKind,
                        s.SegX,
                        s.SegY,
                        {s.SegCenterX, s.SegCenterY, s.SegRadius, s.SegStartAngle, s.SegEndAngle}});
  }
  return segments;
}

void ExpectArc(const TSegment& s, const TArc& a) {
  EXPECT_EQ(s.Kind, 1);
  EXPECT_EQ(s.Arc.CenterX, a.CenterX);
  EXPECT_EQ(s.Arc.CenterY, a.CenterY);
  EXPECT_EQ(s.Arc.Radius, a.Radius);
  EXPECT_EQ(s.Arc.Start, a.Start);
  EXPECT_EQ(s.Arc.End, a.End);
}

// A second polygon, with one vertex, after the one under test: it is read
// in step only when the first record was read exactly.
const TPolygonText kFollower = {"0 0 0 0", 1, {{90000, 990000}}, {}, ""};

std::string Group(int level, const TPolygonText& first) {
  return "\"G\"\n" + PolygonRecord(level, first) + PolygonRecord(level, kFollower);
}

// Imports the group and returns the polygons on the board; the follower is
// checked here.
std::vector<const morvik::TObject*> ImportPolygons(int level, const TPolygonText& first) {
  TImportRunner runner;
  EXPECT_TRUE(runner.Import(BoardAtLevel(level, Group(level, first))));
  auto polygons = BoardMembersOfKind(kKindPolygon);
  EXPECT_EQ(polygons.size(), 2u);
  if (polygons.size() == 2) {
    auto follower = Segments(*polygons[1]);
    EXPECT_EQ(polygons[1]->Int("SegmentCount"), 0);
    EXPECT_TRUE(follower.size() == 1 && follower[0].SegX == 90000 && follower[0].SegY == 990000);
  }
  return polygons;
}

const std::vector<TVertex> kSquare = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};

struct TOutlineCase {
  const char* Name;
  int Level;
  TPolygonText Text;
  // Entries with arc data: index and arc.
  std::vector<std::pair<int, TArc>> Arcs;
};

class PolygonOutlineTest : public THostFixture,
                           public ::testing::WithParamInterface<TOutlineCase> {};

TEST_P(PolygonOutlineTest, ReadsTheOutline) {
  const TOutlineCase& c = GetParam();
  auto polygons = ImportPolygons(c.Level, c.Text);
  ASSERT_EQ(polygons.size(), 2u);
  const int last = static_cast<int>(c.Text.Vertices.size()) - 1;
  EXPECT_EQ(polygons[0]->Int("SegmentCount"), last);
  auto segments = Segments(*polygons[0]);
  ASSERT_EQ(segments.size(), c.Text.Vertices.size());
  for (int i = 0; i <= last; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(segments[i].SegX, c.Text.Vertices[i].X);
    EXPECT_EQ(segments[i].SegY, c.Text.Vertices[i].Y);
    auto arc =
        std::find_if(c.Arcs.begin(), c.Arcs.end(), [i](const auto& a) { return a.first == i; });
    if (arc == c.Arcs.end())
      EXPECT_EQ(segments[i].Kind, 0);
    else
      ExpectArc(segments[i], arc->second);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outlines, PolygonOutlineTest,
    ::testing::Values(
        // Before level 3 there are no arc flags: all segments are straight.
        TOutlineCase{"StraightLevel2", 2, {"0 0 0 0", 1, kSquare, {}, ""}, {}},
        TOutlineCase{
            "StraightLevel0", 0, {"0 0 0 0", 1, {{-50000, 70000}, {30000, 0}}, {}, ""}, {}},
        // The arc after flag a[2] belongs to entry 1; a[0] is never used.
        TOutlineCase{"ArcLevel3",
                     3,
                     {"0 0 0 0", 1, kSquare, {1, 0, 1, 0, 0}, ArcItem(5, 6, 7, "10", "80.5")},
                     {{1, {5, 6, 7, 10, 80.5}}}},
        TOutlineCase{"ArcsWithTheirAttributeRunsLevel9",
                     9,
                     {"0 0 0 0",
                      1,
                      kSquare,
                      {0, 1, 0, 0, 1},
                      "attr 4 1\nattr 45 0\n" + ArcItem(1, 2, 3, "90", "90") + "attr 44 2\n" +
                          ArcItem(4, 5, 6, "270", "0")},
                     // Equal angles: a full circle; an end at 0: 360.
                     {{0, {1, 2, 3, 0, 360}}, {3, {4, 5, 6, 270, 360}}}},
        TOutlineCase{"NoVertices", 8, {"0 0 0 0", 1, {}, {}, ""}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(THostFixture, HeaderByLevel) {
  struct TCase {
    int Level;
    int OptionE;
    int64_t Flag3, Value3;
  };
  // Option E is a word from level 7 on and true before; value 3 comes at
  // level 9 only.
  for (const TCase& c : {TCase{6, 0, 1, 0}, TCase{7, 0, 0, 0}, TCase{7, 5, 1, 0}, TCase{8, 0, 0, 0},
                         TCase{9, 1, 1, 3330000}}) {
    SCOPED_TRACE(c.Level);
    ResetHost();
    auto polygons = ImportPolygons(c.Level, {"1 0 0 2", c.OptionE, kSquare, {}, ""});
    ASSERT_EQ(polygons.size(), 2u);
    const morvik::TObject& p = *polygons[0];
    EXPECT_EQ(p.Int("PolygonFlag1"), 1);
    EXPECT_EQ(p.Int("PolygonFlag2"), 1);
    EXPECT_EQ(p.Int("PolygonFlag3"), c.Flag3);
    EXPECT_EQ(p.Int("PolygonValue1"), 1110000);
    EXPECT_EQ(p.Int("PolygonValue2"), 2220000);
    EXPECT_EQ(p.Int("PolygonValue3"), c.Value3);
    EXPECT_EQ(p.Int("Flags"), 0);
  }
}

TEST_F(THostFixture, PolygonModeFromOptionsBAndC) {
  struct TCase {
    const char* Options;  // A B C D
    int64_t Mode;
  };
  for (const TCase& c :
       {TCase{"0 1 1 0", 0}, TCase{"0 0 7 0", 2}, TCase{"0 -1 0 0", 3}, TCase{"0 0 0 0", 4}}) {
    SCOPED_TRACE(c.Options);
    ResetHost();
    auto polygons = ImportPolygons(8, {c.Options, 1, kSquare, {}, ""});
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0]->Int("PolygonMode"), c.Mode);
  }
}

// Polygons and split planes share one numbering; an outline on an internal
// plane is a split plane.
TEST_F(THostFixture, SplitPlanesAndPolygonsAreNumberedTogether) {
  TImportRunner runner;
  ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(
      8, "\"G\"\nattr 6 1\nattr 5 3\n" + PolygonRecord(8, {"0 0 0 0", 1, kSquare, {}, ""}) +
             "attr 6 24\n" +
             PolygonRecord(8, {"0 0 0 0", 1, kSquare, {0, 0, 1}, ArcItem(1, 2, 3, "0", "90")}) +
             "attr 6 16\nattr 5 -1\n" + PolygonRecord(8, kFollower)), 3));
  auto polygons = BoardMembersOfKind(kKindPolygon);
  auto planes = BoardMembersOfKind(kKindSplitPlane);
  ASSERT_EQ(polygons.size(), 2u);
  ASSERT_EQ(planes.size(), 1u);
  EXPECT_EQ(polygons[0]->Int("Index"), 1);
  EXPECT_EQ(planes[0]->Int("Index"), 2);
  EXPECT_EQ(polygons[1]->Int("Index"), 3);
  EXPECT_EQ(polygons[0]->Int("Layer"), 1);
  EXPECT_EQ(planes[0]->Int("Layer"), 40);  // InternalPlane2
  EXPECT_EQ(polygons[1]->Int("Layer"), 32);
  EXPECT_EQ(polygons[0]->Int("Net"), 3);
  EXPECT_EQ(planes[0]->Int("Net"), 3);
  EXPECT_EQ(polygons[1]->Int("Net"), 0xFFFFFFFF);
  EXPECT_EQ(planes[0]->Int("SegmentCount"), 4);
  auto segments = Segments(*planes[0]);
  ASSERT_EQ(segments.size(), 5u);
  ExpectArc(segments[1], {1, 2, 3, 0, 90});
  EXPECT_EQ(segments[4].SegX, 0);
  EXPECT_EQ(segments[4].SegY, 0);
}

// The polygon's net and layer are those before its record; attribute runs
// inside it take effect for later records.
TEST_F(THostFixture, AttributesInsideARecordApplyToLaterPolygons) {
  TImportRunner runner;
  ASSERT_TRUE(runner.ImportUnlinked(BoardAtLevel(
      8, "\"G\"\nattr 5 2\nattr 6 1\n" +
             PolygonRecord(8, {"0 0 0 0",
                               1,
                               kSquare,
                               {0, 1},
                               "attr 5 7\nattr 6 16\n" + ArcItem(1, 2, 3, "0", "90")}) +
             PolygonRecord(8, kFollower)), 2));
  auto polygons = BoardMembersOfKind(kKindPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0]->Int("Net"), 2);
  EXPECT_EQ(polygons[0]->Int("Layer"), 1);
  EXPECT_EQ(polygons[1]->Int("Net"), 7);
  EXPECT_EQ(polygons[1]->Int("Layer"), 32);
}

// Esc confirmed at the first arc of a polygon: that record is still read to
// its end (its second arc and its attribute run included) and added; the
// next polygon is not read.
TEST_F(THostFixture, AbortAtAnArcCompletesThePolygon) {
  NEED_SESSION_QUEUE();
  Session().SetAnswerYes(true);
  Session().PostMessage({nullptr, pcb9::platform::kMsgKeyDown, pcb9::platform::kKeyEscape, 0});
  const TPolygonText polygon = {"0 0 0 0", 1, kSquare, {0, 1, 0, 0, 1},
                                ArcItem(1, 2, 3, "0", "90") + "attr 5 7\nattr 45 0\n" +
                                    ArcItem(4, 5, 6, "90", "180")};
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(BoardAtLevel(8, Group(8, polygon))));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "Confirm Abort Process");
  auto polygons = BoardMembersOfKind(kKindPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  auto segments = Segments(*polygons[0]);
  ASSERT_EQ(segments.size(), 5u);
  ExpectArc(segments[0], {1, 2, 3, 0, 90});
  ExpectArc(segments[3], {4, 5, 6, 90, 180});
}

// The host keeps outline entries 0..5000. A longer outline keeps its first
// 5001 vertices and their arcs; the rest of the record is read and dropped,
// so the next polygon is read in step.
TEST_F(THostFixture, OutlinesBeyondTheHostsEntriesAreCut) {
  for (int last : {5000, 5001}) {
    SCOPED_TRACE(last);
    ResetHost();
    TPolygonText p;
    for (int i = 0; i <= last; ++i) p.Vertices.push_back({i, -i});
    // Arcs on the last kept entry and on the last entry read.
    p.ArcFlags.assign(p.Vertices.size(), 0);
    p.ArcFlags[5000] = 1;
    p.ArcFlags[last] = 1;
    p.Arcs = ArcItem(1, 1, 1, "0", "45");
    if (last > 5000) p.Arcs += ArcItem(2, 2, 2, "0", "45");
    auto polygons = ImportPolygons(8, p);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0]->Int("SegmentCount"), 5000);
    auto segments = Segments(*polygons[0]);
    ASSERT_EQ(segments.size(), 5001u);
    EXPECT_EQ(segments[5000].SegX, 5000);
    EXPECT_EQ(segments[5000].SegY, -5000);
    ExpectArc(segments[4999], {1, 1, 1, 0, 45});
    if (last > 5000)
      ExpectArc(segments[5000], {2, 2, 2, 0, 45});
    else
      EXPECT_EQ(segments[5000].Kind, 0);
  }
}

}  // namespace
}  // namespace pcb9test
