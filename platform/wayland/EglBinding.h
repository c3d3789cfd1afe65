#pragma once
// The Wayland backend's GL binding: EGL on the compositor's connection, desktop OpenGL with a
// compatibility context (the saver draws with the fixed-function pipeline and GLSL 1.10).
#include <EGL/egl.h>

struct wl_display;
struct wl_egl_window;

namespace platform::egl {

struct Binding {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
};

// Initialises EGL for the connection and picks a config: RGB 8 bits each, at least 8 depth bits,
// no stencil where there is such a config, a window surface, desktop OpenGL. False when EGL or
// desktop OpenGL is not there.
bool Open(wl_display* connection, Binding& binding);
EGLContext CreateContext(const Binding& binding);
EGLSurface CreateSurface(const Binding& binding, wl_egl_window* window);
void ReleaseCurrent();

}  // namespace platform::egl
