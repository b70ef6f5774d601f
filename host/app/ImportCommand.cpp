#include "ImportCommand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "Document.h"
#include "HostSession.h"
#include "HostSystem.h"
#include "OutputFile.h"
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
    run.Written[i] = WriteOutput(OutputWriters()[i], paths[i], run.Outcome);
    if (!run.Written[i]) run.NotWritten.emplace_back(OutputWriters()[i].Name);
  }
}

int ExitCode(const TFileRun& run) {
  if (!run.Problem.empty() || !run.NotWritten.empty()) return kExitError;
  return run.Outcome.Result.value_or(false) ? kExitOk : kExitFailed;
}

// The files stream writes must leave alone besides the board being
// imported: the run's other files and every output of the run. Made once
// a run's folder exists, so that an output's place is known.
std::shared_ptr<const THostSession::TProtectedFiles> RunFiles(const std::vector<TFilePlan>& plans) {
  auto files = std::make_shared<THostSession::TProtectedFiles>();
  for (const TFilePlan& plan : plans) {
    files->push_back({hostsystem::FileKey(plan.File), "it is another board file of this run"});
    for (const std::string& output : plan.Outputs)
      if (!output.empty())
        files->push_back({hostsystem::FileKey(output), "it is an output file of this run"});
  }
  return files;
}

// Imports one file into a new board and writes its outputs. The board and
// the session's recordings stay as the import left them until the next.
TFileRun ImportFile(const TPlugin& plugin, const TFilePlan& plan, const TImportOptions& o,
                    const std::shared_ptr<const THostSession::TProtectedFiles>& runFiles) {
  TFileRun run;
  run.File = plan.File;
  run.OutputBase = plan.OutputBase;
  const std::string& file = plan.File;
  THostSession& session = StartSession(o);
  session.ProtectFile(plan.File, "it is the board file being imported");
  session.ProtectFiles(runFiles);
  hostsystem::BeginImportUi(session);
  run.Outcome.File = file;
  run.Outcome.Description = plugin.Description();
  run.Outcome.Board = morvik::TDocument::Instance().BoardHandle();
  // The board is a document named after the file it imports, or after its
  // place in a batch's folder, so what the plug-in writes beside "the
  // board's file" lands beside that file, or in the folder.
  morvik::SetBoardFileName(plan.BoardName);
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
  WriteOutputs(plan.Outputs, run);
  WarnUnknownBoxes(o);
  if (!run.Problem.empty())
    Complain("cannot read " + file + ": " + run.Problem);
  else if (!run.Outcome.Recognised)
    Complain(file + " is not a file this importer reads");
  run.ExitCode = ExitCode(run);
  return run;
}

int ImportSingle(const TPlugin& plugin, const TImportOptions& o,
                 const std::vector<TFilePlan>& plans) {
  const TFileRun run = ImportFile(plugin, plans.front(), o, RunFiles(plans));
  PrintSummary(run, plans.front().Outputs);
  return run.ExitCode;
}

int ImportBatch(const TPlugin& plugin, const TImportOptions& o,
                const std::vector<TFilePlan>& plans) {
  std::error_code error;
  if (!o.OutDir.empty()) std::filesystem::create_directories(o.OutDir, error);
  if (error) {
    Complain("cannot make the folder " + o.OutDir + ": " + error.message());
    return kExitError;
  }
  const auto runFiles = RunFiles(plans);
  TBatchTable table;
  int worst = kExitOk;
  for (const TFilePlan& plan : plans) {
    const TFileRun run = ImportFile(plugin, plan, o, runFiles);
    table.Add(run);
    worst = std::max(worst, run.ExitCode);
  }
  table.Print(std::cout);
  return worst;
}

// How the clash message names a file of the run.
std::string OutputLabel(const TFilePlan& plan, size_t writer, bool batch) {
  const TOutputWriter& w = OutputWriters()[writer];
  if (!batch) return std::string(w.Option) + " " + plan.Outputs[writer];
  return plan.Outputs[writer] + " (the " + std::string(w.Name) + " of " + plan.File + ")";
}

}  // namespace

std::vector<TFilePlan> PlanRun(const TImportOptions& o) {
  std::vector<TFilePlan> plans;
  if (!o.Batch()) {
    TFilePlan& plan = plans.emplace_back();
    plan.File = plan.BoardName = o.Files.front();
    for (const TImportOptions::TOutput& output : o.Outputs) plan.Outputs.push_back(output.Path);
    return plans;
  }
  const std::vector<std::string> names = BatchNames(o.Files);
  for (size_t f = 0; f < o.Files.size(); ++f) {
    TFilePlan& plan = plans.emplace_back();
    plan.File = plan.BoardName = o.Files[f];
    plan.Outputs.assign(OutputWriters().size(), std::string());
    if (o.OutDir.empty()) continue;
    const std::filesystem::path file(o.Files[f]), base = std::filesystem::path(o.OutDir) / names[f];
    plan.BoardName = base.string() + file.extension().string();
    if (names[f] != file.stem().string()) plan.OutputBase = base.string();
    for (size_t i = 0; i < OutputWriters().size(); ++i)
      if (OutputWriters()[i].InEveryBatch || o.Outputs[i].Asked)
        plan.Outputs[i] = base.string() + std::string(OutputWriters()[i].Extension);
  }
  return plans;
}

std::string PlanProblem(const std::vector<TFilePlan>& plans, bool batch) {
  using hostsystem::FileIdentity;
  for (const TFilePlan& plan : plans)
    if (plan.BoardName != plan.File && plan.BoardName.size() > kMaxPluginString)
      return "the board name " + plan.BoardName +
             " is longer than the 255 characters a board's file name holds; choose a shorter --out-dir";
  // An existing file by its own identity, a new one by its place: either
  // way one identity per file.
  std::map<hostsystem::TFileIdentity, std::string> inputs, outputs;
  for (const TFilePlan& plan : plans)
    if (auto id = FileIdentity(plan.File)) inputs.emplace(*id, plan.File);
  for (const TFilePlan& plan : plans) {
    for (size_t i = 0; i < plan.Outputs.size(); ++i) {
      if (plan.Outputs[i].empty()) continue;
      const auto id = FileIdentity(plan.Outputs[i]);
      if (!id) continue;
      const std::string label = OutputLabel(plan, i, batch);
      if (auto input = inputs.find(*id); input != inputs.end())
        return label + " is " + input->second + ", a file being imported; nothing was written";
      if (auto [output, added] = outputs.emplace(*id, label); !added)
        return output->second + " and " + label + " are the same file; nothing was written";
    }
  }
  return {};
}

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

// Names that differ only in letter case are taken as one: on many file
// systems they name the same file.
std::vector<std::string> BatchNames(const std::vector<std::string>& files) {
  std::set<std::string> taken;
  auto take = [&taken](std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return taken.insert(name).second;
  };
  std::vector<std::string> names;
  for (const std::string& file : files) {
    std::string stem = std::filesystem::path(file).stem().string();
    if (stem.empty()) stem = "board";
    std::string name = stem;
    for (int n = 2; !take(name); ++n) name = stem + "-" + std::to_string(n);
    names.push_back(name);
  }
  return names;
}

int RunImport(const TPlugin& plugin, const TImportOptions& o) {
  const std::vector<TFilePlan> plans = PlanRun(o);
  if (const std::string problem = PlanProblem(plans, o.Batch()); !problem.empty()) {
    Complain(problem);
    return kExitError;
  }
  return o.Batch() ? ImportBatch(plugin, o, plans) : ImportSingle(plugin, o, plans);
}

}  // namespace pcb9host
