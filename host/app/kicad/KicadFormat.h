#pragma once
// The S-expression text of a KiCad board: exact millimetres from host units,
// angles without binary noise, quoted texts, and a writer that nests lists.
#include <cstdint>
#include <string>
#include <string_view>

namespace pcb9host::kicad {

// Host units (10000 to the mil) in KiCad's nanometres: 2.54 nm each,
// rounded half away from zero, computed in integers.
int64_t UnitsToNm(int64_t units);
// Nanometres as millimetres with at most six decimals ("12.7", "-0.000003").
std::string NmText(int64_t nm);
// A real (degrees, ratios) with at most six decimals; not-a-number and
// infinities read as 0, and no "-0".
std::string RealText(double value);
// A text as a quoted KiCad string: the 8-bit characters read as Latin-1,
// quote and backslash escaped, control characters written as escapes.
std::string Quoted(std::string_view latin1);

// Appends lists to a string: Open("segment") ... Close(). Lists opened at
// the first two depths start on a line of their own.
class TSexprWriter {
 public:
  explicit TSexprWriter(std::string& out) : Out_(out) {}
  TSexprWriter& Open(std::string_view keyword);
  TSexprWriter& Close();
  TSexprWriter& Atom(std::string_view atom);
  TSexprWriter& Text(std::string_view latin1) { return Atom(Quoted(latin1)); }
  TSexprWriter& Nm(int64_t nm) { return Atom(NmText(nm)); }
  TSexprWriter& Real(double value) { return Atom(RealText(value)); }
  TSexprWriter& Int(int64_t value) { return Atom(std::to_string(value)); }
  // (keyword value) with one atom.
  TSexprWriter& Leaf(std::string_view keyword, std::string_view atom) {
    return Open(keyword).Atom(atom).Close();
  }
  // (keyword x y) in nanometres.
  TSexprWriter& Point(std::string_view keyword, int64_t x, int64_t y) {
    return Open(keyword).Nm(x).Nm(y).Close();
  }
  int Depth() const { return Depth_; }

 private:
  std::string& Out_;
  int Depth_ = 0;
};

}  // namespace pcb9host::kicad
