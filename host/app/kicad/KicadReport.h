#pragma once
// What a KiCad export could not carry exactly: one line per kind of thing,
// with what was done instead and how often, in the order first met.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace pcb9host {

struct TKicadNote {
  std::string Thing;   // "pad with different sizes per copper layer"
  std::string Action;  // "top layer's size kept"
  int64_t Count = 0;
};

class TKicadReport {
 public:
  // Counts one more of `thing`, done as `action`.
  void Note(const std::string& thing, const std::string& action, int64_t count = 1);
  const std::vector<TKicadNote>& Notes() const { return Notes_; }
  // Items written, by KiCad item kind ("footprint", "pad", "segment", ...).
  void Wrote(const std::string& item, int64_t count = 1) { Written_[item] += count; }
  const std::map<std::string, int64_t>& Written() const { return Written_; }
  std::string Path;  // the board written

 private:
  std::vector<TKicadNote> Notes_;
  std::map<std::string, size_t> Index_;
  std::map<std::string, int64_t> Written_;
};

// {"path": ..., "written": {item: count}, "notes": [{"thing", "action", "count"}]}
nlohmann::json KicadReportJson(const TKicadReport& report);
// The report as lines for the terminal, one per note, then the items
// written; the board's texts in a note (a rule's scope) made fit for one
// line.
std::string KicadReportText(const TKicadReport& report);

}  // namespace pcb9host
