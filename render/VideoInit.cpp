#include "render/VideoInit.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "base/AppLog.h"
#include "base/Random.h"
#include "base/SettingsStore.h"
#include "platform/GlSurface.h"
#include "platform/OverlayText.h"
#include "render/Banner.h"
#include "render/Scene.h"

namespace {

// The aspect ratio stays 4:3 whatever the window's shape.
constexpr double FieldOfView = 21.0, Aspect = 1.3333333, Near = 0.01, Far = 100.0;
constexpr double EyeDistance = 4.0;

}  // namespace

void SetFixedCamera() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FieldOfView, Aspect, Near, Far);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, EyeDistance, 0, 0, 0, 0, 1, 0);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_AUTO_NORMAL);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
}

const CameraMatrix& FixedCameraTransform() {
  // gluPerspective's own arithmetic in double, each entry then held in single precision as GL
  // holds its matrices; the look-at is a pure move back along z. The product is the one the
  // frames' bounds were once read back from GL with, to the bit.
  static const CameraMatrix transform = [] {
    const double radians = FieldOfView / 2 * 3.14159265358979323846 / 180;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const auto held = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    CameraMatrix projection{}, modelView{};
    projection[0] = held(cotangent / Aspect);
    projection[5] = held(cotangent);
    projection[10] = held(-(Far + Near) / (Far - Near));
    projection[11] = -1;
    projection[14] = held(-2 * Near * Far / (Far - Near));
    modelView[0] = modelView[5] = modelView[10] = modelView[15] = 1;
    modelView[14] = -EyeDistance;
    return Multiply(projection, modelView);
  }();
  return transform;
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
