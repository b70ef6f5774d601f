#pragma once
// What the board picture collects while it walks the document: the SVG
// elements an object draws on each layer, kept apart so that they can go
// into the groups of their layers, stacked in drawing order, and the extent
// of everything drawn. Also the number and text writers every element uses.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Holds the elements of the objects drawn since it was last cleared: one
// object's at a time while the picture is written.
class TCanvas {
 public:
  // The elements of a layer, to append to.
  std::string& On(uint8_t layerId) {
    const uint8_t id = layerId < kLayerCount ? layerId : kNoLayer;
    if (!Touched_[id]) {
      Touched_[id] = true;
      TouchedIds_.push_back(id);
    }
    return Layers_[id];
  }
  const std::string& Elements(uint8_t layerId) const { return Layers_[layerId]; }
  // The layers appended to since the last Clear (some maybe left empty).
  const std::vector<uint8_t>& Touched() const { return TouchedIds_; }
  // Drops the elements (not the extent).
  void Clear();
  // Grows the extent by a point and everything within `reach` of it.
  void Extend(double x, double y, double reach = 0) { Extent_.Add(x, y, reach); }
  const TExtent& Extent() const { return Extent_; }

 private:
  std::array<std::string, kLayerCount> Layers_;
  std::array<bool, kLayerCount> Touched_{};
  std::vector<uint8_t> TouchedIds_;
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
