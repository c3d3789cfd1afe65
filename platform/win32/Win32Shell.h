#pragma once
// The Windows screen-saver protocol's side of the shell: the saver window class and its
// procedure, the message loop, the Windows 95 family's password protocol, and the entry's
// mode selection. The rules themselves are host/Shell and host/DefScreenSaverProc.
#include <windows.h>

#include <cstdint>

// Runs ShellMain over the command-line tail (UTF-16) for this module; the exit code.
int Win32ShellMain(HINSTANCE instance, const wchar_t* tail);

// Makes the Win32 window system the shell's (Win32ShellMain does this before any window).
void InstallWin32ShellSystem();

// The saver window class's procedure: the shell's SaverClassProc, which hands on to
// ScreenSaverProc, so the render thread starts and stops with the window as on every platform.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wordParam, LPARAM longParam);
int RunSaverWindow(HWND parent);
void ChangeSaverPassword(HWND parent);

// The Windows 95 family's password verifier: "VerifyScreenSavePwd" of PASSWORD.CPL, or one a
// test installs. Non-zero from the verifier lets the user leave.
using PasswordVerifier = BOOL(WINAPI*)(HWND);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunningFlag(bool running);
void SetPasswordVerifier(PasswordVerifier verifier);  // tests; nullptr: no password
// Non-zero when the saver may close: asks the verifier, refusing a second ask within 200 ms.
int VerifyBeforeClose(HWND window);
