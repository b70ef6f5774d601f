#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "layers/Layers.h"

namespace pcb9 {
namespace {

constexpr TLayerCode Ext(uint32_t high, uint32_t low) { return (high << 16) | low; }

TEST(LayerNames, TableCoversEveryIdAndNothingBeyond) {
  const std::pair<TLayerId, std::string_view> cases[] = {
      {0, "NoLayer"},          {1, "TopLayer"},        {2, "MidLayer1"},
      {31, "MidLayer30"},      {32, "BottomLayer"},    {33, "TopOverlay"},
      {38, "BottomSolder"},    {39, "InternalPlane1"}, {54, "InternalPlane16"},
      {55, "DrillGuide"},      {56, "KeepOutLayer"},   {57, "Mechanical1"},
      {72, "Mechanical16"},    {73, "DrillDrawing"},   {74, "MultiLayer"},
      {75, "ConnectLayer"},    {80, "GridColor10"},    {82, "ViaHoleLayer"},
      {83, ""},                {255, ""}};
  for (auto [id, name] : cases) EXPECT_EQ(LayerName(id), name) << int(id);
  for (unsigned id = 0; id <= kLastLayerId; ++id)
    EXPECT_LE(LayerName(static_cast<TLayerId>(id)).size(), 20u) << id;
}

struct TCodeCase {
  const char* What;
  std::function<TLayerCode()> Make;
  TLayerCode Code;
};

TEST(LayerCodes, ConstructorsGiveLegacyOrExtendedCodes) {
  const TCodeCase cases[] = {
      {"SignalLayer(1)", [] { return SignalLayer(1); }, kTopLayer},
      {"SignalLayer(2)", [] { return SignalLayer(2); }, 2},
      {"SignalLayer(31)", [] { return SignalLayer(31); }, 31},
      {"SignalLayer(65535)", [] { return SignalLayer(65535); }, kBottomLayer},
      {"SignalLayer(0)", [] { return SignalLayer(0); }, Ext(0x0101, 0)},
      {"SignalLayer(32)", [] { return SignalLayer(32); }, Ext(0x0101, 32)},
      {"SignalLayer(65534)", [] { return SignalLayer(65534); }, Ext(0x0101, 65534)},
      {"MidLayer(1)", [] { return MidLayer(1); }, 2},
      {"MidLayer(30)", [] { return MidLayer(30); }, 31},
      {"MidLayer(65534)", [] { return MidLayer(65534); }, kBottomLayer},
      {"MidLayer(-1)", [] { return MidLayer(-1); }, Ext(0x0101, 0)},
      {"InternalPlane(1)", [] { return InternalPlane(1); }, kInternalPlane1},
      {"InternalPlane(16)", [] { return InternalPlane(16); }, kInternalPlane16},
      {"InternalPlane(17)", [] { return InternalPlane(17); }, Ext(0x0104, 17)},
      {"InternalPlane(65535)", [] { return InternalPlane(65535); }, Ext(0x0104, 65535)},
      {"MechanicalLayer(1)", [] { return MechanicalLayer(1); }, kMechanical1},
      {"MechanicalLayer(3)", [] { return MechanicalLayer(3); }, 59},
      {"MechanicalLayer(17)", [] { return MechanicalLayer(17); }, Ext(0x0400, 17)},
  };
  for (const TCodeCase& c : cases) EXPECT_EQ(c.Make(), c.Code) << c.What;
}

struct TErrorCase {
  std::function<TLayerCode()> Make;
  std::string Message;
};

TEST(LayerCodes, OutOfRangeNumbersRaiseWithTheLow32BitsAsSignedDecimal) {
  const TErrorCase cases[] = {
      {[] { return SignalLayer(65536); }, "Creating SignalLayer(65536)"},
      {[] { return SignalLayer(-1); }, "Creating SignalLayer(-1)"},
      {[] { return SignalLayer(0x100000005LL); }, "Creating SignalLayer(5)"},
      {[] { return MidLayer(65535); }, "Creating SignalLayer(65536)"},
      {[] { return InternalPlane(0); }, "Creating InternalPlaneLayer(0)"},
      {[] { return InternalPlane(65536); }, "Creating InternalPlaneLayer(65536)"},
      {[] { return MechanicalLayer(0); }, "Creating MechanicalLayer(0)"},
      {[] { return MechanicalLayer(65536); }, "Creating MechanicalLayer(65536)"},
      {[] { return MechanicalLayer(0xFFFFFFFFLL); }, "Creating MechanicalLayer(-1)"},
  };
  for (const TErrorCase& c : cases) {
    try {
      c.Make();
      ADD_FAILURE() << "no exception for " << c.Message;
    } catch (const ELayerException& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
}

struct TClassCase {
  TLayerCode Code;
  TLayerClass Class;
  uint32_t Number;
  TLayerId Id;
};

TEST(LayerCodes, ClassNumberAndIdOfACode) {
  using C = TLayerClass;
  const TClassCase cases[] = {
      {0, C::None, 0, 0},
      {kTopLayer, C::TopSignal, 1, 1},
      {2, C::MidSignal, 2, 2},
      {31, C::MidSignal, 31, 31},
      {kBottomLayer, C::BottomSignal, 65535, 32},
      {kTopOverlay, C::TopOverlay, 6, 33},
      {kBottomSolder, C::BottomSolder, 11, 38},
      {kInternalPlane1, C::InternalPlane, 1, 39},
      {kInternalPlane16, C::InternalPlane, 16, 54},
      {kDrillGuide, C::DrillGuide, 12, 55},
      {kKeepOutLayer, C::KeepOut, 13, 56},
      {kMechanical1, C::Mechanical, 1, 57},
      {kMechanical16, C::Mechanical, 16, 72},
      {kDrillDrawing, C::DrillDrawing, 14, 73},
      {kMultiLayer, C::Multi, 15, 74},
      {kViaHoleLayer, C::ViaHole, 23, 82},
      {83, C::None, 0, 0},
      {Ext(0x0101, 32), C::MidSignal, 32, 31},      // beyond MidLayer30
      {Ext(0x0101, 0), C::None, 0, 0},              // low word 0: invalid
      {Ext(0x0104, 17), C::InternalPlane, 17, 54},  // beyond InternalPlane16
      {Ext(0x0400, 40), C::Mechanical, 40, 72},
      {Ext(0x0400, 0), C::None, 0, 0},
      {Ext(0x0002, 5), C::None, 0, 0},              // an unknown form
  };
  for (const TClassCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.Code);
    EXPECT_EQ(LayerClass(c.Code), c.Class);
    EXPECT_EQ(LayerNumber(c.Code), c.Number);
    EXPECT_EQ(LayerIdFromCode(c.Code), c.Id);
  }
}

TEST(LayerCodes, Predicates) {
  EXPECT_TRUE(IsInvalidLayer(SignalLayer(0)));
  EXPECT_FALSE(IsInvalidLayer(0));
  EXPECT_FALSE(IsSignalLayer(SignalLayer(0)));
  EXPECT_TRUE(IsSignalLayer(kBottomLayer));
  EXPECT_TRUE(IsSignalLayer(SignalLayer(100)));
  EXPECT_FALSE(IsSignalLayer(kTopOverlay));
  EXPECT_TRUE(IsInternalPlane(kInternalPlane16));
  EXPECT_TRUE(IsInternalPlane(InternalPlane(200)));
  EXPECT_FALSE(IsInternalPlane(kDrillGuide));
  EXPECT_TRUE(IsMechanicalLayer(kMechanical16));
  EXPECT_TRUE(IsMechanicalLayer(MechanicalLayer(17)));
  EXPECT_FALSE(IsMechanicalLayer(kDrillDrawing));
}

TEST(LayerCodes, IdsRoundTripAndOtherBytesGiveNoLayer) {
  for (unsigned id = 0; id <= kLastLayerId; ++id)
    EXPECT_EQ(LayerIdFromCode(LayerCodeFromId(static_cast<TLayerId>(id))), id);
  EXPECT_EQ(LayerCodeFromId(83), 0u);
  EXPECT_EQ(LayerCodeFromId(255), 0u);
}

TEST(LayerSets, RangeAndMembershipStayWithinEightyEightIds) {
  TLayerSet set = TLayerSet::Range(1, 75);
  EXPECT_FALSE(set.Contains(0));
  EXPECT_TRUE(set.Contains(1));
  EXPECT_TRUE(set.Contains(75));
  EXPECT_FALSE(set.Contains(76));
  set.Include(87);
  set.Include(88);  // beyond the set: ignored
  EXPECT_TRUE(set.Contains(87));
  EXPECT_FALSE(set.Contains(88));
  EXPECT_EQ(set.Bits[10], 0x80);
  set.Exclude(1);
  EXPECT_EQ(set.Bits[0], 0xFC);
}

}  // namespace
}  // namespace pcb9
