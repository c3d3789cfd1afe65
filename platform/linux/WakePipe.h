#pragma once
// A non-blocking pipe that wakes a poll: a byte written by any thread, or by a signal handler,
// leaves the read end readable until Drain empties it.
namespace platform {

struct WakePipe {
  int readEnd = -1;
  int writeEnd = -1;

  // False when no pipe could be made; the ends then stay -1.
  bool Open();
  // Async-signal-safe. A full pipe is already awake, so a failed write loses nothing.
  void Wake() const;
  // Empties the pipe; true when a byte had come.
  bool Drain() const;
};

}  // namespace platform
