#include "TextForm.h"

#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace pcb9::tokenasm::detail {

namespace {

constexpr int64_t kUnitsPerMil = 10000;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string starting at the opening quote; returns the index
// after the closing quote.
size_t ReadQuoted(std::string_view line, size_t pos, std::string& out) {
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') return pos + 1;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++pos >= line.size()) break;
    char e = line[pos];
    if (e == '"' || e == '\\') {
      out.push_back(e);
    } else if (e == 'x' && pos + 2 < line.size() && HexDigit(line[pos + 1]) >= 0 &&
               HexDigit(line[pos + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2])));
      pos += 2;
    } else {
      throw std::invalid_argument("bad escape \\" + std::string(1, e) +
                                  " in string (use \\\", \\\\ or \\xNN)");
    }
  }
  throw std::invalid_argument("string without closing quote");
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::vector<TLexeme> SplitLine(std::string_view line) {
  std::vector<TLexeme> lexemes;
  size_t pos = 0;
  while (pos < line.size()) {
    char c = line[pos];
    if (IsSpace(c)) {
      ++pos;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      TLexeme lexeme{{}, true};
      pos = ReadQuoted(line, pos, lexeme.Text);
      if (pos < line.size() && !IsSpace(line[pos]) && line[pos] != '#')
        throw std::invalid_argument("missing space after a string");
      lexemes.push_back(std::move(lexeme));
    } else {
      size_t end = pos;
      while (end < line.size() && !IsSpace(line[end]) && line[end] != '#' && line[end] != '"') ++end;
      lexemes.push_back({std::string(line.substr(pos, end - pos)), false});
      pos = end;
    }
  }
  return lexemes;
}

int64_t ParseInteger(std::string_view text, int64_t min, int64_t max) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    throw std::invalid_argument("'" + std::string(text) + "' is not a number");
  if (magnitude > (uint64_t{1} << 40))
    throw std::invalid_argument("'" + std::string(text) + "' is out of range");
  int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (value < min || value > max)
    throw std::invalid_argument("'" + std::string(text) + "' is out of range " +
                                std::to_string(min) + ".." + std::to_string(max));
  return value;
}

int32_t ParseCoord(std::string_view text) {
  constexpr int64_t kMin = INT32_MIN, kMax = INT32_MAX;
  if (text.size() < 4 || text.substr(text.size() - 3) != "mil")
    return static_cast<int32_t>(ParseInteger(text, kMin, kMax));
  std::string_view number = text.substr(0, text.size() - 3);
  size_t dot = number.find('.');
  std::string_view whole = number.substr(0, dot);
  bool negative = !whole.empty() && whole[0] == '-';
  int64_t units = ParseInteger(whole, kMin / kUnitsPerMil, kMax / kUnitsPerMil) * kUnitsPerMil;
  if (dot != std::string_view::npos) {
    std::string_view fraction = number.substr(dot + 1);
    if (fraction.empty() || fraction.size() > 4 || fraction[0] == '-' || fraction[0] == '+')
      throw std::invalid_argument("'" + std::string(text) + "': give mils with 1 to 4 decimals");
    int64_t part = ParseInteger(fraction, 0, 9999);
    for (size_t i = fraction.size(); i < 4; ++i) part *= 10;
    units += negative ? -part : part;
  }
  if (units < kMin || units > kMax)
    throw std::invalid_argument("'" + std::string(text) + "' is out of range");
  return static_cast<int32_t>(units);
}

std::string QuoteString(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b > 0x7E) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string HexWord(uint16_t word) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(word >> shift) & 15];
  return out;
}

}  // namespace pcb9::tokenasm::detail
