// The platform layer: binding by name, and the host application's message,
// queue, registry and date services with their terminal fallbacks.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>

#include "PcbApiExports.h"
#include "Services.h"
#include "platform/Platform.h"
#include "support/Child.h"
#include "support/HostFixture.h"

namespace pcb9::platform {
namespace {

using pcb9test::THostFixture;

TEST(ModuleBinding, FindsTheLoadedHostModuleAndItsFunctions) {
  TModule module = FindLoadedModule("libMorvik.so");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FindSymbol(module, "PcbApi_CreateObject"), reinterpret_cast<void*>(&PcbApi_CreateObject));
  EXPECT_EQ(FindSymbol(module, "PcbApi_NoSuchFunction"), nullptr);
  EXPECT_EQ(FindSymbol(nullptr, "PcbApi_CreateObject"), nullptr);
}

TEST(ModuleBinding, NeverLoadsAModuleThatIsNotLoaded) {
  const std::string plugin = std::string(PCB9_BIN_DIR) + "/libpcb9import.so";
  ASSERT_EQ(dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "plug-in already loaded";
  EXPECT_EQ(FindLoadedModule(plugin.c_str()), nullptr);
  EXPECT_EQ(dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  EXPECT_EQ(FindLoadedModule("libNoSuchModule.so"), nullptr);
  EXPECT_EQ(FindLoadedModule(""), nullptr);
  EXPECT_EQ(FindLoadedModule(nullptr), nullptr);
}

TEST(ModuleBinding, MainModuleHoldsTheHostApplicationServices) {
  EXPECT_EQ(FindSymbol(MainModule(), "PlatformAPI_MessageBox"),
            reinterpret_cast<void*>(&PlatformAPI_MessageBox));
  EXPECT_EQ(FindSymbol(MainModule(), "ClientAPI_ForceFileNameExtension"),
            reinterpret_cast<void*>(&ClientAPI_ForceFileNameExtension));
}

struct TBoxCase {
  TIcon Icon;
  TButtons Buttons;
  bool ScriptedYes;
  TAnswer Expected;
  const char* IconName;
  const char* ButtonsName;
  const char* AnswerName;
};

class HostMessageBox : public THostFixture, public ::testing::WithParamInterface<TBoxCase> {};

TEST_P(HostMessageBox, IsRecordedAndAnsweredAsScripted) {
  const TBoxCase& c = GetParam();
  Session().SetAnswerYes(c.ScriptedYes);
  EXPECT_EQ(ShowMessageBox(DesktopWindow(), "Some text", "Caption", c.Icon, c.Buttons), c.Expected);
  ASSERT_EQ(Session().Messages().size(), 1u);
  const pcb9host::TMessageRecord& m = Session().Messages()[0];
  EXPECT_EQ(m.Caption, "Caption");
  EXPECT_EQ(m.Text, "Some text");
  EXPECT_EQ(m.Icon, c.IconName);
  EXPECT_EQ(m.Buttons, c.ButtonsName);
  EXPECT_EQ(m.Answer, c.AnswerName);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, HostMessageBox,
    ::testing::Values(
        TBoxCase{TIcon::Warning, TButtons::Ok, true, TAnswer::Ok, "warning", "ok", "ok"},
        TBoxCase{TIcon::Information, TButtons::Ok, false, TAnswer::Ok, "information", "ok", "ok"},
        TBoxCase{TIcon::Error, TButtons::Ok, false, TAnswer::Ok, "error", "ok", "ok"},
        TBoxCase{TIcon::None, TButtons::YesNo, false, TAnswer::No, "none", "yesno", "no"},
        TBoxCase{TIcon::Question, TButtons::YesNo, true, TAnswer::Yes, "question", "yesno", "yes"}));

class HostQueue : public THostFixture {};

TEST_F(HostQueue, EscArrivesOnceAfterTheChosenProgressStep) {
  Session().SetEscAfter(2);
  TMessage message;
  PcbApi_Percent_Update();
  EXPECT_FALSE(TakePendingMessage(message));
  PcbApi_Percent_Update();
  ASSERT_TRUE(TakePendingMessage(message));
  EXPECT_EQ(message.Message, kMsgKeyDown);
  EXPECT_EQ(message.WParam, kKeyEscape);
  EXPECT_FALSE(TakePendingMessage(message));
  PcbApi_Percent_Update();
  EXPECT_FALSE(TakePendingMessage(message));
}

TEST_F(HostQueue, OtherMessagesAreDeliveredToTheHost) {
  Session().PostMessage({nullptr, 0x000F, 1, 2});
  TMessage message;
  ASSERT_TRUE(TakePendingMessage(message));
  EXPECT_EQ(message.Message, 0x000Fu);
  EXPECT_EQ(message.WParam, 1u);
  EXPECT_EQ(message.LParam, 2);
  DeliverMessage(message);
  EXPECT_EQ(Session().DeliveredMessages(), 1);
}

class HostRegistry : public THostFixture {};

TEST_F(HostRegistry, TheTestModeKeyExistsOnlyInTestMode) {
  const char* key = "\\Software\\Corvex\\TestMode";
  EXPECT_FALSE(MachineKeyExists(key));
  Session().SetTestMode(true);
  EXPECT_TRUE(MachineKeyExists(key));
  EXPECT_TRUE(MachineKeyExists("\\SOFTWARE\\corvex\\testmode"));
  EXPECT_FALSE(MachineKeyExists("\\Software\\Corvex"));
  EXPECT_FALSE(MachineKeyExists(""));
}

TEST_F(HostRegistry, DateAndTimeTextsComeFromTheHost) {
  EXPECT_TRUE(std::regex_match(ShortDateText(), std::regex(R"(\d{4}-\d{2}-\d{2})"))) << ShortDateText();
  EXPECT_TRUE(std::regex_match(LongTimeText(), std::regex(R"(\d{2}:\d{2}:\d{2})"))) << LongTimeText();
}

// Without host services: the terminal, and a child without one.
class TerminalFallback : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    BindHostServices(nullptr);
  }
};

TEST_F(TerminalFallback, QuestionWithoutATerminalIsAnsweredNo) {
  Session().SetAnswerYes(true);
  const auto outcome = pcb9test::RunInChild([] {
    return static_cast<int>(ShowMessageBox(DesktopWindow(), "Confirm Abort Process", "Confirm",
                                           TIcon::None, TButtons::YesNo));
  });
  EXPECT_EQ(outcome.ExitCode, static_cast<int>(TAnswer::No));
  EXPECT_NE(outcome.Err.find("Confirm: Confirm Abort Process"), std::string::npos) << outcome.Err;
  EXPECT_TRUE(Session().Messages().empty());
}

TEST_F(TerminalFallback, MessageGoesToStandardError) {
  const auto outcome = pcb9test::RunInChild([] {
    return static_cast<int>(
        ShowMessageBox(nullptr, "File Corruption: x.PCB", "Import", TIcon::Warning, TButtons::Ok));
  });
  EXPECT_EQ(outcome.ExitCode, static_cast<int>(TAnswer::Ok));
  EXPECT_EQ(outcome.Err, "Import: File Corruption: x.PCB\n");
}

TEST_F(TerminalFallback, NoMessagesNoKeysAndDatesFromTheCLibrary) {
  Session().SetTestMode(true);
  Session().PostMessage({nullptr, kMsgKeyDown, kKeyEscape, 0});
  TMessage message;
  EXPECT_FALSE(TakePendingMessage(message));
  EXPECT_FALSE(MachineKeyExists("\\Software\\Corvex\\TestMode"));
  EXPECT_EQ(DesktopWindow(), nullptr);
  EXPECT_FALSE(ShortDateText().empty());
  EXPECT_FALSE(LongTimeText().empty());
}

}  // namespace
}  // namespace pcb9::platform
