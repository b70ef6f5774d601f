// Exchange of the group objects: coordinates, dimensions with their
// references and extended values, polygons and split planes with their
// segment records, components with their five further calls, nets and
// object classes with their member names.
#include <algorithm>
#include <string>

#include "Checks.h"
#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

using T = TFieldType;

const TFieldInfo kCoordinate[] = {
    {"Flags", T::U16},       {"Index", T::I16},       {"StateFlag", T::Bool},
    {"X", T::I32},           {"Y", T::I32},           {"Layer", T::LayerCode},
    {"CoordValue1", T::I32}, {"CoordValue2", T::I32}, {"CoordValue3", T::I32},
    {"CoordValue4", T::I32}, {"CoordValue5", T::I32}, {"CoordByte", T::U8}};

const TFieldInfo kDimension[] = {
    {"Flags", T::U16},     {"Index", T::I16},     {"StateFlag", T::Bool},
    {"X", T::I32},         {"Y", T::I32},         {"DimCoord1", T::I32},
    {"DimCoord2", T::I32}, {"Layer", T::LayerCode}, {"DimCoord3", T::I32},
    {"DimCoord4", T::I32}, {"DimCoord5", T::I32}, {"DimCoord6", T::I32},
    {"DimValue", T::I32},  {"DimByte", T::U8}};

const TFieldInfo kExtDimension[] = {
    {"DimensionKind", T::U8}, {"DimExtValue1", T::I32}, {"DimExtValue2", T::I32},
    {"DimExtValue3", T::I32}, {"DimExtByte1", T::U8},   {"DimExtValue4", T::I32},
    {"DimExtText1", T::Text}, {"DimExtByte2", T::U8},   {"DimExtValue5", T::I32},
    {"DimExtText2", T::Text}, {"DimExtText3", T::Text}, {"DimExtReal", T::Real},
    {"DimExtValue6", T::I32}, {"DimExtValue7", T::I32}, {"DimExtValue8", T::I32},
    {"DimExtByte3", T::U8},   {"DimExtValue9", T::I32}, {"DimExtValue10", T::I32},
    {"DimExtValue11", T::I32}};

const TFieldInfo kPolygon[] = {
    {"Flags", T::U16},          {"Index", T::I16},           {"Layer", T::LayerCode},
    {"Net", T::Handle},         {"StateFlag", T::Bool},      {"PolygonFlag1", T::Bool},
    {"PolygonFlag2", T::Bool},  {"PolygonFlag3", T::Bool},   {"PolygonValue1", T::I32},
    {"PolygonValue2", T::I32},  {"PolygonByte2", T::U8},     {"PolygonMode", T::U8},
    {"PolygonValue3", T::I32},  {"PolygonByte1", T::U8}};

const TFieldInfo kSplitPlane[] = {{"Flags", T::U16},     {"Index", T::I16},
                                  {"Layer", T::LayerCode}, {"Net", T::Handle},
                                  {"StateFlag", T::Bool}, {"SplitPlaneByte", T::U8}};

const TFieldInfo kChannelOffset[] = {{"ChannelOffset", T::I32}};
const TFieldInfo kComponentKind[] = {{"ComponentKind", T::I32}};

const TFieldInfo kComponent[] = {
    {"Flags", T::U16},          {"Index", T::I16},         {"Layer", T::LayerId},
    {"StateFlag", T::Bool},     {"NameText", T::Handle},   {"CommentText", T::Handle},
    {"Pattern", T::Text},       {"NameFlag", T::Bool},     {"CommentFlag", T::Bool},
    {"X", T::I32},              {"Y", T::I32},             {"ComponentValue", T::I32},
    {"Rotation", T::Real},      {"ComponentFlag", T::Bool}};

const TFieldInfo kComponentEx[] = {{"ComponentExValue1", T::I32},
                                   {"ComponentExFlag1", T::U8},
                                   {"ComponentExFlag2", T::U8},
                                   {"ComponentExValue2", T::I32}};

