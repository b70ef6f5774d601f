// Token file -> text form. Each token is classified as the reader would;
// what cannot be written as a token that reassembles to the same words
// comes out as raw words. Filler that the assembler puts in by itself
// (before a token that does not fit, and after the last token) is left out;
// any other filler is written.
#include <algorithm>

#include "TextForm.h"
#include "TokenAsm.h"
#include "stream/FormatTables.h"

namespace pcb9::tokenasm {

namespace {

constexpr size_t kBlockWords = 2048;
constexpr size_t kBlockBytes = 4096;
constexpr size_t kDataWordsPerLine = 8;

uint8_t HighByte(uint16_t w) { return static_cast<uint8_t>(w >> 8); }
uint8_t LowByte(uint16_t w) { return static_cast<uint8_t>(w & 0xFF); }
bool IsFiller(uint16_t w) { return HighByte(w) == 0xA0; }
bool IsData(uint16_t w) { return w < 0xA000 || w > 0xA3FF; }

class TDisassembler {
 public:
  explicit TDisassembler(const std::vector<uint8_t>& bytes);
  std::string Run();

 private:
  const std::vector<uint8_t>& Bytes;
  std::vector<uint16_t> Words;
  bool Truncated = false;
  int16_t Level = 0;
  bool LevelKnown = false;
  std::string Out;
  std::vector<uint16_t> PendingData;

  // End (exclusive) of the words of the block that holds word i.
  size_t BlockLimit(size_t i) const { return std::min(i - i % kBlockWords + kBlockWords, Words.size()); }
  size_t StringWords(size_t i) const;
  size_t AttributeWords(size_t i) const;
  size_t TokenWords(size_t i) const;

  void FlushData();
  void Emit(const std::string& line);
  size_t Filler(size_t i);
  size_t String(size_t i);
  size_t Attribute(size_t i);
  size_t Token(size_t i);
};

TDisassembler::TDisassembler(const std::vector<uint8_t>& bytes) : Bytes(bytes) {
  Words.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    Words.push_back(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
  Truncated = bytes.size() % kBlockBytes != 0;
}

// Words of the string token at i, or 0 when it cannot be written as one:
// it does not fit in its block, or an odd length's padding byte is not 0.
size_t TDisassembler::StringWords(size_t i) const {
  size_t n = LowByte(Words[i]);
  size_t count = 1 + (n + 1) / 2;
  if (i + count > BlockLimit(i)) return 0;
  if (n % 2 == 1 && HighByte(Words[i + count - 1]) != 0) return 0;
  return count;
}

// Words of the attribute token at i (tag and value), or 0 when its code has
// no attribute number or its value does not fit in the block.
size_t TDisassembler::AttributeWords(size_t i) const {
  uint8_t attribute = AttributeFromCode(LowByte(Words[i]));
  if (attribute == 0) return 0;
  size_t count = AttributeHasCoordValue(attribute) && Level >= 1 ? 3 : 2;
  return i + count <= BlockLimit(i) ? count : 0;
}

// Words that the statement for word i places as one unit.
size_t TDisassembler::TokenWords(size_t i) const {
  switch (HighByte(Words[i])) {
    case 0xA1:
      return std::max<size_t>(StringWords(i), 1);
    case 0xA3:
      return std::max<size_t>(AttributeWords(i), 1);
    default:
      return 1;
  }
}

void TDisassembler::FlushData() {
  if (PendingData.empty()) return;
  std::string line = "word";
  for (uint16_t w : PendingData) line += " " + detail::HexWord(w);
  PendingData.clear();
  Out += line + "\n";
}

void TDisassembler::Emit(const std::string& line) {
  FlushData();
  Out += line + "\n";
}

// A run of filler from i; returns the index after it.
size_t TDisassembler::Filler(size_t i) {
  size_t end = i;
  while (end < BlockLimit(i) && IsFiller(Words[end])) ++end;
  size_t run = end - i;
  // The assembler fills the rest of a block itself before a token that does
  // not fit there, and after the last token of an untruncated file.
  bool automatic = false;
  if (end % kBlockWords == 0 && i % kBlockWords != 0)
    automatic = end == Words.size() ? !Truncated : TokenWords(end) > run;
  if (!automatic) Emit("filler " + std::to_string(run));
  return end;
}

size_t TDisassembler::String(size_t i) {
  size_t count = StringWords(i);
  if (count == 0) {
    Emit("raw " + detail::HexWord(Words[i]) + "  # string tag that does not fit");
    return i + 1;
  }
  std::string chars;
  size_t n = LowByte(Words[i]);
  for (size_t k = 0; k < n; ++k) {
    uint16_t w = Words[i + 1 + k / 2];
    chars.push_back(static_cast<char>(k % 2 == 0 ? LowByte(w) : HighByte(w)));
  }
  if (!LevelKnown) {
    Level = MatchHeader(chars);
    LevelKnown = true;
  }
  Emit(detail::QuoteString(chars));
  return i + count;
}

size_t TDisassembler::Attribute(size_t i) {
  size_t count = AttributeWords(i);
  if (count == 0) {
    Emit("raw " + detail::HexWord(Words[i]) + "  # attribute tag");
    return i + 1;
  }
  uint8_t attribute = AttributeFromCode(LowByte(Words[i]));
  int64_t value = static_cast<int16_t>(Words[i + 1]);
  if (count == 3)
    value = static_cast<int32_t>((static_cast<uint32_t>(Words[i + 1]) << 16) | Words[i + 2]);
  else if (AttributeHasCoordValue(attribute))
    value *= 10000;
  Emit("attr " + std::to_string(attribute) + " " + std::to_string(value));
  return i + count;
}

size_t TDisassembler::Token(size_t i) {
  uint16_t w = Words[i];
  if (IsData(w)) {
    PendingData.push_back(w);
    if (PendingData.size() == kDataWordsPerLine) FlushData();
    return i + 1;
  }
  switch (HighByte(w)) {
    case 0xA0:
      return Filler(i);
    case 0xA1:
      return String(i);
    case 0xA2:
      if (w != kEndWord) {
        Emit("raw " + detail::HexWord(w) + "  # end tag");
        return i + 1;
      }
      Emit("end");
      return i + 1;
    default:
      return Attribute(i);
  }
}

std::string TDisassembler::Run() {
  Out = "# " + std::to_string(Bytes.size()) + " bytes\n";
  for (size_t i = 0; i < Words.size();) {
    if (i > 0 && i % kBlockWords == 0) Emit("# block " + std::to_string(i / kBlockWords + 1));
    i = Token(i);
  }
  if (Bytes.size() % 2 == 1) Emit("raw " + detail::HexWord(Bytes.back()) + "  # the last, odd byte");
  FlushData();
  if (Bytes.size() % 2 == 1)
    Emit("truncate " + std::to_string(Bytes.size()));
  else if (Truncated)
    Emit("truncate");
  return Out;
}

}  // namespace

std::string DisassembleBytes(const std::vector<uint8_t>& bytes) { return TDisassembler(bytes).Run(); }

}  // namespace pcb9::tokenasm
