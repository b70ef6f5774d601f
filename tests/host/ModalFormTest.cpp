// The host's modal form service: how a shown form is answered (check boxes
// named on the command line, the terminal, or as prepared), what the dump
// records of it, and the editor window a form or message is owned by.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Dump.h"
#include "Module.h"
#include "PcbApiExports.h"
#include "Services.h"
#include "support/HostFixture.h"

namespace {

using pcb9host::THostSession;

// A form as the rule dialog builds it: the form, OK (default), Help, and
// three check boxes of which the second is disabled.
class FormFixture : public pcb9test::THostFixture {
 protected:
  std::vector<TPlatformFormControl> Controls = {
      {"TDesignRuleTranslator", "form", -1, 231, 158, 508, 248, "Design Rule Translation ", 0, 1, 0, 0, 0},
      {"Button1", "button", 0, 347, 219, 75, 24, "OK", 0, 1, 0, 1, 0},
      {"Button2", "button", 0, 427, 219, 75, 24, "Help", 1, 1, 0, 0, 0},
      {"RoutingTrackWidthCheckbox", "checkbox", 0, 11, 18, 200, 17, "Create 12 routing track width rules", 0, 1, 1, 0, 0},
      {"RoutingViaSizeCheckBox", "checkbox", 0, 11, 40, 200, 17, "Create 0 routing via size rules", 1, 0, 1, 0, 0},
      {"SolderMaskCheckBox", "checkbox", 0, 11, 19, 226, 17, "Create 3 solder mask expansion rules", 0, 1, 1, 0, 0},
  };
  std::vector<int32_t> Pressed;

  static void PCB9_CALL OnCommand(void* context, int32_t control) {
    static_cast<FormFixture*>(context)->Pressed.push_back(control);
  }
  int32_t Run(int32_t show, void* owner = nullptr) {
    return PlatformAPI_RunModalForm(owner, Controls.data(), static_cast<int32_t>(Controls.size()),
                                    show, &FormFixture::OnCommand, this);
  }
  std::array<bool, 3> Checked() const {
    return {Controls[3].Checked != 0, Controls[4].Checked != 0, Controls[5].Checked != 0};
  }
  // Answers the shown form from this input; returns what was written.
  std::string RunOnTerminal(const std::string& input) {
    std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    Session().SetDialogTerminal(in, out);
    EXPECT_EQ(Run(1), 1);
    std::fclose(in);
    std::fclose(out);
    std::string written(text, size);
    std::free(text);
    return written;
  }
  static nlohmann::json Dump() { return pcb9host::DumpSections({}); }
};

TEST_F(FormFixture, NamedBoxesAreUncheckedAndOkPressedWithoutAsking) {
  Session().SetDialogUncheck({"RoutingTrackWidthCheckbox", "RoutingViaSizeCheckBox"});
  char typed[] = "3\n";  // would toggle the third box, were the terminal asked
  std::FILE* terminal = fmemopen(typed, 2, "r");
  Session().SetDialogTerminal(terminal, stderr);
  EXPECT_EQ(Run(1), 1);
  std::fclose(terminal);
  EXPECT_EQ(Checked(), (std::array<bool, 3>{false, true, true}));  // the disabled box stays
  EXPECT_TRUE(Pressed.empty());
  const nlohmann::json dialog = Dump()["dialog"];
  EXPECT_EQ(dialog["shown"], true);
  ASSERT_EQ(dialog["checkboxes"].size(), 3u);
  EXPECT_EQ(dialog["checkboxes"][0],
            (nlohmann::json{{"name", "RoutingTrackWidthCheckbox"},
                            {"caption", "Create 12 routing track width rules"},
                            {"enabled", true},
                            {"checked", false}}));
  EXPECT_EQ(dialog["checkboxes"][1]["enabled"], false);
  EXPECT_EQ(dialog["checkboxes"][1]["checked"], true);
}

TEST_F(FormFixture, WithoutTerminalOrNamesTheFormIsTakenAsPrepared) {
  Session().SetDialogTerminal(nullptr, nullptr);
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Checked(), (std::array<bool, 3>{true, true, true}));
  EXPECT_EQ(Dump()["dialog"]["shown"], true);
}

TEST_F(FormFixture, AFormBuiltButNotShownIsRecordedAndUntouched) {
  EXPECT_EQ(Dump()["dialog"], nullptr);
  Session().SetDialogUncheck({"RoutingTrackWidthCheckbox"});
  EXPECT_EQ(Run(0), 0);
  EXPECT_EQ(Checked(), (std::array<bool, 3>{true, true, true}));
  EXPECT_EQ(Dump()["dialog"]["shown"], false);
  EXPECT_EQ(Dump()["dialog"]["checkboxes"].size(), 3u);
  // No controls is no form.
  Session().Reset();
  EXPECT_EQ(PlatformAPI_RunModalForm(nullptr, nullptr, 4, 1, nullptr, nullptr), 0);
  EXPECT_EQ(PlatformAPI_RunModalForm(nullptr, Controls.data(), -1, 1, nullptr, nullptr), 0);
  EXPECT_EQ(Dump()["dialog"], nullptr);
}

