// Net rules as the KiCad export reads them back from their scopes: a quote
// in a net's name is written twice inside InNet('...'), and only a scope
// that tests one net puts that net in a net class. The rules are made by
// the importer's own builders on the reference host's board.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Document.h"
#include "KicadWriter.h"
#include "hostapi/PcbApi.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "proxies/RuleObjects.h"
#include "rules/RuleBuilders.h"
#include "support/HostFixture.h"

namespace pcb9test {
namespace {

constexpr int32_t Mil(int32_t mils) { return mils * 10000; }

// A net named to end the old, unquoted scope early and add a test of its
// own, with an escape sequence for the terminal.
const std::string kHostileNet = "A') or InNet('B\x1b[31m";

class KicadScopes : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    Board = std::make_unique<pcb9::TPcbBoard>(morvik::TDocument::Instance().BoardHandle());
    for (const std::string& name : {std::string("A'B"), std::string("A"), std::string("B"), kHostileNet})
      AddNet(name);
  }
  void TearDown() override {
    Board.reset();
    THostFixture::TearDown();
  }

  void AddNet(const std::string& name) {
    pcb9::TPcbNet net(pcb9::PcbApi_CreateObject(pcb9::kNetKind));
    net.Sync(pcb9::kSyncFetch);
    net.Name.Assign(name);
    net.Sync(pcb9::kSyncStore);
    Board->AddObject(net.Handle);
  }
  // A width rule whose first scope is set as given, as an older importer
  // that wrote names unquoted left it.
  void AddRawWidthRule(const std::string& scope) {
    pcb9::TPcbRuleEx rule(pcb9::PcbApi_CreateRuleObject(2));
    rule.Sync(pcb9::kSyncFetch);
    rule.Scope1.Assign(scope);
    rule.Sync(pcb9::kSyncStore);
    Board->AddObject(rule.Handle);
  }

  std::unique_ptr<pcb9::TPcbBoard> Board;
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(KicadScopes, QuotedNetNamesGetTheirClassAndNothingElseDoes) {
  pcb9::AddWidthRule(*Board, "A'B", Mil(20), 1);
  pcb9::AddWidthRule(*Board, kHostileNet, Mil(30), 2);
  AddRawWidthRule("InNet('A') or InNet('B\x1b[31m')");
  pcb9host::TKicadReport report;
  const std::string board = pcb9host::KicadBoardText(report);
  // Each named net in a class of its own width; A and B in none.
  EXPECT_EQ(Count(board, "(add_net "), 2u) << board;
  EXPECT_NE(board.find("(add_net \"A'B\")"), std::string::npos) << board;
  // KiCad names hold no control character: the escape is written as '?'.
  EXPECT_NE(board.find("(add_net \"A') or InNet('B?[31m\")"), std::string::npos) << board;
  // The unquoted scope tests two nets: it is noted, not carried, and the
  // note prints as one line without the escape.
  const std::string text = pcb9host::KicadReportText(report);
  EXPECT_NE(text.find("KiCad note: Width rule scoped InNet('A') or InNet('B?[31m') / All: not carried"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace pcb9test
