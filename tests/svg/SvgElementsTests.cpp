// What the board picture makes of each kind of object: the element, its
// size and place (in mils, y negated), and the layer group it lands in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "Document.h"
#include "Kinds.h"
#include "OutputWriters.h"
#include "PcbApiExports.h"
#include "SvgWriter.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"
#include "support/TempDir.h"

namespace pcb9test {
namespace {

// One object of every kind the picture draws, each showing one thing.
constexpr std::string_view kEveryKind = R"(
"PCB FILE 9 VERSION 2.80"
long 0 17 0 0 0 0 0 0 0 0
"G"
attr 5 0
attr 6 16                       # a pour on BottomLayer whose edge 1-2 is an arc
word 1 1 0 1 0 1
coord 10mil 20mil 5mil 0
word 3
coord 1000mil 1000mil 1200mil 1000mil 1200mil 1200mil 1000mil 1200mil
word 0 0 1 0
attr 45 1
coord 1200mil 1100mil 100mil
real 270
real 90
coord 0
word 0
attr 6 23                       # a split plane on InternalPlane1
word 0 0 0 0 0 1
coord 0 0 0 0
word 2
coord 2000mil 2000mil 2200mil 2000mil 2100mil 2200mil
word 0 0 0
"TH"
attr 6 1
attr 7 10mil
coord 100mil 300mil 300mil
word 0 0
attr 7 13mil                    # deleted by the test
coord 100mil 300mil 400mil
word 0 0
"A"
attr 6 17
coord 500mil 500mil 100mil
real 0
real 180
coord 10mil
word 0
coord 500mil 800mil 50mil       # a whole circle
real 0
real 0
coord 10mil
word 0
"V"
attr 9 50mil
attr 10 28mil
coord 700mil 700mil
coord 0 0
word 0
"F"
attr 6 1
coord 800mil 800mil 900mil 850mil
real 30
"P"
attr 6 34
attr 13 60mil
attr 14 60mil
attr 21 30mil
attr 24 1500mil
attr 25 100mil
word 1 1 1
real 0
coord 0 0 0 0 0
word 0
"round"
attr 14 40mil
attr 21 0
attr 24 1600mil
word 2 2 2
real 0
coord 0 0 0 0 0
word 0
"rectangle"
attr 14 60mil
attr 24 1700mil
word 3 3 3
real 0
coord 0 0 0 0 0
word 0
"octagon"
attr 24 1800mil
word 9 9 9
real 45
coord 0 0 0 0 0
word 0
"rounded"
attr 13 77mil                   # round on top, but shape 6 of no height in the middle
attr 14 77mil
attr 18 0
attr 24 1900mil
word 1 6 1
real 0
coord 0 0 0 0 0
word 0
"kept out of the board"
"X"
attr 6 18
attr 28 50mil
attr 32 6mil
coord 2500mil 500mil
real 90
coord 0 0 0 0
"<A&B>\x01"
"M"
"SOIC"
word 0
coord 3000mil 3000mil
coord 0 0 0 0
word 1 0 0                      # designator shown, comment hidden
word 1 0
real 0
word 1
attr 6 17
attr 28 60mil
attr 32 8mil
coord 3000mil 3100mil
real 0
coord 0 0 0 0
"U9"
attr 6 17
coord 3000mil 2900mil
real 0
coord 0 0 0 0
"HIDDEN"
"E"
end
)";

// The elements of a layer's group; empty when the layer has none.
std::string Group(const std::string& svg, std::string_view layer) {
  const size_t start = svg.find("<g id=\"layer-" + std::string(layer) + "\"");
  if (start == std::string::npos) return {};
  return svg.substr(start, svg.find("</g>", start) - start);
}

class BoardPictureElements : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    ASSERT_TRUE(Runner.Import(kEveryKind));
    ASSERT_TRUE(morvik::HostErrors().empty());
  }
  TImportRunner Runner;
};

struct TElementCase {
  const char* What;
  const char* Layer;
  const char* Element;
};

const TElementCase kElements[] = {
    {"track with its width", "TopLayer", R"x(<line x1="100" y1="-300" x2="300" y2="-300" stroke-width="10"/>)x"},
    {"arc counter-clockwise", "TopOverlay", R"x(<path class="a" d="M 600 -500 A 100 100 0 0 0 400 -500" stroke-width="10"/>)x"},
    {"whole-circle arc", "TopOverlay", R"x(<circle class="a" cx="500" cy="-800" r="50" stroke-width="10"/>)x"},
    {"via", "MultiLayer", R"x(<circle class="s" cx="700" cy="-700" r="25"/>)x"},
    {"via hole", "ViaHoleLayer", R"x(<circle class="s" cx="700" cy="-700" r="14"/>)x"},
    {"fill turned about its centre", "TopLayer", R"x(<rect class="s" x="800" y="-850" width="100" height="50" transform="rotate(-30 850 -825)"/>)x"},
    {"round pad", "MultiLayer", R"x(<circle class="s" cx="1500" cy="-100" r="30"/>)x"},
    {"pad hole", "PadHoleLayer", R"x(<circle class="s" cx="1500" cy="-100" r="15"/>)x"},
    {"rectangular pad", "MultiLayer", R"x(<rect class="s" x="1570" y="-120" width="60" height="40"/>)x"},
    {"octagonal pad", "MultiLayer", R"x(<polygon class="s" points="1687.57 -70 1712.43 -70 1730 -87.57 1730 -112.43 1712.43 -130 1687.57 -130 1670 -112.43 1670 -87.57"/>)x"},
    {"turned rounded pad", "MultiLayer", R"x(<rect class="s" x="1770" y="-130" width="60" height="60" rx="15" transform="rotate(-45 1800 -100)"/>)x"},
    {"pour with its arc edge", "BottomLayer", R"x(<path class="z" d="M 1000 -1000 L 1200 -1000 L 1200 -1000 A 100 100 0 0 0 1200 -1200 L 1200 -1200 L 1000 -1200 Z" stroke-width="5"/>)x"},
    {"split plane", "InternalPlane1", R"x(<path class="z" d="M 2000 -2000 L 2200 -2000 L 2100 -2200 Z")x"},
    {"text on the bottom, turned and mirrored, escaped", "BottomOverlay", R"x(transform="translate(2500 -500) rotate(-90) scale(-1 1)">&lt;A&amp;B&gt;</text>)x"},
    {"shown designator", "TopOverlay", R"x(>U9</text>)x"},
};

