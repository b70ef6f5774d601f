#pragma once
// The files pcb9-host writes after an import, one row per kind: its option
// (`--json OUT` for a single file; in a batch the file D/NAME plus the
// extension), the name the summary gives it and the function that makes its
// text. Every output is written through a TOutputFile (OutputFile.h): into
// a temporary file beside its place, renamed there when complete, never
// through a link or over anything but a regular file.
#include <ostream>
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
  // Writes the output's text to `out` as it is made; false with `error`
  // set when the text cannot be made.
  bool (*Write)(std::ostream& out, const std::string& path, TImportOutcome& outcome,
                std::string& error);
};

std::span<const TOutputWriter> OutputWriters();

// Writes one output to `path`; says why on standard error and returns false
// when it cannot, and then leaves nothing of it under that name.
bool WriteOutput(const TOutputWriter& writer, const std::string& path, TImportOutcome& outcome);

}  // namespace pcb9host
