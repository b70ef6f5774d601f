#include "TokenWriter.h"

#include <stdexcept>
#include <string>

#include "TextForm.h"
#include "stream/FormatTables.h"

namespace pcb9::tokenasm {

namespace {

constexpr size_t kMaxStringChars = 255;
constexpr uint16_t kFiller = 0xA000;

uint16_t Low16(int64_t value) { return static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFF); }
uint16_t High16(int64_t value) { return Low16(static_cast<int64_t>(static_cast<uint64_t>(value) >> 16)); }

// Mils as one signed word at level 0.
uint16_t LevelZeroCoord(int64_t units) {
  if (units % 10000 != 0 || units / 10000 < INT16_MIN || units / 10000 > INT16_MAX)
    throw std::invalid_argument("coordinate " + std::to_string(units) +
                                " is no whole number of mils within one word (level 0)");
  return Low16(units / 10000);
}

}  // namespace

void TTokenWriter::Place(const uint16_t* token, size_t count) {
  size_t used = Words_.size() % kBlockWords;
  if (used + count > kBlockWords) Words_.insert(Words_.end(), kBlockWords - used, kFiller);
  Words_.insert(Words_.end(), token, token + count);
}

void TTokenWriter::String(std::string_view chars) {
  if (chars.size() > kMaxStringChars)
    throw std::invalid_argument("a string holds at most 255 characters, not " +
                                std::to_string(chars.size()));
  uint16_t token[1 + (kMaxStringChars + 1) / 2];
  size_t count = 0;
  token[count++] = static_cast<uint16_t>(0xA100 | chars.size());
  for (size_t i = 0; i < chars.size(); i += 2) {
    uint16_t low = static_cast<uint8_t>(chars[i]);
    uint16_t high = i + 1 < chars.size() ? static_cast<uint8_t>(chars[i + 1]) : 0;
    token[count++] = static_cast<uint16_t>(low | (high << 8));
  }
  Place(token, count);
}

void TTokenWriter::Word(int64_t value) {
  uint16_t w = Low16(value);
  if (w >= 0xA000 && w <= 0xA3FF)
    throw std::invalid_argument(detail::HexWord(w) +
                                " would read as a tag, not as data; write it with raw");
  Place({w});
}

void TTokenWriter::Long(int64_t value) {
  if (Level_ >= 1)
    Place({High16(value), Low16(value)});
  else
    Place({Low16(value), High16(value)});
}

void TTokenWriter::Coord(int32_t units) {
  if (Level_ >= 1)
    Long(units);
  else
    Place({LevelZeroCoord(units)});
}

void TTokenWriter::Attr(uint8_t attribute, int64_t value) {
  int code = AttributeCodeOf(attribute);
  if (code < 0)
    throw std::invalid_argument("no attribute code gives attribute " + std::to_string(attribute) +
                                "; write the tag with raw");
  auto tag = static_cast<uint16_t>(0xA300 | code);
  if (!AttributeHasCoordValue(attribute))
    Place({tag, Low16(value)});
  else if (Level_ >= 1)  // an attribute's coordinate is always high word first
    Place({tag, High16(value), Low16(value)});
  else
    Place({tag, LevelZeroCoord(value)});
}

void TTokenWriter::End() { Place({0xA200}); }

void TTokenWriter::Filler(size_t count) { Words_.insert(Words_.end(), count, kFiller); }

void TTokenWriter::FillerToBlockEnd() {
  Filler((kBlockWords - Words_.size() % kBlockWords) % kBlockWords);
}

std::vector<uint8_t> TTokenWriter::Bytes(bool fillLastBlock) const {
  size_t used = Words_.size() % kBlockWords;
  size_t words = Words_.size() + (fillLastBlock && used > 0 ? kBlockWords - used : 0);
  std::vector<uint8_t> bytes(words * 2);
  for (size_t i = 0; i < words; ++i) {
    uint16_t w = i < Words_.size() ? Words_[i] : kFiller;
    bytes[2 * i] = static_cast<uint8_t>(w & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>(w >> 8);
  }
  return bytes;
}

}  // namespace pcb9::tokenasm
