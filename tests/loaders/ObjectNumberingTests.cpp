// The numbers objects get in file order and the numbers records use to name
// them: every counter that feeds the 16-bit `Index` stops at its largest
// value, and a split plane's 16-bit net number names the net at that place
// in the file, read as the unsigned word it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Kinds.h"
#include "LoaderFixture.h"
#include "loaders/NetLoader.h"
#include "loaders/PadLoader.h"
#include "loaders/PolygonLoader.h"
#include "support/ImportRunner.h"

namespace pcb9test {
namespace {

// A net record at level 3 or 4 with empty lists.
std::string NetRecord(const std::string& name, int level, int planeCode = 0) {
  std::string text = "\"" + name + "\"\ncoord 10mil 20mil\nword 0 0\n\"L1\"\n\"E1\"\n\"L2\"\n\"E2\"\n";
  text += "word 7 7\n";
  if (level >= 4) text += "word " + std::to_string(planeCode) + "\n";
  return text;
}

// A polygon record at level 2 or 4 without vertices.
std::string PolygonRecord(int level) {
  return std::string("word 0 0 0 0\n") + (level >= 3 ? "word 0\n" : "") + "coord 0 0\nword -1\n";
}

int64_t IndexOf(uint32_t handle) {
  const morvik::TObject* object = morvik::TDocument::Instance().Find(handle);
  return object ? object->Int("Index") : 0;
}

using ObjectNumberingTest = TLoaderTest;

// The last three objects of a kind before and after the largest `Index`:
// the number stays at 32767 instead of wrapping to -32768.
TEST_F(ObjectNumberingTest, IndexStopsAtItsLargestValueForEveryKind) {
  struct TCase {
    const char* Kind;
    int32_t pcb9::TObjectCounters::*Counter;
    std::string Record;  // one record, read three times in a row
    uint32_t (*Load)();
  };
  const TCase cases[] = {
      {"net", &pcb9::TObjectCounters::NetCount, "\"N\"\n" + NetRecord("A", 3),
       [] {
         TShortString keyword;
         pcb9::ReadString(keyword);
         return pcb9::LoadNet();
       }},
      {"polygon", &pcb9::TObjectCounters::PolygonCount, PolygonRecord(2), pcb9::LoadPolygon},
      {"pad", &pcb9::TObjectCounters::PadCount, "word 1\n\"1\"\n",
       [] { return pcb9::LoadPad(nullptr); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Kind);
    pcb9::Run().Counters.*c.Counter = 32766;
    OpenRecords(c.Record + c.Record + c.Record, 2);
    std::vector<int64_t> indexes;
    for (int i = 0; i < 3; ++i) indexes.push_back(IndexOf(c.Load()));
    EXPECT_FALSE(pcb9::Run().Aborted);
    EXPECT_EQ(indexes, (std::vector<int64_t>{32767, 32767, 32767}));
    EXPECT_EQ(pcb9::Run().Counters.*c.Counter, 32769);  // the place in the file goes on
  }
}

// With 65,537 nets the last one used to take number 1 and with it the first
// net's place in the owner table: a track of net 1 joined net 65,537.
TEST_F(THostFixture, TrackOfNetOneStaysOnTheFirstNetPastAllNumbers) {
  constexpr int kNets = 65537;
  std::string body;
  body.reserve(kNets * 80);
  for (int n = 1; n <= kNets; ++n) body += "\"N\"\n" + NetRecord("N" + std::to_string(n), 3);
  body += "\"TH\"\nattr 5 1\nattr 6 1\ncoord 0 10 0\nword 0\n";
  TImportRunner runner;
  ASSERT_TRUE(runner.Import(BoardAtLevel(3, body)));
  const auto nets = BoardMembersOfKind(morvik::kKindNet);
  const auto tracks = BoardMembersOfKind(morvik::kKindTrack);
  ASSERT_EQ(nets.size(), size_t{kNets});
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(nets[32766]->Int("Index"), 32767);
  EXPECT_EQ(nets[32767]->Int("Index"), 32767);
  EXPECT_EQ(nets[kNets - 1]->Int("Index"), 32767);
  EXPECT_EQ(tracks[0]->Int("Net"), nets[0]->Handle);
}

// A split plane of net W read before the net at place N of the file: the
// plane of that net keeps its name exactly when W, read unsigned, is N.
TEST_F(ObjectNumberingTest, SplitPlaneNamesTheNetByItsUnsignedNumber) {
  struct TCase {
    int SplitPlaneNet;  // the word of attribute 5
    int32_t NetPlace;
    bool PlaneNamed;
  };
  const TCase cases[] = {
      {0x8000, 32768, false}, {0xFFFF, 65535, false}, {1, 1, false},
      // A 16-bit number names no net past 65535: no wrapping onto net 1.
      {0x8000, 32769, true},  {1, 65537, true},       {0, 65536, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.SplitPlaneNet << " against net " << c.NetPlace);
    SetUp();  // a fresh host and run
    OpenRecords("attr 5 " + std::to_string(c.SplitPlaneNet) + "\nattr 6 24\n" + PolygonRecord(4) +
                    "\"N\"\n" + NetRecord("PWR", 4, 24),
                4);
    pcb9::LoadPolygonGroup();
    ASSERT_EQ(BoardMembersOfKind(morvik::kKindSplitPlane).size(), 1u);
    TShortString keyword;
    pcb9::ReadString(keyword);
    pcb9::Run().Counters.NetCount = c.NetPlace - 1;
    pcb9::LoadNet();
    EXPECT_FALSE(pcb9::Run().Aborted);
    EXPECT_EQ(PlaneNetName(2), c.PlaneNamed ? "PWR" : "(No Net)");
  }
}

}  // namespace
}  // namespace pcb9test
