#pragma once
// The files pcb9-host writes after an import, one row per kind: its option
// (`--json OUT` for a single file; in a batch the file D/NAME plus the
// extension), the name the summary gives it and the function that writes it.
// A writer says what went wrong on standard error and returns false.
#include <span>
#include <string>
#include <string_view>

#include "Dump.h"

namespace pcb9host {

struct TOutputWriter {
  std::string_view Option;     // "--json"
  std::string_view Name;       // "JSON", as the summary names the file
  std::string_view Extension;  // ".json", the batch file's
  bool InEveryBatch;           // written in a batch without being asked for
  bool (*Write)(const std::string& path, TImportOutcome& outcome);
};

std::span<const TOutputWriter> OutputWriters();

// Writes the board dump; says why on standard error when it cannot.
bool WriteJsonDump(const std::string& path, TImportOutcome& outcome);

}  // namespace pcb9host
