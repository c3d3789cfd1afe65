#pragma once
// The program's user-adjustable options: named signed integers seeded from a defaults table and
// kept in the platform's store as decimal text (the machine's values, the user's over them).
// Built once, loaded at once; only the settings dialog changes values and writes them back, and
// then only those it changed: the store remembers what the layers held when it read them.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct SettingEntry {
  // One number gives both the current and the default value.
  constexpr SettingEntry(const char* name, std::int32_t value)
      : name(name), value(value), defaultValue(value) {}

  const char* name;
  std::int32_t value;
  std::int32_t defaultValue;
};

// EnableFPS 0, EnableVSync 1, then the row with the empty name that ends the table.
extern const SettingEntry DefaultSettings[3];

// The leading decimal integer of size bytes of stored data read as text: blanks skipped, one
// optional sign, digits up to the first non-digit; no digits give 0. A number beyond the 32-bit
// range gives the nearest limit. Never reads past data[size - 1], and stops at a NUL.
std::int32_t ParseSettingValue(const char* data, std::size_t size);

class SettingsStore {
 public:
  // The key path is "Software\Korvantel\" followed by productName; the settings are the rows of
  // defaults up to the first with an empty name. Loads the stored values at once.
  SettingsStore(const char* productName, const SettingEntry* defaults);

  // 0 when the stored key could be opened (values found there replace those in memory), -1 when
  // not. Either way each setting's stored value becomes what the layers hold, or its default.
  int Load();
  // Writes as decimal text to the user's layer the settings whose value in memory differs from
  // the stored one, and no other: a value another program stored since the load, or one the
  // machine's layer gives, stays where it is (copied into the user's layer it would hide every
  // later change of the machine's). Then the settings not written take what the layers hold now.
  // 0 when every changed value was stored (or none had changed: nothing is written), -1 when the
  // key could not be opened or created or a value could not be written; memory is then as it was.
  int Save();
  // Every setting back to its default, in memory only.
  void ResetToDefaults();
  // Case-sensitive look-ups; -1 (value untouched, nothing added) for an unknown or empty name.
  int Get(const char* name, int& value) const;
  int Set(const char* name, int value);
  // The value as the layers held it at the last Load or Save (the default where they held none).
  int GetStored(const char* name, int& value) const;

  const std::string& KeyPath() const { return keyPath; }

 private:
  struct Entry {
    SettingEntry setting;
    std::int32_t stored;
  };
  // What the layers hold now, one element per entry in map order (empty where they hold none);
  // false when no layer could be read.
  bool ReadStored(std::vector<std::optional<std::int32_t>>& values) const;

  std::string keyPath;
  // std::string orders byte-wise, so a name that prefixes another comes first.
  std::map<std::string, Entry> entries;
};

extern SettingsStore settingsStore;
