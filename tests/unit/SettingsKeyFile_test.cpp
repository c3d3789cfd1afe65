// The settings on X11: the key files of the system and the user, read and written through the
// store exactly as the saver does.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/SettingsStore.h"
#include "support/TempConfig.h"

namespace fs = std::filesystem;

namespace {

const char* const Group = "[Software\\Korvantel\\Velmora Screen Saver]\n";

struct Values {
  int fps = -100, vsync = -100;
};

Values Load() {
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  Values v;
  store.Get("EnableFPS", v.fps);
  store.Get("EnableVSync", v.vsync);
  return v;
}

TEST(SettingsKeyFile, NoFileKeepsDefaults) {
  TempConfig config;
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  EXPECT_EQ(store.Load(), -1);
  const Values v = Load();
  EXPECT_EQ(v.fps, 0);
  EXPECT_EQ(v.vsync, 1);
}

TEST(SettingsKeyFile, ValuesParseLikeRegistryTexts) {
  TempConfig config;
  auto fps = [&](const std::string& text) {
    TempConfig::Write(config.UserFile(), std::string(Group) + "EnableFPS=" + text + "\n");
    return Load().fps;
  };
  EXPECT_EQ(fps(" 7"), 7);
  EXPECT_EQ(fps("-3"), -3);
  EXPECT_EQ(fps("1abc"), 1);
  EXPECT_EQ(fps("abc"), 0);
  EXPECT_EQ(fps(""), 0);
  // 199 characters and the NUL fill the 200 bytes; one more keeps the default.
  EXPECT_EQ(fps("5" + std::string(198, ' ')), 5);
  EXPECT_EQ(fps("5" + std::string(199, ' ')), 0);
  EXPECT_EQ(Load().vsync, 1);
  TempConfig::Write(config.UserFile(),
                    std::string(Group) + "EnableVSync=0\r\nenablefps=1\r\n EnableFPS = 4 \r\n");
  EXPECT_EQ(Load().vsync, 0);
  EXPECT_EQ(Load().fps, 4);
  // Only our group counts, and comments are no values.
  TempConfig::Write(config.UserFile(),
                    "[Other]\nEnableFPS=9\n" + std::string(Group) + "#EnableFPS=8\n[Other2]\nEnableFPS=7\n");
  EXPECT_EQ(Load().fps, 0);
}

TEST(SettingsKeyFile, UserWinsOverSystemAndMoreImportantSystemFoldersWin) {
  TempConfig config;
  const fs::path a = config.Root() / "a", b = config.Root() / "b";
  config.SetSystemDirs(a.string() + "::relative:" + b.string());
  TempConfig::Write(b / "Korvantel/Velmora Screen Saver.conf",
                    std::string(Group) + "EnableFPS=2\nEnableVSync=5\n");
  TempConfig::Write(a / "Korvantel/Velmora Screen Saver.conf", std::string(Group) + "EnableFPS=3\n");
  Values v = Load();
  EXPECT_EQ(v.fps, 3);
  EXPECT_EQ(v.vsync, 5);
  TempConfig::Write(config.UserFile(), std::string(Group) + "EnableVSync=0\n");
  v = Load();
  EXPECT_EQ(v.fps, 3);
  EXPECT_EQ(v.vsync, 0);
  // A too long user value leaves the system's in force.
  TempConfig::Write(config.UserFile(), std::string(Group) + "EnableVSync=" + std::string(300, '1') + "\n");
  EXPECT_EQ(Load().vsync, 5);
}

TEST(SettingsKeyFile, DamagedFilesGiveDefaultsOrParsedValues) {
  TempConfig config;
  // A directory where the file should be.
  fs::create_directories(config.UserFile());
  EXPECT_EQ(Load().vsync, 1);
  fs::remove(config.UserFile());
  // Truncated in the middle of a line, without its newline.
  TempConfig::Write(config.UserFile(), std::string(Group) + "EnableVSync=0\nEnableFPS=1");
  EXPECT_EQ(Load().fps, 1);
  EXPECT_EQ(Load().vsync, 0);
  // Binary noise around a good line.
  std::string noise(4096, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 131 + 7);
  TempConfig::Write(config.UserFile(), noise + "\n" + Group + "EnableFPS=6\n" + noise);
  EXPECT_EQ(Load().fps, 6);
  // Huge: ignored as a whole rather than read without end.
  TempConfig::Write(config.UserFile(), std::string(Group) + "EnableFPS=8\n" + std::string(3 << 20, '#'));
  EXPECT_EQ(Load().fps, 0);
  // A FIFO must not hang the load.
  fs::remove(config.UserFile());
  ASSERT_EQ(mkfifo(config.UserFile().c_str(), 0600), 0);
  EXPECT_EQ(Load().fps, 0);
}

TEST(SettingsKeyFile, AByteOrderMarkIsReadPastAndNotWrittenBack) {
  TempConfig config;
  const std::string bom = "\xEF\xBB\xBF";
  TempConfig::Write(config.UserFile(), bom + Group + "EnableFPS=1\r\nEnableVSync=0\r\n");
  const Values v = Load();
  EXPECT_EQ(v.fps, 1);
  EXPECT_EQ(v.vsync, 0);
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  store.Set("EnableFPS", 2);
  ASSERT_EQ(store.Save(), 0);
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            std::string(Group) + "EnableFPS=2\r\nEnableVSync=0\r\n");
  // Only at the very start is it a mark: elsewhere it is part of the line.
  TempConfig::Write(config.UserFile(), "\n" + bom + Group + "EnableFPS=3\n");
  EXPECT_EQ(Load().fps, 0);
}

