#pragma once
// The JSON the reference host writes after an import: what the plug-in
// answered, the progress record, the message boxes, the files written and
// every object of the document.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace pcb9host {

struct TImportOutcome {
  bool Recognised = false;
  std::string Description;
  std::optional<bool> Result;  // empty when ImportFileIntoPcb was not called
  uint32_t Board = 0;
  std::optional<nlohmann::json> Kicad;  // the KiCad export's report, when one was written
  std::string KicadText;                // the same report as the summary prints it
};

// The 8-bit text read as Latin-1, one character per byte, in UTF-8.
std::string Latin1ToUtf8(std::string_view text);

// The whole dump, from the outcome, the PCB module's document and progress
// record and the host session's recordings.
nlohmann::json ImportDump(const TImportOutcome& outcome);

}  // namespace pcb9host
