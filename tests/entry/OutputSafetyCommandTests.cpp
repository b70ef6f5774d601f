// What pcb9-host writes, and what it leaves alone: outputs that are an
// input or each other are refused before anything is written, links and
// special files in an output's place are refused, a batch writes inside
// its folder only, a report that cannot be written says why, and a writer
// that fails leaves no part of its file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/Child.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using pcb9test::TChildOutcome;

TChildOutcome Host(std::vector<std::string> args, const std::function<void()>& prepare = {}) {
  args.insert(args.begin(), pcb9test::BinPath("pcb9-host"));
  return pcb9test::RunProgram(args, prepare);
}

std::string Example(const std::string& name) {
  return std::string(PCB9_BIN_DIR) + "/../examples/" + name;
}

// Every entry under the folder: a file's bytes, a link's target, "<dir>".
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string name = fs::relative(it->path(), root).string();
    if (it->is_symlink())
      tree[name] = "-> " + fs::read_symlink(it->path()).string();
    else if (it->is_directory())
      tree[name] = "<dir>";
    else
      tree[name] = pcb9test::ReadFileBytes(it->path().string());
  }
  return tree;
}

class OutputSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(Example("level8-v270.PCB"), Dir.File("b.PCB"));  // writes a report
  }
  pcb9test::TTempDir Dir;
};

struct TRefusedCase {
  const char* What;
  std::function<void(const pcb9test::TTempDir&)> Make;
  std::vector<std::string> Args;  // file names in the test's folder, with a leading '@'
  const char* Complaint;          // with '@' for the folder
};

void PrintTo(const TRefusedCase& c, std::ostream* os) { *os << c.What; }

std::string InDir(const pcb9test::TTempDir& dir, const std::string& text) {
  std::string out;
  for (char c : text) out += c == '@' ? dir.Path().string() + "/" : std::string(1, c);
  return out;
}

const TRefusedCase kRefused[] = {
    {"the board by another spelling", [](const auto&) {}, {"import", "@b.PCB", "--json", "@./b.PCB"},
     "--json @./b.PCB is @b.PCB, a file being imported"},
    {"a hard link to the board",
     [](const auto& d) { fs::create_hard_link(d.File("b.PCB"), d.File("hard.PCB")); },
     {"import", "@b.PCB", "--svg", "@hard.PCB"},
     "--svg @hard.PCB is @b.PCB, a file being imported"},
    {"a symbolic link to the board",
     [](const auto& d) { fs::create_symlink(d.File("b.PCB"), d.File("soft.json")); },
     {"import", "@b.PCB", "--json", "@soft.json"},
     "--json @soft.json is @b.PCB, a file being imported"},
    {"two outputs in one new file",
     [](const auto& d) { fs::create_directory(d.File("sub")); },
     {"import", "@b.PCB", "--kicad", "@sub/../x", "--json", "@x"},
     "--kicad @sub/../x and --json @x are the same file"},
    {"two outputs in one existing file", [](const auto& d) { d.Write("x", "old"); },
     {"import", "@b.PCB", "--svg", "@x", "--kicad", "@./x"},
     "--svg @x and --kicad @./x are the same file"},
    {"a batch output over another board of the batch",
     [](const auto& d) {
       fs::create_directory(d.File("D"));
       fs::copy_file(d.File("b.PCB"), d.File("D/b.json"));
     },
     {"import", "@b.PCB", "@D/b.json", "--out-dir", "@D"},
     "@D/b.json (the JSON of @b.PCB) is @D/b.json, a file being imported"},
};

class RefusedRun : public OutputSafety, public ::testing::WithParamInterface<TRefusedCase> {};

