// Example boards damaged one word at a time: cut after every word, and every
// word replaced by each tag (filler, string, end, attribute) and by 0x0000
// and 0xFFFF. Every such import ends with a result and at most one
// corruption message, does work bounded by the file's size, and keeps
// every record that lay complete before the damage: what a cut keeps never
// shrinks as the cut moves later, a cut before the end tag keeps the whole
// board and a cut inside the last record every record before it. The words
// of a board are split into interleaved slices so that the sweeps run side
// by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "Document.h"
#include "HostileBoard.h"
#include "support/HostFixture.h"

namespace pcb9test {
namespace {

constexpr size_t kSlices = 6;
constexpr size_t kBlockWords = 2048;

// Under the sanitizers an import costs many times more: there the sweeps
// take every fourth cut and every sixteenth word's changes.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kCutStride = 4, kChangeStride = 16;
#else
constexpr size_t kCutStride = 1, kChangeStride = 1;
#endif

// Replacement words: each tag (an empty and a full-length string, a known
// and an unknown attribute code) and the two extreme data words.
constexpr std::array<uint16_t, 8> kReplacements = {0xA000, 0xA100, 0xA1FF, 0xA200,
                                                   0xA300, 0xA329, 0x0000, 0xFFFF};

// An import's work may grow with the file's words, by no more than this.
// The fixed part is a record of fixed size read to its end after the data
// ran out (the options record reads a few hundred words).
constexpr int64_t kReadsPerWord = 4;
constexpr int64_t kReadsFixed = 2048;
constexpr size_t kObjectsPerWord = 2;

struct TSlice {
  const char* Board;
  size_t Index;
};

void PrintTo(const TSlice& slice, std::ostream* out) {
  *out << slice.Board << " slice " << slice.Index;
}

class DamagedBoard : public THostFixture, public ::testing::WithParamInterface<TSlice> {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    NewDocumentObjects = morvik::TDocument::Instance().Objects().size();
  }

  // What every import of a damaged file must give.
  void ExpectBounded(const TImportOutcome& outcome, size_t words) const {
    EXPECT_FALSE(outcome.RunLeftActive);
    EXPECT_LE(outcome.CorruptionMessages, 1u);
    if (outcome.Result) {
      EXPECT_EQ(outcome.CorruptionMessages, 0u);
    }
    EXPECT_LE(outcome.TokenReads, kReadsPerWord * static_cast<int64_t>(words) + kReadsFixed);
    EXPECT_LE(outcome.HostObjects, NewDocumentObjects + kObjectsPerWord * words);
  }

  size_t NewDocumentObjects = 0;
};

bool StartsWith(const std::vector<std::string>& records, const std::vector<std::string>& prefix) {
  return records.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), records.begin());
}

TEST_P(DamagedBoard, EveryCutAndEveryChangedWordKeepsWhatCameBefore) {
  const std::string whole = ExampleBytes(GetParam().Board);
  const size_t endTag = EndTagWord(whole);
  ASSERT_GT(endTag, 0u);
  TTempDir dir;
  ASSERT_TRUE(ImportBytes(dir, whole).Result);
  const std::vector<std::string> complete = BoardRecords();
  ASSERT_FALSE(complete.empty());

  std::vector<std::string> earlier;  // what the slice's previous cut kept
  for (size_t word = 1 + GetParam().Index; word <= endTag; word += kSlices) {
    // The words around a block's end are always taken.
    const bool blockEnd = word % kBlockWords >= kBlockWords - 8 || word % kBlockWords <= 8;
    const size_t step = blockEnd ? 0 : (word - 1) / kSlices;
    if (step % kCutStride != 0) continue;
    SCOPED_TRACE("word " + std::to_string(word));
    // Cut before the word: the records complete before it, and no more.
    const TImportOutcome cut = ImportBytes(dir, whole.substr(0, 2 * word));
    EXPECT_FALSE(cut.Result);
    EXPECT_EQ(cut.CorruptionMessages, cut.Recognised ? 1u : 0u);
    ExpectBounded(cut, word);
    const std::vector<std::string> before = BoardRecords();
    ASSERT_TRUE(StartsWith(complete, before));
    // A later cut keeps at least what an earlier one kept.
    ASSERT_TRUE(StartsWith(before, earlier)) << before.size() << " records kept, " << earlier.size()
                                             << " by a cut " << kSlices << " words earlier";
    earlier = before;

    for (uint16_t replacement : kReplacements) {
      if (step % kChangeStride != 0) break;
      if (replacement == static_cast<uint8_t>(whole[2 * word]) +
                             (static_cast<uint8_t>(whole[2 * word + 1]) << 8))
        continue;
      SCOPED_TRACE("replaced by " + std::to_string(replacement));
      const TImportOutcome changed = ImportBytes(dir, WithWord(whole, word, replacement));
      ExpectBounded(changed, whole.size() / 2);
      ASSERT_TRUE(StartsWith(BoardRecords(), before));
    }
  }
}

