#include "JsonStream.h"

#include <algorithm>
#include <charconv>

namespace morvik {

namespace {

constexpr size_t kIndent = 2;
constexpr size_t kFlushSize = size_t{1} << 16;

// Plain ASCII without quotes, backslashes or control characters: written as
// it is. Anything else is escaped by nlohmann itself.
bool NeedsEscaping(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte >= 0x80 || c == '"' || c == '\\';
  });
}

}  // namespace

void TJsonStream::Raw(std::string_view text) {
  Buffer_ += text;
  if (Buffer_.size() >= kFlushSize) Flush();
}

void TJsonStream::Flush() {
  Out_.write(Buffer_.data(), static_cast<std::streamsize>(Buffer_.size()));
  Buffer_.clear();
}

void TJsonStream::NextItem() {
  if (Empty_.empty()) return;
  Raw(Empty_.back() ? "\n" : ",\n");
  Empty_.back() = false;
  Buffer_.append(Empty_.size() * kIndent, ' ');
}

void TJsonStream::BeforeValue() {
  if (AfterKey_)
    AfterKey_ = false;
  else
    NextItem();
}

void TJsonStream::Open(char bracket) {
  BeforeValue();
  Buffer_ += bracket;
  Empty_.push_back(true);
}

void TJsonStream::Close(char bracket) {
  if (Empty_.empty()) return;
  const bool empty = Empty_.back();
  Empty_.pop_back();
  if (!empty) {
    Buffer_ += '\n';
    Buffer_.append(Empty_.size() * kIndent, ' ');
  }
  Buffer_ += bracket;
  if (Buffer_.size() >= kFlushSize) Flush();
}

void TJsonStream::Key(std::string_view key) {
  NextItem();
  Quoted(key);
  Raw(": ");
  AfterKey_ = true;
}

void TJsonStream::Int(int64_t value) {
  BeforeValue();
  char text[24];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  Raw(std::string_view(text, static_cast<size_t>(end - text)));
}

void TJsonStream::Bool(bool value) {
  BeforeValue();
  Raw(value ? "true" : "false");
}

void TJsonStream::Real(double value) {
  BeforeValue();
  Raw(nlohmann::json(value).dump());
}

void TJsonStream::String(std::string_view utf8) {
  BeforeValue();
  Quoted(utf8);
}

void TJsonStream::Quoted(std::string_view utf8) {
  if (NeedsEscaping(utf8)) {
    Raw(nlohmann::json(std::string(utf8)).dump());
    return;
  }
  Buffer_ += '"';
  Buffer_ += utf8;
  Raw("\"");
}

void TJsonStream::Json(const nlohmann::json& value) {
  BeforeValue();
  const std::string text = value.dump(static_cast<int>(kIndent));
  const size_t indent = Empty_.size() * kIndent;
  // A dumped value holds no raw line breaks but its own, so each one starts
  // a line of this value, shifted to this depth.
  for (char c : text) {
    Buffer_ += c;
    if (c == '\n') Buffer_.append(indent, ' ');
  }
  if (Buffer_.size() >= kFlushSize) Flush();
}

namespace {

void AppendLatin1(std::string& out, unsigned char c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The bytes a UTF-8 lead byte may be followed by: how many, and the range
// of the first one (the later ones are 0x80..0xBF). Rows by lead byte.
struct TUtf8Lead {
  unsigned char First, Last;  // lead bytes
  size_t Continuations;
  unsigned char SecondMin, SecondMax;
};

constexpr TUtf8Lead kUtf8Leads[] = {
    {0xC2, 0xDF, 1, 0x80, 0xBF},
    {0xE0, 0xE0, 2, 0xA0, 0xBF},  // no overlong forms
    {0xE1, 0xEC, 2, 0x80, 0xBF},
    {0xED, 0xED, 2, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 2, 0x80, 0xBF},
    {0xF0, 0xF0, 3, 0x90, 0xBF},  // no overlong forms
    {0xF1, 0xF3, 3, 0x80, 0xBF},
    {0xF4, 0xF4, 3, 0x80, 0x8F},  // nothing past U+10FFFF
};

bool InRange(std::string_view text, size_t at, unsigned char min, unsigned char max) {
  if (at >= text.size()) return false;
  const auto c = static_cast<unsigned char>(text[at]);
  return c >= min && c <= max;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) AppendLatin1(out, c);
  return out;
}

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  for (const TUtf8Lead& row : kUtf8Leads) {
    if (lead < row.First || lead > row.Last) continue;
    if (!InRange(text, at + 1, row.SecondMin, row.SecondMax)) return 0;
    for (size_t i = 2; i <= row.Continuations; ++i)
      if (!InRange(text, at + i, 0x80, 0xBF)) return 0;
    return row.Continuations + 1;
  }
  return 0;
}

std::string UserTextToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      AppendLatin1(out, static_cast<unsigned char>(text[at++]));
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

}  // namespace morvik
