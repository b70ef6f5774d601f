#pragma once
// Watching the importer's host calls: a spy takes the place of one entry of
// the binding table, logs the call and forwards it to the host (or answers
// with an override). UnbindHostApi puts the real entries back on the next
// wrapper call.
#include <functional>
#include <string>
#include <vector>

#include "hostapi/PcbApi.h"

namespace pcb9test {

// Names of the spied calls, in call order.
std::vector<std::string>& SpyLog();
// Forgets the log and every override; the table keeps whatever it holds.
void ResetSpies();
// Counts the entries of the log equal to `name`.
size_t SpyCount(const std::string& name);

namespace detail {
std::vector<std::function<void()>>& SpyResets();
}

template <auto Member>
struct TSpy;

template <class R, class... A, R(PCB9_CALL* pcb9::TPcbApiTable::*Member)(A...)>
struct TSpy<Member> {
  using TOverride = std::function<R(A...)>;
  static inline R(PCB9_CALL* Original)(A...) = nullptr;
  static inline std::string Name;
  static inline TOverride Override;

  static R PCB9_CALL Call(A... args) {
    SpyLog().push_back(Name);
    if (Override) return Override(args...);
    if constexpr (std::is_void_v<R>) {
      Original(args...);
    } else {
      return Original(args...);
    }
  }

  // Binds the table if needed, then puts the spy in place of the entry.
  static void Install(std::string name, TOverride override = {}) {
    pcb9::EnsureBound();
    if (pcb9::PcbApi().*Member != &Call) Original = pcb9::PcbApi().*Member;
    pcb9::PcbApi().*Member = &Call;
    Name = std::move(name);
    Override = std::move(override);
    detail::SpyResets().push_back([] { Override = nullptr; });
  }
};

// Spy<&TPcbApiTable::PcbApi_QueryText>("QueryText");
template <auto Member, class... O>
void Spy(std::string name, O&&... override) {
  TSpy<Member>::Install(std::move(name), std::forward<O>(override)...);
}

// Every host function missing while the module itself counts as found, so
// every wrapper answers its default.
void DropAllHostFunctions();

}  // namespace pcb9test
