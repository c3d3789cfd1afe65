#pragma once
// What the Win32 render thread offers beyond platform/RenderThread.h: the fault filter asks
// which thread faulted.

namespace platform {

// True when called on the render thread while it runs.
bool OnRenderThread();

}  // namespace platform
