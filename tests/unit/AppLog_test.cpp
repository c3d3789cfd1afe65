#include "base/AppLog.h"
#include "platform/LogFile.h"
#include "platform/ModulePath.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string TempLog(const char* name) {
  return (fs::temp_directory_path() / (std::string("velmora-log-") + name + ".log")).string();
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(AppLog, WritesPrefixedVerbatimLinesFlushedAtOnce) {
  const std::string path = TempLog("lines");
  AppLog log(path.c_str());
  ASSERT_TRUE(log.IsOpen());
  log.Write(Notify, "Run looping thread");
  log.Write(Error, "Can not compile fragment shader");
  log.Write(2, "two");
  log.Write(-1, "minus one");
  log.Write(Notify, "100% done, %d %s");
  log.WriteValue(Notify, "FPS = %g", 59.5);
  log.WriteValue(Notify, "FPS = %g", -1);
  log.Write(Notify, nullptr);
  // Read while the log is still open: every line is in the file already.
  EXPECT_EQ(Lines(path), (std::vector<std::string>{
                             "   Notify : Application has run",
                             "   Notify : Run looping thread",
                             "(!)Error : Can not compile fragment shader",
                             "Unlabel record : two",
                             "Unlabel record : minus one",
                             "   Notify : 100% done, %d %s",
                             "   Notify : FPS = 59.5",
                             "   Notify : FPS = -1",
                             "   Notify : ",
                         }));
}

TEST(AppLog, EachStartTruncates) {
  const std::string path = TempLog("truncate");
  {
    AppLog first(path.c_str());
    for (int i = 0; i < 100; ++i) first.Write(Notify, "first run");
  }
  AppLog second(path.c_str());
  second.Write(Error, "second run");
  EXPECT_EQ(Lines(path), (std::vector<std::string>{"   Notify : Application has run",
                                                   "(!)Error : second run"}));
}

// A start beside a running instance (a preview beside the saver) adds its lines after the running
// one's instead of emptying the file under it; with nobody holding the file, a start empties it.
TEST(AppLog, AStartBesideARunningInstanceAppends) {
  const std::string path = TempLog("beside");
  {
    AppLog running(path.c_str());
    running.Write(Notify, "first 1");
    {
      AppLog beside(path.c_str());
      beside.Write(Error, "second");
      running.Write(Notify, "first 2");
    }
    running.Write(Notify, "first 3");
  }
  EXPECT_EQ(Lines(path), (std::vector<std::string>{
                             "   Notify : Application has run", "   Notify : first 1",
                             "   Notify : Application has run", "(!)Error : second",
                             "   Notify : first 2", "   Notify : first 3"}));
  AppLog fresh(path.c_str());
  EXPECT_EQ(Lines(path), (std::vector<std::string>{"   Notify : Application has run"}));
}

// The running instance is known by the file, not by the text of its path: a start that reaches
// the same file another way (through a folder and back, in other case where names ignore it)
// appends too.
TEST(AppLog, ARunningInstanceIsKnownByItsFileWhateverThePath) {
  const fs::path folder = fs::temp_directory_path() / "velmora-log-paths";
  fs::remove_all(folder);
  fs::create_directories(folder / "sub");
  const std::string path = (folder / "velmora.log").string();
  std::vector<std::string> others = {(folder / "sub" / ".." / "velmora.log").string()};
#ifdef _WIN32
  others.push_back((folder / "VELMORA.LOG").string());
  char shortPath[MAX_PATH] = {};
  { AppLog create(path.c_str()); }  // the short name of a file that exists
  if (GetShortPathNameA(path.c_str(), shortPath, MAX_PATH) > 0 && path != shortPath)
    others.push_back(shortPath);
#endif
  for (const std::string& other : others) {
    AppLog running(path.c_str());
    running.Write(Notify, "running");
    AppLog beside(other.c_str());
    ASSERT_TRUE(beside.IsOpen()) << other;
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"   Notify : Application has run",
                                                     "   Notify : running",
                                                     "   Notify : Application has run"}))
        << other;
  }
  fs::remove_all(folder);
}

