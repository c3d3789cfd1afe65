#pragma once
// Test seam of the Linux banner resource: the bitmap file LoadBannerTexels reads.
#include <cstddef>

namespace platform {

// Makes LoadBannerTexels read these bytes (nullptr and 0 for a missing image) instead of the
// compiled-in banner, until RestoreBannerBitmap.
void OverrideBannerBitmap(const unsigned char* data, std::size_t size);
void RestoreBannerBitmap();

}  // namespace platform
