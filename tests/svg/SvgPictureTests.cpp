// pcb9-host import --svg as users run it: the rich example board rendered
// by rsvg-convert looks as the stored reference picture, the picture is
// written also after a failed import, and a picture that cannot be written
// fails the command.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace pcb9test {
namespace {

const std::string kRichExample = std::string(PCB9_BIN_DIR) + "/../examples/board.PCB";
const std::string kReference = std::string(PCB9_SOURCE_DIR) + "/tests/svg/reference/board.png";

TChildOutcome Host(std::vector<std::string> args) {
  args.insert(args.begin(), BinPath("pcb9-host"));
  return RunProgram(args);
}

struct TPicture {
  unsigned Width = 0, Height = 0;
  std::vector<uint8_t> Rgba;
  const uint8_t* At(unsigned x, unsigned y) const { return &Rgba[(size_t{y} * Width + x) * 4]; }
};

// The picture in 8-bit RGBA; empty when the file is no PNG.
TPicture ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  TPicture picture;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGBA;
  picture.Rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.Rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return {};
  }
  picture.Width = image.width;
  picture.Height = image.height;
  return picture;
}

bool Close(const uint8_t* a, const uint8_t* b, int tolerance) {
  for (int c = 0; c < 4; ++c)
    if (std::abs(a[c] - b[c]) > tolerance) return false;
  return true;
}

// The part of the pixels that match no pixel of the reference at or next
// to their place: edges that another renderer smooths a little differently
// or shifts by a pixel do not count, a missing or moved shape does.
double DifferingPart(const TPicture& picture, const TPicture& reference) {
  constexpr int kTolerance = 48;
  size_t differing = 0;
  for (unsigned y = 0; y < picture.Height; ++y)
    for (unsigned x = 0; x < picture.Width; ++x) {
      bool matched = false;
      for (unsigned ny = y ? y - 1 : 0; ny <= std::min(y + 1, picture.Height - 1) && !matched; ++ny)
        for (unsigned nx = x ? x - 1 : 0; nx <= std::min(x + 1, picture.Width - 1) && !matched; ++nx)
          matched = Close(picture.At(x, y), reference.At(nx, ny), kTolerance);
      differing += !matched;
    }
  return static_cast<double>(differing) / (double{1} * picture.Width * picture.Height);
}

class BoardPicture : public ::testing::Test {
 protected:
  // Renders the SVG to PNG with rsvg-convert, which the test command installs.
  TPicture Render(const std::string& svg) {
    const std::string png = Dir.File("board.png");
    const TChildOutcome rendered = RunProgram({"/usr/bin/rsvg-convert", svg, "-o", png});
    EXPECT_EQ(rendered.ExitCode, 0) << "rsvg-convert (package librsvg2-bin): " << rendered.Err;
    return ReadPng(png);
  }
  TTempDir Dir;
};

TEST_F(BoardPicture, RichExampleLooksAsTheReference) {
  const std::string svg = Dir.File("board.svg");
  const TChildOutcome run = Host({"import", kRichExample, "--svg", svg, "--test-mode"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const TPicture picture = Render(svg);
  const TPicture reference = ReadPng(kReference);
  ASSERT_GT(reference.Width, 0u) << kReference;
  ASSERT_EQ(picture.Width, reference.Width);
  ASSERT_EQ(picture.Height, reference.Height);
  // A word of five letters missing is 0.03 % of the picture.
  EXPECT_LT(DifferingPart(picture, reference), 0.0002);
}

TEST_F(BoardPicture, DrawnAlsoWhenTheImportFailsAndRendersDespiteMarkupInTexts) {
  // A text of markup characters, one good track, then a record cut short
  // by the end tag: the import fails and keeps what it loaded.
  const std::string board = Dir.File("cut.PCB");
  pcb9::tokenasm::WriteBytesFile(board, pcb9::tokenasm::AssembleText(R"(
"PCB FILE 9 VERSION 2.80"
long 0 3 0 0 0 0 0 0 0 0
"X"
attr 6 17
attr 28 60mil
coord 0 0
real 0
coord 0 0 0 0
"</svg> & <g \"x\">"
"TH"
attr 6 1
attr 7 10mil
coord 100mil 300mil 50mil
word 0 0
word 7
end
)"));
  const std::string svg = Dir.File("cut.svg");
  const TChildOutcome run = Host({"import", board, "--svg", svg, "--test-mode"});
  EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
  const std::string text = ReadFileBytes(svg);
  EXPECT_NE(text.find(R"x(<line x1="100" y1="-50" x2="300" y2="-50" stroke-width="10"/>)x"), std::string::npos)
      << text;
  EXPECT_NE(text.find("&lt;/svg&gt; &amp; &lt;g &quot;x&quot;&gt;"), std::string::npos) << text;
  EXPECT_GT(Render(svg).Width, 0u);
}

TEST_F(BoardPicture, PictureThatCannotBeWrittenFailsTheCommand) {
  const TChildOutcome run = Host({"import", kRichExample, "--svg", Dir.Path().string(), "--test-mode"});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("pcb9-host: cannot write " + Dir.Path().string() + ": it is a folder\n"),
            std::string::npos)
      << run.Err;
}

}  // namespace
}  // namespace pcb9test
