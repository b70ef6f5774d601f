#pragma once
// How an object keeps its fields. Every field name gets a number once (its
// id, the same in every kind); each kind numbers the fields its objects have
// been given (its layout: id -> slot); an object keeps one 64-bit word and
// one tag per slot, with its texts and byte blocks beside them. Exchanges
// find a field by its id and slot, never by its name.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ModuleData.h"

namespace morvik {

// How a field crosses the interface (the pointee type) and how it is shown.
enum class TFieldType : uint8_t {
  Bool,       // uint8_t, 0/1
  U8,         // uint8_t
  I16,        // int16_t
  U16,        // uint16_t
  I32,        // int32_t
  U32,        // uint32_t
  Handle,     // uint32_t, another object's handle
  LayerCode,  // uint32_t layer code
  LayerId,    // uint8_t host layer id
  Real,       // double
  Text,       // 256-byte length-prefixed string
  Bytes,      // raw block of `Size` bytes
};

// --- field ids ---------------------------------------------------------------------

using TFieldId = uint16_t;
constexpr TFieldId kNoField = 0xFFFF;

// The id of a name, numbering it when it is new.
TFieldId InternField(std::string_view name);
// The id of a name, kNoField for a name never numbered (reads need no new id).
TFieldId FindField(std::string_view name);
std::string_view FieldName(TFieldId id);

// A field name numbered once, for reads by name on paths taken per object
// (e.g. a function-local static).
class TFieldName {
 public:
  explicit TFieldName(std::string_view name) : Id_(InternField(name)) {}
  TFieldId Id() const { return Id_; }

 private:
  TFieldId Id_;
};

// --- layouts -------------------------------------------------------------------------

using TSlot = uint16_t;
constexpr TSlot kNoSlot = 0xFFFF;

// The slots of one kind, added as fields are first stored in its objects.
class TLayout {
 public:
  TSlot SlotOf(TFieldId id) const { return id < Slots_.size() ? Slots_[id] : kNoSlot; }
  // The slot of a field, added when the kind never had it.
  TSlot AddSlot(TFieldId id) {
    const TSlot slot = SlotOf(id);
    return slot != kNoSlot ? slot : AddNewSlot(id);
  }
  TFieldId FieldAt(TSlot slot) const { return Fields_[slot]; }
  size_t SlotCount() const { return Fields_.size(); }
  // Every slot, its field names in byte order (the order the dump shows).
  std::span<const TSlot> SlotsByName() const;
  // The text bytes an object of this layout has needed at most (up to a
  // bound): a new object's arena is made that large at once.
  size_t TextBytes() const { return TextBytes_; }
  void NoteTextBytes(size_t bytes) {
    if (bytes > TextBytes_) TextBytes_ = static_cast<uint32_t>(std::min<size_t>(bytes, kMaxTextBytesHint));
  }

 private:
  TSlot AddNewSlot(TFieldId id);

  std::vector<TSlot> Slots_;      // by field id
  std::vector<TFieldId> Fields_;  // by slot
  mutable std::vector<TSlot> ByName_;
  static constexpr size_t kMaxTextBytesHint = 256;
  uint32_t TextBytes_ = 0;
};

// Layouts by number: one per object kind (0..255), then one per rule kind
// (kRuleLayouts + rule kind): rules are most of a large board's objects and
// each has only its own kind's constraint fields, so they are laid out by
// rule kind. Constant-initialised, so usable from any static initialiser,
// and found without a call on every field exchanged. The module's own
// (FieldRecord.cpp): the program reads objects through the same layouts.
using TLayoutId = uint16_t;
constexpr TLayoutId kRuleLayouts = 256;
constexpr size_t kLayoutCount = kRuleLayouts + 64;
extern MORVIK_DATA std::array<TLayout, kLayoutCount> gLayouts;
inline TLayout& LayoutOf(TLayoutId layout) { return gLayouts[layout]; }

// --- records -----------------------------------------------------------------------

// What a stored value is held as (the index of its alternative in TValue).
enum class TValueKind : uint8_t { Int, Real, Text, Bytes };

// One object's values by slot. A slot never stored reads as absent; a
// record grows when its kind's layout has grown since it was made.
//
// A document holds a million of these, so a record is one block: the
// slots' words, their tags, then one byte arena for all its texts (a text
// slot's word is its offset and length there; an empty text takes no
// bytes). A text changed to a longer one is appended and its old bytes left
// dead until half the arena is dead, when the live texts are packed again.
// Byte blocks, which few kinds store, are kept apart.
class TRecord {
 public:
  explicit TRecord(size_t slots = 0);
  // A copy of `other` laid out for `slots` slots (or its own, if more),
  // with room for `textBytes` bytes of texts (or its own, if more),
  // allocated once: a new object copies its kind's prototype this way.
  TRecord(const TRecord& other, size_t slots, size_t textBytes = 0);
  TRecord(const TRecord& other) : TRecord(other, 0) {}
  TRecord(TRecord&& other) noexcept { Swap(other); }
  TRecord& operator=(TRecord other) noexcept {
    Swap(other);
    return *this;
  }
  ~TRecord();

