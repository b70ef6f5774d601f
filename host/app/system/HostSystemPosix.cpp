// The reference host on POSIX systems: the dynamic loader, /proc for the
// program's own folder, and the PlatformAPI_ services for the user interface.
#include <dlfcn.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "HostSession.h"
#include "HostSystem.h"

namespace pcb9host::hostsystem {

const char* const kPluginFileName = "libpcb9import.so";
const char* const kPathSeparators = "/";

namespace {

// The file mapped at `address`, from the kernel's list of this process's
// mappings: the program's own file however it was started, also by the
// dynamic loader by hand (where /proc/self/exe names the loader).
std::string MappedFile(const void* address, std::string& error) {
  std::ifstream maps("/proc/self/maps");
  if (!maps) {
    error = "cannot read /proc/self/maps";
    return {};
  }
  const auto at = reinterpret_cast<uintptr_t>(address);
  for (std::string line; std::getline(maps, line);) {
    // START-END PERMS OFFSET DEVICE INODE PATH, the path after the spaces.
    uintptr_t start = 0, end = 0;
    int pathAt = 0;
    if (std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR " %*s %*s %*s %*s %n", &start, &end,
                    &pathAt) < 2 || pathAt == 0)
      continue;
    if (at < start || at >= end) continue;
    std::string path = line.substr(static_cast<size_t>(pathAt));
    if (path.empty() || path.front() != '/') break;
    return path;
  }
  error = "the program's file is not among its mappings";
  return {};
}

}  // namespace

std::string ProgramFolder(std::string& error) {
  const std::string self = MappedFile(reinterpret_cast<const void*>(&ProgramFolder), error);
  return self.empty() ? self : std::filesystem::path(self).parent_path().string();
}

void* LoadModule(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    error = reason ? reason : "unknown error";
  }
  return module;
}

void* ModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void UnloadModule(void* module) { dlclose(module); }

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

bool LocalTime(std::time_t time, std::tm& local) { return localtime_r(&time, &local) != nullptr; }

// The session's PlatformAPI_ services are the whole user interface.
void BeginImportUi(THostSession&) {}
void EndImportUi() {}

void QueueKey(THostSession& session, const TQueuedMessage& message) { session.PostMessage(message); }

}  // namespace pcb9host::hostsystem
