#include <gtest/gtest.h>

#include <vector>

#include "base/Random.h"
#include "creature/FlightController.h"
#include "creature/Ribbon.h"

// Reaches into the controller so each state can be set up directly.
struct FlightControllerProbe {
  static void Set(FlightController& f, std::uint32_t state, double stateMs = 0) {
    f.state_ = state;
    f.stateMs_ = stateMs;
  }
  static void SetTarget(FlightController& f, const Vector3& target) { f.target_ = target; }
  static void SetDartOrigin(FlightController& f, const Vector3& origin) { f.dartOrigin_ = origin; }
  static void SetWiggle(FlightController& f, double centreX, double durationMs) {
    f.wiggleCentreX_ = centreX;
    f.stateDurationMs_ = durationMs;
  }
  static void ChangeState(FlightController& f, int next) { f.ChangeState(next); }
};

namespace {

using Probe = FlightControllerProbe;

void ExpectExactly(const Vector3& v, const Vector3& e) {
  EXPECT_EQ(v.x, e.x);
  EXPECT_EQ(v.y, e.y);
  EXPECT_EQ(v.z, e.z);
}

// A controller on its own ribbon, its first target forced to (0, 0, 0).
struct Flight {
  Ribbon ribbon;
  FlightController controller = Make(ribbon);
  RibbonNode& Head() { return ribbon.Node(0); }

