// Windows implementation of the modal form: a real window built from the
// form data, with native controls in pixel positions, run in a modal loop of
// its own while its owner is disabled.
//
// Controls are children of the form, except that a page is a window inside
// its page control and everything on a page is a child of that page. Group
// boxes are not parents in the window tree: their boxes are the page's
// children at the group box's offset, so that their notifications reach the
// form and the dialog navigation walks them in tab order.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Platform.h"

namespace pcb9::platform {

namespace {

constexpr const char* kFormClass = "Pcb9ModalForm";
constexpr const char* kPageClass = "Pcb9FormPage";
// Control i gets the identifier kFirstControlId + i.
constexpr int kFirstControlId = 100;
// The form and its pages keep the font they were given in their first extra
// window word, so that WM_GETFONT tells what every window of the form uses.
constexpr int kFontSlot = 0;

struct TFormState {
  const std::vector<TFormControl>* Controls = nullptr;
  const std::function<void(int)>* Command = nullptr;
  std::vector<HWND> Windows;  // by control index; null for none
  bool Done = false;
  TFormResult Result = TFormResult::NotShown;
};

TFormState* StateOf(HWND form) {
  return reinterpret_cast<TFormState*>(GetWindowLongPtrA(form, GWLP_USERDATA));
}

int DefaultButtonId(const TFormState& state) {
  const auto& controls = *state.Controls;
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].Kind == TControlKind::Button && controls[i].IsDefault)
      return kFirstControlId + static_cast<int>(i);
  return 0;
}

void RunCommand(const TFormState& state, int control) {
  // Nothing may unwind through the system's frames.
  try {
    if (state.Command && *state.Command) (*state.Command)(control);
  } catch (...) {
  }
}

void OnButton(HWND form, int id) {
  TFormState* state = StateOf(form);
  if (!state) return;
  const int index = id - kFirstControlId;
  const auto& controls = *state->Controls;
  if (index < 0 || index >= static_cast<int>(controls.size())) return;
  const TFormControl& control = controls[static_cast<size_t>(index)];
  if (control.Kind != TControlKind::Button) return;
  if (control.IsDefault) {
    state->Result = TFormResult::Ok;
    state->Done = true;
  } else {
    RunCommand(*state, index);
  }
}

// The Name of the control whose window is `window`; null for none.
const char* ControlName(const TFormState& state, HWND window) {
  const auto it = std::find(state.Windows.begin(), state.Windows.end(), window);
  if (!window || it == state.Windows.end()) return nullptr;
  return (*state.Controls)[static_cast<size_t>(it - state.Windows.begin())].Name.c_str();
}

// WM_SETFONT and WM_GETFONT for the classes of our own; false for any other
// message.
bool KeepFont(HWND window, UINT message, WPARAM wparam, LRESULT& result) {
  if (message == WM_SETFONT) {
    SetWindowLongPtrA(window, kFontSlot, static_cast<LONG_PTR>(wparam));
    result = 0;
    return true;
  }
  if (message == WM_GETFONT) {
    result = GetWindowLongPtrA(window, kFontSlot);
    return true;
  }
  return false;
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (LRESULT font = 0; KeepFont(window, message, wparam, font)) return font;
  static const UINT nameMessage = RegisterWindowMessageA(kFormControlNameMessage);
  if (message == nameMessage && nameMessage != 0) {
    const TFormState* state = StateOf(window);
    return state ? reinterpret_cast<LRESULT>(ControlName(*state, reinterpret_cast<HWND>(wparam))) : 0;
  }
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case DM_GETDEFID:
      if (const TFormState* state = StateOf(window))
        return MAKELRESULT(DefaultButtonId(*state), DC_HASDEFID);
      return 0;
    case WM_COMMAND:
      // Enter arrives as IDOK; Esc (IDCANCEL) does nothing: the form has no
      // Cancel button.
      if (LOWORD(wparam) == IDOK) {
        if (const TFormState* state = StateOf(window)) OnButton(window, DefaultButtonId(*state));
      } else if (HIWORD(wparam) == BN_CLICKED) {
        OnButton(window, LOWORD(wparam));
      }
      return 0;
    case WM_CLOSE:
      if (TFormState* state = StateOf(window)) {
        state->Result = TFormResult::Closed;
        state->Done = true;
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// A page passes its controls' notifications on to the form.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND)
    return SendMessageA(GetAncestor(window, GA_ROOT), message, wparam, lparam);
  if (LRESULT font = 0; KeepFont(window, message, wparam, font)) return font;
  return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterClasses() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSA form{};
    form.lpfnWndProc = FormProc;
    form.hInstance = GetModuleHandleA(nullptr);
    form.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.cbWndExtra = sizeof(LONG_PTR);
    form.lpszClassName = kFormClass;
    RegisterClassA(&form);
    WNDCLASSA page = form;
    page.lpfnWndProc = PageProc;
    page.lpszClassName = kPageClass;
    RegisterClassA(&page);
    return true;
  }();
  (void)registered;
}

