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
  // The back buffer as 8-bit RGB, top row first.
  std::vector<std::uint8_t> ReadRgb() const;
  void Swap();

 private:
  struct Native;
  Native* native_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool ok_ = false;
};

}  // namespace platform
