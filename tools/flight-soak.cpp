// Flies the creature for simulated days without drawing and checks every frame: values finite,
// nodes inside the box around the view, spacing kept, frames orthonormal. Exits 1 on the first
// violation, 2 on bad arguments.
//   flight-soak [--seed N] [--days D] [--hours H]
// D days of 16 ms frames, then H hours of frames of 0 to 200 ms (defaults: 2 days, 48 hours).
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "creature/FlightSoak.h"
#include "tools/ToolArguments.h"

namespace {

const char Usage[] =
    "usage: flight-soak [--seed N] [--days D] [--hours H]\n"
    "  --seed N   seed of the random generator (default 1)\n"
    "  --days D   simulated days of 16 ms frames (default 2)\n"
    "  --hours H  simulated hours of frames of 0 to 200 ms (default 48)\n";

const char* const StateNames[FlightStateCount] = {"Cruise", "Approach", "Arrive",
                                                  "Hover",  "Dart",     "Wiggle"};

int Fail(const char* message, const char* argument) {
  std::fprintf(stderr, "flight-soak: %s: '%s'\n%s", message, argument, Usage);
  return 2;
}

void Print(const char* phase, const FlightSoak& soak) {
  std::printf("%s: %" PRId64 " frames\n", phase, soak.Frames());
  for (std::uint32_t s = 0; s < FlightStateCount; ++s) {
    std::printf("  %-8s %12" PRId64 " frames %9" PRId64 " entries\n", StateNames[s],
                soak.FramesIn(s), soak.Visits(s));
  }
  const Vector3& lo = soak.Lowest();
  const Vector3& hi = soak.Highest();
  std::printf("  nodes within x [%.3f, %.3f], y [%.3f, %.3f], z [%.3f, %.3f]\n", lo.x, hi.x, lo.y,
              hi.y, lo.z, hi.z);
  std::printf("  worst spacing error %.3g, worst frame error %.3g\n", soak.WorstSpacingError(),
              soak.WorstFrameError());
}

bool Soak(const char* phase, FlightSoak& soak, std::int64_t frames, int fixedMs) {
  const bool ok = soak.Run(frames, fixedMs, 200);
  Print(phase, soak);
  if (!ok) {
    const RibbonNode& n = soak.SoakedRibbon().Node(soak.ViolationNode() < 0 ? 0 : soak.ViolationNode());
    std::printf("VIOLATION after frame %" PRId64 ": %s (node %d at %.17g, %.17g, %.17g; state %u)\n",
                soak.Frames(), soak.Violation(), soak.ViolationNode(), n.position.x, n.position.y,
                n.position.z, static_cast<unsigned>(soak.Controller().State()));
  }
  std::fflush(stdout);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::int64_t seed = 1, days = 2, hours = 48;
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
      std::fputs(Usage, stdout);
      return 0;
    }
    std::int64_t* slot = nullptr;
    std::int64_t max = 36500;
    if (std::strcmp(option, "--seed") == 0) {
      slot = &seed;
      max = 4294967295;
    } else if (std::strcmp(option, "--days") == 0) {
      slot = &days;
    } else if (std::strcmp(option, "--hours") == 0) {
      slot = &hours;
      max = 876000;
    } else {
      return Fail("unknown argument", option);
    }
    if (i + 1 == argc) return Fail("missing value after", option);
    if (!ParseInteger(argv[++i], 0, max, *slot)) return Fail("not a valid value", argv[i]);
  }

  FlightSoak steady(static_cast<unsigned>(seed));
  if (!Soak("16 ms frames", steady, days * 86400000 / 16, 16)) return 1;
  FlightSoak ragged(static_cast<unsigned>(seed));
  // Frames average 100 ms.
  if (!Soak("0 to 200 ms frames", ragged, hours * 3600000 / 100, -1)) return 1;
  std::puts("ok");
  return 0;
}
