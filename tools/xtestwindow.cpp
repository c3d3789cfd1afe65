// A plain top-level X window for trying the preview mode: prints its id in decimal and stays
// until it is killed. With "grab" it first takes the keyboard and the pointer, as an open menu
// or a password prompt does, and holds them. Usage: xtestwindow [width height [grab]]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "xtestwindow: cannot open the X display\n");
    return 1;
  }
  const unsigned width = argc > 2 ? static_cast<unsigned>(std::atoi(argv[1])) : 320;
  const unsigned height = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 240;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width,
                                            height, 0, 0, WhitePixel(display, 0));
  XStoreName(display, window, "Velmora preview test");
  XMapWindow(display, window);
  XSync(display, False);
  if (argc > 3 && std::string_view(argv[3]) == "grab" &&
      (XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) !=
           GrabSuccess ||
       XGrabPointer(display, window, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                    CurrentTime) != GrabSuccess)) {
    std::fprintf(stderr, "xtestwindow: cannot grab the keyboard and pointer\n");
    return 1;
  }
  std::printf("%lu\n", window);
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}
