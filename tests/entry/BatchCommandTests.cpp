// pcb9-host import with several files: each into its own new board in one
// process, D/NAME.json for each, one table and the worst exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace {

using pcb9test::TChildOutcome;

TChildOutcome Host(std::vector<std::string> args) {
  args.insert(args.begin(), pcb9test::BinPath("pcb9-host"));
  return pcb9test::RunProgram(args);
}

std::string Example(const std::string& name) {
  return std::string(PCB9_BIN_DIR) + "/../examples/" + name;
}

nlohmann::json ReadJson(const std::string& path) {
  return nlohmann::json::parse(pcb9test::ReadFileBytes(path), nullptr, false);
}

// The table's rows by file, each a list of its cells split at runs of two
// or more spaces (cells hold single spaces).
std::vector<std::vector<std::string>> TableRows(const std::string& out) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    size_t at = 0;
    while (at < line.size()) {
      size_t gap = line.find("  ", at);
      cells.push_back(line.substr(at, gap - at));
      if (gap == std::string::npos) break;
      at = line.find_first_not_of(' ', gap);
    }
    rows.push_back(cells);
  }
  return rows;
}

class BatchCommand : public ::testing::Test {
 protected:
  pcb9test::TTempDir Dir;
  std::string Out = Dir.File("out");
};

struct TRow {
  std::string File, Level, Result, Rules, Report, Messages, Objects;
};

// Every example board, a damaged and an unrecognised file: every good file
// imported, one table, the worst code 1 (a false import).
TEST_F(BatchCommand, ExampleBoardsWithADamagedAndAnUnrecognisedFile) {
  const std::string damaged = Dir.Write("damaged.PCB", "PCB FILE 9 VERSION 2.80\nnot tokens\n");
  const std::string notes = Dir.Write("notes.txt", "notes\n");
  const std::string smallBoard =
      "Arc 1, Board 1, Component 2, Fill 1, Net 3, Pad 5, Polygon 1, Text 5, Track 10, Via 1";
  const std::vector<TRow> expected = {
      {Example("board.PCB"), "2.80", "true", "35", "-", "-",
       "Arc 4, Board 1, Component 6, Coordinate 1, Dimension 1, Fill 1, Net 7, Pad 20, Polygon 1, "
       "SplitPlane 1, Text 17, Track 28, Via 2"},
      {Example("level8-v270.PCB"), "2.70", "true", "24", "level8-v270.rpt", "Information",
       "Arc 1, Board 1, Component 3, Fill 1, Net 3, Pad 6, Polygon 1, Text 7, Track 10, Via 1"},
      {damaged, "-", "false", "4", "-", "Import", "Board 1"},
      {Example("level5-v240.PCB"), "2.40", "true", "25", "-", "-", smallBoard},
      {notes, "-", "not recognised", "4", "-", "-", "Board 1"},
      {Example("level3-v220.PCB"), "2.20", "true", "25", "-", "-", smallBoard},
      {Example("legacy-v110.PCB"), "1.10", "true", "25", "-", "-", smallBoard},
  };
  std::vector<std::string> args = {"import"};
  for (const TRow& row : expected) args.push_back(row.File);
  args.insert(args.end(), {"--out-dir", Out});
  const TChildOutcome run = Host(args);
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  const auto rows = TableRows(run.Out);
  ASSERT_EQ(rows.size(), expected.size() + 1) << run.Out;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"FILE", "LEVEL", "RESULT", "RULES", "REPORT",
                                                "MESSAGES", "OBJECTS"}));
  for (size_t i = 0; i < expected.size(); ++i) {
    const TRow& want = expected[i];
    ASSERT_EQ(rows[i + 1].size(), 7u) << run.Out;
    EXPECT_EQ(rows[i + 1][0], want.File);
    EXPECT_EQ(rows[i + 1][1], want.Level) << want.File;
    EXPECT_EQ(rows[i + 1][2], want.Result) << want.File;
    EXPECT_EQ(rows[i + 1][3], want.Rules) << want.File;
    EXPECT_EQ(rows[i + 1][4], want.Report) << want.File;
    EXPECT_EQ(rows[i + 1][5], want.Messages) << want.File;
    EXPECT_EQ(rows[i + 1][6], want.Objects) << want.File;
    // Each file's dump is of its own board alone.
    const std::string name = std::filesystem::path(want.File).stem().string();
    const nlohmann::json dump = ReadJson(Out + "/" + name + ".json");
    ASSERT_TRUE(dump.is_object()) << name;
    EXPECT_EQ(dump["result"], want.Result == "not recognised" ? nlohmann::json(nullptr)
                                                              : nlohmann::json(want.Result == "true"));
    EXPECT_EQ(dump["messages"].size(), want.Messages == "-" ? 0u : 1u) << name;
  }
  EXPECT_NE(run.Err.find(notes + " is not a file this importer reads"), std::string::npos) << run.Err;
}

