// The real Velmora.scr drawing under Wine: the preview inside a window of this test and the full
// screen, each with its start-up written in order to the log beside the saver, what closes it
// and what does not, and the frame-rate line it ends with.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "SaverProcess.h"

namespace {

const std::string N = "   Notify : ";

// Everything a successful start writes, from the log's opening to the first frame.
const std::vector<std::string> StartLines = {
    N + "Application has run",
    N + "Run looping thread",
    N + "Start common initialization",
    N + "Context for OpenGL has been created",
    N + "GLEW initialized",
    N + "OpenGL 2.0 is found",
    N + "WGLEW_EXT_swap_control extension is found",
    N + "VSYNC has been setted properly",
    N + "Video initialization has finished successfully",
    N + "Start scene initialization",
    N + "Vertex shader is OK",
    N + "One fragment shader is OK",
    N + "One fragment shader is OK",
    N + "One fragment shader is OK",
    N + "One fragment shader is OK",
    N + "All shader programs are OK",
    N + "Write model to OpenGL",
    N + "Scene has been initialized successfully",
};
const std::string Started = StartLines.back();

// The value of the log's last line when it is the frame-rate line, else NaN.
double FinalFps(const std::vector<std::string>& lines) {
  const std::string prefix = N + "FPS = ";
  if (lines.empty() || lines.back().rfind(prefix, 0) != 0) return std::strtod("nan", nullptr);
  return std::strtod(lines.back().c_str() + prefix.size(), nullptr);
}

// The start-up lines, then exactly one more: the frame-rate line.
void ExpectStartThenFps(const std::vector<std::string>& lines) {
  ASSERT_EQ(lines.size(), StartLines.size() + 1);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end() - 1), StartLines);
  EXPECT_EQ(lines.back().rfind(N + "FPS = ", 0), 0u) << lines.back();
}

// The screen as the user sees it, 0xRRGGBB per pixel, top row first.
struct Screen {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Screen Capture() {
  Screen s;
  HDC screen = GetDC(nullptr);
  s.width = GetDeviceCaps(screen, HORZRES);
  s.height = GetDeviceCaps(screen, VERTRES);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = s.width;
  info.bmiHeader.biHeight = -s.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, s.width, s.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const std::uint32_t*>(bits);
  s.pixels.assign(p, p + static_cast<std::size_t>(s.width) * s.height);
  for (std::uint32_t& v : s.pixels) v &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return s;
}

int Red(std::uint32_t c) { return static_cast<int>(c >> 16 & 0xFF); }
int Green(std::uint32_t c) { return static_cast<int>(c >> 8 & 0xFF); }
int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

// The clear colour (0.1, 0.2, 0.2).
bool IsBackground(std::uint32_t c) {
  return std::abs(Red(c) - 26) <= 2 && std::abs(Green(c) - 51) <= 2 && std::abs(Blue(c) - 51) <= 2;
}

// Neither the background nor a grey of the banner or the text: a colour of the creature.
bool IsCreature(std::uint32_t c) {
  const int hi = std::max({Red(c), Green(c), Blue(c)}), lo = std::min({Red(c), Green(c), Blue(c)});
  return hi - lo > 60;
}

int CountIf(const Screen& s, bool (*test)(std::uint32_t)) {
  int n = 0;
  for (std::uint32_t c : s.pixels) n += test(c);
  return n;
}

// The creature flies in and out of view: looks for it for a while.
bool CreatureSeen(Screen& last) {
  for (int i = 0; i < 60; ++i) {
    last = Capture();
    if (CountIf(last, IsCreature) >= 50) return true;
    saver::PumpFor(500);
  }
  return false;
}

HWND SaverWindow() { return FindWindowW(L"WindowsScreenSaverClass", L"Screen Saver"); }

class SaverWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    saver::DeleteSettings();
    SetCursorPos(500, 400);
    saver::PumpFor(100);
  }
  void TearDown() override { saver::DeleteSettings(); }

  saver::SaverCopy copy;
};

HWND CreateHost(int width, int height) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  cls.lpszClassName = L"VelmoraPreviewHost";
  RegisterClassW(&cls);
  return CreateWindowExW(0, cls.lpszClassName, L"Preview host", WS_POPUP | WS_VISIBLE, 40, 40,
                         width, height, nullptr, nullptr, cls.hInstance, nullptr);
}

