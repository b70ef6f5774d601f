#include "Plugin.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>

#include "hostapi/ShortString.h"

namespace pcb9host {

namespace {

template <class T>
bool BindExport(void* module, const char* name, T& slot, std::string& error) {
  void* symbol = dlsym(module, name);
  static_assert(sizeof symbol == sizeof slot);
  std::memcpy(&slot, &symbol, sizeof slot);
  if (!symbol && error.empty()) error = std::string("the plug-in does not export ") + name;
  return symbol != nullptr;
}

const uint8_t* Bytes(const TShortString& s) { return reinterpret_cast<const uint8_t*>(&s); }

}  // namespace

TPlugin::TPlugin(const std::string& path) {
  Module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!Module_) {
    const char* reason = dlerror();
    Error_ = "cannot load the plug-in " + path + ": " + (reason ? reason : "unknown error");
    return;
  }
  BindExport(Module_, "RecognisedPCBFile", Recognised_, Error_);
  BindExport(Module_, "GetPcbImporterDescription", Description_, Error_);
  BindExport(Module_, "ImportFileIntoPcb", Import_, Error_);
}

TPlugin::~TPlugin() {
  if (Module_) dlclose(Module_);
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

std::string DefaultPluginPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path folder = error ? std::filesystem::path(".") : self.parent_path();
  return (folder / "libpcb9import.so").string();
}

}  // namespace pcb9host
