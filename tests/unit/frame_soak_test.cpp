#include "render/FrameSoak.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "creature/Ribbon.h"

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeTicks() { return fakeNow; }

// One frame of elapsedMs as frame drawing runs it: both wings placed on the ribbon and advanced.
void Fly(FrameWings& wings, const Ribbon& ribbon, FpsCounter& counter, std::uint32_t elapsedMs) {
  WingPlacement first, second;
  PlaceWings(wings, ribbon, first, second);
  wings.first.Attach(first.root, first.axis, first.lateral);
  wings.first.Advance(elapsedMs);
  wings.second.Attach(second.root, second.axis, second.lateral);
  wings.second.Advance(elapsedMs);
  fakeNow += elapsedMs;
  counter.Update();
}

std::string Violation(const FrameSoak& soak) { return soak.Violation() ? soak.Violation() : ""; }

TEST(FrameSoak, ElapsedTimesStayInRangeAndSaneFramesPass) {
  FrameSoak soak(3, 200);
  bool sawZero = false, sawMax = false;
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t ms = soak.NextElapsed();
    ASSERT_LE(ms, 200u);
    sawZero |= ms == 0;
    sawMax |= ms == 200;
  }
  EXPECT_TRUE(sawZero && sawMax);

  Ribbon ribbon;
  FrameWings wings;
  FpsCounter counter(FakeTicks);
  for (std::uint32_t ms : {0u, 16u, 200u}) {
    Fly(wings, ribbon, counter, ms);
    EXPECT_TRUE(soak.Check(ribbon, wings, counter, ms)) << Violation(soak);
  }
  EXPECT_EQ(soak.Frames(), 3);
  EXPECT_EQ(soak.SimulatedMs(), 216u);
}

TEST(FrameSoak, NamesEachKindOfDamage) {
  FpsCounter counter(FakeTicks);
  struct Case {
    const char* violation;
    void (*damage)(Ribbon&, FrameWings&);
    std::uint32_t claimedMs;
  };
  const Case cases[] = {
      {"node value not finite",
       [](Ribbon& r, FrameWings&) { r.Node(7).up.x = std::numeric_limits<double>::quiet_NaN(); }, 16},
      {"node outside the box", [](Ribbon& r, FrameWings&) { r.Node(19).position.z = 40; }, 16},
      {"node frame not unit", [](Ribbon& r, FrameWings&) { r.Node(0).side = {0, 2, 0}; }, 16},
      {"wing anchor left mirrored", [](Ribbon&, FrameWings& w) { w.acrossBody.y = -1; }, 16},
      // The wings moved on by 16 ms while the frame claims 40.
      {"wing clock off the frame time", [](Ribbon&, FrameWings&) {}, 40},
  };
  for (const Case& c : cases) {
    Ribbon ribbon;
    FrameWings wings;
    Fly(wings, ribbon, counter, 16);
    c.damage(ribbon, wings);
    FrameSoak soak(1, 200);
    EXPECT_FALSE(soak.Check(ribbon, wings, counter, c.claimedMs));
    EXPECT_EQ(Violation(soak), c.violation);
  }

  // A frame-time average beyond the longest frame the run draws.
  Ribbon ribbon;
  FrameWings wings;
  FpsCounter slow(FakeTicks);
  Fly(wings, ribbon, slow, 0);
  Fly(wings, ribbon, slow, 180);  // average 90 ms
  FrameSoak strict(1, 50);
  EXPECT_FALSE(strict.Check(ribbon, wings, slow, 180));
  EXPECT_EQ(Violation(strict), "frame-time average out of range");
}

}  // namespace
