// The bitmap reader: any bytes either decode to an image whose size matches its pixels, or are
// refused with the image left empty; nothing outside the data is read.
#include <memory>

#include "FuzzTarget.h"
#include "base/BmpImage.h"

VELMORA_FUZZ_TARGET(bmp_image) {
  // A copy of exactly size bytes, so that a read past the end is caught.
  const std::unique_ptr<unsigned char[]> exact(new unsigned char[size ? size : 1]);
  for (std::size_t i = 0; i < size; ++i) exact[i] = data[i];

  BmpImage image;
  image.width = 7;  // whatever was there before is replaced
  image.pixels.resize(3);
  if (!BmpImage::Decode(exact.get(), size, image)) {
    FUZZ_CHECK(image.width == 0 && image.height == 0 && image.pixels.empty());
    return;
  }
  FUZZ_CHECK(image.width >= 1 && image.width <= BmpImage::MaxSide);
  FUZZ_CHECK(image.height >= 1 && image.height <= BmpImage::MaxSide);
  FUZZ_CHECK(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height);
  // Decoding is a function of the bytes alone.
  BmpImage again;
  FUZZ_CHECK(BmpImage::Decode(exact.get(), size, again));
  FUZZ_CHECK(again.width == image.width && again.height == image.height);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    FUZZ_CHECK(again.pixels[i].r == image.pixels[i].r && again.pixels[i].g == image.pixels[i].g &&
               again.pixels[i].b == image.pixels[i].b);
  }
}
