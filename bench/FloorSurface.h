#pragma once
// The floor the saver's drawing is measured against: the saver's own window surface (the same
// visual rules, context, GLEW and swap path), swap interval 0, and frames that only clear both
// buffers to the saver's clear colour and swap. Whatever the saver costs above it is ours.
#include <GL/glew.h>

#include "platform/GlSurface.h"

struct FloorSurface {
  platform::DeviceContext dc = nullptr;
  platform::GlContext context = nullptr;

  // False when the window cannot be made an OpenGL 2.0 surface; Close() still releases.
  bool Open(platform::WindowHandle window) {
    dc = platform::AcquireDeviceContext(window);
    context = platform::CreateGlContext(dc);
    if (context == nullptr) return false;
    platform::MakeCurrent(dc, context);
    if (glewInit() != GLEW_OK || !GLEW_VERSION_2_0) return false;
    platform::SetSwapInterval(dc, 0);
    glClearColor(0.1f, 0.2f, 0.2f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    return true;
  }

  void Frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    platform::SwapBuffers(dc);
  }

  // From the thread that opened it, or from another once that thread let the context go.
  void Close(platform::WindowHandle window) {
    platform::DeleteGlContext(dc, context);
    platform::ReleaseDeviceContext(window, dc);
    dc = context = nullptr;
  }
};
