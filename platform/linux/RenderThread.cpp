#include "platform/RenderThread.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/linux/GlBindings.h"

namespace platform {
namespace {

std::thread renderThread;
std::atomic<bool> running{false};
std::atomic<bool> stopRequested{false};
std::mutex stopMutex;
std::condition_variable stopSignal;

void RunRenderThread(RenderThreadEntry entry, WindowHandle window) {
  // The shell's signals (close requests) belong to the window thread.
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  entry(window);
  // Let go of the context so that the window thread can delete it once this thread is joined.
  ReleaseCurrentGlContext();
  {
    std::lock_guard lock(stopMutex);
    running.store(false);
  }
  stopSignal.notify_all();
}

// A frame can take long on a software renderer, but a close must not hang on a thread that is
// stuck in the driver: after this long the window goes on without it (and leaves it its
// contexts).
std::atomic<unsigned> stopLimitMs{2000};

}  // namespace

bool StartRenderThread(RenderThreadEntry entry, WindowHandle window) {
  if (running.load()) return false;
  if (renderThread.joinable()) renderThread.join();  // ended on its own earlier
  stopRequested.store(false);
  running.store(true);
  try {
    renderThread = std::thread(RunRenderThread, entry, window);
  } catch (const std::system_error&) {
    running.store(false);
    return false;
  }
  return true;
}

bool StopRenderThread() {
  {
    // Under the lock, so that a wait about to begin sees the request or is woken by it.
    std::unique_lock lock(stopMutex);
    stopRequested.store(true);
    stopSignal.notify_all();
    if (!stopSignal.wait_for(lock, std::chrono::milliseconds(stopLimitMs.load()),
                             [] { return !running.load(); }))
      return false;  // still running; the thread is kept, so a later stop waits again
  }
  if (renderThread.joinable()) renderThread.join();
  return true;
}

bool RenderThreadStopRequested() { return stopRequested.load(std::memory_order_relaxed); }

void SetRenderThreadStopLimit(unsigned milliseconds) { stopLimitMs.store(milliseconds); }

void WaitForStopRequest(unsigned microseconds) {
  std::unique_lock lock(stopMutex);
  stopSignal.wait_for(lock, std::chrono::microseconds(microseconds),
                      [] { return stopRequested.load(); });
}

}  // namespace platform
