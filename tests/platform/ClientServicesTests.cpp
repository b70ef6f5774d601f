// The importer's view of the host application's services: file names and
// streams bound by name, their defaults when unbound, test mode, the OK
// boxes and the date and time texts.
#include <gtest/gtest.h>

#include "client/ClientServices.h"
#include "support/Child.h"
#include "support/HostFixture.h"
#include "support/TempDir.h"

namespace pcb9 {
namespace {

using pcb9test::THostFixture;

struct TNameCase {
  const char* Path;
  const char* WholeName;
  const char* WithRpt;
};

class ClientFileNames : public THostFixture, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(ClientFileNames, ComeFromTheHost) {
  const TNameCase& c = GetParam();
  EXPECT_EQ(ClientAPI_ExtractWholeFileNameFromPath(c.Path), c.WholeName);
  EXPECT_EQ(ClientAPI_ForceFileNameExtension(c.Path, "rpt"), c.WithRpt);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClientFileNames,
    ::testing::Values(TNameCase{"/boards/old/board.PCB", "board.PCB", "/boards/old/board.rpt"},
                      TNameCase{"/boards/v1.2/board", "board", "/boards/v1.2/board.rpt"},
                      TNameCase{"board.tar.PCB", "board.tar.PCB", "board.tar.rpt"},
                      TNameCase{"/boards/.hidden", ".hidden", "/boards/.hidden.rpt"},
                      TNameCase{"", "", ".rpt"}));

// Paths as each system spells them: on Windows a backslash (or a drive's
// colon) ends the folder as '/' does, so a dot in a folder's name is no
// extension; elsewhere a backslash is part of a file name.
#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(
    SystemPaths, ClientFileNames,
    ::testing::Values(TNameCase{"C:\\a.b\\board", "board", "C:\\a.b\\board.rpt"},
                      TNameCase{"Z:\\tmp\\x.y\\board.PCB", "board.PCB", "Z:\\tmp\\x.y\\board.rpt"},
                      TNameCase{"C:\\a.b/c.d\\board.PCB", "board.PCB", "C:\\a.b/c.d\\board.rpt"},
                      TNameCase{"C:board.PCB", "board.PCB", "C:board.rpt"}));
#else
INSTANTIATE_TEST_SUITE_P(
    SystemPaths, ClientFileNames,
    ::testing::Values(TNameCase{"/boards/a\\b.PCB", "a\\b.PCB", "/boards/a\\b.rpt"},
                      TNameCase{"/boards/x.y\\board", "x.y\\board", "/boards/x.rpt"}));
#endif

class ClientStreams : public THostFixture {
 protected:
  pcb9test::TTempDir Dir;
};

TEST_F(ClientStreams, WriteAFileAndRecordIt) {
  const std::string name = Dir.File("board.rpt");
  const TVfsStream stream = VFSAPI_VFS_StreamCreate(name, kStreamCreateMode);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(stream, "Line\r\n", 6), 6);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(stream, "\xE9\r\n", 3), 3);
  VFSAPI_VFS_StreamDestroy(stream);
  EXPECT_EQ(pcb9test::ReadFileBytes(name), "Line\r\n\xE9\r\n");
  ASSERT_EQ(Session().Reports().size(), 1u);
  EXPECT_EQ(Session().Reports()[0].Name, name);
  EXPECT_EQ(Session().Reports()[0].Text, "Line\r\n\xE9\r\n");
}

TEST_F(ClientStreams, CreatingReplacesAnExistingFile) {
  const std::string name = Dir.Write("board.rpt", "old text that is longer");
  const TVfsStream stream = VFSAPI_VFS_StreamCreate(name, kStreamCreateMode);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(stream, "new", 3), 3);
  VFSAPI_VFS_StreamDestroy(stream);
  EXPECT_EQ(pcb9test::ReadFileBytes(name), "new");
}

TEST_F(ClientStreams, StreamsThatCannotBeMadeAreHandleZero) {
  EXPECT_EQ(VFSAPI_VFS_StreamCreate(Dir.File("no/such/folder/x.rpt"), kStreamCreateMode), 0u);
  EXPECT_EQ(VFSAPI_VFS_StreamCreate(Dir.File("x.rpt"), 0), 0u);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(0, "abc", 3), 0);
  EXPECT_TRUE(Session().Reports().empty());
}

TEST_F(ClientStreams, UnboundServicesAnswerTheirDefaults) {
  BindClientApi(nullptr);
  EXPECT_EQ(ClientAPI_ExtractWholeFileNameFromPath("/a/board.PCB"), "");
  EXPECT_EQ(ClientAPI_ForceFileNameExtension("/a/board.PCB", "rpt"), "");
  EXPECT_EQ(VFSAPI_VFS_StreamCreate(Dir.File("x.rpt"), kStreamCreateMode), 0u);
  EXPECT_EQ(VFSAPI_VFS_StreamWrite(1, "abc", 3), -1);
  VFSAPI_VFS_StreamDestroy(1);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("x.rpt")));
}

class ClientMessages : public THostFixture {};

TEST_F(ClientMessages, TestModeIsAskedAnewOnEveryCall) {
  EXPECT_FALSE(IsTestMode());
  Session().SetTestMode(true);
  EXPECT_TRUE(IsTestMode());
  Session().SetTestMode(false);
  EXPECT_FALSE(IsTestMode());
}

TEST_F(ClientMessages, OkBoxesTakeTheirDefaultCaptions) {
  ShowInformation("Report written", "");
  ShowError("It failed", "");
  ShowInformation("Text", "Own caption");
  const auto& m = Session().Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].Caption, "Information");
  EXPECT_EQ(m[0].Icon, "information");
  EXPECT_EQ(m[0].Buttons, "ok");
  EXPECT_EQ(m[1].Caption, "Error");
  EXPECT_EQ(m[1].Icon, "error");
  EXPECT_EQ(m[2].Caption, "Own caption");
}

TEST_F(ClientMessages, InTestModeABoxEndsTheProcessWithItsTextOnStandardOutput) {
  Session().SetTestMode(true);
  const auto error = pcb9test::RunInChild([] {
    ShowError("It failed", "");
    return 0;
  });
  EXPECT_EQ(error.ExitCode, 1);
  EXPECT_EQ(error.Out, "ShowDialogWithCaption withError It failed\n");
  const auto info = pcb9test::RunInChild([] {
    ShowInformation("Report written", "Import");
    return 0;
  });
  EXPECT_EQ(info.ExitCode, 1);
  EXPECT_EQ(info.Out, "ShowDialogWithCaption withImport Report written\n");
  EXPECT_TRUE(Session().Messages().empty());
}

TEST_F(ClientMessages, DateAndTimeTexts) {
  EXPECT_EQ(TodayText().size(), 10u);
  EXPECT_EQ(NowText().size(), 8u);
}

}  // namespace
}  // namespace pcb9
