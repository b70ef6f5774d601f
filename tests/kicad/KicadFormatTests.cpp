// The numbers and texts of the KiCad writer: exact millimetres from host
// units, reals without binary noise, and quoting KiCad reads back.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "KicadContext.h"
#include "KicadFormat.h"

namespace pcb9test {
namespace {

using namespace pcb9host::kicad;

struct TLengthCase {
  int64_t Units;
  const char* Mm;
};

TEST(KicadFormat, LengthsAreExactMillimetres) {
  const TLengthCase cases[] = {
      {0, "0"},
      {10000, "0.0254"},            // 1 mil
      {1000000, "2.54"},            // 100 mil
      {-1000000, "-2.54"},
      {1, "0.000003"},              // 2.54 nm, half away from zero
      {-1, "-0.000003"},
      {2, "0.000005"},              // 5.08 nm
      {5000, "0.0127"},
      {393701, "1.000001"},         // 1000000.54 nm
      {2147483647, "5454.608463"},  // the largest coordinate
      {-2147483648LL, "-5454.608466"},
  };
  for (const TLengthCase& c : cases)
    EXPECT_EQ(NmText(UnitsToNm(c.Units)), c.Mm) << c.Units;
}

TEST(KicadFormat, RealsHaveSixDecimalsAtMostAndNoNegativeZero) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},          {90, "90"},           {45.5, "45.5"},
      {-22.25, "-22.25"}, {0.1 + 0.2, "0.3"}, {1e-7, "0"},
      {-1e-7, "0"},      {0.292893, "0.292893"},
      {std::numeric_limits<double>::quiet_NaN(), "0"},
      {std::numeric_limits<double>::infinity(), "0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(RealText(value), text) << value;
}

TEST(KicadFormat, TextsAreQuotedWithEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"GND", "\"GND\""},
      {"", "\"\""},
      {"a\"b", "\"a\\\"b\""},
      {"back\\slash", "\"back\\\\slash\""},
      // KiCad cuts a text at a NUL; no control character is written.
      {"tab\tline\nend\r", "\"tab?line?end?\""},
      {std::string("bell\x07") + '\0' + "x", "\"bell??x\""},
      {"\x1B[2J\x7F", "\"?[2J?\""},
      {"caf\xE9", "\"caf\xC3\xA9\""},  // Latin-1 in, UTF-8 out
      {"(paren) ;x", "\"(paren) ;x\""},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(Quoted(text), quoted) << text;
}

TEST(KicadFormat, WriterNestsListsWithTheirAtoms) {
  std::ostringstream text;
  TSexprWriter w(text);
  w.Open("kicad_pcb").Open("net").Int(1).Text("A B").Close();
  w.Open("segment").Point("start", 0, -2540000).Open("layer").Text("F.Cu").Close().Close();
  EXPECT_EQ(w.Depth(), 1);
  w.Close();
  EXPECT_EQ(w.Depth(), 0);
  w.Flush();
  EXPECT_EQ(text.str(),
            "(kicad_pcb\n  (net 1 \"A B\")\n  (segment\n    (start 0 -2.54)\n    (layer \"F.Cu\")))\n");
}

// How far a piece of an arc of `radius` host units turning `turn` degrees
// strays from it, in millimetres.
double StrayMm(double radius, double turn) {
  return radius * 2.54e-6 * (1 - std::cos(turn / 2 * std::numbers::pi / 180));
}

TEST(KicadFormat, OutlineArcsTakeAsFewPiecesAsKeepWithinAFiftiethOfAMillimetre) {
  // A whole circle: a big one in 5 degree pieces, a tiny one left out.
  EXPECT_EQ(OutlineArcPieces(1e9, 360), 72);
  EXPECT_EQ(OutlineArcPieces(5000, 360), 1);    // half a mil: the diameter is 0.0254 mm
  EXPECT_EQ(OutlineArcPieces(10000, 360), 2);   // 1 mil: two halves stray 0.0254 mm
  EXPECT_EQ(OutlineArcPieces(1000000, 360), 16);  // 100 mil: 22.5 degrees stray 0.049 mm
  EXPECT_EQ(OutlineArcPieces(1000000, 90), 4);
  // Against counting up from one piece: the fewest that keep within
  // 0.05 mm, but never more than 5 degree pieces make.
  for (double radius : {1.0, 9843.0, 19685.0, 200000.0, 1e6, 1e7, 2.05e7, 2.1e7, 2.147e9})
    for (double sweep : {0.5, 4.9, 5.1, 45.0, 90.0, 179.0, 181.0, 359.99, 360.0}) {
      const int finest = static_cast<int>(std::ceil(sweep / 5));
      int fewest = 1;
      while (fewest < finest && StrayMm(radius, sweep / fewest) > 0.05) ++fewest;
      EXPECT_EQ(OutlineArcPieces(radius, sweep), fewest) << radius << " " << sweep;
    }
}

TEST(KicadFormat, AnOutlinesArcsAddAtMostTheirShareOfPoints) {
  // Few enough points: left as they are.
  std::vector<int> few = {0, 72, 1, 16};
  EXPECT_FALSE(ShareOutArcPieces(few, 100));
  EXPECT_EQ(few, (std::vector<int>{0, 72, 1, 16}));
  // 5000 whole circles in 5 degree pieces would add 355,000 points.
  std::vector<int> many(5000, 72);
  many.push_back(0);
  many.push_back(1);
  many.push_back(36);
  ASSERT_TRUE(ShareOutArcPieces(many, kMaxOutlineArcPoints));
  int64_t points = 0;
  for (int n : many) points += std::max(n - 1, 0);
  EXPECT_LE(points, kMaxOutlineArcPoints);
  EXPECT_GT(points, kMaxOutlineArcPoints - 5003);
  EXPECT_EQ(many[0], 4);  // 1 + 71 * 20000 / 355035
  EXPECT_EQ(many[5000], 0);
  EXPECT_EQ(many[5001], 1);
  EXPECT_EQ(many[5002], 2);
}

}  // namespace
}  // namespace pcb9test
