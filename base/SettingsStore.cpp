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
    entries.insert_or_assign(row->name, Entry{*row, row->defaultValue});
  Load();
}

bool SettingsStore::ReadStored(std::vector<std::optional<std::int32_t>>& values) const {
  std::vector<platform::SettingRead> reads(entries.size());
  std::size_t i = 0;
  for (const auto& [name, entry] : entries) reads[i++].name = name.c_str();
  values.assign(entries.size(), std::nullopt);
  if (!platform::ReadSettingValues(keyPath.c_str(), reads.data(), reads.size())) return false;
  for (i = 0; i < reads.size(); ++i)
    if (reads[i].found && reads[i].size <= sizeof reads[i].data)
      values[i] = ParseSettingValue(reads[i].data, reads[i].size);
  return true;
}

int SettingsStore::Load() {
  std::vector<std::optional<std::int32_t>> stored;
  const bool read = ReadStored(stored);
  std::size_t i = 0;
  for (auto& [name, entry] : entries) {
    const std::optional<std::int32_t>& value = stored[i++];
    if (value) entry.setting.value = *value;
    entry.stored = value.value_or(entry.setting.defaultValue);
  }
  return read ? 0 : -1;
}

int SettingsStore::Save() {
  std::vector<std::string> texts;
  std::vector<platform::SettingWrite> writes;
  texts.reserve(entries.size());  // the writes point into these texts: no reallocation
  for (const auto& [name, entry] : entries) {
    if (entry.setting.value == entry.stored) continue;
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(entry.setting.value));
    texts.emplace_back(text);
    writes.push_back({name.c_str(), texts.back().c_str()});
  }
  if (!writes.empty() &&
      !platform::WriteSettingValues(keyPath.c_str(), writes.data(), writes.size()))
    return -1;
  // Read again, so that memory holds what the layers hold now: another program's values for the
  // settings left alone, the ones just written for the others.
  std::vector<std::optional<std::int32_t>> stored;
  ReadStored(stored);
  std::size_t i = 0;
  for (auto& [name, entry] : entries) {
    const std::optional<std::int32_t>& value = stored[i++];
    if (entry.setting.value == entry.stored)
      entry.setting.value = value.value_or(entry.setting.defaultValue);
    entry.stored = entry.setting.value;
  }
  return 0;
}

void SettingsStore::ResetToDefaults() {
  for (auto& [name, entry] : entries) entry.setting.value = entry.setting.defaultValue;
}

int SettingsStore::Get(const char* name, int& value) const {
  if (!name) return -1;
  const auto found = entries.find(name);
  if (found == entries.end()) return -1;
  value = found->second.setting.value;
  return 0;
}

int SettingsStore::GetStored(const char* name, int& value) const {
  if (!name) return -1;
  const auto found = entries.find(name);
  if (found == entries.end()) return -1;
  value = found->second.stored;
  return 0;
}

int SettingsStore::Set(const char* name, int value) {
  if (!name) return -1;
  const auto found = entries.find(name);
  if (found == entries.end()) return -1;
  found->second.setting.value = value;
  return 0;
}
