// Text form -> token file.
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "TextForm.h"
#include "TokenAsm.h"
#include "TokenWriter.h"
#include "stream/FormatTables.h"

namespace pcb9::tokenasm {

namespace {

using detail::TLexeme;

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

  TTokenWriter Out;
  bool LevelKnown = false;
  bool Truncate = false;
  std::optional<size_t> TruncateBytes;
  size_t TruncateLine = 0;
  size_t Line = 0;

  void Statement(const TArgs& lexemes);
  void PlaceString(std::string_view chars);
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

// The first string sets the level as the importer does, unless a level
// statement came first.
void TAssembler::PlaceString(std::string_view chars) {
  if (!LevelKnown && chars.size() <= 255) {
    Out.SetLevel(MatchHeader(chars));
    LevelKnown = true;
  }
  Out.String(chars);
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
    Out.Word(detail::ParseInteger(args[i].Text, INT16_MIN, UINT16_MAX));
  }
}

void TAssembler::RawStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "raw VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    int64_t value = detail::ParseInteger(args[i].Text, INT16_MIN, UINT16_MAX);
    Out.Place({static_cast<uint16_t>(value & 0xFFFF)});
  }
}

void TAssembler::LongStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "long VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    Out.Long(detail::ParseInteger(args[i].Text, INT32_MIN, UINT32_MAX));
  }
}

void TAssembler::CoordStatement(const TArgs& args) {
  ExpectArgs(args, 1, SIZE_MAX, "coord VALUE...");
  for (size_t i = 1; i < args.size(); ++i) {
    ExpectBare(args[i]);
    Out.Coord(detail::ParseCoord(args[i].Text));
  }
}

void TAssembler::AttrStatement(const TArgs& args) {
  ExpectArgs(args, 2, 2, "attr NUMBER VALUE");
  ExpectBare(args[1]);
  ExpectBare(args[2]);
  auto attribute = static_cast<uint8_t>(detail::ParseInteger(args[1].Text, 0, 255));
  if (AttributeCodeOf(attribute) >= 0 && !AttributeHasCoordValue(attribute))
    Out.Attr(attribute, detail::ParseInteger(args[2].Text, INT16_MIN, UINT16_MAX));
  else
    Out.Attr(attribute, detail::ParseCoord(args[2].Text));
}

void TAssembler::EndStatement(const TArgs& args) {
  ExpectArgs(args, 0, 0, "end");
  Out.End();
}

void TAssembler::FillerStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "filler COUNT  or  filler rest");
  ExpectBare(args[1]);
  if (args[1].Text == "rest")
    Out.FillerToBlockEnd();
  else
    Out.Filler(static_cast<size_t>(detail::ParseInteger(args[1].Text, 0, 1 << 24)));
}

void TAssembler::LevelStatement(const TArgs& args) {
  ExpectArgs(args, 1, 1, "level 0..9");
  ExpectBare(args[1]);
  Out.SetLevel(static_cast<int16_t>(detail::ParseInteger(args[1].Text, 0, kFormatLevelCount - 1)));
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
  std::vector<uint8_t> bytes = Out.Bytes(!Truncate);
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
