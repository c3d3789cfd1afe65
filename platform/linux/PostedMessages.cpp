#include "platform/linux/PostedMessages.h"

namespace platform {

PostedMessages::PostedMessages() { wake.Open(); }

void PostedMessages::Post(const Message& message) {
  {
    std::lock_guard<std::mutex> hold(lock);
    queue.push_back(message);
  }
  wake.Wake();
}

bool PostedMessages::Take(Message& next) {
  std::lock_guard<std::mutex> hold(lock);
  if (queue.empty()) return false;
  next = queue.front();
  queue.pop_front();
  return true;
}

void PostedMessages::ClearWake() { wake.Drain(); }

}  // namespace platform