// How a control kind becomes a window: its class and style.
struct TKindWindow {
  TControlKind Kind;
  const char* Class;
  DWORD Style;
  DWORD ExStyle;
};

constexpr TKindWindow kKindWindows[] = {
    {TControlKind::Button, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {TControlKind::PageControl, WC_TABCONTROLA, WS_TABSTOP | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT},
    {TControlKind::Page, kPageClass, 0, WS_EX_CONTROLPARENT},
    {TControlKind::Label, "STATIC", SS_LEFT, 0},
    {TControlKind::GroupBox, "BUTTON", BS_GROUPBOX, 0},
    {TControlKind::CheckBox, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
};

const TKindWindow* KindWindow(TControlKind kind) {
  for (const TKindWindow& row : kKindWindows)
    if (row.Kind == kind) return &row;
  return nullptr;
}

// The children of `parent` in creation order: labels (which take no focus)
// first, then by tab order.
std::vector<int> ChildrenInTabOrder(const std::vector<TFormControl>& controls, int parent) {
  std::vector<int> children;
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].Parent == parent && static_cast<int>(i) != parent)
      children.push_back(static_cast<int>(i));
  std::stable_sort(children.begin(), children.end(), [&](int a, int b) {
    const TFormControl& x = controls[static_cast<size_t>(a)];
    const TFormControl& y = controls[static_cast<size_t>(b)];
    const bool xLabel = x.Kind == TControlKind::Label, yLabel = y.Kind == TControlKind::Label;
    if (xLabel != yLabel) return xLabel;
    return x.TabOrder < y.TabOrder;
  });
  return children;
}

struct TBuilder {
  TFormState& State;
  HFONT Font;

