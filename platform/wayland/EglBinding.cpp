#include "platform/wayland/EglBinding.h"

#include <EGL/eglext.h>

#include <cstring>

namespace platform::egl {

bool Open(EGLenum platform, void* nativeDisplay, Binding& binding) {
  binding.display = eglGetPlatformDisplay(platform, nativeDisplay, nullptr);
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
  const char* extensions = eglQueryString(binding.display, EGL_EXTENSIONS);
  // Whole names only: one may be the start of another.
  const auto has = [extensions](const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = extensions; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
      if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
        return true;
    }
    return false;
  };
  binding.bufferAge = has("EGL_EXT_buffer_age");
  binding.surfaceless = has("EGL_KHR_surfaceless_context");
  if (has("EGL_KHR_swap_buffers_with_damage")) {
    binding.swapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageKHR"));
  } else if (has("EGL_EXT_swap_buffers_with_damage")) {
    binding.swapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageEXT"));
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

EGLSurface CreateSurface(const Binding& binding, void* nativeWindow) {
  return eglCreateWindowSurface(binding.display, binding.config,
                                reinterpret_cast<EGLNativeWindowType>(nativeWindow), nullptr);
}

bool MakeCurrent(const Binding& binding, EGLSurface surface, EGLContext context) {
  return eglMakeCurrent(binding.display, surface, surface, context) == EGL_TRUE;
}

void SwapBuffers(const Binding& binding, EGLSurface surface) {
  eglSwapBuffers(binding.display, surface);
}

int BufferAge(const Binding& binding, EGLSurface surface) {
  EGLint age = 0;
  if (!eglQuerySurface(binding.display, surface, EGL_BUFFER_AGE_EXT, &age)) return 0;
  return age;
}

void SwapBuffersWithDamage(const Binding& binding, EGLSurface surface, int x, int y, int width,
                           int height) {
  EGLint rect[4] = {x, y, width, height};
  binding.swapWithDamage(binding.display, surface, rect, 1);
}

void SetSwapInterval(const Binding& binding, int interval) {
  eglSwapInterval(binding.display, interval);
}

void DestroyContext(const Binding& binding, EGLContext context) {
  eglDestroyContext(binding.display, context);
}

void DestroySurface(const Binding& binding, EGLSurface surface) {
  eglDestroySurface(binding.display, surface);
}

void ReleaseCurrent() {
  const EGLDisplay display = eglGetCurrentDisplay();
  if (display != EGL_NO_DISPLAY)
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

}  // namespace platform::egl
