// pcb9-host: the reference host application. It holds the PCB module (linked,
// so loaded first), loads the importer plug-in by path and calls its three
// exports as the editor would: describe, recognise FILE, import FILE.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "Document.h"
#include "Dump.h"
#include "HostSession.h"
#include "HostSystem.h"
#include "Kinds.h"
#include "Module.h"
#include "Plugin.h"

namespace {

using pcb9host::THostSession;
using pcb9host::TPlugin;

constexpr int kExitOk = 0, kExitFailed = 1, kExitError = 2;

struct TImportOptions {
  std::string File;
  std::string Json;
  std::string Answer = "no";
  int64_t EscAfter = 0;
  bool TestMode = false;
  std::vector<std::string> DialogUncheck;
};

void Complain(const std::string& message) { std::cerr << "pcb9-host: " << message << '\n'; }

// Why the file cannot be read; empty when it can.
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

// Progress on standard error, redrawn when the shown percentage changes.
class TProgressBar {
 public:
  TProgressBar() : Enabled_(pcb9host::hostsystem::IsTerminal(stderr)) {}
  void Step(const morvik::TProgress& p) {
    if (!Enabled_) return;
    const int64_t percent = p.Total > 0 ? std::min<int64_t>(100, p.Updates * 100 / p.Total) : -1;
    if (Drawn_ && percent == Shown_ && percent >= 0) return;
    Shown_ = percent;
    Drawn_ = true;
    const int filled = percent < 0 ? 0 : static_cast<int>(percent * kWidth / 100);
    std::fprintf(stderr, "\r[%s%s] %lld/%d", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), static_cast<long long>(p.Updates), p.Total);
    std::fflush(stderr);
  }
  void Finish() {
    if (Drawn_) std::fputc('\n', stderr);
    Drawn_ = false;
  }

 private:
  static constexpr int kWidth = 40;
  bool Enabled_;
  bool Drawn_ = false;
  int64_t Shown_ = -1;
};

bool WriteDump(const std::string& path, const pcb9host::TImportOutcome& outcome) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  try {
    pcb9host::WriteImportDump(out, pcb9host::DumpSections(outcome));
  } catch (const nlohmann::json::exception& e) {
    Complain(std::string("cannot make the JSON: ") + e.what());
    return false;
  }
  out << '\n';
  out.close();
  if (out) return true;
  Complain("cannot write the JSON to " + path);
  return false;
}

using TKindCounts = std::map<std::string, int64_t>;

std::string CountsText(const TKindCounts& counts) {
  std::string text;
  for (const auto& [kind, count] : counts)
    text += (text.empty() ? "" : ", ") + kind + " " + std::to_string(count);
  return text.empty() ? "none" : text;
}

// Objects per kind, those still on the board and those deleted.
std::pair<TKindCounts, TKindCounts> ObjectCounts() {
  TKindCounts live, deleted;
  for (const auto& [handle, object] : morvik::TDocument::Instance().Objects())
    ++(object.Deleted ? deleted : live)[std::string(morvik::KindName(object.Kind))];
  return {live, deleted};
}

// The rules on the board by kind: "Clearance 10, Width 3, ...".
std::string RulesText() {
  TKindCounts byKind;
  size_t total = 0;
  for (const auto& [handle, object] : morvik::TDocument::Instance().Objects()) {
    if (object.Deleted || object.Kind != morvik::kKindRule) continue;
    const std::string name = object.Text("RuleName");
    ++byKind[name.substr(0, name.find('_'))];
    ++total;
  }
  return std::to_string(total) + (total ? " (" + CountsText(byKind) + ")" : "");
}

void PrintSummary(const TImportOptions& o, const pcb9host::TImportOutcome& outcome, bool dumpWritten) {
  std::cout << "File:       " << o.File << '\n'
            << "Recognised: " << (outcome.Recognised ? "yes" : "no") << '\n'
            << "Result:     "
            << (!outcome.Result ? "not imported" : *outcome.Result ? "true" : "false") << '\n'
            << "Objects:    " << CountsText(ObjectCounts().first) << '\n'
            << "Deleted:    " << CountsText(ObjectCounts().second) << '\n'
            << "Rules:      " << RulesText() << '\n';
  for (const pcb9host::TMessageRecord& m : THostSession::Instance().Messages())
    std::cout << "Message:    [" << m.Caption << "] " << m.Text << " (" << m.Answer << ")\n";
  for (const pcb9host::TReportRecord& r : THostSession::Instance().Reports())
    std::cout << "Report written: " << r.Name << '\n';
  if (THostSession::Instance().Reports().empty()) std::cout << "Report:     none written\n";
  if (const auto& dialog = THostSession::Instance().Dialog())
    std::cout << "Dialog:     " << (dialog->Shown ? "shown" : "built, not shown") << '\n';
  if (const size_t refused = morvik::HostErrors().size())
    std::cout << "Refused:    " << refused << " host calls (host_errors in the JSON)\n";
  std::cout << "JSON:       "
            << (o.Json.empty() ? "not written (use --json OUT)" : dumpWritten ? o.Json : "not written")
            << '\n';
}

