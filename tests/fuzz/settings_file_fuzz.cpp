// The settings key file: whatever a file holds, the values read from it are texts of its own
// lines that fit the store's buffer, and each parses; saving into it replaces exactly our
// values, which then read back as written, and keeps every other line as it was.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzTarget.h"
#include "base/SettingsStore.h"
#include "platform/linux/SettingsKeyFile.h"

namespace {

constexpr std::string_view Group = "Software\\Korvantel\\Velmora Screen Saver";
const char* const Names[] = {"EnableFPS", "EnableVSync", "Other"};
constexpr std::size_t NameCount = sizeof Names / sizeof Names[0];

struct Reads {
  platform::SettingRead values[NameCount];
  Reads() {
    for (std::size_t i = 0; i < NameCount; ++i) values[i].name = Names[i];
  }
};

std::vector<std::string_view> LinesOf(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

// Whether a line of the file is one the save may replace: in some group, a "key=" line whose
// key is one of ours.
bool IsGroupLine(std::string_view line) {
  const std::string_view t = Trimmed(WithoutCr(line));
  return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

bool IsOurKeyLine(std::string_view line, std::size_t count) {
  const std::string_view text = WithoutCr(line);
  const std::string_view t = Trimmed(text);
  if (t.empty() || t.front() == '#' || t.front() == '[') return false;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = Trimmed(text.substr(0, equals));
  for (std::size_t i = 0; i < count; ++i)
    if (key == Names[i]) return true;
  return false;
}

}  // namespace

VELMORA_FUZZ_TARGET(settings_file) {
  const std::string content(reinterpret_cast<const char*>(data), size);

  Reads read;
  platform::ApplyKeyFile(content, Group, read.values, NameCount);
  for (const platform::SettingRead& value : read.values) {
    if (!value.found) continue;
    FUZZ_CHECK(value.size >= 1 && value.size <= sizeof value.data);
    FUZZ_CHECK(value.data[value.size - 1] == '\0');
    const std::string_view text(value.data, value.size - 1);
    FUZZ_CHECK(text.find('\n') == std::string_view::npos);
    FUZZ_CHECK(content.find(text) != std::string::npos);
    ParseSettingValue(value.data, value.size);
  }

  // Save two of the names with decimal texts taken from the input, as the store formats them.
  char texts[2][16];
  for (int i = 0; i < 2; ++i) {
    std::int32_t number = 0;
    for (std::size_t b = 0; b < 4 && b + 4 * i < size; ++b)
      number = static_cast<std::int32_t>(static_cast<std::uint32_t>(number) << 8 | data[b + 4 * i]);
    std::snprintf(texts[i], sizeof texts[i], "%ld", static_cast<long>(number));
  }
  const platform::SettingWrite writes[2] = {{Names[0], texts[0]}, {Names[1], texts[1]}};
  const std::string saved = platform::RewriteKeyFile(content, Group, writes, 2);

  Reads back;
  platform::ApplyKeyFile(saved, Group, back.values, NameCount);
  for (int i = 0; i < 2; ++i) {
    FUZZ_CHECK(back.values[i].found);
    FUZZ_CHECK(std::string_view(back.values[i].data) == texts[i]);
  }
  // The name that was not saved reads as it did.
  FUZZ_CHECK(back.values[2].found == read.values[2].found);
  if (read.values[2].found)
    FUZZ_CHECK(std::memcmp(back.values[2].data, read.values[2].data, read.values[2].size) == 0);

  // Every line that is not a value of ours comes back byte for byte and in order; the last one
  // may have gained the file's line end, CR LF or LF.
  // Leading byte-order marks are not written back.
  std::string_view kept = content;
  while (kept.starts_with("\xEF\xBB\xBF")) kept.remove_prefix(3);
  const std::vector<std::string_view> before = LinesOf(kept);
  const std::vector<std::string_view> after = LinesOf(saved);
  const bool endsOpen = !content.empty() && content.back() != '\n';
  std::size_t at = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::string_view line = before[i];
    if (!IsGroupLine(line) && IsOurKeyLine(line, 2)) continue;
    const bool last = endsOpen && i + 1 == before.size();
    auto same = [&](std::string_view kept) {
      return kept == line || (last && kept.size() == line.size() + 1 && kept.starts_with(line) &&
                              kept.back() == '\r');
    };
    while (at < after.size() && !same(after[at])) ++at;
    FUZZ_CHECK(at < after.size());
    ++at;
  }
  // Saving the same values again changes nothing more.
  FUZZ_CHECK(platform::RewriteKeyFile(saved, Group, writes, 2) == saved);
}
