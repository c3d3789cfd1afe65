// The Windows 95 family's password protocol, with a verifier the test controls, on a real
// window of the saver's class procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/ShellState.h"
#include "platform/win32/Win32Shell.h"

namespace {

int asked = 0;
BOOL answer = FALSE;
BOOL WINAPI FakeVerifier(HWND) {
  ++asked;
  return answer;
}

class Password : public testing::Test {
 protected:
  void SetUp() override {
    InstallWin32ShellSystem();
    shellState = ShellState{};
    shellState.isWin95Family = true;
    WNDCLASSW cls{};
    cls.lpfnWndProc = SaverWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"VelmoraPasswordTest";
    RegisterClassW(&cls);
    window = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    asked = 0;
    answer = FALSE;
  }
  void TearDown() override {
    SetPasswordVerifier(nullptr);
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  }
  HWND window = nullptr;
};

TEST_F(Password, RefusedThenNotAskedAgainWithin200Ms) {
  SetPasswordVerifier(FakeVerifier);
  EXPECT_EQ(VerifyBeforeClose(window), 0);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(shellState.isClosing);
  EXPECT_FALSE(shellState.isCheckingPassword);
  EXPECT_NE(shellState.lastPasswordCheck, 0xFFFFFFFFu);

  // A close request right after the refusal is refused without asking.
  EXPECT_EQ(VerifyBeforeClose(window), 0);
  EXPECT_EQ(asked, 1);

  // Later the verifier is asked again; approval sets isClosing for good.
  Sleep(250);
  answer = TRUE;
  EXPECT_EQ(VerifyBeforeClose(window), 1);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(shellState.isClosing);
  EXPECT_EQ(VerifyBeforeClose(window), 0);  // already closing: nothing asked
  EXPECT_EQ(asked, 2);
}

TEST_F(Password, WmCloseRefusedKeepsTheWindow) {
  SetPasswordVerifier(FakeVerifier);
  shellState.savedCursor = {-5000, -5000};
  EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(asked, 1);
  EXPECT_NE(shellState.savedCursor.x, -5000);  // renewed at the refusal
}

TEST_F(Password, NoVerifierClosesAtOnce) {
  EXPECT_EQ(VerifyBeforeClose(window), 1);
  EXPECT_TRUE(shellState.isClosing);
  EXPECT_EQ(asked, 0);
}

}  // namespace
