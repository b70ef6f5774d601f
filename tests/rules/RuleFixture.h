#pragma once
// A fresh host board with its proxy, and the rules the importer added to it
// since the test began, read back from the host.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "proxies/Board.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {

class TRuleFixture : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    Board = std::make_unique<pcb9::TPcbBoard>(morvik::TDocument::Instance().BoardHandle());
    RulesBefore = BoardMembersOfKind(morvik::kKindRule).size();
  }
  void TearDown() override {
    Board.reset();
    THostFixture::TearDown();
  }

  // Rules added to the board since SetUp, in the order added.
  std::vector<const morvik::TObject*> NewRules() const {
    std::vector<const morvik::TObject*> rules = BoardMembersOfKind(morvik::kKindRule);
    rules.erase(rules.begin(), rules.begin() + static_cast<std::ptrdiff_t>(RulesBefore));
    return rules;
  }
  const morvik::TObject& OnlyNewRule() const {
    std::vector<const morvik::TObject*> rules = NewRules();
    if (rules.size() != 1) throw std::runtime_error("expected one new rule");
    return *rules[0];
  }
  static std::vector<uint8_t> Bytes(const morvik::TObject& object, const std::string& name) {
    return std::get<std::vector<uint8_t>>(object.Value(name).value());
  }

  std::unique_ptr<pcb9::TPcbBoard> Board;
  size_t RulesBefore = 0;
};

}  // namespace pcb9test
