#include "Document.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "Checks.h"
#include "Kinds.h"
#include "ObjectStore.h"

namespace morvik {

namespace {

TWalkEpochs& Epochs() {
  static TWalkEpochs epochs;
  return epochs;
}

// The fields a board iterator's walk reads (IteratorApi.cpp).
const TFieldName kWalkLayer("Layer"), kWalkNameText("NameText"), kWalkCommentText("CommentText");
bool IsWalkField(TFieldId id) {
  return id == kWalkLayer.Id() || id == kWalkNameText.Id() || id == kWalkCommentText.Id();
}

}  // namespace

const TWalkEpochs& WalkEpochs() { return Epochs(); }

uint64_t gFieldWrites = 0;
TDocument* TDocument::Instance_ = nullptr;
const std::vector<uint32_t> TObjectLists::kNoMembers;
const std::vector<std::string> TObjectLists::kNoClassMembers;

// --- objects ---------------------------------------------------------------------------

// A large board is a million of them.
static_assert(sizeof(TObject) <= 64, "an object stays within a cache line");

TObject::TObject(uint8_t kind, TLayoutId layout)
    : Kind(kind), Layout_(layout), Record_(LayoutOf(layout).SlotCount()) {}

TObject::TObject(const TObject& prototype, TFromPrototype)
    : Handle(prototype.Handle),
      Kind(prototype.Kind),
      Deleted(prototype.Deleted),
      InMoreGroups(prototype.InMoreGroups),
      Container(prototype.Container),
      Group(prototype.Group),
      Lists(prototype.Lists),
      Layout_(prototype.Layout_),
      Record_(prototype.Record_, prototype.Layout().SlotCount(), prototype.Layout().TextBytes()) {}

int64_t TObject::Int(std::string_view name, int64_t fallback) const {
  return Record_.Int(SlotOf(FindField(name))).value_or(fallback);
}

double TObject::Real(std::string_view name, double fallback) const {
  return Record_.Real(SlotOf(FindField(name))).value_or(fallback);
}

std::string TObject::Text(std::string_view name, const std::string& fallback) const {
  const std::optional<std::string_view> text = Record_.Text(SlotOf(FindField(name)));
  return text ? std::string(*text) : fallback;
}

std::string TObject::Text(TFieldName name, const std::string& fallback) const {
  const std::optional<std::string_view> text = Record_.Text(SlotOf(name.Id()));
  return text ? std::string(*text) : fallback;
}

bool TObject::Has(std::string_view name) const { return Record_.Has(SlotOf(FindField(name))); }

namespace {

std::optional<TValue> SlotValue(const TRecord& record, TSlot slot) {
  if (!record.Has(slot)) return std::nullopt;
  switch (record.Kind(slot)) {
    case TValueKind::Int: return TValue(*record.Int(slot));
    case TValueKind::Real: return TValue(*record.Real(slot));
    case TValueKind::Text: return TValue(std::string(*record.Text(slot)));
    case TValueKind::Bytes: return TValue(*record.Bytes(slot));
  }
  return std::nullopt;
}

}  // namespace

std::optional<TValue> TObject::Value(std::string_view name) const {
  return SlotValue(Record_, SlotOf(FindField(name)));
}

std::map<std::string, TValue> TObject::StoredFields() const {
  std::map<std::string, TValue> fields;
  const TLayout& layout = Layout();
  for (TSlot slot = 0; slot < layout.SlotCount(); ++slot)
    if (std::optional<TValue> value = SlotValue(Record_, slot))
      fields.emplace(FieldName(layout.FieldAt(slot)), std::move(*value));
  return fields;
}

void TObject::Changed(TFieldId id) {
  if (IsWalkField(id)) ++Epochs().Owners;
  static const TFieldName kRuleKind("RuleKind");
  if (id == kRuleKind.Id() && RuleLayoutKind() && Int(kRuleKind) != *RuleLayoutKind())
    TDocument::Instance().RuleKindChanged(*this);
}

void TObject::Put(TSlot slot, TFieldType type, const TValue& value) {
  ++gFieldWrites;
  if (slot == kNoSlot) return;
  bool changed = true;
  if (const auto* v = std::get_if<int64_t>(&value))
    changed = Record_.SetInt(slot, type, *v);
  else if (const auto* d = std::get_if<double>(&value))
    changed = Record_.SetReal(slot, type, *d);
  else if (const auto* text = std::get_if<std::string>(&value))
    PutText(slot, type, *text);
  else
    Record_.SetBytes(slot, type) = std::get<std::vector<uint8_t>>(value);
  if (changed) Changed(Layout().FieldAt(slot));
}

void TObject::PutText(TSlot slot, TFieldType type, std::string_view text) {
  // What the arena needed before any packing: the next object of the
  // layout, stored the same way, then never grows.
  const size_t needed = Record_.ArenaSize() + text.size();
  Record_.SetText(slot, type, text);
  LayoutOf(Layout_).NoteTextBytes(std::max(needed, Record_.ArenaSize()));
}

void TObject::Set(std::string_view name, TFieldType type, TValue value) {
  Put(AddSlot(InternField(name)), type, value);
}

void TObject::Set(TFieldName name, TFieldType type, TValue value) {
  Put(AddSlot(name.Id()), type, value);
}

void TObject::SetText(TFieldName name, std::string_view text) {
  ++gFieldWrites;
  const TSlot slot = AddSlot(name.Id());
  if (slot == kNoSlot) return;
  PutText(slot, TFieldType::Text, text);
  Changed(name.Id());
}

void TObject::SetStaticText(TFieldName name, const char* text) {
  ++gFieldWrites;
  const TSlot slot = AddSlot(name.Id());
  if (slot == kNoSlot) return;
  Record_.SetStaticText(slot, TFieldType::Text, text);
  Changed(name.Id());
}

std::vector<uint8_t>& TObject::MutableBytes(TFieldName name, TFieldType type) {
  ++gFieldWrites;
  const TSlot slot = AddSlot(name.Id());
  if (slot == kNoSlot) {
    // Only a kind with 65535 different fields gets here; its block is
    // written and forgotten.
    static std::vector<uint8_t> nowhere;
    nowhere.clear();
    return nowhere;
  }
  return Record_.SetBytes(slot, type);
}

void TObject::Erase(std::string_view name) {
  ++gFieldWrites;
  const TFieldId id = FindField(name);
  const TSlot slot = SlotOf(id);
  if (!Record_.Has(slot)) return;
  Record_.Erase(slot);
  Changed(id);
}

// --- exchange of one field ---------------------------------------------------------

namespace {

template <class T>
void FetchInt(void* p, int64_t v) {
  T t = static_cast<T>(v);
  std::memcpy(p, &t, sizeof t);
}

template <class T>
int64_t StoreInt(const void* p) {
  T t;
  std::memcpy(&t, p, sizeof t);
  return static_cast<int64_t>(t);
}

// The int a field of this type carries, as the caller's pointer holds it.
int64_t IntFrom(TFieldType type, const void* p) {
  switch (type) {
    case TFieldType::Bool: return StoreInt<uint8_t>(p) != 0 ? 1 : 0;
    case TFieldType::U8:
    case TFieldType::LayerId: return StoreInt<uint8_t>(p);
    case TFieldType::I16: return StoreInt<int16_t>(p);
    case TFieldType::U16: return StoreInt<uint16_t>(p);
    case TFieldType::I32: return StoreInt<int32_t>(p);
    default: return StoreInt<uint32_t>(p);
  }
}

void IntTo(TFieldType type, int64_t v, void* p) {
  switch (type) {
    case TFieldType::Bool:
    case TFieldType::U8:
    case TFieldType::LayerId: FetchInt<uint8_t>(p, v); break;
    case TFieldType::I16: FetchInt<int16_t>(p, v); break;
    case TFieldType::U16: FetchInt<uint16_t>(p, v); break;
    case TFieldType::I32: FetchInt<int32_t>(p, v); break;
    default: FetchInt<uint32_t>(p, v); break;
  }
}

}  // namespace

void TObject::Fetch(const TFieldInfo& field, void* p) const {
  const TSlot slot = SlotOf(field.Id);
  switch (field.Type) {
    case TFieldType::Real: {
      const double d = Record_.Real(slot).value_or(0);
      std::memcpy(p, &d, sizeof d);
      break;
    }
    case TFieldType::Text: {
      const std::optional<std::string_view> text = Record_.Text(slot);
      const size_t size = text ? std::min<size_t>(text->size(), 255) : 0;
      auto* bytes = static_cast<uint8_t*>(p);
      bytes[0] = static_cast<uint8_t>(size);
      if (size) std::memcpy(bytes + 1, text->data(), size);
      break;
    }
    case TFieldType::Bytes: {
      const std::vector<uint8_t>* block = Record_.Bytes(slot);
      const size_t stored = block ? std::min<size_t>(block->size(), field.Size) : 0;
      if (stored) std::memcpy(p, block->data(), stored);
      std::memset(static_cast<uint8_t*>(p) + stored, 0, field.Size - stored);
      break;
    }
    default: IntTo(field.Type, Record_.Int(slot).value_or(0), p); break;
  }
}

void TObject::Store(const TFieldInfo& field, const void* p) {
  ++gFieldWrites;
  const TSlot slot = AddSlot(field.Id);
  if (slot == kNoSlot) return;
  bool changed = true;
  switch (field.Type) {
    case TFieldType::Real: {
      double d;
      std::memcpy(&d, p, sizeof d);
      changed = Record_.SetReal(slot, field.Type, d);
      break;
    }
    case TFieldType::Text: {
      auto* bytes = static_cast<const uint8_t*>(p);
      PutText(slot, field.Type, std::string_view(reinterpret_cast<const char*>(bytes + 1), bytes[0]));
      break;
    }
    case TFieldType::Bytes: {
      auto* bytes = static_cast<const uint8_t*>(p);
      Record_.SetBytes(slot, field.Type).assign(bytes, bytes + field.Size);
      break;
    }
    default: changed = Record_.SetInt(slot, field.Type, IntFrom(field.Type, p)); break;
  }
  if (changed) Changed(field.Id);
}

void ExchangeField(uint8_t dir, TObject& object, const TFieldInfo& field, void* pointer) {
  if (!pointer) return;
  if (dir == 1)
    object.Fetch(field, pointer);
  else
    object.Store(field, pointer);
}

void ExchangeFields(uint8_t dir, TObject& object, std::span<const TFieldInfo> fields,
                    std::initializer_list<void*> pointers) {
  size_t i = 0;
  for (void* p : pointers) {
    if (i >= fields.size()) break;
    ExchangeField(dir, object, fields[i++], p);
  }
}

int32_t Exchange(const char* call, TKindSet kinds, uint8_t dir, uint32_t handle,
                 std::span<const TFieldInfo> fields, std::initializer_list<void*> pointers) {
  TObject* object = FindFor(call, handle, kinds);
  if (!object) return kRefused;
  ExchangeFields(dir, *object, fields, pointers);
  return 0;
}

// --- the document ------------------------------------------------------------------

TDocument& TDocument::MakeInstance() {
  // Made once and never destroyed: freeing a board of a million objects
  // one string at a time, as the program ends, took longer than writing
  // its dump.
  static TDocument* const document = new TDocument();
  Instance_ = document;
  return *document;
}

TDocument::TDocument() {
  Prototypes_.reserve(kLayoutCount);
  for (unsigned kind = 0; kind < kRuleLayouts; ++kind) Prototypes_.emplace_back(static_cast<uint8_t>(kind));
  for (unsigned rule = 0; rule < kRuleKindCount; ++rule)
    Prototypes_.emplace_back(kKindRule, static_cast<TLayoutId>(kRuleLayouts + rule));
  RegisterObjectDefaults(*this);
  MakeBoard();
  NewDocument_.assign(Objects_.begin(), Objects_.end());
}

void TDocument::Reset() {
  // The new board's few objects copied back over the first ones; the rest
  // are dropped. Tests and the fuzzer reset the document for every import.
  Objects_.resize(NewDocument_.size());
  ByHandle_.resize(NewDocument_.size());
  std::copy(NewDocument_.begin(), NewDocument_.end(), Objects_.begin());
  GroupMembers_.Clear();
  ++Epochs().Owners;
  ++gFieldWrites;
}

void TDocument::MakeBoard() {
  TObject& board = Create(0);
  Board_ = board.Handle;
  PopulateNewBoard(*this, board);
}

namespace {

// The rule kind whose constraint values field `id` holds, if any.
std::optional<uint8_t> ConstraintKindOf(TFieldId id) {
  for (const TConstraintQuery& query : ConstraintQueries())
    for (const TFieldInfo& field : query.Values)
      if (field.Id == id) return query.RuleKind;
  return std::nullopt;
}

}  // namespace

void TDocument::AddDefaults(uint8_t kind, const TDefaults& defaults) {
  // A rule laid out by its rule kind starts with its own kind's constraint
  // values only; it gets the others if its kind is changed (RuleKindChanged).
  for (TObject& prototype : Prototypes_) {
    if (prototype.Kind != kind) continue;
    const auto ruleKind = prototype.RuleLayoutKind();
    for (const auto& [field, value] : defaults) {
      const std::optional<uint8_t> constraintKind = ConstraintKindOf(field.Id);
      if (!ruleKind || !constraintKind || *constraintKind == *ruleKind)
        prototype.Set(field.Name, field.Type, value);
    }
  }
}

void TDocument::RuleKindChanged(TObject& rule) const {
  // Every default a rule made by PcbApi_CreateObject has, where the rule
  // has stored nothing itself.
  const TObject& prototype = Prototypes_[kKindRule];
  const TLayout& layout = prototype.Layout();
  for (TSlot slot = 0; slot < layout.SlotCount(); ++slot) {
    const std::string_view name = FieldName(layout.FieldAt(slot));
    if (const std::optional<TValue> value = prototype.Value(name); value && !rule.Has(name))
      rule.Set(name, prototype.Record().Type(slot), *value);
  }
}

TObject& TDocument::Create(uint8_t kind) { return CreateFrom(Prototypes_[kind]); }

TObject& TDocument::CreateRule(uint8_t ruleKind) {
  static const TFieldName kRuleKind("RuleKind");
  TObject& rule = CreateFrom(Prototypes_[kRuleLayouts + std::min<uint8_t>(ruleKind, kRuleKindCount - 1)]);
  rule.Set(kRuleKind, TFieldType::U8, int64_t{ruleKind});
  return rule;
}

TObject& TDocument::CreateFrom(const TObject& prototype) {
  const auto handle = static_cast<uint32_t>(Objects_.size() + 1);
  TObject& object = Objects_.emplace_back(prototype, TObject::kFromPrototype);
  ByHandle_.push_back(&object);
  object.Handle = handle;
  ++gFieldWrites;
  return object;
}

namespace {

constexpr uint64_t MembershipKey(uint32_t container, uint32_t object) {
  return uint64_t{container} << 32 | object;
}

bool IsOwner(const TObject& container) {
  return container.Kind == kKindBoard || container.Kind == kKindComponent;
}

}  // namespace

// An object's first group is on the object, so the common case (a
// primitive in its net alone) touches no shared table.
bool TDocument::HasMember(const TObject& container, const TObject& object) const {
  if (IsOwner(container)) return object.Container == container.Handle;
  if (object.Group == container.Handle) return true;
  return object.InMoreGroups && GroupMembers_.Contains(MembershipKey(container.Handle, object.Handle));
}

void TDocument::AddMember(TObject& container, TObject& object) {
  if (IsOwner(container)) {
    object.Container = container.Handle;
    object.Deleted = false;
    ++Epochs().Owners;
  } else {
    if (object.Group == 0) {
      object.Group = container.Handle;
    } else {
      GroupMembers_.Insert(MembershipKey(container.Handle, object.Handle));
      object.InMoreGroups = true;
    }
    ++Epochs().Groups;
  }
  container.Lists.MutableMembers().push_back(object.Handle);
}

bool TDocument::RemoveMember(TObject& container, TObject& object) {
  if (!HasMember(container, object)) return false;
  std::erase(container.Lists.MutableMembers(), object.Handle);
  if (IsOwner(container)) {
    object.Container = 0;
    object.Deleted = true;
    ++Epochs().Owners;
  } else {
    if (object.Group == container.Handle)
      object.Group = 0;
    else
      GroupMembers_.Erase(MembershipKey(container.Handle, object.Handle));
    ++Epochs().Groups;
  }
  return true;
}

}  // namespace morvik
