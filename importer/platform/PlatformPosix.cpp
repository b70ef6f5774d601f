// POSIX implementation of the platform layer. Modules are found with the
// dynamic loader; message boxes, the message queue, the registry and the
// date and time texts come from the host application's exported services,
// with the terminal standing in when a host offers none.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <ctime>
#include <string>

#include "HostServices.h"
#include "Platform.h"

namespace pcb9::platform {

// --- Modules -------------------------------------------------------------------

TModule FindLoadedModule(const char* name) {
  if (!name || !*name) return nullptr;
  // RTLD_NOLOAD answers only for a module that is already mapped. The extra
  // reference it takes is never dropped: the host module outlives the run.
  return dlopen(name, RTLD_NOW | RTLD_NOLOAD);
}

TModule MainModule() { return dlopen(nullptr, RTLD_NOW); }

void* FindSymbol(TModule module, const char* name) {
  if (!module || !name) return nullptr;
  return dlsym(module, name);
}

// --- Host services ---------------------------------------------------------------

namespace {

struct TServices {
  bool Bound = false;
#define PCB9_SERVICE_SLOT(Type, Name) Type Name = nullptr;
  PCB9_PLATFORM_SERVICES(PCB9_SERVICE_SLOT)
#undef PCB9_SERVICE_SLOT
};

TServices& Services() {
  static TServices services;
  return services;
}

template <class T>
void BindThrough(const TServiceLookup& lookup, const char* name, T& slot) {
  void* symbol = lookup ? lookup(name) : nullptr;
  static_assert(sizeof symbol == sizeof slot);
  std::memcpy(&slot, &symbol, sizeof slot);
}

void BindFrom(const TServiceLookup& lookup) {
  TServices& s = Services();
#define PCB9_SERVICE_BIND(Type, Name) BindThrough(lookup, #Name, s.Name);
  PCB9_PLATFORM_SERVICES(PCB9_SERVICE_BIND)
#undef PCB9_SERVICE_BIND
  s.Bound = true;
}

void BindFrom(TModule module) {
  BindFrom([module](const char* name) { return FindSymbol(module, name); });
}

const TServices& Bound() {
  if (!Services().Bound) BindFrom(MainModule());
  return Services();
}

// --- Terminal fallbacks ---------------------------------------------------------

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = write(fd, text.data(), text.size());
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

// Reads one answer line from the controlling terminal; false without one.
bool AskTerminalYes() {
  int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) return false;
  WriteAll(tty, "[y/N] ");
  std::string line;
  char c = 0;
  while (line.size() < 64 && read(tty, &c, 1) == 1 && c != '\n') line.push_back(c);
  close(tty);
  size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && (line[first] == 'y' || line[first] == 'Y');
}

TAnswer TerminalMessageBox(std::string_view text, std::string_view caption, TButtons buttons) {
  std::string line(caption);
  line += ": ";
  line += text;
  line += '\n';
  WriteAll(STDERR_FILENO, line);
  if (buttons == TButtons::Ok) return TAnswer::Ok;
  return AskTerminalYes() ? TAnswer::Yes : TAnswer::No;
}

std::string LocalTimeText(const char* format) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return {};
  char buffer[128];
  size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

std::string HostText(TPlatformText service) {
  char buffer[256] = {};
  service(buffer, static_cast<int32_t>(sizeof buffer));
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

}  // namespace

void BindHostServices(TModule module) { BindFrom(module); }

void BindHostServices(const TServiceLookup& lookup) { BindFrom(lookup); }

// --- Message boxes ------------------------------------------------------------------

TWindow DesktopWindow() {
  const TServices& s = Bound();
  return s.PlatformAPI_DesktopWindow ? s.PlatformAPI_DesktopWindow() : nullptr;
}

TAnswer ShowMessageBox(TWindow owner, std::string_view text, std::string_view caption, TIcon icon,
                       TButtons buttons) {
  const TServices& s = Bound();
  if (!s.PlatformAPI_MessageBox) return TerminalMessageBox(text, caption, buttons);
  const std::string textZ(text), captionZ(caption);
  int32_t answer = s.PlatformAPI_MessageBox(owner, textZ.c_str(), captionZ.c_str(),
                                            static_cast<int32_t>(icon), static_cast<int32_t>(buttons));
  if (buttons == TButtons::Ok) return TAnswer::Ok;
  // Anything but a plain Yes counts as No: a box that was not answered must
  // not confirm anything.
  return answer == static_cast<int32_t>(TAnswer::Yes) ? TAnswer::Yes : TAnswer::No;
}

TWindow FindTopLevelWindow(const char* className) {
  const TServices& s = Bound();
  if (!s.PlatformAPI_FindWindow || !className) return nullptr;
  return s.PlatformAPI_FindWindow(className);
}

// --- Modal forms -------------------------------------------------------------------------

namespace {

constexpr const char* kControlKindNames[] = {"form",  "button",   "pagecontrol", "page",
                                             "label", "groupbox", "checkbox"};

const char* ControlKindName(TControlKind kind) {
  const auto index = static_cast<size_t>(kind);
  return index < std::size(kControlKindNames) ? kControlKindNames[index] : "label";
}

TPlatformFormControl HostControl(const TFormControl& control) {
  TPlatformFormControl c{};
  c.Name = control.Name.c_str();
  c.Kind = ControlKindName(control.Kind);
  c.Parent = control.Parent;
  c.Left = control.Left;
  c.Top = control.Top;
  c.Width = control.Width;
  c.Height = control.Height;
  c.Caption = control.Caption.c_str();
  c.TabOrder = control.TabOrder;
  c.Enabled = control.Enabled ? 1 : 0;
  c.Checked = control.Checked ? 1 : 0;
  c.IsDefault = control.IsDefault ? 1 : 0;
  return c;
}

// Runs a button's command for the host. Nothing may unwind into the host's
// frames, so a failing command is dropped there.
void PCB9_CALL RunFormCommand(void* context, int32_t control) {
  const auto* command = static_cast<const std::function<void(int)>*>(context);
  if (!command || !*command) return;
  try {
    (*command)(control);
  } catch (...) {
  }
}

TFormResult FormResult(int32_t result, bool show) {
  if (!show) return TFormResult::NotShown;
  switch (result) {
    case 1: return TFormResult::Ok;
    case 2: return TFormResult::Closed;
    default: return TFormResult::NotShown;
  }
}

}  // namespace

TFormResult RunModalForm(TWindow owner, std::vector<TFormControl>& controls, bool show,
                         const std::function<void(int control)>& command) {
  const TServices& s = Bound();
  if (!s.PlatformAPI_RunModalForm || controls.empty()) return TFormResult::NotShown;
  // The host reads the texts while the form runs; a command may change
  // `controls` meanwhile, so it gets texts of its own.
  const std::vector<TFormControl> shown = controls;
  std::vector<TPlatformFormControl> hostControls;
  hostControls.reserve(shown.size());
  for (const TFormControl& control : shown) hostControls.push_back(HostControl(control));
  const int32_t result = s.PlatformAPI_RunModalForm(
      owner, hostControls.data(), static_cast<int32_t>(hostControls.size()), show ? 1 : 0,
      &RunFormCommand, const_cast<std::function<void(int)>*>(&command));
  // Only a shown form can have been changed by the user.
  if (show)
    for (size_t i = 0; i < controls.size(); ++i)
      if (controls[i].Kind == TControlKind::CheckBox) controls[i].Checked = hostControls[i].Checked != 0;
  return FormResult(result, show);
}

// --- Message queue ----------------------------------------------------------------------

bool TakePendingMessage(TMessage& message) {
  const TServices& s = Bound();
  if (!s.PlatformAPI_TakeMessage) return false;
  TMessage next;
  if (s.PlatformAPI_TakeMessage(&next.Window, &next.Message, &next.WParam, &next.LParam) == 0)
    return false;
  message = next;
  return true;
}

void DeliverMessage(const TMessage& message) {
  const TServices& s = Bound();
  if (s.PlatformAPI_DeliverMessage)
    s.PlatformAPI_DeliverMessage(message.Window, message.Message, message.WParam, message.LParam);
}

// --- Registry, date and time ------------------------------------------------------------

bool MachineKeyExists(std::string_view path) {
  const TServices& s = Bound();
  if (!s.PlatformAPI_MachineKeyExists) return false;
  const std::string pathZ(path);
  return s.PlatformAPI_MachineKeyExists(pathZ.c_str()) != 0;
}

std::string ShortDateText() {
  const TServices& s = Bound();
  return s.PlatformAPI_ShortDateText ? HostText(s.PlatformAPI_ShortDateText) : LocalTimeText("%x");
}

std::string LongTimeText() {
  const TServices& s = Bound();
  return s.PlatformAPI_LongTimeText ? HostText(s.PlatformAPI_LongTimeText) : LocalTimeText("%X");
}

}  // namespace pcb9::platform
