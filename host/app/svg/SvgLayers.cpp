#include "SvgLayers.h"

namespace pcb9host::svg {

namespace {

// A run of layer ids, walked from First to Last (either direction).
struct TLayerRun {
  uint8_t First, Last;
};

// Drawing order, lowest first. Inner layers are drawn from the bottom of
// the stack upwards, so a layer nearer the top covers one below it.
constexpr TLayerRun kDrawingOrder[] = {
    {38, 38},  // BottomSolder
    {36, 36},  // BottomPaste
    {32, 32},  // BottomLayer
    {34, 34},  // BottomOverlay
    {54, 39},  // InternalPlane16 .. InternalPlane1
    {31, 2},   // MidLayer30 .. MidLayer1
    {1, 1},    // TopLayer
    {74, 74},  // MultiLayer: through-hole pads and vias
    {81, 82},  // PadHoleLayer, ViaHoleLayer
    {35, 35},  // TopPaste
    {37, 37},  // TopSolder
    {33, 33},  // TopOverlay
    {57, 72},  // Mechanical1 .. Mechanical16
    {55, 56},  // DrillGuide, KeepOutLayer
    {73, 73},  // DrillDrawing
    {75, 80},  // ConnectLayer .. GridColor10
    {0, 0},    // NoLayer
};

struct TLayerColour {
  uint8_t First, Last;
  std::string_view Colour;
};

// The editor's usual colours; the mid layers and planes take turns.
constexpr TLayerColour kColours[] = {
    {1, 1, "#ff0000"},   {2, 2, "#bcbc00"},   {3, 3, "#00c0c0"},   {4, 4, "#c06000"},
    {5, 5, "#8000ff"},   {6, 31, "#b0b000"},  {32, 32, "#0040ff"}, {33, 33, "#ffff00"},
    {34, 34, "#c0a000"}, {35, 35, "#808080"}, {36, 36, "#804000"}, {37, 37, "#a000a0"},
    {38, 38, "#ff00ff"}, {39, 39, "#00a040"}, {40, 40, "#40a0a0"}, {41, 54, "#208050"},
    {55, 55, "#a00000"}, {56, 56, "#ff40c0"}, {57, 57, "#e040e0"}, {58, 58, "#40c0ff"},
    {59, 72, "#c080ff"}, {73, 73, "#ff4060"}, {74, 74, "#c0c0c0"}, {81, 81, "#202830"},
    {82, 82, "#304050"},
};

constexpr std::string_view kOtherColour = "#909090";

std::array<uint8_t, kLayerCount> BuildDrawingOrder() {
  std::array<uint8_t, kLayerCount> order{};
  unsigned next = 0;
  for (const TLayerRun& run : kDrawingOrder) {
    const int step = run.First <= run.Last ? 1 : -1;
    for (int id = run.First;; id += step) {
      if (next < order.size()) order[next++] = static_cast<uint8_t>(id);
      if (id == run.Last) break;
    }
  }
  return order;
}

}  // namespace

const std::array<uint8_t, kLayerCount>& LayerDrawingOrder() {
  static const std::array<uint8_t, kLayerCount> order = BuildDrawingOrder();
  return order;
}

std::string_view LayerColour(uint8_t id) {
  for (const TLayerColour& row : kColours)
    if (id >= row.First && id <= row.Last) return row.Colour;
  return kOtherColour;
}

uint8_t LayerIdOfCode(int64_t code) {
  return code >= 0 && code < static_cast<int64_t>(kLayerCount) ? static_cast<uint8_t>(code) : kNoLayer;
}

bool IsCopperLayer(uint8_t id) { return id >= kTopLayer && id <= kBottomLayer; }

bool IsBottomSideLayer(uint8_t id) {
  return id == kBottomLayer || id == kBottomOverlay || id == kBottomPaste || id == kBottomSolder;
}

}  // namespace pcb9host::svg
