#include "ComponentLoader.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "ArcViaFillLoaders.h"
#include "ObjectIndex.h"
#include "PadLoader.h"
#include "TextLoader.h"
#include "TrackLoader.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/Groups.h"
#include "proxies/ProxyFromHandle.h"
#include "report/ComponentLayerWarnings.h"
#include "run/Abort.h"
#include "run/ImportRun.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

// A word the file does not hold reads as 0.
int16_t Word() {
  int16_t word = 0;
  ReadWord(word);
  return word;
}

void ReadPattern(TPcbComponent& c) {
  TShortString pattern;
  ReadString(pattern);
  // The field holds fewer characters than a string token can carry.
  c.Pattern.Assign(pattern.View(), TPcbComponent::kPatternCapacity);
}

void SkipCoord(TPcbComponent&) {
  int32_t ignored = 0;
  ReadCoord(ignored);
}

void ReadRotation(TPcbComponent& c) {
  double rotation = 0;
  ReadReal(rotation);
  c.Rotation = rotation;
}

// One item of the header and the first format level that has it.
struct THeaderItem {
  int16_t FromLevel;
  void (*Read)(TPcbComponent& c);
};

const std::array<THeaderItem, 15> kHeader = {{
    {0, ReadPattern},
    {0, [](TPcbComponent& c) { c.Flags = static_cast<uint16_t>(Word()); }},
    {0, [](TPcbComponent& c) { ReadCoord(c.X); }},
    {0, [](TPcbComponent& c) { ReadCoord(c.Y); }},
    {0, SkipCoord},
    {0, SkipCoord},
    {0, SkipCoord},
    {0, SkipCoord},
    {0, [](TPcbComponent& c) { c.NameFlag = Word() != 0; }},
    {0, [](TPcbComponent& c) { c.CommentFlag = Word() != 0; }},
    // Older files store the opposite of the state flag here.
    {0, [](TPcbComponent& c) { c.StateFlag = Word() == 0; }},
    {8, [](TPcbComponent& c) { c.StateFlag = Word() != 0; }},
    {8, [](TPcbComponent& c) { c.ComponentFlag = Word() != 0; }},
    {8, ReadRotation},
    {9,
     [](TPcbComponent& c) { c.SetLayer(OldLayerToHostLayer(static_cast<uint8_t>(Word() & 0xFF))); }},
}};

void ReadHeader(TPcbComponent& c) {
  for (const THeaderItem& item : kHeader)
    if (Run().FormatLevel >= item.FromLevel) item.Read(c);
}

void ReadTexts(TPcbComponent& c) {
  c.NameText = 0;
  c.CommentText = 0;
  ReadTextAttributes();
  c.NameText = LoadText();
  ReadTextAttributes();
  c.CommentText = LoadText();
}

// The footprint's primitives, by sub-group keyword.
struct TSubGroup {
  std::string_view Keyword;
  void (*Load)(TPcbComponent* component);
};

const std::array<TSubGroup, 10> kSubGroups = {{
    {"p", LoadPadGroup},
    {TrackComponentKeyword(tfHorizontal), [](TPcbComponent* c) { LoadTrackGroup(tfHorizontal, c); }},
    {TrackComponentKeyword(tfVertical), [](TPcbComponent* c) { LoadTrackGroup(tfVertical, c); }},
    {TrackComponentKeyword(tfRisingDiagonal),
     [](TPcbComponent* c) { LoadTrackGroup(tfRisingDiagonal, c); }},
    {TrackComponentKeyword(tfFallingDiagonal),
     [](TPcbComponent* c) { LoadTrackGroup(tfFallingDiagonal, c); }},
    {TrackComponentKeyword(tfFree), [](TPcbComponent* c) { LoadTrackGroup(tfFree, c); }},
    {"a", LoadArcGroup},
    {"v", LoadViaGroup},
    {"f", LoadFillGroup},
    {"x", LoadTextGroup},
}};

constexpr std::string_view kEndKeyword = "E";

void LoadSubGroup(std::string_view keyword, TPcbComponent& c) {
  auto group = std::find_if(kSubGroups.begin(), kSubGroups.end(),
                            [&](const TSubGroup& g) { return g.Keyword == keyword; });
  if (group != kSubGroups.end()) group->Load(&c);
}

