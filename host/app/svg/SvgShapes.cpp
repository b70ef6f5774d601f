#include "SvgShapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "SvgCanvas.h"
#include "SvgLayers.h"

namespace pcb9host::svg {

namespace {

constexpr int64_t kFullStack = 2;
constexpr uint8_t kFirstMidLayer = 2;

enum class TShape : uint8_t { None, Round, Rectangle, Octagon, RoundedRectangle };

struct TShapeRow {
  int64_t Code;
  TShape Shape;
};

// The pad shape codes; any other code is drawn as a rectangle.
constexpr TShapeRow kShapes[] = {
    {0, TShape::None},
    {1, TShape::Round},
    {2, TShape::Rectangle},
    {3, TShape::Octagon},
    {9, TShape::RoundedRectangle},
};

TShape ShapeOfCode(int64_t code) {
  for (const TShapeRow& row : kShapes)
    if (row.Code == code) return row.Shape;
  return TShape::Rectangle;
}

// Cut of a regular octagon's corner along each side, as a part of its
// width: (w - w / (1 + sqrt 2)) / 2.
const double kOctagonCut = 1.0 - 1.0 / std::numbers::sqrt2;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

void AppendPoint(std::string& out, double x, double y) {
  AppendX(out, x);
  out += ' ';
  AppendY(out, y);
}

void AppendOctagon(std::string& out, double x, double y, double w, double h, double rotation) {
  const double c = std::min(w, h) * kOctagonCut, l = x - w / 2, r = x + w / 2, b = y - h / 2,
               t = y + h / 2;
  const double points[8][2] = {{l + c, b}, {r - c, b}, {r, b + c}, {r, t - c},
                               {r - c, t}, {l + c, t}, {l, t - c}, {l, b + c}};
  out += "<polygon class=\"s\" points=\"";
  for (const auto& p : points) {
    AppendPoint(out, p[0], p[1]);
    out += ' ';
  }
  out.back() = '"';
  AppendRotation(out, rotation, x, y);
  out += "/>";
}

// The ends of an arc, start first.
struct TArcEnds {
  double StartX, StartY, EndX, EndY;
  bool Large;
};

TArcEnds ArcEnds(double x, double y, double radius, double start, double end) {
  double span = std::fmod(end - start, 360.0);
  if (span < 0) span += 360.0;
  return {x + radius * std::cos(Radians(start)), y + radius * std::sin(Radians(start)),
          x + radius * std::cos(Radians(end)), y + radius * std::sin(Radians(end)), span > 180.0};
}

bool IsArc(double radius, double start, double end) {
  return radius > 0 && std::isfinite(start) && std::isfinite(end) && !IsWholeCircle(start, end);
}

// ` A ...` to (toX, toY); the board turns counter-clockwise where the
// picture, its y flipped, turns the other way.
void AppendArcTo(std::string& out, double radius, bool large, bool counterClockwise, double toX,
                 double toY) {
  out += " A ";
  AppendMils(out, radius);
  out += ' ';
  AppendMils(out, radius);
  out += large ? " 0 1 " : " 0 0 ";
  out += counterClockwise ? "0 " : "1 ";
  AppendPoint(out, toX, toY);
}

}  // namespace

void AppendRect(std::string& out, double x, double y, double w, double h, double corner,
                double rotation) {
  out += "<rect class=\"s\"";
  AppendLengthAttribute(out, "x", x - w / 2);
  out += " y=\"";
  AppendY(out, y + h / 2);
  out += '"';
  AppendLengthAttribute(out, "width", w);
  AppendLengthAttribute(out, "height", h);
  if (corner > 0) AppendLengthAttribute(out, "rx", corner);
  AppendRotation(out, rotation, x, y);
  out += "/>";
}

TPadLayer PadOnLayer(const morvik::TObject& pad, uint8_t layerId) {
  TPadLayer layer;
  const bool fullStack = pad.Int("StackMode") == kFullStack;
  if (!fullStack && IsCopperLayer(layerId)) {
    const std::string group = layerId == kTopLayer ? "Top" : layerId == kBottomLayer ? "Bottom" : "Mid";
    layer.XSize = pad.Int(group + "XSize");
    layer.YSize = pad.Int(group + "YSize");
    layer.Shape = pad.Int(group + "Shape");
    // The mid layers share the percentage kept on the first of them.
    const uint8_t shared = layerId == kTopLayer || layerId == kBottomLayer ? layerId : kFirstMidLayer;
    if (ShapeOfCode(layer.Shape) == TShape::RoundedRectangle)
      layer.CornerPercent = morvik::LayerArrayValues(pad, morvik::kLayerCornerPercent)[shared];
    return layer;
  }
  layer.XSize = morvik::LayerArrayValues(pad, morvik::kLayerXSize)[layerId];
  layer.YSize = morvik::LayerArrayValues(pad, morvik::kLayerYSize)[layerId];
  layer.Shape = morvik::LayerArrayValues(pad, morvik::kLayerShape)[layerId];
  layer.CornerPercent = morvik::LayerArrayValues(pad, morvik::kLayerCornerPercent)[layerId];
  return layer;
}

void AppendPadShape(std::string& out, const TPadLayer& pad, double x, double y, double rotation) {
  const double w = static_cast<double>(pad.XSize), h = static_cast<double>(pad.YSize);
  const TShape shape = ShapeOfCode(pad.Shape);
  if (shape == TShape::None || w <= 0 || h <= 0) return;
  const double half = std::min(w, h) / 2;
  switch (shape) {
    case TShape::Round:
      if (w != h) return AppendRect(out, x, y, w, h, half, rotation);
      out += "<circle class=\"s\"";
      AppendLengthAttribute(out, "cx", x);
      out += " cy=\"";
      AppendY(out, y);
      out += '"';
      AppendLengthAttribute(out, "r", half);
      out += "/>";
      return;
    case TShape::Octagon: return AppendOctagon(out, x, y, w, h, rotation);
    case TShape::RoundedRectangle: {
      const double percent = static_cast<double>(std::clamp<int64_t>(pad.CornerPercent, 0, 100));
      return AppendRect(out, x, y, w, h, half * percent / 100.0, rotation);
    }
    default: return AppendRect(out, x, y, w, h, 0, rotation);
  }
}

bool IsWholeCircle(double start, double end) { return std::fmod(end - start, 360.0) == 0; }

std::string ArcPath(double x, double y, double radius, double start, double end) {
  if (!IsArc(radius, start, end)) return {};
  const TArcEnds ends = ArcEnds(x, y, radius, start, end);
  std::string d = "M ";
  AppendPoint(d, ends.StartX, ends.StartY);
  AppendArcTo(d, radius, ends.Large, true, ends.EndX, ends.EndY);
  return d;
}

std::string OutlinePath(const std::vector<morvik::TSegment>& segments) {
  std::string d;
  if (segments.empty()) return d;
  d += "M ";
  AppendPoint(d, segments[0].SegX, segments[0].SegY);
  for (size_t k = 0; k < segments.size(); ++k) {
    const morvik::TSegment& s = segments[k];
    if (s.SegKind == 1 && IsArc(s.SegRadius, s.SegStartAngle, s.SegEndAngle)) {
      // The arc runs from this vertex to the next; its data does not say
      // which of its ends lies at this vertex, so the nearer one does.
      const TArcEnds e = ArcEnds(s.SegCenterX, s.SegCenterY, s.SegRadius, s.SegStartAngle, s.SegEndAngle);
      const bool fromStart = std::hypot(e.StartX - s.SegX, e.StartY - s.SegY) <=
                             std::hypot(e.EndX - s.SegX, e.EndY - s.SegY);
      d += " L ";
      AppendPoint(d, fromStart ? e.StartX : e.EndX, fromStart ? e.StartY : e.EndY);
      AppendArcTo(d, s.SegRadius, e.Large, fromStart, fromStart ? e.EndX : e.StartX,
                  fromStart ? e.EndY : e.StartY);
    }
    if (k + 1 < segments.size()) {
      d += " L ";
      AppendPoint(d, segments[k + 1].SegX, segments[k + 1].SegY);
    }
  }
  d += " Z";
  return d;
}

}  // namespace pcb9host::svg
