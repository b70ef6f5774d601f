#include "ModalForm.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "Terminal.h"
#include "TerminalText.h"

namespace pcb9host {

namespace {

constexpr std::string_view kCheckBox = "checkbox", kButton = "button";

std::string_view View(const char* s) { return s ? std::string_view(s) : std::string_view(); }

bool IsCheckBox(const TPlatformFormControl& c) { return View(c.Kind) == kCheckBox; }

// A control's caption, the plug-in's 8-bit text, as one terminal line.
std::string Caption(const TPlatformFormControl& c) { return BoardTerminalText(View(c.Caption)); }

// Indexes of the check boxes, which the terminal numbers from 1.
std::vector<size_t> CheckBoxes(std::span<const TPlatformFormControl> controls) {
  std::vector<size_t> boxes;
  for (size_t i = 0; i < controls.size(); ++i)
    if (IsCheckBox(controls[i])) boxes.push_back(i);
  return boxes;
}

// The push button other than the default one: Help; -1 when there is none.
int32_t HelpButton(std::span<const TPlatformFormControl> controls) {
  for (size_t i = 0; i < controls.size(); ++i)
    if (View(controls[i].Kind) == kButton && !controls[i].IsDefault) return static_cast<int32_t>(i);
  return -1;
}

void Uncheck(std::span<TPlatformFormControl> controls, const std::vector<std::string>& names) {
  for (TPlatformFormControl& c : controls)
    if (IsCheckBox(c) && c.Enabled &&
        std::find(names.begin(), names.end(), View(c.Name)) != names.end())
      c.Checked = 0;
}

class TTerminalForm {
 public:
  TTerminalForm(std::span<TPlatformFormControl> controls, std::FILE* in, std::FILE* out,
                TPlatformFormCommand command, void* context)
      : Controls_(controls), Boxes_(CheckBoxes(controls)), In_(in), Out_(out),
        Command_(command), Context_(context) {}

  void Run() {
    Show();
    std::string line;
    for (;;) {
      std::fputs("Box number toggles it, h Help, Enter OK: ", Out_);
      std::fflush(Out_);
      if (!ReadLine(In_, line)) break;  // the end of the input presses OK
      const std::string entry = Trimmed(line);
      if (entry.empty()) break;
      if (entry == "h" || entry == "H")
        Help();
      else
        Toggle(entry);
    }
    std::fputc('\n', Out_);
    std::fflush(Out_);
  }

 private:
  void Show() {
    if (!Controls_.empty()) std::fprintf(Out_, "%s\n", Caption(Controls_[0]).c_str());
    for (size_t n = 0; n < Boxes_.size(); ++n) {
      const TPlatformFormControl& box = Controls_[Boxes_[n]];
      std::fprintf(Out_, "%3zu [%c] %s%s\n", n + 1, box.Checked ? 'x' : ' ', Caption(box).c_str(),
                   box.Enabled ? "" : " (disabled)");
    }
  }

  void Help() {
    const int32_t button = HelpButton(Controls_);
    if (button < 0 || !Command_) {
      std::fputs("This form has no Help button.\n", Out_);
      return;
    }
    Command_(Context_, button);
  }

  void Toggle(const std::string& entry) {
    size_t n = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), n);
    if (error != std::errc() || end != entry.data() + entry.size() || n < 1 || n > Boxes_.size()) {
      std::fprintf(Out_, "Type a box number from 1 to %zu, h or Enter.\n", Boxes_.size());
      return;
    }
    TPlatformFormControl& box = Controls_[Boxes_[n - 1]];
    if (!box.Enabled) {
      std::fprintf(Out_, "Box %zu is disabled.\n", n);
      return;
    }
    box.Checked = box.Checked ? 0 : 1;
    Show();
  }

  std::span<TPlatformFormControl> Controls_;
  std::vector<size_t> Boxes_;
  std::FILE* In_;
  std::FILE* Out_;
  TPlatformFormCommand Command_;
  void* Context_;
};

}  // namespace

void AnswerForm(std::span<TPlatformFormControl> controls, const TFormAnswerSource& source,
                TPlatformFormCommand command, void* context) {
  if (!source.Uncheck.empty())
    Uncheck(controls, source.Uncheck);
  else if (source.In && source.Out)
    TTerminalForm(controls, source.In, source.Out, command, context).Run();
}

TFormRecord RecordForm(std::span<const TPlatformFormControl> controls, bool shown) {
  TFormRecord record;
  record.Shown = shown;
  if (!controls.empty()) record.Caption = std::string(View(controls[0].Caption));
  for (size_t i : CheckBoxes(controls)) {
    const TPlatformFormControl& c = controls[i];
    record.CheckBoxes.push_back(
        {std::string(View(c.Name)), std::string(View(c.Caption)), c.Enabled != 0, c.Checked != 0});
  }
  return record;
}

}  // namespace pcb9host
