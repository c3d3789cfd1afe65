#pragma once
#include <charconv>
#include <cstdint>
#include <cstring>

// Reads a whole argument as a decimal integer within [min, max]; anything else (empty, signs
// out of range, trailing characters, overflow) is refused.
inline bool ParseInteger(const char* text, std::int64_t min, std::int64_t max, std::int64_t& out) {
  if (text == nullptr || *text == '\0') return false;
  const char* end = text + std::strlen(text);
  std::int64_t value = 0;
  const auto [ptr, ec] = std::from_chars(text, end, value);
  if (ec != std::errc() || ptr != end || value < min || value > max) return false;
  out = value;
  return true;
}
