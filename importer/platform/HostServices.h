#pragma once
// Services that a host application on a system without native message
// boxes, message queue and registry exports from its main program, bound by
// name like the ClientAPI_ functions. Declared here so that hosts and the
// plug-in agree on the signatures.
#include <cstdint>

#include "CallConv.h"

extern "C" {
// Message box: icon 0 none, 1 information, 2 warning, 3 error, 4 question;
// buttons 0 OK, 1 Yes/No. Answer 0 OK, 1 Yes, 2 No.
typedef int32_t(PCB9_CALL* TPlatformMessageBox)(void* owner, const char* text, const char* caption,
                                                int32_t icon, int32_t buttons);
typedef void*(PCB9_CALL* TPlatformDesktopWindow)();
// Fills the four message fields of the next pending message and returns 1,
// or returns 0 when the queue is empty.
typedef int32_t(PCB9_CALL* TPlatformTakeMessage)(void** window, uint32_t* message, uintptr_t* wparam,
                                                 intptr_t* lparam);
typedef void(PCB9_CALL* TPlatformDeliverMessage)(void* window, uint32_t message, uintptr_t wparam,
                                                 intptr_t lparam);
typedef int32_t(PCB9_CALL* TPlatformMachineKeyExists)(const char* path);
// Writes a zero-terminated text of at most size - 1 characters.
typedef void(PCB9_CALL* TPlatformText)(char* buffer, int32_t size);
// A top-level window of that class; null when there is none.
typedef void*(PCB9_CALL* TPlatformFindWindow)(const char* className);

// One control of a modal form. Kind: "form" (always control 0), "button",
// "pagecontrol", "page", "label", "groupbox", "checkbox". Parent is the
// index of the parent control, -1 for the form. Positions in pixels at 96
// pixels per inch, relative to the parent.
typedef struct TPlatformFormControl {
  const char* Name;
  const char* Kind;
  int32_t Parent;
  int32_t Left, Top, Width, Height;
  const char* Caption;
  int32_t TabOrder;
  uint8_t Enabled;
  uint8_t Checked;    // check boxes: in and out
  uint8_t IsDefault;  // the push button that closes the form with OK
  uint8_t Reserved;
} TPlatformFormControl;
// A push button other than the default one was pressed; the form stays.
typedef void(PCB9_CALL* TPlatformFormCommand)(void* context, int32_t control);
// Runs the form modally, owned by `owner`, until OK or the close box; the
// host writes the final check box states back into `controls`. With show 0
// the form is only made known to the host (built, not shown) and the call
// returns at once. Returns 1 for OK, 2 for the close box, 0 when not shown.
typedef int32_t(PCB9_CALL* TPlatformRunModalForm)(void* owner, TPlatformFormControl* controls,
                                                  int32_t count, int32_t show,
                                                  TPlatformFormCommand command, void* context);
}

// Exported names.
#define PCB9_PLATFORM_SERVICES(X)                        \
  X(TPlatformMessageBox, PlatformAPI_MessageBox)         \
  X(TPlatformDesktopWindow, PlatformAPI_DesktopWindow)   \
  X(TPlatformTakeMessage, PlatformAPI_TakeMessage)       \
  X(TPlatformDeliverMessage, PlatformAPI_DeliverMessage) \
  X(TPlatformMachineKeyExists, PlatformAPI_MachineKeyExists) \
  X(TPlatformText, PlatformAPI_ShortDateText)            \
  X(TPlatformText, PlatformAPI_LongTimeText)            \
  X(TPlatformFindWindow, PlatformAPI_FindWindow)         \
  X(TPlatformRunModalForm, PlatformAPI_RunModalForm)
