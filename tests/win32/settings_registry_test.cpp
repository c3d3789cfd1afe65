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

void PutTyped(HKEY root, const char* name, DWORD type, const std::string& bytes) {
  HKEY key;
  ASSERT_EQ(
      RegCreateKeyExA(root, Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
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

// What policies and .reg files write: a REG_DWORD is its number, in either layer; a value of any
// other type but text is no value, and the layer below holds.
TEST(SettingsRegistry, ADwordIsItsNumberAndOtherTypesAreNoValue) {
  const std::string one("\1\0\0\0", 4), zero(4, '\0'), all(4, '\xff');
  const struct {
    const char* name;
    HKEY root;  // where the typed EnableFPS goes; the machine holds the text "2" below the user's
    DWORD type;
    std::string bytes;
    int fps;
  } cases[] = {
      {"user dword 1", HKEY_CURRENT_USER, REG_DWORD, one, 1},
      {"user dword 0", HKEY_CURRENT_USER, REG_DWORD, zero, 0},
      {"user dword 0xffffffff", HKEY_CURRENT_USER, REG_DWORD, all, 2147483647},
      {"machine dword 1", HKEY_LOCAL_MACHINE, REG_DWORD, one, 1},
      {"user dword of 2 bytes", HKEY_CURRENT_USER, REG_DWORD, std::string("\7\0", 2), 2},
      {"user expandable text", HKEY_CURRENT_USER, REG_EXPAND_SZ, std::string("7", 2), 7},
      {"user binary", HKEY_CURRENT_USER, REG_BINARY, std::string("7", 2), 2},
      {"user multi-string", HKEY_CURRENT_USER, REG_MULTI_SZ, std::string("7\0", 3), 2},
      {"user qword", HKEY_CURRENT_USER, REG_QWORD, std::string("\7\0\0\0\0\0\0\0", 8), 2},
      {"user none", HKEY_CURRENT_USER, REG_NONE, std::string("7", 2), 2},
  };
  for (const auto& c : cases) {
    Clear();
    if (c.root == HKEY_CURRENT_USER) Put(HKEY_LOCAL_MACHINE, "EnableFPS", "2");
    PutTyped(c.root, "EnableFPS", c.type, c.bytes);
    SettingsStore store(Product, Table);
    int fps = -100;
    store.Get("EnableFPS", fps);
    EXPECT_EQ(fps, c.fps) << c.name;
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
