// The Windows program's own resources, as the code finds them in its module.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
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

// Resources of Velmora.scr itself, read from the file as data, as the system's loader and the
// file's properties read them.
class SaverFile : public testing::Test {
 protected:
  void SetUp() override {
    path = VELMORA_SCR;
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
    file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
  }
  void TearDown() override {
    if (file) FreeLibrary(file);
  }
  std::string Resource(LPCSTR id, LPCSTR type) const {
    HRSRC info = FindResourceA(file, id, type);
    if (!info) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(file, info)));
    return std::string(data, SizeofResource(file, info));
  }
  std::string path;
  HMODULE file = nullptr;
};

TEST_F(SaverFile, ManifestAsksForUserRightsThemedControlsAndPerMonitorPixels) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_FALSE(manifest.empty()) << "no manifest";
  // Compared without the layout's line breaks and indentation.
  std::string flat;
  bool blank = false;
  for (char c : manifest) {
    const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
    if (space && !blank && !flat.empty() && flat.back() != '>') flat += ' ';
    blank = space;
    if (!space) flat += c;
  }
  const char* const parts[] = {
      "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      "publicKeyToken=\"6595b64144ccf1df\"",
      "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
      "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
      "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
      "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
      "PerMonitor</dpiAwareness>",
  };
  for (const char* part : parts) EXPECT_NE(flat.find(part), std::string::npos) << part;
  // The project's version, as the version information has it.
  EXPECT_NE(flat.find("name=\"Korvantel.Velmora.ScreenSaver\" version=\"" VELMORA_VERSION_DOTTED "\""),
            std::string::npos);
  EXPECT_EQ(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
  // The test programs carry none of it.
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)),
            nullptr);
}

// The file's properties name the product and the version that the settings dialog shows.
TEST_F(SaverFile, VersionInformationMatchesTheDialog) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
  auto text = [&info](const char* name) -> std::string {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
      return {};
    return value;
  };
  EXPECT_EQ(text("ProductName"), "Velmora Screen Saver");
  EXPECT_EQ(text("ProductVersion"), VELMORA_VERSION);
  EXPECT_EQ(text("FileVersion"), VELMORA_VERSION);
  EXPECT_EQ(text("CompanyName"), "Korvantel");
  EXPECT_EQ(text("OriginalFilename"), "Velmora.scr");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD major = VELMORA_VERSION_MAJOR, minor = VELMORA_VERSION_MINOR;
  EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
  // The dialog's title text, in the template's UTF-16, names the same product and version.
  const std::string dialog = Resource(MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5));  // RT_DIALOG
  std::string wide;
  for (char c : text("ProductName") + " v" + text("ProductVersion")) {
    wide += c;
    wide += '\0';
  }
  EXPECT_NE(dialog.find(wide), std::string::npos);
}

}  // namespace
