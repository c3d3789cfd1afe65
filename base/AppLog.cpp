#include "base/AppLog.h"

#include <vector>

#include "platform/LogFile.h"
#include "platform/ModulePath.h"

namespace {

const char* Prefix(int level) {
  switch (level) {
    case Notify: return "   Notify : ";
    case Error:  return "(!)Error : ";
    default:     return "Unlabel record : ";
  }
}

}  // namespace

std::string LogPathReplacingExtension(std::string_view modulePath) {
  if (modulePath.empty()) return {};
  std::string path(modulePath);
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && dot > nameStart) path.resize(dot);
  path += ".log";
  return path;
}

std::string LogPathReplacingLastThree(std::string_view modulePath) {
  if (modulePath.size() < 3) return {};
  std::string path(modulePath);
  path.replace(path.size() - 3, 3, "log");
  return path;
}

std::string LogPathForModule() {
  // The path's full length comes back even when it does not fit, so one retry with a buffer
  // of that size takes it whole; a path that keeps growing between the calls is given up.
  std::vector<char> buffer(200);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::size_t length = platform::ModulePath(buffer.data(), buffer.size());
    if (length == 0) return {};
    if (length < buffer.size()) {
      const std::string_view path(buffer.data(), length);
#ifdef _WIN32
      return LogPathReplacingLastThree(path);
#else
      return LogPathReplacingExtension(path);
#endif
    }
    buffer.assign(length + 1, '\0');
  }
  return {};
}

AppLog::AppLog() {
  Open(LogPathForModule().c_str());
  // Installed where the user may not write (a system folder): the user's own folder instead.
  if (!file) Open(platform::UserLogPath().c_str());
}

AppLog::AppLog(const char* path) { Open(path); }

AppLog::~AppLog() {
  platform::CloseLogFile(file);
}

void AppLog::Open(const char* path) {
  file = platform::OpenLogFile(path);
  if (file) Write(Notify, "Application has run");
}

void AppLog::Write(int level, const char* text) {
  if (!file) return;
  std::lock_guard<std::mutex> hold(writeLock);
  std::fputs(Prefix(level), file);
  std::fputs(text ? text : "", file);
  std::fputc('\n', file);
  std::fflush(file);
}

void AppLog::WriteValue(int level, const char* pattern, double value) {
  if (!file || !pattern) return;
  char line[512];
  std::snprintf(line, sizeof line, pattern, value);
  Write(level, line);
}

void AppLog::WriteWithUserMessage(int level, const char* text, const char* userText) {
  Write(level, text);
  // Released before the failure notification is sent, so the window thread that reads it after
  // the notification sees this text.
  userMessage.store(userText, std::memory_order_release);
}

const char* AppLog::UserMessage() const { return userMessage.load(std::memory_order_acquire); }
