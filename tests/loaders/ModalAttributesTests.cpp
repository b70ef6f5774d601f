// The attribute run: every raw attribute code with its value width and the
// registers it sets, and the tokens that end a run without being consumed.
// The tokens are written as raw words, so the reader's code and width
// tables are checked too, not only used.
#include <gtest/gtest.h>

#include "run/ImportRun.h"

#include <ostream>
#include <string>

#include "loaders/ModalAttributes.h"
#include "stream/StreamFixture.h"

namespace pcb9 {
namespace {

using pcb9test::TStreamTest;
using M = TModalAttributes;

constexpr uint16_t kWordValue = 0x8123;
constexpr int32_t kCoordValue = 100000;  // words 0x0001 0x86A0, high first

struct TAttrCase {
  int Number;
  int Code;
  bool Coord;
  void (*Expect)(M&);
  friend void PrintTo(const TAttrCase& c, std::ostream* os) { *os << "attribute " << c.Number; }
};

constexpr auto kNothing = [](M&) {};
constexpr int16_t kSigned = static_cast<int16_t>(kWordValue);

const TAttrCase kAttrCases[] = {
    {4, 0, false, [](M& m) { m.AttrFlags = kWordValue; }},
    {5, 2, false, [](M& m) { m.AttrNet = kSigned; }},
    {6, 1, false, [](M& m) { m.AttrLayer = kWordValue; }},
    {7, 3, true, [](M& m) { m.AttrTrackWidth = kCoordValue; }},
    {8, 4, false, kNothing},
    {9, 5, true, [](M& m) { m.AttrViaSize = kCoordValue; }},
    {10, 6, true, [](M& m) { m.AttrViaHoleSize = kCoordValue; }},
    {11, 7, false, kNothing},
    {12, 8, false, [](M& m) { m.AttrViaLayerPair = kWordValue; }},
    {13, 9, true,
     [](M& m) { m.AttrPadTopXSize = m.AttrPadMidXSize = m.AttrPadBottomXSize = kCoordValue; }},
    {14, 10, true,
     [](M& m) { m.AttrPadTopYSize = m.AttrPadMidYSize = m.AttrPadBottomYSize = kCoordValue; }},
    {15, 23, true, [](M& m) { m.AttrPadTopXSize = kCoordValue; }},
    {16, 24, true, [](M& m) { m.AttrPadTopYSize = kCoordValue; }},
    {17, 25, true, [](M& m) { m.AttrPadMidXSize = kCoordValue; }},
    {18, 26, true, [](M& m) { m.AttrPadMidYSize = kCoordValue; }},
    {19, 27, true, [](M& m) { m.AttrPadBottomXSize = kCoordValue; }},
    {20, 28, true, [](M& m) { m.AttrPadBottomYSize = kCoordValue; }},
    {21, 12, true, [](M& m) { m.AttrPadHoleSize = kCoordValue; }},
    {23, 13, false, [](M& m) { m.AttrPadPlaneConnect = kWordValue; }},
    {24, 14, true, [](M& m) { m.AttrPadX = kCoordValue; }},
    {25, 15, true, [](M& m) { m.AttrPadY = kCoordValue; }},
    {26, 16, false, kNothing},
    {27, 17, false, kNothing},
    {28, 18, true, [](M& m) { m.AttrTextHeight = kCoordValue; }},
    {29, 21, false, [](M& m) { m.AttrTextFont = kSigned; }},
    {30, 20, false, [](M& m) { m.AttrTextMirrored = kWordValue; }},
    {32, 19, true, [](M& m) { m.AttrTextWidth = kCoordValue; }},
    {44, 22, false, [](M& m) { m.AttrPolygon = kSigned; }},
    {45, 29, false, [](M& m) { m.AttrStateFlag = kWordValue; }},
    {46, 32, false, kNothing},
    {47, 33, false, kNothing},
    {48, 34, false, kNothing},
    {49, 35, false, kNothing},
    {50, 36, false, kNothing},
    {51, 37, false, kNothing},
    {52, 38, false, kNothing},
    {53, 30, false, [](M& m) { m.AttrCoordinate = kSigned; }},
    {54, 31, false, [](M& m) { m.AttrDimension = kSigned; }},
    {55, 39, false, [](M& m) { m.AttrViaStartLayer = kWordValue; }},
    {56, 40, false, [](M& m) { m.AttrViaEndLayer = kWordValue; }},
};

// Every attribute that has a value.
constexpr TAttributeSet kAllWithValues = AttributeRange(4, 56) & ~AttributeSet({22});

std::string Raw(int word) { return "raw " + std::to_string(word) + "\n"; }

class AttributeRun : public TStreamTest, public ::testing::WithParamInterface<TAttrCase> {};

TEST_P(AttributeRun, SetsItsRegistersAndConsumesItsValue) {
  const TAttrCase& c = GetParam();
  const std::string value = c.Coord ? "raw 0x0001 0x86A0\n" : Raw(kWordValue);
  Open(Raw(0xA300 | c.Code) + value + "word 7\n", 9);
  ResetModalAttributes();
  RunAttributes(kAllWithValues);
  M expected;
  c.Expect(expected);
  EXPECT_TRUE(pcb9::Run().ModalAttributes == expected);
  int16_t next = 0;
  ReadWord(next);
  EXPECT_EQ(next, 7);
  ExpectNoMessage();
}

INSTANTIATE_TEST_SUITE_P(Numbers, AttributeRun, ::testing::ValuesIn(kAttrCases));

using PadAttributes = TStreamTest;

// Which of the pad's size attributes comes last decides.
TEST_F(PadAttributes, SizesApplyInOrder) {
  Open("attr 13 10mil\nattr 17 20mil\nword 0\n", 0);
  ResetModalAttributes();
  RunAttributes(AcceptedAttributes::Pad);
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrPadTopXSize, 100000);
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrPadMidXSize, 200000);
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrPadBottomXSize, 100000);

  Open("attr 17 20mil\nattr 13 10mil\nword 0\n", 0);
  RunAttributes(AcceptedAttributes::Pad);
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrPadMidXSize, 100000);
  ExpectNoMessage();
}

