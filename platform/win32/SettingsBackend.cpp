// Settings on Win32: REG_SZ values of a key below HKEY_LOCAL_MACHINE.
#include "platform/SettingsBackend.h"

#include <windows.h>

#include <cstring>

namespace platform {

bool ReadSettingValues(const char* keyPath, SettingRead* values, std::size_t count) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    SettingRead& v = values[i];
    // The type is not asked for: whatever is stored is read as bytes, and data longer than the
    // buffer fails the query (ERROR_MORE_DATA), leaving the value not found.
    DWORD size = sizeof v.data;
    v.found = RegQueryValueExA(key, v.name, nullptr, nullptr, reinterpret_cast<BYTE*>(v.data),
                               &size) == ERROR_SUCCESS;
    v.size = v.found ? size : 0;
  }
  RegCloseKey(key);
  return true;
}

bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    const char* text = values[i].text;
    RegSetValueExA(key, values[i].name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
  }
  RegCloseKey(key);
  return true;
}

}  // namespace platform