const TFieldInfo kSourceLinks[] = {
    {"SourceLink1", T::Text}, {"SourceLink2", T::Text}, {"SourceLink3", T::Text},
    {"SourceLink4", T::Text}, {"SourceLink5", T::Text}, {"SourceLink6", T::Text},
    {"SourceLink7", T::Text}, {"SourceLink8", T::Text}};

const TFieldInfo kDefault3DModel[] = {{"Default3DModel", T::Text}};

const TFieldInfo kNet[] = {
    {"Index", T::I16}, {"Name", T::Text}, {"NetFlag", T::U8}, {"NetValue", T::I32}};

const TFieldInfo kClass[] = {
    {"Index", T::I16}, {"ClassFlag1", T::U8}, {"ClassFlag2", T::U8}, {"Name", T::Text}};

constexpr int32_t kNoMember = 1;

// A board outline is exchanged as the polygon it is.
constexpr TKindSet kOutline = KindBit(kKindPolygon) | KindBit(kKindBoardOutline);

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryCoordinate(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                         int16_t* Index, uint8_t* StateFlag, int32_t* X,
                                         int32_t* Y, uint32_t* Layer, int32_t* CoordValue1,
                                         int32_t* CoordValue2, int32_t* CoordValue3,
                                         int32_t* CoordValue4, int32_t* CoordValue5,
                                         uint8_t* CoordByte) {
  return Exchange(__func__, KindBit(kKindCoordinate), Dir, Object, kCoordinate,
                  {Flags, Index, StateFlag, X, Y, Layer, CoordValue1, CoordValue2, CoordValue3,
                   CoordValue4, CoordValue5, CoordByte});
}

int32_t PCB9_CALL PcbApi_QueryDimension(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                        int16_t* Index, uint8_t* StateFlag, int32_t* X, int32_t* Y,
                                        int32_t* DimCoord1, int32_t* DimCoord2, uint32_t* Layer,
                                        int32_t* DimCoord3, int32_t* DimCoord4,
                                        int32_t* DimCoord5, int32_t* DimCoord6, int32_t* DimValue,
                                        uint8_t* DimByte) {
  return Exchange(__func__, KindBit(kKindDimension), Dir, Object, kDimension,
                  {Flags, Index, StateFlag, X, Y, DimCoord1, DimCoord2, Layer, DimCoord3,
                   DimCoord4, DimCoord5, DimCoord6, DimValue, DimByte});
}

// Storing a count keeps the references below it and adds empty ones above.
int32_t PCB9_CALL PcbApi_References_Count(uint8_t Dir, uint32_t Object, int32_t* Count) {
  TObject* dimension = FindFor(__func__, Object, KindBit(kKindDimension));
  if (!dimension) return kRefused;
  if (!Count) return Refuse(__func__, Object, "no count pointer");
  std::vector<TReference> references = StoredReferences(*dimension);
  if (Dir == 1) {
    *Count = static_cast<int32_t>(references.size());
    return 0;
  }
  references.resize(static_cast<size_t>(std::clamp(*Count, 0, kMaxStoredReferences)));
  SetStoredReferences(*dimension, references);
  return 0;
}

