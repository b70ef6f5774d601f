#pragma once
// The format's fixed tables: the header text of each format level with its
// progress caption suffix and description, and the attribute numbers of the
// raw attribute codes with the width of their values. Header-only, so that
// tools that write or dump token files use the very same tables.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pcb9 {

constexpr int16_t kFormatLevelCount = 10;

struct TFormatVersion {
  std::string_view Header;
  std::string_view CaptionSuffix;
  std::string_view Description;
};

// By format level; the header match tests them in this order.
inline constexpr std::array<TFormatVersion, kFormatLevelCount> kFormatVersions = {{
    {"PCB FILE 9 VERSION 1.10", " (Binary 1.1)", "Orvane PCB Binary 1.1"},
    {"PCB FILE 9 VERSION 2.00", " (Binary 2.0)", "Orvane PCB Binary 2.0"},
    {"PCB FILE 9 VERSION 2.10", " (Binary 2.1)", "Orvane PCB Binary 2.1"},
    {"PCB FILE 9 VERSION 2.20", " (Binary 2.2)", "Orvane PCB Binary 2.2"},
    {"PCB FILE 9 VERSION 2.30", " (Binary 2.3)", "Orvane PCB Binary 2.3"},
    {"PCB FILE 9 VERSION 2.40", " (Binary 2.4)", "Orvane PCB Binary 2.4"},
    {"PCB FILE 9 VERSION 2.50", " (Binary 2.5)", "Orvane PCB Binary 2.5"},
    {"PCB FILE 9 VERSION 2.60", " (Binary 2.6)", "Orvane PCB Binary 2.6"},
    {"PCB FILE 9 VERSION 2.70", " (Binary 2.7)", "Orvane PCB Binary 2.7"},
    {"PCB FILE 9 VERSION 2.80", " (Binary 2.8)", "Orvane PCB Binary 2.8"},
}};

// Attribute number by raw code 0..40; codes above give 0 (unknown).
inline constexpr std::array<uint8_t, 41> kAttributeByCode = {
    4,  6,  5,  7,  8,  9,  10, 11, 12, 13,  // codes 0..9
    14, 22, 21, 23, 24, 25, 26, 27, 28, 32,  // codes 10..19
    30, 29, 44, 15, 16, 17, 18, 19, 20, 45,  // codes 20..29
    53, 54, 46, 47, 48, 49, 50, 51, 52, 55,  // codes 30..39
    56,                                      // code 40
};

// Attributes whose value is a coordinate (track, via, pad and text sizes and
// the pad position); every other attribute carries one word.
inline constexpr std::array<uint8_t, 16> kCoordAttributes = {7,  9,  10, 13, 14, 15, 16, 17,
                                                             18, 19, 20, 21, 24, 25, 28, 32};

namespace detail {
inline const TFormatVersion* FormatVersionOf(int16_t level) {
  if (level < 0 || level >= kFormatLevelCount) return nullptr;
  return &kFormatVersions[static_cast<size_t>(level)];
}
}  // namespace detail

// The format level whose version text occurs in the header, ASCII letters
// compared without case; the first in level order wins, 0 for none.
inline int16_t MatchHeader(std::string_view header) {
  std::string upper(header);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (int16_t level = 0; level < kFormatLevelCount; ++level)
    if (upper.find(kFormatVersions[static_cast<size_t>(level)].Header) != std::string::npos)
      return level;
  return 0;
}

// "PCB FILE 9 VERSION 2.80", " (Binary 2.8)" and "Orvane PCB Binary 2.8" for
// level 9; empty outside 0..9.
inline std::string_view HeaderText(int16_t level) {
  const TFormatVersion* v = detail::FormatVersionOf(level);
  return v ? v->Header : std::string_view();
}
inline std::string_view ProgressCaptionSuffix(int16_t level) {
  const TFormatVersion* v = detail::FormatVersionOf(level);
  return v ? v->CaptionSuffix : std::string_view();
}
inline std::string_view FormatDescription(int16_t level) {
  const TFormatVersion* v = detail::FormatVersionOf(level);
  return v ? v->Description : std::string_view();
}

// The attribute number of a raw attribute code (0 above 40).
inline uint8_t AttributeFromCode(uint8_t code) {
  return code < kAttributeByCode.size() ? kAttributeByCode[code] : 0;
}
// The raw code that gives an attribute number; -1 for numbers no code gives.
inline int AttributeCodeOf(uint8_t attribute) {
  auto it = std::find(kAttributeByCode.begin(), kAttributeByCode.end(), attribute);
  return it == kAttributeByCode.end() ? -1 : static_cast<int>(it - kAttributeByCode.begin());
}
// Whether the attribute's value is a coordinate (read with `ReadAttrCoord`:
// one word at format level 0, two words, high first, above).
constexpr bool AttributeHasCoordValue(uint8_t attribute) {
  return std::find(kCoordAttributes.begin(), kCoordAttributes.end(), attribute) !=
         kCoordAttributes.end();
}

}  // namespace pcb9
