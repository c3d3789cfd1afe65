#pragma once
// Mode selection over the command-line tail: the platform's screen-saver protocol (a letter with
// an optional window handle) and XScreenSaver's hack options (-root, -window-id ID, -fps,
// -no-vsync).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Types.h"

// What XScreenSaver's own options ask of one run; they replace the stored settings for that run
// only and are never saved.
struct HackOptions {
  bool showFps = false;  // --fps: the frame-rate text, whatever EnableFPS holds
  bool noVSync = false;  // --no-vsync: swap interval 0, whatever EnableVSync holds
};

// Puts the options into the settings of this run (never saved); the platform calls it as a hack
// mode starts, before the render thread reads the settings.
void ApplyHackOptions(const HackOptions& options);

// The one line a hack command line that is not understood gets.
inline constexpr char HackUsage[] =
    "usage: velmora --root | --window-id ID [--fps] [--no-vsync]";

// The modes a command line can select, as the platform carries them out.
class ShellModes {
 public:
  virtual ~ShellModes() = default;
  virtual bool IsWindow(platform::WindowHandle window) = 0;
  virtual platform::WindowHandle ForegroundWindow() = 0;
  // parent 0: full screen; otherwise the preview inside parent.
  virtual int RunSaverWindow(platform::WindowHandle parent) = 0;
  virtual int RunSettingsDialog(platform::WindowHandle parent) = 0;
  virtual void ChangeSaverPassword(platform::WindowHandle parent) = 0;
  // XScreenSaver's hack modes: draw on the window it names (or the root window), or on a given
  // window. Platforms without that protocol answer -1.
  virtual int RunOnRoot(const HackOptions& options) = 0;
  virtual int RunOnWindow(platform::WindowHandle window, const HackOptions& options) = 0;
  // A hack command line that is not understood; the platform shows HackUsage where it can.
  virtual void ShowHackUsage() {}
};

// Picks the mode named by tail (the command line after the program name and its blanks) and
// returns the exit code: the mode's own result, or -1 for a command line that is not accepted.
// isWin95Family enables the change-password mode. A tail whose first word is a hack option is a
// hack command line: its words in any order, one mode at least (-window-id wins over -root, as
// XScreenSaver's preview appends it to a line that holds -root), each word known, or -1.
int ShellMain(ShellModes& modes, std::string_view tail, bool isWin95Family = false);
int ShellMain(ShellModes& modes, std::u16string_view tail, bool isWin95Family = false);

// Whether ShellMain takes tail for XScreenSaver's command line (its first word is a hack option),
// whatever the rest holds.
bool IsHackCommandLine(std::string_view tail);

// A window handle of the platform's protocol: the whole of text (blanks at its end aside) in
// decimal digits, non-zero and within 32 bits; nullopt for anything else (a sign, junk after the
// digits, a number past 32 bits), never a cut or wrapped number.
std::optional<std::uint32_t> ParseWindowHandle(std::string_view text);
std::optional<std::uint32_t> ParseWindowHandle(std::u16string_view text);

// An XScreenSaver window id: the whole of text in decimal or 0x hex, non-zero and within 32 bits.
std::optional<std::uint32_t> ParseWindowId(std::string_view text);

// The command line of a program started with argv: the arguments after the program name, joined
// by one blank, so that `velmora /p 1234` and `velmora "/p 1234"` read alike.
std::string JoinArguments(int argc, const char* const* argv);