// An unreadable file is an error (code 2) and stops nothing.
TEST_F(BatchCommand, UnreadableFileGivesCodeTwoAndTheOthersAreImported) {
  const TChildOutcome run =
      Host({"import", Dir.File("missing.PCB"), Example("board.PCB"), "--out-dir", Out});
  EXPECT_EQ(run.ExitCode, 2) << run.Out << run.Err;
  const auto rows = TableRows(run.Out);
  ASSERT_EQ(rows.size(), 3u) << run.Out;
  EXPECT_EQ(rows[1][2], "unreadable");
  EXPECT_EQ(rows[2][2], "true");
  EXPECT_EQ(ReadJson(Out + "/board.json")["result"], true);
  EXPECT_NE(run.Err.find("cannot read " + Dir.File("missing.PCB") + ": no such file"),
            std::string::npos)
      << run.Err;
}

// Files of one base name get numbered outputs, and the same file imported
// twice in one process gives equal dumps.
TEST_F(BatchCommand, SameBaseNamesGetNumberedOutputsAndRepeatedImportsAreEqual) {
  std::filesystem::create_directory(Dir.File("other"));
  pcb9::tokenasm::WriteBytesFile(Dir.File("other/board.PCB"), pcb9::tokenasm::AssembleText(R"(
"PCB FILE 9 VERSION 2.10"
long 0 0 0 0 0 0 0 0 0 0
end
)"));
  const std::string board = Example("board.PCB");
  const TChildOutcome run =
      Host({"import", board, Dir.File("other/board.PCB"), board, "--out-dir", Out});
  EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  const nlohmann::json first = ReadJson(Out + "/board.json");
  const nlohmann::json other = ReadJson(Out + "/board-2.json");
  const nlohmann::json again = ReadJson(Out + "/board-3.json");
  ASSERT_TRUE(first.is_object() && other.is_object() && again.is_object());
  // Each board is named after its place in D, so that its report lands
  // beside its dump; otherwise the two imports of one file are equal.
  EXPECT_EQ(other["objects"][0]["BoardInfo"]["2"], Out + "/board-2.PCB");
  nlohmann::json firstUnnamed = first, againUnnamed = again;
  EXPECT_EQ(firstUnnamed["objects"][0]["BoardInfo"]["2"], Out + "/board.PCB");
  EXPECT_EQ(againUnnamed["objects"][0]["BoardInfo"]["2"], Out + "/board-3.PCB");
  firstUnnamed["objects"][0]["BoardInfo"]["2"] = againUnnamed["objects"][0]["BoardInfo"]["2"] = "";
  EXPECT_EQ(firstUnnamed, againUnnamed);
  const auto rows = TableRows(run.Out);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[2][1], "2.10");
}

// An output that cannot be written is an error of its file.
TEST_F(BatchCommand, UnwritableOutputIsAnError) {
  const std::string blocked = Dir.Write("out", "a file where the folder should be");
  const TChildOutcome run = Host({"import", Example("board.PCB"), "--out-dir", blocked});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err.rfind("pcb9-host: cannot make the folder " + blocked, 0), 0u) << run.Err;

  std::filesystem::create_directories(Dir.File("d/board.json"));  // a folder in the JSON's place
  const TChildOutcome inside =
      Host({"import", Example("board.PCB"), Example("level3-v220.PCB"), "--out-dir", Dir.File("d")});
  EXPECT_EQ(inside.ExitCode, 2) << inside.Out << inside.Err;
  const auto rows = TableRows(inside.Out);
  ASSERT_EQ(rows.size(), 3u) << inside.Out;
  EXPECT_EQ(rows[1][2], "true (JSON not written)");
  EXPECT_EQ(rows[2][2], "true");
  EXPECT_TRUE(ReadJson(Dir.File("d/level3-v220.json")).is_object());
}

}  // namespace
