// The real Velmora.scr under Wine: command lines it refuses, and the settings dialog driven the
// way a user drives it, read back from the registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <string>
#include <vector>

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

// A preview's host is never the desktop, and a handle is its digits alone: never cut or wrapped
// into a real window's. Each of these would otherwise run a preview that nothing ends.
TEST(Saver, APreviewNeedsAWindowNamedExactlyAndNotTheDesktop) {
  HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  const std::uint64_t id = reinterpret_cast<std::uintptr_t>(host);
  const std::string desktop = std::to_string(reinterpret_cast<std::uintptr_t>(GetDesktopWindow()));
  const std::string number = std::to_string(id);
  const std::string lines[] = {"/p " + desktop, "/l " + desktop, "/p " + number + "x",
                               "/p +" + number, "/p " + std::to_string(id + 4294967296ull)};
  for (const std::string& line : lines)
    EXPECT_EQ(saver::Process(saver::BuiltSaver(), line).Finish(10000), 0xFFFFFFFFu) << line;
  DestroyWindow(host);
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

// A value as the dialog saved it: in the user's key.
Stored Read(const char* name, HKEY root = HKEY_CURRENT_USER) {
  Stored v;
  HKEY key;
  if (RegOpenKeyExA(root, saver::SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return v;
  v.size = sizeof v.data;
  if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(v.data), &v.size) !=
      ERROR_SUCCESS)
    v = Stored{};
  RegCloseKey(key);
  return v;
}

// Gives the key under root the access rights of an SDDL text (the key is created first).
void ProtectKey(HKEY root, const char* sddl) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(root, saver::SettingsKey, 0, nullptr, 0, WRITE_DAC, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                   &descriptor, nullptr));
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
  LocalFree(descriptor);
  RegCloseKey(key);
}
// Everyone may read the key and change its rights back; nobody may write its values.
const char* const ReadOnly = "D:P(A;;0x60019;;;WD)";  // KEY_READ | WRITE_DAC
const char* const Writable = "D:P(A;;KA;;;WD)";

// Runs the dialog with the given clicks, then OK; returns the box states seen at the start.
std::pair<bool, bool> RunDialog(std::initializer_list<int> clicks, DWORD& exitCode,
                                const std::string& saver = saver::BuiltSaver()) {
  saver::Process p(saver, "/c");
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
  saver::StoreSetting("EnableFPS", "1");
  saver::StoreSetting("EnableVSync", "0");
  DWORD code = 0;
  // Show FPS cleared, then Set Defaults, then OK: the defaults, which differ from the machine's
  // values, as REG_SZ texts in the user's key.
  auto shown = RunDialog({117, 2}, code);
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(shown.first);
  EXPECT_FALSE(shown.second);
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
  saver::DeleteSettings();
  DWORD code = 0;
  // A REG_DWORD 1 (as policies and .reg files write it) is read as its number.
  const DWORD one = 1;
  saver::StoreSetting("EnableFPS", REG_DWORD, &one, sizeof one);
  saver::StoreSetting("EnableVSync", REG_SZ, " 7", 3);
  auto shown = RunDialog({}, code);
  EXPECT_TRUE(shown.first);
  EXPECT_TRUE(shown.second);
  // OK without a change copies nothing of the machine's into the user's key.
  EXPECT_EQ(Read("EnableFPS").size, 0u);
  EXPECT_EQ(Read("EnableVSync").size, 0u);

  saver::StoreSetting("EnableFPS", REG_SZ, "-3", 3);
  saver::StoreSetting("EnableVSync", REG_SZ, "abc", 4);
  shown = RunDialog({}, code);
  EXPECT_FALSE(shown.first);   // -3 draws no text, as 0 does
  EXPECT_FALSE(shown.second);  // letters read as 0
  EXPECT_EQ(Read("EnableFPS").size, 0u);
  EXPECT_EQ(Read("EnableVSync").size, 0u);
  saver::DeleteSettings();
}

// What an administrator sets for the machine holds until the user saves their own choice, which
// goes to the user's key even where the machine's key cannot be written (as for any unelevated
// program on current Windows). A machine value the user left alone is not copied there.
TEST(Saver, MachineValuesUnderTheUsersOwn) {
  saver::DeleteSettings();
  saver::StoreSetting("EnableFPS", "1");
  DWORD code = 0;
  auto shown = RunDialog({118}, code);  // no user value yet: the machine's 1 shows
  EXPECT_TRUE(shown.first);
  EXPECT_EQ(Read("EnableFPS").size, 0u);
  EXPECT_STREQ(Read("EnableVSync").data, "0");
  EXPECT_EQ(Read("EnableVSync", HKEY_LOCAL_MACHINE).size, 0u);  // the machine's key untouched

  saver::DeleteSettings();
  saver::StoreSetting("EnableFPS", "0");
  ProtectKey(HKEY_LOCAL_MACHINE, ReadOnly);
  shown = RunDialog({117}, code);
  EXPECT_EQ(code, 1u);
  EXPECT_FALSE(shown.first);
  EXPECT_STREQ(Read("EnableFPS").data, "1");
  EXPECT_STREQ(Read("EnableFPS", HKEY_LOCAL_MACHINE).data, "0");
  shown = RunDialog({}, code);  // the user's 1 wins over the machine's 0
  EXPECT_TRUE(shown.first);
  ProtectKey(HKEY_LOCAL_MACHINE, Writable);
  saver::DeleteSettings();
}

// Where even the user's key cannot be written, OK tells the user in a box owned by the dialog,
// logs the failure and still ends with 1.
TEST(Saver, AFailedSaveIsToldAndLogged) {
  saver::DeleteSettings();
  ProtectKey(HKEY_CURRENT_USER, ReadOnly);
  saver::SaverCopy copy;
  saver::Process p(copy.Path(), "/c");
  HWND dialog = WaitForDialog(p.Id());
  ASSERT_NE(dialog, nullptr);
  Click(dialog, 117);
  PostMessageA(dialog, WM_COMMAND, 1, 0);  // OK, without waiting for the box it opens
  HWND box = nullptr;
  for (int i = 0; i < 200 && box == nullptr; ++i) {
    saver::PumpFor(50);
    box = FindWindowA("#32770", "Screen saver");
  }
  ASSERT_NE(box, nullptr) << "no box told of the failure";
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
  char text[200] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
  EXPECT_STREQ(text, "The settings could not be saved.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(p.Finish(), 1u);
  const std::vector<std::string> lines = copy.LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "(!)Error : Settings could not be saved");
  EXPECT_EQ(Read("EnableFPS").size, 0u);
  ProtectKey(HKEY_CURRENT_USER, Writable);
  saver::DeleteSettings();
}

}  // namespace
