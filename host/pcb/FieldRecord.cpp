#include "FieldRecord.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace morvik {

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

constexpr size_t TagWords(size_t slots) { return (slots + 7) / 8; }

}  // namespace

TRecord::TRecord(size_t slots) { Reserve(static_cast<TSlot>(slots == 0 ? 0 : slots - 1)); }

void TRecord::Grow(TSlot slot) {
  // Whole tag words, and at least twice the slots it had: the board's record
  // grows one setting at a time to thousands of slots.
  const size_t needed = std::max<size_t>(size_t{slot} + 1, size_t{Slots_} * 2);
  const size_t slots = std::min<size_t>((needed + 7) / 8 * 8, kNoSlot);
  std::vector<uint64_t> words(slots + TagWords(slots), 0);
  std::copy_n(Words_.begin(), Slots_, words.begin());
  if (Slots_ > 0) std::memcpy(words.data() + slots, TagBytes(), Slots_);  // none yet: no tag block
  Words_ = std::move(words);
  Slots_ = static_cast<TSlot>(slots);
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

template <class T>
T& TRecord::OutOfLine(std::vector<T>& list, TSlot slot, TFieldType type, TValueKind kind) {
  if (Has(slot) && Kind(slot) == kind) {
    Put(slot, type, kind, Words_[slot]);
    return list[Words_[slot]];
  }
  // A slot that held another kind before leaves its old entry unused; that
  // happens only when one name is stored with two kinds of value.
  Put(slot, type, kind, list.size());
  return list.emplace_back();
}

void TRecord::SetText(TSlot slot, TFieldType type, std::string_view value) {
  OutOfLine(Texts_, slot, type, TValueKind::Text).assign(value);
}

std::vector<uint8_t>& TRecord::SetBytes(TSlot slot, TFieldType type) {
  return OutOfLine(Blocks_, slot, type, TValueKind::Bytes);
}

void TRecord::Erase(TSlot slot) {
  if (slot < Slots_) TagBytes()[slot] = 0;
}

}  // namespace morvik
