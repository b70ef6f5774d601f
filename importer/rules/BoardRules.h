#pragma once
// The rules made from the file's board-wide settings after loading: the
// board-wide clearance, clearances between primitive families that differ
// from it, the routing-layers rule, and the fixed manufacturing rules of
// files whose pads carry no mask or plane values.
#include <cstdint>

#include "run/RuleSettings.h"

namespace pcb9 {

class TPcbBoard;

// The most frequent of the six clearances, counted in the order C1, C4, C2,
// C3, C5, C6; on a tie the value met first wins.
int32_t MostCommonClearance(const TClearanceSettings& Clearances);
// Clearance share of a primitive code 1..5 (wire, through-hole pin,
// surface-mount pin, via, fill); 0 for any other code.
int32_t KindClearance(const TClearanceSettings& Clearances, uint8_t PrimitiveCode);
// Clearance, Clearance_1.. for the family pairs whose summed shares differ
// from twice the most common value, then RoutingLayers. Sums are kept
// within the 32-bit range.
void CreateBoardRules(TPcbBoard& Board, const TClearanceSettings& Clearances,
                      const TRouteSettings& Route);
// The four board-wide mask and plane rules, for format levels 7 and below.
void CreateOldFormatPadRules(TPcbBoard& Board, int16_t FormatLevel);

}  // namespace pcb9
