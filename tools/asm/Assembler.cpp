// Text form -> token file.
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "TextForm.h"
#include "TokenAsm.h"
#include "stream/FormatTables.h"

namespace pcb9::tokenasm {

namespace {

using detail::TLexeme;

constexpr size_t kBlockWords = 2048;
constexpr size_t kMaxStringChars = 255;

uint16_t Low16(int64_t value) { return static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFF); }
uint16_t High16(int64_t value) { return Low16(static_cast<int64_t>(static_cast<uint64_t>(value) >> 16)); }

class TAssembler {
 public:
  std::vector<uint8_t> Run(std::string_view text);

 private:
  using TArgs = std::vector<TLexeme>;
  struct TStatement {
    std::string_view Keyword;
    void (TAssembler::*Handler)(const TArgs&);
  };
  static const TStatement kStatements[];

  std::vector<uint16_t> Words;
  int16_t Level = 0;
  bool LevelKnown = false;
  bool Truncate = false;
  std::optional<size_t> TruncateBytes;
  size_t TruncateLine = 0;
  size_t Line = 0;

  void Statement(const TArgs& lexemes);
  void Place(const uint16_t* token, size_t count);
  void Place(std::initializer_list<uint16_t> token) { Place(token.begin(), token.size()); }
  void PlaceString(std::string_view chars);
  void PlaceLong(int64_t value);
  std::vector<uint8_t> Finish();

  void StringStatement(const TArgs& args);
  void RealStatement(const TArgs& args);
  void WordStatement(const TArgs& args);
  void RawStatement(const TArgs& args);
  void LongStatement(const TArgs& args);
  void CoordStatement(const TArgs& args);
  void AttrStatement(const TArgs& args);
  void EndStatement(const TArgs& args);
  void FillerStatement(const TArgs& args);
  void LevelStatement(const TArgs& args);
  void TruncateStatement(const TArgs& args);
};

// args[0] is the keyword itself.
const TAssembler::TStatement TAssembler::kStatements[] = {
    {"string", &TAssembler::StringStatement}, {"real", &TAssembler::RealStatement},
    {"word", &TAssembler::WordStatement},     {"raw", &TAssembler::RawStatement},
    {"long", &TAssembler::LongStatement},     {"coord", &TAssembler::CoordStatement},
    {"attr", &TAssembler::AttrStatement},     {"end", &TAssembler::EndStatement},
    {"filler", &TAssembler::FillerStatement}, {"level", &TAssembler::LevelStatement},
    {"truncate", &TAssembler::TruncateStatement},
};

void ExpectArgs(const std::vector<TLexeme>& args, size_t min, size_t max, std::string_view usage) {
  if (args.size() - 1 < min || args.size() - 1 > max)
    throw std::invalid_argument("usage: " + std::string(usage));
}

void ExpectBare(const TLexeme& lexeme) {
  if (lexeme.Quoted) throw std::invalid_argument("a number is expected, not a string");
}

std::vector<uint8_t> TAssembler::Run(std::string_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++Line;
    try {
      std::vector<TLexeme> lexemes = detail::SplitLine(text.substr(start, end - start));
      if (!lexemes.empty()) Statement(lexemes);
    } catch (const std::invalid_argument& e) {
      throw std::runtime_error("line " + std::to_string(Line) + ": " + e.what());
    }
    start = end + 1;
  }
  return Finish();
}

void TAssembler::Statement(const TArgs& lexemes) {
  if (lexemes[0].Quoted) {
    ExpectArgs(lexemes, 0, 0, "\"text\" (one string per line)");
    PlaceString(lexemes[0].Text);
    return;
  }
  for (const TStatement& s : kStatements)
    if (s.Keyword == lexemes[0].Text) {
      (this->*s.Handler)(lexemes);
      return;
    }
  throw std::invalid_argument("unknown statement '" + lexemes[0].Text + "'");
}

// One token; it starts a new block when it does not fit in this one.
void TAssembler::Place(const uint16_t* token, size_t count) {
  size_t used = Words.size() % kBlockWords;
  if (used + count > kBlockWords) Words.insert(Words.end(), kBlockWords - used, kFillerWord);
  Words.insert(Words.end(), token, token + count);
}

void TAssembler::PlaceString(std::string_view chars) {
  if (chars.size() > kMaxStringChars)
    throw std::invalid_argument("a string holds at most 255 characters, not " +
                                std::to_string(chars.size()));
  if (!LevelKnown) {
    Level = MatchHeader(chars);
    LevelKnown = true;
  }
  std::vector<uint16_t> token{static_cast<uint16_t>(0xA100 | chars.size())};
  for (size_t i = 0; i < chars.size(); i += 2) {
    uint16_t low = static_cast<uint8_t>(chars[i]);
    uint16_t high = i + 1 < chars.size() ? static_cast<uint8_t>(chars[i + 1]) : 0;
    token.push_back(static_cast<uint16_t>(low | (high << 8)));
  }
  Place(token.data(), token.size());
}

