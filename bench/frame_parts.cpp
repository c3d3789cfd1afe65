// Where a frame's time goes: the saver's video and scene initialisation on a window, then short
// loops that each draw part of a frame and swap, with the creature held still (elapsed time 0),
// first where the flight starts (far away, small) and then flown until it is close in front of
// the camera (large). The parts: the clear alone in three forms (colour only; colour and depth,
// as the frame does; colour, depth and stencil), the clear without a swap, the banner, the
// creature (DrawFrame) and the whole frame.
//
//   frame_parts WINDOW_ID [--seconds S]
#include <GL/glew.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/SettingsStore.h"
#include "creature/FlightController.h"
#include "creature/Ribbon.h"
#include "platform/GlSurface.h"
#include "platform/Process.h"
#include "render/Banner.h"
#include "render/Frame.h"
#include "render/FrameDrawing.h"
#include "render/VideoInit.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Body>
void Measure(const char* name, double seconds, Body body) {
  for (int i = 0; i < 100; ++i) body();
  glFinish();
  long frames = 0;
  const Clock::time_point from = Clock::now();
  const auto until = from + std::chrono::duration<double>(seconds);
  while (Clock::now() < until) {
    body();
    ++frames;
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - from).count();
  std::printf("  %-34s %8.1f fps %7.3f ms per frame\n", name, frames / elapsed,
              1000 * elapsed / frames);
  std::fflush(stdout);
}

// Within a unit and a half of the plane looked at, and near the line of sight.
bool CloseInView(const Vector3& head) {
  return head.z > -1.5 && std::fabs(head.x) < 0.3 && std::fabs(head.y) < 0.2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::PrepareProcess();
  char* end = nullptr;
  const unsigned long window = argc >= 2 ? std::strtoul(argv[1], &end, 0) : 0;
  double seconds = 3;
  const bool secondsGiven = argc == 4 && !std::strcmp(argv[2], "--seconds");
  if (secondsGiven) seconds = std::atof(argv[3]);
  if (window == 0 || *end != '\0' || (argc != 2 && !secondsGiven) || !(seconds > 0)) {
    std::fprintf(stderr, "usage: frame_parts WINDOW_ID [--seconds S]\n");
    return 2;
  }
  settingsStore.Set("EnableVSync", 0);
  if (InitVideo(window) != 0) {
    std::fprintf(stderr, "frame_parts: video initialisation failed on window %lu\n", window);
    return 1;
  }
  const platform::DeviceContext dc = videoContext.deviceContext.load();
  const FrameTime still;
  DeviceSurface surface(dc, true);
  FrameRenderer whole(surface, nullptr, Presentation::Whole);
  constexpr GLbitfield FrameClear = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;

  for (int pass = 0; pass < 2; ++pass) {
    const Vector3& head = ribbon.Node(0).position;
    std::printf("creature's head at (%.2f, %.2f, %.2f), state %u\n", head.x, head.y, head.z,
                flightController.State());
    Measure("clear colour + swap", seconds, [&] {
      glClear(GL_COLOR_BUFFER_BIT);
      platform::SwapBuffers(dc);
    });
    Measure("clear colour, depth + swap (floor)", seconds, [&] {
      glClear(FrameClear);
      platform::SwapBuffers(dc);
    });
    Measure("clear colour, depth, stencil + swap", seconds, [&] {
      glClear(FrameClear | GL_STENCIL_BUFFER_BIT);
      platform::SwapBuffers(dc);
    });
    Measure("clear colour, depth, no swap", seconds, [&] {
      glClear(FrameClear);
      glFlush();
    });
    Measure("clear + banner + swap", seconds, [&] {
      glClear(FrameClear);
      DrawBanner();
      platform::SwapBuffers(dc);
    });
    Measure("DrawFrame + swap", seconds, [&] {
      DrawFrame(still);
      platform::SwapBuffers(dc);
    });
    Measure("whole frame (saver's FrameRenderer)", seconds, [&] { whole.Render(still); });
    // Flown without drawing until it is close in front of the camera.
    for (int i = 0; i < 1000000 && !CloseInView(ribbon.Node(0).position); ++i) {
      flightController.Update(16);
    }
  }
  return 0;
}
