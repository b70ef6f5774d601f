// The example boards as a user meets them: each imports completely into a
// sound host, the same file imported twice in one process gives the same
// board, and the rich board cut short anywhere fails cleanly and keeps every
// record that came before the cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Document.h"
#include "Dump.h"
#include "Kinds.h"
#include "Module.h"
#include "entry/Driver.h"
#include "support/HostFixture.h"
#include "support/TempDir.h"

namespace pcb9test {
namespace {

const std::string kExamples = std::string(PCB9_BIN_DIR) + "/../examples/";

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Imports the file into the host's board, named after the file, as
// pcb9-host does.
bool ImportFile(const std::string& path) {
  morvik::SetBoardFileName(path);
  return pcb9::RunImport(path, static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle()));
}

struct TExample {
  const char* Name;
  size_t ReportMessages;  // the component layer report's information box
};

class ExampleBoard : public THostFixture, public ::testing::WithParamInterface<TExample> {};

TEST_P(ExampleBoard, ImportsCompletelyIntoASoundHost) {
  // A copy, so that the report lands in a folder of the test's own.
  TTempDir dir;
  const std::string name = std::string(GetParam().Name) + ".PCB";
  const std::vector<uint8_t> bytes = ReadBytes(kExamples + name);
  ASSERT_FALSE(bytes.empty());
  const std::string path = dir.Write(name, std::string(bytes.begin(), bytes.end()));
  ASSERT_TRUE(ImportFile(path));
  EXPECT_TRUE(morvik::HostErrors().empty());
  EXPECT_EQ(Session().Messages().size(), GetParam().ReportMessages);
  EXPECT_EQ(Session().Reports().size(), GetParam().ReportMessages);
  // The preamble's total matches the objects the file holds.
  EXPECT_EQ(morvik::Progress().Updates, morvik::Progress().Total);
}

INSTANTIATE_TEST_SUITE_P(All, ExampleBoard,
                         ::testing::Values(TExample{"board", 0}, TExample{"level8-v270", 1},
                                           TExample{"level5-v240", 0}, TExample{"level3-v220", 0},
                                           TExample{"legacy-v110", 0}),
                         [](const auto& info) {
                           std::string name = info.param.Name;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

nlohmann::json ImportedDump(const std::string& path) {
  ResetHost();
  pcb9host::TImportOutcome outcome;
  outcome.Result = ImportFile(path);
  outcome.Board = morvik::TDocument::Instance().BoardHandle();
  nlohmann::json dump = pcb9host::ImportDump(outcome);
  // The report carries the time of day.
  dump.erase("reports");
  return dump;
}

TEST_F(THostFixture, TheSameFileTwiceInOneProcessGivesTheSameBoard) {
  for (const char* name : {"board", "level8-v270"}) {
    SCOPED_TRACE(name);
    TTempDir dir;
    const std::vector<uint8_t> bytes = ReadBytes(kExamples + name + ".PCB");
    const std::string path = dir.Write("copy.PCB", std::string(bytes.begin(), bytes.end()));
    const nlohmann::json first = ImportedDump(path);
    const nlohmann::json second = ImportedDump(path);
    EXPECT_EQ(first["result"], true);
    EXPECT_TRUE(first == second);
  }
}

// What identifies a board member across two imports of the same records.
std::vector<std::string> BoardMembers() {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  std::vector<std::string> members;
  for (uint32_t handle : doc.Find(doc.BoardHandle())->Members) {
    const morvik::TObject* o = doc.Find(handle);
    if (!o || o->Kind == morvik::kKindRule) continue;
    members.push_back(std::to_string(o->Kind) + " " + std::to_string(o->Int("X")) + " " +
                      std::to_string(o->Int("Y")) + " " + o->Text("Name") + o->Text("Text"));
  }
  return members;
}

// Every word offset from the header to the end tag, in steps, and the words
// around each block boundary.
TEST_F(THostFixture, TheRichBoardCutShortFailsOnceAndKeepsWhatCameBefore) {
  const std::vector<uint8_t> whole = ReadBytes(kExamples + "board.PCB");
  TTempDir dir;
  const std::string full = dir.Write("full.PCB", std::string(whole.begin(), whole.end()));
  ASSERT_TRUE(ImportFile(full));
  const std::vector<std::string> complete = BoardMembers();

  size_t endTag = whole.size() / 2;
  while (endTag > 0 && !(whole[2 * (endTag - 1)] == 0x00 && whole[2 * (endTag - 1) + 1] == 0xA2))
    --endTag;
  ASSERT_GT(endTag, 0u);

  std::vector<size_t> cuts;
  for (size_t words = 1; words < endTag; words += 5) cuts.push_back(words);
  for (size_t words = 2040; words < 2056 && words < endTag; ++words) cuts.push_back(words);
  std::sort(cuts.begin(), cuts.end());

  size_t kept = 0;
  for (size_t words : cuts) {
    SCOPED_TRACE("cut after word " + std::to_string(words));
    ResetHost();
    const std::string path =
        dir.Write("cut.PCB", std::string(whole.begin(), whole.begin() + 2 * words));
    EXPECT_FALSE(ImportFile(path));
    ASSERT_EQ(Session().Messages().size(), 1u);
    EXPECT_EQ(Session().Messages()[0].Text, "File Corruption: " + path);
    const std::vector<std::string> members = BoardMembers();
    ASSERT_LE(members.size(), complete.size());
    EXPECT_TRUE(std::equal(members.begin(), members.end(), complete.begin()));
    // A longer file never keeps fewer records.
    EXPECT_GE(members.size(), kept);
    kept = members.size();
  }
  EXPECT_GT(kept, complete.size() / 2);
}

}  // namespace
}  // namespace pcb9test
