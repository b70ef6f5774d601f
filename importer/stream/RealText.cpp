// Conversion of the text of a real token. The grammar is fixed and the
// decimal separator is always '.', whatever the user's locale:
//   spaces* [+|-] digits* [. digits*] [(E|e) [+|-] digit+]
// Nothing may follow, and something must follow the spaces and the sign. A
// number whose digit runs are both empty ("." or "E5") is 0. A value beyond
// the range of a 64-bit real does not convert: an infinity would reach the
// host as a coordinate or an angle.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "TokenStream.h"

namespace pcb9 {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct TRealScan {
  size_t MantissaStart = 0;  // after the spaces and a '+'
  size_t Pos = 0;
  int IntDigits = 0;         // digits before the '.', leading zeros excluded
  int LeadingFractionZeros = 0;
  bool NonZeroDigit = false;
  bool AnyDigit = false;
  long Exponent = 0;          // clamped; only its sign and size matter
};

void ScanDigits(const char* text, size_t length, TRealScan& s, bool fraction) {
  for (; s.Pos < length && IsDigit(text[s.Pos]); ++s.Pos) {
    s.AnyDigit = true;
    if (text[s.Pos] != '0') s.NonZeroDigit = true;
    if (!fraction && s.NonZeroDigit) ++s.IntDigits;
    if (fraction && !s.NonZeroDigit) ++s.LeadingFractionZeros;
  }
}

// Checks the grammar; on success `s` tells where the number starts.
bool ScanReal(const char* text, size_t length, TRealScan& s) {
  while (s.Pos < length && text[s.Pos] == ' ') ++s.Pos;
  s.MantissaStart = s.Pos;
  if (s.Pos < length && (text[s.Pos] == '+' || text[s.Pos] == '-')) {
    // The converter below takes a '-' but no '+'.
    if (text[s.Pos] == '+') s.MantissaStart = s.Pos + 1;
    ++s.Pos;
  }
  const size_t bodyStart = s.Pos;
  ScanDigits(text, length, s, false);
  if (s.Pos < length && text[s.Pos] == '.') {
    ++s.Pos;
    ScanDigits(text, length, s, true);
  }
  if (s.Pos < length && (text[s.Pos] == 'E' || text[s.Pos] == 'e')) {
    ++s.Pos;
    bool negative = false;
    if (s.Pos < length && (text[s.Pos] == '+' || text[s.Pos] == '-')) {
      negative = text[s.Pos] == '-';
      ++s.Pos;
    }
    size_t exponentStart = s.Pos;
    for (; s.Pos < length && IsDigit(text[s.Pos]); ++s.Pos)
      s.Exponent = std::min(s.Exponent * 10 + (text[s.Pos] - '0'), 100000L);
    if (s.Pos == exponentStart) return false;
    if (negative) s.Exponent = -s.Exponent;
  }
  return s.Pos > bodyStart && s.Pos == length;
}

}  // namespace

bool TextToReal(const char* text, size_t length, double& value) {
  TRealScan s;
  if (!ScanReal(text, length, s)) return false;
  const bool negative = text[s.MantissaStart] == '-';
  if (!s.AnyDigit) {
    // No digits at all: zero, with the text's sign, whatever the exponent.
    value = negative ? -0.0 : 0.0;
    return true;
  }
  double result = 0;
  auto [end, error] = std::from_chars(text + s.MantissaStart, text + length, result,
                                      std::chars_format::general);
  if (end != text + length) return false;
  if (error == std::errc::result_out_of_range) {
    // Too small for a 64-bit real: it is zero. Too large: no value.
    long magnitude = (s.IntDigits > 0 ? s.IntDigits : -s.LeadingFractionZeros) + s.Exponent;
    if (magnitude > 0) return false;
    result = negative ? -0.0 : 0.0;
  } else if (error != std::errc()) {
    return false;
  }
  value = result;
  return true;
}

}  // namespace pcb9
