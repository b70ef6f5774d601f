#include "Summary.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <map>

#include "Document.h"
#include "FileHeader.h"
#include "HostSession.h"
#include "Kinds.h"
#include "Module.h"
#include "OutputWriters.h"
#include "TerminalText.h"

namespace pcb9host {

namespace {

using TKindCounts = std::map<std::string, int64_t>;

std::string CountsText(const TKindCounts& counts) {
  std::string text;
  for (const auto& [kind, count] : counts)
    text += (text.empty() ? "" : ", ") + kind + " " + std::to_string(count);
  return text.empty() ? "none" : text;
}

// Objects per kind, those still on the board and those deleted (counted
// by kind number first: no key made per object).
std::pair<TKindCounts, TKindCounts> ObjectCounts() {
  std::array<std::array<int64_t, 256>, 2> byKind{};
  for (const morvik::TObject& object : morvik::TDocument::Instance().Objects())
    ++byKind[object.Deleted ? 1 : 0][object.Kind];
  std::pair<TKindCounts, TKindCounts> counts;
  for (unsigned kind = 0; kind < 256; ++kind) {
    const std::string name(morvik::KindName(static_cast<uint8_t>(kind)));
    if (byKind[0][kind]) counts.first[name] += byKind[0][kind];
    if (byKind[1][kind]) counts.second[name] += byKind[1][kind];
  }
  return counts;
}

// The rules on the board by kind: "Clearance 10, Width 3, ...".
std::pair<size_t, TKindCounts> Rules() {
  static const morvik::TFieldName kRuleName("RuleName");
  // Keyed by views of the rules' own names: a key is made once per kind.
  std::map<std::string_view, int64_t> byPrefix;
  size_t total = 0;
  for (const morvik::TObject& object : morvik::TDocument::Instance().Objects()) {
    if (object.Deleted || object.Kind != morvik::kKindRule) continue;
    const std::string_view name = object.TextView(kRuleName);
    ++byPrefix[name.substr(0, name.find('_'))];
    ++total;
  }
  return {total, TKindCounts(byPrefix.begin(), byPrefix.end())};
}

std::string ResultText(const TFileRun& run) {
  if (!run.Problem.empty()) return "unreadable";
  if (!run.Outcome.Recognised) return "not recognised";
  if (!run.Outcome.Result) return "not imported";
  return *run.Outcome.Result ? "true" : "false";
}

std::string Joined(const std::vector<std::string>& parts, const std::string& none) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text.empty() ? none : text;
}

// The message boxes by caption, a question with its answer.
std::string MessagesCell() {
  std::vector<std::string> parts;
  for (const TMessageRecord& m : THostSession::Instance().Messages())
    parts.push_back(UserTerminalText(m.Caption) + (m.Buttons == "yesno" ? " (" + m.Answer + ")" : ""));
  return Joined(parts, "-");
}

std::string ReportCell() {
  std::vector<std::string> names;
  for (const TReportRecord& r : THostSession::Instance().Reports())
    names.push_back(UserTerminalText(std::filesystem::path(r.Name).filename().string()));
  return Joined(names, "-");
}

std::string ObjectsCell() {
  TKindCounts live = ObjectCounts().first;
  live.erase(std::string(morvik::KindName(morvik::kKindRule)));  // the rules have their own column
  return CountsText(live);
}

// Where the summary's values start: a message's later lines start there too.
constexpr std::string_view kSummaryIndent = "            ";

constexpr std::array<const char*, 7> kColumns = {"FILE",   "LEVEL",    "RESULT", "RULES",
                                                 "REPORT", "MESSAGES", "OBJECTS"};

}  // namespace

void PrintSummary(const TFileRun& run, const std::vector<std::string>& paths) {
  const auto [total, byKind] = Rules();
  const auto [live, deleted] = ObjectCounts();  // one walk over the document for both
  std::cout << "File:       " << UserTerminalText(run.File) << '\n'
            << "Recognised: " << (run.Outcome.Recognised ? "yes" : "no") << '\n'
            << "Result:     " << (!run.Outcome.Result ? "not imported" : *run.Outcome.Result ? "true" : "false")
            << '\n'
            << "Objects:    " << CountsText(live) << '\n'
            << "Deleted:    " << CountsText(deleted) << '\n'
            << "Rules:      " << total << (total ? " (" + CountsText(byKind) + ")" : "") << '\n';
  for (const TMessageRecord& m : THostSession::Instance().Messages())
    std::cout << "Message:    [" << UserTerminalText(m.Caption) << "] "
              << TerminalLines(m.Text, kSummaryIndent) << " (" << m.Answer << ")\n";
  for (const TReportRecord& r : THostSession::Instance().Reports())
    std::cout << "Report written: " << UserTerminalText(r.Name) << '\n';
  if (THostSession::Instance().Reports().empty()) std::cout << "Report:     none written\n";
  if (const auto& dialog = THostSession::Instance().Dialog())
    std::cout << "Dialog:     " << (dialog->Shown ? "shown" : "built, not shown") << '\n';
  if (const size_t refused = morvik::HostErrors().size())
    std::cout << "Refused:    " << refused << " host calls (host_errors in the JSON)\n";
  for (size_t i = 0; i < OutputWriters().size(); ++i) {
    const TOutputWriter& w = OutputWriters()[i];
    const std::string label = std::string(w.Name) + ":";
    std::cout << label << std::string(label.size() < 12 ? 12 - label.size() : 1, ' ')
              << (paths[i].empty() ? "not written (use " + std::string(w.Option) + " OUT)"
                  : run.Written[i] ? UserTerminalText(paths[i])
                                   : "not written")
              << '\n';
  }
  std::cout << run.Outcome.KicadText;
}

void TBatchTable::Add(const TFileRun& run) {
  // A file whose outputs got another name than its own says where they went.
  const std::string file =
      run.OutputBase.empty() ? run.File : run.File + " (outputs " + run.OutputBase + ".*)";
  Rows_.push_back({UserTerminalText(file), HeaderVersion(run.File), ResultText(run),
                   std::to_string(Rules().first), ReportCell(), MessagesCell(), ObjectsCell()});
  if (!run.NotWritten.empty()) Rows_.back()[2] += " (" + Joined(run.NotWritten, "") + " not written)";
}

void TBatchTable::Print(std::ostream& out) const {
  std::array<size_t, kColumns.size()> widths{};
  for (size_t c = 0; c < kColumns.size(); ++c) {
    widths[c] = std::string_view(kColumns[c]).size();
    for (const auto& row : Rows_) widths[c] = std::max(widths[c], TerminalWidth(row[c]));
  }
  auto line = [&](auto cell) {
    std::string text;
    for (size_t c = 0; c < kColumns.size(); ++c) {
      const std::string value = cell(c);
      text += value;
      // The last column runs on: its texts can be long and nothing follows.
      if (c + 1 < kColumns.size()) text += std::string(widths[c] - TerminalWidth(value) + 2, ' ');
    }
    out << text << '\n';
  };
  line([](size_t c) { return std::string(kColumns[c]); });
  for (const auto& row : Rows_) line([&row](size_t c) { return row[c]; });
}

std::string HeaderVersion(const std::string& file) {
  const std::optional<std::string> header = ReadHeaderText(file);
  if (!header) return "-";
  const std::string version = HeaderVersionText(*header);
  return version.empty() ? "-" : BoardTerminalText(version);
}

}  // namespace pcb9host