TEST_F(BoardPictureElements, EachKindBecomesItsElementInItsLayerGroup) {
  const std::string svg = pcb9host::BoardSvg();
  for (const TElementCase& c : kElements)
    EXPECT_NE(Group(svg, c.Layer).find(c.Element), std::string::npos)
        << c.What << " in " << c.Layer << ":\n" << Group(svg, c.Layer);
}

TEST_F(BoardPictureElements, OnlyWhatIsOnTheBoardIsDrawn) {
  morvik::TDocument& document = morvik::TDocument::Instance();
  for (const morvik::TObject& object : document.Objects()) {
    if (object.Kind == morvik::kKindTrack && object.Int("Width") == 130000) {
      ASSERT_EQ(PcbApi_DeleteObjectFromContainer(document.BoardHandle(), object.Handle), 0);
    }
  }
  const std::string svg = pcb9host::BoardSvg();
  EXPECT_EQ(svg.find("stroke-width=\"13\""), std::string::npos) << "deleted track";
  EXPECT_EQ(svg.find("r=\"38.5\""), std::string::npos) << "pad kept out of the board";
  EXPECT_EQ(svg.find("HIDDEN"), std::string::npos) << "hidden comment";
  EXPECT_NE(Group(svg, "TopLayer").find("stroke-width=\"10\""), std::string::npos);
}

TEST_F(BoardPictureElements, LayersStackBottomFirstAndTheLegendNamesThoseUsed) {
  const std::string svg = pcb9host::BoardSvg();
  const char* bottomToTop[] = {"BottomLayer", "BottomOverlay", "InternalPlane1", "TopLayer",
                               "MultiLayer", "PadHoleLayer", "TopOverlay"};
  size_t previous = 0;
  for (const char* layer : bottomToTop) {
    const size_t at = svg.find("<g id=\"layer-" + std::string(layer) + "\"");
    ASSERT_NE(at, std::string::npos) << layer;
    EXPECT_GT(at, previous) << layer;
    previous = at;
  }
  const std::string legend = svg.substr(svg.find("<g id=\"legend\""));
  EXPECT_LT(legend.find(">TopOverlay<"), legend.find(">BottomLayer<"));
  EXPECT_EQ(legend.find(">MidLayer1<"), std::string::npos);
  EXPECT_EQ(svg.find("layer-MidLayer1"), std::string::npos);
}

TEST_F(BoardPictureElements, OutlineComesFromTheSettingsOrFramesTheObjects) {
  morvik::TObject& board = *morvik::TDocument::Instance().Find(morvik::TDocument::Instance().BoardHandle());
  board.Set("BoardInfo.4", morvik::TFieldType::I32, int64_t{-500000});
  board.Set("BoardInfo.5", morvik::TFieldType::I32, int64_t{0});
  board.Set("BoardInfo.6", morvik::TFieldType::I32, int64_t{40000000});
  board.Set("BoardInfo.7", morvik::TFieldType::I32, int64_t{35000000});
  EXPECT_NE(pcb9host::BoardSvg().find(R"x(<rect x="-50" y="-3500" width="4000" height="3500" fill="#102018" id="board-outline"/>)x"),
            std::string::npos);

  // No size in the settings: no outline, and the view still holds every
  // object (the pour's arc reaches 1300 mil, the designator 3100 mil).
  board.Set("BoardInfo.6", morvik::TFieldType::I32, int64_t{0});
  const std::string svg = pcb9host::BoardSvg();
  EXPECT_EQ(svg.find("board-outline"), std::string::npos);
  const size_t box = svg.find("viewBox=\"") + 9;
  double left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(std::sscanf(svg.c_str() + box, "%lf %lf %lf %lf", &left, &top, &width, &height), 4);
  EXPECT_LT(left, 100);
  EXPECT_LT(top, -3100 - 60);
  EXPECT_GT(top + height, 0);
}

// The picture goes through the host's output files: a folder in its place
// is refused, a file gets exactly BoardSvg().
TEST_F(BoardPictureElements, WriteFailsWhereNoFileCanBe) {
  TTempDir dir;
  const auto& writers = pcb9host::OutputWriters();
  const auto svg = std::find_if(writers.begin(), writers.end(),
                                [](const auto& w) { return w.Name == "SVG"; });
  ASSERT_NE(svg, writers.end());
  pcb9host::TImportOutcome outcome;
  EXPECT_FALSE(pcb9host::WriteOutput(*svg, dir.Path().string(), outcome));
  const std::string file = dir.File("board.svg");
  EXPECT_TRUE(pcb9host::WriteOutput(*svg, file, outcome));
  EXPECT_EQ(ReadFileBytes(file), pcb9host::BoardSvg());
}

}  // namespace
}  // namespace pcb9test
