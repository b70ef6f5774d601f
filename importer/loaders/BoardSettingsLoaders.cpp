#include "BoardSettingsLoaders.h"

#include <array>

#include "BoardRecord.h"
#include "run/ImportRun.h"
#include "hostapi/HostOps.h"
#include "proxies/Board.h"
#include "proxies/PcbObject.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

using T = TBoardToken;
using B = TPcbBoard;

// The file's own layer codes that carry a flag, a colour or a composite
// setting, and those of the signal layers that carry a routing direction.
constexpr uint8_t kFileLayerCount = 42;
constexpr uint8_t kFileSignalLayerCount = 16;
// Option layer codes of the plot and flip loops; 36 and 51 only at level 9.
constexpr uint8_t kOptionLayerCodeCount = 53;
constexpr uint8_t kLateOptionLayerCodes[] = {36, 51};
constexpr int16_t kLateOptionLayerLevel = 9;
constexpr int16_t kEcoLevel = 5;

// Items that only files of some levels carry.
constexpr TBoardItem FromLevel(int16_t level, TBoardItem item) {
  item.MinLevel = level;
  return item;
}
constexpr TBoardItem UpToLevel(int16_t level, TBoardItem item) {
  item.MaxLevel = level;
  return item;
}

// --- "D" ----------------------------------------------------------------------------

constexpr TBoardItem kSettingsHead[] = {
    {T::Coord, &B::BoardInfo4},
    {T::Coord, &B::BoardInfo5},
    {T::Coord, &B::BoardInfo6},
    {T::Coord, &B::BoardInfo7},
    {T::Word},
    {T::Word, &B::GridOptions2},
    FromLevel(1, {T::Word, &B::BoardInfo8}),
    {T::Word, &B::GridOptions3},
    {T::Word, &B::GridOptions4},
    // Grid values g1..g4: words of mils at level 0, reals above.
    UpToLevel(0, {T::WordMils, &B::GridOptions5}),
    UpToLevel(0, {T::WordMils, &B::GridOptions6}),
    UpToLevel(0, {T::WordMils, &B::GridOptions13}),
    UpToLevel(0, {T::WordMils, &B::GridOptions7}),
    FromLevel(1, {T::Real, &B::GridOptions5}),
    FromLevel(1, {T::Real, &B::GridOptions6}),
    FromLevel(1, {T::Real, &B::GridOptions13}),
    FromLevel(1, {T::Real, &B::GridOptions7}),
    {T::WordLayer, &B::CurrentLayer},
    {T::Real},
};

constexpr TBoardItem kSettingsEco[] = {
    FromLevel(kEcoLevel, {T::WordFlag, &B::EcoOptions1}),
    FromLevel(kEcoLevel, {T::String, &B::EcoOptions2}),
};

// Layers the record does not name end with their flag cleared.
void ReadLayerFlags(TPcbBoard& board) {
  for (unsigned id = 1; id <= kLastLayerId; ++id) board.SetLayerFlag(id, false);
  for (uint8_t code = 1; code <= kFileLayerCount; ++code) {
    int16_t word = 0;
    ReadWord(word);
    board.SetLayerFlag(OldLayerToHostLayer(code), word != 0);
  }
}

void ReadSettingsRecord(TPcbBoard& board) {
  ReadBoardItems(kSettingsHead, board);
  ReadLayerFlags(board);
  if (Run().FormatLevel < kEcoLevel) {
    board.EcoOptions1 = 0;
    board.EcoOptions2.Clear();
  }
  ReadBoardItems(kSettingsEco, board);
}

// --- "O" ----------------------------------------------------------------------------

constexpr TBoardItem kOutputItems[] = {
    {T::Coord, &B::OutputOptions1},  {T::Coord, &B::OutputOptions2},
    {T::Word, &B::OutputOptions3},   {T::Word, &B::OutputOptions8},
    {T::Word, &B::OutputOptions9},   {T::Word, &B::OutputOptions10},
    {T::Word, &B::OutputOptions11},  {T::Word, &B::OutputOptions24},
    {T::Word, &B::OutputOptions7},
};

