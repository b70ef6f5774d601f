#pragma once
// The module answers a call it cannot honour as an editor would refuse it:
// nothing changes, the status is kRefused, and the call is recorded (see
// HostErrors in Module.h) so that a caller's mistake shows in the dump
// instead of passing silently.
#include <cstdint>
#include <string>

#include "Document.h"
#include "Kinds.h"
#include "Module.h"

namespace morvik {

// The status of a refused call; 0 is success.
constexpr int32_t kRefused = 1;


// Records a refused call; returns kRefused.
int32_t Refuse(const char* call, uint32_t handle, std::string why);
// Refuses a call whose handle names no object (null) or one of another kind.
void RefuseFind(const char* call, uint32_t handle, TKindSet kinds, const TObject* object);
// The object `handle` names when its kind is in `kinds`; otherwise the call
// is refused ("unknown handle", "a Via, not a Track") and the result is null.
inline TObject* FindFor(const char* call, uint32_t handle, TKindSet kinds) {
  TObject* object = TDocument::Instance().Find(handle);
  if (object && (kinds & KindBit(object->Kind & kKindBits))) return object;
  RefuseFind(call, handle, kinds, object);
  return nullptr;
}
// "a Track", "a Pad or a Via", "an object", "a container": the kinds of a
// set, as the reasons name them.
std::string KindSetName(TKindSet kinds);

// Forgets the refused calls (ResetModule).
void ClearHostErrors();

}  // namespace morvik
