#include "TrackLoader.h"

#include <array>
#include <utility>

#include "ModalAttributes.h"
#include "PrimitiveRecord.h"
#include "run/ImportRun.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/Primitives.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

struct TTrackPoints {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// 32-bit signed sum with wrap-around, as the file's writer computed it.
int32_t Add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t Sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// One record form: its keywords, how many coordinates it stores and how the
// two points follow from them.
struct TTrackLayout {
  std::string_view BoardKeyword;
  std::string_view ComponentKeyword;
  int Coordinates;
  TTrackPoints (*Points)(const std::array<int32_t, 4>& c);
};

constexpr std::array<TTrackLayout, 5> kTrackLayouts = {{
    {"TH", "th", 3, [](const auto& c) { return TTrackPoints{c[0], c[2], c[1], c[2]}; }},
    {"TV", "tv", 3, [](const auto& c) { return TTrackPoints{c[0], c[1], c[0], c[2]}; }},
    {"T+", "t+", 3,
     [](const auto& c) { return TTrackPoints{c[0], c[1], Add(c[0], c[2]), Add(c[1], c[2])}; }},
    {"T-", "t-", 3,
     [](const auto& c) { return TTrackPoints{c[0], c[1], Add(c[0], c[2]), Sub(c[1], c[2])}; }},
    {"TN", "tn", 4, [](const auto& c) { return TTrackPoints{c[0], c[1], c[2], c[3]}; }},
}};

TTrackPoints ReadPoints(TTrackForm form) {
  const TTrackLayout& layout = kTrackLayouts[form];
  std::array<int32_t, 4> c{};
  for (int i = 0; i < layout.Coordinates; ++i) ReadCoord(c[i]);
  return layout.Points(c);
}

// Axis-parallel tracks are stored pointing up or right.
void Normalise(TTrackPoints& p) {
  if (p.X1 == p.X2 && p.Y1 > p.Y2) std::swap(p.Y1, p.Y2);
  if (p.Y1 == p.Y2 && p.X1 > p.X2) std::swap(p.X1, p.X2);
}

void SkipTrailingWords() {
  int16_t ignored = 0;
  ReadWord(ignored);
  if (Run().FormatLevel >= 8) ReadWord(ignored);
}

}  // namespace

std::string_view TrackBoardKeyword(TTrackForm form) { return kTrackLayouts[form].BoardKeyword; }
std::string_view TrackComponentKeyword(TTrackForm form) {
  return kTrackLayouts[form].ComponentKeyword;
}

uint32_t LoadTrack(TTrackForm form) {
  TPcbTrack track(PcbApi_CreateObject(kTrackKind));
  BeginPrimitive(track);

  const TModalAttributes& a = Run().ModalAttributes;
  track.StateFlag = a.AttrStateFlag != 0;
  track.Flags = a.AttrFlags;
  track.SetLayer(OldLayerToHostLayer(static_cast<uint8_t>(a.AttrLayer & 0x7F)));
  track.OwnerCoordinate = SignExtend(a.AttrCoordinate);
  track.OwnerDimension = SignExtend(a.AttrDimension);
  track.Width = a.AttrTrackWidth;
  const uint32_t net = SignExtend(a.AttrNet);

  TTrackPoints p = ReadPoints(form);
  Normalise(p);
  track.X = p.X1;
  track.Y = p.Y1;
  track.X2 = p.X2;
  track.Y2 = p.Y2;
  SkipTrailingWords();

  track.OwnerPolygon = SignExtend(a.AttrPolygon);
  track.Net = net;
  track.Sync(0);
  return track.Handle;
}

void LoadTrackGroup(TTrackForm form, TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Track, [form] { return LoadTrack(form); }, component);
}

}  // namespace pcb9