constexpr TBoardItem kPrinterItems[] = {
    {T::String, &B::PrinterOptions1}, {T::String, &B::PrinterOptions2},
    {T::String, &B::PrinterOptions3}, {T::Word, &B::PrinterOptions4},
    {T::Word, &B::PrinterOptions5},   {T::Word, &B::PrinterOptions6},
    {T::Word, &B::PrinterOptions7},   {T::Word, &B::PrinterOptions8},
    {T::Word, &B::PrinterOptions9},   {T::Coord, &B::PrinterOptions10},
    {T::Real, &B::PrinterOptions11},  {T::Real, &B::PrinterOptions12},
    {T::Real, &B::PrinterOptions13},
};

// Bytes of the 27-byte printer block, in file order.
constexpr uint8_t kPrinterBlockBytes[] = {1, 6, 2, 5, 4, 3};

constexpr TBoardItem kPrinterPlotItems[] = {
    {T::Word, &B::PrinterOptions15},
    {T::Word, &B::PrinterOptions16},
};

constexpr TBoardItem kPrinterTailItems[] = {
    {T::Real, &B::PrinterOptions17}, {T::Real, &B::PrinterOptions18},
    {T::Real, &B::PrinterOptions19}, {T::Coord, &B::PrinterOptions20},
    {T::Coord, &B::PrinterOptions21}, {T::Word, &B::PrinterOptions22},
    {T::Word, &B::PrinterOptions23}, {T::Word, &B::PrinterOptions24},
    {T::Word, &B::PrinterOptions25}, {T::Word, &B::PrinterOptions26},
};

constexpr TBoardItem kGerberItems[] = {
    {T::Word, &B::GerberOptions1},   {T::Word, &B::GerberOptions2},
    {T::Word, &B::GerberOptions6},   {T::Word, &B::GerberOptions7},
    {T::Word, &B::GerberOptions15},  {T::Word, &B::GerberOptions4},
    {T::Coord, &B::GerberOptions8},  {T::Coord, &B::GerberOptions9},
    {T::Coord, &B::GerberOptions10}, {T::Coord, &B::GerberOptions11},
    {T::Coord, &B::GerberOptions12}, {T::Word, &B::GerberOptions18},
    {T::Word, &B::GerberOptions17},  {T::Coord, &B::GerberOptions14},
    {T::Word, &B::GerberOptions16},  {T::String, &B::GerberOptions13},
    // Read and not used.
    {T::Coord, {}, 4},               {T::Word, {}, 4},
    {T::Real},                       {T::Word, {}, 9},
};

constexpr TBoardItem kPlacerItems[] = {
    // Read and not used.
    {T::Word, {}, 5},
    {T::String, {}, 2},
    {T::Coord, {}, 3},
    {T::Word, &B::PlacerOptions3},
    {T::Word, &B::PlacerOptions4},
    {T::Word, &B::PlacerOptions5},
    {T::Word, &B::PlacerOptions6},
    {T::String, &B::PlacerOptions1},
    {T::String, &B::PlacerOptions2},
};

// The long tail of old settings that the host has no place for.
constexpr TBoardItem kUnusedTail[] = {
    {T::Word, {}, 14}, {T::Coord, {}, 2}, {T::Word},       {T::Coord},
    {T::Word, {}, 7},  {T::Coord, {}, 4}, {T::Word, {}, 4}, {T::Word, {}, 3},
    {T::Real, {}, 2},  {T::Word, {}, 5},  {T::Coord},       {T::Word, {}, 3},
    {T::Word, {}, 39}, {T::Real, {}, 39}, {T::Word, {}, 20},
};

uint8_t LowByte(int16_t word) { return static_cast<uint8_t>(word & 0xFF); }

int16_t NextWord() {
  int16_t word = 0;
  ReadWord(word);
  return word;
}

bool OptionLayerInFile(uint8_t code) {
  if (Run().FormatLevel >= kLateOptionLayerLevel) return true;
  for (uint8_t late : kLateOptionLayerCodes)
    if (code == late) return false;
  return true;
}

