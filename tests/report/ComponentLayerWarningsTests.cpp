// The component layer warnings: the line per component, the exact report
// text with its sections, cuts and line ends, the message and test mode,
// and a report the host cannot write.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "Document.h"
#include "client/ClientServices.h"
#include "run/ImportRun.h"
#include "hostapi/PcbApi.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "report/ComponentLayerWarnings.h"
#if !defined(_WIN32)
#include "support/Child.h"
#endif
#include "support/HostFixture.h"
#include "support/TempDir.h"

namespace pcb9test {
namespace {

using pcb9::TComponentLayerWarnings;
using pcb9::TPcbComponent;

uint32_t MakeText(const std::string& text) {
  pcb9::TPcbText proxy(pcb9::PcbApi_CreateObject(pcb9::kTextKind));
  proxy.Sync(pcb9::kSyncFetch);
  proxy.Text.Assign(text);
  proxy.Sync(pcb9::kSyncStore);
  return proxy.Handle;
}

class ComponentLayerWarningsTest : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    pcb9::BeginRun();
    pcb9::Run().FormatLevel = 7;  // "Orvane PCB Binary 2.6"
    SetBoardFile(Dir.File("board.PCB"));
  }
  void TearDown() override {
    pcb9::EndRun();
    THostFixture::TearDown();
  }

  // The board's file name as the host reports it to the run's board proxy.
  void SetBoardFile(const std::string& path) {
    morvik::TDocument& doc = morvik::TDocument::Instance();
    doc.Find(doc.BoardHandle())->Set("BoardInfo.2", morvik::TFieldType::Text, path);
    pcb9::Run().Board = std::make_unique<pcb9::TPcbBoard>(doc.BoardHandle());
    pcb9::Run().Board->Sync(pcb9::kSyncFetch);
  }

  TPcbComponent& Component(const std::string& designator, const std::string& pattern,
                           const std::string& comment) {
    auto& c = Components.emplace_back(
        std::make_unique<TPcbComponent>(pcb9::PcbApi_CreateObject(pcb9::kComponentKind)));
    c->Sync(pcb9::kSyncFetch);
    c->NameText = MakeText(designator);
    c->CommentText = MakeText(comment);
    c->Pattern.Assign(pattern);
    return *c;
  }

  std::string ReportOnDisk() { return ReadFileBytes(Dir.File("board.rpt")); }

  TTempDir Dir;
  std::vector<std::unique_ptr<TPcbComponent>> Components;
};

// The report's lines: every line ends with CR LF, the last one too, and no
// other line break occurs.
std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end with CR LF";
      break;
    }
    lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    at = end + 2;
  }
  return lines;
}

// The system's long time format: on Windows the user's (under Wine's
// default locale 12-hour with AM/PM), elsewhere 24-hour.
#if defined(_WIN32)
const char* const kTimeLine = "Time     : \\d\\d?:\\d\\d:\\d\\d( [AP]M)?";
#else
const char* const kTimeLine = "Time     : \\d\\d:\\d\\d:\\d\\d";
#endif

// Compares the lines after the header's date and time, which are checked
// for their shape only.
void ExpectReport(const std::vector<std::string>& lines,
                  const std::vector<std::string>& expected) {
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 2) {
      EXPECT_EQ(lines[i], "Date     : " + pcb9::TodayText());
    } else if (i == 3) {
      EXPECT_TRUE(std::regex_match(lines[i], std::regex(kTimeLine))) << lines[i];
    } else {
      EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    }
  }
}