int32_t PCB9_CALL PcbApi_References_At(uint8_t Dir, uint32_t Object, int32_t Index,
                                       int32_t* Value1, int32_t* Value2, int32_t* Value3,
                                       int32_t* Value4) {
  TObject* dimension = FindFor(__func__, Object, KindBit(kKindDimension));
  if (!dimension) return kRefused;
  std::vector<TReference> references = StoredReferences(*dimension);
  if (Index < 0 || static_cast<size_t>(Index) >= references.size())
    return Refuse(__func__, Object, "no reference " + std::to_string(Index));
  int32_t* pointers[4] = {Value1, Value2, Value3, Value4};
  TReference& entry = references[static_cast<size_t>(Index)];
  for (int v = 0; v < 4; ++v) {
    if (!pointers[v]) continue;
    if (Dir == 1)
      *pointers[v] = entry.Values[v];
    else
      entry.Values[v] = *pointers[v];
  }
  if (Dir != 1) SetStoredReferences(*dimension, references);
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryExtDimension(
    uint8_t Dir, uint32_t Object, uint8_t* DimensionKind, int32_t* DimExtValue1,
    int32_t* DimExtValue2, int32_t* DimExtValue3, uint8_t* DimExtByte1, int32_t* DimExtValue4,
    TShortString* DimExtText1, uint8_t* DimExtByte2, int32_t* DimExtValue5,
    TShortString* DimExtText2, TShortString* DimExtText3, double* DimExtReal,
    int32_t* DimExtValue6, int32_t* DimExtValue7, int32_t* DimExtValue8, uint8_t* DimExtByte3,
    int32_t* DimExtValue9, int32_t* DimExtValue10, int32_t* DimExtValue11) {
  return Exchange(__func__, KindBit(kKindDimension), Dir, Object, kExtDimension,
                  {DimensionKind, DimExtValue1, DimExtValue2, DimExtValue3, DimExtByte1,
                   DimExtValue4, DimExtText1, DimExtByte2, DimExtValue5, DimExtText2,
                   DimExtText3, DimExtReal, DimExtValue6, DimExtValue7, DimExtValue8,
                   DimExtByte3, DimExtValue9, DimExtValue10, DimExtValue11});
}

int32_t PCB9_CALL PcbApi_QueryPolygon(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                      int16_t* Index, uint32_t* Layer, uint32_t* Net,
                                      uint8_t* StateFlag, uint8_t* PolygonFlag1,
                                      uint8_t* PolygonFlag2, uint8_t* PolygonFlag3,
                                      int32_t* PolygonValue1, int32_t* PolygonValue2,
                                      uint8_t* PolygonByte2, uint8_t* PolygonMode,
                                      int32_t* PolygonValue3, uint8_t* PolygonByte1,
                                      int32_t* SegmentCount, void* Segments) {
  TObject* polygon = FindFor(__func__, Object, kOutline);
  if (!polygon) return kRefused;
  ExchangeFields(Dir, *polygon, kPolygon,
                 {Flags, Index, Layer, Net, StateFlag, PolygonFlag1, PolygonFlag2, PolygonFlag3,
                  PolygonValue1, PolygonValue2, PolygonByte2, PolygonMode, PolygonValue3,
                  PolygonByte1});
  ExchangeSegments(Dir, *polygon, SegmentCount, Segments);
  return 0;
}

int32_t PCB9_CALL PcbApi_QuerySplitPlane(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                         int16_t* Index, uint32_t* Layer, uint32_t* Net,
                                         uint8_t* StateFlag, uint8_t* SplitPlaneByte,
                                         int32_t* SegmentCount, void* Segments) {
  TObject* plane = FindFor(__func__, Object, KindBit(kKindSplitPlane));
  if (!plane) return kRefused;
  ExchangeFields(Dir, *plane, kSplitPlane, {Flags, Index, Layer, Net, StateFlag, SplitPlaneByte});
  ExchangeSegments(Dir, *plane, SegmentCount, Segments);
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryComponentChannelOffset(uint8_t Dir, uint32_t Object,
                                                     int32_t* ChannelOffset) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kChannelOffset, {ChannelOffset});
}

int32_t PCB9_CALL PcbApi_QueryComponentKind(uint8_t Dir, uint32_t Object, int32_t* ComponentKind) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kComponentKind, {ComponentKind});
}

