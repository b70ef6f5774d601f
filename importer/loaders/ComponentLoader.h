#pragma once
// Components ("M"): a header, the designator and comment texts, and the
// footprint's own primitives in lower-case sub-groups up to "E". Files
// before version 2.80 store no side, so the side is worked out from the
// designator's layer or the footprint's layers and the case recorded for
// the component layer warnings report.
#include <cstdint>

namespace pcb9 {

class TPcbComponent;

// Reads one component, right after its keyword, and returns the handle of
// the host component for the caller to add to the board; 0 when the file
// ends inside its header or texts.
uint32_t LoadComponent();

// Puts the component on the top or the bottom layer and records why with
// the run's `LayerWarnings` (when there is one).
void DecideComponentLayer(TPcbComponent& component);

}  // namespace pcb9