const std::vector<std::string> kHeader = {
    "Orvane PCB Binary 2.6 Importer - Component Layer Warnings Report",
    "PCB File : board.PCB",
    "",  // date
    "",  // time
    std::string(73, '='),
    "",
    "",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(ComponentLayerWarningsTest, ComponentLineJoinsDesignatorPatternAndComment) {
  EXPECT_EQ(TComponentLayerWarnings::ComponentLine(&Component("U1", "DIP14", "7400")),
            "U1 (DIP14, 7400)");
  EXPECT_EQ(TComponentLayerWarnings::ComponentLine(nullptr), "");
  // A component without texts names none.
  TPcbComponent& bare = Component("", "SO8", "");
  bare.NameText = bare.CommentText = 0;
  EXPECT_EQ(TComponentLayerWarnings::ComponentLine(&bare), " (SO8, )");
  // 200 + 2 + 50 + 2 + 100 + 1 characters, cut at 255.
  const std::string line = TComponentLayerWarnings::ComponentLine(
      &Component(std::string(200, 'D'), std::string(50, 'P'), std::string(100, 'C')));
  EXPECT_EQ(line, std::string(200, 'D') + " (" + std::string(50, 'P') + ", C");
}

TEST_F(ComponentLayerWarningsTest, OnlyAssumedOrUndeterminedSidesAreWarnings) {
  using TAdd = void (TComponentLayerWarnings::*)(TPcbComponent*);
  struct TCase {
    const char* Name;
    TAdd Add;
    bool Warns;
  };
  for (const TCase& c : {TCase{"ValidTop", &TComponentLayerWarnings::AddValidTop, false},
                         TCase{"ValidBottom", &TComponentLayerWarnings::AddValidBottom, false},
                         TCase{"AssumedTop", &TComponentLayerWarnings::AddAssumedTop, true},
                         TCase{"AssumedBottom", &TComponentLayerWarnings::AddAssumedBottom, true},
                         TCase{"Undetermined", &TComponentLayerWarnings::AddUndetermined, true}}) {
    SCOPED_TRACE(c.Name);
    TComponentLayerWarnings warnings;
    EXPECT_FALSE(warnings.HasWarnings());
    (warnings.*c.Add)(&Component("R1", "0805", "10k"));
    EXPECT_EQ(warnings.HasWarnings(), c.Warns);
  }
}

// Ten valid top components and one undetermined: the header, then the two
// sections in order; the other three are absent, titles and all.
TEST_F(ComponentLayerWarningsTest, ReportHoldsOnlyTheSectionsThatHaveLines) {
  TComponentLayerWarnings warnings;
  std::vector<std::string> valid;
  for (int i = 1; i <= 10; ++i) {
    warnings.AddValidTop(&Component("U" + std::to_string(i), "DIP14", "7400"));
    valid.push_back("U" + std::to_string(i) + " (DIP14, 7400)");
  }
  warnings.AddUndetermined(&Component("J1", "CONN", "Header"));

  ASSERT_TRUE(warnings.WriteReport());
  EXPECT_EQ(warnings.ReportFileName, Dir.File("board.rpt"));
  ExpectReport(SplitCrLf(ReportOnDisk()),
               Concat({kHeader,
                       {"Top Layer Components",
                        "These components have a valid top layer attribute in the",
                        "Orvane PCB Binary 2.6 file"},
                       valid,
                       {"", "", "Components With Undefined Layer",
                        "For these components, it was not possible to determine the layer",
                        "from either the Orvane PCB Binary 2.6 file or the footprint primitives.",
                        "They have been imported onto the top layer.", "J1 (CONN, Header)", "",
                        ""}}));
  // The host got the same bytes through its streams.
  ASSERT_EQ(Session().Reports().size(), 1u);
  EXPECT_EQ(Session().Reports()[0].Text, ReportOnDisk());
}

TEST_F(ComponentLayerWarningsTest, ReportListsAllFiveSectionsInOrder) {
  TComponentLayerWarnings warnings;
  // Added out of order: the report's order is the sections', not the calls'.
  warnings.AddUndetermined(&Component("U5", "P5", "C5"));
  warnings.AddAssumedBottom(&Component("U4", "P4", "C4"));
  warnings.AddAssumedTop(&Component("U3", "P3", "C3"));
  warnings.AddValidBottom(&Component("U2", "P2", "C2"));
  warnings.AddValidTop(&Component("U1", "P1", "C1"));
  warnings.AddValidTop(&Component("U1", "P1", "C1"));  // equal lines are kept

  ASSERT_TRUE(warnings.WriteReport());
  // The lines kept are the lines written.
  EXPECT_EQ(warnings.ReportLines, SplitCrLf(ReportOnDisk()));
  ExpectReport(
      SplitCrLf(ReportOnDisk()),
      Concat({kHeader,
              {"Top Layer Components",
               "These components have a valid top layer attribute in the",
               "Orvane PCB Binary 2.6 file", "U1 (P1, C1)", "U1 (P1, C1)", "", "",
               "Bottom Layer Components",
               "These components have a valid bottom layer attribute in the ",
               "Orvane PCB Binary 2.6 file", "U2 (P2, C2)", "", "",
               "Top Layer Components With Warnings",
               "These components do not have a valid layer in the Orvane PCB Binary 2.6 file,",
               "but were assumed to be top layer because of their footprint primitives.",
               "U3 (P3, C3)", "", "", "Bottom Layer Components With Warnings",
               "These components do not have a valid layer in the Orvane PCB Binary 2.6 file,",
               "but were assumed to be bottom layer because of their footprint primitives.",
               "U4 (P4, C4)", "", "", "Components With Undefined Layer",
               "For these components, it was not possible to determine the layer",
               "from either the Orvane PCB Binary 2.6 file or the footprint primitives.",
               "They have been imported onto the top layer.", "U5 (P5, C5)", "", ""}}));
}

TEST_F(ComponentLayerWarningsTest, EveryLineIsCutAt255Characters) {
  TComponentLayerWarnings warnings;
  warnings.AssumedTop.push_back(std::string(300, 'x'));
  warnings.AssumedTop.push_back(std::string(255, 'y'));
  ASSERT_TRUE(warnings.WriteReport());
  const auto lines = SplitCrLf(ReportOnDisk());
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[10], std::string(255, 'x'));
  EXPECT_EQ(lines[11], std::string(255, 'y'));
}

