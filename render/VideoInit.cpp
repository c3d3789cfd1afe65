#include "render/VideoInit.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <ctime>

#include "base/AppLog.h"
#include "base/Random.h"
#include "base/SettingsStore.h"
#include "platform/GlSurface.h"
#include "platform/OverlayText.h"
#include "render/Banner.h"
#include "render/Scene.h"

void SetFixedCamera() {
  // The aspect ratio stays 4:3 whatever the window's shape.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(21.0, 1.3333333, 0.01, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 4, 0, 0, 0, 0, 1, 0);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_AUTO_NORMAL);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
}

int SwapIntervalSetting() {
  int vsync = 1;
  settingsStore.Get("EnableVSync", vsync);
  return std::clamp(vsync, 0, MaxSwapInterval);
}

int InitVideo(platform::WindowHandle window) {
  // The flight's random choices follow from this seed: two starts in one second fly alike.
  SeedRandom(static_cast<unsigned>(std::time(nullptr)));

  const platform::DeviceContext dc = platform::AcquireDeviceContext(window);
  videoContext.deviceContext.store(dc);
  // A surface that cannot be reached shows up here, as a context that cannot be created.
  const platform::GlContext context = platform::CreateGlContext(dc);
  videoContext.glContext.store(context);
  if (context == nullptr) return 1;
  appLog.Write(Notify, "Context for OpenGL has been created");
  platform::MakeCurrent(dc, context);

  // A GLEW built for GLX loads the entry points and then finds no GLX display on an EGL
  // context: that answer is the only one it can give there, and the entry points are loaded.
  const GLenum glew = glewInit();
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) return 1;
  appLog.Write(Notify, "GLEW initialized");
  if (!GLEW_VERSION_2_0) {
    appLog.Write(Error, "Can not initialize OpenGL 2.0");
    return 1;
  }
  appLog.Write(Notify, "OpenGL 2.0 is found");
  // Mandatory even when the interval will be 0.
  if (!platform::SwapControlAvailable(dc)) return 1;
  appLog.Write(Notify, "WGLEW_EXT_swap_control extension is found");

  SetFixedCamera();
  platform::PrepareOverlayText(dc);

  platform::SetSwapInterval(dc, SwapIntervalSetting());
  appLog.Write(Notify, "VSYNC has been setted properly");
  appLog.Write(Notify, "Video initialization has finished successfully");

  if (CreateBannerTexture() != 0) return 1;
  appLog.Write(Notify, "Start scene initialization");
  if (InitScene() != 0) return 1;
  appLog.Write(Notify, "Scene has been initialized successfully");
  return 0;
}
