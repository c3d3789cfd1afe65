// Mode selection over the command-line tail, with a fake window system that knows two windows.
#include "host/Shell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FakeModes : public ShellModes {
 public:
  std::string call;  // the mode that ran, with its window and hack options
  int usages = 0;

  bool IsWindow(platform::WindowHandle w) override { return w == 1234 || w == 77; }
  platform::WindowHandle ForegroundWindow() override { return 999; }
  int RunSaverWindow(platform::WindowHandle parent) override {
    call = "saver " + std::to_string(parent);
    return 0;
  }
  int RunSettingsDialog(platform::WindowHandle parent) override {
    call = "settings " + std::to_string(parent);
    return 1;
  }
  void ChangeSaverPassword(platform::WindowHandle parent) override {
    call = "password " + std::to_string(parent);
  }
  int RunOnRoot(const HackOptions& options) override {
    call = "root" + Flags(options);
    return 0;
  }
  int RunOnWindow(platform::WindowHandle w, const HackOptions& options) override {
    call = "window " + std::to_string(w) + Flags(options);
    return 0;
  }
  void ShowHackUsage() override { ++usages; }

 private:
  static std::string Flags(const HackOptions& options) {
    return std::string(options.showFps ? " fps" : "") + (options.noVSync ? " no-vsync" : "");
  }
};

struct Row {
  const char* tail;
  bool win95;
  const char* call;  // "" when no mode runs
  int code;
  bool usage = false;  // the hack usage line was shown
};

const Row rows[] = {
    {"", false, "settings 0", 1},
    {"   ", false, "settings 0", 1},
    {"/", false, "settings 0", 1},
    {"/s", false, "saver 0", 0},
    {"-S", false, "saver 0", 0},
    {"s", false, "saver 0", 0},
    {"/-/ s and more", false, "saver 0", 0},
    {"/p 1234", false, "saver 1234", 0},
    {"/l 1234", false, "saver 1234", 0},
    {"-P1234", false, "saver 1234", 0},
    {"/L    77  ", false, "saver 77", 0},
    {"/p 0001234", false, "saver 1234", 0},
    // A handle is its digits and nothing else: never cut or wrapped into another window's.
    {"/L 77 tail", false, "", -1},
    {"/p 1234x", false, "", -1},
    {"/p +1234", false, "", -1},
    {"/p -1234", false, "", -1},
    {"/p 4294968530", false, "", -1},  // 2^32 + 1234
    {"/p 99999999999999999999", false, "", -1},
    {"/c:1234x", false, "settings 999", 1},
    {"/c:4294968530", false, "settings 999", 1},
    {"/a 77junk", true, "password 999", 0},
    {"/p", false, "", -1},
    {"/p 0", false, "", -1},
    {"/p 555", false, "", -1},  // not a window
    {"/p x1234", false, "", -1},
    {"/p:1234", false, "", -1},
    {"/c", false, "settings 999", 1},
    {"/c:1234", false, "settings 1234", 1},
    {"/C:77", false, "settings 77", 1},
    {"/c 1234", false, "settings 999", 1},  // a blank is not the colon
    {"/c:", false, "settings 999", 1},
    {"/c:0", false, "settings 999", 1},
    {"/c:555", false, "settings 999", 1},
    {"/c: 1234", false, "settings 999", 1},
    {"/a 1234", false, "", -1},
    {"/a", false, "", -1},
    {"/a 1234", true, "password 1234", 0},
    {"/A", true, "password 999", 0},
    {"/a 555", true, "password 999", 0},
    {"/x", false, "", -1},
    {"x", false, "", -1},
    {"/1234", false, "", -1},
    {"\t/s", false, "", -1},
    {"-r", false, "", -1},
    {"-rootx", false, "", -1},
    {"/root", false, "", -1},
    {"-root", false, "root", 0},
    {"--root", false, "root", 0},
    {"  --root -fps", false, "root fps", 0},
    {"--root --no-vsync --fps", false, "root fps no-vsync", 0},
    {"--fps --root", false, "root fps", 0},
    {"-no-vsync -root", false, "root no-vsync", 0},
    {"--root --root", false, "root", 0},
    {"-window-id 1234", false, "window 1234", 0},
    {"--window-id 0x4d2", false, "window 1234", 0},
    {"--window-id   0X4D2", false, "window 1234", 0},
    {"--window-id=0x4D", false, "window 77", 0},
    {"-window-id=77", false, "window 77", 0},
    {"--window-id 0x4d2 --no-vsync --fps", false, "window 1234 fps no-vsync", 0},
    {"--root --fps --window-id 0x4d2", false, "window 1234 fps", 0},  // the preview's line
    {"--window-id 77 --window-id 1234", false, "window 1234", 0},
    {"--root --bogus", false, "", -1, true},
    {"--root fps", false, "", -1, true},
    {"--root ---fps", false, "", -1, true},
    {"--root --FPS", false, "", -1, true},
    {"--root --fps=1", false, "", -1, true},
    {"--root /s", false, "", -1, true},
    {"--window-id 1234 tail", false, "", -1, true},
    {"--fps", false, "", -1, true},  // no mode
    {"--no-vsync --fps", false, "", -1, true},
    {"-window-id", false, "", -1, true},
    {"--root -window-id", false, "", -1, true},
    {"-window-id 0", false, "", -1, true},
    {"-window-id 0x", false, "", -1, true},
    {"-window-id=", false, "", -1, true},
    {"-window-id 12ab", false, "", -1, true},
    {"-window-id -5", false, "", -1, true},
    {"-window-id 0x1000004d2", false, "", -1, true},  // beyond 32 bits, not wrapped
    {"-window-id 4294968530", false, "", -1, true},
    {"-window-id 555", false, "", -1},  // well formed, but not a window
};

