// The header match, the preamble's progress total and the caption.
#include <gtest/gtest.h>

#include "run/ImportRun.h"

#include "Module.h"
#include "StreamFixture.h"
#include "stream/FileHeader.h"

namespace pcb9 {
namespace {

using pcb9test::TStreamTest;

struct THeaderCase {
  const char* Header;
  int16_t Level;
};

class HeaderMatch : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(HeaderMatch, GivesTheFormatLevel) {
  EXPECT_EQ(MatchHeader(GetParam().Header), GetParam().Level);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderMatch,
    ::testing::Values(THeaderCase{"PCB FILE 9 VERSION 1.10", 0},
                      THeaderCase{"PCB FILE 9 VERSION 2.00", 1},
                      THeaderCase{"PCB FILE 9 VERSION 2.80", 9},
                      THeaderCase{"pcb file 9 version 2.50", 6},
                      THeaderCase{"  Pcb File 9 Version 2.60 (saved)", 7},
                      // Table order decides, not the position in the text.
                      THeaderCase{"PCB FILE 9 VERSION 2.70 PCB FILE 9 VERSION 2.10", 2},
                      THeaderCase{"PCB FILE 9 VERSION 3.00", 0}, THeaderCase{"", 0},
                      THeaderCase{"PCB FILE 9 VERSION 2.8", 0},
                      THeaderCase{"PCB FILE 9  VERSION 2.80", 0}));

TEST(FormatTexts, ByLevel) {
  EXPECT_EQ(FormatDescription(0), "Orvane PCB Binary 1.1");
  EXPECT_EQ(FormatDescription(6), "Orvane PCB Binary 2.5");
  EXPECT_EQ(ProgressCaptionSuffix(9), " (Binary 2.8)");
  EXPECT_EQ(HeaderText(3), "PCB FILE 9 VERSION 2.20");
  EXPECT_EQ(FormatDescription(10), "");
  EXPECT_EQ(ProgressCaptionSuffix(-1), "");
}

using FileHeader = TStreamTest;

const morvik::TProgress& Progress() { return morvik::Progress(); }

TEST_F(FileHeader, MinimalVersion280File) {
  OpenAsWritten("\"PCB FILE 9 VERSION 2.80\"\nlong 7 1 100 2 3 4 5 6 7 8\nend\n");
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 36);
  EXPECT_EQ(pcb9::Run().FormatLevel, 9);
  EXPECT_EQ(Progress().Total, 36);
  EXPECT_EQ(Progress().Caption, "Loading board.PCB (Binary 2.8)");
  EXPECT_EQ(PeekToken(), tkEnd);
  ExpectNoMessage();
}

TEST_F(FileHeader, LevelZeroPreambleIsLowWordFirst) {
  OpenAsWritten("\"PCB FILE 9 VERSION 1.10\"\nraw 0 0 0x86A0 0x0001\nlong 0 0 0 0 0 0 0 0\nend\n");
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 100000);
  EXPECT_EQ(pcb9::Run().FormatLevel, 0);
  EXPECT_EQ(Progress().Caption, "Loading board.PCB (Binary 1.1)");
}

TEST_F(FileHeader, FirstAndThirdValuesAreNotCounted) {
  OpenAsWritten("\"PCB FILE 9 VERSION 2.30\"\nlong 2000000000 0 2000000000 0 0 0 0 0 0 0\nend\n");
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 0);
  EXPECT_EQ(Progress().Total, 0);
}

TEST_F(FileHeader, TotalWrapsAsThirtyTwoBitArithmetic) {
  OpenAsWritten("\"PCB FILE 9 VERSION 2.80\"\nlong 0 0x7FFFFFFF 0 1 0 0 0 0 -5 0\nend\n");
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), INT32_MAX - 4);
}

TEST_F(FileHeader, UnknownVersionReadsAsLevelZero) {
  OpenAsWritten("\"PCB FILE 9 VERSION 3.00\"\nlong 0 4 0 0 0 0 0 0 0 0\nend\n");
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 4);
  EXPECT_EQ(pcb9::Run().FormatLevel, 0);
  EXPECT_EQ(Progress().Caption, "Loading board.PCB (Binary 1.1)");
  ExpectNoMessage();
}

TEST_F(FileHeader, LongFileNameCutsTheCaptionAt255) {
  // Two headers: the caption is made twice.
  OpenAsWritten("\"PCB FILE 9 VERSION 2.80\"\nlong 0 0 0 0 0 0 0 0 0 0\n"
                "\"PCB FILE 9 VERSION 2.80\"\nlong 0 0 0 0 0 0 0 0 0 0\nend\n");
  const std::string name(240, 'n');
  ReadHeaderAndPreamble(name);
  EXPECT_EQ(Progress().Caption, "Loading " + name + " (Binar");
  const std::string longer(250, 'n');
  ReadHeaderAndPreamble(longer);
  EXPECT_EQ(Progress().Caption, "Loading " + longer.substr(0, 247));
}

TEST_F(FileHeader, FirstTokenNotAStringIsCorruptionButProgressStarts) {
  OpenAsWritten("long 0 3 0 0 0 0 0 0 0 0\nend\n");
  pcb9::Run().FormatLevel = 5;
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 3);
  EXPECT_EQ(pcb9::Run().FormatLevel, 0);
  ExpectOneCorruptionReport();
  EXPECT_EQ(Progress().Caption, "Loading board.PCB (Binary 1.1)");
}

TEST_F(FileHeader, EmptyFileIsOneCorruptionReport) {
  OpenBytes({}, 0);
  EXPECT_EQ(ReadHeaderAndPreamble(kFileName), 0);
  ExpectOneCorruptionReport();
  EXPECT_EQ(Progress().Caption, "Loading board.PCB (Binary 1.1)");
}

}  // namespace
}  // namespace pcb9
