// The frame pacer over simulated drivers: one whose swap waits for the display's refresh, one
// whose swap returns at once, and ones that change their behaviour mid-run.
#include "render/FramePacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

constexpr std::int64_t Period = 16667;  // 60 Hz, in microseconds
constexpr std::int64_t DrawTime = 2000;

// When the swap of frame `index`, begun at `start`, returns.
using Driver = std::function<std::int64_t(int index, std::int64_t start)>;

std::int64_t Immediate(std::int64_t start) { return start + DrawTime; }
// The first refresh after the drawing is done.
std::int64_t AtRefresh(std::int64_t start) { return ((start + DrawTime) / Period + 1) * Period; }

struct Frame {
  std::int64_t start;
  std::int64_t presented;
  std::int64_t next;
};

std::vector<Frame> Fly(const Driver& driver, int frames) {
  FramePacer pacer(Period);
  std::vector<Frame> run;
  std::int64_t start = 1000;
  for (int i = 0; i < frames; ++i) {
    const std::int64_t presented = driver(i, start);
    const std::int64_t next = pacer.NextStart(start, presented);
    run.push_back({start, presented, next});
    start = next + 50;  // a sleep ends a little late
  }
  return run;
}

// The most frames presented in any second from frame `from` on.
int MostPerSecond(const std::vector<Frame>& run, int from) {
  int most = 0;
  for (size_t i = from, j = from; i < run.size(); ++i) {
    while (run[i].presented - run[j].presented >= 1000000) ++j;
    most = std::max(most, static_cast<int>(i - j + 1));
  }
  return most;
}

TEST(FramePacer, PacesOnlyASwapThatDoesNotWaitAndFollowsADriverThatChanges) {
  constexpr int Frames = 1200, Change = 400;
  const struct {
    const char* name;
    Driver driver;
    bool waitsAtEnd;
  } cases[] = {
      {"swap returns at once", [](int, std::int64_t s) { return Immediate(s); }, false},
      {"swap waits for the refresh", [](int, std::int64_t s) { return AtRefresh(s); }, true},
      {"swap waits, late by up to a millisecond",
       [](int i, std::int64_t s) { return AtRefresh(s) + (i * 7919) % 1000; }, true},
      {"swap stops waiting", [](int i, std::int64_t s) { return i < Change ? AtRefresh(s) : Immediate(s); },
       false},
      {"swap starts waiting", [](int i, std::int64_t s) { return i < Change ? Immediate(s) : AtRefresh(s); },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Frame> run = Fly(c.driver, Frames);
    // Settled: a probe's worth of frames after the change, which is long enough to notice it.
    const int settled = Change + FramePacer::ProbeEvery + FramePacer::SwitchAfter + 2;
    // Never more frames than refreshes, but for the few it takes to notice a swap that stopped
    // waiting (a second's window may hold 61 presents of a 60 Hz cadence); the mean rate once
    // settled, probes and all, is the display's.
    EXPECT_LE(MostPerSecond(run, 0), 61 + FramePacer::SwitchAfter);
    EXPECT_LE(MostPerSecond(run, settled), 61);
    const double rate = (Frames - 1 - settled) * 1e6 /
                        static_cast<double>(run.back().presented - run[settled].presented);
    EXPECT_LE(rate, 1e6 / Period + 0.01);
    if (c.waitsAtEnd) {
      for (int i = settled; i < Frames; ++i) {
        ASSERT_EQ(run[i].next, run[i].presented) << "a wait added at frame " << i;
        ASSERT_LT(run[i].presented - run[i - 1].presented, Period + Period / 2)
            << "a refresh missed at frame " << i;
      }
    } else {
      EXPECT_GE(MostPerSecond(run, settled), 59) << "paced below the refresh";
    }
  }
}

TEST(FramePacer, AStallRestartsTheCadenceInsteadOfRushing) {
  // 100 ms lost in one frame: the frames after it keep a period apart, not a burst to catch up.
  const std::vector<Frame> run = Fly(
      [](int i, std::int64_t s) { return Immediate(s) + (i == 60 ? 100000 : 0); }, 90);
  for (int i = 62; i < 90; ++i)
    EXPECT_GE(run[i].start - run[i - 1].start, Period - 100) << "frame " << i;
}

}  // namespace
