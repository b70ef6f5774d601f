#include "OutputChecks.h"

#include <expat.h>

#include <climits>
#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace pcb9fuzz {

bool JsonWellFormed(std::string_view text, std::string& why) {
  if (nlohmann::json::accept(text)) return true;
  why = "the JSON does not parse";
  return false;
}

bool XmlWellFormed(std::string_view text, std::string& why) {
  if (text.size() > INT_MAX) {
    why = "the XML is too long to check";
    return false;
  }
  std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate("UTF-8"),
                                                                 XML_ParserFree);
  if (!parser) {
    why = "no XML parser";
    return false;
  }
  if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) ==
      XML_STATUS_OK)
    return true;
  why = std::string("the XML is not well formed: ") +
        XML_ErrorString(XML_GetErrorCode(parser.get())) + " at line " +
        std::to_string(XML_GetCurrentLineNumber(parser.get()));
  return false;
}

namespace {

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

// Reads an S-expression text token by token, keeping the depth and the
// names of the root's `net` children.
class TSexprCheck {
 public:
  explicit TSexprCheck(std::string_view text) : Text_(text) {}

  bool Run(std::string& why) {
    while (At_ < Text_.size() && Why_.empty()) Step();
    if (Why_.empty() && Depth_ != 0) Fail(std::to_string(Depth_) + " list(s) left open");
    if (Why_.empty() && Lists_ != 1) Fail("no list");
    why = Why_;
    return Why_.empty();
  }

 private:
  std::string_view Text_;
  size_t At_ = 0;
  int Depth_ = 0;
  int Lists_ = 0;  // lists at the top
  std::string Why_;
  // The root's child list being read: its atoms and strings so far.
  std::vector<std::string> Child_;
  std::set<std::string> NetNames_;

  void Fail(const std::string& why) {
    Why_ = "the KiCad text is not well formed: " + why + " (at byte " + std::to_string(At_) + ")";
  }

  void Step() {
    const char c = Text_[At_];
    if (IsSpace(c)) {
      ++At_;
    } else if (c == '(') {
      Open();
    } else if (c == ')') {
      Close();
    } else if (c == '"') {
      Token(ReadString());
    } else if (IsControl(c)) {
      Fail("a control byte outside a string");
    } else {
      Token(ReadAtom());
    }
  }

  void Open() {
    if (Depth_ == 0 && ++Lists_ > 1) return Fail("a second list at the top");
    ++Depth_;
    ++At_;
    if (Depth_ == 2) Child_.clear();
  }

  void Close() {
    if (Depth_ == 0) return Fail("a ')' that closes nothing");
    if (Depth_ == 2 && Child_.size() >= 3 && Child_[0] == "net" &&
        !NetNames_.insert(Child_[2]).second)
      return Fail("two nets named \"" + Child_[2] + "\"");
    --Depth_;
    ++At_;
  }

  void Token(const std::string& token) {
    if (Depth_ == 0 && Why_.empty()) return Fail("a token outside the list");
    if (Depth_ == 2) Child_.push_back(token);
  }

  std::string ReadAtom() {
    const size_t start = At_;
    while (At_ < Text_.size() && !IsSpace(Text_[At_]) && Text_[At_] != '(' && Text_[At_] != ')' &&
           Text_[At_] != '"' && !IsControl(Text_[At_]))
      ++At_;
    return std::string(Text_.substr(start, At_ - start));
  }

  // The string's characters, escapes undone (\n, \r, \t, \xHH, \c for c).
  std::string ReadString() {
    std::string value;
    for (++At_; At_ < Text_.size(); ++At_) {
      const char c = Text_[At_];
      if (c == '"') {
        ++At_;
        return value;
      }
      if (IsControl(c)) {
        Fail("a control byte inside a string");
        return value;
      }
      if (c != '\\') {
        value += c;
        continue;
      }
      if (++At_ == Text_.size()) break;
      value += Unescaped();
    }
    Fail("a string that does not end");
    return value;
  }

  char Unescaped() {
    switch (const char c = Text_[At_]) {
      case 'n': return '\n';
      case 'r': return '\r';
      case 't': return '\t';
      case 'x': {
        const int high = At_ + 2 < Text_.size() ? HexDigit(Text_[At_ + 1]) : -1;
        const int low = high >= 0 ? HexDigit(Text_[At_ + 2]) : -1;
        if (low < 0) return c;
        At_ += 2;
        return static_cast<char>(high * 16 + low);
      }
      default: return c;
    }
  }
};

struct TSample {
  const char* Name;
  bool (*Check)(std::string_view, std::string&);
  std::string_view Text;
  bool WellFormed;
};

using namespace std::string_view_literals;

// Texts each check must judge as given: the faults a writer could make.
const TSample kSamples[] = {
    {"json", JsonWellFormed, "{\"a\": [1, \"x\\\"y\"], \"b\": null}", true},
    {"json unclosed", JsonWellFormed, "{\"a\": [1, 2}", false},
    {"json trailing comma", JsonWellFormed, "{\"a\": 1,}", false},
    {"xml", XmlWellFormed,
     "<?xml version=\"1.0\"?><svg a=\"&lt;&#233;\"><g/><t>x &amp; y</t></svg>", true},
    {"xml unclosed", XmlWellFormed, "<svg><g></svg>", false},
    {"xml attribute twice", XmlWellFormed, "<svg a=\"1\" a=\"2\"/>", false},
    {"xml unknown entity", XmlWellFormed, "<svg>&nbsp;</svg>", false},
    {"xml raw control byte", XmlWellFormed, "<svg>\x01</svg>"sv, false},
    {"xml invalid utf-8", XmlWellFormed, "<svg>\xC3</svg>"sv, false},
    {"kicad", KicadWellFormed,
     "(kicad_pcb (net 0 \"\") (net 1 \"A\") (net 2 \"A\\\"\") (footprint (pad (net 1 \"A\"))))",
     true},
    {"kicad open list", KicadWellFormed, "(kicad_pcb (net 0 \"\")", false},
    {"kicad stray close", KicadWellFormed, "(kicad_pcb))", false},
    {"kicad open string", KicadWellFormed, "(kicad_pcb (net 1 \"A))", false},
    {"kicad second list", KicadWellFormed, "(kicad_pcb) (x)", false},
    {"kicad raw control byte", KicadWellFormed, "(kicad_pcb (net 1 \"A\x01\"))"sv, false},
    {"kicad nul", KicadWellFormed, "(kicad_pcb (net 1 \"A\0B\"))"sv, false},
    {"kicad net names twice", KicadWellFormed, "(kicad_pcb (net 1 \"A\") (net 2 \"A\"))", false},
    {"kicad net names twice, escaped", KicadWellFormed,
     "(kicad_pcb (net 1 \"A\\x01\") (net 2 \"A\\x01\"))", false},
};

}  // namespace

bool KicadWellFormed(std::string_view text, std::string& why) { return TSexprCheck(text).Run(why); }

std::string MisjudgedSample() {
  for (const TSample& sample : kSamples) {
    std::string why;
    if (sample.Check(sample.Text, why) != sample.WellFormed) return sample.Name;
  }
  return {};
}

}  // namespace pcb9fuzz
