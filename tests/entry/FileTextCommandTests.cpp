// Text from a file stays text where pcb9-host puts it: a UTF-8 file name
// reaches every output unchanged, and control characters from a file's
// header, from the importer's messages or from a file's name reach the
// terminal as '?', one line per row.
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

using pcb9test::ReadFileBytes;
using pcb9test::TChildOutcome;

TChildOutcome Host(std::vector<std::string> args) {
  args.insert(args.begin(), pcb9test::BinPath("pcb9-host"));
  return pcb9test::RunProgram(args);
}

// The version 2.70 example: a component side assumed, so the import writes
// a report beside the board and says so in a message.
const std::string kReportingBoard = std::string(PCB9_BIN_DIR) + "/../examples/level8-v270.PCB";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void ExpectNoControlCharacters(const std::string& printed) {
  for (const char c : printed) {
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    EXPECT_FALSE(control && c != '\n') << int(c) << printed;
  }
}

class FileTextCommand : public ::testing::Test {
 protected:
  pcb9test::TTempDir Dir;
};

TEST_F(FileTextCommand, Utf8FileNameReachesEveryOutputUnchanged) {
  const std::string folder = Dir.File("Pr\xC3\xBC" "fungen");
  std::filesystem::create_directory(folder);
  const std::string stem = folder + "/Pr\xC3\xBC" "fung";
  const std::string board = stem + ".PCB", report = stem + ".rpt", json = stem + ".json",
                    svg = stem + ".svg", kicad = stem + ".kicad_pcb";
  std::filesystem::copy_file(kReportingBoard, board);
  const TChildOutcome run =
      Host({"import", board, "--answer", "no", "--json", json, "--svg", svg, "--kicad", kicad});
  ASSERT_EQ(run.ExitCode, 0) << run.Out << run.Err;

  const nlohmann::json dump = nlohmann::json::parse(ReadFileBytes(json));
  EXPECT_EQ(dump["objects"][0]["BoardInfo"]["2"], board);
  EXPECT_EQ(dump["progress"]["caption"], "Loading " + board + " (Binary 2.7)");
  ASSERT_EQ(dump["reports"].size(), 1u);
  EXPECT_EQ(dump["reports"][0]["name"], report);
  EXPECT_EQ(dump["kicad"]["path"], kicad);
  ASSERT_EQ(dump["messages"].size(), 1u);
  EXPECT_EQ(dump["messages"][0]["text"],
            "Pr\xC3\xBC" "fung.PCB: some of the components' layers in this\r\nOrvane PCB Binary 2.7 file "
            "could not be determined.\r\nPlease review the report file Pr\xC3\xBC" "fung.rpt for more "
            "information.");
  // The report is where the dump says, and names the board as given.
  EXPECT_NE(ReadFileBytes(report).find("\r\nPCB File : Pr\xC3\xBC" "fung.PCB\r\n"), std::string::npos);
  EXPECT_NE(ReadFileBytes(svg).find("<title>" + board + "</title>"), std::string::npos);

  EXPECT_NE(run.Out.find("File:       " + board + "\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Report written: " + report + "\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("JSON:       " + json + "\n"), std::string::npos) << run.Out;
  // The message's own line breaks start indented lines.
  EXPECT_NE(run.Out.find("Message:    [Information] Pr\xC3\xBC" "fung.PCB: some of the components' "
                         "layers in this\n            Orvane PCB Binary 2.7 file could not be "
                         "determined.\n            Please review the report file Pr\xC3\xBC" "fung.rpt "
                         "for more information. (ok)\n"),
            std::string::npos)
      << run.Out;
}

// A damaged file whose name holds an escape sequence and a line break: the
// summary names it on one line. The corruption message holds the name too;
// its line breaks cannot be told from the message's own, so the rest of it
// goes on an indented line, which no field of the summary starts with.
TEST_F(FileTextCommand, SummaryPrintsNamesAndMessagesAsText) {
  const std::string file = Dir.Write("bad\x1b[2J\r\nname.PCB", "PCB FILE 9 VERSION 2.80\nnot tokens\n");
  const TChildOutcome run = Host({"import", file});
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  ExpectNoControlCharacters(run.Out);
  ExpectNoControlCharacters(run.Err);
  EXPECT_NE(run.Out.find("File:       " + Dir.File("bad?[2J??name.PCB") + "\n"), std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("Message:    [Import] File Corruption: " + Dir.File("bad?[2J") +
                         "\n            name.PCB (ok)\n"),
            std::string::npos)
      << run.Out;
}

// The batch table: a header naming its version with escape sequences, and
// a board whose name (and so its report's) holds one; a row per file.
TEST_F(FileTextCommand, BatchTableRowsHoldNoControlCharacters) {
  const std::string header = Dir.File("header.PCB");
  pcb9::tokenasm::WriteBytesFile(header, pcb9::tokenasm::AssembleText(R"(
"PCB FILE 9 VERSION \x1b[31m2.80\x1b]0;owned\x07"
long 0 0 0 0 0 0 0 0 0 0
end
)"));
  const std::string named = Dir.Write("r\x1b[2J.PCB", ReadFileBytes(kReportingBoard));
  const TChildOutcome run =
      Host({"import", header, named, "--answer", "no", "--out-dir", Dir.File("out")});
  ExpectNoControlCharacters(run.Out);
  ExpectNoControlCharacters(run.Err);
  const std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 3u) << run.Out;
  EXPECT_EQ(lines[1].rfind(header + "  ", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find("  ?[31m2.80?]0;owned?  "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].rfind(Dir.File("r?[2J.PCB") + "  ", 0), 0u) << lines[2];
  EXPECT_NE(lines[2].find("  r?[2J.rpt  "), std::string::npos) << lines[2];
}

// Error lines and the recognise answer name the file as text too.
TEST_F(FileTextCommand, ErrorLinesAndAnswersNameFilesAsText) {
  const std::string notes = Dir.Write("notes\x1b[2J.txt", "notes\n");
  const TChildOutcome recognise = Host({"recognise", notes});
  EXPECT_EQ(recognise.ExitCode, 1);
  EXPECT_EQ(recognise.Out, Dir.File("notes?[2J.txt") + ": not recognised\n");
  const TChildOutcome import = Host({"import", Dir.File("missing\r\n\x1b[2J.PCB")});
  EXPECT_EQ(import.ExitCode, 2);
  ExpectNoControlCharacters(import.Err);
  EXPECT_NE(import.Err.find("pcb9-host: cannot read " + Dir.File("missing???[2J.PCB") + ": no such file\n"),
            std::string::npos)
      << import.Err;
}

}  // namespace
