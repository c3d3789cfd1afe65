// WGL through the platform layer on a real window: the pixel format, the context, GLEW with
// OpenGL 2.0 and the swap-control extension, no stencil, the swap interval and a frame read back.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/GlSurface.h"

namespace {

TEST(Win32GlSurface, ContextGlewSwapControlAndAFrame) {
  WNDCLASSW cls{};
  cls.style = CS_OWNDC;
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"VelmoraGlTest";
  RegisterClassW(&cls);
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"gl", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48,
                                nullptr, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<platform::WindowHandle>(window);

  platform::DeviceContext dc = platform::AcquireDeviceContext(handle);
  ASSERT_NE(dc, nullptr);
  platform::GlContext gl = platform::CreateGlContext(dc);
  ASSERT_NE(gl, nullptr);
  platform::MakeCurrent(dc, gl);
  ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
  EXPECT_TRUE(GLEW_VERSION_2_0);
  EXPECT_TRUE(platform::SwapControlAvailable(dc));
  platform::SetSwapInterval(dc, 0);

  GLint depth = 0, stencil = -1;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  EXPECT_GE(depth, 8);
  EXPECT_EQ(stencil, 0);  // none was asked for, and the device has formats without
  glClearColor(0.1f, 0.2f, 0.2f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_NEAR(pixel[0], 26, 2);
  EXPECT_NEAR(pixel[1], 51, 2);
  platform::SwapBuffers(dc);

  const platform::ScreenSize screen = platform::GetScreenSize(dc);
  EXPECT_EQ(screen.width, 1024);  // the suite's Xvfb screen
  EXPECT_EQ(screen.height, 768);

  wglMakeCurrent(nullptr, nullptr);
  platform::DeleteGlContext(dc, gl);
  platform::ReleaseDeviceContext(handle, dc);
  DestroyWindow(window);
}

}  // namespace
