#pragma once
// pcb9-host's import command: one file with its summary and the outputs
// named on the command line, or a batch of files, each into its own new
// board in this process, with one table and D/NAME.json for each.
#include <cstdint>
#include <string>
#include <vector>

#include "Plugin.h"

namespace pcb9host {

constexpr int kExitOk = 0, kExitFailed = 1, kExitError = 2;

struct TImportOptions {
  std::vector<std::string> Files;
  std::string OutDir;  // a batch's folder; empty: a single file
  // One entry per OutputWriters() row: not asked for, asked for without a
  // file name (a batch), or the file to write.
  struct TOutput {
    bool Asked = false;
    std::string Path;
  };
  std::vector<TOutput> Outputs;
  bool AnswerGiven = false;
  bool AnswerYes = false;
  int64_t EscAfter = 0;
  bool TestMode = false;
  std::vector<std::string> DialogUncheck;

  bool Batch() const { return !OutDir.empty() || Files.size() > 1; }
};

// "pcb9-host: " and the message, on standard error, as one line
// (UserTerminalText).
void Complain(const std::string& message);

// Why the file cannot be read; empty when it can.
std::string ReadProblem(const std::string& file);

// What is wrong with the options as a whole; empty when nothing is.
std::string OptionsProblem(const TImportOptions& options);

// One file of a run: the board's file name (BoardInfo 2) and the outputs
// written after its import.
struct TFilePlan {
  std::string File;
  // The file itself; in a batch with --out-dir its place there, D/NAME plus
  // the file's extension, so that the component report lands in D.
  std::string BoardName;
  std::vector<std::string> Outputs;  // per OutputWriters() row; empty: none
  std::string OutputBase;  // D/NAME when NAME is not the file's own name
};

std::vector<TFilePlan> PlanRun(const TImportOptions& options);

// Why the run must not start: an output that is a file being imported or
// another output (any spelling, a hard link or a link to it included), or
// a board name too long; empty when nothing is wrong.
std::string PlanProblem(const std::vector<TFilePlan>& plans, bool batch);

// Imports as the options say, after checking the plan; returns the exit
// code (the worst of a batch).
int RunImport(const TPlugin& plugin, const TImportOptions& options);

// The base names of a batch's outputs, in the order of the files: each
// file's name without folder and extension; a name already taken by an
// earlier file (in any letter case) gets "-2", "-3", ... so no file's
// outputs overwrite another's.
std::vector<std::string> BatchNames(const std::vector<std::string>& files);

}  // namespace pcb9host
