#include "platform/wayland/EglBinding.h"

#include <EGL/eglext.h>
#include <wayland-client.h>
#include <wayland-egl.h>

namespace platform::egl {

bool Open(wl_display* connection, Binding& binding) {
  binding.display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, connection, nullptr);
  if (binding.display == EGL_NO_DISPLAY) return false;
  if (!eglInitialize(binding.display, nullptr, nullptr)) return false;
  if (!eglBindAPI(EGL_OPENGL_API)) return false;
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                           EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                           EGL_DEPTH_SIZE, 8, EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(binding.display, wanted, configs, 64, &count) || count == 0) return false;
  // The first is the driver's best; one without stencil is taken where there is one, since a
  // stencil makes every depth clear a read-modify-write in the software driver.
  binding.config = configs[0];
  for (EGLint i = 0; i < count; ++i) {
    EGLint stencil = 0;
    eglGetConfigAttrib(binding.display, configs[i], EGL_STENCIL_SIZE, &stencil);
    if (stencil == 0) {
      binding.config = configs[i];
      break;
    }
  }
  return true;
}

EGLContext CreateContext(const Binding& binding) {
  // The API is the calling thread's: the render thread's would be OpenGL ES otherwise.
  if (!eglBindAPI(EGL_OPENGL_API)) return EGL_NO_CONTEXT;
  // OpenGL 2.0 at least, compatibility profile: below 3.2 every context is one.
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 0,
                               EGL_NONE};
  return eglCreateContext(binding.display, binding.config, EGL_NO_CONTEXT, attributes);
}

EGLSurface CreateSurface(const Binding& binding, wl_egl_window* window) {
  return eglCreateWindowSurface(binding.display, binding.config,
                                reinterpret_cast<EGLNativeWindowType>(window), nullptr);
}

void ReleaseCurrent() {
  const EGLDisplay display = eglGetCurrentDisplay();
  if (display != EGL_NO_DISPLAY)
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

}  // namespace platform::egl
