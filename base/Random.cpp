#include "base/Random.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// 1 is the state an unseeded C-library generator starts from.
constinit std::uint32_t state = 1;
constinit ForcedRandomDraws* forced = nullptr;

int NextFromState() {
  state = state * 1103515245u + 12345u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

}  // namespace

bool TakeForcedDraw(double& value) {
  if (forced == nullptr) return false;
  ++forced->taken_;
  if (forced->next_ == forced->count_) return false;
  value = forced->draws_[forced->next_++];
  return true;
}

void SeedRandom(unsigned seed) { state = static_cast<std::uint32_t>(seed); }

int RandomInt() {
  double value;
  if (TakeForcedDraw(value)) return static_cast<int>(std::lround(value * RandomMax));
  return NextFromState();
}

double Random01() {
  double value;
  if (TakeForcedDraw(value)) return value;
  return NextFromState() * 3.051850947599719e-05;
}

ForcedRandomDraws::ForcedRandomDraws(std::initializer_list<double> draws) : outer_(forced) {
  for (double d : draws) {
    if (count_ == Capacity) {
      std::fprintf(stderr, "ForcedRandomDraws: more than %zu draws\n", Capacity);
      std::abort();
    }
    draws_[count_++] = d;
  }
  forced = this;
}

ForcedRandomDraws::~ForcedRandomDraws() { forced = outer_; }
