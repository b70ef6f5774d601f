// Owners recorded by file number and the pass that turns the numbers in
// primitives into owner handles and container memberships.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "Document.h"
#include "Kinds.h"
#include "hostapi/PcbApi.h"
#include "rules/OwnerTables.h"
#include "support/HostFixture.h"

namespace pcb9test {
namespace {

using namespace pcb9;
using morvik::TFieldType;
using morvik::TObject;

class OwnerTables : public THostFixture {
 protected:
  void TearDown() override {
    UnbindHostApi();  // drops any host entry a test replaced
    THostFixture::TearDown();
  }

  static TObject& Host(uint32_t handle) { return *morvik::TDocument::Instance().Find(handle); }
  static uint32_t BoardHandle() { return morvik::TDocument::Instance().BoardHandle(); }

  // An owner of the file's numbering, stored with its Index, on the board.
  uint32_t Owner(uint8_t kind, int64_t index) {
    const uint32_t handle = PcbApi_CreateObject(kind);
    Host(handle).Set("Index", TFieldType::I16, index);
    if (kind != morvik::kKindNet) PcbApi_AddObjectToContainer(BoardHandle(), handle);
    return handle;
  }
  uint32_t Registered(TOwnerKind ownerKind, uint8_t kind, int64_t index) {
    const uint32_t handle = Owner(kind, index);
    Tables.Register(ownerKind, handle);
    return handle;
  }
  // A primitive on the board whose owner fields hold file numbers; -1 is
  // stored as the loaders store it, sign-extended into 32 bits.
  uint32_t Primitive(uint8_t kind, std::initializer_list<std::pair<const char*, int32_t>> numbers,
                     uint32_t container = 0) {
    const uint32_t handle = PcbApi_CreateObject(kind);
    for (const auto& [field, number] : numbers)
      Host(handle).Set(field, TFieldType::Handle, int64_t{static_cast<uint32_t>(number)});
    PcbApi_AddObjectToContainer(container ? container : BoardHandle(), handle);
    return handle;
  }
  static bool IsMember(uint32_t container, uint32_t object) {
    const std::vector<uint32_t>& members = Host(container).Lists.Members();
    return std::count(members.begin(), members.end(), object) == 1;
  }
  static bool HasMembers(uint32_t container) { return !Host(container).Lists.Members().empty(); }
  static int64_t Field(uint32_t object, const char* name) { return Host(object).Int(name); }

