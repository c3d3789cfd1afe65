#pragma once
// SIGTERM, SIGINT and SIGHUP as an orderly close of the saver: caught from the process's first
// moment, each one becomes a byte in a pipe that the saver's loop watches. A signal the process
// was started with ignored stays ignored.
namespace platform {

void CatchEndSignals();
// The pipe's read end (non-blocking), or -1.
int EndSignalFd();
// For modes without a saver loop: the inherited actions again, and a signal that came already
// ends the process as it would have.
void ReleaseEndSignals();

}  // namespace platform