// Every pass reads a keyword string or fails, which sets a flag that ends
// the loop. A component keyword inside a component is no sub-group: it is
// skipped like any unknown keyword, so components never nest.
void LoadSubGroups(TPcbComponent& c) {
  for (;;) {
    TShortString keyword;
    if (!Run().EndReached) {
      ReadString(keyword);
      LoadSubGroup(keyword.View(), c);
    }
    if (keyword == kEndKeyword || Run().EndReached || Run().Aborted) return;
  }
}

// --- side ---------------------------------------------------------------------------

using TRecord = void (TComponentLayerWarnings::*)(TPcbComponent*);

// A side: the layers that show it, the layer a component on it gets, and
// where the case is recorded when the designator or the footprint shows it.
struct TSide {
  std::array<TLayerId, 2> Layers;
  TLayerId Layer;
  TRecord Valid;
  TRecord Assumed;
};

const std::array<TSide, 2> kSides = {{
    {{kTopLayer, kTopOverlay}, kTopLayer, &TComponentLayerWarnings::AddValidTop,
     &TComponentLayerWarnings::AddAssumedTop},
    {{kBottomLayer, kBottomOverlay}, kBottomLayer, &TComponentLayerWarnings::AddValidBottom,
     &TComponentLayerWarnings::AddAssumedBottom},
}};

bool Shows(const TSide& side, TLayerId layer) {
  return std::find(side.Layers.begin(), side.Layers.end(), layer) != side.Layers.end();
}

void Place(TPcbComponent& c, TLayerId layer, TRecord record) {
  c.SetLayer(layer);
  if (TComponentLayerWarnings* warnings = Run().LayerWarnings.get()) (warnings->*record)(&c);
}

bool LayerFromDesignator(TPcbComponent& c) {
  const TLayerId layer = GetLayerOf(c.NameText);
  for (const TSide& side : kSides) {
    if (!Shows(side, layer)) continue;
    Place(c, side.Layer, side.Valid);
    return true;
  }
  return false;
}

constexpr uint8_t kAnyKind = 0;
constexpr uint8_t kAnyLayerMethod = 2;

bool LayerFromPrimitives(TPcbComponent& c) {
  std::array<bool, kSides.size()> shown{};
  auto look = [&](TLayerId layer) {
    for (size_t s = 0; s < kSides.size(); ++s) shown[s] = shown[s] || Shows(kSides[s], layer);
  };
  if (c.CommentFlag) look(GetLayerOf(c.CommentText));
  if (const uint32_t it = CreateIteratorOnLayer(c.Handle, kAnyKind, kAnyLayerMethod, kNoLayer)) {
    // Once both sides show, the answer cannot change.
    for (uint32_t child = PcbApi_GetFirstObject(it); child != 0 && !(shown[0] && shown[1]);
         child = PcbApi_GetNextObject(it))
      look(GetLayerOf(child));
    PcbApi_DestroyIterator(it);
  }
  if (shown[0] == shown[1]) return false;
  const TSide& side = shown[0] ? kSides[0] : kSides[1];
  Place(c, side.Layer, side.Assumed);
  return true;
}

constexpr int16_t kLastLevelWithoutSide = 8;

}  // namespace

void DecideComponentLayer(TPcbComponent& component) {
  if (LayerFromDesignator(component) || LayerFromPrimitives(component)) return;
  Place(component, kTopLayer, &TComponentLayerWarnings::AddUndetermined);
}

uint32_t LoadComponent() {
  TImportRun& run = Run();
  TPcbComponent component(PcbApi_CreateObject(kComponentKind));
  component.Sync(kSyncFetch);
  component.ComponentExFlag1 = 0;
  component.ComponentExFlag2 = 0;
  component.Sync(kSyncStore);
  PcbApi_Percent_Update();
  CheckAbort(run.Aborted);

  component.ComponentValue = 0;
  ReadHeader(component);
  ReadTexts(component);
  const bool whole = !FileEndedEarly();
  component.Sync(kSyncStore);
  SetOwnerComponentOf(component.NameText, component.Handle);
  SetOwnerComponentOf(component.CommentText, component.Handle);

  // Pads are numbered within their component.
  run.Counters.PadCount = 0;
  LoadSubGroups(component);
  run.Counters.PadCount = 0;

  if (run.FormatLevel <= kLastLevelWithoutSide) DecideComponentLayer(component);
  component.Index = NextObjectIndex(run.Counters.ComponentCount);
  component.Sync(kSyncStore);
  return whole ? component.Handle : 0;
}

}  // namespace pcb9
