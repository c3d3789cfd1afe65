#include "platform/linux/SaverLoop.h"

#include <poll.h>

#include <atomic>
#include <cstdio>

#include "base/AppLog.h"
#include "host/ShellMessages.h"
#include "platform/Clock.h"
#include "platform/linux/EndSignals.h"
#include "platform/linux/LogindWatcher.h"
#include "platform/linux/PowerSupply.h"

using namespace shell;

namespace platform {
namespace {

// logind's watch delivers on a thread of its own, to a plain function.
std::atomic<SaverLoop*> sleepTarget{nullptr};

void OnSleep(bool starting) {
  if (SaverLoop* loop = sleepTarget.load()) loop->Post(WmPowerBroadcast, starting ? PbtSuspend : PbtResumeSuspend, 0);
}

}  // namespace

void SaverLoop::Post(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
  posted.Post({message, wordParam, longParam});
}

void SaverLoop::Dispatch(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
  if (quit) return;
  if (message == WmUser && !options.closeRules) {
    FailWithoutBox();
    return;
  }
  options.proc(window.Handle(), message, wordParam, longParam);
}

// In XScreenSaver's modes a message box would sit on the desktop or under the lock with nobody
// to answer it, and the saver would wait on it: the message goes to stderr instead, and the run
// fails once the usual close has run.
void SaverLoop::FailWithoutBox() {
  appLog.Write(Notify, "Exit with error");
  const char* text = appLog.UserMessage();
  std::fprintf(stderr, "velmora: %s\n", text ? text : "the saver could not start");
  failed = true;
  Dispatch(WmClose, 0, 0);
}

void SaverLoop::DrainPosted() {
  PostedMessages::Message next;
  while (!quit && posted.Take(next)) Dispatch(next.message, next.wordParam, next.longParam);
}

int SaverLoop::Run() {
  if (options.watchPower) {
    sleepTarget = this;
    WatchLogindSleep(OnSleep);
  }
  Dispatch(WmCreate, 0, 0);
  window.Created(*this);
  std::uint32_t lastAcPoll = TickCount();
  while (!quit) {
    DrainPosted();
    if (quit) break;
    window.PrepareRead(*this);
    if (quit) {
      window.CancelRead();
      break;
    }
    int timeout = -1;
    if (options.watchPower) {
      const std::uint32_t since = TickCount() - lastAcPoll;
      timeout = since >= options.acPollMs ? 0 : static_cast<int>(options.acPollMs - since);
    }
    pollfd fds[4] = {{window.EventFd(), POLLIN, 0},
                     {posted.WakeFd(), POLLIN, 0},
                     {EndSignalFd(), POLLIN, 0},
                     {ResetSignalFd(), POLLIN, 0}};
    poll(fds, 4, timeout);
    window.Read(*this, fds[0].revents);
    if (fds[1].revents & POLLIN) posted.ClearWake();
    // A signal, also one that came during start-up: the same close as any other.
    if ((fds[2].revents & POLLIN) && TakeEndSignals()) Post(WmClose, 0, 0);
    if ((fds[3].revents & POLLIN) && TakeResetSignals() && options.restartFlight)
      options.restartFlight();
    if (options.watchPower && TickCount() - lastAcPoll >= options.acPollMs) {
      lastAcPoll = TickCount();
      Post(WmPowerBroadcast, PbtPowerStatusChange, 0);
    }
  }
  SaverLoop* self = this;
  sleepTarget.compare_exchange_strong(self, nullptr);
  return failed ? -1 : quitCode;
}

std::uint8_t SaverLoop::AcLineStatus() { return ReadAcLineStatus(); }

void SaverLoop::PostMessage(WindowHandle target, unsigned message, std::uintptr_t wordParam,
                            std::intptr_t longParam) {
  // Only the saver window has a message queue here.
  if (target == window.Handle()) Post(message, wordParam, longParam);
}

void SaverLoop::PostQuit(int code) {
  quit = true;
  quitCode = code;
}

std::intptr_t SaverLoop::DefaultWindowProc(WindowHandle, unsigned message, std::uintptr_t,
                                           std::intptr_t) {
  if (message != WmClose) return 0;
  // A window of XScreenSaver's stays; the saver's part in it ends the same way.
  if (window.DestroyWindow()) options.proc(window.Handle(), WmDestroy, 0, 0);
  return 0;
}

}  // namespace platform
