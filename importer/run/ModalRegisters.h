#pragma once
// The modal attribute registers of one import run: each attribute token of
// the file sets its register, which keeps its value for every later record
// until the attribute is given again (loaders/ModalAttributes.h).
#include <cstdint>

namespace pcb9 {

struct TModalAttributes {
  uint16_t AttrFlags = 0;
  int16_t AttrNet = 0;
  uint16_t AttrLayer = 0;  // low byte: file layer code
  int32_t AttrTrackWidth = 0;
  int32_t AttrViaSize = 0;
  int32_t AttrViaHoleSize = 0;
  uint16_t AttrViaLayerPair = 0;
  int32_t AttrPadTopXSize = 0;
  int32_t AttrPadTopYSize = 0;
  int32_t AttrPadMidXSize = 0;
  int32_t AttrPadMidYSize = 0;
  int32_t AttrPadBottomXSize = 0;
  int32_t AttrPadBottomYSize = 0;
  int32_t AttrPadHoleSize = 0;
  uint16_t AttrPadPlaneConnect = 0;
  int32_t AttrPadX = 0;
  int32_t AttrPadY = 0;
  int32_t AttrTextHeight = 0;
  int16_t AttrTextFont = 0;
  uint16_t AttrTextMirrored = 0;
  int32_t AttrTextWidth = 0;
  int16_t AttrPolygon = 0;
  uint16_t AttrStateFlag = 1;
  int16_t AttrCoordinate = 0;
  int16_t AttrDimension = 0;
  uint16_t AttrViaStartLayer = 0;
  uint16_t AttrViaEndLayer = 0;

  bool operator==(const TModalAttributes&) const = default;
};

}  // namespace pcb9
