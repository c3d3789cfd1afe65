#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "creature/FlightSoak.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

void ExpectEveryStateFlown(const FlightSoak& soak) {
  for (std::uint32_t s = Cruise; s <= Wiggle; ++s) EXPECT_GT(soak.FramesIn(s), 0) << s;
}

// A few simulated hours each; the days-long runs are tools/flight-soak.
TEST(FlightSoak, SteadyFramesStayFiniteBoundedSpacedAndOrthonormal) {
  FlightSoak soak(20261208);
  ASSERT_TRUE(soak.Run(700000, 16)) << soak.Violation() << " at frame " << soak.Frames()
                                    << " node " << soak.ViolationNode();
  ExpectEveryStateFlown(soak);
  EXPECT_GT(soak.Visits(Wiggle), 10);

  // Flying and packing the ribbon for the shaders allocate nothing, in any state.
  const long atStart = allocations;
  Ribbon ribbon;
  EXPECT_GT(allocations, atStart);  // the counter sees the ribbon's one-time arrays
  FlightController controller(ribbon);
  const long before = allocations;
  for (int i = 0; i < 200000; ++i) {
    controller.Update(16);
    ribbon.GetMatrixes();
    ribbon.GetVertexes();
  }
  EXPECT_EQ(allocations - before, 0);
}

TEST(FlightSoak, RaggedFramesIncludingNoneAndALongFirstOne) {
  FlightSoak soak(7);
  ASSERT_TRUE(soak.Step(4000));  // start-up counted into the first frame
  ASSERT_TRUE(soak.Run(150000, -1, 200)) << soak.Violation() << " at frame " << soak.Frames()
                                         << " node " << soak.ViolationNode();
  ExpectEveryStateFlown(soak);
  // A fast machine: many frames within one tick, then a tick's worth at once.
  for (int i = 0; i < 30000; ++i) {
    ASSERT_TRUE(soak.Step(i % 16 == 0 ? 16 : 0)) << soak.Violation() << " at frame " << i;
  }
}

}  // namespace
