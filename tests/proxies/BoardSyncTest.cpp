// The board proxy's host calls, recorded: their order, their arguments, the
// board-level operations without a host call, and the iteration loops.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "proxies/Board.h"
#include "proxies/BoardCallLog.h"

namespace pcb9 {
namespace {

using pcb9test::CallLog;
using pcb9test::CallsOf;
using pcb9test::TCall;
using pcb9test::TRecordingHost;

constexpr uint32_t kBoard = 7;

void Repeat(std::vector<std::string>& names, const char* name, int count) {
  for (int i = 0; i < count; ++i) names.push_back(name);
}

std::vector<std::string> ExpectedSyncCalls(size_t pairsStored, bool store) {
  std::vector<std::string> names{"PcbApi_QueryBoard"};
  Repeat(names, "PcbApi_QueryBoardLayerInfo", 82);
  for (unsigned id = 1; id <= 82; ++id) {
    names.push_back(id >= 39 && id <= 54 ? "PcbApi_QueryInternalPlane" : "PcbApi_QueryLayer");
    names.push_back("PcbApi_QueryLayerDielectric");
  }
  names.push_back("PcbApi_QueryBoardSplitPlaneMode");
  names.push_back("PcbApi_QueryBoardGridsEx");
  names.push_back("PcbApi_QueryBoardOutputOptions");
  Repeat(names, "PcbApi_QueryBoardOutputOptionsPlotLayers", 109);
  Repeat(names, "PcbApi_QueryBoardOutputOptionsFlipLayers", 109);
  names.push_back("PcbApi_QueryBoardGerberOptions");
  names.push_back("PcbApi_QueryBoardPrinterOptions");
  Repeat(names, "PcbApi_QueryBoardPrinterOptionsPlotterPen", 8);
  Repeat(names, "PcbApi_QueryBoardPrinterOptionsCompositeLayer", 82);
  names.push_back("PcbApi_QueryBoardAdvancedPlacerOptions");
  names.push_back("PcbApi_QueryBoardEngineeringChangeOrderOptions");
  names.push_back("PcbApi_QueryBoardLayerPairsCount");
  if (store) Repeat(names, "PcbApi_QueryBoardLayerPairAt", static_cast<int>(pairsStored));
  names.push_back("PcbApi_QueryBoardExternalDielectrics");
  return names;
}

std::vector<std::string> LoggedNames() {
  std::vector<std::string> names;
  for (const TCall& call : CallLog()) names.push_back(call.Name);
  return names;
}

// The index argument (third integer, or second for the layer queries) of
// every call of a function.
std::vector<int64_t> IndexesOf(const std::string& name, size_t position) {
  std::vector<int64_t> out;
  for (const TCall& call : CallsOf(name)) out.push_back(call.Ints.at(position));
  return out;
}

std::vector<int64_t> Sequence(int64_t first, int64_t last) {
  std::vector<int64_t> out;
  for (int64_t i = first; i <= last; ++i) out.push_back(i);
  return out;
}

TEST(BoardSync, FetchCallsEveryGroupInOrderWithDirectionAndBoardFirst) {
  TRecordingHost host;
  TPcbBoard board(kBoard);
  board.Sync(1);
  EXPECT_EQ(LoggedNames(), ExpectedSyncCalls(0, false));
  for (const TCall& call : CallLog()) {
    SCOPED_TRACE(call.Name);
    if (call.Name == "PcbApi_QueryBoardLayerPairsCount") {
      EXPECT_EQ(call.Ints, (std::vector<int64_t>{kBoard, 1}));  // direction last
    } else if (call.Name.starts_with("PcbApi_QueryLayer") ||
               call.Name == "PcbApi_QueryInternalPlane") {
      EXPECT_EQ(call.Ints.at(0), 1);
      EXPECT_EQ(call.Ints.at(2), kBoard);  // layer id before the board
    } else {
      EXPECT_EQ(call.Ints.at(0), 1);
      EXPECT_EQ(call.Ints.at(1), kBoard);
    }
  }
  EXPECT_EQ(IndexesOf("PcbApi_QueryBoardLayerInfo", 2), Sequence(1, 82));
  EXPECT_EQ(IndexesOf("PcbApi_QueryLayerDielectric", 1), Sequence(1, 82));
  EXPECT_EQ(IndexesOf("PcbApi_QueryInternalPlane", 1), Sequence(39, 54));
  EXPECT_EQ(IndexesOf("PcbApi_QueryBoardOutputOptionsPlotLayers", 2), Sequence(1, 109));
  EXPECT_EQ(IndexesOf("PcbApi_QueryBoardOutputOptionsFlipLayers", 2), Sequence(1, 109));
  EXPECT_EQ(IndexesOf("PcbApi_QueryBoardPrinterOptionsPlotterPen", 2), Sequence(1, 8));
  EXPECT_EQ(IndexesOf("PcbApi_QueryBoardPrinterOptionsCompositeLayer", 2), Sequence(1, 82));
}

TEST(BoardSync, StoreSendsTheCountThenEachPairInListOrder) {
  TRecordingHost host;
  TPcbBoard board(kBoard);
  board.LayerPairs.push_back(std::make_unique<TPcblayerPair>());
  board.LayerPairs.push_back(std::make_unique<TPcblayerPair>());
  board.Sync(0);
  EXPECT_EQ(LoggedNames(), ExpectedSyncCalls(2, true));
  EXPECT_EQ(CallsOf("PcbApi_QueryBoardLayerPairsCount").at(0).Ints,
            (std::vector<int64_t>{kBoard, 0}));
  const auto pairs = CallsOf("PcbApi_QueryBoardLayerPairAt");
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(pairs[i].Ints, (std::vector<int64_t>{0, kBoard, static_cast<int64_t>(i)}));
    EXPECT_EQ(pairs[i].Pointers.at(0), &board.LayerPairs[i]->PairLayer1);
    EXPECT_EQ(pairs[i].Pointers.at(2), &board.LayerPairs[i]->PairFlag2);  // flag 2 first
    EXPECT_EQ(pairs[i].Pointers.at(3), &board.LayerPairs[i]->PairFlag1);
  }
}

// The layer-info call's two unkept values share one scratch byte; the proxy
// clears it before every call, so a host that reads them on a store never
// sees memory the proxy did not set.
std::vector<int> gScratchSeen;
int32_t PCB9_CALL ScribblingLayerInfo(uint8_t, uint32_t, uint8_t, uint8_t* a, uint8_t* b,
                                      int32_t*) {
  gScratchSeen.push_back(a == b ? *a : -1);
  *a = 0xA5;
  return 0;
}

TEST(BoardSync, LayerInfoValuesShareOneClearedScratchByte) {
  TRecordingHost host;
  PcbApi().PcbApi_QueryBoardLayerInfo = &ScribblingLayerInfo;
  gScratchSeen.clear();
  TPcbBoard board(kBoard);
  board.Sync(0);
  EXPECT_EQ(gScratchSeen, std::vector<int>(82, 0));
}

int32_t PCB9_CALL FailingPairCount(uint32_t, int32_t* count, uint8_t) {
  *count = 5;
  return 3;
}

TEST(BoardSync, AFailingPairCountReadsAsNoPairs) {
  TRecordingHost host;
  PcbApi().PcbApi_QueryBoardLayerPairsCount = &FailingPairCount;
  TPcbBoard board(kBoard);
  board.LayerPairs.push_back(std::make_unique<TPcblayerPair>());
  board.Sync(1);
  EXPECT_TRUE(board.LayerPairs.empty());
  EXPECT_TRUE(CallsOf("PcbApi_QueryBoardLayerPairAt").empty());
}

int32_t PCB9_CALL EndlessPairCount(uint32_t, int32_t* count, uint8_t) {
  *count = INT32_MAX;
  return 0;
}

int gPairsAsked = 0;
int32_t PCB9_CALL CountingPairAt(uint8_t, uint32_t, int32_t, uint32_t*, uint32_t*, uint8_t*,
                                 uint8_t*) {
  ++gPairsAsked;
  return 0;
}

// A host reporting an absurd number of pairs does not keep the fetch busy
// for billions of calls: it stops after far more pairs than a board holds.
TEST(BoardSync, AnAbsurdPairCountIsBounded) {
  TRecordingHost host;
  PcbApi().PcbApi_QueryBoardLayerPairsCount = &EndlessPairCount;
  PcbApi().PcbApi_QueryBoardLayerPairAt = &CountingPairAt;
  gPairsAsked = 0;
  TPcbBoard board(kBoard);
  board.Sync(1);
  EXPECT_EQ(gPairsAsked, 65536);
  EXPECT_EQ(board.LayerPairs.size(), 65536u);
}

TEST(BoardSync, AbsentHostLeavesTheProxyAsItWas) {
  pcb9test::TAbsentHost host;
  TPcbBoard board(kBoard);
  board.LayerPairs.push_back(std::make_unique<TPcblayerPair>());
  board.CurrentLayer = kMultiLayer;
  EXPECT_EQ(board.Sync(1), 0);
  EXPECT_TRUE(board.LayerPairs.empty());  // the count call's default 1 is a failure
  EXPECT_EQ(board.CurrentLayer, kMultiLayer);
  EXPECT_EQ(board.SplitPlaneMode, 1);
  EXPECT_EQ(board.Layers[1]->Name, "TopLayer");
}

TEST(BoardSync, AddAndDeleteOfHandleZeroMakeNoCall) {
  TRecordingHost host;
  TPcbBoard board(kBoard);
  EXPECT_EQ(board.AddObject(0), 1);
  EXPECT_EQ(board.DeleteObject(0), 1);
  EXPECT_TRUE(CallLog().empty());
  EXPECT_EQ(board.AddObject(12), 0);
  EXPECT_EQ(board.DeleteObject(13), 0);
  ASSERT_EQ(CallLog().size(), 2u);
  EXPECT_EQ(CallLog()[0].Name, "PcbApi_AddObjectToContainer");
  EXPECT_EQ(CallLog()[0].Ints, (std::vector<int64_t>{kBoard, 12}));
  EXPECT_EQ(CallLog()[1].Name, "PcbApi_DeleteObjectFromContainer");
  EXPECT_EQ(CallLog()[1].Ints, (std::vector<int64_t>{kBoard, 13}));
}

TEST(BoardSync, IterationRunsKindMajorLayerMinorAndSkipsKind26AndIdsAbove82) {
  TRecordingHost host;
  TPcbBoard board(kBoard);
  TLayerSet layers;
  for (unsigned id : {0u, 5u, 74u, 83u, 84u, 87u}) layers.Include(id);
  const uint32_t kinds = (1u << 4) | (1u << 16) | (1u << 26) | (1u << 31);
  int visited = 0;
  board.IterateObjects([&](uint32_t) { ++visited; }, kinds, layers, 2);

  std::vector<std::vector<int64_t>> created;
  for (const TCall& call : CallsOf("PcbApi_CreateIterator")) created.push_back(call.Ints);
  const std::vector<std::vector<int64_t>> expected = {
      {kBoard, 4, 2, 0}, {kBoard, 4, 2, 5}, {kBoard, 4, 2, 74},
      {kBoard, 16, 2, 0}, {kBoard, 16, 2, 5}, {kBoard, 16, 2, 74}};
  EXPECT_EQ(created, expected);
  EXPECT_EQ(CallsOf("PcbApi_DestroyIterator").size(), expected.size());
  EXPECT_EQ(visited, 0);
}

}  // namespace
}  // namespace pcb9
