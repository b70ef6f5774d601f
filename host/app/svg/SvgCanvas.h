#pragma once
// What the board picture collects while it walks the document once: the SVG
// elements of each layer, kept apart so that the layers can be stacked in
// their drawing order afterwards, and the extent of everything drawn. Also
// the number and text writers every element uses.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "SvgLayers.h"

namespace pcb9host::svg {

// A rectangle in host units, y growing upward as on the board.
struct TExtent {
  double Left = 0, Bottom = 0, Right = 0, Top = 0;
  bool Empty = true;
  void Add(double x, double y, double reach);
  void Add(const TExtent& other);
  double Width() const { return Right - Left; }
  double Height() const { return Top - Bottom; }
};

class TCanvas {
 public:
  // The elements of a layer, to append to.
  std::string& On(uint8_t layerId) { return Layers_[layerId < kLayerCount ? layerId : kNoLayer]; }
  const std::string& Elements(uint8_t layerId) const { return Layers_[layerId]; }
  // Grows the extent by a point and everything within `reach` of it.
  void Extend(double x, double y, double reach = 0) { Extent_.Add(x, y, reach); }
  const TExtent& Extent() const { return Extent_; }

 private:
  std::array<std::string, kLayerCount> Layers_;
  TExtent Extent_;
};

// Lengths go out in mils with at most two decimals. A board's y grows
// upward and the picture's downward, so y values are negated.
void AppendNumber(std::string& out, double value);
inline void AppendMils(std::string& out, double units) { AppendNumber(out, units / 10000.0); }
inline void AppendX(std::string& out, double units) { AppendMils(out, units); }
inline void AppendY(std::string& out, double units) { AppendMils(out, -units); }
// ` name="value"` with a length in mils.
void AppendLengthAttribute(std::string& out, std::string_view name, double units);
// ` transform="rotate(...)"` turning by `degrees` counter-clockwise on the
// board about (x, y); nothing for a turn of a whole number of circles.
void AppendRotation(std::string& out, double degrees, double x, double y);

// The file's 8-bit text (Latin-1) as XML character data: markup characters
// escaped, control characters (which XML cannot carry) left out.
std::string XmlText(std::string_view latin1);
// The same for a file name as given (UserTextToUtf8): the board's name.
std::string XmlNameText(std::string_view name);

}  // namespace pcb9host::svg
