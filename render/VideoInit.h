#pragma once
#include <atomic>

#include "render/CreatureBounds.h"

#include "platform/Types.h"

// The saver window as seen by OpenGL. Written by the render thread during video initialisation;
// the window thread reads it to release both handles on close, after joining that thread.
struct VideoContext {
  std::atomic<platform::DeviceContext> deviceContext{nullptr};
  std::atomic<platform::GlContext> glContext{nullptr};
};

extern VideoContext videoContext;

// Makes the window an OpenGL 2.0 surface with the fixed camera, then builds the banner and the
// scene. 0 on success, 1 on any failure (what was created stays for the window to release).
int InitVideo(platform::WindowHandle window);

// EnableVSync as the swap interval handed to the driver, in display refreshes per swap: above 4
// counts as 4 (a driver that honours a huge interval holds every swap, and the close, for ever)
// and below 0 as 0.
constexpr int MaxSwapInterval = 4;
int SwapIntervalSetting();

// The fixed camera and state every frame relies on, on the current context.
void SetFixedCamera();

// The fixed camera's projection times model-view (column-major), computed once: what GL holds
// after SetFixedCamera, without reading it back each frame.
using CameraMatrix = CreatureBounds::Matrix4;
const CameraMatrix& FixedCameraTransform();
