#pragma once
// SIGTERM, SIGINT and SIGHUP as an orderly close of the saver: caught from the process's first
// moment, each one becomes a byte in a pipe that the saver's loop watches. A signal the process
// was started with ignored stays ignored.
namespace platform {

void CatchEndSignals();
// The pipe's read end (non-blocking), or -1.
int EndSignalFd();
// Empties the pipe; true when a signal had come.
bool TakeEndSignals();
// For modes without a saver loop: the inherited actions again, and a signal that came already
// ends the process as it would have.
void ReleaseEndSignals();

// SIGUSR1 held back (blocked) from the process's first moment, before any thread exists: a locker
// may send its reset before the saver knows its mode, and its default action would end the
// process. CatchResetSignal takes it from there; every other mode calls ReleaseResetSignal.
void HoldResetSignal();
// The usual action of SIGUSR1 again; one that came while held acts now, as it would have.
void ReleaseResetSignal();

// XScreenSaver's modes: SIGUSR1 asks the saver to start its flight afresh (a locker sends it when
// its prompt closes) instead of ending it. Each one becomes a byte in a pipe of its own, so that
// nothing watching the end signals mistakes it for one. Ignored when the process was started
// with it ignored, or when the pipe cannot be made. A reset held back since start-up comes now.
void CatchResetSignal();
// That pipe's read end (non-blocking), or -1.
int ResetSignalFd();
// Empties that pipe; true when a reset had been asked for.
bool TakeResetSignals();

}  // namespace platform
