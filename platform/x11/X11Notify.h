#pragma once
// The window message that the render thread posts to the saver window (platform::NotifyWindow)
// goes straight to the saver's loop when it is in this process (ReceiveWindowMessages below).
// To any other window it travels as a ClientMessage of type WindowMessageAtomName, format 32:
// l[0] the message number, l[1] the word parameter (its low 32 bits), l[2] the long parameter
// (always 0).
//
// It is sent with StructureNotifyMask, so it reaches every client that selects
// StructureNotifyMask on the window: the saver's event loop must select it on its window, which
// also works for a window another program created (XScreenSaver's).
#include <X11/Xlib.h>

#include <cstdint>
#include <functional>

namespace platform::x11 {

inline constexpr char WindowMessageAtomName[] = "_VELMORA_WINDOW_MESSAGE";

struct WindowMessage {
  unsigned message = 0;
  std::uintptr_t wordParam = 0;
};

inline XEvent EncodeWindowMessage(Display* display, Window window, const WindowMessage& m) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, WindowMessageAtomName, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(m.message);
  event.xclient.data.l[1] = static_cast<long>(static_cast<std::uint32_t>(m.wordParam));
  event.xclient.data.l[2] = 0;
  return event;
}

// True when `event` is such a message; fills `m`. Xlib caches atoms, so calling this for every
// event of a loop costs no round trip after the first.
inline bool DecodeWindowMessage(Display* display, const XEvent& event, WindowMessage& m) {
  if (event.type != ClientMessage || event.xclient.format != 32) return false;
  if (event.xclient.message_type != XInternAtom(display, WindowMessageAtomName, False))
    return false;
  // Xlib widens the 32-bit words with their sign; the message and parameter are unsigned.
  m.message = static_cast<std::uint32_t>(event.xclient.data.l[0]);
  m.wordParam = static_cast<std::uint32_t>(event.xclient.data.l[1]);
  return true;
}

// A window whose messages this process takes in itself: platform::NotifyWindow hands them to
// `receive` (on the sender's thread) instead of the X server. The saver's loop does this for its
// window, so that a render thread that could not open a connection (a server at its client
// limit) still reports its failed start. An empty `receive` ends it.
void ReceiveWindowMessages(Window window, std::function<void(const WindowMessage&)> receive);

}  // namespace platform::x11
