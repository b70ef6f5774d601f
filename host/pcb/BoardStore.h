#pragma once
// How the board keeps its settings in the document: the host's layer table,
// and the board's fields grouped by the query that exchanges them. Option
// groups store value N of group G under "G.N"; per-index values under
// "G.I" or "G.I.Suffix" (layer 5's name is "Layers.5.Name", pen 3's first
// value "PlotterPens.3.1"). The board queries and the board's JSON share
// these tables, so every value a query exchanges also shows in the dump.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "Document.h"

namespace morvik {

constexpr uint8_t kLastLayer = 82;
constexpr uint8_t kTopLayerId = 1, kBottomLayerId = 32, kFirstPlaneId = 39, kLastPlaneId = 54,
                  kMultiLayerId = 74;
constexpr unsigned kOptionLayerCount = 109;  // plot and flip layer indexes 1..109
constexpr unsigned kPenCount = 8;
constexpr unsigned kPrinterBlockSize = 27;   // PrinterOptions 14
constexpr int32_t kMaxLayerPairs = 1024;

// The name of a host layer id ("NoLayer" .. "ViaHoleLayer"); empty above 82.
std::string_view LayerName(uint8_t id);
// The name of a layer code: the layer's name for ids 0..82, "SignalLayerN",
// "InternalPlaneN" or "MechanicalN" for extended codes, else "Layer0x...".
std::string LayerCodeName(uint32_t code);
bool IsPlaneLayer(unsigned id);

// The board object of a handle; any other handle refuses the call `call`
// (Checks.h) and gives none.
TObject* FindBoard(const char* call, uint32_t handle);

// A group of option values exchanged by one query, values in call order;
// each field is named "<Group>.<value number>".
struct TBoardGroup {
  const char* Name;
  std::span<const TFieldInfo> Fields;
};
extern MORVIK_DATA const TBoardGroup kBoardInfo, kExternalDielectrics, kGridOptions, kOutputOptions,
    kGerberOptions, kPrinterOptions, kPlacerOptions, kEcoOptions;
// Every group shown keyed by value number, in dump order.
std::span<const TBoardGroup* const> BoardGroups();

// Per-index value tables: suffixes in call order ("" for the bare value).
extern MORVIK_DATA const std::span<const TFieldInfo> kLayerInfoValues, kPlotLayerValue, kPenValues,
    kCompositeValues, kLayerValues, kPlaneValues, kDielectricValues, kPairValues;

// "Group.index" or "Group.index.suffix".
std::string IndexedKey(std::string_view group, unsigned index, std::string_view suffix);

// Exchanges the values of one index of an indexed group (see Exchange).
void ExchangeIndexed(uint8_t dir, TObject& board, std::string_view group, unsigned index,
                     std::span<const TFieldInfo> values, std::initializer_list<void*> pointers);

}  // namespace morvik
