#pragma once
// The reference host's in-memory PCB document: every object the PCB module
// hands out, by handle, with its fields kept as a typed record per kind
// (FieldRecord.h). The exported PcbApi_ functions (one source file per
// group) exchange fields with callers through field tables: each query
// function lists its pointers' names and types once, every name numbered
// when the table is made, and one routine copies between the pointers and
// the record slot by slot.
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "FieldRecord.h"
#include "KeySet.h"

namespace morvik {

// What the host knows of one field: its name, type and, for bytes, size.
struct TFieldInfo {
  TFieldInfo(const char* name, TFieldType type, uint32_t size = 0)
      : Name(name), Type(type), Size(size), Id(InternField(name)) {}
  const char* Name;
  TFieldType Type;
  uint32_t Size = 0;  // Bytes: block size
  TFieldId Id;        // the name's number, taken when the table is made
};

using TValue = std::variant<int64_t, double, std::string, std::vector<uint8_t>>;

// The lists only containers and object classes keep, made when first
// written and copied with their object.
class TObjectLists {
 public:
  TObjectLists() = default;
  TObjectLists(const TObjectLists& other) { *this = other; }
  TObjectLists& operator=(const TObjectLists& other) {
    if (this != &other) Lists_ = other.Lists_ ? std::make_unique<TLists>(*other.Lists_) : nullptr;
    return *this;
  }
  TObjectLists(TObjectLists&&) noexcept = default;
  TObjectLists& operator=(TObjectLists&&) noexcept = default;

  // A container's members, in the order added.
  const std::vector<uint32_t>& Members() const { return Lists_ ? Lists_->Members : kNoMembers; }
  std::vector<uint32_t>& MutableMembers() { return Lists().Members; }
  // An object class's member names, in order.
  const std::vector<std::string>& ClassMembers() const {
    return Lists_ ? Lists_->ClassMembers : kNoClassMembers;
  }
  std::vector<std::string>& MutableClassMembers() { return Lists().ClassMembers; }

 private:
  struct TLists {
    std::vector<uint32_t> Members;
    std::vector<std::string> ClassMembers;
  };
  static MORVIK_DATA const std::vector<uint32_t> kNoMembers;
  static MORVIK_DATA const std::vector<std::string> kNoClassMembers;

  TLists& Lists() {
    if (!Lists_) Lists_ = std::make_unique<TLists>();
    return *Lists_;
  }

  std::unique_ptr<TLists> Lists_;
};

struct TObject {
  TObject() = default;
  // An empty object of kind `kind`, laid out as that kind or by `layout`.
  explicit TObject(uint8_t kind) : TObject(kind, kind) {}
  TObject(uint8_t kind, TLayoutId layout);
  // A copy of a kind's prototype, its record made once for every slot its
  // kind has by now (no growth when its first fields are stored).
  enum TFromPrototype { kFromPrototype };
  TObject(const TObject& prototype, TFromPrototype);
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  TObject(TObject&&) = default;
  TObject& operator=(TObject&&) = default;

  uint32_t Handle = 0;
  uint8_t Kind = 0;
  bool Deleted = false;     // removed from its container
  // Containers that are not owners (nets, polygons...): most objects are in
  // one at most, kept in `Group`; the document keeps the others
  // (TDocument::HasMember).
  bool InMoreGroups = false;
  uint32_t Container = 0;   // board or component that owns it, 0 for none
  uint32_t Group = 0;
  TObjectLists Lists;  // members of containers and object classes

  // Fields by name, for writers, tests and the dump; a field never stored,
  // or stored as another kind of value, gives the fallback.
  int64_t Int(std::string_view name, int64_t fallback = 0) const;
  int64_t Int(TFieldName name, int64_t fallback = 0) const {
    return Record_.Int(SlotOf(name.Id())).value_or(fallback);
  }
  double Real(std::string_view name, double fallback = 0) const;
  std::string Text(std::string_view name, const std::string& fallback = {}) const;
  std::string Text(TFieldName name, const std::string& fallback = {}) const;
  // The text without a copy (empty when none is stored), valid until the
  // object's next change.
  std::string_view TextView(TFieldName name) const {
    return Record_.Text(SlotOf(name.Id())).value_or(std::string_view());
  }
  const std::vector<uint8_t>* Bytes(TFieldName name) const { return Record_.Bytes(SlotOf(name.Id())); }
  bool Has(std::string_view name) const;
  std::optional<TValue> Value(std::string_view name) const;
  // Every stored field, by name.
  std::map<std::string, TValue> StoredFields() const;

  void Set(std::string_view name, TFieldType type, TValue value);
  void Set(TFieldName name, TFieldType type, TValue value);
  // Stores a text without making a value of it first.
  void SetText(TFieldName name, std::string_view text);
  // Stores a text that lives as long as the program (TRecord::SetStaticText).
  void SetStaticText(TFieldName name, const char* text);
  // The field's byte block to change in place; a field that held no block
  // starts empty.
  std::vector<uint8_t>& MutableBytes(TFieldName name, TFieldType type = TFieldType::Bytes);
  void Erase(std::string_view name);

  // The exchange of one field with a caller's pointer (fetch: record ->
  // pointer, a field never stored giving 0 or empty; store: pointer ->
  // record).
  void Fetch(const TFieldInfo& field, void* to) const;
  void Store(const TFieldInfo& field, const void* from);

