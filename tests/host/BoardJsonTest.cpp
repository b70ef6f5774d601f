// The reference host's new board and its dump: what a fresh document holds,
// the shape the dump contract fixes, and values stored through the board
// queries showing up under their group and value number.
#include <gtest/gtest.h>

#include <string>

#include "Document.h"
#include "DumpJson.h"
#include "support/HostFixture.h"
#include "Kinds.h"
#include "PcbApiExports.h"

namespace morvik {
namespace {

class HostBoard : public pcb9test::THostFixture {
 protected:
  TObject& Board() { return *TDocument::Instance().Find(TDocument::Instance().BoardHandle()); }
  uint32_t Handle() { return TDocument::Instance().BoardHandle(); }
};

TEST_F(HostBoard, NewBoardStartsWithItsRulesOnMultiLayer) {
  TObject& board = Board();
  EXPECT_EQ(board.Handle, 1u);
  EXPECT_EQ(board.Kind, kKindBoard);
  std::vector<std::string> names;
  for (uint32_t h : board.Lists.Members()) {
    const TObject& rule = *TDocument::Instance().Find(h);
    ASSERT_EQ(rule.Kind, kKindRule);
    EXPECT_EQ(rule.Container, board.Handle);
    EXPECT_EQ(rule.Int("Layer"), 74);
    EXPECT_EQ(rule.Text("Scope1"), "All");
    EXPECT_EQ(rule.Text("Scope2"), "All");
    names.push_back(rule.Text("RuleName"));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Clearance", "Width", "ShortCircuit", "UnRoutedNet"}));
}

TEST_F(HostBoard, NewBoardLinksItsElectricalLayersTopToBottom) {
  uint8_t id = 1, prev = 99, next = 0;
  std::vector<int> walk;
  TShortString name;
  for (int guard = 0; id != 0 && guard < 100; ++guard) {
    ASSERT_EQ(PcbApi_QueryLayer(1, id, Handle(), &name, nullptr, nullptr, nullptr, &prev, &next,
                                nullptr),
              0);
    EXPECT_EQ(prev, walk.empty() ? 0 : walk.back());
    walk.push_back(id);
    id = next;
  }
  ASSERT_EQ(walk.size(), 48u);  // 32 signal layers and 16 planes
  EXPECT_EQ(walk[1], 2);
  EXPECT_EQ(walk[31], 39);
  EXPECT_EQ(walk.back(), 32);
  EXPECT_EQ(name, "BottomLayer");
}

TEST_F(HostBoard, DumpHasTheContractsShape) {
  const nlohmann::json j = BoardJson(Board());
  for (const char* group : {"BoardInfo", "GridOptions", "OutputOptions", "GerberOptions",
                            "PrinterOptions", "PlacerOptions", "EcoOptions"})
    EXPECT_TRUE(j.at(group).is_object()) << group;
  EXPECT_EQ(j["BoardInfo"].size(), 9u);  // 1..8 and 10; 9 is CurrentLayer
  EXPECT_TRUE(j["BoardInfo"].contains("10"));
  EXPECT_EQ(j["GridOptions"].size(), 14u);
  EXPECT_EQ(j["OutputOptions"].size(), 24u);
  EXPECT_EQ(j["GerberOptions"].size(), 19u);
  EXPECT_EQ(j["PrinterOptions"].size(), 26u);
  EXPECT_EQ(j["PrinterOptions"]["14"].size(), 27u);
  EXPECT_EQ(j["PlacerOptions"].size(), 6u);
  EXPECT_EQ(j["EcoOptions"].size(), 2u);
  EXPECT_EQ(j["CurrentLayer"], "TopLayer");
  EXPECT_EQ(j["PlotLayers"].size(), 109u);
  EXPECT_EQ(j["FlipLayers"].size(), 109u);
  EXPECT_EQ(j["PlotterPens"].size(), 8u);
  EXPECT_EQ(j["PlotterPens"][0].size(), 2u);
  EXPECT_EQ(j["CompositeLayers"].size(), 82u);
  EXPECT_EQ(j["CompositeLayers"][0].size(), 4u);
  ASSERT_EQ(j["Layers"].size(), 82u);
  for (unsigned i = 0; i < 82; ++i) {
    const auto& layer = j["Layers"][i];
    EXPECT_EQ(layer["LayerId"], i + 1);
    EXPECT_EQ(layer.contains("NetName"), i + 1 >= 39 && i + 1 <= 54) << i;
  }
  EXPECT_EQ(j["Layers"][0]["Name"], "TopLayer");
  EXPECT_EQ(j["Layers"][38]["NetName"], "(No Net)");
  EXPECT_EQ(j["Layers"][81]["Name"], "ViaHoleLayer");
  ASSERT_EQ(j["LayerPairs"].size(), 1u);
  EXPECT_EQ(j["LayerPairs"][0]["PairLayer2"], "BottomLayer");
}

TEST_F(HostBoard, StoredValuesShowUnderTheirGroupAndIndex) {
  TShortString path("C:\\boards\\caf\xE9.pcb");
  int32_t value1 = -5, value10 = 77;
  uint32_t layer = 0x01010028;  // signal layer 40
  ASSERT_EQ(PcbApi_QueryBoard(0, Handle(), &value1, &path, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, &layer, &value10),
            0);
  uint8_t block[27] = {};
  block[6] = 66;
  double scale = 2.5;
  ASSERT_EQ(PcbApi_QueryBoardPrinterOptions(
                0, Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                nullptr, nullptr, nullptr, &scale, nullptr, nullptr, block, nullptr, nullptr,
                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                nullptr),
            0);
  uint8_t plot = 1;
  ASSERT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(0, Handle(), 109, &plot), 0);
  int32_t a = 1, b = 2, d = -4;
  uint8_t c = 3;
  ASSERT_EQ(PcbApi_QueryBoardPrinterOptionsCompositeLayer(0, Handle(), 82, &a, &b, &c, &d), 0);
  int32_t pen1 = 8, pen2 = 80000;
  ASSERT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(0, Handle(), 8, &pen1, &pen2), 0);

