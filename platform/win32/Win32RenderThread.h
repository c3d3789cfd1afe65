#pragma once
// What the Win32 render thread offers beyond platform/RenderThread.h: the fault filter asks
// which thread faulted, and tests shorten the wait of a stop.

namespace platform {

// True when called on the render thread while it runs.
bool OnRenderThread();

// How long StopRenderThread waits for the thread to end: 5000 ms unless a test sets another.
void SetRenderThreadStopLimit(unsigned milliseconds);

}  // namespace platform
