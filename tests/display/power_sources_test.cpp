// The X11 saver's power sources: the AC line status from a power-supply folder, and logind's
// sleep signal from a bus (a private session bus standing in for the system bus).
#include "platform/x11/LogindWatcher.h"
#include "platform/x11/PowerSupply.h"

#include <dirent.h>
#include <dlfcn.h>
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

// Folder reads fail on demand: once armed, the read after the first real entry reports EIO, as a
// failing disk or a vanished sysfs folder would. Replaces the C library's readdir for this program.
namespace {
bool failNextRead = false;
bool readsArmed = false;
}  // namespace

extern "C" dirent* readdir(DIR* folder) {
  static auto real = reinterpret_cast<dirent* (*)(DIR*)>(dlsym(RTLD_NEXT, "readdir"));
  if (readsArmed && failNextRead) {
    errno = EIO;
    return nullptr;
  }
  dirent* entry = real(folder);
  if (readsArmed && entry && std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
    failNextRead = true;
  return entry;
}

namespace {

void Supply(const fs::path& folder, const char* name, const char* type, const char* online) {
  fs::create_directories(folder / name);
  std::ofstream(folder / name / "type") << type << "\n";
  if (online) std::ofstream(folder / name / "online") << online << "\n";
}

TEST(AcLineStatus, MainsSuppliesDecideAndNoneIsUnknown) {
  const fs::path folder = fs::temp_directory_path() / "velmora-power-supply";
  fs::remove_all(folder);
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 255);  // no folder at all
  fs::create_directories(folder);
  Supply(folder, "BAT0", "Battery", nullptr);
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 255);
  Supply(folder, "AC", "Mains", "0");
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 0);
  Supply(folder, "ucsi-source-psy", "Mains", "garbage");  // unreadable: not counted
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 0);
  Supply(folder, "ADP1", "Mains", "1");
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 1);

  // A read error part way through the folder gives no answer rather than an exception.
  fs::remove(folder / "ADP1" / "online");
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 0);
  readsArmed = true;
  EXPECT_EQ(platform::ReadAcLineStatus(folder.string()), 255);
  EXPECT_TRUE(failNextRead);  // the failure was reached
  readsArmed = failNextRead = false;
  fs::remove_all(folder);
}

std::atomic<int> sleeps{0};
std::atomic<int> resumes{0};
void OnSleep(bool starting) { ++(starting ? sleeps : resumes); }

TEST(LogindWatcher, PrepareForSleepReportsSuspendAndResume) {
  GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
  g_test_dbus_up(bus);
  platform::WatchLogindSleep(OnSleep, false);
  GDBusConnection* sender = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  ASSERT_NE(sender, nullptr);
  // The watcher subscribes on its own thread: send until it has heard one of each.
  for (int i = 0; i < 100 && (sleeps == 0 || resumes == 0); ++i) {
    for (gboolean starting : {gboolean{1}, gboolean{0}})
      g_dbus_connection_emit_signal(sender, nullptr, "/org/freedesktop/login1",
                                    "org.freedesktop.login1.Manager", "PrepareForSleep",
                                    g_variant_new("(b)", starting), nullptr);
    g_dbus_connection_flush_sync(sender, nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_GT(sleeps.load(), 0);
  EXPECT_GT(resumes.load(), 0);
}

}  // namespace
