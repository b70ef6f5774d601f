#pragma once
// The reference host's in-memory PCB document: every object the PCB module
// hands out, by handle, with its fields stored by name. The exported
// PcbApi_ functions (one source file per group) exchange fields with callers
// through field tables: each query function lists its pointers' names and
// types once, and one routine copies between the pointers and the store.
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

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

struct TFieldSpec {
  const char* Name;
  TFieldType Type;
  uint32_t Size = 0;  // Bytes: block size
};

// Hash of a field name that also takes a string_view, for lookups without
// a copy of the name.
struct TFieldNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

template <class T>
using TFieldMap = std::unordered_map<std::string, T, TFieldNameHash, std::equal_to<>>;

using TValue = std::variant<int64_t, double, std::string, std::vector<uint8_t>>;

struct TObject {
  uint32_t Handle = 0;
  uint8_t Kind = 0;
  bool Deleted = false;     // removed from its container
  uint32_t Container = 0;   // board or group it was added to, 0 for none
  std::vector<uint32_t> Members;  // for containers, in the order added
  // Fields by name, looked up without copying the name. Hashed: a board
  // holds thousands of fields and the importer fetches them all often.
  TFieldMap<TValue> Fields;
  TFieldMap<TFieldType> Types;  // type each field was last written with
  std::vector<std::string> ClassMembers;  // an object class's member names, in order

  int64_t Int(std::string_view name, int64_t fallback = 0) const;
  double Real(std::string_view name, double fallback = 0) const;
  std::string Text(std::string_view name, const std::string& fallback = {}) const;
  void Set(std::string_view name, TFieldType type, TValue value);
};

// Default field values of a new object of a kind (the values a real editor
// gives a new object).
using TDefaults = std::vector<std::pair<TFieldSpec, TValue>>;

class TDocument {
 public:
  static TDocument& Instance();

  // Forget everything (tests and a new host run).
  void Reset();

  // A new object of that kind with the kind's defaults, in no container.
  TObject& Create(uint8_t kind);
  TObject* Find(uint32_t handle);
  const std::map<uint32_t, TObject>& Objects() const { return Objects_; }

  // Registers the defaults of a kind; later registrations add to earlier ones.
  void AddDefaults(uint8_t kind, const TDefaults& defaults);

  uint32_t BoardHandle() const { return Board_; }

 private:
  TDocument();
  std::map<uint32_t, TObject> Objects_;
  std::vector<TObject*> ByHandle_;  // index for Find; map nodes never move
  std::map<uint8_t, TDefaults> Defaults_;
  uint32_t NextHandle_ = 1;
  uint32_t Board_ = 0;
  // The objects right after the first board was made; Reset restores them.
  std::map<uint32_t, TObject> NewDocument_;
  uint32_t NewDocumentNextHandle_ = 1;
  void MakeBoard();
};

// Fills a new board: its layer stack, options and the few rules a new board
// of a real editor starts with. Called by TDocument whenever it makes the
// board (construction and Reset).
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
                 std::span<const TFieldSpec> fields, std::initializer_list<void*> pointers);
// Same on a known object.
void ExchangeFields(uint8_t dir, TObject& object, std::span<const TFieldSpec> fields,
                    std::initializer_list<void*> pointers);
// Same for one field.
void ExchangeField(uint8_t dir, TObject& object, const TFieldSpec& field, void* pointer);

}  // namespace morvik
