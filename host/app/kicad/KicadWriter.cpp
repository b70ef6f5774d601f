#include "KicadWriter.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <limits>

#include "BoardStore.h"
#include "Kinds.h"
#include "KicadContext.h"

namespace pcb9host {

namespace {

using namespace kicad;

// An object on the board itself, not inside a component.
bool OnBoard(const morvik::TObject& object, uint32_t board) {
  return !object.Deleted && object.Container == board && object.Handle != board;
}

bool IsPrimitive(uint8_t kind) {
  return kind == morvik::kKindTrack || kind == morvik::kKindArc || kind == morvik::kKindVia ||
         kind == morvik::kKindFill || kind == morvik::kKindPad || kind == morvik::kKindText;
}

struct TSurvey {
  std::array<bool, kHostLayerCount> Used{};
  int64_t Left = std::numeric_limits<int64_t>::max(), Bottom = Left;
  int64_t Right = std::numeric_limits<int64_t>::min(), Top = Right;
  int64_t EdgeLeft = Left, EdgeBottom = Left, EdgeRight = Right, EdgeTop = Right;
};

void Extend(int64_t& low, int64_t& high, int64_t a, int64_t b) {
  low = std::min({low, a, b});
  high = std::max({high, a, b});
}

// Which layers the written objects use, and the board's extent: that of
// the keep-out layer's drawing (the old editor's board outline), else that
// of everything.
TSurvey Survey(const morvik::TDocument& doc, uint32_t board) {
  TSurvey s;
  for (const morvik::TObject& object : doc.Objects()) {
    if (object.Deleted || object.Container == 0 || !IsPrimitive(object.Kind)) {
      if (object.Kind == morvik::kKindSplitPlane && OnBoard(object, board))
        s.Used[TContext::LayerId(object)] = true;
      continue;
    }
    const unsigned id = TContext::LayerId(object);
    s.Used[id] = true;
    if (object.Kind == morvik::kKindVia) {
      for (const char* end : {"StartLayer", "EndLayer"}) {
        const int64_t layer = object.Int(end);
        if (layer >= 0 && layer < static_cast<int64_t>(kHostLayerCount)) s.Used[static_cast<size_t>(layer)] = true;
      }
    }
    const morvik::TRect r = morvik::BoundingRect(object);
    Extend(s.Left, s.Right, r.Left, r.Right);
    Extend(s.Bottom, s.Top, r.Bottom, r.Top);
    if (id == 56 && object.Container == board) {
      Extend(s.EdgeLeft, s.EdgeRight, r.Left, r.Right);
      Extend(s.EdgeBottom, s.EdgeTop, r.Bottom, r.Top);
    }
  }
  if (s.EdgeLeft <= s.EdgeRight && s.EdgeBottom <= s.EdgeTop) {
    s.Left = s.EdgeLeft, s.Right = s.EdgeRight, s.Bottom = s.EdgeBottom, s.Top = s.EdgeTop;
  } else if (s.Left > s.Right) {
    s.Left = s.Right = s.Bottom = s.Top = 0;
  }
  return s;
}

// A primitive that belongs to a dimension is drawn by the KiCad dimension.
bool DrawnByDimension(const TContext& c, const morvik::TObject& object) {
  const morvik::TObject* owner = c.Live(object.Int("OwnerDimension"));
  return owner && owner->Kind == morvik::kKindDimension;
}

// A pour's pieces carry their polygon's net: the import gives them none.
int32_t PrimitiveNet(const TContext& c, const morvik::TObject& object) {
  const morvik::TObject* polygon = c.Live(object.Int("OwnerPolygon"));
  if (polygon && polygon->Kind == morvik::kKindPolygon) return c.NetNumber(polygon->Int("Net"));
  return c.NetNumber(object.Int("Net"));
}

void WriteBoardObject(TContext& c, const morvik::TObject& object) {
  const TFrame board;
  switch (object.Kind) {
    case morvik::kKindComponent: WriteComponent(c, object); return;
    case morvik::kKindPad: WriteFreePad(c, object); return;
    case morvik::kKindVia: WriteVia(c, object, c.NetNumber(object.Int("Net"))); return;
    case morvik::kKindPolygon: WritePolygon(c, object); return;
    case morvik::kKindSplitPlane: WriteSplitPlane(c, object); return;
    case morvik::kKindDimension: WriteDimension(c, object); return;
    case morvik::kKindNet:
    case morvik::kKindRule: return;
    case morvik::kKindCoordinate:
      c.Report.Note("coordinate marker", "its lines and text as graphics (KiCad has no coordinate marker)");
      return;
    default: break;
  }
  const bool drawable = object.Kind == morvik::kKindTrack || object.Kind == morvik::kKindArc ||
                        object.Kind == morvik::kKindFill || object.Kind == morvik::kKindText;
  if (!drawable) {
    c.Report.Note(std::string(morvik::KindName(object.Kind)) + " object", "not written (no KiCad counterpart)");
    return;
  }
  if (DrawnByDimension(c, object)) return;
  switch (object.Kind) {
    case morvik::kKindTrack: WriteTrack(c, object, board, PrimitiveNet(c, object)); return;
    case morvik::kKindArc: WriteArc(c, object, board, PrimitiveNet(c, object)); return;
    case morvik::kKindFill: WriteFill(c, object, board, PrimitiveNet(c, object)); return;
    default: WriteText(c, object, board, ""); return;
  }
}

// The board's top left corner an inch inside KiCad's sheet, on the 100 mil
// grid so the old grid stays a grid.
TPoint SheetOrigin(const TSurvey& s) {
  constexpr int64_t kStep = 1000000;  // 100 mil
  const auto down = [](int64_t v) { return (v >= 0 ? v : v - (kStep - 1)) / kStep * kStep; };
  const auto up = [](int64_t v) { return (v >= 0 ? v + (kStep - 1) : v) / kStep * kStep; };
  constexpr int64_t kInch = 25400000;
  return {kInch - UnitsToNm(down(s.Left)), kInch + UnitsToNm(up(s.Top))};
}

void WriteHeader(TSexprWriter& out) {
  out.Open("version").Atom("20211014").Close();
  out.Open("generator").Atom("pcb9-host").Close();
  out.Open("general").Open("thickness").Atom("1.6").Close().Close();
  out.Open("paper").Text("A3").Close();
}

}  // namespace

void WriteKicadBoard(std::ostream& stream, TKicadReport& report) {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  static const morvik::TObject kNoBoard;
  const morvik::TObject* boardObject = doc.Find(doc.BoardHandle());
  const morvik::TObject& board = boardObject ? *boardObject : kNoBoard;
  const TSurvey survey = Survey(doc, doc.BoardHandle());
  const TKicadLayers layers(board, survey.Used, report);
  TSexprWriter out(stream);
  TContext c{doc, board, layers, report, out, {}, {}, {}, 0, 0, 0, 0, {}};
  c.Left = survey.Left, c.Bottom = survey.Bottom, c.Right = survey.Right, c.Top = survey.Top;
  c.Origin = SheetOrigin(survey);
  NumberNets(c);
  out.Open("kicad_pcb");
  WriteHeader(out);
  layers.Write(out);
  WriteSetup(c);
  WriteNets(c);
  WriteNetClasses(c);
  for (const morvik::TObject& object : doc.Objects()) {
    if (OnBoard(object, doc.BoardHandle()))
      WriteBoardObject(c, object);
    else if (!object.Deleted && object.Container == 0 && IsPrimitive(object.Kind) &&
             object.Int("OwnerComponent") == 0)
      report.Note(std::string(morvik::KindName(object.Kind)) + " the import left off the board",
                  "not written");
  }
  WritePlaneZones(c);
  out.Close();
  out.Flush();
}

bool WriteKicadBoard(std::ostream& out, const std::string& path, TKicadReport& report,
                     std::string& error) {
  report.Path = path;
  WriteKicadBoard(out, report);
  if (out) return true;
  error = "cannot write " + path;
  return false;
}

std::string KicadBoardText(TKicadReport& report) {
  std::ostringstream text;
  WriteKicadBoard(text, report);
  return std::move(text).str();
}

}  // namespace pcb9host
