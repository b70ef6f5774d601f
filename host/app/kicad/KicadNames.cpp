#include "KicadNames.h"

#include <algorithm>
#include <set>

namespace pcb9host::kicad {

std::string WithoutControls(std::string_view text) {
  std::string safe(text);
  for (char& c : safe)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return safe;
}

namespace {

// `wanted`, or wanted-2, wanted-3, ... whichever is not taken; taken after.
std::string Claim(const std::string& wanted, std::set<std::string>& taken) {
  std::string name = wanted;
  for (int64_t k = 2; taken.contains(name); ++k) name = wanted + "-" + std::to_string(k);
  taken.insert(name);
  return name;
}

}  // namespace

std::vector<std::string> KicadNetNames(const std::vector<THostNet>& nets, TKicadReport& report) {
  std::vector<std::string> names;
  names.reserve(nets.size());
  for (const THostNet& net : nets) names.push_back(WithoutControls(net.Name));
  // Every net's own name is reserved first, so that a new name never takes
  // the name a later net has in the file; "" is KiCad's "no net".
  std::set<std::string> taken(names.begin(), names.end());
  taken.insert("");
  std::set<std::string> kept;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string& name = names[i];
    if (name != nets[i].Name)
      report.Note("net name with control characters", "written with '?' in their place");
    if (name.empty()) {
      report.Note("net without a name", "named Net-<number>");
      name = Claim("Net-" + std::to_string(nets[i].Index), taken);
    } else if (!kept.insert(name).second) {
      report.Note("net whose name another net has",
                  "named <name>-<KiCad net number> (or a further -2, -3, ... where that is taken); "
                  "KiCad joins nets by name");
      name = Claim(name + "-" + std::to_string(i + 1), taken);
    }
  }
  return names;
}

std::string FootprintName(std::string_view pattern, TKicadReport& report) {
  std::string name(pattern);
  if (name.find(':') == std::string::npos) return name;
  report.Note("component pattern with ':'", "footprint named with '_' for ':' (KiCad reads lib:name as a library link)");
  std::replace(name.begin(), name.end(), ':', '_');
  return name;
}

}  // namespace pcb9host::kicad
