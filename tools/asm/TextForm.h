#pragma once
// The lexical pieces of the token text form, shared by the assembler and
// the disassembler. Parse errors throw std::invalid_argument with a message
// that the assembler prefixes with the line number.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcb9::tokenasm::detail {

struct TLexeme {
  std::string Text;  // a quoted string's bytes, escapes resolved
  bool Quoted = false;
};

// Splits a line into bare words and quoted strings; a '#' outside quotes
// starts a comment.
std::vector<TLexeme> SplitLine(std::string_view line);

// Decimal with an optional sign, or hexadecimal with 0x, within min..max.
int64_t ParseInteger(std::string_view text, int64_t min, int64_t max);
// A coordinate in host units (10000 to the mil), or in mils with the suffix
// "mil" (up to four decimals): "250000", "-25mil", "2.5mil".
int32_t ParseCoord(std::string_view text);

// A string in quotes with \" \\ and \xNN escapes for what is not printable.
std::string QuoteString(std::string_view bytes);
std::string HexWord(uint16_t word);

}  // namespace pcb9::tokenasm::detail
