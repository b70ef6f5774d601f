// The reference host on Windows. The importer shows real message boxes and
// its rule dialog here; a computer-based training hook on the host's thread
// sees each one as it is activated, records it through the session and
// answers it as the session scripts the user: the box's button, the dialog's
// check boxes and OK.
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "HostSession.h"
#include "HostSystem.h"
#include "Module.h"
#include "WindowSnapshotWin.h"
#include "platform/Platform.h"

namespace pcb9host::hostsystem {

void UseLargePages(char**) {}  // large pages need a privilege users do not have

const char* const kPluginFileName = "pcb9import.dll";

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ".";
  std::string folder(path, n);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

void* LoadModule(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) error = "system error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

bool LocalTime(std::time_t time, std::tm& local) { return localtime_s(&local, &time) == 0; }

int TerminalColumns(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (!GetConsoleScreenBufferInfo(console, &info)) return 80;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

namespace {

constexpr const char* kTestModeSubKey = "Software\\Corvex\\TestMode";
constexpr const char* kTestModeParentKey = "Software\\Corvex";

// The clicks that finish a shown form's answer: its boxes, then OK.
struct TFormFinish {
  HWND Form = nullptr;
  UINT NameMessage = 0;
  std::vector<HWND> Boxes;
  HWND Ok = nullptr;
};

struct TUi {
  THostSession* Session = nullptr;
  HWND Editor = nullptr;
  HHOOK Hook = nullptr;
  bool CreatedTestKey = false;
  bool CreatedTestParent = false;
  std::set<HWND> Answered;  // each box or dialog is answered once
  HWND PendingForm = nullptr;  // shown, answered when its loop runs
  TFormFinish Finish;
  std::FILE* DialogInput = nullptr;  // the form's typed answers, for tests
};

TUi& Ui() {
  static TUi ui;
  return ui;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  const int n = GetWindowTextA(window, text, static_cast<int>(sizeof text));
  return std::string(text, static_cast<size_t>(std::max(n, 0)));
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, static_cast<int>(sizeof name));
  return name;
}

// A system callback: stdcall on i686, which a lambda cannot be.
BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// The owner as the session names windows: a box owned by the desktop window
// has no owner window of its own on Windows.
void* OwnerOf(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  if (!owner || owner == GetDesktopWindow()) return THostSession::DesktopWindow();
  return owner;
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// --- Message boxes ---------------------------------------------------------------

// Icons in the session's numbering: 1 information, 2 warning, 3 error, 4
// question; the system shares one handle of each.
int32_t IconNumber(HICON icon) {
  if (!icon) return 0;
  const LPCSTR kIcons[] = {IDI_ASTERISK, IDI_EXCLAMATION, IDI_HAND, IDI_QUESTION};
  for (int32_t i = 0; i < 4; ++i)
    if (icon == LoadIconA(nullptr, kIcons[i])) return i + 1;
  return 0;
}

void AnswerMessageBox(HWND box) {
  std::string text;
  HICON icon = nullptr;
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) != "Static" && ClassOf(child) != "STATIC") continue;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      // The box is not on the screen yet: its own style says whether the
      // icon is shown.
      if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)
        icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (text.empty()) {
      text = WindowText(child);
    }
  }
  const bool yesNo = GetDlgItem(box, IDYES) != nullptr;
  const int32_t answer = Ui().Session->AnswerMessageBox(OwnerOf(box), text.c_str(),
                                                        WindowText(box).c_str(), IconNumber(icon),
                                                        yesNo ? 1 : 0);
  Press(box, answer == 1 ? IDYES : answer == 2 ? IDNO : IDOK);
}

// --- The rule dialog ---------------------------------------------------------------

// The dialog's controls as the session's form: the form, its push buttons
// and its check boxes, in the order of the form's data.
struct TLiveForm {
  std::vector<HWND> Windows;
  std::vector<std::string> Names, Captions;
  std::vector<TPlatformFormControl> Controls;
};

int ButtonType(HWND window) { return static_cast<int>(GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK); }

