#include "platform/RenderThread.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/posix/GlBindings.h"

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
  running.store(false);
}

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
    std::lock_guard lock(stopMutex);
    stopRequested.store(true);
  }
  stopSignal.notify_all();
  if (renderThread.joinable()) renderThread.join();
  return true;
}

bool RenderThreadStopRequested() { return stopRequested.load(std::memory_order_relaxed); }

void WaitForStopRequest(unsigned microseconds) {
  std::unique_lock lock(stopMutex);
  stopSignal.wait_for(lock, std::chrono::microseconds(microseconds),
                      [] { return stopRequested.load(); });
}

}  // namespace platform
