#pragma once
// Shared operations over the host wrappers: iterators on a host layer id,
// the progress start, the board query with its current layer, the old
// file's layer codes and the unit conversions.
#include <cstdint>
#include <string_view>

#include "PcbApiTypes.h"

namespace pcb9 {

uint32_t CreateIteratorOnLayer(uint32_t container, uint8_t kind, uint8_t method, uint8_t layerId);
// Starts the host's progress display; the caption is cut to 255 characters.
void ProgressInit(std::string_view caption, int32_t total);

// The wrapper of PcbApi_QueryBoard: exchanges the board's current layer as a
// host layer id (converted to its layer code for the call and back after
// it); the other pointers go to the host unchanged.
int32_t QueryBoardWithLayer(uint8_t Dir, uint32_t Board, int32_t* Value1, TShortString* Value2,
                            uint8_t* Value3, int32_t* Value4, int32_t* Value5, int32_t* Value6,
                            int32_t* Value7, uint8_t* Value8, uint8_t* CurrentLayer,
                            int32_t* Value10);

// Old file layer code -> host layer id (0 = NoLayer for codes without one).
uint8_t OldLayerToHostLayer(uint8_t code);
// Old option record layer code -> index into the board's per-layer option
// arrays (0 for codes without one).
uint8_t OldOptionLayerToIndex(uint8_t code);

double DegToRad(double degrees);
double MilsToUnits(double mils);
int32_t MilsToUnitsRounded(double mils);
double UnitsToMils(int32_t units);

}  // namespace pcb9
