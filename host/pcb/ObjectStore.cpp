#include "ObjectStore.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "Checks.h"
#include "Kinds.h"

namespace morvik {

namespace {

using T = TFieldType;

// The block stored under a field, or none.
const std::vector<uint8_t>* Block(const TObject& object, const TFieldName& name) {
  return object.Bytes(name);
}

// The block stored under a field, at least `size` bytes long.
std::vector<uint8_t>& MutableBlock(TObject& object, const TFieldName& name, size_t size) {
  std::vector<uint8_t>& block = object.MutableBytes(name);
  if (block.size() < size) block.resize(size, 0);
  return block;
}

const TFieldName kSegmentCount("SegmentCount"), kSegments("Segments"),
    kReferenceCount("ReferenceCount"), kReferences("References"), kRuleKind("RuleKind"),
    kConstraintQuery("ConstraintQuery");

void WriteI32(uint8_t* p, int32_t value) {
  uint32_t v;
  std::memcpy(&v, &value, sizeof v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

// --- per-layer arrays ----------------------------------------------------------------

const TLayerArray kLayerXSize{"LayerXSize", 4}, kLayerYSize{"LayerYSize", 4},
    kLayerShape{"LayerShape", 1}, kLayerCornerPercent{"LayerCornerPercent", 1};

std::span<const TLayerArray* const> LayerArrays() {
  static const TLayerArray* const arrays[] = {&kLayerXSize, &kLayerYSize, &kLayerShape,
                                              &kLayerCornerPercent};
  return arrays;
}

const TLayerArray* FindLayerArray(std::string_view name) {
  for (const TLayerArray* array : LayerArrays())
    if (name == array->Name) return array;
  return nullptr;
}

void SetLayerArrayValue(TObject& object, const TLayerArray& array, unsigned id, int64_t value) {
  if (id >= kLayerIdCount) return;
  auto& block = MutableBlock(object, array.Field, size_t{kLayerIdCount} * array.Width);
  uint8_t* at = block.data() + size_t{id} * array.Width;
  if (array.Width == 4)
    WriteI32(at, static_cast<int32_t>(value));
  else
    *at = static_cast<uint8_t>(value);
}

std::vector<int64_t> LayerArrayValues(const TObject& object, const TLayerArray& array) {
  std::vector<int64_t> values;
  for (unsigned id = 0; id < kLayerIdCount; ++id) values.push_back(LayerArrayValue(object, array, id));
  return values;
}

// --- segments ------------------------------------------------------------------------

TSegment DecodeSegment(const uint8_t* record) {
  TSegment s;
  s.SegKind = record[0];
  s.SegX = ReadI32(record + 1);
  s.SegY = ReadI32(record + 5);
  s.SegCenterX = ReadI32(record + 9);
  s.SegCenterY = ReadI32(record + 13);
  s.SegRadius = ReadI32(record + 17);
  std::memcpy(&s.SegStartAngle, record + 21, sizeof(double));
  std::memcpy(&s.SegEndAngle, record + 29, sizeof(double));
  return s;
}

namespace {
int32_t ClampSegmentCount(int64_t count) {
  return static_cast<int32_t>(std::clamp<int64_t>(count, -1, kMaxSegmentIndex));
}
}  // namespace

std::vector<TSegment> StoredSegments(const TObject& object) {
  std::vector<TSegment> segments;
  const int32_t count = ClampSegmentCount(object.Int(kSegmentCount));
  const auto* block = Block(object, kSegments);
  uint8_t zero[kSegmentSize] = {};
  for (int32_t i = 0; i <= count; ++i) {
    const size_t at = size_t(i) * kSegmentSize;
    const bool stored = block && at + kSegmentSize <= block->size();
    segments.push_back(DecodeSegment(stored ? block->data() + at : zero));
  }
  return segments;
}

void ExchangeSegments(uint8_t dir, TObject& object, int32_t* count, void* records) {
  if (!count) return;
  auto* bytes = static_cast<uint8_t*>(records);
  if (dir == 1) {
    const int32_t n = ClampSegmentCount(object.Int(kSegmentCount));
    *count = n;
    if (!bytes || n < 0) return;
    const size_t size = size_t(n + 1) * kSegmentSize;
    std::memset(bytes, 0, size);
    if (const auto* block = Block(object, kSegments))
      std::memcpy(bytes, block->data(), std::min(size, block->size()));
    return;
  }
  const int32_t n = ClampSegmentCount(*count);
  object.Set(kSegmentCount, T::I32, int64_t{n});
  std::vector<uint8_t>& block = object.MutableBytes(kSegments);
  if (bytes && n >= 0)
    block.assign(bytes, bytes + size_t(n + 1) * kSegmentSize);
  else
    block.clear();
}

// --- references ----------------------------------------------------------------------

std::vector<TReference> StoredReferences(const TObject& object) {
  const int64_t count = std::clamp<int64_t>(object.Int(kReferenceCount), 0, kMaxStoredReferences);
  std::vector<TReference> references(static_cast<size_t>(count));
  if (const auto* block = Block(object, kReferences))
    for (size_t k = 0; k < references.size(); ++k)
      for (size_t v = 0; v < 4; ++v) {
        const size_t at = (k * 4 + v) * 4;
        if (at + 4 <= block->size()) references[k].Values[v] = ReadI32(block->data() + at);
      }
  return references;
}

void SetStoredReferences(TObject& object, const std::vector<TReference>& references) {
  std::vector<uint8_t> block(references.size() * 16);
  for (size_t k = 0; k < references.size(); ++k)
    for (size_t v = 0; v < 4; ++v) WriteI32(block.data() + (k * 4 + v) * 4, references[k].Values[v]);
  object.Set(kReferenceCount, T::I32, static_cast<int64_t>(references.size()));
  object.Set(kReferences, T::Bytes, std::move(block));
}

// --- rule constraints ---------------------------------------------------------------

namespace {
const TFieldInfo kClearance[] = {{"Gap", T::I32}};
const TFieldInfo kMaxMinWidth[] = {{"MinWidth", T::I32}, {"MaxWidth", T::I32}};
const TFieldInfo kViaStyle[] = {
    {"ViaHoleSize", T::I32}, {"ViaSize", T::I32}, {"ViaFlag", T::U8}};
const TFieldInfo kRoutingLayers[] = {{"RoutingDirections", T::Bytes, 32}};
const TFieldInfo kTopology[] = {{"Topology", T::U8}};
const TFieldInfo kPriority[] = {{"Priority", T::I32}};
const TFieldInfo kConnectStyle[] = {{"ConnectStyle", T::U8},
                                    {"PlaneConnectExpansion", T::I32},
                                    {"ConnectParam1", T::I32},
                                    {"ConnectParam3", T::I32},
                                    {"ConnectParam2", T::I32}};
const TFieldInfo kPasteMask[] = {{"PasteMaskExpansion", T::I32}};
const TFieldInfo kSolderMask[] = {{"SolderMaskExpansion", T::I32}};
const TFieldInfo kPlaneExpansion[] = {{"PlaneExpansion", T::I32}};
const TFieldInfo kShortCircuit[] = {{"ShortCircuitAllowed", T::U8}};

const TConstraintQuery kConstraintQueries[] = {
    {"PcbApi_QueryRuleClearanceConstraint", kRuleClearance, kClearance},
    {"PcbApi_QueryRuleMaxMinWidthConstraint", kRuleWidth, kMaxMinWidth},
    {"PcbApi_QueryRuleRoutingViaStyleRule", kRuleRoutingVias, kViaStyle},
    {"PcbApi_QueryRuleRoutingLayersRule", kRuleRoutingLayers, kRoutingLayers},
    {"PcbApi_QueryRuleRoutingTopologyRule", kRuleRoutingTopology, kTopology},
    {"PcbApi_QueryRuleRoutingPriorityRule", kRuleRoutingPriority, kPriority},
    {"PcbApi_QueryRulePowerPlaneConnectStyleRule", kRulePlaneConnect, kConnectStyle},
    {"PcbApi_QueryRulePasteMaskExpansionRule", kRulePasteMaskExpansion, kPasteMask},
    {"PcbApi_QueryRuleSolderMaskExpansionRule", kRuleSolderMaskExpansion, kSolderMask},
    {"PcbApi_QueryRulePowerPlaneExpansionRule", kRulePlaneClearance, kPlaneExpansion},
    {"PcbApi_QueryRuleShortCircuitConstraint", kRuleShortCircuit, kShortCircuit},
};
}  // namespace

std::span<const TConstraintQuery> ConstraintQueries() { return kConstraintQueries; }

const TConstraintQuery* FindConstraintQuery(std::string_view name) {
  for (const TConstraintQuery& query : kConstraintQueries)
    if (name == query.Name) return &query;
  return nullptr;
}

int32_t ExchangeConstraint(uint8_t dir, uint32_t rule, const char* call,
                           std::initializer_list<void*> pointers) {
  const TConstraintQuery* query = FindConstraintQuery(call);
  TObject* object = FindFor(call, rule, KindBit(kKindRule));
  if (!object || !query) return kRefused;
  const auto ruleKind = static_cast<uint8_t>(object->Int(kRuleKind));
  if (ruleKind != query->RuleKind)
    return Refuse(call, rule,
                  "a " + std::string(RuleKindName(ruleKind)) + " rule, not a " +
                      std::string(RuleKindName(query->RuleKind)) + " rule");
  ExchangeFields(dir, *object, query->Values, pointers);
  // The query's name is in the constant table: every rule points at it.
  if (dir != 1) object->SetStaticText(kConstraintQuery, query->Name);
  return 0;
}

}  // namespace morvik
