// The board's settings and option queries. Each query copies between the
// caller's pointers and the board's stored values by the group's field
// table; per-index queries check their index and touch nothing (status 1)
// outside its range.
#include <string>

#include "BoardStore.h"
#include "Checks.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

bool InRange(unsigned index, unsigned first, unsigned last) {
  return index >= first && index <= last;
}

int32_t ExchangeGroup(const char* call, uint8_t dir, uint32_t board, const TBoardGroup& group,
                      std::initializer_list<void*> pointers) {
  TObject* object = FindBoard(call, board);
  if (!object) return kRefused;
  ExchangeFields(dir, *object, group.Fields, pointers);
  return 0;
}

int32_t ExchangeAt(const char* call, uint8_t dir, uint32_t board, const char* group,
                   unsigned index, unsigned first, unsigned last,
                   std::span<const TFieldInfo> values, std::initializer_list<void*> pointers) {
  TObject* object = FindBoard(call, board);
  if (!object) return kRefused;
  if (!InRange(index, first, last)) return Refuse(call, board, "no index " + std::to_string(index));
  ExchangeIndexed(dir, *object, group, index, values, pointers);
  return 0;
}

}  // namespace

extern "C" {

int32_t PCB9_CALL PcbApi_QueryBoard(uint8_t Dir, uint32_t Board, int32_t* Value1,
                                    TShortString* Value2, uint8_t* Value3, int32_t* Value4,
                                    int32_t* Value5, int32_t* Value6, int32_t* Value7,
                                    uint8_t* Value8, uint32_t* CurrentLayer, int32_t* Value10) {
  return ExchangeGroup(__func__, Dir, Board, kBoardInfo,
                       {Value1, Value2, Value3, Value4, Value5, Value6, Value7, Value8,
                        CurrentLayer, Value10});
}

int32_t PCB9_CALL PcbApi_QueryBoardLayerInfo(uint8_t Dir, uint32_t Board, uint8_t LayerId,
                                             uint8_t* A, uint8_t* B, int32_t* Info) {
  return ExchangeAt(__func__, Dir, Board, "LayerInfo", LayerId, 1, kLastLayer, kLayerInfoValues,
                    {A, B, Info});
}

int32_t PCB9_CALL PcbApi_QueryBoardSplitPlaneMode(uint8_t Dir, uint32_t Board, int32_t* Mode) {
  static const TFieldInfo kMode[] = {{"SplitPlaneMode", TFieldType::I32}};
  TObject* object = FindBoard(__func__, Board);
  if (!object) return kRefused;
  ExchangeFields(Dir, *object, kMode, {Mode});
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryBoardGridsEx(uint8_t Dir, uint32_t Board, uint8_t* Value1,
                                           uint8_t* Value2, uint8_t* Value3, uint8_t* Value4,
                                           double* Value5, double* Value6, double* Value7,
                                           double* Value8, int32_t* Value9, uint8_t* Value10,
                                           double* Value11, double* Value12, double* Value13,
                                           double* Value14) {
  return ExchangeGroup(__func__, Dir, Board, kGridOptions,
                       {Value1, Value2, Value3, Value4, Value5, Value6, Value7, Value8, Value9,
                        Value10, Value11, Value12, Value13, Value14});
}

int32_t PCB9_CALL PcbApi_QueryBoardOutputOptions(
    uint8_t Dir, uint32_t Board, int32_t* Value1, int32_t* Value2, uint8_t* Value3,
    uint8_t* Value4, uint8_t* Value5, uint8_t* Value6, uint8_t* Value7, uint8_t* Value8,
    uint8_t* Value9, uint8_t* Value10, uint8_t* Value11, uint8_t* Value12, uint8_t* Value13,
    uint8_t* Value14, uint8_t* Value15, uint8_t* Value16, uint8_t* Value17, uint8_t* Value18,
    uint8_t* Value19, uint8_t* Value20, uint8_t* Value21, uint8_t* Value22, uint8_t* Value23,
    uint8_t* Value24) {
  return ExchangeGroup(__func__, Dir, Board, kOutputOptions,
                       {Value1,  Value2,  Value3,  Value4,  Value5,  Value6,  Value7,  Value8,
                        Value9,  Value10, Value11, Value12, Value13, Value14, Value15, Value16,
                        Value17, Value18, Value19, Value20, Value21, Value22, Value23, Value24});
}

int32_t PCB9_CALL PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t Dir, uint32_t Board,
                                                           uint8_t Index, uint8_t* Value) {
  return ExchangeAt(__func__, Dir, Board, "PlotLayers", Index, 1, kOptionLayerCount, kPlotLayerValue,
                    {Value});
}

int32_t PCB9_CALL PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t Dir, uint32_t Board,
                                                           uint8_t Index, uint8_t* Value) {
  return ExchangeAt(__func__, Dir, Board, "FlipLayers", Index, 1, kOptionLayerCount, kPlotLayerValue,
                    {Value});
}

