// snapshot: renders the saver's own frames off the shell, with a fixed seed and a fixed sequence
// of frame times, and writes chosen frames as PNG files. Deterministic pictures for people and
// for tests.
//
//   snapshot [--seed N] [--elapsed MS] [--frames N] [--at F1,F2,...] [--fps] [--size WxH]
//            [--present full|damage] [--resize F:WxH]... DIR
//   snapshot --soak MAXMS [--seed N] [--frames N] [--at F1,...] [--size WxH] [DIR]
//
// Frames are numbered from 1; each advances the clock by --elapsed milliseconds (16 unless told).
// Each frame in --at (default: the last) is written to DIR/frame-NNNNN.png.
// The window is made an OpenGL surface and its frames drawn and shown by the saver's own code
// (InitVideo, FrameRenderer on the saver's surface, which follows the window's size). Without
// --present a picture is the back buffer as drawn. With it every frame is shown in the window as
// the saver shows it, whole (a swap) or drawn and shown only where it changed (damage), and a
// picture is what the window shows. --resize changes the window's size before frame F.
// --soak draws frames of 0 to MAXMS milliseconds at random, starting the clock shortly before its
// 32-bit wrap, checks every frame's state and writes pictures only for an explicit --at. It exits
// 1 at the first violation and prints what it was.
#include <GL/glew.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/Random.h"
#include "base/SettingsStore.h"
#include "creature/Ribbon.h"
#include "platform/GlSurface.h"
#include "platform/Process.h"
#include "platform/SnapshotWindow.h"
#include "platform/linux/GlBindings.h"
#include "render/FpsCounter.h"
#include "render/Frame.h"
#include "render/FrameDrawing.h"
#include "render/FrameSoak.h"
#include "render/VideoInit.h"

namespace {

bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3);
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}

// The back buffer as 8-bit RGB, top row first.
std::vector<std::uint8_t> ReadBackBuffer(int width, int height) {
  std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<std::uint8_t> rgb(bottomUp.size());
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    std::copy_n(bottomUp.data() + row * (height - 1 - y), row, rgb.data() + row * y);
  return rgb;
}

// The saver's surface; only, without --present, a frame stays in the back buffer to be read
// there, and the tool swaps after reading it.
class SnapshotSurface final : public FrameSurface {
 public:
  SnapshotSurface(platform::DeviceContext dc, bool show) : device(dc, true), show(show) {}
  SurfaceFrame Begin(bool partial, bool screen) override { return device.Begin(partial, screen); }
  std::optional<platform::MonitorRect> PictureMonitor(int width, int height) override {
    return device.PictureMonitor(width, height);
  }
  bool CanPresentPartially() override { return device.CanPresentPartially(); }
  void PresentWhole() override {
    if (show) device.PresentWhole();
  }
  void PresentRect(const ScreenRect& rect) override { device.PresentRect(rect); }
  platform::DeviceContext Context() const override { return device.Context(); }

 private:
  DeviceSurface device;
  bool show;
};

// The GL context goes before the window it draws on.
struct VideoRelease {
  platform::WindowHandle window;
  ~VideoRelease() {
    platform::ReleaseCurrentGlContext();
    const platform::DeviceContext dc = videoContext.deviceContext.exchange(nullptr);
    platform::DeleteGlContext(dc, videoContext.glContext.exchange(nullptr));
    if (dc != nullptr) platform::ReleaseDeviceContext(window, dc);
  }
};

int Usage() {
  std::fprintf(stderr,
               "usage: snapshot [--seed N] [--elapsed MS] [--frames N] [--at F1,F2,...] [--fps] "
               "[--size WxH]\n"
               "                [--present full|damage] [--resize F:WxH]... DIR\n"
               "       snapshot --soak MAXMS [--seed N] [--frames N] [--at F1,...] [--size WxH] "
               "[DIR]\n");
  return 2;
}

