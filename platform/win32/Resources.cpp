// The shader texts and the banner are resources of the program's own module (resources/velmora.rc).
#include "platform/Resources.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace platform {

const char* FindShaderText(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), "Shaders");
  if (info == nullptr) return nullptr;
  HGLOBAL data = LoadResource(module, info);
  if (data == nullptr) return nullptr;
  // Each text is stored with its one NUL, so it is a C string where it lies.
  return static_cast<const char*>(LockResource(data));
}

std::size_t LoadBannerTexels(unsigned char* rgba, std::size_t size) {
  constexpr std::size_t Bytes = BannerWidth * BannerHeight * 4;
  if (size < Bytes) return 0;
  HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(115));
  if (bitmap == nullptr) return 0;

  // The display's own format, top row first. On a 32-bit display each pixel is blue, green,
  // red, unused; on any other depth ask GDI for that same layout instead.
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  long read = 0;
  if (info.bmBitsPixel == 32 && info.bmWidth == BannerWidth && info.bmHeight == BannerHeight) {
    read = GetBitmapBits(bitmap, Bytes, rgba);
  } else {
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof want.bmiHeader;
    want.bmiHeader.biWidth = BannerWidth;
    want.bmiHeader.biHeight = -BannerHeight;
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    want.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, BannerHeight, rgba, &want, DIB_RGB_COLORS) == BannerHeight)
      read = Bytes;
    ReleaseDC(nullptr, screen);
  }
  DeleteObject(bitmap);
  if (read <= 0) return 0;

  // Shifting each little-endian word left by 8 turns B, G, R, x into 0, B, G, R: read as RGBA,
  // the alpha is the old red, which for the grey banner is its grey level.
  for (std::size_t i = 0; i < Bytes; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, rgba + i, 4);
    word <<= 8;
    std::memcpy(rgba + i, &word, 4);
  }
  return static_cast<std::size_t>(read);
}

}  // namespace platform
