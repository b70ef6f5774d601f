// The dump's entry of an object: handle, kind name, deletion, container
// members, and every stored field under its proxy name in its dump form
// (layers by name, booleans, byte blocks as lists, outline segments and
// dimension references decoded, a rule's kind by name and its constraint).
// Entries are written straight to the stream, keys in byte order as an
// nlohmann object keeps them.
#include <sstream>
#include <string>

#include "BoardStore.h"
#include "DumpJson.h"
#include "Kinds.h"
#include "ObjectStore.h"

namespace morvik {

namespace {

// --- the entry's own keys ------------------------------------------------------------

enum class TExtra : uint8_t { Constraint, ClassMembers, Deleted, Handle, Kind, Members };

struct TExtraKey {
  std::string_view Key;
  TExtra What;
};

// In byte order, as the entry shows them among the fields.
constexpr TExtraKey kExtras[] = {{"Constraint", TExtra::Constraint},
                                 {"Members", TExtra::ClassMembers},
                                 {"deleted", TExtra::Deleted},
                                 {"handle", TExtra::Handle},
                                 {"kind", TExtra::Kind},
                                 {"members", TExtra::Members}};

bool Shows(TExtra what, const TObject& object) {
  switch (what) {
    case TExtra::Constraint: return object.Kind == kKindRule;
    case TExtra::ClassMembers: return object.Kind == kKindClass;
    case TExtra::Members: return IsContainerKind(object.Kind);
    default: return true;
  }
}

void WriteHandles(TJsonStream& out, const std::vector<uint32_t>& handles) {
  out.BeginArray();
  for (uint32_t handle : handles) out.Int(handle);
  out.EndArray();
}

void WriteConstraint(TJsonStream& out, const TObject& rule);

void WriteExtra(TJsonStream& out, const TObject& object, TExtra what) {
  switch (what) {
    case TExtra::Constraint: WriteConstraint(out, object); break;
    case TExtra::ClassMembers:
      out.BeginArray();
      for (const std::string& member : object.Lists.ClassMembers()) out.String(Latin1ToUtf8(member));
      out.EndArray();
      break;
    case TExtra::Deleted: out.Bool(object.Deleted); break;
    case TExtra::Handle: out.Int(object.Handle); break;
    case TExtra::Kind: out.String(KindName(object.Kind)); break;
    case TExtra::Members: WriteHandles(out, object.Lists.Members()); break;
  }
}

// Writes the entry's own keys in their places among the other keys, which
// come in byte order; an own key takes the place of a field of its name.
class TExtras {
 public:
  explicit TExtras(const TObject& object) : Object_(object) {}

  // Writes the own keys before `key`; true when one of them is `key`.
  bool WriteUpTo(TJsonStream& out, std::string_view key) {
    for (; Next_ < std::size(kExtras) && kExtras[Next_].Key <= key; ++Next_) {
      if (!Shows(kExtras[Next_].What, Object_)) continue;
      out.Key(kExtras[Next_].Key);
      WriteExtra(out, Object_, kExtras[Next_].What);
      if (kExtras[Next_].Key == key) {
        ++Next_;
        return true;
      }
    }
    return false;
  }

  void WriteRest(TJsonStream& out) { WriteUpTo(out, "\x7F"); }

