// The reference host refuses what an editor would refuse, changes nothing
// then, and records every refused call for the dump's host_errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BoardStore.h"
#include "Document.h"
#include "Dump.h"
#include "Kinds.h"
#include "Module.h"
#include "PcbApiExports.h"
#include "support/HostFixture.h"

namespace morvik {
namespace {

constexpr uint8_t kFetch = 1, kStore = 0;
constexpr uint32_t kTopLayerCode = 1;

class StrictHost : public pcb9test::THostFixture {
 protected:
  uint32_t Board() const { return TDocument::Instance().BoardHandle(); }
  static TObject& Object(uint32_t handle) { return *TDocument::Instance().Find(handle); }
  static nlohmann::json Errors() { return pcb9host::DumpSections({})["host_errors"]; }
  static nlohmann::json Error(const char* call, uint32_t handle, const char* why) {
    return {{"call", call}, {"handle", handle}, {"why", why}};
  }
};

int32_t StoreTrack(uint32_t handle, int32_t width) {
  uint16_t flags = 0;
  int16_t index = 0;
  uint32_t layer = kTopLayerCode, net = 0, owner = 0, polygon = 0, coordinate = 0, dimension = 0;
  uint8_t state = 0;
  int32_t x = 1, y = 2, x2 = 3, y2 = 4;
  return PcbApi_QueryTrack(kStore, handle, &flags, &index, &layer, &net, &state, &owner, &x, &y,
                           &x2, &y2, &width, &polygon, &coordinate, &dimension);
}

// The fault the strictness is for: a track store on a via's handle used to
// succeed and leave the via with a Width and an X2.
TEST_F(StrictHost, QueryOfAnotherKindChangesNothingAndIsRecorded) {
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  const auto before = Object(via).StoredFields();
  EXPECT_NE(StoreTrack(via, 120000), 0);
  EXPECT_EQ(Object(via).StoredFields(), before);
  EXPECT_EQ(Errors(), nlohmann::json::array({Error("PcbApi_QueryTrack", via, "a Via, not a Track")}));
}

TEST_F(StrictHost, UnknownHandlesAreRefusedByEveryKindOfCall) {
  constexpr uint32_t kUnknown = 4711;
  int32_t value = 0;
  uint8_t byte = 0;
  TShortString text;
  EXPECT_NE(StoreTrack(kUnknown, 10), 0);
  EXPECT_NE(PcbApi_QueryNet(kFetch, kUnknown, nullptr, &text, &byte, &value), 0);
  EXPECT_NE(PcbApi_QueryPadOrViaSizeOnLayer(kUnknown, 1, &value, &value), 0);
  EXPECT_NE(PcbApi_QueryRuleClearanceConstraint(kStore, kUnknown, &value), 0);
  EXPECT_NE(PcbApi_QueryBoardSplitPlaneMode(kFetch, kUnknown, &value), 0);
  EXPECT_NE(PcbApi_QueryObjectBoundingRectangle(0, &value, &value, &value, &value), 0);
  const nlohmann::json errors = Errors();
  ASSERT_EQ(errors.size(), 6u) << errors.dump(1);
  for (size_t i = 0; i + 1 < errors.size(); ++i) {
    EXPECT_EQ(errors[i]["handle"], kUnknown);
    EXPECT_EQ(errors[i]["why"], "unknown handle");
  }
  EXPECT_EQ(errors[3]["call"], "PcbApi_QueryRuleClearanceConstraint");
  EXPECT_EQ(errors[5], Error("PcbApi_QueryObjectBoundingRectangle", 0, "no handle"));
}

TEST_F(StrictHost, AnObjectIsAddedToAContainerOnce) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  const uint32_t net = PcbApi_CreateObject(kKindNet);
  EXPECT_EQ(PcbApi_AddObjectToContainer(Board(), track), 0);
  EXPECT_EQ(PcbApi_AddObjectToContainer(net, track), 0);
  EXPECT_NE(PcbApi_AddObjectToContainer(Board(), track), 0);
  EXPECT_NE(PcbApi_AddObjectToContainer(net, track), 0);
  const uint32_t component = PcbApi_CreateObject(kKindComponent);
  EXPECT_NE(PcbApi_AddObjectToContainer(component, track), 0);  // the board owns it
  EXPECT_NE(PcbApi_AddObjectToContainer(track, net), 0);        // a track holds nothing
  EXPECT_EQ(Object(Board()).Lists.Members().back(), track);
  EXPECT_EQ(Object(net).Lists.Members(), std::vector<uint32_t>{track});
  EXPECT_TRUE(Object(component).Lists.Members().empty());
  EXPECT_EQ(Errors(), nlohmann::json::array({
                          Error("PcbApi_AddObjectToContainer", track, "already in that container"),
                          Error("PcbApi_AddObjectToContainer", track, "already in that container"),
                          Error("PcbApi_AddObjectToContainer", track, "already owned by 1"),
                          Error("PcbApi_AddObjectToContainer", track, "a Track, not a container"),
                      }));
  // Removed, it may be added again.
  EXPECT_EQ(PcbApi_DeleteObjectFromContainer(Board(), track), 0);
  EXPECT_EQ(PcbApi_AddObjectToContainer(Board(), track), 0);
  EXPECT_EQ(PcbApi_DeleteObjectFromContainer(net, track), 0);
  EXPECT_EQ(PcbApi_AddObjectToContainer(net, track), 0);
  EXPECT_EQ(Errors().size(), 4u);
  EXPECT_NE(PcbApi_DeleteObjectFromContainer(component, track), 0);
  EXPECT_EQ(Errors().back(), Error("PcbApi_DeleteObjectFromContainer", track, "not in that container"));
}

// An object may sit in several groups at once; each membership is kept,
// refused twice and removed on its own, whichever was first.
TEST_F(StrictHost, AnObjectInSeveralGroupsKeepsEachMembership) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  const uint32_t nets[] = {PcbApi_CreateObject(kKindNet), PcbApi_CreateObject(kKindNet),
                           PcbApi_CreateObject(kKindNet)};
  for (uint32_t net : nets) ASSERT_EQ(PcbApi_AddObjectToContainer(net, track), 0);
  for (uint32_t net : nets) EXPECT_NE(PcbApi_AddObjectToContainer(net, track), 0);
  EXPECT_EQ(PcbApi_DeleteObjectFromContainer(nets[0], track), 0);  // the first one
  EXPECT_NE(PcbApi_DeleteObjectFromContainer(nets[0], track), 0);
  for (uint32_t net : {nets[1], nets[2]}) EXPECT_NE(PcbApi_AddObjectToContainer(net, track), 0);
  EXPECT_EQ(PcbApi_AddObjectToContainer(nets[0], track), 0);
  EXPECT_EQ(PcbApi_DeleteObjectFromContainer(nets[2], track), 0);  // a later one
  EXPECT_NE(PcbApi_DeleteObjectFromContainer(nets[2], track), 0);
  EXPECT_NE(PcbApi_AddObjectToContainer(nets[0], track), 0);
  EXPECT_NE(PcbApi_AddObjectToContainer(nets[1], track), 0);
  EXPECT_EQ(Object(nets[0]).Lists.Members(), std::vector<uint32_t>{track});
  EXPECT_TRUE(Object(nets[2]).Lists.Members().empty());
  // Another object's first group is its own.
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  EXPECT_EQ(PcbApi_AddObjectToContainer(nets[2], via), 0);
  EXPECT_NE(PcbApi_DeleteObjectFromContainer(nets[1], via), 0);
}

