#pragma once
// The log file as the platform keeps it: shared with every other process that writes or reads it,
// appended to line by line, and emptied at a start only when no running instance of the program
// writes to it, so that a preview or the settings dialog started beside a saver never cuts the
// saver's lines short.
#include <cstdio>
#include <string>

namespace platform {

// Opens path for writing in append mode (text mode on Win32), creating it. It is emptied first
// unless another running instance of the program holds it; this process holds it from now until
// CloseLogFile or its end. nullptr when the file cannot be opened or created, is not a regular
// file, is a link at path (never followed: a symbolic link, a junction), has another name as
// well (a hard link), or on X11 belongs to another user: nothing but the program's own log is
// ever emptied.
std::FILE* OpenLogFile(const char* path);

// Closes a file of OpenLogFile and gives up this process's hold on it.
void CloseLogFile(std::FILE* file);

// Where the log goes when the file beside the program cannot be created: the user's own folder
// for such files (created as needed), "%LOCALAPPDATA%\Korvantel\Velmora.log" on Win32,
// "$XDG_STATE_HOME/velmora/velmora.log" (default ~/.local/state) on X11. Empty when the folder
// is not known or cannot be created.
std::string UserLogPath();

}  // namespace platform
