#include "TerminalText.h"

#include <algorithm>

#include "Dump.h"
#include "JsonStream.h"

namespace pcb9host {

namespace {

// A whole UTF-8 sequence that is a control character: C0 and DEL in one
// byte, C1 (U+0080..U+009F) as 0xC2 0x80..0x9F.
bool IsControl(std::string_view sequence) {
  const auto first = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return first < 0x20 || first == 0x7F;
  return sequence.size() == 2 && first == 0xC2 && static_cast<unsigned char>(sequence[1]) <= 0x9F;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string TerminalText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = morvik::Utf8SequenceLength(utf8, at);
    const std::string_view sequence = utf8.substr(at, std::max<size_t>(length, 1));
    if (length == 0 || IsControl(sequence))
      out += '?';
    else
      out += sequence;
    at += sequence.size();
  }
  return out;
}

std::string BoardTerminalText(std::string_view latin1) { return TerminalText(Latin1ToUtf8(latin1)); }

std::string UserTerminalText(std::string_view text) { return TerminalText(UserTextToUtf8(text)); }

std::string TerminalLines(std::string_view text, std::string_view indent) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    if (at > 0) out.append("\n").append(indent);
    out += UserTerminalText(text.substr(at, end - at));
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

size_t TerminalWidth(std::string_view utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsContinuation(c); }));
}

std::string_view LastColumns(std::string_view utf8, size_t columns) {
  size_t start = utf8.size();
  for (size_t taken = 0; taken < columns && start > 0; ++taken) {
    --start;
    while (start > 0 && IsContinuation(utf8[start])) --start;
  }
  return utf8.substr(start);
}

}  // namespace pcb9host
