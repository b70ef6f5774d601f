#pragma once
// Declarations of every exported PcbApi_ function, expanded from the same
// list the importer binds by name, so the compiler checks that each
// definition in this module matches the signature the importer calls.
#include "hostapi/PcbApiTypes.h"

extern "C" {
#define PCBAPI(Ret, Name, Params, Default, Form) PCB9_EXPORT Ret PCB9_CALL Name Params;
#include "hostapi/PcbApiList.h"
#undef PCBAPI
}
