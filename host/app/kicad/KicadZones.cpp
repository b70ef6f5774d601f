// Polygons, split planes and whole planes as zones; dimensions.
#include <algorithm>
#include <cmath>

#include "BoardStore.h"
#include "Kinds.h"
#include "KicadContext.h"
#include "ObjectStore.h"

namespace pcb9host::kicad {

namespace {

constexpr double kArcStepDegrees = 5;  // a 100 mil radius strays 2.4 um at most

struct TRealPoint {
  double X, Y;  // host units
};

double Distance2(TRealPoint a, TRealPoint b) {
  return (a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y);
}

// The points strictly between two outline vertices joined by the arc of
// `segment`, walked from `from` towards `to`.
void ArcPoints(const morvik::TSegment& segment, TRealPoint from, std::vector<TRealPoint>& points) {
  double start = segment.SegStartAngle, sweep = segment.SegEndAngle - start;
  if (!std::isfinite(start) || !std::isfinite(sweep)) return;
  sweep = std::fmod(sweep, 360.0);
  if (sweep <= 0) sweep += 360;
  const TRealPoint centre{static_cast<double>(segment.SegCenterX), static_cast<double>(segment.SegCenterY)};
  const double radius = segment.SegRadius;
  auto at = [&](double degrees) {
    double c, s;
    CosSin(degrees, c, s);
    return TRealPoint{centre.X + radius * c, centre.Y + radius * s};
  };
  // The outline may run along the arc either way.
  const bool backwards = Distance2(at(start), from) > Distance2(at(start + sweep), from);
  const int steps = std::max(2, static_cast<int>(std::ceil(sweep / kArcStepDegrees)));
  for (int k = 1; k < steps; ++k) {
    const double t = sweep * k / steps;
    points.push_back(at(backwards ? start + sweep - t : start + t));
  }
}

std::vector<TRealPoint> OutlinePoints(TContext& c, const morvik::TObject& object) {
  const std::vector<morvik::TSegment> segments = morvik::StoredSegments(object);
  std::vector<TRealPoint> points;
  for (size_t i = 0; i < segments.size(); ++i) {
    const TRealPoint vertex{static_cast<double>(segments[i].SegX), static_cast<double>(segments[i].SegY)};
    points.push_back(vertex);
    if (segments[i].SegKind == 1 && segments[i].SegRadius > 0) {
      ArcPoints(segments[i], vertex, points);
      c.Report.Note("arc of an outline", "straight pieces of at most 5 degrees");
    }
  }
  return points;
}

void WritePoints(TContext& c, const std::vector<TRealPoint>& points) {
  c.Out.Open("pts");
  for (const TRealPoint& p : points)
    c.Out.Point("xy", std::llround(c.RealX(p.X)), std::llround(c.RealY(p.Y)));
  c.Out.Close();
}

void WriteZone(TContext& c, int32_t net, std::string_view layer, int priority,
               const std::vector<TRealPoint>& points) {
  c.Out.Open("zone");
  WriteNet(c, net);
  c.Out.Open("net_name").Text(c.NetNames[static_cast<size_t>(net)]).Close();
  c.Out.Open("layer").Text(layer).Close();
  c.Out.Open("hatch").Atom("edge").Nm(508000).Close();
  if (priority > 0) c.Out.Open("priority").Int(priority).Close();
  c.Out.Open("connect_pads").Open("clearance").Nm(254000).Close().Close();
  c.Out.Open("min_thickness").Nm(254000).Close();
  c.Out.Open("fill").Open("thermal_gap").Nm(508000).Close().Open("thermal_bridge_width").Nm(508000).Close().Close();
  c.Out.Open("polygon");
  WritePoints(c, points);
  c.Out.Close().Close();
  c.Report.Wrote("zone");
}

}  // namespace

void WritePolygon(TContext& c, const morvik::TObject& polygon) {
  const std::vector<TRealPoint> points = OutlinePoints(c, polygon);
  if (points.size() < 3) {
    c.Report.Note("polygon with fewer than three vertices", "not written");
    return;
  }
  c.Report.Note("polygon pour settings (hatching, grid, pour track width)",
                "not carried: a zone of the polygon's net and outline, to be filled in KiCad; "
                "the pour's own tracks and arcs are kept as copper of its net");
  WriteZone(c, c.NetNumber(polygon.Int("Net")), c.LayerOf(polygon), 1, points);
}

void WriteSplitPlane(TContext& c, const morvik::TObject& plane) {
  const std::vector<TRealPoint> points = OutlinePoints(c, plane);
  if (points.size() < 3) {
    c.Report.Note("split plane with fewer than three vertices", "not written");
    return;
  }
  c.Report.Note("split plane", "a zone of its net on its plane's inner layer, above the plane's own zone");
  WriteZone(c, c.NetNumber(plane.Int("Net")), c.LayerOf(plane), 1, points);
}

void WritePlaneZones(TContext& c) {
  for (unsigned id : c.Layers.Stack()) {
    if (!morvik::IsPlaneLayer(id)) continue;
    const std::string name = c.Board.Text(morvik::IndexedKey("Layers", id, "NetName"));
    if (name.empty() || name == "(No Net)") continue;
    const auto it = std::find(c.NetNames.begin(), c.NetNames.end(), name);
    if (it == c.NetNames.end()) {
      c.Report.Note("internal plane whose net is not on the board", "an inner layer without a zone");
      continue;
    }
    c.Report.Note("internal plane", "an inner copper layer with a zone of its net over the board");
    const double l = static_cast<double>(c.Left), b = static_cast<double>(c.Bottom);
    const double r = static_cast<double>(c.Right), t = static_cast<double>(c.Top);
    WriteZone(c, static_cast<int32_t>(it - c.NetNames.begin()), c.Layers.CopperOf(id), 0,
              {{l, b}, {r, b}, {r, t}, {l, t}});
  }
}

void WriteDimension(TContext& c, const morvik::TObject& dimension) {
  const morvik::TObject* text = nullptr;
  int64_t lineWidth = 100000;
  for (uint32_t handle : dimension.Lists.Members()) {
    const morvik::TObject* member = c.Live(handle);
    if (!member) continue;
    if (member->Kind == morvik::kKindText && !text) text = member;
    if (member->Kind == morvik::kKindTrack) lineWidth = static_cast<int32_t>(member->Int("Width"));
  }
  c.Report.Note("dimension", "a KiCad aligned dimension between its two points, showing the old text; "
                             "its own lines and text are drawn by it");
  const std::string layer(c.LayerOf(dimension));
  c.Out.Open("dimension").Open("type").Atom("aligned").Close();
  c.Out.Open("layer").Text(layer).Close();
  c.Out.Open("pts");
  const TPoint from = c.At(dimension), to = c.At(dimension, "DimCoord1", "DimCoord2");
  c.Out.Point("xy", from.X, from.Y).Point("xy", to.X, to.Y);
  c.Out.Close().Open("height").Nm(0).Close();
  if (text) WriteText(c, *text, TFrame{}, "");
  c.Out.Open("format").Open("units").Int(1).Close().Open("units_format").Int(0).Close();
  c.Out.Open("precision").Int(0).Close();
  if (text) c.Out.Open("override_value").Text(text->Text("Text")).Close();
  c.Out.Close();
  c.Out.Open("style").Open("thickness").Nm(UnitsToNm(lineWidth)).Close();
  c.Out.Open("arrow_length").Nm(1270000).Close().Open("text_position_mode").Int(2).Close();
  c.Out.Open("extension_height").Nm(586420).Close().Open("extension_offset").Nm(0).Close().Close();
  c.Out.Close();
  c.Report.Wrote("dimension");
}

}  // namespace pcb9host::kicad
