// pcb9-host on a terminal, as a user at the keyboard meets it: the progress
// line, Esc and Ctrl-C during the import asking "Confirm Abort Process" on
// the terminal, the rule dialog answered there while keys are watched, and
// the terminal's settings given back however the program ends. The host
// runs on a pseudo-terminal; keys are typed once the progress line shows,
// and the board is large enough that the import is still loading then.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace {

// Enough that the import is still running when a key typed at the first
// progress line arrives, with room to spare on a fast machine.
constexpr int kTracks = 100000;
// Only a guard against a hung child: no test waits this long when it passes.
constexpr int kGuardMs = 60000;

std::string ManyTracks() {
  std::string text = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 " + std::to_string(kTracks) +
                     " 0 0 0 0 0 0 0 0\n\"TH\"\nattr 6 1\nattr 7 10mil\n";
  for (int i = 0; i < kTracks; ++i)
    text += "coord 0 " + std::to_string(1000 + i) + " " + std::to_string(i) + "\nword 0 0\n";
  return text + "end\n";
}

// pcb9-host on a new pseudo-terminal: its standard input, output and error.
class TPtyHost {
 public:
  explicit TPtyHost(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {pcb9test::BinPath("pcb9-host")};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    std::fflush(nullptr);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 240;  // wide enough for the whole caption
    Pid_ = forkpty(&Master_, nullptr, nullptr, &size);
    if (Pid_ == 0) {
      execv(pointers[0], pointers.data());
      _exit(127);
    }
  }
  ~TPtyHost() {
    if (Pid_ > 0 && !Reaped_) {
      kill(Pid_, SIGKILL);
      waitpid(Pid_, nullptr, 0);
    }
    if (Master_ >= 0) close(Master_);
  }
  TPtyHost(const TPtyHost&) = delete;
  TPtyHost& operator=(const TPtyHost&) = delete;

  bool Started() const { return Pid_ > 0 && Master_ >= 0; }
  pid_t Pid() const { return Pid_; }
  const std::string& Seen() const { return Seen_; }

  // Reads until `text` shows after what earlier waits consumed; false at
  // the end of the output.
  bool WaitFor(const std::string& text) {
    for (;;) {
      const size_t at = Seen_.find(text, Consumed_);
      if (at != std::string::npos) {
        Consumed_ = at + text.size();
        return true;
      }
      if (!ReadMore()) return false;
    }
  }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(Master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Reads to the end, reaps the child and reads the terminal's settings as
  // the program left them.
  void Finish() {
    while (ReadMore()) {
    }
    if (waitpid(Pid_, &Status_, 0) == Pid_) Reaped_ = true;
    termios settings{};
    Restored_ = tcgetattr(Master_, &settings) == 0 && (settings.c_lflag & ICANON) &&
                (settings.c_lflag & ECHO);
  }
  int ExitCode() const { return Reaped_ && WIFEXITED(Status_) ? WEXITSTATUS(Status_) : -1; }
  int Signal() const { return Reaped_ && WIFSIGNALED(Status_) ? WTERMSIG(Status_) : 0; }
  // Line editing and echo are on again.
  bool TerminalRestored() const { return Restored_; }

 private:
  bool ReadMore() {
    pollfd p{Master_, POLLIN, 0};
    if (poll(&p, 1, kGuardMs) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(Master_, buffer, sizeof buffer);
    if (n <= 0) return false;  // EIO once the child has closed the terminal
    Seen_.append(buffer, static_cast<size_t>(n));
    return true;
  }

  int Master_ = -1;
  pid_t Pid_ = -1;
  bool Reaped_ = false;
  int Status_ = 0;
  bool Restored_ = false;
  std::string Seen_;
  size_t Consumed_ = 0;
};

class TerminalCommand : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir_ = new pcb9test::TTempDir;
    Board_ = Dir_->File("tracks.PCB");
    pcb9::tokenasm::WriteBytesFile(Board_, pcb9::tokenasm::AssembleText(ManyTracks()));
  }
  static void TearDownTestSuite() {
    delete Dir_;
    Dir_ = nullptr;
  }

  nlohmann::json Dump() const {
    return nlohmann::json::parse(pcb9test::ReadFileBytes(Json), nullptr, false);
  }
  static size_t Tracks(const nlohmann::json& dump) {
    size_t tracks = 0;
    for (const nlohmann::json& o : dump["objects"])
      if (o["kind"] == "Track" && o["deleted"] == false) ++tracks;
    return tracks;
  }

  static pcb9test::TTempDir* Dir_;
  static std::string Board_;
  pcb9test::TTempDir Out;
  std::string Json = Out.File("dump.json");
};

