#include "report/ComponentLayerWarnings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "client/ClientServices.h"
#include "run/ImportRun.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "proxies/ProxyFromHandle.h"
#include "stream/FormatTables.h"

namespace pcb9 {

namespace {

constexpr size_t kMaxLineLength = 255;
constexpr size_t kRuleLength = 73;
// The host's stream write takes a 32-bit count; a larger text goes in parts.
constexpr size_t kMaxWriteChunk = size_t{1} << 30;

using TLines = std::vector<std::string> TComponentLayerWarnings::*;

// An explanation line: text, then the format's description when asked for,
// then more text. An entry with neither is no line.
struct TExplanation {
  std::string_view Before;
  bool Description = false;
  std::string_view After;
};

constexpr TExplanation Plain(std::string_view text) { return {text, false, {}}; }
constexpr TExplanation Around(std::string_view before, std::string_view after) {
  return {before, true, after};
}

struct TSection {
  TLines List;
  std::string_view Title;
  std::array<TExplanation, 3> Explanation;
};

using W = TComponentLayerWarnings;

// The report's sections, in the order they appear.
const std::array<TSection, 5> kSections = {{
    {&W::ValidTop,
     "Top Layer Components",
     {Plain("These components have a valid top layer attribute in the"), Around("", " file")}},
    {&W::ValidBottom,
     "Bottom Layer Components",
     {Plain("These components have a valid bottom layer attribute in the "),
      Around("", " file")}},
    {&W::AssumedTop,
     "Top Layer Components With Warnings",
     {Around("These components do not have a valid layer in the ", " file,"),
      Plain("but were assumed to be top layer because of their footprint primitives.")}},
    {&W::AssumedBottom,
     "Bottom Layer Components With Warnings",
     {Around("These components do not have a valid layer in the ", " file,"),
      Plain("but were assumed to be bottom layer because of their footprint primitives.")}},
    {&W::Undetermined,
     "Components With Undefined Layer",
     {Plain("For these components, it was not possible to determine the layer"),
      Around("from either the ", " file or the footprint primitives."),
      Plain("They have been imported onto the top layer.")}},
}};

std::string Cut(std::string line) {
  if (line.size() > kMaxLineLength) line.resize(kMaxLineLength);
  return line;
}

// A board's texts may hold any byte: a line break in a designator would
// start a report line of the board's making. Control characters are
// written as '?'.
std::string Printable(std::string line) {
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return line;
}

std::string BoardFileName() {
  const TPcbBoard* board = Run().Board.get();
  return board ? board->BoardInfo2.Str() : std::string();
}

std::string_view Description() { return FormatDescription(Run().FormatLevel); }

std::string ExplanationLine(const TExplanation& e) {
  std::string line(e.Before);
  if (e.Description) line += Description();
  line += e.After;
  return line;
}

void AppendHeader(std::vector<std::string>& lines) {
  lines.push_back(std::string(Description()) + " Importer - Component Layer Warnings Report");
  lines.push_back("PCB File : " + ClientAPI_ExtractWholeFileNameFromPath(BoardFileName()));
  lines.push_back("Date     : " + TodayText());
  lines.push_back("Time     : " + NowText());
  lines.push_back(std::string(kRuleLength, '='));
  lines.insert(lines.end(), 2, std::string());
}

void AppendSection(std::vector<std::string>& lines, const TSection& section,
                   const std::vector<std::string>& list) {
  if (list.empty()) return;
  lines.emplace_back(section.Title);
  for (const TExplanation& e : section.Explanation)
    if (!e.Before.empty() || e.Description) lines.push_back(ExplanationLine(e));
  lines.insert(lines.end(), list.begin(), list.end());
  lines.insert(lines.end(), 2, std::string());
}

// Why the host's last stream call failed, in its words when it gives them.
std::string StreamFailure(std::string_view generic) {
  std::string reason = VFSAPI_VFS_StreamLastError().value_or(std::string());
  return reason.empty() ? std::string(generic) : reason;
}

// Empty when the host took every byte and put the file in its place;
// otherwise why not.
std::string WriteText(std::string_view fileName, std::string_view text) {
  const TVfsStream stream = VFSAPI_VFS_StreamCreate(fileName, kStreamCreateMode);
  if (stream == 0) return StreamFailure("the host could not create it");
  std::string failure;
  for (size_t at = 0; failure.empty() && at < text.size(); at += kMaxWriteChunk) {
    const auto count = static_cast<int32_t>(std::min(kMaxWriteChunk, text.size() - at));
    if (VFSAPI_VFS_StreamWrite(stream, text.data() + at, count) != count)
      failure = StreamFailure("Stream write error");
  }
  VFSAPI_VFS_StreamDestroy(stream);
  // A host that says why also says whether closing the file succeeded.
  if (failure.empty()) failure = VFSAPI_VFS_StreamLastError().value_or(std::string());
  return failure;
}

}  // namespace

std::string TComponentLayerWarnings::ComponentLine(TPcbComponent* component) {
  if (!component) return {};
  return Printable(Cut(GetTextOf(component->NameText) + " (" + component->Pattern.Str() + ", " +
                       GetTextOf(component->CommentText) + ")"));
}

void TComponentLayerWarnings::AddValidTop(TPcbComponent* c) { ValidTop.push_back(ComponentLine(c)); }
void TComponentLayerWarnings::AddValidBottom(TPcbComponent* c) {
  ValidBottom.push_back(ComponentLine(c));
}
void TComponentLayerWarnings::AddAssumedTop(TPcbComponent* c) {
  AssumedTop.push_back(ComponentLine(c));
}
void TComponentLayerWarnings::AddAssumedBottom(TPcbComponent* c) {
  AssumedBottom.push_back(ComponentLine(c));
}
void TComponentLayerWarnings::AddUndetermined(TPcbComponent* c) {
  Undetermined.push_back(ComponentLine(c));
}

bool TComponentLayerWarnings::HasWarnings() const {
  return !AssumedTop.empty() || !AssumedBottom.empty() || !Undetermined.empty();
}

bool TComponentLayerWarnings::WriteReport() {
  ReportFileName = ClientAPI_ForceFileNameExtension(BoardFileName(), "rpt");
  ReportLines.clear();
  AppendHeader(ReportLines);
  for (const TSection& section : kSections) AppendSection(ReportLines, section, this->*section.List);
  std::string text;
  for (std::string& line : ReportLines) {
    line = Printable(Cut(std::move(line)));  // the board file's name too
    text.append(line).append("\r\n");
  }
  WriteError = WriteText(ReportFileName, text);
  return WriteError.empty();
}

void TComponentLayerWarnings::ShowWarningMessage() const {
  if (IsTestMode()) return;
  const std::string text = ClientAPI_ExtractWholeFileNameFromPath(BoardFileName()) +
                           ": some of the components' layers in this\r\n" +
                           std::string(Description()) +
                           " file could not be determined.\r\nPlease review the report file " +
                           ClientAPI_ExtractWholeFileNameFromPath(ReportFileName) +
                           " for more information.";
  ShowInformation(text, "");
}

void TComponentLayerWarnings::ShowWriteError() const {
  ShowErrorAndGoOn("Cannot write the component report " + ReportFileName + ": " + WriteError, "");
}

void ReportComponentLayerWarnings() {
  TComponentLayerWarnings* warnings = Run().LayerWarnings.get();
  if (!warnings || !warnings->HasWarnings()) return;
  if (warnings->WriteReport()) {
    warnings->ShowWarningMessage();
    return;
  }
  warnings->ShowWriteError();
  Run().Aborted = true;
}

}  // namespace pcb9