// Under Wine the pixels of a child window that another process owns never reach the screen
// (its GDI drawing neither), so frames are shown here by the frame-rate counter: with the
// overlay on it runs once per frame, and a positive average needs frames that took time.
TEST_F(SaverWindowTest, PreviewFillsItsHostDrawsFramesIgnoresInputAndEndsWithTheHost) {
  saver::StoreSetting("EnableFPS", "1");
  HWND host = CreateHost(320, 240);
  ASSERT_NE(host, nullptr);
  saver::Process run(copy.Path(), "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host)));
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(copy.WaitForLogLine(Started)) << "the preview did not start";

  HWND preview = FindWindowExW(host, nullptr, L"WindowsScreenSaverClass", L"Preview");
  ASSERT_NE(preview, nullptr);
  DWORD owner = 0;
  GetWindowThreadProcessId(preview, &owner);
  EXPECT_EQ(owner, run.Id());
  RECT r{};
  GetWindowRect(preview, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 240);

  // No close rule applies in the preview.
  PostMessageW(preview, WM_KEYDOWN, 'A', 0);
  PostMessageW(preview, WM_LBUTTONDOWN, 0, 0);
  PostMessageW(preview, WM_ACTIVATEAPP, 0, 0);
  SetCursorPos(600, 500);
  saver::PumpFor(1500);
  EXPECT_TRUE(run.Running()) << "input closed the preview";
  EXPECT_TRUE(IsWindow(preview));

  // The host goes and takes the preview with it: the saver ends as after a close.
  DestroyWindow(host);
  EXPECT_EQ(run.Finish(), 0u);
  const std::vector<std::string> lines = copy.LogLines();
  ExpectStartThenFps(lines);
  EXPECT_GT(FinalFps(lines), 0.0) << "no frames were drawn";
}

TEST_F(SaverWindowTest, FullScreenShowsTheCreatureStaysSingleAndClosesOnAKey) {
  saver::Process run(copy.Path(), "/s");
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(copy.WaitForLogLine(Started)) << "the saver did not start";

  HWND window = SaverWindow();
  ASSERT_NE(window, nullptr);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

  Screen screen;
  EXPECT_TRUE(CreatureSeen(screen)) << "no creature on the screen";
  EXPECT_GT(CountIf(screen, IsBackground), screen.width * screen.height / 2);
  // Light grey of the banner in the lower right; the overlay is off, so no text at the top left.
  int bannerGrey = 0, textWhite = 0;
  for (int y = screen.height * 85 / 100; y < screen.height; ++y)
    for (int x = screen.width * 70 / 100; x < screen.width; ++x) {
      const std::uint32_t c = screen.At(x, y);
      bannerGrey += Red(c) > 80 && Red(c) == Green(c) && Green(c) == Blue(c);
    }
  for (int y = 0; y < screen.height / 10; ++y)
    for (int x = 0; x < screen.width / 10; ++x) textWhite += screen.At(x, y) == 0xFFFFFF;
  EXPECT_GT(bannerGrey, 100);
  EXPECT_EQ(textWhite, 0);

  // A second full-screen start brings the first to the front and ends at once.
  EXPECT_EQ(saver::RunSaver("/s"), 0u);
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(SaverWindow(), window);

  INPUT key[2] = {};
  key[0].type = key[1].type = INPUT_KEYBOARD;
  key[0].ki.wVk = key[1].ki.wVk = VK_SPACE;
  key[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, key, sizeof key[0]);
  EXPECT_EQ(run.Finish(10000), 0u) << "a key did not close the saver";
  const std::vector<std::string> lines = copy.LogLines();
  ExpectStartThenFps(lines);
  EXPECT_EQ(lines.back(), N + "FPS = -1");  // the overlay was off: no frame was counted
}

TEST_F(SaverWindowTest, FullScreenClosesOnAFivePixelMoveButNotOnFour) {
  saver::StoreSetting("EnableFPS", "1");
  saver::Process run(copy.Path(), "/s");
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(copy.WaitForLogLine(Started)) << "the saver did not start";
  saver::PumpFor(500);

  // The frame-rate text shows over the picture: white glyphs on their black box in the top left
  // tenth of the screen.
  const Screen screen = Capture();
  int white = 0, black = 0;
  for (int y = 0; y < screen.height / 10; ++y)
    for (int x = 0; x < screen.width / 10; ++x) {
      white += screen.At(x, y) == 0xFFFFFF;
      black += screen.At(x, y) == 0;
    }
  EXPECT_GT(white, 30) << "no frame-rate text";
  EXPECT_GT(black, 30) << "no black box behind the text";

  SetCursorPos(503, 401);  // 4 pixels from where the saver started
  saver::PumpFor(700);
  EXPECT_TRUE(run.Running()) << "a 4-pixel move closed the saver";
  SetCursorPos(503, 402);  // 5
  EXPECT_EQ(run.Finish(10000), 0u) << "a 5-pixel move did not close the saver";
  const std::vector<std::string> lines = copy.LogLines();
  ExpectStartThenFps(lines);
  EXPECT_GT(FinalFps(lines), 0.0);
}

// A close at any moment of the start-up (in the middle of video or scene initialisation, or just
// after) ends the saver with 0, its log with the frame-rate line, and never hangs.
TEST_F(SaverWindowTest, ClosedAtAnyMomentOfTheStartUpEndsInOrder) {
  for (DWORD delayMs : {0u, 150u, 300u, 500u, 800u, 1200u}) {
    saver::SaverCopy own;
    saver::Process run(own.Path(), "/s");
    ASSERT_TRUE(run.Started());
    HWND window = nullptr;
    for (int i = 0; i < 600 && window == nullptr && run.Running(); ++i) {
      saver::PumpFor(10);
      window = SaverWindow();
    }
    ASSERT_NE(window, nullptr) << delayMs;
    saver::PumpFor(delayMs);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Finish(20000), 0u) << "closed after " << delayMs << " ms";
    const std::vector<std::string> lines = own.LogLines();
    ASSERT_GE(lines.size(), 3u) << delayMs;
    EXPECT_EQ(lines[1], N + "Run looping thread");
    EXPECT_EQ(lines.back().rfind(N + "FPS = ", 0), 0u) << delayMs << ": " << lines.back();
    // Whatever the render thread wrote before it stopped is the start of its own sequence.
    for (std::size_t i = 0; i + 1 < lines.size() && i < StartLines.size(); ++i)
      EXPECT_EQ(lines[i], StartLines[i]) << delayMs;
  }
}

