#include "PolygonLoader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "ModalAttributes.h"
#include "ObjectIndex.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/Groups.h"
#include "rules/OwnerLinks.h"
#include "run/Abort.h"
#include "run/ImportRun.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

// Levels from which the record holds each of its optional items.
constexpr int16_t kArcsLevel = 3;
constexpr int16_t kOptionELevel = 7;
constexpr int16_t kValue3Level = 9;

constexpr double kFullCircle = 360.0;

struct TPolygonHeader {
  bool OptionA = false;
  bool OptionB = false;
  bool OptionC = false;
  bool OptionD = false;
  bool OptionE = true;
  int32_t Value1 = 0;
  int32_t Value2 = 0;
  int32_t Value3 = 0;
  int16_t LastVertex = -1;
};

// `PolygonMode` by options C and B: [C][B].
constexpr std::array<std::array<uint8_t, 2>, 2> kPolygonModes = {{
    {4, 3},  // C clear: B clear, B set
    {2, 0},  // C set
}};

bool ReadOption() {
  int16_t word = 0;
  ReadWord(word);
  return word != 0;
}

void SkipWord() {
  int16_t ignored = 0;
  ReadWord(ignored);
}

// Segment records are packed: their fields are filled from values read into
// locals, never bound to the reads' references.
int32_t NextCoord() {
  int32_t value = 0;
  ReadCoord(value);
  return value;
}

double NextReal() {
  double value = 0;
  ReadReal(value);
  return value;
}

TPolygonHeader ReadHeader() {
  const int16_t level = Run().FormatLevel;
  TPolygonHeader h;
  h.OptionA = ReadOption();
  h.OptionB = ReadOption();
  h.OptionC = ReadOption();
  h.OptionD = ReadOption();
  if (level >= kArcsLevel) SkipWord();
  if (level >= kOptionELevel) h.OptionE = ReadOption();
  ReadCoord(h.Value1);
  ReadCoord(h.Value2);
  if (level >= kValue3Level) {
    ReadCoord(h.Value3);
    NextCoord();
  }
  ReadWord(h.LastVertex);
  return h;
}

// The outline as read: entries 0 up to the last one the host keeps.
struct TOutline {
  int32_t SegmentCount = -1;
  std::vector<TPolySegment> Segments;

  // The entry of a vertex, or null for one beyond what the host keeps.
  TPolySegment* Entry(int32_t i) {
    return i >= 0 && i < static_cast<int32_t>(Segments.size()) ? &Segments[i] : nullptr;
  }
};

// Once the stream has failed or ended, no further word belongs to this
// record: a damaged vertex count must not make work the file does not hold.
// A user's abort (confirmed at an arc) lets the record be read to its end.
bool StreamStopped() { return StreamFailed() || Run().EndReached; }

void ReadVertices(TOutline& outline, int16_t lastVertex) {
  for (int32_t i = 0; i <= lastVertex && !StreamStopped(); ++i) {
    TPolySegment vertex{};
    vertex.SegX = NextCoord();
    vertex.SegY = NextCoord();
    if (TPolySegment* entry = outline.Entry(i)) *entry = vertex;
  }
}

void FixArcAngles(TPolySegment& s) {
  if (s.SegStartAngle == s.SegEndAngle) {
    s.SegStartAngle = 0;
    s.SegEndAngle = kFullCircle;
  }
  if (s.SegEndAngle == 0) s.SegEndAngle = kFullCircle;
}

// One arc data item into an entry (read and dropped when there is none).
void ReadPolygonArc(TPolySegment* entry) {
  CheckAbort(Run().Aborted);
  TPolySegment arc{};
  arc.SegKind = 1;
  arc.SegCenterX = NextCoord();
  arc.SegCenterY = NextCoord();
  arc.SegRadius = NextCoord();
  arc.SegStartAngle = NextReal();
  arc.SegEndAngle = NextReal();
  FixArcAngles(arc);
  NextCoord();
  SkipWord();
  if (!entry) return;
  entry->SegKind = arc.SegKind;
  entry->SegCenterX = arc.SegCenterX;
  entry->SegCenterY = arc.SegCenterY;
  entry->SegRadius = arc.SegRadius;
  entry->SegStartAngle = arc.SegStartAngle;
  entry->SegEndAngle = arc.SegEndAngle;
}

