#pragma once
// Proxies of the host objects that own other objects or carry outlines:
// coordinates, dimensions, polygons, board outlines, split planes,
// components, nets and object classes.
#include <cstdint>
#include <string>
#include <vector>

#include "hostapi/ShortString.h"
#include "proxies/PcbObject.h"
#include "proxies/Primitives.h"

namespace pcb9 {

// One outline entry as the host reads it: 37 bytes, no padding.
#pragma pack(push, 1)
struct TPolySegment {
  uint8_t SegKind;  // 0 = no arc data, 1 = the arc fields are set
  int32_t SegX;
  int32_t SegY;
  int32_t SegCenterX;
  int32_t SegCenterY;
  int32_t SegRadius;
  double SegStartAngle;  // degrees
  double SegEndAngle;    // degrees
};
#pragma pack(pop)
static_assert(sizeof(TPolySegment) == 37, "the host reads segments as 37-byte records");

// Entries 0..kMaxSegmentIndex of an outline.
constexpr int32_t kMaxSegmentIndex = 5000;
constexpr int kSegmentCapacity = kMaxSegmentIndex + 1;

// Base of the group proxies; adds nothing and is never made on its own.
class TPcbGroupObject : public TPCBObject {
 protected:
  explicit TPcbGroupObject(uint32_t handle) : TPCBObject(handle) {}
};

class TPcbCoordinate : public TPcbGroupObject {
 public:
  int32_t CoordValue1 = 0;
  int32_t CoordValue2 = 0;
  int32_t CoordValue3 = 0;
  int32_t CoordValue4 = 0;
  int32_t CoordValue5 = 0;
  uint8_t CoordByte = 0;

  explicit TPcbCoordinate(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

struct TDimensionReference {
  int32_t Value1 = 0;
  int32_t Value2 = 0;
  int32_t Value3 = 0;
  int32_t Value4 = 0;
};

class TPcbDimension : public TPcbGroupObject {
 public:
  static constexpr int32_t kMaxReferences = 200;

  uint8_t DimensionKind = 0;
  int32_t DimExtValue1 = 0;
  int32_t DimExtValue2 = 0;
  int32_t DimCoord1 = 0;
  int32_t DimCoord2 = 0;
  int32_t DimCoord3 = 0;
  int32_t DimCoord4 = 0;
  int32_t DimCoord5 = 0;
  int32_t DimCoord6 = 0;
  int32_t DimValue = 0;
  // Extended block.
  int32_t DimExtValue3 = 0;
  uint8_t DimExtByte1 = 0;
  int32_t DimExtValue4 = 0;
  TShortString DimExtText1;
  uint8_t DimExtByte2 = 0;
  int32_t DimExtValue5 = 0;
  TShortString DimExtText2;
  TShortString DimExtText3;
  double DimExtReal = 0;
  int32_t DimExtValue6 = 0;
  int32_t DimExtValue7 = 0;
  int32_t DimExtValue8 = 0;
  uint8_t DimExtByte3 = 0;
  int32_t DimExtValue9 = 0;
  int32_t DimExtValue10 = 0;
  int32_t DimExtValue11 = 0;
  uint8_t DimByte = 0;
  TDimensionReference References[kMaxReferences];
  // As the host reports it; only the first kMaxReferences entries are
  // exchanged when it reports more.
  int32_t ReferenceCount = 0;

  explicit TPcbDimension(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  // Number of entries of `References` in use.
  int32_t ReferencesInUse() const;
};

class TPcbPolygon : public TPcbGroupObject {
 public:
  uint8_t PolygonByte1 = 0;
  uint8_t PolygonFlag1 = 0;  // boolean
  uint8_t PolygonFlag2 = 0;  // boolean
  uint8_t PolygonFlag3 = 0;  // boolean
  int32_t PolygonValue1 = 0;
  int32_t PolygonValue2 = 0;
  int32_t PolygonValue3 = 0;
  int32_t SegmentCount = 0;  // index of the last entry in use
  TPolySegment Segments[kSegmentCapacity] = {};
  uint8_t PolygonByte2 = 0;
  uint8_t PolygonMode = 0;

  explicit TPcbPolygon(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

class TPcbBoardOutline : public TPcbPolygon {
 public:
  explicit TPcbBoardOutline(uint32_t handle);
};

class TPcbSplitPlane : public TPcbGroupObject {
 public:
  int32_t SegmentCount = 0;  // index of the last entry in use
  TPolySegment Segments[kSegmentCapacity] = {};
  uint8_t SplitPlaneByte = 0;

  explicit TPcbSplitPlane(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

class TPcbComponent : public TPcbGroupObject {
 public:
  static constexpr size_t kPatternCapacity = 250;
  static constexpr int kSourceLinkCount = 8;

  int32_t ChannelOffset = 0;
  int32_t ComponentKind = 0;
  uint32_t NameText = 0;     // handle of the designator text
  uint32_t CommentText = 0;  // handle of the comment text
  TShortString Pattern;      // up to 250 characters
  uint8_t NameFlag = 0;      // boolean
  uint8_t CommentFlag = 0;   // boolean
  int32_t ComponentValue = 0;
  double Rotation = 0;
  uint8_t ComponentFlag = 0;  // boolean
  int32_t ComponentExValue1 = 0;
  uint8_t ComponentExFlag1 = 0;
  uint8_t ComponentExFlag2 = 0;
  int32_t ComponentExValue2 = 0;
  TShortString SourceLinks[kSourceLinkCount];
  TShortString Default3DModel;

  explicit TPcbComponent(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  // Makes the object a member of this component; 1 without a host call
  // for handle 0.
  int32_t AddToComponent(uint32_t handle);
  // The designator: the string of the `NameText` text object.
  std::string GetName() override;
  double GetRotation() override { return Rotation; }
};

class TPcbNet : public TPcbGroupObject {
 public:
  TShortString Name;
  uint8_t NetFlag = 0;
  int32_t NetValue = 0;

  explicit TPcbNet(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
  std::string GetName() override { return Name.Str(); }
};

class TPCBObjectClass : public TPCBObject {
 public:
  TShortString Name;
  uint8_t ClassFlag1 = 0;
  uint8_t ClassFlag2 = 0;
  std::vector<std::string> Members;

  explicit TPCBObjectClass(uint32_t handle);
  // Fetch appends the host's members to `Members` (it does not empty the
  // list first); store replaces the host's members with `Members`.
  int32_t Sync(uint8_t Direction) override;

 private:
  int32_t StoreMembers();
  int32_t FetchMembers();
};

}  // namespace pcb9
