#include "platform/SnapshotWindow.h"

#include <GL/glew.h>
#include <GL/glxew.h>
#include <X11/Xutil.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>

namespace platform {

struct SnapshotWindow::Native {
  Display* display = nullptr;
  Window window = 0;
  Colormap colormap = 0;
  GLXContext context = nullptr;
};

SnapshotWindow::SnapshotWindow(int width, int height)
    : native_(new Native), width_(width), height_(height) {
  Native& n = *native_;
  n.display = XOpenDisplay(nullptr);
  if (!n.display) {
    std::fprintf(stderr, "no X display\n");
    return;
  }
  int attributes[] = {GLX_RGBA,      GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                      GLX_BLUE_SIZE, 8,                GLX_DEPTH_SIZE, 8, None};
  const int screen = DefaultScreen(n.display);
  XVisualInfo* visual = glXChooseVisual(n.display, screen, attributes);
  if (!visual) {
    std::fprintf(stderr, "no RGBA double-buffered visual\n");
    return;
  }
  const Window root = RootWindow(n.display, screen);
  n.colormap = XCreateColormap(n.display, root, visual->visual, AllocNone);
  XSetWindowAttributes wa{};
  wa.colormap = n.colormap;
  n.window = XCreateWindow(n.display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap, &wa);
  XMapWindow(n.display, n.window);
  XSync(n.display, False);
  n.context = glXCreateContext(n.display, visual, nullptr, True);
  XFree(visual);
  if (!n.context || !glXMakeCurrent(n.display, n.window, n.context)) {
    std::fprintf(stderr, "no OpenGL context\n");
    return;
  }
  if (glewInit() != GLEW_OK || !GLEW_VERSION_2_0) {
    std::fprintf(stderr, "OpenGL 2.0 is not available\n");
    return;
  }
  glViewport(0, 0, width, height);
  ok_ = true;
}

SnapshotWindow::~SnapshotWindow() {
  Native& n = *native_;
  if (n.context) {
    glXMakeCurrent(n.display, None, nullptr);
    glXDestroyContext(n.display, n.context);
  }
  if (n.window) XDestroyWindow(n.display, n.window);
  if (n.colormap) XFreeColormap(n.display, n.colormap);
  if (n.display) XCloseDisplay(n.display);
  delete native_;
}

std::vector<std::uint8_t> SnapshotWindow::ReadRgb() const {
  std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(width_) * height_ * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<std::uint8_t> rgb(bottomUp.size());
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  for (int y = 0; y < height_; ++y) {
    std::copy_n(bottomUp.data() + row * (height_ - 1 - y), row, rgb.data() + row * y);
  }
  return rgb;
}

std::vector<std::uint8_t> SnapshotWindow::ReadWindowRgb() const {
  std::vector<std::uint8_t> rgb;
  if (!ok_) return rgb;
  // The server gives the image of a window only where it lies on the screen.
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(native_->display, native_->window, &attributes) == 0 ||
      attributes.x < 0 || attributes.y < 0 ||
      attributes.x + width_ > WidthOfScreen(attributes.screen) ||
      attributes.y + height_ > HeightOfScreen(attributes.screen))
    return rgb;
  rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
  XImage* image = XGetImage(native_->display, native_->window, 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), AllPlanes, ZPixmap);
  if (!image) return {};
  // A 24-bit true-colour window: each channel's mask is a run of eight bits.
  const auto channel = [](unsigned long pixel, unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
      mask >>= 1;
      ++shift;
    }
    return static_cast<std::uint8_t>((pixel >> shift) & 0xFF);
  };
  std::size_t at = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      rgb[at++] = channel(pixel, image->red_mask);
      rgb[at++] = channel(pixel, image->green_mask);
      rgb[at++] = channel(pixel, image->blue_mask);
    }
  }
  XDestroyImage(image);
  return rgb;
}

void SnapshotWindow::Resize(int width, int height) {
  if (!ok_) return;
  XResizeWindow(native_->display, native_->window, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
  XSync(native_->display, False);
  // The software driver learns a drawable's new size at a swap; a frame shown by copying would
  // still draw at the old one.
  glXSwapBuffers(native_->display, native_->window);
  width_ = width;
  height_ = height;
}

bool SnapshotWindow::CanPresentRect() const {
  return ok_ && GLXEW_MESA_copy_sub_buffer && glXCopySubBufferMESA != nullptr;
}

void SnapshotWindow::PresentRect(int x, int y, int width, int height) {
  if (CanPresentRect() && width > 0 && height > 0)
    glXCopySubBufferMESA(native_->display, native_->window, x, y, width, height);
}

void SnapshotWindow::Swap() {
  if (ok_) glXSwapBuffers(native_->display, native_->window);
}

}  // namespace platform
