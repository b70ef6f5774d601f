#include "FileHeader.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace pcb9host {

namespace {

constexpr uint8_t kStringTag = 0xA1;

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
    return static_cast<char>(c < 0x80 ? std::toupper(c) : c);
  });
  return upper;
}

}  // namespace

std::optional<std::string> ReadHeaderText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char tag[2] = {};
  if (!in.read(reinterpret_cast<char*>(tag), 2) || tag[1] != kStringTag) return std::nullopt;
  std::string text(tag[0], '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return text;
}

std::string HeaderVersionText(std::string_view header) {
  constexpr std::string_view kVersion = "VERSION";
  const size_t at = Upper(header).find(kVersion);
  std::string version(at == std::string::npos ? header : header.substr(at + kVersion.size()));
  version.erase(0, version.find_first_not_of(' '));
  version.erase(version.find_last_not_of(' ') + 1);
  return version;
}

}  // namespace pcb9host
