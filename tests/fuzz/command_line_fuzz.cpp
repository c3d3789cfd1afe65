// The command line: whatever the tail holds, at most one mode runs, and only with a handle the
// mode may take; a refused hack line shows its usage once and a run one never; the hack options
// come only from words that name them; the narrow and the wide forms of a tail choose alike; the
// window-id and argument helpers keep their own rules.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzTarget.h"
#include "host/Shell.h"

namespace {

enum class Mode { None, Saver, Settings, Password, Root, Window };

// Records the one mode that ran. Which numbers are windows comes from the input, so that both
// answers of IsWindow are explored.
class RecordingModes final : public ShellModes {
 public:
  RecordingModes(unsigned windowModulus, platform::WindowHandle foreground)
      : windowModulus(windowModulus), foreground(foreground) {}

  bool IsWindow(platform::WindowHandle window) override {
    return window != 0 && window % windowModulus == 0;
  }
  platform::WindowHandle ForegroundWindow() override { return foreground; }
  int RunSaverWindow(platform::WindowHandle parent) override { return Ran(Mode::Saver, parent, 10); }
  int RunSettingsDialog(platform::WindowHandle parent) override {
    return Ran(Mode::Settings, parent, 11);
  }
  void ChangeSaverPassword(platform::WindowHandle parent) override {
    Ran(Mode::Password, parent, 0);
  }
  int RunOnRoot(const HackOptions& o) override {
    options = o;
    return Ran(Mode::Root, 0, 12);
  }
  int RunOnWindow(platform::WindowHandle window, const HackOptions& o) override {
    options = o;
    return Ran(Mode::Window, window, 13);
  }
  void ShowHackUsage() override { ++usages; }

  const unsigned windowModulus;
  const platform::WindowHandle foreground;
  Mode mode = Mode::None;
  platform::WindowHandle handle = 0;
  int runs = 0;
  int usages = 0;
  HackOptions options;

 private:
  int Ran(Mode m, platform::WindowHandle h, int result) {
    ++runs;
    mode = m;
    handle = h;
    return result;
  }
};

void CheckOneRun(const RecordingModes& modes, int result, bool isWin95Family,
                 const std::string& tail) {
  FUZZ_CHECK(modes.runs <= 1);
  FUZZ_CHECK(modes.usages <= 1);
  if (modes.mode != Mode::None) FUZZ_CHECK(modes.usages == 0);
  FUZZ_CHECK(!modes.options.showFps || tail.find("-fps") != std::string::npos);
  FUZZ_CHECK(!modes.options.noVSync || tail.find("-no-vsync") != std::string::npos);
  switch (modes.mode) {
    case Mode::None: FUZZ_CHECK(result == -1); break;
    case Mode::Saver:
      FUZZ_CHECK(result == 10);
      // Full screen, or a preview in a window that exists, named by the line's last digits.
      FUZZ_CHECK(modes.handle == 0 || modes.handle % modes.windowModulus == 0);
      if (modes.handle != 0) {
        const std::string digits = std::to_string(modes.handle);
        const std::size_t end = tail.find_last_not_of(' ') + 1;
        FUZZ_CHECK(end >= digits.size() &&
                   tail.compare(end - digits.size(), digits.size(), digits) == 0);
      }
      break;
    case Mode::Settings:
      FUZZ_CHECK(result == 11);
      // No parent (an empty line), the foreground window, or a window that exists.
      FUZZ_CHECK(modes.handle == 0 || modes.handle == modes.foreground ||
                 (modes.handle != 0 && modes.handle % modes.windowModulus == 0));
      break;
    case Mode::Password:
      FUZZ_CHECK(result == 0);
      FUZZ_CHECK(isWin95Family);
      break;
    case Mode::Root: FUZZ_CHECK(result == 12); break;
    case Mode::Window:
      FUZZ_CHECK(result == 13);
      FUZZ_CHECK(modes.handle != 0 && modes.handle % modes.windowModulus == 0);
      break;
  }
}

std::string Decimal(std::uint32_t value) { return std::to_string(value); }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

VELMORA_FUZZ_TARGET(command_line) {
  if (size < 2) return;
  const bool isWin95Family = data[0] & 1;
  const unsigned windowModulus = 1 + (data[0] >> 1) % 7;
  const platform::WindowHandle foreground = data[1] % 4 == 0 ? 0 : data[1];
  const std::string tail(reinterpret_cast<const char*>(data + 2), size - 2);

  RecordingModes narrow(windowModulus, foreground);
  const int narrowResult = ShellMain(narrow, tail, isWin95Family);
  CheckOneRun(narrow, narrowResult, isWin95Family, tail);

  // The same characters in UTF-16; bytes above 127 stand for characters beyond Latin-1, which
  // no rule accepts either.
  std::u16string wideTail;
  for (unsigned char c : tail) wideTail.push_back(c < 128 ? char16_t(c) : char16_t(0x100 + c));
  RecordingModes wide(windowModulus, foreground);
  const int wideResult = ShellMain(wide, wideTail, isWin95Family);
  CheckOneRun(wide, wideResult, isWin95Family, tail);
  FUZZ_CHECK(wideResult == narrowResult);
  FUZZ_CHECK(wide.mode == narrow.mode);
  FUZZ_CHECK(wide.handle == narrow.handle);
  FUZZ_CHECK(wide.usages == narrow.usages);
  FUZZ_CHECK(wide.options.showFps == narrow.options.showFps);
  FUZZ_CHECK(wide.options.noVSync == narrow.options.noVSync);

  // A handle is the whole text in digits (blanks at its end aside) and reads back from its own
  // decimal form; nothing else is one.
  const std::optional<std::uint32_t> handle = ParseWindowHandle(tail);
  FUZZ_CHECK(ParseWindowHandle(wideTail) == handle);
  const std::size_t digits = std::strspn(tail.c_str(), "0123456789");
  if (handle) {
    FUZZ_CHECK(*handle != 0);
    FUZZ_CHECK(digits > 0 && tail.find_first_not_of(' ', digits) == std::string::npos);
    FUZZ_CHECK(ParseWindowHandle(Decimal(*handle)) == handle);
  }

  // A window id that reads back from its own decimal and hex forms.
  if (const std::optional<std::uint32_t> id = ParseWindowId(tail)) {
    FUZZ_CHECK(*id != 0);
    FUZZ_CHECK(ParseWindowId(Decimal(*id)) == id);
    FUZZ_CHECK(ParseWindowId(Hex(*id)) == id);
    // All digits: more than ten of them fit 32 bits only behind leading zeros.
    if (digits == tail.size()) FUZZ_CHECK(tail.size() <= 10 || tail[0] == '0');
  }

  // The tail split at NUL bytes as an argument vector, joined back with blanks.
  std::vector<std::string> arguments{"velmora"};
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = tail.find('\0', start);
    arguments.push_back(tail.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<const char*> argv;
  std::string expected;
  for (const std::string& argument : arguments) {
    if (!argv.empty()) expected += (argv.size() > 1 ? " " : "") + argument;
    argv.push_back(argument.c_str());
  }
  const std::string joined = JoinArguments(static_cast<int>(argv.size()), argv.data());
  FUZZ_CHECK(joined == expected);
  RecordingModes fromArguments(windowModulus, foreground);
  CheckOneRun(fromArguments, ShellMain(fromArguments, joined, isWin95Family), isWin95Family,
              joined);
}
