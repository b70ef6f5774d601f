#include "SvgWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <fstream>
#include <sstream>
#include <vector>

#include "BoardStore.h"
#include "Document.h"
#include "Kinds.h"
#include "SvgCanvas.h"
#include "SvgLayers.h"
#include "SvgPrimitives.h"

namespace pcb9host {

namespace {

using morvik::TObject;
using svg::TCanvas;
using svg::TExtent;

constexpr double kMil = 10000;
constexpr double kPictureSize = 1600;  // pixels along the longer side
constexpr double kEmptyBoardSize = 1000 * kMil;
constexpr std::string_view kBackground = "#000000", kBoardColour = "#102018",
                           kBoardEdge = "#607068", kLegendText = "#e0e0e0";

// A shown object: not deleted, and on the board or on a component of the
// board, or the shown designator or comment text of such a component.
bool IsOnBoard(const TObject& object, morvik::TDocument& document) {
  if (object.Deleted) return false;
  const uint32_t board = document.BoardHandle();
  if (object.Container == board) return true;
  const bool looseText = object.Container == 0 && object.Kind == morvik::kKindText;
  const auto handle = static_cast<uint32_t>(looseText ? object.Int("OwnerComponent") : object.Container);
  const TObject* component = handle ? document.Find(handle) : nullptr;
  if (!component || component->Kind != morvik::kKindComponent || component->Deleted ||
      component->Container != board)
    return false;
  if (!looseText) return true;
  return (component->Int("NameText") == object.Handle && component->Int("NameFlag") != 0) ||
         (component->Int("CommentText") == object.Handle && component->Int("CommentFlag") != 0);
}

// The board's outline from its settings: origin (BoardInfo 4, 5) and size
// (BoardInfo 6, 7); empty when the settings give no size.
TExtent SettingsOutline(const TObject* board) {
  TExtent outline;
  if (!board) return outline;
  const double x = static_cast<double>(board->Int("BoardInfo.4")), y = static_cast<double>(board->Int("BoardInfo.5"));
  const double w = static_cast<double>(board->Int("BoardInfo.6")), h = static_cast<double>(board->Int("BoardInfo.7"));
  if (w <= 0 || h <= 0) return outline;
  outline.Add(x, y, 0);
  outline.Add(x + w, y + h, 0);
  return outline;
}

void AppendBox(std::string& out, const TExtent& box, std::string_view fill, std::string_view extra = {}) {
  out += "<rect";
  svg::AppendLengthAttribute(out, "x", box.Left);
  out += " y=\"";
  svg::AppendY(out, box.Top);
  out += '"';
  svg::AppendLengthAttribute(out, "width", box.Width());
  svg::AppendLengthAttribute(out, "height", box.Height());
  out += " fill=\"";
  out += fill;
  out += '"';
  out += extra;
  out += "/>\n";
}

// Which objects draw on each layer, in document order, and the extent of
// everything drawn: a first walk over the document that keeps no elements,
// so that the picture can then be written layer group by layer group.
struct TLayerIndex {
  std::array<std::vector<uint32_t>, svg::kLayerCount> Objects;  // handles
  TExtent Drawn;
};

TLayerIndex IndexLayers(morvik::TDocument& document) {
  TLayerIndex index;
  TCanvas canvas;
  for (const TObject& object : document.Objects()) {
    const svg::TDrawObject draw = svg::DrawerOfKind(object.Kind);
    if (!draw || !IsOnBoard(object, document)) continue;
    draw(object, canvas);
    for (uint8_t id : canvas.Touched())
      if (!canvas.Elements(id).empty()) index.Objects[id].push_back(object.Handle);
    canvas.Clear();
  }
  index.Drawn = canvas.Extent();
  return index;
}

std::vector<uint8_t> UsedLayersTopFirst(const TLayerIndex& index) {
  std::vector<uint8_t> used;
  const auto& order = svg::LayerDrawingOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (!index.Objects[*it].empty()) used.push_back(*it);
  return used;
}

// Passes the text on to the stream once it has grown past `keep` bytes.
void Spill(std::ostream& out, std::string& text, size_t keep = 64 * 1024) {
  if (text.size() < keep) return;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  text.clear();
}

// The legend: a swatch and the name of each layer used, the top first, in
// a column right of `view`. Returns the column's extent.
TExtent AppendLegend(std::string& out, const TExtent& view, const std::vector<uint8_t>& layers) {
  const double row = std::max(view.Width(), view.Height()) / 28;
  TExtent legend;
  legend.Add(view.Right, view.Top, 0);
  legend.Add(view.Right + row * 9, view.Top - row * (static_cast<double>(layers.size()) + 1), 0);
  out += "<g id=\"legend\" font-size=\"";
  svg::AppendMils(out, row * 0.6);
  out += "\">\n";
  double y = view.Top - row;
  for (uint8_t id : layers) {
    TExtent swatch;
    swatch.Add(view.Right + row * 0.5, y, 0);
    swatch.Add(view.Right + row * 1.3, y + row * 0.6, 0);
    AppendBox(out, swatch, svg::LayerColour(id), " stroke=\"#808080\"");
    out += "<text class=\"t\"";
    svg::AppendLengthAttribute(out, "x", view.Right + row * 1.7);
    out += " y=\"";
    svg::AppendY(out, y);
    out += "\" fill=\"";
    out += kLegendText;
    out += "\">";
    out += morvik::LayerName(id);
    out += "</text>\n";
    y -= row;
  }
  out += "</g>\n";
  return legend;
}

// Each layer's group, its objects drawn again one at a time.
void WriteLayerGroups(std::ostream& stream, std::string& out, morvik::TDocument& document,
                      const TLayerIndex& index) {
  TCanvas canvas;
  for (uint8_t id : svg::LayerDrawingOrder()) {
    const std::vector<uint32_t>& objects = index.Objects[id];
    if (objects.empty()) continue;
    const std::string_view colour = svg::LayerColour(id);
    out += "<g id=\"layer-";
    out += morvik::LayerName(id);
    out += "\" fill=\"";
    out += colour;
    out += "\" stroke=\"";
    out += colour;
    // Copper is seen through from above, so what lies below still shows.
    out += svg::IsCopperLayer(id) ? "\" opacity=\"0.85\">\n" : "\">\n";
    for (uint32_t handle : objects) {
      const TObject& object = *document.Find(handle);
      svg::DrawerOfKind(object.Kind)(object, canvas);
      out += canvas.Elements(id);
      canvas.Clear();
      Spill(stream, out);
    }
    out += "\n</g>\n";
  }
}

// Outline and objects with a margin around them; a board with neither
// shows an empty square at the origin.
TExtent ViewOf(const TExtent& outline, const TExtent& drawn) {
  TExtent view = outline;
  view.Add(drawn);
  if (view.Empty) view.Add(0, 0, kEmptyBoardSize / 2);
  const double margin = std::max(20 * kMil, std::max(view.Width(), view.Height()) * 0.04);
  TExtent framed;
  framed.Add(view.Left, view.Bottom, margin);
  framed.Add(view.Right, view.Top, margin);
  return framed;
}

void AppendHeader(std::string& out, const TExtent& all, const std::string& title) {
  const double scale = kPictureSize / std::max(all.Width(), all.Height());
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  out += " width=\"" + std::to_string(std::lround(all.Width() * scale)) + "\"";
  out += " height=\"" + std::to_string(std::lround(all.Height() * scale)) + "\"";
  out += " viewBox=\"";
  svg::AppendX(out, all.Left);
  out += ' ';
  svg::AppendY(out, all.Top);
  out += ' ';
  svg::AppendMils(out, all.Width());
  out += ' ';
  svg::AppendMils(out, all.Height());
  out += "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n<title>";
  out += svg::XmlNameText(title);
  out += "</title>\n<style>.a{fill:none}.s,.t{stroke:none}.z{fill-opacity:0.3}"
         ".t{font-family:'DejaVu Sans Mono',monospace;white-space:pre}</style>\n";
}

}  // namespace

void WriteBoardSvg(std::ostream& stream) {
  morvik::TDocument& document = morvik::TDocument::Instance();
  const TLayerIndex index = IndexLayers(document);
  const TObject* board = document.Find(document.BoardHandle());
  const TExtent outline = SettingsOutline(board);
  const TExtent view = ViewOf(outline, index.Drawn);
  std::string legend;
  TExtent all = view;
  all.Add(AppendLegend(legend, view, UsedLayersTopFirst(index)));

  std::string out;
  AppendHeader(out, all, board ? board->Text("BoardInfo.2") : std::string());
  AppendBox(out, all, kBackground);
  if (!outline.Empty) AppendBox(out, outline, kBoardColour, " id=\"board-outline\"");
  WriteLayerGroups(stream, out, document, index);
  out += legend;
  if (!outline.Empty) {
    // The board's edge above everything, so that no copper hides it.
    std::string edge = " id=\"board-edge\" stroke=\"";
    edge += kBoardEdge;
    edge += '"';
    svg::AppendLengthAttribute(edge, "stroke-width", 5 * kMil);
    AppendBox(out, outline, "none", edge);
  }
  out += "</svg>\n";
  Spill(stream, out, 0);
}

std::string BoardSvg() {
  std::ostringstream text;
  WriteBoardSvg(text);
  return std::move(text).str();
}

bool WriteBoardSvg(std::ostream& out, std::string& error) {
  try {
    WriteBoardSvg(out);
    if (out) return true;
    error = "cannot write the picture";
  } catch (const std::exception& e) {
    error = std::string("cannot make the picture: ") + e.what();
  }
  return false;
}

}  // namespace pcb9host