// Kind 0 is no kind: it used to mean "every kind".
TEST_F(StrictHost, IteratorKindsOutsideTheHostsKindsGiveNoIterator) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  PcbApi_AddObjectToContainer(Board(), track);
  for (uint8_t kind : {0, 23, 25, 27, 255}) {
    const uint32_t it = PcbApi_CreateIterator(Board(), kind, 2, kTopLayerCode);
    EXPECT_EQ(it, 0u) << int(kind);
    EXPECT_EQ(PcbApi_GetFirstObject(it), 0u);  // handle 0 answers nothing, unrecorded
    PcbApi_DestroyIterator(it);
  }
  const nlohmann::json errors = Errors();
  ASSERT_EQ(errors.size(), 5u) << errors.dump(1);
  EXPECT_EQ(errors[0], Error("PcbApi_CreateIterator", Board(), "no object kind 0"));
  EXPECT_EQ(errors[4]["why"], "no object kind 255");
  const uint32_t outlines = PcbApi_CreateIterator(Board(), kKindBoardOutline, 2, kTopLayerCode);
  EXPECT_NE(outlines, 0u);
  EXPECT_EQ(PcbApi_DestroyIterator(outlines), 0);
  EXPECT_EQ(PcbApi_DestroyIterator(outlines), 1);
  EXPECT_EQ(Errors().back(), Error("PcbApi_DestroyIterator", outlines, "unknown iterator"));
}

