#pragma once
// Length-prefixed 8-bit string as it crosses the host interfaces: one length
// byte (0..255) followed by that many characters, no terminator. Every
// buffer is the full 256 bytes, whatever capacity the field declares, so a
// host that writes a long string never writes past it; `Capacity` is
// enforced when the field is set or fetched.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct TShortString {
  uint8_t Len = 0;
  char Chars[255] = {};

  TShortString() = default;
  explicit TShortString(std::string_view s, size_t capacity = 255) { Assign(s, capacity); }

  void Assign(std::string_view s, size_t capacity = 255) {
    size_t n = s.size();
    if (n > capacity) n = capacity;
    if (n > 255) n = 255;
    if (n > 0) std::memcpy(Chars, s.data(), n);  // an empty view may have no data at all
    Len = static_cast<uint8_t>(n);
  }
  // Cuts the string to `capacity` characters (after a host wrote into it).
  void Clamp(size_t capacity) {
    if (Len > capacity) Len = static_cast<uint8_t>(capacity);
  }
  void Clear() { Len = 0; }
  std::string_view View() const { return std::string_view(Chars, Len); }
  std::string Str() const { return std::string(Chars, Len); }
  bool operator==(std::string_view s) const { return View() == s; }
};
static_assert(sizeof(TShortString) == 256, "host string buffers are 256 bytes");
