// Names KiCad reads back as the board meant them: every net a name of its
// own after all renaming, and footprint names that are no library links.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "KicadNames.h"

namespace pcb9test {
namespace {

using namespace pcb9host::kicad;
using namespace std::string_literals;

struct TNamingCase {
  const char* What;
  std::vector<std::string> Names;  // in file order; net numbers from 1
  std::vector<std::string> Kicad;
};

TEST(KicadNames, EveryNetKeepsANameOfItsOwn) {
  const TNamingCase cases[] = {
      {"plain names stay", {"GND", "VCC"}, {"GND", "VCC"}},
      {"a duplicate's suffix is an earlier net's name", {"X-3", "X", "X"}, {"X-3", "X", "X-3-2"}},
      {"a duplicate's suffix is a later net's name", {"X", "X", "X-2"}, {"X", "X-2-2", "X-2"}},
      {"three of one name", {"X", "X", "X"}, {"X", "X-2", "X-3"}},
      {"empty names, one name taken", {"", "", "Net-1"}, {"Net-1-2", "Net-2", "Net-1"}},
      {"a NUL would cut the name", {"A\0B"s, "A", "A?B"}, {"A?B", "A", "A?B-3"}},
      {"control characters", {"esc\x1B[1m\r\n", "tab\tx"}, {"esc?[1m??", "tab?x"}},
      {"quotes stay", {"q\"1", "q\"1"}, {"q\"1", "q\"1-2"}},
  };
  for (const TNamingCase& c : cases) {
    std::vector<THostNet> nets;
    for (size_t i = 0; i < c.Names.size(); ++i) nets.push_back({c.Names[i], static_cast<int64_t>(i + 1)});
    pcb9host::TKicadReport report;
    const std::vector<std::string> names = KicadNetNames(nets, report);
    EXPECT_EQ(names, c.Kicad) << c.What;
    const std::set<std::string> distinct(names.begin(), names.end());
    EXPECT_EQ(distinct.size(), names.size()) << c.What;
    EXPECT_FALSE(distinct.contains("")) << c.What;
  }
}

TEST(KicadNames, RenamingsAreNoted) {
  pcb9host::TKicadReport report;
  KicadNetNames({{"X", 1}, {"X", 2}, {"", 3}, {"a\0"s, 4}}, report);
  std::set<std::string> things;
  for (const pcb9host::TKicadNote& note : report.Notes()) things.insert(note.Thing);
  EXPECT_EQ(things, (std::set<std::string>{"net whose name another net has", "net without a name",
                                           "net name with control characters"}));
}

TEST(KicadNames, APatternWithAColonIsNoLibraryLink) {
  pcb9host::TKicadReport report;
  EXPECT_EQ(FootprintName("DIP8", report), "DIP8");
  EXPECT_TRUE(report.Notes().empty());
  EXPECT_EQ(FootprintName("lib:part:x", report), "lib_part_x");
  ASSERT_EQ(report.Notes().size(), 1u);
  EXPECT_EQ(report.Notes()[0].Thing, "component pattern with ':'");
}

}  // namespace
}  // namespace pcb9test
