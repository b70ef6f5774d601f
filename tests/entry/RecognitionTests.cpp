// Recognition by the first line of the file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "entry/Recognition.h"
#include "support/TempDir.h"

namespace pcb9 {
namespace {

// A header string token as it opens a binary file: the tag word 0xA1nn
// (low byte first), then the characters.
std::string HeaderToken(const std::string& text) {
  std::string bytes{static_cast<char>(text.size()), '\xA1'};
  bytes += text;
  if (text.size() % 2) bytes += '\0';
  return bytes;
}

struct TRecognitionCase {
  const char* Name;
  std::string Content;
  bool Recognised;
};

class Recognition : public ::testing::TestWithParam<TRecognitionCase> {};

TEST_P(Recognition, ByTheFirstLine) {
  pcb9test::TTempDir dir;
  const std::string path = dir.Write("board.PCB", GetParam().Content);
  EXPECT_EQ(IsRecognisedFile(path), GetParam().Recognised);
}

const std::string kPreamble(40, '\x01');

INSTANTIATE_TEST_SUITE_P(
    Files, Recognition,
    ::testing::Values(
        TRecognitionCase{"BinaryHeader", HeaderToken("PCB FILE 9 VERSION 2.80") + kPreamble, true},
        TRecognitionCase{"LowerCaseHeader", "pcb file 9 version 2.50\n", true},
        TRecognitionCase{"TextFileWithTheText", "PCB FILE 9 as text\nmore\n", true},
        TRecognitionCase{"OtherVersionStillRecognised", "PCB FILE 9 VERSION 3.00", true},
        TRecognitionCase{"TextOnTheSecondLine", "header\nPCB FILE 9 VERSION 2.80\n", false},
        TRecognitionCase{"HeaderLength10", HeaderToken("PCB FILE 9") + kPreamble, false},
        TRecognitionCase{"HeaderLength26", HeaderToken("PCB FILE 9 VERSION 2.80 AB") + kPreamble,
                         false},
        TRecognitionCase{"CarriageReturnBeforeLineFeed", "PCB FILE 9\r\n", true},
        TRecognitionCase{"LoneCarriageReturnIsDropped", "PCB FILE \r9\n", true},
        TRecognitionCase{"LoneCarriageReturnDoesNotEndTheLine", "PCB FI\rLE 9", true},
        TRecognitionCase{"EndOfTextByteEndsTheLine", "PCB FILE\x1A 9", false},
        TRecognitionCase{"TextWithin255Characters", std::string(245, ' ') + "PCB FILE 9", true},
        TRecognitionCase{"TextPast255Characters", std::string(246, ' ') + "PCB FILE 9", false},
        TRecognitionCase{"CarriageReturnsDoNotCount",
                         std::string(100, '\r') + std::string(245, ' ') + "PCB FILE 9", true},
        TRecognitionCase{"NulBytesDoNotEndTheLine", std::string("\0\0PCB FILE 9", 12), true},
        TRecognitionCase{"EmptyFile", "", false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RecognitionOfNames, ThatAreNotRegularFiles) {
  pcb9test::TTempDir dir;
  std::filesystem::create_directory(dir.File("PCB FILE 9.PCB"));
  EXPECT_FALSE(IsRecognisedFile(dir.File("PCB FILE 9.PCB")));
  EXPECT_FALSE(IsRecognisedFile(dir.File("missing.PCB")));
  EXPECT_FALSE(IsRecognisedFile(""));
  // A pipe would block a reader that opened it.
  ASSERT_EQ(mkfifo(dir.File("pipe.PCB").c_str(), 0600), 0);
  EXPECT_FALSE(IsRecognisedFile(dir.File("pipe.PCB")));
}

TEST(RecognitionOfNames, ThroughALinkToAFile) {
  pcb9test::TTempDir dir;
  const std::string target = dir.Write("target.PCB", "PCB FILE 9 VERSION 2.80");
  std::filesystem::create_symlink(target, dir.File("link.PCB"));
  EXPECT_TRUE(IsRecognisedFile(dir.File("link.PCB")));
}

TEST(ShortStringArgument, IsCopiedByItsLength) {
  const uint8_t value[] = {3, 'a', 'b', 'c', 'd'};
  EXPECT_EQ(CopyShortStringArgument(value), "abc");
  const uint8_t empty[] = {0, 'x'};
  EXPECT_EQ(CopyShortStringArgument(empty), "");
  EXPECT_EQ(CopyShortStringArgument(nullptr), "");
}

}  // namespace
}  // namespace pcb9
