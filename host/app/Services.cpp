// The services the reference host application exports from its main
// program for the plug-in to bind by name: file names, file streams, and the
// platform services (message boxes, the message queue, the registry, date
// and time texts). They forward to the host session, which scripts the user
// and records what the plug-in showed and wrote.
#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <type_traits>

#include "HostSession.h"
#include "HostSystem.h"
#include "Services.h"

using pcb9host::THostSession;

namespace {

// Copies a result into a caller's buffer of `size` bytes, zero-terminated.
void CopyOut(std::string_view text, char* buffer, size_t size) {
  if (!buffer || size == 0) return;
  const size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

size_t NameStart(std::string_view path) {
  const size_t slash = path.find_last_of(pcb9host::hostsystem::kPathSeparators);
  return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string LocalTimeText(const char* format) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!pcb9host::hostsystem::LocalTime(now, local)) return {};
  char buffer[64];
  return std::string(buffer, std::strftime(buffer, sizeof buffer, format, &local));
}

}  // namespace

namespace pcb9host {

std::string ExtractWholeFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

// The extension is what follows the last dot of the name part, unless that
// dot starts the name; a missing extension is added.
std::string ForceExtension(std::string_view path, std::string_view extension) {
  const size_t start = NameStart(path);
  const size_t dot = path.find_last_of('.');
  std::string result(path.substr(0, dot != std::string_view::npos && dot > start ? dot : path.size()));
  if (!extension.empty() && extension.front() != '.') result += '.';
  result += extension;
  return result;
}

}  // namespace pcb9host

extern "C" {

PCB9_EXPORT void PCB9_CALL ClientAPI_ExtractWholeFileNameFromPath(const char* Path, char* Buffer) {
  CopyOut(pcb9host::ExtractWholeFileName(Path ? Path : ""), Buffer, kClientPathBufferSize);
}

PCB9_EXPORT void PCB9_CALL ClientAPI_ForceFileNameExtension(const char* Path, const char* Extension,
                                                           char* Buffer) {
  CopyOut(pcb9host::ForceExtension(Path ? Path : "", Extension ? Extension : ""), Buffer,
          kClientPathBufferSize);
}

PCB9_EXPORT uintptr_t PCB9_CALL VFSAPI_VFS_StreamCreate(const char* FileName, uint16_t Mode) {
  return THostSession::Instance().CreateStream(FileName, Mode);
}

PCB9_EXPORT int32_t PCB9_CALL VFSAPI_VFS_StreamWrite(uintptr_t Stream, const void* Data,
                                                     int32_t Count) {
  return THostSession::Instance().WriteStream(Stream, Data, Count);
}

PCB9_EXPORT void PCB9_CALL VFSAPI_VFS_StreamDestroy(uintptr_t Stream) {
  THostSession::Instance().DestroyStream(Stream);
}

PCB9_EXPORT int32_t PCB9_CALL VFSAPI_VFS_StreamLastError(char* Buffer, int32_t Size) {
  const std::string& reason = THostSession::Instance().StreamError();
  if (Size > 0) CopyOut(reason, Buffer, static_cast<size_t>(Size));
  return static_cast<int32_t>(std::min<size_t>(reason.size(), INT32_MAX));
}

PCB9_EXPORT int32_t PCB9_CALL PlatformAPI_MessageBox(void* owner, const char* text,
                                                     const char* caption, int32_t icon,
                                                     int32_t buttons) {
  return THostSession::Instance().AnswerMessageBox(owner, text, caption, icon, buttons);
}

PCB9_EXPORT void* PCB9_CALL PlatformAPI_DesktopWindow() { return THostSession::DesktopWindow(); }

PCB9_EXPORT void* PCB9_CALL PlatformAPI_FindWindow(const char* className) {
  return className && className == pcb9host::kEditorWindowClass ? morvik::EditorWindow() : nullptr;
}

// A form without controls, or a negative count, is not a form: nothing is
// recorded or shown.
PCB9_EXPORT int32_t PCB9_CALL PlatformAPI_RunModalForm(void* owner, TPlatformFormControl* controls,
                                                       int32_t count, int32_t show,
                                                       TPlatformFormCommand command,
                                                       void* context) {
  if (!controls || count <= 0) return 0;
  return THostSession::Instance().RunModalForm(
      owner, {controls, static_cast<size_t>(count)}, show != 0, command, context);
}

PCB9_EXPORT int32_t PCB9_CALL PlatformAPI_TakeMessage(void** window, uint32_t* message,
                                                      uintptr_t* wparam, intptr_t* lparam) {
  pcb9host::TQueuedMessage next;
  if (!THostSession::Instance().TakeMessage(next)) return 0;
  if (window) *window = next.Window;
  if (message) *message = next.Message;
  if (wparam) *wparam = next.WParam;
  if (lparam) *lparam = next.LParam;
  return 1;
}

PCB9_EXPORT void PCB9_CALL PlatformAPI_DeliverMessage(void* window, uint32_t message,
                                                      uintptr_t wparam, intptr_t lparam) {
  THostSession::Instance().DeliverMessage({window, message, wparam, lparam});
}

PCB9_EXPORT int32_t PCB9_CALL PlatformAPI_MachineKeyExists(const char* path) {
  return THostSession::Instance().MachineKeyExists(path) ? 1 : 0;
}

PCB9_EXPORT void PCB9_CALL PlatformAPI_ShortDateText(char* buffer, int32_t size) {
  if (size > 0) CopyOut(LocalTimeText("%Y-%m-%d"), buffer, static_cast<size_t>(size));
}

PCB9_EXPORT void PCB9_CALL PlatformAPI_LongTimeText(char* buffer, int32_t size) {
  if (size > 0) CopyOut(LocalTimeText("%H:%M:%S"), buffer, static_cast<size_t>(size));
}

}  // extern "C"

// Each export has exactly the signature the plug-in binds it with.
#define PCB9_CHECK_SIGNATURE(Type, Name) \
  static_assert(std::is_same_v<decltype(&Name), Type>, #Name " has the wrong signature");
PCB9_CLIENT_SERVICES(PCB9_CHECK_SIGNATURE)
PCB9_PLATFORM_SERVICES(PCB9_CHECK_SIGNATURE)
#undef PCB9_CHECK_SIGNATURE
