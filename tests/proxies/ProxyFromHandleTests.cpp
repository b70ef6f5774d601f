// Proxies made from bare handles, and the readers and writers of one
// property by handle.
#include <string>

#include "ProxyFixture.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "proxies/ProxyFromHandle.h"

namespace pcb9test {
namespace {

using namespace pcb9;
using Api = TPcbApiTable;

class ByHandle : public TProxyFixture {};

TEST_F(ByHandle, KindWithTheTopBitSetUsesTheLowSevenBits) {
  const uint32_t handle = PcbApi_CreateObject(kTrackKind);
  HostObject(handle).Set("Width", morvik::TFieldType::I32, int64_t{1234});
  HostObject(handle).Kind = 0x80 | kTrackKind;  // the host reports a flagged kind
  std::unique_ptr<TPCBObject> proxy = ProxyFromHandle(handle);
  ASSERT_NE(dynamic_cast<TPcbTrack*>(proxy.get()), nullptr);
  EXPECT_EQ(proxy->GetWidth(), 1234);  // fetched
}

TEST_F(ByHandle, KindsWithoutAProxyGiveNone) {
  const uint32_t handle = PcbApi_CreateObject(kTrackKind);
  for (uint8_t kind : {0, 23, 24, 25, 27, 127, 0x80 | 23}) {
    HostObject(handle).Kind = kind;
    EXPECT_EQ(ProxyFromHandle(handle), nullptr) << int(kind);
  }
  EXPECT_EQ(ProxyFromHandle(9999), nullptr);  // unknown to the host: kind 0
}

TEST_F(ByHandle, ReadersOfNoObjectAnswerNothingAndCallNothing) {
  Spy<&Api::PcbApi_GetObjectIdFromObjectHandle>("Kind");
  EXPECT_EQ(GetTextOf(0), "");
  EXPECT_EQ(GetLayerOf(0), 0);
  EXPECT_EQ(GetIndexOf(0), 0);
  EXPECT_EQ(GetNetOf(0), 0u);
  SetOwnerComponentOf(0, 5);
  SetNetOf(0, 5);
  EXPECT_TRUE(SpyLog().empty());
}

TEST_F(ByHandle, ReadersReadTheirProperty) {
  const uint32_t text = PcbApi_CreateObject(kTextKind);
  morvik::TObject& host = HostObject(text);
  host.Set("Text", morvik::TFieldType::Text, std::string("R12"));
  host.Set("Layer", morvik::TFieldType::LayerCode, int64_t{34});
  host.Set("Index", morvik::TFieldType::I16, int64_t{-3});
  host.Set("OwnerDimension", morvik::TFieldType::Handle, int64_t{77});
  EXPECT_EQ(GetTextOf(text), "R12");
  EXPECT_EQ(GetLayerOf(text), 34);
  EXPECT_EQ(GetIndexOf(text), -3);
  EXPECT_EQ(GetOwnerDimensionOf(text), 77u);
  EXPECT_EQ(GetOwnerPolygonOf(text), 0u);  // a text has none

  const uint32_t arc = PcbApi_CreateObject(kArcKind);
  HostObject(arc).Set("OwnerPolygon", morvik::TFieldType::Handle, int64_t{8});
  HostObject(arc).Set("Net", morvik::TFieldType::Handle, int64_t{9});
  EXPECT_EQ(GetOwnerPolygonOf(arc), 8u);
  EXPECT_EQ(GetNetOf(arc), 9u);
  EXPECT_EQ(GetTextOf(arc), "");  // no text of its own
}

TEST_F(ByHandle, ExtendedLayerCodeReadsAsTheLastLegacyLayerOfItsClass) {
  const uint32_t track = PcbApi_CreateObject(kTrackKind);
  HostObject(track).Set("Layer", morvik::TFieldType::LayerCode, int64_t{0x01010000 | 40});
  EXPECT_EQ(GetLayerOf(track), 31);  // MidLayer30
}

// The writer fetches and stores the whole proxy: fields the host never had
// come back with the fetched values, the one property with the new value.
TEST_F(ByHandle, WriterStoresEveryField) {
  const uint32_t track = PcbApi_CreateObject(kTrackKind);
  HostObject(track).Set("X2", morvik::TFieldType::I32, int64_t{500});
  ASSERT_FALSE(HostObject(track).Has("OwnerCoordinate"));
  SetOwnerPolygonOf(track, 21);
  const morvik::TObject& host = HostObject(track);
  for (const char* field : {"Flags", "Index", "Layer", "Net", "StateFlag", "OwnerComponent", "X",
                            "Y", "X2", "Y2", "Width", "OwnerPolygon", "OwnerCoordinate",
                            "OwnerDimension"})
    EXPECT_TRUE(host.Has(field)) << field;
  EXPECT_EQ(host.Int("OwnerPolygon"), 21);
  EXPECT_EQ(host.Int("X2"), 500);
  EXPECT_EQ(host.Int("Width"), 100000);  // the new track's default
}

TEST_F(ByHandle, WritersSetTheirProperty) {
  const uint32_t text = PcbApi_CreateObject(kTextKind);
  SetNetOf(text, 3);
  SetOwnerComponentOf(text, 4);
  SetOwnerCoordinateOf(text, 5);
  SetOwnerDimensionOf(text, 6);
  SetOwnerPolygonOf(text, 7);  // a text has no polygon: nothing changes
  const morvik::TObject& host = HostObject(text);
  EXPECT_EQ(host.Int("Net"), 3);
  EXPECT_EQ(host.Int("OwnerComponent"), 4);
  EXPECT_EQ(host.Int("OwnerCoordinate"), 5);
  EXPECT_EQ(host.Int("OwnerDimension"), 6);
  EXPECT_FALSE(host.Has("OwnerPolygon"));
}

TEST_F(ByHandle, WriterOnAKindWithoutAProxyDoesNothing) {
  const uint32_t board = morvik::TDocument::Instance().BoardHandle();
  Spy<&Api::PcbApi_QueryPrimitive>("Primitive");
  SetNetOf(board, 3);
  EXPECT_EQ(GetIndexOf(board), 0);
  EXPECT_TRUE(SpyLog().empty());
  EXPECT_FALSE(HostObject(board).Has("Net"));
}

}  // namespace
}  // namespace pcb9test
