// pcb9-host's command line as a new user meets it: each command's help, and
// one clear line with exit code 2 for every wrong argument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Child.h"
#include "support/TempDir.h"

namespace {

pcb9test::TChildOutcome Host(std::vector<std::string> args) {
  args.insert(args.begin(), pcb9test::BinPath("pcb9-host"));
  return pcb9test::RunProgram(args);
}

struct TWrongCase {
  std::vector<std::string> Args;
  const char* Says;  // part of the line
  const char* Help;  // the command whose help the line points to
};

class WrongArguments : public ::testing::TestWithParam<TWrongCase> {};

TEST_P(WrongArguments, GiveOneLineAndExitCodeTwo) {
  const TWrongCase& c = GetParam();
  const auto run = Host(c.Args);
  EXPECT_EQ(run.ExitCode, 2) << run.Err;
  EXPECT_EQ(run.Out, "");
  ASSERT_FALSE(run.Err.empty());
  EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
  EXPECT_EQ(run.Err.rfind("pcb9-host: ", 0), 0u) << run.Err;
  EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(std::string("(see pcb9-host ") + c.Help + "--help)"), std::string::npos)
      << run.Err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, WrongArguments,
    ::testing::Values(
        TWrongCase{{}, "give a command: describe, recognise or import", ""},
        TWrongCase{{"imprt", "a.PCB"}, "imprt is not a command", ""},
        TWrongCase{{"--plugin"}, "--plugin", ""},
        TWrongCase{{"--colour", "describe"}, "--colour", "describe "},
        TWrongCase{{"describe", "extra"}, "extra", "describe "},
        TWrongCase{{"recognise"}, "FILE is required", "recognise "},
        TWrongCase{{"import"}, "FILE is required", "import "},
        TWrongCase{{"import", "a.PCB", "--answer", "maybe"}, "--answer: maybe", "import "},
        TWrongCase{{"import", "a.PCB", "--esc-after", "0"}, "--esc-after", "import "},
        TWrongCase{{"import", "a.PCB", "--esc-after", "many"}, "--esc-after", "import "},
        TWrongCase{{"import", "a.PCB", "--dialog-uncheck"}, "--dialog-uncheck", "import "},
        TWrongCase{{"import", "a.PCB", "--bogus"}, "--bogus", "import "},
        // An output named by file is for a single import.
        TWrongCase{{"import", "a.PCB", "b.PCB", "--json", "out.json"}, "--json OUT", "import "},
        TWrongCase{{"import", "a.PCB", "--out-dir", "d", "--json", "x.json"}, "--json OUT", "import "},
        TWrongCase{{"import", "a.PCB", "--json"}, "--json needs a file name", "import "}));

TEST(CommandHelp, EveryCommandSaysWhatItDoesWithAnExampleAndTheExitCodes) {
  const std::vector<std::vector<std::string>> commands = {
      {"--help"}, {"describe", "--help"}, {"recognise", "--help"}, {"import", "--help"}};
  for (const auto& args : commands) {
    const auto run = Host(args);
    EXPECT_EQ(run.ExitCode, 0) << args[0];
    EXPECT_NE(run.Out.find("Usage: pcb9-host"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\n  pcb9-host " + (args.size() > 1 ? args[0] : std::string())),
              std::string::npos)
        << run.Out;
    for (const char* code : {"Exit codes:", "  0  ", "  1  ", "  2  "})
      EXPECT_NE(run.Out.find(code), std::string::npos) << code << '\n' << run.Out;
  }
  const auto import = Host({"import", "--help"});
  for (const char* option : {"--out-dir D", "--json OUT", "--answer", "--esc-after N", "--test-mode",
                             "--dialog-uncheck NAME", "Esc or Ctrl-C"})
    EXPECT_NE(import.Out.find(option), std::string::npos) << option;
}

// Errors that only show once the command runs are one line too.
TEST(CommandErrors, UnreadableFileAndMissingPlugInGiveOneLineAndCodeTwo) {
  pcb9test::TTempDir dir;
  const auto missing = Host({"recognise", dir.File("none.PCB")});
  EXPECT_EQ(missing.ExitCode, 2);
  EXPECT_EQ(missing.Err, "pcb9-host: cannot read " + dir.File("none.PCB") + ": no such file\n");
  const auto plugin = Host({"--plugin", dir.File("none.so"), "import", dir.File("a.PCB")});
  EXPECT_EQ(plugin.ExitCode, 2);
  EXPECT_EQ(plugin.Err.rfind("pcb9-host: cannot load the plug-in", 0), 0u) << plugin.Err;
  EXPECT_EQ(plugin.Err.find('\n'), plugin.Err.size() - 1) << plugin.Err;
}

}  // namespace