// A board's texts cannot start report lines of their own: control
// characters in a designator, pattern or comment, and in the board file's
// name, are written as '?'.
TEST_F(ComponentLayerWarningsTest, ControlCharactersAreWrittenAsQuestionMarks) {
#if defined(_WIN32)
  // Windows file names hold no control characters.
  const std::string board = "board", shown = "board";
#else
  const std::string board = "bo\r\nard", shown = "bo??ard";
#endif
  SetBoardFile(Dir.File(board + ".PCB"));
  TComponentLayerWarnings warnings;
  warnings.AddAssumedTop(&Component("U1\r\nU2 (forged, line)", "DIP\x1b[2J", "C\x7F\t\x01x"));
  const std::string line = "U1??U2 (forged, line) (DIP?[2J, C???x)";
  EXPECT_EQ(warnings.AssumedTop, std::vector<std::string>{line});
  ASSERT_TRUE(warnings.WriteReport());
  const auto lines = SplitCrLf(ReadFileBytes(Dir.File(board + ".rpt")));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[1], "PCB File : " + shown + ".PCB");
  EXPECT_EQ(lines[10], line);
}

TEST_F(ComponentLayerWarningsTest, SecondReportReplacesTheFirst) {
  TComponentLayerWarnings first;
  for (int i = 0; i < 20; ++i) first.AddUndetermined(&Component("A", "B", "C"));
  ASSERT_TRUE(first.WriteReport());
  TComponentLayerWarnings second;
  second.AddAssumedBottom(&Component("Q1", "TO92", "BC547"));
  ASSERT_TRUE(second.WriteReport());
  const std::string text = ReportOnDisk();
  EXPECT_EQ(text, Session().Reports().back().Text);
  EXPECT_EQ(text.find("Components With Undefined Layer"), std::string::npos);
  EXPECT_NE(text.find("Q1 (TO92, BC547)\r\n"), std::string::npos);
}

