#include "platform/wayland/SurfaceScale.h"

#include <wayland-client.h>

#include <algorithm>
#include <vector>

#include "platform/wayland/BufferScale.h"
#include "platform/wayland/WaylandDisplay.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

namespace platform::wayland {
namespace {

// The main surface's watch; the window thread's alone.
struct Watch {
  Session* session = nullptr;
  Cover* cover = nullptr;
  wp_fractional_scale_v1* fractional = nullptr;
  std::vector<Output*> entered;
};
Watch watch;

void FollowOutputs() {
  if (watch.session == nullptr || watch.cover == nullptr || watch.fractional != nullptr) return;
  int scale = 0;
  for (const Output* o : watch.entered) scale = std::max(scale, o->scale);
  if (scale == 0 && watch.cover->output != nullptr) scale = watch.cover->output->scale;
  watch.session->scale120.store(std::max(scale, 1) * ScaleUnit);
}

void Enter(void*, wl_surface*, wl_output* output) {
  for (Output* o : Connection().outputs)
    if (o->output == output && std::find(watch.entered.begin(), watch.entered.end(), o) ==
                                   watch.entered.end())
      watch.entered.push_back(o);
  FollowOutputs();
}
void Leave(void*, wl_surface*, wl_output* output) {
  std::erase_if(watch.entered, [output](const Output* o) { return o->output == output; });
  FollowOutputs();
}
const wl_surface_listener surfaceListener = {Enter, Leave};

void PreferredScale(void*, wp_fractional_scale_v1*, uint32_t scale) {
  if (scale > 0 && scale < 120u * 64u) watch.session->scale120.store(static_cast<int>(scale));
}
const wp_fractional_scale_v1_listener fractionalListener = {PreferredScale};

}  // namespace

void FollowScale(const Globals& globals, Session& session, Cover* main) {
  // The creature moved off a cover that is going: its scale objects go with it. The caller holds
  // the session's mainLock, since the render thread reads the viewport.
  if (watch.fractional != nullptr) wp_fractional_scale_v1_destroy(watch.fractional);
  if (session.viewport != nullptr) wp_viewport_destroy(session.viewport);
  watch = Watch{};
  session.viewport = nullptr;
  watch.session = &session;
  watch.cover = main;
  if (main == nullptr) return;
  wl_surface_add_listener(main->surface, &surfaceListener, nullptr);
  if (globals.viewporter != nullptr && globals.fractionalScale != nullptr) {
    // The compositor sends its preferred scale on its own.
    watch.fractional =
        wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, main->surface);
    wp_fractional_scale_v1_add_listener(watch.fractional, &fractionalListener, nullptr);
    session.viewport = wp_viewporter_get_viewport(globals.viewporter, main->surface);
  }
  FollowOutputs();
}

void OutputScaleChanged(Output* output) {
  if (watch.cover != nullptr &&
      (output == watch.cover->output ||
       std::find(watch.entered.begin(), watch.entered.end(), output) != watch.entered.end()))
    FollowOutputs();
}

void OutputGone(Output* output) {
  std::erase(watch.entered, output);
  FollowOutputs();
}

}  // namespace platform::wayland
