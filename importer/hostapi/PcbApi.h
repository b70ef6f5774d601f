#pragma once
// Binding of the host PCB module by name and one thin wrapper per function.
// A wrapper makes sure binding was tried, skips the call when the function is
// missing (answering its fixed default) and otherwise forwards its arguments
// unchanged. Wrappers carry the host function's own name.
#include <type_traits>

#include "PcbApiTypes.h"

namespace pcb9 {

// File name of the host PCB module; it is looked up among the loaded
// modules, never loaded by the importer.
extern const char* const kHostPcbModuleName;

struct TPcbApiTable {
  void* Module = nullptr;
#define PCBAPI(Ret, Name, Params, Default, Form) Ret(PCB9_CALL* Name) Params = nullptr;
#include "PcbApiList.h"
#undef PCBAPI
};

namespace detail {
// Every wrapper reads it, once per host call: a plain object, so that the
// check and the load inline into the caller.
inline constinit TPcbApiTable ApiTable{};
}  // namespace detail

inline TPcbApiTable& PcbApi() { return detail::ApiTable; }
void BindHostApi();
inline void EnsureBound() {
  if (!PcbApi().Module) BindHostApi();
}
// Test support: forget the binding so that the next wrapper binds again.
void UnbindHostApi();

namespace detail {
template <class Ret, class Fn, class D, class... A>
Ret CallOrDefault(Fn fn, D def, A... args) {
  if constexpr (std::is_void_v<Ret>) {
    (void)def;
    if (fn) fn(args...);
  } else {
    if (!fn) return static_cast<Ret>(def);
    return fn(args...);
  }
}
}  // namespace detail

#define PCBAPI_WRAP_BOUND(Ret, Name, Default)                                  \
  template <class... A>                                                        \
  inline Ret Name(A... args) {                                                 \
    EnsureBound();                                                             \
    return detail::CallOrDefault<Ret>(PcbApi().Name, Default, args...);        \
  }
#define PCBAPI_WRAP_UNBOUND(Ret, Name, Default)                                \
  template <class... A>                                                        \
  inline Ret Name(A... args) {                                                 \
    return detail::CallOrDefault<Ret>(PcbApi().Name, Default, args...);        \
  }
#define PCBAPI_WRAP_CUSTOM(Ret, Name, Default)
#define PCBAPI(Ret, Name, Params, Default, Form) PCBAPI_WRAP_##Form(Ret, Name, Default)
#include "PcbApiList.h"
#undef PCBAPI
#undef PCBAPI_WRAP_BOUND
#undef PCBAPI_WRAP_UNBOUND
#undef PCBAPI_WRAP_CUSTOM

}  // namespace pcb9
