#include "platform/linux/EndSignals.h"

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

void CatchResetSignal() {
  struct sigaction old {};
  sigaction(SIGUSR1, nullptr, &old);
  if (old.sa_handler == SIG_IGN || resetPipe.readEnd >= 0 || !resetPipe.Open()) return;
  const struct sigaction action = ActionOf(OnReset);
  sigaction(SIGUSR1, &action, nullptr);
}

int ResetSignalFd() { return resetPipe.readEnd; }

bool TakeResetSignals() { return resetPipe.Drain(); }

}  // namespace platform
