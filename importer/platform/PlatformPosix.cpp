// POSIX implementation of the platform layer. Modules are found with the
// dynamic loader; message boxes, the message queue, the registry and the
// date and time texts come from the host application's exported services,
// with the terminal standing in when a host offers none.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
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
void Bind(TModule module, const char* name, T& slot) {
  void* symbol = FindSymbol(module, name);
  static_assert(sizeof symbol == sizeof slot);
  std::memcpy(&slot, &symbol, sizeof slot);
}

void BindFrom(TModule module) {
  TServices& s = Services();
#define PCB9_SERVICE_BIND(Type, Name) Bind(module, #Name, s.Name);
  PCB9_PLATFORM_SERVICES(PCB9_SERVICE_BIND)
#undef PCB9_SERVICE_BIND
  s.Bound = true;
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