// A name given to --dialog-uncheck that the shown form does not have is
// most likely a typing error.
void WarnUnknownBoxes(const TImportOptions& o) {
  const auto& dialog = THostSession::Instance().Dialog();
  if (!dialog || !dialog->Shown) return;
  for (const std::string& name : o.DialogUncheck) {
    bool known = false;
    for (const pcb9host::TFormCheckBox& box : dialog->CheckBoxes) known = known || box.Name == name;
    if (!known) Complain("--dialog-uncheck " + name + ": the dialog has no check box of that name");
  }
}

void StartSession(const TImportOptions& o, TProgressBar& bar) {
  morvik::ResetModule();
  THostSession& session = THostSession::Instance();
  session.Reset();
  session.SetAnswerYes(o.Answer == "yes");
  session.SetEscAfter(o.EscAfter);
  session.SetTestMode(o.TestMode);
  session.SetDialogUncheck(o.DialogUncheck);
  session.SetProgressListener([&bar](const morvik::TProgress& p) { bar.Step(p); });
  pcb9host::hostsystem::BeginImportUi(session);
}

int Import(const TPlugin& plugin, const TImportOptions& o) {
  TProgressBar bar;
  StartSession(o, bar);
  pcb9host::TImportOutcome outcome;
  outcome.Description = plugin.Description();
  outcome.Board = morvik::TDocument::Instance().BoardHandle();
  // The board is a document named after the file it imports, so what the
  // plug-in writes beside "the board's file" lands beside that file.
  morvik::SetBoardFileName(o.File);
  const std::string problem = ReadProblem(o.File);
  outcome.Recognised = plugin.Recognised(o.File);
  if (problem.empty() && outcome.Recognised)
    outcome.Result = plugin.Import(o.File, "", static_cast<int32_t>(outcome.Board));
  bar.Finish();
  pcb9host::hostsystem::EndImportUi();
  THostSession::Instance().SetProgressListener(nullptr);
  const bool dumpWritten = !o.Json.empty() && WriteDump(o.Json, outcome);
  PrintSummary(o, outcome, dumpWritten);
  WarnUnknownBoxes(o);
  if (!problem.empty()) {
    Complain("cannot read " + o.File + ": " + problem);
    return kExitError;
  }
  if (!outcome.Recognised) Complain(o.File + " is not a file this importer reads");
  if (!o.Json.empty() && !dumpWritten) return kExitError;
  return outcome.Result.value_or(false) ? kExitOk : kExitFailed;
}

int Recognise(const TPlugin& plugin, const std::string& file) {
  const std::string problem = ReadProblem(file);
  if (!problem.empty()) Complain("cannot read " + file + ": " + problem);
  const bool recognised = plugin.Recognised(file);
  std::cout << file << ": " << (recognised ? "recognised" : "not recognised") << '\n';
  return recognised ? kExitOk : kExitFailed;
}

int Describe(const TPlugin& plugin) {
  std::cout << plugin.Description() << '\n';
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Reference host for the PCB FILE 9 importer plug-in"};
  app.require_subcommand(1);
  app.fallthrough();
  std::string pluginPath = pcb9host::DefaultPluginPath();
  app.add_option("--plugin", pluginPath, "the importer plug-in to load")->capture_default_str();

  CLI::App* describe = app.add_subcommand("describe", "print the importer's description");
  std::string recogniseFile;
  CLI::App* recognise = app.add_subcommand("recognise", "ask whether the importer reads FILE");
  recognise->add_option("FILE", recogniseFile, "candidate file")->required();

  TImportOptions o;
  CLI::App* import = app.add_subcommand("import", "import FILE into a new board");
  import->add_option("FILE", o.File, "file to import")->required();
  import->add_option("--json", o.Json, "write the board dump to OUT")->option_text("OUT");
  import->add_option("--answer", o.Answer, "answer to every Yes/No question")
      ->check(CLI::IsMember({"yes", "no"}))->capture_default_str();
  import->add_option("--esc-after", o.EscAfter, "press Esc after the N-th progress step")
      ->check(CLI::PositiveNumber)->option_text("N");
  import->add_flag("--test-mode", o.TestMode, "the test-mode registry key exists");
  import->add_option("--dialog-uncheck", o.DialogUncheck,
                     "uncheck this check box of the rule dialog and press OK (repeatable)")
      ->option_text("NAME")->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  CLI11_PARSE(app, argc, argv);

  const TPlugin plugin(pluginPath);
  if (!plugin.Loaded()) {
    Complain(plugin.Error());
    return kExitError;
  }
  const std::string& file = import->parsed() ? o.File : recogniseFile;
  if (file.size() > pcb9host::kMaxPluginString) {
    Complain("the file name is longer than the 255 characters a plug-in accepts");
    return kExitError;
  }
  if (describe->parsed()) return Describe(plugin);
  if (recognise->parsed()) return Recognise(plugin, recogniseFile);
  return Import(plugin, o);
}
