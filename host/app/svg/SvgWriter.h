#pragma once
// The board of the host's document as an SVG picture: one group per layer
// ("layer-TopLayer", ...) in the layers' usual colours and stacking order,
// the board's outline from its settings, and a legend of the layers used.
#include <ostream>
#include <string>

namespace pcb9host {

// The picture of the document's board, as SVG text.
std::string BoardSvg();

// Writes BoardSvg() to `out`; false with `error` set when it cannot.
bool WriteBoardSvg(std::ostream& out, std::string& error);

}  // namespace pcb9host
