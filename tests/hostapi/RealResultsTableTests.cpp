// Real-number results where a 32-bit x86 build could part from the 64-bit
// one: x87 arithmetic with its wider intermediates, another C library's text
// conversion and trigonometry. Each result is compared bit for bit with the
// one the Linux x86_64 build gives, stored in the tables below; the same
// program runs natively and as a 32-bit Windows program.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "hostapi/HostOps.h"
#include "proxies/PcbObject.h"
#include "stream/TokenStream.h"

namespace pcb9 {
namespace {

std::string Hex(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%016llX",
                static_cast<unsigned long long>(std::bit_cast<uint64_t>(value)));
  return text;
}

std::string Hex(uint64_t bits) { return Hex(std::bit_cast<double>(bits)); }

constexpr uint64_t kNoValue = 0xFFFFFFFFFFFFFFFF;  // the text does not convert
constexpr int32_t kMaxUnits = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinUnits = std::numeric_limits<int32_t>::min();

struct TTextCase {
  const char* Text;
  uint64_t Bits;
};

// Halfway cases and the ends of the range catch a conversion that rounds
// the digits through a wider or narrower intermediate.
TEST(RealResults, TextConvertsToTheSameBits) {
  const TTextCase cases[] = {
      {"0.1", 0x3FB999999999999A},
      {"  -2.5E-3", 0xBF647AE147AE147B},
      {"3.14159265358979323846264338327950288", 0x400921FB54442D18},
      {"123456.789", 0x40FE240C9FBE76C9},
      {"9007199254740993", 0x4340000000000000},
      {"9007199254740995", 0x4340000000000002},
      {"1.00000000000000011102230246251565404236316680908203125", 0x3FF0000000000000},
      {"1.00000000000000011102230246251565404236316680908203125001", 0x3FF0000000000001},
      {"0.30000000000000004", 0x3FD3333333333334},
      {"1e23", 0x44B52D02C7E14AF6},
      {"8.589973e9", 0x42000004B0400000},
      {"2.2250738585072011e-308", 0x000FFFFFFFFFFFFF},
      {"2.2250738585072012e-308", 0x0010000000000000},
      {"4.9406564584124654e-324", 0x0000000000000001},
      {"2.4703282292062328e-324", 0x0000000000000001},
      {"1e-400", 0x0000000000000000},
      {"1.7976931348623157e308", 0x7FEFFFFFFFFFFFFF},
      {"1.7976931348623159e308", kNoValue},
      {"+.5", 0x3FE0000000000000},
      {"7.0e-10", 0x3E080D43DE9CC603},
      {"1234.5678e-2", 0x4028B0FCB4F1E4B4},
  };
  for (const TTextCase& c : cases) {
    double value = 0;
    const bool converts = TextToReal(c.Text, std::strlen(c.Text), value);
    EXPECT_EQ(converts ? Hex(value) : "none", c.Bits == kNoValue ? "none" : Hex(c.Bits)) << c.Text;
  }
}

struct TUnaryCase {
  double In;
  uint64_t Bits;
};

TEST(RealResults, DegreesToRadians) {
  const TUnaryCase cases[] = {
      {0, 0x0000000000000000},        {1, 0x3F91DF46A2529D39},     {30, 0x3FE0C152382D7366},
      {45, 0x3FE921FB54442D18},       {90, 0x3FF921FB54442D18},    {180, 0x400921FB54442D18},
      {270, 0x4012D97C7F3321D2},      {359.999, 0x401921F6C0FEE4D2}, {-123.456, 0xC0013CDA86CCDD88},
      {0.001, 0x3EF24D1521193474},    {1e6, 0x40D10B52B8A59179},   {12.5, 0x3FCBECDE5DA115A9},
  };
  for (const TUnaryCase& c : cases) EXPECT_EQ(Hex(DegToRad(c.In)), Hex(c.Bits)) << c.In;
}

TEST(RealResults, MilsToUnits) {
  const TUnaryCase cases[] = {
      {0.1, 0x408F400000000000},          {1.23456789, 0x40C81CD6E631F8A0},
      {3.3333333333333335, 0x40E046AAAAAAAAAB}, {100000.00001, 0x41CDCD65000CCCCD},
      {-0.00015, 0xBFF7FFFFFFFFFFFF},     {1e-7, 0x3F50624DD2F1A9FC},
  };
  for (const TUnaryCase& c : cases) EXPECT_EQ(Hex(MilsToUnits(c.In)), Hex(c.Bits)) << c.In;
}

struct TUnitsCase {
  int32_t Units;
  uint64_t Bits;
};

TEST(RealResults, UnitsToMilsKeepsThreeDecimals) {
  const TUnitsCase cases[] = {
      {5, 0x0000000000000000},     {15, 0x3F60624DD2F1A9FC},     {12345, 0x3FF3BE76C8B43958},
      {-12345, 0xBFF3BE76C8B43958}, {9999, 0x3FF0000000000000},  {10005, 0x3FF0000000000000},
      {333333, 0x4040AA9FBE76C8B4}, {kMaxUnits, 0x410A36E2EB851EB8}, {kMinUnits, 0xC10A36E2EB851EB8},
  };
  for (const TUnitsCase& c : cases) EXPECT_EQ(Hex(UnitsToMils(c.Units)), Hex(c.Bits)) << c.Units;
}

struct TRoundedCase {
  double Mils;
  int32_t Units;
};

TEST(RealResults, MilsToUnitsRounded) {
  const TRoundedCase cases[] = {
      {0.00005, 0},          {0.00015, 1},          {-0.00025, -2},
      {1.23456789, 12346},   {214748.3647, kMaxUnits}, {214748.36475, kMaxUnits},
      {1e10, kMaxUnits},     {-1e10, kMinUnits},    {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const TRoundedCase& c : cases) EXPECT_EQ(MilsToUnitsRounded(c.Mils), c.Units) << c.Mils;
}

struct TCornerCase {
  double Cx, Cy, W, H, Rotation;
  int32_t Corners[8];
};

// The turned extent's corners (sine, cosine, arc tangent and square root
// of values that round to whole units only at the end).
TEST(RealResults, TurnedCorners) {
  const TCornerCase cases[] = {
      {1000000, -2000000, 600000, 250000, 30,
       {802692, -2258253, 1322308, -1958253, 677692, -2041747, 1197308, -1741747}},
      {0, 0, 10000, 10000, 45, {0, -7071, 7071, 0, -7071, 0, 0, 7071}},
      {123457, 765431, 333333, 77777, 12.5,
       {-30842, 691391, 294590, 763538, -47676, 767324, 277756, 839471}},
      {-5000001, 5000001, 1, 3000001, 135.7,
       {-3952377, 6073540, -3952378, 6073541, -6047624, 3926461, -6047625, 3926462}},
      {250000, 250000, 400000, 0, 359.999,
       {50000, 250003, 450000, 249997, 50000, 250003, 450000, 249997}},
      {99999999, -99999999, 123456789, 98765431, 271.01,
       {49536875, -39151660, 51713037, -162589268, 148286961, -37410730, 150463123, -160848338}},
      {7, 11, 13, 17, -0.001, {0, 3, 13, 2, 1, 20, 14, 19}},
  };
  for (const TCornerCase& c : cases)
    for (int which = 0; which < 8; ++which)
      EXPECT_EQ(TurnedCorner(which, c.Cx, c.Cy, c.W, c.H, c.Rotation), c.Corners[which])
          << c.Cx << " " << c.Cy << " " << c.W << " " << c.H << " " << c.Rotation << " corner "
          << which;
}

}  // namespace
}  // namespace pcb9
