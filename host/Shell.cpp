#include "host/Shell.h"

namespace {

template <typename Char>
bool IsBlank(Char c) {
  return c == Char(' ');
}

template <typename Char>
std::size_t SkipBlanks(std::basic_string_view<Char> text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// A handle of the platform's protocol: the rest of the line, blanks at its end aside, in decimal
// digits only, non-zero and within 32 bits. A sign, junk after the digits or a number past 32
// bits is no handle at all, never a cut or wrapped one that may name some other window.
template <typename Char>
std::optional<std::uint32_t> ParseDecimal(std::basic_string_view<Char> text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (Char c : text) {
    if (c < Char('0') || c > Char('9')) return std::nullopt;
    value = value * 10u + static_cast<std::uint32_t>(c - Char('0'));
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (value == 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The word at `at` (up to a blank or the end), as narrow text when it is plain ASCII.
template <typename Char>
std::optional<std::string> WordAt(std::basic_string_view<Char> text, std::size_t at) {
  std::string word;
  for (; at < text.size() && !IsBlank(text[at]); ++at) {
    if (text[at] < Char(1) || text[at] > Char(126)) return std::nullopt;
    word.push_back(static_cast<char>(text[at]));
  }
  return word;
}

// XScreenSaver's options take one dash or two.
bool IsOption(std::string_view word, std::string_view name) {
  if (word.starts_with("--")) {
    word.remove_prefix(2);
  } else if (word.starts_with("-")) {
    word.remove_prefix(1);
  } else {
    return false;
  }
  return word == name;
}

// The value of "-window-id=ID" or "--window-id=ID", or nullopt for any other word.
std::optional<std::string> WindowIdValue(const std::string& word) {
  for (std::string_view prefix : {"--window-id=", "-window-id="})
    if (word.starts_with(prefix)) return word.substr(prefix.size());
  return std::nullopt;
}

bool IsHackWord(const std::string& word) {
  return IsOption(word, "root") || IsOption(word, "window-id") || IsOption(word, "fps") ||
         IsOption(word, "no-vsync") || WindowIdValue(word).has_value();
}

template <typename Char>
bool StartsWithHackWord(std::basic_string_view<Char> tail) {
  const std::optional<std::string> first = WordAt(tail, SkipBlanks(tail, 0));
  return first && IsHackWord(*first);
}

// XScreenSaver's command line; nullopt when the tail does not start with one of its words.
template <typename Char>
std::optional<int> RunHackOption(ShellModes& modes, std::basic_string_view<Char> tail) {
  if (!StartsWithHackWord(tail)) return std::nullopt;
  std::size_t at = SkipBlanks(tail, 0);

  bool root = false;
  std::optional<std::string> id;
  HackOptions options;
  auto refuse = [&modes] {
    modes.ShowHackUsage();
    return -1;
  };
  while (at < tail.size()) {
    const std::optional<std::string> word = WordAt(tail, at);
    if (!word) return refuse();
    at = SkipBlanks(tail, at + word->size());
    if (IsOption(*word, "root")) {
      root = true;
    } else if (IsOption(*word, "fps")) {
      options.showFps = true;
    } else if (IsOption(*word, "no-vsync")) {
      options.noVSync = true;
    } else if (IsOption(*word, "window-id")) {
      const std::optional<std::string> next = WordAt(tail, at);
      if (!next || next->empty()) return refuse();
      id = *next;
      at = SkipBlanks(tail, at + next->size());
    } else if (std::optional<std::string> value = WindowIdValue(*word)) {
      id = std::move(value);
    } else {
      return refuse();
    }
  }
  if (!id) return root ? modes.RunOnRoot(options) : refuse();
  const std::optional<std::uint32_t> window = ParseWindowId(*id);
  if (!window) return refuse();
  if (!modes.IsWindow(*window)) return -1;
  return modes.RunOnWindow(*window, options);
}

template <typename Char>
int SelectMode(ShellModes& modes, std::basic_string_view<Char> tail, bool isWin95Family) {
  if (const std::optional<int> hack = RunHackOption(modes, tail)) return *hack;

  for (std::size_t i = 0;; ++i) {
    if (i == tail.size()) return modes.RunSettingsDialog(0);
    const Char c = tail[i];
    if (IsBlank(c) || c == Char('-') || c == Char('/')) continue;

    if (c == Char('s') || c == Char('S')) return modes.RunSaverWindow(0);

    if (c == Char('p') || c == Char('P') || c == Char('l') || c == Char('L')) {
      const std::optional<std::uint32_t> h = ParseDecimal(tail.substr(SkipBlanks(tail, i + 1)));
      if (!h || !modes.IsWindow(*h)) return -1;
      return modes.RunSaverWindow(*h);
    }

    if (c == Char('c') || c == Char('C')) {
      platform::WindowHandle h = 0;
      if (i + 1 < tail.size() && tail[i + 1] == Char(':'))
        h = ParseDecimal(tail.substr(i + 2)).value_or(0);
      if (h == 0 || !modes.IsWindow(h)) h = modes.ForegroundWindow();
      return modes.RunSettingsDialog(h);
    }

    if (c == Char('a') || c == Char('A')) {
      if (!isWin95Family) return -1;
      platform::WindowHandle h = ParseDecimal(tail.substr(SkipBlanks(tail, i + 1))).value_or(0);
      if (h == 0 || !modes.IsWindow(h)) h = modes.ForegroundWindow();
      modes.ChangeSaverPassword(h);
      return 0;
    }

    return -1;
  }
}

}  // namespace

int ShellMain(ShellModes& modes, std::string_view tail, bool isWin95Family) {
  return SelectMode(modes, tail, isWin95Family);
}

int ShellMain(ShellModes& modes, std::u16string_view tail, bool isWin95Family) {
  return SelectMode(modes, tail, isWin95Family);
}

bool IsHackCommandLine(std::string_view tail) { return StartsWithHackWord(tail); }

std::optional<std::uint32_t> ParseWindowHandle(std::string_view text) {
  return ParseDecimal(text);
}
std::optional<std::uint32_t> ParseWindowHandle(std::u16string_view text) {
  return ParseDecimal(text);
}

std::optional<std::uint32_t> ParseWindowId(std::string_view text) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (value == 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail.push_back(' ');
    tail += argv[i];
  }
  return tail;
}
