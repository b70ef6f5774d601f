#include "BoardStore.h"

#include <array>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "Checks.h"
#include "Kinds.h"

namespace morvik {

namespace {

using T = TFieldType;

constexpr std::array<std::string_view, kLastLayer + 1> kLayerNames = {
    "NoLayer",        "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",
    "MidLayer4",      "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",
    "MidLayer9",      "MidLayer10",      "MidLayer11",      "MidLayer12",      "MidLayer13",
    "MidLayer14",     "MidLayer15",      "MidLayer16",      "MidLayer17",      "MidLayer18",
    "MidLayer19",     "MidLayer20",      "MidLayer21",      "MidLayer22",      "MidLayer23",
    "MidLayer24",     "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
    "MidLayer29",     "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",
    "TopPaste",       "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",
    "InternalPlane2", "InternalPlane3",  "InternalPlane4",  "InternalPlane5",  "InternalPlane6",
    "InternalPlane7", "InternalPlane8",  "InternalPlane9",  "InternalPlane10", "InternalPlane11",
    "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15", "InternalPlane16",
    "DrillGuide",     "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
    "Mechanical4",    "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",
    "Mechanical9",    "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",
    "Mechanical14",   "Mechanical15",    "Mechanical16",    "DrillDrawing",    "MultiLayer",
    "ConnectLayer",   "BackGroundLayer", "DRCErrorLayer",   "HighlightLayer",  "GridColor1",
    "GridColor10",    "PadHoleLayer",    "ViaHoleLayer"};

struct TExtendedForm {
  uint32_t High;
  const char* Prefix;
};
constexpr TExtendedForm kExtendedForms[] = {
    {0x0101, "SignalLayer"}, {0x0104, "InternalPlane"}, {0x0400, "Mechanical"}};

const TFieldInfo kBoardInfoFields[] = {
    {"BoardInfo.1", T::I32}, {"BoardInfo.2", T::Text}, {"BoardInfo.3", T::U8},
    {"BoardInfo.4", T::I32}, {"BoardInfo.5", T::I32},  {"BoardInfo.6", T::I32},
    {"BoardInfo.7", T::I32}, {"BoardInfo.8", T::U8},   {"CurrentLayer", T::LayerCode},
    {"BoardInfo.10", T::I32}};

const TFieldInfo kDielectricFields[] = {
    {"ExternalDielectrics.1", T::Text}, {"ExternalDielectrics.2", T::U8},
    {"ExternalDielectrics.3", T::Real}, {"ExternalDielectrics.4", T::I32},
    {"ExternalDielectrics.5", T::Text}, {"ExternalDielectrics.6", T::U8},
    {"ExternalDielectrics.7", T::Real}, {"ExternalDielectrics.8", T::I32}};

const TFieldInfo kGridFields[] = {
    {"GridOptions.1", T::U8},    {"GridOptions.2", T::U8},    {"GridOptions.3", T::U8},
    {"GridOptions.4", T::U8},    {"GridOptions.5", T::Real},  {"GridOptions.6", T::Real},
    {"GridOptions.7", T::Real},  {"GridOptions.8", T::Real},  {"GridOptions.9", T::I32},
    {"GridOptions.10", T::U8},   {"GridOptions.11", T::Real}, {"GridOptions.12", T::Real},
    {"GridOptions.13", T::Real}, {"GridOptions.14", T::Real}};

const TFieldInfo kOutputFields[] = {
    {"OutputOptions.1", T::I32}, {"OutputOptions.2", T::I32}, {"OutputOptions.3", T::U8},
    {"OutputOptions.4", T::U8},  {"OutputOptions.5", T::U8},  {"OutputOptions.6", T::U8},
    {"OutputOptions.7", T::U8},  {"OutputOptions.8", T::U8},  {"OutputOptions.9", T::U8},
    {"OutputOptions.10", T::U8}, {"OutputOptions.11", T::U8}, {"OutputOptions.12", T::U8},
    {"OutputOptions.13", T::U8}, {"OutputOptions.14", T::U8}, {"OutputOptions.15", T::U8},
    {"OutputOptions.16", T::U8}, {"OutputOptions.17", T::U8}, {"OutputOptions.18", T::U8},
    {"OutputOptions.19", T::U8}, {"OutputOptions.20", T::U8}, {"OutputOptions.21", T::U8},
    {"OutputOptions.22", T::U8}, {"OutputOptions.23", T::U8}, {"OutputOptions.24", T::U8}};

const TFieldInfo kGerberFields[] = {
    {"GerberOptions.1", T::U8},    {"GerberOptions.2", T::U8},   {"GerberOptions.3", T::U8},
    {"GerberOptions.4", T::U8},    {"GerberOptions.5", T::U8},   {"GerberOptions.6", T::U8},
    {"GerberOptions.7", T::U8},    {"GerberOptions.8", T::I32},  {"GerberOptions.9", T::I32},
    {"GerberOptions.10", T::I32},  {"GerberOptions.11", T::I32}, {"GerberOptions.12", T::I32},
    {"GerberOptions.13", T::Text}, {"GerberOptions.14", T::I32}, {"GerberOptions.15", T::U8},
    {"GerberOptions.16", T::U8},   {"GerberOptions.17", T::I32}, {"GerberOptions.18", T::I32},
    {"GerberOptions.19", T::U8}};

const TFieldInfo kPrinterFields[] = {
    {"PrinterOptions.1", T::Text},  {"PrinterOptions.2", T::Text},
    {"PrinterOptions.3", T::Text},  {"PrinterOptions.4", T::U8},
    {"PrinterOptions.5", T::U8},    {"PrinterOptions.6", T::U8},
    {"PrinterOptions.7", T::U8},    {"PrinterOptions.8", T::U8},
    {"PrinterOptions.9", T::U8},    {"PrinterOptions.10", T::I32},
    {"PrinterOptions.11", T::Real}, {"PrinterOptions.12", T::Real},
    {"PrinterOptions.13", T::Real}, {"PrinterOptions.14", T::Bytes, kPrinterBlockSize},
    {"PrinterOptions.15", T::U8},   {"PrinterOptions.16", T::U8},
    {"PrinterOptions.17", T::Real}, {"PrinterOptions.18", T::Real},
    {"PrinterOptions.19", T::Real}, {"PrinterOptions.20", T::I32},
    {"PrinterOptions.21", T::I32},  {"PrinterOptions.22", T::U8},
    {"PrinterOptions.23", T::U8},   {"PrinterOptions.24", T::U8},
    {"PrinterOptions.25", T::U8},   {"PrinterOptions.26", T::U8}};

const TFieldInfo kPlacerFields[] = {
    {"PlacerOptions.1", T::Text}, {"PlacerOptions.2", T::Text}, {"PlacerOptions.3", T::U8},
    {"PlacerOptions.4", T::U8},   {"PlacerOptions.5", T::U8},   {"PlacerOptions.6", T::U8}};

const TFieldInfo kEcoFields[] = {{"EcoOptions.1", T::U8}, {"EcoOptions.2", T::Text}};

const TFieldInfo kLayerInfoTable[] = {{"A", T::U8}, {"B", T::U8}, {"", T::I32}};
const TFieldInfo kPlotLayerTable[] = {{"", T::U8}};
const TFieldInfo kPenTable[] = {{"1", T::I32}, {"2", T::I32}};
const TFieldInfo kCompositeTable[] = {{"1", T::I32}, {"2", T::I32}, {"3", T::U8}, {"4", T::I32}};
const TFieldInfo kLayerTable[] = {{"Name", T::Text},      {"CopperThickness", T::I32},
                                  {"LayerFlag1", T::U8},  {"LayerFlag2", T::U8},
                                  {"PrevLayer", T::LayerId}, {"NextLayer", T::LayerId},
                                  {"LayerValue", T::U8}};
const TFieldInfo kPlaneTable[] = {{"Name", T::Text},      {"CopperThickness", T::I32},
                                  {"LayerFlag1", T::U8},  {"LayerFlag2", T::U8},
                                  {"PrevLayer", T::LayerId}, {"NextLayer", T::LayerId},
                                  {"NetName", T::Text}};
const TFieldInfo kDielectricTable[] = {{"DielectricMaterial", T::Text},
                                       {"DielectricType", T::U8},
                                       {"DielectricConstant", T::Real},
                                       {"DielectricHeight", T::I32}};
const TFieldInfo kPairTable[] = {{"PairLayer1", T::LayerCode}, {"PairLayer2", T::LayerCode},
                                 {"PairFlag2", T::U8}, {"PairFlag1", T::U8}};

}  // namespace

const TBoardGroup kBoardInfo{"BoardInfo", kBoardInfoFields};
const TBoardGroup kExternalDielectrics{"ExternalDielectrics", kDielectricFields};
const TBoardGroup kGridOptions{"GridOptions", kGridFields};
const TBoardGroup kOutputOptions{"OutputOptions", kOutputFields};
const TBoardGroup kGerberOptions{"GerberOptions", kGerberFields};
const TBoardGroup kPrinterOptions{"PrinterOptions", kPrinterFields};
const TBoardGroup kPlacerOptions{"PlacerOptions", kPlacerFields};
const TBoardGroup kEcoOptions{"EcoOptions", kEcoFields};

const std::span<const TFieldInfo> kLayerInfoValues{kLayerInfoTable},
    kPlotLayerValue{kPlotLayerTable}, kPenValues{kPenTable}, kCompositeValues{kCompositeTable},
    kLayerValues{kLayerTable}, kPlaneValues{kPlaneTable}, kDielectricValues{kDielectricTable},
    kPairValues{kPairTable};

std::span<const TBoardGroup* const> BoardGroups() {
  static const TBoardGroup* const groups[] = {&kBoardInfo,     &kExternalDielectrics,
                                              &kGridOptions,   &kOutputOptions,
                                              &kGerberOptions, &kPrinterOptions,
                                              &kPlacerOptions, &kEcoOptions};
  return groups;
}

std::string_view LayerName(uint8_t id) {
  return id <= kLastLayer ? kLayerNames[id] : std::string_view();
}

std::string LayerCodeName(uint32_t code) {
  if (code <= kLastLayer) return std::string(kLayerNames[code]);
  for (const TExtendedForm& form : kExtendedForms)
    if (code >> 16 == form.High) return form.Prefix + std::to_string(code & 0xFFFFu);
  char text[24];
  std::snprintf(text, sizeof text, "Layer0x%08X", static_cast<unsigned>(code));
  return text;
}

bool IsPlaneLayer(unsigned id) { return id >= kFirstPlaneId && id <= kLastPlaneId; }

TObject* FindBoard(const char* call, uint32_t handle) {
  return FindFor(call, handle, KindBit(kKindBoard));
}

std::string IndexedKey(std::string_view group, unsigned index, std::string_view suffix) {
  std::string key(group);
  key += '.';
  key += std::to_string(index);
  if (!suffix.empty()) {
    key += '.';
    key += suffix;
  }
  return key;
}

namespace {

// The numbered fields of each index of one group's value table, made the
// first time the index is exchanged: the importer exchanges the board's
// settings layer by layer, a few thousand times per import, and spelling
// and looking up "Layers.39.NetName" on every one of them cost more than
// the rest of the import of a small board.
struct TIndexedTable {
  std::string Group;
  std::vector<std::vector<TFieldInfo>> ByIndex;
};

const std::vector<TFieldInfo>* CachedIndexedFields(std::string_view group, unsigned index,
                                                   std::span<const TFieldInfo> values) {
  constexpr unsigned kMaxCachedIndex = 1024;  // layer ids and pair numbers are far below
  if (index >= kMaxCachedIndex) return nullptr;
  static std::unordered_map<const TFieldInfo*, TIndexedTable> tables;
  TIndexedTable& table = tables[values.data()];
  if (table.ByIndex.empty()) table.Group = group;
  if (table.Group != group) return nullptr;  // one value table shared by two groups
  if (table.ByIndex.size() <= index) table.ByIndex.resize(index + 1);
  std::vector<TFieldInfo>& fields = table.ByIndex[index];
  if (!fields.empty()) return &fields;
  for (const TFieldInfo& value : values) {
    const TFieldId id = InternField(IndexedKey(group, index, value.Name));
    if (id == kNoField) {  // out of field numbers: stored nowhere, as uncached
      fields.clear();
      return nullptr;
    }
    fields.push_back(TFieldInfo{FieldName(id).data(), value.Type, value.Size});
  }
  return &fields;
}

}  // namespace

void ExchangeIndexed(uint8_t dir, TObject& board, std::string_view group, unsigned index,
                     std::span<const TFieldInfo> values, std::initializer_list<void*> pointers) {
  if (const std::vector<TFieldInfo>* fields = CachedIndexedFields(group, index, values)) {
    ExchangeFields(dir, board, *fields, pointers);
    return;
  }
  size_t i = 0;
  for (void* pointer : pointers) {
    if (i >= values.size()) break;
    const TFieldInfo& value = values[i++];
    const std::string key = IndexedKey(group, index, value.Name);
    ExchangeField(dir, board, TFieldInfo{key.c_str(), value.Type, value.Size}, pointer);
  }
}

}  // namespace morvik