  static FlightController Make(Ribbon& r) {
    ForcedRandomDraws first{0.5, 0.5, 0.0};
    return FlightController(r);
  }
};

TEST(Flight, ConstructionAndRestartLayOutTheRibbonAndDrawTheFirstTarget) {
  Ribbon ribbon;
  const auto expectFreshStart = [&ribbon](const FlightController& f,
                                          const ForcedRandomDraws& draws) {
    EXPECT_EQ(draws.Taken(), 3u);
    ExpectExactly(f.Target(), {-0.5, 1.0, -3.5});
    EXPECT_EQ(f.State(), Cruise);
    EXPECT_EQ(f.StateMs(), 0);
    ExpectExactly(ribbon.Node(0).position, {0, 0, -20});
    EXPECT_NEAR(ribbon.Node(19).position.z, -20.95, 1e-12);
    ExpectExactly(ribbon.Node(7).up, {0, 1, 0});
    ExpectExactly(ribbon.Node(7).side, {1, 0, 0});
  };
  ForcedRandomDraws draws{0.25, 1.0, 0.5};
  FlightController f(ribbon);
  expectFreshStart(f, draws);

  // A restart in the middle of a flight is the same fresh start.
  Probe::Set(f, Wiggle, 1234);
  for (int i = 0; i < 50; ++i) f.Update(16);
  {
    ForcedRandomDraws again{0.25, 1.0, 0.5};
    f.Restart();
    SCOPED_TRACE("restarted");
    expectFreshStart(f, again);
  }

  // Unforced, the first target is the generator's default sequence: the same on every run.
  SeedRandom(1);
  Ribbon r1, r2;
  const Vector3 t1 = FlightController(r1).Target();
  SeedRandom(1);
  const Vector3 t2 = FlightController(r2).Target();
  ExpectExactly(t1, t2);
  EXPECT_EQ(t1.x, (16838 * 3.051850947599719e-05 - 0.5) * 2);
}

// One 16 ms frame of each law from a chosen pose, against values worked out by hand from the
// laws (and, where the law moves the head, from the ribbon's re-spacing and re-orientation):
//   Cruise:   heading = |forward + |target - p| * 0.008 * dt|, p += heading * 0.003 * dt,
//             up' = u - forward * (forward . u) / |u| with u = up + (0, 0.003 * dt, 0)
//   Approach: heading = |(target - p) * 0.00001 * t + forward|, the same up' with heading
//   Arrive:   nodes drawn 0.95 of the way from the head's point, depths kept; head z +=
//             0.003 / (0.003 t + 1); up = |up + (0, 0.001, 0)|; then the ribbon re-spaces
//   Dart:     p = origin + (target - origin) * sin(0.002 t * 1.5707963), laid out along -z
//   Wiggle:   x_i = sin(4 i / 20 * 3.1415926 - 0.015 t) * sin(t / length * 3.1415926) * 0.015 + cx
// The poses tilt forward out of the horizontal, so that the up-corrections matter, and centre
// the wiggle off the head's x. Each case's t is 1000 ms after its frame (250 for the dart).
TEST(Flight, OneFrameOfEachLawMatchesHandWorkedValues) {
  enum Field { Position, Up };
  struct Check {
    int node;
    Field field;
    Vector3 expected;
  };
  struct Case {
    const char* law;
    std::uint32_t state;
    double stateMsBefore;
    Vector3 head, up, forward;  // the ribbon laid out straight behind the head
    Vector3 target;
    Vector3 dartOrigin;
    std::vector<Check> checks;
  };
  const Vector3 tiltedUp{0, 0.8, -0.6}, tiltedForward{0, 0.6, 0.8};
  const Case cases[] = {
      {"Cruise", Cruise, 100, {0, 0, -5}, tiltedUp, tiltedForward, {1, 0, -5}, {},
       {{0, Position, {0.006094278502339434, 0.028566930479716094, -4.961910759360379}},
        {0, Up, {-6.442458324736751e-05, 0.8000024117035618, -0.5999967809229966}}}},
      {"Approach", Approach, 984, {0, 0, -3}, tiltedUp, tiltedForward, {1, 0, 0}, {},
       {{0, Position, {0.00046865525734629527, 0.028119315440777712, -2.9611016136402575}},
        {0, Up, {-0.0001401211329000967, 0.8051358387500056, -0.5930904328400459}}}},
      {"Arrive", Arrive, 984, {0.1, 0.2, -0.5}, {0.48, 0.8, -0.36}, {0.6, 0, 0.8}, {}, {},
       {{0, Position, {0.1, 0.2, -0.49925}},
        {0, Up, {0.4911143633212886, 0.8005179732603309, -0.34347875716949033}},
        {1, Position, {0.07134375572138434, 0.2, -0.5402234019071435}},
        {19, Position, {-0.4509054976483891, 0.2, -1.2732006984538797}}}},
      {"Dart", Dart, 234, {5, 5, 5}, {0, 1, 0}, {0, 0, 1}, {0.3, 0, 0.2}, {0.1, -0.1, 0.2},
       {{0, Position, {0.24142135434262418, -0.029289322828687903, 0.2}},
        {19, Position, {0.24142135434262418, -0.029289322828687903, -0.75}}}},
      {"Wiggle", Wiggle, 984, {0.3, 0.1, -1}, {0, 1, 0}, {0, 0, 1}, {}, {},
       {{0, Position, {0.24310265596993305, 0.1, -1}},
        {3, Position, {0.244468061468708, 0.1, -1.15}},
        {19, Position, {0.24915613496658737, 0.1, -1.95}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.law);
    Flight f;
    f.ribbon.Reset(c.head, c.up, c.forward);
    Probe::Set(f.controller, c.state, c.stateMsBefore);
    Probe::SetTarget(f.controller, c.target);
    Probe::SetDartOrigin(f.controller, c.dartOrigin);
    Probe::SetWiggle(f.controller, 0.25, 4000);
    ForcedRandomDraws none{};
    f.controller.Update(16);
    EXPECT_EQ(none.Taken(), 0u);
    EXPECT_EQ(f.controller.State(), c.state);
    for (const Check& check : c.checks) {
      SCOPED_TRACE(testing::Message() << "node " << check.node << (check.field == Up ? " up" : ""));
      const RibbonNode& n = f.ribbon.Node(check.node);
      const Vector3& v = check.field == Up ? n.up : n.position;
      EXPECT_NEAR(v.x, check.expected.x, 1e-12);
      EXPECT_NEAR(v.y, check.expected.y, 1e-12);
      EXPECT_NEAR(v.z, check.expected.z, 1e-12);
    }
  }
}

TEST(Flight, EveryRowOfTheTableLeadsWhereItShould) {
  Flight f;
  // 0.0 selects Cruise from every row, the rows without a Cruise entry included.
  for (std::uint32_t s = Cruise; s <= Wiggle; ++s) {
    SCOPED_TRACE(s);
    Probe::Set(f.controller, s, 123);
    ForcedRandomDraws draws{0.0, 0.0, 1.0, 0.5};
    Probe::ChangeState(f.controller, -1);
    EXPECT_EQ(draws.Taken(), 4u);
    EXPECT_EQ(f.controller.State(), Cruise);
    EXPECT_EQ(f.controller.StateMs(), 0);
    ExpectExactly(f.controller.Target(), {-1.0, 1.0, -3.5});
  }

  // 1.0 runs past the end of the Cruise row (0.95 + 0.05 leaves 4e-17): nothing is picked and
  // only the state's clock restarts.
  Probe::Set(f.controller, Cruise, 2500);
  Probe::SetTarget(f.controller, {0.1, 0.2, -3});
  {
    ForcedRandomDraws draws{1.0};
    Probe::ChangeState(f.controller, -1);
    EXPECT_EQ(draws.Taken(), 1u);
  }
  EXPECT_EQ(f.controller.State(), Cruise);
  EXPECT_EQ(f.controller.StateMs(), 0);
  ExpectExactly(f.controller.Target(), {0.1, 0.2, -3});

  struct Case {
    std::uint32_t from;
    double draw;
    std::uint32_t to;
  };
  const Case cases[] = {
      {Cruise, 0.95, Cruise},  {Cruise, 0.951, Approach}, {Approach, 1.0, Arrive},
      {Approach, 1e-9, Arrive}, {Arrive, 0.3, Dart},       {Arrive, 1.0, Dart},
      {Hover, 0.15, Cruise},   {Hover, 0.151, Dart},      {Hover, 0.89, Dart},
      {Hover, 0.91, Wiggle},   {Hover, 1.0, Wiggle},      {Dart, 1.0, Hover},
      {Wiggle, 1.0, Cruise},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " draw " << c.draw);
    f.ribbon.Reset({0.2, -0.1, -5}, {0, 1, 0}, {0, 0, 1});
    Probe::Set(f.controller, c.from, 77);
    ForcedRandomDraws draws{c.draw, 0.75, 0.25, 0.5};
    Probe::ChangeState(f.controller, -1);
    EXPECT_EQ(f.controller.State(), c.to);
    EXPECT_EQ(f.controller.StateMs(), 0);
    const Vector3 t = f.controller.Target();
    switch (c.to) {
      case Cruise: ExpectExactly(t, {0.5, -0.5, -3.5}); break;
      case Approach: ExpectExactly(t, {0.25, (0.25 - 0.5) * 0.6, 0}); break;
      case Dart:
        ExpectExactly(f.controller.DartOrigin(), {0.2, -0.1, -5});
        ExpectExactly(t, {0.25 * 0.4 + 0.2, -0.25 * 0.4 + -0.1, -5});
        break;
      case Hover: EXPECT_EQ(f.controller.StateDurationMs(), 750); break;
      case Wiggle:
        EXPECT_EQ(f.controller.WiggleCentreX(), 0.2);
        EXPECT_EQ(f.controller.StateDurationMs(), 4000);
        break;
    }
    const std::size_t expectedDraws[] = {4, 3, 1, 2, 3, 1};
    EXPECT_EQ(draws.Taken(), expectedDraws[c.to]);
  }
}

TEST(Flight, ApproachNeedsTheHeadAtOrBehindMinusOne) {
  Flight f;
  f.ribbon.Reset({0, 0, -1.0}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Cruise);
  {
    ForcedRandomDraws draws{0.99, 1.0, 0.0};
    Probe::ChangeState(f.controller, -1);
  }
  EXPECT_EQ(f.controller.State(), Approach);
  ExpectExactly(f.controller.Target(), {0.5, -0.3, 0});

  f.ribbon.Reset({0, 0, -0.999}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Cruise);
  ForcedRandomDraws draws{0.99, 1.0, 0.0, 0.5};
  Probe::ChangeState(f.controller, -1);
  EXPECT_EQ(f.controller.State(), Cruise);
  ExpectExactly(f.controller.Target(), {1.0, -1.0, -3.5});
  EXPECT_EQ(draws.Taken(), 4u);
}

TEST(Flight, StateClocksEndOnTheFirstFramePastTheirLength) {
  Flight f;
  // Dart: at exactly 500 ms it has not ended; one millisecond more and it hovers.
  f.ribbon.Reset({0.1, 0.1, 0.2}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Arrive);
  {
    ForcedRandomDraws draws{0.5, 1.0, 0.0};
    Probe::ChangeState(f.controller, -1);
  }
  ASSERT_EQ(f.controller.State(), Dart);
  f.controller.Update(250);
  f.controller.Update(250);
  EXPECT_EQ(f.controller.State(), Dart);
  EXPECT_NEAR(f.Head().position.x, 0.1 + 0.2, 1e-12);
  EXPECT_NEAR(f.Head().position.y, 0.1 - 0.2, 1e-12);
  ExpectExactly(f.Head().forward, {0, 0, 1});
  EXPECT_EQ(f.ribbon.Node(19).position.z, 0.2 + -0.05 * 19);
  {
    ForcedRandomDraws draws{0.5, 0.0};  // into Hover, for a length of 0
    f.controller.Update(1);
  }
  ASSERT_EQ(f.controller.State(), Hover);
  EXPECT_EQ(f.controller.StateDurationMs(), 0);
  // Hover of length 0 lasts through frames of no time and ends on the first that has some.
  f.controller.Update(0);
  EXPECT_EQ(f.controller.State(), Hover);
  {
    ForcedRandomDraws draws{0.5, 1.0, 0.0};
    f.controller.Update(1);
  }
  EXPECT_EQ(f.controller.State(), Dart);

  // Cruise gives up after 3000 ms when the target is out of reach.
  f.ribbon.Reset({0, 0, -20}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Cruise);
  Probe::SetTarget(f.controller, {0, 0, 50});
  f.controller.Update(3000);
  EXPECT_EQ(f.controller.State(), Cruise);
  EXPECT_NEAR(f.Head().position.z, -20 + 9, 1e-9);  // not clamped: 0.003 · 3000 in one frame
  {
    ForcedRandomDraws draws{1.0};
    f.controller.Update(1);
    EXPECT_EQ(draws.Taken(), 1u);
  }
  EXPECT_EQ(f.controller.StateMs(), 0);
  // ... and changes as soon as the head comes within 0.4 of it, measured after the move.
  Probe::SetTarget(f.controller, f.Head().position + Vector3(0, 0, 0.43));
  {
    ForcedRandomDraws draws{0.2, 0.5, 0.5, 0.5};
    f.controller.Update(16);
    EXPECT_EQ(draws.Taken(), 4u);
  }
  ExpectExactly(f.controller.Target(), {0, 0, -3.5});

  // Arrive: 3000 ms, then Dart.
  Probe::Set(f.controller, Arrive);
  f.controller.Update(3000);
  EXPECT_EQ(f.controller.State(), Arrive);
  ForcedRandomDraws draws{0.5, 0.5, 0.5};
  f.controller.Update(1);
  EXPECT_EQ(f.controller.State(), Dart);
}

TEST(Flight, FirstApproachFrameAtTheViewerPlaneSwitchesAndStillFlies) {
  Flight f;
  f.ribbon.Reset({0.3, 0.1, 0.0}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Approach, 900);
  Probe::SetTarget(f.controller, {-5, -5, 0});  // a pull that must not act: t is now 0
  ForcedRandomDraws draws{0.5};
  f.controller.Update(16);
  EXPECT_EQ(draws.Taken(), 1u);
  EXPECT_EQ(f.controller.State(), Arrive);
  EXPECT_EQ(f.controller.StateMs(), 0);
  EXPECT_EQ(f.Head().position.x, 0.3);
  EXPECT_EQ(f.Head().position.y, 0.1);
  EXPECT_NEAR(f.Head().position.z, 0.003 * 16, 1e-15);
}

TEST(Flight, NoElapsedTimeMovesNothingButArrive) {
  Flight f;
  for (std::uint32_t s : {Cruise, Approach, Hover, Dart}) {
    SCOPED_TRACE(s);
    f.ribbon.Reset({0.2, 0.3, -4}, {0, 1, 0}, {0, 0, 1});
    Probe::Set(f.controller, s);
    Probe::SetTarget(f.controller, {0.2, 0.3, -4});  // Dart eases from here to here
    Probe::SetDartOrigin(f.controller, {0.2, 0.3, -4});
    const Vector3 before = f.Head().position;
    f.controller.Update(0);
    ExpectExactly(f.Head().position, before);
    EXPECT_EQ(f.controller.State(), s);
  }

  // Wiggle at t = 0 has no amplitude: every node sits at the centre x.
  f.ribbon.Reset({0.2, 0.3, -4}, {0, 1, 0}, {0, 0, 1});
  f.ribbon.Node(5).position.x = 7;
  Probe::Set(f.controller, Hover);
  {
    ForcedRandomDraws draws{1.0};
    Probe::ChangeState(f.controller, -1);
  }
  ASSERT_EQ(f.controller.State(), Wiggle);
  f.controller.Update(0);
  for (int i = 0; i < Ribbon::NumberOfNodes; ++i) EXPECT_EQ(f.ribbon.Node(i).position.x, 0.2);
  EXPECT_EQ(f.ribbon.Node(5).position.z, -4 - 0.05 * 5);

  // Arrive works per frame: it creeps 0.003 and draws the body in even with no elapsed time.
  f.ribbon.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  f.ribbon.Node(10).position = {0.4, 0.2, -0.5};
  Probe::Set(f.controller, Arrive);
  f.controller.Update(0);
  EXPECT_NEAR(f.Head().position.z, 0.003, 1e-15);
  EXPECT_LT(std::abs(f.ribbon.Node(10).position.x), 0.4 * 0.95);
  EXPECT_EQ(f.controller.State(), Arrive);

  // A negative count (a tick difference past 2^31) is no time at all, not time run backwards.
  f.ribbon.Reset({0, 0, -4}, {0, 1, 0}, {0, 0, 1});
  Probe::Set(f.controller, Cruise, 100);
  Probe::SetTarget(f.controller, {0, 0, 5});
  f.controller.Update(-334);
  EXPECT_EQ(f.Head().position.z, -4);
  EXPECT_EQ(f.controller.StateMs(), 100);
}

}  // namespace
