#include "hostapi/PcbApiObjectsCustom.h"

namespace pcb9 {

namespace {
constexpr size_t kDisplayStringCapacity = 254;
}

void PcbApi_GetDesignatorDisplayString(TShortString* Buffer, uint32_t Object) {
  if (!Buffer) return;
  Buffer->Clear();
  EnsureBound();
  if (!PcbApi().PcbApi_GetDesignatorDisplayString) return;
  PcbApi().PcbApi_GetDesignatorDisplayString(Buffer, Object);
  Buffer->Clamp(kDisplayStringCapacity);
}

int32_t PcbApi_AddMemberToClass(uint32_t Class, const TShortString* Member) {
  EnsureBound();
  if (!PcbApi().PcbApi_AddMemberToClass) return 1;
  TShortString copy;
  if (Member) copy = *Member;
  return PcbApi().PcbApi_AddMemberToClass(Class, &copy);
}

int32_t PcbApi_GetMemberFromClassAt(uint32_t Class, int32_t Index, TShortString* Member) {
  if (Member) Member->Clear();
  EnsureBound();
  if (!PcbApi().PcbApi_GetMemberFromClassAt) return 1;
  return PcbApi().PcbApi_GetMemberFromClassAt(Class, Index, Member);
}

}  // namespace pcb9
