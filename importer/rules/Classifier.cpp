#include "Classifier.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "RuleBuilders.h"
#include "RuleTranslator.h"
#include "proxies/Board.h"

namespace pcb9 {

namespace {

// Host topology value of the file's codes 0..7; every higher code means 6.
constexpr std::array<uint8_t, 8> kHostTopologyOfCode = {1, 2, 0, 3, 3, 3, 0, 0};
constexpr uint8_t kHostTopologyOtherwise = 6;

// Via size rules keep no flag and a fixed 20 mil for the other size.
constexpr uint8_t kViaFlag = 0;
constexpr int32_t kViaOtherSize = 200000;

using TCreateRule = void (*)(TPcbBoard& Board, std::string_view Name, const TGroupKey& Key,
                             int32_t Index);

struct TFamilyRow {
  TRuleFamily Family;
  TCreateRule Create;
};

// The families in the order their rules are created, each with its builder.
constexpr TFamilyRow kFamilyRows[kRuleFamilyCount] = {
    {TRuleFamily::SolderMaskExpansion,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddSolderMaskRule(b, n, k.Value, i);
     }},
    {TRuleFamily::PasteMaskExpansion,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddPasteMaskRule(b, n, k.Value, i);
     }},
    {TRuleFamily::PlaneExpansion,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddPlaneClearanceRule(b, n, k.Value, i);
     }},
    {TRuleFamily::PlaneConnect,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddPlaneConnectRule(b, n, k.ConnectStyle, i, k.Value, k.ConnectParam1, k.ConnectParam2,
                           k.ConnectParam3);
     }},
    {TRuleFamily::TrackWidth,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddWidthRule(b, n, k.Value, i);
     }},
    {TRuleFamily::ViaSize,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddViaStyleRule(b, n, k.Value, i, kViaFlag, kViaOtherSize);
     }},
    {TRuleFamily::Topology,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddTopologyRule(b, n, static_cast<uint8_t>(k.Value), i);
     }},
    {TRuleFamily::Priority,
     [](TPcbBoard& b, std::string_view n, const TGroupKey& k, int32_t i) {
       AddPriorityRule(b, n, static_cast<int32_t>(static_cast<uint8_t>(k.Value)), i);
     }},
};

constexpr bool RowsInFamilyOrder() {
  for (size_t i = 0; i < kRuleFamilyCount; ++i)
    if (static_cast<size_t>(kFamilyRows[i].Family) != i) return false;
  return true;
}
static_assert(RowsInFamilyOrder(), "rows are looked up by family");

TGroupKey ValueKey(int32_t value) {
  TGroupKey key;
  key.Value = value;
  return key;
}

size_t Combine(size_t seed, uint64_t value) {
  // 64-bit mix (splitmix64 finaliser) so that keys differing in one field
  // only do not collide.
  value += seed + 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return static_cast<size_t>(value ^ (value >> 31));
}

}  // namespace

// --- Groups -------------------------------------------------------------------

size_t TGroupKeyHash::operator()(const TGroupKey& key) const noexcept {
  size_t h = Combine(0, static_cast<uint32_t>(key.Value));
  h = Combine(h, key.ConnectStyle);
  h = Combine(h, static_cast<uint32_t>(key.ConnectParam1));
  h = Combine(h, static_cast<uint32_t>(key.ConnectParam2));
  return Combine(h, static_cast<uint32_t>(key.ConnectParam3));
}

// --- Names -------------------------------------------------------------------------

uint64_t TNamePool::Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

uint32_t TNamePool::Intern(std::string_view name, uint64_t hash) {
  if (Last_ != TFlatIndex::kNone && Names_[Last_] == name) return Last_;
  Last_ = Index_.FindOrAdd(
      hash, [&](uint32_t n) { return Names_[n] == name; },
      [&] {
        Names_.emplace_back(name);
        return static_cast<uint32_t>(Names_.size() - 1);
      });
  return Last_;
}

// --- Families --------------------------------------------------------------------

const std::string& TValueGroup::NameAt(size_t index) const { return Family_->NameOf(*this, index); }

void TValueFamily::Add(const TGroupKey& key, uint64_t keyHash, uint32_t name) {
  const uint32_t group = GroupFor(key, keyHash);
  if (!Join(group, name)) return;
  Members_.push_back({group, name});
  ++Groups_[group].NameCount_;
}