TEST_F(ComponentLayerWarningsTest, MessageNamesTheBoardAndTheReport) {
  TComponentLayerWarnings warnings;
  warnings.AddAssumedTop(&Component("U1", "DIP14", "7400"));
  ASSERT_TRUE(warnings.WriteReport());
  warnings.ShowWarningMessage();
  ASSERT_EQ(Session().Messages().size(), 1u);
  const pcb9host::TMessageRecord& box = Session().Messages()[0];
  EXPECT_EQ(box.Caption, "Information");
  EXPECT_EQ(box.Icon, "information");
  EXPECT_EQ(box.Buttons, "ok");
  EXPECT_EQ(box.Text,
            "board.PCB: some of the components' layers in this\r\nOrvane PCB Binary 2.6 file "
            "could not be determined.\r\nPlease review the report file board.rpt for more "
            "information.");
}

// The post-load step as the driver runs it.
class ReportStepTest : public ComponentLayerWarningsTest {
 protected:
  TComponentLayerWarnings& Warnings() {
    pcb9::Run().LayerWarnings = pcb9::MakeRunPart<TComponentLayerWarnings>();
    return *pcb9::Run().LayerWarnings;
  }
};

TEST_F(ReportStepTest, ValidSidesOnlyWriteNothingAndShowNothing) {
  Warnings().AddValidTop(&Component("U1", "DIP14", "7400"));
  Warnings().AddValidBottom(&Component("U2", "DIP14", "7400"));
  pcb9::ReportComponentLayerWarnings();
  EXPECT_TRUE(Session().Reports().empty());
  EXPECT_TRUE(Session().Messages().empty());
  EXPECT_FALSE(pcb9::Run().Aborted);
}

TEST_F(ReportStepTest, TestModeWritesTheReportButShowsNoMessage) {
  EnterTestMode();
  Warnings().AddUndetermined(&Component("U1", "DIP14", "7400"));
  pcb9::ReportComponentLayerWarnings();  // a shown box would end the process
  EXPECT_TRUE(Session().Messages().empty());
  EXPECT_NE(ReportOnDisk().find("U1 (DIP14, 7400)"), std::string::npos);
  EXPECT_FALSE(pcb9::Run().Aborted);
}

TEST_F(ReportStepTest, WarningsOutsideTestModeAreAnnounced) {
  Warnings().AddAssumedBottom(&Component("U1", "DIP14", "7400"));
  pcb9::ReportComponentLayerWarnings();
  EXPECT_EQ(Session().Messages().size(), 1u);
  EXPECT_FALSE(ReportOnDisk().empty());
}

// The reasons below are the POSIX host's own texts, and two cases run in a
// forked child.
#if !defined(_WIN32)
// A report the host cannot write is not announced: an error box names it
// and the host's reason, and the run ends as failed instead of an
// exception leaving the import. Nothing is left under the report's name.
struct TUnwritableCase {
  const char* What;
  const char* Board;  // in the test's folder
  std::function<void(const TTempDir&)> Make;
  const char* Reason;
};

void PrintTo(const TUnwritableCase& c, std::ostream* os) { *os << c.What; }

const TUnwritableCase kUnwritable[] = {
    {"a missing folder", "missing/board.PCB", [](const TTempDir&) {}, "No such file or directory"},
    {"a folder in the place", "board.PCB",
     [](const TTempDir& d) { std::filesystem::create_directory(d.File("board.rpt")); },
     "it is a folder"},
    {"a link in the place", "board.PCB",
     [](const TTempDir& d) {
       std::filesystem::create_symlink(d.Write("target", "kept"), d.File("board.rpt"));
     },
     "it is a symbolic link, which is not followed"},
    {"the board itself", "x.rpt",
     [](const TTempDir& d) {
       d.Write("x.rpt", "the board");
       pcb9host::THostSession::Instance().ProtectFile(d.File("x.rpt"),
                                                      "it is the board file being imported");
     },
     "it is the board file being imported"},
};

class UnwritableReport : public ReportStepTest,
                         public ::testing::WithParamInterface<TUnwritableCase> {};

