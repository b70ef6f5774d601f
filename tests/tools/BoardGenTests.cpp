// The benchmark's synthetic boards: every mix at both levels is a sound
// board the reference host imports whole (result true, no refused call),
// with exactly the requested number of objects and every kind of the mix.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>

#include "BoardGen.h"
#include "TokenAsm.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace pcb9::bench {
namespace {

struct TGenCase {
  TBoardMix Mix;
  int16_t Level;
  int64_t Objects;
  std::set<std::string> Kinds;  // object kinds the board must hold
};

void PrintTo(const TGenCase& c, std::ostream* os) {
  *os << static_cast<int>(c.Mix) << " level " << c.Level << " " << c.Objects;
}

const std::set<std::string> kRealisticKinds = {
    "Arc", "Component", "Coordinate", "Dimension", "Fill", "Net", "Pad",
    "Polygon", "SplitPlane", "Text", "Track", "Via"};

class BoardGenTest : public testing::TestWithParam<TGenCase> {};

TEST_P(BoardGenTest, ImportsWholeWithTheRequestedObjects) {
  const TGenCase& c = GetParam();
  TGeneratedBoard board = GenerateBoard(c.Mix, c.Objects, c.Level);
  EXPECT_EQ(board.Objects, c.Objects);
  pcb9test::TTempDir dir;
  const std::string path = dir.File("gen.PCB"), json = dir.File("gen.json");
  tokenasm::WriteBytesFile(path, board.Bytes);

  const auto run = pcb9test::RunProgram(
      {pcb9test::BinPath("pcb9-host"), "import", path, "--json", json});
  ASSERT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  const auto dump = nlohmann::json::parse(tokenasm::ReadTextFile(json));
  EXPECT_TRUE(dump["result"].get<bool>());
  EXPECT_TRUE(dump["host_errors"].empty()) << dump["host_errors"].dump();
  // One progress step per created object, and the preamble's total says so.
  EXPECT_EQ(dump["progress"]["updates"].get<int64_t>(), c.Objects);
  EXPECT_EQ(dump["progress"]["total"].get<int64_t>(), c.Objects);
  std::set<std::string> kinds;
  for (const auto& object : dump["objects"])
    if (object.contains("kind") && object["kind"].is_string()) kinds.insert(object["kind"].get<std::string>());
  for (const std::string& kind : c.Kinds) EXPECT_TRUE(kinds.count(kind)) << kind;
}

INSTANTIATE_TEST_SUITE_P(
    Mixes, BoardGenTest,
    testing::Values(TGenCase{TBoardMix::Realistic, 9, 1500, kRealisticKinds},
                    TGenCase{TBoardMix::Realistic, 7, 1500, kRealisticKinds},
                    TGenCase{TBoardMix::PadsSame, 9, 450, {"Component", "Pad", "Net"}},
                    TGenCase{TBoardMix::PadsDistinct, 9, 450, {"Component", "Pad", "Net"}},
                    TGenCase{TBoardMix::NetsDistinct, 9, 500, {"Net", "Track"}},
                    TGenCase{TBoardMix::NetsDistinct, 7, 500, {"Net", "Track"}}));

TEST(BoardGenTest, RefusesBoardsOutsideItsRange) {
  EXPECT_THROW(GenerateBoard(TBoardMix::Realistic, 99, 9), std::invalid_argument);
  EXPECT_THROW(GenerateBoard(TBoardMix::Realistic, 1000, 6), std::invalid_argument);
}

}  // namespace
}  // namespace pcb9::bench
