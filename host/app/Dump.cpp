#include "Dump.h"

#include "DumpJson.h"
#include "HostSession.h"
#include "Module.h"

namespace pcb9host {

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return utf8;
}

namespace {

nlohmann::json ProgressJson() {
  const morvik::TProgress& progress = morvik::Progress();
  return {{"caption", Latin1ToUtf8(progress.Caption)},
          {"total", progress.Total},
          {"updates", progress.Updates},
          {"finished", progress.Finished}};
}

nlohmann::json MessagesJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const TMessageRecord& m : THostSession::Instance().Messages())
    list.push_back({{"caption", Latin1ToUtf8(m.Caption)},
                    {"text", Latin1ToUtf8(m.Text)},
                    {"icon", m.Icon},
                    {"buttons", m.Buttons},
                    {"answer", m.Answer}});
  return list;
}

nlohmann::json ReportsJson() {
  nlohmann::json list = nlohmann::json::array();
  for (const TReportRecord& r : THostSession::Instance().Reports())
    list.push_back({{"name", Latin1ToUtf8(r.Name)}, {"text", Latin1ToUtf8(r.Text)}});
  return list;
}

}  // namespace

nlohmann::json ImportDump(const TImportOutcome& outcome) {
  nlohmann::json dump;
  dump["recognised"] = outcome.Recognised;
  dump["description"] = Latin1ToUtf8(outcome.Description);
  dump["result"] = outcome.Result ? nlohmann::json(*outcome.Result) : nlohmann::json(nullptr);
  dump["board"] = outcome.Board;
  dump["progress"] = ProgressJson();
  dump["messages"] = MessagesJson();
  dump["dialog"] = nullptr;
  dump["reports"] = ReportsJson();
  dump["objects"] = morvik::ObjectsJson();
  return dump;
}

}  // namespace pcb9host