bool ParseNumber(const char* text, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::PrepareProcess();
  long seed = 1, elapsed = 16, frames = 240, width = 1024, height = 768, soakMaxMs = -1;
  bool fps = false;
  enum class Present { Never, Full, Damage } present = Present::Never;
  std::map<long, std::pair<long, long>> resizes;
  std::set<long> at;
  std::string dir;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--fps") {
      fps = true;
    } else if ((arg == "--seed" || arg == "--elapsed" || arg == "--frames" || arg == "--soak") &&
               next) {
      long& target = arg == "--seed"      ? seed
                     : arg == "--elapsed" ? elapsed
                     : arg == "--frames"  ? frames
                                          : soakMaxMs;
      if (!ParseNumber(next, target)) return Usage();
      ++i;
    } else if (arg == "--at" && next) {
      std::string list = next;
      for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        long frame;
        if (!ParseNumber(list.substr(start, comma - start).c_str(), frame)) return Usage();
        at.insert(frame);
        start = comma + 1;
      }
      ++i;
    } else if (arg == "--size" && next && std::sscanf(next, "%ldx%ld", &width, &height) == 2) {
      ++i;
    } else if (arg == "--present" && next && (std::strcmp(next, "full") == 0 ||
                                              std::strcmp(next, "damage") == 0)) {
      present = std::strcmp(next, "full") == 0 ? Present::Full : Present::Damage;
      ++i;
    } else if (arg == "--resize" && next) {
      long f = 0, w = 0, h = 0;
      char end = 0;
      if (std::sscanf(next, "%ld:%ldx%ld%c", &f, &w, &h, &end) != 3 || f < 1 || w < 16 ||
          h < 16 || w > 8192 || h > 8192)
        return Usage();
      resizes[f] = {w, h};
      ++i;
    } else if (arg[0] != '-' && dir.empty()) {
      dir = arg;
    } else {
      return Usage();
    }
  }
  const bool soak = soakMaxMs >= 0;
  if ((dir.empty() && (!soak || !at.empty())) || frames < 1 || width < 16 || height < 16 ||
      width > 8192 || height > 8192 || soakMaxMs > 60000) {
    return Usage();
  }
  if (at.empty() && !soak) at.insert(frames);

  std::error_code error;
  if (!dir.empty()) std::filesystem::create_directories(dir, error);
  platform::SnapshotWindow window(static_cast<int>(width), static_cast<int>(height));
  if (!window.Ok()) return 1;
  // Frames as fast as they are drawn; nothing here waits for the display.
  settingsStore.Set("EnableVSync", 0);
  const VideoRelease release{window.Handle()};
  if (InitVideo(window.Handle()) != 0) {
    std::fprintf(stderr, "snapshot: video or scene initialisation failed\n");
    return 1;
  }
  SeedRandom(static_cast<unsigned>(seed));
  const platform::DeviceContext dc = videoContext.deviceContext.load();
  SnapshotSurface surface(dc, present != Present::Never);
  FpsCounter counter;
  FrameRenderer renderer(surface, fps ? &counter : nullptr,
                         present == Present::Damage ? Presentation::Partial : Presentation::Whole);
  if (present == Present::Damage && !renderer.Partial()) {
    std::fprintf(stderr, "snapshot: the display cannot show part of a frame\n");
    return 1;
  }
  FrameSoak soaker(static_cast<unsigned>(seed), static_cast<std::uint32_t>(soak ? soakMaxMs : 0));
  FrameTime frame;
  // Ten minutes before the tick count wraps, so a soak crosses the wrap.
  if (soak) frame.tick = 0xFFFFFFFFu - 600000u;
  for (long n = 1; n <= frames; ++n) {
    if (const auto resize = resizes.find(n); resize != resizes.end())
      window.Resize(static_cast<int>(resize->second.first),
                    static_cast<int>(resize->second.second));
    const std::uint32_t step = soak ? soaker.NextElapsed() : static_cast<std::uint32_t>(elapsed);
    frame.Advance(frame.tick + step);
    if (!renderer.Render(frame)) {
      std::fprintf(stderr, "snapshot: frame %ld: the window is gone\n", n);
      return 1;
    }
    // The soak checks the counter's state every frame, text or none.
    if (soak && !fps) counter.Update(frame.tick);
    if (soak && !soaker.Check(ribbon, FrameDrawingWings(), counter, frame.elapsedMs)) {
      std::fprintf(stderr, "snapshot: frame %ld: %s\n", n, soaker.Violation());
      return 1;
    }
    if (at.count(n)) {
      char name[32];
      std::snprintf(name, sizeof name, "/frame-%05ld.png", n);
      const std::string path = dir + name;
      const std::vector<std::uint8_t> rgb = present == Present::Never
                                                ? ReadBackBuffer(window.Width(), window.Height())
                                                : window.ReadWindowRgb();
      if (rgb.empty()) {
        std::fprintf(stderr, "snapshot: frame %ld: the window does not fit on the screen\n", n);
        return 1;
      }
      if (!WritePng(path, window.Width(), window.Height(), rgb)) {
        std::fprintf(stderr, "snapshot: cannot write %s\n", path.c_str());
        return 1;
      }
      std::printf("%s\n", path.c_str());
    }
    if (present == Present::Never) platform::SwapBuffers(dc);
  }
  if (const DamageDrawing* damage = renderer.Damage())
    std::printf("%s\n", damage->Summary().c_str());
  if (soak) {
    std::printf("soak: %lld frames, %.2f simulated hours, every frame within bounds\n",
                static_cast<long long>(soaker.Frames()), soaker.SimulatedMs() / 3600000.0);
  }
  return 0;
}
