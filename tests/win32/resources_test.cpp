// The Windows program's own resources, as the code finds them in its module.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/Resources.h"

namespace {

TEST(Win32Resources, EachShaderTextEndsInItsOnlyNul) {
  HMODULE module = GetModuleHandleA(nullptr);
  for (int id = 110; id <= 114; ++id) {
    SCOPED_TRACE(id);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), "Shaders");
    ASSERT_NE(info, nullptr);
    const DWORD size = SizeofResource(module, info);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, info)));
    ASSERT_GT(size, 100u);
    EXPECT_EQ(text[size - 1], '\0');
    EXPECT_EQ(std::memchr(text, 0, size - 1), nullptr);
    EXPECT_NE(std::strstr(text, "void main"), nullptr);
    EXPECT_NE(std::strstr(text, "\r\n"), nullptr);  // carried byte for byte
    EXPECT_EQ(platform::FindShaderText(id), text);
  }
  EXPECT_EQ(platform::FindShaderText(109), nullptr);
  EXPECT_EQ(platform::FindShaderText(115), nullptr);
}

TEST(Win32Resources, BannerBecomesGreyLevelsAsAlpha) {
  std::vector<unsigned char> texels(256 * 128 * 4);
  ASSERT_EQ(platform::LoadBannerTexels(texels.data(), texels.size()), texels.size());
  EXPECT_EQ(platform::LoadBannerTexels(texels.data(), texels.size() - 1), 0u);
  int bright = 0;
  for (std::size_t i = 0; i < texels.size(); i += 4) {
    // 0, blue, green, red of a grey pixel: the last three are equal, the alpha is the level.
    ASSERT_EQ(texels[i], 0) << i;
    ASSERT_EQ(texels[i + 1], texels[i + 3]) << i;
    ASSERT_EQ(texels[i + 2], texels[i + 3]) << i;
    if (texels[i + 3] > 128) ++bright;
  }
  EXPECT_GT(bright, 0);
}

TEST(Win32Resources, LogoDialogAndDisplayName) {
  HMODULE module = GetModuleHandleA(nullptr);
  HBITMAP logo = LoadBitmapA(module, MAKEINTRESOURCEA(116));
  ASSERT_NE(logo, nullptr);
  BITMAP info{};
  GetObjectA(logo, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 150);
  EXPECT_EQ(info.bmHeight, 97);
  DeleteObject(logo);

  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)), nullptr);  // RT_DIALOG
  char name[32] = {};
  EXPECT_EQ(LoadStringA(module, 1, name, sizeof name), 7);
  EXPECT_STREQ(name, "Velmora");
}

}  // namespace