// The word where the last record starts: its tag, the string "TN" (the
// track record, which ends every example board).
size_t LastRecordWord(const std::string& bytes, size_t endTag) {
  for (size_t word = endTag; word-- > 0;)
    if (bytes.compare(2 * word, 4, "\x02\xA1TN") == 0) return word;
  return 0;
}

class DamagedBoardEnd : public THostFixture, public ::testing::WithParamInterface<const char*> {};

// Cut before the end tag, the whole board; cut anywhere inside the last
// record, every record before it.
TEST_P(DamagedBoardEnd, CutsInTheLastRecordKeepEveryRecordBeforeIt) {
  const std::string whole = ExampleBytes(GetParam());
  const size_t endTag = EndTagWord(whole);
  const size_t last = LastRecordWord(whole, endTag);
  ASSERT_GT(last, 0u);
  TTempDir dir;
  ASSERT_TRUE(ImportBytes(dir, whole).Result);
  const std::vector<std::string> complete = BoardRecords();
  EXPECT_FALSE(ImportBytes(dir, whole.substr(0, 2 * endTag)).Result);
  EXPECT_EQ(BoardRecords(), complete);
  ImportBytes(dir, whole.substr(0, 2 * last));
  const std::vector<std::string> beforeLast = BoardRecords();
  // The records before the last one: all but its tracks.
  ASSERT_LT(beforeLast.size(), complete.size());
  ASSERT_TRUE(StartsWith(complete, beforeLast));
  const std::string track = complete.back().substr(0, complete.back().find(' ') + 1);
  for (size_t i = beforeLast.size(); i < complete.size(); ++i)
    EXPECT_EQ(complete[i].rfind(track, 0), 0u) << complete[i];
  for (size_t word = last + 1; word < endTag; ++word) {
    SCOPED_TRACE("cut at word " + std::to_string(word));
    EXPECT_FALSE(ImportBytes(dir, whole.substr(0, 2 * word)).Result);
    const std::vector<std::string> kept = BoardRecords();
    EXPECT_TRUE(StartsWith(kept, beforeLast)) << kept.size() << " of " << beforeLast.size();
    EXPECT_TRUE(StartsWith(complete, kept));
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, DamagedBoardEnd, ::testing::Values("board", "legacy-v110"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

std::vector<TSlice> Slices() {
  std::vector<TSlice> slices;
  for (const char* board : {"board", "legacy-v110"})
    for (size_t index = 0; index < kSlices; ++index) slices.push_back({board, index});
  return slices;
}

INSTANTIATE_TEST_SUITE_P(Examples, DamagedBoard, ::testing::ValuesIn(Slices()),
                         [](const auto& info) {
                           std::string name = info.param.Board;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name + "_" + std::to_string(info.param.Index);
                         });

}  // namespace
}  // namespace pcb9test
