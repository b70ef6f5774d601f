#pragma once
// Attribute tokens and the modal registers they set. An attribute does not
// belong to one record: it sets a register that keeps its value for every
// later record of every later group until the attribute is given again.
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "run/ModalRegisters.h"
#include "stream/TokenStream.h"

namespace pcb9 {

class TPcbComponent;

// Every register to 0, `AttrStateFlag` to 1. Once per import.
void ResetModalAttributes();

// The attribute numbers a group's attribute run accepts: bit n for number n.
using TAttributeSet = uint64_t;

constexpr TAttributeSet AttributeSet(std::initializer_list<int> numbers) {
  TAttributeSet set = 0;
  for (int n : numbers) set |= TAttributeSet{1} << n;
  return set;
}
constexpr TAttributeSet AttributeRange(int first, int last) {
  TAttributeSet set = 0;
  for (int n = first; n <= last; ++n) set |= TAttributeSet{1} << n;
  return set;
}
constexpr bool Accepts(TAttributeSet set, TTokenKind kind) {
  return kind < 64 && ((set >> kind) & 1u) != 0;
}

// Accepted sets of the record groups.
namespace AcceptedAttributes {
constexpr TAttributeSet Pad = AttributeSet({4, 5, 6}) | AttributeRange(13, 21) |
                              AttributeRange(23, 27) | AttributeRange(45, 52);
constexpr TAttributeSet Track = AttributeRange(4, 8) | AttributeSet({44, 45, 53, 54});
constexpr TAttributeSet Arc = AttributeSet({4, 5, 6, 44, 45});
constexpr TAttributeSet Fill = Arc;
constexpr TAttributeSet Via =
    AttributeSet({4, 5}) | AttributeRange(9, 12) | AttributeSet({45}) | AttributeRange(47, 52) |
    AttributeSet({55, 56});
constexpr TAttributeSet Text = AttributeSet({4, 6, 28, 29, 30, 32, 45, 53, 54});
constexpr TAttributeSet PolygonGroup = AttributeSet({5, 6});
constexpr TAttributeSet PolygonSegment = AttributeSet({4, 5, 6, 44, 45});
constexpr TAttributeSet Coordinate = AttributeSet({6});
constexpr TAttributeSet Dimension = AttributeSet({6});
}  // namespace AcceptedAttributes

// Consumes attribute tokens while they are in the accepted set, applying
// each to its registers. Anything else ends the run unconsumed.
void RunAttributes(TAttributeSet accepted);

// The loop every record group shares: attribute run, record, add the
// record's object to the component (when one is given) or to the board,
// until the next string token, the end of the data or an abort.
using TRecordLoader = std::function<uint32_t()>;
void RunGroupLoop(TAttributeSet accepted, const TRecordLoader& loadRecord,
                  TPcbComponent* component);

// A 16-bit register as the 32-bit number the proxies store.
inline uint32_t SignExtend(int16_t value) {
  return static_cast<uint32_t>(static_cast<int32_t>(value));
}

}  // namespace pcb9
