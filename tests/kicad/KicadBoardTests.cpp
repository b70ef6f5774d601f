// The boards as KiCad reads them: every example board (and small fixtures
// for what the examples lack) imported with --kicad and --json, then loaded
// by KiCad's own Python module and checked against the dump by
// check_board.py. KiCad must be installed: without it the checker fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Child.h"
#include "support/TempDir.h"

namespace pcb9test {
namespace {

const std::string kExamples = std::string(PCB9_BIN_DIR) + "/../examples/";
const std::string kChecker = std::string(PCB9_SOURCE_DIR) + "/tests/kicad/check_board.py";

// One net record of a version 2.80 file, its name as token text; a plane
// code of 23 to 26 ties it to an internal plane.
std::string NetRecord(const std::string& name, int planeCode = 0) {
  return "\"N\"\n" + name + R"(
coord 10mil 50mil
word 1 0
"NODES"
""
"CONNECTIONS"
""
word 0 0
word 0
word )" + std::to_string(planeCode) + R"(
long 0
word 0
)";
}

// A through-hole pad of net `net` (its number in the file) at x mils.
std::string PadRecord(int net, int x, const std::string& name) {
  return "attr 5 " + std::to_string(net) + "\nattr 24 " + std::to_string(x) +
         "mil\nattr 25 500mil\nword 1 1 1\nreal 0\ncoord 4mil 0 10mil 10mil 20mil\nword 4\n" + name + "\n";
}

// Net names KiCad would join: names the renaming of duplicates makes
// (X-3 X X; Y Y Y-5), a NUL and a control character that KiCad would cut or
// that would collide once replaced (A\0B, A, A?B), empty names and the name
// an empty one gets (Net-9), quotes, an escape sequence, and two nets of one
// name with the internal plane on the second. One component, pattern
// "lib:part", with a pad on every net (two on some), and a text with a NUL.
std::string HostileNetBoard() {
  const std::vector<std::pair<std::string, int>> nets = {
      {R"("X-3")", 0}, {R"("X")", 0},       {R"("X")", 0},       {R"("Y")", 0},
      {R"("Y")", 0},   {R"("Y-5")", 0},     {R"("A\x00B")", 0},  {R"("A")", 0},
      {R"("")", 0},    {R"("Net-9")", 0},   {R"("")", 0},        {R"("A?B")", 0},
      {R"("q\"1")", 0}, {R"("esc\x1B[31m\x0D\x0A")", 0}, {R"("P")", 0}, {R"("P")", 24}};
  std::string text = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 40 0 0 0 0 0 0 0 0\n";
  for (const auto& [name, plane] : nets) text += NetRecord(name, plane);
  text += R"("M"
"lib:part"
word 0
coord 1000mil 500mil
coord 0 0 0 0
word 1 0 0
word 1 0
real 0
word 1
attr 6 17
attr 28 60mil
attr 32 8mil
coord 1000mil 600mil
real 0
coord 0 0 0 0
"U\x001"
attr 6 17
attr 28 60mil
attr 32 8mil
coord 1000mil 400mil
real 0
coord 0 0 0 0
"V"
"p"
attr 6 34
attr 13 60mil
attr 14 60mil
attr 21 35mil
)";
  int x = 100;
  for (size_t n = 1; n <= nets.size(); ++n, x += 100) text += PadRecord(static_cast<int>(n), x, "\"" + std::to_string(n) + "\"");
  for (int n : {2, 3, 9, 16}) text += PadRecord(n, x += 100, "\"b" + std::to_string(n) + "\"");
  text += "\"E\"\n\"X\"\nattr 6 17\nattr 28 60mil\nattr 32 8mil\ncoord 100mil 100mil\nreal 0\ncoord 0 0 0 0\n"
          "\"cut\\x00here\"\nend\n";
  return text;
}
const std::string kHostileNetBoard = HostileNetBoard();

// A board beside the examples: hostile net names and texts, nets without a
// name, and a copper circle (which KiCad holds as two arcs).
const std::string kOddBoard = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 5 0 0 0 0 0 0 0 0\n" +
                              NetRecord(R"("Q\"1\\x\xE9")") + NetRecord("\"\"") + NetRecord("\"\"") + R"(
"A"
attr 6 1
attr 5 1
attr 4 0
attr 44 0
coord 500mil 500mil 100mil
real 90
real 90
coord 10mil
word 0
"X"
attr 6 17
attr 28 60mil
attr 32 8mil
attr 29 1
coord 100mil 100mil
real 0
coord 0 0 0 0
"tab\x09bell\x07 \"q\" back\\slash \xE9"
end
)";

