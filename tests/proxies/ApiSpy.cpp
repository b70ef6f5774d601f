#include "ApiSpy.h"

#include <algorithm>

namespace pcb9test {

std::vector<std::string>& SpyLog() {
  static std::vector<std::string> log;
  return log;
}

namespace detail {
std::vector<std::function<void()>>& SpyResets() {
  static std::vector<std::function<void()>> resets;
  return resets;
}
}  // namespace detail

void ResetSpies() {
  SpyLog().clear();
  for (auto& reset : detail::SpyResets()) reset();
  detail::SpyResets().clear();
}

size_t SpyCount(const std::string& name) {
  return static_cast<size_t>(std::count(SpyLog().begin(), SpyLog().end(), name));
}

void DropAllHostFunctions() {
  pcb9::EnsureBound();
  pcb9::TPcbApiTable empty;
  empty.Module = pcb9::PcbApi().Module;
  pcb9::PcbApi() = empty;
}

}  // namespace pcb9test
