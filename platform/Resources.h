#pragma once
// What the program carries inside itself: the five shader texts and the two bitmaps.
#include <cstddef>

namespace platform {

// The "Shaders" resource with this id (110 to 114) as one NUL-terminated text, or nullptr when
// the program has no such resource. The text belongs to the program for its whole life.
const char* FindShaderText(int id);

// Bitmap 115, the 256 x 128 banner, as 131072 bytes of RGBA texels whose alpha is the image's
// grey level, top row first. Returns the number of bytes written; 0 when the image is missing
// or unreadable.
constexpr int BannerWidth = 256;
constexpr int BannerHeight = 128;
std::size_t LoadBannerTexels(unsigned char* rgba, std::size_t size);

}  // namespace platform