struct TStopCase {
  const char* Name;
  const char* Token;
  TAttributeSet Accepted;
  friend void PrintTo(const TStopCase& c, std::ostream* os) { *os << c.Name; }
};

class AttributeRunEnd : public TStreamTest, public ::testing::WithParamInterface<TStopCase> {};

TEST_P(AttributeRunEnd, LeavesTheTokenForTheRecord) {
  const TStopCase& c = GetParam();
  Open(std::string(c.Token) + "\nword 0\n", 9);
  ResetModalAttributes();
  RunAttributes(c.Accepted);
  EXPECT_EQ(TokenStreamOffset(), 0);
  EXPECT_TRUE(pcb9::Run().ModalAttributes == M{});
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrStateFlag, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, AttributeRunEnd,
    ::testing::Values(
        TStopCase{"ViaAttributeInATrackRun", "attr 12 1", AcceptedAttributes::Track},
        TStopCase{"LayerInAViaRun", "attr 6 1", AcceptedAttributes::Via},
        TStopCase{"NetInATextRun", "attr 5 1", AcceptedAttributes::Text},
        TStopCase{"AttributeWithoutMeaning", "raw 0xA30B 1", AcceptedAttributes::Pad},
        TStopCase{"UnknownCode", "raw 0xA329 1", kAllWithValues},
        TStopCase{"DataWord", "word 5", kAllWithValues},
        TStopCase{"String", "\"TH\"", kAllWithValues},
        TStopCase{"EndTag", "end", kAllWithValues}),
    [](const auto& info) { return std::string(info.param.Name); });

// An abort the user confirmed does not end a run: its attributes belong to
// the record under way, which is read to its end. A failed read does: the
// stream no longer says what follows.
TEST_F(TStreamTest, AttributeRunAfterAnAbortEndsOnlyOnAFailedRead) {
  for (bool failed : {false, true}) {
    SCOPED_TRACE(failed ? "failed read" : "user's abort");
    Open("attr 4 7\nword 0\n", 9);
    ResetModalAttributes();
    if (failed) {
      int16_t word = 0;
      pcb9::ReadWord(word);  // an attribute tag is no data word
    }
    pcb9::Run().Aborted = true;
    RunAttributes(kAllWithValues);
    EXPECT_EQ(TokenStreamOffset(), failed ? 0 : 2);
    EXPECT_EQ(pcb9::Run().ModalAttributes.AttrFlags, failed ? 0 : 7);
  }
}

}  // namespace
}  // namespace pcb9
