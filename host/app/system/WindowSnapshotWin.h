#pragma once
// A record of a live window for tests: when the environment variable
// PCB9_WINDOW_SNAPSHOT names a path prefix, PREFIX.txt lists the window and
// every control in it, one line each, and PREFIX.bmp holds a picture of it.
#include <windows.h>

namespace pcb9host::hostsystem {

// Line fields, separated by '|': the control's Name (asked with the form's
// name message), class, caption, left, top, width, height (relative to the
// form's client area; the form's own line gives its screen place and its
// client size), style and extended style in hexadecimal, enabled, checked
// (1 or 0), for the form the class of its owner window, then the font the
// window was given (face name and LOGFONT height) and the face and
// character height the system draws it with.
void WriteWindowSnapshot(HWND form, UINT nameMessage);

}  // namespace pcb9host::hostsystem