TLiveForm ReadForm(HWND form, UINT nameMessage) {
  std::vector<HWND> windows = Descendants(form);
  std::erase_if(windows, [](HWND w) {
    if (ClassOf(w) != "Button" && ClassOf(w) != "BUTTON") return true;
    const int type = ButtonType(w);
    return type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_AUTOCHECKBOX;
  });
  std::sort(windows.begin(), windows.end(),
            [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
  windows.insert(windows.begin(), form);
  TLiveForm live;
  live.Windows = windows;
  for (HWND w : windows) {
    const auto* name = reinterpret_cast<const char*>(SendMessageA(form, nameMessage, reinterpret_cast<WPARAM>(w), 0));
    live.Names.push_back(name ? name : "");
    live.Captions.push_back(WindowText(w));
  }
  for (size_t i = 0; i < windows.size(); ++i) {
    TPlatformFormControl c{};
    c.Name = live.Names[i].c_str();
    c.Caption = live.Captions[i].c_str();
    c.Parent = i == 0 ? -1 : 0;
    const int type = i == 0 ? -1 : ButtonType(windows[i]);
    c.Kind = i == 0 ? "form" : type == BS_AUTOCHECKBOX ? "checkbox" : "button";
    c.IsDefault = type == BS_DEFPUSHBUTTON;
    c.Enabled = IsWindowEnabled(windows[i]) ? 1 : 0;
    c.Checked = type == BS_AUTOCHECKBOX && SendMessageA(windows[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
    live.Controls.push_back(c);
  }
  return live;
}

// Help pressed on the session's terminal: the dialog's own button.
void PCB9_CALL PressFormButton(void* context, int32_t control) {
  const auto* live = static_cast<const TLiveForm*>(context);
  if (control > 0 && static_cast<size_t>(control) < live->Windows.size())
    SendMessageA(live->Windows[static_cast<size_t>(control)], BM_CLICK, 0, 0);
}

// A form that goes without having been shown: recorded as built.
void RecordHiddenForm(HWND form, UINT nameMessage) {
  TLiveForm live = ReadForm(form, nameMessage);
  Ui().Session->RunModalForm(OwnerOf(form), live.Controls, false, &PressFormButton, &live);
}

// Clicks the boxes whose state the answer changed, then OK. A test's
// snapshot shows the form just before OK.
void CALLBACK FinishShownForm(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const TFormFinish finish = std::exchange(Ui().Finish, TFormFinish{});
  // A form that went before OK (a Help that closed it) gets nothing more.
  if (!finish.Form || !IsWindow(finish.Form)) return;
  for (HWND box : finish.Boxes) SendMessageA(box, BM_CLICK, 0, 0);
  WriteWindowSnapshot(finish.Form, finish.NameMessage);
  if (finish.Ok) Press(finish.Form, GetDlgCtrlID(finish.Ok));
}

// Answers the shown form as the session scripts it (a Help pressed there is
// clicked at once). The rest waits for the form's loop to turn again, so
// that a form that does not stay open until OK shows.
void AnswerForm(HWND form, UINT nameMessage) {
  TLiveForm live = ReadForm(form, nameMessage);
  std::vector<uint8_t> before;
  for (const TPlatformFormControl& c : live.Controls) before.push_back(c.Checked);
  Ui().Session->RunModalForm(OwnerOf(form), live.Controls, true, &PressFormButton, &live);
  TFormFinish& finish = Ui().Finish;
  finish = {form, nameMessage, {}, nullptr};
  for (size_t i = 1; i < live.Windows.size(); ++i) {
    if (std::strcmp(live.Controls[i].Kind, "checkbox") == 0 && live.Controls[i].Checked != before[i])
      finish.Boxes.push_back(live.Windows[i]);
    if (live.Controls[i].IsDefault) finish.Ok = live.Windows[i];
  }
  SetTimer(nullptr, 0, 10, &FinishShownForm);
}

// The form is answered from its own modal loop once it is on the screen, so
// that clicks land on a live window.
void CALLBACK AnswerShownForm(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  TUi& ui = Ui();
  HWND form = ui.PendingForm;
  ui.PendingForm = nullptr;
  if (!form || !IsWindow(form) || !ui.Session) return;
  const UINT nameMessage = RegisterWindowMessageA(pcb9::platform::kFormControlNameMessage);
  AnswerForm(form, nameMessage);
}

LRESULT CALLBACK TrainingHook(int code, WPARAM wparam, LPARAM lparam) {
  TUi& ui = Ui();
  HWND window = reinterpret_cast<HWND>(wparam);
  const bool activate = code == HCBT_ACTIVATE, destroy = code == HCBT_DESTROYWND;
  if ((activate || destroy) && ui.Session && ui.Answered.insert(window).second) {
    const UINT nameMessage = RegisterWindowMessageA(pcb9::platform::kFormControlNameMessage);
    const bool form = SendMessageA(window, nameMessage, reinterpret_cast<WPARAM>(window), 0) != 0;
    if (activate && ClassOf(window) == "#32770")
      AnswerMessageBox(window);
    else if (activate && form) {
      ui.PendingForm = window;
      SetTimer(nullptr, 0, 10, &AnswerShownForm);
    }
    else if (destroy && form)
      RecordHiddenForm(window, nameMessage);
    else
      ui.Answered.erase(window);
  }
  return CallNextHookEx(ui.Hook, code, wparam, lparam);
}

HWND CreateEditorWindow() {
  static const bool registered = [] {
    WNDCLASSA editor{};
    editor.lpfnWndProc = DefWindowProcA;
    editor.hInstance = GetModuleHandleA(nullptr);
    editor.lpszClassName = kEditorWindowClass.data();
    return RegisterClassA(&editor) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, kEditorWindowClass.data(), "pcb9-host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                         480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool KeyExists(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A console under Wine takes no typed answers from a script, so a test
// names a file of the lines a user would type at the form's prompt (h
// presses Help, a number toggles a box, an empty line OK); the host then
// acts on the live window as for a terminal.
void OpenDialogInput(THostSession& session) {
  const char* path = std::getenv("PCB9_DIALOG_INPUT");
  if (!path || !*path) return;
  Ui().DialogInput = std::fopen(path, "rb");
  if (Ui().DialogInput)
    session.SetDialogTerminal(Ui().DialogInput, stderr);
  else
    std::fprintf(stderr, "PCB9_DIALOG_INPUT: cannot open %s\n", path);
}

}  // namespace

void BeginImportUi(THostSession& session) {
  EndImportUi();
  TUi& ui = Ui();
  ui.Session = &session;
  OpenDialogInput(session);
  ui.Editor = CreateEditorWindow();
  morvik::SetEditorWindow(ui.Editor);
  ui.Hook = SetWindowsHookExA(WH_CBT, TrainingHook, nullptr, GetCurrentThreadId());
  // The key lasts for this run only: volatile, and removed at its end with
  // the parent made for it (which a crash would leave volatile too).
  if (session.TestMode() && !KeyExists(kTestModeSubKey)) {
    ui.CreatedTestParent = !KeyExists(kTestModeParentKey);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestModeSubKey, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegCloseKey(key);
      ui.CreatedTestKey = true;
    }
  }
}

void EndImportUi() {
  TUi& ui = Ui();
  if (ui.CreatedTestKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestModeSubKey);
  if (ui.CreatedTestParent) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestModeParentKey);
  if (ui.Hook) UnhookWindowsHookEx(ui.Hook);
  if (ui.Editor) DestroyWindow(ui.Editor);
  morvik::SetEditorWindow(nullptr);
  if (ui.DialogInput) {
    ui.Session->SetDialogTerminal(nullptr, nullptr);
    std::fclose(ui.DialogInput);
  }
  ui = TUi{};
}

void QueueKey(THostSession&, const TQueuedMessage& message) {
  PostMessageA(static_cast<HWND>(message.Window), message.Message, message.WParam, message.LParam);
}

// Ctrl-C becomes an Esc key-down in the importing thread's own queue, which
// the importer's abort check drains; the console's other keys are not
// watched here.
namespace {

DWORD KeyThread = 0;

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT || !KeyThread) return FALSE;
  PostThreadMessageA(KeyThread, WM_KEYDOWN, VK_ESCAPE, 0);
  return TRUE;
}

}  // namespace

void WatchKeys(bool on) {
  if (on == (KeyThread != 0)) return;
  KeyThread = on ? GetCurrentThreadId() : 0;
  SetConsoleCtrlHandler(&OnConsoleControl, on ? TRUE : FALSE);
}

void PauseKeys(bool paused) {
  if (KeyThread) SetConsoleCtrlHandler(&OnConsoleControl, paused ? FALSE : TRUE);
}

bool TakeAbortKey() { return false; }

}  // namespace pcb9host::hostsystem