// A log path planted by someone else: a link to a file or into nowhere, a second name of a file,
// another user's file. None is opened, so nothing is emptied (the caller takes the user's own
// place instead).
TEST(AppLog, NeverOpensALinkOrAFileNotItsOwn) {
  const fs::path folder = fs::temp_directory_path() / "velmora-log-planted";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path target = folder / "precious.txt", log = folder / "velmora.log";
  std::ofstream(target) << "precious\n";
  const auto refused = [&](const fs::path& at, const char* what) {
    EXPECT_FALSE(AppLog(at.string().c_str()).IsOpen()) << what;
    EXPECT_EQ(Lines(target.string()), std::vector<std::string>{"precious"}) << what;
  };
  std::error_code unsupported;  // a Windows user without the right to make links
  fs::create_symlink(target, log, unsupported);
  if (!unsupported) refused(log, "a link to a file");
  fs::remove(log);
  fs::create_symlink(folder / "missing.txt", log, unsupported);
  if (!unsupported) refused(log, "a link into nowhere");
  EXPECT_FALSE(fs::exists(folder / "missing.txt"));
  fs::remove(log);
  fs::create_hard_link(target, log);
  refused(log, "a second name of a file");
  fs::remove(log);
#ifndef _WIN32
  if (geteuid() == 0) {
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    refused(target, "another user's file");
  }
#endif
  EXPECT_TRUE(AppLog(log.string().c_str()).IsOpen());  // the program's own log, as ever
  fs::remove_all(folder);
}

// The user's own folder for the log, created as needed; none where it cannot be.
TEST(AppLog, UserLogPathFollowsTheEnvironment) {
  const fs::path root = fs::temp_directory_path() / "velmora-log-user";
  fs::remove_all(root);
  fs::create_directories(root);
  std::ofstream(root / "file") << "x";
#ifdef _WIN32
  const char* variable = "LOCALAPPDATA";
  const struct { std::string value; std::string path; } cases[] = {
      {root.string(), (root / "Korvantel" / "Velmora.log").string()},
      {(root / "file").string(), ""},
      {"", ""},
  };
#else
  const char* variable = "XDG_STATE_HOME";
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", (root / "home").c_str(), 1);
  const struct { std::string value; std::string path; } cases[] = {
      {(root / "state").string(), (root / "state/velmora/velmora.log").string()},
      {"relative/state", (root / "home/.local/state/velmora/velmora.log").string()},
      {"", (root / "home/.local/state/velmora/velmora.log").string()},
      {(root / "file/state").string(), ""},
  };
#endif
  for (const auto& c : cases) {
#ifdef _WIN32
    _putenv_s(variable, c.value.c_str());
#else
    setenv(variable, c.value.c_str(), 1);
#endif
    const std::string path = platform::UserLogPath();
    EXPECT_EQ(path, c.path) << c.value;
    if (!path.empty()) {
      EXPECT_TRUE(fs::is_directory(fs::path(path).parent_path())) << c.value;
    }
  }
#ifndef _WIN32
  unsetenv(variable);
  setenv("HOME", savedHome.c_str(), 1);
#endif
  fs::remove_all(root);
}

