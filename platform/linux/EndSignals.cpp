#include "platform/linux/EndSignals.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>

#include "platform/linux/WakePipe.h"

namespace platform {
namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Which of them the process was started with ignored (nohup, a shell's background job): those
// stay ignored, as the starter asked, so the saver does not end on some of them and not others
// depending on how far its start has come.
bool inheritedIgnore[3] = {};
WakePipe endPipe;
volatile sig_atomic_t pending = 0;
WakePipe resetPipe;

void OnSignal(int number) {
  const int saved = errno;
  pending = number;
  endPipe.Wake();
  errno = saved;
}

void OnReset(int) {
  const int saved = errno;
  resetPipe.Wake();  // several resets before the loop looks are one
  errno = saved;
}

struct sigaction ActionOf(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  return action;
}

}  // namespace

void CatchEndSignals() {
  if (!endPipe.Open()) return;
  const struct sigaction action = ActionOf(OnSignal);
  for (int i = 0; i < 3; ++i) {
    struct sigaction old {};
    sigaction(EndingSignals[i], nullptr, &old);
    inheritedIgnore[i] = old.sa_handler == SIG_IGN;
    if (!inheritedIgnore[i]) sigaction(EndingSignals[i], &action, nullptr);
  }
}

int EndSignalFd() { return endPipe.readEnd; }

bool TakeEndSignals() { return endPipe.Drain(); }

void ReleaseEndSignals() {
  for (int i = 0; i < 3; ++i) signal(EndingSignals[i], inheritedIgnore[i] ? SIG_IGN : SIG_DFL);
  if (pending != 0) raise(pending);
}

namespace {

void SetResetSignalBlocked(bool blocked) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGUSR1);
  pthread_sigmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

void HoldResetSignal() { SetResetSignalBlocked(true); }

void ReleaseResetSignal() { SetResetSignalBlocked(false); }

void CatchResetSignal() {
  struct sigaction old {};
  sigaction(SIGUSR1, nullptr, &old);
  if (old.sa_handler != SIG_IGN && resetPipe.readEnd < 0) {
    // Without a pipe to carry it a reset is lost, but it must still not end the saver.
    const struct sigaction action =
        resetPipe.Open() ? ActionOf(OnReset) : ActionOf(SIG_IGN);
    sigaction(SIGUSR1, &action, nullptr);
  }
  SetResetSignalBlocked(false);
}

int ResetSignalFd() { return resetPipe.readEnd; }

bool TakeResetSignals() { return resetPipe.Drain(); }

}  // namespace platform
