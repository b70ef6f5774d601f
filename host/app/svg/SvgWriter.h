#pragma once
// The board of the host's document as an SVG picture: one group per layer
// ("layer-TopLayer", ...) in the layers' usual colours and stacking order,
// the board's outline from its settings, and a legend of the layers used.
#include <ostream>
#include <string>

namespace pcb9host {

// Writes the picture of the document's board to `out` as SVG text, as it is
// made: what is held besides the document is an object's elements and, per
// layer, the handles of the objects drawn on it.
void WriteBoardSvg(std::ostream& out);

// The same picture as one text.
std::string BoardSvg();

// Writes the picture to `out`; false with `error` set when it cannot.
bool WriteBoardSvg(std::ostream& out, std::string& error);

}  // namespace pcb9host