uint32_t TValueFamily::GroupFor(const TGroupKey& key, uint64_t keyHash) {
  return GroupIndex_.FindOrAdd(
      keyHash, [&](uint32_t g) { return Groups_[g].Key == key; },
      [&] {
        const auto number = static_cast<uint32_t>(Groups_.size());
        Groups_.emplace_back(*this, key, number);
        return number;
      });
}

// Whether the name is new to the group; records it there.
bool TValueFamily::Join(uint32_t group, uint32_t name) {
  if (name >= FirstGroup_.size()) FirstGroup_.resize(size_t{name} + 1, 0);
  uint32_t& first = FirstGroup_[name];
  if (first == 0) {
    first = group + 1;
    return true;
  }
  if (first == group + 1) return false;
  return MoreGroups_.insert(uint64_t{group} << 32 | name).second;
}

void TValueFamily::PrefetchGroup(size_t index) const {
  if (index < Groups_.size()) __builtin_prefetch(&GroupAt(index));
}

void TValueFamily::PrefetchFirstName(size_t index) const {
  if (index >= Groups_.size() || OrderedMembers_ != Members_.size()) return;
  const TValueGroup& group = GroupAt(index);
  if (group.NameCount_ > 0) Names_->PrefetchName(NameNumber(group, 0));
}

const std::string& TValueFamily::NameOf(const TValueGroup& group, size_t index) const {
  if (OrderedMembers_ != Members_.size()) OrderMembers();
  return Names_->At(NameNumber(group, index));
}

// Each group's names in one run, newest first: a counting sort of the
// members by group, filled from the newest member back.
void TValueFamily::OrderMembers() const {
  GroupStarts_.assign(Groups_.size() + 1, 0);
  for (const TMember& m : Members_) ++GroupStarts_[m.Group + 1];
  for (size_t g = 0; g < Groups_.size(); ++g) GroupStarts_[g + 1] += GroupStarts_[g];
  std::vector<uint32_t> next(GroupStarts_.begin(), GroupStarts_.end() - 1);
  OrderedNames_.resize(Members_.size());
  for (auto m = Members_.rbegin(); m != Members_.rend(); ++m) OrderedNames_[next[m->Group]++] = m->Name;
  OrderedMembers_ = Members_.size();
}

// --- Collecting ---------------------------------------------------------------

TClassifier::TClassifier(TPcbBoard* Board) : Board_(Board) {
  Switches_.fill(true);
  for (TValueFamily& family : Families_) family.UseNames(&Names_);
}

uint8_t TClassifier::HostTopology(uint16_t TopologyCode) {
  const uint8_t code = static_cast<uint8_t>(TopologyCode & 0xFF);
  return code < kHostTopologyOfCode.size() ? kHostTopologyOfCode[code] : kHostTopologyOtherwise;
}

void TClassifier::Add(TRuleFamily Family, const TGroupKey& Key, std::string_view Name) {
  const TFamilyKey key{Family, Key};
  AddAll(Name, {&key, 1});
}

// On a big board each lookup below misses the cache; asking for every line
// first lets the misses overlap instead of following one another.
void TClassifier::AddAll(std::string_view Name, std::span<const TFamilyKey> Keys) {
  const std::string_view name = Name.substr(0, kMaxNameLength);
  const uint64_t nameHash = TNamePool::Hash(name);
  Names_.PrefetchProbe(nameHash);
  std::array<uint64_t, kRuleFamilyCount> keyHashes{};
  while (!Keys.empty()) {
    const std::span<const TFamilyKey> batch = Keys.first(std::min(Keys.size(), keyHashes.size()));
    for (size_t i = 0; i < batch.size(); ++i) {
      keyHashes[i] = TGroupKeyHash{}(batch[i].Key);
      Families_[Index(batch[i].Family)].PrefetchProbe(keyHashes[i]);
    }
    const uint32_t number = Names_.Intern(name, nameHash);
    for (size_t i = 0; i < batch.size(); ++i)
      Families_[Index(batch[i].Family)].Add(batch[i].Key, keyHashes[i], number);
    Keys = Keys.subspan(batch.size());
  }
}

void TClassifier::AddSolderMaskExpansion(int32_t Expansion, std::string_view PadName) {
  Add(TRuleFamily::SolderMaskExpansion, ValueKey(Expansion), PadName);
}

void TClassifier::AddPasteMaskExpansion(int32_t Expansion, std::string_view PadName) {
  Add(TRuleFamily::PasteMaskExpansion, ValueKey(Expansion), PadName);
}

void TClassifier::AddPlaneExpansion(int32_t Expansion, std::string_view PadName) {
  Add(TRuleFamily::PlaneExpansion, ValueKey(Expansion), PadName);
}

