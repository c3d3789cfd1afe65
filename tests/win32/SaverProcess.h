#pragma once
// The real Velmora.scr as the Win32 suites start it: a process of its own (in a private copy when
// its log matters), the stored settings it reads, and the log it writes beside itself.
#include <windows.h>

#include <string>
#include <vector>

namespace saver {

inline const char* const SettingsKey = "Software\\Korvantel\\Velmora Screen Saver";

// A Unix path of the build as Windows sees it, on Wine's drive Z:.
inline std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The saver of this build (VELMORA_SCR, set by the build for every Win32 suite).
inline std::string BuiltSaver() { return WindowsPath(VELMORA_SCR); }

// Handles messages for this thread's windows while it waits: the saver's windows send some to
// a host window of this thread (a preview's creation does) and wait for the answer.
inline void PumpFor(DWORD ms) {
  const DWORD begin = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - begin < ms);
}

class Process {
 public:
  Process(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info_) != 0;
  }
  ~Process() {
    if (!started_) return;
    if (Running()) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const {
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
  }

  // The exit code once the process has ended within timeoutMs (messages pumped meanwhile), or
  // 12345 when it had to be ended by force.
  DWORD Finish(DWORD timeoutMs = 60000) {
    if (!started_) return 12345;
    const DWORD begin = GetTickCount();
    while (Running() && GetTickCount() - begin < timeoutMs) PumpFor(20);
    if (Running()) {
      TerminateProcess(info_.hProcess, 12345);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    DWORD code = 12345;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// The exit code of the saver run with arguments.
inline DWORD RunSaver(const std::string& arguments) {
  Process p(BuiltSaver(), arguments);
  return p.Finish();
}

// A copy of the built saver in a fresh folder of its own, so that the log beside it is one
// test's alone. The folder is removed with the object.
class SaverCopy {
 public:
  SaverCopy() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char unique[MAX_PATH] = {};
    GetTempFileNameA(temp, "vel", 0, unique);  // creates a file: the folder takes its name
    DeleteFileA(unique);
    folder_ = unique;
    CreateDirectoryA(folder_.c_str(), nullptr);
    path_ = folder_ + "\\Velmora.scr";
    CopyFileA(BuiltSaver().c_str(), path_.c_str(), FALSE);
  }
  ~SaverCopy() {
    DeleteFileA(path_.c_str());
    DeleteFileA(LogPath().c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  SaverCopy(const SaverCopy&) = delete;
  SaverCopy& operator=(const SaverCopy&) = delete;

  const std::string& Path() const { return path_; }
  // The saver's own path with its last three characters replaced by "log".
  std::string LogPath() const { return path_.substr(0, path_.size() - 3) + "log"; }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    // The saver keeps the file open for writing; it shares it for reading.
    HANDLE file = CreateFileA(LogPath().c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
      text.append(buffer, got);
    CloseHandle(file);
    std::string line;
    for (char c : text) {
      if (c == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    return lines;
  }

  // Waits (pumping messages) until the log holds line; false after timeoutMs.
  bool WaitForLogLine(const std::string& line, DWORD timeoutMs = 60000) const {
    const DWORD begin = GetTickCount();
    for (;;) {
      for (const std::string& l : LogLines())
        if (l == line) return true;
      if (GetTickCount() - begin >= timeoutMs) return false;
      PumpFor(50);
    }
  }

 private:
  std::string folder_, path_;
};

// Stores a value in the machine's key, which every user reads under their own.
inline void StoreSetting(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

inline void StoreSetting(const char* name, const char* text) {
  StoreSetting(name, REG_SZ, text, static_cast<DWORD>(std::string(text).size() + 1));
}

// The key in both layers, the machine's and the user's.
inline void DeleteSettings() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
}

}  // namespace saver
