// pcb9-host: the reference host application. It holds the PCB module (linked,
// so loaded first), loads the importer plug-in by path and calls its three
// exports as the editor would: describe, recognise FILE, import FILE.
#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "HostSystem.h"
#include "ImportCommand.h"
#include "OutputWriters.h"
#include "Plugin.h"
#include "TerminalText.h"

namespace {

using pcb9host::Complain;
using pcb9host::kExitError;
using pcb9host::kExitFailed;
using pcb9host::kExitOk;
using pcb9host::TImportOptions;
using pcb9host::TPlugin;

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0  imported (recognised, described)\n"
    "  1  the import returned false, or the file is not one the importer reads\n"
    "  2  error: a wrong argument, an unreadable file, a plug-in that cannot be\n"
    "     loaded, an output (JSON) that cannot be written\n";

constexpr const char* kMainFooter =
    "\nExamples:\n"
    "  pcb9-host import board.PCB --json board.json\n"
    "  pcb9-host import a.PCB b.PCB c.PCB --out-dir out\n"
    "  pcb9-host recognise board.PCB\n"
    "\n"
    "Run pcb9-host COMMAND --help for a command's options.\n\n";

constexpr const char* kImportFooter =
    "\nWith one FILE it prints a summary: what was recognised, the result, the\n"
    "objects by kind, the rules, the messages shown and the report written.\n"
    "With several files (or --out-dir) each file is imported into its own new\n"
    "board and one table is printed, a row per file; each file's outputs go to\n"
    "D/NAME.json (NAME: the file's name without extension; a name already used\n"
    "by an earlier file gets -2, -3, ...), its component report to D/NAME.rpt;\n"
    "without --out-dir only the reports are written, beside each FILE. A file\n"
    "that fails does not stop the others; the exit code is the worst of them.\n"
    "An output that is an input or another output is refused before anything\n"
    "is written; a link or anything but a regular file in an output's place\n"
    "is refused.\n"
    "\n"
    "On a terminal the progress line shows the caption, a bar, the percentage\n"
    "and the count. Esc or Ctrl-C asks \"Confirm Abort Process\": y ends the\n"
    "import (what was loaded stays), n goes on. The rule dialog is asked there\n"
    "too, unless --dialog-uncheck answers it.\n"
    "\n"
    "Examples:\n"
    "  pcb9-host import board.PCB --json board.json\n"
    "  pcb9-host import boards/*.PCB --out-dir out\n"
    "  pcb9-host import board.PCB --esc-after 10 --answer yes\n\n";

// CLI11's own texts, as one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

struct TCommands {
  CLI::App* Describe = nullptr;
  CLI::App* Recognise = nullptr;
  CLI::App* Import = nullptr;
  std::string RecogniseFile;
};

void AddImportOptions(CLI::App& import, TImportOptions& o, std::string& answer,
                      std::vector<CLI::Option*>& outputs) {
  import.add_option("FILE", o.Files, "file(s) to import")->required();
  import.add_option("--out-dir", o.OutDir, "write each file's outputs to D/NAME.json (and the like)")
      ->option_text("D");
  // CLI11 keeps a reference to each path: size the list once, before any.
  o.Outputs.resize(pcb9host::OutputWriters().size());
  for (size_t i = 0; i < o.Outputs.size(); ++i) {
    const pcb9host::TOutputWriter& w = pcb9host::OutputWriters()[i];
    outputs.push_back(import.add_option(std::string(w.Option), o.Outputs[i].Path,
                                        "write the " + std::string(w.Name) + " to OUT" +
                                            (w.InEveryBatch ? "" : " (in a batch: to D/NAME" +
                                                                       std::string(w.Extension) + ")"))
                          ->option_text("OUT")
                          ->expected(0, 1));
  }
  import.add_option("--answer", answer, "answer every Yes/No question (default: ask on the terminal, or no)")
      ->check(CLI::IsMember({"yes", "no"}))
      ->option_text("yes|no");
  import.add_option("--esc-after", o.EscAfter, "press Esc after the N-th progress step")
      ->check(CLI::Validator(
          [](const std::string& text) {
            int64_t n = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
            return error == std::errc() && end == text.data() + text.size() && n >= 1
                       ? std::string()
                       : "N must be a whole number from 1 up, not " + text;
          },
          ""))
      ->option_text("N");
  import.add_flag("--test-mode", o.TestMode, "the test-mode registry key exists (no dialog)");
  import.add_option("--dialog-uncheck", o.DialogUncheck,
                    "uncheck this check box of the rule dialog and press OK (repeatable)")
      ->option_text("NAME")->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

int Recognise(const TPlugin& plugin, const std::string& file) {
  if (file.size() > pcb9host::kMaxPluginString) {
    Complain("the file name is longer than the 255 characters a plug-in accepts");
    return kExitError;
  }
  if (const std::string problem = pcb9host::ReadProblem(file); !problem.empty()) {
    Complain("cannot read " + file + ": " + problem);
    return kExitError;
  }
  const bool recognised = plugin.Recognised(file);
  std::cout << pcb9host::UserTerminalText(file) << ": " << (recognised ? "recognised" : "not recognised")
            << '\n';
  return recognised ? kExitOk : kExitFailed;
}

// The help hint names the command whose options were wrong.
std::string HelpHint(const CLI::App& app) {
  for (const CLI::App* sub : app.get_subcommands())
    return " (see pcb9-host " + sub->get_name() + " --help)";
  return " (see pcb9-host --help)";
}

// Without a command CLI11 only knows that one is missing.
std::string ParseProblem(const CLI::App& app, const CLI::ParseError& e) {
  if (!app.get_subcommands().empty() || !dynamic_cast<const CLI::RequiredError*>(&e))
    return OneLine(e.what());
  const std::vector<std::string> rest = app.remaining();
  if (rest.empty()) return "give a command: describe, recognise or import";
  return rest.front() + " is not a command: describe, recognise or import";
}

}  // namespace

int main(int argc, char** argv) {
  pcb9host::hostsystem::UseLargePages();
  CLI::App app{"pcb9-host: the reference host for the PCB FILE 9 importer plug-in. It loads\n"
               "the plug-in and asks it to describe its format, to recognise a file, or to\n"
               "import files into new boards.",
               "pcb9-host"};
  app.footer(std::string(kMainFooter) + kExitCodes);
  app.require_subcommand(1);
  app.fallthrough();
  std::string pluginPath;
  app.add_option("--plugin", pluginPath,
                 std::string("the importer plug-in to load (default: ") +
                     pcb9host::hostsystem::kPluginFileName + " in the program's own folder)")
      ->option_text("PATH");

  TCommands c;
  c.Describe = app.add_subcommand("describe", "print the importer's description of its format");
  c.Describe->footer(std::string("\nExample:\n  pcb9-host describe\n\n") + kExitCodes);
  c.Recognise = app.add_subcommand("recognise", "ask whether the importer reads FILE");
  c.Recognise->add_option("FILE", c.RecogniseFile, "candidate file")->required();
  c.Recognise->footer(std::string("\nExample:\n  pcb9-host recognise board.PCB\n\n") + kExitCodes);
  TImportOptions o;
  std::string answer;
  std::vector<CLI::Option*> outputs;
  c.Import = app.add_subcommand("import", "import FILE (or several) into a new board each");
  AddImportOptions(*c.Import, o, answer, outputs);
  c.Import->footer(std::string(kImportFooter) + kExitCodes);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    Complain(ParseProblem(app, e) + HelpHint(app));
    return kExitError;
  }
  for (size_t i = 0; i < outputs.size(); ++i) o.Outputs[i].Asked = outputs[i]->count() > 0;
  o.AnswerGiven = !answer.empty();
  o.AnswerYes = answer == "yes";
  if (c.Import->parsed()) {
    if (const std::string problem = pcb9host::OptionsProblem(o); !problem.empty()) {
      Complain(problem + HelpHint(app));
      return kExitError;
    }
  }

  if (pluginPath.empty()) {
    std::string problem;
    pluginPath = pcb9host::DefaultPluginPath(problem);
    if (pluginPath.empty()) {
      Complain(problem);
      return kExitError;
    }
  }
  const TPlugin plugin(pluginPath);
  if (!plugin.Loaded()) {
    Complain(plugin.Error());
    return kExitError;
  }
  if (c.Describe->parsed()) {
    std::cout << pcb9host::BoardTerminalText(plugin.Description()) << '\n';
    return kExitOk;
  }
  if (c.Recognise->parsed()) return Recognise(plugin, c.RecogniseFile);
  return pcb9host::RunImport(plugin, o);
}
