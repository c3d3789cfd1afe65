// The log on Win32: a file shared through byte-range locks on the open file itself, so that the
// same file reached through another path (another drive letter, a short name, another case) is
// known as the same. Every instance holds a shared lock for its life; a start that can take the
// lock exclusively knows that nobody writes the file and empties it. The file is written through a
// handle for appending only (FILE_APPEND_DATA without FILE_WRITE_DATA), so that every write lands
// at the current end, whoever wrote last: lines of two instances follow each other whole and no
// gap is ever filled with NUL bytes.
#include "platform/LogFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows' locks are mandatory: the locked byte lies far beyond any log's end, where no write of
// any instance ever reaches.
constexpr DWORD LockOffsetHigh = 0x40000000;  // 2^62

bool Lock(HANDLE file, DWORD flags) {
  OVERLAPPED at{};
  at.OffsetHigh = LockOffsetHigh;
  return LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void Unlock(HANDLE file) {
  OVERLAPPED at{};
  at.OffsetHigh = LockOffsetHigh;
  UnlockFileEx(file, 0, 1, 0, &at);
}

// Empties the file of handle through a second handle of the same open file, never through the
// path again, which may name another file by now.
bool Empty(HANDLE handle) {
  HANDLE writer = ReOpenFile(handle, GENERIC_WRITE, ShareAll, 0);
  if (writer == INVALID_HANDLE_VALUE) return false;
  const bool emptied = SetEndOfFile(writer) != 0;  // a new handle stands at offset 0
  CloseHandle(writer);
  return emptied;
}

}  // namespace

std::FILE* OpenLogFile(const char* path) {
  if (!path || !*path) return nullptr;
  // A link at the path (a symbolic link, a junction) is opened itself, not followed, and refused
  // below: one planted in a folder others may write would make every start empty its target.
  HANDLE append = CreateFileA(
      path, FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, ShareAll,
      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (append == INVALID_HANDLE_VALUE) return nullptr;
  // Only a plain file on a disk, of no other name (a hard link would be emptied with it).
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(append) != FILE_TYPE_DISK || !GetFileInformationByHandle(append, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks != 1) {
    CloseHandle(append);
    return nullptr;
  }
  if (Lock(append, LOCKFILE_EXCLUSIVE_LOCK)) {
    // Nobody else holds it. Emptied before the lock is shared, so an instance that starts now
    // finds it held and appends.
    const bool emptied = Empty(append);
    Unlock(append);
    if (!emptied) {
      CloseHandle(append);
      return nullptr;
    }
  }
  // A shared hold; an exclusive one of a start emptying the file lasts a moment. A lock that
  // never comes (another program holding it) leaves this process appending without one.
  for (int attempt = 0; attempt < 50 && !Lock(append, 0); ++attempt) Sleep(2);
  // Text mode: each newline is stored as CR LF.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(append), _O_APPEND | _O_TEXT);
  if (fd < 0) {
    CloseHandle(append);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "a");
  if (file == nullptr) _close(fd);
  return file;
}

void CloseLogFile(std::FILE* file) {
  if (file) std::fclose(file);  // the lock goes with the handle
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
