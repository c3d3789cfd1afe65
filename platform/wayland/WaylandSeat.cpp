#include "platform/wayland/WaylandSeat.h"

#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include "host/ShellMessages.h"

using namespace shell;

namespace platform::wayland {
namespace {

SeatInput* input = nullptr;
wl_pointer* pointer = nullptr;
wl_keyboard* keyboard = nullptr;

void PointerEnter(void*, wl_pointer* p, uint32_t serial, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
  wl_pointer_set_cursor(p, serial, nullptr, 0, 0);  // no cursor over the saver
  input->PointerEntered(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void PointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  input->PointerMoved(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
  if (state != WL_POINTER_BUTTON_STATE_PRESSED) return;
  if (button == BTN_LEFT) input->Pressed(WmLButtonDown, 0);
  if (button == BTN_MIDDLE) input->Pressed(WmMButtonDown, 0);
  if (button == BTN_RIGHT) input->Pressed(WmRButtonDown, 0);
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}  // the wheel: no close
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener pointerListener = {PointerEnter, PointerLeave, PointerMotion,
                                             PointerButton, PointerAxis, PointerFrame,
                                             PointerAxisSource, PointerAxisStop,
                                             PointerAxisDiscrete, nullptr};

void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void KeyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
  if (state == WL_KEYBOARD_KEY_STATE_PRESSED) input->Pressed(WmKeyDown, key);
}
void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void KeyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener keyboardListener = {KeyboardKeymap, KeyboardEnter, KeyboardLeave,
                                               KeyboardKey, KeyboardModifiers, KeyboardRepeat};

// Devices come and go (a keyboard plugged in, a virtual one): the objects of a capability that
// went are released, so that its return gets live ones.
void SeatCapabilities(void*, wl_seat* seat, uint32_t caps) {
  if (!(caps & WL_SEAT_CAPABILITY_POINTER) && pointer != nullptr) {
    if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
      wl_pointer_release(pointer);
    else
      wl_pointer_destroy(pointer);
    pointer = nullptr;
  }
  if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD) && keyboard != nullptr) {
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
      wl_keyboard_release(keyboard);
    else
      wl_keyboard_destroy(keyboard);
    keyboard = nullptr;
  }
  if ((caps & WL_SEAT_CAPABILITY_POINTER) && pointer == nullptr) {
    pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(pointer, &pointerListener, nullptr);
  }
  if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && keyboard == nullptr) {
    keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(keyboard, &keyboardListener, nullptr);
  }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {SeatCapabilities, SeatName};

}  // namespace

void ListenToSeat(wl_seat* seat, SeatInput* to) {
  input = to;
  wl_seat_add_listener(seat, &seatListener, nullptr);
}

}  // namespace platform::wayland
