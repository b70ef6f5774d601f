#include "SvgPrimitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "Kinds.h"
#include "SvgShapes.h"

namespace pcb9host::svg {

namespace {

using morvik::TObject;

constexpr double kMil = 10000;
// Outlines of pours and split planes, and the lines of a dimension that
// gives no width of its own.
constexpr double kOutlineWidth = 5 * kMil;
// The font's capitals stand this part of its size high; a board text's
// height is the height of its capitals.
constexpr double kCapitalHeight = 0.73;
constexpr double kCharacterWidth = 0.6;  // of the font size, monospaced

uint8_t LayerOf(const TObject& object) { return LayerIdOfCode(object.Int("Layer")); }

double X(const TObject& o) { return static_cast<double>(o.Int("X")); }
double Y(const TObject& o) { return static_cast<double>(o.Int("Y")); }

void AppendCentre(std::string& out, double x, double y) {
  AppendLengthAttribute(out, "cx", x);
  out += " cy=\"";
  AppendY(out, y);
  out += '"';
}

void AppendLine(std::string& out, double x1, double y1, double x2, double y2, double width) {
  out += "<line x1=\"";
  AppendX(out, x1);
  out += "\" y1=\"";
  AppendY(out, y1);
  out += "\" x2=\"";
  AppendX(out, x2);
  out += "\" y2=\"";
  AppendY(out, y2);
  out += '"';
  AppendLengthAttribute(out, "stroke-width", width);
  out += "/>";
}

void AppendCircle(std::string& out, const char* cssClass, double x, double y, double radius,
                  double width = 0) {
  out += "<circle class=\"";
  out += cssClass;
  out += '"';
  AppendCentre(out, x, y);
  AppendLengthAttribute(out, "r", radius);
  if (width > 0) AppendLengthAttribute(out, "stroke-width", width);
  out += "/>";
}

// Placed at its lower left corner, turned about it; mirrored, it reads
// from right to left.
void AppendText(std::string& out, std::string_view text, double x, double y, double height,
                double rotation, bool mirrored) {
  out += "<text class=\"t\"";
  AppendLengthAttribute(out, "font-size", height / kCapitalHeight);
  if (!std::isfinite(rotation)) rotation = 0;
  if (std::fmod(rotation, 360.0) == 0 && !mirrored) {
    AppendLengthAttribute(out, "x", x);
    out += " y=\"";
    AppendY(out, y);
    out += '"';
  } else {
    out += " transform=\"translate(";
    AppendX(out, x);
    out += ' ';
    AppendY(out, y);
    out += ") rotate(";
    AppendNumber(out, -std::fmod(rotation, 360.0));
    out += mirrored ? ") scale(-1 1)\"" : ")\"";
  }
  out += '>';
  out += XmlText(text);
  out += "</text>";
}

// Grows the extent by the box a text covers: from its anchor along its
// direction (backwards when mirrored) and up by its height.
void ExtendByText(TCanvas& canvas, std::string_view text, double x, double y, double height,
                  double rotation, bool mirrored) {
  const double length = static_cast<double>(text.size()) * kCharacterWidth * height / kCapitalHeight;
  const double turn = std::isfinite(rotation) ? rotation * std::numbers::pi / 180.0 : 0;
  const double ax = std::cos(turn) * (mirrored ? -length : length), ay = std::sin(turn) * (mirrored ? -length : length);
  const double ux = -std::sin(turn) * height, uy = std::cos(turn) * height;
  canvas.Extend(x, y);
  canvas.Extend(x + ax, y + ay);
  canvas.Extend(x + ux, y + uy);
  canvas.Extend(x + ax + ux, y + ay + uy);
}

void DrawTrack(const TObject& track, TCanvas& canvas) {
  const double width = static_cast<double>(std::max<int64_t>(0, track.Int("Width")));
  const double x2 = static_cast<double>(track.Int("X2")), y2 = static_cast<double>(track.Int("Y2"));
  AppendLine(canvas.On(LayerOf(track)), X(track), Y(track), x2, y2, width);
  canvas.Extend(X(track), Y(track), width / 2);
  canvas.Extend(x2, y2, width / 2);
}

void DrawArc(const TObject& arc, TCanvas& canvas) {
  const double radius = static_cast<double>(arc.Int("Radius"));
  const double width = static_cast<double>(std::max<int64_t>(0, arc.Int("Width")));
  const double start = arc.Real("StartAngle"), end = arc.Real("EndAngle");
  if (radius <= 0 || !std::isfinite(start) || !std::isfinite(end)) return;
  std::string& out = canvas.On(LayerOf(arc));
  if (IsWholeCircle(start, end)) {
    AppendCircle(out, "a", X(arc), Y(arc), radius, width);
  } else {
    out += "<path class=\"a\" d=\"";
    out += ArcPath(X(arc), Y(arc), radius, start, end);
    out += '"';
    AppendLengthAttribute(out, "stroke-width", width);
    out += "/>";
  }
  canvas.Extend(X(arc), Y(arc), radius + width / 2);
}

void DrawVia(const TObject& via, TCanvas& canvas) {
  const double size = static_cast<double>(via.Int("Size")), hole = static_cast<double>(via.Int("HoleSize"));
  if (size > 0) AppendCircle(canvas.On(LayerOf(via)), "s", X(via), Y(via), size / 2);
  if (hole > 0) AppendCircle(canvas.On(kViaHoleLayer), "s", X(via), Y(via), hole / 2);
  canvas.Extend(X(via), Y(via), std::max(size, hole) / 2);
}

void DrawFill(const TObject& fill, TCanvas& canvas) {
  const double x1 = X(fill), y1 = Y(fill);
  const double x2 = static_cast<double>(fill.Int("X2")), y2 = static_cast<double>(fill.Int("Y2"));
  const double w = std::abs(x2 - x1), h = std::abs(y2 - y1);
  const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  AppendRect(canvas.On(LayerOf(fill)), cx, cy, w, h, 0, fill.Real("Rotation"));
  canvas.Extend(cx, cy, std::hypot(w, h) / 2);
}

// A pad's copper: a through-hole pad (on MultiLayer) as its top shape, any
// other pad as the shape of its own layer; then its hole.
void DrawPad(const TObject& pad, TCanvas& canvas) {
  const uint8_t layer = LayerOf(pad);
  TPadLayer shape = PadOnLayer(pad, layer == kMultiLayer ? kTopLayer : layer);
  // A pad on a drawing layer keeps its sizes in the top values.
  if (shape.XSize == 0 && shape.YSize == 0 && !IsCopperLayer(layer)) shape = PadOnLayer(pad, kTopLayer);
  const double rotation = pad.Real("Rotation");
  AppendPadShape(canvas.On(layer), shape, X(pad), Y(pad), std::isfinite(rotation) ? rotation : 0);
  const double hole = static_cast<double>(pad.Int("HoleSize"));
  if (hole > 0) AppendCircle(canvas.On(kPadHoleLayer), "s", X(pad), Y(pad), hole / 2);
  canvas.Extend(X(pad), Y(pad),
                std::max(std::hypot(static_cast<double>(shape.XSize), static_cast<double>(shape.YSize)), hole) / 2);
}

void DrawText(const TObject& text, TCanvas& canvas) {
  const std::string value = text.Text("Text");
  if (value.empty()) return;
  const uint8_t layer = LayerOf(text);
  const double height = static_cast<double>(std::max<int64_t>(0, text.Int("Height")));
  const bool mirrored = text.Int("Mirrored") != 0 || IsBottomSideLayer(layer);
  AppendText(canvas.On(layer), value, X(text), Y(text), height, text.Real("Rotation"), mirrored);
  ExtendByText(canvas, value, X(text), Y(text), height, text.Real("Rotation"), mirrored);
}

// Pours and split planes: the area their outline encloses.
void DrawOutline(const TObject& outline, TCanvas& canvas) {
  const std::vector<morvik::TSegment> segments = morvik::StoredSegments(outline);
  if (segments.empty()) return;
  std::string& out = canvas.On(LayerOf(outline));
  out += "<path class=\"z\" d=\"";
  out += OutlinePath(segments);
  out += '"';
  AppendLengthAttribute(out, "stroke-width", kOutlineWidth);
  out += "/>";
  for (const morvik::TSegment& s : segments) {
    canvas.Extend(s.SegX, s.SegY, kOutlineWidth);
    if (s.SegKind == 1) canvas.Extend(s.SegCenterX, s.SegCenterY, std::max(0, s.SegRadius));
  }
}

bool HasTextMember(const TObject& group) {
  morvik::TDocument& document = morvik::TDocument::Instance();
  return std::any_of(group.Lists.Members().begin(), group.Lists.Members().end(), [&document](uint32_t handle) {
    const TObject* member = document.Find(handle);
    return member && !member->Deleted && member->Kind == morvik::kKindText;
  });
}

// A dimension measures from its point to its first coordinate pair: a line
// with a tick at each end, and its length when no text of its own says it.
void DrawDimension(const TObject& dimension, TCanvas& canvas) {
  const double x1 = X(dimension), y1 = Y(dimension);
  const double x2 = static_cast<double>(dimension.Int("DimCoord1"));
  const double y2 = static_cast<double>(dimension.Int("DimCoord2"));
  const double length = std::hypot(x2 - x1, y2 - y1);
  if (length == 0) return;
  const int64_t givenHeight = dimension.Int("DimCoord4"), givenWidth = dimension.Int("DimCoord5");
  const double height = givenHeight > 0 ? static_cast<double>(givenHeight) : 60 * kMil;
  const double width = givenWidth > 0 ? static_cast<double>(givenWidth) : kOutlineWidth;
  // Ticks across the line, as long as the text is high.
  const double nx = -(y2 - y1) / length * height / 2, ny = (x2 - x1) / length * height / 2;
  std::string& out = canvas.On(LayerOf(dimension));
  AppendLine(out, x1, y1, x2, y2, width);
  AppendLine(out, x1 - nx, y1 - ny, x1 + nx, y1 + ny, width);
  AppendLine(out, x2 - nx, y2 - ny, x2 + nx, y2 + ny, width);
  canvas.Extend(x1, y1, height);
  canvas.Extend(x2, y2, height);
  if (HasTextMember(dimension)) return;
  std::string value;
  AppendMils(value, length);
  value += "mil";
  const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / std::numbers::pi;
  AppendText(out, value, (x1 + x2) / 2 + nx, (y1 + y2) / 2 + ny, height, angle, false);
}

struct TDrawerRow {
  uint8_t Kind;
  TDrawObject Draw;
};

constexpr TDrawerRow kDrawers[] = {
    {morvik::kKindTrack, DrawTrack},         {morvik::kKindArc, DrawArc},
    {morvik::kKindVia, DrawVia},             {morvik::kKindFill, DrawFill},
    {morvik::kKindPad, DrawPad},             {morvik::kKindText, DrawText},
    {morvik::kKindPolygon, DrawOutline},     {morvik::kKindSplitPlane, DrawOutline},
    {morvik::kKindDimension, DrawDimension},
};

}  // namespace

TDrawObject DrawerOfKind(uint8_t kind) {
  for (const TDrawerRow& row : kDrawers)
    if (row.Kind == kind) return row.Draw;
  return nullptr;
}

}  // namespace pcb9host::svg
