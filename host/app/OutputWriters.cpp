#include "OutputWriters.h"

#include <fstream>

#include "ImportCommand.h"
#include "SvgWriter.h"

namespace pcb9host {

namespace {

// The picture shows what the import left on the board, whatever its result.
bool WriteSvg(const std::string& path, const TImportOutcome&) {
  std::string error;
  if (WriteBoardSvg(path, error)) return true;
  Complain(error);
  return false;
}

constexpr TOutputWriter kWriters[] = {
    {"--json", "JSON", ".json", true, &WriteJsonDump},
    {"--svg", "SVG", ".svg", false, &WriteSvg},
};

}  // namespace

std::span<const TOutputWriter> OutputWriters() { return kWriters; }

bool WriteJsonDump(const std::string& path, const TImportOutcome& outcome) {
  std::string text;
  try {
    text = ImportDump(outcome).dump(2) + "\n";
  } catch (const nlohmann::json::exception& e) {
    Complain(std::string("cannot make the JSON: ") + e.what());
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  Complain("cannot write the JSON to " + path);
  return false;
}

}  // namespace pcb9host
