#pragma once
// How the board picture shows each host layer: its colour and where its
// group stands in the stack of groups (drawn first = lowest).
#include <array>
#include <cstdint>
#include <string_view>

namespace pcb9host::svg {

constexpr unsigned kLayerCount = 83;  // host layer ids 0..82
constexpr uint8_t kNoLayer = 0, kTopLayer = 1, kBottomLayer = 32, kTopOverlay = 33,
                  kBottomOverlay = 34, kBottomPaste = 36, kBottomSolder = 38,
                  kMultiLayer = 74, kPadHoleLayer = 81, kViaHoleLayer = 82;

// Every host layer id once, in drawing order: the bottom side first, then
// the inner layers, then the top side; through-hole copper and the holes
// above the copper, drawing layers last.
const std::array<uint8_t, kLayerCount>& LayerDrawingOrder();

// "#rrggbb" of a layer id; grey for ids without a colour of their own.
std::string_view LayerColour(uint8_t id);

// The layer id of a stored layer code; codes beyond the host's 83 layers
// are shown on NoLayer.
uint8_t LayerIdOfCode(int64_t code);

bool IsCopperLayer(uint8_t id);
// Layers seen through the board from the top: their texts read mirrored.
bool IsBottomSideLayer(uint8_t id);

}  // namespace pcb9host::svg
