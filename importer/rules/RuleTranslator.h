#pragma once
// The design rule translator dialog: after loading, shows how many rules
// each of the classifier's eight families would create and lets the user
// switch off a family's per-pad or per-net rules. The form is data (one row
// per control) that the platform layer shows.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Classifier.h"
#include "platform/Platform.h"

namespace pcb9 {

// Window settings the controls do not carry, for a native dialog: popup,
// caption, system menu and modal frame; the modal frame extended style; the
// resource that holds the layout; the form's font.
constexpr uint32_t kTranslatorWindowStyle = 0x80C80080;
constexpr uint32_t kTranslatorWindowExStyle = 0x00000001;  // WS_EX_DLGMODALFRAME
constexpr const char* kTranslatorResourceName = "TDESIGNRULETRANSLATOR";
constexpr const char* kTranslatorFontName = "MS Sans Serif";
constexpr int kTranslatorFontHeight = -11;
// The editor's main window, which owns the dialog when there is one.
constexpr const char* kTranslatorOwnerClass = "Vorlund Main Window";

// Help sent by the Help button.
constexpr const char* kHelpCommand = "Client:RunHelpTopic";
constexpr const char* kHelpParameters = "FileName = PCBUSR.HLP | Topic = IntroducingDesignRules";
constexpr uint16_t kHelpBufferSize = 255;

// Places of the controls in the form's list.
enum TTranslatorControl : int {
  kTranslatorForm,
  kButton1,
  kButton2,
  kPageControl1,
  kTabSheet1,
  kLabel1,
  kGroupBox2,
  kGroupBox1,
  kRoutingTrackWidthCheckbox,
  kRoutingViaSizeCheckBox,
  kRoutingTechologyCheckBox,
  kRoutingPriorityCheckBox,
  kSolderMaskCheckBox,
  kPasteMaskExpansionCheckBox,
  kPowerGndExpCheckBox,
  kPowerGndConnCheckBox,
  kTranslatorControlCount
};

// One check box and the family it switches, in the order of the counts.
struct TFamilyChoice {
  TTranslatorControl CheckBox;
  TRuleFamily Family;
  const char* DesignCaption;
};
extern const std::array<TFamilyChoice, kRuleFamilyCount> kFamilyChoices;

class TDesignRuleTranslator {
 public:
  explicit TDesignRuleTranslator(TClassifier& Classifier);
  TDesignRuleTranslator(const TDesignRuleTranslator&) = delete;
  TDesignRuleTranslator& operator=(const TDesignRuleTranslator&) = delete;
  virtual ~TDesignRuleTranslator() = default;

  // Counts each family's rules and sets the boxes from them and from the
  // switches; true when some family would create more than 10 rules.
  bool PrepareChoices();
  // Copies the boxes into the classifier's switches.
  void ApplyChoices();
  // The Help button: opens the help topic on design rules.
  void Button2Click();
  // Shows the dialog when it is wanted and the host is not in test mode,
  // and applies the choices whenever it was wanted.
  static void ChooseRuleFamilies(TClassifier& Classifier);

  // The form, control 0 first, indexed by TTranslatorControl.
  std::vector<platform::TFormControl>& Controls() { return Controls_; }
  // Rule counts in the order of kFamilyChoices.
  const std::array<int32_t, kRuleFamilyCount>& Counts() const { return Counts_; }

 private:
  void Run(bool Show);

  TClassifier& Classifier_;
  std::vector<platform::TFormControl> Controls_;
  std::array<int32_t, kRuleFamilyCount> Counts_{};
};

// The form as it is designed, before any choice is prepared.
std::vector<platform::TFormControl> TranslatorForm();

}  // namespace pcb9
