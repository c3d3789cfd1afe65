// The floor program for the start-up measurement: makes the given window the saver's kind of GL
// surface, then clears and swaps until it is killed. It links only what the surface needs.
// With --paced it holds itself to 60 frames a second by sleeping, as the saver does where the swap
// does not wait for the display: the floor of the processor share at default settings.
//
//   frame_floor [--paced] WINDOW_ID
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "bench/FloorSurface.h"
#include "platform/Process.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  const bool paced = argc == 3 && std::strcmp(argv[1], "--paced") == 0;
  char* end = nullptr;
  const unsigned long window = argc == 2 || paced ? std::strtoul(argv[argc - 1], &end, 0) : 0;
  if (window == 0 || *end != '\0') {
    std::fprintf(stderr, "usage: frame_floor [--paced] WINDOW_ID\n");
    return 2;
  }
  FloorSurface surface;
  if (!surface.Open(window)) {
    std::fprintf(stderr, "frame_floor: no OpenGL 2.0 surface on window %lu\n", window);
    return 1;
  }
  if (!paced) {
    for (;;) surface.Frame();
  }
  const auto period = std::chrono::microseconds(16667);
  for (auto next = std::chrono::steady_clock::now();; next += period) {
    surface.Frame();
    const auto now = std::chrono::steady_clock::now();
    if (next + period < now) next = now;  // a late frame does not start a burst
    std::this_thread::sleep_until(next + period);
  }
}
