// The real Velmora.scr under Wine: command lines it refuses, and the settings dialog driven the
// way a user drives it, read back from the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SaverProcess.h"

namespace {

using saver::RunSaver;

TEST(Saver, RefusedCommandLinesExitWithMinusOne) {
  EXPECT_EQ(RunSaver("/x"), 0xFFFFFFFFu);
  EXPECT_EQ(RunSaver("/p"), 0xFFFFFFFFu);
  EXPECT_EQ(RunSaver("/p 0"), 0xFFFFFFFFu);
  EXPECT_EQ(RunSaver("-l 4000000000"), 0xFFFFFFFFu);  // not a window
  EXPECT_EQ(RunSaver("/a 1234"), 0xFFFFFFFFu);         // no Windows 95 family here
}

HWND WaitForDialog(DWORD processId) {
  for (int i = 0; i < 600; ++i) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, "#32770", "Dialog")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == processId && IsWindowVisible(found)) return found;
    }
    Sleep(50);
  }
  return nullptr;
}

void Click(HWND dialog, int control) { SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

struct Stored {
  DWORD type = 0;
  DWORD size = 0;
  char data[16] = {};
};

Stored Read(const char* name) {
  Stored v;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, saver::SettingsKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return v;
  v.size = sizeof v.data;
  RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(v.data), &v.size);
  RegCloseKey(key);
  return v;
}

// Runs the dialog with the given clicks, then OK; returns the box states seen at the start.
std::pair<bool, bool> RunDialog(std::initializer_list<int> clicks, DWORD& exitCode) {
  saver::Process p(saver::BuiltSaver(), "/c");
  HWND dialog = WaitForDialog(p.Id());
  std::pair<bool, bool> shown{};
  if (dialog != nullptr) {
    shown = {IsDlgButtonChecked(dialog, 117) == BST_CHECKED,
             IsDlgButtonChecked(dialog, 118) == BST_CHECKED};
    for (int c : clicks) Click(dialog, c);
    Click(dialog, 1);
  }
  exitCode = p.Finish();
  EXPECT_NE(dialog, nullptr);
  return shown;
}

TEST(Saver, SettingsDialogStoresDecimalTexts) {
  saver::DeleteSettings();
  DWORD code = 0;
  // Show FPS, then Set Defaults, then OK: the defaults as REG_SZ texts.
  auto shown = RunDialog({117, 2}, code);
  EXPECT_EQ(code, 1u);
  EXPECT_FALSE(shown.first);
  EXPECT_TRUE(shown.second);
  Stored fps = Read("EnableFPS"), vsync = Read("EnableVSync");
  EXPECT_EQ(fps.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(fps.size, 2u);
  EXPECT_STREQ(fps.data, "0");
  EXPECT_EQ(vsync.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(vsync.size, 2u);
  EXPECT_STREQ(vsync.data, "1");

  // Show FPS and clearing VSync, then OK.
  RunDialog({117, 118}, code);
  EXPECT_STREQ(Read("EnableFPS").data, "1");
  EXPECT_STREQ(Read("EnableVSync").data, "0");
}

TEST(Saver, StoredValuesAsTheDialogShowsThem) {
  DWORD code = 0;
  // A REG_DWORD 1 is read as text: its first byte is no digit, so 0.
  const DWORD one = 1;
  saver::StoreSetting("EnableFPS", REG_DWORD, &one, sizeof one);
  saver::StoreSetting("EnableVSync", REG_SZ, " 7", 3);
  auto shown = RunDialog({}, code);
  EXPECT_FALSE(shown.first);
  EXPECT_TRUE(shown.second);
  // OK writes back what was read: 0 and 7.
  EXPECT_STREQ(Read("EnableFPS").data, "0");
  EXPECT_STREQ(Read("EnableVSync").data, "7");

  saver::StoreSetting("EnableFPS", REG_SZ, "-3", 3);
  saver::StoreSetting("EnableVSync", REG_SZ, "abc", 4);
  shown = RunDialog({}, code);
  EXPECT_TRUE(shown.first);    // -3 is not 0
  EXPECT_FALSE(shown.second);  // letters read as 0
  EXPECT_STREQ(Read("EnableFPS").data, "-3");
  EXPECT_STREQ(Read("EnableVSync").data, "0");
  saver::DeleteSettings();
}

}  // namespace
