#include "platform/linux/WakePipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool WakePipe::Open() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  readEnd = fds[0];
  writeEnd = fds[1];
  return true;
}

void WakePipe::Wake() const {
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
}

bool WakePipe::Drain() const {
  char bytes[64];
  bool any = false;
  while (readEnd >= 0 && read(readEnd, bytes, sizeof bytes) > 0) any = true;
  return any;
}

}  // namespace platform