// The arc flags a[0]..a[N], then for each set flag from a[1] on an attribute
// run and the arc of the entry before it.
void ReadArcs(TOutline& outline, int16_t lastVertex) {
  std::vector<bool> arcFlags;
  for (int32_t i = 0; i <= lastVertex && !StreamStopped(); ++i) arcFlags.push_back(ReadOption());
  for (int32_t i = 1; i < static_cast<int32_t>(arcFlags.size()) && !StreamStopped(); ++i) {
    if (!arcFlags[i]) continue;
    RunAttributes(AcceptedAttributes::PolygonSegment);
    ReadPolygonArc(outline.Entry(i - 1));
  }
}

TOutline ReadOutline(int16_t lastVertex) {
  TOutline outline;
  outline.SegmentCount = std::min<int32_t>(lastVertex, kMaxSegmentIndex);
  outline.Segments.resize(static_cast<size_t>(std::max(outline.SegmentCount + 1, 0)));
  ReadVertices(outline, lastVertex);
  if (Run().FormatLevel >= kArcsLevel) ReadArcs(outline, lastVertex);
  return outline;
}

template <class TProxy>
void CopyOutline(TProxy& proxy, const TOutline& outline) {
  proxy.SegmentCount = outline.SegmentCount;
  std::copy(outline.Segments.begin(), outline.Segments.end(), proxy.Segments);
}

// Creates the host object, numbers and registers it; the net and whatever
// `finish` sets reach the host in a second store, after registration.
template <class TProxy, class TSetUp, class TFinish>
uint32_t BuildOutlineObject(uint8_t kind, TLayerId layer, uint32_t net, const TOutline& outline,
                            TSetUp setUp, TFinish finish) {
  auto proxy = std::make_unique<TProxy>(PcbApi_CreateObject(kind));
  proxy->Sync(1);
  PcbApi_Percent_Update();
  CheckAbort(Run().Aborted);
  proxy->Flags = 0;
  proxy->SetLayer(layer);
  setUp(*proxy);
  CopyOutline(*proxy, outline);
  proxy->Index = NextObjectIndex(Run().Counters.PolygonCount);
  proxy->Sync(0);
  RegisterPolygon(proxy->Handle);
  proxy->Net = net;
  finish(*proxy);
  proxy->Sync(0);
  return proxy->Handle;
}

uint32_t BuildSplitPlane(TLayerId layer, uint32_t net, const TOutline& outline) {
  return BuildOutlineObject<TPcbSplitPlane>(
      kSplitPlaneKind, layer, net, outline, [](TPcbSplitPlane&) {},
      // The file's net number is a 16-bit word: 0x8000 is net 32768.
      [net](TPcbSplitPlane&) { Run().SplitPlaneNets.insert(static_cast<uint16_t>(net)); });
}

uint32_t BuildPolygon(TLayerId layer, uint32_t net, const TPolygonHeader& h,
                      const TOutline& outline) {
  return BuildOutlineObject<TPcbPolygon>(
      kPolygonKind, layer, net, outline,
      [&h](TPcbPolygon& p) {
        p.PolygonFlag1 = h.OptionA;
        p.PolygonFlag2 = h.OptionD;
        p.PolygonFlag3 = h.OptionE;
        p.PolygonValue1 = h.Value1;
        p.PolygonValue2 = h.Value2;
        if (Run().FormatLevel >= kValue3Level) p.PolygonValue3 = h.Value3;
      },
      [&h](TPcbPolygon& p) { p.PolygonMode = kPolygonModes[h.OptionC][h.OptionB]; });
}

bool IsInternalPlane(TLayerId layer) {
  return layer >= kInternalPlane1 && layer < kInternalPlane1 + 4;
}

}  // namespace

uint32_t LoadPolygon() {
  if (Run().Aborted) return 0;
  const TModalAttributes& a = Run().ModalAttributes;
  // The polygon's own net and layer are those before its record: attribute
  // runs inside the record change the registers for later records only.
  const TLayerId layer = OldLayerToHostLayer(static_cast<uint8_t>(a.AttrLayer & 0xFF));
  const uint32_t net = SignExtend(a.AttrNet);

  const TPolygonHeader header = ReadHeader();
  const TOutline outline = ReadOutline(header.LastVertex);
  return IsInternalPlane(layer) ? BuildSplitPlane(layer, net, outline)
                                : BuildPolygon(layer, net, header, outline);
}

void LoadPolygonGroup() { RunGroupLoop(AcceptedAttributes::PolygonGroup, LoadPolygon, nullptr); }

}  // namespace pcb9
