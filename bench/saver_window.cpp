// The saver's render thread on a given window at the stored settings, until killed: for
// cpu_share, to set the saver's frames beside the same frames drawn and swapped whole, as on a
// driver that cannot show part of a frame.
//
//   saver_window [--whole-frames] WINDOW_ID
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/GlSurfaceFaults.h"
#include "platform/Process.h"
#include "platform/RenderThread.h"
#include "render/RenderThread.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  const bool whole = argc == 3 && std::strcmp(argv[1], "--whole-frames") == 0;
  char* end = nullptr;
  const unsigned long window = argc == 2 || whole ? std::strtoul(argv[argc - 1], &end, 0) : 0;
  if (window == 0 || *end != '\0') {
    std::fprintf(stderr, "usage: saver_window [--whole-frames] WINDOW_ID\n");
    return 2;
  }
  if (whole) platform::SetPresentFaults({.hideCopySubBuffer = true});
  if (!platform::StartRenderThread(RenderThreadProc, window)) return 1;
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(60));
}
