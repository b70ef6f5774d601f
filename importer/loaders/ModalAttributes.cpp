#include "ModalAttributes.h"

#include <array>

#include "run/ImportRun.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "stream/FormatTables.h"

namespace pcb9 {

void ResetModalAttributes() { Run().ModalAttributes = TModalAttributes{}; }

namespace {

using TWordRegister = uint16_t TModalAttributes::*;
using TSignedWordRegister = int16_t TModalAttributes::*;
using TCoordRegister = int32_t TModalAttributes::*;

enum class TValueWidth : uint8_t { Undefined, Word, Coord };

// What one attribute number does: the width of its value and the registers
// it sets. A value with no register is read and ignored.
struct TAttributeEffect {
  TValueWidth Width = TValueWidth::Undefined;
  TWordRegister Word = nullptr;
  TSignedWordRegister SignedWord = nullptr;
  std::array<TCoordRegister, 3> Coords{};
};

constexpr TAttributeEffect Ignored() { return {TValueWidth::Word}; }
constexpr TAttributeEffect Sets(TWordRegister r) { return {TValueWidth::Word, r}; }
constexpr TAttributeEffect Sets(TSignedWordRegister r) { return {TValueWidth::Word, nullptr, r}; }
constexpr TAttributeEffect Sets(TCoordRegister a, TCoordRegister b = nullptr,
                                TCoordRegister c = nullptr) {
  return {TValueWidth::Coord, nullptr, nullptr, {a, b, c}};
}

using M = TModalAttributes;

constexpr std::array<TAttributeEffect, 57> MakeEffects() {
  std::array<TAttributeEffect, 57> e{};
  e[4] = Sets(&M::AttrFlags);
  e[5] = Sets(&M::AttrNet);
  e[6] = Sets(&M::AttrLayer);
  e[7] = Sets(&M::AttrTrackWidth);
  e[8] = Ignored();
  e[9] = Sets(&M::AttrViaSize);
  e[10] = Sets(&M::AttrViaHoleSize);
  e[11] = Ignored();
  e[12] = Sets(&M::AttrViaLayerPair);
  e[13] = Sets(&M::AttrPadTopXSize, &M::AttrPadMidXSize, &M::AttrPadBottomXSize);
  e[14] = Sets(&M::AttrPadTopYSize, &M::AttrPadMidYSize, &M::AttrPadBottomYSize);
  e[15] = Sets(&M::AttrPadTopXSize);
  e[16] = Sets(&M::AttrPadTopYSize);
  e[17] = Sets(&M::AttrPadMidXSize);
  e[18] = Sets(&M::AttrPadMidYSize);
  e[19] = Sets(&M::AttrPadBottomXSize);
  e[20] = Sets(&M::AttrPadBottomYSize);
  e[21] = Sets(&M::AttrPadHoleSize);
  // 22 has no meaning and no value; no group accepts it.
  e[23] = Sets(&M::AttrPadPlaneConnect);
  e[24] = Sets(&M::AttrPadX);
  e[25] = Sets(&M::AttrPadY);
  e[26] = Ignored();
  e[27] = Ignored();
  e[28] = Sets(&M::AttrTextHeight);
  e[29] = Sets(&M::AttrTextFont);
  e[30] = Sets(&M::AttrTextMirrored);
  e[32] = Sets(&M::AttrTextWidth);
  e[44] = Sets(&M::AttrPolygon);
  e[45] = Sets(&M::AttrStateFlag);
  for (int n = 46; n <= 52; ++n) e[n] = Ignored();
  e[53] = Sets(&M::AttrCoordinate);
  e[54] = Sets(&M::AttrDimension);
  e[55] = Sets(&M::AttrViaStartLayer);
  e[56] = Sets(&M::AttrViaEndLayer);
  return e;
}

constexpr std::array<TAttributeEffect, 57> kAttributeEffects = MakeEffects();

// The reader's table of 32-bit attributes and this one must agree.
constexpr bool WidthsAgree() {
  for (uint8_t n = 4; n < kAttributeEffects.size(); ++n)
    if ((kAttributeEffects[n].Width == TValueWidth::Coord) != AttributeHasCoordValue(n)) return false;
  return true;
}
static_assert(WidthsAgree());

void ApplyAttribute(TTokenKind number) {
  const TAttributeEffect& effect = kAttributeEffects[number];
  TModalAttributes& registers = Run().ModalAttributes;
  if (effect.Width == TValueWidth::Coord) {
    int32_t value = 0;
    ReadAttrCoord(value);
    for (TCoordRegister r : effect.Coords)
      if (r) registers.*r = value;
    return;
  }
  int16_t value = 0;
  ReadAttrValue(value);
  if (effect.Word) registers.*effect.Word = static_cast<uint16_t>(value);
  if (effect.SignedWord) registers.*effect.SignedWord = value;
}

}  // namespace

void RunAttributes(TAttributeSet accepted) {
  for (;;) {
    TTokenKind kind = PeekToken();
    // A user's abort does not end it: the attributes belong to the record
    // under way, which is read to its end.
    if (StreamFailed() || !Accepts(accepted, kind) || kind >= kAttributeEffects.size()) return;
    ApplyAttribute(kind);
  }
}

void RunGroupLoop(TAttributeSet accepted, const TRecordLoader& loadRecord,
                  TPcbComponent* component) {
  while (PeekToken() != tkString && !Run().EndReached && !Run().Aborted) {
    RunAttributes(accepted);
    // A record the file does not hold in full builds nothing on the board.
    if (FileEndedEarly()) return;
    uint32_t handle = loadRecord();
    if (FileEndedEarly()) return;
    if (component)
      component->AddToComponent(handle);
    else
      Run().Board->AddObject(handle);
  }
}

}  // namespace pcb9
