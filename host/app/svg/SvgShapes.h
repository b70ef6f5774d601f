#pragma once
// Shapes that several kinds of object share: pad shapes and outlines made
// of straight and arc segments.
#include <cstdint>
#include <string>
#include <vector>

#include "ObjectStore.h"

namespace pcb9host::svg {

// A pad's copper on one layer.
struct TPadLayer {
  int64_t XSize = 0, YSize = 0, Shape = 0, CornerPercent = 0;
};

// The pad of a layer as the host answers for it: in the full stack mode
// every layer has entries of its own; otherwise the copper layers take the
// top, mid or bottom values and the others their own entries.
TPadLayer PadOnLayer(const morvik::TObject& pad, uint8_t layerId);

// A solid rectangle of w by h centred on (x, y), its corners rounded by
// `corner`, turned by `rotation` degrees about its centre.
void AppendRect(std::string& out, double x, double y, double w, double h, double corner,
                double rotation);

// The element of a pad shape centred on (x, y), turned by `rotation`
// degrees; nothing for shape code 0 or a size of 0.
void AppendPadShape(std::string& out, const TPadLayer& pad, double x, double y, double rotation);

// The path data of an outline: its vertices joined in order and closed,
// an entry with arc data joined to the next vertex along its arc.
std::string OutlinePath(const std::vector<morvik::TSegment>& segments);

// `d` of an arc from `start` to `end` degrees counter-clockwise about
// (x, y); empty when the angles do not describe an arc.
std::string ArcPath(double x, double y, double radius, double start, double end);
// True when the turn from `start` to `end` counter-clockwise is a whole circle.
bool IsWholeCircle(double start, double end);

}  // namespace pcb9host::svg
