#pragma once
// The saver window's posted messages on a Unix loop: any thread posts, the loop's thread takes
// them in order. A byte in a pipe wakes the loop's poll, so a post never waits for the loop.
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/linux/WakePipe.h"

namespace platform {

class PostedMessages {
 public:
  struct Message {
    unsigned message = 0;
    std::uintptr_t wordParam = 0;
    std::intptr_t longParam = 0;
  };

  PostedMessages();
  PostedMessages(const PostedMessages&) = delete;
  PostedMessages& operator=(const PostedMessages&) = delete;

  void Post(const Message& message);
  // The oldest message not yet taken, if any.
  bool Take(Message& next);
  // Readable while posts wait to be woken for; poll it, then ClearWake.
  int WakeFd() const { return wake.readEnd; }
  void ClearWake();

 private:
  std::mutex lock;
  std::deque<Message> queue;
  WakePipe wake;
};

}  // namespace platform
