#pragma once
// The board of the host's document as an SVG picture: one group per layer
// ("layer-TopLayer", ...) in the layers' usual colours and stacking order,
// the board's outline from its settings, and a legend of the layers used.
#include <string>

namespace pcb9host {

// The picture of the document's board, as SVG text.
std::string BoardSvg();

// Writes BoardSvg() to `path`; false with `error` set when it cannot.
bool WriteBoardSvg(const std::string& path, std::string& error);

}  // namespace pcb9host
