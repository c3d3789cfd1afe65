// The choice of window system: the command line's `--<name>` words, and which table row serves a
// mode by preference, probe and fallback.
#ifndef _WIN32  // the Linux program's
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/WindowSystem.h"

namespace {

using platform::WindowNeed;
using platform::WindowSystem;

bool probeFull = false;  // what the full-screen-only system's probe says
bool probeAll = false;   // what the system of every mode says
bool ProbeFull() { return probeFull; }
bool ProbeAll() { return probeAll; }
std::string fullWhy;  // what the full-screen-only system says when it cannot serve
std::string FullWhy() { return fullWhy; }

const WindowSystem fullOnly{"wayland", true, false, ProbeFull, nullptr, nullptr, nullptr, FullWhy};
const WindowSystem everyMode{"x11", true, true, ProbeAll, nullptr, nullptr, nullptr};
const WindowSystem* const both[] = {&fullOnly, &everyMode};
const WindowSystem* const onlyFull[] = {&fullOnly};

struct FlagCase {
  std::vector<std::string> words;  // after the program name
  const char* chosen;
  std::vector<std::string> left;
};

TEST(WindowSystemChoice, TakesTheWindowSystemWords) {
  const FlagCase cases[] = {
      {{"/s"}, nullptr, {"/s"}},
      {{}, nullptr, {}},
      {{"--wayland", "/s"}, "wayland", {"/s"}},
      {{"/s", "--x11"}, "x11", {"/s"}},
      {{"--x11", "/p", "--wayland", "42"}, "wayland", {"/p", "42"}},
      {{"--wayland", "--x11"}, "x11", {}},
      // Only the whole word of a system in the table: anything else is the modes' to judge.
      {{"-wayland", "--x11=1", "--", "--sdl", "/s"}, nullptr, {"-wayland", "--x11=1", "--", "--sdl", "/s"}},
  };
  for (const FlagCase& c : cases) {
    std::vector<std::string> storage{"velmora"};
    storage.insert(storage.end(), c.words.begin(), c.words.end());
    std::vector<char*> argv;
    for (std::string& w : storage) argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    const std::string line = ::testing::PrintToString(c.words);
    const char* chosen = platform::TakeWindowSystemFlag(both, argc, argv.data());
    EXPECT_STREQ(chosen, c.chosen) << line;
    ASSERT_EQ(argc, static_cast<int>(c.left.size()) + 1) << line;
    EXPECT_STREQ(argv[0], "velmora") << line;
    for (std::size_t i = 0; i < c.left.size(); ++i) EXPECT_EQ(argv[i + 1], c.left[i]) << line;
    EXPECT_EQ(argv[argc], nullptr) << line;
  }
  // A build without X11 leaves `--x11` to the modes, which refuse it.
  std::string words[] = {"velmora", "--x11", "/s"};
  char* argv[] = {words[0].data(), words[1].data(), words[2].data(), nullptr};
  int argc = 3;
  EXPECT_EQ(platform::TakeWindowSystemFlag(onlyFull, argc, argv), nullptr);
  EXPECT_EQ(argc, 3);
}

struct ChoiceCase {
  bool full, all;           // the probes
  WindowNeed need;
  const char* preferred;
  const char* chosen;       // nullptr: none serves the need
};

TEST(WindowSystemChoice, PrefersThenProbesThenFallsBackToTheLast) {
  const ChoiceCase cases[] = {
      // Full screen: the first whose display answers, in the table's order.
      {true, true, WindowNeed::FullScreen, nullptr, "wayland"},
      {false, true, WindowNeed::FullScreen, nullptr, "x11"},
      // No display answers: the last one says why it cannot run.
      {false, false, WindowNeed::FullScreen, nullptr, "x11"},
      // A preference wins without a probe.
      {true, true, WindowNeed::FullScreen, "x11", "x11"},
      {false, false, WindowNeed::FullScreen, "wayland", "wayland"},
      // Windows by id: only the system that knows them, whatever is preferred or answers.
      {true, false, WindowNeed::Windows, nullptr, "x11"},
      {true, true, WindowNeed::Windows, "wayland", "x11"},
  };
  for (const ChoiceCase& c : cases) {
    probeFull = c.full;
    probeAll = c.all;
    const WindowSystem* chosen = platform::ChooseWindowSystem(both, c.need, c.preferred);
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen->name, c.chosen)
        << c.full << c.all << static_cast<int>(c.need) << (c.preferred ? c.preferred : "-");
  }
  // A build of the full-screen system alone has nothing for a preview.
  EXPECT_EQ(platform::ChooseWindowSystem(onlyFull, WindowNeed::Windows, nullptr), nullptr);
  probeFull = false;
  EXPECT_EQ(platform::ChooseWindowSystem(onlyFull, WindowNeed::FullScreen, nullptr), &fullOnly);
}

// Falling back to a system whose display does not answer either: the user learns why the
// preferred ones could not serve before that system says why it cannot run.
TEST(WindowSystemChoice, SaysWhyTheOthersCannotServe) {
  struct Case {
    bool all;             // the fallback's probe
    const char* why;      // what the other system says
    WindowNeed need;
    std::string told;
  } cases[] = {
      {false, "the Wayland compositor offers no zwlr_layer_shell_v1 or xdg_wm_base",
       WindowNeed::FullScreen,
       "velmora: the Wayland compositor offers no zwlr_layer_shell_v1 or xdg_wm_base\n"},
      {false, "", WindowNeed::FullScreen, ""},  // not on its desktop: nothing to explain
      {true, "no Wayland compositor to connect to", WindowNeed::FullScreen, ""},  // it runs
      {false, "no Wayland compositor to connect to", WindowNeed::Windows, ""},  // never served
  };
  for (const Case& c : cases) {
    probeAll = c.all;
    fullWhy = c.why;
    EXPECT_EQ(platform::WhyOthersCannot(both, c.need, &everyMode), c.told) << c.why;
  }
}

}  // namespace

#endif  // _WIN32
