// Components as footprints with their pads, texts and own graphics; free
// pads as footprints of one pad.
#include <cmath>

#include "BoardStore.h"
#include "Kinds.h"
#include "KicadContext.h"
#include "KicadNames.h"
#include "ObjectStore.h"

namespace pcb9host::kicad {

namespace {

// The pad shape codes and KiCad's nearest shape.
struct TPadShape {
  int64_t Code;
  const char* Kicad;  // "circle" becomes "oval" for unequal sides
  double ChamferRatio;  // octagon: the corners cut off a square's side
};
constexpr TPadShape kPadShapes[] = {
    {1, "circle", 0},
    {2, "rect", 0},
    {3, "roundrect", 0.292893},  // 1 - 1/sqrt(2) of a side: a regular octagon
    {9, "roundrect", 0},
};

struct TPadFace {
  int64_t XSize = 0, YSize = 0, Shape = 0, Percent = 0;
};

bool SameFace(const TPadFace& a, const TPadFace& b) {
  return a.XSize == b.XSize && a.YSize == b.YSize && a.Shape == b.Shape;
}

// The pad's size and shape on a copper layer, as the host answers it.
TPadFace FaceOn(const morvik::TObject& pad, unsigned id) {
  if (pad.Int("StackMode") == 2)
    return {morvik::LayerArrayValue(pad, morvik::kLayerXSize, id),
            morvik::LayerArrayValue(pad, morvik::kLayerYSize, id),
            morvik::LayerArrayValue(pad, morvik::kLayerShape, id),
            morvik::LayerArrayValue(pad, morvik::kLayerCornerPercent, id)};
  const char* group = id == morvik::kTopLayerId ? "Top" : id == morvik::kBottomLayerId ? "Bottom" : "Mid";
  const unsigned shared = id == morvik::kTopLayerId || id == morvik::kBottomLayerId ? id : 2;
  return {pad.Int(std::string(group) + "XSize"), pad.Int(std::string(group) + "YSize"),
          pad.Int(std::string(group) + "Shape"),
          morvik::LayerArrayValue(pad, morvik::kLayerCornerPercent, shared)};
}

// The face KiCad gets: the pad's own layer's, the top's for a pad on every
// layer, with a note when the copper layers differ.
TPadFace PadFace(TContext& c, const morvik::TObject& pad, unsigned id) {
  if (id != morvik::kMultiLayerId) return FaceOn(pad, id);
  const TPadFace top = FaceOn(pad, morvik::kTopLayerId);
  for (unsigned layer : c.Layers.Stack())
    if (!morvik::IsPlaneLayer(layer) && !SameFace(FaceOn(pad, layer), top)) {
      c.Report.Note("pad with different sizes or shapes per copper layer",
                    "the top layer's kept (KiCad 6 pads have one copper shape)");
      break;
    }
  return top;
}

void WriteShape(TContext& c, const TPadFace& face) {
  const TPadShape* shape = nullptr;
  for (const TPadShape& row : kPadShapes)
    if (row.Code == face.Shape) shape = &row;
  if (!shape) {
    c.Report.Note("pad shape code " + std::to_string(face.Shape), "a rectangle");
    c.Out.Atom("rect");
    return;
  }
  const bool oval = std::string_view(shape->Kicad) == "circle" && face.XSize != face.YSize;
  c.Out.Atom(oval ? "oval" : shape->Kicad);
}

void WriteShapeDetails(TContext& c, const TPadFace& face) {
  if (face.Shape == 3) {
    c.Out.Open("roundrect_rratio").Real(0).Close();
    c.Out.Open("chamfer_ratio").Real(0.292893).Close();
    c.Out.Open("chamfer").Atom("top_left").Atom("top_right").Atom("bottom_left").Atom("bottom_right").Close();
  } else if (face.Shape == 9) {
    // The corner percentage is of half the smaller side; KiCad's ratio is of
    // the whole smaller side.
    c.Out.Open("roundrect_rratio").Real(std::min<int64_t>(face.Percent, 100) / 200.0).Close();
  }
}

// The KiCad layers of a pad.
enum class TPadLayers { Through, Front, Back, Both, Own };

// The pad's kind from its host layer and hole; returns its KiCad layers.
TPadLayers WriteKind(TContext& c, const morvik::TObject& pad, unsigned id, const TPadFace& face,
                     int64_t hole) {
  if (hole > 0) {
    const bool bare = hole >= face.XSize && hole >= face.YSize && c.NetNumber(pad.Int("Net")) == 0;
    if (bare) c.Report.Note("pad whose hole fills it, without a net", "a non-plated hole");
    if (id != morvik::kMultiLayerId)
      c.Report.Note("drilled pad on one layer", "a through-hole pad on every copper layer");
    c.Out.Atom(bare ? "np_thru_hole" : "thru_hole");
    return TPadLayers::Through;
  }
  c.Out.Atom("smd");
  if (id == morvik::kMultiLayerId) {
    c.Report.Note("pad on every layer without a hole", "a surface pad on F.Cu and B.Cu");
    return TPadLayers::Both;
  }
  if (!c.Layers.IsCopper(id)) {
    c.Report.Note("pad on a layer that is not copper", "a surface pad on F.Cu");
    return TPadLayers::Front;
  }
  return id == morvik::kTopLayerId ? TPadLayers::Front : id == morvik::kBottomLayerId ? TPadLayers::Back : TPadLayers::Own;
}

void WriteLayerList(TContext& c, const morvik::TObject& pad, TPadLayers layers) {
  static constexpr const char* kThrough[] = {"*.Cu", "*.Mask"};
  static constexpr const char* kFront[] = {"F.Cu", "F.Paste", "F.Mask"};
  static constexpr const char* kBack[] = {"B.Cu", "B.Paste", "B.Mask"};
  static constexpr const char* kBoth[] = {"F.Cu", "B.Cu", "F.Mask", "B.Mask"};
  c.Out.Open("layers");
  switch (layers) {
    case TPadLayers::Through: for (const char* l : kThrough) c.Out.Text(l); break;
    case TPadLayers::Front: for (const char* l : kFront) c.Out.Text(l); break;
    case TPadLayers::Back: for (const char* l : kBack) c.Out.Text(l); break;
    case TPadLayers::Both: for (const char* l : kBoth) c.Out.Text(l); break;
    case TPadLayers::Own: c.Out.Text(c.LayerOf(pad)); break;
  }
  c.Out.Close();
}

std::string FootprintSide(const morvik::TObject& component) {
  return TContext::LayerId(component) == morvik::kBottomLayerId ? "B.Cu" : "F.Cu";
}

}  // namespace

void WritePad(TContext& c, const morvik::TObject& pad, const TFrame& frame) {
  const unsigned id = TContext::LayerId(pad);
  const TPadFace face = PadFace(c, pad, id);
  const int64_t hole = static_cast<int32_t>(pad.Int("HoleSize"));
  c.Out.Open("pad").Text(pad.Text("Name"));
  const TPadLayers layers = WriteKind(c, pad, id, face, hole);
  WriteShape(c, face);
  const TPoint at = frame.Map(c.At(pad));
  // A pad's angle in the file is its angle on the board.
  c.Out.Open("at").Nm(at.X).Nm(at.Y).Real(pad.Real("Rotation")).Close();
  c.Out.Open("size").Nm(UnitsToNm(static_cast<int32_t>(face.XSize))).Nm(UnitsToNm(static_cast<int32_t>(face.YSize))).Close();
  if (hole > 0) c.Out.Open("drill").Nm(UnitsToNm(hole)).Close();
  WriteLayerList(c, pad, layers);
  WriteShapeDetails(c, face);
  const int32_t net = c.NetNumber(pad.Int("Net"));
  if (net != 0) c.Out.Open("net").Int(net).Text(c.NetNames[static_cast<size_t>(net)]).Close();
  c.Out.Close();
  c.Report.Wrote("pad");
}

namespace {

void OpenFootprint(TContext& c, std::string_view name, std::string_view side, const TFrame& frame) {
  c.Out.Open("footprint").Text(name);
  c.Out.Open("layer").Text(side).Close();
  c.Out.Open("at").Nm(frame.Origin.X).Nm(frame.Origin.Y);
  if (frame.Angle != 0) c.Out.Real(frame.Angle);
  c.Out.Close();
  c.Report.Wrote("footprint");
}

// A footprint always has a reference and a value; an empty one is hidden.
void WriteEmptyText(TContext& c, std::string_view kind, std::string_view side) {
  c.Out.Open("fp_text").Atom(kind).Text("").Open("at").Nm(0).Nm(0).Close();
  c.Out.Open("layer").Text(side == "B.Cu" ? "B.Fab" : "F.Fab").Close().Atom("hide");
  c.Out.Open("effects").Open("font").Open("size").Nm(1000000).Nm(1000000).Close().Close().Close();
  c.Out.Close();
}

void WriteLabel(TContext& c, int64_t handle, bool shown, std::string_view kind,
                std::string_view side, const TFrame& frame) {
  const morvik::TObject* text = c.Live(handle);
  if (text && text->Kind == morvik::kKindText)
    WriteText(c, *text, frame, kind, !shown);
  else
    WriteEmptyText(c, kind, side);
}

void WriteMember(TContext& c, const morvik::TObject& member, const TFrame& frame) {
  switch (member.Kind) {
    case morvik::kKindPad: WritePad(c, member, frame); break;
    case morvik::kKindTrack: WriteTrack(c, member, frame, 0); break;
    case morvik::kKindArc: WriteArc(c, member, frame, 0); break;
    case morvik::kKindFill: WriteFill(c, member, frame, 0); break;
    case morvik::kKindText: WriteText(c, member, frame, "user"); break;
    default: break;  // vias follow the footprint on the board
  }
}

}  // namespace

void WriteComponent(TContext& c, const morvik::TObject& component) {
  TFrame frame{true, c.At(component),
               component.Real("Rotation")};
  if (!std::isfinite(frame.Angle)) frame.Angle = 0;
  const std::string side = FootprintSide(component);
  OpenFootprint(c, FootprintName(component.Text("Pattern"), c.Report), side, frame);
  WriteLabel(c, component.Int("NameText"), component.Int("NameFlag") != 0, "reference", side, frame);
  WriteLabel(c, component.Int("CommentText"), component.Int("CommentFlag") != 0, "value", side, frame);
  std::vector<const morvik::TObject*> vias;
  for (uint32_t handle : component.Lists.Members()) {
    const morvik::TObject* member = c.Live(handle);
    if (!member || member->Container != component.Handle) continue;
    if (member->Kind == morvik::kKindVia) vias.push_back(member);
    else WriteMember(c, *member, frame);
  }
  c.Out.Close();
  for (const morvik::TObject* via : vias) {
    c.Report.Note("via of a component", "a via on the board (KiCad footprints hold no vias)");
    WriteVia(c, *via, c.NetNumber(via->Int("Net")));
  }
}

void WriteFreePad(TContext& c, const morvik::TObject& pad) {
  const TFrame frame{true, c.At(pad), 0};
  const std::string side = TContext::LayerId(pad) == morvik::kBottomLayerId ? "B.Cu" : "F.Cu";
  c.Report.Note("free pad", "a footprint \"FreePad\" of one pad, referenced Free-<name>");
  OpenFootprint(c, "FreePad", side, frame);
  c.Out.Open("fp_text").Atom("reference").Text("Free-" + pad.Text("Name")).Open("at").Nm(0).Nm(0).Close();
  c.Out.Open("layer").Text(side == "B.Cu" ? "B.Fab" : "F.Fab").Close().Atom("hide");
  c.Out.Open("effects").Open("font").Open("size").Nm(1000000).Nm(1000000).Close().Close().Close();
  c.Out.Close();
  WriteEmptyText(c, "value", side);
  WritePad(c, pad, frame);
  c.Out.Close();
}

}  // namespace pcb9host::kicad
