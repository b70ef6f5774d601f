// The board's own part of the dump: option groups keyed by value number,
// the per-index arrays, the layer stack and the drill layer pairs.
#include <string>
#include <string_view>

#include "BoardStore.h"
#include "DumpJson.h"

namespace morvik {

namespace {

using nlohmann::json;

// The board's name: the path of its file as the host application gave it
// (SetBoardFileName), not a text of the imported file.
constexpr std::string_view kBoardFileName = "BoardInfo.2";

json Value(const TObject& board, const std::string& key, const TFieldInfo& field) {
  switch (field.Type) {
    case TFieldType::Real: return board.Real(key);
    case TFieldType::Text:
      return key == kBoardFileName ? UserTextToUtf8(board.Text(key)) : Latin1ToUtf8(board.Text(key));
    case TFieldType::Bool: return board.Int(key) != 0;
    case TFieldType::LayerCode: return LayerCodeName(static_cast<uint32_t>(board.Int(key)));
    case TFieldType::Bytes: {
      json list = json::array();
      const std::optional<TValue> value = board.Value(key);
      const auto* bytes = value ? std::get_if<std::vector<uint8_t>>(&*value) : nullptr;
      for (uint32_t i = 0; i < field.Size; ++i)
        list.push_back(bytes && i < bytes->size() ? (*bytes)[i] : 0);
      return list;
    }
    default: return board.Int(key);
  }
}

// "Group.N" -> "N".
std::string ValueNumber(const char* name) {
  std::string key(name);
  return key.substr(key.find('.') + 1);
}

json GroupJson(const TObject& board, const TBoardGroup& group) {
  json values = json::object();
  for (const TFieldInfo& field : group.Fields)
    if (std::string_view(field.Name).starts_with(group.Name))
      values[ValueNumber(field.Name)] = Value(board, field.Name, field);
  return values;
}

// Values of one index: the bare value, or an object keyed by suffix.
json IndexJson(const TObject& board, const char* group, unsigned index,
               std::span<const TFieldInfo> values) {
  if (values.size() == 1 && std::string_view(values[0].Name).empty())
    return Value(board, IndexedKey(group, index, ""), values[0]);
  json entry = json::object();
  for (const TFieldInfo& field : values)
    entry[field.Name] = Value(board, IndexedKey(group, index, field.Name), field);
  return entry;
}

json ArrayJson(const TObject& board, const char* group, unsigned first, unsigned last,
               std::span<const TFieldInfo> values) {
  json list = json::array();
  for (unsigned i = first; i <= last; ++i) list.push_back(IndexJson(board, group, i, values));
  return list;
}

// A list of value lists ([first, second] per pen, four values per layer).
json TupleArrayJson(const TObject& board, const char* group, unsigned last,
                    std::span<const TFieldInfo> values) {
  json list = json::array();
  for (unsigned i = 1; i <= last; ++i) {
    json tuple = json::array();
    for (const TFieldInfo& field : values)
      tuple.push_back(Value(board, IndexedKey(group, i, field.Name), field));
    list.push_back(tuple);
  }
  return list;
}

json LayersJson(const TObject& board) {
  json list = json::array();
  for (unsigned id = 1; id <= kLastLayer; ++id) {
    json entry = IndexJson(board, "Layers", id, IsPlaneLayer(id) ? kPlaneValues : kLayerValues);
    entry.update(IndexJson(board, "Layers", id, kDielectricValues));
    entry["LayerId"] = id;
    list.push_back(entry);
  }
  return list;
}

json LayerInfoJson(const TObject& board) {
  json list = json::array();
  for (unsigned id = 1; id <= kLastLayer; ++id)
    list.push_back(board.Int(IndexedKey("LayerInfo", id, "")));
  return list;
}

json LayerPairsJson(const TObject& board) {
  const auto count = board.Int("LayerPairs.Count");
  return count > 0 ? ArrayJson(board, "LayerPairs", 0, static_cast<unsigned>(count - 1),
                               kPairValues)
                   : json::array();
}

}  // namespace

json BoardJson(const TObject& board) {
  json out = json::object();
  for (const TBoardGroup* group : BoardGroups()) out[group->Name] = GroupJson(board, *group);
  out["CurrentLayer"] = LayerCodeName(static_cast<uint32_t>(board.Int("CurrentLayer")));
  out["SplitPlaneMode"] = board.Int("SplitPlaneMode");
  out["LayerInfo"] = LayerInfoJson(board);
  out["PlotLayers"] = ArrayJson(board, "PlotLayers", 1, kOptionLayerCount, kPlotLayerValue);
  out["FlipLayers"] = ArrayJson(board, "FlipLayers", 1, kOptionLayerCount, kPlotLayerValue);
  out["PlotterPens"] = TupleArrayJson(board, "PlotterPens", kPenCount, kPenValues);
  out["CompositeLayers"] = TupleArrayJson(board, "CompositeLayers", kLastLayer, kCompositeValues);
  out["Layers"] = LayersJson(board);
  out["LayerPairs"] = LayerPairsJson(board);
  return out;
}

}  // namespace morvik