TEST_P(UnwritableReport, ShowsWhyAndFailsTheRun) {
  const TUnwritableCase& c = GetParam();
  c.Make(Dir);
  SetBoardFile(Dir.File(c.Board));
  const std::string report = pcb9::ClientAPI_ForceFileNameExtension(Dir.File(c.Board), "rpt");
  auto content = [&report] {
    return std::filesystem::is_regular_file(report) ? ReadFileBytes(report) : std::string("-");
  };
  const std::string before = content();
  Warnings().AddUndetermined(&Component("U1", "DIP14", "7400"));
  pcb9::ReportComponentLayerWarnings();
  ASSERT_EQ(Session().Messages().size(), 1u) << c.What;
  const pcb9host::TMessageRecord& box = Session().Messages()[0];
  EXPECT_EQ(box.Caption, "Error");
  EXPECT_EQ(box.Icon, "error");
  EXPECT_EQ(box.Owner, "desktop");
  EXPECT_EQ(box.Text, "Cannot write the component report " + report + ": " + c.Reason);
  EXPECT_TRUE(pcb9::Run().Aborted);
  EXPECT_TRUE(Session().Reports().empty());
  EXPECT_EQ(content(), before) << c.What;
  if (std::filesystem::exists(Dir.File("target"))) {
    EXPECT_EQ(ReadFileBytes(Dir.File("target")), "kept");
  }
}

INSTANTIATE_TEST_SUITE_P(Causes, UnwritableReport, ::testing::ValuesIn(kUnwritable),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// A host without a reason to give still gets a message that says what
// failed.
TEST_F(ReportStepTest, AHostWithoutReasonsGetsAGenericOne) {
  Warnings().AddUndetermined(&Component("U1", "DIP14", "7400"));
  pcb9::BindClientApi(nullptr);
  pcb9::ReportComponentLayerWarnings();
  ASSERT_EQ(Session().Messages().size(), 1u);
  EXPECT_EQ(Session().Messages()[0].Text,
            "Cannot write the component report : the host could not create it");
  EXPECT_TRUE(pcb9::Run().Aborted);
}

// In test mode no box is shown: the line goes to standard output and the
// run goes on to its end.
TEST_F(ReportStepTest, InTestModeTheFailureIsALineAndTheRunGoesOn) {
  Session().SetTestMode(true);
  SetBoardFile(Dir.File("missing/board.PCB"));
  Warnings().AddUndetermined(&Component("U1", "DIP14", "7400"));
  const auto run = RunInChild([] {
    pcb9::ReportComponentLayerWarnings();
    return pcb9::Run().Aborted ? 7 : 0;
  });
  EXPECT_EQ(run.ExitCode, 7);
  EXPECT_EQ(run.Out, "ShowDialogWithCaption withError Cannot write the component report " +
                         Dir.File("missing/board.rpt") + ": No such file or directory\n");
}

// A write the system stops part-way (here the file size limit) is the
// short write: the reason is the system's, and no part of the report is
// left under its name.
TEST_F(ReportStepTest, AShortWriteLeavesNoPartOfTheReport) {
  TComponentLayerWarnings& warnings = Warnings();
  for (int i = 0; i < 300; ++i) warnings.AddUndetermined(&Component("U1", "DIP14", "7400"));
  const auto run = RunInChild([] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    pcb9::ReportComponentLayerWarnings();
    const auto& messages = pcb9host::THostSession::Instance().Messages();
    if (!messages.empty()) std::printf("%s\n", messages[0].Text.c_str());
    return pcb9::Run().Aborted ? 7 : 0;
  });
  EXPECT_EQ(run.ExitCode, 7);
  EXPECT_EQ(run.Out, "Cannot write the component report " + Dir.File("board.rpt") +
                         ": File too large\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()),
                          std::filesystem::directory_iterator()),
            0);
}
#endif  // !defined(_WIN32)

}  // namespace
}  // namespace pcb9test