TEST(ShellMain, CommandLineTable) {
  for (const Row& row : rows) {
    FakeModes modes;
    EXPECT_EQ(ShellMain(modes, row.tail, row.win95), row.code) << '"' << row.tail << '"';
    EXPECT_EQ(modes.call, row.call) << '"' << row.tail << '"';
    EXPECT_EQ(modes.usages, row.usage ? 1 : 0) << '"' << row.tail << '"';
  }
}

TEST(ShellMain, WideTailsReadAlike) {
  FakeModes modes;
  EXPECT_EQ(ShellMain(modes, u"/p 1234"), 0);
  EXPECT_EQ(modes.call, "saver 1234");
  EXPECT_EQ(ShellMain(modes, u"/c:77"), 1);
  EXPECT_EQ(modes.call, "settings 77");
  EXPECT_EQ(ShellMain(modes, u"--window-id 0x4d2"), 0);
  EXPECT_EQ(modes.call, "window 1234");
  modes.call.clear();
  EXPECT_EQ(ShellMain(modes, u"/\u00e9"), -1);
  EXPECT_EQ(ShellMain(modes, u"--window-id 12\u0663"), -1);  // a non-ASCII digit
  EXPECT_EQ(ShellMain(modes, u"--root --f\u0440s"), -1);
  EXPECT_EQ(modes.call, "");
  EXPECT_EQ(ShellMain(modes, u"--root --fps"), 0);
  EXPECT_EQ(modes.call, "root fps");
}

// The process decides from this, before the mode runs, whether a locker's reset may come.
TEST(IsHackCommandLine, TheFirstWordDecidesAsShellMainDoes) {
  for (const char* tail : {"--root", "  -root --fps", "-window-id=5", "--no-vsync junk", "-fps"})
    EXPECT_TRUE(IsHackCommandLine(tail)) << tail;
  for (const char* tail : {"", "/s", "-s", "/p 1234", "--rooted", "/root", "-c --root"})
    EXPECT_FALSE(IsHackCommandLine(tail)) << tail;
}

TEST(ParseWindowHandle, WholeDecimalNumbersWithin32Bits) {
  EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
  EXPECT_EQ(ParseWindowHandle(u"0001234  "), 1234u);
  for (const char* refused : {"", "  ", "0", "abc", " 12", "12ab34", "+12", "-12", "4294967296",
                              "99999999999999999999", "12 34"})
    EXPECT_EQ(ParseWindowHandle(refused), std::nullopt) << refused;
}

TEST(JoinArguments, ArgumentsAfterTheProgramNameJoinedByOneBlank) {
  const char* none[] = {"velmora"};
  EXPECT_EQ(JoinArguments(1, none), "");
  const char* split[] = {"velmora", "/p", "1234"};
  EXPECT_EQ(JoinArguments(3, split), "/p 1234");
  const char* quoted[] = {"velmora", "/p 1234"};
  EXPECT_EQ(JoinArguments(2, quoted), "/p 1234");
  const char* hack[] = {"velmora", "-window-id", "0x1234"};
  EXPECT_EQ(JoinArguments(3, hack), "-window-id 0x1234");
}

}  // namespace
