#include "platform/posix/EndSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Which of them the process was started with ignored (nohup, a shell's background job): those
// stay ignored, as the starter asked, so the saver does not end on some of them and not others
// depending on how far its start has come.
bool inheritedIgnore[3] = {};
int pipeRead = -1;
int pipeWrite = -1;
volatile sig_atomic_t pending = 0;
int resetRead = -1;
int resetWrite = -1;

void OnSignal(int number) {
  const int saved = errno;
  pending = number;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(pipeWrite, &byte, 1);
  errno = saved;
}

void OnReset(int) {
  const int saved = errno;
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = write(resetWrite, &byte, 1);  // full: one is enough
  errno = saved;
}

// A non-blocking pipe for a handler to write a byte into; false when none could be made.
bool OpenPipe(int& readEnd, int& writeEnd) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  readEnd = fds[0];
  writeEnd = fds[1];
  return true;
}

struct sigaction ActionOf(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  return action;
}

bool Drain(int fd) {
  char bytes[64];
  bool any = false;
  while (fd >= 0 && read(fd, bytes, sizeof bytes) > 0) any = true;
  return any;
}

}  // namespace

void CatchEndSignals() {
  if (!OpenPipe(pipeRead, pipeWrite)) return;
  const struct sigaction action = ActionOf(OnSignal);
  for (int i = 0; i < 3; ++i) {
    struct sigaction old {};
    sigaction(EndingSignals[i], nullptr, &old);
    inheritedIgnore[i] = old.sa_handler == SIG_IGN;
    if (!inheritedIgnore[i]) sigaction(EndingSignals[i], &action, nullptr);
  }
}

int EndSignalFd() { return pipeRead; }

bool TakeEndSignals() { return Drain(pipeRead); }

void ReleaseEndSignals() {
  for (int i = 0; i < 3; ++i) signal(EndingSignals[i], inheritedIgnore[i] ? SIG_IGN : SIG_DFL);
  if (pending != 0) raise(pending);
}

void CatchResetSignal() {
  struct sigaction old {};
  sigaction(SIGUSR1, nullptr, &old);
  if (old.sa_handler == SIG_IGN || resetRead >= 0 || !OpenPipe(resetRead, resetWrite)) return;
  const struct sigaction action = ActionOf(OnReset);
  sigaction(SIGUSR1, &action, nullptr);
}

int ResetSignalFd() { return resetRead; }

bool TakeResetSignals() { return Drain(resetRead); }

}  // namespace platform
