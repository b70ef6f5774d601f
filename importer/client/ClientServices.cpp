#include "ClientServices.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

namespace pcb9 {

namespace {

struct TClientApiTable {
  bool Bound = false;
#define PCB9_CLIENT_SLOT(Type, Name) Type Name = nullptr;
  PCB9_CLIENT_SERVICES(PCB9_CLIENT_SLOT)
#undef PCB9_CLIENT_SLOT
};

TClientApiTable& Table() {
  static TClientApiTable table;
  return table;
}

template <class T>
void Bind(platform::TModule module, const char* name, T& slot) {
  void* symbol = platform::FindSymbol(module, name);
  static_assert(sizeof symbol == sizeof slot);
  std::memcpy(&slot, &symbol, sizeof slot);
}

const TClientApiTable& Api() {
  if (!Table().Bound) BindClientApi(platform::MainModule());
  return Table();
}

// Runs a host call that fills a path buffer and takes its zero-terminated
// result; the buffer is terminated here too, whatever the host wrote.
template <class Fill>
std::string PathResult(Fill fill) {
  std::vector<char> buffer(kClientPathBufferSize, '\0');
  fill(buffer.data());
  buffer.back() = '\0';
  return std::string(buffer.data());
}

// In test mode a box is a line on standard output; true when it was one.
bool WriteTestModeLine(std::string_view text, std::string_view shown) {
  if (!IsTestMode()) return false;
  std::cout.flush();
  std::string line = "ShowDialogWithCaption with";
  line.append(shown).append(" ").append(text).append("\n");
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
  return true;
}

// `ending`: in test mode the process ends after the line.
void ShowOkBox(std::string_view text, std::string_view caption, std::string_view defaultCaption,
               platform::TIcon icon, bool ending = true) {
  const std::string_view shown = caption.empty() ? defaultCaption : caption;
  if (WriteTestModeLine(text, shown)) {
    if (ending) std::exit(1);
    return;
  }
  platform::ShowMessageBox(platform::DesktopWindow(), text, shown, icon, platform::TButtons::Ok);
}

}  // namespace

void BindClientApi(platform::TModule module) {
  TClientApiTable& table = Table();
#define PCB9_CLIENT_BIND(Type, Name) Bind(module, #Name, table.Name);
  PCB9_CLIENT_SERVICES(PCB9_CLIENT_BIND)
#undef PCB9_CLIENT_BIND
  table.Bound = true;
}

std::string ClientAPI_ExtractWholeFileNameFromPath(std::string_view path) {
  auto fn = Api().ClientAPI_ExtractWholeFileNameFromPath;
  if (!fn) return {};
  const std::string pathZ(path);
  return PathResult([&](char* buffer) { fn(pathZ.c_str(), buffer); });
}

std::string ClientAPI_ForceFileNameExtension(std::string_view path, std::string_view extension) {
  auto fn = Api().ClientAPI_ForceFileNameExtension;
  if (!fn) return {};
  const std::string pathZ(path), extensionZ(extension);
  return PathResult([&](char* buffer) { fn(pathZ.c_str(), extensionZ.c_str(), buffer); });
}

TVfsStream VFSAPI_VFS_StreamCreate(std::string_view fileName, uint16_t mode) {
  auto fn = Api().VFSAPI_VFS_StreamCreate;
  if (!fn) return 0;
  const std::string nameZ(fileName);
  return fn(nameZ.c_str(), mode);
}

int32_t VFSAPI_VFS_StreamWrite(TVfsStream stream, const void* data, int32_t count) {
  auto fn = Api().VFSAPI_VFS_StreamWrite;
  return fn ? fn(stream, data, count) : -1;
}

void VFSAPI_VFS_StreamDestroy(TVfsStream stream) {
  if (auto fn = Api().VFSAPI_VFS_StreamDestroy) fn(stream);
}

std::optional<std::string> VFSAPI_VFS_StreamLastError() {
  auto fn = Api().VFSAPI_VFS_StreamLastError;
  if (!fn) return std::nullopt;
  return PathResult([&](char* buffer) { fn(buffer, kClientPathBufferSize); });
}

const char* const kTestModeKey = "\\Software\\Corvex\\TestMode";

bool IsTestMode() { return platform::MachineKeyExists(kTestModeKey); }

void ShowInformation(std::string_view text, std::string_view caption) {
  ShowOkBox(text, caption, "Information", platform::TIcon::Information);
}

void ShowError(std::string_view text, std::string_view caption) {
  ShowOkBox(text, caption, "Error", platform::TIcon::Error);
}

void ShowErrorAndGoOn(std::string_view text, std::string_view caption) {
  ShowOkBox(text, caption, "Error", platform::TIcon::Error, false);
}

std::string TodayText() { return platform::ShortDateText(); }

std::string NowText() { return platform::LongTimeText(); }

}  // namespace pcb9
