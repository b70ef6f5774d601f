#include "ArcViaFillLoaders.h"

#include <array>
#include <utility>

#include "PrimitiveRecord.h"
#include "proxies/Primitives.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

struct TViaPair {
  uint8_t Start;
  uint8_t End;
};

// File layer codes by pair number 1..8; pair 0 and 9..255 are through vias.
constexpr std::array<TViaPair, 9> kViaPairs = {{
    {1, 16},  // 0: through
    {1, 2},
    {3, 4},
    {5, 6},
    {7, 8},
    {9, 10},
    {11, 12},
    {13, 14},
    {15, 16},
}};

const TViaPair& ViaPair(uint8_t pair) {
  return pair < kViaPairs.size() ? kViaPairs[pair] : kViaPairs[0];
}

void SkipWord() {
  int16_t ignored = 0;
  ReadWord(ignored);
}

void SkipCoords(int count) {
  int32_t ignored = 0;
  for (int i = 0; i < count; ++i) ReadCoord(ignored);
}

// A start equal to the end means a full circle; an end of 0 means 360.
void FixArcAngles(double& start, double& end) {
  if (start == end) {
    start = 0;
    end = 360;
  }
  if (end == 0) end = 360;
}

// The via's layer from its own register when given, else from the pair.
TLayerId ViaLayer(uint16_t layerRegister, uint8_t pairLayer) {
  return OldLayerToHostLayer(layerRegister != 0 ? static_cast<uint8_t>(layerRegister & 0xFF)
                                                : pairLayer);
}

}  // namespace

uint8_t ViaPairStartLayer(uint8_t pair) { return ViaPair(pair).Start; }
uint8_t ViaPairEndLayer(uint8_t pair) { return ViaPair(pair).End; }

uint32_t LoadArc() {
  TPcbArc arc(PcbApi_CreateObject(kArcKind));
  BeginPrimitive(arc);
  ApplyFlagsAndLayer(arc);
  const TModalAttributes& a = Run().ModalAttributes;
  const uint32_t net = SignExtend(a.AttrNet);

  ReadCoord(arc.X);
  ReadCoord(arc.Y);
  ReadCoord(arc.Radius);
  ReadReal(arc.StartAngle);
  ReadReal(arc.EndAngle);
  FixArcAngles(arc.StartAngle, arc.EndAngle);
  ReadCoord(arc.Width);
  SkipWord();

  arc.OwnerPolygon = SignExtend(a.AttrPolygon);
  return StorePrimitive(arc, net);
}

uint32_t LoadVia() {
  TPcbVia via(PcbApi_CreateObject(kViaKind));
  BeginPrimitive(via);
  const TModalAttributes& a = Run().ModalAttributes;
  via.Flags = a.AttrFlags;
  const uint32_t net = SignExtend(a.AttrNet);
  via.Size = a.AttrViaSize;
  via.HoleSize = a.AttrViaHoleSize;
  const uint8_t pair = static_cast<uint8_t>(a.AttrViaLayerPair & 0xFF);
  // Start and end are chosen independently: a file may give only one.
  via.StartLayer = ViaLayer(a.AttrViaStartLayer, ViaPairStartLayer(pair));
  via.EndLayer = ViaLayer(a.AttrViaEndLayer, ViaPairEndLayer(pair));
  via.StateFlag = a.AttrStateFlag != 0;

  ReadCoord(via.X);
  ReadCoord(via.Y);
  if (Run().FormatLevel >= 8) SkipCoords(2);
  SkipWord();

  return StorePrimitive(via, net);
}

uint32_t LoadFill() {
  TPcbFill fill(PcbApi_CreateObject(kFillKind));
  BeginPrimitive(fill);
  ApplyFlagsAndLayer(fill);
  const TModalAttributes& a = Run().ModalAttributes;
  const uint32_t net = SignExtend(a.AttrNet);

  ReadCoord(fill.X);
  ReadCoord(fill.Y);
  ReadCoord(fill.X2);
  ReadCoord(fill.Y2);
  // Stored lower left first, upper right second.
  if (fill.X > fill.X2) std::swap(fill.X, fill.X2);
  if (fill.Y > fill.Y2) std::swap(fill.Y, fill.Y2);
  if (Run().FormatLevel >= 9) ReadReal(fill.Rotation);

  fill.OwnerPolygon = SignExtend(a.AttrPolygon);
  return StorePrimitive(fill, net);
}

void LoadArcGroup(TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Arc, LoadArc, component);
}

void LoadViaGroup(TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Via, LoadVia, component);
}

void LoadFillGroup(TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Fill, LoadFill, component);
}

}  // namespace pcb9