  const nlohmann::json j = BoardJson(Board());
  EXPECT_EQ(j["BoardInfo"]["1"], -5);
  EXPECT_EQ(j["BoardInfo"]["2"], "C:\\boards\\caf\u00e9.pcb");  // Latin-1 text
  EXPECT_EQ(j["BoardInfo"]["10"], 77);
  EXPECT_EQ(j["CurrentLayer"], "SignalLayer40");
  EXPECT_EQ(j["PrinterOptions"]["11"], 2.5);
  EXPECT_EQ(j["PrinterOptions"]["14"][6], 66);
  EXPECT_EQ(j["PlotLayers"][108], 1);
  EXPECT_EQ(j["CompositeLayers"][81], nlohmann::json({1, 2, 3, -4}));
  EXPECT_EQ(j["PlotterPens"][7], nlohmann::json({8, 80000}));
}

TEST_F(HostBoard, QueriesRefuseOtherObjectsAndIndexesOutOfRange) {
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  int32_t info = 1, count = 0;
  uint8_t scratch = 0, value = 5;
  TShortString text;
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(1, track, 1, &scratch, &scratch, &info), 1);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(1, Handle(), 0, &scratch, &scratch, &info), 1);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(1, Handle(), 83, &scratch, &scratch, &info), 1);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(0, Handle(), 110, &value), 1);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(0, Handle(), 0, &value), 1);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(1, Handle(), 9, &info, &info), 1);
  EXPECT_EQ(PcbApi_QueryInternalPlane(1, 38, Handle(), &text, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, &text),
            1);
  EXPECT_EQ(PcbApi_QueryLayer(1, 83, Handle(), &text, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            1);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(track, &count, 1), 1);
  uint32_t l1 = 0, l2 = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(1, Handle(), 1, &l1, &l2, &value, &value), 1);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(1, Handle(), -1, &l1, &l2, &value, &value), 1);
  const nlohmann::json j = BoardJson(Board());
  EXPECT_EQ(j["FlipLayers"].size(), 109u);
  EXPECT_EQ(j["FlipLayers"][108], 0);
}

TEST_F(HostBoard, ShrinkingThePairCountDropsTheRemovedPairs) {
  int32_t count = 0;
  ASSERT_EQ(PcbApi_QueryBoardLayerPairsCount(Handle(), &count, 0), 0);
  count = 1;
  ASSERT_EQ(PcbApi_QueryBoardLayerPairsCount(Handle(), &count, 0), 0);
  uint32_t l1 = 9, l2 = 9;
  uint8_t f1 = 9, f2 = 9;
  ASSERT_EQ(PcbApi_QueryBoardLayerPairAt(1, Handle(), 0, &l1, &l2, &f2, &f1), 0);
  EXPECT_EQ(l1, 0u);  // the old pair is gone, not revived
  EXPECT_EQ(l2, 0u);
  count = -3;
  ASSERT_EQ(PcbApi_QueryBoardLayerPairsCount(Handle(), &count, 0), 0);
  ASSERT_EQ(PcbApi_QueryBoardLayerPairsCount(Handle(), &count, 1), 0);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace morvik
