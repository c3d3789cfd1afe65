#include "platform/wayland/CoverList.h"

#include <algorithm>

namespace platform::wayland {
namespace {

template <typename Match>
CoverLoss Lose(std::vector<Cover*>& covers, Match match) {
  CoverLoss loss;
  const auto kept = std::stable_partition(covers.begin(), covers.end(),
                                          [&](const Cover* c) { return !match(c); });
  loss.gone.assign(kept, covers.end());
  covers.erase(kept, covers.end());
  for (const Cover* c : loss.gone) loss.mainMoved = loss.mainMoved || c->main;
  // The creature continues on the first output left, as it starts on the first.
  if (loss.mainMoved && !covers.empty()) {
    loss.newMain = covers.front();
    loss.newMain->main = true;
  }
  return loss;
}

}  // namespace

CoverLoss LoseOutput(std::vector<Cover*>& covers, const Output* output) {
  return Lose(covers, [output](const Cover* c) { return c->output == output; });
}

CoverLoss LoseCover(std::vector<Cover*>& covers, const Cover* cover) {
  return Lose(covers, [cover](const Cover* c) { return c == cover; });
}

}  // namespace platform::wayland
