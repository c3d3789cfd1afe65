#pragma once
// The main surface's buffer at the output's own resolution. A scale is in 120ths, as the
// fractional-scale protocol sends it (120 is 1, 150 is 1.25, 240 is 2); an integer output scale n
// is n * 120. Only arithmetic: it builds and is tested without a compositor.
namespace platform::wayland {

constexpr int ScaleUnit = 120;

// Pixels of the buffer for a logical length: round(logical * scale / 120), halfway away from
// zero as the fractional-scale protocol asks. Never less than 1, so a buffer always exists.
constexpr int BufferLength(int logical, int scale120) {
  if (logical <= 0) return 1;
  if (scale120 <= 0) scale120 = ScaleUnit;
  const long long scaled = (static_cast<long long>(logical) * scale120 + ScaleUnit / 2) / ScaleUnit;
  return scaled < 1 ? 1 : scaled > 1 << 15 ? 1 << 15 : static_cast<int>(scaled);
}

// The integer factor the frame-rate text's glyphs are enlarged by, so the text keeps its size to
// the eye: the scale rounded, halfway up (150 % draws at 2), never below 1.
constexpr int TextScale(int scale120) {
  const int factor = (scale120 + ScaleUnit / 2) / ScaleUnit;
  return factor < 1 ? 1 : factor > 8 ? 8 : factor;
}

}  // namespace platform::wayland
