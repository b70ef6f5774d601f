#pragma once
// Where the token reader's words come from: the current block of the file
// (or of a buffer given instead of a file) and the position in it. One run
// holds one source; the reads of TokenStream.h work on the current run's.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <vector>

namespace pcb9 {

constexpr int kBlockWords = 2048;
constexpr int kBlockBytes = 4096;

struct TTokenSource {
  // The current block, words 1..2048 at indexes 0..2047. Only the first
  // `BlockWords` of them came from the file at the last refill.
  uint16_t TokenBlock[kBlockWords] = {};
  int BlockWords = 0;
  // Number (1..2048) of the current word of the block.
  int16_t BlockPos = 1;
  int64_t BlocksRead = 0;
  // A read wanted words beyond the end of the file's data.
  bool DataRanOut = false;
  // A read found another token than it wanted, or no words: whether or not
  // it was reported (only the first failure is).
  bool ReadFailed = false;

  // A read-only byte file, or a copy of bytes.
  std::ifstream File;
  std::vector<uint8_t> Buffer;
  size_t BufferPos = 0;
  bool ReadingBuffer = false;
};

}  // namespace pcb9
