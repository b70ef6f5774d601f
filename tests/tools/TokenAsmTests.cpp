// The token assembler and disassembler: exact words, block filling, word
// orders, truncation, errors with line numbers, round trips and the command.
#include <gtest/gtest.h>

#include <filesystem>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace pcb9::tokenasm {
namespace {

constexpr size_t kBlockWords = 2048;

std::vector<uint16_t> Words(const std::vector<uint8_t>& bytes) {
  std::vector<uint16_t> words;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    words.push_back(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return words;
}

std::vector<uint16_t> Assemble(const std::string& text) { return Words(AssembleText(text)); }

// The first words of the file, without the filler after them.
std::vector<uint16_t> Head(const std::string& text, size_t count) {
  std::vector<uint16_t> words = Assemble(text);
  words.resize(count);
  return words;
}

std::string DataWords(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i % 64 == 0 ? "\nword " : " ") + std::to_string(i % 100);
  return text + "\n";
}

TEST(Assembler, MinimalVersion280FileWordForWord) {
  std::vector<uint8_t> bytes =
      AssembleText("\"PCB FILE 9 VERSION 2.80\"\nlong 1 2 3 4 5 6 7 8 9 0x12345678\nend\n");
  ASSERT_EQ(bytes.size(), 4096u);
  std::vector<uint16_t> w = Words(bytes);
  EXPECT_EQ(w[0], 0xA117);
  EXPECT_EQ(w[1], 0x4350);   // "PC"
  EXPECT_EQ(w[12], 0x0030);  // "0" and the padding byte
  EXPECT_EQ(w[13], 0x0000);  // P1, high word first
  EXPECT_EQ(w[14], 0x0001);
  EXPECT_EQ(w[31], 0x1234);
  EXPECT_EQ(w[32], 0x5678);
  EXPECT_EQ(w[33], kEndWord);
  for (size_t i = 34; i < w.size(); ++i) ASSERT_EQ(w[i], kFillerWord) << "word " << i;
}

struct TOrderCase {
  const char* Text;
  std::vector<uint16_t> Expected;
  friend void PrintTo(const TOrderCase& c, std::ostream* os) { *os << c.Text; }
};

class WordOrders : public ::testing::TestWithParam<TOrderCase> {};

TEST_P(WordOrders, FollowTheLevel) {
  EXPECT_EQ(Head(GetParam().Text, GetParam().Expected.size()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, WordOrders,
    ::testing::Values(
        TOrderCase{"level 9\nlong 100000\n", {0x0001, 0x86A0}},
        TOrderCase{"level 0\nlong 100000\n", {0x86A0, 0x0001}},
        TOrderCase{"level 0\ncoord -10000 5mil\n", {0xFFFF, 0x0005}},
        TOrderCase{"level 1\ncoord -1 2.5mil\n", {0xFFFF, 0xFFFF, 0x0000, 0x61A8}},
        TOrderCase{"level 9\nattr 7 100000\nattr 6 1\n", {0xA303, 0x0001, 0x86A0, 0xA301, 1}},
        TOrderCase{"level 0\nattr 7 -3mil\nattr 45 0xFFFF\n", {0xA303, 0xFFFD, 0xA31D, 0xFFFF}},
        TOrderCase{"level 5\nattr 4 7\nattr 56 1\nattr 22 9\n", {0xA300, 7, 0xA328, 1, 0xA30B, 9}},
        TOrderCase{"word -1 0x9FFF 0xA400\nraw 0xA329\nend\n", {0xFFFF, 0x9FFF, 0xA400, 0xA329, 0xA200}},
        TOrderCase{"\"a\\\"\\\\\\x01\"\n", {0xA104, 0x2261, 0x015C}},
        TOrderCase{"real \" 7\"\nreal 12.5\n", {0xA102, 0x3720, 0xA104, 0x3231, 0x352E}}));

TEST(Assembler, TheHeaderSetsTheLevel) {
  // Level 0 from the 1.10 header: low word first after it.
  std::vector<uint16_t> w = Assemble("\"PCB FILE 9 VERSION 1.10\"\nlong 100000\n");
  EXPECT_EQ(w[13], 0x86A0);
  w = Assemble("\"pcb file 9 version 2.00\"\nlong 100000\n");
  EXPECT_EQ(w[13], 0x0001);
  // An explicit level wins over the header.
  w = Assemble("level 0\n\"PCB FILE 9 VERSION 2.00\"\nlong 100000\n");
  EXPECT_EQ(w[13], 0x86A0);
}

TEST(Assembler, TokenThatDoesNotFitStartsTheNextBlock) {
  // 2046 words, then a string of four words: two filler words pad the block.
  std::vector<uint16_t> w = Assemble("level 9\n" + DataWords(2046) + "\"abcdef\"\nlong 1 2\n");
  ASSERT_EQ(w.size(), 2 * kBlockWords);
  EXPECT_EQ(w[2046], kFillerWord);
  EXPECT_EQ(w[2047], kFillerWord);
  EXPECT_EQ(w[2048], 0xA106);
  EXPECT_EQ(w[2052], 0x0000);
  EXPECT_EQ(w[2053], 0x0001);

  // Single words still fill the block to its last word.
  w = Assemble("level 9\n" + DataWords(2047) + "word 5\nlong 7\n");
  EXPECT_EQ(w[2047], 5);
  EXPECT_EQ(w[2048], 0);
  EXPECT_EQ(w[2049], 7);

  // A 32-bit value never straddles, nor does an attribute with its value.
  w = Assemble("level 9\n" + DataWords(2047) + "long 3\n");
  EXPECT_EQ(w[2047], kFillerWord);
  EXPECT_EQ(w[2049], 3);
  w = Assemble("level 9\n" + DataWords(2046) + "attr 7 1\n");
  EXPECT_EQ(w[2046], kFillerWord);
  EXPECT_EQ(w[2048], 0xA303);
}

TEST(Assembler, FillerStatements) {
  std::vector<uint16_t> w = Assemble("word 1\nfiller 3\nword 2\nfiller rest\nfiller rest\nword 3\n");
  ASSERT_EQ(w.size(), 2 * kBlockWords);
  EXPECT_EQ(w[1], kFillerWord);
  EXPECT_EQ(w[3], kFillerWord);
  EXPECT_EQ(w[4], 2);
  EXPECT_EQ(w[2047], kFillerWord);
  EXPECT_EQ(w[2048], 3);
}

TEST(Assembler, TruncationEndsTheFileAfterTheLastToken) {
  EXPECT_EQ(AssembleText("word 1 2\ntruncate\n").size(), 4u);
  EXPECT_EQ(AssembleText("word 1 2\ntruncate 3\n"), (std::vector<uint8_t>{1, 0, 2}));
  EXPECT_EQ(AssembleText(DataWords(2048)).size(), 4096u);
  EXPECT_TRUE(AssembleText("# nothing\n").empty());
}

struct TErrorCase {
  const char* Text;
  const char* Message;
  friend void PrintTo(const TErrorCase& c, std::ostream* os) { *os << c.Text; }
};

class AssemblerErrors : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(AssemblerErrors, NameTheLine) {
  try {
    AssembleText(GetParam().Text);
    FAIL() << "no error for: " << GetParam().Text;
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().Message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    BadLines, AssemblerErrors,
    ::testing::Values(TErrorCase{"word 1\nword 0xA000\n", "line 2: 0xA000 would read as a tag"},
                      TErrorCase{"word 70000\n", "line 1: '70000' is out of range"},
                      TErrorCase{"word abc\n", "line 1: 'abc' is not a number"},
                      TErrorCase{"\n\nattr 31 1\n", "line 3: no attribute code gives attribute 31"},
                      TErrorCase{"level 0\ncoord 15000\n", "line 2: coordinate 15000 is no whole number"},
                      TErrorCase{"level 0\nattr 7 5000000mil\n", "line 2: '5000000' is out of range"},
                      TErrorCase{"\"open\n", "line 1: string without closing quote"},
                      TErrorCase{"\"\\q\"\n", "line 1: bad escape"},
                      TErrorCase{"frob 1\n", "line 1: unknown statement 'frob'"},
                      TErrorCase{"level 10\n", "line 1: '10' is out of range"},
                      TErrorCase{"attr 6\n", "line 1: usage: attr NUMBER VALUE"},
                      TErrorCase{"end 1\n", "line 1: usage: end"},
                      TErrorCase{"word 1\ntruncate 9\n", "line 2: truncate 9: the file has only 2 bytes"},
                      TErrorCase{"coord 1.23456mil\n", "line 1: '1.23456mil'"}));

TEST(Assembler, StringsHoldAtMost255Characters) {
  EXPECT_NO_THROW(AssembleText("\"" + std::string(255, 'x') + "\"\n"));
  EXPECT_THROW(AssembleText("\"" + std::string(256, 'x') + "\"\n"), std::runtime_error);
}

// --- Disassembler ------------------------------------------------------------------

// Each fixture must come back byte for byte from its disassembly.
class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, DisassemblyReassemblesToTheSameBytes) {
  std::vector<uint8_t> bytes = AssembleText(GetParam());
  std::string text = DisassembleBytes(bytes);
  EXPECT_EQ(AssembleText(text), bytes) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RoundTrip,
    ::testing::Values(
        "\"PCB FILE 9 VERSION 2.80\"\nlong 0 1 0 0 0 0 0 0 0 0\n\"TH\"\nattr 6 1\nattr 7 10mil\n"
        "coord 0 100mil 50mil\nword 0 0\nend\n",
        "\"PCB FILE 9 VERSION 1.10\"\nlong 0 1 0 0 0 0 0 0 0 0\n\"TN\"\nattr 7 -3mil\nattr 9 2mil\n"
        "coord 1mil 2mil 3mil 4mil\nword 0\nend\n",
        "\"PCB FILE 9 VERSION 2.80\"\n" + DataWords(2034) + "\"abcdef\"\nattr 13 1\n" +
            DataWords(2040) + "attr 7 5\nend\n",
        "level 9\nword 1\nfiller 3\nword 2\nfiller rest\nfiller 2048\nword 3\nend\n",
        "level 9\nword 1\nfiller rest\n\"x\"\nend\n",
        "level 9\nword 1\nend\nfiller rest\nfiller 2048\n",
        "\"a\\\"b\\\\c\\xFF\\x00\"\nraw 0xA103 0x6261 0x7A63\nraw 0xA329 0xA2FF 0xA000\nword 5\nend\n",
        "level 9\n" + DataWords(2047) + "raw 0xA104\n" + DataWords(3) + "raw 0xA303\nword 1\n",
        "word 1 2\nfiller 3\ntruncate\n", "word 1 2\nraw 0x0003\ntruncate 5\n",
        "level 0\nattr 7 -10000\nattr 21 32767mil\nend\n", std::string()));

TEST(Disassembler, WritesTheTokensItRecognises) {
  std::string text = DisassembleBytes(AssembleText(
      "\"PCB FILE 9 VERSION 2.80\"\n\"TH\"\nattr 6 1\nattr 7 100000\nword 5 -1\nend\n"));
  EXPECT_NE(text.find("\"PCB FILE 9 VERSION 2.80\"\n\"TH\"\nattr 6 1\nattr 7 100000\n"
                      "word 0x0005 0xFFFF\nend\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("filler"), std::string::npos) << text;
  EXPECT_EQ(text.find("truncate"), std::string::npos) << text;
}

TEST(Disassembler, AttributeWidthFollowsTheLevel) {
  std::string text = DisassembleBytes(AssembleText("\"PCB FILE 9 VERSION 1.10\"\nattr 7 -20000\n"));
  EXPECT_NE(text.find("attr 7 -20000\n"), std::string::npos) << text;
}

// --- The command ---------------------------------------------------------------------

TEST(AsmCommand, AssemblesAndDisassemblesFiles) {
  pcb9test::TTempDir dir;
  const std::string source =
      dir.Write("board.pcbt", "\"PCB FILE 9 VERSION 2.80\"\nlong 0 0 0 0 0 0 0 0 0 0\nend\n");
  const std::string binary = dir.File("board.PCB");
  const std::string listing = dir.File("board.dis");
  const std::string asmPath = pcb9test::BinPath("pcb9-asm");

  pcb9test::TChildOutcome run = pcb9test::RunProgram({asmPath, "asm", source, "-o", binary});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(ReadBytesFile(binary), AssembleText(ReadTextFile(source)));

  run = pcb9test::RunProgram({asmPath, "dis", binary, "-o", listing});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(ReadTextFile(listing), DisassembleBytes(ReadBytesFile(binary)));

  run = pcb9test::RunProgram({asmPath, "dis", binary});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, ReadTextFile(listing));
}

TEST(AsmCommand, FailsClearly) {
  pcb9test::TTempDir dir;
  const std::string asmPath = pcb9test::BinPath("pcb9-asm");
  const std::string bad = dir.Write("bad.pcbt", "word 1\nword 0xA100\n");

  pcb9test::TChildOutcome run = pcb9test::RunProgram({asmPath, "asm", bad, "-o", dir.File("x")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("bad.pcbt: line 2:"), std::string::npos) << run.Err;

  run = pcb9test::RunProgram({asmPath, "dis", dir.File("missing.PCB")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("cannot open"), std::string::npos) << run.Err;

  run = pcb9test::RunProgram({asmPath, "asm", bad});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("usage:"), std::string::npos);
}

// An output that is the input, by any spelling, a hard link or a link to
// it, is refused before anything is read or written; an output in a
// symbolic link's place is refused and the link's target stays as it was.
TEST(AsmCommand, NeverWritesOverItsInputOrThroughALink) {
  pcb9test::TTempDir dir;
  const std::string asmPath = pcb9test::BinPath("pcb9-asm");
  const std::string source = dir.Write("board.pcbt", "\"PCB FILE 9 VERSION 2.80\"\nend\n");
  std::filesystem::create_hard_link(source, dir.File("hard.pcbt"));
  std::filesystem::create_symlink(source, dir.File("soft.pcbt"));
  std::filesystem::create_directory(dir.File("sub"));
  for (const std::string output : {"./board.pcbt", "hard.pcbt", "soft.pcbt", "sub/../board.pcbt"}) {
    const auto run = pcb9test::RunProgram({asmPath, "asm", source, "-o", dir.File(output)});
    EXPECT_EQ(run.ExitCode, 2) << output;
    EXPECT_EQ(run.Err, "pcb9-asm: -o " + dir.File(output) + " is the input file " + source +
                           "; nothing was written\n");
    EXPECT_EQ(ReadTextFile(source), "\"PCB FILE 9 VERSION 2.80\"\nend\n");
  }
  const std::string target = dir.Write("target", "kept");
  std::filesystem::create_symlink(target, dir.File("out.PCB"));
  const auto run = pcb9test::RunProgram({asmPath, "asm", source, "-o", dir.File("out.PCB")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("it is a symbolic link, which is not followed"), std::string::npos) << run.Err;
  EXPECT_EQ(ReadTextFile(target), "kept");
}

}  // namespace
}  // namespace pcb9::tokenasm
