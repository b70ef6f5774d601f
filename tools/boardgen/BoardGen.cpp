#include "BoardGen.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "TokenWriter.h"
#include "stream/FormatTables.h"

namespace pcb9::bench {

namespace {

using tokenasm::TTokenWriter;

constexpr int32_t kMil = 10000;
// Nets, polygons, coordinates and dimensions are linked by number through
// tables of 16000 entries; the generated owners stay within them.
constexpr int64_t kMaxLinkedOwners = 15000;

// File layer codes.
constexpr int kTop = 1, kBottom = 16, kPlane1 = 23, kKeepOut = 28, kMech1 = 29;
constexpr int kTopOverlay = 17, kBottomOverlay = 18, kMulti = 34;

// Pads per component, in turn: resistors, transistors, ICs, connectors.
constexpr std::array<int, 8> kPadCycle = {2, 2, 3, 8, 14, 2, 16, 2};
constexpr std::array<int32_t, 6> kTrackWidths = {8 * kMil, 10 * kMil, 12 * kMil,
                                                 15 * kMil, 20 * kMil, 25 * kMil};

class TBoardWriter {
 public:
  TBoardWriter(int16_t level, int64_t objects) : W(level), Level(level), Target(objects) {}

  int64_t Made = 0;  // objects written so far
  int64_t Left() const { return Target - Made; }

  void Header() {
    W.String(HeaderText(Level));
    for (int i = 1; i <= 10; ++i) W.Long(i == 2 ? Target : 0);  // progress total in P2
  }
  std::vector<uint8_t> Finish() {
    W.End();
    return W.Bytes();
  }

  void Keyword(std::string_view k) { W.String(k); }
  void Attr(uint8_t attribute, int64_t value) { W.Attr(attribute, value); }
  void Real(int value) { W.String(std::to_string(value)); }

  // --- records, one object each -------------------------------------------------
  void Net(int64_t number, int32_t width, int32_t viaSize, int planeCode) {
    Keyword("N");
    W.String("NET" + std::to_string(number));
    W.Coord(width);
    W.Coord(viaSize);
    W.Word(number % 3 == 0 ? 1 : 0);  // topology
    W.Word(number % 7 == 0 ? 2 : 0);  // priority
    W.String("NODES");
    for (int i = 0; i < 2; ++i) Words({1, 2});
    W.String("");
    W.String("CONNECTIONS");
    Words({0, 0, 0, 0});
    W.String("");
    Words({0, 0});
    W.Word(0);
    W.Word(planeCode);
    if (Level >= 8) {
      W.Long(number);
      W.Word(0);
    }
    ++Made;
  }

  // A plane outline of `corners` vertices around (x, y); with `arcCorner` the
  // second segment is an arc.
  void Polygon(int64_t net, int layer, int32_t x, int32_t y, int corners, bool arcCorner) {
    Attr(5, net);
    Attr(6, layer);
    Words({1, 1, 0, 1, 0});
    if (Level >= 7) W.Word(1);
    Coords({10 * kMil, 20 * kMil});
    if (Level >= 9) Coords({5 * kMil, 0});
    W.Word(corners - 1);
    for (int i = 0; i < corners; ++i)
      Coords({x + (i % 2) * 400 * kMil + i * 10 * kMil, y + (i / 2) * 300 * kMil});
    std::vector<int64_t> flags(static_cast<size_t>(corners), 0);
    if (arcCorner) flags[2] = 1;
    for (int64_t f : flags) W.Word(f);
    if (arcCorner) {
      Attr(45, 1);
      Coords({x + 400 * kMil, y, 100 * kMil});
      Real(270);
      Real(0);
      Coords({0});
      W.Word(0);
    }
    ++Made;
  }

  void Track(int form, int32_t x, int32_t y, int32_t d) {
    switch (form) {
      case 0: Coords({x, x + d, y}); break;                // X1, X2, Y1
      case 1: Coords({x, y, y + d}); break;                // X1, Y1, Y2
      case 2: case 3: Coords({x, y, d}); break;            // X1, Y1, D
      default: Coords({x, y, x + d, y + d / 2}); break;    // X1, Y1, X2, Y2
    }
    W.Word(0);
    if (Level >= 8) W.Word(0);
    ++Made;
  }

  void Arc(int32_t x, int32_t y, int32_t radius, int start, int end, int32_t width) {
    Coords({x, y, radius});
    Real(start);
    Real(end);
    Coords({width});
    W.Word(0);
    ++Made;
  }

  void Via(int32_t x, int32_t y) {
    Coords({x, y});
    if (Level >= 8) Coords({0, 0});
    W.Word(0);
    ++Made;
  }

  void Fill(int32_t x, int32_t y) {
    Coords({x + 200 * kMil, y + 100 * kMil, x, y});
    if (Level >= 9) Real(45);
    ++Made;
  }

