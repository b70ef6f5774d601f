#pragma once
// The classifier: collects the design values of every pad and net while the
// file loads, groups each rule family's pads or nets by value and, after
// loading, turns every family into one board-wide rule with its most common
// value plus one rule per pad or net that differs from it.
//
// Both levels keep the order the rules depend on: the newest group first in
// its family, the newest name first in its group. Groups and names are also
// indexed, so collecting stays linear however many values or names a family
// holds, and each name is kept once for all families.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "rules/FlatIndex.h"

namespace pcb9 {

class TPcbBoard;

// The eight rule families, in the order they are created.
enum class TRuleFamily : uint8_t {
  SolderMaskExpansion,
  PasteMaskExpansion,
  PlaneExpansion,
  PlaneConnect,
  TrackWidth,
  ViaSize,
  Topology,
  Priority,
};
constexpr size_t kRuleFamilyCount = 8;

// What tells the groups of a family apart: Value alone, and in the plane
// connect family the four connect settings too (zero elsewhere).
struct TGroupKey {
  int32_t Value = 0;
  uint8_t ConnectStyle = 0;
  int32_t ConnectParam1 = 0;
  int32_t ConnectParam2 = 0;
  int32_t ConnectParam3 = 0;

  bool operator==(const TGroupKey&) const = default;
};

struct TGroupKeyHash {
  size_t operator()(const TGroupKey& key) const noexcept;
};

// Every name the classifier was given, kept once however many families
// carry it, and numbered in the order first seen.
class TNamePool {
 public:
  static uint64_t Hash(std::string_view name);
  // The number of the name, added when new; `hash` is Hash(name).
  uint32_t Intern(std::string_view name, uint64_t hash);
  uint32_t Intern(std::string_view name) { return Intern(name, Hash(name)); }
  // Start loading what an Intern of a name with that hash probes first, or
  // what At(number) reads.
  void PrefetchProbe(uint64_t hash) const { Index_.Prefetch(hash); }
  void PrefetchName(uint32_t number) const { __builtin_prefetch(&Names_[number]); }
  const std::string& At(uint32_t number) const { return Names_[number]; }
  size_t Count() const { return Names_.size(); }

 private:
  std::deque<std::string> Names_;  // never moves a name: groups hand out references
  TFlatIndex Index_;
  // A pad's name is given to up to four families in a row.
  uint32_t Last_ = TFlatIndex::kNone;
};

class TValueFamily;

// One distinct value of a family and the pads or nets that carry it.
class TValueGroup {
 public:
  TValueGroup(const TValueFamily& family, const TGroupKey& key, uint32_t number)
      : Key(key), Family_(&family), Number_(number) {}
  TValueGroup(const TValueGroup&) = delete;
  TValueGroup& operator=(const TValueGroup&) = delete;

  const TGroupKey Key;
  bool IsDefault = false;

  size_t NameCount() const { return NameCount_; }
  // The names newest first: index 0 is the last one added.
  const std::string& NameAt(size_t index) const;

 private:
  friend class TValueFamily;
  const TValueFamily* Family_;
  uint32_t Number_;  // its place among the family's groups, oldest first
  uint32_t NameCount_ = 0;
};

// The groups of one family. Groups and memberships live in flat tables, so
// collecting a name costs a probe or two and no allocation of its own, and
// walking a family reads its tables in order.
class TValueFamily {
 public:
  TValueFamily() = default;
  TValueFamily(const TValueFamily&) = delete;
  TValueFamily& operator=(const TValueFamily&) = delete;

  // The pool the family's name numbers refer to; set once, before any Add.
  void UseNames(const TNamePool* names) { Names_ = names; }
  // Adds the name to the group of that key (created at the head of the
  // family when new) unless the group holds it already; `keyHash` is the
  // key's TGroupKeyHash.
  void Add(const TGroupKey& key, uint64_t keyHash, uint32_t name);
  void Add(const TGroupKey& key, uint32_t name) { Add(key, TGroupKeyHash{}(key), name); }
  // Start loading what an Add of a key with that hash probes first.
  void PrefetchProbe(uint64_t keyHash) const { GroupIndex_.Prefetch(keyHash); }

  size_t GroupCount() const { return Groups_.size(); }
  bool Empty() const { return Groups_.empty(); }
  // Names in groups, counted once per group that holds them.
  size_t MemberCount() const { return Members_.size(); }
  // The group with the most names, marked as the default; among equals the
  // newest. Worked out again only after an Add. Null when empty.
  TValueGroup* DefaultGroup();
  // The groups newest first: index 0 is the last one created.
  TValueGroup& GroupAt(size_t index) const { return Groups_[Groups_.size() - 1 - index]; }
  // Start loading what reading a group (by GroupAt's index) touches: the
  // group itself, and its first name once the group is at hand.
  void PrefetchGroup(size_t index) const;
  void PrefetchFirstName(size_t index) const;
  // Lets go of every group and name, leaving the family empty.
  void Release();