 private:
  const TObject& Object_;
  size_t Next_ = 0;
};

// --- field values ------------------------------------------------------------------

void WriteSegments(TJsonStream& out, const TObject& object) {
  out.BeginArray();
  for (const TSegment& s : StoredSegments(object)) {
    out.BeginObject();
    out.Key("SegCenterX");
    out.Int(s.SegCenterX);
    out.Key("SegCenterY");
    out.Int(s.SegCenterY);
    out.Key("SegEndAngle");
    out.Real(s.SegEndAngle);
    out.Key("SegKind");
    out.Int(s.SegKind);
    out.Key("SegRadius");
    out.Int(s.SegRadius);
    out.Key("SegStartAngle");
    out.Real(s.SegStartAngle);
    out.Key("SegX");
    out.Int(s.SegX);
    out.Key("SegY");
    out.Int(s.SegY);
    out.EndObject();
  }
  out.EndArray();
}

void WriteReferences(TJsonStream& out, const TObject& object) {
  out.BeginArray();
  for (const TReference& r : StoredReferences(object)) {
    out.BeginArray();
    for (int32_t value : r.Values) out.Int(value);
    out.EndArray();
  }
  out.EndArray();
}

void WriteIntAs(TJsonStream& out, TFieldType type, int64_t value) {
  switch (type) {
    case TFieldType::Bool: out.Bool(value != 0); break;
    case TFieldType::LayerCode:
    case TFieldType::LayerId: out.String(LayerCodeName(static_cast<uint32_t>(value))); break;
    default: out.Int(value); break;
  }
}

// A value as it was stored: texts, reals and blocks as such, integers by the
// type last stored. A block's bytes go into the list `out` is in when
// `spread` is set.
void WriteScalar(TJsonStream& out, const TRecord& record, TSlot slot, bool spread = false) {
  switch (record.Kind(slot)) {
    case TValueKind::Int: WriteIntAs(out, record.Type(slot), *record.Int(slot)); break;
    case TValueKind::Real: out.Real(*record.Real(slot)); break;
    case TValueKind::Text: out.String(Latin1ToUtf8(*record.Text(slot))); break;
    case TValueKind::Bytes:
      if (!spread) out.BeginArray();
      for (uint8_t byte : *record.Bytes(slot)) out.Int(byte);
      if (!spread) out.EndArray();
      break;
  }
}

// The values of the rule's last stored constraint query, in argument
// order; a byte block contributes each of its bytes.
void WriteConstraint(TJsonStream& out, const TObject& rule) {
  static const TFieldName kConstraintQuery("ConstraintQuery");
  out.BeginArray();
  if (const TConstraintQuery* query = FindConstraintQuery(rule.TextView(kConstraintQuery)))
    for (const TFieldInfo& field : query->Values) {
      const TSlot slot = rule.Layout().SlotOf(field.Id);
      if (rule.Record().Has(slot))
        WriteScalar(out, rule.Record(), slot, true);
      else
        out.Int(0);
    }
  out.EndArray();
}

// Fields with a form of their own in the dump.
enum class TForm : uint8_t { Scalar, LayerArray, Segments, References, RuleKind, Hidden };

TForm FormOf(const TObject& object, TFieldId id) {
  static const TFieldName kSegmentsField("Segments"), kReferencesField("References"),
      kRuleKindField("RuleKind");
  // A rule's constraint values show in its "Constraint" list, not one by one.
  static const std::vector<bool> constraintValue = [] {
    std::vector<bool> ids;
    for (const TConstraintQuery& query : ConstraintQueries())
      for (const TFieldInfo& field : query.Values) {
        if (ids.size() <= field.Id) ids.resize(size_t{field.Id} + 1);
        ids[field.Id] = true;
      }
    return ids;
  }();
  if (object.Kind == kKindRule && id < constraintValue.size() && constraintValue[id])
    return TForm::Hidden;
  for (const TLayerArray* array : LayerArrays())
    if (id == array->Field.Id()) return TForm::LayerArray;
  if (id == kSegmentsField.Id()) return TForm::Segments;
  if (id == kReferencesField.Id()) return TForm::References;
  if (id == kRuleKindField.Id() && object.Kind == kKindRule) return TForm::RuleKind;
  return TForm::Scalar;
}

void WriteField(TJsonStream& out, const TObject& object, TSlot slot, TForm form) {
  switch (form) {
    case TForm::LayerArray: {
      const TLayerArray& array = *FindLayerArray(FieldName(object.Layout().FieldAt(slot)));
      out.BeginArray();
      for (unsigned id = 0; id < kLayerIdCount; ++id) out.Int(LayerArrayValue(object, array, id));
      out.EndArray();
      break;
    }
    case TForm::Segments: WriteSegments(out, object); break;
    case TForm::References: WriteReferences(out, object); break;
    case TForm::RuleKind: {
      static const TFieldName kRuleKindField("RuleKind");
      out.String(RuleKindName(static_cast<uint8_t>(object.Int(kRuleKindField))));
      break;
    }
    default: WriteScalar(out, object.Record(), slot); break;
  }
}

void WriteFieldEntries(TJsonStream& out, const TObject& object) {
  TExtras extras(object);
  const TLayout& layout = object.Layout();
  for (TSlot slot : layout.SlotsByName()) {
    if (!object.Record().Has(slot)) continue;
    const TForm form = FormOf(object, layout.FieldAt(slot));
    if (form == TForm::Hidden) continue;
    const std::string_view name = FieldName(layout.FieldAt(slot));
    if (extras.WriteUpTo(out, name)) continue;
    out.Key(name);
    WriteField(out, object, slot, form);
  }
  extras.WriteRest(out);
}

void WriteBoardEntries(TJsonStream& out, const TObject& board) {
  TExtras extras(board);
  const nlohmann::json fields = BoardJson(board);
  for (const auto& [key, value] : fields.items()) {
    if (extras.WriteUpTo(out, key)) continue;
    out.Key(key);
    out.Json(value);
  }
  extras.WriteRest(out);
}

}  // namespace

void WriteObjectJson(TJsonStream& out, const TObject& object) {
  out.BeginObject();
  if (object.Kind == kKindBoard)
    WriteBoardEntries(out, object);
  else
    WriteFieldEntries(out, object);
  out.EndObject();
}

void WriteObjectsJson(TJsonStream& out) {
  out.BeginArray();
  for (const TObject& object : TDocument::Instance().Objects()) WriteObjectJson(out, object);
  out.EndArray();
}

nlohmann::json ObjectJson(const TObject& object) {
  std::ostringstream text;
  {
    TJsonStream out(text);
    WriteObjectJson(out, object);
  }
  return nlohmann::json::parse(text.str());
}

}  // namespace morvik
