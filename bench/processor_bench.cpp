// The processor's share of one frame, piece by piece: the autopilot in each of its states, the
// ribbon packed for the shaders, the wings placed on the body, their clocks advanced and their
// geometry built, and all of it together. Every benchmark also reports the heap allocations it
// made per frame, which must be zero.
//
//   processor_bench [--benchmark_repetitions=5 ...]
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "base/Random.h"
#include "creature/FlightController.h"
#include "creature/Ribbon.h"
#include "creature/Wing.h"
#include "render/FrameDrawing.h"

namespace {
std::atomic<long> allocations{0};
}

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int FrameMs = 16;
constexpr unsigned Seed = 20261208;

// Counts the allocations made inside a benchmark's timed loop, reported per iteration.
class AllocationCount {
 public:
  AllocationCount() : start_(allocations.load()) {}
  void Report(benchmark::State& state) const {
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(allocations.load() - start_), benchmark::Counter::kAvgIterations);
  }

 private:
  long start_;
};

// An autopilot flying on its own ribbon, held in one state: a visit to that state is recorded
// as it begins, and whenever the flight leaves the state the visit is flown again from there.
// The replay copies about 3 KB once per visit, a few nanoseconds per frame at most.
class HeldFlight {
 public:
  // Flies from the seed until a visit to `state` that lasts at least MinimumFrames frames.
  explicit HeldFlight(std::uint32_t state) : state_(state) {
    SeedRandom(Seed);
    controller_.emplace(ribbon_);
    for (long frame = 0; frame < 20'000'000; ++frame) {
      const std::uint32_t before = controller_->State();
      controller_->Update(FrameMs);
      if (controller_->State() != state_ || before == state_) continue;
      savedRibbon_ = ribbon_;
      saved_.emplace(*controller_);
      const int frames = FramesOfVisit();
      Replay();
      if (frames >= MinimumFrames) {
        found_ = true;
        return;
      }
    }
  }

  bool Found() const { return found_; }
  Ribbon& FlownRibbon() { return ribbon_; }

  // One frame; back to the recorded visit when the state was left.
  void Frame() {
    controller_->Update(FrameMs);
    if (controller_->State() != state_) Replay();
  }

 private:
  static constexpr int MinimumFrames = 20;

  int FramesOfVisit() {
    int frames = 0;
    while (controller_->State() == state_ && frames < 1'000'000) {
      controller_->Update(FrameMs);
      ++frames;
    }
    return frames;
  }
  void Replay() {
    ribbon_ = savedRibbon_;  // same sizes: the vectors copy in place
    controller_.emplace(*saved_);
  }

  std::uint32_t state_;
  Ribbon ribbon_;
  std::optional<FlightController> controller_;
  Ribbon savedRibbon_;
  std::optional<FlightController> saved_;
  bool found_ = false;
};

// A ribbon bent by some seconds of flight, so that no node's frame is the trivial one.
Ribbon& BentRibbon() {
  static Ribbon ribbon;
  static bool flown = false;
  if (!flown) {
    SeedRandom(Seed);
    FlightController controller(ribbon);
    for (int i = 0; i < 5000; ++i) controller.Update(FrameMs);
    flown = true;
  }
  return ribbon;
}

// Takes the wing's geometry as the GL canvas would, at the cost of one store per vertex: the
// calls are virtual and made from another file, so none of the geometry can be dropped.
class KeepingCanvas final : public WingCanvas {
 public:
  void BeginTranslucent(double alpha) override { alpha_ = alpha; }
  void Begin(Strip) override {}
  void Vertex(const Vector3& v) override {
    last_ = v;
    ++count_;
  }
  void End() override {}
  void EndTranslucent() override {}
  long Count() const { return count_ + (alpha_ > 0) + (last_.x != 0); }

 private:
  double alpha_ = 0;
  Vector3 last_;
  long count_ = 0;
};

