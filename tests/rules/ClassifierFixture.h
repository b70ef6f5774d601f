#pragma once
// A classifier on the reference host's fresh board, and the rules that its
// CreateRules left on the board with their names and scopes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RuleFixture.h"
#include "rules/Classifier.h"

namespace pcb9test {

// One rule as the host holds it.
struct TRuleSeen {
  std::string Name;
  std::string Scope1;
  int64_t Kind = 0;
  const morvik::TObject* Object = nullptr;

  int64_t Int(const char* field) const { return Object->Int(field); }
};

class TClassifierFixture : public TRuleFixture {
 protected:
  void SetUp() override {
    TRuleFixture::SetUp();
    Classifier = std::make_unique<pcb9::TClassifier>(Board.get());
  }
  void TearDown() override {
    Classifier.reset();
    TRuleFixture::TearDown();
  }

  // The rules added to the board since the test began, in the order added.
  std::vector<TRuleSeen> CreatedRules() const {
    std::vector<TRuleSeen> rules;
    for (const morvik::TObject* rule : NewRules())
      rules.push_back({rule->Text("RuleName"), rule->Text("Scope1"), rule->Int("RuleKind"), rule});
    return rules;
  }

  static std::vector<std::string> Names(const std::vector<TRuleSeen>& rules) {
    std::vector<std::string> names;
    for (const TRuleSeen& rule : rules) names.push_back(rule.Name);
    return names;
  }

  std::unique_ptr<pcb9::TClassifier> Classifier;
};

}  // namespace pcb9test
