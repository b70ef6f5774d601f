// Polygons, split planes and whole planes as zones; dimensions.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "BoardStore.h"
#include "Kinds.h"
#include "KicadContext.h"
#include "ObjectStore.h"

namespace pcb9host::kicad {

namespace {

struct TRealPoint {
  double X, Y;  // host units
};

double Distance2(TRealPoint a, TRealPoint b) {
  return (a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y);
}

// The turn of an outline arc in degrees, in (0, 360]; 0 for an entry
// without a usable arc.
double ArcSweep(const morvik::TSegment& segment) {
  if (segment.SegKind != 1 || segment.SegRadius <= 0) return 0;
  const double start = segment.SegStartAngle, sweep = segment.SegEndAngle - start;
  if (!std::isfinite(start) || !std::isfinite(sweep)) return 0;
  const double turn = std::fmod(sweep, 360.0);
  return turn <= 0 ? turn + 360 : turn;
}

// The points strictly between two outline vertices joined by the arc of
// `segment` in `pieces` straight pieces, walked from `from` towards `to`.
void ArcPoints(const morvik::TSegment& segment, TRealPoint from, int pieces, std::vector<TRealPoint>& points) {
  const double start = segment.SegStartAngle, sweep = ArcSweep(segment);
  const TRealPoint centre{static_cast<double>(segment.SegCenterX), static_cast<double>(segment.SegCenterY)};
  const double radius = segment.SegRadius;
  auto at = [&](double degrees) {
    double c, s;
    CosSin(degrees, c, s);
    return TRealPoint{centre.X + radius * c, centre.Y + radius * s};
  };
  // The outline may run along the arc either way.
  const bool backwards = Distance2(at(start), from) > Distance2(at(start + sweep), from);
  for (int k = 1; k < pieces; ++k) {
    const double t = sweep * k / pieces;
    points.push_back(at(backwards ? start + sweep - t : start + t));
  }
}

std::vector<TRealPoint> OutlinePoints(TContext& c, const morvik::TObject& object) {
  const std::vector<morvik::TSegment> segments = morvik::StoredSegments(object);
  std::vector<int> pieces(segments.size(), 0);
  for (size_t i = 0; i < segments.size(); ++i)
    if (const double sweep = ArcSweep(segments[i]); sweep > 0) {
      pieces[i] = OutlineArcPieces(segments[i].SegRadius, sweep);
      c.Report.Note("arc of an outline", "straight pieces, as few as keep within 0.05 mm of the arc, "
                                         "no finer than 5 degrees a piece");
    }
  if (ShareOutArcPieces(pieces, kMaxOutlineArcPoints))
    c.Report.Note("outline whose arcs take more than " + std::to_string(kMaxOutlineArcPoints) + " points",
                  "coarser pieces, the points shared out among its arcs in proportion");
  std::vector<TRealPoint> points;
  for (size_t i = 0; i < segments.size(); ++i) {
    const TRealPoint vertex{static_cast<double>(segments[i].SegX), static_cast<double>(segments[i].SegY)};
    points.push_back(vertex);
    if (pieces[i] > 0) ArcPoints(segments[i], vertex, pieces[i], points);
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

// The KiCad net of a plane: the net the plane names, as the document
// names it (never a net that took that name in KiCad). The board keeps only
// the name; of several nets of that name the last in the file is taken.
int32_t PlaneNet(TContext& c, const std::string& name) {
  const auto named = c.NetsNamed.find(name);
  if (named == c.NetsNamed.end()) return 0;
  if (named->second.size() > 1)
    c.Report.Note("internal plane whose net name several nets have", "a zone of the last of them in the file");
  return named->second.back();
}

}  // namespace

int OutlineArcPieces(double radius, double sweep) {
  constexpr double kMaxStray = 0.05 / 2.54e-6;  // 0.05 mm in host units
  constexpr double kMinTurn = 5;                 // degrees
  if (!(sweep > 0) || !(radius > 0)) return 1;
  const int finest = static_cast<int>(std::ceil(std::min(sweep, 360.0) / kMinTurn));
  // A piece turning t degrees strays radius * (1 - cos(t / 2)) from the arc.
  const double cosine = 1 - kMaxStray / radius;
  if (cosine <= -1) return 1;
  const double turn = 2 * std::acos(cosine) * 180 / std::numbers::pi;
  const double needed = std::ceil(sweep / turn);
  return needed < finest ? std::max(1, static_cast<int>(needed)) : finest;
}

bool ShareOutArcPieces(std::vector<int>& pieces, int64_t points) {
  int64_t wanted = 0;
  for (int n : pieces) wanted += std::max(n - 1, 0);
  if (wanted <= points) return false;
  for (int& n : pieces)
    if (n > 1) n = 1 + static_cast<int>((n - 1) * points / wanted);
  return true;
}

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
    const int32_t net = PlaneNet(c, name);
    if (net == 0) {
      c.Report.Note("internal plane whose net is not on the board", "an inner layer without a zone");
      continue;
    }
    c.Report.Note("internal plane", "an inner copper layer with a zone of its net over the board");
    const double l = static_cast<double>(c.Left), b = static_cast<double>(c.Bottom);
    const double r = static_cast<double>(c.Right), t = static_cast<double>(c.Top);
    WriteZone(c, net, c.Layers.CopperOf(id), 0, {{l, b}, {r, b}, {r, t}, {l, t}});
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