  void Text(int32_t x, int32_t y, std::string_view text) {
    Coords({x, y});
    Real(0);
    Coords({0, 0, 0, 0});
    W.String(text);
    ++Made;
  }

  // A pad's record after its attribute run: shapes, the rule values at
  // levels 8 and 9 (solder and paste mask, connect 1 and 2, plane expansion,
  // connect 3), and its name.
  struct TPadValues {
    int32_t Solder = 4 * kMil, Paste = 0, Connect1 = 10 * kMil, Connect2 = 10 * kMil,
            Plane = 20 * kMil;
    int Connect3 = 4;
  };
  void Pad(int shape, const TPadValues& v, std::string_view name) {
    W.Word(shape);
    if (Level >= 6) Words({shape, shape});
    if (Level >= 8) {
      Real(0);
      Coords({v.Solder, v.Paste, v.Connect1, v.Connect2, v.Plane});
      W.Word(v.Connect3);
    }
    W.String(name);
    ++Made;
  }

  // Component header and its designator and comment texts (three objects).
  void ComponentHead(std::string_view pattern, int32_t x, int32_t y, bool bottom,
                     std::string_view designator, std::string_view comment) {
    Keyword("M");
    W.String(pattern);
    W.Word(0);
    Coords({x, y, 0, 0, 0, 0});
    Words({1, 0, 0});
    if (Level >= 8) {
      Words({1, 0});
      Real(bottom ? 180 : 0);
    }
    if (Level >= 9) W.Word(bottom ? kBottom : kTop);
    const int overlay = bottom ? kBottomOverlay : kTopOverlay;
    for (std::string_view text : {designator, comment}) {
      Attr(6, overlay);
      Attr(28, 60 * kMil);
      Attr(32, 8 * kMil);
      Text(x, y + 60 * kMil, text);
    }
    ++Made;
  }

  void Words(std::initializer_list<int64_t> words) {
    for (int64_t w : words) W.Word(w);
  }
  void Coords(std::initializer_list<int32_t> coords) {
    for (int32_t c : coords) W.Coord(c);
  }