// A 32-bit data field: high word first from level 1 on, low word first at 0.
void TAssembler::PlaceLong(int64_t value) {
  if (Level >= 1)
    Place({High16(value), Low16(value)});
  else
    Place({Low16(value), High16(value)});
}

void TAssembler::StringStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "string \"text\"");
  if (!args[1].Quoted) throw std::invalid_argument("usage: string \"text\"");
  PlaceString(args[1].Text);
}

// The text is kept as written, so that texts that do not convert can be
// written too.
void TAssembler::RealStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "real TEXT  or  real \"TEXT\"");
  PlaceString(args[1].Text);
}

void TAssembler::WordStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "word VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    uint16_t w = Low16(detail::ParseInteger(args[i].Text, INT16_MIN, UINT16_MAX));
    if (w >= 0xA000 && w <= 0xA3FF)
      throw std::invalid_argument(detail::HexWord(w) +
                                  " would read as a tag, not as data; write it with raw");
    Place({w});
  }
}

void TAssembler::RawStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "raw VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    Place({Low16(detail::ParseInteger(args[i].Text, INT16_MIN, UINT16_MAX))});
  }
}

void TAssembler::LongStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "long VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    PlaceLong(detail::ParseInteger(args[i].Text, INT32_MIN, UINT32_MAX));
  }
}

// Mils as one signed word at level 0.
uint16_t LevelZeroCoord(int32_t units) {
  if (units % 10000 != 0 || units / 10000 < INT16_MIN || units / 10000 > INT16_MAX)
    throw std::invalid_argument("coordinate " + std::to_string(units) +
                                " is no whole number of mils within one word (level 0)");
  return Low16(units / 10000);
}

void TAssembler::CoordStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "coord VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    int32_t units = detail::ParseCoord(args[i].Text);
    if (Level >= 1)
      PlaceLong(units);
    else
      Place({LevelZeroCoord(units)});
  }
}

void TAssembler::AttrStatement(const TArgs& args) {
  ExpectArgs(args, 2, 2, "attr NUMBER VALUE");
  ExpectBare(args[1]);
  ExpectBare(args[2]);
  auto attribute = static_cast<uint8_t>(detail::ParseInteger(args[1].Text, 0, 255));
  int code = AttributeCodeOf(attribute);
  if (code < 0)
    throw std::invalid_argument("no attribute code gives attribute " + args[1].Text +
                                "; write the tag with raw");
  auto tag = static_cast<uint16_t>(0xA300 | code);
  if (!AttributeHasCoordValue(attribute)) {
    Place({tag, Low16(detail::ParseInteger(args[2].Text, INT16_MIN, UINT16_MAX))});
    return;
  }
  int32_t units = detail::ParseCoord(args[2].Text);
  // An attribute's coordinate is always high word first.
  if (Level >= 1)
    Place({tag, High16(units), Low16(units)});
  else
    Place({tag, LevelZeroCoord(units)});
}

void TAssembler::EndStatement(const TArgs& args) {
  ExpectArgs(args, 0, 0, "end");
  Place({kEndWord});
}

void TAssembler::FillerStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "filler COUNT  or  filler rest");
  ExpectBare(args[1]);
  size_t count = args[1].Text == "rest"
                     ? (kBlockWords - Words.size() % kBlockWords) % kBlockWords
                     : static_cast<size_t>(detail::ParseInteger(args[1].Text, 0, 1 << 24));
  Words.insert(Words.end(), count, kFillerWord);
}

void TAssembler::LevelStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "level 0..9");
  ExpectBare(args[1]);
  Level = static_cast<int16_t>(detail::ParseInteger(args[1].Text, 0, kFormatLevelCount - 1));
  LevelKnown = true;
}

void TAssembler::TruncateStatement(const TArgs& args) {
  ExpectArgs(args, 0, 1, "truncate [BYTES]");
  Truncate = true;
  if (args.size() == 2) {
    ExpectBare(args[1]);
    TruncateBytes = static_cast<size_t>(detail::ParseInteger(args[1].Text, 0, INT32_MAX));
    TruncateLine = Line;
  }
}

std::vector<uint8_t> TAssembler::Finish() {
  size_t used = Words.size() % kBlockWords;
  if (!Truncate && used > 0) Words.insert(Words.end(), kBlockWords - used, kFillerWord);
  std::vector<uint8_t> bytes;
  bytes.reserve(Words.size() * 2);
  for (uint16_t w : Words) {
    bytes.push_back(static_cast<uint8_t>(w & 0xFF));
    bytes.push_back(static_cast<uint8_t>(w >> 8));
  }
  if (TruncateBytes) {
    if (*TruncateBytes > bytes.size())
      throw std::runtime_error("line " + std::to_string(TruncateLine) + ": truncate " +
                               std::to_string(*TruncateBytes) + ": the file has only " +
                               std::to_string(bytes.size()) + " bytes");
    bytes.resize(*TruncateBytes);
  }
  return bytes;
}

}  // namespace

std::vector<uint8_t> AssembleText(std::string_view text) { return TAssembler().Run(text); }

}  // namespace pcb9::tokenasm
