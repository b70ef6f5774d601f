#include "proxies/Groups.h"

#include <algorithm>
#include <limits>

#include "hostapi/PcbApi.h"
#include "hostapi/PcbApiObjectsCustom.h"
#include "proxies/ProxyFromHandle.h"

namespace pcb9 {

namespace {
// The array holds entries 0..kMaxSegmentIndex; a larger count, from the
// host or the caller, would make the host read or write past it.
void ClampSegmentCount(int32_t& count) { count = std::min(count, kMaxSegmentIndex); }
}  // namespace

// --- coordinate ----------------------------------------------------------------

TPcbCoordinate::TPcbCoordinate(uint32_t handle) : TPcbGroupObject(handle) {
  ObjectKind = kCoordinateKind;
}

int32_t TPcbCoordinate::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryCoordinate(Direction, Handle, &Flags, &Index, &StateFlag, &X, &Y, &Layer,
                                &CoordValue1, &CoordValue2, &CoordValue3, &CoordValue4,
                                &CoordValue5, &CoordByte);
}

// --- dimension -----------------------------------------------------------------

TPcbDimension::TPcbDimension(uint32_t handle) : TPcbGroupObject(handle) {
  ObjectKind = kDimensionKind;
  DimensionKind = 8;
}

int32_t TPcbDimension::ReferencesInUse() const {
  return std::clamp(ReferenceCount, int32_t{0}, kMaxReferences);
}

int32_t TPcbDimension::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  const int32_t first = PcbApi_QueryDimension(Direction, Handle, &Flags, &Index, &StateFlag, &X,
                                              &Y, &DimCoord1, &DimCoord2, &Layer, &DimCoord3,
                                              &DimCoord4, &DimCoord5, &DimCoord6, &DimValue,
                                              &DimByte);
  PcbApi_References_Count(Direction, Handle, &ReferenceCount);
  for (int32_t k = 0; k < ReferencesInUse(); ++k) {
    TDimensionReference& r = References[k];
    PcbApi_References_At(Direction, Handle, k, &r.Value1, &r.Value2, &r.Value3, &r.Value4);
  }
  const int32_t last = PcbApi_QueryExtDimension(
      Direction, Handle, &DimensionKind, &DimExtValue1, &DimExtValue2, &DimExtValue3,
      &DimExtByte1, &DimExtValue4, &DimExtText1, &DimExtByte2, &DimExtValue5, &DimExtText2,
      &DimExtText3, &DimExtReal, &DimExtValue6, &DimExtValue7, &DimExtValue8, &DimExtByte3,
      &DimExtValue9, &DimExtValue10, &DimExtValue11);
  return first & last;
}

// --- polygon, board outline, split plane --------------------------------------------------

TPcbPolygon::TPcbPolygon(uint32_t handle) : TPcbGroupObject(handle) {
  ObjectKind = kPolygonKind;
}

int32_t TPcbPolygon::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  ClampSegmentCount(SegmentCount);
  const int32_t status = PcbApi_QueryPolygon(
      Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag, &PolygonFlag1, &PolygonFlag2,
      &PolygonFlag3, &PolygonValue1, &PolygonValue2, &PolygonByte2, &PolygonMode, &PolygonValue3,
      &PolygonByte1, &SegmentCount, static_cast<void*>(&Segments[0]));
  ClampSegmentCount(SegmentCount);
  return status;
}

TPcbBoardOutline::TPcbBoardOutline(uint32_t handle) : TPcbPolygon(handle) {
  ObjectKind = kBoardOutlineKind;
}

TPcbSplitPlane::TPcbSplitPlane(uint32_t handle) : TPcbGroupObject(handle) {
  ObjectKind = kSplitPlaneKind;
}

int32_t TPcbSplitPlane::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  ClampSegmentCount(SegmentCount);
  const int32_t status =
      PcbApi_QuerySplitPlane(Direction, Handle, &Flags, &Index, &Layer, &Net, &StateFlag,
                             &SplitPlaneByte, &SegmentCount, static_cast<void*>(&Segments[0]));
  ClampSegmentCount(SegmentCount);
  return status;
}

// --- component -----------------------------------------------------------------

TPcbComponent::TPcbComponent(uint32_t handle) : TPcbGroupObject(handle) {
  ObjectKind = kComponentKind;
}

int32_t TPcbComponent::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  PcbApi_QueryComponentChannelOffset(Direction, Handle, &ChannelOffset);
  PcbApi_QueryComponentKind(Direction, Handle, &ComponentKind);
  // The component's layer crosses as a host layer id, not as a layer code.
  TLayerId layerId = GetLayer();
  const int32_t status = PcbApi_QueryComponent(
      Direction, Handle, &Flags, &Index, &layerId, &StateFlag, &NameText, &CommentText, &Pattern,
      &NameFlag, &CommentFlag, &X, &Y, &ComponentValue, &Rotation, &ComponentFlag);
  SetLayer(layerId);
  Pattern.Clamp(kPatternCapacity);
  PcbApi_QueryComponentEx(Direction, Handle, &ComponentExValue1, &ComponentExFlag1,
                          &ComponentExFlag2, &ComponentExValue2);
  PcbApi_QueryComponentSourceLinks(Direction, Handle, &SourceLinks[0], &SourceLinks[1],
                                   &SourceLinks[2], &SourceLinks[3], &SourceLinks[4],
                                   &SourceLinks[5], &SourceLinks[6], &SourceLinks[7]);
  PcbApi_QueryDefaultPCB3DModel(Direction, Handle, &Default3DModel);
  return status;
}

int32_t TPcbComponent::AddToComponent(uint32_t handle) {
  if (handle == 0) return 1;
  return PcbApi_AddObjectToContainer(Handle, handle);
}

std::string TPcbComponent::GetName() { return GetTextOf(NameText); }

// --- net -----------------------------------------------------------------------

TPcbNet::TPcbNet(uint32_t handle) : TPcbGroupObject(handle) { ObjectKind = kNetKind; }

int32_t TPcbNet::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryNet(Direction, Handle, &Index, &Name, &NetFlag, &NetValue);
}

// --- object class --------------------------------------------------------------

TPCBObjectClass::TPCBObjectClass(uint32_t handle) : TPCBObject(handle) {
  ObjectKind = kObjectClassKind;
}

int32_t TPCBObjectClass::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  PcbApi_QueryClass(Direction, Handle, &Index, &ClassFlag1, &ClassFlag2, &Name);
  if (Direction == kSyncStore || Direction == 2) return StoreMembers();
  return FetchMembers();
}

int32_t TPCBObjectClass::StoreMembers() {
  int32_t status = PcbApi_RemoveAllMembersFromClass(Handle);
  for (const std::string& member : Members) {
    const TShortString name(member);  // cut to 255 characters
    status = PcbApi_AddMemberToClass(Handle, &name);
  }
  return status;
}

int32_t TPCBObjectClass::FetchMembers() {
  TShortString buffer;
  // A member exists while the host answers 0; any other status ends the
  // list, so a host answering an unexpected error cannot keep us here.
  for (int32_t i = 0; PcbApi_GetMemberFromClassAt(Handle, i, &buffer) == 0; ++i) {
    Members.push_back(buffer.Str());
    if (i == std::numeric_limits<int32_t>::max()) break;
  }
  return 1;
}

}  // namespace pcb9
