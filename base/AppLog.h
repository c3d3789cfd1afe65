#pragma once
// The program's diagnostic log: one plain-text line per event, beside the executable (or in the
// user's own folder where that cannot be created), emptied at every start that finds no other
// running instance writing it, flushed after every line. Both the window thread and the render
// thread write to it; a line of one never interleaves with a line of the other.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

enum LogLevel : int { Notify = 0, Error = 1 };

class AppLog {
 public:
  // Logs beside the running executable (see LogPathForModule), or where that file cannot be
  // created, at platform::UserLogPath.
  AppLog();
  // Logs to path (see platform::OpenLogFile); an empty path leaves the log off.
  explicit AppLog(const char* path);
  ~AppLog();
  AppLog(const AppLog&) = delete;
  AppLog& operator=(const AppLog&) = delete;

  // One line: the level's prefix, text exactly as given, a newline. No-op when the log is off.
  void Write(int level, const char* text);
  // pattern holds one floating-point conversion ("FPS = %g"); the result is written by Write.
  void WriteValue(int level, const char* pattern, double value);
  // Write, then keep userText (a static string) for the user, even when the log is off.
  void WriteWithUserMessage(int level, const char* text, const char* userText);
  // The last text kept by WriteWithUserMessage, or nullptr.
  const char* UserMessage() const;

  bool IsOpen() const { return file != nullptr; }

 private:
  void Open(const char* path);

  // Zero before construction, so a write that came that early writes nothing.
  std::FILE* file = nullptr;
  std::atomic<const char*> userMessage{nullptr};
  std::mutex writeLock;
};

// The log path for an executable on X11 and alike: the file name's extension replaced by "log",
// or ".log" appended when the name has none ("/opt/velmora" -> "/opt/velmora.log"). A leading
// dot of the file name does not start an extension. Empty for an empty path.
std::string LogPathReplacingExtension(std::string_view modulePath);

// The log path for a Windows module: the last three characters replaced by "log"
// ("C:\Saver\Velmora.scr" -> "C:\Saver\Velmora.log"). Empty when the path is shorter than three.
std::string LogPathReplacingLastThree(std::string_view modulePath);

// The running executable's log path by this platform's rule; empty when the module path cannot
// be read. Paths of any length are taken whole.
std::string LogPathForModule();

extern AppLog appLog;