  TOwnerTables Tables;
};

TEST_F(OwnerTables, RegisterByIndexAndLookUpByNumber) {
  const uint32_t net7 = Registered(TOwnerKind::Net, morvik::kKindNet, 7);
  const uint32_t last = Registered(TOwnerKind::Net, morvik::kKindNet, 16000);
  const uint32_t polygon7 = Registered(TOwnerKind::Polygon, morvik::kKindPolygon, 7);
  EXPECT_EQ(Tables.Lookup(TOwnerKind::Net, 7), net7);
  EXPECT_EQ(Tables.Lookup(TOwnerKind::Net, 16000), last);
  EXPECT_EQ(Tables.Lookup(TOwnerKind::Polygon, 7), polygon7);  // each kind its own table
  EXPECT_EQ(Tables.Lookup(TOwnerKind::Coordinate, 7), 0u);
  EXPECT_EQ(Tables.Lookup(TOwnerKind::Net, 8), 0u);  // never registered
  for (int64_t outside : {int64_t{0}, int64_t{-1}, int64_t{16001}, int64_t{INT32_MIN},
                          int64_t{0xFFFFFFFF}, INT64_MAX})
    EXPECT_EQ(Tables.Lookup(TOwnerKind::Net, outside), 0u) << outside;
}

TEST_F(OwnerTables, IndexesOutsideTheTableAreNotRegistered) {
  for (int64_t index : {0, -1, 16001, 32767, -32768}) {
    Registered(TOwnerKind::Dimension, morvik::kKindDimension, index);
    EXPECT_EQ(Tables.Lookup(TOwnerKind::Dimension, index), 0u) << index;
  }
  Tables.Register(TOwnerKind::Dimension, 0);
  Tables.Register(TOwnerKind::Dimension, 999999);  // no such object: Index reads 0
  for (int64_t number = 0; number <= 16001; ++number)
    ASSERT_EQ(Tables.Lookup(TOwnerKind::Dimension, number), 0u) << number;
}

// The 16001st owner of a kind cannot be registered, and what refers to it
// ends without that owner.
TEST_F(OwnerTables, OwnerBeyondTheTableIsNotLinked) {
  const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, 16001);
  const uint32_t via = Primitive(morvik::kKindVia, {{"Net", 16001}});
  LinkOwners(Tables, BoardHandle());
  EXPECT_EQ(Field(via, "Net"), 0);
  EXPECT_FALSE(HasMembers(net));
}

TEST_F(OwnerTables, PolygonWinsOverNet) {
  const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, 1);
  const uint32_t polygon = Registered(TOwnerKind::Polygon, morvik::kKindPolygon, 2);
  const uint32_t track = Primitive(morvik::kKindTrack, {{"Net", 1}, {"OwnerPolygon", 2}});
  const uint32_t arc = Primitive(morvik::kKindArc, {{"Net", 1}, {"OwnerPolygon", 2}});
  const uint32_t fill = Primitive(morvik::kKindFill, {{"Net", 1}, {"OwnerPolygon", 2}});
  LinkOwners(Tables, BoardHandle());
  for (uint32_t primitive : {track, arc, fill}) {
    SCOPED_TRACE(primitive);
    EXPECT_EQ(Field(primitive, "OwnerPolygon"), polygon);
    EXPECT_EQ(Field(primitive, "Net"), 0);
    EXPECT_TRUE(IsMember(polygon, primitive));
  }
  EXPECT_FALSE(HasMembers(net));
}

TEST_F(OwnerTables, NetCoordinateAndDimensionResolveIntoContainers) {
  const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, 1);
  const uint32_t coordinate = Registered(TOwnerKind::Coordinate, morvik::kKindCoordinate, 1);
  const uint32_t dimension = Registered(TOwnerKind::Dimension, morvik::kKindDimension, 3);
  const uint32_t track = Primitive(
      morvik::kKindTrack,
      {{"Net", 1}, {"OwnerPolygon", 0}, {"OwnerCoordinate", 1}, {"OwnerDimension", 3}});
  const uint32_t text =
      Primitive(morvik::kKindText, {{"OwnerCoordinate", 1}, {"OwnerDimension", 3}});
  const uint32_t pad = Primitive(morvik::kKindPad, {{"Net", 1}});
  const uint32_t via = Primitive(morvik::kKindVia, {{"Net", 1}});
  const uint32_t arc = Primitive(morvik::kKindArc, {{"Net", 1}, {"OwnerPolygon", -1}});
  LinkOwners(Tables, BoardHandle());
  for (uint32_t primitive : {track, pad, via, arc}) {
    EXPECT_EQ(Field(primitive, "Net"), net) << primitive;
    EXPECT_TRUE(IsMember(net, primitive)) << primitive;
  }
  EXPECT_EQ(Field(arc, "OwnerPolygon"), 0);
  for (uint32_t primitive : {track, text}) {
    EXPECT_EQ(Field(primitive, "OwnerCoordinate"), coordinate) << primitive;
    EXPECT_EQ(Field(primitive, "OwnerDimension"), dimension) << primitive;
    EXPECT_TRUE(IsMember(coordinate, primitive)) << primitive;
    EXPECT_TRUE(IsMember(dimension, primitive)) << primitive;
  }
}

TEST_F(OwnerTables, PrimitivesOfComponentsAreLinked) {
  const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, 2);
  const uint32_t component = Owner(morvik::kKindComponent, 1);
  const uint32_t pad = Primitive(morvik::kKindPad, {{"Net", 2}}, component);
  LinkOwners(Tables, BoardHandle());
  EXPECT_EQ(Field(pad, "Net"), net);
  EXPECT_TRUE(IsMember(net, pad));
}

