#include "HostOps.h"

#include <cmath>
#include <limits>

#include "PcbApi.h"
#include "layers/Layers.h"

namespace pcb9 {

namespace {

// A run of consecutive old codes mapped onto consecutive targets.
struct TCodeRun {
  uint8_t First, Last, Target;
};

constexpr TCodeRun kOldLayers[] = {
    {1, 15, kTopLayer},        // TopLayer, MidLayer1..14
    {16, 16, kBottomLayer},
    {17, 26, kTopOverlay},     // overlays, pastes, solders, InternalPlane1..4
    {27, 28, kDrillGuide},     // DrillGuide, KeepOutLayer
    {29, 32, kMechanical1},    // Mechanical1..4
    {33, 42, kDrillDrawing},   // DrillDrawing .. ViaHoleLayer
};

constexpr TCodeRun kOldOptionLayers[] = {
    {1, 15, 1},   {16, 16, 32}, {17, 26, 33}, {27, 32, 55}, {33, 34, 61},
    {35, 36, 71}, {37, 41, 73}, {42, 49, 90}, {50, 53, 106},
};

template <size_t N>
uint8_t MapCode(const TCodeRun (&runs)[N], uint8_t code) {
  for (const TCodeRun& run : runs)
    if (code >= run.First && code <= run.Last)
      return static_cast<uint8_t>(run.Target + (code - run.First));
  return 0;
}

}  // namespace

uint32_t CreateIteratorOnLayer(uint32_t container, uint8_t kind, uint8_t method, uint8_t layerId) {
  return PcbApi_CreateIterator(container, kind, method, LayerCodeFromId(layerId));
}

void ProgressInit(std::string_view caption, int32_t total) {
  TShortString copy(caption);
  PcbApi_Percent_Init(static_cast<const TShortString*>(&copy), total);
}

int32_t QueryBoardWithLayer(uint8_t Dir, uint32_t Board, int32_t* Value1, TShortString* Value2,
                            uint8_t* Value3, int32_t* Value4, int32_t* Value5, int32_t* Value6,
                            int32_t* Value7, uint8_t* Value8, uint8_t* CurrentLayer,
                            int32_t* Value10) {
  EnsureBound();
  auto query = PcbApi().PcbApi_QueryBoard;
  if (!query) return 0;
  TLayerCode code = CurrentLayer ? LayerCodeFromId(*CurrentLayer) : 0;
  int32_t status = query(Dir, Board, Value1, Value2, Value3, Value4, Value5, Value6, Value7,
                         Value8, CurrentLayer ? &code : nullptr, Value10);
  if (CurrentLayer) *CurrentLayer = LayerIdFromCode(code);
  return status;
}

uint8_t OldLayerToHostLayer(uint8_t code) { return MapCode(kOldLayers, code); }

uint8_t OldOptionLayerToIndex(uint8_t code) { return MapCode(kOldOptionLayers, code); }

double DegToRad(double degrees) {
  return static_cast<double>(static_cast<long double>(degrees) * 0.017453292519943295769L);
}

double MilsToUnits(double mils) { return mils * 10000.0; }

int32_t MilsToUnitsRounded(double mils) {
  // Values beyond the 32-bit range (or not a number) would make the
  // conversion undefined; they saturate instead.
  const double units = std::nearbyint(MilsToUnits(mils));
  if (std::isnan(units)) return 0;
  if (units <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (units >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(units);
}

double UnitsToMils(int32_t units) {
  const double m = units / 10000.0;
  const double whole = std::trunc(m);
  return whole + std::nearbyint((m - whole) * 1000.0) / 1000.0;
}

}  // namespace pcb9