void FlightUpdate(benchmark::State& state, std::uint32_t flightState) {
  HeldFlight flight(flightState);
  if (!flight.Found()) {
    state.SkipWithError("no long enough visit to the state");
    return;
  }
  AllocationCount count;
  for (auto _ : state) {
    flight.Frame();
    benchmark::ClobberMemory();
  }
  count.Report(state);
}

void RibbonPacking(benchmark::State& state) {
  Ribbon& ribbon = BentRibbon();
  AllocationCount count;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ribbon.GetMatrixes());
    benchmark::DoNotOptimize(ribbon.GetVertexes());
    benchmark::ClobberMemory();
  }
  count.Report(state);
}

void WingPlacementBoth(benchmark::State& state) {
  Ribbon& ribbon = BentRibbon();
  FrameWings wings;
  WingPlacement first, second;
  AllocationCount count;
  for (auto _ : state) {
    PlaceWings(wings, ribbon, first, second);
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
  }
  count.Report(state);
}

void WingAdvanceBoth(benchmark::State& state) {
  Wing first, second;
  AllocationCount count;
  for (auto _ : state) {
    first.Advance(FrameMs);
    second.Advance(FrameMs);
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
  }
  count.Report(state);
}

// The geometry of both wings (83 vertices each), without the GL calls that take it.
void WingGeometryBoth(benchmark::State& state) {
  Ribbon& ribbon = BentRibbon();
  FrameWings wings;
  WingPlacement first, second;
  PlaceWings(wings, ribbon, first, second);
  wings.first.Attach(first.root, first.axis, first.lateral);
  wings.second.Attach(second.root, second.axis, second.lateral);
  KeepingCanvas canvas;
  AllocationCount count;
  for (auto _ : state) {
    wings.first.Draw(canvas);
    wings.second.Draw(canvas);
  }
  benchmark::DoNotOptimize(canvas.Count());
  count.Report(state);
}

// Everything the processor does for one frame, in the order frame drawing does it, GL aside.
void WholeFrame(benchmark::State& state, std::uint32_t flightState) {
  HeldFlight flight(flightState);
  if (!flight.Found()) {
    state.SkipWithError("no long enough visit to the state");
    return;
  }
  Ribbon& ribbon = flight.FlownRibbon();
  FrameWings wings;
  WingPlacement first, second;
  KeepingCanvas canvas;
  AllocationCount count;
  for (auto _ : state) {
    flight.Frame();
    benchmark::DoNotOptimize(ribbon.GetMatrixes());
    benchmark::DoNotOptimize(ribbon.GetVertexes());
    PlaceWings(wings, ribbon, first, second);
    wings.first.Attach(first.root, first.axis, first.lateral);
    wings.first.Advance(FrameMs);
    wings.first.Draw(canvas);
    wings.second.Attach(second.root, second.axis, second.lateral);
    wings.second.Advance(FrameMs);
    wings.second.Draw(canvas);
  }
  benchmark::DoNotOptimize(canvas.Count());
  count.Report(state);
}

const char* const StateNames[FlightStateCount] = {"Cruise", "Approach", "Arrive",
                                                  "Hover",  "Dart",     "Wiggle"};

// Per-state benchmarks are named after the state: FlightUpdate/Dart, WholeFrame/Hover, ...
const bool registered = [] {
  for (std::uint32_t s = Cruise; s <= Wiggle; ++s) {
    benchmark::RegisterBenchmark((std::string("FlightUpdate/") + StateNames[s]).c_str(),
                                 FlightUpdate, s);
  }
  benchmark::RegisterBenchmark("RibbonPacking", RibbonPacking);
  benchmark::RegisterBenchmark("WingPlacement/both", WingPlacementBoth);
  benchmark::RegisterBenchmark("WingAdvance/both", WingAdvanceBoth);
  benchmark::RegisterBenchmark("WingGeometry/both", WingGeometryBoth);
  for (std::uint32_t s = Cruise; s <= Wiggle; ++s) {
    benchmark::RegisterBenchmark((std::string("WholeFrame/") + StateNames[s]).c_str(),
                                 WholeFrame, s);
  }
  return true;
}();

}  // namespace
