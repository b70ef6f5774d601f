#include "BoardRecord.h"

#include "run/ImportRun.h"
#include "hostapi/HostOps.h"
#include "proxies/Board.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

// One token's value in the forms the board's fields take.
struct TBoardValue {
  int32_t Integer = 0;
  double Real = 0;
  TShortString Text;
};

TBoardValue ReadToken(TBoardToken token) {
  TBoardValue v;
  int16_t word = 0;
  switch (token) {
    case TBoardToken::Word:
      ReadWord(word);
      v.Integer = word;
      break;
    case TBoardToken::WordFlag:
      ReadWord(word);
      v.Integer = word != 0;
      break;
    case TBoardToken::WordLayer:
      ReadWord(word);
      v.Integer = OldLayerToHostLayer(static_cast<uint8_t>(word & 0xFF));
      break;
    case TBoardToken::WordMils:
      ReadWord(word);
      v.Real = MilsToUnits(word);
      break;
    case TBoardToken::Coord:
      ReadCoord(v.Integer);
      break;
    case TBoardToken::Real:
      ReadReal(v.Real);
      break;
    case TBoardToken::String:
      ReadString(v.Text);
      break;
  }
  return v;
}

struct TStoreValue {
  TPcbBoard& Board;
  const TBoardValue& Value;
  void operator()(std::monostate) const {}
  // An 8-bit field takes the low byte.
  void operator()(uint8_t TPcbBoard::*field) const {
    Board.*field = static_cast<uint8_t>(Value.Integer & 0xFF);
  }
  void operator()(int32_t TPcbBoard::*field) const { Board.*field = Value.Integer; }
  void operator()(double TPcbBoard::*field) const { Board.*field = Value.Real; }
  void operator()(TShortString TPcbBoard::*field) const { Board.*field = Value.Text; }
};

}  // namespace

void ReadBoardItems(std::span<const TBoardItem> items, TPcbBoard& board) {
  const int16_t level = Run().FormatLevel;
  for (const TBoardItem& item : items) {
    if (level < item.MinLevel || level > item.MaxLevel) continue;
    for (int i = 0; i < item.Count; ++i) {
      const TBoardValue value = ReadToken(item.Token);
      std::visit(TStoreValue{board, value}, item.Field);
    }
  }
}

bool BoardRecordComplete() { return !Run().Aborted && !Run().EndReached && !FileEndedEarly(); }

}  // namespace pcb9