TEST(SettingsKeyFile, SaveCreatesFoldersAndWritesDecimalText) {
  TempConfig config;
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  store.Set("EnableVSync", 0);
  store.Set("EnableFPS", -12);
  ASSERT_EQ(store.Save(), 0);
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            std::string(Group) + "EnableFPS=-12\nEnableVSync=0\n");
  const Values v = Load();
  EXPECT_EQ(v.fps, -12);
  EXPECT_EQ(v.vsync, 0);
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(config.UserFile().parent_path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(SettingsKeyFile, SaveKeepsForeignGroupsLinesAndComments) {
  TempConfig config;
  const std::string before =
      "# kept comment\r\n[Other]\r\nEnableFPS=9\r\n\r\n" + std::string("[Software\\Korvantel\\Velmora Screen Saver]\r\n") +
      "Extra = x\r\nEnableVSync = 3\r\n\r\n[Tail]\r\nkey=value";
  TempConfig::Write(config.UserFile(), before);
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  store.Set("EnableFPS", 1);
  ASSERT_EQ(store.Save(), 0);
  // The value not changed is not written: its line stays as it was.
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            "# kept comment\r\n[Other]\r\nEnableFPS=9\r\n\r\n[Software\\Korvantel\\Velmora Screen Saver]\r\n"
            "Extra = x\r\nEnableVSync = 3\r\nEnableFPS=1\r\n\r\n[Tail]\r\nkey=value\r\n");

  // A file without our group gets one at its end.
  TempConfig::Write(config.UserFile(), "[Other]\na=b\n");
  store.Set("EnableFPS", 2);
  ASSERT_EQ(store.Save(), 0);
  EXPECT_EQ(TempConfig::Read(config.UserFile()), "[Other]\na=b\n\n" + std::string(Group) + "EnableFPS=2\n");

  // A file cut after the CR of its last line: that line is completed, so the value added after
  // it starts a line of its own and both read back.
  TempConfig::Write(config.UserFile(), std::string(Group) + "EnableFPS=0\r");
  store.Set("EnableVSync", 0);
  ASSERT_EQ(store.Save(), 0);
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            std::string(Group) + "EnableFPS=0\r\nEnableVSync=0\n");
  const Values saved = Load();
  EXPECT_EQ(saved.fps, 0);
  EXPECT_EQ(saved.vsync, 0);
}

