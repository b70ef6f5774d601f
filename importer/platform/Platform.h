#pragma once
// The few operating-system services the importer needs, behind one small
// interface. Nothing outside this folder sees a system type.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pcb9::platform {

// --- Modules ---------------------------------------------------------------
using TModule = void*;
// The handle of an already loaded module of that file name; null when it is
// not loaded. Never loads anything.
TModule FindLoadedModule(const char* name);
// The host application's main program.
TModule MainModule();
void* FindSymbol(TModule module, const char* name);

// --- Host application services ---------------------------------------------
// Without a native windowing system, message boxes, the message queue, the
// registry and the date and time texts come from services the host
// application exports (HostServices.h); a service it lacks falls back to the
// terminal. They are bound from the main program on first use. Binding from
// another module (null: none at all) replaces that binding; tests use it to
// reach the fallbacks. On Windows the system's own services are used and
// binding changes nothing.
void BindHostServices(TModule module);
// Binds every service through a lookup of the caller's (null: none), so a
// test can stand in for some services and take the rest from a host.
using TServiceLookup = std::function<void*(const char* name)>;
void BindHostServices(const TServiceLookup& lookup);

// --- Message boxes -----------------------------------------------------------
enum class TIcon : uint8_t { None, Information, Warning, Error, Question };
enum class TButtons : uint8_t { Ok, YesNo };
enum class TAnswer : uint8_t { Ok, Yes, No };

using TWindow = void*;
TWindow DesktopWindow();
// Modal message box owned by `owner`. Without host services the text goes to
// standard error and a Yes/No question is asked on the terminal; with no
// terminal to ask, the answer is No.
TAnswer ShowMessageBox(TWindow owner, std::string_view text, std::string_view caption,
                       TIcon icon, TButtons buttons);

// A top-level window of that class; null when there is none.
TWindow FindTopLevelWindow(const char* className);

// --- Modal forms ---------------------------------------------------------------
// A form as data: every control with its place, caption and state. Control 0
// is the form itself. Parent indexes into the same list (-1: none).
enum class TControlKind : uint8_t { Form, Button, PageControl, Page, Label, GroupBox, CheckBox };
struct TFormControl {
  std::string Name;
  TControlKind Kind = TControlKind::Form;
  int Parent = -1;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Caption;
  int TabOrder = 0;
  bool Enabled = true;
  bool Checked = false;
  bool IsDefault = false;
  // The form's window (control 0 only): its style and extended style, 0 for
  // the system's defaults, and the font of every control (empty: the
  // system's).
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  std::string FontName;
  int FontHeight = 0;
};
enum class TFormResult : uint8_t { NotShown, Ok, Closed };
// Where forms are real windows, a shown form answers the window message
// registered under this name (wParam: the form's window or one of its
// controls' windows) with a pointer to the control's zero-terminated Name,
// valid while the form is shown, or 0; so a host can tell the controls
// apart.
constexpr const char* kFormControlNameMessage = "Pcb9FormControlName";
// Shows the form modally, owned by `owner`, until OK or the close box, and
// copies the final check box states back into `controls`. `command` runs for
// every other push button pressed (the form stays open). With `show` false
// the form is only made known to the host and nothing appears. Without host
// services: nothing is shown and the states stay as they are.
TFormResult RunModalForm(TWindow owner, std::vector<TFormControl>& controls, bool show,
                         const std::function<void(int control)>& command);

// --- Message queue -------------------------------------------------------------
struct TMessage {
  TWindow Window = nullptr;
  uint32_t Message = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
};
constexpr uint32_t kMsgKeyDown = 0x0100;
constexpr uint32_t kMsgSysKeyDown = 0x0104;
constexpr uintptr_t kKeyEscape = 0x1B;

// Takes the next pending message of the calling thread off its queue.
bool TakePendingMessage(TMessage& message);
// Delivers a message straight to its window's procedure.
void DeliverMessage(const TMessage& message);

// --- Registry, date and time -------------------------------------------------------
// Whether the key exists under the local machine's root; never creates it.
// Without host services no key exists.
bool MachineKeyExists(std::string_view path);
// Current date and time in the system's short date and long time formats.
std::string ShortDateText();
std::string LongTimeText();

}  // namespace pcb9::platform