// Numbers that name no owner: 0, negative, past the table, or past the
// owners loaded (four nets, number 5).
TEST_F(OwnerTables, NumbersWithoutAnOwnerEndAsZero) {
  for (int64_t index = 1; index <= 4; ++index)
    Registered(TOwnerKind::Net, morvik::kKindNet, index);
  const uint32_t via = Primitive(morvik::kKindVia, {{"Net", 0}});
  const uint32_t pad = Primitive(morvik::kKindPad, {{"Net", 5}});
  const uint32_t track = Primitive(morvik::kKindTrack, {{"Net", -1}, {"OwnerCoordinate", -1}});
  const uint32_t fill = Primitive(morvik::kKindFill, {{"Net", 16001}, {"OwnerPolygon", 16001}});
  const uint32_t text = Primitive(morvik::kKindText, {{"OwnerDimension", 5}});
  LinkOwners(Tables, BoardHandle());
  for (uint32_t primitive : {via, pad, track, fill})
    EXPECT_EQ(Field(primitive, "Net"), 0) << primitive;
  EXPECT_EQ(Field(track, "OwnerCoordinate"), 0);
  EXPECT_EQ(Field(fill, "OwnerPolygon"), 0);
  EXPECT_EQ(Field(text, "OwnerDimension"), 0);
  for (const TObject* net :
       {&Host(Tables.Lookup(TOwnerKind::Net, 1)), &Host(Tables.Lookup(TOwnerKind::Net, 4))})
    EXPECT_TRUE(net->Lists.Members().empty());
}

TEST_F(OwnerTables, PolygonsAndSplitPlanesGetTheNetButDoNotJoinIt) {
  const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, 3);
  const uint32_t polygon = Registered(TOwnerKind::Polygon, morvik::kKindPolygon, 1);
  const uint32_t plane = Registered(TOwnerKind::Polygon, morvik::kKindSplitPlane, 2);
  Host(polygon).Set("Net", TFieldType::Handle, int64_t{3});
  Host(plane).Set("Net", TFieldType::Handle, int64_t{3});
  LinkOwners(Tables, BoardHandle());
  EXPECT_EQ(Field(polygon, "Net"), net);
  EXPECT_EQ(Field(plane, "Net"), net);
  EXPECT_FALSE(HasMembers(net));
}

// A host that lists every object under each layer: a primitive is still
// linked once. Linking it again would read the net handle as a net number
// and give it another net.
uint32_t(PCB9_CALL* HostCreateIterator)(uint32_t, uint8_t, uint8_t, uint32_t) = nullptr;
uint32_t PCB9_CALL EveryLayerIterator(uint32_t container, uint8_t kind, uint8_t, uint32_t layer) {
  return HostCreateIterator(container, kind, 2, layer);
}

TEST_F(OwnerTables, ObjectListedUnderSeveralLayersIsLinkedOnce) {
  const uint32_t first = Registered(TOwnerKind::Net, morvik::kKindNet, 1);
  uint32_t byHandle = 0;  // the net whose number equals the first net's handle
  for (int64_t index = 2; index <= 64; ++index) {
    const uint32_t net = Registered(TOwnerKind::Net, morvik::kKindNet, index);
    if (index == first) byHandle = net;
  }
  ASSERT_NE(byHandle, 0u);
  const uint32_t pad = Primitive(morvik::kKindPad, {{"Net", 1}});
  const uint32_t track = Primitive(morvik::kKindTrack, {{"Net", 1}});
  EnsureBound();
  HostCreateIterator = PcbApi().PcbApi_CreateIterator;
  PcbApi().PcbApi_CreateIterator = &EveryLayerIterator;
  LinkOwners(Tables, BoardHandle());
  for (uint32_t primitive : {pad, track}) {
    EXPECT_EQ(Field(primitive, "Net"), first) << primitive;
    EXPECT_TRUE(IsMember(first, primitive)) << primitive;
  }
  EXPECT_FALSE(HasMembers(byHandle));
}

}  // namespace
}  // namespace pcb9test
