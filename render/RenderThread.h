#pragma once
#include "platform/Types.h"

// The message number the render thread posts to the saver window when its start failed (the
// platform's first user message); the word parameter carries the failure code.
constexpr unsigned RenderStartFailedMessage = 1024;

// The render thread's entry: initialises video and the scene on `window`, then draws frames until
// platform::StopRenderThread asks it to end. On a failed start it logs, tells the window and
// ends. Returns 0.
unsigned RenderThreadProc(platform::WindowHandle window);

// When set (XScreenSaver's modes, whose window may be resized), the frame loop follows the
// drawable's size with the viewport; the saver's own modes keep the viewport the context started
// with. Set before the render thread starts.
void SetFollowWindowSize(bool follow);

// Any thread: the next frame starts the flight afresh, as at the saver's start.
void RestartFlight();
