// The virtual accessors: what the base answers, what each kind replaces,
// the flag bits, and the corner and pad geometry on worked cases (expected
// values worked out by hand).
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "ProxyFixture.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "proxies/RuleObjects.h"

namespace pcb9test {
namespace {

using namespace pcb9;

// --- base versus replaced accessors ----------------------------------------------

struct TSlotCase {
  const char* Name;
  std::function<std::unique_ptr<TPCBObject>()> Make;
  std::function<int64_t(TPCBObject&)> Act;
  int64_t Expected;
};

void PrintTo(const TSlotCase& c, std::ostream* out) { *out << c.Name; }

template <class T, class F>
std::function<int64_t(TPCBObject&)> On(F f) {
  return [f](TPCBObject& p) { return static_cast<int64_t>(f(static_cast<T&>(p))); };
}

template <class T>
std::function<std::unique_ptr<TPCBObject>()> New() {
  return [] { return std::make_unique<T>(0); };
}

const TSlotCase kSlotCases[] = {
    // The base (a component body has no accessors of its own).
    {"BaseX2IsX", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.X = 7; p.SetX2(9); return p.GetX2(); }), 7},
    {"BaseY2IsY", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.Y = -4; return p.GetY2(); }), -4},
    {"BaseXSizeIsSize", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { return p.GetXSize(); }), 0},
    {"BaseOwnerPolygonIsNone", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetOwnerPolygon(5); return p.GetOwnerPolygon(); }), 0},
    {"BaseExtraFlagIsFalse", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetExtraFlag1(true); return p.GetExtraFlag1(); }), 0},
    {"BaseNameIsEmpty", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetName("x"); return p.GetName().size(); }), 0},
    {"BaseLayerIdSetsCode", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetLayerId(33); return p.Layer; }), 33},
    {"BaseLayerIdAbove82IsNoLayer", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetLayerId(90); return p.Layer; }), 0},
    {"BaseMoveByMovesX", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.X = 1; p.MoveBy(10, -5); return p.X; }), 11},
    {"BaseStateFlag", New<TPcbComponentBody>(), On<TPCBObject>([](auto& p) { p.SetStateFlag(true); return p.StateFlag; }), 1},
    // Track.
    {"TrackX2", New<TPcbTrack>(), On<TPcbTrack>([](auto& p) { p.SetX2(9); return p.GetX2(); }), 9},
    {"TrackWidth", New<TPcbTrack>(), On<TPcbTrack>([](auto& p) { p.SetWidth(12); return p.GetWidth(); }), 12},
    {"TrackLineWidthIsBase", New<TPcbTrack>(), On<TPcbTrack>([](auto& p) { p.Width = 12; return p.GetLineWidth(); }), 0},
    {"TrackOwnerDimension", New<TPcbTrack>(), On<TPcbTrack>([](auto& p) { p.SetOwnerDimension(3); return p.GetOwnerDimension(); }), 3},
    {"TrackMoveByMovesEnd", New<TPcbTrack>(), On<TPcbTrack>([](auto& p) { p.Y2 = 100; p.MoveBy(10, -5); return p.Y2; }), 95},
    // Arc: the width is a line width only.
    {"ArcLineWidth", New<TPcbArc>(), On<TPcbArc>([](auto& p) { p.SetLineWidth(8); return p.GetLineWidth(); }), 8},
    {"ArcWidthIsBase", New<TPcbArc>(), On<TPcbArc>([](auto& p) { p.Width = 8; return p.GetWidth(); }), 0},
    {"ArcMoveByKeepsRadius", New<TPcbArc>(), On<TPcbArc>([](auto& p) { p.Radius = 50; p.MoveBy(10, -5); return p.Radius; }), 50},
    {"ArcOwnerCoordinateIsBase", New<TPcbArc>(), On<TPcbArc>([](auto& p) { p.SetOwnerCoordinate(4); return p.GetOwnerCoordinate(); }), 0},
    // Via.
    {"ViaXSizeIsSize", New<TPcbVia>(), On<TPcbVia>([](auto& p) { p.SetSize(500); return p.GetXSize(); }), 500},
    {"ViaHoleSize", New<TPcbVia>(), On<TPcbVia>([](auto& p) { p.SetHoleSize(280); return p.GetHoleSize(); }), 280},
    {"ViaEndLayer", New<TPcbVia>(), On<TPcbVia>([](auto& p) { p.SetEndLayer(32); return p.GetEndLayer(); }), 32},
    {"ViaExtraFlag2", New<TPcbVia>(), On<TPcbVia>([](auto& p) { p.SetExtraFlag2(true); return p.GetExtraFlag2(); }), 1},
    // Fill.
    {"FillRotation", New<TPcbFill>(), On<TPcbFill>([](auto& p) { p.SetRotation(45); return p.GetRotation(); }), 45},
    {"FillMoveByMovesCorner", New<TPcbFill>(), On<TPcbFill>([](auto& p) { p.X2 = 1; p.MoveBy(10, -5); return p.X2; }), 11},
    // Text.
    {"TextSizeIsHeight", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetSize(600); return p.Height; }), 600},
    {"TextWidthAndLineWidth", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetLineWidth(9); return p.GetWidth() + p.GetLineWidth(); }), 18},
    {"TextSetWidthIsBase", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetWidth(9); return p.Width; }), 0},
    {"TextFont", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetFont(3); return p.GetFont(); }), 3},
    {"TextMirrored", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetMirrored(true); return p.GetMirrored(); }), 1},
    {"TextCutAt254", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetText(std::string(300, 'a')); return p.GetText().size(); }), 254},
    {"TextOwnerPolygonIsBase", New<TPcbText>(), On<TPcbText>([](auto& p) { p.SetOwnerPolygon(4); return p.GetOwnerPolygon(); }), 0},
    // Pad.
    {"PadNameCutAt20", New<TPcbPad>(), On<TPcbPad>([](auto& p) { p.SetName(std::string(30, 'n')); return p.GetName().size(); }), 20},
    {"PadBottomShape", New<TPcbPad>(), On<TPcbPad>([](auto& p) { p.SetBottomShape(9); return p.GetBottomShape(); }), 9},
    {"PadMidYSize", New<TPcbPad>(), On<TPcbPad>([](auto& p) { p.SetMidYSize(77); return p.GetMidYSize(); }), 77},
    {"PadSizeIsBase", New<TPcbPad>(), On<TPcbPad>([](auto& p) { p.TopXSize = 5; return p.GetSize(); }), 0},
    // From-tos, embedded board, net.
    {"FromToFlags", New<TPcbFromTo>(), On<TPcbFromTo>([](auto& p) { p.SetFromToFlag2(true); return p.GetFromToFlag1() * 10 + p.GetFromToFlag2(); }), 1},
    {"FromToX2", New<TPcbFromTo>(), On<TPcbFromTo>([](auto& p) { p.SetX2(3); return p.GetX2(); }), 3},
    {"ManualFromToKind", New<TPcbManualFromTo>(), On<TPCBObject>([](auto& p) { return p.GetObjectKind(); }), 17},
    {"EmbeddedBoardOnTopLayer", New<TPcbEmbeddedBoard>(), On<TPCBObject>([](auto& p) { return p.GetLayerId(); }), 1},
    {"EmbeddedBoardMirrored", New<TPcbEmbeddedBoard>(), On<TPcbEmbeddedBoard>([](auto& p) { p.SetMirrored(true); return p.Mirrored; }), 1},
    {"NetName", New<TPcbNet>(), On<TPcbNet>([](auto& p) { p.Name.Assign("GND"); return p.GetName() == "GND"; }), 1},
    {"DimensionKindIs8", New<TPcbDimension>(), On<TPcbDimension>([](auto& p) { return p.DimensionKind; }), 8},
    {"RuleExOnMultiLayer", New<TPcbRuleEx>(), On<TPCBObject>([](auto& p) { return p.GetLayerId(); }), 74},
    {"RuleExValueIsMinusOne", New<TPcbRuleEx>(), On<TPcbRuleEx>([](auto& p) { return p.RuleValue; }), -1},
};

