// A render thread whose driver hangs or faults, under the saver's real class procedure and
// shell: a close that cannot stop the thread leaves it its contexts and goes on, and a fault
// ends the saver with -1 and no crash dialog, logged when it was the render thread's.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "base/AppLog.h"
#include "host/ShellState.h"
#include "platform/GlSurface.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/RenderThread.h"
#include "platform/win32/Win32RenderThread.h"
#include "platform/win32/Win32Shell.h"
#include "render/VideoInit.h"

namespace {

const std::string E = "(!)Error : ";

// The log of this program; a death test's child truncates it and writes its own.
std::vector<std::string> LogLines() {
  std::vector<std::string> lines;
  std::ifstream file(LogPathForModule());
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

template <typename Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs = 60000) {
  const DWORD begin = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - begin >= timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  return true;
}

// Runs first: the death test below leaves this process's log handle behind its child's lines.
TEST(RenderThreadFaults, ACloseThatCannotStopTheThreadKeepsItsContextsAndGoesOn) {
  InstallWin32ShellSystem();
  shellState = ShellState{};
  platform::SetRenderThreadStopLimit(300);
  WNDCLASSW cls{};
  cls.style = CS_OWNDC;
  cls.lpfnWndProc = SaverWindowProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"VelmoraStuckRenderTest";
  RegisterClassW(&cls);
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150,
                                nullptr, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  const std::uint64_t swaps = platform::SwapCount();
  ASSERT_TRUE(PumpUntil([&] { return platform::SwapCount() >= swaps + 3; })) << "no frames";

  platform::SetGlSurfaceFaults({.stallSwap = true});
  ASSERT_TRUE(PumpUntil(platform::SwapStalled));
  const platform::DeviceContext dc = videoContext.deviceContext.load();
  const platform::GlContext gl = videoContext.glContext.load();
  ASSERT_NE(gl, nullptr);

  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window)) << "the close did not go on";
  EXPECT_TRUE(platform::SwapStalled());
  EXPECT_EQ(videoContext.glContext.load(), gl) << "released under the running thread";
  EXPECT_EQ(videoContext.deviceContext.load(), dc);
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            E + "The render thread did not stop: its contexts are left to the process's end");
  EXPECT_EQ(lines.back().rfind("   Notify : FPS = ", 0), 0u) << lines.back();

  // Let go, the thread sees the stop it was given; a later stop finds it ended.
  platform::SetGlSurfaceFaults({});
  EXPECT_TRUE(PumpUntil(platform::StopRenderThread));
  platform::SetRenderThreadStopLimit(5000);
  platform::DeleteGlContext(dc, videoContext.glContext.exchange(nullptr));
  videoContext.deviceContext = nullptr;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
}

DWORD WINAPI EndAfterAMinute(void*) {
  Sleep(60000);
  ExitProcess(12345);  // no frame came: the saver would run on for ever
}

void FullScreenSaverFaultingOnItsFirstSwap() {
  CloseHandle(CreateThread(nullptr, 0, EndAfterAMinute, nullptr, 0, nullptr));
  platform::SetGlSurfaceFaults({.faultOnSwap = true});
  Win32ShellMain(GetModuleHandleW(nullptr), L"/s");
}

void FaultOnTheShellThread() {
  Win32ShellMain(GetModuleHandleW(nullptr), L"/x");  // installs the guard; an unknown mode
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

TEST(RenderThreadFaults, AFaultOnEitherThreadEndsWithMinusOneAndTheRenderThreadsIsLogged) {
  const struct {
    const char* name;
    void (*run)();
    std::vector<std::string> errorLines;
  } cases[] = {
      {"render thread", FullScreenSaverFaultingOnItsFirstSwap,
       {E + "Fault 0xC0000005 on the render thread"}},
      {"shell thread", FaultOnTheShellThread, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(c.run(), testing::ExitedWithCode(-1), "") << c.name;
    // The child ran beside this process, which holds the same log: its lines follow this
    // process's, from its own first line on.
    std::vector<std::string> errors;
    for (const std::string& line : LogLines()) {
      if (line == "   Notify : Application has run") errors.clear();
      if (line.rfind(E, 0) == 0) errors.push_back(line);
    }
    EXPECT_EQ(errors, c.errorLines) << c.name;
  }
}

}  // namespace
