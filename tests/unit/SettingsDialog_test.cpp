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
  settingsStore.ResetToDefaults();
  settingsStore.Load();
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
  dialog.Click(EnableVSyncBox);
  EXPECT_TRUE(dialog.Click(OkButton));
  EXPECT_EQ(dialog.ended, 1);
  EXPECT_EQ(dialog.result, 1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()),
            "[Software\\Korvantel\\Velmora Screen Saver]\nEnableVSync=0\n");
  EXPECT_TRUE(dialog.messages.empty());
}

// OK writes what the user changed in the dialog and nothing else, over what is on disk at that
// moment: another program's change made while the dialog was open survives, and a value of the
// machine's layer is never copied into the user's, where it would hide the machine's later changes.
TEST(SettingsDialog, OkWritesOnlyWhatTheUserChanged) {
  const std::string group = "[Software\\Korvantel\\Velmora Screen Saver]\n";
  const struct {
    const char* what;
    const char* machine;    // lines of the machine's file, nullptr for none
    const char* user;       // lines of the user's file when the dialog opens
    std::vector<int> clicks;
    const char* meanwhile;  // the user's file as another program rewrote it before OK
    bool blocked;           // the user's folder cannot be made: the save fails
    const char* saved;      // the user's file after OK, nullptr for none
  } cases[] = {
      {"nothing changed, machine values", "EnableFPS=1\nEnableVSync=0\n", nullptr, {}, nullptr,
       false, nullptr},
      {"another value changed: the machine's stays the machine's", "EnableFPS=1\n", nullptr,
       {EnableVSyncBox}, nullptr, false, "EnableVSync=0\n"},
      {"another program's change survives", nullptr, "EnableFPS=0\nEnableVSync=1\n",
       {EnableVSyncBox}, "EnableFPS=1\nEnableVSync=1\n", false, "EnableFPS=1\nEnableVSync=0\n"},
      {"another program's change survives OK without a change", nullptr, "EnableFPS=0\n", {},
       "EnableFPS=1\n", false, "EnableFPS=1\n"},
      {"the user's change wins over another program's", nullptr, "EnableFPS=0\n", {ShowFpsBox},
       "EnableFPS=0\nEnableVSync=5\n", false, "EnableFPS=1\nEnableVSync=5\n"},
      {"the user's choice is written although it is the machine's", "EnableFPS=1\n",
       "EnableFPS=0\n", {ShowFpsBox}, nullptr, false, "EnableFPS=1\n"},
      {"ticked and cleared again is no change", nullptr, "EnableFPS=-1\nEnableVSync=7\n",
       {ShowFpsBox, ShowFpsBox, EnableVSyncBox, EnableVSyncBox}, nullptr, false,
       "EnableFPS=-1\nEnableVSync=7\n"},
      {"Set Defaults writes the defaults it brought back", "EnableVSync=0\n", "EnableFPS=3\n",
       {SetDefaultsButton}, nullptr, false, "EnableFPS=0\nEnableVSync=1\n"},
      {"a failed save changes nothing", "EnableFPS=1\n", nullptr, {ShowFpsBox}, nullptr, true,
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempConfig config;
    if (c.machine) TempConfig::Write(config.SystemFile(), group + c.machine);
    if (c.user) TempConfig::Write(config.UserFile(), group + c.user);
    settingsStore.ResetToDefaults();
    settingsStore.Load();
    FakeDialog dialog;
    ScreenSaverConfigureDialog(dialog, ShowWindow, 1, 0);
    for (int control : c.clicks) dialog.Click(control);
    if (c.meanwhile) TempConfig::Write(config.UserFile(), group + c.meanwhile);
    if (c.blocked) {
      TempConfig::Write(config.Root() / "blocker", "x");
      config.SetHome((config.Root() / "blocker" / "home").string());
    }
    EXPECT_TRUE(dialog.Click(OkButton));
    EXPECT_EQ(dialog.result, 1);
    EXPECT_EQ(std::filesystem::exists(config.UserFile()), c.saved != nullptr);
    if (c.saved) {
      EXPECT_EQ(TempConfig::Read(config.UserFile()), group + c.saved);
    }
    if (c.machine) {
      EXPECT_EQ(TempConfig::Read(config.SystemFile()), group + c.machine);
    }
    if (!c.blocked) {
      EXPECT_TRUE(dialog.messages.empty());
      continue;
    }
    // Logged and told to the user; the dialog still closes with 1.
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].first, "The settings could not be saved.");
    EXPECT_EQ(dialog.messages[0].second, "Screen saver");
    std::ifstream log(LogPathForModule());
    std::string line, last;
    while (std::getline(log, line)) last = line;
    EXPECT_EQ(last, "(!)Error : Settings could not be saved");
  }
  settingsStore.ResetToDefaults();
}
#endif

}  // namespace
