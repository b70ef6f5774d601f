// The rule translator dialog: its form, the counts and captions it prepares,
// when it is shown, what the user's choices do to the rules, and the Help
// button. The host's form and window services are stood in for by a fake
// that records each form and plays a scripted user; the other services are
// the reference host's.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "ClassifierFixture.h"
#include "platform/HostServices.h"
#include "Module.h"
#include "rules/RuleTranslator.h"

namespace pcb9test {
namespace {

namespace platform = pcb9::platform;
using pcb9::TClassifier;
using pcb9::TDesignRuleTranslator;
using pcb9::TRuleFamily;
using platform::TControlKind;

constexpr int32_t kMil = 10000;

struct TControlSeen {
  std::string Name, Kind, Caption;
  int32_t Parent = 0;
  bool Enabled = false, Checked = false;
};

// What the fake host saw, and what its user does.
struct TFakeFormHost {
  int Runs = 0;
  int32_t Show = -1;
  void* Owner = nullptr;
  std::vector<TControlSeen> Controls;
  // Script: boxes to uncheck, buttons to press (by control index) before
  // the form is closed with this result (1 OK, 2 close box).
  std::set<std::string> Uncheck;
  std::vector<int32_t> Press;
  int32_t Result = 1;
  // The window FindWindow answers for the editor's main window class.
  void* MainWindow = nullptr;
};

TFakeFormHost Fake;

int32_t PCB9_CALL FakeRunModalForm(void* owner, TPlatformFormControl* controls, int32_t count,
                                   int32_t show, TPlatformFormCommand command, void* context) {
  ++Fake.Runs;
  Fake.Show = show;
  Fake.Owner = owner;
  Fake.Controls.clear();
  for (int32_t i = 0; i < count; ++i)
    Fake.Controls.push_back({controls[i].Name, controls[i].Kind, controls[i].Caption,
                             controls[i].Parent, controls[i].Enabled != 0,
                             controls[i].Checked != 0});
  if (!show) return 0;
  for (int32_t button : Fake.Press) command(context, button);
  for (int32_t i = 0; i < count; ++i)
    if (Fake.Uncheck.count(controls[i].Name)) controls[i].Checked = 0;
  return Fake.Result;
}

void* PCB9_CALL FakeFindWindow(const char* className) {
  return std::strcmp(className, "Vorlund Main Window") == 0 ? Fake.MainWindow : nullptr;
}

void BindFakeFormHost() {
  platform::BindHostServices([](const char* name) -> void* {
    if (std::strcmp(name, "PlatformAPI_RunModalForm") == 0)
      return reinterpret_cast<void*>(&FakeRunModalForm);
    if (std::strcmp(name, "PlatformAPI_FindWindow") == 0)
      return reinterpret_cast<void*>(&FakeFindWindow);
    return platform::FindSymbol(platform::MainModule(), name);
  });
}

// A command the host received as "command|parameters", whether the host
// logs it as that text or as its two parts.
template <class TSent>
std::string CommandText(const TSent& sent) {
  if constexpr (std::is_convertible_v<TSent, std::string>)
    return sent;
  else
    return sent.Command + "|" + sent.Parameters;
}

// The fake stands in for the host's form service, which the importer binds
// where the system has no dialogs of its own; on Windows it shows its own
// dialog, which the Wine suite (tests/wine) drives.
#if defined(_WIN32)
#define NEED_HOST_FORMS() GTEST_SKIP() << "the importer shows its own dialog on Windows"
#else
#define NEED_HOST_FORMS() static_cast<void>(0)
#endif

class RuleTranslator : public TClassifierFixture {
 protected:
  void SetUp() override {
    TClassifierFixture::SetUp();
    Fake = TFakeFormHost{};
    BindFakeFormHost();
  }

  // `Count` track width rules: a default group of more nets, and
  // `Count` - 1 nets of other widths.
  void CollectWidthRules(int Count) {
    for (int i = 0; i < Count; ++i) Classifier->AddTrackWidth(10 * kMil, "D" + std::to_string(i));
    for (int i = 1; i < Count; ++i)
      Classifier->AddTrackWidth((10 + i) * kMil, "W" + std::to_string(i));
  }

  const TControlSeen& Seen(const char* name) const {
    for (const TControlSeen& control : Fake.Controls)
      if (control.Name == name) return control;
    throw std::runtime_error(std::string("no control ") + name);
  }