// Closes the settings dialog of process as its caption's close button does; its exit code.
DWORD CloseDialog(saver::Process& process) {
  for (int i = 0; i < 600; ++i) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, "#32770", "Dialog")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == process.Id() && IsWindowVisible(found)) {
        PostMessageA(found, WM_CLOSE, 0, 0);
        return process.Finish();
      }
    }
    saver::PumpFor(50);
  }
  return process.Finish(1);
}

// A preview started beside a running one (as the settings page starts them) adds its lines after
// the running one's: every line whole, no NUL bytes, the first one's lines all there. A start with
// nobody beside it empties the log.
TEST_F(SaverWindowTest, AStartBesideARunningSaverKeepsItsLog) {
  HWND firstHost = CreateHost(320, 240);
  saver::Process first(copy.Path(),
                       "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(firstHost)));
  ASSERT_TRUE(copy.WaitForLogLine(Started));
  for (int i = 0; i < 2; ++i) {
    HWND host = CreateHost(200, 150);
    saver::Process second(copy.Path(),
                          "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host)));
    saver::PumpFor(1500);
    DestroyWindow(host);
    EXPECT_EQ(second.Finish(), 0u);
  }
  saver::Process dialog(copy.Path(), "/c");
  EXPECT_EQ(CloseDialog(dialog), 1u);
  EXPECT_TRUE(first.Running());
  DestroyWindow(firstHost);
  EXPECT_EQ(first.Finish(), 0u);

  std::vector<std::string> lines = copy.LogLines();
  ASSERT_GE(lines.size(), StartLines.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
            std::vector<std::string>(StartLines.begin(), StartLines.begin() + 4));
  int starts = 0, fpsLines = 0;
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find('\0'), std::string::npos);
    EXPECT_TRUE(line.rfind(N, 0) == 0 || line.rfind("(!)Error : ", 0) == 0) << line;
    starts += line == StartLines[0];
    fpsLines += line.rfind(N + "FPS = ", 0) == 0;
  }
  EXPECT_EQ(starts, 4);
  EXPECT_EQ(fpsLines, 3);
  // The first preview's own lines, in their order, among the others.
  std::size_t next = 0;
  for (const std::string& line : lines)
    if (next < StartLines.size() && line == StartLines[next]) ++next;
  EXPECT_EQ(next, StartLines.size());
  EXPECT_EQ(lines.back().rfind(N + "FPS = ", 0), 0u);

  saver::Process alone(copy.Path(), "/c");
  EXPECT_EQ(CloseDialog(alone), 1u);
  EXPECT_EQ(copy.LogLines(), std::vector<std::string>{StartLines[0]});
}

// Where the log cannot be created beside the saver (installed in a system folder), it goes to
// the user's local application data.
TEST_F(SaverWindowTest, TheLogGoesToLocalAppDataWhereTheProgramsFolderRefusesIt) {
  ASSERT_TRUE(CreateDirectoryA(copy.LogPath().c_str(), nullptr));  // the log's place is taken
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string local = std::string(temp) + "velmora-local";
  CreateDirectoryA(local.c_str(), nullptr);
  const std::string userLog = local + "\\Korvantel\\Velmora.log";
  DeleteFileA(userLog.c_str());
  SetEnvironmentVariableA("LOCALAPPDATA", local.c_str());
  saver::Process dialog(copy.Path(), "/c");
  EXPECT_EQ(CloseDialog(dialog), 1u);
  EXPECT_TRUE(copy.LogLines().empty());
  HANDLE file = CreateFileA(userLog.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "no log in " << local;
  char text[64] = {};
  DWORD got = 0;
  ReadFile(file, text, sizeof text - 1, &got, nullptr);
  CloseHandle(file);
  EXPECT_EQ(std::string(text, got), StartLines[0] + "\r\n");
  DeleteFileA(userLog.c_str());
  RemoveDirectoryA((local + "\\Korvantel").c_str());
  RemoveDirectoryA(local.c_str());
  RemoveDirectoryA(copy.LogPath().c_str());
}

}  // namespace
