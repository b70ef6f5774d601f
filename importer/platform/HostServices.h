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
}

// Exported names.
#define PCB9_PLATFORM_SERVICES(X)                        \
  X(TPlatformMessageBox, PlatformAPI_MessageBox)         \
  X(TPlatformDesktopWindow, PlatformAPI_DesktopWindow)   \
  X(TPlatformTakeMessage, PlatformAPI_TakeMessage)       \
  X(TPlatformDeliverMessage, PlatformAPI_DeliverMessage) \
  X(TPlatformMachineKeyExists, PlatformAPI_MachineKeyExists) \
  X(TPlatformText, PlatformAPI_ShortDateText)            \
  X(TPlatformText, PlatformAPI_LongTimeText)