int32_t PCB9_CALL PcbApi_QueryComponent(uint8_t Dir, uint32_t Object, uint16_t* Flags,
                                        int16_t* Index, uint8_t* LayerId, uint8_t* StateFlag,
                                        uint32_t* NameText, uint32_t* CommentText,
                                        TShortString* Pattern, uint8_t* NameFlag,
                                        uint8_t* CommentFlag, int32_t* X, int32_t* Y,
                                        int32_t* ComponentValue, double* Rotation,
                                        uint8_t* ComponentFlag) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kComponent,
                  {Flags, Index, LayerId, StateFlag, NameText, CommentText, Pattern, NameFlag,
                   CommentFlag, X, Y, ComponentValue, Rotation, ComponentFlag});
}

int32_t PCB9_CALL PcbApi_QueryComponentEx(uint8_t Dir, uint32_t Object, int32_t* ComponentExValue1,
                                          uint8_t* ComponentExFlag1, uint8_t* ComponentExFlag2,
                                          int32_t* ComponentExValue2) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kComponentEx,
                  {ComponentExValue1, ComponentExFlag1, ComponentExFlag2, ComponentExValue2});
}

int32_t PCB9_CALL PcbApi_QueryComponentSourceLinks(uint8_t Dir, uint32_t Object,
                                                   TShortString* SourceLink1,
                                                   TShortString* SourceLink2,
                                                   TShortString* SourceLink3,
                                                   TShortString* SourceLink4,
                                                   TShortString* SourceLink5,
                                                   TShortString* SourceLink6,
                                                   TShortString* SourceLink7,
                                                   TShortString* SourceLink8) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kSourceLinks,
                  {SourceLink1, SourceLink2, SourceLink3, SourceLink4, SourceLink5, SourceLink6,
                   SourceLink7, SourceLink8});
}

int32_t PCB9_CALL PcbApi_QueryDefaultPCB3DModel(uint8_t Dir, uint32_t Object,
                                                TShortString* Default3DModel) {
  return Exchange(__func__, KindBit(kKindComponent), Dir, Object, kDefault3DModel, {Default3DModel});
}

int32_t PCB9_CALL PcbApi_QueryNet(uint8_t Dir, uint32_t Object, int16_t* Index, TShortString* Name,
                                  uint8_t* NetFlag, int32_t* NetValue) {
  return Exchange(__func__, KindBit(kKindNet), Dir, Object, kNet, {Index, Name, NetFlag, NetValue});
}

int32_t PCB9_CALL PcbApi_QueryClass(uint8_t Dir, uint32_t Object, int16_t* Index,
                                    uint8_t* ClassFlag1, uint8_t* ClassFlag2, TShortString* Name) {
  return Exchange(__func__, KindBit(kKindClass), Dir, Object, kClass, {Index, ClassFlag1, ClassFlag2, Name});
}

int32_t PCB9_CALL PcbApi_AddMemberToClass(uint32_t Class, const TShortString* Member) {
  TObject* objectClass = FindFor(__func__, Class, KindBit(kKindClass));
  if (!objectClass) return kRefused;
  if (!Member) return Refuse(__func__, Class, "no member name");
  objectClass->Lists.MutableClassMembers().push_back(Member->Str());
  return 0;
}

int32_t PCB9_CALL PcbApi_GetMemberFromClassAt(uint32_t Class, int32_t Index, TShortString* Member) {
  TObject* objectClass = FindFor(__func__, Class, KindBit(kKindClass));
  if (!objectClass) return kRefused;
  // Reading past the last member is how a caller finds the end: an answer,
  // not a refused call.
  if (!Member || Index < 0 || static_cast<size_t>(Index) >= objectClass->Lists.ClassMembers().size())
    return kNoMember;
  Member->Assign(objectClass->Lists.ClassMembers()[static_cast<size_t>(Index)]);
  return 0;
}

int32_t PCB9_CALL PcbApi_RemoveAllMembersFromClass(uint32_t Class) {
  TObject* objectClass = FindFor(__func__, Class, KindBit(kKindClass));
  if (!objectClass) return kRefused;
  objectClass->Lists.MutableClassMembers().clear();
  return 0;
}

}  // extern "C"
