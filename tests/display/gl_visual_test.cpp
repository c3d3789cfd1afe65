// The buffers the saver draws into on X11, in each way it gets its window: no stencil (it costs
// every depth clear a read-modify-write in the software driver), 8 bits per colour, a depth
// buffer, whatever visual the window itself has. The root window is the exception: it is drawn
// on directly with its own visual, since a child of it would be a top-level window.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include "platform/GlSurface.h"
#include "platform/x11/SaverWindow.h"

namespace {

TEST(GlVisual, EveryModeDrawsWithoutStencilAndTheRequestedColourAndDepth) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const Window root = DefaultRootWindow(display);
  // A host's window of the default visual, as XScreenSaver or a preview host give one; under
  // Mesa that visual carries a stencil.
  const Window host = XCreateSimpleWindow(display, root, 0, 0, 160, 120, 0, 0, 0);
  XMapWindow(display, host);
  XSync(display, False);
  const platform::SaverWindow full = platform::CreateFullScreenWindow(display);
  const platform::SaverWindow preview = platform::CreatePreviewWindow(display, host);
  const struct {
    const char* name;
    Window window;
    bool stencilFree;
  } cases[] = {
      {"full screen", full.window, true},
      {"preview", preview.window, true},
      {"host window", host, true},
      {"root window", root, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.window, 0u);
    platform::DeviceContext dc = platform::AcquireDeviceContext(c.window);
    ASSERT_NE(dc, nullptr);
    platform::GlContext gl = platform::CreateGlContext(dc);
    ASSERT_NE(gl, nullptr);
    platform::MakeCurrent(dc, gl);
    GLint stencil = -1, depth = -1, red = -1, green = -1, blue = -1;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    if (c.stencilFree) {
      EXPECT_EQ(stencil, 0);
    }
    EXPECT_GE(depth, 8);
    EXPECT_EQ(red, 8);
    EXPECT_EQ(green, 8);
    EXPECT_EQ(blue, 8);
    platform::MakeCurrent(dc, nullptr);
    platform::DeleteGlContext(dc, gl);
    platform::ReleaseDeviceContext(c.window, dc);
  }
  XCloseDisplay(display);
}

}  // namespace
