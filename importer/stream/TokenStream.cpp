#include "TokenStream.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "run/ImportRun.h"
#include "hostapi/PcbApi.h"
#include "platform/Platform.h"

namespace pcb9 {

namespace {

// Remembered while the module stays loaded, across runs.
bool RecoveryWarned = false;
// Token classifications and attribute reads since the file was opened: the
// reader's share of an import's work, which tests hold against the file's
// size.
int64_t TokenReads = 0;

TTokenSource& Source() { return Run().Reader; }

constexpr std::string_view kCorruptionText = "File Corruption: ";
constexpr std::string_view kRecoveryText =
    "Data Integrity Error. Attempting To Recover. If Successful, Save as TEXT and Reload";
constexpr std::string_view kMessageCaption = "Import";

void ResetBlock() {
  Source().DataRanOut = false;
  Source().ReadFailed = false;
  Source().BlockWords = 0;
  Source().BlocksRead = 0;
  Source().BlockPos = 1;
}

size_t ReadSourceBytes(uint8_t* bytes, size_t count) {
  TTokenSource& source = Source();
  if (source.ReadingBuffer) {
    size_t n = std::min(count, source.Buffer.size() - source.BufferPos);
    std::copy_n(source.Buffer.begin() + static_cast<std::ptrdiff_t>(source.BufferPos), n, bytes);
    source.BufferPos += n;
    return n;
  }
  if (!source.File.is_open()) return 0;
  source.File.clear();
  source.File.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
  size_t n = static_cast<size_t>(source.File.gcount());
  source.File.clear();
  return n;
}

uint16_t Word(int pos) { return Source().TokenBlock[pos - 1]; }
uint8_t HighByte(uint16_t word) { return static_cast<uint8_t>(word >> 8); }
bool IsFiller(uint16_t word) { return HighByte(word) == kTagFiller; }

// Whether words first..first+count-1 lie in the block and came from the
// file; the one bounds check behind every read.
bool HasWords(int first, int count) {
  int last = first + count - 1;
  if (first >= 1 && last <= kBlockWords && last <= Source().BlockWords) return true;
  if (last > Source().BlockWords && Source().BlockWords < kBlockWords) Source().DataRanOut = true;
  return false;
}

// Moves past k words and refills once the block is used up.
void Advance(int k) {
  Source().BlockPos = static_cast<int16_t>(Source().BlockPos + k);
  if (Source().BlockPos > kBlockWords) ReadNextBlock();
}

// A read that found the wrong token, or one that does not fit: reported
// once, and never after the end tag.
void Fail() {
  Source().ReadFailed = true;
  if (!Run().Aborted && !Run().EndReached) ReportCorruption();
}

void ShowImportMessage(std::string_view text) {
  platform::ShowMessageBox(PcbApi_GetCurrentEditorWindow(), text, kMessageCaption,
                           platform::TIcon::Warning, platform::TButtons::Ok);
}

// Skips filler from BlockPos. True when the run reached the end of the
// block (a new block was read); false for a run that stops inside the
// block, where BlockPos is left at the run's first word.
bool SkipFiller() {
  const int16_t start = Source().BlockPos;
  const int limit = std::min(kBlockWords, Source().BlockWords);
  while (Source().BlockPos < limit && IsFiller(Word(Source().BlockPos))) ++Source().BlockPos;
  // The word at 2048 is not examined: a run that gets there fills the block.
  // A run that reaches the end of a short last block fills it too; the next
  // read then finds that the file has ended.
  if (Source().BlockPos == kBlockWords || IsFiller(Word(Source().BlockPos))) {
    ReadNextBlock();
    return true;
  }
  Source().BlockPos = start;
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
  value = static_cast<int16_t>(Word(Source().BlockPos));
  Advance(1);
  return true;
}

bool ReadStringChecked(TShortString& value) {
  if (PeekToken() != tkString) {
    Fail();
    return false;
  }
  const int n = Word(Source().BlockPos) & 0xFF;
  const int charWords = (n + 1) / 2;
  if (!HasWords(Source().BlockPos, 1 + charWords)) {
    Fail();
    return false;
  }
  for (int i = 0; i < n; ++i) {
    uint16_t w = Word(Source().BlockPos + 1 + i / 2);
    value.Chars[i] = static_cast<char>(i % 2 == 0 ? w & 0xFF : w >> 8);
  }
  value.Len = static_cast<uint8_t>(n);
  Advance(1 + charWords);
  return true;
}

}  // namespace

bool OpenTokenFile(const std::string& path) {
  CloseTokenFile();
  TokenReads = 0;
  Source().File.open(path, std::ios::in | std::ios::binary);
  return Source().File.is_open();
}

bool OpenTokenBuffer(const uint8_t* data, size_t size) {
  CloseTokenFile();
  TokenReads = 0;
  Source().Buffer.assign(data, data + size);
  Source().ReadingBuffer = true;
  return true;
}

void CloseTokenFile() {
  if (Source().File.is_open()) Source().File.close();
  Source().File.clear();
  Source().Buffer.clear();
  Source().Buffer.shrink_to_fit();
  Source().BufferPos = 0;
  Source().ReadingBuffer = false;
  ResetBlock();
}

void ReadNextBlock() {
  uint8_t bytes[kBlockBytes];
  size_t n = ReadSourceBytes(bytes, sizeof bytes);
  // Words the file did not deliver keep old contents, but no read looks at
  // them: every read is bounded by BlockWords. A lone last byte is no word.
  Source().BlockWords = static_cast<int>(n / 2);
  for (int i = 0; i < Source().BlockWords; ++i)
    Source().TokenBlock[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  ++Source().BlocksRead;
  Source().BlockPos = 1;
}

bool FileEndedEarly() { return Source().DataRanOut; }

bool StreamFailed() { return Source().ReadFailed; }

TTokenKind PeekToken() {
  for (;;) {
    ++TokenReads;
    if (Run().EndReached) return tkEnd;
    if (!HasWords(Source().BlockPos, 1)) {
      // The data ended without the end tag.
      Fail();
      return tkEnd;
    }
    const uint16_t w = Word(Source().BlockPos);
    switch (HighByte(w)) {
      case kTagFiller:
        if (SkipFiller()) continue;
        WarnRecovery();
        return tkData;
      case kTagString:
        return tkString;
      case kTagEnd:
        Run().EndReached = true;
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
  if (!HasWords(Source().BlockPos, 2)) {
    Fail();
    value = 0;
    return;
  }
  value = LongFromWords(Word(Source().BlockPos), Word(Source().BlockPos + 1), Run().FormatLevel >= 1);
  Advance(2);
}

void ReadCoord(int32_t& value) {
  if (Run().FormatLevel >= 1) {
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
  ++TokenReads;
  if (!HasWords(Source().BlockPos, 2)) {
    Fail();
    value = 0;
    return;
  }
  value = static_cast<int16_t>(Word(Source().BlockPos + 1));
  Advance(2);
}

void ReadAttrCoord(int32_t& value) {
  if (Run().FormatLevel < 1) {
    int16_t mils = 0;
    ReadAttrValue(mils);
    value = MilsToCoord(mils);
    return;
  }
  ++TokenReads;
  if (!HasWords(Source().BlockPos, 3)) {
    Fail();
    value = 0;
    return;
  }
  value = LongFromWords(Word(Source().BlockPos + 1), Word(Source().BlockPos + 2), true);
  Advance(3);
}

void ReportCorruption() {
  // The name is at most 255 characters, as the run keeps it.
  std::string text(kCorruptionText);
  text += std::string_view(Run().ImportFileName).substr(0, 255);
  ShowImportMessage(text);
  Source().ReadFailed = true;
  Run().Aborted = true;
}

int64_t TokenStreamOffset() {
  return Source().BlocksRead == 0 ? 0 : (Source().BlocksRead - 1) * kBlockWords + (Source().BlockPos - 1);
}

int64_t TokenReadsSinceOpen() { return TokenReads; }

bool RecoveryWarningShown() { return RecoveryWarned; }
void ResetRecoveryWarning() { RecoveryWarned = false; }

}  // namespace pcb9
