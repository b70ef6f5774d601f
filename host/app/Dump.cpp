#include "Dump.h"

#include "DumpJson.h"
#include "FileHeader.h"
#include "HostSession.h"
#include "Module.h"
#include "stream/FormatTables.h"

namespace pcb9host {

std::string Latin1ToUtf8(std::string_view text) { return morvik::Latin1ToUtf8(text); }
std::string UserTextToUtf8(std::string_view text) { return morvik::UserTextToUtf8(text); }

namespace {

nlohmann::json ProgressJson() {
  const morvik::TProgress& progress = morvik::Progress();
  return {{"caption", UserTextToUtf8(progress.Caption)},
          {"total", progress.Total},
          {"updates", progress.Updates},
          {"finished", progress.Finished}};
}

nlohmann::json MessagesJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const TMessageRecord& m : THostSession::Instance().Messages())
    list.push_back({{"caption", UserTextToUtf8(m.Caption)},
                    {"text", UserTextToUtf8(m.Text)},
                    {"icon", m.Icon},
                    {"buttons", m.Buttons},
                    {"answer", m.Answer},
                    {"owner", m.Owner}});
  return list;
}

nlohmann::json DialogJson() {
  const std::optional<TFormRecord>& form = THostSession::Instance().Dialog();
  if (!form) return nullptr;
  nlohmann::json boxes = nlohmann::json::array();
  for (const TFormCheckBox& box : form->CheckBoxes)
    boxes.push_back({{"name", Latin1ToUtf8(box.Name)},
                     {"caption", Latin1ToUtf8(box.Caption)},
                     {"enabled", box.Enabled},
                     {"checked", box.Checked}});
  return {{"shown", form->Shown},
          {"caption", Latin1ToUtf8(form->Caption)},
          {"owner", form->Owner},
          {"checkboxes", boxes}};
}

nlohmann::json CommandsJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const morvik::TSentCommand& c : morvik::SentCommands())
    list.push_back({{"command", Latin1ToUtf8(c.Command)}, {"parameters", Latin1ToUtf8(c.Parameters)}});
  return list;
}

nlohmann::json HostErrorsJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const morvik::THostError& e : morvik::HostErrors())
    list.push_back({{"call", e.Call}, {"handle", e.Handle}, {"why", e.Why}});
  return list;
}

nlohmann::json ReportsJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const TReportRecord& r : THostSession::Instance().Reports())
    list.push_back({{"name", UserTextToUtf8(r.Name)}, {"text", Latin1ToUtf8(r.Text)}});
  return list;
}

// What the dump is of: the file as given, its header's version, the level
// the importer read it at (null when it was not imported) and the unit of
// every length.
void AddFileSections(nlohmann::json& dump, const TImportOutcome& outcome) {
  const std::optional<std::string> header = ReadHeaderText(outcome.File);
  dump["file"] = UserTextToUtf8(outcome.File);
  dump["version"] = header ? nlohmann::json(Latin1ToUtf8(HeaderVersionText(*header)))
                           : nlohmann::json(nullptr);
  dump["format_level"] = outcome.Result
                             ? nlohmann::json(pcb9::MatchHeader(header.value_or(std::string())))
                             : nlohmann::json(nullptr);
  dump["units"] = "1/10000 mil";
}

}  // namespace

nlohmann::json DumpSections(const TImportOutcome& outcome) {
  nlohmann::json dump;
  dump["recognised"] = outcome.Recognised;
  dump["description"] = Latin1ToUtf8(outcome.Description);
  dump["result"] = outcome.Result ? nlohmann::json(*outcome.Result) : nlohmann::json(nullptr);
  dump["board"] = outcome.Board;
  dump["progress"] = ProgressJson();
  dump["messages"] = MessagesJson();
  dump["host_errors"] = HostErrorsJson();
  dump["dialog"] = DialogJson();
  dump["commands"] = CommandsJson();
  dump["reports"] = ReportsJson();
  if (outcome.Kicad) dump["kicad"] = *outcome.Kicad;
  AddFileSections(dump, outcome);
  return dump;
}

void WriteImportDump(std::ostream& out, const nlohmann::json& sections) {
  constexpr std::string_view kObjects = "objects";
  morvik::TJsonStream stream(out);
  stream.BeginObject();
  bool objectsWritten = false;
  auto writeObjects = [&] {
    stream.Key(kObjects);
    morvik::WriteObjectsJson(stream);
    objectsWritten = true;
  };
  for (const auto& [key, value] : sections.items()) {
    if (key == kObjects) continue;
    if (!objectsWritten && key > kObjects) writeObjects();
    stream.Key(key);
    stream.Json(value);
  }
  if (!objectsWritten) writeObjects();
  stream.EndObject();
}

}  // namespace pcb9host
