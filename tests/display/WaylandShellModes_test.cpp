// The window-system words of the Linux command line: taken out wherever they stand, the last
// one wins, and what remains is the command line the modes read, still ending in a null pointer.
#include "platform/wayland/WaylandShellModes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
  std::vector<std::string> words;  // after the program name
  platform::WindowSystem chosen;
  std::vector<std::string> left;
};

TEST(WaylandShellModes, TakesTheWindowSystemWords) {
  using platform::WindowSystem;
  const Case cases[] = {
      {{"/s"}, WindowSystem::Choose, {"/s"}},
      {{}, WindowSystem::Choose, {}},
      {{"--wayland", "/s"}, WindowSystem::Wayland, {"/s"}},
      {{"/s", "--x11"}, WindowSystem::X11, {"/s"}},
      {{"--x11", "/p", "--wayland", "42"}, WindowSystem::Wayland, {"/p", "42"}},
      {{"--wayland", "--x11"}, WindowSystem::X11, {}},
      // Only the whole word: anything else is the modes' to judge.
      {{"-wayland", "--x11=1", "/s"}, WindowSystem::Choose, {"-wayland", "--x11=1", "/s"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> storage{"velmora"};
    storage.insert(storage.end(), c.words.begin(), c.words.end());
    std::vector<char*> argv;
    for (std::string& w : storage) argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    const std::string line = ::testing::PrintToString(c.words);
    EXPECT_EQ(platform::TakeWindowSystemFlag(argc, argv.data()), c.chosen) << line;
    ASSERT_EQ(argc, static_cast<int>(c.left.size()) + 1) << line;
    EXPECT_STREQ(argv[0], "velmora") << line;
    for (std::size_t i = 0; i < c.left.size(); ++i) EXPECT_EQ(argv[i + 1], c.left[i]) << line;
    EXPECT_EQ(argv[argc], nullptr) << line;
  }
}

}  // namespace
