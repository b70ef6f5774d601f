#include "OutputWriters.h"

#include <exception>

#include "ImportCommand.h"
#include "KicadWriter.h"
#include "OutputFile.h"
#include "SvgWriter.h"

namespace pcb9host {

namespace {

// The picture shows what the import left on the board, whatever its result.
bool WriteSvg(std::ostream& out, const std::string&, TImportOutcome&, std::string& error) {
  return WriteBoardSvg(out, error);
}

// The board as KiCad holds it; its conversion report goes into the outcome
// for the summary and the dump.
bool WriteKicad(std::ostream& out, const std::string& path, TImportOutcome& outcome,
                std::string& error) {
  TKicadReport report;
  if (!WriteKicadBoard(out, path, report, error)) return false;
  outcome.Kicad = KicadReportJson(report);
  outcome.KicadText = KicadReportText(report);
  return true;
}

bool WriteJsonDump(std::ostream& out, const std::string&, TImportOutcome& outcome,
                   std::string&) {
  WriteImportDump(out, DumpSections(outcome));
  out << '\n';
  return true;
}

// Written in this order: the dump comes last so that it holds what the
// other writers reported.
constexpr TOutputWriter kWriters[] = {
    {"--svg", "SVG", ".svg", false, &WriteSvg},
    {"--kicad", "KiCad", ".kicad_pcb", false, &WriteKicad},
    {"--json", "JSON", ".json", true, &WriteJsonDump},
};

}  // namespace

std::span<const TOutputWriter> OutputWriters() { return kWriters; }

bool WriteOutput(const TOutputWriter& writer, const std::string& path, TImportOutcome& outcome) {
  hostsystem::TOutputFile file(path);
  if (!file.Open()) {
    Complain(file.Error());
    return false;
  }
  std::string error;
  bool made = false;
  try {
    made = writer.Write(file.Stream(), path, outcome, error);
  } catch (const std::exception& e) {
    error = e.what();
  }
  if (!made) {
    // A failed write into the file is the file's reason; otherwise the
    // text could not be made.
    Complain(!file.Error().empty() ? file.Error()
                                   : "cannot make the " + std::string(writer.Name) + ": " + error);
    return false;
  }
  if (file.Commit()) return true;
  Complain(file.Error());
  return false;
}

}  // namespace pcb9host
