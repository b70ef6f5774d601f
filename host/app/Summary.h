#pragma once
// What pcb9-host prints after importing: the summary of a single file, or
// one table for a batch, a row per file.
#include <ostream>
#include <string>
#include <vector>

#include "Dump.h"

namespace pcb9host {

// One file's import as the command saw it.
struct TFileRun {
  std::string File;
  TImportOutcome Outcome;
  std::string Problem;         // why the file cannot be read; empty when it can
  std::vector<bool> Written;              // per OutputWriters() row
  std::vector<std::string> NotWritten;    // the names of the outputs that failed
  std::string OutputBase;                 // a batch's D/NAME when NAME was changed
  int ExitCode = 0;
};

// The summary of the board the import left, with a line per output writer:
// the path written, or why not (`paths` as the writers' rows, empty: not
// asked for).
void PrintSummary(const TFileRun& run, const std::vector<std::string>& paths);

// A batch's table. Each row is taken from the board and the session's
// recordings as the import left them, before the next file resets them.
class TBatchTable {
 public:
  void Add(const TFileRun& run);
  void Print(std::ostream& out) const;

 private:
  std::vector<std::vector<std::string>> Rows_;
};

// The version text of the file's header string ("2.80" of "PCB FILE 9
// VERSION 2.80"), the whole header text when it names no version, "-" when
// the file does not start with a string. Made fit for a terminal line: the
// header is the file's text.
std::string HeaderVersion(const std::string& file);

}  // namespace pcb9host
