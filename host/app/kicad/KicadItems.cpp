// Tracks, arcs, vias, fills and texts: copper with nets on the board,
// graphics elsewhere and in footprints.
#include <cmath>
#include <numbers>

#include "BoardStore.h"
#include "Kinds.h"
#include "KicadContext.h"

namespace pcb9host::kicad {

namespace {

const char* Prefix(const TFrame& frame) { return frame.InFootprint ? "fp_" : "gr_"; }

std::string Keyword(const TFrame& frame, std::string_view item) {
  return Prefix(frame) + std::string(item);
}

void WriteStroke(TContext& c, std::string_view layer, int64_t width) {
  c.Out.Open("layer").Text(layer).Close().Open("width").Nm(UnitsToNm(width)).Close();
}

// A point on a host circle at `degrees`, as KiCad nanometres on the board.
void CirclePoint(const TContext& c, const morvik::TObject& arc, double degrees, double& x, double& y) {
  double cs, sn;
  CosSin(degrees, cs, sn);
  const double radius = static_cast<double>(static_cast<int32_t>(arc.Int("Radius")));
  x = c.RealX(static_cast<double>(static_cast<int32_t>(arc.Int("X"))) + radius * cs);
  y = c.RealY(static_cast<double>(static_cast<int32_t>(arc.Int("Y"))) + radius * sn);
}

}  // namespace

void CosSin(double degrees, double& c, double& s) {
  double turn = std::fmod(degrees, 360.0);
  if (turn < 0) turn += 360.0;
  if (turn == 0 || turn == 90 || turn == 180 || turn == 270) {
    const int quarter = static_cast<int>(turn / 90);
    static constexpr double kCos[] = {1, 0, -1, 0}, kSin[] = {0, 1, 0, -1};
    c = kCos[quarter];
    s = kSin[quarter];
    return;
  }
  const double radians = turn * std::numbers::pi / 180.0;
  c = std::cos(radians);
  s = std::sin(radians);
}

TPoint TFrame::Map(double x, double y) const {
  if (!InFootprint) return {std::llround(x), std::llround(y)};
  double cs, sn;
  CosSin(Angle, cs, sn);
  const double dx = x - static_cast<double>(Origin.X), dy = y - static_cast<double>(Origin.Y);
  // KiCad turns a footprint's items by its angle (counter-clockwise on
  // screen, y down); undo that.
  return {std::llround(dx * cs - dy * sn), std::llround(dx * sn + dy * cs)};
}

const morvik::TObject* TContext::Live(int64_t handle) const {
  if (handle <= 0 || handle > UINT32_MAX) return nullptr;
  const morvik::TObject* object =
      const_cast<morvik::TDocument&>(Doc).Find(static_cast<uint32_t>(handle));
  return object && !object->Deleted ? object : nullptr;
}

unsigned TContext::LayerId(const morvik::TObject& object) {
  const int64_t code = object.Int("Layer");
  return code >= 0 && code < static_cast<int64_t>(kHostLayerCount) ? static_cast<unsigned>(code) : 0;
}

void WriteNet(TContext& c, int32_t net) { c.Out.Open("net").Int(net).Close(); }

void WritePoint(TContext& c, std::string_view keyword, const TFrame& frame, TPoint p) {
  const TPoint mapped = frame.Map(p);
  c.Out.Point(keyword, mapped.X, mapped.Y);
}

void WriteTrack(TContext& c, const morvik::TObject& track, const TFrame& frame, int32_t net) {
  const unsigned id = TContext::LayerId(track);
  const TPoint start = c.At(track);
  const TPoint end = c.At(track, "X2", "Y2");
  const bool copper = c.Layers.IsCopper(id);
  if (copper && !frame.InFootprint) {
    c.Out.Open("segment");
    WritePoint(c, "start", frame, start);
    WritePoint(c, "end", frame, end);
    c.Out.Open("width").Nm(UnitsToNm(static_cast<int32_t>(track.Int("Width")))).Close();
    c.Out.Open("layer").Text(c.LayerOf(track)).Close();
    WriteNet(c, net);
    c.Out.Close();
    c.Report.Wrote("segment");
    return;
  }
  if (copper)
    c.Report.Note("copper track of a component",
                  "a line of the footprint on its copper layer (KiCad footprints hold no tracks)");
  c.Out.Open(Keyword(frame, "line"));
  WritePoint(c, "start", frame, start);
  WritePoint(c, "end", frame, end);
  WriteStroke(c, c.LayerOf(track), static_cast<int32_t>(track.Int("Width")));
  c.Out.Close();
  c.Report.Wrote("line");
}

void WriteArc(TContext& c, const morvik::TObject& arc, const TFrame& frame, int32_t net) {
  const double start = arc.Real("StartAngle");
  double sweep = arc.Real("EndAngle") - start;
  if (!std::isfinite(sweep)) sweep = 360;
  sweep = std::fmod(sweep, 360.0);
  if (sweep <= 0) sweep += 360;
  const unsigned id = TContext::LayerId(arc);
  const bool track = c.Layers.IsCopper(id) && !frame.InFootprint;
  const std::string layer(c.LayerOf(arc));
  const int64_t width = static_cast<int32_t>(arc.Int("Width"));
  double x, y;
  if (sweep >= 360 && !track) {
    c.Out.Open(Keyword(frame, "circle"));
    WritePoint(c, "center", frame, c.At(arc));
    CirclePoint(c, arc, 0, x, y);
    c.Out.Point("end", frame.Map(x, y).X, frame.Map(x, y).Y);
    WriteStroke(c, layer, width);
    c.Out.Close();
    c.Report.Wrote("circle");
    return;
  }
  // KiCad's copper arcs turn less than a full circle: a copper circle is
  // written as two halves.
  const int pieces = sweep >= 360 ? 2 : 1;
  if (pieces == 2) c.Report.Note("copper circle", "two copper arcs of half a circle each");
  if (c.Layers.IsCopper(id) && frame.InFootprint)
    c.Report.Note("copper arc of a component",
                  "an arc of the footprint on its copper layer (KiCad footprints hold no tracks)");
  const double step = sweep / pieces;
  for (int piece = 0; piece < pieces; ++piece) {
    const double from = start + step * piece;
    c.Out.Open(track ? "arc" : Keyword(frame, "arc"));
    const double angles[] = {from, from + step / 2, from + step};
    const char* names[] = {"start", "mid", "end"};
    for (int k = 0; k < 3; ++k) {
      CirclePoint(c, arc, angles[k], x, y);
      const TPoint p = frame.Map(x, y);
      c.Out.Point(names[k], p.X, p.Y);
    }
    if (track) {
      c.Out.Open("width").Nm(UnitsToNm(width)).Close().Open("layer").Text(layer).Close();
      WriteNet(c, net);
    } else {
      WriteStroke(c, layer, width);
    }
    c.Out.Close();
    c.Report.Wrote(track ? "arc" : "graphic arc");
  }
}

void WriteVia(TContext& c, const morvik::TObject& via, int32_t net) {
  const auto start = static_cast<unsigned>(via.Int("StartLayer"));
  const auto end = static_cast<unsigned>(via.Int("EndLayer"));
  std::string from = c.Layers.CopperOf(start), to = c.Layers.CopperOf(end);
  const bool through = (from == "F.Cu" && to == "B.Cu") || (from == "B.Cu" && to == "F.Cu");
  if (!through && (from.empty() || to.empty() || from == to)) {
    c.Report.Note("via without two copper layers", "a through via");
    from = "F.Cu";
    to = "B.Cu";
  }
  const bool blind = from != "F.Cu" || to != "B.Cu";
  c.Out.Open("via");
  if (blind && !through) c.Out.Atom("blind");
  c.Out.Point("at", c.At(via).X, c.At(via).Y);
  c.Out.Open("size").Nm(UnitsToNm(static_cast<int32_t>(via.Int("Size")))).Close();
  c.Out.Open("drill").Nm(UnitsToNm(static_cast<int32_t>(via.Int("HoleSize")))).Close();
  c.Out.Open("layers").Text(from).Text(to).Close();
  WriteNet(c, net);
  c.Out.Close();
  c.Report.Wrote("via");
}

namespace {

// The corners of a fill: the rectangle turned about its centre.
std::array<std::pair<double, double>, 4> FillCorners(const TContext& c, const morvik::TObject& fill) {
  const double x1 = static_cast<int32_t>(fill.Int("X")), y1 = static_cast<int32_t>(fill.Int("Y"));
  const double x2 = static_cast<int32_t>(fill.Int("X2")), y2 = static_cast<int32_t>(fill.Int("Y2"));
  const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  double cs, sn;
  CosSin(fill.Real("Rotation"), cs, sn);
  std::array<std::pair<double, double>, 4> corners{
      {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}};
  for (auto& [x, y] : corners) {
    const double dx = x - cx, dy = y - cy;
    x = c.RealX(cx + dx * cs - dy * sn);
    y = c.RealY(cy + dx * sn + dy * cs);
  }
  return corners;
}

void WriteCorners(TContext& c, const TFrame& frame, const morvik::TObject& fill) {
  c.Out.Open("pts");
  for (const auto& [x, y] : FillCorners(c, fill)) {
    const TPoint p = frame.Map(x, y);
    c.Out.Point("xy", p.X, p.Y);
  }
  c.Out.Close();
}

}  // namespace

void WriteFill(TContext& c, const morvik::TObject& fill, const TFrame& frame, int32_t net) {
  const unsigned id = TContext::LayerId(fill);
  const std::string layer(c.LayerOf(fill));
  if (c.Layers.IsCopper(id) && !frame.InFootprint) {
    // A zone keeps the fill's net; its filled area is the rectangle itself.
    c.Report.Note("copper fill", "a zone of its net, filled as the rectangle");
    c.Out.Open("zone");
    WriteNet(c, net);
    c.Out.Open("net_name").Text(c.NetNames[static_cast<size_t>(net)]).Close();
    c.Out.Open("layer").Text(layer).Close();
    c.Out.Open("hatch").Atom("edge").Nm(508000).Close();
    c.Out.Open("priority").Int(2).Close();
    c.Out.Open("connect_pads").Atom("yes").Open("clearance").Nm(0).Close().Close();
    c.Out.Open("min_thickness").Nm(UnitsToNm(1)).Close();
    c.Out.Open("fill").Atom("yes").Open("island_removal_mode").Int(1).Close().Close();
    c.Out.Open("polygon");
    WriteCorners(c, frame, fill);
    c.Out.Close();
    c.Out.Open("filled_polygon").Open("layer").Text(layer).Close();
    WriteCorners(c, frame, fill);
    c.Out.Close().Close();
    c.Report.Wrote("zone");
    return;
  }
  c.Out.Open(Keyword(frame, "poly"));
  WriteCorners(c, frame, fill);
  WriteStroke(c, layer, 0);
  c.Out.Open("fill").Atom("solid").Close();
  c.Out.Close();
  c.Report.Wrote("polygon");
}

void WriteText(TContext& c, const morvik::TObject& text, const TFrame& frame, std::string_view kind,
               bool hidden) {
  if (frame.InFootprint)
    c.Out.Open("fp_text").Atom(kind).Text(text.Text("Text"));
  else
    c.Out.Open("gr_text").Text(text.Text("Text"));
  const TPoint at = frame.Map(c.At(text));
  // KiCad keeps a text's angle on the board, also in a footprint.
  c.Out.Open("at").Nm(at.X).Nm(at.Y).Real(text.Real("Rotation")).Close();
  c.Out.Open("layer").Text(c.LayerOf(text)).Close();
  if (hidden) c.Out.Atom("hide");
  const int64_t height = UnitsToNm(static_cast<int32_t>(text.Int("Height")));
  c.Out.Open("effects").Open("font").Open("size").Nm(height).Nm(height).Close();
  c.Out.Open("thickness").Nm(UnitsToNm(static_cast<int32_t>(text.Int("Width")))).Close().Close();
  // The old editor places a text by its lower left corner.
  c.Out.Open("justify").Atom("left").Atom("bottom");
  if (text.Int("Mirrored") != 0) c.Out.Atom("mirror");
  c.Out.Close().Close().Close();
  c.Report.Wrote("text");
}

}  // namespace pcb9host::kicad
