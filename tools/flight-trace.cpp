// Flies the creature without drawing and prints one CSV line per frame, for plotting the path.
//   flight-trace --seed N --frames N [--elapsed MS | --random-elapsed MAX]
// The controller is built on the unseeded generator and then seeded with N, as the saver does.
// Random elapsed times come from a private generator, so they do not disturb the flight's draws.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "creature/FlightSoak.h"
#include "tools/ToolArguments.h"

namespace {

const char Usage[] =
    "usage: flight-trace --seed N --frames N [--elapsed MS | --random-elapsed MAX]\n"
    "  --seed N              seed of the random generator (0 to 4294967295)\n"
    "  --frames N            frames to run (0 to 10^12)\n"
    "  --elapsed MS          milliseconds per frame, 0 to 2147483647 (default 16)\n"
    "  --random-elapsed MAX  milliseconds per frame drawn uniformly from 0 to MAX\n"
    "Prints: frame,state,stateMs,x,y,z,forwardX,forwardY,forwardZ,targetX,targetY,targetZ\n"
    "state: 0 Cruise, 1 Approach, 2 Arrive, 3 Hover, 4 Dart, 5 Wiggle.\n";

int Fail(const char* message, const char* argument = nullptr) {
  if (argument != nullptr) {
    std::fprintf(stderr, "flight-trace: %s: '%s'\n%s", message, argument, Usage);
  } else {
    std::fprintf(stderr, "flight-trace: %s\n%s", message, Usage);
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::int64_t IntMax = std::numeric_limits<int>::max();
  std::int64_t seed = -1, frames = -1, elapsed = -1, randomMax = -1;
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
      std::fputs(Usage, stdout);
      return 0;
    }
    std::int64_t* slot = nullptr;
    std::int64_t max = IntMax;
    if (std::strcmp(option, "--seed") == 0) {
      slot = &seed;
      max = std::numeric_limits<std::uint32_t>::max();
    } else if (std::strcmp(option, "--frames") == 0) {
      slot = &frames;
      max = 1000000000000;
    } else if (std::strcmp(option, "--elapsed") == 0) {
      slot = &elapsed;
    } else if (std::strcmp(option, "--random-elapsed") == 0) {
      slot = &randomMax;
    } else {
      return Fail("unknown argument", option);
    }
    if (*slot != -1) return Fail("given twice", option);
    if (i + 1 == argc) return Fail("missing value after", option);
    if (!ParseInteger(argv[++i], 0, max, *slot)) return Fail("not a valid value", argv[i]);
  }
  if (seed < 0) return Fail("--seed is required");
  if (frames < 0) return Fail("--frames is required");
  if (elapsed >= 0 && randomMax >= 0) return Fail("--elapsed and --random-elapsed exclude each other");
  if (elapsed < 0 && randomMax < 0) elapsed = 16;

  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

  // The soak's flight, without stopping at its checks: extreme elapsed times may leave its box.
  FlightSoak flight(static_cast<unsigned>(seed));
  const FlightController& controller = flight.Controller();
  const Ribbon& ribbon = flight.SoakedRibbon();

  std::puts("frame,state,stateMs,x,y,z,forwardX,forwardY,forwardZ,targetX,targetY,targetZ");
  for (std::int64_t frame = 1; frame <= frames; ++frame) {
    flight.Step(randomMax >= 0 ? flight.RandomElapsed(static_cast<int>(randomMax))
                               : static_cast<int>(elapsed));
    const RibbonNode& head = ribbon.Node(0);
    const Vector3& t = controller.Target();
    std::printf("%lld,%u,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n",
                static_cast<long long>(frame), static_cast<unsigned>(controller.State()),
                controller.StateMs(), head.position.x, head.position.y, head.position.z,
                head.forward.x, head.forward.y, head.forward.z, t.x, t.y, t.z);
    if (std::ferror(stdout)) break;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "flight-trace: cannot write the output\n");
    return 1;
  }
  return 0;
}
