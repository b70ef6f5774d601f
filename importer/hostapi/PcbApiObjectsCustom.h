#pragma once
// Hand-written wrappers of the object functions whose contract goes beyond
// "forward or answer the default": they clear their output before the call,
// cut a result, or hand the host a copy of an argument.
#include "hostapi/PcbApi.h"

namespace pcb9 {

// The display string of a text object, cut to 254 characters; empty when
// the host lacks the function.
void PcbApi_GetDesignatorDisplayString(TShortString* Buffer, uint32_t Object);
// Adds a copy of `Member` (the host never sees the caller's buffer).
// Default 1 when the host lacks the function.
int32_t PcbApi_AddMemberToClass(uint32_t Class, const TShortString* Member);
// 0 and the member's name while a member exists at `Index`; the buffer is
// empty otherwise. Default 1, so a member loop ends at once without a host.
int32_t PcbApi_GetMemberFromClassAt(uint32_t Class, int32_t Index, TShortString* Member);

}  // namespace pcb9
