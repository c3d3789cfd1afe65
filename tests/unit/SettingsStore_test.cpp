// The store's rules over its own table: value parse, look-ups, defaults. Nothing here depends on
// what the platform's store holds.
#include "base/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::int32_t Parse(const std::string& text) { return ParseSettingValue(text.data(), text.size()); }

TEST(SettingsStore, ParsesTheLeadingDecimalOfStoredText) {
  EXPECT_EQ(Parse(" 7"), 7);
  EXPECT_EQ(Parse("\t\r\n 7 8"), 7);
  EXPECT_EQ(Parse("-3"), -3);
  EXPECT_EQ(Parse("+12"), 12);
  EXPECT_EQ(Parse("1abc"), 1);
  EXPECT_EQ(Parse("abc"), 0);
  EXPECT_EQ(Parse(""), 0);
  EXPECT_EQ(Parse("-"), 0);
  EXPECT_EQ(Parse("+-1"), 0);
  EXPECT_EQ(Parse("- 1"), 0);
  EXPECT_EQ(Parse("0012"), 12);
  // A REG_DWORD 1 read as text, and a REG_SZ with its NUL.
  EXPECT_EQ(Parse(std::string("\x01\0\0\0", 4)), 0);
  EXPECT_EQ(Parse(std::string("5\0" "9", 3)), 5);
  // Past the 32-bit range: the nearest limit, never an overflow.
  EXPECT_EQ(Parse("2147483647"), 2147483647);
  EXPECT_EQ(Parse("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(Parse("2147483648"), 2147483647);
  EXPECT_EQ(Parse("-99999999999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(Parse(std::string(5000, '9')), 2147483647);
}

TEST(SettingsStore, ParseReadsNoByteBeyondItsSize) {
  const char data[] = {'4', '2'};
  EXPECT_EQ(ParseSettingValue(data, 1), 4);
  EXPECT_EQ(ParseSettingValue(data, 0), 0);
  EXPECT_EQ(ParseSettingValue(nullptr, 0), 0);
}

TEST(SettingsStore, DefaultsTableIsTheTwoSettingsAndItsEnd) {
  EXPECT_STREQ(DefaultSettings[0].name, "EnableFPS");
  EXPECT_EQ(DefaultSettings[0].value, 0);
  EXPECT_STREQ(DefaultSettings[1].name, "EnableVSync");
  EXPECT_EQ(DefaultSettings[1].defaultValue, 1);
  EXPECT_STREQ(DefaultSettings[2].name, "");
}

TEST(SettingsStore, NamesAreFixedCaseSensitiveAndLookedUpExactly) {
  SettingsStore store("Velmora Unit Test Without Stored Key", DefaultSettings);
  EXPECT_EQ(store.KeyPath(), "Software\\Korvantel\\Velmora Unit Test Without Stored Key");
  int value = 42;
  EXPECT_EQ(store.Get("EnableFPS", value), 0);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(store.Get("EnableVSync", value), 0);
  EXPECT_EQ(value, 1);
  for (const char* unknown : std::initializer_list<const char*>{"", "enablefps", "EnableFPS ", "EnableFP", "Enable", nullptr}) {
    value = 42;
    EXPECT_EQ(store.Get(unknown, value), -1);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(store.Set(unknown, 5), -1);
  }
  EXPECT_EQ(store.Get("EnableFPS", value), 0);
  EXPECT_EQ(value, 0);

  EXPECT_EQ(store.Set("EnableFPS", 1), 0);
  EXPECT_EQ(store.Set("EnableVSync", -7), 0);
  store.Get("EnableVSync", value);
  EXPECT_EQ(value, -7);
  store.ResetToDefaults();
  store.Get("EnableFPS", value);
  EXPECT_EQ(value, 0);
  store.Get("EnableVSync", value);
  EXPECT_EQ(value, 1);
}

TEST(SettingsStore, TableEndsAtTheFirstEmptyNameAndLaterRowsWin) {
  static const SettingEntry table[] = {{"B", 2}, {"A", 1}, {"B", 3}, {"", 0}, {"C", 4}};
  SettingsStore store("Velmora Unit Test Without Stored Key", table);
  int value = 0;
  EXPECT_EQ(store.Get("B", value), 0);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(store.Get("C", value), -1);
  static const SettingEntry empty[] = {{"", 0}};
  SettingsStore none("Velmora Unit Test Without Stored Key", empty);
  EXPECT_EQ(none.Get("EnableFPS", value), -1);
}

}  // namespace
