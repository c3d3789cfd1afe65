// The Wayland saver's covers as outputs come and go: what an output's removed global or a
// closed surface takes away, and where the creature goes on. No compositor here can unplug an
// output while a client runs, so the events are fed to the cover list directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wayland/CoverList.h"
#include "platform/wayland/WaylandDisplay.h"

namespace {

using platform::wayland::Cover;
using platform::wayland::CoverLoss;
using platform::wayland::Output;

struct Case {
  const char* what;
  int outputs;               // covers 0..n-1, cover 0 the main one unless main says otherwise
  int main;
  int lostOutput;            // an output's global removed (-1: none)
  int closedCover;           // a cover closed by the compositor (-1: none)
  std::vector<int> left;     // the covers left, by index
  std::vector<int> gone;
  int newMain;               // -1: the creature did not move (or nothing is left to carry it)
  bool mainMoved;
};

TEST(WaylandCovers, OutputsComeAndGo) {
  const Case cases[] = {
      {"a second output unplugged", 2, 0, 1, -1, {0}, {1}, -1, false},
      {"the creature's output unplugged", 3, 0, 0, -1, {1, 2}, {0}, 1, true},
      {"the creature's, moved before", 3, 2, 2, -1, {0, 1}, {2}, 0, true},
      {"the only output unplugged", 1, 0, 0, -1, {}, {0}, -1, true},
      {"an output nobody covers", 2, 0, 5, -1, {0, 1}, {}, -1, false},
      {"a clear surface closed", 3, 0, -1, 2, {0, 1}, {2}, -1, false},
      {"the creature's surface closed", 2, 0, -1, 0, {1}, {0}, 1, true},
      {"the last surface closed", 1, 0, -1, 0, {}, {0}, -1, true},
  };
  for (const Case& c : cases) {
    Output outputs[6];
    Cover store[6];
    std::vector<Cover*> covers;
    for (int i = 0; i < c.outputs; ++i) {
      store[i].output = &outputs[i];
      store[i].main = i == c.main;
      covers.push_back(&store[i]);
    }
    const CoverLoss loss = c.lostOutput >= 0
                               ? platform::wayland::LoseOutput(covers, &outputs[c.lostOutput])
                               : platform::wayland::LoseCover(covers, &store[c.closedCover]);
    std::vector<Cover*> left, gone;
    for (int i : c.left) left.push_back(&store[i]);
    for (int i : c.gone) gone.push_back(&store[i]);
    EXPECT_EQ(covers, left) << c.what;
    EXPECT_EQ(loss.gone, gone) << c.what;
    EXPECT_EQ(loss.mainMoved, c.mainMoved) << c.what;
    EXPECT_EQ(loss.newMain, c.newMain >= 0 ? &store[c.newMain] : nullptr) << c.what;
    int mains = 0;
    for (const Cover* k : covers) mains += k->main ? 1 : 0;
    EXPECT_EQ(mains, covers.empty() ? 0 : 1) << c.what << ": one cover carries the creature";
  }
  // A surface closed after its output's removal took it (both events come): nothing more.
  Output output;
  Cover a, b;
  a.output = b.output = &output;
  std::vector<Cover*> covers{&b};
  EXPECT_TRUE(platform::wayland::LoseCover(covers, &a).gone.empty());
  EXPECT_EQ(covers.size(), 1u);
}

// Why no Wayland mode can be had, in the user's words.
TEST(WaylandCovers, SaysWhichProtocolsAreMissing) {
  using platform::wayland::WhyNoSaverRole;
  EXPECT_EQ(WhyNoSaverRole(false, false, false, false, false),
            "no Wayland compositor to connect to");
  EXPECT_EQ(WhyNoSaverRole(true, true, true, false, false),
            "the Wayland compositor offers no zwlr_layer_shell_v1 or xdg_wm_base");
  EXPECT_EQ(WhyNoSaverRole(true, false, true, false, true),
            "the Wayland compositor offers no wl_compositor");
  EXPECT_EQ(WhyNoSaverRole(true, true, false, false, false),
            "the Wayland compositor offers no wl_shm, zwlr_layer_shell_v1 or xdg_wm_base");
  EXPECT_EQ(WhyNoSaverRole(true, true, true, true, false), "");
  EXPECT_EQ(WhyNoSaverRole(true, true, true, false, true), "");
}

}  // namespace