void TClassifier::AddPlaneConnect(int32_t Expansion, uint8_t ConnectStyle, int32_t ConnectParam1,
                                  int32_t ConnectParam2, int32_t ConnectParam3,
                                  std::string_view PadName) {
  Add(TRuleFamily::PlaneConnect,
      TGroupKey{Expansion, ConnectStyle, ConnectParam1, ConnectParam2, ConnectParam3}, PadName);
}

void TClassifier::AddTrackWidth(int32_t Width, std::string_view NetName) {
  Add(TRuleFamily::TrackWidth, ValueKey(Width), NetName);
}

void TClassifier::AddViaSize(int32_t ViaSize, std::string_view NetName) {
  Add(TRuleFamily::ViaSize, ValueKey(ViaSize), NetName);
}

void TClassifier::AddTopology(uint16_t TopologyCode, std::string_view NetName) {
  Add(TRuleFamily::Topology, ValueKey(HostTopology(TopologyCode)), NetName);
}

void TClassifier::AddRoutingPriority(uint16_t Priority, std::string_view NetName) {
  Add(TRuleFamily::Priority, ValueKey(Priority & 0xFF), NetName);
}

// --- Evaluation -----------------------------------------------------------------

TValueGroup* TValueFamily::DefaultGroup() {
  // Every Add that changes a group adds a member.
  if (Default_ && DefaultMembers_ == Members_.size()) return Default_;
  // Only the latest choice stays marked, so a family never has two.
  if (Default_) Default_->IsDefault = false;
  TValueGroup* best = nullptr;
  for (size_t i = 0; i < GroupCount(); ++i) {
    TValueGroup& group = GroupAt(i);
    if (!best || group.NameCount() > best->NameCount()) best = &group;
  }
  if (best) best->IsDefault = true;
  Default_ = best;
  DefaultMembers_ = Members_.size();
  return best;
}

void TValueFamily::Release() {
  // Swapped with fresh tables, so that the memory itself goes back.
  TValueFamily fresh;
  std::swap(Groups_, fresh.Groups_);
  std::swap(GroupIndex_, fresh.GroupIndex_);
  std::swap(Members_, fresh.Members_);
  std::swap(FirstGroup_, fresh.FirstGroup_);
  std::swap(MoreGroups_, fresh.MoreGroups_);
  std::swap(GroupStarts_, fresh.GroupStarts_);
  std::swap(OrderedNames_, fresh.OrderedNames_);
  OrderedMembers_ = 0;
  Default_ = nullptr;
  DefaultMembers_ = 0;
}

TValueGroup* TClassifier::FindDefaultGroup(TRuleFamily Family) {
  return Families_[Index(Family)].DefaultGroup();
}

int32_t TClassifier::CountRules(TRuleFamily Family) {
  const TValueGroup* fallback = FindDefaultGroup(Family);
  if (!fallback) return 0;
  // Every member of another group is a rule of its own.
  const size_t count = 1 + Families_[Index(Family)].MemberCount() - fallback->NameCount();
  constexpr auto kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(count < kMax ? count : kMax);
}

void TClassifier::CreateRules() {
  TDesignRuleTranslator::ChooseRuleFamilies(*this);
  if (!Board_) return;
  Board_->Sync(1);
  for (const TFamilyRow& row : kFamilyRows) {
    CreateFamilyRules(row.Family);
    Families_[Index(row.Family)].Release();
  }
}

void TClassifier::CreateFamilyRules(TRuleFamily Family) {
  const TValueGroup* fallback = FindDefaultGroup(Family);
  if (!fallback) return;
  const TCreateRule create = kFamilyRows[Index(Family)].Create;
  create(*Board_, {}, fallback->Key, 0);
  if (!Switch(Family)) return;
  const TValueFamily& family = Families_[Index(Family)];
  int32_t n = 1;
  // A big family's groups and names are long out of the cache by now, and
  // each rule's creation in between evicts what the walk would reuse.
  constexpr size_t kGroupsAhead = 16, kNamesAhead = 8;
  for (size_t g = 0; g < family.GroupCount(); ++g) {
    family.PrefetchGroup(g + kGroupsAhead);
    family.PrefetchFirstName(g + kNamesAhead);
    const TValueGroup& group = family.GroupAt(g);
    if (&group == fallback) continue;
    for (size_t i = 0; i < group.NameCount(); ++i) create(*Board_, group.NameAt(i), group.Key, n++);
  }
}

}  // namespace pcb9