  // The rule kind of the layout it was made with, for a rule laid out by
  // its rule kind (TDocument::CreateRule).
  std::optional<uint8_t> RuleLayoutKind() const {
    if (Layout_ < kRuleLayouts) return std::nullopt;
    return static_cast<uint8_t>(Layout_ - kRuleLayouts);
  }

  // The record and its layout, slot by slot (the dump).
  const TLayout& Layout() const { return LayoutOf(Layout_); }
  const TRecord& Record() const { return Record_; }

 private:
  TSlot SlotOf(TFieldId id) const { return Layout().SlotOf(id); }
  TSlot AddSlot(TFieldId id) { return LayoutOf(Layout_).AddSlot(id); }
  void Put(TSlot slot, TFieldType type, const TValue& value);
  void PutText(TSlot slot, TFieldType type, std::string_view text);
  void Changed(TFieldId id);

  TLayoutId Layout_ = 0;  // as it was made: Kind may be changed later
  TRecord Record_;
};

// Default field values of a new object of a kind (the values a real editor
// gives a new object).
using TDefaults = std::vector<std::pair<TFieldInfo, TValue>>;

// What a board iterator's walk depends on (IteratorApi.cpp keeps walks until
// one of these moves). `Owners` moves when an object joins or leaves the
// board or a component, when the layer of any object or the text handles of
// a component change, and on Reset; `Groups` when an object joins or leaves
// any other container.
struct TWalkEpochs {
  uint64_t Owners = 0;
  uint64_t Groups = 0;
};
const TWalkEpochs& WalkEpochs();

// Moves on every change of any object's fields, every new object and Reset:
// what is worked out from stored fields may be kept while it stands still.
extern MORVIK_DATA uint64_t gFieldWrites;

class TDocument {
 public:
  static TDocument& Instance() { return Instance_ ? *Instance_ : MakeInstance(); }

  // Back to the new board (tests, the fuzzer and a new host run).
  void Reset();

  // A new object of that kind with the kind's defaults, in no container.
  TObject& Create(uint8_t kind);
  // A new rule of that rule kind (0..kRuleKindCount - 1), laid out by it.
  TObject& CreateRule(uint8_t ruleKind);
  TObject* Find(uint32_t handle) {
    return handle >= 1 && handle <= ByHandle_.size() ? ByHandle_[handle - 1] : nullptr;
  }
  // Every object in creation order (handle ascending), deleted ones included.
  const std::deque<TObject>& Objects() const { return Objects_; }

  // Registers the defaults of a kind; later registrations add to earlier ones.
  void AddDefaults(uint8_t kind, const TDefaults& defaults);

  uint32_t BoardHandle() const { return Board_; }

  // Gives a rule made by CreateRule whose kind was changed the defaults of
  // every rule kind that it has not stored itself.
  void RuleKindChanged(TObject& rule) const;

  // Container membership (AddObjectToContainer, DeleteObjectFromContainer):
  // an owner (the board or a component) also becomes the object's
  // `Container`; other containers hold the object besides its owner.
  bool HasMember(const TObject& container, const TObject& object) const;
  void AddMember(TObject& container, TObject& object);
  // False when the object was not a member.
  bool RemoveMember(TObject& container, TObject& object);

 private:
  TDocument();
  static TDocument& MakeInstance();
  void MakeBoard();

  // Every call looks an object up by its handle: the document and each
  // object are one load away. The module's own, also for the program.
  static MORVIK_DATA TDocument* Instance_;
  std::deque<TObject> Objects_;  // handle h at index h - 1; a deque never moves them
  std::vector<TObject*> ByHandle_;  // the same objects, by handle - 1
  TObject& CreateFrom(const TObject& prototype);

  std::vector<TObject> Prototypes_;  // a new object of each layout
  // Memberships of containers that are not owners beyond an object's first
  // (TObject::Group), as container << 32 | object.
  TKeySet GroupMembers_;
  uint32_t Board_ = 0;
  // The objects right after the first board was made; Reset restores them.
  std::vector<TObject> NewDocument_;
};

// Fills a new board: its layer stack, options and the few rules a new board
// of a real editor starts with. Called by TDocument when it makes the board.
void PopulateNewBoard(TDocument& document, TObject& board);

// Registers the defaults of every kind of new object but the board. Called
// once by TDocument before it makes its first board.
void RegisterObjectDefaults(TDocument& document);

// Copies between the caller's pointers and the object's fields: direction 1
// fetches (store -> pointers), 0 stores (pointers -> store). Fields never
// stored read as 0, empty or the kind's default. Returns 0; when the handle
// names no object of one of `kinds` the call `call` is refused (Checks.h):
// nothing is touched and the result is 1.
int32_t Exchange(const char* call, uint32_t kinds, uint8_t dir, uint32_t handle,
                 std::span<const TFieldInfo> fields, std::initializer_list<void*> pointers);
// Same on a known object.
void ExchangeFields(uint8_t dir, TObject& object, std::span<const TFieldInfo> fields,
                    std::initializer_list<void*> pointers);
// Same for one field.
void ExchangeField(uint8_t dir, TObject& object, const TFieldInfo& field, void* pointer);

}  // namespace morvik
