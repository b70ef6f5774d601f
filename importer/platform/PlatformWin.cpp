// Windows implementation of the platform layer: modules by name, message
// boxes, the calling thread's message queue, the registry and the system's
// date and time formats, all from the Win32 API itself. The modal form is
// in PlatformWinForm.cpp.
#include <windows.h>

#include <string>

#include "Platform.h"

namespace pcb9::platform {

// --- Modules -------------------------------------------------------------------

TModule FindLoadedModule(const char* name) {
  if (!name || !*name) return nullptr;
  // Never loads: a module that is not mapped yet stays unbound.
  return reinterpret_cast<TModule>(GetModuleHandleA(name));
}

TModule MainModule() { return reinterpret_cast<TModule>(GetModuleHandleA(nullptr)); }

void* FindSymbol(TModule module, const char* name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

// --- Host services ---------------------------------------------------------------

// The system provides every service; there is nothing to bind.
void BindHostServices(TModule) {}

void BindHostServices(const TServiceLookup&) {}

// --- Message boxes ------------------------------------------------------------------

namespace {

// Indexed by TIcon.
constexpr UINT kIconFlags[] = {0, MB_ICONINFORMATION, MB_ICONWARNING, MB_ICONERROR,
                               MB_ICONQUESTION};

UINT IconFlag(TIcon icon) {
  const auto index = static_cast<size_t>(icon);
  return index < std::size(kIconFlags) ? kIconFlags[index] : 0;
}

}  // namespace

TWindow DesktopWindow() { return GetDesktopWindow(); }

TAnswer ShowMessageBox(TWindow owner, std::string_view text, std::string_view caption, TIcon icon,
                       TButtons buttons) {
  const std::string textZ(text), captionZ(caption);
  const UINT buttonFlags = buttons == TButtons::YesNo ? MB_YESNO : MB_OK;
  const int answer = MessageBoxA(static_cast<HWND>(owner), textZ.c_str(), captionZ.c_str(),
                                 buttonFlags | IconFlag(icon));
  if (buttons == TButtons::Ok) return TAnswer::Ok;
  // A box that failed or was not answered must not confirm anything.
  return answer == IDYES ? TAnswer::Yes : TAnswer::No;
}

TWindow FindTopLevelWindow(const char* className) {
  if (!className) return nullptr;
  return FindWindowA(className, nullptr);
}

// --- Message queue ----------------------------------------------------------------------

bool TakePendingMessage(TMessage& message) {
  MSG next{};
  if (!PeekMessageA(&next, nullptr, 0, 0, PM_REMOVE)) return false;
  message.Window = next.hwnd;
  message.Message = next.message;
  message.WParam = next.wParam;
  message.LParam = next.lParam;
  return true;
}

void DeliverMessage(const TMessage& message) {
  // A thread message has no window procedure to go to.
  if (!message.Window) return;
  SendMessageA(static_cast<HWND>(message.Window), message.Message, message.WParam, message.LParam);
}

// --- Registry, date and time ------------------------------------------------------------

bool MachineKeyExists(std::string_view path) {
  // Key paths are relative to the root: a leading separator would make the
  // lookup fail on systems that do not strip it.
  const size_t start = path.find_first_not_of('\\');
  if (start == std::string_view::npos) return false;
  const std::string relative(path.substr(start));
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, relative.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

namespace {

std::string Trimmed(const char* buffer, int written) {
  // The count includes the terminator; 0 means the call failed.
  return written > 0 ? std::string(buffer, static_cast<size_t>(written - 1)) : std::string();
}

}  // namespace

std::string ShortDateText() {
  char buffer[128];
  return Trimmed(buffer, GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                        buffer, static_cast<int>(sizeof buffer)));
}

std::string LongTimeText() {
  char buffer[128];
  return Trimmed(buffer, GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer,
                                        static_cast<int>(sizeof buffer)));
}

}  // namespace pcb9::platform
