#include "TokenStream.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "hostapi/PcbApi.h"
#include "platform/Platform.h"

namespace pcb9 {

bool Aborted = false;
bool EndReached = false;
int16_t FormatLevel = 0;
std::string ImportFileName;
int16_t BlockPos = 1;

namespace {

// The current block, words 1..2048 at indexes 0..2047. Only the first
// `BlockWords` of them came from the file at the last refill.
uint16_t TokenBlock[kBlockWords] = {};
int BlockWords = 0;
int64_t BlocksRead = 0;
// A read wanted words beyond the end of the file's data.
bool DataRanOut = false;
bool RecoveryWarned = false;

// The source of the blocks: a read-only byte file, or a copy of bytes.
std::ifstream TokenFile;
std::vector<uint8_t> TokenBuffer;
size_t TokenBufferPos = 0;
bool ReadingBuffer = false;

constexpr std::string_view kCorruptionText = "File Corruption: ";
constexpr std::string_view kRecoveryText =
    "Data Integrity Error. Attempting To Recover. If Successful, Save as TEXT and Reload";
constexpr std::string_view kMessageCaption = "Import";

void ResetBlock() {
  DataRanOut = false;
  BlockWords = 0;
  BlocksRead = 0;
  BlockPos = 1;
}

size_t ReadSourceBytes(uint8_t* bytes, size_t count) {
  if (ReadingBuffer) {
    size_t n = std::min(count, TokenBuffer.size() - TokenBufferPos);
    std::copy_n(TokenBuffer.begin() + static_cast<std::ptrdiff_t>(TokenBufferPos), n, bytes);
    TokenBufferPos += n;
    return n;
  }
  if (!TokenFile.is_open()) return 0;
  TokenFile.clear();
  TokenFile.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
  size_t n = static_cast<size_t>(TokenFile.gcount());
  TokenFile.clear();
  return n;
}

uint16_t Word(int pos) { return TokenBlock[pos - 1]; }
uint8_t HighByte(uint16_t word) { return static_cast<uint8_t>(word >> 8); }
bool IsFiller(uint16_t word) { return HighByte(word) == kTagFiller; }

// Whether words first..first+count-1 lie in the block and came from the
// file; the one bounds check behind every read.
bool HasWords(int first, int count) {
  int last = first + count - 1;
  if (first >= 1 && last <= kBlockWords && last <= BlockWords) return true;
  if (last > BlockWords && BlockWords < kBlockWords) DataRanOut = true;
  return false;
}

// Moves past k words and refills once the block is used up.
void Advance(int k) {
  BlockPos = static_cast<int16_t>(BlockPos + k);
  if (BlockPos > kBlockWords) ReadNextBlock();
}

// A read that found the wrong token, or one that does not fit: reported
// once, and never after the end tag.
void Fail() {
  if (!Aborted && !EndReached) ReportCorruption();
}

void ShowImportMessage(std::string_view text) {
  platform::ShowMessageBox(PcbApi_GetCurrentEditorWindow(), text, kMessageCaption,
                           platform::TIcon::Warning, platform::TButtons::Ok);
}

// Skips filler from BlockPos. True when the run reached the end of the
// block (a new block was read); false for a run that stops inside the
// block, where BlockPos is left at the run's first word.
bool SkipFiller() {
  const int16_t start = BlockPos;
  const int limit = std::min(kBlockWords, BlockWords);
  while (BlockPos < limit && IsFiller(Word(BlockPos))) ++BlockPos;
  // The word at 2048 is not examined: a run that gets there fills the block.
  // A run that reaches the end of a short last block fills it too; the next
  // read then finds that the file has ended.
  if (BlockPos == kBlockWords || IsFiller(Word(BlockPos))) {
    ReadNextBlock();
    return true;
  }
  BlockPos = start;
  return false;
}

void WarnRecovery() {
  if (RecoveryWarned) return;
  RecoveryWarned = true;
  ShowImportMessage(kRecoveryText);
}

// The value of the 32-bit field in words a, b by the file's word order.
int32_t LongFromWords(uint16_t a, uint16_t b, bool highFirst) {
  uint32_t high = highFirst ? a : b;
  uint32_t low = highFirst ? b : a;
  return static_cast<int32_t>((high << 16) | low);
}

int32_t MilsToCoord(int16_t mils) { return static_cast<int32_t>(mils) * 10000; }

bool ReadWordChecked(int16_t& value) {
  if (PeekToken() != tkData) {
    Fail();
    return false;
  }
  value = static_cast<int16_t>(Word(BlockPos));
  Advance(1);
  return true;
}

bool ReadStringChecked(TShortString& value) {
  if (PeekToken() != tkString) {
    Fail();
    return false;
  }
  const int n = Word(BlockPos) & 0xFF;
  const int charWords = (n + 1) / 2;
  if (!HasWords(BlockPos, 1 + charWords)) {
    Fail();
    return false;
  }
  for (int i = 0; i < n; ++i) {
    uint16_t w = Word(BlockPos + 1 + i / 2);
    value.Chars[i] = static_cast<char>(i % 2 == 0 ? w & 0xFF : w >> 8);
  }
  value.Len = static_cast<uint8_t>(n);
  Advance(1 + charWords);
  return true;
}

}  // namespace

bool OpenTokenFile(const std::string& path) {
  CloseTokenFile();
  TokenFile.open(path, std::ios::in | std::ios::binary);
  return TokenFile.is_open();
}

bool OpenTokenBuffer(const uint8_t* data, size_t size) {
  CloseTokenFile();
  TokenBuffer.assign(data, data + size);
  ReadingBuffer = true;
  return true;
}

void CloseTokenFile() {
  if (TokenFile.is_open()) TokenFile.close();
  TokenFile.clear();
  TokenBuffer.clear();
  TokenBuffer.shrink_to_fit();
  TokenBufferPos = 0;
  ReadingBuffer = false;
  ResetBlock();
}

void ReadNextBlock() {
  uint8_t bytes[kBlockBytes];
  size_t n = ReadSourceBytes(bytes, sizeof bytes);
  // Words the file did not deliver keep old contents, but no read looks at
  // them: every read is bounded by BlockWords. A lone last byte is no word.
  BlockWords = static_cast<int>(n / 2);
  for (int i = 0; i < BlockWords; ++i)
    TokenBlock[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  ++BlocksRead;
  BlockPos = 1;
}

bool FileEndedEarly() { return DataRanOut; }

TTokenKind PeekToken() {
  for (;;) {
    if (EndReached) return tkEnd;
    if (!HasWords(BlockPos, 1)) {
      // The data ended without the end tag.
      Fail();
      return tkEnd;
    }
    const uint16_t w = Word(BlockPos);
    switch (HighByte(w)) {
      case kTagFiller:
        if (SkipFiller()) continue;
        WarnRecovery();
        return tkData;
      case kTagString:
        return tkString;
      case kTagEnd:
        EndReached = true;
        return tkEnd;
      case kTagAttribute:
        return AttributeFromCode(static_cast<uint8_t>(w & 0xFF));
      default:
        return tkData;
    }
  }
}

void ReadWord(int16_t& value) { ReadWordChecked(value); }

void ReadLong(int32_t& value) {
  PeekToken();
  if (!HasWords(BlockPos, 2)) {
    Fail();
    value = 0;
    return;
  }
  value = LongFromWords(Word(BlockPos), Word(BlockPos + 1), FormatLevel >= 1);
  Advance(2);
}

void ReadCoord(int32_t& value) {
  if (FormatLevel >= 1) {
    ReadLong(value);
    return;
  }
  int16_t mils = 0;
  value = ReadWordChecked(mils) ? MilsToCoord(mils) : 0;
}

void ReadString(TShortString& value) { ReadStringChecked(value); }

void ReadReal(double& value) {
  TShortString text;
  if (!ReadStringChecked(text)) {
    value = 0;
    return;
  }
  if (!TextToReal(text.Chars, text.Len, value)) {
    value = 0;
    Fail();
  }
}

void ReadAttrValue(int16_t& value) {
  if (!HasWords(BlockPos, 2)) {
    Fail();
    value = 0;
    return;
  }
  value = static_cast<int16_t>(Word(BlockPos + 1));
  Advance(2);
}

void ReadAttrCoord(int32_t& value) {
  if (FormatLevel < 1) {
    int16_t mils = 0;
    ReadAttrValue(mils);
    value = MilsToCoord(mils);
    return;
  }
  if (!HasWords(BlockPos, 3)) {
    Fail();
    value = 0;
    return;
  }
  value = LongFromWords(Word(BlockPos + 1), Word(BlockPos + 2), true);
  Advance(3);
}

void ReportCorruption() {
  // The name is at most 255 characters, as the run keeps it.
  std::string text(kCorruptionText);
  text += std::string_view(ImportFileName).substr(0, 255);
  ShowImportMessage(text);
  Aborted = true;
}

int64_t TokenStreamOffset() {
  return BlocksRead == 0 ? 0 : (BlocksRead - 1) * kBlockWords + (BlockPos - 1);
}

bool RecoveryWarningShown() { return RecoveryWarned; }
void ResetRecoveryWarning() { RecoveryWarned = false; }

}  // namespace pcb9