  size_t RulesNamedLike(const std::string& prefix) const {
    size_t n = 0;
    for (const TRuleSeen& rule : CreatedRules()) n += rule.Name.rfind(prefix, 0) == 0;
    return n;
  }
};

TEST(RuleTranslatorForm, ControlsHangFromTheirContainersInTabOrder) {
  const std::vector<platform::TFormControl> form = pcb9::TranslatorForm();
  ASSERT_EQ(form.size(), static_cast<size_t>(pcb9::kTranslatorControlCount));
  EXPECT_EQ(form[0].Kind, TControlKind::Form);
  EXPECT_EQ(form[0].Parent, -1);
  EXPECT_EQ(form[0].Caption, "Design Rule Translation ");
  std::map<std::pair<int, int>, std::string> tabSlots;
  int defaults = 0;
  for (size_t i = 1; i < form.size(); ++i) {
    const platform::TFormControl& c = form[i];
    ASSERT_GE(c.Parent, 0) << c.Name;
    ASSERT_LT(static_cast<size_t>(c.Parent), i) << c.Name << " comes before its parent";
    defaults += c.IsDefault;
    if (c.Kind == TControlKind::Label || c.Kind == TControlKind::Page) continue;
    auto [slot, fresh] = tabSlots.emplace(std::pair{c.Parent, c.TabOrder}, c.Name);
    EXPECT_TRUE(fresh) << c.Name << " shares its tab order with " << slot->second;
  }
  EXPECT_EQ(defaults, 1);
  EXPECT_TRUE(form[pcb9::kButton1].IsDefault);
  EXPECT_EQ(form[pcb9::kButton1].Caption, "OK");
  EXPECT_EQ(form[pcb9::kButton2].Caption, "Help");
  // Each box sits in the group box of its kind of rules.
  for (const pcb9::TFamilyChoice& choice : pcb9::kFamilyChoices) {
    const bool routing = choice.Family >= TRuleFamily::TrackWidth;
    EXPECT_EQ(form[choice.CheckBox].Kind, TControlKind::CheckBox);
    EXPECT_EQ(form[choice.CheckBox].Parent, routing ? pcb9::kGroupBox1 : pcb9::kGroupBox2)
        << form[choice.CheckBox].Name;
  }
}

TEST_F(RuleTranslator, PrepareCountsEveryFamilyAndCaptionsItsBox) {
  CollectWidthRules(12);
  Classifier->AddViaSize(40 * kMil, "A");
  Classifier->AddPlaneConnect(0, 1, 2, 3, 4, "U1-1");
  Classifier->AddPlaneConnect(0, 1, 2, 3, 5, "U1-2");
  Classifier->SetSwitch(TRuleFamily::Topology, false);
  TDesignRuleTranslator dialog(*Classifier);
  EXPECT_TRUE(dialog.PrepareChoices());

  EXPECT_EQ(dialog.Counts(), (std::array<int32_t, 8>{12, 1, 0, 0, 0, 0, 0, 2}));
  const auto& controls = dialog.Controls();
  EXPECT_EQ(controls[pcb9::kRoutingTrackWidthCheckbox].Caption,
            "Create 12 routing track width rules");
  EXPECT_EQ(controls[pcb9::kRoutingViaSizeCheckBox].Caption, "Create 1 routing via size rules");
  EXPECT_EQ(controls[pcb9::kSolderMaskCheckBox].Caption, "Create 0 solder mask expansion rules");
  EXPECT_EQ(controls[pcb9::kPowerGndConnCheckBox].Caption,
            "Create 2 power ground connect style rules");
  for (const pcb9::TFamilyChoice& choice : pcb9::kFamilyChoices) {
    const platform::TFormControl& box = controls[choice.CheckBox];
    EXPECT_EQ(box.Enabled, Classifier->CountRules(choice.Family) != 0) << box.Name;
    // Disabled boxes still show their switch.
    EXPECT_EQ(box.Checked, choice.Family != TRuleFamily::Topology) << box.Name;
  }
}

TEST_F(RuleTranslator, ShownOnlyWhenSomeFamilyExceedsTenRules) {
  NEED_HOST_FORMS();
  struct TCase {
    int WidthRules;
    bool Shown;
  };
  for (const TCase& c : {TCase{10, false}, TCase{11, true}}) {
    SetUp();
    CollectWidthRules(c.WidthRules);
    TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
    EXPECT_EQ(Fake.Runs, 1) << c.WidthRules;
    EXPECT_EQ(Fake.Show, c.Shown ? 1 : 0) << c.WidthRules;
  }
}

TEST_F(RuleTranslator, NotWantedLeavesTheSwitchesAsTheyAre) {
  NEED_HOST_FORMS();
  CollectWidthRules(3);
  Classifier->SetSwitch(TRuleFamily::TrackWidth, false);
  Fake.Uncheck = {"RoutingViaSizeCheckBox"};
  TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
  EXPECT_EQ(Fake.Show, 0);
  EXPECT_FALSE(Classifier->Switch(TRuleFamily::TrackWidth));
  EXPECT_TRUE(Classifier->Switch(TRuleFamily::ViaSize));
}

TEST_F(RuleTranslator, TheFormReachesTheHostWithItsCountsAndOwner) {
  NEED_HOST_FORMS();
  CollectWidthRules(12);
  int mainWindow = 0;
  Fake.MainWindow = &mainWindow;
  TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
  ASSERT_EQ(Fake.Show, 1);
  EXPECT_EQ(Fake.Owner, &mainWindow);
  ASSERT_EQ(Fake.Controls.size(), static_cast<size_t>(pcb9::kTranslatorControlCount));
  EXPECT_EQ(Fake.Controls[0].Kind, "form");
  EXPECT_EQ(Seen("Label1").Kind, "label");
  EXPECT_EQ(Seen("PageControl1").Kind, "pagecontrol");
  EXPECT_EQ(Seen("TabSheet1").Parent, pcb9::kPageControl1);
  EXPECT_EQ(Seen("RoutingTrackWidthCheckbox").Caption, "Create 12 routing track width rules");
  EXPECT_TRUE(Seen("RoutingTrackWidthCheckbox").Enabled);
  EXPECT_FALSE(Seen("PowerGndConnCheckBox").Enabled);
  EXPECT_TRUE(Seen("PowerGndConnCheckBox").Checked);
}

TEST_F(RuleTranslator, WithoutTheEditorWindowTheApplicationOwnsTheDialog) {
  NEED_HOST_FORMS();
  CollectWidthRules(12);
  TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
  ASSERT_EQ(Fake.Show, 1);
  EXPECT_EQ(Fake.Owner, platform::DesktopWindow());
  EXPECT_NE(Fake.Owner, nullptr);
}

// OK and the close box apply the boxes alike: an unchecked family keeps
// only its board-wide rule, the others get all of theirs.
TEST_F(RuleTranslator, AnUncheckedFamilyKeepsOnlyItsBoardWideRule) {
  NEED_HOST_FORMS();
  for (int32_t result : {1, 2}) {
    SetUp();
    CollectWidthRules(12);
    for (int i = 0; i < 3; ++i) Classifier->AddViaSize((40 + i) * kMil, "V" + std::to_string(i));
    Fake.Uncheck = {"RoutingTrackWidthCheckbox"};
    Fake.Result = result;
    Classifier->CreateRules();
    EXPECT_EQ(Fake.Show, 1);
    EXPECT_FALSE(Classifier->Switch(TRuleFamily::TrackWidth)) << result;
    EXPECT_EQ(RulesNamedLike("Width"), 1u) << result;
    EXPECT_EQ(RulesNamedLike("RoutingVias"), 3u) << result;
  }
}

TEST_F(RuleTranslator, TestModeShowsNothingAndCreatesEveryRule) {
  NEED_HOST_FORMS();
  Session().SetTestMode(true);
  CollectWidthRules(12);
  Fake.Uncheck = {"RoutingTrackWidthCheckbox"};
  Classifier->CreateRules();
  EXPECT_EQ(Fake.Runs, 1);
  EXPECT_EQ(Fake.Show, 0);
  EXPECT_TRUE(Classifier->Switch(TRuleFamily::TrackWidth));
  EXPECT_EQ(RulesNamedLike("Width"), 12u);
  EXPECT_TRUE(Session().Messages().empty());
}

TEST_F(RuleTranslator, HelpSendsTheTopicAndLeavesTheBoxes) {
  NEED_HOST_FORMS();
  CollectWidthRules(12);
  Fake.Press = {pcb9::kButton2, pcb9::kButton2};
  TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
  const std::string sent =
      "Client:RunHelpTopic|FileName = PCBUSR.HLP | Topic = IntroducingDesignRules";
  std::vector<std::string> texts;
  for (const auto& command : morvik::SentCommands()) texts.push_back(CommandText(command));
  EXPECT_EQ(texts, (std::vector<std::string>{sent, sent}));
  for (size_t f = 0; f < pcb9::kRuleFamilyCount; ++f)
    EXPECT_TRUE(Classifier->Switch(static_cast<TRuleFamily>(f)));
}

TEST_F(RuleTranslator, OtherButtonsDoNothing) {
  CollectWidthRules(12);
  Fake.Press = {pcb9::kButton1, pcb9::kLabel1, -1, 1000};
  TDesignRuleTranslator::ChooseRuleFamilies(*Classifier);
  EXPECT_TRUE(morvik::SentCommands().empty());
}

TEST_F(RuleTranslator, WithoutHostFormsNothingIsShownAndEveryRuleIsCreated) {
  NEED_HOST_FORMS();
  platform::BindHostServices(nullptr);
  EXPECT_EQ(platform::FindTopLevelWindow("Vorlund Main Window"), nullptr);
  CollectWidthRules(12);
  Classifier->CreateRules();
  EXPECT_EQ(Fake.Runs, 0);
  EXPECT_TRUE(Classifier->Switch(TRuleFamily::TrackWidth));
  EXPECT_EQ(RulesNamedLike("Width"), 12u);
}

}  // namespace
}  // namespace pcb9test
