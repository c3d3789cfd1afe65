// The settings store over the real registry: the machine's key, then the user's, whose values win
// one by one; saving writes the user's key alone and fails where it cannot be written. A key of
// its own, so that no other suite's values meet these.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>

#include "base/SettingsStore.h"

namespace {

const char* const Product = "Velmora Registry Test";
const std::string Key = std::string("Software\\Korvantel\\") + Product;
const SettingEntry Table[] = {{"EnableFPS", 0}, {"EnableVSync", 1}, {"", 0}};

void Put(HKEY root, const char* name, const std::string& data) {
  HKEY key;
  ASSERT_EQ(
      RegCreateKeyExA(root, Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

std::string Get(HKEY root, const char* name) {
  char data[300] = {};
  DWORD size = sizeof data - 1;
  if (RegGetValueA(root, Key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
    return "(none)";
  return data;
}

void Clear() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, Key.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, Key.c_str());
}

TEST(SettingsRegistry, UserValuesWinOneByOneOverTheMachines) {
  const std::string tooLong(250, '7');  // more than the 200 bytes a value may hold
  const struct {
    const char* name;
    const char* machineFps;  // nullptr: no value
    const char* userFps;
    const char* machineVSync;
    const char* userVSync;
    int load, fps, vsync;
  } cases[] = {
      {"no key anywhere", nullptr, nullptr, nullptr, nullptr, -1, 0, 1},
      {"machine only", "1", nullptr, "0", nullptr, 0, 1, 0},
      {"user only", nullptr, "1", nullptr, "3", 0, 1, 3},
      {"user over machine, value by value", "1", nullptr, "0", "2", 0, 1, 2},
      {"user value too long keeps the machine's", "5", nullptr, "0", tooLong.c_str(), 0, 5, 0},
  };
  for (const auto& c : cases) {
    Clear();
    if (c.machineFps) Put(HKEY_LOCAL_MACHINE, "EnableFPS", c.machineFps);
    if (c.machineVSync) Put(HKEY_LOCAL_MACHINE, "EnableVSync", c.machineVSync);
    if (c.userFps) Put(HKEY_CURRENT_USER, "EnableFPS", c.userFps);
    if (c.userVSync) Put(HKEY_CURRENT_USER, "EnableVSync", c.userVSync);
    SettingsStore store(Product, Table);
    int fps = -100, vsync = -100;
    store.Get("EnableFPS", fps);
    store.Get("EnableVSync", vsync);
    EXPECT_EQ(store.Load(), c.load) << c.name;
    EXPECT_EQ(fps, c.fps) << c.name;
    EXPECT_EQ(vsync, c.vsync) << c.name;
  }
  Clear();
}

// Only what was changed reaches the user's key: the machine's value is not copied there, where it
// would hide every later change of the machine's, and what another program stored meanwhile stays.
TEST(SettingsRegistry, SaveWritesTheChangesAloneToTheUsersKeyAndFailsWhereItCannot) {
  Clear();
  Put(HKEY_LOCAL_MACHINE, "EnableFPS", "1");
  SettingsStore store(Product, Table);
  EXPECT_EQ(store.Save(), 0);  // nothing changed: nothing written
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "EnableFPS"), "(none)");
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "EnableVSync"), "(none)");
  store.Set("EnableVSync", 0);
  Put(HKEY_CURRENT_USER, "EnableFPS", "7");  // another program
  EXPECT_EQ(store.Save(), 0);
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "EnableFPS"), "7");
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "EnableVSync"), "0");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, "EnableFPS"), "1");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, "EnableVSync"), "(none)");
  int fps = 0;
  store.Get("EnableFPS", fps);
  EXPECT_EQ(fps, 7);  // read again after the save

  // Readable, and its rights may be changed back, but no value may be written.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR readOnly = nullptr, open = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      "D:P(A;;0x60019;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      "D:P(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr));
  ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
  store.Set("EnableFPS", 0);
  EXPECT_EQ(store.Save(), -1);
  EXPECT_EQ(Get(HKEY_CURRENT_USER, "EnableFPS"), "7");
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, open);
  RegCloseKey(key);
  LocalFree(readOnly);
  LocalFree(open);
  Clear();
}

}  // namespace
