#pragma once
// Stand-ins for the host PCB module's functions: while a TRecordingHost
// lives, every bound function is replaced by one that logs its name and its
// integer arguments and answers 0 (tests replace single entries with fakes
// of their own); a TAbsentHost leaves every function unbound, as when the
// module is missing. Both restore the real binding when they end.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "hostapi/PcbApi.h"

namespace pcb9test {

enum TApiId {
#define PCBAPI(Ret, Name, Params, Default, Form) kApi_##Name,
#include "hostapi/PcbApiList.h"
#undef PCBAPI
  kApiCount
};

inline constexpr const char* kApiNames[] = {
#define PCBAPI(Ret, Name, Params, Default, Form) #Name,
#include "hostapi/PcbApiList.h"
#undef PCBAPI
};

struct TCall {
  std::string Name;
  std::vector<int64_t> Ints;          // integer arguments in order
  std::vector<const void*> Pointers;  // pointer arguments in order
};

inline std::vector<TCall>& CallLog() {
  static std::vector<TCall> log;
  return log;
}

template <class T>
void NoteArgument(TCall& call, T value) {
  if constexpr (std::is_pointer_v<T>)
    call.Pointers.push_back(static_cast<const void*>(value));
  else
    call.Ints.push_back(static_cast<int64_t>(value));
}

template <class F>
struct TRecorder;
template <class Ret, class... A>
struct TRecorder<Ret(PCB9_CALL*)(A...)> {
  template <int Id>
  static Ret PCB9_CALL Fn(A... args) {
    TCall call{kApiNames[Id], {}, {}};
    (NoteArgument(call, args), ...);
    CallLog().push_back(std::move(call));
    if constexpr (!std::is_void_v<Ret>) return Ret{};
  }
};

// Some non-null module handle, so the wrappers do not try to bind again.
inline void* FakeModule() {
  static int module;
  return &module;
}

class TRecordingHost {
 public:
  TRecordingHost() : Saved_(pcb9::PcbApi()) {
    pcb9::TPcbApiTable& t = pcb9::PcbApi();
#define PCBAPI(Ret, Name, Params, Default, Form) \
  t.Name = &TRecorder<decltype(t.Name)>::template Fn<kApi_##Name>;
#include "hostapi/PcbApiList.h"
#undef PCBAPI
    t.Module = FakeModule();
    CallLog().clear();
  }
  ~TRecordingHost() { pcb9::PcbApi() = Saved_; }
  TRecordingHost(const TRecordingHost&) = delete;
  TRecordingHost& operator=(const TRecordingHost&) = delete;

 private:
  pcb9::TPcbApiTable Saved_;
};

class TAbsentHost {
 public:
  TAbsentHost() : Saved_(pcb9::PcbApi()) {
    pcb9::PcbApi() = pcb9::TPcbApiTable{};
    pcb9::PcbApi().Module = FakeModule();
  }
  ~TAbsentHost() { pcb9::PcbApi() = Saved_; }
  TAbsentHost(const TAbsentHost&) = delete;
  TAbsentHost& operator=(const TAbsentHost&) = delete;

 private:
  pcb9::TPcbApiTable Saved_;
};

// The log with runs of one function collapsed: "Name" or "Name*N".
inline std::vector<std::string> CollapsedLog() {
  std::vector<std::string> out;
  const auto& log = CallLog();
  for (size_t i = 0; i < log.size();) {
    size_t j = i;
    while (j < log.size() && log[j].Name == log[i].Name) ++j;
    out.push_back(j - i == 1 ? log[i].Name : log[i].Name + "*" + std::to_string(j - i));
    i = j;
  }
  return out;
}

// The calls of one function, in order.
inline std::vector<TCall> CallsOf(const std::string& name) {
  std::vector<TCall> out;
  for (const TCall& call : CallLog())
    if (call.Name == name) out.push_back(call);
  return out;
}

}  // namespace pcb9test
