#pragma once
#include <cstddef>
#include <initializer_list>

// The one random source of the saver: the flight autopilot and the wings draw from it.
//
// A linear congruential generator with the classic C-library contract: RandomInt() gives 0 to
// RandomMax, SeedRandom(s) restarts the sequence, and before any seeding the generator behaves
// as if seeded with 1. Its state is a 32-bit unsigned integer with wrapping arithmetic, so a
// seed gives the same sequence on every platform and compiler. The state is constant-initialised,
// so draws made during static initialisation (the first flight target) are valid and the same on
// every run.
//
// Not thread-safe: after start-up only the render thread draws.

constexpr int RandomMax = 32767;

void SeedRandom(unsigned seed);

// 0 to RandomMax inclusive.
int RandomInt();

// RandomInt() · 3.051850947599719e-05 (1/32767, multiplied, not divided): a double in [0, 1]
// with both ends reachable, 0 giving exactly 0.0 and 32767 exactly 1.0.
double Random01();

// Test seam. While an instance is alive, Random01() returns the given values in order, verbatim
// (0.0 and 1.0 included), and RandomInt() returns them scaled back to 0..RandomMax (rounded).
// The generator's own state does not advance for forced draws. Once the list is used up, draws
// fall through to the generator again; Taken() tells how many draws were made through the seam,
// so a test can check that code drew exactly as often as it should. Instances may nest; the
// innermost one is active. The values are copied (at most Capacity of them; more is a test
// bug and aborts), so a braced list can be passed directly.
class ForcedRandomDraws {
 public:
  static constexpr std::size_t Capacity = 64;

  ForcedRandomDraws(std::initializer_list<double> draws);
  ~ForcedRandomDraws();
  ForcedRandomDraws(const ForcedRandomDraws&) = delete;
  ForcedRandomDraws& operator=(const ForcedRandomDraws&) = delete;

  // Draws requested while this seam was active, including any that fell through.
  std::size_t Taken() const { return taken_; }
  // Forced values not yet drawn.
  std::size_t Remaining() const { return count_ - next_; }

 private:
  friend bool TakeForcedDraw(double& value);

  double draws_[Capacity];
  std::size_t count_ = 0;
  std::size_t next_ = 0;
  std::size_t taken_ = 0;
  ForcedRandomDraws* outer_;
};
