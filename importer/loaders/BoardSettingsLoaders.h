#pragma once
// The board's own settings: group "D" (board information, grids, current
// layer, layer flags, change-order options) and group "O" (output, plot,
// flip, printer, pen, composite-layer, Gerber and placer options, the
// routing direction of each signal layer and the design's six clearances).
// Each is one fixed record right after its keyword. The board proxy is
// fetched, overwritten with what the record carries and stored again; a
// record the file does not hold in full changes nothing.

namespace pcb9 {

void LoadBoardSettings();  // "D"
void LoadBoardOptions();   // "O": also the run's RouteSettings and ClearanceSettings

}  // namespace pcb9
