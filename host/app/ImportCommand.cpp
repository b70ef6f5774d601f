#include "ImportCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>

#include "Document.h"
#include "HostSession.h"
#include "HostSystem.h"
#include "OutputWriters.h"
#include "Summary.h"
#include "Terminal.h"
#include "TerminalText.h"

namespace pcb9host {

std::string ReadProblem(const std::string& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (!std::filesystem::exists(status)) return "no such file";
  if (std::filesystem::is_directory(status)) return "it is a folder";
  if (!std::filesystem::is_regular_file(status)) return "it is not a regular file";
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return std::strerror(errno);
  std::fclose(f);
  return {};
}

namespace {

// The terminal's part of one import run: the progress line on standard
// error and the user's Esc and Ctrl-C, both given back at its end.
class TTerminalRun {
 public:
  explicit TTerminalRun(THostSession& session)
      : Line_(hostsystem::IsTerminal(stderr) ? stderr : nullptr, hostsystem::TerminalColumns(stderr)) {
    session.SetProgressListener([this](const morvik::TProgress& p) { Line_.Step(p); });
    session.SetQuestionListener([this] { Line_.Break(); });
    hostsystem::WatchKeys(session.AsksOnTerminal());
  }
  ~TTerminalRun() {
    hostsystem::WatchKeys(false);
    Line_.Finish(morvik::Progress());
    THostSession::Instance().SetProgressListener(nullptr);
    THostSession::Instance().SetQuestionListener(nullptr);
  }
  TTerminalRun(const TTerminalRun&) = delete;
  TTerminalRun& operator=(const TTerminalRun&) = delete;

 private:
  TProgressLine Line_;
};

THostSession& StartSession(const TImportOptions& o) {
  morvik::ResetModule();
  THostSession& session = THostSession::Instance();
  session.Reset();
  if (o.AnswerGiven) session.SetAnswerYes(o.AnswerYes);
  session.SetEscAfter(o.EscAfter);
  session.SetTestMode(o.TestMode);
  session.SetDialogUncheck(o.DialogUncheck);
  return session;
}

// A name given to --dialog-uncheck that the shown form does not have is
// most likely a typing error.
void WarnUnknownBoxes(const TImportOptions& o) {
  const auto& dialog = THostSession::Instance().Dialog();
  if (!dialog || !dialog->Shown) return;
  for (const std::string& name : o.DialogUncheck) {
    bool known = false;
    for (const TFormCheckBox& box : dialog->CheckBoxes) known = known || box.Name == name;
    if (!known) Complain("--dialog-uncheck " + name + ": the dialog has no check box of that name");
  }
}

// Writes every output the paths name (one per writer, empty: not asked
// for).
void WriteOutputs(const std::vector<std::string>& paths, TFileRun& run) {
  run.Written.assign(paths.size(), false);
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths[i].empty()) continue;
    run.Written[i] = OutputWriters()[i].Write(paths[i], run.Outcome);
    if (!run.Written[i]) run.NotWritten.emplace_back(OutputWriters()[i].Name);
  }
}

int ExitCode(const TFileRun& run) {
  if (!run.Problem.empty() || !run.NotWritten.empty()) return kExitError;
  return run.Outcome.Result.value_or(false) ? kExitOk : kExitFailed;
}

// Imports one file into a new board and writes its outputs. The board and
// the session's recordings stay as the import left them until the next.
TFileRun ImportFile(const TPlugin& plugin, const std::string& file, const TImportOptions& o,
                    const std::vector<std::string>& outputPaths) {
  TFileRun run;
  run.File = file;
  THostSession& session = StartSession(o);
  hostsystem::BeginImportUi(session);
  run.Outcome.Description = plugin.Description();
  run.Outcome.Board = morvik::TDocument::Instance().BoardHandle();
  // The board is a document named after the file it imports, so what the
  // plug-in writes beside "the board's file" lands beside that file.
  morvik::SetBoardFileName(file);
  run.Problem = file.size() > kMaxPluginString
                    ? "the name is longer than the 255 characters a plug-in accepts"
                    : ReadProblem(file);
  if (file.size() <= kMaxPluginString) {
    TTerminalRun terminal(session);
    run.Outcome.Recognised = plugin.Recognised(file);
    if (run.Problem.empty() && run.Outcome.Recognised)
      run.Outcome.Result = plugin.Import(file, "", static_cast<int32_t>(run.Outcome.Board));
  }
  hostsystem::EndImportUi();
  WriteOutputs(outputPaths, run);
  WarnUnknownBoxes(o);
  if (!run.Problem.empty())
    Complain("cannot read " + file + ": " + run.Problem);
  else if (!run.Outcome.Recognised)
    Complain(file + " is not a file this importer reads");
  run.ExitCode = ExitCode(run);
  return run;
}

int ImportSingle(const TPlugin& plugin, const TImportOptions& o) {
  std::vector<std::string> paths;
  for (const TImportOptions::TOutput& output : o.Outputs) paths.push_back(output.Path);
  const TFileRun run = ImportFile(plugin, o.Files.front(), o, paths);
  PrintSummary(run, paths);
  return run.ExitCode;
}

int ImportBatch(const TPlugin& plugin, const TImportOptions& o) {
  std::error_code error;
  if (!o.OutDir.empty()) std::filesystem::create_directories(o.OutDir, error);
  if (error) {
    Complain("cannot make the folder " + o.OutDir + ": " + error.message());
    return kExitError;
  }
  const std::vector<std::string> names = BatchNames(o.Files);
  TBatchTable table;
  int worst = kExitOk;
  for (size_t f = 0; f < o.Files.size(); ++f) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < OutputWriters().size(); ++i) {
      const bool asked = OutputWriters()[i].InEveryBatch || o.Outputs[i].Asked;
      paths.push_back(asked && !o.OutDir.empty()
                          ? (std::filesystem::path(o.OutDir) /
                             (names[f] + std::string(OutputWriters()[i].Extension)))
                                .string()
                          : std::string());
    }
    const TFileRun run = ImportFile(plugin, o.Files[f], o, paths);
    table.Add(run);
    worst = std::max(worst, run.ExitCode);
  }
  table.Print(std::cout);
  return worst;
}

}  // namespace

// The message names files, and may hold what they say: one line whatever
// they hold.
void Complain(const std::string& message) {
  std::cerr << "pcb9-host: " << UserTerminalText(message) << '\n';
}

std::string OptionsProblem(const TImportOptions& o) {
  for (size_t i = 0; i < o.Outputs.size(); ++i) {
    const std::string option(OutputWriters()[i].Option);
    if (o.Batch() && !o.Outputs[i].Path.empty())
      return option + " OUT names the file of a single import; with several files give " + option +
             " without a name and --out-dir D";
    if (!o.Batch() && o.Outputs[i].Asked && o.Outputs[i].Path.empty())
      return option + " needs a file name (" + option + " OUT), or --out-dir D";
  }
  return {};
}

std::vector<std::string> BatchNames(const std::vector<std::string>& files) {
  std::set<std::string> taken;
  std::vector<std::string> names;
  for (const std::string& file : files) {
    std::string stem = std::filesystem::path(file).stem().string();
    if (stem.empty()) stem = "board";
    std::string name = stem;
    for (int n = 2; !taken.insert(name).second; ++n) name = stem + "-" + std::to_string(n);
    names.push_back(name);
  }
  return names;
}

int RunImport(const TPlugin& plugin, const TImportOptions& o) {
  return o.Batch() ? ImportBatch(plugin, o) : ImportSingle(plugin, o);
}

}  // namespace pcb9host
