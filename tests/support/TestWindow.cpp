#include "support/TestWindow.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

#include "platform/x11/X11Notify.h"

TestWindow::TestWindow(int width, int height, unsigned long visualId) {
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return;
  const int screen = DefaultScreen(display_);
  const Window root = RootWindow(display_, screen);
  Visual* visual = DefaultVisual(display_, screen);
  int depth = DefaultDepth(display_, screen);
  XSetWindowAttributes attributes{};
  unsigned long mask = CWBackPixel | CWBorderPixel;
  attributes.background_pixel = WhitePixel(display_, screen);
  attributes.border_pixel = 0;
  if (visualId != 0) {
    XVisualInfo wanted{};
    wanted.visualid = visualId;
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
    if (info == nullptr) return;
    visual = info->visual;
    depth = info->depth;
    XFree(info);
    colormap_ = XCreateColormap(display_, root, visual, AllocNone);
    attributes.colormap = colormap_;
    attributes.background_pixel = 0xffffff;
    mask |= CWColormap;
  }
  window_ = XCreateWindow(display_, root, 0, 0, width, height, 0, depth, InputOutput, visual, mask,
                          &attributes);
  // Window messages are delivered to those who select StructureNotifyMask.
  XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
  XMapWindow(display_, window_);
  XEvent event;
  do XWindowEvent(display_, window_, StructureNotifyMask, &event);
  while (event.type != MapNotify);
}

TestWindow::~TestWindow() {
  Destroy();
  if (colormap_ != 0) XFreeColormap(display_, colormap_);
  if (display_ != nullptr) XCloseDisplay(display_);
}

bool TestWindow::WaitForMessage(Message& message, int timeoutMs) {
  if (display_ == nullptr) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      platform::x11::WindowMessage m;
      if (platform::x11::DecodeWindowMessage(display_, event, m)) {
        message = {m.message, m.wordParam};
        return true;
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

long TestWindow::ScreenPixel(int x, int y) {
  if (window_ == 0) return -1;
  XImage* image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return -1;
  const long pixel = static_cast<long>(XGetPixel(image, 0, 0) & 0xffffff);
  XDestroyImage(image);
  return pixel;
}

void TestWindow::Resize(int width, int height) {
  if (window_ == 0) return;
  XResizeWindow(display_, window_, width, height);
  XSync(display_, False);
}

void TestWindow::Destroy() {
  if (window_ == 0) return;
  XDestroyWindow(display_, window_);
  XSync(display_, False);
  window_ = 0;
}

unsigned long TestWindow::FindVisualWithoutDoubleBuffer() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  XVisualInfo wanted{};
  wanted.screen = DefaultScreen(display);
  wanted.depth = DefaultDepth(display, wanted.screen);
  wanted.c_class = TrueColor;
  int count = 0;
  XVisualInfo* all =
      XGetVisualInfo(display, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
  unsigned long found = 0;
  for (int i = 0; i < count && found == 0; ++i) {
    int gl = 0, doubleBuffer = 0;
    glXGetConfig(display, &all[i], GLX_USE_GL, &gl);
    glXGetConfig(display, &all[i], GLX_DOUBLEBUFFER, &doubleBuffer);
    if (gl && !doubleBuffer) found = all[i].visualid;
  }
  if (all != nullptr) XFree(all);
  XCloseDisplay(display);
  return found;
}
