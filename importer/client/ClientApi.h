#pragma once
// The host application's own services that the importer binds by name from
// the main program: file names and file streams. Declared once so that the
// host and the plug-in agree on the signatures.
#include <cstdint>

#include "platform/CallConv.h"

// Every file-name result buffer holds this many bytes, terminator included.
constexpr int32_t kClientPathBufferSize = 4096;
// Stream mode: create the file, replacing one of that name.
constexpr uint16_t kStreamCreateMode = 0xFFFF;

extern "C" {
// File name with extension, without its folder.
typedef void(PCB9_CALL* TClientExtractWholeFileNameFromPath)(const char* Path, char* Buffer);
// The path with its extension replaced by `Extension` ("rpt").
typedef void(PCB9_CALL* TClientForceFileNameExtension)(const char* Path, const char* Extension,
                                                      char* Buffer);
// A stream on a file of the host's file system or document storage; 0 when
// it cannot be made.
typedef uintptr_t(PCB9_CALL* TVfsStreamCreate)(const char* FileName, uint16_t Mode);
// Returns the count written.
typedef int32_t(PCB9_CALL* TVfsStreamWrite)(uintptr_t Stream, const void* Data, int32_t Count);
typedef void(PCB9_CALL* TVfsStreamDestroy)(uintptr_t Stream);
// Why the last stream call (create, write or destroy) failed, as a
// zero-terminated text in `Buffer` of `Size` bytes; returns the reason's
// length, 0 when that call succeeded. A host may lack it.
typedef int32_t(PCB9_CALL* TVfsStreamLastError)(char* Buffer, int32_t Size);
}

// Exported names.
#define PCB9_CLIENT_SERVICES(X)                                              \
  X(TClientExtractWholeFileNameFromPath, ClientAPI_ExtractWholeFileNameFromPath) \
  X(TClientForceFileNameExtension, ClientAPI_ForceFileNameExtension)         \
  X(TVfsStreamCreate, VFSAPI_VFS_StreamCreate)                               \
  X(TVfsStreamWrite, VFSAPI_VFS_StreamWrite)                                 \
  X(TVfsStreamDestroy, VFSAPI_VFS_StreamDestroy)                             \
  X(TVfsStreamLastError, VFSAPI_VFS_StreamLastError)
