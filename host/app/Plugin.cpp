#include "Plugin.h"

#include <cstring>
#include <filesystem>

#include "HostSystem.h"
#include "hostapi/ShortString.h"

namespace pcb9host {

namespace {

template <class T>
bool BindExport(void* module, const char* name, T& slot, std::string& error) {
  void* symbol = hostsystem::ModuleSymbol(module, name);
  static_assert(sizeof symbol == sizeof slot);
  std::memcpy(&slot, &symbol, sizeof slot);
  if (!symbol && error.empty()) error = std::string("the plug-in does not export ") + name;
  return symbol != nullptr;
}

const uint8_t* Bytes(const TShortString& s) { return reinterpret_cast<const uint8_t*>(&s); }

}  // namespace

TPlugin::TPlugin(const std::string& given) {
  // A name without a folder would be looked for along the system's library
  // path: the plug-in is always loaded from where the path says.
  std::error_code failed;
  const std::string path = std::filesystem::absolute(given, failed).string();
  if (failed) {
    Error_ = "cannot load the plug-in " + given + ": " + failed.message();
    return;
  }
  std::string reason;
  Module_ = hostsystem::LoadModule(path, reason);
  if (!Module_) {
    Error_ = "cannot load the plug-in " + path + ": " + reason;
    return;
  }
  BindExport(Module_, "RecognisedPCBFile", Recognised_, Error_);
  BindExport(Module_, "GetPcbImporterDescription", Description_, Error_);
  BindExport(Module_, "ImportFileIntoPcb", Import_, Error_);
}

TPlugin::~TPlugin() {
  if (Module_) hostsystem::UnloadModule(Module_);
}

bool TPlugin::Recognised(const std::string& fileName) const {
  const TShortString name(fileName);
  return Recognised_ && Recognised_(Bytes(name)) != 0;
}

std::string TPlugin::Description() const {
  const char* text = Description_ ? Description_() : nullptr;
  return text ? text : "";
}

bool TPlugin::Import(const std::string& fileName, const std::string& unused,
                     int32_t boardHandle) const {
  const TShortString name(fileName), second(unused);
  return Import_ && Import_(Bytes(name), Bytes(second), boardHandle) != 0;
}

std::string DefaultPluginPath(std::string& error) {
  const std::string folder = hostsystem::ProgramFolder(error);
  if (folder.empty()) {
    error = "cannot find the program's own folder to load the plug-in from (" + error +
            "); give --plugin PATH";
    return {};
  }
  return (std::filesystem::path(folder) / hostsystem::kPluginFileName).string();
}

}  // namespace pcb9host
