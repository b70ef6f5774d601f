// The exchanges that do more than copy fields: call order, the pad's
// per-layer work and stack modes, the text's status and cut, dimension
// references, class members, rules, segments, and the wrappers' defaults
// when the host lacks its functions.
#include <string>
#include <vector>

#include "ObjectStore.h"
#include "ProxyFixture.h"
#include "hostapi/PcbApiObjectsCustom.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "proxies/ProxyFromHandle.h"
#include "proxies/RuleObjects.h"

namespace pcb9test {
namespace {

using namespace pcb9;
using Api = TPcbApiTable;
using Log = std::vector<std::string>;

class SyncTest : public TProxyFixture {};

// --- call order --------------------------------------------------------------------

TEST_F(SyncTest, EveryExchangeBeginsWithTheTwoBitFields) {
  Spy<&Api::PcbApi_GetObjectBitField2>("Bits2");
  Spy<&Api::PcbApi_GetObjectBitField3>("Bits3");
  Spy<&Api::PcbApi_QueryPrimitive>("Primitive");
  TPcbComponentBody body(PcbApi_CreateObject(kComponentBodyKind));
  body.Sync(kSyncFetch);
  EXPECT_EQ(SpyLog(), (Log{"Bits2", "Bits3", "Primitive"}));
}

TEST_F(SyncTest, ProxyOnHandleZeroStillAsksTheHost) {
  uint32_t seen = 99;
  Spy<&Api::PcbApi_QueryTrack>("Track", [&seen](uint8_t, uint32_t object, auto...) {
    seen = object;
    return 1;
  });
  TPcbTrack track(0);
  EXPECT_EQ(track.Sync(kSyncFetch), 1);
  EXPECT_EQ(seen, 0u);
}

TEST_F(SyncTest, TextMakesItsFourCallsInOrder) {
  Spy<&Api::PcbApi_QueryText>("Text");
  Spy<&Api::PcbApi_QueryTrueTypeTextInfo>("TrueType");
  Spy<&Api::PcbApi_GetDesignatorDisplayString>("Display");
  Spy<&Api::PcbApi_QueryBarCodeTextInfo>("BarCode");
  TPcbText text(PcbApi_CreateObject(kTextKind));
  text.Sync(kSyncStore);
  EXPECT_EQ(SpyLog(), (Log{"Text", "TrueType", "Display", "BarCode"}));
}

TEST_F(SyncTest, ComponentMakesItsSixCallsInOrder) {
  Spy<&Api::PcbApi_QueryComponentChannelOffset>("ChannelOffset");
  Spy<&Api::PcbApi_QueryComponentKind>("Kind");
  Spy<&Api::PcbApi_QueryComponent>("Component");
  Spy<&Api::PcbApi_QueryComponentEx>("Ex");
  Spy<&Api::PcbApi_QueryComponentSourceLinks>("SourceLinks");
  Spy<&Api::PcbApi_QueryDefaultPCB3DModel>("3DModel");
  TPcbComponent component(PcbApi_CreateObject(kComponentKind));
  component.Sync(kSyncFetch);
  EXPECT_EQ(SpyLog(), (Log{"ChannelOffset", "Kind", "Component", "Ex", "SourceLinks", "3DModel"}));
}

// --- text ----------------------------------------------------------------------------

TEST_F(SyncTest, TextStatusIsTheTrueTypeCallsUnlessTheBarCodeCallSaysOne) {
  const uint32_t handle = PcbApi_CreateObject(kTextKind);
  TPcbText text(handle);
  Spy<&Api::PcbApi_QueryText>("Text", [](auto...) { return 7; });
  EXPECT_EQ(text.Sync(kSyncFetch), 0);
  Spy<&Api::PcbApi_QueryTrueTypeTextInfo>("TrueType", [](auto...) { return 5; });
  EXPECT_EQ(text.Sync(kSyncFetch), 5);
  Spy<&Api::PcbApi_QueryBarCodeTextInfo>("BarCode", [](auto...) { return 1; });
  EXPECT_EQ(text.Sync(kSyncFetch), 1);
}

TEST_F(SyncTest, TextFromTheHostIsCutTo254AndShownAsTheDisplayString) {
  const uint32_t handle = PcbApi_CreateObject(kTextKind);
  HostObject(handle).Set("Text", morvik::TFieldType::Text, std::string(255, 'q'));
  TPcbText text(handle);
  text.Sync(kSyncFetch);
  EXPECT_EQ(text.Text.Len, 254);
  EXPECT_EQ(text.DisplayText.Len, 254);
  EXPECT_EQ(text.DisplayText.View(), std::string(254, 'q'));
}

TEST_F(SyncTest, NewTextKeepsItsTrueTypeDefaultsWithoutAHost) {
  TPcbText text(0);
  EXPECT_EQ(text.TrueTypeFontName.View(), "Arial");
  EXPECT_EQ(text.TrueTypeValue, 200000);
  EXPECT_EQ(text.BarCodeByte1, 0);
}

// --- pad stack modes -------------------------------------------------------------

TEST_F(SyncTest, PadInFullStackModeStoresEveryLayer) {
  const uint32_t handle = PcbApi_CreateObject(kPadKind);
  TPcbPad pad(handle);
  pad.Sync(kSyncFetch);
  pad.StackMode = TPcbPad::kFullStack;
  for (int i = 0; i < kLayerIdCount; ++i) {
    pad.LayerXSize[i] = 1000 + i;
    pad.LayerYSize[i] = 2000 + i;
    pad.LayerShape[i] = static_cast<uint8_t>(i % 10);
    pad.LayerCornerPercent[i] = static_cast<uint8_t>(i);
  }
  Spy<&Api::PcbApi_SetPadShapeOnLayer>("Shape");
  Spy<&Api::PcbApi_SetPadSizeOnLayer>("Size");
  Spy<&Api::PcbApi_SetCRPctOnLayer>("Percent");
  EXPECT_EQ(pad.Sync(kSyncStore), 0);
  EXPECT_EQ(SpyCount("Shape"), 83u);
  EXPECT_EQ(SpyCount("Size"), 83u);
  EXPECT_EQ(SpyCount("Percent"), 83u);
  const morvik::TObject& host = HostObject(handle);
  for (unsigned i = 0; i < 83; ++i) {
    EXPECT_EQ(LayerArrayValue(host, morvik::kLayerYSize, i), 2000 + i);
    EXPECT_EQ(LayerArrayValue(host, morvik::kLayerCornerPercent, i), i);
  }
}

TEST_F(SyncTest, PadInSimpleModeWithoutRoundedRectanglesStoresNothingPerLayer) {
  const uint32_t handle = PcbApi_CreateObject(kPadKind);
  TPcbPad pad(handle);
  pad.Sync(kSyncFetch);
  const auto before = HostObject(handle).StoredFields();
  pad.TopCornerPercent = 10;
  for (int i = 0; i < kLayerIdCount; ++i) pad.LayerCornerPercent[i] = 77;
  Spy<&Api::PcbApi_SetPadShapeOnLayer>("Shape");
  Spy<&Api::PcbApi_SetPadSizeOnLayer>("Size");
  Spy<&Api::PcbApi_SetCRPctOnLayer>("Percent");
  pad.Sync(kSyncStore);
  EXPECT_TRUE(SpyLog().empty());
  EXPECT_EQ(HostObject(handle).Value("LayerCornerPercent"), before.at("LayerCornerPercent"));
}

TEST_F(SyncTest, PadInSimpleModeStoresTheThreePercentagesForEachRoundedRectangleLayer) {
  const uint32_t handle = PcbApi_CreateObject(kPadKind);
  TPcbPad pad(handle);
  pad.Sync(kSyncFetch);
  pad.LayerShape[1] = TPcbPad::kRoundedRectangle;
  pad.LayerShape[32] = TPcbPad::kRoundedRectangle;
  pad.TopCornerPercent = 10;
  pad.MidCornerPercent = 20;
  pad.BottomCornerPercent = 30;
  std::vector<std::string> calls;
  Spy<&Api::PcbApi_SetCRPctOnLayer>("Percent", [&calls](uint32_t, uint8_t id, uint8_t pct) {
    calls.push_back(std::to_string(id) + ":" + std::to_string(pct));
    return 0;
  });
  pad.Sync(kSyncStore);
  EXPECT_EQ(calls, (Log{"1:10", "32:30", "2:20", "1:10", "32:30", "2:20"}));
}

TEST_F(SyncTest, PadFetchTakesTheMidPercentageOfMidLayer30) {
  const uint32_t handle = PcbApi_CreateObject(kPadKind);
  morvik::TObject& host = HostObject(handle);
  host.Set("StackMode", morvik::TFieldType::U8, int64_t{2});
  SetLayerArrayValue(host, morvik::kLayerCornerPercent, 1, 11);
  SetLayerArrayValue(host, morvik::kLayerCornerPercent, 2, 22);
  SetLayerArrayValue(host, morvik::kLayerCornerPercent, 31, 33);
  SetLayerArrayValue(host, morvik::kLayerCornerPercent, 32, 44);
  TPcbPad pad(handle);
  pad.Sync(kSyncFetch);
  EXPECT_EQ(pad.TopCornerPercent, 11);
  EXPECT_EQ(pad.MidCornerPercent, 33);
  EXPECT_EQ(pad.BottomCornerPercent, 44);
}

TEST_F(SyncTest, PadSimpleModeRoundTripsItsPercentagesAndHostDerivesRadius) {
  const uint32_t handle = PcbApi_CreateObject(kPadKind);
  TPcbPad pad(handle);
  pad.Sync(kSyncFetch);
  pad.TopShape = pad.MidShape = pad.BottomShape = TPcbPad::kRoundedRectangle;
  pad.TopXSize = 1000;
  pad.TopYSize = 600;
  pad.Sync(kSyncStore);
  pad.Sync(kSyncFetch);  // now the layers report shape 9
  pad.TopCornerPercent = 25;
  pad.MidCornerPercent = 35;
  pad.BottomCornerPercent = 45;
  pad.Sync(kSyncStore);

  TPcbPad again(handle);
  again.Sync(kSyncFetch);
  EXPECT_EQ(again.TopCornerPercent, 25);
  EXPECT_EQ(again.MidCornerPercent, 35);
  EXPECT_EQ(again.BottomCornerPercent, 45);
  EXPECT_EQ(again.LayerShape[kTopLayer], TPcbPad::kRoundedRectangle);
  EXPECT_EQ(again.GetXSizeOnLayer(kTopLayer), 1000);
  // 25 % of half the smaller side (600 / 2).
  EXPECT_EQ(again.GetCornerRadiusOnLayer(kTopLayer), 75);
}

TEST_F(SyncTest, PadStopsAfterAFailedPadQuery) {
  TPcbPad pad(PcbApi_CreateObject(kPadKind));
  Spy<&Api::PcbApi_QueryPad>("Pad", [](auto...) { return 3; });
  Spy<&Api::PcbApi_QueryPadStackMode>("StackMode");
  EXPECT_EQ(pad.Sync(kSyncFetch), 3);
  EXPECT_EQ(SpyLog(), (Log{"Pad"}));
}

// --- via -----------------------------------------------------------------------

TEST_F(SyncTest, ViaLayerTravelsAsAnId) {
  const uint32_t handle = PcbApi_CreateObject(kViaKind);
  TPcbVia via(handle);
  via.Sync(kSyncFetch);
  EXPECT_EQ(via.Layer, 74u);
  EXPECT_EQ(via.GetLayer(), 74);
  via.SetLayer(kBottomLayer);
  via.Sync(kSyncStore);
  EXPECT_EQ(HostObject(handle).Int("Layer"), 32);
}

// --- dimension references -----------------------------------------------------------

TEST_F(SyncTest, DimensionWithoutReferencesMakesNoReferenceCall) {
  TPcbDimension dimension(PcbApi_CreateObject(kDimensionKind));
  Spy<&Api::PcbApi_References_Count>("Count");
  Spy<&Api::PcbApi_References_At>("At");
  dimension.Sync(kSyncFetch);
  dimension.Sync(kSyncStore);
  EXPECT_EQ(SpyLog(), (Log{"Count", "Count"}));
}

TEST_F(SyncTest, DimensionExchangesAtMost200ReferencesAndKeepsTheHostsCount) {
  const uint32_t handle = PcbApi_CreateObject(kDimensionKind);
  std::vector<morvik::TReference> refs(250);
  for (int k = 0; k < 250; ++k) refs[k].Values[0] = k;
  SetStoredReferences(HostObject(handle), refs);

  TPcbDimension dimension(handle);
  Spy<&Api::PcbApi_References_At>("At");
  dimension.Sync(kSyncFetch);
  EXPECT_EQ(SpyCount("At"), 200u);
  EXPECT_EQ(dimension.ReferenceCount, 250);
  EXPECT_EQ(dimension.References[199].Value1, 199);

  dimension.References[0].Value2 = 42;
  dimension.Sync(kSyncStore);
  const auto stored = morvik::StoredReferences(HostObject(handle));
  ASSERT_EQ(stored.size(), 250u);
  EXPECT_EQ(stored[0].Values[1], 42);
  EXPECT_EQ(stored[249].Values[0], 249);  // beyond the proxy's reach, kept
}

TEST_F(SyncTest, DimensionStatusIsTheAndOfTheFirstAndLastCalls) {
  TPcbDimension dimension(PcbApi_CreateObject(kDimensionKind));
  Spy<&Api::PcbApi_QueryDimension>("Dimension", [](auto...) { return 6; });
  Spy<&Api::PcbApi_QueryExtDimension>("Ext", [](auto...) { return 3; });
  EXPECT_EQ(dimension.Sync(kSyncFetch), 2);
}

// --- object class members ----------------------------------------------------------------

TEST_F(SyncTest, ClassFetchAppendsToItsMembersEveryTime) {
  const uint32_t handle = PcbApi_CreateObject(kObjectClassKind);
  HostObject(handle).Lists.MutableClassMembers() = {"GND", "VCC"};
  TPCBObjectClass objectClass(handle);
  EXPECT_EQ(objectClass.Sync(kSyncFetch), 1);
  objectClass.Sync(kSyncFetch);
  EXPECT_EQ(objectClass.Members, (Log{"GND", "VCC", "GND", "VCC"}));
}

TEST_F(SyncTest, ClassStoreReplacesTheHostsMembers) {
  const uint32_t handle = PcbApi_CreateObject(kObjectClassKind);
  HostObject(handle).Lists.MutableClassMembers() = {"GND", "VCC"};
  TPCBObjectClass objectClass(handle);
  objectClass.Members = {"A", std::string(300, 'b')};
  EXPECT_EQ(objectClass.Sync(kSyncStore), 0);
  EXPECT_EQ(HostObject(handle).Lists.ClassMembers(), (Log{"A", std::string(255, 'b')}));
  objectClass.Members.clear();
  objectClass.Sync(2);  // 2 stores too
  EXPECT_TRUE(HostObject(handle).Lists.ClassMembers().empty());
}

// A host that answers an unexpected error ends the member list instead of
// keeping the fetch in its loop.
TEST_F(SyncTest, ClassFetchEndsOnAnyMemberError) {
  TPCBObjectClass objectClass(PcbApi_CreateObject(kObjectClassKind));
  Spy<&Api::PcbApi_GetMemberFromClassAt>("Member", [](uint32_t, int32_t index, TShortString* name) {
    name->Assign("m");
    return index < 2 ? 0 : 2;
  });
  objectClass.Sync(kSyncFetch);
  EXPECT_EQ(objectClass.Members, (Log{"m", "m"}));
}

// --- components --------------------------------------------------------------------

TEST_F(SyncTest, AddToComponentOfNoObjectCallsNothing) {
  TPcbComponent component(PcbApi_CreateObject(kComponentKind));
  Spy<&Api::PcbApi_AddObjectToContainer>("Add");
  EXPECT_EQ(component.AddToComponent(0), 1);
  EXPECT_TRUE(SpyLog().empty());
  const uint32_t track = PcbApi_CreateObject(kTrackKind);
  EXPECT_EQ(component.AddToComponent(track), 0);
  EXPECT_EQ(HostObject(component.Handle).Lists.Members(), (std::vector<uint32_t>{track}));
}

TEST_F(SyncTest, ComponentNameIsItsDesignatorText) {
  const uint32_t text = PcbApi_CreateObject(kTextKind);
  HostObject(text).Set("Text", morvik::TFieldType::Text, std::string("U7"));
  TPcbComponent component(PcbApi_CreateObject(kComponentKind));
  component.Sync(kSyncFetch);
  component.NameText = text;
  EXPECT_EQ(component.GetName(), "U7");
}

TEST_F(SyncTest, ComponentPatternFromTheHostIsCutTo250) {
  const uint32_t handle = PcbApi_CreateObject(kComponentKind);
  HostObject(handle).Set("Pattern", morvik::TFieldType::Text, std::string(255, 'p'));
  TPcbComponent component(handle);
  component.Sync(kSyncFetch);
  EXPECT_EQ(component.Pattern.Len, 250);
}

// --- rules -------------------------------------------------------------------------

TEST_F(SyncTest, FreshRuleExStoresAllAllMinusOneAndNoName) {
  const uint32_t handle = PcbApi_CreateRuleObject(2);
  {
    TPcbRuleEx rule(handle);
    rule.Sync(kSyncFetch);
    rule.RuleName.Assign("Width_3");
    rule.Scope1.Assign("InNet('GND')");
    rule.Scope2.Clear();
    rule.RuleValue = 5;
    rule.Sync(kSyncStore);
  }
  TPcbRuleEx fresh(handle);
  fresh.Sync(kSyncStore);
  const morvik::TObject& host = HostObject(handle);
  EXPECT_EQ(host.Text("Scope1"), "All");
  EXPECT_EQ(host.Text("Scope2"), "All");
  EXPECT_EQ(host.Int("RuleValue"), -1);
  EXPECT_EQ(host.Text("RuleName"), "");
  EXPECT_EQ(host.Int("RuleKind"), 0);
}

TEST_F(SyncTest, RuleExStatusOneSkipsTheName) {
  TPcbRuleEx rule(PcbApi_CreateRuleObject(0));
  Spy<&Api::PcbApi_QueryRuleEx>("RuleEx", [](auto...) { return 1; });
  Spy<&Api::PcbApi_QueryRuleExtEx>("Name");
  EXPECT_EQ(rule.Sync(kSyncFetch), 1);
  EXPECT_EQ(SpyCount("Name"), 0u);
}

TEST(RuleKinds, NamesByKind) {
  EXPECT_EQ(RuleKindName(0), "Clearance");
  EXPECT_EQ(RuleKindName(16), "UnRoutedNet");
  EXPECT_EQ(RuleKindName(44), "FabricationTestPointUsage");
  EXPECT_EQ(RuleKindName(59), "Vexa Rule");
  EXPECT_EQ(RuleKindName(60), "");
}

// --- segments -----------------------------------------------------------------------

TEST_F(SyncTest, SegmentRecordsReachTheHostAsPackedMemory) {
  const uint32_t handle = PcbApi_CreateObject(kSplitPlaneKind);
  auto plane = std::make_unique<TPcbSplitPlane>(handle);
  plane->SegmentCount = 1;
  plane->Segments[1].SegKind = 1;
  plane->Segments[1].SegX = -7;
  plane->Segments[1].SegRadius = 0x01020304;
  plane->Segments[1].SegEndAngle = 90.5;
  plane->Sync(kSyncStore);
  const auto segments = morvik::StoredSegments(HostObject(handle));
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[1].SegKind, 1);
  EXPECT_EQ(segments[1].SegX, -7);
  EXPECT_EQ(segments[1].SegRadius, 0x01020304);
  EXPECT_EQ(segments[1].SegEndAngle, 90.5);
}

TEST_F(SyncTest, SegmentCountBeyondTheArrayIsClamped) {
  const uint32_t handle = PcbApi_CreateObject(kPolygonKind);
  auto polygon = std::make_unique<TPcbPolygon>(handle);
  polygon->SegmentCount = 6000;
  polygon->Sync(kSyncStore);
  EXPECT_EQ(polygon->SegmentCount, kMaxSegmentIndex);
  EXPECT_EQ(HostObject(handle).Int("SegmentCount"), kMaxSegmentIndex);
}

// --- embedded data ------------------------------------------------------------------

TEST_F(SyncTest, EmbeddedBlockIsExchangedInPlace) {
  const uint32_t handle = PcbApi_CreateObject(kEmbeddedKind);
  {
    TPcbEmbedded embedded(handle);
    embedded.EmbeddedData[4095] = 0xAB;
    embedded.Sync(kSyncStore);
  }
  TPcbEmbedded again(handle);
  again.Sync(kSyncFetch);
  EXPECT_EQ(again.EmbeddedData[4095], 0xAB);
}

// --- wrappers with the host's functions missing ------------------------------------------

TEST_F(SyncTest, WithoutHostFunctionsWrappersAnswerTheirDefaults) {
  const uint32_t text = PcbApi_CreateObject(kTextKind);
  DropAllHostFunctions();
  EXPECT_EQ(PcbApi_CreateObject(kTrackKind), 0u);
  TShortString name("stale");
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(1, 0, &name), 1);
  EXPECT_EQ(name.Len, 0);
  EXPECT_EQ(PcbApi_AddMemberToClass(1, &name), 1);
  EXPECT_EQ(PcbApi_RemoveAllMembersFromClass(1), 1);
  TPcbManualFromTo manual(5);
  EXPECT_EQ(manual.Sync(kSyncFetch), 1);
  TShortString display("stale");
  PcbApi_GetDesignatorDisplayString(&display, text);
  EXPECT_EQ(display.Len, 0);
  EXPECT_EQ(ProxyFromHandle(text), nullptr);
  EXPECT_EQ(GetTextOf(text), "");

  TPCBObjectClass objectClass(5);
  objectClass.Members = {"kept"};
  EXPECT_EQ(objectClass.Sync(kSyncFetch), 1);
  EXPECT_EQ(objectClass.Members, (Log{"kept"}));
  TPcbTrack track(5);
  track.X = 9;
  EXPECT_EQ(track.Sync(kSyncFetch), 0);
  EXPECT_EQ(track.X, 9);
}

// The 3D model query never binds on its own; the others bind first.
TEST_F(SyncTest, DefaultModelQueryDoesNotBind) {
  UnbindHostApi();
  TShortString model("kept");
  EXPECT_EQ(PcbApi_QueryDefaultPCB3DModel(1, 2, &model), 0);
  EXPECT_EQ(PcbApi().Module, nullptr);
  EXPECT_EQ(model.View(), "kept");
  PcbApi_CreateObject(kTrackKind);
  EXPECT_NE(PcbApi().Module, nullptr);
}

}  // namespace
}  // namespace pcb9test
