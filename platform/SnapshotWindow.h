#pragma once
// A plain window for the command-line tools that show the saver's frames without its shell (the
// snapshot tool): the tool makes it an OpenGL surface the way the saver does its own window
// (InitVideo) and reads back what the window shows.
#include <cstdint>
#include <vector>

#include "platform/Types.h"

namespace platform {

class SnapshotWindow {
 public:
  // A mapped window of that size at the screen's top left corner.
  SnapshotWindow(int width, int height);
  ~SnapshotWindow();
  SnapshotWindow(const SnapshotWindow&) = delete;
  SnapshotWindow& operator=(const SnapshotWindow&) = delete;

  bool Ok() const { return ok_; }
  WindowHandle Handle() const { return handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // What the window shows, as the X server holds it, 8-bit RGB, top row first; empty when the
  // window does not lie wholly on the screen.
  std::vector<std::uint8_t> ReadWindowRgb() const;
  // Resizes the window and waits until the server has done it; the saver's surface follows.
  void Resize(int width, int height);

 private:
  struct Native;
  Native* native_ = nullptr;
  WindowHandle handle_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool ok_ = false;
};

}  // namespace platform
