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

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace morvik
