// The board proxy against the reference host: defaults of a new board, a
// full round trip of every field group, layer pairs, layer operations and
// the stack walk.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Document.h"
#include "support/HostFixture.h"
#include "proxies/Board.h"

namespace pcb9 {
namespace {

using pcb9test::THostFixture;

uint32_t BoardHandle() { return morvik::TDocument::Instance().BoardHandle(); }

std::unique_ptr<TPcbBoard> FetchedBoard() {
  auto board = std::make_unique<TPcbBoard>(BoardHandle());
  EXPECT_EQ(board->Sync(1), 0);
  return board;
}

class BoardProxy : public THostFixture {};

TEST_F(BoardProxy, NewProxyHasItsDefaultsAndAllLayerObjects) {
  TPcbBoard board(9);
  EXPECT_EQ(board.Handle, 9u);
  EXPECT_EQ(board.Layers[0], nullptr);
  for (unsigned id = 1; id <= kLastLayerId; ++id) {
    ASSERT_NE(board.Layers[id], nullptr);
    EXPECT_EQ(board.Layers[id]->LayerId, id);
    EXPECT_EQ(board.Layers[id]->BoardHandle, 9u);
    EXPECT_EQ(board.Layers[id]->Name, LayerName(static_cast<TLayerId>(id)));
    EXPECT_EQ(dynamic_cast<TInternalPlane*>(board.Layers[id].get()) != nullptr,
              id >= 39 && id <= 54);
  }
  EXPECT_EQ(static_cast<TInternalPlane&>(*board.Layers[39]).NetName, "(No Net)");
  EXPECT_EQ(board.Layers[5]->DielectricMaterial, "FR-4");
  EXPECT_EQ(board.Layers[5]->DielectricHeight, 126000);
  EXPECT_EQ(board.Layers[5]->CopperThickness, 14000);
  EXPECT_EQ(board.BottomDielectricMaterial, "FR-4");
  EXPECT_DOUBLE_EQ(board.TopDielectricConstant, 4.8);
  EXPECT_EQ(board.SplitPlaneMode, 1);
  EXPECT_TRUE(board.LayerPairs.empty());
}

TEST_F(BoardProxy, FetchesTheNewBoardOfTheHost) {
  auto board = FetchedBoard();
  EXPECT_EQ(board->CurrentLayer, kTopLayer);
  EXPECT_EQ(board->Layers[2]->Name, "MidLayer1");
  EXPECT_EQ(static_cast<TInternalPlane&>(*board->Layers[40]).NetName, "(No Net)");
  EXPECT_EQ(board->StackTop(), board->Layers[kTopLayer].get());
  ASSERT_EQ(board->LayerPairs.size(), 1u);
  EXPECT_EQ(board->LayerPairs[0]->Name, "TopLayer - BottomLayer");
}

// One change per field, each to a value no other field gets, so a value
// that lands in the wrong field shows.
struct TFieldCase {
  const char* Name;
  std::function<void(TPcbBoard&)> Set;
  std::function<bool(const TPcbBoard&)> Check;
};

#define NUM(field, value) \
  TFieldCase{#field, [](TPcbBoard& b) { b.field = value; }, \
             [](const TPcbBoard& b) { return b.field == value; }}
#define TEXT(field, value) \
  TFieldCase{#field, [](TPcbBoard& b) { b.field.Assign(value); }, \
             [](const TPcbBoard& b) { return b.field == value; }}

std::vector<TFieldCase> AllBoardFields() {
  std::vector<TFieldCase> cases = {
      NUM(BoardInfo1, 101), TEXT(BoardInfo2, "C:\\boards\\demo.pcb"), NUM(BoardInfo3, 3),
      NUM(BoardInfo4, -104), NUM(BoardInfo5, 105), NUM(BoardInfo6, 106), NUM(BoardInfo7, 107),
      NUM(BoardInfo8, 8), NUM(CurrentLayer, kBottomSolder), NUM(BoardInfo10, 110),
      TEXT(TopDielectricMaterial, "Polyimide"), NUM(TopDielectricType, 2),
      NUM(TopDielectricConstant, 3.5), NUM(TopDielectricHeight, 50000),
      TEXT(BottomDielectricMaterial, "Teflon"), NUM(BottomDielectricType, 3),
      NUM(BottomDielectricConstant, 2.1), NUM(BottomDielectricHeight, 60000),
      NUM(LayerInfo[1], 201), NUM(LayerInfo[82], 282), NUM(GridOptions1, 11),
      NUM(GridOptions2, 12), NUM(GridOptions3, 13), NUM(GridOptions4, 14),
      NUM(GridOptions5, 15.5), NUM(GridOptions6, 16.5), NUM(GridOptions7, 17.5),
      NUM(GridOptions8, 18.5), NUM(GridOptions9, -19), NUM(GridOptions10, 20),
      NUM(GridOptions11, 21.5), NUM(GridOptions12, 22.5), NUM(GridOptions13, 23.5),
      NUM(GridOptions14, 24.5), NUM(OutputOptions1, 301), NUM(OutputOptions2, -302),
      NUM(OutputOptions3, 33), NUM(OutputOptions12, 42), NUM(OutputOptions24, 54),
      NUM(PlotLayers[1], 61), NUM(PlotLayers[109], 62), NUM(FlipLayers[1], 63),
      NUM(FlipLayers[109], 64), NUM(GerberOptions1, 71), NUM(GerberOptions5, 75),
      NUM(GerberOptions7, 77), NUM(GerberOptions8, 408), NUM(GerberOptions12, 412),
      TEXT(GerberOptions13, "gbr"), NUM(GerberOptions14, 414), NUM(GerberOptions15, 85),
      NUM(GerberOptions16, 86), NUM(GerberOptions17, -417), NUM(GerberOptions18, 418),
      NUM(GerberOptions19, 89), TEXT(PrinterOptions1, "Printer"), TEXT(PrinterOptions2, "Port"),
      TEXT(PrinterOptions3, "Paper"), NUM(PrinterOptions4, 94), NUM(PrinterOptions9, 99),
      NUM(PrinterOptions10, 510), NUM(PrinterOptions11, 1.25), NUM(PrinterOptions13, 1.75),
      NUM(PrinterOptions14[0], 140), NUM(PrinterOptions14[26], 166),
      NUM(PrinterOptions15, 115), NUM(PrinterOptions16, 116), NUM(PrinterOptions17, 17.25),
      NUM(PrinterOptions19, 19.25), NUM(PrinterOptions20, 520), NUM(PrinterOptions21, 521),
      NUM(PrinterOptions22, 122), NUM(PrinterOptions26, 126), NUM(PlotterPens[1].First, 601),
      NUM(PlotterPens[1].Second, 602), NUM(PlotterPens[8].First, 681),
      NUM(PlotterPens[8].Second, 682), NUM(CompositeLayers1[1], 16711680),
      NUM(CompositeLayers2[1], 255), NUM(CompositeLayers3[1], 3), NUM(CompositeLayers4[1], -4),
      NUM(CompositeLayers1[82], 701), NUM(CompositeLayers4[82], 704),
      TEXT(PlacerOptions1, "Statistical"), TEXT(PlacerOptions2, "Groups"),
      NUM(PlacerOptions3, 133), NUM(PlacerOptions6, 136), NUM(EcoOptions1, 1),
      TEXT(EcoOptions2, "eco.log"), NUM(SplitPlaneMode, 2),
      NUM(Layers[5]->CopperThickness, 7000), NUM(Layers[5]->LayerFlag1, 1),
      NUM(Layers[5]->LayerFlag2, 1), NUM(Layers[5]->LayerValue, 9),
      TEXT(Layers[5]->Name, "Signal4"), TEXT(Layers[5]->DielectricMaterial, "Core"),
      NUM(Layers[5]->DielectricType, 4), NUM(Layers[5]->DielectricConstant, 4.2),
      NUM(Layers[5]->DielectricHeight, 80000), NUM(Layers[73]->LayerValue, 173),
  };
  cases.push_back({"Layers[42]->NetName",
                   [](TPcbBoard& b) {
                     static_cast<TInternalPlane&>(*b.Layers[42]).NetName.Assign("GND");
                   },
                   [](const TPcbBoard& b) {
                     return static_cast<TInternalPlane&>(*b.Layers[42]).NetName == "GND";
                   }});
  return cases;
}

#undef NUM
#undef TEXT

TEST_F(BoardProxy, EveryFieldGroupSurvivesAStoreAndAFreshFetch) {
  const std::vector<TFieldCase> cases = AllBoardFields();
  auto board = FetchedBoard();
  for (const TFieldCase& c : cases) c.Set(*board);
  EXPECT_EQ(board->Sync(0), 0);

  auto fresh = FetchedBoard();
  for (const TFieldCase& c : cases) EXPECT_TRUE(c.Check(*fresh)) << c.Name;
}

TEST_F(BoardProxy, AFetchReplacesEveryChangedField) {
  const std::vector<TFieldCase> cases = AllBoardFields();
  auto board = FetchedBoard();
  for (const TFieldCase& c : cases) c.Set(*board);
  board->Sync(1);
  for (const TFieldCase& c : cases) EXPECT_FALSE(c.Check(*board)) << c.Name;
}

TEST_F(BoardProxy, ACurrentLayerBeyondTheTableIsStoredAsNoLayer) {
  auto board = FetchedBoard();
  board->CurrentLayer = 83;
  board->Sync(0);
  EXPECT_EQ(FetchedBoard()->CurrentLayer, kNoLayer);
}

struct TPairCase {
  TLayerCode Layer1, Layer2;
  const char* Name;
};

TEST_F(BoardProxy, PairsAreNamedUpperLayerFirstWhicheverWayTheHostReportsThem) {
  const TPairCase cases[] = {
      {kTopLayer, kBottomLayer, "TopLayer - BottomLayer"},
      {kBottomLayer, kTopLayer, "TopLayer - BottomLayer"},
      {3, 2, "MidLayer1 - MidLayer2"},
      {kInternalPlane1, kTopLayer, "TopLayer - InternalPlane1"},
      {kBottomLayer, kInternalPlane16, "InternalPlane16 - BottomLayer"},
      {SignalLayer(32), kTopLayer, "TopLayer - MidLayer30"},  // extended code: by its id
  };
  auto board = FetchedBoard();
  board->LayerPairs.clear();
  for (const TPairCase& c : cases) {
    auto pair = std::make_unique<TPcblayerPair>();
    pair->PairLayer1 = c.Layer1;
    pair->PairLayer2 = c.Layer2;
    pair->PairFlag1 = 1;
    pair->PairFlag2 = 2;
    board->LayerPairs.push_back(std::move(pair));
  }
  board->Sync(0);

  auto fresh = FetchedBoard();
  ASSERT_EQ(fresh->LayerPairs.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TPcblayerPair& pair = *fresh->LayerPairs[i];
    EXPECT_EQ(pair.Name, cases[i].Name) << i;
    EXPECT_EQ(pair.PairLayer1, cases[i].Layer1) << i;
    EXPECT_EQ(pair.PairLayer2, cases[i].Layer2) << i;
    EXPECT_EQ(pair.PairFlag1, 1);
    EXPECT_EQ(pair.PairFlag2, 2);
  }
}

TEST_F(BoardProxy, AnEmptyPairListIsStoredAsCountZeroAndFetchedEmpty) {
  auto board = FetchedBoard();
  ASSERT_FALSE(board->LayerPairs.empty());
  board->LayerPairs.clear();
  board->Sync(0);
  auto fresh = FetchedBoard();
  EXPECT_TRUE(fresh->LayerPairs.empty());
  // A second fetch into the same proxy does not keep pairs of the first.
  fresh->Sync(1);
  EXPECT_TRUE(fresh->LayerPairs.empty());
}

TEST_F(BoardProxy, SetLayerFlagTouchesOnlyLayersOneToEightyTwo) {
  auto board = FetchedBoard();
  board->SetLayerFlag(0, true);
  board->SetLayerFlag(83, true);
  board->SetLayerFlag(255, true);
  for (unsigned id = 1; id <= kLastLayerId; ++id) EXPECT_EQ(board->Layers[id]->LayerFlag2, 0);
  board->SetLayerFlag(82, true);
  board->SetLayerFlag(5, true);
  board->SetLayerFlag(5, false);
  EXPECT_EQ(board->Layers[82]->LayerFlag2, 1);
  EXPECT_EQ(board->Layers[5]->LayerFlag2, 0);
  EXPECT_EQ(board->Layers[82]->LayerFlag1, 0);
}

TEST_F(BoardProxy, SetPlaneNetNameNamesPlanesOneToFour) {
  auto board = FetchedBoard();
  board->SetPlaneNetName(1, "GND");
  board->SetPlaneNetName(4, "VCC");
  board->SetPlaneNetName(0, "X");
  board->SetPlaneNetName(5, "Y");
  board->Sync(0);
  auto fresh = FetchedBoard();
  auto net = [&](unsigned id) { return static_cast<TInternalPlane&>(*fresh->Layers[id]).NetName.Str(); };
  EXPECT_EQ(net(39), "GND");
  EXPECT_EQ(net(42), "VCC");
  EXPECT_EQ(net(40), "(No Net)");
  EXPECT_EQ(net(43), "(No Net)");
}

TEST_F(BoardProxy, StackPositionCountsTheSetsLayersFromTheTop) {
  auto board = FetchedBoard();
  TLayerSet electrical = TLayerSet::Range(1, 32);
  for (unsigned id = 39; id <= 54; ++id) electrical.Include(id);
  EXPECT_EQ(board->StackPosition(electrical, kTopLayer), 1);
  EXPECT_EQ(board->StackPosition(electrical, kBottomLayer), 48);
  EXPECT_EQ(board->StackPosition(electrical, kTopOverlay), 0);  // not in the set
  TLayerSet outer;
  outer.Include(kTopLayer);
  outer.Include(kBottomLayer);
  EXPECT_EQ(board->StackPosition(outer, kBottomLayer), 2);
  EXPECT_EQ(board->StackPosition(outer, kNoLayer), 0);
  EXPECT_EQ(board->StackNext(board->Layers[kBottomLayer].get()), nullptr);
}

TEST_F(BoardProxy, ACyclicOrBrokenStackEndsTheWalk) {
  auto board = FetchedBoard();
  // TopLayer -> MidLayer1 -> MidLayer2 -> MidLayer1 -> ... never reaches BottomLayer.
  board->Layers[3]->NextLayer = 2;
  board->Layers[kTopLayer]->NextLayer = 2;
  board->Layers[kMechanical1]->NextLayer = 200;  // beyond the table
  board->Sync(0);

  auto fresh = FetchedBoard();  // names the pairs, which walks the stack
  const TLayerSet all = TLayerSet::Range(1, 82);
  EXPECT_EQ(fresh->StackPosition(all, kBottomLayer), 0);
  EXPECT_EQ(fresh->StackPosition(all, 3), 3);
  EXPECT_EQ(fresh->StackNext(fresh->Layers[kMechanical1].get()), nullptr);
  // BottomLayer is never reached, so it counts as position 0 and comes first.
  EXPECT_EQ(fresh->LayerPairs.at(0)->Name, "BottomLayer - TopLayer");

  // No layer without a predecessor: there is no top and every position is 0.
  for (unsigned id = 1; id <= kLastLayerId; ++id) fresh->Layers[id]->PrevLayer = 1;
  EXPECT_EQ(fresh->StackTop(), nullptr);
  EXPECT_EQ(fresh->StackPosition(all, kTopLayer), 0);
}

}  // namespace
}  // namespace pcb9
