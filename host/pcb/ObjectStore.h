#pragma once
// How the document keeps the parts of objects that are more than one value:
// a pad's per-layer arrays, an outline's segment records, a dimension's
// references and a rule's constraint values. The object queries and the
// dump share these definitions.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "Document.h"

namespace morvik {

constexpr unsigned kLayerIdCount = 83;  // host layer ids 0..82

// --- per-layer arrays of a pad ---------------------------------------------------
// Each array is one byte block of kLayerIdCount entries of `Width` bytes
// (little-endian), indexed by host layer id.
struct TLayerArray {
  TLayerArray(const char* name, unsigned width) : Name(name), Width(width), Field(name) {}
  const char* Name;
  unsigned Width;  // 1 or 4
  TFieldName Field;
};
extern MORVIK_DATA const TLayerArray kLayerXSize, kLayerYSize, kLayerShape, kLayerCornerPercent;
std::span<const TLayerArray* const> LayerArrays();
const TLayerArray* FindLayerArray(std::string_view name);

// A little-endian 32-bit entry of a stored block.
inline int32_t ReadI32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                              uint32_t{p[3]} << 24);
}

// One per-layer array of an object, its block looked up once (entries
// never stored read as 0).
class TLayerEntries {
 public:
  TLayerEntries(const TObject& pad, const TLayerArray& array)
      : Block_(pad.Bytes(array.Field)), Width_(array.Width) {}
  int64_t At(unsigned id) const {
    if (id >= kLayerIdCount) return 0;
    const size_t at = size_t{id} * Width_;
    if (!Block_ || at + Width_ > Block_->size()) return 0;
    const uint8_t* p = Block_->data() + at;
    return Width_ == 4 ? ReadI32(p) : *p;
  }

 private:
  const std::vector<uint8_t>* Block_;
  unsigned Width_;
};

inline int64_t LayerArrayValue(const TObject& object, const TLayerArray& array, unsigned id) {
  return TLayerEntries(object, array).At(id);
}
void SetLayerArrayValue(TObject& object, const TLayerArray& array, unsigned id, int64_t value);
// Every entry of an array, signed for 4-byte entries.
std::vector<int64_t> LayerArrayValues(const TObject& object, const TLayerArray& array);

// --- outline segments ----------------------------------------------------------------
// "Segments" holds entries 0..SegmentCount as 37-byte records laid out as
// the importer's: kind byte, X, Y, centre X, centre Y, radius (32-bit),
// start and end angle (64-bit reals).
constexpr unsigned kSegmentSize = 37;
constexpr int32_t kMaxSegmentIndex = 5000;
struct TSegment {
  uint8_t SegKind = 0;
  int32_t SegX = 0, SegY = 0, SegCenterX = 0, SegCenterY = 0, SegRadius = 0;
  double SegStartAngle = 0, SegEndAngle = 0;
};
TSegment DecodeSegment(const uint8_t* record);
// The stored entries (SegmentCount + 1 of them, none for a negative count).
std::vector<TSegment> StoredSegments(const TObject& object);
// Exchanges "SegmentCount" and the records in use with a caller's array of
// kMaxSegmentIndex + 1 records; counts are kept within -1..kMaxSegmentIndex
// so neither side reads or writes past that array.
void ExchangeSegments(uint8_t dir, TObject& object, int32_t* count, void* records);

// --- dimension references -----------------------------------------------------------
// "References" holds ReferenceCount entries of four 32-bit values.
constexpr int32_t kMaxStoredReferences = 100000;
struct TReference {
  int32_t Values[4] = {};
};
std::vector<TReference> StoredReferences(const TObject& object);
void SetStoredReferences(TObject& object, const std::vector<TReference>& references);

// --- rule constraints ---------------------------------------------------------------
// Each constraint query stores its values under their own names and its
// name under "ConstraintQuery", so the dump shows the last one stored. A
// query serves the rules of its own rule kind only.
struct TConstraintQuery {
  const char* Name;  // the host function's name
  uint8_t RuleKind;
  std::span<const TFieldInfo> Values;
};
std::span<const TConstraintQuery> ConstraintQueries();
const TConstraintQuery* FindConstraintQuery(std::string_view name);
// Exchanges the values of the constraint query `call` with a rule; a store
// also records `call` as the rule's last constraint query. A handle that is
// not a rule of the query's rule kind is refused (Checks.h).
int32_t ExchangeConstraint(uint8_t dir, uint32_t rule, const char* call,
                           std::initializer_list<void*> pointers);

}  // namespace morvik
