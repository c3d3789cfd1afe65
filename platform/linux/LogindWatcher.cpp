#include "platform/linux/LogindWatcher.h"

#include <gio/gio.h>

#include <thread>

namespace platform {
namespace {

void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
              GVariant* parameters, gpointer data) {
  gboolean starting = FALSE;
  if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) g_variant_get(parameters, "(b)", &starting);
  reinterpret_cast<void (*)(bool)>(data)(starting != FALSE);
}

}  // namespace

void WatchLogindSleep(void (*onSleep)(bool)) {
  // The thread lives as long as the process, which ends with _exit.
  std::thread([onSleep] {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
    if (bus == nullptr) return;
    // Any process on the bus may send this signal; only the one owning logind's name is heard
    // (GDBus follows the name to its current owner and drops the others, broadcast or not).
    g_dbus_connection_signal_subscribe(bus, "org.freedesktop.login1",
                                       "org.freedesktop.login1.Manager", "PrepareForSleep",
                                       "/org/freedesktop/login1", nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, OnSignal,
                                       reinterpret_cast<gpointer>(onSleep), nullptr);
    for (;;) g_main_context_iteration(context, TRUE);
  }).detach();
}

}  // namespace platform
