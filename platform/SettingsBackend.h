#pragma once
// Where the settings live: a per-machine store of named text values under a key path such as
// "Software\Korvantel\Velmora Screen Saver". On Win32 that is the registry below
// HKEY_LOCAL_MACHINE (REG_SZ values); on X11 a key file per key path (see the implementation).
// The store's logic (what the texts mean, which names exist) stays above this layer.
#include <cstddef>

namespace platform {

// The largest value the store reads, in bytes of data as stored. For a registry REG_SZ that
// counts its terminating NUL, so the longest text that fits is 199 characters; the key file keeps
// the same limit by counting its value text plus one.
constexpr std::size_t SettingDataCapacity = 200;

struct SettingRead {
  const char* name = nullptr;  // in: the value's name
  bool found = false;          // out: the value exists and its data fits in data[]
  std::size_t size = 0;        // out: bytes of data[] that hold it (a REG_SZ's NUL included)
  char data[SettingDataCapacity] = {};  // out: the data as stored, of any registry type
};

struct SettingWrite {
  const char* name = nullptr;  // the value's name
  const char* text = nullptr;  // NUL-terminated decimal text, stored as REG_SZ
};

// Reads each named value below keyPath into values[0 .. count-1]; a value that is missing or too
// long for data[] is left not found. Returns false, with nothing found, when the key cannot be
// opened (does not exist, no access).
bool ReadSettingValues(const char* keyPath, SettingRead* values, std::size_t count);

// Opens or creates keyPath and stores every value as text. Returns false when the key cannot be
// opened or created for writing; nothing is written then. (The key file is replaced as a whole,
// so there a failure at any step leaves the disk as it was.)
bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count);

}  // namespace platform
