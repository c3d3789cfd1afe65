#pragma once
// A plain mapped X window for display tests, on the test's own connection, standing where the
// saver window would be: a render thread draws into it, and the window messages the render
// thread posts arrive here.
//
//   TestWindow window(320, 240);
//   ASSERT_TRUE(window.Ok());
//   StartRenderThread(RenderThreadProc, window.Handle());
//   TestWindow::Message m;
//   EXPECT_TRUE(window.WaitForMessage(m, 5000));
#include <cstdint>

#include "platform/Types.h"

class TestWindow {
 public:
  // visualId 0: the screen's default visual; otherwise that visual (with its own colormap).
  // The background is white, so that anything drawn shows against it.
  TestWindow(int width, int height, unsigned long visualId = 0);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  bool Ok() const { return window_ != 0; }
  platform::WindowHandle Handle() const { return window_; }

  struct Message {
    unsigned message = 0;
    std::uintptr_t wordParam = 0;
  };
  // Waits up to timeoutMs for a window message; false when none came.
  bool WaitForMessage(Message& message, int timeoutMs);

  // The colour on screen at (x, y), top left origin, as 0xRRGGBB; -1 when it cannot be read.
  long ScreenPixel(int x, int y);

  void Resize(int width, int height);
  // Destroys the window now, as a preview host that goes away would.
  void Destroy();

  // The first visual of the default screen that is GL-capable but unusable for the saver (no
  // double buffering or no depth buffer), or 0 when the server has none.
  static unsigned long FindVisualWithoutDoubleBuffer();

 private:
  struct _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long colormap_ = 0;
};
