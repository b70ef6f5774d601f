// The dump entries of objects: the contract's field names and value forms
// for objects stored through the host's queries.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "Document.h"
#include "DumpJson.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"
#include "support/HostFixture.h"

namespace morvik {
namespace {

using nlohmann::json;
constexpr uint8_t kStore = 0;

class ObjectDump : public pcb9test::THostFixture {
 protected:
  static json Entry(uint32_t handle) { return ObjectJson(*TDocument::Instance().Find(handle)); }
};

TEST_F(ObjectDump, TrackShowsItsFieldsByProxyName) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  uint16_t flags = 0x8001;
  int16_t index = -2;
  uint32_t layer = 33, net = 5, owner = 0, polygon = 6, coordinate = 0, dimension = 0;
  uint8_t state = 1;
  int32_t x = 10, y = 20, x2 = 30, y2 = 40, width = 50;
  ASSERT_EQ(PcbApi_QueryTrack(kStore, track, &flags, &index, &layer, &net, &state, &owner, &x, &y,
                              &x2, &y2, &width, &polygon, &coordinate, &dimension),
            0);
  const json e = Entry(track);
  EXPECT_EQ(e["handle"], track);
  EXPECT_EQ(e["kind"], "Track");
  EXPECT_EQ(e["deleted"], false);
  EXPECT_EQ(e["Flags"], 0x8001);
  EXPECT_EQ(e["Index"], -2);
  EXPECT_EQ(e["Layer"], "TopOverlay");
  EXPECT_EQ(e["StateFlag"], true);
  EXPECT_EQ(e["Net"], 5);
  EXPECT_EQ(e["OwnerPolygon"], 6);
  for (const char* key : {"X", "Y", "X2", "Y2", "Width", "OwnerComponent", "OwnerCoordinate",
                          "OwnerDimension"})
    EXPECT_TRUE(e[key].is_number_integer()) << key;
  EXPECT_FALSE(e.contains("members"));
}

TEST_F(ObjectDump, ViaLayersAndTextsReadAsNamesAndLatin1) {
  const uint32_t via = PcbApi_CreateObject(kKindVia);
  const json v = Entry(via);
  EXPECT_EQ(v["Layer"], "MultiLayer");
  EXPECT_EQ(v["StartLayer"], "TopLayer");
  EXPECT_EQ(v["EndLayer"], "BottomLayer");

  TObject& text = *TDocument::Instance().Find(PcbApi_CreateObject(kKindText));
  text.Set("Text", TFieldType::Text, std::string("R\xB5" "1"));
  text.Set("Mirrored", TFieldType::Bool, int64_t{1});
  text.Set("Rotation", TFieldType::Real, 22.5);
  const json t = ObjectJson(text);
  EXPECT_EQ(t["Text"], "R\xC2\xB5" "1");
  EXPECT_EQ(t["Mirrored"], true);
  EXPECT_EQ(t["Rotation"], 22.5);
  EXPECT_EQ(t["Font"], 1);
}

TEST_F(ObjectDump, PolygonSegmentsAreDecodedEntries) {
  const uint32_t polygon = PcbApi_CreateObject(kKindPolygon);
  uint8_t records[2 * kSegmentSize] = {};
  uint8_t* second = records + kSegmentSize;
  second[0] = 1;
  const int32_t x = -5, cx = 7, radius = 300;
  const double start = 45.0, end = 135.0;
  std::memcpy(second + 1, &x, 4);
  std::memcpy(second + 9, &cx, 4);
  std::memcpy(second + 17, &radius, 4);
  std::memcpy(second + 21, &start, 8);
  std::memcpy(second + 29, &end, 8);
  int32_t count = 1;
  uint16_t flags = 0;
  int16_t index = 1;
  uint32_t layer = 1, net = 0;
  uint8_t state = 0, f1 = 1, f2 = 0, f3 = 0, b2 = 0, mode = 2, b1 = 0;
  int32_t v1 = 0, v2 = 0, v3 = 0;
  ASSERT_EQ(PcbApi_QueryPolygon(kStore, polygon, &flags, &index, &layer, &net, &state, &f1, &f2,
                                &f3, &v1, &v2, &b2, &mode, &v3, &b1, &count, records),
            0);
  const json e = Entry(polygon);
  EXPECT_EQ(e["kind"], "Polygon");
  EXPECT_TRUE(e["members"].is_array());
  EXPECT_EQ(e["SegmentCount"], 1);
  EXPECT_EQ(e["PolygonFlag1"], true);
  EXPECT_EQ(e["PolygonMode"], 2);
  ASSERT_EQ(e["Segments"].size(), 2u);
  const json s = e["Segments"][1];
  EXPECT_EQ(s, json({{"SegKind", 1}, {"SegX", -5}, {"SegY", 0}, {"SegCenterX", 7},
                     {"SegCenterY", 0}, {"SegRadius", 300}, {"SegStartAngle", 45.0},
                     {"SegEndAngle", 135.0}}));
}

TEST_F(ObjectDump, RuleShowsItsKindNameAndLastConstraint) {
  const uint32_t rule = PcbApi_CreateRuleObject(6);
  uint8_t style = 1;
  int32_t expansion = 200000, p1 = 100000, p3 = 4, p2 = 120000;
  ASSERT_EQ(PcbApi_QueryRulePowerPlaneConnectStyleRule(kStore, rule, &style, &expansion, &p1, &p3,
                                                       &p2),
            0);
  json e = Entry(rule);
  EXPECT_EQ(e["kind"], "Rule");
  EXPECT_EQ(e["RuleKind"], "PlaneConnect");
  EXPECT_EQ(e["Scope1"], "All");
  EXPECT_EQ(e["RuleValue"], -1);
  EXPECT_EQ(e["Constraint"], json({1, 200000, 100000, 4, 120000}));
  EXPECT_FALSE(e.contains("ConnectStyle"));  // shown in the list only

  const uint32_t layers = PcbApi_CreateRuleObject(9);
  uint8_t directions[32] = {};
  directions[0] = 3;
  directions[31] = 2;
  ASSERT_EQ(PcbApi_QueryRuleRoutingLayersRule(kStore, layers, directions), 0);
  e = Entry(layers);
  ASSERT_EQ(e["Constraint"].size(), 32u);
  EXPECT_EQ(e["Constraint"][0], 3);
  EXPECT_EQ(e["Constraint"][31], 2);

  EXPECT_EQ(Entry(PcbApi_CreateRuleObject(16))["Constraint"], json::array());

  // The short-circuit flag is an 8-bit value, shown as the number stored.
  const uint32_t shortCircuit = PcbApi_CreateRuleObject(15);
  uint8_t flag = 2;
  ASSERT_EQ(PcbApi_QueryRuleShortCircuitConstraint(kStore, shortCircuit, &flag), 0);
  EXPECT_EQ(Entry(shortCircuit)["Constraint"], json({2}));
}

TEST_F(ObjectDump, PadArraysDimensionReferencesAndClassMembersAreLists) {
  const uint32_t pad = PcbApi_CreateObject(kKindPad);
  PcbApi_SetPadSizeOnLayer(pad, 5, -7, 8);
  const json p = Entry(pad);
  ASSERT_EQ(p["LayerXSize"].size(), 83u);
  EXPECT_EQ(p["LayerXSize"][5], -7);
  EXPECT_EQ(p["LayerYSize"][5], 8);
  EXPECT_EQ(p["LayerCornerPercent"][0], 50);

  const uint32_t dim = PcbApi_CreateObject(kKindDimension);
  int32_t count = 1, a = 1, b = -2, c = 3, d = 4;
  PcbApi_References_Count(kStore, dim, &count);
  PcbApi_References_At(kStore, dim, 0, &a, &b, &c, &d);
  const json r = Entry(dim);
  EXPECT_EQ(r["ReferenceCount"], 1);
  EXPECT_EQ(r["References"], json::array({json::array({1, -2, 3, 4})}));
  EXPECT_EQ(r["DimensionKind"], 8);

  const uint32_t cls = PcbApi_CreateObject(kKindClass);
  const TShortString member("GND");
  PcbApi_AddMemberToClass(cls, &member);
  const json k = Entry(cls);
  EXPECT_EQ(k["kind"], "ObjectClass");
  EXPECT_EQ(k["Members"], json::array({"GND"}));
}

TEST_F(ObjectDump, ObjectsListsTheBoardFirstAndEveryObjectInCreationOrder) {
  const uint32_t arc = PcbApi_CreateObject(kKindArc);
  std::ostringstream text;
  {
    TJsonStream out(text);
    WriteObjectsJson(out);
  }
  const json all = json::parse(text.str());
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front()["kind"], "Board");
  EXPECT_EQ(all.back()["handle"], arc);
  EXPECT_EQ(all.back()["kind"], "Arc");
  uint32_t previous = 0;
  for (const json& entry : all) {
    EXPECT_GT(entry["handle"].get<uint32_t>(), previous);
    previous = entry["handle"].get<uint32_t>();
  }
}

}  // namespace
}  // namespace morvik
