// The X11 saver's power sources: the AC line status from a power-supply folder, and logind's
// sleep signal from a bus (a private session bus standing in for the system bus).
#include "platform/linux/LogindWatcher.h"
#include "platform/linux/PowerSupply.h"

#include <dirent.h>
#include <dlfcn.h>
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

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

std::mutex heardLock;
std::condition_variable heard;
int sleeps = 0, resumes = 0;
void OnSleep(bool starting) {
  {
    std::lock_guard<std::mutex> hold(heardLock);
    ++(starting ? sleeps : resumes);
  }
  heard.notify_all();
}

// Waits until the watcher has heard at least the given counts, or the time is up.
bool Heard(int wantSleeps, int wantResumes, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> hold(heardLock);
  return heard.wait_for(hold, limit, [&] { return sleeps >= wantSleeps && resumes >= wantResumes; });
}

GDBusConnection* Connect(const char* address) {
  return g_dbus_connection_new_for_address_sync(
      address,
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
}

GVariant* CallBus(GDBusConnection* connection, const char* method, GVariant* arguments) {
  return g_dbus_connection_call_sync(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", method, arguments, nullptr,
                                     G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
}

// Sends PrepareForSleep, then makes a call to the bus: the bus handles one connection's messages
// in order, so when the reply is back the signal has been passed on to every receiver.
void Send(GDBusConnection* from, bool starting, const char* destination = nullptr) {
  g_dbus_connection_emit_signal(from, destination, "/org/freedesktop/login1",
                                "org.freedesktop.login1.Manager", "PrepareForSleep",
                                g_variant_new("(b)", gboolean(starting)), nullptr);
  GVariant* reply = CallBus(from, "GetId", nullptr);
  ASSERT_NE(reply, nullptr);
  g_variant_unref(reply);
}

TEST(LogindWatcher, HearsSleepAndResumeFromLogindsNameOnly) {
  GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
  g_test_dbus_up(bus);
  const char* address = g_test_dbus_get_bus_address(bus);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", address, 1);
  GDBusConnection* logind = Connect(address);
  GDBusConnection* impostor = Connect(address);
  ASSERT_NE(logind, nullptr);
  ASSERT_NE(impostor, nullptr);
  GVariant* owned = CallBus(logind, "RequestName", g_variant_new("(su)", "org.freedesktop.login1", 4u));
  ASSERT_NE(owned, nullptr);
  guint32 answer = 0;
  g_variant_get(owned, "(u)", &answer);
  g_variant_unref(owned);
  ASSERT_EQ(answer, 1u);  // primary owner

  platform::WatchLogindSleep(OnSleep);
  // The watcher subscribes on its own thread, at a time unknown here: send until it hears one.
  bool subscribed = false;
  for (int i = 0; i < 100 && !subscribed; ++i) {
    Send(logind, true);
    subscribed = Heard(1, 0, std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(subscribed);
  // A resume after them all: once it is heard, every earlier signal has been handled.
  Send(logind, false);
  ASSERT_TRUE(Heard(1, 1, std::chrono::seconds(10)));
  int sleepsBefore = 0;
  {
    std::lock_guard<std::mutex> hold(heardLock);
    sleepsBefore = sleeps;
    EXPECT_EQ(resumes, 1);
  }

  // The impostor's sleeps, broadcast and sent to the watcher's own connection (the one unique
  // name on the bus that is not ours), then logind's resume behind them.
  std::string watcher;
  GVariant* names = CallBus(logind, "ListNames", nullptr);
  ASSERT_NE(names, nullptr);
  GVariantIter* iter = nullptr;
  const char* name = nullptr;
  g_variant_get(names, "(as)", &iter);
  while (g_variant_iter_next(iter, "&s", &name))
    if (name[0] == ':' && std::strcmp(name, g_dbus_connection_get_unique_name(logind)) != 0 &&
        std::strcmp(name, g_dbus_connection_get_unique_name(impostor)) != 0) {
      EXPECT_TRUE(watcher.empty()) << "more than one other connection";
      watcher = name;
    }
  g_variant_iter_free(iter);
  g_variant_unref(names);
  ASSERT_FALSE(watcher.empty());
  Send(impostor, true);
  Send(impostor, true, watcher.c_str());
  Send(logind, false);
  ASSERT_TRUE(Heard(0, 2, std::chrono::seconds(10)));
  std::lock_guard<std::mutex> hold(heardLock);
  EXPECT_EQ(sleeps, sleepsBefore);
  EXPECT_EQ(resumes, 2);
}

}  // namespace
