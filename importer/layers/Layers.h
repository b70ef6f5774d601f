#pragma once
// Host layer ids (0..82), layer codes (32-bit, legacy ids or extended
// signal/plane/mechanical numbers), their classes, names and layer sets.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pcb9 {

using TLayerId = uint8_t;
using TLayerCode = uint32_t;

constexpr TLayerId kNoLayer = 0, kTopLayer = 1, kBottomLayer = 32, kTopOverlay = 33,
                   kBottomOverlay = 34, kTopPaste = 35, kBottomPaste = 36, kTopSolder = 37,
                   kBottomSolder = 38, kInternalPlane1 = 39, kInternalPlane16 = 54,
                   kDrillGuide = 55, kKeepOutLayer = 56, kMechanical1 = 57, kMechanical16 = 72,
                   kDrillDrawing = 73, kMultiLayer = 74, kConnectLayer = 75,
                   kBackGroundLayer = 76, kDRCErrorLayer = 77, kHighlightLayer = 78,
                   kGridColor1 = 79, kGridColor10 = 80, kPadHoleLayer = 81, kViaHoleLayer = 82;
constexpr TLayerId kLastLayerId = 82;

// "NoLayer", "TopLayer", "MidLayer1", ... ; empty above 82.
std::string_view LayerName(TLayerId id);

// Raised by the code constructors for a number out of range.
class ELayerException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Constructors of codes; the number is compared as unsigned 64-bit.
TLayerCode SignalLayer(int64_t n);
TLayerCode MidLayer(int64_t n);
TLayerCode InternalPlane(int64_t n);
TLayerCode MechanicalLayer(int64_t n);

TLayerCode LayerCodeFromId(TLayerId id);
TLayerId LayerIdFromCode(TLayerCode code);

enum class TLayerClass : uint8_t {
  None = 0, TopSignal, MidSignal, BottomSignal, InternalPlane, Mechanical, TopOverlay,
  BottomOverlay, TopPaste, BottomPaste, TopSolder, BottomSolder, DrillGuide, KeepOut,
  DrillDrawing, Multi, Connect, BackGround, DRCError, Highlight, GridColor1, GridColor10,
  PadHole, ViaHole
};
TLayerClass LayerClass(TLayerCode code);
uint32_t LayerNumber(TLayerCode code);
bool IsInvalidLayer(TLayerCode code);
bool IsSignalLayer(TLayerCode code);
bool IsInternalPlane(TLayerCode code);
bool IsMechanicalLayer(TLayerCode code);

// Set of layer ids 0..87 in 11 bytes, id i being bit (i mod 8) of byte i div 8.
struct TLayerSet {
  uint8_t Bits[11] = {};
  void Include(unsigned id) { if (id < 88) Bits[id / 8] |= uint8_t(1u << (id % 8)); }
  void Exclude(unsigned id) { if (id < 88) Bits[id / 8] &= uint8_t(~(1u << (id % 8))); }
  bool Contains(unsigned id) const { return id < 88 && (Bits[id / 8] >> (id % 8)) & 1u; }
  // The ids first..last inclusive.
  static TLayerSet Range(unsigned first, unsigned last) {
    TLayerSet s;
    for (unsigned i = first; i <= last && i < 88; ++i) s.Include(i);
    return s;
  }
};

}  // namespace pcb9
