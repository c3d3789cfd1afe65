#include "base/SettingsStore.h"

#include <cstdio>
#include <limits>
#include <vector>

#include "platform/SettingsBackend.h"

constinit const SettingEntry DefaultSettings[3] = {
    {"EnableFPS", 0},
    {"EnableVSync", 1},
    {"", 0},
};

std::int32_t ParseSettingValue(const char* data, std::size_t size) {
  std::size_t i = 0;
  auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  };
  while (i < size && blank(data[i])) ++i;
  bool negative = false;
  if (i < size && (data[i] == '+' || data[i] == '-')) {
    negative = data[i] == '-';
    ++i;
  }
  // Accumulated as a magnitude with a ceiling, so that no digit string can overflow.
  constexpr std::int64_t ceiling = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < size && data[i] >= '0' && data[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (data[i] - '0');
    if (magnitude > ceiling) magnitude = ceiling;
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(magnitude < ceiling ? magnitude : ceiling - 1);
}

SettingsStore::SettingsStore(const char* productName, const SettingEntry* defaults)
    : keyPath(std::string("Software\\Korvantel\\") + (productName ? productName : "")) {
  for (const SettingEntry* row = defaults; row && row->name && row->name[0]; ++row)
    entries.insert_or_assign(row->name, *row);
  Load();
}

int SettingsStore::Load() {
  std::vector<platform::SettingRead> reads(entries.size());
  std::size_t i = 0;
  for (const auto& [name, entry] : entries) reads[i++].name = name.c_str();
  if (!platform::ReadSettingValues(keyPath.c_str(), reads.data(), reads.size())) return -1;
  i = 0;
  for (auto& [name, entry] : entries) {
    const platform::SettingRead& read = reads[i++];
    if (read.found && read.size <= sizeof read.data)
      entry.value = ParseSettingValue(read.data, read.size);
  }
  return 0;
}

int SettingsStore::Save() {
  std::vector<std::string> texts;
  std::vector<platform::SettingWrite> writes;
  texts.reserve(entries.size());
  for (const auto& [name, entry] : entries) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(entry.value));
    texts.emplace_back(text);
    writes.push_back({name.c_str(), texts.back().c_str()});
  }
  return platform::WriteSettingValues(keyPath.c_str(), writes.data(), writes.size()) ? 0 : -1;
}

void SettingsStore::ResetToDefaults() {
  for (auto& [name, entry] : entries) entry.value = entry.defaultValue;
}

int SettingsStore::Get(const char* name, int& value) const {
  if (!name) return -1;
  const auto found = entries.find(name);
  if (found == entries.end()) return -1;
  value = found->second.value;
  return 0;
}

int SettingsStore::Set(const char* name, int value) {
  if (!name) return -1;
  const auto found = entries.find(name);
  if (found == entries.end()) return -1;
  found->second.value = value;
  return 0;
}
