// The numbers and texts of the KiCad writer: exact millimetres from host
// units, reals without binary noise, and quoting KiCad reads back.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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
      {"tab\tline\nend\r", "\"tab\\tline\\nend\\r\""},
      {std::string("bell\x07") + '\0', "\"bell\\x07\\x00\""},
      {"\x7F", "\"\\x7f\""},
      {"caf\xE9", "\"caf\xC3\xA9\""},  // Latin-1 in, UTF-8 out
      {"(paren) ;x", "\"(paren) ;x\""},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(Quoted(text), quoted) << text;
}

TEST(KicadFormat, WriterNestsListsWithTheirAtoms) {
  std::string out;
  TSexprWriter w(out);
  w.Open("kicad_pcb").Open("net").Int(1).Text("A B").Close();
  w.Open("segment").Point("start", 0, -2540000).Open("layer").Text("F.Cu").Close().Close();
  EXPECT_EQ(w.Depth(), 1);
  w.Close();
  EXPECT_EQ(w.Depth(), 0);
  EXPECT_EQ(out,
            "(kicad_pcb\n  (net 1 \"A B\")\n  (segment\n    (start 0 -2.54)\n    (layer \"F.Cu\")))\n");
}

}  // namespace
}  // namespace pcb9test
