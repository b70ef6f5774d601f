// The board's layer stack, layer dielectrics and drill layer pairs.
#include <string>

#include "BoardStore.h"
#include "Checks.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

constexpr const char* kLayers = "Layers";
constexpr const char* kPairs = "LayerPairs";
const TFieldInfo kPairCount = {"LayerPairs.Count", TFieldType::I32};

int32_t ExchangeLayer(const char* call, uint8_t dir, uint32_t board, uint8_t id, bool plane,
                      std::span<const TFieldInfo> values, std::initializer_list<void*> pointers) {
  TObject* object = FindBoard(call, board);
  if (!object) return kRefused;
  if (id < 1 || id > kLastLayer) return Refuse(call, board, "no layer id " + std::to_string(id));
  if (plane && !IsPlaneLayer(id))
    return Refuse(call, board, "layer id " + std::to_string(id) + " is no internal plane");
  ExchangeIndexed(dir, *object, kLayers, id, values, pointers);
  return 0;
}

int32_t PairCount(const TObject& board) {
  return static_cast<int32_t>(board.Int(kPairCount.Name));
}

// A new count drops the pairs beyond it, so they cannot reappear later.
void SetPairCount(TObject& board, int32_t count) {
  if (count < 0) count = 0;
  if (count > kMaxLayerPairs) count = kMaxLayerPairs;
  for (int32_t i = count; i < PairCount(board); ++i)
    for (const TFieldInfo& value : kPairValues)
      board.Erase(IndexedKey(kPairs, static_cast<unsigned>(i), value.Name));
  board.Set(kPairCount.Name, kPairCount.Type, int64_t{count});
}

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryLayer(uint8_t Dir, uint8_t LayerId, uint32_t Board,
                                    TShortString* Name, int32_t* CopperThickness,
                                    uint8_t* LayerFlag1, uint8_t* LayerFlag2, uint8_t* PrevLayer,
                                    uint8_t* NextLayer, uint8_t* LayerValue) {
  return ExchangeLayer(__func__, Dir, Board, LayerId, false, kLayerValues,
                       {Name, CopperThickness, LayerFlag1, LayerFlag2, PrevLayer, NextLayer,
                        LayerValue});
}

int32_t PCB9_CALL PcbApi_QueryInternalPlane(uint8_t Dir, uint8_t LayerId, uint32_t Board,
                                            TShortString* Name, int32_t* CopperThickness,
                                            uint8_t* LayerFlag1, uint8_t* LayerFlag2,
                                            uint8_t* PrevLayer, uint8_t* NextLayer,
                                            TShortString* NetName) {
  return ExchangeLayer(__func__, Dir, Board, LayerId, true, kPlaneValues,
                       {Name, CopperThickness, LayerFlag1, LayerFlag2, PrevLayer, NextLayer,
                        NetName});
}

int32_t PCB9_CALL PcbApi_QueryLayerDielectric(uint8_t Dir, uint8_t LayerId, uint32_t Board,
                                              TShortString* Material, uint8_t* Type,
                                              double* Constant, int32_t* Height) {
  return ExchangeLayer(__func__, Dir, Board, LayerId, false, kDielectricValues,
                       {Material, Type, Constant, Height});
}

int32_t PCB9_CALL PcbApi_QueryBoardLayerPairsCount(uint32_t Board, int32_t* Count, uint8_t Dir) {
  TObject* board = FindBoard(__func__, Board);
  if (!board) return kRefused;
  if (!Count) return Refuse(__func__, Board, "no count pointer");
  if (Dir == 1)
    *Count = PairCount(*board);
  else
    SetPairCount(*board, *Count);
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryBoardLayerPairAt(uint8_t Dir, uint32_t Board, int32_t Index,
                                               uint32_t* PairLayer1, uint32_t* PairLayer2,
                                               uint8_t* PairFlag2, uint8_t* PairFlag1) {
  TObject* board = FindBoard(__func__, Board);
  if (!board) return kRefused;
  if (Index < 0 || Index >= PairCount(*board))
    return Refuse(__func__, Board, "no layer pair " + std::to_string(Index));
  ExchangeIndexed(Dir, *board, kPairs, static_cast<unsigned>(Index), kPairValues,
                  {PairLayer1, PairLayer2, PairFlag2, PairFlag1});
  return 0;
}

}  // extern "C"
