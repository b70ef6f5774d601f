#include "SvgCanvas.h"

#include <algorithm>
#include <cmath>

#include "Dump.h"

namespace pcb9host::svg {

void TExtent::Add(double x, double y, double reach) {
  reach = std::max(0.0, reach);
  if (Empty) {
    Left = x - reach, Bottom = y - reach, Right = x + reach, Top = y + reach;
    Empty = false;
    return;
  }
  Left = std::min(Left, x - reach);
  Bottom = std::min(Bottom, y - reach);
  Right = std::max(Right, x + reach);
  Top = std::max(Top, y + reach);
}

void TExtent::Add(const TExtent& other) {
  if (other.Empty) return;
  Add(other.Left, other.Bottom, 0);
  Add(other.Right, other.Top, 0);
}

void TCanvas::Clear() {
  for (uint8_t id : TouchedIds_) {
    Layers_[id].clear();
    Touched_[id] = false;
  }
  TouchedIds_.clear();
}

void AppendNumber(std::string& out, double value) {
  // Hundredths, in whole numbers, so the text is the same on every system.
  if (!std::isfinite(value)) value = 0;
  const long long hundredths = std::llround(std::clamp(value, -1e15, 1e15) * 100.0);
  const unsigned long long magnitude =
      hundredths < 0 ? 0ULL - static_cast<unsigned long long>(hundredths) : static_cast<unsigned long long>(hundredths);
  if (hundredths < 0) out += '-';
  out += std::to_string(magnitude / 100);
  const unsigned fraction = static_cast<unsigned>(magnitude % 100);
  if (fraction == 0) return;
  out += '.';
  out += static_cast<char>('0' + fraction / 10);
  if (fraction % 10) out += static_cast<char>('0' + fraction % 10);
}

void AppendLengthAttribute(std::string& out, std::string_view name, double units) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendMils(out, units);
  out += '"';
}

void AppendRotation(std::string& out, double degrees, double x, double y) {
  if (!std::isfinite(degrees) || std::fmod(degrees, 360.0) == 0) return;
  out += " transform=\"rotate(";
  AppendNumber(out, -std::fmod(degrees, 360.0));
  out += ' ';
  AppendX(out, x);
  out += ' ';
  AppendY(out, y);
  out += ")\"";
}

namespace {

std::string XmlEscaped(std::string_view utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) text += c;
    }
  }
  return text;
}

}  // namespace

std::string XmlText(std::string_view latin1) { return XmlEscaped(Latin1ToUtf8(latin1)); }

std::string XmlNameText(std::string_view name) { return XmlEscaped(UserTextToUtf8(name)); }

}  // namespace pcb9host::svg
