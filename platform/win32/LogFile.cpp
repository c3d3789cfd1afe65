// The log on Win32. Every instance keeps a named mutex of the log's path open for its life; a
// start that creates it (rather than opening one that exists) knows that no instance writes the
// file and empties it. The file is opened for appending only (FILE_APPEND_DATA without
// FILE_WRITE_DATA), so that every write lands at the current end, whoever wrote last: lines of
// two instances follow each other whole and no gap is ever filled with NUL bytes.
#include "platform/LogFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

namespace platform {
namespace {

// The mutex's name: the path folded to lower case (Windows paths ignore case) and hashed, since
// a name may not hold backslashes and is limited in length.
std::string MutexName(const char* path) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char* c = path; *c; ++c) {
    char folded = *c;
    if (folded >= 'A' && folded <= 'Z') folded = static_cast<char>(folded - 'A' + 'a');
    if (folded == '/') folded = '\\';
    hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Local\\Velmora.log.%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

// Each open log's mutex, closed with it.
std::map<std::FILE*, HANDLE>& Holds() {
  static std::map<std::FILE*, HANDLE> holds;
  return holds;
}
std::mutex holdsLock;

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::FILE* OpenLogFile(const char* path) {
  if (!path || !*path) return nullptr;
  HANDLE append = CreateFileA(path, FILE_APPEND_DATA | SYNCHRONIZE, ShareAll, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (append == INVALID_HANDLE_VALUE) return nullptr;
  if (GetFileType(append) != FILE_TYPE_DISK) {
    CloseHandle(append);
    return nullptr;
  }
  // The creator owns the mutex while it empties the file; a start beside it waits for that
  // (briefly) before its first line, which the emptying would otherwise take.
  HANDLE hold = CreateMutexA(nullptr, TRUE, MutexName(path).c_str());
  if (hold != nullptr && GetLastError() != ERROR_ALREADY_EXISTS) {
    HANDLE empty = CreateFileA(path, GENERIC_WRITE, ShareAll, nullptr, TRUNCATE_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (empty != INVALID_HANDLE_VALUE) CloseHandle(empty);
    ReleaseMutex(hold);
  } else if (hold != nullptr) {
    const DWORD waited = WaitForSingleObject(hold, 2000);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ReleaseMutex(hold);
  }
  // Text mode: each newline is stored as CR LF.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(append), _O_APPEND | _O_TEXT);
  if (fd < 0) {
    CloseHandle(append);
    if (hold) CloseHandle(hold);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "a");
  if (file == nullptr) {
    _close(fd);
    if (hold) CloseHandle(hold);
    return nullptr;
  }
  if (hold) {
    std::lock_guard<std::mutex> guard(holdsLock);
    Holds()[file] = hold;
  }
  return file;
}

void CloseLogFile(std::FILE* file) {
  if (!file) return;
  std::fclose(file);
  std::lock_guard<std::mutex> guard(holdsLock);
  const auto found = Holds().find(file);
  if (found == Holds().end()) return;
  CloseHandle(found->second);
  Holds().erase(found);
}

std::string UserLogPath() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return {};
  std::string path = std::string(folder) + "\\Korvantel";
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return {};
  return path + "\\Velmora.log";
}

}  // namespace platform
