#include "platform/x11/GlxBinding.h"

#include <GL/glew.h>
#include <GL/glxew.h>

namespace platform {
namespace {

int Config(Display* display, XVisualInfo* visual, int attribute) {
  int value = 0;
  return glXGetConfig(display, visual, attribute, &value) == 0 ? value : 0;
}

}  // namespace

namespace x11 {

bool IsGlVisualUsable(Display* display, XVisualInfo* visual, bool stencilAllowed) {
  return Config(display, visual, GLX_USE_GL) && Config(display, visual, GLX_RGBA) &&
         Config(display, visual, GLX_DOUBLEBUFFER) && Config(display, visual, GLX_LEVEL) == 0 &&
         Config(display, visual, GLX_RED_SIZE) >= 8 &&
         Config(display, visual, GLX_GREEN_SIZE) >= 8 &&
         Config(display, visual, GLX_BLUE_SIZE) >= 8 &&
         Config(display, visual, GLX_DEPTH_SIZE) >= 8 &&
         (stencilAllowed || Config(display, visual, GLX_STENCIL_SIZE) == 0);
}

XVisualInfo* ChooseGlVisual(Display* display, int screen) {
  // No stencil is asked for, and GLX prefers the smallest stencil buffer that satisfies it: a
  // stencil makes every depth clear a read-modify-write in the software driver.
  int attributes[] = {GLX_RGBA,       GLX_DOUBLEBUFFER, GLX_RED_SIZE,     8, GLX_GREEN_SIZE, 8,
                      GLX_BLUE_SIZE,  8,                GLX_DEPTH_SIZE,   8, GLX_STENCIL_SIZE, 0,
                      None};
  return glXChooseVisual(display, screen, attributes);
}

}  // namespace x11

namespace glx {

GlContext CreateContext(Display* display, XVisualInfo* visual) {
  return glXCreateContext(display, visual, nullptr, True);
}

bool MakeCurrent(Display* display, Drawable drawable, GlContext context) {
  return glXMakeCurrent(display, drawable, static_cast<GLXContext>(context)) == True;
}

void SwapBuffers(Display* display, Drawable drawable) { glXSwapBuffers(display, drawable); }

bool CopySubBufferAvailable() {
  return GLXEW_MESA_copy_sub_buffer && glXCopySubBufferMESA != nullptr;
}

void CopySubBuffer(Display* display, Drawable drawable, int x, int y, int width, int height) {
  glXCopySubBufferMESA(display, drawable, x, y, width, height);
}

bool SwapControlAvailable() { return GLXEW_EXT_swap_control; }

bool SetSwapInterval(Display* display, Drawable drawable, int interval) {
  if (glXSwapIntervalEXT == nullptr) return false;
  glXSwapIntervalEXT(display, drawable, interval);
  return true;
}

void DestroyContext(Display* display, GlContext context) {
  glXDestroyContext(display, static_cast<GLXContext>(context));
}

void ReleaseCurrent() {
  if (glXGetCurrentContext() != nullptr) glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
}

GlContext CurrentContext() { return glXGetCurrentContext(); }

Display* CurrentDisplay() { return glXGetCurrentDisplay(); }

void UseXFont(Font font, int first, int count, unsigned listBase) {
  glXUseXFont(font, first, count, static_cast<int>(listBase));
}

}  // namespace glx

}  // namespace platform