// A board with nothing on it: two copper layers, no nets.
constexpr const char* kEmptyBoard = R"(
"PCB FILE 9 VERSION 2.80"
long 0 0 0 0 0 0 0 0 0 0
end
)";

struct TBoardCase {
  const char* Name;
  const char* Text;  // token text to assemble; null for an example board
};

class KicadBoard : public ::testing::TestWithParam<TBoardCase> {
 protected:
  // The board file to import: the example, or the fixture assembled.
  std::string Source() {
    if (!GetParam().Text) return kExamples + GetParam().Name + ".PCB";
    const std::string text = Dir.Write(std::string(GetParam().Name) + ".pcbt", GetParam().Text);
    const std::string board = Dir.File(std::string(GetParam().Name) + ".PCB");
    const TChildOutcome asm_ = RunProgram({BinPath("pcb9-asm"), "asm", text, "-o", board});
    EXPECT_EQ(asm_.ExitCode, 0) << asm_.Err;
    return board;
  }
  TTempDir Dir;
};

TEST_P(KicadBoard, LoadsInKicadAsTheDumpSays) {
  const std::string board = Dir.File("out.kicad_pcb"), dump = Dir.File("out.json");
  const TChildOutcome import = RunProgram(
      {BinPath("pcb9-host"), "import", Source(), "--test-mode", "--json", dump, "--kicad", board});
  ASSERT_EQ(import.ExitCode, 0) << import.Out << import.Err;
  EXPECT_NE(import.Out.find("KiCad:      " + board), std::string::npos) << import.Out;
  const auto json = nlohmann::json::parse(ReadFileBytes(dump));
  ASSERT_TRUE(json.contains("kicad"));
  EXPECT_EQ(json["kicad"]["path"], board);
  // KiCad's Python wants a home and no display.
  const TChildOutcome check = RunProgram({"/usr/bin/env", "-u", "DISPLAY", "HOME=" + Dir.Path().string(),
                                          "/usr/bin/python3", kChecker, board, dump});
  EXPECT_EQ(check.ExitCode, 0) << check.Out << check.Err;
  EXPECT_NE(check.Out.find(" passed, 0 failed"), std::string::npos) << check.Out;
}

INSTANTIATE_TEST_SUITE_P(All, KicadBoard,
                         ::testing::Values(TBoardCase{"board", nullptr}, TBoardCase{"legacy-v110", nullptr},
                                           TBoardCase{"level3-v220", nullptr},
                                           TBoardCase{"level5-v240", nullptr},
                                           TBoardCase{"level8-v270", nullptr},
                                           TBoardCase{"odd", kOddBoard.c_str()}, TBoardCase{"empty", kEmptyBoard},
                                           TBoardCase{"hostile_nets", kHostileNetBoard.c_str()}),
                         [](const auto& info) {
                           std::string name = info.param.Name;
                           for (char& ch : name)
                             if (ch == '-') ch = '_';
                           return name;
                         });

TEST(KicadExport, NotesWhatKicadCannotHoldInTheDumpAndOnTheTerminal) {
  TTempDir dir;
  const std::string board = dir.File("b.kicad_pcb"), dump = dir.File("b.json");
  const TChildOutcome import = RunProgram({BinPath("pcb9-host"), "import", kExamples + "board.PCB",
                                           "--test-mode", "--json", dump, "--kicad", board});
  ASSERT_EQ(import.ExitCode, 0) << import.Err;
  const auto report = nlohmann::json::parse(ReadFileBytes(dump))["kicad"];
  bool keepOut = false, planes = false;
  for (const auto& note : report["notes"]) {
    EXPECT_GT(note["count"].get<int>(), 0);
    keepOut = keepOut || note["thing"] == "objects on KeepOutLayer";
    planes = planes || note["thing"] == "internal plane";
    EXPECT_NE(import.Out.find("KiCad note: " + note["thing"].get<std::string>()), std::string::npos);
  }
  EXPECT_TRUE(keepOut && planes) << report.dump(2);
  // The rich board's split plane and GND plane need two inner layers.
  EXPECT_NE(ReadFileBytes(board).find("(2 \"In2.Cu\" power)"), std::string::npos);
  EXPECT_EQ(report["written"]["footprint"], 8);  // six components and two free pads
}

TEST(KicadExport, AnUnwritableTargetFailsTheRunAndSaysWhy) {
  TTempDir dir;
  const TChildOutcome import = RunProgram({BinPath("pcb9-host"), "import", kExamples + "board.PCB",
                                           "--test-mode", "--kicad", dir.Path().string()});
  EXPECT_EQ(import.ExitCode, 2);
  EXPECT_NE(import.Err.find("cannot write " + dir.Path().string() + ": it is a folder"),
            std::string::npos)
      << import.Err;
}

}  // namespace
}  // namespace pcb9test
