#pragma once
// The JSON the reference host writes after an import: what the plug-in
// answered, the progress record, the message boxes, the files written and
// every object of the document. The objects are written one by one as the
// dump goes; the small top-level values are an nlohmann object that callers
// may add to before it is written.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace pcb9host {

struct TImportOutcome {
  std::string File;  // as given on the command line
  bool Recognised = false;
  std::string Description;
  std::optional<bool> Result;  // empty when ImportFileIntoPcb was not called
  uint32_t Board = 0;
  std::optional<nlohmann::json> Kicad;  // the KiCad export's report, when one was written
  std::string KicadText;                // the same report as the summary prints it
};

// The 8-bit text read as Latin-1, one character per byte, in UTF-8.
std::string Latin1ToUtf8(std::string_view text);
// A file name as given, or a text made around one, in UTF-8: valid UTF-8
// unchanged, any other byte read as Latin-1 (morvik::UserTextToUtf8).
std::string UserTextToUtf8(std::string_view text);

// The dump's top-level values but "objects": the outcome, the PCB module's
// progress record, refused calls and commands, and the host session's
// recordings.
nlohmann::json DumpSections(const TImportOutcome& outcome);

// Writes the dump: the sections and "objects" (every object of the PCB
// module's document, in creation order) in key order, exactly as
// nlohmann's dump(2) prints the whole, without a final line break. A
// section named "objects" is left out.
void WriteImportDump(std::ostream& out, const nlohmann::json& sections);

}  // namespace pcb9host
