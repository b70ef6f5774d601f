// The import run from start to end: the header and progress, the dispatch of
// record groups, the rule sweep, the user's abort and damaged files.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "Kinds.h"
#include "Module.h"
#include "entry/Driver.h"
#include "hostapi/PcbApi.h"
#include "platform/Platform.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

using morvik::kKindRule;
using morvik::kKindTrack;
namespace platform = pcb9::platform;

const char* const kFiveTracks = R"(
"PCB FILE 9 VERSION 2.80"
long 0 5 0 0 0 0 0 0 0 0
"TH"
attr 6 1
coord 0 10 0
word 0 0
coord 0 10 1
word 0 0
coord 0 10 2
word 0 0
"TV"
coord 0 0 10
word 0 0
coord 1 0 10
word 0 0
end
)";

TEST_F(THostFixture, MinimalFileRunsToTheEnd) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(R"(
"PCB FILE 9 VERSION 2.80"
long 1000 2 3000 4 5 6 7 8 9 10
end
)", "minimal.PCB"));
  const morvik::TProgress& progress = morvik::Progress();
  EXPECT_EQ(progress.Caption, "Loading " + runner.FilePath() + " (Binary 2.8)");
  EXPECT_EQ(progress.Total, 2 + 4 + 5 + 6 + 7 + 8 + 9 + 10);
  EXPECT_EQ(progress.Updates, 0);
  EXPECT_EQ(progress.Finished, 1);
  EXPECT_TRUE(Session().Messages().empty());
  // Nothing but the board's own objects; the rules it started with are gone
  // and the import's board-wide rules took their place.
  for (const morvik::TObject& object : morvik::TDocument::Instance().Objects())
    EXPECT_TRUE(object.Kind == morvik::kKindBoard || object.Kind == kKindRule) << object.Handle;
  std::vector<std::string> names;
  for (const morvik::TObject* rule : ObjectsOfKind(kKindRule)) {
    if (rule->Deleted) continue;
    names.push_back(rule->Text("RuleName"));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"UnRoutedNet", "ShortCircuit", "Clearance",
                                             "RoutingLayers"}));
  EXPECT_EQ(BoardMembersOfKind(kKindRule).size(), 4u);
}

TEST_F(THostFixture, EveryTrackStepsTheProgress) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(kFiveTracks));
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 5u);
  EXPECT_EQ(morvik::Progress().Updates, 5);
  EXPECT_EQ(morvik::Progress().Finished, 1);
}

TEST_F(THostFixture, EscConfirmedWithYesStopsAndKeepsWhatWasAdded) {
  Session().SetEscAfter(2);
  Session().SetAnswerYes(true);
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(kFiveTracks));
  // The record being read when the user confirmed is finished and added.
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 2u);
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "Confirm Abort Process");
  EXPECT_EQ(Session().Messages()[0].Caption, "Confirm");
  EXPECT_EQ(Session().Messages()[0].Buttons, "yesno");
  EXPECT_EQ(Session().Messages()[0].Icon, "none");
  EXPECT_EQ(morvik::Progress().Finished, 1);
  // No post-load step ran: the board keeps its rules.
  EXPECT_FALSE(BoardMembersOfKind(kKindRule).empty());
}

TEST_F(THostFixture, EscAnsweredNoChangesNothing) {
  Session().SetEscAfter(2);
  Session().SetAnswerYes(false);
  TImportRunner runner;
  EXPECT_TRUE(runner.Import(kFiveTracks));
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 5u);
  EXPECT_EQ(Session().Messages().size(), 1u);
  EXPECT_FALSE(BoardMembersOfKind(kKindRule).empty());
}

// The sweep once held 101 handles; a board with more rules must lose every
// one of them, not have the list written past its end.
TEST_F(THostFixture, RuleSweepRemovesEveryRuleHoweverMany) {
  const uint32_t board = morvik::TDocument::Instance().BoardHandle();
  std::vector<uint32_t> added;
  for (int i = 0; i < 150; ++i) {
    added.push_back(pcb9::PcbApi_CreateRuleObject(2));
    pcb9::PcbApi_AddObjectToContainer(board, added.back());
  }
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(kFiveTracks));
  for (uint32_t handle : added) EXPECT_TRUE(morvik::TDocument::Instance().Find(handle)->Deleted);
}

TEST_F(THostFixture, UnknownKeywordIsSkipped) {
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(R"(
"PCB FILE 9 VERSION 2.80"
long 0 1 0 0 0 0 0 0 0 0
"th"            # a component's keyword means nothing at the top level
"TH"
coord 0 10 0
word 0 0
end
)"));
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 1u);
}

