// pcb9-host as users run it: the commands, their exit codes, the summary and
// the JSON dump.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace {

using pcb9test::RunProgram;
using pcb9test::TChildOutcome;

TChildOutcome Host(std::vector<std::string> args) {
  args.insert(args.begin(), pcb9test::BinPath("pcb9-host"));
  return RunProgram(args);
}

nlohmann::json ReadJson(const std::string& path) {
  return nlohmann::json::parse(pcb9test::ReadFileBytes(path), nullptr, false);
}

class HostCommand : public ::testing::Test {
 protected:
  pcb9test::TTempDir Dir;
};

TEST_F(HostCommand, DescribeAndRecognise) {
  const auto describe = Host({"describe"});
  EXPECT_EQ(describe.ExitCode, 0);
  EXPECT_EQ(describe.Out, "Orvane RER 2.8 Binary File (*.PCB)\n");
  const std::string board = Dir.Write("a.PCB", "PCB FILE 9 VERSION 2.10\n");
  EXPECT_EQ(Host({"recognise", board}).ExitCode, 0);
  const std::string notes = Dir.Write("notes.txt", "notes\n");
  const auto no = Host({"recognise", notes});
  EXPECT_EQ(no.ExitCode, 1);
  EXPECT_EQ(no.Out, notes + ": not recognised\n");
}

TEST_F(HostCommand, TextFileWithTheHeaderTextFailsWithTheCorruptionMessage) {
  const std::string file = Dir.Write("text.PCB", "PCB FILE 9 VERSION 2.80\nnot tokens\n");
  const std::string json = Dir.File("dump.json");
  const auto run = Host({"import", file, "--json", json});
  EXPECT_NE(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("Result:     false"), std::string::npos) << run.Out;
  const nlohmann::json dump = ReadJson(json);
  ASSERT_TRUE(dump.is_object()) << pcb9test::ReadFileBytes(json);
  EXPECT_EQ(dump["recognised"], true);
  EXPECT_EQ(dump["result"], false);
  EXPECT_EQ(dump["description"], "Orvane RER 2.8 Binary File (*.PCB)");
  EXPECT_EQ(dump["board"], 1);
  const nlohmann::json message = {{"caption", "Import"},
                                  {"text", "File Corruption: " + file},
                                  {"icon", "warning"},
                                  {"buttons", "ok"},
                                  {"answer", "ok"},
                                  {"owner", "editor"}};
  EXPECT_EQ(dump["messages"], nlohmann::json::array({message}));
  EXPECT_EQ(dump["progress"]["finished"], 1);
  EXPECT_EQ(dump["dialog"], nullptr);
  EXPECT_EQ(dump["commands"], nlohmann::json::array());
  EXPECT_EQ(dump["host_errors"], nlohmann::json::array());
  EXPECT_EQ(dump["reports"], nlohmann::json::array());
  ASSERT_TRUE(dump["objects"].is_array());
  EXPECT_EQ(dump["objects"][0]["kind"], "Board");
}

// Names are 8-bit text: the dump reads each byte as a Latin-1 character.
TEST_F(HostCommand, EightBitFileNamesAreDumpedAsLatin1) {
  const std::string file = Dir.Write("caf\xE9.PCB", "PCB FILE 9\n");
  const std::string json = Dir.File("dump.json");
  EXPECT_EQ(Host({"import", file, "--json", json}).ExitCode, 1);
  const nlohmann::json dump = ReadJson(json);
  ASSERT_EQ(dump["messages"].size(), 1u);
  const std::string utf8Name = file.substr(0, file.size() - 5) + "\xC3\xA9.PCB";
  EXPECT_EQ(dump["messages"][0]["text"], "File Corruption: " + utf8Name);
  EXPECT_EQ(dump["progress"]["caption"], "Loading " + utf8Name + " (Binary 1.1)");
}

TEST_F(HostCommand, UnreadableFilesAreNamedAndStillDumped) {
  std::filesystem::create_directory(Dir.File("folder.PCB"));
  for (const auto& [name, reason] : {std::pair{"missing.PCB", "no such file"},
                                     std::pair{"folder.PCB", "it is a folder"}}) {
    const std::string json = Dir.File(std::string(name) + ".json");
    const auto run = Host({"import", Dir.File(name), "--json", json});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find("cannot read " + Dir.File(name) + ": " + reason), std::string::npos)
        << run.Err;
    const nlohmann::json dump = ReadJson(json);
    EXPECT_EQ(dump["recognised"], false);
    EXPECT_EQ(dump["result"], nullptr);
  }
}

TEST_F(HostCommand, UnrecognisedFileIsNotImported) {
  const std::string file = Dir.Write("notes.txt", "notes\n");
  const std::string json = Dir.File("dump.json");
  const auto run = Host({"import", file, "--json", json});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("is not a file this importer reads"), std::string::npos) << run.Err;
  const nlohmann::json dump = ReadJson(json);
  EXPECT_EQ(dump["recognised"], false);
  EXPECT_EQ(dump["result"], nullptr);
  EXPECT_EQ(dump["progress"]["finished"], 0);
}

// Three tracks, one progress step each.
constexpr const char* kThreeTracks = R"(
  "PCB FILE 9 VERSION 2.80"
  long 0 3 0 0 0 0 0 0 0 0
  "TH"
  attr 6 1
  attr 7 10mil
  coord 100mil 300mil 50mil
  word 0 0
  coord 100mil 300mil 80mil
  word 0 0
  coord 100mil 300mil 90mil
  word 0 0
  end
)";

struct TEscCase {
  const char* Answer;
  int ExitCode;
  bool Result;
  size_t Tracks;
};

