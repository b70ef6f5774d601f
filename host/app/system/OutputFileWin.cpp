// Output files on Windows: the temporary file is made with CREATE_NEW
// (never through an existing name) and moved over the output with
// MOVEFILE_REPLACE_EXISTING, which replaces a link in the place rather
// than following it; a reparse point (a symbolic link or a junction) in the
// place is refused, and so is anything but a disk file.
#include <windows.h>

#include <string>

#include "OutputFile.h"

namespace pcb9host::hostsystem::outputsystem {

namespace {

std::string Reason(DWORD error) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = n && text ? std::string(text, n) : "system error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Opens what is in the place itself, a reparse point included, to look at.
HANDLE OpenToLook(const std::string& path, DWORD flags) {
  return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

}  // namespace

bool Identity(const std::string& path, uint64_t& device, uint64_t& number) {
  HANDLE file = OpenToLook(path, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  device = info.dwVolumeSerialNumber;
  number = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return known;
}

std::string PlaceProblem(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? std::string() : Reason(error);
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return "it is a symbolic link or another reparse point, which is not followed";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder";
  if (attributes & FILE_ATTRIBUTE_READONLY) return Reason(ERROR_ACCESS_DENIED);
  HANDLE file = OpenToLook(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (file == INVALID_HANDLE_VALUE) return Reason(GetLastError());
  const DWORD type = GetFileType(file);
  CloseHandle(file);
  return type == FILE_TYPE_DISK ? std::string() : "it is not a regular file (a device or a pipe)";
}

intptr_t CreateNew(const std::string& path, bool& exists, std::string& reason) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return reinterpret_cast<intptr_t>(file);
  const DWORD error = GetLastError();
  exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
  reason = Reason(error);
  return -1;
}

bool WriteAll(intptr_t handle, const char* data, size_t size, std::string& reason) {
  while (size > 0) {
    const DWORD part = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle), data, part, &written, nullptr) || written == 0) {
      reason = Reason(GetLastError());
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

void KeepPermissions(intptr_t, const std::string&) {}  // a new file takes its folder's

bool Close(intptr_t handle, std::string& reason) {
  if (CloseHandle(AsHandle(handle))) return true;
  reason = Reason(GetLastError());
  return false;
}

bool Replace(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  reason = Reason(GetLastError());
  return false;
}

void Remove(const std::string& path) { DeleteFileA(path.c_str()); }

bool NamesIgnoreCase() { return true; }

}  // namespace pcb9host::hostsystem::outputsystem