TEST_F(THostFixture, RecordsAfterAnUnknownKeywordAreCorruption) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(R"(
"PCB FILE 9 VERSION 2.80"
long 0 1 0 0 0 0 0 0 0 0
"th"
coord 0 10 0
word 0 0
end
)"));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "File Corruption: " + runner.FilePath());
  EXPECT_TRUE(BoardMembersOfKind(kKindTrack).empty());
}

TEST_F(THostFixture, FirstTokenNotAStringIsCorruption) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import("word 1 2 3\nend\n"));
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Caption, "Import");
  EXPECT_EQ(morvik::Progress().Caption, "Loading " + runner.FilePath() + " (Binary 1.1)");
  EXPECT_EQ(morvik::Progress().Finished, 1);
  EXPECT_FALSE(BoardMembersOfKind(kKindRule).empty());
}

// A file that ends without its end tag: the tracks the file holds in full are
// kept, the one it cuts short is not placed on the board, and the reader does
// not go on over old block contents.
TEST_F(THostFixture, FileEndingInsideARecordKeepsTheCompleteTracks) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(R"(
"PCB FILE 9 VERSION 2.80"
long 0 3 0 0 0 0 0 0 0 0
"TH"
coord 0 10 0
word 0 0
coord 0 10 1
word 0 0
coord 0 10
truncate
)"));
  auto tracks = BoardMembersOfKind(kKindTrack);
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(tracks[1]->Int("Y"), 1);
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text, "File Corruption: " + runner.FilePath());
}

TEST_F(THostFixture, FileEndingBetweenRecordsIsCorruption) {
  TImportRunner runner;
  EXPECT_FALSE(runner.Import(R"(
"PCB FILE 9 VERSION 2.80"
long 0 1 0 0 0 0 0 0 0 0
"TH"
coord 0 10 0
word 0 0
truncate
)"));
  EXPECT_EQ(BoardMembersOfKind(kKindTrack).size(), 1u);
  EXPECT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(morvik::Progress().Finished, 1);
}

// --- The abort check's drain of the message queue ---------------------------

constexpr uint32_t kMsgPaint = 0x000F, kMsgKeyUp = 0x0101;
constexpr uintptr_t kKeyA = 0x41;

struct TDrainCase {
  const char* Name;
  std::vector<pcb9host::TQueuedMessage> Queue;
  bool AnswerYes;
  bool FlagBefore;
  size_t Questions;
  int64_t Delivered;
  bool FlagAfter;
  friend void PrintTo(const TDrainCase& c, std::ostream* os) { *os << c.Name; }
};

class AbortCheck : public THostFixture, public ::testing::WithParamInterface<TDrainCase> {};

TEST_P(AbortCheck, DrainsTheQueueAskingAtEveryEsc) {
  const TDrainCase& c = GetParam();
  Session().SetAnswerYes(c.AnswerYes);
  for (const auto& m : c.Queue) Session().PostMessage(m);
  bool flag = c.FlagBefore;
  pcb9::CheckAbort(flag);
  EXPECT_EQ(flag, c.FlagAfter);
  EXPECT_EQ(Session().Messages().size(), c.Questions);
  for (const auto& question : Session().Messages()) {
    EXPECT_EQ(question.Text, "Confirm Abort Process");
    EXPECT_EQ(question.Caption, "Confirm");
  }
  EXPECT_EQ(Session().DeliveredMessages(), c.Delivered);
  // A set flag leaves the queue alone; otherwise it is drained.
  size_t left = 0;
  for (platform::TMessage m; platform::TakePendingMessage(m);) ++left;
  EXPECT_EQ(left, c.FlagBefore ? c.Queue.size() : 0u);
}

const pcb9host::TQueuedMessage kPaint{nullptr, kMsgPaint, 0, 0};
const pcb9host::TQueuedMessage kEsc{nullptr, platform::kMsgKeyDown, platform::kKeyEscape, 0};
const pcb9host::TQueuedMessage kSysEsc{nullptr, platform::kMsgSysKeyDown, platform::kKeyEscape, 0};

INSTANTIATE_TEST_SUITE_P(
    Queues, AbortCheck,
    ::testing::Values(
        TDrainCase{"EmptyQueue", {}, true, false, 0, 0, false},
        TDrainCase{"TwoEscAnsweredNo", {kPaint, kEsc, kPaint, kSysEsc}, false, false, 2, 2, false},
        // Draining goes on after a Yes, and a further Esc asks again.
        TDrainCase{"TwoEscAnsweredYes", {kPaint, kEsc, kPaint, kSysEsc}, true, false, 2, 2, true},
        TDrainCase{"OtherKeysAreDelivered",
                   {{nullptr, platform::kMsgKeyDown, kKeyA, 0},
                    {nullptr, kMsgKeyUp, platform::kKeyEscape, 0}},
                   true, false, 0, 2, false},
        TDrainCase{"FlagAlreadySet", {kEsc, kPaint}, true, true, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace pcb9test
