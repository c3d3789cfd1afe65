#include "platform/linux/SettingsKeyFile.h"

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
namespace {

// One line of a key file, its terminator (if any) kept apart so that it is written back as found.
struct Line {
  std::string_view text;
  std::string_view end;
};

// Editors on some systems start a UTF-8 file with a byte-order mark. It is no part of the first
// line (which would then never be a group header); it is read past and not written back. A mark
// repeated by a tool that added its own reads the same, so a second save changes nothing more.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::vector<Line> SplitLines(std::string_view content) {
  while (content.starts_with(ByteOrderMark)) content.remove_prefix(ByteOrderMark.size());
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t newline = content.find('\n', start);
    std::size_t next = newline == std::string_view::npos ? content.size() : newline + 1;
    std::size_t textEnd = newline == std::string_view::npos ? content.size() : newline;
    if (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back({content.substr(start, textEnd - start), content.substr(textEnd, next - textEnd)});
    start = next;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A group header's name, if the line is one.
std::optional<std::string_view> GroupName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

// A "name=value" line's name and value; the value is kept exactly as written.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[') return false;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(line.substr(0, equals));
  value = line.substr(equals + 1);
  return true;
}

}  // namespace

void ApplyKeyFile(std::string_view content, std::string_view group, SettingRead* values,
                  std::size_t count) {
  bool inGroup = false;
  for (const Line& line : SplitLines(content)) {
    if (const auto name = GroupName(line.text)) {
      inGroup = *name == group;
      continue;
    }
    std::string_view key, value;
    if (!inGroup || !KeyValue(line.text, key, value)) continue;
    for (std::size_t i = 0; i < count; ++i) {
      if (!values[i].name || key != values[i].name) continue;
      // The text and its NUL, as a REG_SZ of this text would be stored.
      if (value.size() + 1 > sizeof values[i].data) {
        // Too long: what an earlier file gave stays, as if this one had no value.
        continue;
      }
      std::memcpy(values[i].data, value.data(), value.size());
      values[i].data[value.size()] = '\0';
      values[i].size = value.size() + 1;
      values[i].found = true;
    }
  }
}

std::string RewriteKeyFile(std::string_view old, std::string_view group,
                           const SettingWrite* values, std::size_t count) {
  const std::vector<Line> lines = SplitLines(old);
  // The file's own line end; a last line cut after its CR has none.
  std::string_view newline = "\n";
  for (const Line& line : lines)
    if (line.end.ends_with('\n')) {
      newline = line.end;
      break;
    }
  std::vector<std::string> out;
  out.reserve(lines.size() + count + 2);
  std::vector<bool> written(count, false);
  bool inGroup = false;
  std::size_t insertAt = std::string::npos;  // after the first group's last non-blank line
  bool firstGroupOpen = false;
  for (const Line& line : lines) {
    std::string text(line.text);
    if (const auto name = GroupName(line.text)) {
      inGroup = *name == group;
      firstGroupOpen = inGroup && insertAt == std::string::npos;
      if (firstGroupOpen) insertAt = out.size() + 1;
    } else if (inGroup) {
      std::string_view key, value;
      if (KeyValue(line.text, key, value)) {
        for (std::size_t i = 0; i < count; ++i) {
          if (key != values[i].name) continue;
          text = std::string(line.text.substr(0, line.text.find('=') + 1)) + values[i].text;
          written[i] = true;
          break;
        }
      }
      if (firstGroupOpen && !Trim(line.text).empty()) insertAt = out.size() + 1;
    }
    // A last line without its newline gets one, so that what may follow starts a line; one
    // cut after its CR gets the LF that completes it.
    if (line.end.empty()) text.append(newline);
    else text.append(line.end).append(line.end.ends_with('\n') ? "" : "\n");
    out.push_back(std::move(text));
  }
  std::vector<std::string> missing;
  for (std::size_t i = 0; i < count; ++i)
    if (!written[i])
      missing.push_back(std::string(values[i].name) + "=" + values[i].text + std::string(newline));
  if (insertAt == std::string::npos) {
    if (!out.empty()) out.push_back(std::string(newline));
    out.push_back("[" + std::string(group) + "]" + std::string(newline));
    insertAt = out.size();
  }
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), missing.begin(), missing.end());
  std::string result;
  for (const std::string& line : out) result += line;
  return result;
}

}  // namespace platform
