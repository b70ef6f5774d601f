#pragma once
// Pad records: free pads ("P") and the pads of a component ("p"). A pad
// takes its place, sizes and hole from the modal registers; its record
// holds the shapes, at the newest levels its rotation and its mask and plane
// values, and its name. The mask and plane values go to the classifier only,
// under a name that identifies the pad in the rules made from them.
#include <cstddef>
#include <cstdint>

namespace pcb9 {

class TPcbComponent;

// The pad name field of the host holds this many characters; a longer name
// in the file is cut to it, and the pad is classified under the cut name so
// that its rules name the pad the host holds.
constexpr size_t kPadNameLength = 20;
// Free pads are numbered 1, 2, ... up to this number, which then repeats.
constexpr int32_t kMaxFreePadNumber = 9999;

// Reads one pad record and returns the host pad's handle, or 0 for a pad
// that must stay out of the board and its component (a shape that needs a
// size with a zero size). `component` is the pad's owner, or null for a
// free pad.
uint32_t LoadPad(TPcbComponent* component);
// Reads a whole pad group, adding each pad to the component when one is
// given, else to the board.
void LoadPadGroup(TPcbComponent* component);

}  // namespace pcb9