 private:
  TTokenWriter W;
  int16_t Level;
  int64_t Target;
};

int32_t Spread(int64_t i, int64_t period) { return static_cast<int32_t>(i % period) * 50 * kMil; }

// A component of `pads` pads with a silkscreen outline, and an arc for the
// larger ones; its pads sit on nets `firstNet`.. in turn.
void RealisticComponent(TBoardWriter& b, int64_t number, int pads, int64_t nets) {
  const int32_t x = Spread(number, 200), y = Spread(number / 200, 200);
  const bool bottom = number % 5 == 4;
  b.ComponentHead(pads > 3 ? "DIP" + std::to_string(pads) : "AXIAL0.4", x, y, bottom,
                  (pads > 3 ? "U" : "R") + std::to_string(number + 1), pads > 3 ? "IC" : "10k");
  b.Keyword("p");
  const bool smd = pads == 2 && number % 2 == 0;
  b.Attr(6, smd ? (bottom ? kBottom : kTop) : kMulti);
  b.Attr(13, 60 * kMil);
  b.Attr(14, smd ? 40 * kMil : 60 * kMil);
  b.Attr(21, smd ? 0 : 35 * kMil);
  b.Attr(23, smd ? 0 : 1);
  for (int p = 0; p < pads; ++p) {
    b.Attr(5, (number * 3 + p) % nets + 1);
    b.Attr(24, x + (p % 8) * 100 * kMil);
    b.Attr(25, y + (p / 8) * 300 * kMil);
    b.Pad(smd ? 2 : 1, {}, std::to_string(p + 1));
  }
  b.Keyword("tn");
  b.Attr(6, bottom ? kBottomOverlay : kTopOverlay);
  b.Attr(7, 8 * kMil);
  b.Attr(5, 0);
  for (int side = 0; side < 4; ++side) b.Track(4, x + side * 10 * kMil, y - 50 * kMil, 200 * kMil);
  if (pads >= 8) {
    b.Keyword("a");
    b.Arc(x, y, 30 * kMil, 270, 90, 8 * kMil);
  }
  b.Keyword("E");
}

int64_t ComponentObjects(int pads) { return 3 + pads + 4 + (pads >= 8 ? 1 : 0); }

// Routing: groups of sixteen tracks of one form, on the top or the bottom
// layer, each on its net.
void RealisticTracks(TBoardWriter& b, int64_t count, int64_t nets) {
  static constexpr std::string_view kForms[] = {"TH", "TV", "T+", "T-", "TN"};
  for (int64_t i = 0; i < count; ++i) {
    const int form = static_cast<int>((i / 16) % 5);
    if (i % 16 == 0) {
      b.Keyword(kForms[form]);
      b.Attr(6, (i / 16) % 2 ? kBottom : kTop);
      b.Attr(7, kTrackWidths[static_cast<size_t>(i / 16) % kTrackWidths.size()]);
      b.Attr(44, (i / 16) % 9 == 8 ? 2 : 0);  // some tracks lie in the ground pour
    }
    b.Attr(5, i % nets + 1);
    b.Track(form, Spread(i, 300), Spread(i / 300, 300), 100 * kMil);
  }
}

void RealisticVias(TBoardWriter& b, int64_t count, int64_t nets) {
  if (count == 0) return;  // no keyword without records
  b.Keyword("V");
  b.Attr(9, 50 * kMil);
  b.Attr(10, 28 * kMil);
  b.Attr(12, 0);
  for (int64_t i = 0; i < count; ++i) {
    b.Attr(5, (i * 7) % nets + 1);
    b.Via(Spread(i, 250) + 25 * kMil, Spread(i / 250, 250));
  }
}

// A group keyword is written only with records after it: a keyword and
// attributes alone would make the import read the next keyword as a record.
void RealisticFreeObjects(TBoardWriter& b, int64_t arcs, int64_t fills, int64_t texts) {
  if (arcs > 0) {
    b.Keyword("A");
    b.Attr(6, kTopOverlay);
    b.Attr(5, 0);
    b.Attr(44, 0);
    for (int64_t i = 0; i < arcs; ++i) b.Arc(Spread(i, 100), 1000 * kMil, 80 * kMil, 0, 0, 10 * kMil);
  }
  if (fills > 0) {
    b.Keyword("F");
    b.Attr(6, kTop);
    b.Attr(5, 1);
    for (int64_t i = 0; i < fills; ++i) b.Fill(Spread(i, 100), 1500 * kMil);
  }
  if (texts > 0) {
    b.Keyword("X");
    b.Attr(6, kTopOverlay);
    b.Attr(28, 80 * kMil);
    b.Attr(32, 10 * kMil);
    for (int64_t i = 0; i < texts; ++i)
      b.Text(Spread(i, 100), 200 * kMil, "LABEL " + std::to_string(i));
  }
  b.Keyword("P");  // mounting holes
  b.Attr(6, kMulti);
  b.Attr(5, 0);
  b.Attr(13, 125 * kMil);
  b.Attr(14, 125 * kMil);
  b.Attr(21, 125 * kMil);
  for (int i = 0; i < 4; ++i) {
    b.Attr(24, (i % 2) * 3000 * kMil);
    b.Attr(25, (i / 2) * 2000 * kMil);
    b.Pad(1, {}, "MH");
  }
}

// Four coordinates and four dimensions with their tracks and texts (linked
// by number after loading); 28 objects.
void RealisticMarkers(TBoardWriter& b) {
  for (int k = 1; k <= 4; ++k) {
    b.Keyword("R");
    b.Attr(6, kMech1);
    b.Coords({k * 100 * kMil, 100 * kMil, 10 * kMil});
    b.Words({1});
    b.Coords({60 * kMil, 10 * kMil, 0});
    b.Words({0});
    ++b.Made;
    b.Keyword("I");
    b.Attr(6, kMech1);
    b.Coords({0, k * 2100 * kMil, 3000 * kMil, 2100 * kMil, 0});
    b.Words({1});
    b.Coords({60 * kMil, 10 * kMil, 0});
    b.Words({2});
    ++b.Made;
    for (uint8_t owner : {uint8_t{53}, uint8_t{54}}) {
      b.Keyword("TH");
      b.Attr(6, kMech1);
      b.Attr(7, 5 * kMil);
      b.Attr(5, 0);
      b.Attr(44, 0);
      b.Attr(53, owner == 53 ? k : 0);
      b.Attr(54, owner == 54 ? k : 0);
      b.Track(0, k * 100 * kMil, 150 * kMil, 50 * kMil);
      b.Keyword("X");
      b.Attr(28, 40 * kMil);
      b.Text(k * 100 * kMil, 120 * kMil, owner == 53 ? "0,0" : "3000mil");
    }
    b.Keyword("TV");  // a second line of the dimension
    b.Track(1, k * 100 * kMil, 50 * kMil, 100 * kMil);
  }
  b.Keyword("TN");  // the board outline, owned by nothing
  b.Attr(6, kKeepOut);
  b.Attr(53, 0);
  b.Attr(54, 0);
}

void RealisticBoard(TBoardWriter& b, int64_t objects) {
  const int64_t nets = std::clamp<int64_t>(objects / 30, 8, kMaxLinkedOwners);
  const int64_t polygons = std::clamp<int64_t>(objects / 5000, 2, 100);
  const int64_t markers = 28, freePads = 4;
  const int64_t rest = objects - nets - polygons - markers - freePads - 4;  // outline
  const int64_t vias = rest * 8 / 100, arcs = rest * 3 / 100, fills = rest / 100, texts = rest * 3 / 100;

  b.Keyword("G");  // the VCC split plane, a ground pour, then pours on both sides
  b.Polygon(2, kPlane1, 0, 0, 4, false);
  for (int64_t i = 1; i < polygons; ++i)
    b.Polygon(i == 1 ? 1 : i % nets + 1, i % 2 ? kBottom : kTop, Spread(i, 20), 0, 12, i % 3 == 1);
  for (int64_t n = 1; n <= nets; ++n)
    b.Net(n, kTrackWidths[static_cast<size_t>(n) % kTrackWidths.size()], (n % 3 + 4) * 10 * kMil,
          n == 1 ? 24 : 0);
  const int64_t componentBudget = rest * 45 / 100;
  int64_t componentObjects = 0;
  for (int64_t c = 0;; ++c) {
    const int pads = kPadCycle[static_cast<size_t>(c) % kPadCycle.size()];
    if (componentObjects + ComponentObjects(pads) > componentBudget) break;
    RealisticComponent(b, c, pads, nets);
    componentObjects += ComponentObjects(pads);
  }
  RealisticVias(b, vias, nets);
  RealisticFreeObjects(b, arcs, fills, texts);
  RealisticMarkers(b);
  for (int side = 0; side < 4; ++side) b.Track(4, 0, side * 100 * kMil, 3000 * kMil);
  RealisticTracks(b, b.Left(), nets);
}

// Components of up to 97 pads each (with the component and its two texts, a
// hundred objects), every pad on a different net; `distinct` gives each pad
// its own mask, plane and connect values.
void PadBoard(TBoardWriter& b, bool distinct) {
  const int64_t nets = 100;
  for (int64_t n = 1; n <= nets; ++n) b.Net(n, 10 * kMil, 50 * kMil, 0);
  int64_t pad = 0;
  for (int64_t c = 0; b.Left() > 3; ++c) {
    const int pads = static_cast<int>(std::min<int64_t>(97, b.Left() - 3));
    const int32_t x = Spread(c, 100), y = Spread(c / 100, 100);
    b.ComponentHead("BGA97", x, y, false, "U" + std::to_string(c + 1), "CPU");
    b.Keyword("p");
    b.Attr(6, kMulti);
    b.Attr(13, 60 * kMil);
    b.Attr(14, 60 * kMil);
    b.Attr(21, 35 * kMil);
    b.Attr(23, 1);
    for (int p = 0; p < pads; ++p, ++pad) {
      b.Attr(5, p % nets + 1);
      b.Attr(24, x + (p % 10) * 50 * kMil);
      b.Attr(25, y + (p / 10) * 50 * kMil);
      TBoardWriter::TPadValues v;
      if (distinct) {
        const auto d = static_cast<int32_t>(pad);
        v = {1 * kMil + d, d, 10 * kMil + d, 10 * kMil + 2 * d, 20 * kMil + d, 4};
      }
      b.Pad(1, v, std::to_string(p + 1));
    }
    b.Keyword("E");
  }
  if (b.Left() == 0) return;
  b.Keyword("TN");  // what is left: a track or two
  b.Attr(6, kTop);
  while (b.Left() > 0) b.Track(4, 0, 0, 100 * kMil);
}

// A net per five objects, each with its own width and via size, and four
// tracks per net.
void NetBoard(TBoardWriter& b, int64_t objects) {
  const int64_t nets = objects / 5;
  for (int64_t n = 1; n <= nets; ++n)
    b.Net(n, static_cast<int32_t>(5 * kMil + n), static_cast<int32_t>(40 * kMil + n), 0);
  b.Keyword("TN");
  b.Attr(6, kTop);
  b.Attr(7, 10 * kMil);
  for (int64_t i = 0; b.Left() > 0; ++i) {
    b.Attr(5, i % std::min(nets, kMaxLinkedOwners) + 1);
    b.Track(4, Spread(i, 300), Spread(i / 300, 300), 100 * kMil);
  }
}

}  // namespace

TGeneratedBoard GenerateBoard(TBoardMix mix, int64_t objects, int16_t level) {
  if (objects < 100) throw std::invalid_argument("a board of at least 100 objects");
  if (level < 7 || level > 9) throw std::invalid_argument("format level 7, 8 or 9");
  TBoardWriter b(level, objects);
  b.Header();
  switch (mix) {
    case TBoardMix::Realistic: RealisticBoard(b, objects); break;
    case TBoardMix::PadsSame: PadBoard(b, false); break;
    case TBoardMix::PadsDistinct: PadBoard(b, true); break;
    case TBoardMix::NetsDistinct: NetBoard(b, objects); break;
  }
  return {b.Finish(), b.Made};
}

}  // namespace pcb9::bench
