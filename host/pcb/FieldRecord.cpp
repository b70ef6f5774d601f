#include "FieldRecord.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace morvik {

constinit std::array<TLayout, kLayoutCount> gLayouts{};

// --- field ids ---------------------------------------------------------------------

namespace {

struct TFieldNames {
  std::deque<std::string> Names;  // by id; a deque keeps the views stable
  std::unordered_map<std::string_view, TFieldId> Ids;
};

TFieldNames& Names() {
  static TFieldNames names;
  return names;
}

}  // namespace

TFieldId InternField(std::string_view name) {
  TFieldNames& names = Names();
  if (auto it = names.Ids.find(name); it != names.Ids.end()) return it->second;
  // The module's names are a few hundred plus the board's indexed keys; a
  // caller inventing names without end would meet this bound, not memory's.
  if (names.Names.size() >= kNoField) return kNoField;
  const auto id = static_cast<TFieldId>(names.Names.size());
  names.Ids.emplace(names.Names.emplace_back(name), id);
  return id;
}

TFieldId FindField(std::string_view name) {
  const TFieldNames& names = Names();
  auto it = names.Ids.find(name);
  return it == names.Ids.end() ? kNoField : it->second;
}

std::string_view FieldName(TFieldId id) {
  const TFieldNames& names = Names();
  return id < names.Names.size() ? std::string_view(names.Names[id]) : std::string_view();
}

// --- layouts -------------------------------------------------------------------------

TSlot TLayout::AddNewSlot(TFieldId id) {
  if (id == kNoField) return kNoSlot;
  if (Fields_.size() >= kNoSlot) return kNoSlot;
  if (Slots_.size() <= id) Slots_.resize(size_t{id} + 1, kNoSlot);
  const auto slot = static_cast<TSlot>(Fields_.size());
  Slots_[id] = slot;
  Fields_.push_back(id);
  ByName_.clear();
  return slot;
}

std::span<const TSlot> TLayout::SlotsByName() const {
  if (ByName_.size() != Fields_.size()) {
    ByName_.resize(Fields_.size());
    for (size_t s = 0; s < ByName_.size(); ++s) ByName_[s] = static_cast<TSlot>(s);
    std::sort(ByName_.begin(), ByName_.end(),
              [&](TSlot a, TSlot b) { return FieldName(Fields_[a]) < FieldName(Fields_[b]); });
  }
  return ByName_;
}

// --- records -----------------------------------------------------------------------

namespace {

// The first arena of a record: most objects' texts fit, in one allocation.
constexpr size_t kFirstArena = 64;
// Offsets and sizes are 32-bit: a record's texts stop there (in whole words).
constexpr size_t kMaxArena = 0xFFFFFFF8u;

}  // namespace

TRecord::TRecord(size_t slots) { Reserve(static_cast<TSlot>(slots == 0 ? 0 : slots - 1)); }

TRecord::TRecord(const TRecord& other, size_t slots, size_t textBytes)
    : Blocks_(other.Blocks_ ? std::make_unique<std::vector<std::vector<uint8_t>>>(*other.Blocks_)
                            : nullptr) {
  // Its room beyond the last stored slot is not copied.
  size_t used = other.Slots_;
  while (used > 0 && other.TagBytes()[used - 1] == 0) --used;
  const size_t live = other.ArenaUsed_ - other.ArenaDead_;
  Rebuild(other, used, std::min<size_t>(std::max(slots, used), kNoSlot), std::max(live, textBytes));
}

TRecord::~TRecord() { delete[] Words_; }

void TRecord::Swap(TRecord& other) noexcept {
  std::swap(Words_, other.Words_);
  std::swap(ArenaUsed_, other.ArenaUsed_);
  std::swap(ArenaCapacity_, other.ArenaCapacity_);
  std::swap(ArenaDead_, other.ArenaDead_);
  std::swap(Slots_, other.Slots_);
  Blocks_.swap(other.Blocks_);
}

void TRecord::Grow(TSlot slot) {
  // Whole tag words, and at least twice the slots it had: the board's record
  // grows one setting at a time to thousands of slots.
  const size_t needed = std::max<size_t>(size_t{slot} + 1, size_t{Slots_} * 2);
  const size_t slots = std::min<size_t>((needed + 7) / 8 * 8, kNoSlot);
  Rebuild(*this, Slots_, slots, ArenaCapacity_);
}

