#pragma once
// How the reference host answers a modal form the plug-in shows: the boxes
// named on the command line unchecked, or the user asked on the terminal, or
// the form taken as prepared; OK is pressed in every case. The form's
// controls are the caller's array; the final check box states are written
// back into it.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "platform/HostServices.h"

namespace pcb9host {

// A check box as the dump shows it.
struct TFormCheckBox {
  std::string Name;
  std::string Caption;
  bool Enabled = false;
  bool Checked = false;
};

struct TFormRecord {
  bool Shown = false;
  std::string Caption;  // the form's own caption
  std::string Owner;    // as message owners are named
  std::vector<TFormCheckBox> CheckBoxes;
};

// Where a shown form's answer comes from.
struct TFormAnswerSource {
  std::vector<std::string> Uncheck;  // names of the boxes to uncheck; asks nothing
  std::FILE* In = nullptr;           // terminal to ask on, with Out; null: none
  std::FILE* Out = nullptr;
};

// The pushed button that closes a form with OK.
constexpr int32_t kFormOk = 1;

// Answers a shown form in place. The non-default push button (Help) runs
// `command` with its index; the form stays open.
void AnswerForm(std::span<TPlatformFormControl> controls, const TFormAnswerSource& source,
                TPlatformFormCommand command, void* context);

// The form as recorded: its caption and its check boxes, in order.
TFormRecord RecordForm(std::span<const TPlatformFormControl> controls, bool shown);

}  // namespace pcb9host
