#include "render/FramePacer.h"

#include <algorithm>

FramePacer::FramePacer(std::int64_t periodUs) : period(std::max<std::int64_t>(periodUs, 1)) {}

std::int64_t FramePacer::NextStart(std::int64_t start, std::int64_t presented) {
  const std::int64_t ownTime = presented - start;
  // Trusting the swap, a short frame says it did not wait; pacing, a full one says the swap now
  // waits itself (or the frame cannot keep up), and sleeping on top would cost refreshes.
  votes = Short(ownTime) != pacing ? votes + 1 : 0;
  if (votes >= SwitchAfter) {
    pacing = !pacing;
    votes = 0;
    sinceProbe = 0;
    probing = false;
    slot = start;
  }
  if (!pacing) return presented;
  if (probing) {
    probing = false;
    // A frame begun at once that still took a period waited for the display: trust the swap.
    if (!Short(ownTime)) {
      pacing = false;
      votes = 0;
      return presented;
    }
  }
  // A fixed cadence, so that a late frame is made up by the next and the rate stays that of the
  // display; after a stall of more than a period the cadence starts afresh instead of rushing.
  slot += period;
  if (presented - slot > period) slot = presented;
  if (++sinceProbe >= ProbeEvery) {
    // The probe takes this slot early and the next frame waits for the slot after: no frame more.
    sinceProbe = 0;
    probing = true;
    return presented;
  }
  return std::max(slot, presented);
}
