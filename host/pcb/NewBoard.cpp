// What a new board holds before anything is loaded into it: its settings and
// option defaults, its layers with the electrical stack linked from top to
// bottom, one drill pair and the design rules every new board starts with.
#include <string>
#include <vector>

#include "BoardStore.h"
#include "Kinds.h"

namespace morvik {

namespace {

using T = TFieldType;

struct TBoardDefault {
  TFieldInfo Field;
  TValue Value;
};

// Values that are not 0 or empty on a new board.
const TBoardDefault kBoardDefaults[] = {
    {{"CurrentLayer", T::LayerCode}, int64_t{kTopLayerId}},
    {{"BoardInfo.6", T::I32}, int64_t{100000000}},  // sheet 10000 x 8000 mil
    {{"BoardInfo.7", T::I32}, int64_t{80000000}},
    {{"SplitPlaneMode", T::I32}, int64_t{1}},
    {{"ExternalDielectrics.1", T::Text}, std::string("FR-4")},
    {{"ExternalDielectrics.2", T::U8}, int64_t{1}},
    {{"ExternalDielectrics.3", T::Real}, 4.8},
    {{"ExternalDielectrics.4", T::I32}, int64_t{126000}},
    {{"ExternalDielectrics.5", T::Text}, std::string("FR-4")},
    {{"ExternalDielectrics.6", T::U8}, int64_t{1}},
    {{"ExternalDielectrics.7", T::Real}, 4.8},
    {{"ExternalDielectrics.8", T::I32}, int64_t{126000}},
    {{"GridOptions.5", T::Real}, 200000.0},  // snap and component grids of 20 mil
    {{"GridOptions.6", T::Real}, 200000.0},
    {{"GridOptions.7", T::Real}, 200000.0},
    {{"GridOptions.8", T::Real}, 200000.0},
    {{"GridOptions.11", T::Real}, 1000000.0},
    {{"GridOptions.12", T::Real}, 1000000.0},
    {{"GridOptions.13", T::Real}, 200000.0},
    {{"GridOptions.14", T::Real}, 200000.0},
    {{"PrinterOptions.11", T::Real}, 1.0},  // print scale
    {{"PlacerOptions.1", T::Text}, std::string("Cluster")},
    {{"GerberOptions.13", T::Text}, std::string("Gerber")},
};

// The electrical layers of the stack, top to bottom.
std::vector<uint8_t> StackOrder() {
  std::vector<uint8_t> order{kTopLayerId};
  for (uint8_t id = 2; id < kBottomLayerId; ++id) order.push_back(id);
  for (uint8_t id = kFirstPlaneId; id <= kLastPlaneId; ++id) order.push_back(id);
  order.push_back(kBottomLayerId);
  return order;
}

void SetLayerValue(TObject& board, unsigned id, const char* name, TFieldType type, TValue value) {
  board.Set(IndexedKey("Layers", id, name), type, std::move(value));
}

void AddLayers(TObject& board) {
  for (unsigned id = 1; id <= kLastLayer; ++id) {
    SetLayerValue(board, id, "Name", T::Text, std::string(LayerName(static_cast<uint8_t>(id))));
    SetLayerValue(board, id, "CopperThickness", T::I32, int64_t{14000});
    SetLayerValue(board, id, "DielectricMaterial", T::Text, std::string("FR-4"));
    SetLayerValue(board, id, "DielectricType", T::U8, int64_t{1});
    SetLayerValue(board, id, "DielectricConstant", T::Real, 4.8);
    SetLayerValue(board, id, "DielectricHeight", T::I32, int64_t{126000});
    if (IsPlaneLayer(id)) SetLayerValue(board, id, "NetName", T::Text, std::string("(No Net)"));
  }
  const std::vector<uint8_t> order = StackOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    const int64_t prev = i > 0 ? order[i - 1] : 0;
    const int64_t next = i + 1 < order.size() ? order[i + 1] : 0;
    SetLayerValue(board, order[i], "PrevLayer", T::LayerId, prev);
    SetLayerValue(board, order[i], "NextLayer", T::LayerId, next);
  }
}

void AddLayerPairs(TObject& board) {
  board.Set("LayerPairs.Count", T::I32, int64_t{1});
  board.Set(IndexedKey("LayerPairs", 0, "PairLayer1"), T::LayerCode, int64_t{kTopLayerId});
  board.Set(IndexedKey("LayerPairs", 0, "PairLayer2"), T::LayerCode, int64_t{kBottomLayerId});
}

struct TNewRule {
  uint8_t RuleKind;
  const char* RuleName;
  int64_t RuleValue;
};

const TNewRule kNewRules[] = {
    {0, "Clearance", 100000},  // 10 mil
    {2, "Width", 100000},
    {15, "ShortCircuit", 0},
    {16, "UnRoutedNet", -1},
};

void AddRules(TDocument& document, TObject& board) {
  for (const TNewRule& field : kNewRules) {
    TObject& rule = document.CreateRule(field.RuleKind);
    rule.Set("RuleName", T::Text, std::string(field.RuleName));
    rule.Set("RuleFlag1", T::U8, int64_t{0});
    rule.Set("RuleValue", T::I32, field.RuleValue);
    rule.Set("RuleFlag2", T::U8, int64_t{0});
    rule.Set("Scope1", T::Text, std::string("All"));
    rule.Set("Scope2", T::Text, std::string("All"));
    rule.Set("Layer", T::LayerCode, int64_t{kMultiLayerId});
    document.AddMember(board, rule);
  }
}

}  // namespace

void PopulateNewBoard(TDocument& document, TObject& board) {
  for (const TBoardDefault& value : kBoardDefaults)
    board.Set(value.Field.Name, value.Field.Type, value.Value);
  AddLayers(board);
  AddLayerPairs(board);
  AddRules(document, board);
}

}  // namespace morvik