 private:
  friend class TValueGroup;
  // One name of one group, by their numbers.
  struct TMember {
    uint32_t Group;
    uint32_t Name;
  };

  uint32_t GroupFor(const TGroupKey& key, uint64_t keyHash);
  bool Join(uint32_t group, uint32_t name);
  const std::string& NameOf(const TValueGroup& group, size_t index) const;
  // The pool number of a group's name, once the members are in order.
  uint32_t NameNumber(const TValueGroup& group, size_t index) const {
    return OrderedNames_[GroupStarts_[group.Number_] + index];
  }
  void OrderMembers() const;

  const TNamePool* Names_ = nullptr;
  mutable std::deque<TValueGroup> Groups_;  // in the order created; never moved
  TFlatIndex GroupIndex_;
  std::vector<TMember> Members_;  // in the order added
  // By name number: its first group's number + 1 (0: in no group yet). A
  // name in a second group of the family is remembered in MoreGroups_.
  std::vector<uint32_t> FirstGroup_;
  std::unordered_set<uint64_t> MoreGroups_;
  // The members grouped, each group's names newest first, worked out when
  // names are first read after an Add.
  mutable std::vector<uint32_t> GroupStarts_;
  mutable std::vector<uint32_t> OrderedNames_;
  mutable size_t OrderedMembers_ = 0;
  // The default group and the member count it was chosen at.
  TValueGroup* Default_ = nullptr;
  size_t DefaultMembers_ = 0;
};

// One value of one name, for adding several at once.
struct TFamilyKey {
  TRuleFamily Family;
  TGroupKey Key;
};

class TClassifier {
 public:
  // Names longer than this are cut, as every text the host keeps.
  static constexpr size_t kMaxNameLength = 255;

  explicit TClassifier(TPcbBoard* Board);
  TClassifier(const TClassifier&) = delete;
  TClassifier& operator=(const TClassifier&) = delete;
  virtual ~TClassifier() = default;

  // Collecting, while pads and nets load.
  void AddSolderMaskExpansion(int32_t Expansion, std::string_view PadName);
  void AddPasteMaskExpansion(int32_t Expansion, std::string_view PadName);
  void AddPlaneExpansion(int32_t Expansion, std::string_view PadName);
  void AddPlaneConnect(int32_t Expansion, uint8_t ConnectStyle, int32_t ConnectParam1,
                       int32_t ConnectParam2, int32_t ConnectParam3, std::string_view PadName);
  void AddTrackWidth(int32_t Width, std::string_view NetName);
  void AddViaSize(int32_t ViaSize, std::string_view NetName);
  // Groups by the host topology value that the file's code maps to.
  void AddTopology(uint16_t TopologyCode, std::string_view NetName);
  // Groups by the low 8 bits of the priority.
  void AddRoutingPriority(uint16_t Priority, std::string_view NetName);
  // Adds each of the name's values in turn, as the Add calls above would
  // one by one; the lookups overlap, which is what a big board's pads need.
  void AddAll(std::string_view Name, std::span<const TFamilyKey> Keys);

  // The family's group with the most names, marked as its default; among
  // equals the newest. Null for a family with nothing collected.
  TValueGroup* FindDefaultGroup(TRuleFamily Family);
  // How many rules the family makes with its switch on: one board-wide rule
  // plus one per name outside the default group; 0 for an empty family.
  int32_t CountRules(TRuleFamily Family);
  // Lets the user choose the families, then creates every family's rules on
  // the board. Each family's values are let go once its rules exist, so a
  // big board's rules reuse that memory; the families are empty afterwards.
  void CreateRules();

  // Whether the family's per-name rules are created; all on at first.
  bool Switch(TRuleFamily Family) const { return Switches_[Index(Family)]; }
  void SetSwitch(TRuleFamily Family, bool On) { Switches_[Index(Family)] = On; }

  const TValueFamily& Groups(TRuleFamily Family) const { return Families_[Index(Family)]; }
  TPcbBoard* Board() const { return Board_; }

  // The host topology value of a file topology code.
  static uint8_t HostTopology(uint16_t TopologyCode);

 private:
  static size_t Index(TRuleFamily Family) { return static_cast<size_t>(Family); }
  void Add(TRuleFamily Family, const TGroupKey& Key, std::string_view Name);
  void CreateFamilyRules(TRuleFamily Family);

  TPcbBoard* Board_;
  TNamePool Names_;
  std::array<TValueFamily, kRuleFamilyCount> Families_;
  std::array<bool, kRuleFamilyCount> Switches_;
};

}  // namespace pcb9
