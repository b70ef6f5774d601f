#pragma once
// The steps every primitive record loader takes around its own words: the
// host object is created and fetched (so that fields the record does not
// carry keep the host's values), progress steps once and the user may abort.
#include <cstdint>

#include "ModalAttributes.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/PcbObject.h"
#include "run/Abort.h"
#include "run/ImportRun.h"

namespace pcb9 {

// Fetches the proxy of a newly created host object, steps the progress
// display and runs the abort check.
inline void BeginPrimitive(TPCBObject& proxy) {
  proxy.Sync(kSyncFetch);
  PcbApi_Percent_Update();
  CheckAbort(Run().Aborted);
}

// `StateFlag` and `Flags` from their registers, and the layer from the whole
// low byte of `AttrLayer`.
inline void ApplyFlagsAndLayer(TPCBObject& object) {
  const TModalAttributes& a = Run().ModalAttributes;
  object.StateFlag = a.AttrStateFlag != 0;
  object.Flags = a.AttrFlags;
  object.SetLayer(OldLayerToHostLayer(static_cast<uint8_t>(a.AttrLayer & 0xFF)));
}

// Sets the net taken from the register when the record began, stores the
// proxy and gives the handle the loader returns.
inline uint32_t StorePrimitive(TPCBObject& object, uint32_t net) {
  object.Net = net;
  object.Sync(kSyncStore);
  return object.Handle;
}

}  // namespace pcb9