// One line, code 2, and not a byte changed anywhere.
TEST_P(RefusedRun, WritesNothing) {
  const TRefusedCase& c = GetParam();
  c.Make(Dir);
  const auto before = Tree(Dir.Path());
  std::vector<std::string> args;
  for (const std::string& arg : c.Args) args.push_back(InDir(Dir, arg));
  const TChildOutcome run = Host(args);
  EXPECT_EQ(run.ExitCode, 2) << c.What;
  EXPECT_EQ(run.Err, "pcb9-host: " + InDir(Dir, c.Complaint) + "; nothing was written\n");
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(Tree(Dir.Path()), before) << c.What;
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedRun, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

struct TLinkCase {
  const char* What;
  const char* Link;  // the place the link takes
  std::vector<std::string> Args;
  int ExitCode;
  const char* Says;  // in the output (standard output and error)
};

void PrintTo(const TLinkCase& c, std::ostream* os) { *os << c.What; }

const TLinkCase kLinks[] = {
    {"the report", "b.rpt", {"import", "@b.PCB", "--answer", "no"}, 1,
     "Message:    [Error] Cannot write the component report @b.rpt: it is a symbolic link, which "
     "is not followed (ok)"},
    {"the JSON", "out.json", {"import", "@b.PCB", "--json", "@out.json"}, 2,
     "pcb9-host: cannot write @out.json: it is a symbolic link, which is not followed"},
    {"a batch output", "D/b.svg", {"import", "@b.PCB", "@b.PCB", "--out-dir", "@D", "--svg"}, 2,
     "pcb9-host: cannot write @D/b.svg: it is a symbolic link, which is not followed"},
};

class LinkInPlace : public OutputSafety, public ::testing::WithParamInterface<TLinkCase> {};

// The link is refused, its target keeps its bytes, the link stays a link.
TEST_P(LinkInPlace, IsRefusedAndItsTargetKept) {
  const TLinkCase& c = GetParam();
  fs::create_directory(Dir.File("D"));
  const std::string target = Dir.Write("target", "the user's own file");
  fs::create_symlink(target, Dir.File(c.Link));
  std::vector<std::string> args;
  for (const std::string& arg : c.Args) args.push_back(InDir(Dir, arg));
  const TChildOutcome run = Host(args);
  EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Out << run.Err;
  EXPECT_NE((run.Out + run.Err).find(InDir(Dir, c.Says)), std::string::npos) << run.Out << run.Err;
  EXPECT_EQ(pcb9test::ReadFileBytes(target), "the user's own file");
  EXPECT_TRUE(fs::is_symlink(Dir.File(c.Link)));
}

INSTANTIATE_TEST_SUITE_P(Places, LinkInPlace, ::testing::ValuesIn(kLinks),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// With --out-dir everything lands in D, each board's report beside its
// JSON under the board's name in D; nothing outside D changes. The file
// whose name was changed to avoid a clash says where its outputs went.
TEST_F(OutputSafety, ABatchWritesInsideItsFolderOnly) {
  fs::create_directories(Dir.File("in/a"));
  fs::create_directories(Dir.File("in/c"));
  fs::rename(Dir.File("b.PCB"), Dir.File("in/a/b.PCB"));
  fs::copy_file(Dir.File("in/a/b.PCB"), Dir.File("in/c/B.PCB"));
  fs::copy_file(Dir.File("in/a/b.PCB"), Dir.File("in/x.rpt"));  // a board named like a report
  const auto inputs = Tree(Dir.File("in"));
  const std::string d = Dir.File("D");
  const TChildOutcome run = Host({"import", Dir.File("in/a/b.PCB"), Dir.File("in/c/B.PCB"),
                                  Dir.File("in/x.rpt"), "--out-dir", d, "--svg", "--answer", "no"});
  EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  EXPECT_EQ(Tree(Dir.File("in")), inputs);
  std::vector<std::string> written;
  for (const auto& [name, content] : Tree(Dir.Path())) written.push_back(name);
  EXPECT_EQ(written, (std::vector<std::string>{"D", "D/B-2.json", "D/B-2.rpt", "D/B-2.svg",
                                                "D/b.json", "D/b.rpt", "D/b.svg", "D/x.json",
                                                "D/x.rpt", "D/x.svg", "in", "in/a", "in/a/b.PCB",
                                                "in/c", "in/c/B.PCB", "in/x.rpt"}));
  const nlohmann::json dump = nlohmann::json::parse(pcb9test::ReadFileBytes(d + "/B-2.json"));
  EXPECT_EQ(dump["objects"][0]["BoardInfo"]["2"], d + "/B-2.PCB");
  ASSERT_EQ(dump["reports"].size(), 1u);
  EXPECT_EQ(dump["reports"][0]["name"], d + "/B-2.rpt");
  EXPECT_NE(run.Out.find(Dir.File("in/c/B.PCB") + " (outputs " + d + "/B-2.*)  2.70"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(pcb9test::ReadFileBytes(d + "/x.rpt").find("PCB File : x.rpt\r\n"), std::string::npos);
}

// Without --out-dir a batch writes each board's report beside its file and
// nothing else; a report that would land on another board of the batch is
// refused with its reason.
TEST_F(OutputSafety, ABatchWithoutAFolderWritesOnlyTheReports) {
  fs::copy_file(Dir.File("b.PCB"), Dir.File("b.rpt"));  // the next board, where b's report goes
  const auto before = Tree(Dir.Path());
  const TChildOutcome run =
      Host({"import", Dir.File("b.PCB"), Dir.File("b.rpt"), "--answer", "no", "--test-mode"});
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  EXPECT_EQ(Tree(Dir.Path()), before);
  EXPECT_EQ(run.Out.find("ShowDialogWithCaption withError Cannot write the component report " +
                         Dir.File("b.rpt") + ": it is another board file of this run\n"),
            0u)
      << run.Out;
  fs::remove(Dir.File("b.rpt"));
  const TChildOutcome alone = Host({"import", Dir.File("b.PCB"), Dir.File("b.PCB"), "--answer", "no"});
  EXPECT_EQ(alone.ExitCode, 0) << alone.Out << alone.Err;
  std::vector<std::string> names;
  for (const auto& [name, content] : Tree(Dir.Path())) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"b.PCB", "b.rpt"}));
}

// The board named like its report: the host refuses the report's stream,
// the import says why and fails, and the board keeps every byte. In test
// mode the line goes to standard output and the run goes on to its dump.
TEST_F(OutputSafety, ABoardNamedLikeItsReportIsNotOverwritten) {
  fs::rename(Dir.File("b.PCB"), Dir.File("x.rpt"));
  const std::string board = pcb9test::ReadFileBytes(Dir.File("x.rpt"));
  const std::string message =
      "Cannot write the component report " + Dir.File("x.rpt") + ": it is the board file being imported";
  const TChildOutcome run = Host({"import", Dir.File("x.rpt"), "--json", Dir.File("x.json")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Message:    [Error] " + message + " (ok)\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Result:     false"), std::string::npos);
  const nlohmann::json dump = nlohmann::json::parse(pcb9test::ReadFileBytes(Dir.File("x.json")));
  EXPECT_EQ(dump["messages"].back()["text"], message);
  EXPECT_EQ(dump["reports"], nlohmann::json::array());
  EXPECT_EQ(pcb9test::ReadFileBytes(Dir.File("x.rpt")), board);

  const TChildOutcome testMode =
      Host({"import", Dir.File("x.rpt"), "--test-mode", "--json", Dir.File("t.json")});
  EXPECT_EQ(testMode.ExitCode, 1);
  EXPECT_EQ(testMode.Out.rfind("ShowDialogWithCaption withError " + message + "\nFile:", 0), 0u)
      << testMode.Out;
  EXPECT_TRUE(fs::exists(Dir.File("t.json")));
  EXPECT_EQ(pcb9test::ReadFileBytes(Dir.File("x.rpt")), board);
}

// An output asked for where the report goes: the report is refused, the
// output written.
TEST_F(OutputSafety, TheReportIsNotWrittenWhereAnOutputGoes) {
  const TChildOutcome run = Host({"import", Dir.File("b.PCB"), "--json", Dir.File("b.rpt")});
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("Cannot write the component report " + Dir.File("b.rpt") +
                         ": it is an output file of this run"),
            std::string::npos)
      << run.Out;
  EXPECT_TRUE(nlohmann::json::parse(pcb9test::ReadFileBytes(Dir.File("b.rpt"))).is_object());
}

// A folder the user may not write into: the system's reason reaches the
// user. Run as an unprivileged user, for whom permissions hold.
TEST_F(OutputSafety, AReportInAReadOnlyFolderSaysWhy) {
  fs::create_directory(Dir.File("ro"));
  fs::rename(Dir.File("b.PCB"), Dir.File("ro/b.PCB"));
  fs::permissions(Dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(Dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const TChildOutcome run = Host({"import", Dir.File("ro/b.PCB")}, pcb9test::DropRoot);
  fs::permissions(Dir.File("ro"), fs::perms::owner_all);
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("Message:    [Error] Cannot write the component report " +
                         Dir.File("ro/b.rpt") + ": Permission denied (ok)\n"),
            std::string::npos)
      << run.Out;
  EXPECT_FALSE(fs::exists(Dir.File("ro/b.rpt")));
}

// A writer the system stops part-way (the file size limit) leaves no part
// of its output under the output's name, and no temporary file.
TEST_F(OutputSafety, AFailedOutputLeavesNoPartOfItself) {
  fs::create_directory(Dir.File("out"));
  const TChildOutcome run =
      Host({"import", Example("board.PCB"), "--json", Dir.File("out/board.json")}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
      });
  EXPECT_EQ(run.ExitCode, 2) << run.Out << run.Err;
  EXPECT_NE(run.Err.find("pcb9-host: cannot write " + Dir.File("out/board.json") + ": File too large"),
            std::string::npos)
      << run.Err;
  EXPECT_NE(run.Out.find("JSON:       not written"), std::string::npos) << run.Out;
  EXPECT_TRUE(fs::is_empty(Dir.File("out")));
}

}  // namespace