TEST_F(StrictHost, ConstraintQueriesServeTheirOwnRuleKind) {
  const uint32_t width = PcbApi_CreateRuleObject(kRuleWidth);
  const auto before = Object(width).StoredFields();
  int32_t gap = 5, low = 10, high = 20;
  EXPECT_NE(PcbApi_QueryRuleClearanceConstraint(kStore, width, &gap), 0);
  EXPECT_EQ(Object(width).StoredFields(), before);
  EXPECT_EQ(PcbApi_QueryRuleMaxMinWidthConstraint(kStore, width, &low, &high), 0);
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  EXPECT_NE(PcbApi_QueryRuleMaxMinWidthConstraint(kStore, track, &low, &high), 0);
  EXPECT_EQ(Errors(), nlohmann::json::array(
                          {Error("PcbApi_QueryRuleClearanceConstraint", width,
                                 "a Width rule, not a Clearance rule"),
                           Error("PcbApi_QueryRuleMaxMinWidthConstraint", track,
                                 "a Track, not a Rule")}));
}

TEST_F(StrictHost, PerLayerCallsRefuseOtherKindsAndLayerIdsTheHostLacks) {
  const uint32_t pad = PcbApi_CreateObject(kKindPad);
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  const uint32_t fill = PcbApi_CreateObject(kKindFill);
  int32_t x = 0, y = 0;
  uint8_t percent = 0;
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(pad, 1, &x, &y), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(via, 1, &x, &y), 0);
  EXPECT_NE(PcbApi_QueryPadOrViaSizeOnLayer(via, 57, &x, &y), 0);  // not spanned: an answer
  EXPECT_TRUE(Errors().empty());
  EXPECT_NE(PcbApi_QueryPadOrViaSizeOnLayer(fill, 1, &x, &y), 0);
  EXPECT_NE(PcbApi_QueryPadCRPercentageOnLayer(via, 1, &percent), 0);
  EXPECT_NE(PcbApi_SetPadSizeOnLayer(pad, 83, 1, 1), 0);
  EXPECT_EQ(Errors(), nlohmann::json::array(
                          {Error("PcbApi_QueryPadOrViaSizeOnLayer", fill, "a Fill, not a Pad or a Via"),
                           Error("PcbApi_QueryPadCRPercentageOnLayer", via, "a Via, not a Pad"),
                           Error("PcbApi_SetPadSizeOnLayer", pad, "no layer id 83")}));
}

// What sound callers do records nothing: the base exchange and the bit
// fields on any object, reading class members to their end, a board query.
TEST_F(StrictHost, SoundCallsRecordNothing) {
  const uint32_t objectClass = PcbApi_CreateObject(kKindClass);
  TShortString member("GND");
  EXPECT_EQ(PcbApi_AddMemberToClass(objectClass, &member), 0);
  int32_t i = 0;
  while (PcbApi_GetMemberFromClassAt(objectClass, i, &member) == 0) ++i;
  EXPECT_EQ(i, 1);
  for (uint8_t kind : {kKindRule, kKindComponentBody, kKindNet, kKindBoardOutline}) {
    const uint32_t handle = PcbApi_CreateObject(kind);
    uint16_t flags = 0, bits3 = 0;
    int16_t index = 0;
    uint32_t layer = 0, net = 0, owner = 0;
    uint8_t state = 0, bits2 = 0;
    EXPECT_EQ(PcbApi_QueryPrimitive(kFetch, handle, &flags, &index, &layer, &net, &owner, &state), 0);
    PcbApi_GetObjectBitField2(kStore, handle, &bits2);
    PcbApi_GetObjectBitField3(kStore, handle, &bits3);
  }
  int32_t mode = 0;
  EXPECT_EQ(PcbApi_QueryBoardSplitPlaneMode(kFetch, Board(), &mode), 0);
  EXPECT_EQ(Errors(), nlohmann::json::array());
  // The board is no object of the base exchange.
  uint8_t bits = 0;
  PcbApi_GetObjectBitField2(kStore, Board(), &bits);
  EXPECT_EQ(Errors(), nlohmann::json::array({Error("PcbApi_GetObjectBitField2", Board(),
                                                   "a Board, not an object")}));
}

TEST_F(StrictHost, ResetForgetsTheRefusedCalls) {
  EXPECT_NE(StoreTrack(999, 1), 0);
  EXPECT_EQ(HostErrors().size(), 1u);
  ResetModule();
  EXPECT_TRUE(HostErrors().empty());
}

}  // namespace
}  // namespace morvik
