#pragma once
// A window with a current OpenGL context for display tests, set up as video initialisation
// leaves it: GLEW loaded and the saver's own SetFixedCamera (its camera, back-face culling of
// clockwise faces and the depth test).
//
//   GlTestContext gl;              // 320 x 240 unless told otherwise
//   ASSERT_TRUE(gl.Ok());
//   ... draw ...
//   GlTestContext::Rgba p = gl.ReadPixel(x, y);   // from the back buffer, (0, 0) bottom left
//
// The context is current on the constructing thread until destruction. Pixels are read from the
// back buffer, so tests need not swap; Swap() shows the frame when a person looks (SavePpm).
#include <cstdint>
#include <string>
#include <vector>

class GlTestContext {
 public:
  explicit GlTestContext(int width = 320, int height = 240);
  ~GlTestContext();
  GlTestContext(const GlTestContext&) = delete;
  GlTestContext& operator=(const GlTestContext&) = delete;

  // The window, the context and GLEW are all up (false: see the message on stderr).
  bool Ok() const { return ok_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
  };
  Rgba ReadPixel(int x, int y) const;
  // Width() x Height() pixels, bottom row first.
  std::vector<Rgba> ReadPixels() const;

  // Window coordinates (x, y from the bottom left, depth in [0, 1]) of a world point under the
  // current matrices and viewport.
  struct WindowPoint {
    double x = 0, y = 0, depth = 0;
  };
  WindowPoint Project(double x, double y, double z) const;

  void Swap();
  // Writes the back buffer as a binary PPM, top row first; false when the file cannot be written.
  bool SavePpm(const std::string& path) const;

 private:
  struct Native;
  Native* native_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool ok_ = false;
};
