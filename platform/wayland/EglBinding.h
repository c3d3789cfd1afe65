#pragma once
// The GL binding over EGL: desktop OpenGL with a compatibility context (the saver draws with the
// fixed-function pipeline and GLSL 1.10). It knows no window system: the caller names its
// platform (EGL_PLATFORM_WAYLAND_KHR, ...) and hands over the native display and window.
#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace platform::egl {

struct Binding {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  // EGL_EXT_buffer_age and a swap that names the damage (the KHR or the EXT extension): with
  // both, a frame may redraw and present only the part that changed.
  bool bufferAge = false;
  PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC swapWithDamage = nullptr;
  // EGL_KHR_surfaceless_context: a context may be current without a surface, drawing into
  // framebuffer objects alone.
  bool surfaceless = false;
};

// Initialises EGL for the native display of `platform` and picks a config: RGB 8 bits each, at
// least 8 depth bits, no stencil where there is such a config, a window surface, desktop OpenGL.
// False when EGL or desktop OpenGL is not there.
bool Open(EGLenum platform, void* nativeDisplay, Binding& binding);
EGLContext CreateContext(const Binding& binding);
// A window surface on the native window (a wl_egl_window on Wayland).
EGLSurface CreateSurface(const Binding& binding, void* nativeWindow);
// EGL_NO_SURFACE where the binding is surfaceless. False when EGL refused.
bool MakeCurrent(const Binding& binding, EGLSurface surface, EGLContext context);
void SwapBuffers(const Binding& binding, EGLSurface surface);
// Where the binding has both extensions: how many frames old the back buffer is (0: its
// contents are undefined), and a swap with one damaged rectangle, from the bottom left corner
// in buffer pixels as GL's window coordinates are.
int BufferAge(const Binding& binding, EGLSurface surface);
void SwapBuffersWithDamage(const Binding& binding, EGLSurface surface, int x, int y, int width,
                           int height);
void SetSwapInterval(const Binding& binding, int interval);
void DestroyContext(const Binding& binding, EGLContext context);
void DestroySurface(const Binding& binding, EGLSurface surface);
// Lets go of the calling thread's current EGL context, if it has one.
void ReleaseCurrent();

}  // namespace platform::egl
