#include "GlTestContext.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>

#include "render/VideoInit.h"

struct GlTestContext::Native {
  Display* display = nullptr;
  Window window = 0;
  Colormap colormap = 0;
  GLXContext context = nullptr;
};

GlTestContext::GlTestContext(int width, int height) : width_(width), height_(height) {
  native_ = new Native;
  Native& n = *native_;
  n.display = XOpenDisplay(nullptr);
  if (n.display == nullptr) {
    std::fprintf(stderr, "GlTestContext: no X display\n");
    return;
  }
  int attributes[] = {GLX_RGBA,     GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                      GLX_BLUE_SIZE, 8,               GLX_DEPTH_SIZE, 8, None};
  const int screen = DefaultScreen(n.display);
  XVisualInfo* visual = glXChooseVisual(n.display, screen, attributes);
  if (visual == nullptr) {
    std::fprintf(stderr, "GlTestContext: no RGBA double-buffered visual\n");
    return;
  }
  const Window root = RootWindow(n.display, screen);
  n.colormap = XCreateColormap(n.display, root, visual->visual, AllocNone);
  XSetWindowAttributes wa{};
  wa.colormap = n.colormap;
  wa.border_pixel = 0;
  n.window = XCreateWindow(n.display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap | CWBorderPixel, &wa);
  XMapWindow(n.display, n.window);
  XSync(n.display, False);
  n.context = glXCreateContext(n.display, visual, nullptr, True);
  XFree(visual);
  if (n.context == nullptr || !glXMakeCurrent(n.display, n.window, n.context)) {
    std::fprintf(stderr, "GlTestContext: no OpenGL context\n");
    return;
  }
  if (glewInit() != GLEW_OK || !GLEW_VERSION_2_0) {
    std::fprintf(stderr, "GlTestContext: GLEW or OpenGL 2.0 missing\n");
    return;
  }
  glViewport(0, 0, width, height);
  // The saver's own camera and state, so that a fault in them shows in every display test.
  SetFixedCamera();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  ok_ = true;
}

GlTestContext::~GlTestContext() {
  Native& n = *native_;
  if (n.context != nullptr) {
    glXMakeCurrent(n.display, None, nullptr);
    glXDestroyContext(n.display, n.context);
  }
  if (n.window != 0) XDestroyWindow(n.display, n.window);
  if (n.colormap != 0) XFreeColormap(n.display, n.colormap);
  if (n.display != nullptr) XCloseDisplay(n.display);
  delete native_;
}

GlTestContext::Rgba GlTestContext::ReadPixel(int x, int y) const {
  Rgba p;
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
  return p;
}

std::vector<GlTestContext::Rgba> GlTestContext::ReadPixels() const {
  std::vector<Rgba> pixels(static_cast<std::size_t>(width_) * height_);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

GlTestContext::WindowPoint GlTestContext::Project(double x, double y, double z) const {
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  WindowPoint w;
  gluProject(x, y, z, model, projection, viewport, &w.x, &w.y, &w.depth);
  return w;
}

void GlTestContext::Swap() { glXSwapBuffers(native_->display, native_->window); }

bool GlTestContext::SavePpm(const std::string& path) const {
  const std::vector<Rgba> pixels = ReadPixels();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
  for (int y = height_ - 1; y >= 0; --y)
    for (int x = 0; x < width_; ++x) {
      const Rgba& p = pixels[static_cast<std::size_t>(y) * width_ + x];
      const unsigned char rgb[3] = {p.r, p.g, p.b};
      std::fwrite(rgb, 1, 3, file);
    }
  return std::fclose(file) == 0;
}
