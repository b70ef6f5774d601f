// The token reader: word orders, strings, filler and recovery, attributes,
// the end tag, strict reads, and the damaged files it must stop on safely.
#include <gtest/gtest.h>

#include "run/ImportRun.h"

#include <cstdio>
#include <ostream>

#include "StreamFixture.h"
#include "support/TempDir.h"

namespace pcb9 {
namespace {

using pcb9test::DataWords;
using pcb9test::TStreamTest;

using TokenReader = TStreamTest;

// --- Word orders --------------------------------------------------------------

struct TLongCase {
  int16_t Level;
  int32_t Expected;
  friend void PrintTo(const TLongCase& c, std::ostream* os) { *os << "level " << c.Level; }
};

class LongWordOrder : public TStreamTest, public ::testing::WithParamInterface<TLongCase> {};

TEST_P(LongWordOrder, ReadLongTakesTheLevelsWordOrder) {
  Open("raw 0x0001 0x86A0\nword 7\n", GetParam().Level);
  int32_t value = 0;
  ReadLong(value);
  EXPECT_EQ(value, GetParam().Expected);
  int16_t next = 0;
  ReadWord(next);
  EXPECT_EQ(next, 7);
  ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(Levels, LongWordOrder,
                         ::testing::Values(TLongCase{9, 100000}, TLongCase{1, 100000},
                                           TLongCase{0, -2036334591}));

// A 32-bit read takes its two words whatever they look like, silently.
struct TLooseLongCase {
  const char* Name;
  const char* Words;
  int32_t Expected;
  bool EndReachedAfter;
  friend void PrintTo(const TLooseLongCase& c, std::ostream* os) { *os << c.Name; }
};

class LongIsNotStrict : public TStreamTest, public ::testing::WithParamInterface<TLooseLongCase> {};

TEST_P(LongIsNotStrict, TakesTagWordsAsData) {
  Open(std::string("raw ") + GetParam().Words + "\nword 7\n", 9);
  int32_t value = 0;
  ReadLong(value);
  EXPECT_EQ(value, GetParam().Expected);
  EXPECT_EQ(pcb9::Run().EndReached, GetParam().EndReachedAfter);
  EXPECT_EQ(TokenStreamOffset(), 2);
  ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Tags, LongIsNotStrict,
    ::testing::Values(
        TLooseLongCase{"AttributeTag", "0xA305 0x0001", static_cast<int32_t>(0xA3050001), false},
        TLooseLongCase{"StringTag", "0xA102 0x4142", static_cast<int32_t>(0xA1024142), false},
        TLooseLongCase{"EndTag", "0xA200 0x0003", static_cast<int32_t>(0xA2000003), true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TokenReader, CoordinateAtLevelZeroIsOneSignedWordOfMils) {
  Open("raw 0xFFFF 0x0032\n", 0);
  int32_t a = 0, b = 0;
  ReadCoord(a);
  ReadCoord(b);
  EXPECT_EQ(a, -10000);
  EXPECT_EQ(b, 500000);
  EXPECT_EQ(TokenStreamOffset(), 2);
}

TEST_F(TokenReader, CoordinateAboveLevelZeroIsTwoWordsHighFirst) {
  Open("raw 0xFFFF 0xFFFF 0x0001 0x0000\n", 1);
  int32_t a = 0, b = 0;
  ReadCoord(a);
  ReadCoord(b);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 65536);
}

// --- Strings --------------------------------------------------------------------

TEST_F(TokenReader, EmptyStringIsTheTagAlone) {
  Open("raw 0xA100\nword 5\n");
  TShortString text("old");
  ReadString(text);
  EXPECT_EQ(text, "");
  int16_t next = 0;
  ReadWord(next);
  EXPECT_EQ(next, 5);
}

TEST_F(TokenReader, OddLengthStringIgnoresItsPaddingByte) {
  // "abc" with 0x7A ('z') in the padding byte.
  Open("raw 0xA103 0x6261 0x7A63\nword 5\n");
  TShortString text;
  ReadString(text);
  EXPECT_EQ(text, "abc");
  int16_t next = 0;
  ReadWord(next);
  EXPECT_EQ(next, 5);
}

TEST_F(TokenReader, LongestStringKeepsEveryByte) {
  std::string chars;
  for (int i = 0; i < 255; ++i) chars += static_cast<char>(i == 0 ? 1 : i);
  std::string text = "string \"";
  for (unsigned char c : chars) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    text += hex;
  }
  Open(text + "\"\n");
  TShortString value;
  ReadString(value);
  EXPECT_EQ(value.View(), chars);
}

TEST_F(TokenReader, StringEndingAtTheLastWordRefillsAndTheNextTokenIsWordOne) {
  // 2045 data words, then "abcd" in words 2046..2048, then the next block.
  Open(DataWords(2045) + "\"abcd\"\nword 9\n");
  int16_t w = 0;
  for (int i = 0; i < 2045; ++i) ReadWord(w);
  TShortString text;
  ReadString(text);
  EXPECT_EQ(text, "abcd");
  EXPECT_EQ(TokenStreamOffset(), kBlockWords);
  EXPECT_EQ(pcb9::Run().Reader.BlockPos, 1);
  ReadWord(w);
  EXPECT_EQ(w, 9);
  ExpectNoMessage();
}

// --- Filler and recovery ----------------------------------------------------------

// Filler from any word of the block up to word 2048 moves to the next block.
class FillerToBlockEnd : public TStreamTest, public ::testing::WithParamInterface<int> {};

TEST_P(FillerToBlockEnd, PeekReadsTheNextBlock) {
  const int dataWords = GetParam();
  Open(DataWords(dataWords) + "filler " + std::to_string(kBlockWords - dataWords) + "\nword 42\n");
  int16_t w = 0;
  for (int i = 0; i < dataWords; ++i) ReadWord(w);
  EXPECT_EQ(PeekToken(), tkData);
  EXPECT_EQ(TokenStreamOffset(), kBlockWords);
  ReadWord(w);
  EXPECT_EQ(w, 42);
  ExpectNoMessage();
  EXPECT_FALSE(RecoveryWarningShown());
}

INSTANTIATE_TEST_SUITE_P(StartWords, FillerToBlockEnd, ::testing::Values(0, 1, 1000, 2046, 2047));

TEST_F(TokenReader, SeveralBlocksOfFillerAreSkipped) {
  Open("word 1\nfiller rest\nfiller 2048\nfiller 2048\nword 2\n");
  int16_t w = 0;
  ReadWord(w);
  ReadWord(w);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(TokenStreamOffset(), 3 * kBlockWords + 1);
  ExpectNoMessage();
}

TEST_F(TokenReader, WordAtTheBlockEndAfterFillerIsNotExamined) {
  // A string tag in word 2048 behind filler counts as filler too.
  Open("filler 2047\nraw 0xA105\nword 9\n");
  EXPECT_EQ(PeekToken(), tkData);
  int16_t w = 0;
  ReadWord(w);
  EXPECT_EQ(w, 9);
  ExpectNoMessage();
}

TEST_F(TokenReader, FillerInsideABlockIsReadAsDataWithOneWarning) {
  Open("word 1\nraw 0xA000 0xA005\nword 2\n");
  int16_t w = 0;
  ReadWord(w);
  ReadWord(w);
  EXPECT_EQ(w, static_cast<int16_t>(0xA000));
  ReadWord(w);
  EXPECT_EQ(w, static_cast<int16_t>(0xA005));
  ReadWord(w);
  EXPECT_EQ(w, 2);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text,
            "Data Integrity Error. Attempting To Recover. If Successful, Save as TEXT and Reload");
  EXPECT_EQ(Messages()[0].Caption, "Import");
  EXPECT_EQ(Messages()[0].Icon, "warning");
  EXPECT_EQ(Messages()[0].Buttons, "ok");
  EXPECT_FALSE(pcb9::Run().Aborted);
  EXPECT_TRUE(RecoveryWarningShown());

  // The warning is shown once while the module is loaded, not once a run.
  Open("raw 0xA000\nword 3\n");
  ReadWord(w);
  EXPECT_EQ(w, static_cast<int16_t>(0xA000));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(TokenReader, ReadLongAfterInBlockFillerTakesTheFillerWord) {
  Open("raw 0xA000 0x0001\nword 3\n", 9);
  int32_t value = 0;
  ReadLong(value);
  EXPECT_EQ(value, static_cast<int32_t>(0xA0000001));
  EXPECT_TRUE(RecoveryWarningShown());
}

// --- Attributes -------------------------------------------------------------------

struct TCodeCase {
  uint16_t Tag;
  TTokenKind Kind;
  friend void PrintTo(const TCodeCase& c, std::ostream* os) { *os << "tag " << std::hex << c.Tag; }
};

class AttributeCodes : public TStreamTest, public ::testing::WithParamInterface<TCodeCase> {};

TEST_P(AttributeCodes, PeekGivesTheAttributeNumber) {
  Open("raw " + std::to_string(GetParam().Tag) + " 0\n");
  EXPECT_EQ(PeekToken(), GetParam().Kind);
  EXPECT_EQ(TokenStreamOffset(), 0);
}

INSTANTIATE_TEST_SUITE_P(Codes, AttributeCodes,
                         ::testing::Values(TCodeCase{0xA300, 4}, TCodeCase{0xA301, 6},
                                           TCodeCase{0xA30B, 22}, TCodeCase{0xA31D, 45},
                                           TCodeCase{0xA328, 56},
                                           TCodeCase{0xA329, tkUnknownAttribute},
                                           TCodeCase{0xA3FF, tkUnknownAttribute}));

TEST_F(TokenReader, AttributeValuesByLevel) {
  Open("attr 6 0xFFFE\nattr 7 100000\nword 1\n", 9);
  int16_t layer = 0;
  int32_t width = 0;
  ReadAttrValue(layer);
  ReadAttrCoord(width);
  EXPECT_EQ(layer, -2);
  EXPECT_EQ(width, 100000);
  EXPECT_EQ(TokenStreamOffset(), 5);

  Open("attr 7 -30000\nword 1\n", 0);
  ReadAttrCoord(width);
  EXPECT_EQ(width, -30000);
  EXPECT_EQ(TokenStreamOffset(), 2);
  ExpectNoMessage();
}

// --- End tag and strict reads -------------------------------------------------------

TEST_F(TokenReader, AfterTheEndTagReadsAreSilent) {
  Open("end\nword 5\n\"X\"\n");
  EXPECT_EQ(PeekToken(), tkEnd);
  EXPECT_TRUE(pcb9::Run().EndReached);
  int16_t w = 77;
  ReadWord(w);
  EXPECT_EQ(w, 77);
  TShortString text("kept");
  ReadString(text);
  EXPECT_EQ(text, "kept");
  double real = 0;
  ReadReal(real);
  EXPECT_EQ(PeekToken(), tkEnd);
  EXPECT_EQ(TokenStreamOffset(), 0);
  ExpectNoMessage();
}

TEST_F(TokenReader, DataWordWithTheEndTagsHighByteEndsTheData) {
  Open("word 1\nraw 0xA2FF\nword 2\n");
  int16_t w = 0;
  ReadWord(w);
  ReadWord(w);
  EXPECT_EQ(w, 1);
  EXPECT_TRUE(pcb9::Run().EndReached);
  ExpectNoMessage();
}

TEST_F(TokenReader, WrongTokenIsReportedOnceAndConsumesNothing) {
  Open("\"TH\"\nword 5\n");
  int16_t w = 99;
  ReadWord(w);
  EXPECT_EQ(w, 99);
  ExpectOneCorruptionReport();
  EXPECT_EQ(PeekToken(), tkString);

  // Later failures are silent; reads of the right kind still work.
  ReadWord(w);
  EXPECT_EQ(Messages().size(), 1u);
  TShortString text;
  ReadString(text);
  EXPECT_EQ(text, "TH");
  TShortString unchanged("same");
  ReadString(unchanged);
  EXPECT_EQ(unchanged, "same");
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(TokenReader, AttributeTagIsNoDataWord) {
  Open("attr 6 1\n");
  int16_t w = 3;
  ReadWord(w);
  EXPECT_EQ(w, 3);
  ExpectOneCorruptionReport();
}

TEST_F(TokenReader, CorruptionReportNamesTheWholeFileName) {
  Open("\"X\"\n");
  pcb9::Run().ImportFileName = "/boards/a b/Ünïcode.PCB";
  ReportCorruption();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, "File Corruption: /boards/a b/Ünïcode.PCB");
  EXPECT_TRUE(pcb9::Run().Aborted);
}

// --- Reals ----------------------------------------------------------------------------

struct TRealCase {
  const char* Text;
  bool Converts;
  double Value;
  friend void PrintTo(const TRealCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }
};

class RealTexts : public TStreamTest, public ::testing::WithParamInterface<TRealCase> {};

TEST_P(RealTexts, ConvertOrReportCorruption) {
  Open(std::string("real \"") + GetParam().Text + "\"\nword 1\n");
  double value = -1;
  ReadReal(value);
  if (GetParam().Converts) {
    EXPECT_DOUBLE_EQ(value, GetParam().Value);
    ExpectNoMessage();
  } else {
    ExpectOneCorruptionReport();
  }
  // The string token is consumed either way.
  EXPECT_EQ(PeekToken(), tkData);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RealTexts,
    ::testing::Values(TRealCase{"12.5", true, 12.5}, TRealCase{"-1E3", true, -1000},
                      TRealCase{" 7", true, 7}, TRealCase{"+.5", true, 0.5},
                      TRealCase{"5.", true, 5}, TRealCase{"007", true, 7},
                      TRealCase{"2.5e-2", true, 0.025}, TRealCase{"1E+2", true, 100},
                      TRealCase{"1e-400", true, 0}, TRealCase{"12,5", false, 0},
                      TRealCase{"7 ", false, 0}, TRealCase{"", false, 0},
                      TRealCase{"   ", false, 0}, TRealCase{"-", false, 0},
                      TRealCase{"+", false, 0},
                      TRealCase{"1E", false, 0}, TRealCase{"1e+", false, 0},
                      TRealCase{"1.2.3", false, 0}, TRealCase{"+-1", false, 0},
                      TRealCase{"inf", false, 0}, TRealCase{"nan", false, 0},
                      TRealCase{"0x10", false, 0}, TRealCase{"\\x097", false, 0},
                      TRealCase{"1e999", false, 0},
                      // Both digit runs empty, otherwise in the grammar: zero.
                      TRealCase{".", true, 0}, TRealCase{"-.", true, 0},
                      TRealCase{".e1", true, 0}, TRealCase{"E5", true, 0},
                      TRealCase{" +e-3", true, 0}, TRealCase{"  .", true, 0},
                      TRealCase{"-.5", true, -0.5}, TRealCase{"5.e3", true, 5000},
                      TRealCase{".5E-1", true, 0.05},
                      TRealCase{"e", false, 0}, TRealCase{".E", false, 0},
                      TRealCase{"..", false, 0}, TRealCase{"-. ", false, 0},
                      // Beyond the 64-bit range: no value, never an infinity.
                      TRealCase{"1e400", false, 0}, TRealCase{"-1e400", false, 0},
                      TRealCase{"1.8e308", false, 0}, TRealCase{"0.0001e313", false, 0},
                      // 200 digits times 1e120.
                      TRealCase{
                                "99999999999999999999999999999999999999999999999999"
                                "99999999999999999999999999999999999999999999999999"
                                "99999999999999999999999999999999999999999999999999"
                                "99999999999999999999999999999999999999999999999999"
                                "e120",
                                false, 0},
                      TRealCase{"1.7976931348623157e308", true, 1.7976931348623157e308},
                      TRealCase{"0.0001e311", true, 1e307},
                      TRealCase{"-0.000000001e-400", true, 0}));

TEST_F(TokenReader, RealFromADataWordIsCorruption) {
  Open("word 1\n");
  double value = 5;
  ReadReal(value);
  ExpectOneCorruptionReport();
}

// --- Damaged files: tokens that run past their block ---------------------------------------

// Each case puts `lead` data words before the token, so that it starts near
// the end of the first block, and then reads it.
struct TOverrunCase {
  const char* Name;
  int Lead;
  const char* Token;
  int16_t Level;
  void (*Read)();
  friend void PrintTo(const TOverrunCase& c, std::ostream* os) { *os << c.Name; }
};

class TokenPastBlockEnd : public TStreamTest, public ::testing::WithParamInterface<TOverrunCase> {};

TEST_P(TokenPastBlockEnd, IsCorruptionAndNoReadBeyondTheBlock) {
  const TOverrunCase& c = GetParam();
  Open(DataWords(c.Lead) + c.Token + "\n" + DataWords(8, 5), c.Level);
  int16_t w = 0;
  for (int i = 0; i < c.Lead; ++i) ReadWord(w);
  const int64_t before = TokenStreamOffset();
  c.Read();
  ExpectOneCorruptionReport();
  EXPECT_EQ(TokenStreamOffset(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenPastBlockEnd,
    ::testing::Values(
        TOverrunCase{"StringCharacters", 2046, "raw 0xA10A 0x4141", 9,
                     [] {
                       TShortString s("kept");
                       ReadString(s);
                       EXPECT_EQ(s, "kept");
                     }},
        TOverrunCase{"StringTagInTheLastWord", 2047, "raw 0xA101", 9,
                     [] {
                       TShortString s;
                       ReadString(s);
                     }},
        TOverrunCase{"RealText", 2047, "raw 0xA101", 9,
                     [] {
                       double d = 1;
                       ReadReal(d);
                       EXPECT_EQ(d, 0);
                     }},
        TOverrunCase{"LongInTheLastWord", 2047, "word 1", 9,
                     [] {
                       int32_t v = 1;
                       ReadLong(v);
                       EXPECT_EQ(v, 0);
                     }},
        TOverrunCase{"AttributeValueWord", 2047, "raw 0xA301", 9,
                     [] {
                       int16_t v = 1;
                       ReadAttrValue(v);
                       EXPECT_EQ(v, 0);
                     }},
        TOverrunCase{"AttributeCoordinate", 2046, "raw 0xA303 0x0001", 9,
                     [] {
                       int32_t v = 1;
                       ReadAttrCoord(v);
                       EXPECT_EQ(v, 0);
                     }},
        TOverrunCase{"AttributeCoordinateAtLevelZero", 2047, "raw 0xA303", 0,
                     [] {
                       int32_t v = 1;
                       ReadAttrCoord(v);
                       EXPECT_EQ(v, 0);
                     }}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- Damaged files: the data ends without the end tag --------------------------------------

TEST_F(TokenReader, FileEndingInsideABlockIsCorruptionNotStaleWords) {
  // The first, full block leaves its words in the buffer; the short second
  // block must not expose them.
  Open(DataWords(2048, 3) + "word 4\ntruncate\n");
  int16_t w = 0;
  for (int i = 0; i <= kBlockWords; ++i) ReadWord(w);
  EXPECT_EQ(w, 4);
  ExpectNoMessage();
  w = 99;
  ReadWord(w);
  EXPECT_EQ(w, 99);
  ExpectOneCorruptionReport();
  EXPECT_EQ(PeekToken(), tkEnd);
  EXPECT_FALSE(pcb9::Run().EndReached);
  int32_t value = 5;
  ReadLong(value);
  EXPECT_EQ(value, 0);
  ReadAttrValue(w);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(TokenReader, FileEndingAtABlockEndDoesNotReadTheBlockAgain) {
  Open(DataWords(2048, 3));
  int16_t w = 0;
  for (int i = 0; i < kBlockWords; ++i) ReadWord(w);
  ExpectNoMessage();
  // A group loop over records stops at once.
  int records = 0;
  while (PeekToken() != tkString && !pcb9::Run().EndReached && !pcb9::Run().Aborted && records < 10) {
    ReadWord(w);
    ++records;
  }
  EXPECT_EQ(records, 0);
  ExpectOneCorruptionReport();
}

TEST_F(TokenReader, FileEndingInFillerIsCorruption) {
  Open("word 1\nfiller 10\ntruncate\n");
  int16_t w = 0;
  ReadWord(w);
  EXPECT_EQ(PeekToken(), tkEnd);
  ExpectOneCorruptionReport();
  EXPECT_FALSE(RecoveryWarningShown());
}

TEST_F(TokenReader, LoneLastByteIsNoWord) {
  Open("word 1\nraw 0x0002\ntruncate 3\n");
  int16_t w = 0;
  ReadWord(w);
  w = 7;
  ReadWord(w);
  EXPECT_EQ(w, 7);
  ExpectOneCorruptionReport();
}

TEST_F(TokenReader, ThirtyTwoBitValueCutByTheFileEnd) {
  Open("word 1\ntruncate\n", 9);
  int32_t v = 5;
  ReadLong(v);
  EXPECT_EQ(v, 0);
  ExpectOneCorruptionReport();
}

TEST_F(TokenReader, StringCutByTheFileEnd) {
  Open("raw 0xA104 0x4141\ntruncate\n");
  TShortString s("kept");
  ReadString(s);
  EXPECT_EQ(s, "kept");
  ExpectOneCorruptionReport();
}

TEST_F(TokenReader, EmptyFileIsCorruption) {
  OpenBytes({}, 0);
  TShortString s;
  ReadString(s);
  ExpectOneCorruptionReport();
  EXPECT_EQ(PeekToken(), tkEnd);
}

TEST_F(TokenReader, FileThatCannotBeOpenedReadsNothing) {
  EXPECT_FALSE(OpenTokenFile("/nonexistent/dir/board.PCB"));
  pcb9::Run().ImportFileName = kFileName;
  ReadNextBlock();
  pcb9::Run().EndReached = false;
  pcb9::Run().Aborted = false;
  int16_t w = 4;
  ReadWord(w);
  EXPECT_EQ(w, 4);
  ExpectOneCorruptionReport();
}

// --- Reading from a file -------------------------------------------------------------------

TEST_F(TokenReader, ReadsBlocksFromAFileOnDisk) {
  pcb9test::TTempDir dir;
  std::vector<uint8_t> bytes = tokenasm::AssembleText("level 9\n" + DataWords(2047, 2) +
                                                      "\"across\"\nlong -5\nend\n");
  ASSERT_EQ(bytes.size(), 2u * kBlockBytes);
  const std::string path = dir.Write("disk.PCB", std::string(bytes.begin(), bytes.end()));
  ASSERT_TRUE(OpenTokenFile(path));
  pcb9::Run().ImportFileName = path;
  ReadNextBlock();
  pcb9::Run().EndReached = false;
  pcb9::Run().Aborted = false;
  pcb9::Run().FormatLevel = 9;
  int16_t w = 0;
  for (int i = 0; i < 2047; ++i) ReadWord(w);
  TShortString s;
  ReadString(s);
  EXPECT_EQ(s, "across");
  int32_t v = 0;
  ReadLong(v);
  EXPECT_EQ(v, -5);
  EXPECT_EQ(PeekToken(), tkEnd);
  EXPECT_TRUE(pcb9::Run().EndReached);
  ExpectNoMessage();
}

}  // namespace
}  // namespace pcb9
