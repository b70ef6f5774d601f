#pragma once
// Reading the fixed board records as tables: each item names its token, the
// board field it goes to (or none when it is read and not used), how many
// such tokens follow and the format levels that carry it.
#include <cstdint>
#include <span>
#include <variant>

#include "hostapi/ShortString.h"

namespace pcb9 {

class TPcbBoard;

enum class TBoardToken : uint8_t {
  Word,       // low byte into an 8-bit field, sign-extended into a 32-bit one
  WordFlag,   // 8-bit field := (word != 0)
  WordLayer,  // 8-bit field := host layer id of the old layer code in the low byte
  WordMils,   // real field := the signed word of mils in host units
  Coord,
  Real,
  String,
};

using TBoardField = std::variant<std::monostate, uint8_t TPcbBoard::*, int32_t TPcbBoard::*,
                                 double TPcbBoard::*, TShortString TPcbBoard::*>;

struct TBoardItem {
  TBoardToken Token;
  TBoardField Field = {};
  int Count = 1;
  int16_t MinLevel = 0;
  int16_t MaxLevel = 9;
};

// Reads the items in order, skipping those outside the run's format level.
void ReadBoardItems(std::span<const TBoardItem> items, TPcbBoard& board);

// Whether the file delivered the whole record: no corruption, no end of the
// data and no end of the file met while reading it.
bool BoardRecordComplete();

}  // namespace pcb9
