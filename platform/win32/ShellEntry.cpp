// Process entry of the Windows saver: the command line's tail goes to the shell, and the
// process ends with its result straight away, without static destruction, taking the render
// thread with it.
#include <windows.h>

#include "platform/win32/Win32Shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p > L' ') ++p;
  }
  while (*p != L'\0' && *p <= L' ') ++p;

  // The show state is read as the protocol does, and not used.
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  (void)show;

  ExitProcess(static_cast<UINT>(Win32ShellMain(GetModuleHandleW(nullptr), p)));
}
