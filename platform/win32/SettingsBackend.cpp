// Settings on Win32: REG_SZ (or REG_DWORD) values of a key below HKEY_LOCAL_MACHINE (set for every
// user by an administrator) and of the same key below HKEY_CURRENT_USER, whose values win. Saving
// writes the user's key: no unelevated 64-bit process may write HKEY_LOCAL_MACHINE, and none is
// given a virtual store for it, so a machine-wide save would fail for nearly every user.
#include "platform/SettingsBackend.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

// Reads the values the key under root holds over those read before; false when it cannot be
// opened.
bool ReadLayer(HKEY root, const char* keyPath, SettingRead* values, std::size_t count) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  for (std::size_t i = 0; i < count; ++i) {
    SettingRead& v = values[i];
    // Data longer than the buffer fails the query (ERROR_MORE_DATA), leaving the value as the
    // layer below had it. The data goes through a buffer of its own, since a failed query may
    // have written into it. A REG_DWORD (what policies and .reg files often write) becomes its
    // decimal text; any other type but text is no value of ours, so the layer below holds.
    char data[SettingDataCapacity];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, v.name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
      continue;
    if (type == REG_DWORD) {
      if (size != sizeof(DWORD)) continue;
      DWORD number = 0;
      std::memcpy(&number, data, sizeof number);
      size = static_cast<DWORD>(
          std::snprintf(data, sizeof data, "%lu", static_cast<unsigned long>(number)) + 1);
    } else if (type != REG_SZ && type != REG_EXPAND_SZ) {
      continue;
    }
    std::memcpy(v.data, data, size);
    v.size = size;
    v.found = true;
  }
  RegCloseKey(key);
  return true;
}

}  // namespace

bool ReadSettingValues(const char* keyPath, SettingRead* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    values[i].found = false;
    values[i].size = 0;
  }
  const bool machine = ReadLayer(HKEY_LOCAL_MACHINE, keyPath, values, count);
  const bool user = ReadLayer(HKEY_CURRENT_USER, keyPath, values, count);
  return machine || user;
}

bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool written = true;
  for (std::size_t i = 0; i < count && written; ++i) {
    const char* text = values[i].text;
    written = RegSetValueExA(key, values[i].name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return written;
}

}  // namespace platform
