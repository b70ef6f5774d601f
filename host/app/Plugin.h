#pragma once
// The importer plug-in as a host loads it: by path, with its three exports
// bound by name. Strings are handed over length-prefixed, as the plug-in
// expects them.
#include <cstdint>
#include <string>

#include "platform/CallConv.h"

namespace pcb9host {

extern "C" {
typedef uint8_t(PCB9_CALL* TRecognisedPCBFile)(const uint8_t* FileName);
typedef const char*(PCB9_CALL* TGetPcbImporterDescription)();
typedef uint8_t(PCB9_CALL* TImportFileIntoPcb)(const uint8_t* FileName, const uint8_t* Unused,
                                              int32_t BoardHandle);
}

// The longest file name a length-prefixed string can carry.
constexpr size_t kMaxPluginString = 255;

class TPlugin {
 public:
  // Loads the plug-in from `path` (made absolute: no search) and binds its
  // exports; Error() says why when that fails.
  explicit TPlugin(const std::string& path);
  ~TPlugin();
  TPlugin(const TPlugin&) = delete;
  TPlugin& operator=(const TPlugin&) = delete;

  bool Loaded() const { return Recognised_ && Description_ && Import_; }
  const std::string& Error() const { return Error_; }

  // Strings longer than 255 characters are cut, as a length prefix forces.
  bool Recognised(const std::string& fileName) const;
  std::string Description() const;
  bool Import(const std::string& fileName, const std::string& unused, int32_t boardHandle) const;

 private:
  void* Module_ = nullptr;
  TRecognisedPCBFile Recognised_ = nullptr;
  TGetPcbImporterDescription Description_ = nullptr;
  TImportFileIntoPcb Import_ = nullptr;
  std::string Error_;
};

// The plug-in (libpcb9import.so, pcb9import.dll) in the folder of the
// running program's own file; empty, with `error` as one line, when that
// folder cannot be found (the current folder is never taken instead).
std::string DefaultPluginPath(std::string& error);

}  // namespace pcb9host
