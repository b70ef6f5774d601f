#include "Document.h"

#include <algorithm>
#include <cstring>

#include "Checks.h"

namespace morvik {

int64_t TObject::Int(std::string_view name, int64_t fallback) const {
  auto it = Fields.find(name);
  if (it == Fields.end()) return fallback;
  if (auto* v = std::get_if<int64_t>(&it->second)) return *v;
  return fallback;
}

double TObject::Real(std::string_view name, double fallback) const {
  auto it = Fields.find(name);
  if (it == Fields.end()) return fallback;
  if (auto* v = std::get_if<double>(&it->second)) return *v;
  return fallback;
}

std::string TObject::Text(std::string_view name, const std::string& fallback) const {
  auto it = Fields.find(name);
  if (it == Fields.end()) return fallback;
  if (auto* v = std::get_if<std::string>(&it->second)) return *v;
  return fallback;
}

void TObject::Set(std::string_view name, TFieldType type, TValue value) {
  // Look up before inserting, so that the usual case (a field written
  // again) makes no key copy.
  if (auto field = Fields.find(name); field != Fields.end())
    field->second = std::move(value);
  else
    Fields.emplace(std::string(name), std::move(value));
  if (auto known = Types.find(name); known != Types.end())
    known->second = type;
  else
    Types.emplace(std::string(name), type);
}

TDocument& TDocument::Instance() {
  static TDocument document;
  return document;
}

TDocument::TDocument() {
  RegisterObjectDefaults(*this);
  MakeBoard();
  NewDocument_ = Objects_;
  NewDocumentNextHandle_ = NextHandle_;
}

void TDocument::Reset() {
  // A copy of the document as first made: filling a new board field by
  // field is far slower, and tests and the fuzzer reset it for every import.
  Objects_ = NewDocument_;
  NextHandle_ = NewDocumentNextHandle_;
  ByHandle_.assign(NextHandle_, nullptr);
  for (auto& [handle, object] : Objects_) ByHandle_[handle] = &object;
}

void TDocument::MakeBoard() {
  TObject& board = Create(0);
  Board_ = board.Handle;
  PopulateNewBoard(*this, board);
}

void TDocument::AddDefaults(uint8_t kind, const TDefaults& defaults) {
  TDefaults& list = Defaults_[kind];
  list.insert(list.end(), defaults.begin(), defaults.end());
}

TObject& TDocument::Create(uint8_t kind) {
  uint32_t handle = NextHandle_++;
  TObject& object = Objects_[handle];
  if (ByHandle_.size() <= handle) ByHandle_.resize(handle + 1, nullptr);
  ByHandle_[handle] = &object;
  object.Handle = handle;
  object.Kind = kind;
  auto it = Defaults_.find(kind);
  if (it != Defaults_.end())
    for (const auto& [field, value] : it->second) object.Set(field.Name, field.Type, value);
  return object;
}

TObject* TDocument::Find(uint32_t handle) {
  return handle < ByHandle_.size() ? ByHandle_[handle] : nullptr;
}

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

void Fetch(const TObject& object, const TFieldSpec& field, void* p) {
  auto it = object.Fields.find(field.Name);
  const TValue* value = it == object.Fields.end() ? nullptr : &it->second;
  auto asInt = [&] {
    if (!value) return int64_t{0};
    if (auto* v = std::get_if<int64_t>(value)) return *v;
    return int64_t{0};
  };
  switch (field.Type) {
    case TFieldType::Bool:
    case TFieldType::U8:
    case TFieldType::LayerId: FetchInt<uint8_t>(p, asInt()); break;
    case TFieldType::I16: FetchInt<int16_t>(p, asInt()); break;
    case TFieldType::U16: FetchInt<uint16_t>(p, asInt()); break;
    case TFieldType::I32: FetchInt<int32_t>(p, asInt()); break;
    case TFieldType::U32:
    case TFieldType::Handle:
    case TFieldType::LayerCode: FetchInt<uint32_t>(p, asInt()); break;
    case TFieldType::Real: {
      double d = 0;
      if (value)
        if (auto* v = std::get_if<double>(value)) d = *v;
      std::memcpy(p, &d, sizeof d);
      break;
    }
    case TFieldType::Text: {
      std::string s;
      if (value)
        if (auto* v = std::get_if<std::string>(value)) s = *v;
      if (s.size() > 255) s.resize(255);
      auto* bytes = static_cast<uint8_t*>(p);
      bytes[0] = static_cast<uint8_t>(s.size());
      std::memcpy(bytes + 1, s.data(), s.size());
      break;
    }
    case TFieldType::Bytes: {
      std::vector<uint8_t> block(field.Size, 0);
      if (value)
        if (auto* v = std::get_if<std::vector<uint8_t>>(value))
          std::memcpy(block.data(), v->data(), std::min<size_t>(v->size(), block.size()));
      std::memcpy(p, block.data(), block.size());
      break;
    }
  }
}

TValue Store(const TFieldSpec& field, const void* p) {
  switch (field.Type) {
    case TFieldType::Bool: return StoreInt<uint8_t>(p) != 0 ? int64_t{1} : int64_t{0};
    case TFieldType::U8:
    case TFieldType::LayerId: return StoreInt<uint8_t>(p);
    case TFieldType::I16: return StoreInt<int16_t>(p);
    case TFieldType::U16: return StoreInt<uint16_t>(p);
    case TFieldType::I32: return StoreInt<int32_t>(p);
    case TFieldType::U32:
    case TFieldType::Handle:
    case TFieldType::LayerCode: return StoreInt<uint32_t>(p);
    case TFieldType::Real: {
      double d;
      std::memcpy(&d, p, sizeof d);
      return d;
    }
    case TFieldType::Text: {
      auto* bytes = static_cast<const uint8_t*>(p);
      return std::string(reinterpret_cast<const char*>(bytes + 1), bytes[0]);
    }
    case TFieldType::Bytes: {
      auto* bytes = static_cast<const uint8_t*>(p);
      return std::vector<uint8_t>(bytes, bytes + field.Size);
    }
  }
  return int64_t{0};
}

}  // namespace

void ExchangeField(uint8_t dir, TObject& object, const TFieldSpec& field, void* pointer) {
  if (!pointer) return;
  if (dir == 1)
    Fetch(object, field, pointer);
  else
    object.Set(field.Name, field.Type, Store(field, pointer));
}

void ExchangeFields(uint8_t dir, TObject& object, std::span<const TFieldSpec> fields,
                    std::initializer_list<void*> pointers) {
  size_t i = 0;
  for (void* p : pointers) {
    if (i >= fields.size()) break;
    ExchangeField(dir, object, fields[i++], p);
  }
}

int32_t Exchange(const char* call, TKindSet kinds, uint8_t dir, uint32_t handle,
                 std::span<const TFieldSpec> fields, std::initializer_list<void*> pointers) {
  TObject* object = FindFor(call, handle, kinds);
  if (!object) return kRefused;
  ExchangeFields(dir, *object, fields, pointers);
  return 0;
}

}  // namespace morvik
