// Exchange of rules, violations and embedded data blocks, and the rule
// constraint queries, whose values each rule keeps under their own names.
#include "Checks.h"
#include "Document.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

using T = TFieldType;

constexpr uint32_t kEmbeddedDataSize = 4096;

const TFieldInfo kEmbedded[] = {{"EmbeddedName", T::Text},
                                {"EmbeddedData", T::Bytes, kEmbeddedDataSize}};

const TFieldInfo kViolation[] = {{"ViolationText1", T::Text},
                                 {"ViolationText2", T::Text},
                                 {"ViolationValue1", T::I32},
                                 {"ViolationValue2", T::I32},
                                 {"ViolationValue3", T::I32}};

const TFieldInfo kRule[] = {
    {"RuleByte1", T::U8},    {"RuleByte2", T::U8},    {"RuleByte3", T::U8},
    {"RuleByte4", T::U8},    {"RuleByte5", T::U8},    {"RuleByte6", T::U8},
    {"RuleByte7", T::U8},    {"RuleText1", T::Text},  {"RuleText2", T::Text},
    {"RuleText3", T::Text},  {"RuleText4", T::Text},  {"RuleByte8", T::U8},
    {"RuleByte9", T::U8},    {"RuleValue1", T::I32},  {"RuleValue2", T::I32},
    {"RuleValue3", T::I32},  {"RuleValue4", T::I32},  {"RuleText5", T::Text},
    {"RuleText6", T::Text},  {"RuleText7", T::Text},  {"RuleText8", T::Text},
    {"RuleText9", T::Text},  {"RuleText10", T::Text}};

const TFieldInfo kRuleEx[] = {{"RuleKind", T::U8},  {"RuleFlag1", T::U8}, {"RuleValue", T::I32},
                              {"RuleFlag2", T::U8}, {"Scope1", T::Text},  {"Scope2", T::Text}};

const TFieldInfo kRuleName[] = {{"RuleName", T::Text}};

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryEmbedded(uint8_t Dir, uint32_t Object, TShortString* EmbeddedName,
                                       uint8_t* EmbeddedData) {
  return Exchange(__func__, KindBit(kKindEmbedded), Dir, Object, kEmbedded, {EmbeddedName, EmbeddedData});
}

int32_t PCB9_CALL PcbApi_QueryViolation(uint8_t Dir, uint32_t Object, TShortString* ViolationText1,
                                        TShortString* ViolationText2, int32_t* ViolationValue1,
                                        int32_t* ViolationValue2, int32_t* ViolationValue3) {
  return Exchange(__func__, KindBit(kKindViolation), Dir, Object, kViolation,
                      {ViolationText1, ViolationText2, ViolationValue1, ViolationValue2,
                       ViolationValue3});
}

int32_t PCB9_CALL PcbApi_QueryRule(
    uint8_t Dir, uint32_t Object, uint8_t* RuleByte1, uint8_t* RuleByte2, uint8_t* RuleByte3,
    uint8_t* RuleByte4, uint8_t* RuleByte5, uint8_t* RuleByte6, uint8_t* RuleByte7,
    TShortString* RuleText1, TShortString* RuleText2, TShortString* RuleText3,
    TShortString* RuleText4, uint8_t* RuleByte8, uint8_t* RuleByte9, int32_t* RuleValue1,
    int32_t* RuleValue2, int32_t* RuleValue3, int32_t* RuleValue4, TShortString* RuleText5,
    TShortString* RuleText6, TShortString* RuleText7, TShortString* RuleText8,
    TShortString* RuleText9, TShortString* RuleText10) {
  return Exchange(__func__, KindBit(kKindRule), Dir, Object, kRule,
                      {RuleByte1, RuleByte2, RuleByte3, RuleByte4, RuleByte5, RuleByte6,
                       RuleByte7, RuleText1, RuleText2, RuleText3, RuleText4, RuleByte8,
                       RuleByte9, RuleValue1, RuleValue2, RuleValue3, RuleValue4, RuleText5,
                       RuleText6, RuleText7, RuleText8, RuleText9, RuleText10});
}

