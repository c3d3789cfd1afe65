#include "platform/win32/Win32Shell.h"

#include <commctrl.h>

#include <cstdio>

#include "base/AppLog.h"
#include "host/SaverClassProc.h"
#include "host/SettingsDialog.h"
#include "host/Shell.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"
#include "platform/win32/Win32RenderThread.h"

namespace {

using ImeContext = HANDLE;
using AssociateContextProc = ImeContext(WINAPI*)(HWND, ImeContext);
using ChangePasswordProc = DWORD(WINAPI*)(LPCWSTR, HWND, DWORD, void*);

// The Win32 half of the shell's record: modules and entry points found at run time.
HINSTANCE instance = nullptr;
HMODULE passwordModule = nullptr;
PasswordVerifier verifyPassword = nullptr;
HMODULE immModule = nullptr;
AssociateContextProc associateContext = nullptr;
ImeContext savedImeContext = nullptr;

constexpr wchar_t SaverClass[] = L"WindowsScreenSaverClass";
constexpr UINT PasswordRequest = WM_APP;
constexpr DWORD PasswordRetryMs = 200;

HWND Hwnd(platform::WindowHandle w) { return reinterpret_cast<HWND>(w); }
platform::WindowHandle Handle(HWND w) { return reinterpret_cast<platform::WindowHandle>(w); }

void HideCursor() { SetCursor(nullptr); }

ScreenPoint Cursor() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

std::uint8_t AcLine() {
  SYSTEM_POWER_STATUS status{};
  return GetSystemPowerStatus(&status) ? status.ACLineStatus : 255;
}

class Win32ShellSystem : public ShellSystem {
 public:
  ScreenPoint CursorPosition() override { return Cursor(); }
  void HideCursor() override { ::HideCursor(); }
  std::uint8_t AcLineStatus() override { return AcLine(); }
  void PostMessage(platform::WindowHandle window, unsigned message, std::uintptr_t wordParam,
                   std::intptr_t longParam) override {
    PostMessageW(Hwnd(window), message, wordParam, longParam);
  }
  void PostQuit(int code) override { PostQuitMessage(code); }
  std::intptr_t DefaultWindowProc(platform::WindowHandle window, unsigned message,
                                  std::uintptr_t wordParam, std::intptr_t longParam) override {
    return DefWindowProcW(Hwnd(window), message, wordParam, longParam);
  }
  void MinimizeWindow(platform::WindowHandle window) override { CloseWindow(Hwnd(window)); }
  // The saver takes no text: its window's input-method context is detached while it exists.
  void OnWindowCreated(platform::WindowHandle window) override {
    immModule = GetModuleHandleW(L"IMM32.DLL");
    if (immModule == nullptr) return;
    associateContext = reinterpret_cast<AssociateContextProc>(
        reinterpret_cast<void*>(GetProcAddress(immModule, "ImmAssociateContext")));
    if (associateContext != nullptr) savedImeContext = associateContext(Hwnd(window), nullptr);
  }
  void OnWindowDestroyed(platform::WindowHandle window) override {
    if (immModule != nullptr && associateContext != nullptr && savedImeContext != nullptr)
      associateContext(Hwnd(window), savedImeContext);
  }
  platform::WindowHandle ParentWindow(platform::WindowHandle window) override {
    return Handle(GetParent(Hwnd(window)));
  }
  bool IsWindow(platform::WindowHandle window) override { return ::IsWindow(Hwnd(window)); }
  void YieldTimeSlice() override { Sleep(0); }
  bool VerifyBeforeClose(platform::WindowHandle window) override {
    return ::VerifyBeforeClose(Hwnd(window)) != 0;
  }
  bool HasPasswordVerifier() override { return verifyPassword != nullptr; }
  std::intptr_t VerifyPassword(platform::WindowHandle window) override {
    return verifyPassword(Hwnd(window));
  }
};
Win32ShellSystem win32System;

class Win32ShellModes : public ShellModes {
 public:
  bool IsWindow(platform::WindowHandle window) override {
    return window != 0 && ::IsWindow(Hwnd(window));
  }
  platform::WindowHandle ForegroundWindow() override { return Handle(GetForegroundWindow()); }
  int RunSaverWindow(platform::WindowHandle parent) override {
    // A child of the desktop window is a top-level window over the whole screen that no key or
    // click ends; one of the shell's desktop window would outlive every settings page.
    if (parent != 0 && (Hwnd(parent) == GetDesktopWindow() || Hwnd(parent) == GetShellWindow()))
      return -1;
    return ::RunSaverWindow(Hwnd(parent));
  }
  int RunSettingsDialog(platform::WindowHandle parent) override {
    return ::RunSettingsDialog(parent);
  }
  void ChangeSaverPassword(platform::WindowHandle parent) override {
    ::ChangeSaverPassword(Hwnd(parent));
  }
  // XScreenSaver's modes do not exist on Windows.
  int RunOnRoot(const HackOptions&) override { return -1; }
  int RunOnWindow(platform::WindowHandle, const HackOptions&) override { return -1; }
};

// The render thread's fault, formatted and written on a thread of its own: the fault may have
// hit while the render thread held the log's lock or the C library's, and the process must end
// all the same.
DWORD renderFaultCode = 0;
DWORD WINAPI WriteRenderFault(void*) {
  char line[64];
  std::snprintf(line, sizeof line, "Fault 0x%08lX on the render thread",
                static_cast<unsigned long>(renderFaultCode));
  appLog.Write(Error, line);
  return 0;
}
constexpr DWORD FaultLogWaitMs = 2000;

// g++ for this target has no __try: an unhandled-exception filter stands for the guard around
// the shell. A fault anywhere on the shell's thread ends here: the running flag is cleared, as
// the guard's handler would, and the process ends with the guard's result. The filter is the
// process's, so a fault on the render thread ends the same quiet way, with no crash dialog over
// the saver (which may stand over a locked screen); it is logged first, so that it can be told
// from the shell's own.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
LONG WINAPI ShellFaultFilter(EXCEPTION_POINTERS* fault) {
  if (previousFilter != nullptr && previousFilter(fault) == EXCEPTION_CONTINUE_EXECUTION)
    return EXCEPTION_CONTINUE_EXECUTION;
  if (platform::OnRenderThread()) {
    renderFaultCode = fault->ExceptionRecord->ExceptionCode;
    if (HANDLE writer = CreateThread(nullptr, 0, WriteRenderFault, nullptr, 0, nullptr)) {
      WaitForSingleObject(writer, FaultLogWaitMs);
      CloseHandle(writer);
    }
  }
  SetSaverRunningFlag(false);
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

void InstallWin32ShellSystem() { shellSystem = &win32System; }

void SetSaverRunningFlag(bool running) {
  BOOL previous = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}

void UnloadPasswordVerifier() {
  if (passwordModule == nullptr) return;
  FreeLibrary(passwordModule);
  passwordModule = nullptr;
  if (verifyPassword != nullptr) {
    verifyPassword = nullptr;
    SetSaverRunningFlag(false);
  }
}

void LoadPasswordVerifier() {
  if (!shellState.isWin95Family) return;
  if (passwordModule != nullptr) UnloadPasswordVerifier();
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return;
  DWORD value = 0, size = sizeof value;
  if (RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
      value != 0) {
    passwordModule = LoadLibraryW(L"PASSWORD.CPL");
    if (passwordModule != nullptr) {
      verifyPassword = reinterpret_cast<PasswordVerifier>(
          reinterpret_cast<void*>(GetProcAddress(passwordModule, "VerifyScreenSavePwd")));
      if (verifyPassword != nullptr)
        SetSaverRunningFlag(true);
      else
        UnloadPasswordVerifier();
    }
  }
  RegCloseKey(key);
}

void SetPasswordVerifier(PasswordVerifier verifier) { verifyPassword = verifier; }

int VerifyBeforeClose(HWND window) {
  ShellState& s = shellState;
  if (s.isCheckingPassword || s.isClosing) return 0;
  if (verifyPassword == nullptr) {
    s.isClosing = true;
    return 1;
  }
  if (s.lastPasswordCheck != 0xFFFFFFFF && GetTickCount() - s.lastPasswordCheck < PasswordRetryMs)
    return 0;
  s.isCheckingPassword = true;
  MSG pending;
  PeekMessageW(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageW(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  s.isClosing = SendMessageW(window, PasswordRequest, 0, 0) != 0;
  s.isCheckingPassword = false;
  if (!s.isClosing) HideCursor();
  s.lastPasswordCheck = GetTickCount();
  return s.isClosing;
}

void ChangeSaverPassword(HWND parent) {
  HMODULE mpr = LoadLibraryW(L"MPR.DLL");
  if (mpr == nullptr) return;
  auto change = reinterpret_cast<ChangePasswordProc>(
      reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordW")));
  if (change != nullptr) change(L"SCRSAVE", parent, 0, nullptr);
  FreeLibrary(mpr);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wordParam, LPARAM longParam) {
  return SaverClassProc(Handle(window), message, wordParam, longParam);
}

int RunSaverWindow(HWND parent) {
  ShellState& s = shellState;
  WNDCLASSW cls{};
  cls.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // 0x2B
  cls.lpfnWndProc = SaverWindowProc;
  cls.hInstance = instance;
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = SaverClass;

  int x = 0, y = 0, width = 0, height = 0;
  const wchar_t* title;
  DWORD style, exStyle;
  if (parent != nullptr) {
    RECT r{};
    GetClientRect(parent, &r);
    width = r.right;
    height = r.bottom;
    s.isPreview = true;
    title = L"Preview";
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;  // 0x52000000
    exStyle = 0;
  } else {
    x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width == 0 || height == 0) {
      HDC screen = GetDC(nullptr);
      RECT r{};
      GetClipBox(screen, &r);
      ReleaseDC(nullptr, screen);
      x = r.left;
      y = r.top;
      width = r.right - r.left;
      height = r.bottom - r.top;
    }
    HWND running = FindWindowW(SaverClass, L"Screen Saver");
    if (running != nullptr && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    s.lastLineStatus = AcLine();
    LoadPasswordVerifier();
    title = L"Screen Saver";
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x96000000
    exStyle = WS_EX_TOPMOST;
  }
  s.autoPlayMessage = s.isWin95Family ? RegisterWindowMessageW(L"QueryCancelAutoPlay") : 0;

  HWND window = nullptr;
  if (RegisterClassW(&cls) != 0) {
    window = CreateWindowExW(exStyle, SaverClass, title, style, x, y, width, height, parent,
                             nullptr, instance, nullptr);
    s.mainWindow = Handle(window);
  }
  int result = 0;
  if (window != nullptr) {
    if (parent == nullptr) SetForegroundWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    result = static_cast<int>(msg.wParam);
  }
  UnloadPasswordVerifier();
  return result;
}

int Win32ShellMain(HINSTANCE moduleInstance, const wchar_t* tail) {
  previousFilter = SetUnhandledExceptionFilter(ShellFaultFilter);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  instance = moduleInstance;
  InstallWin32ShellSystem();

  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool known = GetVersionExW(&version);
#pragma GCC diagnostic pop
  shellState.isWin95Family = known && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;

  Win32ShellModes modes;
  return ShellMain(modes, std::u16string_view(reinterpret_cast<const char16_t*>(tail)),
                   shellState.isWin95Family);
}