// A code without an index lands in slot 0, which is never exchanged.
void ReadOptionLayers(std::array<uint8_t, B::kOptionLayers + 1>& layers) {
  for (uint8_t code = 1; code <= kOptionLayerCodeCount; ++code)
    if (OptionLayerInFile(code)) layers[OldOptionLayerToIndex(code)] = LowByte(NextWord());
}

void ReadPrinterBlock(TPcbBoard& board) {
  for (uint8_t byte : kPrinterBlockBytes) board.PrinterOptions14[byte] = LowByte(NextWord());
}

// A colour from three words in file order, the low byte of each.
void ReadColours(std::array<int32_t, kLastLayerId + 1>& colours) {
  for (uint8_t code = 1; code <= kFileLayerCount; ++code) {
    int32_t colour = 0;
    for (int shift = 0; shift < 24; shift += 8) colour |= int32_t{LowByte(NextWord())} << shift;
    colours[OldLayerToHostLayer(code)] = colour;
  }
}

void ReadCompositeFlags(TPcbBoard& board) {
  for (uint8_t code = 1; code <= kFileLayerCount; ++code)
    board.CompositeLayers3[OldLayerToHostLayer(code)] = LowByte(NextWord());
  for (uint8_t code = 1; code <= kFileLayerCount; ++code)
    board.CompositeLayers4[OldLayerToHostLayer(code)] = NextWord();
}

void ReadPens(TPcbBoard& board) {
  for (unsigned pen = 1; pen <= B::kPens; ++pen) {
    board.PlotterPens[pen].First = NextWord();
    ReadCoord(board.PlotterPens[pen].Second);
  }
}

void ReadRoutingDirections(TRouteSettings& route) {
  for (uint8_t code = 1; code <= kFileSignalLayerCount; ++code) {
    const uint8_t direction = LowByte(NextWord());
    const uint8_t id = OldLayerToHostLayer(code);
    if (id < route.RoutingDirections.size()) route.RoutingDirections[id] = direction;
  }
}

void ReadClearances(TClearanceSettings& clearances) {
  for (int32_t& clearance : clearances) ReadCoord(clearance);
}

void ReadOptionsRecord(TPcbBoard& board, TRouteSettings& route, TClearanceSettings& clearances) {
  ReadBoardItems(kOutputItems, board);
  ReadOptionLayers(board.FlipLayers);
  ReadOptionLayers(board.PlotLayers);
  ReadBoardItems(kPrinterItems, board);
  ReadPrinterBlock(board);
  ReadBoardItems(kPrinterPlotItems, board);
  ReadColours(board.CompositeLayers1);
  ReadColours(board.CompositeLayers2);
  ReadCompositeFlags(board);
  ReadBoardItems(kPrinterTailItems, board);
  ReadPens(board);
  ReadBoardItems(kGerberItems, board);
  ReadRoutingDirections(route);
  ReadBoardItems(kPlacerItems, board);
  ReadClearances(clearances);
  ReadBoardItems(kUnusedTail, board);
}

// Stores what the record carried; a record cut short leaves the host's
// board as it was (the proxy is fetched again so later groups see the same).
bool FinishBoardRecord(TPcbBoard& board) {
  const bool complete = BoardRecordComplete();
  board.Sync(complete ? kSyncStore : kSyncFetch);
  return complete;
}

}  // namespace

void LoadBoardSettings() {
  TPcbBoard& board = *Run().Board;
  board.Sync(kSyncFetch);
  ReadSettingsRecord(board);
  FinishBoardRecord(board);
}

void LoadBoardOptions() {
  TPcbBoard& board = *Run().Board;
  board.Sync(kSyncFetch);
  // The run's settings change only with a whole record.
  TRouteSettings route = Run().RouteSettings;
  TClearanceSettings clearances = Run().ClearanceSettings;
  ReadOptionsRecord(board, route, clearances);
  if (!FinishBoardRecord(board)) return;
  Run().RouteSettings = route;
  Run().ClearanceSettings = clearances;
}

}  // namespace pcb9
