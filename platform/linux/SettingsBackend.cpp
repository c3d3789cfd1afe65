// Settings on Linux: a freedesktop-style key file per key path. The key path
// "Software\Korvantel\Velmora Screen Saver" is the file "Korvantel/Velmora Screen Saver.conf"
// below each configuration folder, with the values in the group named by the whole key path:
//
//   [Software\Korvantel\Velmora Screen Saver]
//   EnableFPS=0
//
// The system's folders ($XDG_CONFIG_DIRS, default /etc/xdg) are read first, least important
// first, then the user's ($XDG_CONFIG_HOME, default ~/.config); a value read later wins. Only
// the user's file is written (through to its target when it is a symbolic link). A value is the text after the first '=' up to the end of its line,
// taken as a REG_SZ's data: that text plus its NUL must fit in SettingDataCapacity, so values
// of 200 bytes or more are ignored.
#include "platform/SettingsBackend.h"

#include "platform/linux/SettingsKeyFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
    ApplyKeyFile(content, keyPath, values, count);
  }
  return any;
}

bool WriteSettingValues(const char* keyPath, const SettingWrite* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!values[i].name || !*values[i].name || !values[i].text) return false;
  const std::string file = RelativeFile(keyPath ? keyPath : "");
  const std::string user = UserConfigFolder();
  if (file.empty() || user.empty()) return false;
  std::string path = user + "/" + file;
  // A link at the path (a file kept elsewhere and linked in) is written through: the new file
  // replaces the link's final target and the link stays. A link to nothing, or a loop, has no
  // file to replace: the save fails rather than put a plain file in the link's place.
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* target = realpath(path.c_str(), nullptr);
    if (target == nullptr) return false;
    path = target;
    std::free(target);
  }
  const std::size_t slash = path.rfind('/');
  const std::string folder = path.substr(0, slash == 0 ? 1 : slash);

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
  const bool ok = WriteAll(fd, RewriteKeyFile(old, keyPath, values, count)) && fchmod(fd, mode) == 0 &&
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
