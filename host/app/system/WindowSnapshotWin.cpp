#include "WindowSnapshotWin.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pcb9host::hostsystem {

namespace {

std::string Text(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, static_cast<int>(sizeof text));
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  if (window) GetClassNameA(window, name, static_cast<int>(sizeof name));
  return name;
}

// The window's font: what it was asked for (the LOGFONT of WM_GETFONT's
// font) and what the system made of it (the face and character height of
// the font it selects for drawing), which differ where a face is
// substituted.
struct TFontSeen {
  std::string Face;
  long Height = 0;
  std::string DrawnFace;
  long DrawnHeight = 0;
};

TFontSeen FontOf(HWND window) {
  TFontSeen seen;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  LOGFONTA asked{};
  if (!font || GetObjectA(font, sizeof asked, &asked) != sizeof asked) return seen;
  seen.Face = asked.lfFaceName;
  seen.Height = asked.lfHeight;
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  seen.DrawnFace = face;
  seen.DrawnHeight = metrics.tmHeight - metrics.tmInternalLeading;
  return seen;
}

void WriteLine(std::FILE* out, HWND form, HWND window, UINT nameMessage) {
  const auto* name = reinterpret_cast<const char*>(
      SendMessageA(form, nameMessage, reinterpret_cast<WPARAM>(window), 0));
  RECT place{};
  if (window == form) {
    RECT client{};
    GetWindowRect(form, &place);
    GetClientRect(form, &client);
    place.right = place.left + client.right;
    place.bottom = place.top + client.bottom;
  } else {
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
  }
  const bool button = (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
  const TFontSeen font = FontOf(window);
  std::fprintf(out, "%s|%s|%s|%ld|%ld|%ld|%ld|%08lx|%08lx|%d|%d|%s|%s|%ld|%s|%ld\n", name ? name : "",
               ClassName(window).c_str(), Text(window).c_str(), place.left, place.top,
               place.right - place.left, place.bottom - place.top,
               static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
               static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
               IsWindowEnabled(window) ? 1 : 0,
               button && SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
               window == form ? ClassName(GetWindow(form, GW_OWNER)).c_str() : "",
               font.Face.c_str(), font.Height, font.DrawnFace.c_str(), font.DrawnHeight);
}

struct TLineContext {
  std::FILE* Out;
  HWND Form;
  UINT NameMessage;
};

BOOL CALLBACK WriteChildLine(HWND child, LPARAM data) {
  const auto* c = reinterpret_cast<const TLineContext*>(data);
  WriteLine(c->Out, c->Form, child, c->NameMessage);
  return TRUE;
}

// A window's client area in the picture's coordinates (the form's window
// rectangle's top left is 0, 0).
RECT ClientPlace(HWND window, POINT origin) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -origin.x, -origin.y);
  return client;
}

// Draws `window`'s client area and, above it, its visible descendants (the
// bottom of the Z order first) into `picture`, within `clip`. Each window
// prints itself (WM_PRINTCLIENT, after WM_ERASEBKGND) into a bitmap of its
// own that starts as what lies below it: the controls draw as at their own
// window's origin, and what they leave alone shows through. The picture is
// what the windows draw, whether or not the screen has caught up with them,
// and a control that is hidden or draws nothing is missing from it.
void PrintTree(HWND window, HDC picture, POINT origin, RECT clip) {
  if (!IsWindowVisible(window)) return;
  const RECT client = ClientPlace(window, origin);
  RECT shown{};
  if (!IntersectRect(&shown, &client, &clip)) return;
  const int width = client.right - client.left, height = client.bottom - client.top;
  HDC own = CreateCompatibleDC(picture);
  HBITMAP bitmap = CreateCompatibleBitmap(picture, width, height);
  HGDIOBJ old = SelectObject(own, bitmap);
  BitBlt(own, 0, 0, width, height, picture, client.left, client.top, SRCCOPY);
  SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(own), PRF_CLIENT | PRF_ERASEBKGND);
  BitBlt(picture, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, own,
         shown.left - client.left, shown.top - client.top, SRCCOPY);
  SelectObject(own, old);
  DeleteObject(bitmap);
  DeleteDC(own);
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (auto child = children.rbegin(); child != children.rend(); ++child)
    PrintTree(*child, picture, origin, shown);
}

// The form's frame and caption, which the system draws (and does not print
// for a program under every system): a raised edge and the active caption.
void DrawFrame(HWND form, HDC picture, POINT origin, const RECT& all) {
  RECT edge = all;
  DrawEdge(picture, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const RECT client = ClientPlace(form, origin);
  RECT caption{client.left, client.top - GetSystemMetrics(SM_CYCAPTION), client.right, client.top - 1};
  DrawCaption(form, picture, &caption, DC_ACTIVE | DC_TEXT | DC_GRADIENT);
}

// The form as its windows draw themselves, as a 24-bit bottom-up bitmap
// file.
void WritePicture(HWND form, const std::string& path) {
  RECT place{};
  GetWindowRect(form, &place);
  const int width = place.right - place.left, height = place.bottom - place.top;
  if (width <= 0 || height <= 0) return;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, width, height};
  DrawFrame(form, memory, POINT{place.left, place.top}, all);
  PrintTree(form, memory, POINT{place.left, place.top}, all);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
  }
}

}  // namespace

void WriteWindowSnapshot(HWND form, UINT nameMessage) {
  const char* prefix = std::getenv("PCB9_WINDOW_SNAPSHOT");
  if (!prefix || !*prefix) return;
  if (std::FILE* out = std::fopen((std::string(prefix) + ".txt").c_str(), "wb")) {
    WriteLine(out, form, form, nameMessage);
    TLineContext context{out, form, nameMessage};
    EnumChildWindows(form, &WriteChildLine, reinterpret_cast<LPARAM>(&context));
    std::fclose(out);
  }
  WritePicture(form, std::string(prefix) + ".bmp");
}

}  // namespace pcb9host::hostsystem
