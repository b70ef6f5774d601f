// Owners named by number across record groups, from the file to the host:
// after a complete load every primitive belongs to the net, polygon,
// coordinate and dimension whose number it carries, whatever comes first in
// the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Kinds.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using namespace morvik;

std::string Net(const std::string& name) {
  return "\"N\"\n\"" + name + "\"\ncoord 10mil 50mil\nword 0 0\n\"\"\n\"\"\n\"\"\n\"\"\n" +
         "word 0 0 0\nword 0\nlong 0\nword 0\n";
}

// Primitives first, owners after them: numbers refer forward as well.
const char* const kBoard = R"(
"PCB FILE 9 VERSION 2.80"
long 0 15 0 0 0 0 0 0 0 0
"TH"
attr 6 1
attr 5 2
attr 53 2          # net 2 and coordinate 2
coord 0 10mil 0
word 0 0
attr 44 1          # polygon 1 wins over net 2
attr 53 3          # only two coordinates: none
coord 0 10mil 5mil
word 0 0
"A"
attr 5 1
attr 44 0
coord 0 0 5mil
real 0
real 90
coord 1mil
word 0
"F"
attr 44 1
coord 0 0 5mil 5mil
real 0
"P"
attr 6 34
attr 5 2
attr 13 60mil
attr 14 60mil
word 1 1 1
real 0
coord 0 0 0 0 0
word 0
"1"
"V"
attr 5 1
coord 0 0 0 0
word 0
"X"
attr 6 29
attr 53 1
attr 54 1
coord 0 0
real 0
coord 0 0 0 0
"W"
)";

const char* const kOwners = R"(
"G"
attr 5 1
attr 6 16
word 1 0 0 0 0 1
coord 0 0 0 0
word 2
coord 0 0 10mil 0 10mil 10mil
word 0 0 0
"R"
attr 6 29
coord 0 0 0
word 0
coord 0 0 0
word 0
coord 1mil 0 0
word 0
coord 0 0 0
word 0
"I"
coord 0 0 0 0 0
word 0
coord 0 0 0
word 0
end
)";

std::vector<uint32_t> Members(const TObject* group) {
  return group ? group->Lists.Members() : std::vector<uint32_t>{};
}

bool Holds(const TObject* group, const TObject* member) {
  const auto m = Members(group);
  return std::find(m.begin(), m.end(), member->Handle) != m.end();
}

TEST_F(THostFixture, PrimitivesJoinTheOwnersTheirNumbersName) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(kBoard + Net("A") + Net("B") + kOwners));
  const auto nets = BoardMembersOfKind(kKindNet);
  const auto polygons = BoardMembersOfKind(kKindPolygon);
  const auto coordinates = BoardMembersOfKind(kKindCoordinate);
  const auto dimensions = BoardMembersOfKind(kKindDimension);
  ASSERT_EQ(nets.size(), 2u);
  ASSERT_EQ(polygons.size(), 1u);
  ASSERT_EQ(coordinates.size(), 2u);
  ASSERT_EQ(dimensions.size(), 1u);
  const auto tracks = BoardMembersOfKind(kKindTrack);
  const auto arcs = BoardMembersOfKind(kKindArc);
  const auto fills = BoardMembersOfKind(kKindFill);
  const auto pads = BoardMembersOfKind(kKindPad);
  const auto vias = BoardMembersOfKind(kKindVia);
  const auto texts = BoardMembersOfKind(kKindText);
  ASSERT_EQ(tracks.size(), 2u);
  ASSERT_EQ(texts.size(), 1u);

  // Net and coordinate.
  EXPECT_EQ(tracks[0]->Int("Net"), nets[1]->Handle);
  EXPECT_TRUE(Holds(nets[1], tracks[0]));
  EXPECT_EQ(tracks[0]->Int("OwnerCoordinate"), coordinates[1]->Handle);
  EXPECT_TRUE(Holds(coordinates[1], tracks[0]));
  // Polygon wins; a coordinate number with no coordinate is none.
  EXPECT_EQ(tracks[1]->Int("OwnerPolygon"), polygons[0]->Handle);
  EXPECT_EQ(tracks[1]->Int("Net"), 0);
  EXPECT_TRUE(Holds(polygons[0], tracks[1]));
  EXPECT_FALSE(Holds(nets[1], tracks[1]));
  EXPECT_EQ(tracks[1]->Int("OwnerCoordinate"), 0);
  EXPECT_EQ(arcs[0]->Int("Net"), nets[0]->Handle);
  EXPECT_TRUE(Holds(nets[0], arcs[0]));
  EXPECT_TRUE(Holds(polygons[0], fills[0]));
  EXPECT_EQ(pads[0]->Int("Net"), nets[1]->Handle);
  EXPECT_TRUE(Holds(nets[1], pads[0]));
  EXPECT_EQ(vias[0]->Int("Net"), nets[0]->Handle);
  EXPECT_TRUE(Holds(nets[0], vias[0]));
  // The text belongs to the first coordinate and to the dimension.
  EXPECT_EQ(texts[0]->Int("OwnerCoordinate"), coordinates[0]->Handle);
  EXPECT_EQ(texts[0]->Int("OwnerDimension"), dimensions[0]->Handle);
  EXPECT_TRUE(Holds(coordinates[0], texts[0]));
  EXPECT_TRUE(Holds(dimensions[0], texts[0]));
  // The polygon takes its net's handle but does not join the net.
  EXPECT_EQ(polygons[0]->Int("Net"), nets[0]->Handle);
  EXPECT_FALSE(Holds(nets[0], polygons[0]));
}

}  // namespace
}  // namespace pcb9test
