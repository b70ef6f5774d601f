#pragma once
// The S-expression text of a KiCad board: exact millimetres from host units,
// angles without binary noise, quoted texts, and a writer that nests lists.
#include <cstdint>
#include <ostream>
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
// quote and backslash escaped, control characters (below 32, and 127)
// written as '?': KiCad cuts a name at a NUL, and a line break has no place
// in a name.
std::string Quoted(std::string_view latin1);

// Writes lists to a stream as it goes: Open("segment") ... Close(). Lists
// opened at the first two depths start on a line of their own. The text
// passes through a small buffer, emptied into the stream whenever it fills
// and by Flush() (and the destructor).
class TSexprWriter {
 public:
  explicit TSexprWriter(std::ostream& out) : Stream_(out) {}
  ~TSexprWriter() { Flush(); }
  TSexprWriter(const TSexprWriter&) = delete;
  TSexprWriter& operator=(const TSexprWriter&) = delete;
  void Flush();
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
  void Spill() {
    if (Out_.size() >= kBufferSize) Flush();
  }
  static constexpr size_t kBufferSize = 64 * 1024;
  std::ostream& Stream_;
  std::string Out_;
  bool Started_ = false;  // anything written yet
  int Depth_ = 0;
};

}  // namespace pcb9host::kicad
