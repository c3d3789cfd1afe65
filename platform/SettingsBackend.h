#pragma once
// Where the settings live: named text values under a key path such as
// "Software\Korvantel\Velmora Screen Saver", in two layers: the machine's, set for every user,
// and the user's own, whose values win. On Win32 that is the registry below HKEY_LOCAL_MACHINE
// and HKEY_CURRENT_USER (REG_SZ values; a REG_DWORD is read as its number); on X11 a key file
// per key path in the system's and the user's configuration folders (see the implementation).
// Saving writes the user's layer.
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
  char data[SettingDataCapacity] = {};  // out: the text as stored (a REG_DWORD as its decimal)
};

struct SettingWrite {
  const char* name = nullptr;  // the value's name
  const char* text = nullptr;  // NUL-terminated decimal text, stored as REG_SZ
};

// Reads each named value below keyPath into values[0 .. count-1], the user's layer over the
// machine's; a value that is missing or too long for data[] in both is left not found. Returns
// false, with nothing found, when the key can be opened in neither (does not exist, no access).
bool ReadSettingValues(const char* keyPath, SettingRead* values, std::size_t count);

// Opens or creates keyPath in the user's layer and stores every value as text. Returns false when
// the key cannot be opened or created for writing, or a value cannot be stored. (The key file is
// replaced as a whole, so there a failure at any step leaves the disk as it was.)
bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count);

}  // namespace platform
