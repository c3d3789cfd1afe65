#include "base/BmpImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put16(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// An 8-bit grey bitmap of 3 x 2 pixels (rows padded to 4 bytes), stored bottom-up unless the
// height is negative: the top row is 10 20 30, the bottom row 40 50 60.
std::vector<unsigned char> GreyBitmap(int height = 2) {
  const std::size_t offset = 14 + 40 + 256 * 4;
  std::vector<unsigned char> b(offset + 8, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, 3);
  Put32(b, 22, static_cast<std::uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, 8);
  for (int i = 0; i < 256; ++i) b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = i;
  const unsigned char top[3] = {10, 20, 30}, bottom[3] = {40, 50, 60};
  const bool topDown = height < 0;
  for (int x = 0; x < 3; ++x) {
    b[offset + x] = topDown ? top[x] : bottom[x];
    b[offset + 4 + x] = topDown ? bottom[x] : top[x];
  }
  return b;
}

TEST(BmpImage, ReadsGreyPaletteTopRowFirstEitherWayUp) {
  for (int height : {2, -2}) {
    const std::vector<unsigned char> file = GreyBitmap(height);
    BmpImage image;
    ASSERT_TRUE(BmpImage::Decode(file.data(), file.size(), image)) << height;
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.At(0, 0).r, 10);
    EXPECT_EQ(image.At(2, 0).g, 30);
    EXPECT_EQ(image.At(1, 1).b, 50);
  }
}

TEST(BmpImage, ReadsTrueColourRows) {
  std::vector<unsigned char> b(14 + 40 + 8, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, 2);
  Put32(b, 22, 1);
  Put16(b, 28, 24);
  const unsigned char row[8] = {1, 2, 3, 4, 5, 6, 0, 0};  // blue, green, red per pixel
  std::copy(row, row + 8, b.begin() + 54);
  BmpImage image;
  ASSERT_TRUE(BmpImage::Decode(b.data(), b.size(), image));
  EXPECT_EQ(image.At(0, 0).r, 3);
  EXPECT_EQ(image.At(1, 0).b, 4);
}

TEST(BmpImage, RefusesWhatItCannotReadSafely) {
  const std::vector<unsigned char> good = GreyBitmap();
  BmpImage image;
  const auto refused = [&](std::vector<unsigned char> file) {
    return !BmpImage::Decode(file.data(), file.size(), image) && image.pixels.empty();
  };
  EXPECT_TRUE(refused({}));
  EXPECT_FALSE(BmpImage::Decode(nullptr, 100, image));
  for (std::size_t cut : {std::size_t{1}, std::size_t{20}, std::size_t{60}, good.size() - 1}) {
    EXPECT_TRUE(refused(std::vector<unsigned char>(good.begin(), good.begin() + cut))) << cut;
  }
  auto file = good;
  file[0] = 'P';
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 18, 0);  // no width
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 22, 0x80000000u);  // the most negative height
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 18, 100000);  // rows far beyond the data
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 10, 0xFFFFFFF0u);  // pixels beyond the end
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 14, 0xFFFFFFFFu);  // header larger than the file
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 30, 1);  // run-length compression is not read
  EXPECT_TRUE(refused(file));
  file = good;
  Put32(file, 46, 4);  // a palette of 4 entries, pixels index beyond it
  EXPECT_TRUE(refused(file));
  file = good;
  Put16(file, 28, 16);
  EXPECT_TRUE(refused(file));
}

}  // namespace
