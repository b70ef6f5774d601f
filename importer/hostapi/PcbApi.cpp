#include "PcbApi.h"

#include <cstring>

#include "platform/Platform.h"

namespace pcb9 {

#if defined(_WIN32)
const char* const kHostPcbModuleName = "Morvik.dll";
#else
const char* const kHostPcbModuleName = "libMorvik.so";
#endif

namespace {
struct TBinding {
  const char* Name;
  void* Slot;  // address of a function pointer of the table
};
}  // namespace

void BindHostApi() {
  TPcbApiTable& api = PcbApi();
  api.Module = platform::FindLoadedModule(kHostPcbModuleName);
  const TBinding bindings[] = {
#define PCBAPI(Ret, Name, Params, Default, Form) {#Name, &api.Name},
#include "PcbApiList.h"
#undef PCBAPI
  };
  for (const TBinding& b : bindings) {
    void* symbol = api.Module ? platform::FindSymbol(api.Module, b.Name) : nullptr;
    static_assert(sizeof(symbol) == sizeof(api.PcbApi_CreateObject));
    std::memcpy(b.Slot, &symbol, sizeof(symbol));
  }
}

void UnbindHostApi() { PcbApi() = TPcbApiTable{}; }

}  // namespace pcb9
