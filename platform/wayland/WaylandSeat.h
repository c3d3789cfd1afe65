#pragma once
// The seat's keyboard and pointer as the saver's input: every key, the three buttons and the
// pointer's position; the wheel is no input.
#include <cstdint>

struct wl_seat;

namespace platform::wayland {

class SeatInput {
 public:
  virtual ~SeatInput() = default;
  // A key or button pressed, as the shell's message (WM_KEYDOWN with the key, a button's down).
  virtual void Pressed(unsigned message, std::uintptr_t wordParam) = 0;
  // The pointer came over one of the saver's surfaces, or moved in one, at (x, y) in it.
  virtual void PointerEntered(double x, double y) = 0;
  virtual void PointerMoved(double x, double y) = 0;
};

// Follows the seat's devices as they come and go, delivering to input (which outlives the seat).
void ListenToSeat(wl_seat* seat, SeatInput* input);

}  // namespace platform::wayland
