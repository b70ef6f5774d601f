#include "KicadFormat.h"

#include <cmath>
#include <cstdio>

#include "Dump.h"

namespace pcb9host::kicad {

int64_t UnitsToNm(int64_t units) {
  const int64_t scaled = units * 254;
  return (scaled + (scaled < 0 ? -50 : 50)) / 100;
}

std::string NmText(int64_t nm) {
  const uint64_t magnitude = nm < 0 ? 0 - static_cast<uint64_t>(nm) : static_cast<uint64_t>(nm);
  std::string text = (nm < 0 ? "-" : "") + std::to_string(magnitude / 1000000);
  uint64_t fraction = magnitude % 1000000;
  if (fraction == 0) return text;
  int digits = 6;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  std::string decimals = std::to_string(fraction);
  return text + "." + std::string(static_cast<size_t>(digits) - decimals.size(), '0') + decimals;
}

std::string RealText(double value) {
  if (!std::isfinite(value)) return "0";
  const double rounded = std::round(value * 1e6);
  if (std::fabs(rounded) >= 9e18) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  return NmText(static_cast<int64_t>(rounded));
}

std::string Quoted(std::string_view latin1) {
  std::string text = "\"";
  for (char c : Latin1ToUtf8(latin1)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else {
      text += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
  }
  return text + "\"";
}

void TSexprWriter::Flush() {
  if (Out_.empty()) return;
  Stream_.write(Out_.data(), static_cast<std::streamsize>(Out_.size()));
  Out_.clear();
}

TSexprWriter& TSexprWriter::Open(std::string_view keyword) {
  Spill();
  if (Depth_ == 0 && Started_) Out_ += '\n';
  if (Depth_ > 0 && Depth_ <= 2) {
    Out_ += '\n';
    Out_.append(static_cast<size_t>(Depth_) * 2, ' ');
  } else if (Depth_ > 2) {
    Out_ += ' ';
  }
  Out_ += '(';
  Out_ += keyword;
  Started_ = true;
  ++Depth_;
  return *this;
}

TSexprWriter& TSexprWriter::Close() {
  if (Depth_ > 0) --Depth_;
  Out_ += ')';
  if (Depth_ == 0) Out_ += '\n';
  return *this;
}

TSexprWriter& TSexprWriter::Atom(std::string_view atom) {
  Out_ += ' ';
  Out_ += atom;
  return *this;
}

}  // namespace pcb9host::kicad