class HostEscape : public HostCommand, public ::testing::WithParamInterface<TEscCase> {};

TEST_P(HostEscape, AfterTheFirstTrackAsksToConfirmTheAbort) {
  const TEscCase& c = GetParam();
  const std::string file = Dir.File("tracks.PCB");
  pcb9::tokenasm::WriteBytesFile(file, pcb9::tokenasm::AssembleText(kThreeTracks));
  const std::string json = Dir.File("dump.json");
  const auto run = Host({"import", file, "--json", json, "--esc-after", "1", "--answer", c.Answer});
  EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Out << run.Err;
  const nlohmann::json dump = ReadJson(json);
  EXPECT_EQ(dump["result"], c.Result);
  const nlohmann::json question = {{"caption", "Confirm"}, {"text", "Confirm Abort Process"},
                                   {"icon", "none"},       {"buttons", "yesno"},
                                   {"answer", c.Answer},   {"owner", "desktop"}};
  EXPECT_EQ(dump["messages"], nlohmann::json::array({question}));
  size_t tracks = 0;
  for (const nlohmann::json& object : dump["objects"])
    if (object["kind"] == "Track" && object["deleted"] == false) ++tracks;
  EXPECT_EQ(tracks, c.Tracks);
  EXPECT_EQ(dump["progress"]["finished"], 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, HostEscape,
                         ::testing::Values(TEscCase{"yes", 1, false, 1}, TEscCase{"no", 0, true, 3}));

// The board is named after the file as given, relative or not, so that a
// report written beside "the board's file" lands beside the imported file.
// A sound import leaves no refused calls; the dialog options are accepted
// whether or not a dialog comes up.
TEST_F(HostCommand, BoardIsNamedAfterTheFileAsGiven) {
  std::filesystem::create_directory(Dir.File("old"));
  pcb9::tokenasm::WriteBytesFile(Dir.File("old/board.PCB"), pcb9::tokenasm::AssembleText(kThreeTracks));
  const std::string host = pcb9test::BinPath("pcb9-host");
  const std::string dir = Dir.Path().string();
  const auto run = pcb9test::RunInChild([&] {
    if (chdir(dir.c_str()) != 0) return 99;
    execl(host.c_str(), host.c_str(), "import", "old/board.PCB", "--json", "dump.json",
          "--dialog-uncheck", "RoutingTrackWidthCheckbox", "--dialog-uncheck",
          "SolderMaskCheckBox", static_cast<char*>(nullptr));
    return 98;
  });
  EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  const nlohmann::json dump = ReadJson(Dir.File("dump.json"));
  ASSERT_TRUE(dump.is_object());
  EXPECT_EQ(dump["objects"][0]["BoardInfo"]["2"], "old/board.PCB");
  EXPECT_EQ(dump["host_errors"], nlohmann::json::array());
  // Built after every complete load; shown only when a family is large.
  EXPECT_EQ(dump["dialog"]["shown"], false);
}

// The dump says what it is of: the file as given, its header's version, the
// level the importer read it at (an unknown version at 1.10's), the unit.
struct TFileKeysCase {
  const char* Name;
  std::string Bytes;
  nlohmann::json Version, FormatLevel;
};

TEST_F(HostCommand, DumpNamesItsFileVersionLevelAndUnits) {
  const auto tracks = [](const std::string& header) {
    std::string text = kThreeTracks;
    text.replace(text.find("PCB FILE 9 VERSION 2.80"), 23, header);
    const std::vector<uint8_t> bytes = pcb9::tokenasm::AssembleText(text);
    return std::string(bytes.begin(), bytes.end());
  };
  const TFileKeysCase cases[] = {
      {"known.PCB", tracks("PCB FILE 9 VERSION 2.80"), "2.80", 9},
      {"lower.PCB", tracks("pcb file 9 version 2.20"), "2.20", 3},
      {"unknown.PCB", tracks("PCB FILE 9 VERSION 3.00"), "3.00", 0},
      {"text.PCB", "PCB FILE 9 VERSION 2.80\nnot tokens\n", nullptr, 0},
      {"notes.txt", "notes\n", nullptr, nullptr},
  };
  for (const TFileKeysCase& c : cases) {
    const std::string file = Dir.Write(c.Name, c.Bytes);
    const std::string json = Dir.File(std::string(c.Name) + ".json");
    Host({"import", file, "--json", json});
    const nlohmann::json dump = ReadJson(json);
    ASSERT_TRUE(dump.is_object()) << c.Name;
    EXPECT_EQ(dump["file"], file) << c.Name;
    EXPECT_EQ(dump["version"], c.Version) << c.Name;
    EXPECT_EQ(dump["format_level"], c.FormatLevel) << c.Name;
    EXPECT_EQ(dump["units"], "1/10000 mil") << c.Name;
  }
}

TEST_F(HostCommand, BadUsageAndAMissingPlugInFail) {
  EXPECT_NE(Host({}).ExitCode, 0);
  EXPECT_NE(Host({"import", Dir.File("x.PCB"), "--dialog-uncheck"}).ExitCode, 0);
  EXPECT_NE(Host({"import", Dir.File("x.PCB"), "--answer", "maybe"}).ExitCode, 0);
  EXPECT_NE(Host({"import", Dir.File("x.PCB"), "--esc-after", "0"}).ExitCode, 0);
  const auto noPlugin = Host({"--plugin", Dir.File("none.so"), "describe"});
  EXPECT_EQ(noPlugin.ExitCode, 2);
  EXPECT_NE(noPlugin.Err.find("cannot load the plug-in"), std::string::npos) << noPlugin.Err;
}

}  // namespace
