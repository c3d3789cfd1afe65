// The floor program for the start-up measurement: makes the given window the saver's kind of GL
// surface, then clears and swaps until it is killed. It links only what the surface needs.
//
//   frame_floor WINDOW_ID
#include <cstdio>
#include <cstdlib>

#include "bench/FloorSurface.h"
#include "platform/Process.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  char* end = nullptr;
  const unsigned long window = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
  if (window == 0 || *end != '\0') {
    std::fprintf(stderr, "usage: frame_floor WINDOW_ID\n");
    return 2;
  }
  FloorSurface surface;
  if (!surface.Open(window)) {
    std::fprintf(stderr, "frame_floor: no OpenGL 2.0 surface on window %lu\n", window);
    return 1;
  }
  for (;;) surface.Frame();
}
