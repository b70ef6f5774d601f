#include "Layers.h"

#include <array>

namespace pcb9 {

namespace {

constexpr std::array<std::string_view, kLastLayerId + 1> kLayerNames = {
    "NoLayer",        "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",
    "MidLayer4",      "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",
    "MidLayer9",      "MidLayer10",      "MidLayer11",      "MidLayer12",      "MidLayer13",
    "MidLayer14",     "MidLayer15",      "MidLayer16",      "MidLayer17",      "MidLayer18",
    "MidLayer19",     "MidLayer20",      "MidLayer21",      "MidLayer22",      "MidLayer23",
    "MidLayer24",     "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
    "MidLayer29",     "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",
    "TopPaste",       "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",
    "InternalPlane2", "InternalPlane3",  "InternalPlane4",  "InternalPlane5",  "InternalPlane6",
    "InternalPlane7", "InternalPlane8",  "InternalPlane9",  "InternalPlane10", "InternalPlane11",
    "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15", "InternalPlane16",
    "DrillGuide",     "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
    "Mechanical4",    "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",
    "Mechanical9",    "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",
    "Mechanical14",   "Mechanical15",    "Mechanical16",    "DrillDrawing",    "MultiLayer",
    "ConnectLayer",   "BackGroundLayer", "DRCErrorLayer",   "HighlightLayer",  "GridColor1",
    "GridColor10",    "PadHoleLayer",    "ViaHoleLayer"};

using C = TLayerClass;

// Classes of the legacy ids that are neither signal, plane nor mechanical.
struct TFixedClass {
  TLayerId Id;
  TLayerClass Class;
};
constexpr TFixedClass kFixedClasses[] = {
    {kTopOverlay, C::TopOverlay},     {kBottomOverlay, C::BottomOverlay},
    {kTopPaste, C::TopPaste},         {kBottomPaste, C::BottomPaste},
    {kTopSolder, C::TopSolder},       {kBottomSolder, C::BottomSolder},
    {kDrillGuide, C::DrillGuide},     {kKeepOutLayer, C::KeepOut},
    {kDrillDrawing, C::DrillDrawing}, {kMultiLayer, C::Multi},
    {kConnectLayer, C::Connect},      {kBackGroundLayer, C::BackGround},
    {kDRCErrorLayer, C::DRCError},    {kHighlightLayer, C::Highlight},
    {kGridColor1, C::GridColor1},     {kGridColor10, C::GridColor10},
    {kPadHoleLayer, C::PadHole},      {kViaHoleLayer, C::ViaHole},
};

constexpr uint32_t kSignalHigh = 0x0101, kPlaneHigh = 0x0104, kMechanicalHigh = 0x0400;

constexpr uint32_t HighWord(TLayerCode c) { return c >> 16; }
constexpr uint32_t LowWord(TLayerCode c) { return c & 0xFFFFu; }
constexpr TLayerCode Extended(uint32_t high, uint64_t low) {
  return (high << 16) | static_cast<uint32_t>(low);
}
constexpr bool InRange(TLayerCode c, unsigned first, unsigned last) {
  return c >= first && c <= last;
}

// The number as the messages show it: its low 32 bits as a signed integer.
std::string Shown(int64_t n) {
  return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(n)));
}

[[noreturn]] void Fail(const char* what, int64_t n) {
  throw ELayerException(std::string("Creating ") + what + "(" + Shown(n) + ")");
}

}  // namespace

std::string_view LayerName(TLayerId id) {
  return id <= kLastLayerId ? kLayerNames[id] : std::string_view();
}

TLayerCode SignalLayer(int64_t n) {
  const auto u = static_cast<uint64_t>(n);
  if (u == 1) return kTopLayer;
  if (u == 65535) return kBottomLayer;
  if (u >= 2 && u <= 31) return static_cast<TLayerCode>(u);
  if (u <= 65534) return Extended(kSignalHigh, u);
  Fail("SignalLayer", n);
}

TLayerCode MidLayer(int64_t n) {
  return SignalLayer(static_cast<int64_t>(static_cast<uint64_t>(n) + 1));
}

TLayerCode InternalPlane(int64_t n) {
  const auto u = static_cast<uint64_t>(n);
  if (u >= 1 && u <= 16) return static_cast<TLayerCode>(u + 38);
  if (u >= 17 && u <= 65535) return Extended(kPlaneHigh, u);
  Fail("InternalPlaneLayer", n);
}

TLayerCode MechanicalLayer(int64_t n) {
  const auto u = static_cast<uint64_t>(n);
  if (u >= 1 && u <= 16) return static_cast<TLayerCode>(u + 56);
  if (u >= 17 && u <= 65535) return Extended(kMechanicalHigh, u);
  Fail("MechanicalLayer", n);
}

TLayerCode LayerCodeFromId(TLayerId id) {
  return id >= 1 && id <= kLastLayerId ? id : 0;
}

bool IsInvalidLayer(TLayerCode c) { return LowWord(c) == 0 && c != 0; }

bool IsSignalLayer(TLayerCode c) {
  if (IsInvalidLayer(c)) return false;
  return (HighWord(c) == 0 && InRange(c, kTopLayer, kBottomLayer)) || HighWord(c) == kSignalHigh;
}

bool IsInternalPlane(TLayerCode c) {
  if (IsInvalidLayer(c)) return false;
  return (HighWord(c) == 0 && InRange(c, kInternalPlane1, kInternalPlane16)) ||
         HighWord(c) == kPlaneHigh;
}

bool IsMechanicalLayer(TLayerCode c) {
  if (IsInvalidLayer(c)) return false;
  return (HighWord(c) == 0 && InRange(c, kMechanical1, kMechanical16)) ||
         HighWord(c) == kMechanicalHigh;
}

TLayerClass LayerClass(TLayerCode c) {
  if (IsSignalLayer(c)) {
    if (c == kTopLayer) return C::TopSignal;
    if (c == kBottomLayer) return C::BottomSignal;
    return C::MidSignal;
  }
  if (IsInternalPlane(c)) return C::InternalPlane;
  if (IsMechanicalLayer(c)) return C::Mechanical;
  if (HighWord(c) == 0)
    for (const TFixedClass& f : kFixedClasses)
      if (f.Id == c) return f.Class;
  return C::None;
}

uint32_t LayerNumber(TLayerCode c) {
  if ((c >> 24) != 0) return LowWord(c);
  if (InRange(c, kMechanical1, kMechanical16)) return c - 56;
  if (InRange(c, kTopLayer, kBottomLayer)) return c == kBottomLayer ? 65535 : c;
  if (InRange(c, kInternalPlane1, kInternalPlane16)) return c - 38;
  return static_cast<uint32_t>(LayerClass(c));
}

TLayerId LayerIdFromCode(TLayerCode code) {
  const uint32_t k = LayerNumber(code);
  const TLayerClass cls = LayerClass(code);
  switch (cls) {
    case C::None: return kNoLayer;
    case C::TopSignal: return kTopLayer;
    case C::MidSignal: return static_cast<TLayerId>(k <= 31 ? k : 31);
    case C::BottomSignal: return kBottomLayer;
    case C::InternalPlane: return static_cast<TLayerId>(k <= 16 ? k + 38 : kInternalPlane16);
    case C::Mechanical: return static_cast<TLayerId>(k <= 16 ? k + 56 : kMechanical16);
    default: break;
  }
  for (const TFixedClass& f : kFixedClasses)
    if (f.Class == cls) return f.Id;
  return kNoLayer;
}

}  // namespace pcb9
