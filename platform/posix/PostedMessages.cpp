#include "platform/posix/PostedMessages.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

PostedMessages::PostedMessages() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead = fds[0];
    wakeWrite = fds[1];
  }
}

void PostedMessages::Post(const Message& message) {
  {
    std::lock_guard<std::mutex> hold(lock);
    queue.push_back(message);
  }
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);  // full pipe: already awake
}

bool PostedMessages::Take(Message& next) {
  std::lock_guard<std::mutex> hold(lock);
  if (queue.empty()) return false;
  next = queue.front();
  queue.pop_front();
  return true;
}

void PostedMessages::ClearWake() {
  char bytes[64];
  while (read(wakeRead, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace platform
