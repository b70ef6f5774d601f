// Texts on their way to the terminal and into the dump: control characters
// and escape sequences out, valid UTF-8 in unchanged, 8-bit texts read as
// Latin-1, a message's own line breaks kept as indented lines.
#include <gtest/gtest.h>

#include <string>

#include "JsonStream.h"
#include "TerminalText.h"

namespace {

using pcb9host::TerminalText;

struct TTextCase {
  const char* What;
  std::string In;
  std::string Out;
};

TEST(TerminalText, ControlCharactersAndBrokenUtf8BecomeQuestionMarks) {
  const TTextCase cases[] = {
      {"plain", "U1 (DIP14, 7400)", "U1 (DIP14, 7400)"},
      {"UTF-8 kept", "Pr\xC3\xBC" "fung \xE2\x82\xAC \xF0\x9F\x94\x8C", "Pr\xC3\xBC" "fung \xE2\x82\xAC \xF0\x9F\x94\x8C"},
      {"CSI sequence", "a\x1b[2Jb", "a?[2Jb"},
      {"OSC title", "\x1b]0;owned\x07", "?]0;owned?"},
      {"line breaks and tab", "one\r\ntwo\tthree", "one??two?three"},
      {"NUL and DEL", std::string("a\0b\x7F", 4), "a?b?"},
      {"C1 CSI as UTF-8", "a\xC2\x9B" "2J", "a?2J"},
      {"first printable past C1", "\xC2\xA0", "\xC2\xA0"},
      {"stray bytes", "\x9B\xFF\xC3", "???"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "????"},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(TerminalText(c.In), c.Out) << c.What;
}

TEST(TerminalText, BoardTextsAreLatin1AndUserTextsUtf8WhereValid) {
  // A board's 0x9B is C1's CSI in Latin-1: it must not reach the terminal.
  EXPECT_EQ(pcb9host::BoardTerminalText("caf\xE9\x9B" "2J"), "caf\xC3\xA9?2J");
  EXPECT_EQ(pcb9host::UserTerminalText("Pr\xC3\xBC" "fung.PCB"), "Pr\xC3\xBC" "fung.PCB");
  EXPECT_EQ(pcb9host::UserTerminalText("caf\xE9.PCB\x1b[K"), "caf\xC3\xA9.PCB?[K");
}

TEST(TerminalText, MessageLinesAreIndented) {
  EXPECT_EQ(pcb9host::TerminalLines("a\r\nb\rc\nd", "  "), "a\n  b\n  c\n  d");
  EXPECT_EQ(pcb9host::TerminalLines("a\r\n", "  "), "a");
  EXPECT_EQ(pcb9host::TerminalLines("a\r\n\r\nb\x1b", ">"), "a\n>\n>b?");
  EXPECT_EQ(pcb9host::TerminalLines("", "  "), "");
}

TEST(TerminalText, WidthAndEndCountCharacters) {
  const std::string text = "a\xC3\xBC\xE2\x82\xAC" "b";  // a, u-umlaut, euro, b
  EXPECT_EQ(pcb9host::TerminalWidth(text), 4u);
  EXPECT_EQ(pcb9host::LastColumns(text, 0), "");
  EXPECT_EQ(pcb9host::LastColumns(text, 2), "\xE2\x82\xAC" "b");
  EXPECT_EQ(pcb9host::LastColumns(text, 3), "\xC3\xBC\xE2\x82\xAC" "b");
  EXPECT_EQ(pcb9host::LastColumns(text, 9), text);
}

// A file name as given reaches the dump unchanged when it is UTF-8; any
// other byte is read as Latin-1, so the dump stays valid UTF-8.
TEST(UserTextToUtf8, ValidUtf8StaysAndOtherBytesAreLatin1) {
  const TTextCase cases[] = {
      {"ASCII", "board.PCB", "board.PCB"},
      {"UTF-8", "Pr\xC3\xBC" "fung.PCB", "Pr\xC3\xBC" "fung.PCB"},
      {"four bytes", "\xF0\x9F\x94\x8C", "\xF0\x9F\x94\x8C"},
      {"Latin-1", "caf\xE9.PCB", "caf\xC3\xA9.PCB"},
      {"cut sequence at the end", "a\xE2\x82", "a\xC3\xA2\xC2\x82"},
      {"overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(morvik::UserTextToUtf8(c.In), c.Out) << c.What;
}

}  // namespace