TEST(AppLog, ClosedLogWritesNothingButKeepsTheUserMessage) {
  const fs::path blocker = fs::temp_directory_path() / "velmora-log-blocker";
  std::ofstream(blocker) << "file";
  AppLog log((blocker / "saver.log").string().c_str());
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(log.UserMessage(), nullptr);
  log.Write(Notify, "lost");
  log.WriteValue(Notify, "FPS = %g", 1.0);
  static const char message[] = "Error of scene initialization";
  log.WriteWithUserMessage(Notify, "Error of common initialization", message);
  EXPECT_EQ(log.UserMessage(), message);
  static const char later[] = "later";
  log.WriteWithUserMessage(Error, "x", later);
  EXPECT_EQ(log.UserMessage(), later);
  fs::remove(blocker);
  AppLog off("");
  EXPECT_FALSE(off.IsOpen());
#ifndef _WIN32
  // Only a regular file is a log: a folder or a FIFO at the path leaves it off, and the FIFO,
  // which nobody reads, does not hold the start.
  const fs::path odd = fs::temp_directory_path() / "velmora-log-odd";
  fs::remove_all(odd);
  fs::create_directory(odd);
  EXPECT_FALSE(AppLog(odd.string().c_str()).IsOpen());
  fs::remove(odd);
  ASSERT_EQ(mkfifo(odd.string().c_str(), 0600), 0);
  EXPECT_FALSE(AppLog(odd.string().c_str()).IsOpen());
  EXPECT_EQ(fs::status(odd).type(), fs::file_type::fifo);
  fs::remove(odd);
#endif
}

TEST(AppLog, LinesOfTwoThreadsNeverInterleave) {
  const std::string path = TempLog("threads");
  constexpr int PerThread = 5000;
  {
    AppLog log(path.c_str());
    auto writer = [&log](const char* text, int level) {
      for (int i = 0; i < PerThread; ++i) log.Write(level, text);
    };
    const std::string a(150, 'a'), b(90, 'b');
    std::thread first(writer, a.c_str(), Notify);
    std::thread second(writer, b.c_str(), Error);
    static const char message[] = "Error of scene initialization";
    log.WriteWithUserMessage(7, "from the main thread", message);
    first.join();
    second.join();
  }
  const std::vector<std::string> lines = Lines(path);
  ASSERT_EQ(lines.size(), 2u + 2 * PerThread);
  int as = 0, bs = 0;
  for (const std::string& line : lines) {
    if (line == "   Notify : " + std::string(150, 'a')) ++as;
    else if (line == "(!)Error : " + std::string(90, 'b')) ++bs;
    else
      EXPECT_TRUE(line == "   Notify : Application has run" ||
                  line == "Unlabel record : from the main thread")
          << line;
  }
  EXPECT_EQ(as, PerThread);
  EXPECT_EQ(bs, PerThread);
}

TEST(AppLog, PathRules) {
  EXPECT_EQ(LogPathReplacingExtension("/opt/velmora"), "/opt/velmora.log");
  EXPECT_EQ(LogPathReplacingExtension("/opt/Velmora.scr"), "/opt/Velmora.log");
  EXPECT_EQ(LogPathReplacingExtension("/opt.d/velmora"), "/opt.d/velmora.log");
  EXPECT_EQ(LogPathReplacingExtension("/opt/.velmora"), "/opt/.velmora.log");
  EXPECT_EQ(LogPathReplacingExtension("velmora.x.bin"), "velmora.x.log");
  EXPECT_EQ(LogPathReplacingExtension(""), "");
  EXPECT_EQ(LogPathReplacingLastThree("C:\\Saver\\Velmora.scr"), "C:\\Saver\\Velmora.log");
  EXPECT_EQ(LogPathReplacingLastThree("abc"), "log");
  EXPECT_EQ(LogPathReplacingLastThree("ab"), "");
  const std::string longPath = "/" + std::string(5000, 'x') + ".scr";
  EXPECT_EQ(LogPathReplacingLastThree(longPath), "/" + std::string(5000, 'x') + ".log");
  EXPECT_EQ(LogPathReplacingExtension(longPath), "/" + std::string(5000, 'x') + ".log");
#ifndef _WIN32
  // This test program logs beside itself.
  const std::string own = LogPathForModule();
  EXPECT_EQ(fs::path(own).filename(), "AppLog_test.log");
  // A buffer too small for the module path gets a cut, terminated copy and the full length.
  char small[6] = {'#', '#', '#', '#', '#', '#'};
  const std::size_t full = platform::ModulePath(small, 5);
  EXPECT_EQ(full + 4, own.size());
  EXPECT_EQ(std::string(small), own.substr(0, 4));
  EXPECT_EQ(small[5], '#');
#endif
}

}  // namespace
