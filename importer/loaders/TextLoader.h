#pragma once
// Text records: free texts ("X"), a component's texts ("x") and the
// designator and comment texts that every component record carries.
#include <cstdint>

namespace pcb9 {

class TPcbComponent;

// The attribute run before a text record. The component loader runs it
// before each of its two texts and then calls `LoadText`.
void ReadTextAttributes();
// Reads one text record and returns the handle of the new host text; it is
// added nowhere (the caller decides).
uint32_t LoadText();
// Reads a whole group, adding each text to the component when one is given,
// else to the board.
void LoadTextGroup(TPcbComponent* component);

// Stroke width in host units for a text height in host units, for files
// that store no width: 6 mil up to 30 mil high, rising to 8 mil at 60 mil,
// 8 mil up to 80 mil, a tenth of the height above.
int32_t StrokeWidthFromHeight(int32_t height);

}  // namespace pcb9
