#include "base/BmpImage.h"

#include <utility>

namespace {

std::uint32_t Read16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;  // the old OS/2 header: 16-bit sizes, 3-byte palette
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t Uncompressed = 0;
constexpr std::uint32_t BitFields = 3;  // accepted for 32 bits when the masks are the plain ones

}  // namespace

bool BmpImage::Decode(const unsigned char* data, std::size_t size, BmpImage& image) {
  image = BmpImage{};
  if (!data || size < FileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t pixelOffset = Read32(data + 10);
  const std::uint32_t headerSize = Read32(data + FileHeaderSize);
  if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize) return false;
  if (headerSize > size - FileHeaderSize) return false;
  const unsigned char* header = data + FileHeaderSize;

  std::int64_t width, height;
  std::uint32_t bits, compression = Uncompressed, paletteCount = 0;
  std::size_t paletteEntrySize;
  if (headerSize == CoreHeaderSize) {
    width = Read16(header + 4);
    height = Read16(header + 6);
    bits = Read16(header + 10);
    paletteEntrySize = 3;
  } else {
    width = static_cast<std::int32_t>(Read32(header + 4));
    height = static_cast<std::int32_t>(Read32(header + 8));
    bits = Read16(header + 14);
    compression = Read32(header + 16);
    paletteCount = Read32(header + 32);
    paletteEntrySize = 4;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (compression == BitFields && bits == 32 && headerSize >= 52) {
    // Only the masks that describe the plain blue, green, red byte order are understood.
    if (Read32(header + 40) != 0x00FF0000 || Read32(header + 44) != 0x0000FF00 ||
        Read32(header + 48) != 0x000000FF) {
      return false;
    }
  } else if (compression != Uncompressed) {
    return false;
  }

  Rgb palette[256];
  if (bits <= 8) {
    const std::uint32_t most = 1u << bits;
    if (paletteCount == 0 || headerSize == CoreHeaderSize) paletteCount = most;
    if (paletteCount > most) return false;
    const std::size_t paletteStart = FileHeaderSize + headerSize;
    if (paletteCount * paletteEntrySize > size - paletteStart) return false;
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
      const unsigned char* entry = data + paletteStart + i * paletteEntrySize;
      palette[i] = {entry[2], entry[1], entry[0]};
    }
  }

  // Rows are padded to whole 32-bit words.
  const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(height);
  if (pixelOffset > size || pixelBytes > size - pixelOffset) return false;

  BmpImage result;
  result.width = static_cast<int>(width);
  result.height = static_cast<int>(height);
  result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < result.height; ++y) {
    const int fileRow = topDown ? y : result.height - 1 - y;
    const unsigned char* row = data + pixelOffset + rowBytes * static_cast<std::size_t>(fileRow);
    for (int x = 0; x < result.width; ++x) {
      Rgb& out = result.pixels[static_cast<std::size_t>(y) * result.width + x];
      if (bits <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned shift = 8 - bits - bit % 8;
        const std::uint32_t index = (row[bit / 8] >> shift) & ((1u << bits) - 1);
        if (index >= paletteCount) return false;
        out = palette[index];
      } else {
        const unsigned char* p = row + static_cast<std::size_t>(x) * (bits / 8);
        out = {p[2], p[1], p[0]};
      }
    }
  }
  image = std::move(result);
  return true;
}
