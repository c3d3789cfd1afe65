#pragma once
// What the Win32 render thread offers beyond platform/RenderThread.h: tests shorten the wait of
// a stop.

namespace platform {

// How long StopRenderThread waits for the thread to end: 5000 ms unless a test sets another.
void SetRenderThreadStopLimit(unsigned milliseconds);

}  // namespace platform
