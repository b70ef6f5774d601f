#include "KicadLayers.h"

#include <algorithm>

#include "BoardStore.h"

namespace pcb9host::kicad {

namespace {

// Host layers that are not copper: the KiCad layer each one goes to and,
// when that is not an exact counterpart, what the report says.
struct TLayerRow {
  unsigned First, Last;
  const char* Kicad;
  const char* Note;
};

constexpr TLayerRow kLayerRows[] = {
    {0, 0, "Cmts.User", "drawn on Cmts.User (KiCad has no NoLayer)"},
    {33, 33, "F.SilkS", nullptr},
    {34, 34, "B.SilkS", nullptr},
    {35, 35, "F.Paste", nullptr},
    {36, 36, "B.Paste", nullptr},
    {37, 37, "F.Mask", nullptr},
    {38, 38, "B.Mask", nullptr},
    {55, 55, "Cmts.User", "drawn on Cmts.User (KiCad has no drill guide layer)"},
    {56, 56, "Edge.Cuts",
     "drawn on Edge.Cuts: KiCad has no keep-out lines; the board edge keeps copper inside it"},
    {57, 57, "User.1", nullptr}, {58, 58, "User.2", nullptr}, {59, 59, "User.3", nullptr},
    {60, 60, "User.4", nullptr}, {61, 61, "User.5", nullptr}, {62, 62, "User.6", nullptr},
    {63, 63, "User.7", nullptr}, {64, 64, "User.8", nullptr}, {65, 65, "User.9", nullptr},
    {66, 66, "Dwgs.User", nullptr},
    {67, 67, "Cmts.User", nullptr},
    {68, 68, "Eco1.User", nullptr},
    {69, 69, "Eco2.User", nullptr},
    {70, 72, "Eco2.User", "drawn on Eco2.User with Mechanical13 (KiCad has 13 user layers)"},
    {73, 73, "Cmts.User", "drawn on Cmts.User (KiCad has no drill drawing layer)"},
    {74, 74, "Dwgs.User", "drawn on Dwgs.User (only pads and vias span every copper layer)"},
    {75, 82, "Cmts.User", "drawn on Cmts.User (a display layer of the old editor)"},
};

// KiCad's technical and user layers with their fixed numbers.
struct TKicadFixedLayer {
  int Number;
  const char* Name;
};
constexpr TKicadFixedLayer kFixedLayers[] = {
    {32, "B.Adhes"},   {33, "F.Adhes"},   {34, "B.Paste"},   {35, "F.Paste"},  {36, "B.SilkS"},
    {37, "F.SilkS"},   {38, "B.Mask"},    {39, "F.Mask"},    {40, "Dwgs.User"}, {41, "Cmts.User"},
    {42, "Eco1.User"}, {43, "Eco2.User"}, {44, "Edge.Cuts"}, {45, "Margin"},   {46, "B.CrtYd"},
    {47, "F.CrtYd"},   {48, "B.Fab"},     {49, "F.Fab"},     {50, "User.1"},   {51, "User.2"},
    {52, "User.3"},    {53, "User.4"},    {54, "User.5"},    {55, "User.6"},   {56, "User.7"},
    {57, "User.8"},    {58, "User.9"}};

constexpr unsigned kMaxInnerLayers = 30;

bool IsElectrical(unsigned id) {
  return (id >= morvik::kTopLayerId && id <= morvik::kBottomLayerId) || morvik::IsPlaneLayer(id);
}

bool PlaneHasNet(const morvik::TObject& board, unsigned id) {
  const std::string net = board.Text(morvik::IndexedKey("Layers", id, "NetName"));
  return !net.empty() && net != "(No Net)";
}

// Whether a copper layer belongs in the KiCad stack: top and bottom always,
// others when something lies on them, the file switched them on, or a plane
// carries a net.
bool InStack(const morvik::TObject& board, unsigned id, bool used) {
  if (id == morvik::kTopLayerId || id == morvik::kBottomLayerId || used) return true;
  if (morvik::IsPlaneLayer(id)) return PlaneHasNet(board, id);
  return board.Int(morvik::IndexedKey("Layers", id, "LayerFlag2")) != 0;
}

// The electrical layers from the top of the board's stack along its links;
// a layer the links miss follows in id order, so a broken stack loses none.
std::vector<unsigned> StackOrder(const morvik::TObject& board) {
  std::vector<unsigned> order;
  std::array<bool, kHostLayerCount> seen{};
  unsigned id = morvik::kTopLayerId;
  while (id < kHostLayerCount && IsElectrical(id) && !seen[id]) {
    seen[id] = true;
    order.push_back(id);
    id = static_cast<unsigned>(board.Int(morvik::IndexedKey("Layers", id, "NextLayer")));
  }
  for (unsigned other = 1; other < kHostLayerCount; ++other)
    if (IsElectrical(other) && !seen[other]) order.push_back(other);
  // KiCad's outer layers are the host's top and bottom layers.
  std::erase(order, morvik::kBottomLayerId);
  order.push_back(morvik::kBottomLayerId);
  return order;
}

}  // namespace

TKicadLayers::TKicadLayers(const morvik::TObject& board,
                           const std::array<bool, kHostLayerCount>& used, TKicadReport& report) {
  for (unsigned id : StackOrder(board))
    if (InStack(board, id, used[id])) Stack_.push_back(id);
  // KiCad reads only even copper layer counts.
  ExtraInner_ = Stack_.size() % 2 == 1 && Stack_.size() <= kMaxInnerLayers + 1;
  if (ExtraInner_)
    report.Note("odd number of copper layers", "an empty inner layer added above B.Cu (KiCad needs an even count)");
  for (size_t i = 0; i < Stack_.size(); ++i) {
    const size_t inner = std::min<size_t>(i, kMaxInnerLayers);
    Copper_[Stack_[i]] = i == 0                     ? "F.Cu"
                         : i + 1 == Stack_.size()   ? "B.Cu"
                                                    : "In" + std::to_string(inner) + ".Cu";
  }
}

std::string_view TKicadLayers::Of(unsigned id, TKicadReport& report) const {
  if (IsCopper(id)) {
    const size_t position = std::find(Stack_.begin(), Stack_.end(), id) - Stack_.begin();
    if (position > kMaxInnerLayers && position + 1 < Stack_.size())
      report.Note("objects on " + std::string(morvik::LayerName(static_cast<uint8_t>(id))),
                  "put on In30.Cu (KiCad has 30 inner copper layers)");
    return Copper_[id];
  }
  for (const TLayerRow& row : kLayerRows)
    if (id >= row.First && id <= row.Last) {
      if (row.Note)
        report.Note("objects on " + std::string(morvik::LayerName(static_cast<uint8_t>(id))), row.Note);
      return row.Kicad;
    }
  report.Note("objects on layer " + std::to_string(id), "drawn on Cmts.User");
  return "Cmts.User";
}

void TKicadLayers::Write(TSexprWriter& out) const {
  out.Open("layers");
  for (size_t i = 0; i < Stack_.size(); ++i) {
    const unsigned id = Stack_[i];
    const std::string& name = Copper_[id];
    if (i > kMaxInnerLayers && i + 1 < Stack_.size()) continue;  // shares In30.Cu
    const int number = i == 0 ? 0 : i + 1 == Stack_.size() ? 31 : static_cast<int>(i);
    if (number == 31 && ExtraInner_) {
      // KiCad takes the copper layers in stack order, B.Cu last.
      const auto inner = static_cast<int>(i);
      out.Open(std::to_string(inner)).Text("In" + std::to_string(inner) + ".Cu").Atom("signal").Close();
    }
    out.Open(std::to_string(number)).Text(name).Atom(morvik::IsPlaneLayer(id) ? "power" : "signal").Close();
  }
  for (const TKicadFixedLayer& layer : kFixedLayers)
    out.Open(std::to_string(layer.Number)).Text(layer.Name).Atom("user").Close();
  out.Close();
}

}  // namespace pcb9host::kicad