  HWND Create(int index, HWND parent, int left, int top) {
    const TFormControl& control = (*State.Controls)[static_cast<size_t>(index)];
    const TKindWindow* kind = KindWindow(control.Kind);
    if (!kind) return nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE | kind->Style;
    if (control.Kind == TControlKind::Button && control.IsDefault)
      style = (style & ~static_cast<DWORD>(BS_PUSHBUTTON)) | BS_DEFPUSHBUTTON;
    if (control.Kind == TControlKind::CheckBox && control.Caption.empty()) style &= ~WS_TABSTOP;
    if (!control.Enabled) style |= WS_DISABLED;
    const char* caption = control.Kind == TControlKind::Page ? "" : control.Caption.c_str();
    HWND window = CreateWindowExA(kind->ExStyle, kind->Class, caption, style, left, top,
                                  control.Width, control.Height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    if (Font) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    if (control.Kind == TControlKind::CheckBox)
      SendMessageA(window, BM_SETCHECK, control.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    State.Windows[static_cast<size_t>(index)] = window;
    return window;
  }

  // A page fills its page control's display area and gets a tab.
  void CreatePage(int index, HWND pageControl) {
    const TFormControl& page = (*State.Controls)[static_cast<size_t>(index)];
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(page.Caption.c_str());
    const auto tab = SendMessageA(pageControl, TCM_INSERTITEMA,
                                  static_cast<WPARAM>(SendMessageA(pageControl, TCM_GETITEMCOUNT, 0, 0)),
                                  reinterpret_cast<LPARAM>(&item));
    RECT area{};
    GetClientRect(pageControl, &area);
    SendMessageA(pageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND window = Create(index, pageControl, area.left, area.top);
    if (!window) return;
    SetWindowPos(window, nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    // Only the first page is visible.
    if (tab != 0) ShowWindow(window, SW_HIDE);
    CreateChildren(index, window, 0, 0);
  }

  // Creates the children of control `parent` inside `window`, offset by
  // (dx, dy); a group box's children join the same window.
  void CreateChildren(int parent, HWND window, int dx, int dy) {
    for (int index : ChildrenInTabOrder(*State.Controls, parent)) {
      const TFormControl& control = (*State.Controls)[static_cast<size_t>(index)];
      if (control.Kind == TControlKind::Page) {
        CreatePage(index, window);
        continue;
      }
      HWND created = Create(index, window, dx + control.Left, dy + control.Top);
      if (!created) continue;
      if (control.Kind == TControlKind::GroupBox)
        CreateChildren(index, window, dx + control.Left, dy + control.Top);
      else if (control.Kind == TControlKind::PageControl)
        CreateChildren(index, created, 0, 0);
    }
  }
};

HFONT CreateFormFont(const TFormControl& form) {
  if (form.FontName.empty()) return nullptr;
  return CreateFontA(form.FontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, form.FontName.c_str());
}

constexpr DWORD kDefaultFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The form window, its client area as designed, centred on the screen.
HWND CreateForm(TFormState& state, HWND owner) {
  const TFormControl& form = state.Controls->front();
  const DWORD style = form.Style ? form.Style : kDefaultFormStyle;
  const DWORD exStyle = form.ExStyle | WS_EX_CONTROLPARENT;
  RECT outer{0, 0, form.Width, form.Height};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return CreateWindowExA(exStyle, kFormClass, form.Caption.c_str(), style & ~WS_VISIBLE, left, top,
                         width, height, owner, nullptr, GetModuleHandleA(nullptr), &state);
}

// Runs the form's own message loop until OK or the close box. A quit
// message ends the loop and is posted again for the loop that owns it.
void RunLoop(HWND form, TFormState& state) {
  MSG message{};
  while (!state.Done) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      state.Result = TFormResult::Closed;
      return;
    }
    if (got < 0) return;
    if (!IsDialogMessageA(form, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void ReadBack(const TFormState& state, std::vector<TFormControl>& controls) {
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].Kind == TControlKind::CheckBox && state.Windows[i])
      controls[i].Checked = SendMessageA(state.Windows[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TFormResult RunModalForm(TWindow owner, std::vector<TFormControl>& controls, bool show,
                         const std::function<void(int control)>& command) {
  if (controls.empty() || controls.front().Kind != TControlKind::Form) return TFormResult::NotShown;
  RegisterClasses();
  // A command may change `controls`; the window works on its own copy.
  const std::vector<TFormControl> shown = controls;
  TFormState state;
  state.Controls = &shown;
  state.Command = &command;
  state.Windows.assign(shown.size(), nullptr);
  HWND ownerWindow = static_cast<HWND>(owner);
  if (ownerWindow == GetDesktopWindow()) ownerWindow = nullptr;
  HWND form = CreateForm(state, ownerWindow);
  if (!form) return TFormResult::NotShown;
  state.Windows[0] = form;
  HFONT font = CreateFormFont(shown.front());
  if (font) SendMessageA(form, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  TBuilder{state, font}.CreateChildren(0, form, 0, 0);
  // A form that is not shown is still built, hidden, so that the host sees
  // it come and go.
  if (show) {
    if (ownerWindow) EnableWindow(ownerWindow, FALSE);
    ShowWindow(form, SW_SHOW);
    UpdateWindow(form);
    RunLoop(form, state);
    ReadBack(state, controls);
    // The owner comes back before the form goes, so that it gets the focus.
    if (ownerWindow) EnableWindow(ownerWindow, TRUE);
  }
  DestroyWindow(form);
  if (font) DeleteObject(font);
  return state.Result;
}

}  // namespace pcb9::platform
