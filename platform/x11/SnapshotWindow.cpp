#include "platform/SnapshotWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>

namespace platform {

struct SnapshotWindow::Native {
  Display* display = nullptr;
  Window window = 0;
};

SnapshotWindow::SnapshotWindow(int width, int height)
    : native_(new Native), width_(width), height_(height) {
  Native& n = *native_;
  n.display = XOpenDisplay(nullptr);
  if (!n.display) {
    std::fprintf(stderr, "no X display\n");
    return;
  }
  // The default visual, as the saver's own windows have: the saver's surface chooses how GL
  // draws on it.
  const int screen = DefaultScreen(n.display);
  n.window = XCreateSimpleWindow(n.display, RootWindow(n.display, screen), 0, 0,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 0, BlackPixel(n.display, screen));
  XMapWindow(n.display, n.window);
  XSync(n.display, False);
  handle_ = n.window;
  ok_ = true;
}

SnapshotWindow::~SnapshotWindow() {
  Native& n = *native_;
  if (n.window) XDestroyWindow(n.display, n.window);
  if (n.display) XCloseDisplay(n.display);
  delete native_;
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
  width_ = width;
  height_ = height;
}

}  // namespace platform
