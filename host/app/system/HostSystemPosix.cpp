// The reference host on POSIX systems: the dynamic loader, /proc for the
// program's folder, and the PlatformAPI_ services for the user interface.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "HostSession.h"
#include "HostSystem.h"

namespace pcb9host::hostsystem {

const char* const kPluginFileName = "libpcb9import.so";
const char* const kPathSeparators = "/";

void UseLargePages(char** argv) {
#if defined(__GLIBC__)
  // A board of a few hundred thousand objects spent a third of its import
  // on page faults and address-translation misses with 4 KiB pages.
  if (std::getenv("GLIBC_TUNABLES")) return;
  if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1) != 0) return;
  execv("/proc/self/exe", argv);
  unsetenv("GLIBC_TUNABLES");  // not started again: run on as we are
#else
  (void)argv;
#endif
}

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
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
