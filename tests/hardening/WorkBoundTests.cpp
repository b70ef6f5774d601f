// A file cannot stall the host: the import of an adversarial file does work
// bounded by a small multiple of its size. Counted, not timed: the reader's
// classifications and reads, and the objects the host holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Document.h"
#include "HostileBoard.h"
#include "TokenAsm.h"
#include "support/HostFixture.h"

namespace pcb9test {
namespace {

constexpr size_t kMillion = 1000000;

std::string Assembled(const std::string& text) {
  const std::vector<uint8_t> bytes = pcb9::tokenasm::AssembleText(text);
  return std::string(bytes.begin(), bytes.end());
}

// Header and preamble, filled to the end of the first block.
std::string Head() {
  return Assembled("\"PCB FILE 9 VERSION 2.80\"\nlong 0 0 0 0 0 0 0 0 0 0\nfiller rest\ntruncate\n");
}

void AppendWord(std::string& bytes, uint16_t word) {
  bytes.push_back(static_cast<char>(word & 0xFF));
  bytes.push_back(static_cast<char>(word >> 8));
}

struct TStallCase {
  const char* Name;
  std::string Bytes;
  bool Result;
};

std::vector<TStallCase> StallCases() {
  std::string filler = Head();
  for (size_t i = 0; i < kMillion; ++i) AppendWord(filler, 0xA000);
  std::string fillerNoEnd = filler;
  // Filler runs to the end of its block; the end tag opens the next one.
  while (filler.size() % 4096 != 0) AppendWord(filler, 0xA000);
  AppendWord(filler, 0xA200);

  // Two words each, so 1024 of them fill a block exactly.
  std::string keywords = Head();
  for (size_t i = 0; i < kMillion; ++i) {
    AppendWord(keywords, 0xA101);
    AppendWord(keywords, 'Z');
  }
  std::string keywordsNoEnd = keywords;
  AppendWord(keywords, 0xA200);
  return {{"MillionFillerWords", filler, true},
          {"MillionFillerWordsAndNoEnd", fillerNoEnd, false},
          {"MillionUnknownKeywords", keywords, true},
          {"MillionUnknownKeywordsAndNoEnd", keywordsNoEnd, false}};
}

TEST_F(THostFixture, AMillionWordsOfNothingCostWorkInProportion) {
  const size_t newDocument = morvik::TDocument::Instance().Objects().size();
  TTempDir dir;
  for (const TStallCase& c : StallCases()) {
    SCOPED_TRACE(c.Name);
    const int64_t words = static_cast<int64_t>(c.Bytes.size() / 2);
    const TImportOutcome outcome = ImportBytes(dir, c.Bytes);
    ASSERT_TRUE(outcome.Recognised);
    EXPECT_EQ(outcome.Result, c.Result);
    EXPECT_EQ(outcome.CorruptionMessages, c.Result ? 0u : 1u);
    EXPECT_GT(outcome.TokenReads, 0);
    EXPECT_LE(outcome.TokenReads, 2 * words);
    // No object came of it but the rules a complete import makes.
    EXPECT_TRUE(BoardRecords().empty());
    EXPECT_LE(outcome.HostObjects, newDocument + 16);
  }
}

}  // namespace
}  // namespace pcb9test