  bool Has(TSlot slot) const { return Tag(slot) != 0; }
  TFieldType Type(TSlot slot) const { return static_cast<TFieldType>(Tag(slot) & 0x0F); }
  TValueKind Kind(TSlot slot) const { return static_cast<TValueKind>((Tag(slot) >> 4) & 0x03); }
  // The value when the slot holds one of that kind.
  std::optional<int64_t> Int(TSlot slot) const {
    if (!HasKind(slot, TValueKind::Int)) return std::nullopt;
    return static_cast<int64_t>(Words_[slot]);
  }
  std::optional<double> Real(TSlot slot) const;
  // A view into the record, valid until its next change.
  std::optional<std::string_view> Text(TSlot slot) const {
    if (!HasKind(slot, TValueKind::Text)) return std::nullopt;
    if (TagBytes()[slot] & kStaticText)
      return std::string_view(reinterpret_cast<const char*>(static_cast<uintptr_t>(Words_[slot])));
    return std::string_view(Arena() + TextOffset(Words_[slot]), TextSize(Words_[slot]));
  }
  const std::vector<uint8_t>* Bytes(TSlot slot) const {
    return HasKind(slot, TValueKind::Bytes) ? &(*Blocks_)[Words_[slot]] : nullptr;
  }

  // Each returns whether the slot's value or kind changed.
  bool SetInt(TSlot slot, TFieldType type, int64_t value) {
    return Put(slot, type, TValueKind::Int, static_cast<uint64_t>(value));
  }
  bool SetReal(TSlot slot, TFieldType type, double value);
  void SetText(TSlot slot, TFieldType type, std::string_view value);
  // Stores a text that lives as long as the program (a name from a constant
  // table) by its address: no arena bytes, whatever the number of records.
  void SetStaticText(TSlot slot, TFieldType type, const char* text);
  // The slot's block to change in place (empty when the slot held none).
  std::vector<uint8_t>& SetBytes(TSlot slot, TFieldType type);
  void Erase(TSlot slot);

  // The slots it has room for and the bytes its text arena holds, live or
  // dead (tests of its growth and packing).
  size_t SlotCapacity() const { return Slots_; }
  size_t ArenaSize() const { return ArenaUsed_; }

 private:
  uint8_t Tag(TSlot slot) const { return slot < Slots_ ? TagBytes()[slot] : 0; }
  // On a text's tag: the word is the address of a program-long text, not a
  // place in the arena.
  static constexpr uint8_t kStaticText = 0x40;
  static constexpr uint8_t MakeTag(TFieldType type, TValueKind kind) {
    return static_cast<uint8_t>(0x80 | static_cast<uint8_t>(kind) << 4 | static_cast<uint8_t>(type));
  }
  bool HasKind(TSlot slot, TValueKind kind) const {
    const uint8_t tag = Tag(slot);
    return tag != 0 && static_cast<TValueKind>((tag >> 4) & 0x03) == kind;
  }
  const uint8_t* TagBytes() const { return reinterpret_cast<const uint8_t*>(Words_ + Slots_); }
  uint8_t* TagBytes() { return reinterpret_cast<uint8_t*>(Words_ + Slots_); }
  // The words the tags of `slots` slots take, whole.
  static constexpr size_t TagWords(size_t slots) { return (slots + 7) / 8; }
  // The arena starts after the tags' whole words.
  const char* Arena() const { return reinterpret_cast<const char*>(Words_ + Slots_ + TagWords(Slots_)); }
  char* Arena() { return reinterpret_cast<char*>(Words_ + Slots_ + TagWords(Slots_)); }
  void Reserve(TSlot slot) {
    if (slot >= Slots_) Grow(slot);
  }
  void Grow(TSlot slot);
  // Puts the word and the tag; true when either changed.
  bool Put(TSlot slot, TFieldType type, TValueKind kind, uint64_t word) {
    Reserve(slot);
    const uint8_t tag = MakeTag(type, kind);
    uint8_t& oldTag = TagBytes()[slot];
    const bool changed = Words_[slot] != word || (oldTag & 0xF0) != (tag & 0xF0);
    if (IsText(oldTag) && kind != TValueKind::Text) ArenaDead_ += TextSize(Words_[slot]);
    Words_[slot] = word;
    oldTag = tag;
    return changed;
  }
  // A text in the arena (a static text takes none of its bytes).
  static bool IsText(uint8_t tag) {
    return tag != 0 && (tag & kStaticText) == 0 &&
           static_cast<TValueKind>((tag >> 4) & 0x03) == TValueKind::Text;
  }
  // A text slot's word: offset in the arena (low half) and size (high half).
  static uint32_t TextOffset(uint64_t word) { return static_cast<uint32_t>(word); }
  static uint32_t TextSize(uint64_t word) { return static_cast<uint32_t>(word >> 32); }
  static uint64_t TextWord(uint32_t offset, uint32_t size) { return uint64_t{size} << 32 | offset; }
  // Room for `more` bytes at the arena's end, its live texts packed first
  // when half of it is dead.
  void MakeRoom(size_t more);
  // Makes this record's block anew for `slots` slots and an arena of at
  // least `capacity` bytes, from `from` (this record or another): its
  // words and tags up to `used` slots, and its live texts packed in slot
  // order.
  void Rebuild(const TRecord& from, size_t used, size_t slots, size_t capacity);
  void Swap(TRecord& other) noexcept;

  // Slots_ value words, then one tag byte per slot (0: never stored; else
  // 0x80 | static text 0x40 | kind << 4 | type) in whole words, then the
  // arena's ArenaCapacity_ bytes, in one block.
  uint64_t* Words_ = nullptr;
  uint32_t ArenaUsed_ = 0, ArenaCapacity_ = 0, ArenaDead_ = 0;
  TSlot Slots_ = 0;
  // Byte blocks, made for the few kinds that store any.
  std::unique_ptr<std::vector<std::vector<uint8_t>>> Blocks_;
};

}  // namespace morvik
