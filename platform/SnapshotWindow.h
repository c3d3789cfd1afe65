#pragma once
// A plain window with a current OpenGL context for the command-line tools that render frames
// without the saver's shell (the snapshot tool). The context is current on the creating thread.
#include <cstdint>
#include <vector>

namespace platform {

class SnapshotWindow {
 public:
  SnapshotWindow(int width, int height);
  ~SnapshotWindow();
  SnapshotWindow(const SnapshotWindow&) = delete;
  SnapshotWindow& operator=(const SnapshotWindow&) = delete;

  // Window, context and GLEW are up.
  bool Ok() const { return ok_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The back buffer as 8-bit RGB, top row first.
  std::vector<std::uint8_t> ReadRgb() const;
  // What the window shows, as the X server holds it, 8-bit RGB, top row first; empty when the
  // window does not lie wholly on the screen.
  std::vector<std::uint8_t> ReadWindowRgb() const;
  void Swap();
  // Resizes the window and waits until the server has done it; the caller sets the viewport.
  void Resize(int width, int height);
  // Showing a rectangle of the back buffer while keeping it (GLX_MESA_copy_sub_buffer).
  bool CanPresentRect() const;
  void PresentRect(int x, int y, int width, int height);

 private:
  struct Native;
  Native* native_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool ok_ = false;
};

}  // namespace platform
