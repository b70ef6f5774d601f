#include "Terminal.h"

#include <algorithm>
#include <cctype>

#include "TerminalText.h"

namespace pcb9host {

namespace {

constexpr int kBarWidth = 20;
constexpr auto kCountRedraw = std::chrono::milliseconds(100);

// The percentage done; -1 when the total gives nothing to measure against
// (the importer passes the file's counts on unchecked, negative ones too).
int Percent(const morvik::TProgress& p) {
  if (p.Total <= 0) return -1;
  return static_cast<int>(std::min<int64_t>(100, p.Updates * 100 / p.Total));
}

// The caption's end says which file and which version: a caption too long
// for its room keeps its end, cut between characters.
std::string FittedCaption(const std::string& caption, size_t room) {
  if (TerminalWidth(caption) <= room) return caption;
  if (room < 4) return {};
  return "..." + std::string(LastColumns(caption, room - 3));
}

std::string& TypedAhead() {
  static std::string keys;
  return keys;
}

// A whole line typed ahead; else what there is of one, left in `line`.
bool TakeTypedLine(std::string& line) {
  std::string& keys = TypedAhead();
  const size_t end = keys.find('\n');
  line = keys.substr(0, end);
  keys.erase(0, end == std::string::npos ? keys.size() : end + 1);
  return end != std::string::npos;
}

}  // namespace

void KeepTypedAhead(char key) {
  std::string& keys = TypedAhead();
  if (key == '\b' || key == 0x7F) {
    if (!keys.empty() && keys.back() != '\n') keys.pop_back();
    return;
  }
  keys.push_back(key == '\r' ? '\n' : key);
}

bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  if (in == stdin && TakeTypedLine(line)) return true;
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  return c != EOF || !line.empty();
}

std::string Trimmed(const std::string& line) {
  size_t first = 0, last = line.size();
  while (first < last && std::isspace(static_cast<unsigned char>(line[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(line[last - 1]))) --last;
  return line.substr(first, last - first);
}

bool AskYesNo(std::FILE* in, std::FILE* out, const std::string& caption, const std::string& text) {
  std::fprintf(out, "%s: %s\n", UserTerminalText(caption).c_str(), TerminalLines(text, "  ").c_str());
  std::string line;
  for (;;) {
    std::fputs("Yes or No (y/n): ", out);
    std::fflush(out);
    if (!ReadLine(in, line)) break;
    std::string entry = Trimmed(line);
    std::transform(entry.begin(), entry.end(), entry.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (entry == "y" || entry == "yes") return true;
    if (entry == "n" || entry == "no") return false;
  }
  std::fputc('\n', out);
  std::fflush(out);
  return false;
}

std::string TProgressLine::Text(const morvik::TProgress& p, int columns) {
  // The last column stays free: writing into it wraps on some terminals.
  const size_t width = static_cast<size_t>(std::max(columns - 1, 0));
  const int percent = Percent(p);
  std::string tail = " " + std::to_string(p.Updates);
  if (percent >= 0) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d%%", percent);
    const std::string count = std::string(" ") + number + " " + std::to_string(p.Updates) + "/" +
                              std::to_string(p.Total);
    const int filled = percent * kBarWidth / 100;
    tail = " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "]" + count;
    if (tail.size() > width) tail = count;  // too narrow for the bar: the numbers
  }
  const size_t room = width > tail.size() ? width - tail.size() : 0;
  return FittedCaption(UserTerminalText(p.Caption), room) + tail;
}

void TProgressLine::Step(const morvik::TProgress& progress) {
  if (!Out_) return;
  const std::string shown = progress.Caption + '\n' + std::to_string(Percent(progress));
  const auto now = std::chrono::steady_clock::now();
  if (Drawn_ && shown == Shown_ && now - LastDraw_ < kCountRedraw) return;
  Shown_ = shown;
  LastDraw_ = now;
  Draw(Text(progress, Columns_));
}

void TProgressLine::Draw(const std::string& text) {
  if (Drawn_ && text == Last_) return;
  // Erased to the line's end: a shorter line leaves nothing of the last.
  std::fprintf(Out_, "\r%s\x1b[K", text.c_str());
  std::fflush(Out_);
  Last_ = text;
  Drawn_ = true;
}

void TProgressLine::Break() {
  if (!Out_ || !Drawn_) return;
  std::fputc('\n', Out_);
  std::fflush(Out_);
  Drawn_ = false;
}

void TProgressLine::Finish(const morvik::TProgress& progress) {
  if (!Out_) return;
  if (Last_.empty() && progress.Caption.empty()) return;  // nothing was imported
  Draw(Text(progress, Columns_));
  Break();
  Last_.clear();
  Shown_.clear();
}

}  // namespace pcb9host
