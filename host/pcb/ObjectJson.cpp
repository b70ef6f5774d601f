// The dump's entry of an object: handle, kind name, deletion, container
// members, and every stored field under its proxy name in its dump form
// (layers by name, booleans, byte blocks as lists, outline segments and
// dimension references decoded, a rule's kind by name and its constraint).
#include <string>

#include "BoardStore.h"
#include "DumpJson.h"
#include "Kinds.h"
#include "ObjectStore.h"

namespace morvik {

namespace {

using nlohmann::json;

// The stored 8-bit characters read as Latin-1.
std::string Latin1(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

json ScalarJson(TFieldType type, const TValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return Latin1(*text);
  if (const auto* real = std::get_if<double>(&value)) return *real;
  if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) return json(*bytes);
  const int64_t v = std::get<int64_t>(value);
  switch (type) {
    case TFieldType::Bool: return v != 0;
    case TFieldType::LayerCode:
    case TFieldType::LayerId: return LayerCodeName(static_cast<uint32_t>(v));
    default: return v;
  }
}

json SegmentsJson(const TObject& object) {
  json list = json::array();
  for (const TSegment& s : StoredSegments(object))
    list.push_back({{"SegKind", s.SegKind},
                    {"SegX", s.SegX},
                    {"SegY", s.SegY},
                    {"SegCenterX", s.SegCenterX},
                    {"SegCenterY", s.SegCenterY},
                    {"SegRadius", s.SegRadius},
                    {"SegStartAngle", s.SegStartAngle},
                    {"SegEndAngle", s.SegEndAngle}});
  return list;
}

json ReferencesJson(const TObject& object) {
  json list = json::array();
  for (const TReference& r : StoredReferences(object))
    list.push_back(json::array({r.Values[0], r.Values[1], r.Values[2], r.Values[3]}));
  return list;
}

// The values of the rule's last stored constraint query, in argument
// order; a byte block contributes each of its bytes.
json ConstraintJson(const TObject& rule) {
  json list = json::array();
  const TConstraintQuery* query = FindConstraintQuery(rule.Text("ConstraintQuery"));
  if (!query) return list;
  for (const TFieldSpec& field : query->Values) {
    auto it = rule.Fields.find(field.Name);
    if (it == rule.Fields.end()) {
      list.push_back(0);
      continue;
    }
    json value = ScalarJson(field.Type, it->second);
    if (value.is_array())
      for (const json& byte : value) list.push_back(byte);
    else
      list.push_back(value);
  }
  return list;
}

// A rule's constraint values show in its "Constraint" list, not one by one.
bool IsConstraintValue(const std::string& name) {
  for (const TConstraintQuery& query : ConstraintQueries())
    for (const TFieldSpec& field : query.Values)
      if (name == field.Name) return true;
  return false;
}

json FieldJson(const TObject& object, const std::string& name, const TValue& value) {
  if (const TLayerArray* array = FindLayerArray(name)) return LayerArrayValues(object, *array);
  if (name == "Segments") return SegmentsJson(object);
  if (name == "References") return ReferencesJson(object);
  if (name == "RuleKind" && object.Kind == kKindRule)
    return std::string(RuleKindName(static_cast<uint8_t>(object.Int("RuleKind"))));
  auto type = object.Types.find(name);
  return ScalarJson(type == object.Types.end() ? TFieldType::I32 : type->second, value);
}

}  // namespace

json ObjectJson(const TObject& object) {
  json entry = {{"handle", object.Handle},
                {"kind", std::string(KindName(object.Kind))},
                {"deleted", object.Deleted}};
  if (IsContainerKind(object.Kind)) entry["members"] = object.Members;
  if (object.Kind == kKindBoard) {
    entry.update(BoardJson(object));
    return entry;
  }
  for (const auto& [name, value] : object.Fields) {
    if (object.Kind == kKindRule && IsConstraintValue(name)) continue;
    entry[name] = FieldJson(object, name, value);
  }
  if (object.Kind == kKindClass) {
    json members = json::array();
    for (const std::string& member : object.ClassMembers) members.push_back(Latin1(member));
    entry["Members"] = members;
  }
  if (object.Kind == kKindRule) entry["Constraint"] = ConstraintJson(object);
  return entry;
}

json ObjectsJson() {
  json list = json::array();
  for (const auto& [handle, object] : TDocument::Instance().Objects())
    list.push_back(ObjectJson(object));
  return list;
}

}  // namespace morvik
