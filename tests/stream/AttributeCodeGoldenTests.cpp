// The attribute code table and the attribute value widths, pinned by the
// raw tag words written out by hand. The assembler and the importer share
// one table, so a test that built its words from it would agree with any
// mistake in it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "loaders/ModalAttributes.h"
#include "stream/StreamFixture.h"

namespace pcb9 {
namespace {

using pcb9test::TStreamTest;

enum TWidth { kWord, kCoord, kNoValue };

struct TGoldenAttribute {
  uint16_t TagWord;
  TTokenKind Attribute;
  TWidth Width;
};

constexpr TGoldenAttribute kGolden[] = {
    {0xA300, 4, kWord},   {0xA301, 6, kWord},      {0xA302, 5, kWord},   {0xA303, 7, kCoord},
    {0xA304, 8, kWord},   {0xA305, 9, kCoord},     {0xA306, 10, kCoord}, {0xA307, 11, kWord},
    {0xA308, 12, kWord},  {0xA309, 13, kCoord},    {0xA30A, 14, kCoord}, {0xA30B, 22, kNoValue},
    {0xA30C, 21, kCoord}, {0xA30D, 23, kWord},     {0xA30E, 24, kCoord}, {0xA30F, 25, kCoord},
    {0xA310, 26, kWord},  {0xA311, 27, kWord},     {0xA312, 28, kCoord}, {0xA313, 32, kCoord},
    {0xA314, 30, kWord},  {0xA315, 29, kWord},     {0xA316, 44, kWord},  {0xA317, 15, kCoord},
    {0xA318, 16, kCoord}, {0xA319, 17, kCoord},    {0xA31A, 18, kCoord}, {0xA31B, 19, kCoord},
    {0xA31C, 20, kCoord}, {0xA31D, 45, kWord},     {0xA31E, 53, kWord},  {0xA31F, 54, kWord},
    {0xA320, 46, kWord},  {0xA321, 47, kWord},     {0xA322, 48, kWord},  {0xA323, 49, kWord},
    {0xA324, 50, kWord},  {0xA325, 51, kWord},     {0xA326, 52, kWord},  {0xA327, 55, kWord},
    {0xA328, 56, kWord},
};

std::string Hex(uint16_t word) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", word);
  return text;
}

class AttributeCodeGolden : public TStreamTest {};

TEST_F(AttributeCodeGolden, EveryRawCodeClassifiesAsItsAttribute) {
  for (int code = 0; code <= 0xFF; ++code) {
    const uint16_t tag = static_cast<uint16_t>(0xA300 + code);
    TTokenKind expected = tkUnknownAttribute;  // codes 41..255
    for (const TGoldenAttribute& g : kGolden)
      if (g.TagWord == tag) expected = g.Attribute;
    SCOPED_TRACE(Hex(tag));
    Open("raw " + Hex(tag) + " 0\n");
    EXPECT_EQ(PeekToken(), expected);
  }
}

TEST_F(AttributeCodeGolden, CoordinateAttributesAreThoseOfTheTable) {
  for (const TGoldenAttribute& g : kGolden) {
    SCOPED_TRACE(g.Attribute);
    EXPECT_EQ(AttributeHasCoordValue(g.Attribute), g.Width == kCoord);
  }
}

// An attribute run consumes the tag and its value: at level 0 one value
// word for every attribute, from level 1 on two for a coordinate attribute.
// The data word after the value must be the next thing read.
TEST_F(AttributeCodeGolden, RunConsumesTheValueWordsOfEachAttribute) {
  const TAttributeSet every = AttributeRange(4, 56);
  for (int level : {0, 9}) {
    for (const TGoldenAttribute& g : kGolden) {
      if (g.Width == kNoValue) continue;
      SCOPED_TRACE(Hex(g.TagWord) + " at level " + std::to_string(level));
      const bool twoWords = g.Width == kCoord && level >= 1;
      Open("raw " + Hex(g.TagWord) + (twoWords ? " 0x0001 0x86A0" : " 0x000A") + "\nword 4321\n",
           level);
      RunAttributes(every);
      int16_t next = 0;
      ReadWord(next);
      EXPECT_EQ(next, 4321);
      ExpectNoMessage();
    }
  }
}

// The coordinate value: one word of mils at level 0, two words high first
// above.
TEST_F(AttributeCodeGolden, CoordinateValueByLevel) {
  Open("raw 0xA303 0x000A\n", 0);  // attribute 7, 10 mil
  RunAttributes(AttributeSet({7}));
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrTrackWidth, 100000);
  Open("raw 0xA303 0x0001 0x86A0\n", 9);
  RunAttributes(AttributeSet({7}));
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrTrackWidth, 100000);
  Open("raw 0xA303 0xFFFF 0xFFFE\n", 9);
  RunAttributes(AttributeSet({7}));
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrTrackWidth, -2);
}

}  // namespace
}  // namespace pcb9