TEST_F(FormFixture, TerminalTogglesBoxesPressesHelpAndOkOnEnter) {
  const std::string out = RunOnTerminal("1\n2\nh\nseven\n3\n3\n\n1\n");
  EXPECT_EQ(Checked(), (std::array<bool, 3>{false, true, true}));  // 3 toggled twice; after Enter nothing
  EXPECT_EQ(Pressed, std::vector<int32_t>{2});
  EXPECT_NE(out.find("Design Rule Translation \n"), std::string::npos) << out;
  EXPECT_NE(out.find("  1 [x] Create 12 routing track width rules\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  1 [ ] Create 12 routing track width rules\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  2 [x] Create 0 routing via size rules (disabled)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Box 2 is disabled."), std::string::npos) << out;
  EXPECT_NE(out.find("Type a box number from 1 to 3"), std::string::npos) << out;
  EXPECT_EQ(Dump()["dialog"]["checkboxes"][0]["checked"], false);
}

TEST_F(FormFixture, EndOfTerminalInputPressesOk) {
  RunOnTerminal("3");
  EXPECT_EQ(Checked(), (std::array<bool, 3>{true, true, false}));
  RunOnTerminal("");
  EXPECT_EQ(Checked(), (std::array<bool, 3>{true, true, false}));
}

// The real thing: the session finds a terminal on standard input and
// standard error by itself and asks there.
TEST_F(FormFixture, AsksOnAPseudoTerminal) {
  int master = -1;
  std::fflush(nullptr);
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0) << std::strerror(errno);
  if (pid == 0) {
    Session().Reset();  // no injected terminal: the session looks for one
    const int32_t result = Run(1);
    std::printf("RESULT %d %d%d%d help %zu\n", result, Checked()[0], Checked()[1], Checked()[2],
                Pressed.size());
    std::fflush(stdout);
    _exit(0);
  }
  const std::string typed = "1\nh\n\n";
  ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  std::string seen;
  char buffer[512];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, n);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  close(master);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(seen.find("Design Rule Translation"), std::string::npos) << seen;
  EXPECT_NE(seen.find("(disabled)"), std::string::npos) << seen;
  EXPECT_NE(seen.find("RESULT 1 011 help 1"), std::string::npos) << seen;
}

TEST_F(FormFixture, EditorWindowIsFoundByItsClassAndOwnsWhatItIsGiven) {
  void* editor = PcbApi_GetCurrentEditorWindow();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(PlatformAPI_FindWindow("Vorlund Main Window"), editor);
  EXPECT_EQ(PlatformAPI_FindWindow("Vorlund Main"), nullptr);
  EXPECT_EQ(PlatformAPI_FindWindow(nullptr), nullptr);
  Session().SetDialogTerminal(nullptr, nullptr);
  Run(1, editor);
  EXPECT_EQ(Dump()["dialog"]["owner"], "editor");

  int other = 0;
  void* owners[] = {PlatformAPI_DesktopWindow(), editor, nullptr, &other};
  for (void* owner : owners) PlatformAPI_MessageBox(owner, "text", "caption", 1, 0);
  std::vector<std::string> names;
  const nlohmann::json dump = Dump();
  for (const nlohmann::json& m : dump["messages"]) names.push_back(m["owner"]);
  EXPECT_EQ(names, (std::vector<std::string>{"desktop", "editor", "none", "other"}));
}

// The dialog's Help sends a process command with a 255-byte buffer.
TEST_F(FormFixture, ProcessCommandsAreRecordedWithTheirTextWithinTheLength) {
  std::array<char, 255> buffer{};
  const std::string help = "FileName = PCBUSR.HLP | Topic = IntroducingDesignRules";
  help.copy(buffer.data(), help.size());
  EXPECT_EQ(PcbApi_SendCommand("Client:RunHelpTopic", buffer.data(), 255, 0), 0);
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  PcbApi_SendCommand("Client:Other", unterminated, 3, 0);
  PcbApi_SendCommand("Client:None", nullptr, 10, 0);
  EXPECT_EQ(Dump()["commands"],
            nlohmann::json::array({{{"command", "Client:RunHelpTopic"}, {"parameters", help}},
                                   {{"command", "Client:Other"}, {"parameters", "abc"}},
                                   {{"command", "Client:None"}, {"parameters", ""}}}));
  morvik::ResetModule();
  EXPECT_EQ(Dump()["commands"], nlohmann::json::array());
}

}  // namespace