int32_t PCB9_CALL PcbApi_QueryRuleEx(uint8_t Dir, uint32_t Object, uint8_t* RuleKind,
                                     uint8_t* RuleFlag1, int32_t* RuleValue, uint8_t* RuleFlag2,
                                     TShortString* Scope1, TShortString* Scope2) {
  return Exchange(__func__, KindBit(kKindRule), Dir, Object, kRuleEx,
                      {RuleKind, RuleFlag1, RuleValue, RuleFlag2, Scope1, Scope2});
}

int32_t PCB9_CALL PcbApi_QueryRuleExtEx(uint8_t Dir, uint32_t Object, TShortString* RuleName) {
  return Exchange(__func__, KindBit(kKindRule), Dir, Object, kRuleName, {RuleName});
}

int32_t PCB9_CALL PcbApi_QueryRuleClearanceConstraint(uint8_t Dir, uint32_t Rule, int32_t* Gap) {
  return ExchangeConstraint(Dir, Rule, __func__, {Gap});
}

int32_t PCB9_CALL PcbApi_QueryRuleMaxMinWidthConstraint(uint8_t Dir, uint32_t Rule,
                                                        int32_t* MinWidth, int32_t* MaxWidth) {
  return ExchangeConstraint(Dir, Rule, __func__, {MinWidth, MaxWidth});
}

int32_t PCB9_CALL PcbApi_QueryRuleRoutingViaStyleRule(uint8_t Dir, uint32_t Rule,
                                                      int32_t* ViaHoleSize, int32_t* ViaSize,
                                                      uint8_t* ViaFlag) {
  return ExchangeConstraint(Dir, Rule, __func__, {ViaHoleSize, ViaSize, ViaFlag});
}

int32_t PCB9_CALL PcbApi_QueryRuleRoutingLayersRule(uint8_t Dir, uint32_t Rule,
                                                    uint8_t* RoutingDirections) {
  return ExchangeConstraint(Dir, Rule, __func__, {RoutingDirections});
}

int32_t PCB9_CALL PcbApi_QueryRuleRoutingTopologyRule(uint8_t Dir, uint32_t Rule,
                                                      uint8_t* Topology) {
  return ExchangeConstraint(Dir, Rule, __func__, {Topology});
}

int32_t PCB9_CALL PcbApi_QueryRuleRoutingPriorityRule(uint8_t Dir, uint32_t Rule,
                                                      int32_t* Priority) {
  return ExchangeConstraint(Dir, Rule, __func__, {Priority});
}

int32_t PCB9_CALL PcbApi_QueryRulePowerPlaneConnectStyleRule(uint8_t Dir, uint32_t Rule,
                                                             uint8_t* ConnectStyle,
                                                             int32_t* Expansion,
                                                             int32_t* ConnectParam1,
                                                             int32_t* ConnectParam3,
                                                             int32_t* ConnectParam2) {
  return ExchangeConstraint(Dir, Rule, __func__,
                            {ConnectStyle, Expansion, ConnectParam1, ConnectParam3, ConnectParam2});
}

int32_t PCB9_CALL PcbApi_QueryRulePasteMaskExpansionRule(uint8_t Dir, uint32_t Rule,
                                                         int32_t* Expansion) {
  return ExchangeConstraint(Dir, Rule, __func__, {Expansion});
}

int32_t PCB9_CALL PcbApi_QueryRuleSolderMaskExpansionRule(uint8_t Dir, uint32_t Rule,
                                                          int32_t* Expansion) {
  return ExchangeConstraint(Dir, Rule, __func__, {Expansion});
}

int32_t PCB9_CALL PcbApi_QueryRulePowerPlaneExpansionRule(uint8_t Dir, uint32_t Rule,
                                                          int32_t* Expansion) {
  return ExchangeConstraint(Dir, Rule, __func__, {Expansion});
}

int32_t PCB9_CALL PcbApi_QueryRuleShortCircuitConstraint(uint8_t Dir, uint32_t Rule,
                                                         uint8_t* Allowed) {
  return ExchangeConstraint(Dir, Rule, __func__, {Allowed});
}

}  // extern "C"
