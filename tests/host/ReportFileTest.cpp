// The board is named after the file it imports, so a report written through
// the host's streams "beside the board's file" lands beside that file and
// shows in the dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Document.h"
#include "Dump.h"
#include "Module.h"
#include "PcbApiExports.h"
#include "Services.h"
#include "support/HostFixture.h"
#include "support/TempDir.h"

namespace {

constexpr uint8_t kFetch = 1;

class ReportFile : public pcb9test::THostFixture {
 protected:
  pcb9test::TTempDir Dir;

  static std::string BoardFileName() {
    TShortString name;
    PcbApi_QueryBoard(kFetch, morvik::TDocument::Instance().BoardHandle(), nullptr, &name,
                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    return name.Str();
  }
  // What the importer does with the board's name: replace its extension.
  static std::string ReportName() {
    char buffer[kClientPathBufferSize];
    ClientAPI_ForceFileNameExtension(BoardFileName().c_str(), "rpt", buffer);
    return buffer;
  }
  static int32_t WriteReport(const std::string& name, const std::string& text) {
    const uintptr_t stream = VFSAPI_VFS_StreamCreate(name.c_str(), kStreamCreateMode);
    if (stream == 0) return -1;
    const int32_t written =
        VFSAPI_VFS_StreamWrite(stream, text.data(), static_cast<int32_t>(text.size()));
    VFSAPI_VFS_StreamDestroy(stream);
    return written;
  }
};

TEST_F(ReportFile, LandsBesideTheBoardsFileAndReplacesAnEarlierOne) {
  std::filesystem::create_directory(Dir.File("old"));
  const std::string board = Dir.File("old/board.PCB");
  morvik::SetBoardFileName(board);
  EXPECT_EQ(BoardFileName(), board);
  const std::string report = ReportName();
  EXPECT_EQ(report, Dir.File("old/board.rpt"));

  EXPECT_EQ(WriteReport(report, "a first, longer report\r\n"), 24);
  EXPECT_EQ(WriteReport(report, "R\xE9sum\xE9\r\n"), 8);
  EXPECT_EQ(pcb9test::ReadFileBytes(report), "R\xE9sum\xE9\r\n");
  const nlohmann::json reports = pcb9host::DumpSections({})["reports"];
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1], (nlohmann::json{{"name", report}, {"text", "R\xC3\xA9sum\xC3\xA9\r\n"}}));
}

// Why a stream was refused reaches the plug-in through
// VFSAPI_VFS_StreamLastError; nothing is created and nothing recorded.
TEST_F(ReportFile, StreamsRefuseWithAReason) {
  Dir.Write("board.PCB", "the board");
  Dir.Write("target", "the link's target");
  std::filesystem::create_symlink(Dir.File("target"), Dir.File("link.rpt"));
  Session().ProtectFile(Dir.File("board.PCB"), "it is the board file being imported");
  // Protected before it exists, and made afterwards: still the same file.
  Session().ProtectFile(Dir.File("later.json"), "it is an output file of this run");
  Dir.Write("later.json", "written after");
  struct TCase {
    std::string Name;
    uint16_t Mode;
    std::string Reason;
  };
  const TCase cases[] = {
      {Dir.File("a.rpt"), 0, "the stream mode 0 is not known"},
      {"", kStreamCreateMode, "no file name was given"},
      {Dir.File("missing/a.rpt"), kStreamCreateMode, "No such file or directory"},
      {Dir.File("link.rpt"), kStreamCreateMode, "it is a symbolic link, which is not followed"},
      {Dir.File("./board.PCB"), kStreamCreateMode, "it is the board file being imported"},
      {Dir.File("./later.json"), kStreamCreateMode, "it is an output file of this run"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(VFSAPI_VFS_StreamCreate(c.Name.c_str(), c.Mode), 0u) << c.Name;
    char reason[256] = {};
    EXPECT_EQ(VFSAPI_VFS_StreamLastError(reason, sizeof reason), static_cast<int32_t>(c.Reason.size()));
    EXPECT_EQ(std::string(reason), c.Reason);
  }
  EXPECT_EQ(VFSAPI_VFS_StreamCreate(nullptr, kStreamCreateMode), 0u);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(12345, "x", 1), 0);
  EXPECT_EQ(Session().StreamError(), "the stream is not open");
  EXPECT_FALSE(std::filesystem::exists(Dir.File("a.rpt")));
  EXPECT_EQ(pcb9test::ReadFileBytes(Dir.File("board.PCB")), "the board");
  EXPECT_EQ(pcb9test::ReadFileBytes(Dir.File("later.json")), "written after");
  EXPECT_EQ(pcb9test::ReadFileBytes(Dir.File("target")), "the link's target");
  EXPECT_EQ(pcb9host::DumpSections({})["reports"], nlohmann::json::array());
  // A stream that succeeds clears the reason.
  EXPECT_EQ(WriteReport(Dir.File("a.rpt"), "text"), 4);
  EXPECT_EQ(VFSAPI_VFS_StreamLastError(nullptr, 0), 0);
}

// A new board has no name; the name is cut where a text field ends.
TEST_F(ReportFile, BoardNameIsEmptyUntilSetAndAtMost255Characters) {
  EXPECT_EQ(BoardFileName(), "");
  morvik::SetBoardFileName(std::string(300, 'n'));
  EXPECT_EQ(BoardFileName(), std::string(255, 'n'));
  morvik::ResetModule();
  EXPECT_EQ(BoardFileName(), "");
}

}  // namespace
