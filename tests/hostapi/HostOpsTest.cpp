// The shared host operations: old layer code maps, unit conversions, the
// board query with its current layer, progress start and iterators on a
// layer id; and the wrappers' defaults when the host module is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "Document.h"
#include "support/HostFixture.h"
#include "Module.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/BoardCallLog.h"
#include "layers/Layers.h"

namespace pcb9 {
namespace {

struct TMapCase {
  uint8_t Code, Expected;
};

TEST(OldLayerCodes, MapToHostLayerIds) {
  const TMapCase cases[] = {{0, 0},   {1, 1},   {2, 2},   {15, 15}, {16, 32}, {17, 33},
                            {22, 38}, {23, 39}, {26, 42}, {27, 55}, {28, 56}, {29, 57},
                            {32, 60}, {33, 73}, {34, 74}, {35, 75}, {41, 81}, {42, 82},
                            {43, 0},  {100, 0}, {255, 0}};
  for (const TMapCase& c : cases)
    EXPECT_EQ(OldLayerToHostLayer(c.Code), c.Expected) << "code " << int(c.Code);
}

TEST(OldLayerCodes, OptionCodesMapToOptionIndexes) {
  const TMapCase cases[] = {{0, 0},   {1, 1},   {15, 15}, {16, 32}, {17, 33}, {26, 42},
                            {27, 55}, {32, 60}, {33, 61}, {34, 62}, {35, 71}, {36, 72},
                            {37, 73}, {41, 77}, {42, 90}, {49, 97}, {50, 106}, {51, 107},
                            {53, 109}, {54, 0}, {255, 0}};
  for (const TMapCase& c : cases)
    EXPECT_EQ(OldOptionLayerToIndex(c.Code), c.Expected) << "code " << int(c.Code);
}

TEST(UnitConversions, UnitsToMilsKeepsThreeDecimals) {
  const std::pair<int32_t, double> cases[] = {
      {12344, 1.234}, {-25000, -2.5}, {0, 0.0},      {10000, 1.0},
      {-12346, -1.235}, {2147483647, 214748.365}, {-2147483647 - 1, -214748.365}};
  for (auto [units, mils] : cases) EXPECT_DOUBLE_EQ(UnitsToMils(units), mils) << units;
}

TEST(UnitConversions, MilsToUnitsRoundsAndSaturates) {
  EXPECT_DOUBLE_EQ(MilsToUnits(2.5), 25000.0);
  EXPECT_EQ(MilsToUnitsRounded(20), 200000);
  EXPECT_EQ(MilsToUnitsRounded(-1.23456), -12346);
  EXPECT_EQ(MilsToUnitsRounded(0.00025), 2);  // 2.5 units: ties to even
  EXPECT_EQ(MilsToUnitsRounded(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(MilsToUnitsRounded(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(MilsToUnitsRounded(std::nan("")), 0);
  EXPECT_NEAR(DegToRad(180), std::numbers::pi, 1e-15);
  EXPECT_DOUBLE_EQ(DegToRad(-90), -std::numbers::pi / 2);
}

class HostOps : public pcb9test::THostFixture {
 protected:
  uint32_t Board() const { return morvik::TDocument::Instance().BoardHandle(); }
  morvik::TObject& BoardObject() { return *morvik::TDocument::Instance().Find(Board()); }

  uint8_t FetchCurrentLayer(uint8_t start = 0) {
    uint8_t layer = start;
    EXPECT_EQ(QueryBoardWithLayer(1, Board(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, &layer, nullptr),
              0);
    return layer;
  }
};

TEST_F(HostOps, QueryBoardExchangesTheCurrentLayerAsAnId) {
  uint8_t layer = kMultiLayer;
  QueryBoardWithLayer(0, Board(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr, &layer, nullptr);
  EXPECT_EQ(BoardObject().Int("CurrentLayer"), kMultiLayer);
  EXPECT_EQ(FetchCurrentLayer(), kMultiLayer);

  // The host holds layer codes; the id is the code's layer.
  BoardObject().Set("CurrentLayer", morvik::TFieldType::LayerCode, int64_t{SignalLayer(40)});
  EXPECT_EQ(FetchCurrentLayer(), 31);
  BoardObject().Set("CurrentLayer", morvik::TFieldType::LayerCode, int64_t{InternalPlane(99)});
  EXPECT_EQ(FetchCurrentLayer(), kInternalPlane16);

  layer = 90;  // no layer of that id: stored as NoLayer
  QueryBoardWithLayer(0, Board(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr, &layer, nullptr);
  EXPECT_EQ(BoardObject().Int("CurrentLayer"), 0);
  EXPECT_EQ(layer, kNoLayer);
}

TEST_F(HostOps, ProgressInitPassesTheCaptionCutTo255) {
  ProgressInit(std::string(300, 'c'), 42);
  EXPECT_EQ(morvik::Progress().Caption, std::string(255, 'c'));
  EXPECT_EQ(morvik::Progress().Total, 42);
  ProgressInit("Loading", -1);
  EXPECT_EQ(morvik::Progress().Caption, "Loading");
}

TEST_F(HostOps, IteratorOnALayerIdUsesTheIdsCode) {
  auto& track = morvik::TDocument::Instance().Create(4);
  track.Set("Layer", morvik::TFieldType::LayerCode, int64_t{0});
  PcbApi_AddObjectToContainer(Board(), track.Handle);
  // Id 83 has no code: it iterates NoLayer.
  for (uint8_t id : {uint8_t{0}, uint8_t{83}}) {
    const uint32_t it = CreateIteratorOnLayer(Board(), 4, 1, id);
    EXPECT_EQ(PcbApi_GetFirstObject(it), track.Handle);
    EXPECT_EQ(PcbApi_GetNextObject(it), 0u);
    PcbApi_DestroyIterator(it);
  }
  const uint32_t it = CreateIteratorOnLayer(Board(), 4, 1, kTopLayer);
  EXPECT_EQ(PcbApi_GetFirstObject(it), 0u);
  PcbApi_DestroyIterator(it);
}

TEST(MissingHost, WrappersAnswerTheirDefaults) {
  pcb9test::TAbsentHost absent;
  int32_t count = 9, mode = 9;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(uint32_t{1}, &count, uint8_t{1}), 1);
  EXPECT_EQ(count, 9);
  EXPECT_EQ(PcbApi_QueryBoardSplitPlaneMode(uint8_t{1}, uint32_t{1}, &mode), 1);
  EXPECT_EQ(PcbApi_QueryBoardGridsEx(uint8_t{1}, uint32_t{1}, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr),
            0);
  uint8_t layer = kBottomLayer;
  EXPECT_EQ(QueryBoardWithLayer(1, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, &layer, nullptr),
            0);
  EXPECT_EQ(layer, kBottomLayer);
  EXPECT_EQ(CreateIteratorOnLayer(1, 4, 1, 1), 0u);
  ProgressInit("nothing", 1);  // no host: nothing happens, nothing breaks
}

}  // namespace
}  // namespace pcb9
