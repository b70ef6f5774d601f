#pragma once
// The classifier: collects the design values of every pad and net while the
// file loads, groups each rule family's pads or nets by value and, after
// loading, turns every family into one board-wide rule with its most common
// value plus one rule per pad or net that differs from it.
//
// Both levels keep the order the rules depend on: the newest group first in
// its family, the newest name first in its group. Groups and names are also
// indexed, so collecting stays linear however many values or names a family
// holds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

// One distinct value of a family and the pads or nets that carry it.
class TValueGroup {
 public:
  explicit TValueGroup(const TGroupKey& key) : Key(key) {}
  TValueGroup(const TValueGroup&) = delete;
  TValueGroup& operator=(const TValueGroup&) = delete;

  const TGroupKey Key;
  bool IsDefault = false;

  // Adds the name unless the group holds it already (byte for byte).
  void AddName(std::string_view name);
  size_t NameCount() const { return Order_.size(); }
  // The names newest first: index 0 is the last one added.
  const std::string& NameAt(size_t index) const { return *Order_[Order_.size() - 1 - index]; }

 private:
  // The set owns the names (its nodes never move); the vector keeps them in
  // the order they were added.
  std::unordered_set<std::string> Names_;
  std::vector<const std::string*> Order_;
};

// The groups of one family.
class TValueFamily {
 public:
  // The group of that key, created at the head of the family when new.
  TValueGroup& GroupFor(const TGroupKey& key);
  size_t GroupCount() const { return Order_.size(); }
  bool Empty() const { return Order_.empty(); }
  // The groups newest first: index 0 is the last one created.
  TValueGroup& GroupAt(size_t index) const { return *Order_[Order_.size() - 1 - index]; }

 private:
  std::unordered_map<TGroupKey, std::unique_ptr<TValueGroup>, TGroupKeyHash> Groups_;
  std::vector<TValueGroup*> Order_;
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

  // The family's group with the most names, marked as its default; among
  // equals the newest. Null for a family with nothing collected.
  TValueGroup* FindDefaultGroup(TRuleFamily Family);
  // How many rules the family makes with its switch on: one board-wide rule
  // plus one per name outside the default group; 0 for an empty family.
  int32_t CountRules(TRuleFamily Family);
  // Lets the user choose the families, then creates every family's rules on
  // the board.
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
  std::array<TValueFamily, kRuleFamilyCount> Families_;
  std::array<bool, kRuleFamilyCount> Switches_;
};

}  // namespace pcb9