class Slot : public ::testing::TestWithParam<TSlotCase> {};

TEST_P(Slot, AnswersAsItsClassDefines) {
  std::unique_ptr<TPCBObject> proxy = GetParam().Make();
  EXPECT_EQ(GetParam().Act(*proxy), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Accessors, Slot, ::testing::ValuesIn(kSlotCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- flag bits -----------------------------------------------------------------

TEST(FlagBits, Bit0100ReadsInvertedAndFreshProxiesReportIt) {
  TPcbTrack track(0);
  EXPECT_TRUE(track.GetFlag0100Clear());
  track.Flags = 0x0100;
  EXPECT_FALSE(track.GetFlag0100Clear());
}

TEST(FlagBits, BitField3EitherAndBoth) {
  TPcbTrack track(0);
  track.BitField3 = 0x04;
  EXPECT_TRUE(track.GetBitField3Any());
  track.SetBitField3Both(true);
  EXPECT_EQ(track.BitField3, 0x06);
  track.SetBitField3Both(false);
  EXPECT_EQ(track.BitField3, 0);
  EXPECT_FALSE(track.GetBitField3Any());
}

TEST(FlagBits, EachAccessorOwnsOneBit) {
  struct TBit {
    uint16_t Mask;
    void (TPCBObject::*Set)(bool);
    bool (TPCBObject::*Get)();
  };
  const TBit bits[] = {{0x0010, &TPCBObject::SetFlag0010, &TPCBObject::GetFlag0010},
                       {0x0800, &TPCBObject::SetFlag0800, &TPCBObject::GetFlag0800},
                       {0x2000, &TPCBObject::SetFlag2000, &TPCBObject::GetFlag2000},
                       {0x1000, &TPCBObject::SetFlag1000, &TPCBObject::GetFlag1000},
                       {0x4000, &TPCBObject::SetFlag4000, &TPCBObject::GetFlag4000},
                       {0x8000, &TPCBObject::SetFlag8000, &TPCBObject::GetFlag8000}};
  for (const TBit& bit : bits) {
    TPcbTrack track(0);
    track.Flags = 0x0001;
    (track.*bit.Set)(true);
    EXPECT_EQ(track.Flags, 0x0001 | bit.Mask);
    EXPECT_TRUE((track.*bit.Get)());
    (track.*bit.Set)(false);
    EXPECT_EQ(track.Flags, 0x0001);
  }
  TPcbTrack track(0);
  track.BitField2 = 0x7B;  // all reader bits but 0x04
  EXPECT_TRUE(track.GetBitField2Bit01() && track.GetBitField2Bit02() &&
              track.GetBitField2Bit08() && track.GetBitField2Bit10() &&
              track.GetBitField2Bit20() && track.GetBitField2Bit40());
  track.BitField2 = 0x04;
  EXPECT_FALSE(track.GetBitField2Bit01() || track.GetBitField2Bit02() ||
               track.GetBitField2Bit08() || track.GetBitField2Bit10() ||
               track.GetBitField2Bit20() || track.GetBitField2Bit40());
}

// The two setters that store at once: the host has the bit right away.
TEST_F(TProxyFixture, Flag0008AndFlag0100SettersStoreAtOnce) {
  const uint32_t handle = PcbApi_CreateObject(kTrackKind);
  TPcbTrack track(handle);
  track.Sync(kSyncFetch);
  track.SetFlag0008(true);
  EXPECT_EQ(HostObject(handle).Int("Flags"), 0x0008);
  track.SetFlag0100Clear(false);
  EXPECT_EQ(HostObject(handle).Int("Flags"), 0x0108);
  track.SetFlag0100Clear(true);
  EXPECT_EQ(HostObject(handle).Int("Flags"), 0x0008);
}

// --- corners of the object's extent ------------------------------------------------

struct TCornerCase {
  const char* Name;
  int32_t X1, Y1, X2, Y2;
  double Rotation;
  int32_t Margin;
  int32_t Expected[8];  // X1, Y1, X2, Y2, X3, Y3, X4, Y4
};

void PrintTo(const TCornerCase& c, std::ostream* out) { *out << c.Name; }

const TCornerCase kCornerCases[] = {
    // 100 x 50 about (50, 25): the plain rectangle.
    {"Upright", 0, 0, 100, 50, 0, 0, {0, 0, 100, 0, 0, 50, 100, 50}},
    {"UprightWithMargin", 0, 0, 100, 50, 0, 10, {-10, -10, 110, -10, -10, 60, 110, 60}},
    // A quarter turn: (-50, -25) from the centre goes to (25, -50).
    {"QuarterTurn", 0, 0, 100, 50, 90, 0, {75, -25, 75, 75, 25, -25, 25, 75}},
    // Reversed ends give the same extent.
    {"ReversedEnds", 100, 50, 0, 0, 0, 0, {0, 0, 100, 0, 0, 50, 100, 50}},
    // No height: a line, rotation ignored; cx = -3 div 2 + 0 = -1 (towards
    // zero), ends -2.5 and 0.5 round to even: -2 and 0.
    // Halving truncates each end on its own: cy = 7 div 2 + 7 div 2 = 6.
    {"FlatIgnoresRotation", -3, 7, 0, 7, 45, 0, {-2, 6, 0, 6, -2, 6, 0, 6}},
    {"FlatHalvesToEven", 0, 0, 3, 0, 0, 0, {0, 0, 2, 0, 0, 0, 2, 0}},
};

class Corner : public ::testing::TestWithParam<TCornerCase> {};

TEST_P(Corner, OfTheTurnedExtent) {
  const TCornerCase& c = GetParam();
  TPcbFill fill(0);
  fill.X = c.X1;
  fill.Y = c.Y1;
  fill.X2 = c.X2;
  fill.Y2 = c.Y2;
  fill.Rotation = c.Rotation;
  const int32_t m = c.Margin;
  const int32_t got[8] = {fill.GetCornerX1(m), fill.GetCornerY1(m), fill.GetCornerX2(m),
                          fill.GetCornerY2(m), fill.GetCornerX3(m), fill.GetCornerY3(m),
                          fill.GetCornerX4(m), fill.GetCornerY4(m)};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(got[i], c.Expected[i]) << "corner value " << i;
}

INSTANTIATE_TEST_SUITE_P(Worked, Corner, ::testing::ValuesIn(kCornerCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CornerOnLayer, OnlyOnTheObjectsOwnLayer) {
  TPcbTrack track(0);
  track.SetLayer(kTopLayer);
  track.X2 = 100;
  track.Y2 = 50;
  track.Width = 8;
  EXPECT_EQ(track.GetCornerX4OnLayer(kTopLayer, 0), 100);
  EXPECT_EQ(track.GetCornerX4OnLayer(kBottomLayer, 0), 0);
  EXPECT_EQ(track.GetWidthOnLayer(kTopLayer), 8);
  EXPECT_EQ(track.GetWidthOnLayer(kBottomLayer), 0);
  EXPECT_EQ(track.GetX2OnLayer(kTopLayer), 100);
  EXPECT_EQ(track.GetY2OnLayer(kBottomLayer), 0);
  EXPECT_EQ(track.GetSizeOnLayer(kTopLayer), 0);  // a track has no size
}

// --- pad geometry on a layer ----------------------------------------------------

struct TPadCase {
  const char* Name;
  int32_t X, Y, XSize, YSize;
  double Rotation;
  int32_t Margin;
  int32_t Corners[8];
  int32_t Line[4];  // first X, first Y, second X, second Y
};

void PrintTo(const TPadCase& c, std::ostream* out) { *out << c.Name; }

constexpr int32_t kSkip = std::numeric_limits<int32_t>::min();

const TPadCase kPadCases[] = {
    {"Wide", 1000, 2000, 100, 40, 0, 0,
     {950, 1980, 1050, 1980, 950, 2020, 1050, 2020}, {970, 2000, 1030, 2000}},
    {"WideWithMargin", 1000, 2000, 100, 40, 0, 5,
     {945, 1975, 1055, 1975, 945, 2025, 1055, 2025}, {970, 2000, 1030, 2000}},
    // A quarter turn: the long side stands up.
    {"WideTurned", 1000, 2000, 100, 40, 90, 0,
     {1020, 1950, 1020, 2050, 980, 1950, 980, 2050}, {1000, 1970, 1000, 2030}},
    // Taller than wide: the line runs along Y (first end above).
    {"Tall", 100, 200, 40, 100, 0, 0,
     {80, 150, 120, 150, 80, 250, 120, 250}, {100, 230, 100, 170}},
    // 101 div 2 = 100 div 2: the line of a square is its centre (the
    // corners of an odd side fall on halves; not checked here).
    {"AlmostSquare", 100, 200, 101, 100, 0, 0, {kSkip}, {100, 200, 100, 200}},
    // No height: the corners are the ends of the turned segment.
    {"Flat", 1000, 2000, 100, 0, 0, 0,
     {950, 2000, 1050, 2000, 950, 2000, 1050, 2000}, {950, 2000, 1050, 2000}},
    {"FlatTurned", 1000, 2000, 100, 0, 90, 0,
     {1000, 1950, 1000, 2050, 1000, 1950, 1000, 2050}, {1000, 1950, 1000, 2050}},
    {"Empty", 1000, 2000, 0, 0, 30, 0,
     {1000, 2000, 1000, 2000, 1000, 2000, 1000, 2000}, {1000, 2000, 1000, 2000}},
};

class PadGeometry : public ::testing::TestWithParam<TPadCase> {};

TEST_P(PadGeometry, OnTheLayersSizes) {
  const TPadCase& c = GetParam();
  TPcbPad pad(0);
  pad.X = c.X;
  pad.Y = c.Y;
  pad.Rotation = c.Rotation;
  const TLayerId L = 5;
  pad.LayerXSize[L] = c.XSize;
  pad.LayerYSize[L] = c.YSize;
  const int32_t m = c.Margin;
  const int32_t corners[8] = {
      pad.GetCornerX1OnLayer(L, m), pad.GetCornerY1OnLayer(L, m), pad.GetCornerX2OnLayer(L, m),
      pad.GetCornerY2OnLayer(L, m), pad.GetCornerX3OnLayer(L, m), pad.GetCornerY3OnLayer(L, m),
      pad.GetCornerX4OnLayer(L, m), pad.GetCornerY4OnLayer(L, m)};
  if (c.Corners[0] != kSkip) {
    for (int i = 0; i < 8; ++i) EXPECT_EQ(corners[i], c.Corners[i]) << "corner value " << i;
  }
  const int32_t line[4] = {pad.GetXOnLayer(L), pad.GetYOnLayer(L), pad.GetX2OnLayer(L),
                           pad.GetY2OnLayer(L)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(line[i], c.Line[i]) << "line value " << i;
}

INSTANTIATE_TEST_SUITE_P(Worked, PadGeometry, ::testing::ValuesIn(kPadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PadGeometry, PerLayerSizesShapeAndRadius) {
  TPcbPad pad(0);
  pad.LayerXSize[32] = 90;
  pad.LayerYSize[32] = 60;
  pad.LayerShape[32] = 9;
  pad.LayerCornerRadius[32] = 15;
  EXPECT_EQ(pad.GetXSizeOnLayer(32), 90);
  EXPECT_EQ(pad.GetYSizeOnLayer(32), 60);
  EXPECT_EQ(pad.GetWidthOnLayer(32), 60);
  EXPECT_EQ(pad.GetShapeOnLayer(32), 9);
  EXPECT_EQ(pad.GetCornerRadiusOnLayer(32), 15);
  // Ids past the arrays answer 0 and read nothing.
  EXPECT_EQ(pad.GetXSizeOnLayer(200), 0);
  EXPECT_EQ(pad.GetCornerX1OnLayer(83, 0), 0);
  EXPECT_EQ(pad.GetCornerRadiusOnLayer(255), 0);
}

// A via asks the host for its size and shape on a layer.
TEST_F(TProxyFixture, ViaSizeAndShapeOnLayerComeFromTheHost) {
  const uint32_t handle = PcbApi_CreateObject(kViaKind);
  TPcbVia via(handle);
  via.Sync(kSyncFetch);
  via.Size = 420000;
  via.StartLayer = kTopLayer;
  via.EndLayer = 5;
  via.Sync(kSyncStore);
  EXPECT_EQ(via.GetSizeOnLayer(3), 420000);
  EXPECT_EQ(via.GetShapeOnLayer(3), 1);
  EXPECT_EQ(via.GetSizeOnLayer(kMultiLayer), 420000);
  EXPECT_EQ(via.GetSizeOnLayer(10), 0);  // below its end layer
  EXPECT_EQ(via.GetShapeOnLayer(kTopOverlay), 0);
}

}  // namespace
}  // namespace pcb9test
