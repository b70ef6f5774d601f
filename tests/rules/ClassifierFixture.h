#pragma once
// A classifier on the reference host's fresh board, and the rules that its
// CreateRules left on the board, read back from the host's document.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "proxies/Board.h"
#include "rules/Classifier.h"
#include "support/HostFixture.h"

namespace pcb9test {

// One rule as the host holds it.
struct TRuleSeen {
  std::string Name;
  std::string Scope1;
  int64_t Kind = 0;
  const morvik::TObject* Object = nullptr;

  int64_t Int(const char* field) const { return Object->Int(field); }
};

class TClassifierFixture : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    Board = std::make_unique<pcb9::TPcbBoard>(morvik::TDocument::Instance().BoardHandle());
    Board->Sync(1);
    Classifier = std::make_unique<pcb9::TClassifier>(Board.get());
    MembersBefore = BoardObject().Members.size();
  }

  static const morvik::TObject& BoardObject() {
    morvik::TDocument& doc = morvik::TDocument::Instance();
    return *doc.Find(doc.BoardHandle());
  }

  // The rules added to the board since the test began, in the order added.
  std::vector<TRuleSeen> NewRules() const {
    std::vector<TRuleSeen> rules;
    const std::vector<uint32_t>& members = BoardObject().Members;
    for (size_t i = MembersBefore; i < members.size(); ++i) {
      const morvik::TObject* object = morvik::TDocument::Instance().Find(members[i]);
      if (!object || object->Kind != morvik::kKindRule) continue;
      rules.push_back({object->Text("RuleName"), object->Text("Scope1"), object->Int("RuleKind"),
                       object});
    }
    return rules;
  }

  static std::vector<std::string> Names(const std::vector<TRuleSeen>& rules) {
    std::vector<std::string> names;
    for (const TRuleSeen& rule : rules) names.push_back(rule.Name);
    return names;
  }

  std::unique_ptr<pcb9::TPcbBoard> Board;
  std::unique_ptr<pcb9::TClassifier> Classifier;
  size_t MembersBefore = 0;
};

}  // namespace pcb9test