TEST(SettingsKeyFile, SaveThatCannotWriteChangesNothingAndFails) {
  TempConfig config;
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  store.Set("EnableFPS", 1);
  // The configuration folder's parent is a regular file: no folder can be made there.
  const fs::path blocker = config.Root() / "blocker";
  TempConfig::Write(blocker, "not a folder");
  config.SetHome((blocker / "config").string());
  EXPECT_EQ(store.Save(), -1);
  EXPECT_EQ(TempConfig::Read(blocker), "not a folder");

  // The file's place is taken by a folder with content: it stays as it was.
  config.SetHome((config.Root() / "home").string());
  fs::create_directories(config.UserFile() / "inside");
  EXPECT_EQ(store.Save(), -1);
  EXPECT_TRUE(fs::is_directory(config.UserFile() / "inside"));
  fs::remove_all(config.UserFile());

  // A user file too big to be read whole is not replaced by a shortened one.
  const std::string huge = std::string(Group) + std::string(3 << 20, '#');
  TempConfig::Write(config.UserFile(), huge);
  EXPECT_EQ(store.Save(), -1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()).size(), huge.size());

}

// Every entry below root: a link's text, a file's content, or a folder.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().lexically_relative(root).string();
    if (entry.is_symlink())
      tree[name] = "link " + fs::read_symlink(entry.path()).string();
    else if (entry.is_directory())
      tree[name] = "folder";
    else
      tree[name] = "file " + TempConfig::Read(entry.path());
  }
  return tree;
}

TEST(SettingsKeyFile, SaveWritesThroughLinksAndFailsOnLinksToNothing) {
  const std::string user = "home/Korvantel/Velmora Screen Saver.conf";
  const std::string kept = "dotfiles/velmora.conf";
  struct Case {
    const char* what;
    // Link place below the root, and its text; a text starting with '/' is taken below the root.
    std::vector<std::pair<std::string, std::string>> links;
    bool saves;
  };
  const Case cases[] = {
      {"absolute link", {{user, "/" + kept}}, true},
      {"relative link", {{user, "../../" + kept}}, true},
      {"chain with a relative hop", {{user, "/links/one.conf"}, {"links/one.conf", "../" + kept}}, true},
      {"link to nothing", {{user, "/dotfiles/missing.conf"}}, false},
      {"link to a missing folder", {{user, "/gone/velmora.conf"}}, false},
      {"loop", {{user, "/links/a.conf"}, {"links/a.conf", "b.conf"}, {"links/b.conf", "a.conf"}}, false},
  };
  const std::string before = "[Other]\nEnableFPS=9\n" + std::string(Group) + "Extra=x\nEnableFPS=0\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempConfig config;
    TempConfig::Write(config.Root() / kept, before);
    chmod((config.Root() / kept).c_str(), 0600);
    for (const auto& [place, text] : c.links) {
      fs::create_directories((config.Root() / place).parent_path());
      fs::create_symlink(text[0] == '/' ? (config.Root() / text.substr(1)).string() : text,
                         config.Root() / place);
    }
    auto expected = Tree(config.Root());
    SettingsStore store("Velmora Screen Saver", DefaultSettings);
    store.Set("EnableFPS", 1);
    store.Set("EnableVSync", 0);
    EXPECT_EQ(store.Save(), c.saves ? 0 : -1);
    if (c.saves) {
      expected[kept] = "file [Other]\nEnableFPS=9\n" + std::string(Group) +
                       "Extra=x\nEnableFPS=1\nEnableVSync=0\n";
      struct stat info {};
      ASSERT_EQ(stat((config.Root() / kept).c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    // The links stay as they were, and no temporary file is left anywhere.
    EXPECT_EQ(Tree(config.Root()), expected);
  }
}

TEST(SettingsKeyFile, SaveGivesNewFilesReadablePermissionsAndKeepsExistingOnes) {
  TempConfig config;
  const fs::path base = config.Root() / "fresh";
  config.SetHome(base.string());
  fs::create_directories(base);
  chmod(base.c_str(), 0700);
  SettingsStore store("Velmora Screen Saver", DefaultSettings);
  store.Set("EnableFPS", 1);
  ASSERT_EQ(store.Save(), 0);
  struct stat info {};
  ASSERT_EQ(stat(config.UserFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  // An existing file's permissions are kept.
  chmod(config.UserFile().c_str(), 0600);
  store.Set("EnableFPS", 2);
  ASSERT_EQ(store.Save(), 0);
  ASSERT_EQ(stat(config.UserFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
#endif  // _WIN32