void TRecord::Rebuild(const TRecord& from, size_t used, size_t slots, size_t capacity) {
  capacity = (capacity + 7) / 8 * 8;
  const size_t words = slots + TagWords(slots) + capacity / 8;
  uint64_t* block = words > 0 ? new uint64_t[words]() : nullptr;
  std::copy_n(from.Words_, used, block);
  if (used > 0) std::memcpy(block + slots, from.TagBytes(), used);
  char* arena = reinterpret_cast<char*>(block + slots + TagWords(slots));
  uint32_t at = 0;
  const auto* tags = reinterpret_cast<const uint8_t*>(block + slots);
  for (size_t s = 0; s < used; ++s) {
    if (!IsText(tags[s])) continue;
    const uint32_t size = TextSize(block[s]);
    if (size > 0) std::memcpy(arena + at, from.Arena() + TextOffset(block[s]), size);
    block[s] = TextWord(size > 0 ? at : 0, size);
    at += size;
  }
  delete[] Words_;
  Words_ = block;
  Slots_ = static_cast<TSlot>(slots);
  ArenaUsed_ = at;
  ArenaCapacity_ = static_cast<uint32_t>(capacity);
  ArenaDead_ = 0;
}

void TRecord::MakeRoom(size_t more) {
  if (ArenaUsed_ + more <= ArenaCapacity_) return;
  const size_t live = ArenaUsed_ - ArenaDead_;
  // Packing alone makes room when half the arena is dead; otherwise the
  // arena doubles, packed on the way.
  const size_t capacity = ArenaDead_ * 2 >= ArenaUsed_ && live + more <= ArenaCapacity_
                              ? ArenaCapacity_
                              : std::max({live + more, size_t{ArenaCapacity_} * 2, kFirstArena});
  Rebuild(*this, Slots_, Slots_, std::min(capacity, kMaxArena));
}

std::optional<double> TRecord::Real(TSlot slot) const {
  if (!HasKind(slot, TValueKind::Real)) return std::nullopt;
  double value;
  std::memcpy(&value, &Words_[slot], sizeof value);
  return value;
}

bool TRecord::SetReal(TSlot slot, TFieldType type, double value) {
  uint64_t word;
  std::memcpy(&word, &value, sizeof word);
  return Put(slot, type, TValueKind::Real, word);
}

void TRecord::SetText(TSlot slot, TFieldType type, std::string_view value) {
  // A view into this arena would move with it: copied out first.
  if (!value.empty() && value.data() >= Arena() && value.data() < Arena() + ArenaUsed_)
    return SetText(slot, type, std::string(value));
  Reserve(slot);
  const std::optional<std::string_view> old =
      IsText(TagBytes()[slot]) ? Text(slot) : std::optional<std::string_view>();
  if (old && value.size() <= old->size()) {
    // Fits where the old text was: no new bytes.
    const uint32_t offset = value.empty() ? 0 : TextOffset(Words_[slot]);
    if (!value.empty()) std::memcpy(Arena() + offset, value.data(), value.size());
    ArenaDead_ += static_cast<uint32_t>(old->size() - value.size());
    Put(slot, type, TValueKind::Text, TextWord(offset, static_cast<uint32_t>(value.size())));
    return;
  }
  if (old) ArenaDead_ += static_cast<uint32_t>(old->size());
  Put(slot, type, TValueKind::Text, 0);  // empty while the arena moves
  MakeRoom(value.size());
  const size_t size = std::min<size_t>(value.size(), ArenaCapacity_ - ArenaUsed_);
  if (size > 0) std::memcpy(Arena() + ArenaUsed_, value.data(), size);
  Words_[slot] = TextWord(size > 0 ? ArenaUsed_ : 0, static_cast<uint32_t>(size));
  ArenaUsed_ += static_cast<uint32_t>(size);
}

void TRecord::SetStaticText(TSlot slot, TFieldType type, const char* text) {
  Reserve(slot);
  uint8_t& tag = TagBytes()[slot];
  if (IsText(tag)) ArenaDead_ += TextSize(Words_[slot]);
  Words_[slot] = reinterpret_cast<uintptr_t>(text);
  tag = MakeTag(type, TValueKind::Text) | kStaticText;
}

std::vector<uint8_t>& TRecord::SetBytes(TSlot slot, TFieldType type) {
  // Most records with blocks hold one (a pad's corner percentages): the
  // list grows as blocks come.
  if (!Blocks_) Blocks_ = std::make_unique<std::vector<std::vector<uint8_t>>>();
  if (Has(slot) && Kind(slot) == TValueKind::Bytes) {
    Put(slot, type, TValueKind::Bytes, Words_[slot]);
    return (*Blocks_)[Words_[slot]];
  }
  // A slot that held another kind before leaves its old block unused; that
  // happens only when one name is stored with two kinds of value.
  Put(slot, type, TValueKind::Bytes, Blocks_->size());
  return Blocks_->emplace_back();
}

void TRecord::Erase(TSlot slot) {
  if (slot >= Slots_) return;
  if (IsText(TagBytes()[slot])) ArenaDead_ += TextSize(Words_[slot]);
  TagBytes()[slot] = 0;
}

}  // namespace morvik