pcb9test::TTempDir* TerminalCommand::Dir_ = nullptr;
std::string TerminalCommand::Board_;

struct TKeyCase {
  const char* Name;
  const char* Keys;
  const char* Answer;  // typed at the question; null: no question is expected
  int ExitCode;
  bool Result;
  bool AllTracks;
};

class TerminalKeys : public TerminalCommand, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(TerminalKeys, DuringTheImportAskToConfirmTheAbortOnTheTerminal) {
  const TKeyCase& c = GetParam();
  TPtyHost host({"import", Board_, "--json", Json});
  ASSERT_TRUE(host.Started()) << std::strerror(errno);
  // The progress line: caption, bar, percentage, count.
  ASSERT_TRUE(host.WaitFor("Loading " + Board_ + " (Binary 2.8) [")) << host.Seen();
  ASSERT_TRUE(host.WaitFor("/" + std::to_string(kTracks))) << host.Seen();
  host.Type(c.Keys);
  if (c.Answer) {
    ASSERT_TRUE(host.WaitFor("Confirm: Confirm Abort Process\r\n")) << host.Seen();
    ASSERT_TRUE(host.WaitFor("Yes or No (y/n): ")) << host.Seen();
    host.Type(std::string(c.Answer) + "\n");
  }
  host.Finish();
  EXPECT_EQ(host.ExitCode(), c.ExitCode) << host.Seen();
  EXPECT_TRUE(host.TerminalRestored());
  const nlohmann::json dump = Dump();
  ASSERT_TRUE(dump.is_object()) << host.Seen();
  EXPECT_EQ(dump["result"], c.Result);
  const size_t tracks = Tracks(dump);
  if (c.AllTracks) {
    EXPECT_EQ(tracks, static_cast<size_t>(kTracks));
  } else {  // what was loaded before the abort stays
    EXPECT_GT(tracks, 0u);
    EXPECT_LT(tracks, static_cast<size_t>(kTracks));
  }
  if (c.Answer) {
    const nlohmann::json question = {{"caption", "Confirm"}, {"text", "Confirm Abort Process"},
                                     {"icon", "none"},       {"buttons", "yesno"},
                                     {"answer", c.Answer[0] == 'y' ? "yes" : "no"},
                                     {"owner", "desktop"}};
    EXPECT_EQ(dump["messages"], nlohmann::json::array({question}));
  } else {
    EXPECT_EQ(dump["messages"], nlohmann::json::array());
  }
  EXPECT_NE(host.Seen().find("Result:     " + std::string(c.Result ? "true" : "false")),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TerminalKeys,
    ::testing::Values(TKeyCase{"EscThenYes", "\x1b", "y", 1, false, false},
                      TKeyCase{"EscThenNo", "\x1b", "n", 0, true, true},
                      TKeyCase{"CtrlCThenYes", "\x03", "yes", 1, false, false},
                      // A cursor key sends Esc [ A: no question.
                      TKeyCase{"CursorKeyIsNoEsc", "\x1b[A", nullptr, 0, true, true}),
    [](const ::testing::TestParamInfo<TKeyCase>& info) { return info.param.Name; });

// A scripted user is the only user: the terminal's keys are not watched
// (Ctrl-C ends the program as usual) and nobody is asked.
TEST_F(TerminalCommand, WithAScriptedAnswerTheKeysAreNotWatched) {
  TPtyHost host({"import", Board_, "--json", Json, "--answer", "yes"});
  ASSERT_TRUE(host.Started());
  ASSERT_TRUE(host.WaitFor("/" + std::to_string(kTracks))) << host.Seen();
  host.Type("\x1b");
  host.Finish();
  EXPECT_EQ(host.ExitCode(), 0) << host.Seen();
  EXPECT_EQ(host.Seen().find("Yes or No"), std::string::npos) << host.Seen();
  EXPECT_EQ(Dump()["messages"], nlohmann::json::array());
  EXPECT_TRUE(host.TerminalRestored());
}

TEST_F(TerminalCommand, EndedBySignalTheTerminalIsRestored) {
  TPtyHost host({"import", Board_, "--json", Json});
  ASSERT_TRUE(host.Started());
  ASSERT_TRUE(host.WaitFor("/" + std::to_string(kTracks))) << host.Seen();
  kill(host.Pid(), SIGTERM);
  host.Finish();
  EXPECT_EQ(host.Signal(), SIGTERM) << host.Seen();
  EXPECT_TRUE(host.TerminalRestored());
}

// The keys are watched while the importer runs; its rule dialog still reads
// whole lines on the terminal, and the summary follows on a line of its own.
// Twelve nets of distinct widths: enough for the rule dialog to be shown.
std::string TwelveNetBoard(const pcb9test::TTempDir& dir) {
  std::string text = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 12 0 0 0 0 0 0 0 0\n";
  for (int i = 1; i <= 12; ++i)
    text += "\"N\"\n\"NET" + std::to_string(i) + "\"\ncoord " + std::to_string(10 + i) +
            "mil 50mil\nword 0 0\n\"\"\n\"\"\n\"\"\n\"\"\nword 0 0 0\nword 0\nlong 0\nword 0\n";
  const std::string board = dir.File("nets.PCB");
  pcb9::tokenasm::WriteBytesFile(board, pcb9::tokenasm::AssembleText(text + "end\n"));
  return board;
}

TEST_F(TerminalCommand, RuleDialogIsAnsweredOnTheTerminalWhileKeysAreWatched) {
  const std::string board = TwelveNetBoard(Out);
  TPtyHost host({"import", board, "--json", Json});
  ASSERT_TRUE(host.Started());
  ASSERT_TRUE(host.WaitFor("  1 [x] Create 12 routing track width rules")) << host.Seen();
  ASSERT_TRUE(host.WaitFor("Enter OK: ")) << host.Seen();
  host.Type("1\n");
  ASSERT_TRUE(host.WaitFor("  1 [ ] Create 12 routing track width rules")) << host.Seen();
  ASSERT_TRUE(host.WaitFor("Enter OK: ")) << host.Seen();
  host.Type("\n");
  host.Finish();
  EXPECT_EQ(host.ExitCode(), 0) << host.Seen();
  EXPECT_TRUE(host.TerminalRestored());
  const nlohmann::json dump = Dump();
  ASSERT_TRUE(dump.is_object());
  EXPECT_EQ(dump["dialog"]["checkboxes"][0]["name"], "RoutingTrackWidthCheckbox");
  EXPECT_EQ(dump["dialog"]["checkboxes"][0]["checked"], false);
  EXPECT_NE(host.Seen().find("\r\nFile:       " + board), std::string::npos) << host.Seen();
}

// Answers typed before the dialog shows (while the import's keys are
// watched) are not swallowed as keys: the dialog reads them as typed.
TEST_F(TerminalCommand, AnswersTypedAheadOfTheDialogAreKept) {
  TPtyHost host({"import", TwelveNetBoard(Out), "--json", Json});
  ASSERT_TRUE(host.Started());
  host.Type("h\n1\n\n");
  // Swallowed answers would leave the dialog waiting: the guard ends that.
  ASSERT_TRUE(host.WaitFor("\r\nFile:")) << host.Seen();
  host.Finish();
  EXPECT_EQ(host.ExitCode(), 0) << host.Seen();
  const nlohmann::json dump = Dump();
  ASSERT_TRUE(dump.is_object());
  EXPECT_EQ(dump["dialog"]["checkboxes"][0]["checked"], false) << host.Seen();
  ASSERT_EQ(dump["commands"].size(), 1u) << host.Seen();
  EXPECT_EQ(dump["commands"][0]["command"], "Client:RunHelpTopic");
}

// The progress caption names the file as given: a UTF-8 name unchanged, a
// name's control characters as '?' (the line's own erase sequence aside).
TEST_F(TerminalCommand, ProgressCaptionShowsTheFileNameAsText) {
  struct TNameCase {
    const char* Name;
    const char* Shown;
  };
  for (const TNameCase& c : {TNameCase{"Pr\xC3\xBC" "fung.PCB", "Pr\xC3\xBC" "fung.PCB"},
                             TNameCase{"t\x1b]0;owned\x07\x1b[2J.PCB", "t?]0;owned??[2J.PCB"}}) {
    SCOPED_TRACE(c.Shown);
    const std::string board = Out.File(c.Name);
    std::filesystem::copy_file(Board_, board);
    TPtyHost host({"import", board, "--answer", "no"});
    ASSERT_TRUE(host.Started()) << std::strerror(errno);
    host.Finish();
    EXPECT_EQ(host.ExitCode(), 0) << host.Seen();
    EXPECT_NE(host.Seen().find("Loading " + Out.File(c.Shown) + " (Binary 2.8) ["), std::string::npos)
        << host.Seen();
    EXPECT_EQ(host.Seen().find("\x1b]"), std::string::npos);
    EXPECT_EQ(host.Seen().find("\x1b[2J"), std::string::npos);
    EXPECT_EQ(host.Seen().find('\x07'), std::string::npos);
  }
}

}  // namespace
