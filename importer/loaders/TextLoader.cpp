#include "TextLoader.h"

#include <cmath>

#include "PrimitiveRecord.h"
#include "proxies/Primitives.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

constexpr int32_t kMil = 10000;
constexpr int32_t kFirstFont = 1, kLastFont = 3;

// Nearest integer of numerator / denominator (denominator > 0), halves to even.
int64_t RoundedQuotient(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    quotient -= 1;
    remainder += denominator;
  }
  if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
    ++quotient;
  return quotient;
}

// Level 0 keeps whole mils: three decimals of mils, then the nearest mil.
int32_t WholeMils(int32_t units) {
  return MilsToUnitsRounded(std::nearbyint(UnitsToMils(units)));
}

int32_t StrokeWidthForLevel(int32_t height) {
  const int16_t level = Run().FormatLevel;
  if (level >= 8) return Run().ModalAttributes.AttrTextWidth;
  const int32_t width = StrokeWidthFromHeight(height);
  return level >= 1 ? width : WholeMils(width);
}

int32_t FontInRange(int16_t font) {
  return font < kFirstFont || font > kLastFont ? kFirstFont : font;
}

void SkipCoords(int count) {
  int32_t ignored = 0;
  for (int i = 0; i < count; ++i) ReadCoord(ignored);
}

}  // namespace

int32_t StrokeWidthFromHeight(int32_t height) {
  const int64_t c = RoundedQuotient(height, 10);
  if (c <= 3 * kMil) return 6 * kMil;
  if (c < 6 * kMil) return static_cast<int32_t>(6 * kMil + RoundedQuotient((c - 3 * kMil) * 2, 3));
  if (c < 8 * kMil) return 8 * kMil;
  return static_cast<int32_t>(c);
}

void ReadTextAttributes() { RunAttributes(AcceptedAttributes::Text); }

uint32_t LoadText() {
  TPcbText text(PcbApi_CreateObject(kTextKind));
  BeginPrimitive(text);
  // A record whose string is missing stores an empty text, not the host's.
  text.Text.Clear();
  ApplyFlagsAndLayer(text);
  const TModalAttributes& a = Run().ModalAttributes;
  text.OwnerCoordinate = SignExtend(a.AttrCoordinate);
  text.OwnerDimension = SignExtend(a.AttrDimension);
  text.Height = a.AttrTextHeight;
  text.Mirrored = a.AttrTextMirrored != 0;
  text.Font = FontInRange(a.AttrTextFont);
  text.Width = StrokeWidthForLevel(text.Height);

  ReadCoord(text.X);
  ReadCoord(text.Y);
  ReadReal(text.Rotation);
  SkipCoords(4);
  TShortString value;
  ReadString(value);
  // The host's text holds 254 characters; a 255-character token loses its last.
  text.SetText(value.View());

  return StorePrimitive(text, 0);  // texts take no net
}

void LoadTextGroup(TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Text, LoadText, component);
}

}  // namespace pcb9
