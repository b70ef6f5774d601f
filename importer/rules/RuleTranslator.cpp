#include "RuleTranslator.h"

#include <cstring>
#include <memory>
#include <string>

#include "client/ClientServices.h"
#include "hostapi/PcbApi.h"

namespace pcb9 {

namespace {

using platform::TControlKind;
using platform::TFormControl;

// One control of the form as designed. Positions in pixels at 96 pixels per
// inch, relative to the parent; the form's own are its place on the screen
// and its client area.
struct TControlRow {
  TTranslatorControl Control;
  const char* Name;
  TControlKind Kind;
  int Parent;
  int Left, Top, Width, Height;
  const char* Caption;
  int TabOrder;
  bool IsDefault;
};

constexpr int kNoParent = -1;

constexpr TControlRow kFormRows[] = {
    {kTranslatorForm, "DesignRuleTranslator", TControlKind::Form, kNoParent, 231, 158, 508, 248,
     "Design Rule Translation ", 0, false},
    {kButton1, "Button1", TControlKind::Button, kTranslatorForm, 347, 219, 75, 24, "OK", 0, true},
    {kButton2, "Button2", TControlKind::Button, kTranslatorForm, 427, 219, 75, 24, "Help", 1,
     false},
    {kPageControl1, "PageControl1", TControlKind::PageControl, kTranslatorForm, 5, 5, 497, 209, "",
     2, false},
    // The one page fills its page control.
    {kTabSheet1, "TabSheet1", TControlKind::Page, kPageControl1, 0, 0, 497, 209, "Rules", 0, false},
    {kLabel1, "Label1", TControlKind::Label, kTabSheet1, 7, 8, 445, 39,
     "During the conversion process Corvex Designer will create design rules for the "
     "appropriate RER 2.8 option or attribute. This dialog allows you to control which rule "
     "types are automatically created. For certain designs it can be more efficient to define "
     "rules manually.",
     0, false},
    {kGroupBox2, "GroupBox2", TControlKind::GroupBox, kTabSheet1, 7, 54, 242, 118,
     "Manufacturing rules", 0, false},
    {kGroupBox1, "GroupBox1", TControlKind::GroupBox, kTabSheet1, 260, 54, 220, 118,
     "Routing rules", 1, false},
    {kRoutingTrackWidthCheckbox, "RoutingTrackWidthCheckbox", TControlKind::CheckBox, kGroupBox1,
     11, 18, 200, 17, "routing track width rules", 0, false},
    {kRoutingViaSizeCheckBox, "RoutingViaSizeCheckBox", TControlKind::CheckBox, kGroupBox1, 11, 40,
     200, 17, "routing via size rules", 1, false},
    {kRoutingTechologyCheckBox, "RoutingTechologyCheckBox", TControlKind::CheckBox, kGroupBox1, 11,
     63, 200, 17, "routing topology rules", 2, false},
    {kRoutingPriorityCheckBox, "RoutingPriorityCheckBox", TControlKind::CheckBox, kGroupBox1, 11,
     85, 200, 17, "routing priority rules", 3, false},
    {kSolderMaskCheckBox, "SolderMaskCheckBox", TControlKind::CheckBox, kGroupBox2, 11, 19, 226, 17,
     "solder mask expansion rules", 0, false},
    {kPasteMaskExpansionCheckBox, "PasteMaskExpansionCheckBox", TControlKind::CheckBox, kGroupBox2,
     12, 41, 226, 17, "paste mask expansion rules", 1, false},
    {kPowerGndExpCheckBox, "PowerGndExpCheckBox", TControlKind::CheckBox, kGroupBox2, 12, 64, 226,
     17, "power ground expansion rules", 2, false},
    {kPowerGndConnCheckBox, "PowerGndConnCheckBox", TControlKind::CheckBox, kGroupBox2, 12, 86, 226,
     17, "power ground connect style rules", 3, false},
};

constexpr bool RowsInControlOrder() {
  if (std::size(kFormRows) != kTranslatorControlCount) return false;
  for (size_t i = 0; i < std::size(kFormRows); ++i)
    if (static_cast<size_t>(kFormRows[i].Control) != i) return false;
  return true;
}
static_assert(RowsInControlOrder(), "controls are looked up by their place");

// More rules than this in some family make the dialog worth showing.
constexpr int32_t kRulesWithoutDialog = 10;

}  // namespace

const std::array<TFamilyChoice, kRuleFamilyCount> kFamilyChoices = {{
    {kRoutingTrackWidthCheckbox, TRuleFamily::TrackWidth, kFormRows[kRoutingTrackWidthCheckbox].Caption},
    {kRoutingViaSizeCheckBox, TRuleFamily::ViaSize, kFormRows[kRoutingViaSizeCheckBox].Caption},
    {kRoutingTechologyCheckBox, TRuleFamily::Topology, kFormRows[kRoutingTechologyCheckBox].Caption},
    {kRoutingPriorityCheckBox, TRuleFamily::Priority, kFormRows[kRoutingPriorityCheckBox].Caption},
    {kSolderMaskCheckBox, TRuleFamily::SolderMaskExpansion, kFormRows[kSolderMaskCheckBox].Caption},
    {kPasteMaskExpansionCheckBox, TRuleFamily::PasteMaskExpansion,
     kFormRows[kPasteMaskExpansionCheckBox].Caption},
    {kPowerGndExpCheckBox, TRuleFamily::PlaneExpansion, kFormRows[kPowerGndExpCheckBox].Caption},
    {kPowerGndConnCheckBox, TRuleFamily::PlaneConnect, kFormRows[kPowerGndConnCheckBox].Caption},
}};

std::vector<TFormControl> TranslatorForm() {
  std::vector<TFormControl> controls;
  controls.reserve(std::size(kFormRows));
  for (const TControlRow& row : kFormRows) {
    TFormControl control;
    control.Name = row.Name;
    control.Kind = row.Kind;
    control.Parent = row.Parent;
    control.Left = row.Left;
    control.Top = row.Top;
    control.Width = row.Width;
    control.Height = row.Height;
    control.Caption = row.Caption;
    control.TabOrder = row.TabOrder;
    control.Checked = row.Kind == TControlKind::CheckBox;
    control.IsDefault = row.IsDefault;
    controls.push_back(std::move(control));
  }
  TFormControl& form = controls[kTranslatorForm];
  form.Style = kTranslatorWindowStyle;
  form.ExStyle = kTranslatorWindowExStyle;
  form.FontName = kTranslatorFontName;
  form.FontHeight = kTranslatorFontHeight;
  return controls;
}

TDesignRuleTranslator::TDesignRuleTranslator(TClassifier& Classifier)
    : Classifier_(Classifier), Controls_(TranslatorForm()) {}

bool TDesignRuleTranslator::PrepareChoices() {
  bool wanted = false;
  for (size_t i = 0; i < kFamilyChoices.size(); ++i) {
    const TFamilyChoice& choice = kFamilyChoices[i];
    const int32_t count = Classifier_.CountRules(choice.Family);
    Counts_[i] = count;
    TFormControl& box = Controls_[choice.CheckBox];
    box.Enabled = count != 0;
    box.Checked = Classifier_.Switch(choice.Family);
    box.Caption = "Create " + std::to_string(count) + " " + choice.DesignCaption;
    wanted = wanted || count > kRulesWithoutDialog;
  }
  return wanted;
}

void TDesignRuleTranslator::ApplyChoices() {
  for (const TFamilyChoice& choice : kFamilyChoices)
    Classifier_.SetSwitch(choice.Family, Controls_[choice.CheckBox].Checked);
}

void TDesignRuleTranslator::Button2Click() {
  // The host takes the parameters as a buffer of the size it is told.
  const auto buffer = std::make_unique<char[]>(kHelpBufferSize);
  std::strncpy(buffer.get(), kHelpParameters, kHelpBufferSize - 1);
  PcbApi_SendCommand(kHelpCommand, static_cast<const char*>(buffer.get()), kHelpBufferSize,
                     int32_t{0});
}

void TDesignRuleTranslator::Run(bool Show) {
  platform::TWindow owner = platform::FindTopLevelWindow(kTranslatorOwnerClass);
  if (!owner) owner = platform::DesktopWindow();
  // The modal result does not matter: OK and the close box apply alike.
  platform::RunModalForm(owner, Controls_, Show, [this](int control) {
    if (control == kButton2) Button2Click();
  });
}

void TDesignRuleTranslator::ChooseRuleFamilies(TClassifier& Classifier) {
  TDesignRuleTranslator dialog(Classifier);
  const bool wanted = dialog.PrepareChoices();
  // In test mode no window may appear; the host still learns of the form.
  dialog.Run(wanted && !IsTestMode());
  if (wanted) dialog.ApplyChoices();
}

}  // namespace pcb9
