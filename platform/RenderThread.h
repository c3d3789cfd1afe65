#pragma once
#include "platform/Types.h"

namespace platform {

using RenderThreadEntry = unsigned (*)(WindowHandle window);

// Starts the one render thread of this process with entry(window). Returns false when no
// thread could be started (nothing is drawn then; the saver still closes by its rules).
bool StartRenderThread(RenderThreadEntry entry, WindowHandle window);

// Asks the render thread to stop after its current frame and waits until it has ended. Safe to
// call when no thread was started, or when it has already ended on its own.
void StopRenderThread();

// True once StopRenderThread has asked the render thread to end; the frame loop checks it.
bool RenderThreadStopRequested();

}  // namespace platform
