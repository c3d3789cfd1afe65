#pragma once
#include <cstdint>

// Holds the frame loop to one frame per display refresh where the swap does not wait for the
// display (software renderers, most virtual machines, remote desktops, drivers told to ignore
// the swap interval), and adds nothing where it does. The two are told apart by each frame's
// own time, from its start to the return of its swap: a swap that waits for the display makes
// that about a refresh period, one that does not leaves the drawing time alone. The verdict is
// kept under review, so a driver that changes its behaviour mid-run is followed.
//
// Times are microseconds on one steady clock. The pacer reads no clock and never sleeps: it says
// when the next frame should start and the loop waits for that.
class FramePacer {
 public:
  // Frames in a row that must argue for the other way before the pacer switches to it: one odd
  // frame (a page fault, a busy moment) changes nothing.
  static constexpr int SwitchAfter = 3;
  // While pacing, every so many frames one starts without a wait, to see whether the swap now
  // waits for the display itself (it then takes a whole period); at 60 Hz, every two seconds.
  static constexpr int ProbeEvery = 120;

  // periodUs: the display's refresh period, at least 1.
  explicit FramePacer(std::int64_t periodUs);

  // The frame that started at `start` (when the last answer said, or later) has been shown: its
  // swap returned at `presented`. Returns when the next frame should start: `presented` itself
  // means at once.
  std::int64_t NextStart(std::int64_t start, std::int64_t presented);

  // True while the pacer, not the swap, sets the cadence.
  bool Pacing() const { return pacing; }

 private:
  // A frame shorter than this did not wait for the display.
  bool Short(std::int64_t ownTime) const { return ownTime * 10 < period * 9; }

  std::int64_t period;
  bool pacing = false;
  int votes = 0;          // frames in a row that argue for switching
  int sinceProbe = 0;     // paced frames since the last probe
  bool probing = false;   // the frame being drawn started without a wait
  std::int64_t slot = 0;  // when pacing: the start the cadence has reached
};
