#pragma once
// What the item writers of a KiCad export share: the document, the layers,
// the KiCad net numbers, the report and the output, and the geometry that
// turns host coordinates (y up) into KiCad nanometres (y down), relative to a
// footprint where the item belongs to one.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Document.h"
#include "KicadFormat.h"
#include "KicadLayers.h"
#include "KicadReport.h"

namespace pcb9host::kicad {

struct TPoint {
  int64_t X = 0, Y = 0;  // KiCad nanometres, y down
};


// Cosine and sine of an angle in degrees, exact at multiples of 90 degrees.
void CosSin(double degrees, double& c, double& s);

// Where items are written: the board, or a footprint at `Origin` turned by
// `Angle` degrees, whose items KiCad keeps in the footprint's own frame.
struct TFrame {
  bool InFootprint = false;
  TPoint Origin;
  double Angle = 0;
  // A board point (KiCad nanometres, y down, as reals) in this frame.
  TPoint Map(double x, double y) const;
  TPoint Map(TPoint p) const { return Map(static_cast<double>(p.X), static_cast<double>(p.Y)); }
};

struct TContext {
  const morvik::TDocument& Doc;
  const morvik::TObject& Board;
  const TKicadLayers& Layers;
  TKicadReport& Report;
  TSexprWriter& Out;
  std::vector<int32_t> NetNumbers;  // by handle; 0 for no net
  std::vector<std::string> NetNames;  // by KiCad net number
  // The KiCad net numbers of the nets of each name the document holds, in
  // file order: planes and rules name their nets.
  std::map<std::string, std::vector<int32_t>> NetsNamed;
  // The board's extent in host units, for the zones of whole planes.
  int64_t Left = 0, Bottom = 0, Right = 0, Top = 0;
  // Where the host's origin lands in KiCad, a whole number of 100 mil steps
  // that puts the board on KiCad's sheet.
  TPoint Origin;

  // A host point in KiCad nanometres (exact): y flipped, then moved.
  TPoint At(int64_t x, int64_t y) const { return {UnitsToNm(x) + Origin.X, Origin.Y - UnitsToNm(y)}; }
  TPoint At(const morvik::TObject& o, const char* x = "X", const char* y = "Y") const {
    return At(static_cast<int32_t>(o.Int(x)), static_cast<int32_t>(o.Int(y)));
  }
  // The same for host coordinates held as reals (points on arcs, turned
  // corners).
  double RealX(double x) const { return x * 2.54 + static_cast<double>(Origin.X); }
  double RealY(double y) const { return static_cast<double>(Origin.Y) - y * 2.54; }

  int32_t NetNumber(int64_t handle) const {
    return handle > 0 && static_cast<uint64_t>(handle) < NetNumbers.size()
               ? NetNumbers[static_cast<size_t>(handle)]
               : 0;
  }
  const morvik::TObject* Live(int64_t handle) const;
  std::string_view LayerOf(const morvik::TObject& object) const {
    return Layers.Of(LayerId(object), Report);
  }
  static unsigned LayerId(const morvik::TObject& object);
};

void WriteNet(TContext& c, int32_t net);
void WritePoint(TContext& c, std::string_view keyword, const TFrame& frame, TPoint p);

// Primitives (KicadItems.cpp), each on the board or in a footprint; `net`
// is the net the primitive carries (its polygon's for a pour's pieces).
void WriteTrack(TContext& c, const morvik::TObject& track, const TFrame& frame, int32_t net);
void WriteArc(TContext& c, const morvik::TObject& arc, const TFrame& frame, int32_t net);
void WriteVia(TContext& c, const morvik::TObject& via, int32_t net);
void WriteFill(TContext& c, const morvik::TObject& fill, const TFrame& frame, int32_t net);
// `kind` is "user", "reference" or "value" in a footprint, ignored on the board.
void WriteText(TContext& c, const morvik::TObject& text, const TFrame& frame,
               std::string_view kind, bool hidden = false);

// Footprints (KicadFootprint.cpp).
void WritePad(TContext& c, const morvik::TObject& pad, const TFrame& frame);
void WriteComponent(TContext& c, const morvik::TObject& component);
void WriteFreePad(TContext& c, const morvik::TObject& pad);

// Zones and dimensions (KicadZones.cpp).
// How many straight pieces an outline arc of `radius` host units turning
// `sweep` degrees is written as: as few as keep every piece within 0.05 mm
// of the arc, but never finer than 5 degrees a piece (so at most 72 for a
// whole circle, and arcs of a radius above 52 mm stray further), one at
// least.
int OutlineArcPieces(double radius, double sweep);
// The points the arcs of one outline add at most, whatever their number.
constexpr int64_t kMaxOutlineArcPoints = 20000;
// Piece counts of an outline's arcs (0 for an entry without one) that would
// add more than `points` points (a piece count less one each) made coarser,
// in proportion, to add at most that many; false when they already do.
bool ShareOutArcPieces(std::vector<int>& pieces, int64_t points);
void WritePolygon(TContext& c, const morvik::TObject& polygon);
void WriteSplitPlane(TContext& c, const morvik::TObject& plane);
void WritePlaneZones(TContext& c);
void WriteDimension(TContext& c, const morvik::TObject& dimension);

// Nets, design settings and net classes (KicadRules.cpp).
void NumberNets(TContext& c);
void WriteNets(TContext& c);
void WriteSetup(TContext& c);
void WriteNetClasses(TContext& c);

}  // namespace pcb9host::kicad
