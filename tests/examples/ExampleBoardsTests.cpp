// The example boards as a user meets them: each imports completely into a
// sound host, the same file imported twice in one process gives the same
// board. Damaged boards are swept in tests/hardening.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Document.h"
#include "Dump.h"
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
  std::ostringstream text;
  pcb9host::WriteImportDump(text, pcb9host::DumpSections(outcome));
  nlohmann::json dump = nlohmann::json::parse(text.str());
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

}  // namespace
}  // namespace pcb9test
