#pragma once
// The saver's covers as outputs come and go: which covers an output's end takes away, and which
// cover carries the creature after it. Pure bookkeeping; the window thread acts on the answer.
#include <vector>

#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {

struct CoverLoss {
  std::vector<Cover*> gone;  // out of the list now: their roles and surfaces are to go
  bool mainMoved = false;    // the main cover was among them
  Cover* newMain = nullptr;  // then the cover that carries the creature now (marked main);
                             // nullptr when none is left
};

// Takes the covers of output (a removed global) out of covers.
CoverLoss LoseOutput(std::vector<Cover*>& covers, const Output* output);
// Takes cover (closed by the compositor) out of covers; nothing when it is no longer there.
CoverLoss LoseCover(std::vector<Cover*>& covers, const Cover* cover);

}  // namespace platform::wayland
