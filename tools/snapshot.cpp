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
// Without --present a picture is the back buffer as drawn. With it every frame is shown in the
// window as the saver shows it, whole (a swap) or drawn and shown only where it changed (damage),
// and a picture is what the window shows. --resize changes the window's size before frame F.
// --soak draws frames of 0 to MAXMS milliseconds at random, starting the clock shortly before its
// 32-bit wrap, checks every frame's state and writes pictures only for an explicit --at. It exits
// 1 at the first violation and prints what it was.
#include <GL/glew.h>
#include <GL/glu.h>
#include <png.h>

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
#include "creature/Ribbon.h"
#include "platform/OverlayText.h"
#include "platform/SnapshotWindow.h"
#include "render/Banner.h"
#include "render/DamageDrawing.h"
#include "render/FpsCounter.h"
#include "render/FrameDrawing.h"
#include "render/FrameSoak.h"
#include "render/VideoInit.h"
#include "render/Scene.h"

namespace {

std::uint32_t snapshotTick = 0;
std::uint32_t SnapshotTicks() { return snapshotTick; }

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

// The saver's fixed camera and state, and the clear colour scene initialisation sets.
void SetSaverCamera() {
  SetFixedCamera();
  glClearColor(0.1f, 0.2f, 0.2f, 1.0f);
}

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
  SeedRandom(static_cast<unsigned>(seed));
  SetSaverCamera();
  if (CreateBannerTexture() != 0 || InitScene() != 0) {
    std::fprintf(stderr, "snapshot: scene initialisation failed\n");
    return 1;
  }

  FpsCounter counter(SnapshotTicks);
  const OverlayRect rect = FpsOverlayRect(static_cast<int>(width), static_cast<int>(height));
  FrameSoak soaker(static_cast<unsigned>(seed), static_cast<std::uint32_t>(soak ? soakMaxMs : 0));
  FrameTime frame;
  // Ten minutes before the tick count wraps, so a soak crosses the wrap.
  if (soak) frame.tick = snapshotTick = 0xFFFFFFFFu - 600000u;
  std::optional<DamageDrawing> damage;
  if (present == Present::Damage) {
    if (!window.CanPresentRect()) {
      std::fprintf(stderr, "snapshot: the display cannot show part of a frame\n");
      return 1;
    }
    damage.emplace();
  }
  for (long n = 1; n <= frames; ++n) {
    if (const auto resize = resizes.find(n); resize != resizes.end()) {
      window.Resize(static_cast<int>(resize->second.first), static_cast<int>(resize->second.second));
      glViewport(0, 0, window.Width(), window.Height());
    }
    const std::uint32_t step = soak ? soaker.NextElapsed() : static_cast<std::uint32_t>(elapsed);
    frame.Advance(frame.tick + step);
    snapshotTick = frame.tick;
    FrameDamage::Frame shown;
    if (damage) {
      const ScreenRect text = fps ? TopLeftRect(rect.right, rect.bottom, window.Height())
                                  : ScreenRect{};
      shown = damage->BeginFrame(frame, window.Width(), window.Height(), text, false);
    } else {
      DrawFrame(frame);
      DrawBanner();
    }
    if (fps || soak) counter.Update();
    if (fps) platform::DrawOverlayText(nullptr, rect.right, rect.bottom, counter.Text());
    if (damage) damage->EndFrame();
    if (soak && !soaker.Check(ribbon, FrameDrawingWings(), counter, frame.elapsedMs)) {
      std::fprintf(stderr, "snapshot: frame %ld: %s\n", n, soaker.Violation());
      return 1;
    }
    if (present == Present::Full) window.Swap();
    if (damage) {
      window.PresentRect(shown.dirty.left, shown.dirty.bottom, shown.dirty.Width(),
                         shown.dirty.Height());
    }
    if (at.count(n)) {
      char name[32];
      std::snprintf(name, sizeof name, "/frame-%05ld.png", n);
      const std::string path = dir + name;
      const std::vector<std::uint8_t> rgb =
          present == Present::Never ? window.ReadRgb() : window.ReadWindowRgb();
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
    if (present == Present::Never) window.Swap();
  }
  if (damage) {
    const FrameDamage& d = damage->Damage();
    std::printf("damage: %llu frames, %llu whole, %llu reaching past an edge, "
                "%llu with nothing to redraw, %.2f %% of the window redrawn on average\n",
                static_cast<unsigned long long>(d.Frames()),
                static_cast<unsigned long long>(d.WholeFrames()),
                static_cast<unsigned long long>(damage->ClippedFrames()),
                static_cast<unsigned long long>(damage->UnchangedFrames()),
                100.0 * d.AverageCoverage());
  }
  if (soak) {
    std::printf("soak: %lld frames, %.2f simulated hours, every frame within bounds\n",
                static_cast<long long>(soaker.Frames()), soaker.SimulatedMs() / 3600000.0);
  }
  return 0;
}
