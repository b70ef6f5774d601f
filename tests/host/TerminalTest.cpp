// What pcb9-host shows and asks on a terminal: the progress line as drawn
// for a state and the Yes/No question of a message box.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Terminal.h"
#include "TerminalText.h"

namespace {

struct TLineCase {
  const char* Caption;
  int32_t Total;
  int64_t Updates;
  int Columns;
  const char* Line;
};

class ProgressLineText : public ::testing::TestWithParam<TLineCase> {};

TEST_P(ProgressLineText, ShowsCaptionBarPercentageAndCountWithinTheWidth) {
  const TLineCase& c = GetParam();
  morvik::TProgress progress;
  progress.Caption = c.Caption;
  progress.Total = c.Total;
  progress.Updates = c.Updates;
  const std::string line = pcb9host::TProgressLine::Text(progress, c.Columns);
  EXPECT_EQ(line, c.Line);
  if (c.Columns > 12) {
    EXPECT_LT(pcb9host::TerminalWidth(line), static_cast<size_t>(c.Columns));
  }
}

INSTANTIATE_TEST_SUITE_P(
    States, ProgressLineText,
    ::testing::Values(
        TLineCase{"Loading a.PCB (Binary 2.8)", 24, 12, 80,
                  "Loading a.PCB (Binary 2.8) [##########..........]  50% 12/24"},
        TLineCase{"Loading a.PCB (Binary 2.8)", 3, 0, 80,
                  "Loading a.PCB (Binary 2.8) [....................]   0% 0/3"},
        // More steps than the file announced: full, with the true count.
        TLineCase{"Loading a.PCB (Binary 2.8)", 3, 7, 80,
                  "Loading a.PCB (Binary 2.8) [####################] 100% 7/3"},
        // A total of 0 or less gives nothing to measure against: the count.
        TLineCase{"Loading a.PCB (Binary 2.8)", 0, 5, 80, "Loading a.PCB (Binary 2.8) 5"},
        TLineCase{"Loading a.PCB (Binary 2.8)", -40, 5, 80, "Loading a.PCB (Binary 2.8) 5"},
        // A long caption keeps its end, which names the file and version.
        TLineCase{"Loading /a/very/long/folder/name/board.PCB (Binary 2.8)", 10, 10, 60,
                  "...board.PCB (Binary 2.8) [####################] 100% 10/10"},
        // Too narrow for the bar: the numbers, and what fits of the caption.
        TLineCase{"Loading board.PCB (Binary 2.8)", 10, 5, 20, "...y 2.8)  50% 5/10"},
        TLineCase{"Loading board.PCB (Binary 2.8)", 10, 5, 8, "  50% 5/10"},
        // A file name that is no UTF-8 reaches the terminal read as Latin-1,
        // a UTF-8 name as it is; a long one is cut between characters.
        TLineCase{"Loading caf\xE9.PCB (Binary 2.8)", 0, 1, 80, "Loading caf\xC3\xA9.PCB (Binary 2.8) 1"},
        TLineCase{"Loading Pr\xC3\xBC" "fung.PCB (Binary 2.6)", 0, 1, 80,
                  "Loading Pr\xC3\xBC" "fung.PCB (Binary 2.6) 1"},
        TLineCase{"Loading \xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 0, 1, 10,
                  "...\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC 1"},
        // Control characters in a name do not reach the terminal.
        TLineCase{"Loading a\x1b[2J\r\nb.PCB (Binary 2.8)", 0, 1, 80, "Loading a?[2J??b.PCB (Binary 2.8) 1"}));

struct TAnswerCase {
  const char* Typed;
  bool Yes;
  size_t Asked;  // times the prompt was shown
};

class YesNoOnTerminal : public ::testing::TestWithParam<TAnswerCase> {};

TEST_P(YesNoOnTerminal, AsksUntilYesOrNoAndTakesTheEndAsNo) {
  const TAnswerCase& c = GetParam();
  std::string typed = c.Typed;
  std::FILE* in = fmemopen(typed.data(), typed.size(), "r");
  if (typed.empty()) in = std::fopen("/dev/null", "r");
  ASSERT_NE(in, nullptr);
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  const bool yes = pcb9host::AskYesNo(in, out, "Confirm", "Confirm Abort Process");
  std::fclose(in);
  std::fclose(out);
  const std::string shown(text, size);
  std::free(text);
  EXPECT_EQ(yes, c.Yes) << shown;
  EXPECT_EQ(shown.rfind("Confirm: Confirm Abort Process\n", 0), 0u) << shown;
  size_t asked = 0;
  for (size_t at = 0; (at = shown.find("Yes or No (y/n): ", at)) != std::string::npos; ++at) ++asked;
  EXPECT_EQ(asked, c.Asked) << shown;
}

// A message's own line breaks start indented lines; what else it holds
// prints as text.
TEST(YesNoQuestion, PrintsTheMessageLineByLine) {
  std::string typed = "y\n";
  std::FILE* in = fmemopen(typed.data(), typed.size(), "r");
  ASSERT_NE(in, nullptr);
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  EXPECT_TRUE(pcb9host::AskYesNo(in, out, "Ask\x1b]0;title\x07", "first\r\nsecond\x1b[2J\nthird"));
  std::fclose(in);
  std::fclose(out);
  const std::string shown(text, size);
  std::free(text);
  EXPECT_EQ(shown, "Ask?]0;title?: first\n  second?[2J\n  third\nYes or No (y/n): ");
}

INSTANTIATE_TEST_SUITE_P(Answers, YesNoOnTerminal,
                         ::testing::Values(TAnswerCase{"y\n", true, 1}, TAnswerCase{" YES \n", true, 1},
                                           TAnswerCase{"n\n", false, 1},
                                           TAnswerCase{"maybe\n\nyes\n", true, 3},
                                           TAnswerCase{"maybe\n", false, 2},
                                           TAnswerCase{"", false, 1}));

}  // namespace
