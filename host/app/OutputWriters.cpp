#include "OutputWriters.h"

#include <fstream>

#include "ImportCommand.h"
#include "KicadWriter.h"
#include "SvgWriter.h"

namespace pcb9host {

namespace {

// The picture shows what the import left on the board, whatever its result.
bool WriteSvg(const std::string& path, TImportOutcome&) {
  std::string error;
  if (WriteBoardSvg(path, error)) return true;
  Complain(error);
  return false;
}

// The board as KiCad holds it; its conversion report goes into the outcome
// for the summary and the dump.
bool WriteKicad(const std::string& path, TImportOutcome& outcome) {
  TKicadReport report;
  std::string error;
  if (!WriteKicadBoard(path, report, error)) {
    Complain(error);
    return false;
  }
  outcome.Kicad = KicadReportJson(report);
  outcome.KicadText = KicadReportText(report);
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

bool WriteJsonDump(const std::string& path, TImportOutcome& outcome) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  try {
    WriteImportDump(out, DumpSections(outcome));
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

}  // namespace pcb9host
