// The callers' side of every stdcall boundary, for the 32-bit Windows
// build's contract check: each function the importer binds by name,
// declared with the very type the importer calls it through, and each of
// the plug-in's exports with the type the host calls it through. The
// references below leave one undefined symbol per function, which the
// compiler decorates with the bytes of arguments the caller pushes
// (_Name@N); Contract.cmake compares them with the symbols of the objects
// that define the functions.
#include <type_traits>

#include "Plugin.h"
#include "client/ClientApi.h"
#include "hostapi/PcbApi.h"
#include "platform/HostServices.h"

using TAnyFunction = void (*)();

extern "C" {
#define PCBAPI(Ret, Name, Params, Default, Form) \
  std::remove_pointer_t<decltype(pcb9::TPcbApiTable::Name)> Name;
#include "hostapi/PcbApiList.h"
#undef PCBAPI

#define PCB9_CALLER_DECLARE(Type, Name) std::remove_pointer_t<Type> Name;
PCB9_CLIENT_SERVICES(PCB9_CALLER_DECLARE)
PCB9_PLATFORM_SERVICES(PCB9_CALLER_DECLARE)
PCB9_CALLER_DECLARE(pcb9host::TRecognisedPCBFile, RecognisedPCBFile)
PCB9_CALLER_DECLARE(pcb9host::TGetPcbImporterDescription, GetPcbImporterDescription)
PCB9_CALLER_DECLARE(pcb9host::TImportFileIntoPcb, ImportFileIntoPcb)
#undef PCB9_CALLER_DECLARE

extern const TAnyFunction pcb9StdcallCallers[];
const TAnyFunction pcb9StdcallCallers[] = {
#define PCBAPI(Ret, Name, Params, Default, Form) reinterpret_cast<TAnyFunction>(&Name),
#include "hostapi/PcbApiList.h"
#undef PCBAPI
#define PCB9_CALLER_REFERENCE(Type, Name) reinterpret_cast<TAnyFunction>(&Name),
    PCB9_CLIENT_SERVICES(PCB9_CALLER_REFERENCE)
    PCB9_PLATFORM_SERVICES(PCB9_CALLER_REFERENCE)
#undef PCB9_CALLER_REFERENCE
    reinterpret_cast<TAnyFunction>(&RecognisedPCBFile),
    reinterpret_cast<TAnyFunction>(&GetPcbImporterDescription),
    reinterpret_cast<TAnyFunction>(&ImportFileIntoPcb),
};
}
