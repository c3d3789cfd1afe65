// A plain top-level X window for trying the preview mode: prints its id in decimal and stays
// until it is killed. With "grab" it first takes the keyboard and the pointer, as an open menu
// or a password prompt does, and holds them; with "input-only" the window is an InputOnly one,
// which can hold no picture. Usage: xtestwindow [width height [grab|input-only]]
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
  const std::string_view mode = argc > 3 ? argv[3] : "";
  XSetWindowAttributes none{};
  const Window window =
      mode == "input-only"
          ? XCreateWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0,
                          InputOnly, CopyFromParent, 0, &none)
          : XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0,
                                WhitePixel(display, 0));
  XStoreName(display, window, "Velmora preview test");
  XMapWindow(display, window);
  XSync(display, False);
  if (mode == "grab" &&
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
