#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A Windows bitmap file decoded to 8-bit RGB, top row first. Reads uncompressed bitmaps of
// 1, 4, 8, 24 and 32 bits per pixel, bottom-up or top-down. Anything else, and any file whose
// headers, palette or pixel rows do not fit inside the data, is refused rather than read past.
struct BmpImage {
  struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
  };

  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // width · height, row 0 at the top

  // Largest side accepted; the program's own images are far smaller.
  static constexpr int MaxSide = 16384;

  // True and the image filled when data holds a bitmap this reader understands; false and the
  // image left empty otherwise.
  static bool Decode(const unsigned char* data, std::size_t size, BmpImage& image);

  const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
