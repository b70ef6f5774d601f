#pragma once
// Proxies of the host objects without geometry: design rules, violations
// and embedded data blocks; and the names of the host's rule kinds.
#include <cstdint>
#include <memory>
#include <string_view>

#include "hostapi/ShortString.h"
#include "proxies/PcbObject.h"

namespace pcb9 {

constexpr uint8_t kRuleKindCount = 60;
// Name of a host rule kind 0..59 ("Clearance", "Width", ...); empty for
// any other number.
std::string_view RuleKindName(uint8_t ruleKind);

// The rule as the importer's rule builders make it: kind, name and scopes.
class TPcbRuleEx : public TPCBObject {
 public:
  uint8_t RuleKind = 0;
  TShortString RuleName;
  uint8_t RuleFlag1 = 0;
  int32_t RuleValue = -1;
  uint8_t RuleFlag2 = 0;
  TShortString Scope1;
  TShortString Scope2;

  explicit TPcbRuleEx(uint32_t handle);
  // The name is exchanged only when the rule exchange does not answer 1.
  int32_t Sync(uint8_t Direction) override;
};

// The rule as any rule object of the host shows it.
class TPcbRule : public TPCBObject {
 public:
  uint8_t RuleByte1 = 0;
  uint8_t RuleByte2 = 0;
  uint8_t RuleByte3 = 0;
  uint8_t RuleByte4 = 0;
  uint8_t RuleByte5 = 0;
  uint8_t RuleByte6 = 0;
  uint8_t RuleByte7 = 0;
  TShortString RuleText1;
  TShortString RuleText2;
  TShortString RuleText3;
  TShortString RuleText4;
  uint8_t RuleByte8 = 0;
  uint8_t RuleByte9 = 0;
  int32_t RuleValue1 = 0;
  int32_t RuleValue2 = 0;
  int32_t RuleValue3 = 0;
  int32_t RuleValue4 = 0;
  TShortString RuleText5;
  TShortString RuleText6;
  TShortString RuleText7;
  TShortString RuleText8;
  TShortString RuleText9;
  TShortString RuleText10;

  explicit TPcbRule(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

class TPcbEmbedded : public TPCBObject {
 public:
  static constexpr size_t kDataSize = 4096;

  TShortString EmbeddedName;
  // Owned block of kDataSize bytes; the host reads and writes it in place.
  std::unique_ptr<uint8_t[]> EmbeddedData;

  explicit TPcbEmbedded(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

class TPcbViolation : public TPCBObject {
 public:
  TShortString ViolationText1;
  TShortString ViolationText2;
  int32_t ViolationValue1 = 0;
  int32_t ViolationValue2 = 0;
  int32_t ViolationValue3 = 0;

  explicit TPcbViolation(uint32_t handle);
  int32_t Sync(uint8_t Direction) override;
};

}  // namespace pcb9
