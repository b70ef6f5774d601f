// The rule dialog and the component side report as a user of pcb9-host
// meets them: the three ways the host answers the dialog, test mode, and
// the report written beside the board with its message.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace {

using pcb9test::RunProgram;
using pcb9test::TChildOutcome;

// Twelve nets of twelve track widths: the width family makes 12 rules, more
// than the 10 that bring up the dialog; every other family makes at most 1.
std::string TwelveNets() {
  std::string text = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 12 0 0 0 0 0 0 0 0\n";
  for (int i = 1; i <= 12; ++i)
    text += "\"N\"\n\"NET" + std::to_string(i) + "\"\ncoord " + std::to_string(10 + i) +
            "mil 50mil\nword 0 0\n\"\"\n\"\"\n\"\"\n\"\"\nword 0 0 0\nword 0\nlong 0\nword 0\n";
  return text + "end\n";
}

class RuleDialogCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> bytes = pcb9::tokenasm::AssembleText(TwelveNets());
    Board = Dir.Write("nets.PCB", std::string(bytes.begin(), bytes.end()));
  }

  // Runs `pcb9-host import` on the board with the extra arguments, standard
  // input not a terminal; returns the dump.
  nlohmann::json Import(std::vector<std::string> extra) {
    std::vector<std::string> args = {pcb9test::BinPath("pcb9-host"), "import", Board, "--json",
                                     Dir.File("dump.json")};
    args.insert(args.end(), extra.begin(), extra.end());
    Run = RunProgram(args);
    return nlohmann::json::parse(pcb9test::ReadFileBytes(Dir.File("dump.json")), nullptr, false);
  }

  static nlohmann::json Box(const nlohmann::json& dump, const std::string& name) {
    for (const nlohmann::json& box : dump["dialog"]["checkboxes"])
      if (box["name"] == name) return box;
    return nullptr;
  }

  static std::vector<std::string> RuleNames(const nlohmann::json& dump, const std::string& kind) {
    std::vector<std::string> names;
    for (const nlohmann::json& o : dump["objects"])
      if (o["kind"] == "Rule" && !o["deleted"].get<bool>() && o["RuleKind"] == kind)
        names.push_back(o["RuleName"]);
    return names;
  }

  pcb9test::TTempDir Dir;
  std::string Board;
  TChildOutcome Run;
};

TEST_F(RuleDialogCommand, UncheckedBoxLeavesOnlyTheBoardWideRule) {
  const nlohmann::json dump = Import({"--dialog-uncheck", "RoutingTrackWidthCheckbox"});
  ASSERT_EQ(Run.ExitCode, 0) << Run.Out << Run.Err;
  EXPECT_EQ(dump["dialog"]["shown"], true);
  const nlohmann::json width = Box(dump, "RoutingTrackWidthCheckbox");
  EXPECT_EQ(width["caption"], "Create 12 routing track width rules");
  EXPECT_EQ(width["checked"], false);
  EXPECT_EQ(width["enabled"], true);
  // A family with nothing collected: disabled, still checked.
  const nlohmann::json solder = Box(dump, "SolderMaskCheckBox");
  EXPECT_EQ(solder["enabled"], false);
  EXPECT_EQ(solder["checked"], true);
  EXPECT_EQ(RuleNames(dump, "Width"), std::vector<std::string>{"Width"});
  EXPECT_EQ(RuleNames(dump, "RoutingVias"), std::vector<std::string>{"RoutingVias"});
  EXPECT_EQ(dump["host_errors"], nlohmann::json::array());
}

TEST_F(RuleDialogCommand, WithoutATerminalTheDialogIsTakenAsPrepared) {
  const nlohmann::json dump = Import({});
  ASSERT_EQ(Run.ExitCode, 0) << Run.Out << Run.Err;
  EXPECT_EQ(dump["dialog"]["shown"], true);
  EXPECT_EQ(Box(dump, "RoutingTrackWidthCheckbox")["checked"], true);
  // The board-wide rule carries the newest of the tied widths; every other
  // net gets its own rule.
  EXPECT_EQ(RuleNames(dump, "Width").size(), 12u);
  EXPECT_TRUE(dump["messages"].empty());
}

TEST_F(RuleDialogCommand, TestModeShowsNothingAndMakesEveryRule) {
  const nlohmann::json dump = Import({"--test-mode", "--dialog-uncheck", "RoutingTrackWidthCheckbox"});
  ASSERT_EQ(Run.ExitCode, 0) << Run.Out << Run.Err;
  EXPECT_EQ(dump["dialog"]["shown"], false);
  EXPECT_EQ(RuleNames(dump, "Width").size(), 12u);
  EXPECT_TRUE(dump["messages"].empty());
  EXPECT_EQ(Run.Out.find("ShowDialogWithCaption"), std::string::npos);
}

// The 2.70 example guesses component sides: its report lands beside the
// board, is listed in the dump and the summary, and the user is told.
TEST(ComponentReportCommand, ReportBesideTheBoardAndAnInformationBox) {
  pcb9test::TTempDir dir;
  const std::string board = dir.Write(
      "old.PCB", pcb9test::ReadFileBytes(std::string(PCB9_BIN_DIR) + "/../examples/level8-v270.PCB"));
  const TChildOutcome run = RunProgram(
      {pcb9test::BinPath("pcb9-host"), "import", board, "--json", dir.File("dump.json")});
  ASSERT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  const std::string report = dir.File("old.rpt");
  EXPECT_NE(run.Out.find("Report written: " + report), std::string::npos) << run.Out;
  const nlohmann::json dump =
      nlohmann::json::parse(pcb9test::ReadFileBytes(dir.File("dump.json")), nullptr, false);
  ASSERT_EQ(dump["reports"].size(), 1u);
  EXPECT_EQ(dump["reports"][0]["name"], report);
  EXPECT_EQ(dump["reports"][0]["text"], pcb9test::ReadFileBytes(report));
  ASSERT_EQ(dump["messages"].size(), 1u);
  const nlohmann::json& box = dump["messages"][0];
  EXPECT_EQ(box["caption"], "Information");
  EXPECT_EQ(box["icon"], "information");
  EXPECT_EQ(box["owner"], "desktop");
  EXPECT_EQ(box["text"],
            "old.PCB: some of the components' layers in this\r\nOrvane PCB Binary 2.7 file could "
            "not be determined.\r\nPlease review the report file old.rpt for more information.");
}

}  // namespace
