#include "KicadReport.h"

#include "Dump.h"
#include "TerminalText.h"

namespace pcb9host {

void TKicadReport::Note(const std::string& thing, const std::string& action, int64_t count) {
  const std::string key = thing + '\n' + action;
  auto [it, added] = Index_.try_emplace(key, Notes_.size());
  if (added) Notes_.push_back({thing, action, 0});
  Notes_[it->second].Count += count;
}

nlohmann::json KicadReportJson(const TKicadReport& report) {
  nlohmann::json notes = nlohmann::json::array();
  for (const TKicadNote& note : report.Notes())
    notes.push_back({{"thing", Latin1ToUtf8(note.Thing)},
                     {"action", Latin1ToUtf8(note.Action)},
                     {"count", note.Count}});
  return {{"path", UserTextToUtf8(report.Path)}, {"written", report.Written()}, {"notes", notes}};
}

std::string KicadReportText(const TKicadReport& report) {
  std::string text;
  for (const TKicadNote& note : report.Notes())
    text += "KiCad note: " + BoardTerminalText(note.Thing) + ": " + BoardTerminalText(note.Action) + " (" +
            std::to_string(note.Count) + ")\n";
  std::string written;
  for (const auto& [item, count] : report.Written())
    written += (written.empty() ? "" : ", ") + item + " " + std::to_string(count);
  return text + "KiCad items: " + (written.empty() ? "none" : written) + "\n";
}

}  // namespace pcb9host
