// A render thread whose start fails, on a real window of the saver's class procedure: the
// window logs it, minimises itself and shows the user message in a box captioned "Screen
// saver" that it owns; its end still logs the frame-rate line.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/AppLog.h"
#include "host/ShellState.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/win32/Win32Shell.h"

namespace {

const std::string N = "   Notify : ";

std::vector<std::string> LogLines() {
  std::vector<std::string> lines;
  std::ifstream file(LogPathForModule());
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// What the user saw: the box's texts, its owner and the saver window's state at that moment.
struct SeenBox {
  std::atomic<bool> done{false};
  bool found = false;
  std::vector<std::string> texts;
  HWND owner = nullptr;
  bool ownerMinimised = false;
  int boxes = 0;
};

BOOL CALLBACK CollectText(HWND child, LPARAM seen) {
  char text[256] = {};
  GetWindowTextA(child, text, sizeof text);
  reinterpret_cast<SeenBox*>(seen)->texts.emplace_back(text);
  return TRUE;
}

// Waits for the box of this process, notes what it shows and answers it with OK.
void AnswerBox(SeenBox& seen) {
  for (int i = 0; i < 600 && !seen.found; ++i) {
    HWND box = nullptr;
    while ((box = FindWindowExA(nullptr, box, "#32770", "Screen saver")) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
      ++seen.boxes;
      if (seen.found) continue;
      seen.found = true;
      EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&seen));
      seen.owner = GetWindow(box, GW_OWNER);
      seen.ownerMinimised = IsIconic(seen.owner) != 0;
      Sleep(300);  // a second box would be up by now
      HWND other = nullptr;
      while ((other = FindWindowExA(nullptr, other, "#32770", "Screen saver")) != nullptr)
        if (other != box) ++seen.boxes;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(50);
  }
  seen.done = true;
}

TEST(StartFailure, LoggedMinimisedAndShownOnceInABoxOwnedByTheSaverWindow) {
  InstallWin32ShellSystem();
  shellState = ShellState{};
  platform::SetGlSurfaceFaults({.failContextCreation = true});
  const std::size_t logStart = LogLines().size();

  WNDCLASSW cls{};
  cls.lpfnWndProc = SaverWindowProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = L"VelmoraStartFailureTest";
  RegisterClassW(&cls);

  SeenBox seen;
  std::thread watcher(AnswerBox, std::ref(seen));
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"Screen Saver", WS_POPUP | WS_VISIBLE, 0, 0,
                                200, 150, nullptr, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  // The box runs inside this loop, when the render thread's message arrives.
  while (!seen.done) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  watcher.join();

  ASSERT_TRUE(seen.found) << "no message box";
  EXPECT_EQ(seen.boxes, 1);
  EXPECT_EQ(seen.owner, window);
  EXPECT_TRUE(seen.ownerMinimised);
  EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Error of scene initialization"),
            seen.texts.end());
  EXPECT_TRUE(IsWindow(window)) << "the failure destroyed the window";
  EXPECT_TRUE(IsIconic(window));

  // Its end, here the destruction without a close, logs the frame-rate line all the same.
  DestroyWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  platform::SetGlSurfaceFaults({});

  const std::vector<std::string> all = LogLines();
  const std::vector<std::string> lines(all.begin() + static_cast<long>(logStart), all.end());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       N + "Run looping thread",
                       N + "Start common initialization",
                       N + "Error of common initialization",
                       N + "Exit with error",
                       N + "FPS = -1",
                   }));
}

}  // namespace