int32_t PCB9_CALL PcbApi_QueryBoardGerberOptions(
    uint8_t Dir, uint32_t Board, uint8_t* Value1, uint8_t* Value2, uint8_t* Value3,
    uint8_t* Value4, uint8_t* Value5, uint8_t* Value6, uint8_t* Value7, int32_t* Value8,
    int32_t* Value9, int32_t* Value10, int32_t* Value11, int32_t* Value12, TShortString* Value13,
    int32_t* Value14, uint8_t* Value15, uint8_t* Value16, int32_t* Value17, int32_t* Value18,
    uint8_t* Value19) {
  return ExchangeGroup(__func__, Dir, Board, kGerberOptions,
                       {Value1, Value2, Value3, Value4, Value5, Value6, Value7, Value8, Value9,
                        Value10, Value11, Value12, Value13, Value14, Value15, Value16, Value17,
                        Value18, Value19});
}

int32_t PCB9_CALL PcbApi_QueryBoardPrinterOptions(
    uint8_t Dir, uint32_t Board, TShortString* Value1, TShortString* Value2, TShortString* Value3,
    uint8_t* Value4, uint8_t* Value5, uint8_t* Value6, uint8_t* Value7, uint8_t* Value8,
    uint8_t* Value9, int32_t* Value10, double* Value11, double* Value12, double* Value13,
    uint8_t* Value14, uint8_t* Value15, uint8_t* Value16, double* Value17, double* Value18,
    double* Value19, int32_t* Value20, int32_t* Value21, uint8_t* Value22, uint8_t* Value23,
    uint8_t* Value24, uint8_t* Value25, uint8_t* Value26) {
  return ExchangeGroup(__func__, Dir, Board, kPrinterOptions,
                       {Value1,  Value2,  Value3,  Value4,  Value5,  Value6,  Value7,
                        Value8,  Value9,  Value10, Value11, Value12, Value13, Value14,
                        Value15, Value16, Value17, Value18, Value19, Value20, Value21,
                        Value22, Value23, Value24, Value25, Value26});
}

int32_t PCB9_CALL PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t Dir, uint32_t Board,
                                                            uint8_t Pen, int32_t* First,
                                                            int32_t* Second) {
  return ExchangeAt(__func__, Dir, Board, "PlotterPens", Pen, 1, kPenCount, kPenValues, {First, Second});
}

int32_t PCB9_CALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t Dir, uint32_t Board,
                                                                uint8_t LayerId, int32_t* Value1,
                                                                int32_t* Value2, uint8_t* Value3,
                                                                int32_t* Value4) {
  return ExchangeAt(__func__, Dir, Board, "CompositeLayers", LayerId, 1, kLastLayer, kCompositeValues,
                    {Value1, Value2, Value3, Value4});
}

int32_t PCB9_CALL PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t Dir, uint32_t Board,
                                                         TShortString* Value1,
                                                         TShortString* Value2, uint8_t* Value3,
                                                         uint8_t* Value4, uint8_t* Value5,
                                                         uint8_t* Value6) {
  return ExchangeGroup(__func__, Dir, Board, kPlacerOptions,
                       {Value1, Value2, Value3, Value4, Value5, Value6});
}

int32_t PCB9_CALL PcbApi_QueryBoardEngineeringChangeOrderOptions(uint8_t Dir, uint32_t Board,
                                                                 uint8_t* Value1,
                                                                 TShortString* Value2) {
  return ExchangeGroup(__func__, Dir, Board, kEcoOptions, {Value1, Value2});
}

int32_t PCB9_CALL PcbApi_QueryBoardExternalDielectrics(
    uint8_t Dir, uint32_t Board, TShortString* TopMaterial, uint8_t* TopType, double* TopConstant,
    int32_t* TopHeight, TShortString* BottomMaterial, uint8_t* BottomType,
    double* BottomConstant, int32_t* BottomHeight) {
  return ExchangeGroup(__func__, Dir, Board, kExternalDielectrics,
                       {TopMaterial, TopType, TopConstant, TopHeight, BottomMaterial, BottomType,
                        BottomConstant, BottomHeight});
}

}  // extern "C"
