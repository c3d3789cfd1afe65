#include "platform/RenderThread.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/Win32RenderThread.h"

namespace platform {
namespace {

struct Start {
  RenderThreadEntry entry;
  WindowHandle window;
};

// Kept until the thread has been seen to end, so that a stop that gave up can wait again and no
// second thread starts beside one that still runs.
HANDLE thread = nullptr;
std::atomic<bool> stopRequested{false};
// Set with stopRequested, for the frame loop's sleep to wake on.
HANDLE stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
std::atomic<DWORD> runningThreadId{0};
Start start{};

DWORD WINAPI ThreadMain(void* parameter) {
  runningThreadId = GetCurrentThreadId();
  const Start* s = static_cast<const Start*>(parameter);
  const DWORD code = s->entry(s->window);
  // Let go of the context so that the window thread can delete it once this thread has ended:
  // a context still current on another thread is not deleted.
  if (wglGetCurrentContext() != nullptr) wglMakeCurrent(nullptr, nullptr);
  runningThreadId = 0;  // the id may be given to another thread once this one is gone
  return code;
}

// A frame can take long on a software renderer, but a close must not hang on a thread that is
// stuck in the driver: after this long the window goes on without it (and leaves it its
// contexts).
std::atomic<DWORD> stopLimitMs{5000};

}  // namespace

bool StartRenderThread(RenderThreadEntry entry, WindowHandle window) {
  if (thread != nullptr) {
    if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;  // still running
    CloseHandle(thread);  // ended on its own earlier (a failed start)
    thread = nullptr;
  }
  start = {entry, window};
  stopRequested = false;
  ResetEvent(stopEvent);
  thread = CreateThread(nullptr, 0, ThreadMain, &start, 0, nullptr);
  return thread != nullptr;
}

bool StopRenderThread() {
  if (thread == nullptr) return true;
  stopRequested = true;
  SetEvent(stopEvent);
  // While waiting, let messages that the render thread sends to this thread's windows through
  // (GDI and the GL driver may do that), or the two threads would wait for each other.
  const DWORD limit = stopLimitMs;
  const DWORD begin = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - begin;
    const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE,
                                              waited >= limit ? 0 : limit - waited, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) break;
    if (r != WAIT_OBJECT_0 + 1 || waited >= limit) return false;  // still running
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread);
  thread = nullptr;
  return true;
}

bool RenderThreadStopRequested() { return stopRequested; }

void WaitForStopRequest(unsigned microseconds) {
  if (stopRequested) return;
  // Whole milliseconds, rounded up: the loop that asked waits again for what is left.
  WaitForSingleObject(stopEvent, (microseconds + 999) / 1000);
}

bool OnRenderThread() {
  const DWORD id = runningThreadId;
  return id != 0 && id == GetCurrentThreadId();
}

void SetRenderThreadStopLimit(unsigned milliseconds) { stopLimitMs = milliseconds; }

}  // namespace platform
