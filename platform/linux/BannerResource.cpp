// The banner, compiled in by resources/Resources.cmake, stands where Windows keeps bitmap 115.
// Linux has no device-dependent bitmaps: the file is decoded directly and each pixel's grey level
// becomes the texel's alpha.
#include "platform/linux/BannerResource.h"

#include "base/BmpImage.h"
#include "platform/Resources.h"

extern "C" {
extern const unsigned char BannerBitmap[];
extern const std::size_t BannerBitmap_size;
}

namespace platform {
namespace {

struct Override {
  bool active = false;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};
Override override_;

}  // namespace

void OverrideBannerBitmap(const unsigned char* data, std::size_t size) {
  override_ = {true, data, size};
}
void RestoreBannerBitmap() { override_ = Override{}; }

std::size_t LoadBannerTexels(unsigned char* rgba, std::size_t size) {
  constexpr std::size_t needed = static_cast<std::size_t>(BannerWidth) * BannerHeight * 4;
  const unsigned char* data = override_.active ? override_.data : BannerBitmap;
  const std::size_t dataSize = override_.active ? override_.size : BannerBitmap_size;
  BmpImage image;
  if (!rgba || size < needed || !BmpImage::Decode(data, dataSize, image)) return 0;
  if (image.width != BannerWidth || image.height != BannerHeight) return 0;
  unsigned char* out = rgba;
  for (const BmpImage::Rgb& pixel : image.pixels) {
    // A grey image has equal channels; red is what the Windows conversion keeps as alpha.
    out[0] = out[1] = out[2] = out[3] = pixel.r;
    out += 4;
  }
  return needed;
}

}  // namespace platform
