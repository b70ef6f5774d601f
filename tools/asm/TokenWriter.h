#pragma once
// Writes the 16-bit token stream of a file: strings, data words, 32-bit
// values and coordinates in the word order of the format level, attributes,
// the end tag, and the filler that keeps every token inside one 4096-byte
// block. The assembler writes through it, and so does the benchmark's board
// generator. Values outside the format throw std::invalid_argument.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace pcb9::tokenasm {

class TTokenWriter {
 public:
  static constexpr size_t kBlockWords = 2048;

  explicit TTokenWriter(int16_t level = 0) : Level_(level) {}

  int16_t Level() const { return Level_; }
  void SetLevel(int16_t level) { Level_ = level; }

  // One token; it starts a new block when it does not fit in this one.
  void Place(const uint16_t* token, size_t count);
  void Place(std::initializer_list<uint16_t> token) { Place(token.begin(), token.size()); }

  void String(std::string_view chars);  // at most 255 characters
  void Word(int64_t value);             // a data word; tag-like values are refused
  void Long(int64_t value);             // high word first from level 1 on
  void Coord(int32_t units);            // level 0: one word of whole mils
  void Attr(uint8_t attribute, int64_t value);
  void End();
  void Filler(size_t count);
  void FillerToBlockEnd();

  size_t WordCount() const { return Words_.size(); }
  // The file's bytes, little-endian words; the last block is filled unless
  // `fillLastBlock` is false.
  std::vector<uint8_t> Bytes(bool fillLastBlock = true) const;

 private:
  std::vector<uint16_t> Words_;
  int16_t Level_;
};

}  // namespace pcb9::tokenasm
