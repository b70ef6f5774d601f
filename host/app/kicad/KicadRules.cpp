// Nets, the board-wide design settings and the per-net classes.
#include <map>
#include <tuple>

#include "Kinds.h"
#include "KicadContext.h"
#include "KicadNames.h"

namespace pcb9host::kicad {

void NumberNets(TContext& c) {
  c.NetNumbers.assign(c.Doc.Objects().empty() ? 1 : c.Doc.Objects().rbegin()->Handle + 1, 0);
  std::vector<THostNet> nets;
  for (const morvik::TObject& net : c.Doc.Objects()) {
    if (net.Kind != morvik::kKindNet || net.Deleted) continue;
    const auto number = static_cast<int32_t>(nets.size() + 1);
    c.NetNumbers[net.Handle] = number;
    nets.push_back({net.Text("Name"), net.Int("Index")});
    c.NetsNamed[nets.back().Name].push_back(number);
  }
  c.NetNames = KicadNetNames(nets, c.Report);
  c.NetNames.insert(c.NetNames.begin(), "");
}

void WriteNets(TContext& c) {
  for (size_t n = 0; n < c.NetNames.size(); ++n) c.Out.Open("net").Int(static_cast<int64_t>(n)).Text(c.NetNames[n]).Close();
  c.Report.Wrote("net", static_cast<int64_t>(c.NetNames.size()) - 1);
}

namespace {

// What a net class holds, in host units; -1 for not given.
struct TClassValues {
  int64_t Clearance = -1, Width = -1, ViaSize = -1, ViaHole = -1;
  auto Key() const { return std::make_tuple(Clearance, Width, ViaSize, ViaHole); }
};

struct TRuleSet {
  TClassValues Board;
  std::map<std::string, TClassValues> Nets;  // by net name
  int64_t SolderMask = -1, PasteMask = -1;
};

bool Everywhere(const std::string& scope) { return scope.empty() || scope == "All"; }

// "InNet('GND')" -> "GND"; "InNet('A''B')" -> "A'B" (the query language
// writes a quote inside a string twice). Empty for any other scope, one with
// a lone quote inside included: that is more than one net's test.
std::string NetOfScope(const std::string& scope) {
  constexpr std::string_view kOpen = "InNet('", kClose = "')";
  if (!scope.starts_with(kOpen) || !scope.ends_with(kClose) || scope.size() < kOpen.size() + kClose.size())
    return {};
  const std::string_view quoted =
      std::string_view(scope).substr(kOpen.size(), scope.size() - kOpen.size() - kClose.size());
  std::string name;
  for (size_t at = 0; at < quoted.size(); ++at) {
    if (quoted[at] == '\'' && (at + 1 == quoted.size() || quoted[++at] != '\'')) return {};
    name += quoted[at];
  }
  return name;
}

// Where a rule's values go: the board's, a net's, or nowhere (noted).
TClassValues* Target(TContext& c, TRuleSet& rules, const morvik::TObject& rule, const std::string& kind) {
  const std::string scope1 = rule.Text("Scope1"), scope2 = rule.Text("Scope2");
  if (Everywhere(scope1) && Everywhere(scope2)) return &rules.Board;
  const std::string net = NetOfScope(scope1);
  if (!net.empty() && Everywhere(scope2)) return &rules.Nets[net];
  c.Report.Note(kind + " rule scoped " + scope1 + " / " + scope2,
                "not carried (KiCad keeps such rules in its custom rules)");
  return nullptr;
}

void TakeRule(TContext& c, TRuleSet& rules, const morvik::TObject& rule) {
  const auto ruleKind = static_cast<uint8_t>(rule.Int("RuleKind"));
  const std::string kind(morvik::RuleKindName(ruleKind));
  switch (ruleKind) {
    case morvik::kRuleClearance:
      if (TClassValues* t = Target(c, rules, rule, kind)) t->Clearance = rule.Int("Gap");
      return;
    case morvik::kRuleWidth:
      if (TClassValues* t = Target(c, rules, rule, kind)) {
        if (rule.Int("MinWidth") != rule.Int("MaxWidth"))
          c.Report.Note("width rule with a range", "the net class routes at the maximum width");
        t->Width = rule.Int("MaxWidth");
      }
      return;
    case morvik::kRuleRoutingVias:
      if (TClassValues* t = Target(c, rules, rule, kind)) {
        t->ViaSize = rule.Int("ViaSize");
        t->ViaHole = rule.Int("ViaHoleSize");
      }
      return;
    case morvik::kRuleSolderMaskExpansion:
    case morvik::kRulePasteMaskExpansion: {
      const bool solder = ruleKind == morvik::kRuleSolderMaskExpansion;
      if (Everywhere(rule.Text("Scope1")) && Everywhere(rule.Text("Scope2"))) {
        (solder ? rules.SolderMask : rules.PasteMask) = rule.Int(solder ? "SolderMaskExpansion" : "PasteMaskExpansion");
        return;
      }
      c.Report.Note(kind + " rule of one pad", "not carried (KiCad keeps such values on the footprint's pads)");
      return;
    }
    default:
      c.Report.Note(kind + " rule", "not carried (no counterpart in a KiCad board's design settings)");
  }
}

TRuleSet CollectRules(TContext& c) {
  TRuleSet rules;
  for (const morvik::TObject& rule : c.Doc.Objects())
    if (rule.Kind == morvik::kKindRule && !rule.Deleted) TakeRule(c, rules, rule);
  return rules;
}

void WriteClassValue(TContext& c, const char* keyword, int64_t value, int64_t fallback) {
  c.Out.Open(keyword).Nm(UnitsToNm(value >= 0 ? value : fallback)).Close();
}

// KiCad's defaults where the board has no rule.
constexpr TClassValues kKicadDefault{80000, 100000, 315000, 157500};  // 0.2/0.254/0.8/0.4 mm

void WriteClass(TContext& c, const std::string& name, const TClassValues& v, const TClassValues& base,
                const std::vector<std::string>& nets) {
  c.Out.Open("net_class").Text(name).Text("");
  WriteClassValue(c, "clearance", v.Clearance, base.Clearance);
  WriteClassValue(c, "trace_width", v.Width, base.Width);
  WriteClassValue(c, "via_dia", v.ViaSize, base.ViaSize);
  WriteClassValue(c, "via_drill", v.ViaHole, base.ViaHole);
  c.Out.Open("uvia_dia").Nm(300000).Close().Open("uvia_drill").Nm(100000).Close();
  for (const std::string& net : nets) c.Out.Open("add_net").Text(net).Close();
  c.Out.Close();
  c.Report.Wrote("net class");
}

TClassValues Filled(const TClassValues& v, const TClassValues& base) {
  auto pick = [](int64_t value, int64_t fallback) { return value >= 0 ? value : fallback; };
  return {pick(v.Clearance, base.Clearance), pick(v.Width, base.Width), pick(v.ViaSize, base.ViaSize),
          pick(v.ViaHole, base.ViaHole)};
}

std::string ClassName(const TClassValues& v) {
  return "W" + NmText(UnitsToNm(v.Width)) + "_V" + NmText(UnitsToNm(v.ViaSize)) + "_D" +
         NmText(UnitsToNm(v.ViaHole)) + "_C" + NmText(UnitsToNm(v.Clearance));
}

}  // namespace

void WriteSetup(TContext& c) {
  const TRuleSet rules = CollectRules(c);
  c.Out.Open("setup");
  // The host's origin, so KiCad's drill and placement files measure from it.
  c.Out.Open("aux_axis_origin").Nm(c.Origin.X).Nm(c.Origin.Y).Close();
  c.Out.Open("pad_to_mask_clearance").Nm(UnitsToNm(std::max<int64_t>(rules.SolderMask, 0))).Close();
  if (rules.PasteMask > 0) c.Out.Open("pad_to_paste_clearance").Nm(UnitsToNm(rules.PasteMask)).Close();
  c.Out.Close();
}

void WriteNetClasses(TContext& c) {
  TKicadReport quiet;  // the rules were noted once by WriteSetup
  TContext again{c.Doc, c.Board, c.Layers, quiet, c.Out, {}, {}, {}, 0, 0, 0, 0, {}};
  const TRuleSet rules = CollectRules(again);
  const TClassValues board = Filled(rules.Board, kKicadDefault);
  // Nets with the same values share a class.
  std::map<std::tuple<int64_t, int64_t, int64_t, int64_t>, std::pair<TClassValues, std::vector<std::string>>> classes;
  for (const auto& [net, values] : rules.Nets) {
    const auto named = c.NetsNamed.find(net);
    if (named == c.NetsNamed.end()) continue;
    const TClassValues full = Filled(values, board);
    auto& entry = classes[full.Key()];
    entry.first = full;
    // A rule on a name holds for every net of that name.
    for (int32_t number : named->second) entry.second.push_back(c.NetNames[static_cast<size_t>(number)]);
  }
  WriteClass(c, "Default", board, board, {});
  for (const auto& [key, entry] : classes) WriteClass(c, ClassName(entry.first), entry.first, board, entry.second);
}

}  // namespace pcb9host::kicad
