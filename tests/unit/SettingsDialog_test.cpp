// The settings dialog's behaviour over a fake dialog window, against the process's own store.
#include "host/SettingsDialog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/AppLog.h"

#include "base/SettingsStore.h"
#ifndef _WIN32
#include "support/TempConfig.h"
#endif

namespace {

using namespace settings_dialog;

struct FakeDialog : SettingsDialogView {
  std::map<int, bool> boxes;
  int ended = 0;
  int result = -100;
  bool IsChecked(int control) override { return boxes[control]; }
  void SetChecked(int control, bool checked) override { boxes[control] = checked; }
  void EndDialog(int value) override {
    ++ended;
    result = value;
  }
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  void ShowMessage(const char* text, const char* caption) override {
    EXPECT_EQ(ended, 0) << "told after the dialog ended";
    messages.emplace_back(text, caption);
  }
  // A click on a check box toggles it before the dialog hears of it.
  bool Click(int control) {
    if (control == ShowFpsBox || control == EnableVSyncBox) boxes[control] = !boxes[control];
    return ScreenSaverConfigureDialog(*this, Command, static_cast<unsigned>(control), 0);
  }
};

int Stored(const char* name) {
  int value = -100;
  settingsStore.Get(name, value);
  return value;
}

TEST(SettingsDialog, MessagesAndTheirResults) {
  settingsStore.ResetToDefaults();
  FakeDialog dialog;
  EXPECT_TRUE(RegisterDialogClasses(nullptr));
  EXPECT_FALSE(ScreenSaverConfigureDialog(dialog, ShowWindow, 0, 0));
  EXPECT_FALSE(dialog.boxes[ShowFpsBox]);
  EXPECT_TRUE(dialog.boxes[EnableVSyncBox]);
  EXPECT_FALSE(ScreenSaverConfigureDialog(dialog, 272 /* WM_INITDIALOG */, 0, 0));
  // A notification other than a click, and unknown controls, are not the dialog's.
  EXPECT_FALSE(ScreenSaverConfigureDialog(dialog, Command, (1u << 16) | ShowFpsBox, 0));
  EXPECT_FALSE(ScreenSaverConfigureDialog(dialog, Command, 3, 0));
  EXPECT_FALSE(ScreenSaverConfigureDialog(dialog, Command, 0x10000 | OkButton, 0));
  EXPECT_EQ(dialog.ended, 0);
  EXPECT_TRUE(dialog.Click(ShowFpsBox));
  EXPECT_EQ(Stored("EnableFPS"), 1);
  EXPECT_TRUE(dialog.Click(EnableVSyncBox));
  EXPECT_EQ(Stored("EnableVSync"), 0);
  // Set Defaults, as Escape sends it: back to defaults, shown, still open.
  EXPECT_TRUE(dialog.Click(SetDefaultsButton));
  EXPECT_EQ(Stored("EnableFPS"), 0);
  EXPECT_EQ(Stored("EnableVSync"), 1);
  EXPECT_FALSE(dialog.boxes[ShowFpsBox]);
  EXPECT_TRUE(dialog.boxes[EnableVSyncBox]);
  EXPECT_EQ(dialog.ended, 0);
  EXPECT_TRUE(ScreenSaverConfigureDialog(dialog, Close, 0, 0));
  EXPECT_EQ(dialog.ended, 1);
  EXPECT_EQ(dialog.result, 1);
}

TEST(SettingsDialog, BoxesAreTickedForValuesAboveZeroAsTheSaverReadsThemAndEachShowRefills) {
  // The saver draws the text and waits for the display only for values above 0.
  const struct {
    int stored;
    bool ticked;
  } cases[] = {{-1, false}, {-2147483647 - 1, false}, {0, false}, {1, true}, {5, true}};
  FakeDialog dialog;
  for (const auto& c : cases) {
    settingsStore.Set("EnableFPS", c.stored);
    settingsStore.Set("EnableVSync", c.stored);
    ScreenSaverConfigureDialog(dialog, ShowWindow, 1, 0);
    EXPECT_EQ(dialog.boxes[ShowFpsBox], c.ticked) << c.stored;
    EXPECT_EQ(dialog.boxes[EnableVSyncBox], c.ticked) << c.stored;
    // Showing it does not write the store.
    EXPECT_EQ(Stored("EnableFPS"), c.stored);
    EXPECT_EQ(Stored("EnableVSync"), c.stored);
  }
  // A click then writes 1 or 0.
  settingsStore.Set("EnableFPS", -1);
  ScreenSaverConfigureDialog(dialog, ShowWindow, 0, 0);
  dialog.Click(ShowFpsBox);
  EXPECT_EQ(Stored("EnableFPS"), 1);
  settingsStore.ResetToDefaults();
}

#ifndef _WIN32
TEST(SettingsDialog, OkSavesAndClosesWhileTheCloseButtonSavesNothing) {
  TempConfig config;
  settingsStore.Load();
  settingsStore.ResetToDefaults();
  {
    FakeDialog dialog;
    ScreenSaverConfigureDialog(dialog, ShowWindow, 1, 0);
    dialog.Click(ShowFpsBox);
    ScreenSaverConfigureDialog(dialog, Close, 0, 0);
    EXPECT_EQ(dialog.result, 1);
    EXPECT_FALSE(std::filesystem::exists(config.UserFile()));
  }
  FakeDialog dialog;
  ScreenSaverConfigureDialog(dialog, ShowWindow, 1, 0);
  EXPECT_TRUE(dialog.boxes[ShowFpsBox]);  // the unsaved click is still in memory
  dialog.Click(SetDefaultsButton);
  dialog.Click(ShowFpsBox);
  dialog.Click(SetDefaultsButton);
  EXPECT_TRUE(dialog.Click(OkButton));
  EXPECT_EQ(dialog.ended, 1);
  EXPECT_EQ(dialog.result, 1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            "[Software\\Korvantel\\Velmora Screen Saver]\nEnableFPS=0\nEnableVSync=1\n");
  EXPECT_TRUE(dialog.messages.empty());
  // A save that fails (a file where the configuration folder should be; root too is refused) is
  // logged and told to the user, and the dialog still closes with 1.
  const auto blocker = config.Root() / "blocker";
  TempConfig::Write(blocker, "x");
  config.SetHome((blocker / "home").string());
  FakeDialog again;
  again.Click(ShowFpsBox);
  again.Click(OkButton);
  EXPECT_EQ(again.ended, 1);
  EXPECT_EQ(again.result, 1);
  ASSERT_EQ(again.messages.size(), 1u);
  EXPECT_EQ(again.messages[0].first, "The settings could not be saved.");
  EXPECT_EQ(again.messages[0].second, "Screen saver");
  std::ifstream log(LogPathForModule());
  std::string line, last;
  while (std::getline(log, line)) last = line;
  EXPECT_EQ(last, "(!)Error : Settings could not be saved");
}
#endif

}  // namespace
