#pragma once
// Token texts of whole boards at a chosen version, for the loader tests.
#include <string>

namespace pcb9test {

// Version text by format level: "1.10" for 0, "2.00" for 1 ... "2.80" for 9.
inline std::string VersionOfLevel(int level) {
  return level == 0 ? "1.10" : "2." + std::to_string(level - 1) + "0";
}

// A board of that level around the body; the preamble announces `objects`
// objects for the progress display.
inline std::string BoardAtLevel(int level, const std::string& body, int objects = 1) {
  return "\"PCB FILE 9 VERSION " + VersionOfLevel(level) + "\"\nlong 0 " +
         std::to_string(objects) + " 0 0 0 0 0 0 0 0\n" + body + "\nend\n";
}

// The same board, but the file ends right after the body, without its end tag.
inline std::string BoardCutAfter(int level, const std::string& body) {
  std::string text = BoardAtLevel(level, body);
  return text.substr(0, text.size() - 4) + "truncate\n";
}

}  // namespace pcb9test
