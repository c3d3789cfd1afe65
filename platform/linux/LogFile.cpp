// The log on Linux: a regular file shared through flock(2). Every instance holds a shared lock for
// its life; a start that can take the lock exclusively knows that nobody writes the file and
// empties it. O_APPEND puts every line at the current end, whoever wrote last, so lines of two
// instances follow each other whole and no gap is ever filled with NUL bytes.
#include "platform/LogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace platform {

std::FILE* OpenLogFile(const char* path) {
  if (!path || !*path) return nullptr;
  // Without waiting: a FIFO planted at the path would otherwise hold the start for ever, before
  // any signal can end it. Never through a link at the path: a link planted in a folder others
  // may write would make every start empty whatever it points to.
  const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY |
                                O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // Only a regular file of this user's own, and of no other name (a hard link to some other file
  // would be emptied just the same), is taken as the log.
  struct stat info {};
  std::FILE* file = nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
      info.st_nlink != 1 || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(fd);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    // Nobody else holds it. Emptied before the lock is shared, so an instance that starts now
    // finds it held and appends.
    if (ftruncate(fd, 0) != 0) {
      close(fd);
      return nullptr;
    }
  }
  // A shared hold; an exclusive one of a start emptying the file lasts a moment. A lock that
  // never comes (another program holding it) leaves this process appending without one.
  for (int attempt = 0; attempt < 50 && flock(fd, LOCK_SH | LOCK_NB) != 0; ++attempt)
    usleep(2000);
  if ((file = fdopen(fd, "a")) == nullptr) close(fd);
  return file;
}

void CloseLogFile(std::FILE* file) {
  if (file) std::fclose(file);  // the lock goes with the descriptor
}

namespace {

// Creates each missing folder of path, private to the user as the state folders are meant to be.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string UserLogPath() {
  // A relative $XDG_STATE_HOME is invalid and ignored, as for every XDG variable.
  std::string folder;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') {
    folder = state;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return {};
    folder = std::string(home) + "/.local/state";
  }
  folder += "/velmora";
  if (!MakeFolders(folder)) return {};
  return folder + "/velmora.log";
}

}  // namespace platform
