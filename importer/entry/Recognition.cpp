#include "Recognition.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Driver.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfText = '\x1A';
constexpr std::string_view kRecognisedText = "PCB FILE 9";

bool IsRegularFile(const std::string& fileName) {
  std::error_code error;
  return !fileName.empty() && std::filesystem::is_regular_file(fileName, error);
}

// Feeds one chunk into the line; true when the line is complete.
bool TakeLineBytes(std::string& line, const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const char c = bytes[i];
    if (c == kLineFeed || c == kEndOfText) return true;
    if (c == kCarriageReturn) continue;
    line.push_back(c);
    if (line.size() == kFirstLineLimit) return true;
  }
  return false;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string ReadFirstLine(const std::string& fileName) {
  std::string line;
  if (!IsRegularFile(fileName)) return line;
  std::ifstream file(fileName, std::ios::binary);
  char chunk[512];
  while (file) {
    file.read(chunk, sizeof chunk);
    const auto count = static_cast<size_t>(file.gcount());
    if (count == 0 || TakeLineBytes(line, chunk, count)) break;
  }
  return line;
}

bool IsRecognisedFile(const std::string& fileName) {
  std::string line = ReadFirstLine(fileName);
  std::transform(line.begin(), line.end(), line.begin(), AsciiUpper);
  return line.find(kRecognisedText) != std::string::npos;
}

const char* ImporterDescription() {
  static const char kDescription[] = "Orvane RER 2.8 Binary File (*.PCB)";
  return kDescription;
}

std::string CopyShortStringArgument(const uint8_t* value) {
  if (!value) return {};
  return std::string(reinterpret_cast<const char*>(value + 1), value[0]);
}

bool ImportRecognisedFile(const std::string& fileName, int32_t boardHandle) {
  if (!IsRecognisedFile(fileName)) return false;
  return RunImport(fileName, boardHandle);
}

}  // namespace pcb9
