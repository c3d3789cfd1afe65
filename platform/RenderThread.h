#pragma once
#include "platform/Types.h"

namespace platform {

using RenderThreadEntry = unsigned (*)(WindowHandle window);

// Starts the one render thread of this process with entry(window). Returns false when no
// thread could be started (nothing is drawn then; the saver still closes by its rules).
bool StartRenderThread(RenderThreadEntry entry, WindowHandle window);

// Asks the render thread to stop after its current frame and waits until it has ended. True
// when no render thread runs any more, also when none was started or it ended on its own. False
// when it still runs at the end of the wait: it may be inside a GL call, so its contexts must not
// be released. It gives up after a limit (X11 2 s, Win32 5 s), so that a close never hangs on a
// driver that is stuck; a later call waits again.
bool StopRenderThread();

// How long StopRenderThread waits for the thread to end; tests shorten or lengthen it.
void SetRenderThreadStopLimit(unsigned milliseconds);

// True once StopRenderThread has asked the render thread to end; the frame loop checks it.
bool RenderThreadStopRequested();

// The render thread's sleep: waits up to `microseconds`, and returns at once when StopRenderThread
// asks it to end, so that a paced loop adds nothing to a close.
void WaitForStopRequest(unsigned microseconds);

}  // namespace platform
