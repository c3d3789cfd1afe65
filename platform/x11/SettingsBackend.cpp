// Settings on X11: a freedesktop-style key file per key path. The key path
// "Software\Korvantel\Velmora Screen Saver" is the file "Korvantel/Velmora Screen Saver.conf"
// below each configuration folder, with the values in the group named by the whole key path:
//
//   [Software\Korvantel\Velmora Screen Saver]
//   EnableFPS=0
//
// The system's folders ($XDG_CONFIG_DIRS, default /etc/xdg) are read first, least important
// first, then the user's ($XDG_CONFIG_HOME, default ~/.config); a value read later wins. Only
// the user's file is written. A value is the text after the first '=' up to the end of its line,
// taken as a REG_SZ's data: that text plus its NUL must fit in SettingDataCapacity, so values
// of 200 bytes or more are ignored.
#include "platform/SettingsBackend.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
namespace {

// Larger files are not settings files of ours; reading stops there.
constexpr std::size_t FileCap = 1 << 20;

bool Absolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && Absolute(config)) return config;
  const char* home = std::getenv("HOME");
  if (!home || !Absolute(home)) {
    const passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : nullptr;
  }
  if (!home || !Absolute(home)) return {};
  return std::string(home) + "/.config";
}

// Most important first, as the variable lists them.
std::vector<std::string> SystemConfigFolders() {
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string list = dirs && *dirs ? dirs : "/etc/xdg";
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string folder = list.substr(start, end - start);
    if (Absolute(folder)) folders.push_back(folder);  // relative entries are invalid: ignored
    start = end + 1;
  }
  return folders;
}

// "Software\Korvantel\Velmora Screen Saver" -> "Korvantel/Velmora Screen Saver.conf"; empty
// when a part of the key path could not be a file name.
std::string RelativeFile(std::string_view keyPath) {
  constexpr std::string_view software = "Software\\";
  if (keyPath.starts_with(software)) keyPath.remove_prefix(software.size());
  std::string file;
  std::size_t start = 0;
  while (start <= keyPath.size()) {
    std::size_t end = keyPath.find('\\', start);
    if (end == std::string_view::npos) end = keyPath.size();
    const std::string_view part = keyPath.substr(start, end - start);
    if (part.empty() || part == "." || part == ".." || part.find('/') != part.npos ||
        part.find('\0') != part.npos)
      return {};
    if (!file.empty()) file += '/';
    file += part;
    start = end + 1;
  }
  return file + ".conf";
}

enum class ReadResult { Missing, Read, Unusable };

// The whole file, if it is a regular file no larger than FileCap that can be read.
ReadResult ReadFile(const std::string& path, std::string& content) {
  content.clear();
  // O_NONBLOCK: a FIFO planted at the path must not hang the saver.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unusable;
  struct stat info {};
  ReadResult result = ReadResult::Unusable;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= FileCap) {
    char chunk[8192];
    for (;;) {
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      if (n == 0) {
        result = ReadResult::Read;
        break;
      }
      content.append(chunk, static_cast<std::size_t>(n));
      if (content.size() > FileCap) break;  // grew while being read
    }
  }
  close(fd);
  if (result != ReadResult::Read) content.clear();
  return result;
}

// One line of a key file, its terminator (if any) kept apart so that it is written back as found.
struct Line {
  std::string_view text;
  std::string_view end;
};

std::vector<Line> SplitLines(std::string_view content) {
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

void ApplyFile(const std::string& content, std::string_view group, SettingRead* values,
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

// The user's file rewritten with the given values: every line of ours in our group replaced,
// the missing ones added after the last line of the first such group (or in a new group at the
// end), everything else kept byte for byte.
std::string Rewrite(const std::string& old, std::string_view group, const SettingWrite* values,
                    std::size_t count) {
  const std::vector<Line> lines = SplitLines(old);
  std::string_view newline = "\n";
  for (const Line& line : lines)
    if (!line.end.empty()) {
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
    // A last line without its newline gets one, so that what may follow starts a line.
    out.push_back(text.append(line.end.empty() ? newline : line.end));
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

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Creates the missing folders of path (absolute), remembering them so that a failed save can
// take them away again.
bool MakeFolders(const std::string& path, std::vector<std::string>& created) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) == 0) {
      created.push_back(prefix);
    } else {
      struct stat info {};
      if (errno != EEXIST || stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    }
    if (slash == std::string::npos) return true;
  }
}

void RemoveFolders(std::vector<std::string>& created) {
  for (auto it = created.rbegin(); it != created.rend(); ++it) rmdir(it->c_str());
  created.clear();
}

}  // namespace

bool ReadSettingValues(const char* keyPath, SettingRead* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    values[i].found = false;
    values[i].size = 0;
  }
  const std::string file = RelativeFile(keyPath ? keyPath : "");
  if (file.empty()) return false;
  std::vector<std::string> folders = SystemConfigFolders();
  std::vector<std::string> order(folders.rbegin(), folders.rend());
  const std::string user = UserConfigFolder();
  if (!user.empty()) order.push_back(user);
  bool any = false;
  std::string content;
  for (const std::string& folder : order) {
    if (ReadFile(folder + "/" + file, content) != ReadResult::Read) continue;
    any = true;
    ApplyFile(content, keyPath, values, count);
  }
  return any;
}

bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!values[i].name || !*values[i].name || !values[i].text) return false;
  const std::string file = RelativeFile(keyPath ? keyPath : "");
  const std::string user = UserConfigFolder();
  if (file.empty() || user.empty()) return false;
  const std::string path = user + "/" + file;
  const std::string folder = path.substr(0, path.rfind('/'));

  // What is there now must be read whole, or the save would lose it.
  std::string old;
  const ReadResult existing = ReadFile(path, old);
  if (existing == ReadResult::Unusable) return false;
  struct stat info {};
  const mode_t mode = existing == ReadResult::Read && stat(path.c_str(), &info) == 0
                          ? info.st_mode & 07777
                          : 0644;

  std::vector<std::string> created;
  if (!MakeFolders(folder, created)) {
    RemoveFolders(created);
    return false;
  }
  std::string temp = path + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    RemoveFolders(created);
    return false;
  }
  const bool ok = WriteAll(fd, Rewrite(old, keyPath, values, count)) && fchmod(fd, mode) == 0 &&
                  fsync(fd) == 0;
  if (close(fd) != 0 || !ok || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    RemoveFolders(created);
    return false;
  }
  // Make the rename itself durable.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace platform
