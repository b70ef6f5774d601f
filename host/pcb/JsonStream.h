#pragma once
// A JSON writer that prints as it goes, in the form nlohmann::json's
// dump(2) gives the same value: two spaces per level, "key": value, empty
// lists and objects as [] and {}. Keys are written in the order given; a
// caller that wants them sorted as an nlohmann object holds them gives them
// sorted. Memory stays that of one small buffer whatever it writes.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace morvik {

class TJsonStream {
 public:
  explicit TJsonStream(std::ostream& out) : Out_(out) {}
  ~TJsonStream() { Flush(); }
  TJsonStream(const TJsonStream&) = delete;
  TJsonStream& operator=(const TJsonStream&) = delete;

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next value, inside an object.
  void Key(std::string_view key);

  void Int(int64_t value);
  void Bool(bool value);
  // As nlohmann prints a double (e.g. 4.8, 200000.0, null for NaN).
  void Real(double value);
  // A UTF-8 string, escaped as nlohmann escapes it.
  void String(std::string_view utf8);
  // A small value, printed as dump(2) prints it at this depth.
  void Json(const nlohmann::json& value);

  // Hands what is buffered to the stream.
  void Flush();

 private:
  void Open(char bracket);
  void Close(char bracket);
  // Separator and indentation before a list element or a key.
  void NextItem();
  void BeforeValue();
  void Raw(std::string_view text);
  void Quoted(std::string_view utf8);

  std::ostream& Out_;
  std::string Buffer_;
  std::vector<bool> Empty_;  // per open list or object: nothing in it yet
  bool AfterKey_ = false;
};

// The document's 8-bit texts read as Latin-1, one character per byte, in
// UTF-8.
std::string Latin1ToUtf8(std::string_view text);

// The length of the valid UTF-8 sequence that starts at `at` (1 to 4), or 0
// when the byte there starts none (a stray continuation byte, an overlong
// or cut-off sequence, a surrogate, a value past U+10FFFF).
size_t Utf8SequenceLength(std::string_view text, size_t at);

// A text the user or the system gave, not one read from a board file: a
// file name as given (UTF-8 on Linux) and the texts made around one (the
// board's name, the importer's progress caption and messages, the names of
// the files it wrote). Valid UTF-8 stays exactly as it is; a byte that is
// no part of a valid sequence is read as Latin-1, so any bytes give UTF-8.
std::string UserTextToUtf8(std::string_view text);

}  // namespace morvik
